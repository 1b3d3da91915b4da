#pragma once

#include <QList>
#include <QtGlobal>

#include <vector>

// The latest stretch of one channel's samples, as long as a window: what a live display keeps
// of a stream that may run for days. Samples sit on the grid of the first one's time at the
// channel's rate; positions older than the window before the newest sample are let go, so the
// memory stays bounded (about a quarter more than the window, kept contiguous so that every
// piece can be read as one array). A stretch without samples stays a gap between two pieces;
// samples at or before the newest one held are dropped, so an overlap adds nothing twice. A
// new rate starts the ring afresh. Lives on whichever thread uses it; it has no lock.
class seismogramRing {
public:
    // A piece of samples without a gap; `samples` is good until the ring changes.
    struct piece {
        qint64 startUs = 0; // the first sample's time, µs since 1970
        double rate = 0;    // Hz
        const float* samples = nullptr;
        qsizetype count = 0;
    };

    explicit seismogramRing(double windowSeconds);

    double windowSeconds() const { return windowSeconds_; }
    double rate() const { return rate_; }
    bool isEmpty() const { return pieces_.empty(); }
    // The samples held, gaps left out.
    qsizetype heldSamples() const;
    // The positions the ring has room for at its rate (none before the first sample).
    qsizetype capacity() const { return capacity_; }
    // The time of the newest sample held; meaningless when empty.
    qint64 newestSampleUs() const;

    // How many of `count` samples from `startUs` at `rate` are already held or older than the
    // newest one held: append() would drop those, and only the rest are new.
    qsizetype heldOf(qint64 startUs, double rate, qsizetype count) const;
    // Adds samples from `startUs` at `rate`; see the class comment for what is kept.
    void append(qint64 startUs, double rate, const float* samples, qsizetype count);
    // Lets go of the samples before `us`, where the window now starts.
    void dropBefore(qint64 us);
    void clear();

    // The pieces held, oldest first.
    QList<piece> pieces() const;

private:
    qint64 positionOf(qint64 us) const;
    qint64 timeOf(qint64 position) const;
    void restart(qint64 originUs, double rate);
    void trimFront(qint64 position);

    double windowSeconds_;
    double rate_ = 0;
    qint64 originUs_ = 0; // the time of position 0
    qsizetype capacity_ = 0;
    // buffer_[i] holds position base_ + i; positions first_ … end_ − 1 are in the window.
    std::vector<float> buffer_;
    qint64 base_ = 0, first_ = 0, end_ = 0;
    struct span {
        qint64 from, to; // positions, to exclusive
    };
    std::vector<span> pieces_;
};
