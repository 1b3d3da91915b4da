#include "QVRPolygon.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace {
// More vertices than any outline Quorvel draws; a larger count is not a polygon file.
constexpr qint64 mostVertices = 10'000'000;
} // namespace

QString QVRPolygon::description() const {
    return QStringLiteral("%1Npts:%2").arg(title_).arg(npts_);
}

bool QVRPolygon::pointInPolygon(float x, float y) const {
    const int n = std::min<int>(npts_, int(std::min(xp_.size(), yp_.size())));
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const float xi = xp_[std::size_t(i)], yi = yp_[std::size_t(i)];
        const float xj = xp_[std::size_t(j)], yj = yp_[std::size_t(j)];
        if (((y >= yi && y < yj) || (y >= yj && y < yi)) &&
            x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

void QVRPolygon::computeBoundingRect() {
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    const int n = std::min<int>(npts_, int(std::min(xp_.size(), yp_.size())));
    for (int i = 0; i < n; ++i) {
        minX = std::min(minX, xp_[std::size_t(i)]);
        maxX = std::max(maxX, xp_[std::size_t(i)]);
        minY = std::min(minY, yp_[std::size_t(i)]);
        maxY = std::max(maxY, yp_[std::size_t(i)]);
    }
    bRect_ = QRectF(minX, minY, double(maxX) - minX, double(maxY) - minY);
}

bool QVRPolygon::loadNXYFromPath(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        xp_.clear();
        yp_.clear();
        npts_ = 0;
        return false;
    }
    return scanFromNXYString(QString::fromUtf8(file.readAll()));
}

bool QVRPolygon::scanFromNXYString(const QString& text) {
    const QList<QStringView> words =
        QStringView(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    auto fail = [this] {
        xp_.clear();
        yp_.clear();
        npts_ = 0;
        return false;
    };
    bool ok = false;
    const qint64 count = words.isEmpty() ? -1 : words.first().toLongLong(&ok);
    if (!ok || count < 0 || count > mostVertices || words.size() < 1 + 2 * count)
        return fail();
    std::vector<float> x(static_cast<std::size_t>(count)), y(static_cast<std::size_t>(count));
    for (qint64 i = 0; i < count; ++i) {
        bool xOk = false, yOk = false;
        x[std::size_t(i)] = words.at(1 + 2 * i).toFloat(&xOk);
        y[std::size_t(i)] = words.at(2 + 2 * i).toFloat(&yOk);
        if (!xOk || !yOk)
            return fail();
    }
    xp_ = std::move(x);
    yp_ = std::move(y);
    npts_ = int(count);
    return true;
}

bool QVRPolygon::saveToPath(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const int n = std::min<int>(npts_, int(std::min(xp_.size(), yp_.size())));
    QByteArray text = QByteArray::number(n) + '\n';
    for (int i = 0; i < n; ++i)
        text +=
            QString::asprintf("%f %f\n", double(xp_[std::size_t(i)]), double(yp_[std::size_t(i)]))
                .toLatin1();
    return file.write(text) == text.size() && file.commit();
}
