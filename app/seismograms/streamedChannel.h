#pragma once

#include "butterworthStream.h"
#include "seismogramRing.h"

#include <QString>

#include <optional>

// One channel of a live stream: its samples within the window, filtered as they arrive. The
// high and low passes run causally, their state carried from one packet to the next, so that
// the joins between packets leave no mark. The mean is not removed (a mean needs the whole
// window); instead the first samples' mean is taken off everything that follows, which spares
// the high pass the step of the channel's offset at the start. Samples the ring already holds
// are not filtered again: only those it takes go through the filters, in time order.
class streamedChannel {
public:
    // Corners in Hz; one that is not positive or not below the channel's Nyquist frequency
    // filters nothing.
    struct filtering {
        double highPassHz = -1, lowPassHz = -1;
        int poles = 4;
    };

    streamedChannel(const QString& label, double windowSeconds, const filtering& how);

    const QString& label() const { return label_; }
    const seismogramRing& ring() const { return ring_; }
    seismogramRing& ring() { return ring_; }

    // Filters and keeps what is new of `count` samples from `startUs` at `rate`; the number of
    // samples taken.
    qsizetype add(qint64 startUs, double rate, const float* samples, qsizetype count);

private:
    void startFilters(double rate);

    QString label_;
    filtering how_;
    seismogramRing ring_;
    double filterRate_ = 0;
    std::optional<double> offset_; // in counts
    butterworthStream highPass_, lowPass_;
    std::vector<float> work_;
};
