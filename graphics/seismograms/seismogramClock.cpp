#include "seismogramClock.h"

#include <algorithm>
#include <utility>

namespace seismogramClock {

QDateTime earliestStart(const std::vector<const SacObject*>& seismograms) {
    QDateTime earliest;
    for (const SacObject* s : seismograms) {
        const QDateTime first = s ? s->firstSampleTime() : QDateTime();
        if (first.isValid() && (!earliest.isValid() || first < earliest))
            earliest = first;
    }
    return earliest;
}

std::vector<double> shifts(const std::vector<const SacObject*>& seismograms,
                           const QDateTime& start) {
    std::vector<double> out(seismograms.size(), 0.0);
    if (!start.isValid())
        return out;
    for (std::size_t i = 0; i < seismograms.size(); ++i) {
        const QDateTime reference =
            seismograms[i] ? seismograms[i]->mySeisReferenceTime() : QDateTime();
        if (reference.isValid())
            out[i] = start.msecsTo(reference) / 1000.0;
    }
    return out;
}

bool overlapInTime(const std::vector<const SacObject*>& seismograms) {
    // Spans in ms since 1970, joined in order of their starts.
    std::vector<std::pair<qint64, qint64>> spans;
    for (const SacObject* s : seismograms) {
        const QDateTime first = s ? s->firstSampleTime() : QDateTime();
        if (!first.isValid())
            return false;
        const qint64 begin = first.toMSecsSinceEpoch();
        const double seconds = double(s->delta()) * std::max(0, s->npts() - 1);
        spans.emplace_back(begin, begin + qint64(seconds * 1000.0));
    }
    if (spans.size() < 2)
        return false;
    std::sort(spans.begin(), spans.end());
    qint64 reach = spans.front().second;
    for (const auto& [begin, end] : spans) {
        if (begin > reach)
            return false;
        reach = std::max(reach, end);
    }
    return true;
}

} // namespace seismogramClock
