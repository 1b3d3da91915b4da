#include "butterworthFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

std::vector<butterworthFilter::section>
butterworthFilter::design(kind k, double cornerHz, double sampleInterval, int poles) {
    if (poles < 1 || poles > maximumPoles || !(sampleInterval > 0) ||
        !std::isfinite(sampleInterval))
        return {};
    const double fs = 1.0 / sampleInterval;
    // Sample intervals arrive as 32-bit floats (0.01 is 0.0099999998), which would put the
    // Nyquist frequency a hair above its nominal value: a corner within a millionth of it
    // counts as at it.
    if (!(cornerHz > 0) || !(cornerHz < 0.5 * fs * (1.0 - 1e-6)))
        return {};

    // Pre-warp the corner so that the digital filter has it exactly where asked.
    const double warped = 2.0 * fs * std::tan(std::numbers::pi * cornerHz / fs);
    const double twoFs = 2.0 * fs;

    std::vector<section> sections;
    // Prototype poles in the left half plane; each pair with a positive imaginary part stands
    // for itself and its conjugate, and an odd count adds the real pole at −1.
    for (int m = 0; m < poles / 2; ++m) {
        const double angle = std::numbers::pi * double(2 * m + 1 + poles) / double(2 * poles);
        std::complex<double> analog(std::cos(angle), std::sin(angle));
        analog = k == kind::lowPass ? analog * warped : warped / analog;
        const std::complex<double> digital = (twoFs + analog) / (twoFs - analog);
        section s{};
        s.a1 = -2.0 * digital.real();
        s.a2 = std::norm(digital);
        // Zeros: at z = −1 for a low pass, at z = +1 for a high pass.
        const double sign = k == kind::lowPass ? 1.0 : -1.0;
        s.b0 = 1.0;
        s.b1 = 2.0 * sign;
        s.b2 = 1.0;
        // Unit gain at 0 Hz (low pass) or at the Nyquist frequency (high pass).
        const double gain = (s.b0 + sign * s.b1 + s.b2) / (1.0 + sign * s.a1 + s.a2);
        s.b0 /= gain;
        s.b1 /= gain;
        s.b2 /= gain;
        sections.push_back(s);
    }
    if (poles % 2 == 1) {
        // The prototype's real pole −1 maps to −warped for both kinds.
        const double analog = -warped;
        const double digital = (twoFs + analog) / (twoFs - analog);
        const double sign = k == kind::lowPass ? 1.0 : -1.0;
        section s{1.0, sign, 0.0, -digital, 0.0};
        const double gain = (s.b0 + sign * s.b1) / (1.0 + sign * s.a1);
        s.b0 /= gain;
        s.b1 /= gain;
        sections.push_back(s);
    }
    return sections;
}

namespace {

// The whole cascade, sample by sample, in transposed direct form II. With the section count
// fixed at compile time the state of every section stays in registers, and the sections'
// recurrences overlap: section k of one sample runs beside section k-1 of the next.
template <std::size_t N>
void runCascade(const butterworthFilter::section* c, double* x, qsizetype count) {
    double z1[N] = {}, z2[N] = {};
    for (qsizetype i = 0; i < count; ++i) {
        double v = x[i];
        for (std::size_t s = 0; s < N; ++s) {
            // The terms that do not wait for y are summed first, so that the recurrence
            // through y is one multiply and one subtraction long.
            const double y = c[s].b0 * v + z1[s];
            z1[s] = (c[s].b1 * v + z2[s]) - c[s].a1 * y;
            z2[s] = c[s].b2 * v - c[s].a2 * y;
            v = y;
        }
        x[i] = v;
    }
}

void runSections(const std::vector<butterworthFilter::section>& sections, double* x,
                 qsizetype count) {
    static_assert(butterworthFilter::maximumPoles == 10, "one case per section count");
    switch (sections.size()) {
    case 1:
        runCascade<1>(sections.data(), x, count);
        break;
    case 2:
        runCascade<2>(sections.data(), x, count);
        break;
    case 3:
        runCascade<3>(sections.data(), x, count);
        break;
    case 4:
        runCascade<4>(sections.data(), x, count);
        break;
    case 5:
        runCascade<5>(sections.data(), x, count);
        break;
    default:
        break;
    }
}

} // namespace

void butterworthFilter::apply(const std::vector<section>& sections, float* samples, qsizetype count,
                              int passes) {
    if (sections.empty() || !samples || count <= 0)
        return;
    // The signal stays in double precision between the passes.
    std::vector<double> work(samples, samples + count);
    runSections(sections, work.data(), count);
    if (passes >= 2) {
        // The second pass runs backward in time: filter the reversed signal, reverse back.
        std::reverse(work.begin(), work.end());
        runSections(sections, work.data(), count);
        std::reverse(work.begin(), work.end());
    }
    std::copy(work.begin(), work.end(), samples);
}
