#include "liveTraces.h"

#include "markedOrigin.h"

#include <algorithm>
#include <cmath>

namespace liveTraces {

window requestedWindow(const QDateTime& start, double durationMinutes, bool live,
                       const QDateTime& now) {
    const double seconds = std::abs(durationMinutes) * 60.0;
    if (live)
        return {now, seconds};
    // A negative duration ends the request at its start time.
    const QDateTime end =
        durationMinutes < 0 ? start : start.addMSecs(qint64(std::llround(seconds * 1000.0)));
    return {end, seconds};
}

SeisView01::seismogramList placedInWindow(const QList<std::shared_ptr<SacObject>>& seismograms,
                                          const window& w, bool normalise) {
    const QDateTime windowStart = w.end.addMSecs(-qint64(std::llround(w.seconds * 1000.0)));
    SeisView01::seismogramList placed;
    for (const auto& original : seismograms) {
        if (!original || !original->GetSacHeader())
            continue;
        const QDateTime reference = original->mySeisReferenceTime();
        if (!reference.isValid())
            continue;
        auto copy = std::make_shared<SacObject>(*original);
        SacHeader& h = *copy->GetSacHeader();
        const double begin = windowStart.msecsTo(reference) / 1000.0 + double(h.b);
        h.b = float(begin);
        h.e = float(begin + double(h.delta) * std::max(0, h.npts - 1));
        if (normalise && copy->npts() > 0) {
            float* samples = copy->GetSacSeis();
            float largest = 0.0f;
            for (int i = 0; i < copy->npts(); ++i)
                largest = std::max(largest, std::abs(samples[i]));
            // A flat trace stays flat rather than being divided by zero.
            if (largest > 0.0f && std::isfinite(largest)) {
                for (int i = 0; i < copy->npts(); ++i)
                    samples[i] /= largest;
            }
        }
        copy->ComputeExtrema();
        placed.append(copy);
    }
    return placed;
}

void showInView(QVRRealTimeDisplayView02& view, const SeisView01::seismogramList& placed,
                const window& w, bool normalise, double windowStart, const QList<int>& bands) {
    float amplitude = 1.0f;
    if (!normalise) {
        amplitude = 0.0f;
        for (const auto& s : placed)
            amplitude = std::max({amplitude, std::abs(s->smin()), std::abs(s->smax())});
        if (!(amplitude > 0.0f) || !std::isfinite(amplitude))
            amplitude = 1.0f;
    }
    view.setOriginOnRight(true);
    // A zoomed view keeps showing the moments it shows, while the window moves on.
    view.setWindow(w.end, float(windowStart), float(windowStart + std::max(w.seconds, 1.0)));
    view.set_fixedYAxisRange(true);
    view.setYLimits(-amplitude, amplitude);
    view.setWvfrmsArray(placed);
    view.setTraceBands(bands);
}

QVRRealTimeDisplayView02::earthquakeList earthquakesToMark(const originList& origins) {
    QVRRealTimeDisplayView02::earthquakeList marked;
    marked.reserve(origins.size());
    for (const auto& o : origins)
        marked.append(std::make_shared<markedOrigin>(o));
    return marked;
}

} // namespace liveTraces
