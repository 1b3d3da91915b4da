#include "plateBoundaryController.h"

#include "qvrGraphicsLogging.h"

#include <QFile>

#include <optional>

namespace {

// Lines are read as the files were written, at most 127 characters each.
QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines)
        line = line.left(127);
    return lines;
}

// "lon lat" or "lon,lat"; none for a line that holds no two numbers.
std::optional<std::pair<float, float>> point(const QByteArray& line) {
    const QList<QByteArray> words = QByteArray(line).replace(',', ' ').simplified().split(' ');
    if (words.size() < 2)
        return std::nullopt;
    bool lonOk = false, latOk = false;
    const float lon = words.at(0).toFloat(&lonOk);
    const float lat = words.at(1).toFloat(&latOk);
    if (!lonOk || !latOk)
        return std::nullopt;
    return std::pair{lon, lat};
}

// Collects one segment's points; the lists grow as needed, however long the segment.
struct segmentBuilder {
    std::shared_ptr<QVRPolygon> polygon = std::make_shared<QVRPolygon>();
    bool titled = false;
    std::vector<float> x, y;

    std::shared_ptr<QVRPolygon> finish() {
        polygon->setNpts(int(x.size()));
        polygon->setXp(std::move(x));
        polygon->setYp(std::move(y));
        auto done = polygon;
        *this = segmentBuilder();
        return done;
    }
};

std::optional<QByteArray> resource(const char* name) {
    QFile file(plateBoundaryController::resourcePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcMap) << "No plate boundary file" << file.fileName();
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

QString plateBoundaryController::resourcePath(const char* name) {
    return QStringLiteral(":/qvr/plates/%1.txt").arg(QLatin1StringView(name));
}

plateBoundaryController::polygonList
plateBoundaryController::parseBirdPlateBoundaries(const QByteArray& text) {
    polygonList segments;
    segmentBuilder segment;
    for (const QByteArray& line : linesOf(text)) {
        if (line.startsWith("***")) {
            segments.append(segment.finish());
        } else if (!segment.titled) {
            // The title keeps its line break, as it always has: "<title>\nNpts:<n>".
            segment.polygon->setTitle(QString::fromLatin1(line) + u'\n');
            segment.titled = true;
        } else if (const auto p = point(line)) {
            segment.x.push_back(p->first < 0 ? p->first + 360.0f : p->first);
            segment.y.push_back(p->second);
        }
    }
    return segments; // a segment without its "***" line is dropped
}

plateBoundaryController::polygonList
plateBoundaryController::parseUTPlateBoundaries(const QByteArray& text) {
    polygonList segments;
    segmentBuilder segment;
    bool nextLineIsTitle = true;
    for (const QByteArray& line : linesOf(text)) {
        if (line.startsWith('>')) {
            auto done = segment.finish();
            done->computeBoundingRect();
            segments.append(done);
            nextLineIsTitle = true;
        } else if (nextLineIsTitle || (segment.x.empty() && !line.isEmpty() && !point(line))) {
            // A segment's title; the file's own title line is replaced by the first segment's.
            segment.polygon->setTitle(QString::fromLatin1(line).trimmed());
            nextLineIsTitle = false;
        } else if (const auto p = point(line)) {
            segment.x.push_back(p->first < 0 ? p->first + 360.0f : p->first);
            segment.y.push_back(p->second);
        }
    }
    return segments; // points after the last ">" line are dropped
}

bool plateBoundaryController::loadBirdPlateBoundaries() {
    const auto text = resource("PB2002_boundaries");
    if (!text)
        return false;
    boundaries_ += parseBirdPlateBoundaries(*text);
    return true;
}

bool plateBoundaryController::loadUTPlateBoundaries() {
    polygonList segments;
    for (const char* name : {"trench", "ridge", "transform"}) {
        const auto text = resource(name);
        if (!text)
            return false;
        segments += parseUTPlateBoundaries(*text);
    }
    boundaries_ += segments;
    return true;
}
