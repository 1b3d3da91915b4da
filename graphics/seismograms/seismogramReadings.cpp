#include "seismogramReadings.h"

#include "groundMotionUnits.h"
#include "seismogramTexts.h"

#include <QStringList>

#include <cmath>

namespace seismogramReadings {

std::optional<float> sampleAt(const SacObject& seismogram, double seconds) {
    const float* samples = seismogram.GetSacSeis();
    const double delta = seismogram.delta();
    if (!samples || !(delta > 0) || !std::isfinite(seconds))
        return std::nullopt;
    const double index = std::round((seconds - seismogram.b()) / delta);
    if (!(index >= 0 && index < seismogram.npts()))
        return std::nullopt;
    return samples[qsizetype(index)];
}

seismogramReading readingOf(const SacObject& seismogram, int index, double seconds) {
    seismogramReading r;
    r.traceIndex = index;
    const QDateTime reference = seismogram.mySeisReferenceTime();
    if (reference.isValid())
        r.utc = reference.addMSecs(qint64(std::llround(seconds * 1000.0)));
    if (const std::optional<double> origin =
            seismogramTexts::defined(seismogram.originTimeOffset()))
        r.secondsAfterOrigin = seconds - *origin;
    if (const std::optional<float> sample = sampleAt(seismogram, seconds))
        r.amplitude = double(*sample);
    r.units = groundMotionUnits::units(seismogram.GetSacHeader());
    return r;
}

QString text(const seismogramReading& reading) {
    QStringList parts;
    if (reading.utc.isValid())
        parts << reading.utc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz 'UTC'"));
    if (reading.secondsAfterOrigin)
        parts << QStringLiteral("origin %1 s")
                     .arg(QString::asprintf("%+.2f", *reading.secondsAfterOrigin));
    if (reading.amplitude)
        parts << (QString::number(*reading.amplitude, 'g', 6) +
                  (reading.units.isEmpty() ? QString() : u' ' + reading.units));
    return parts.join(QStringLiteral(" · "));
}

} // namespace seismogramReadings
