#include "butterworthFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
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

// Two doubles in one SSE register; GCC and Clang lower the arithmetic to packed instructions.
using twoDoubles = double __attribute__((vector_size(16)));

// Two consecutive sections, each rewritten so that its output depends on its own output two
// samples back instead of one: multiplying numerator and denominator by
// 1 − a1 z⁻¹ + a2 z⁻² gives the denominator 1 + (2 a2 − a1²) z⁻² + a2² z⁻⁴, whose extra poles
// mirror the section's own (so the rewrite is as stable as the section), and a five-term
// numerator. Started at rest it produces the same output as the section, up to rounding.
struct sectionPair {
    twoDoubles g0, g1, g2, g3, g4; // numerator
    twoDoubles d2, d4;             // denominator, z⁻² and z⁻⁴
};

std::vector<sectionPair> pairUp(const std::vector<butterworthFilter::section>& sections) {
    std::vector<sectionPair> pairs((sections.size() + 1) / 2);
    for (std::size_t s = 0; s < 2 * pairs.size(); ++s) {
        // An odd count is made even with a section that passes its input through.
        const butterworthFilter::section c =
            s < sections.size() ? sections[s] : butterworthFilter::section{1, 0, 0, 0, 0};
        sectionPair& p = pairs[s / 2];
        const int lane = int(s % 2);
        p.g0[lane] = c.b0;
        p.g1[lane] = c.b1 - c.a1 * c.b0;
        p.g2[lane] = c.b2 - c.a1 * c.b1 + c.a2 * c.b0;
        p.g3[lane] = c.a2 * c.b1 - c.a1 * c.b2;
        p.g4[lane] = c.a2 * c.b2;
        p.d2[lane] = 2.0 * c.a2 - c.a1 * c.a1;
        p.d4[lane] = c.a2 * c.a2;
    }
    return pairs;
}

// One pair of sections over `count` samples, read from `in` and written to `out` (which may
// be the same array), forward or backward in time. A plain cascade waits, for every sample, on
// each section's previous output: one long chain of dependent multiplies and adds. Here the
// two sections share a vector register, the second working two samples behind the first, so
// that every dependency within the loop reaches two steps back and the look-ahead form above
// lets the steps overlap. The pipeline fills with zeros, which keeps the second section at
// rest until the first sample reaches it, and drains with zeros after the last sample.
template <typename In, typename Out>
void runPair(const sectionPair& c, const In* in, Out* out, qsizetype count, bool backward) {
    twoDoubles x1 = {}, x2 = {}, x3 = {}, x4 = {}, y1 = {}, y2 = {}, y3 = {}, y4 = {};
    const auto step = [&](double input) {
        const twoDoubles v{input, y2[0]};
        // The terms of earlier steps first, so that the loop-carried path is one multiply
        // and two additions per two samples.
        const twoDoubles older = (c.g1 * x1 + c.g2 * x2) + (c.g3 * x3 + c.g4 * x4) - c.d4 * y4;
        const twoDoubles y = (older + c.g0 * v) - c.d2 * y2;
        x4 = x3;
        x3 = x2;
        x2 = x1;
        x1 = v;
        y4 = y3;
        y3 = y2;
        y2 = y1;
        y1 = y;
        return y[1];
    };
    // The second section's output for a sample comes out two steps after the sample went in.
    constexpr qsizetype lag = 2;
    const qsizetype first = backward ? count - 1 : 0;
    const qsizetype direction = backward ? -1 : 1;
    const qsizetype filling = std::min(lag, count);
    qsizetype t = 0;
    for (; t < filling; ++t)
        step(double(in[first + direction * t]));
    // Writing behind the reading keeps filtering in place possible.
    for (; t < count; ++t)
        out[first + direction * (t - lag)] = Out(step(double(in[first + direction * t])));
    for (; t < count + lag; ++t) {
        const double y = step(0.0);
        if (t >= lag)
            out[first + direction * (t - lag)] = Out(y);
    }
}

} // namespace

void butterworthFilter::apply(const std::vector<section>& sections, float* samples, qsizetype count,
                              int passes) {
    if (sections.empty() || !samples || count <= 0)
        return;
    const std::vector<sectionPair> pairs = pairUp(sections);
    // Each pair runs over the whole signal in turn: more pairs in one loop would not fit the
    // registers.
    const std::size_t runs = pairs.size() * (passes >= 2 ? 2 : 1);
    if (runs == 1) {
        runPair(pairs.front(), samples, samples, count, false);
        return;
    }
    // The signal stays in double precision between the runs; the second pass runs backward in
    // time over the first's result.
    const auto work = std::make_unique_for_overwrite<double[]>(std::size_t(count));
    for (std::size_t r = 0; r < runs; ++r) {
        const sectionPair& pair = pairs[r % pairs.size()];
        const bool backward = r >= pairs.size();
        if (r == 0)
            runPair(pair, samples, work.get(), count, backward);
        else if (r + 1 < runs)
            runPair(pair, work.get(), work.get(), count, backward);
        else
            runPair(pair, work.get(), samples, count, backward);
    }
}
