#include "butterworthFilter.h"

#include <cmath>
#include <complex>
#include <numbers>

std::vector<butterworthFilter::section> butterworthFilter::design(kind k, double cornerHz,
                                                                  double sampleInterval, int poles)
{
    if (poles < 1 || poles > maximumPoles || !(sampleInterval > 0) || !std::isfinite(sampleInterval))
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

template <typename Step>
void runSections(const std::vector<butterworthFilter::section>& sections, float* samples,
                 qsizetype count, Step step)
{
    // Transposed direct form II, all sections per sample, in double precision.
    std::vector<double> z1(sections.size(), 0.0), z2(sections.size(), 0.0);
    for (qsizetype i = 0; i < count; ++i) {
        float& sample = samples[step(i)];
        double x = sample;
        for (std::size_t s = 0; s < sections.size(); ++s) {
            const butterworthFilter::section& c = sections[s];
            const double y = c.b0 * x + z1[s];
            z1[s] = c.b1 * x - c.a1 * y + z2[s];
            z2[s] = c.b2 * x - c.a2 * y;
            x = y;
        }
        sample = float(x);
    }
}

} // namespace

void butterworthFilter::apply(const std::vector<section>& sections, float* samples, qsizetype count,
                              int passes)
{
    if (sections.empty() || !samples || count <= 0)
        return;
    runSections(sections, samples, count, [](qsizetype i) { return i; });
    if (passes >= 2)
        runSections(sections, samples, count, [count](qsizetype i) { return count - 1 - i; });
}
