#include "seismogramRing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Two rates closer than this are one: the headers give rates as floats or as factors.
bool sameRate(double a, double b) {
    return std::abs(a - b) <= 1e-6 * std::max(a, b);
}

} // namespace

seismogramRing::seismogramRing(double windowSeconds)
    : windowSeconds_(std::max(0.0, windowSeconds)) {}

qsizetype seismogramRing::heldSamples() const {
    qsizetype held = 0;
    for (const span& s : pieces_)
        held += qsizetype(s.to - s.from);
    return held;
}

qint64 seismogramRing::newestSampleUs() const {
    return timeOf(end_ - 1);
}

qint64 seismogramRing::positionOf(qint64 us) const {
    // A sample up to half an interval off the grid is on it: clocks of dataloggers jitter.
    return qint64(std::llround(double(us - originUs_) * rate_ / 1e6));
}

qint64 seismogramRing::timeOf(qint64 position) const {
    return originUs_ + qint64(std::llround(double(position) * 1e6 / rate_));
}

void seismogramRing::restart(qint64 originUs, double rate) {
    rate_ = rate;
    originUs_ = originUs;
    capacity_ = qsizetype(std::ceil(windowSeconds_ * rate)) + 1;
    clear();
    // The one allocation: compacting keeps the buffer within this.
    buffer_.reserve(std::size_t(capacity_ + capacity_ / 4 + 1));
}

void seismogramRing::clear() {
    buffer_.clear();
    pieces_.clear();
    base_ = first_ = end_ = 0;
}

qsizetype seismogramRing::heldOf(qint64 startUs, double rate, qsizetype count) const {
    if (pieces_.empty() || !sameRate(rate, rate_) || count <= 0)
        return 0;
    return qsizetype(std::clamp<qint64>(end_ - positionOf(startUs), 0, count));
}

void seismogramRing::trimFront(qint64 position) {
    if (position <= first_)
        return;
    first_ = std::min(position, end_);
    std::erase_if(pieces_, [this](const span& s) { return s.to <= first_; });
    if (!pieces_.empty())
        pieces_.front().from = std::max(pieces_.front().from, first_);
}

void seismogramRing::append(qint64 startUs, double rate, const float* samples, qsizetype count) {
    if (!samples || count <= 0 || !(rate > 0) || !std::isfinite(rate))
        return;
    if (pieces_.empty() || !sameRate(rate, rate_))
        restart(startUs, rate);
    const qint64 start = positionOf(startUs);
    qint64 from = std::max(start, end_);
    const qint64 to = start + count;
    if (from >= to)
        return;
    const qint64 keepFrom = to - capacity_;
    if (keepFrom >= end_ || pieces_.empty()) {
        // Nothing held stays in the window: start the buffer where the new samples do.
        buffer_.clear();
        pieces_.clear();
        from = std::max(from, keepFrom);
        base_ = first_ = end_ = from;
    } else {
        trimFront(keepFrom);
    }
    // Room for the new positions: the held ones move to the front of the buffer once the
    // buffer is a quarter longer than the window, each sample moved about four times in all.
    const qint64 room = capacity_ + capacity_ / 4 + 1;
    if (to - base_ > room) {
        const qint64 kept = end_ - first_;
        std::memmove(buffer_.data(), buffer_.data() + (first_ - base_),
                     std::size_t(kept) * sizeof(float));
        buffer_.resize(std::size_t(kept));
        base_ = first_;
    }
    // A gap's positions hold zeros that no piece shows.
    buffer_.resize(std::size_t(to - base_), 0.0f);
    std::memcpy(buffer_.data() + (from - base_), samples + (from - start),
                std::size_t(to - from) * sizeof(float));
    if (!pieces_.empty() && pieces_.back().to == from)
        pieces_.back().to = to;
    else
        pieces_.push_back({from, to});
    end_ = to;
}

void seismogramRing::dropBefore(qint64 us) {
    if (pieces_.empty())
        return;
    const qint64 position = qint64(std::ceil(double(us - originUs_) * rate_ / 1e6 - 1e-9));
    if (position >= end_) {
        clear();
        return;
    }
    trimFront(position);
}

QList<seismogramRing::piece> seismogramRing::pieces() const {
    QList<piece> out;
    out.reserve(qsizetype(pieces_.size()));
    for (const span& s : pieces_)
        out.append(
            {timeOf(s.from), rate_, buffer_.data() + (s.from - base_), qsizetype(s.to - s.from)});
    return out;
}
