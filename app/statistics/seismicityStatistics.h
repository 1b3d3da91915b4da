#pragma once

#include "seismicOrigin.h"

#include <QString>

#include <cmath>
#include <limits>
#include <vector>

// The Gutenberg–Richter figures of a list of magnitudes: the magnitude of completeness by
// maximum curvature, the b-value by maximum likelihood corrected for magnitudes binned at 0.1,
// its Shi & Bolt uncertainty and the a-value. A figure that cannot be had from the list
// (no events, fewer than two at or above Mc, all of them at the bottom edge of the Mc bin) is
// NaN, and prints as "nan".
class seismicityStatistics {
public:
    static constexpr double binWidth = 0.1;
    // Fewer events than this at or above Mc give figures too uncertain to trust.
    static constexpr int fewestEventsForFit = 50;

    // The figures of `magnitudes`; values that are not finite are left out.
    static seismicityStatistics ofMagnitudes(const std::vector<double>& magnitudes);

    // The magnitude the table shows, of each origin that has one. The readers leave 0 where a
    // catalogue gave no magnitude, so an origin counts as without one when its value is not
    // finite, or when it is 0 and the origin carries no magnitude record either.
    static std::vector<double> magnitudesOf(const originList& origins);
    // The depths in km of the origins whose depth is finite.
    static std::vector<double> depthsOf(const originList& origins);
    // Inclusive magnitude limits, as --min-mag and --max-mag ask; origins without a magnitude
    // fall outside any limit.
    static originList withinMagnitudes(const originList& origins, double minimum, double maximum);

    // The 0.1 bin of a magnitude, in tenths, halves rounded away from zero. llround keeps 2.3
    // (22.999… tenths in binary) in the 2.3 bin, where truncation would drop it into 2.2; the
    // nudge of 1e-5 magnitude units keeps a half a half: magnitudes reach us as floats, in which
    // 2.05 is 2.0499999523, and the catalogue meant 2.05.
    static long long binOf(double magnitude) {
        return std::llround(magnitude * 10.0 + std::copysign(1e-4, magnitude));
    }

    // One point of the magnitude–frequency curve: a bin centre and the number of events whose
    // binned magnitude is at least that.
    struct cumulativeCount {
        double magnitude;
        int count;
    };
    // Every 0.1 bin from the smallest to the largest magnitude, empty bins included.
    static std::vector<cumulativeCount> cumulativeCounts(const std::vector<double>& magnitudes);

    int events() const { return events_; }
    double mc() const { return mc_; }
    int nAboveMc() const { return nAboveMc_; }
    double b() const { return b_; }
    double bError() const { return bError_; }
    double a() const { return a_; }
    bool tooFewEvents() const { return nAboveMc_ < fewestEventsForFit; }
    // log10 N(>= M) of the fitted line; NaN without a fit.
    double fittedLog10Count(double magnitude) const { return a_ - b_ * magnitude; }

    // "events N", "mc X.XX", "n_above_mc N", "b X.XXX", "b_error X.XXX", "a X.XXX", one a line.
    QString printed() const;

private:
    static constexpr double undefined = std::numeric_limits<double>::quiet_NaN();

    int events_ = 0;
    double mc_ = undefined;
    int nAboveMc_ = 0;
    double b_ = undefined;
    double bError_ = undefined;
    double a_ = undefined;
};
