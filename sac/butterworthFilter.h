#pragma once

#include "qvrsac_export.h"

#include <QtGlobal>

#include <vector>

// Butterworth low- and high-pass filters, designed from the analog prototype by the bilinear
// transform with the corner pre-warped, and run as a cascade of second-order sections (one
// first-order section for an odd pole count).
class QVRSAC_EXPORT butterworthFilter {
public:
    enum class kind { lowPass, highPass };

    // y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2]
    struct section {
        double b0, b1, b2, a1, a2;
    };

    static constexpr int maximumPoles = 10;

    // The sections of the filter, or none when it cannot be built: a corner that is not
    // strictly between 0 and the Nyquist frequency, a sample interval that is not positive,
    // or a pole count outside 1…10.
    static std::vector<section> design(kind k, double cornerHz, double sampleInterval, int poles);

    // Filters `samples` in place. One pass runs forward (causal); two passes run forward and
    // then backward over the result (zero phase, the amplitude response squared). The state
    // starts at rest for each pass.
    static void apply(const std::vector<section>& sections, float* samples, qsizetype count,
                      int passes);
};
