#include "seismicityStatistics.h"

#include <algorithm>
#include <map>
#include <numbers>

namespace {

QString fixed(double value, int decimals) {
    // printf would write "-nan" for some NaNs; the figures print one word for all of them.
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("nan");
}

} // namespace

seismicityStatistics seismicityStatistics::ofMagnitudes(const std::vector<double>& magnitudes) {
    seismicityStatistics s;
    std::map<long long, int> countInBin;
    for (const double m : magnitudes) {
        if (!std::isfinite(m))
            continue;
        ++s.events_;
        ++countInBin[binOf(m)];
    }
    if (countInBin.empty())
        return s;

    // The map runs from the smallest bin up and only a larger count replaces the best, so a tie
    // goes to the smallest magnitude: the fit keeps the most events, whatever the list's order.
    long long mcBin = countInBin.begin()->first;
    int most = 0;
    for (const auto& [bin, count] : countInBin) {
        if (count > most) {
            most = count;
            mcBin = bin;
        }
    }
    s.mc_ = double(mcBin) * binWidth;

    // "At or above Mc" is by bin: the whole Mc bin counts, from Mc - 0.05 up, which is the edge
    // the binning correction puts into the estimate. The magnitudes themselves are used as given.
    double sum = 0;
    for (const double m : magnitudes) {
        if (std::isfinite(m) && binOf(m) >= mcBin) {
            ++s.nAboveMc_;
            sum += m;
        }
    }
    const int n = s.nAboveMc_;
    // One event fixes no slope (and its spread divides by n - 1 = 0).
    if (n < 2)
        return s;
    const double mean = sum / n;
    double squares = 0;
    for (const double m : magnitudes) {
        if (std::isfinite(m) && binOf(m) >= mcBin)
            squares += (m - mean) * (m - mean);
    }
    const double aboveLowerEdge = mean - (s.mc_ - binWidth / 2);
    // Every event on the bin's lower edge leaves nothing to divide by (a millionth of a
    // magnitude unit being nothing, as binOf treats it).
    if (!(aboveLowerEdge > 1e-6))
        return s;
    s.b_ = std::numbers::log10e / aboveLowerEdge;
    s.bError_ = 2.30 * s.b_ * s.b_ * std::sqrt(squares / (double(n) * (n - 1)));
    s.a_ = std::log10(double(n)) + s.b_ * s.mc_;
    return s;
}

std::vector<double> seismicityStatistics::magnitudesOf(const originList& origins) {
    std::vector<double> magnitudes;
    magnitudes.reserve(size_t(origins.size()));
    for (const auto& o : origins) {
        if (!o)
            continue;
        const double m = o->magnitude();
        const bool hasRecord = o->hasMagnitudeList() && !o->magnitudes().isEmpty();
        if (!std::isfinite(m) || (m == 0 && !hasRecord))
            continue;
        magnitudes.push_back(m);
    }
    return magnitudes;
}

std::vector<double> seismicityStatistics::depthsOf(const originList& origins) {
    std::vector<double> depths;
    depths.reserve(size_t(origins.size()));
    for (const auto& o : origins) {
        if (o && std::isfinite(o->depth()))
            depths.push_back(o->depth());
    }
    return depths;
}

originList seismicityStatistics::withinMagnitudes(const originList& origins, double minimum,
                                                  double maximum) {
    originList kept;
    for (const auto& o : origins) {
        if (!o)
            continue;
        // Compared in float, as the catalogues store and filter them: 2.6 is 2.5999999 there,
        // and a limit of 2.6 must still take it in.
        const std::vector<double> m = magnitudesOf({o});
        if (!m.empty() && float(minimum) <= float(m.front()) && float(m.front()) <= float(maximum))
            kept.append(o);
    }
    return kept;
}

std::vector<seismicityStatistics::cumulativeCount>
seismicityStatistics::cumulativeCounts(const std::vector<double>& magnitudes) {
    std::map<long long, int> countInBin;
    for (const double m : magnitudes) {
        if (std::isfinite(m))
            ++countInBin[binOf(m)];
    }
    std::vector<cumulativeCount> curve;
    if (countInBin.empty())
        return curve;
    const long long first = countInBin.begin()->first, last = countInBin.rbegin()->first;
    curve.resize(size_t(last - first + 1));
    int atOrAbove = 0;
    // From the top down, each bin adds its own events to those of every bin above it.
    for (long long bin = last; bin >= first; --bin) {
        const auto found = countInBin.find(bin);
        atOrAbove += found == countInBin.end() ? 0 : found->second;
        curve[size_t(bin - first)] = {double(bin) * binWidth, atOrAbove};
    }
    return curve;
}

QString seismicityStatistics::printed() const {
    return QStringLiteral("events %1\nmc %2\nn_above_mc %3\nb %4\nb_error %5\na %6\n")
        .arg(events_)
        .arg(fixed(mc_, 2))
        .arg(nAboveMc_)
        .arg(fixed(b_, 3), fixed(bError_, 3), fixed(a_, 3));
}
