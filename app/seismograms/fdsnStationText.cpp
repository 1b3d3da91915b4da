#include "fdsnStationText.h"

#include <QTimeZone>

#include <cmath>

namespace {

// Column order of the channel level: Network | Station | Location | Channel | Latitude |
// Longitude | Elevation | Depth | Azimuth | Dip | SensorDescription | Scale | ScaleFreq |
// ScaleUnits | SampleRate | StartTime | EndTime
enum column {
    network,
    station,
    location,
    channelCode,
    latitude,
    longitude,
    elevation,
    depth,
    azimuth,
    dip,
    sensor,
    scale,
    scaleFrequency,
    scaleUnits,
    sampleRate,
    startTime,
    endTime,
    columns
};

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// An empty field is a number not given, not a line gone wrong.
std::optional<double> optionalNumber(const QString& text) {
    return text.isEmpty() ? std::optional<double>(0.0) : number(text);
}

QDateTime time(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!t.isValid())
        return {};
    if (t.timeSpec() == Qt::LocalTime)
        t.setTimeZone(QTimeZone::utc());
    return t;
}

} // namespace

fdsnStationText fdsnStationText::parse(const QByteArray& answer) {
    fdsnStationText text;
    for (QByteArray line : answer.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        QStringList fields;
        for (const QByteArray& field : line.split('|'))
            fields << QString::fromUtf8(field).trimmed();
        if (fields.size() < columns - 1) { // the end of an open epoch may be left off
            ++text.skippedLines_;
            continue;
        }
        channel c;
        c.network = fields.at(network);
        c.station = fields.at(station);
        // Blank locations come as blanks or as "--"; both are the blank location.
        c.location =
            fields.at(location) == QLatin1StringView("--") ? QString() : fields.at(location);
        c.channelCode = fields.at(channelCode);
        const auto lat = number(fields.at(latitude));
        const auto lon = number(fields.at(longitude));
        const auto elev = optionalNumber(fields.at(elevation));
        const auto dep = optionalNumber(fields.at(depth));
        const auto az = optionalNumber(fields.at(azimuth));
        const auto dp = optionalNumber(fields.at(dip));
        const auto sc = optionalNumber(fields.at(scale));
        const auto scf = optionalNumber(fields.at(scaleFrequency));
        const auto rate = optionalNumber(fields.at(sampleRate));
        c.start = time(fields.at(startTime));
        const QString endText = fields.value(endTime);
        c.end = time(endText);
        if (c.network.isEmpty() || c.station.isEmpty() || c.channelCode.isEmpty() || !lat || !lon ||
            !elev || !dep || !az || !dp || !sc || !scf || !rate || !c.start.isValid() ||
            (!endText.isEmpty() && !c.end.isValid())) {
            ++text.skippedLines_;
            continue;
        }
        c.latitude = *lat;
        c.longitude = *lon;
        c.elevation = *elev;
        c.depth = *dep;
        c.azimuth = *az;
        c.dip = *dp;
        c.scale = *sc;
        c.scaleFrequency = *scf;
        c.scaleUnits = fields.at(scaleUnits);
        c.sampleRate = *rate;
        text.channels_ << c;
    }
    return text;
}

std::optional<fdsnStationText::channel>
fdsnStationText::find(const QString& net, const QString& sta, const QString& loc,
                      const QString& cha, const QDateTime& when) const {
    std::optional<channel> latest;
    for (const channel& c : channels_) {
        if (c.network != net || c.station != sta || c.location != loc || c.channelCode != cha)
            continue;
        if (when.isValid() && c.start <= when && (!c.end.isValid() || when < c.end))
            return c;
        if (!latest || latest->start < c.start)
            latest = c;
    }
    return latest;
}

QString fdsnStationText::readableUnits(const QString& units) {
    const QString upper = units.toUpper();
    if (upper == QLatin1StringView("M"))
        return QStringLiteral("m");
    if (upper == QLatin1StringView("M/S"))
        return QStringLiteral("m/s");
    if (upper == QLatin1StringView("M/S**2") || upper == QLatin1StringView("M/S/S"))
        return QStringLiteral("m/s²");
    return units;
}
