#pragma once

#include "butterworthFilter.h"
#include "qvrsac_export.h"

#include <QtGlobal>

#include <vector>

// A Butterworth filter run causally over a signal that arrives in pieces (a stream's packets):
// the sections keep their state from one call to the next, so that filtering a signal piece by
// piece gives exactly the samples that filtering it in one call gives, however it is cut.
// Each sample passes through every section in double precision before it is stored again.
class QVRSAC_EXPORT butterworthStream {
public:
    // A stream that passes samples through unchanged.
    butterworthStream() = default;
    // The filter butterworthFilter::design() makes of these; it passes samples through
    // unchanged when that makes none.
    butterworthStream(butterworthFilter::kind k, double cornerHz, double sampleInterval, int poles);

    // False when the stream passes its samples through unchanged.
    bool isFiltering() const { return !sections_.empty(); }

    // Filters samples[0] … samples[count − 1] in place, continuing from the previous call.
    void process(float* samples, qsizetype count);
    // Back at rest, as before the first sample.
    void reset();

private:
    // Transposed direct form II: two values of state per section.
    struct state {
        double s1 = 0, s2 = 0;
    };
    std::vector<butterworthFilter::section> sections_;
    std::vector<state> states_;
};
