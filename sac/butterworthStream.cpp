#include "butterworthStream.h"

butterworthStream::butterworthStream(butterworthFilter::kind k, double cornerHz,
                                     double sampleInterval, int poles)
    : sections_(butterworthFilter::design(k, cornerHz, sampleInterval, poles))
    , states_(sections_.size()) {}

void butterworthStream::process(float* samples, qsizetype count) {
    if (sections_.empty() || !samples)
        return;
    const std::size_t n = sections_.size();
    for (qsizetype i = 0; i < count; ++i) {
        double x = samples[i];
        for (std::size_t s = 0; s < n; ++s) {
            const butterworthFilter::section& c = sections_[s];
            state& z = states_[s];
            const double y = c.b0 * x + z.s1;
            z.s1 = c.b1 * x - c.a1 * y + z.s2;
            z.s2 = c.b2 * x - c.a2 * y;
            x = y;
        }
        samples[i] = float(x);
    }
}

void butterworthStream::reset() {
    for (state& z : states_)
        z = {};
}
