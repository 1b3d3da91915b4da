#include "earthModel.h"

#include <QList>

#include <cmath>

namespace earthModelFiles {
extern const unsigned char ak135_tvel_data[];
extern const std::size_t ak135_tvel_size;
extern const unsigned char iasp91_tvel_data[];
extern const std::size_t iasp91_tvel_size;
} // namespace earthModelFiles

namespace {

bool refuse(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}

// The outer core is the run of points with no S velocity; both its ends must be discontinuities
// (a repeated depth), or the model has no core the travel times could be computed through.
bool findCore(const std::vector<earthModel::point>& points, double& cmb, double& icb,
              QString* error) {
    std::size_t i = 0;
    while (i < points.size() && points[i].vs > 0)
        ++i;
    if (i == 0 || i == points.size() || points[i].depth != points[i - 1].depth)
        return refuse(error, QStringLiteral("no fluid outer core below a discontinuity"));
    cmb = points[i].depth;
    while (i < points.size() && points[i].vs == 0)
        ++i;
    if (i == points.size() || points[i].depth != points[i - 1].depth)
        return refuse(error, QStringLiteral("no solid inner core below a discontinuity"));
    icb = points[i].depth;
    for (; i < points.size(); ++i)
        if (points[i].vs <= 0)
            return refuse(error, QStringLiteral("a fluid layer inside the inner core"));
    return true;
}

} // namespace

std::optional<earthModel> earthModel::fromTvel(const QByteArray& text, const QString& name,
                                               QString* error) {
    earthModel model;
    model.modelName = name;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 2; n < lines.size(); ++n) {
        const QList<QByteArray> words = lines[n].simplified().split(' ');
        if (words.size() == 1 && words[0].isEmpty())
            continue;
        double values[4] = {};
        bool ok = words.size() >= 4;
        for (int c = 0; ok && c < 4; ++c) {
            values[c] = words[c].toDouble(&ok);
            ok = ok && std::isfinite(values[c]);
        }
        if (!ok) {
            refuse(error, QStringLiteral("line %1 is not four numbers").arg(n + 1));
            return std::nullopt;
        }
        const point p{values[0], values[1], values[2], values[3]};
        const auto& pts = model.modelPoints;
        const bool decreasing = !pts.empty() && p.depth < pts.back().depth;
        const bool thrice =
            pts.size() >= 2 && p.depth == pts.back().depth && p.depth == pts[pts.size() - 2].depth;
        if ((pts.empty() && p.depth != 0) || decreasing || thrice) {
            refuse(error, QStringLiteral("line %1: the depths must start at 0 and increase, "
                                         "a discontinuity giving one depth twice")
                              .arg(n + 1));
            return std::nullopt;
        }
        if (p.vp <= 0 || p.vs < 0) {
            refuse(error, QStringLiteral("line %1: a velocity that is not positive").arg(n + 1));
            return std::nullopt;
        }
        model.modelPoints.push_back(p);
    }
    if (model.modelPoints.size() < 2 || model.modelPoints.back().depth <= 0) {
        refuse(error, QStringLiteral("fewer than two depths"));
        return std::nullopt;
    }
    if (!findCore(model.modelPoints, model.cmbDepth, model.icbDepth, error))
        return std::nullopt;
    return model;
}

double earthModel::surfaceRadius() const {
    return modelPoints.empty() ? 0 : modelPoints.back().depth;
}

QStringList earthModel::names() {
    return {QStringLiteral("ak135"), QStringLiteral("iasp91")};
}

const earthModel* earthModel::named(const QString& name) {
    using namespace earthModelFiles;
    // Read once, on first use; the compiled-in text is known to be valid.
    static const earthModel ak135 = *fromTvel(
        QByteArray::fromRawData(reinterpret_cast<const char*>(ak135_tvel_data), ak135_tvel_size),
        QStringLiteral("ak135"));
    static const earthModel iasp91 = *fromTvel(
        QByteArray::fromRawData(reinterpret_cast<const char*>(iasp91_tvel_data), iasp91_tvel_size),
        QStringLiteral("iasp91"));
    if (name == ak135.name())
        return &ak135;
    if (name == iasp91.name())
        return &iasp91;
    return nullptr;
}

QVRResult<const earthModel*> earthModel::find(const QString& name) {
    if (const earthModel* model = named(name))
        return model;
    return QVRResult<const earthModel*>::failure(
        QStringLiteral("unknown model '%1' (known: %2)")
            .arg(name, names().join(QStringLiteral(", "))));
}
