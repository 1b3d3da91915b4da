#include "streamedChannel.h"

#include <algorithm>
#include <numeric>

streamedChannel::streamedChannel(const QString& label, double windowSeconds, const filtering& how)
    : label_(label)
    , how_(how)
    , ring_(windowSeconds) {}

void streamedChannel::startFilters(double rate) {
    filterRate_ = rate;
    offset_.reset();
    const double interval = 1.0 / rate;
    highPass_ = how_.highPassHz > 0 ? butterworthStream(butterworthFilter::kind::highPass,
                                                        how_.highPassHz, interval, how_.poles)
                                    : butterworthStream();
    lowPass_ = how_.lowPassHz > 0 ? butterworthStream(butterworthFilter::kind::lowPass,
                                                      how_.lowPassHz, interval, how_.poles)
                                  : butterworthStream();
}

qsizetype streamedChannel::add(qint64 startUs, double rate, const float* samples, qsizetype count) {
    if (!samples || count <= 0 || !(rate > 0))
        return 0;
    const qsizetype held = ring_.heldOf(startUs, rate, count);
    if (held >= count)
        return 0;
    if (rate != filterRate_)
        startFilters(rate);
    work_.assign(samples + held, samples + count);
    if (!offset_)
        offset_ = std::accumulate(work_.begin(), work_.end(), 0.0) / double(work_.size());
    const auto offset = float(*offset_);
    for (float& s : work_)
        s -= offset;
    highPass_.process(work_.data(), qsizetype(work_.size()));
    lowPass_.process(work_.data(), qsizetype(work_.size()));
    const qint64 from = startUs + qint64(std::llround(double(held) * 1e6 / rate));
    ring_.append(from, rate, work_.data(), qsizetype(work_.size()));
    return qsizetype(work_.size());
}
