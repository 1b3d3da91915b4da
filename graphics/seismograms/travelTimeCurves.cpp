#include "travelTimeCurves.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace travelTimeCurves {
namespace {

// The end of a branch that the next distance may continue.
struct openEnd {
    std::size_t branch;
    double time;  // s
    double slope; // s/°: the ray parameter, negative for rays that go the long way round
    bool continued = false;
};

// The phase a ray belongs to among those asked for: an upgoing leg belongs to its phase.
QString chosenPhase(const QString& rays) {
    if (rays == QLatin1StringView("p"))
        return QStringLiteral("P");
    if (rays == QLatin1StringView("s"))
        return QStringLiteral("S");
    return rays;
}

} // namespace

std::vector<travelTimeBranch> branches(const travelTimeCalculator& calculator, double depth,
                                       double from, double to, const QStringList& phases,
                                       int samples) {
    std::vector<travelTimeBranch> found;
    from = std::max(from, 0.0);
    to = std::min(to, 180.0);
    if (!(to > from) || samples < 2 || phases.isEmpty())
        return found;
    QHash<QString, std::vector<openEnd>> open;
    double previous = from;
    for (int j = 0; j < samples; ++j) {
        const double distance = from + (to - from) * j / (samples - 1);
        const double step = distance - previous;
        const double tolerance = 1.0 + step;
        QHash<QString, std::vector<openEnd>> next;
        for (const seismicArrival& arrival : calculator.arrivals(depth, distance, phases)) {
            std::vector<openEnd>& ends = open[arrival.phase];
            openEnd* best = nullptr;
            double bestMiss = tolerance;
            for (openEnd& end : ends) {
                const double miss = std::fabs(arrival.time - (end.time + end.slope * step));
                if (!end.continued && miss < bestMiss) {
                    best = &end;
                    bestMiss = miss;
                }
            }
            std::size_t branch = found.size();
            if (best) {
                best->continued = true;
                branch = best->branch;
            } else {
                found.push_back({chosenPhase(arrival.phase), arrival.phase, {}});
            }
            found[branch].points.emplace_back(distance, arrival.time);
            const bool longWay = arrival.pathDistance > arrival.distance + 1e-6;
            next[arrival.phase].push_back(
                {branch, arrival.time, longWay ? -arrival.rayParameter : arrival.rayParameter});
        }
        open = std::move(next);
        previous = distance;
    }
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const travelTimeBranch& b) { return b.points.size() < 2; }),
                found.end());
    return found;
}

} // namespace travelTimeCurves
