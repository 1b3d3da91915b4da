#include "evenlySampledSignal.h"

#include <algorithm>

evenlySampledSignal::evenlySampledSignal(std::vector<float> samples, double delta,
                                         QString description)
    : samples_(std::move(samples))
    , delta_(delta)
    , description_(std::move(description)) {}

float evenlySampledSignal::min() const {
    return samples_.empty() ? 0.0f : *std::min_element(samples_.begin(), samples_.end());
}

float evenlySampledSignal::max() const {
    return samples_.empty() ? 0.0f : *std::max_element(samples_.begin(), samples_.end());
}
