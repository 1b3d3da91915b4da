#include "eventSectionTrace.h"

#include "delta_az.h"

#include <QFileInfo>

#include <cmath>

namespace {

bool defined(float value) {
    return value != SacHeader::undefinedValue && std::isfinite(value);
}

bool definedText(const QString& text) {
    return !text.isEmpty() && text != QLatin1StringView("-12345");
}

// The station's name on the section; a header without one falls back on the label the
// seismogram was given and then on its file's name.
QString labelOf(const SacObject& s) {
    if (definedText(s.kstnm()))
        return definedText(s.kcmpnm()) ? s.kstnm() + u' ' + s.kcmpnm() : s.kstnm();
    if (!s.labelString().isEmpty())
        return s.labelString();
    return QFileInfo(s.path()).fileName();
}

} // namespace

QVRResult<eventSectionTrace> eventSectionTrace::of(const std::shared_ptr<SacObject>& seismogram,
                                                   int index) {
    using result = QVRResult<eventSectionTrace>;
    if (!seismogram || seismogram->npts() <= 0 || !(seismogram->delta() > 0) ||
        !defined(seismogram->b()))
        return result::failure(QStringLiteral("no samples"));
    const SacObject& s = *seismogram;
    if (!defined(s.evla()) || !defined(s.evlo()))
        return result::failure(QStringLiteral("no event coordinates (evla, evlo)"));
    if (!defined(s.originTimeOffset()))
        return result::failure(QStringLiteral("no origin time (o)"));
    float distance = s.gcarc();
    if (!defined(distance) && defined(s.stla()) && defined(s.stlo())) {
        const float evla = s.evla(), evlo = s.evlo(), stla = s.stla(), stlo = s.stlo();
        float azimuth = 0;
        delta_az(&evla, &evlo, &stla, &stlo, &distance, &azimuth);
    }
    if (!defined(distance) || distance < 0 || distance > 180)
        return result::failure(QStringLiteral("no distance (gcarc, or stla and stlo)"));

    eventSectionTrace trace;
    trace.seismogram = seismogram;
    trace.index = index;
    trace.distance = distance;
    trace.beginAfterOrigin = double(s.b()) - double(s.originTimeOffset());
    const float* samples = s.GetSacSeis();
    double sum = 0;
    for (int k = 0; k < s.npts(); ++k)
        sum += samples[k];
    trace.mean = sum / s.npts();
    trace.peak = std::max(double(s.smax()) - trace.mean, trace.mean - double(s.smin()));
    trace.label = labelOf(s);
    return trace;
}

double eventSectionTrace::timeOfSample(double k) const {
    return beginAfterOrigin + k * double(seismogram->delta());
}

int eventSectionTrace::sampleAt(double secondsAfterOrigin) const {
    const double k = std::round((secondsAfterOrigin - beginAfterOrigin) / seismogram->delta());
    return k >= 0 && k < seismogram->npts() ? int(k) : -1;
}

QDateTime eventSectionTrace::originTime() const {
    const QDateTime reference = seismogram->mySeisReferenceTime();
    if (!reference.isValid())
        return {};
    return reference.addMSecs(std::llround(double(seismogram->originTimeOffset()) * 1000.0));
}
