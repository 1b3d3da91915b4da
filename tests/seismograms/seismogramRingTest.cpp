// What a live channel keeps of its stream: the window's latest samples in bounded memory, gaps
// left as gaps, overlaps not taken twice, and the filters run once over the samples taken.

#include "seismogramRing.h"
#include "liveStream.h"
#include "streamedChannel.h"

#include <cmath>
#include <numeric>

#include <gtest/gtest.h>

namespace {

constexpr qint64 t0 = 1765195200000000; // 2025-12-08 12:00:00 UTC, µs

std::vector<float> ramp(float from, int count) {
    std::vector<float> v(static_cast<size_t>(count));
    std::iota(v.begin(), v.end(), from);
    return v;
}

// The pieces as (start µs after t0, samples).
std::vector<std::pair<qint64, std::vector<float>>> contents(const seismogramRing& ring) {
    std::vector<std::pair<qint64, std::vector<float>>> out;
    for (const seismogramRing::piece& p : ring.pieces())
        out.push_back({p.startUs - t0, std::vector<float>(p.samples, p.samples + p.count)});
    return out;
}

} // namespace

TEST(SeismogramRing, JoinsPacketsAndKeepsGapsAndDropsOverlaps) {
    seismogramRing ring(60.0); // 10 Hz: 601 positions
    EXPECT_TRUE(ring.isEmpty());
    const auto a = ramp(0, 5), b = ramp(5, 5);
    ring.append(t0, 10.0, a.data(), 5);
    ring.append(t0 + 500000, 10.0, b.data(), 5);
    EXPECT_EQ(ring.capacity(), 601);
    EXPECT_EQ(contents(ring),
              (std::vector<std::pair<qint64, std::vector<float>>>{{0, ramp(0, 10)}}));
    EXPECT_EQ(ring.newestSampleUs() - t0, 900000);

    // A packet that overlaps the last three samples adds only its two new ones; one entirely
    // held adds nothing; one 40 ms late still lies on the grid.
    const std::vector<float> overlap = {-7, -8, -9, 10, 11};
    EXPECT_EQ(ring.heldOf(t0 + 700000, 10.0, 5), 3);
    ring.append(t0 + 700000, 10.0, overlap.data(), 5);
    ring.append(t0 + 200000, 10.0, a.data(), 5);
    const std::vector<float> late = {12};
    ring.append(t0 + 1240000, 10.0, late.data(), 1);
    EXPECT_EQ(contents(ring),
              (std::vector<std::pair<qint64, std::vector<float>>>{{0, ramp(0, 13)}}));

    // Two seconds without samples: a gap between two pieces, not a join.
    const auto after = ramp(100, 3);
    ring.append(t0 + 3300000, 10.0, after.data(), 3);
    EXPECT_EQ(contents(ring), (std::vector<std::pair<qint64, std::vector<float>>>{
                                  {0, ramp(0, 13)}, {3300000, ramp(100, 3)}}));
    EXPECT_EQ(ring.heldSamples(), 16);
}

TEST(SeismogramRing, StaysWithinItsWindowHoweverLongItRuns) {
    seismogramRing ring(10.0); // 100 Hz: 1001 positions
    std::vector<float> packet(412);
    qint64 start = t0;
    float value = 0;
    // An hour of packets in a ten-second window.
    for (int k = 0; k < 874; ++k) {
        for (float& s : packet)
            s = value++;
        ring.append(start, 100.0, packet.data(), qsizetype(packet.size()));
        start += 4120000;
        ASSERT_LE(ring.heldSamples(), 1001);
    }
    const auto pieces = ring.pieces();
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces.front().count, 1001);
    // The newest samples, in order, ending with the last one added.
    EXPECT_EQ(pieces.front().samples[1000], value - 1);
    EXPECT_EQ(pieces.front().samples[0], value - 1001);
    EXPECT_EQ(ring.newestSampleUs(), start - 10000);
    EXPECT_EQ(pieces.front().startUs, start - 10000 - 10000000);

    // A jump by more than the window leaves nothing of the old samples.
    ring.append(start + 3600000000, 100.0, packet.data(), 3);
    EXPECT_EQ(contents(ring), (std::vector<std::pair<qint64, std::vector<float>>>{
                                  {start + 3600000000 - t0, {packet[0], packet[1], packet[2]}}}));
}

TEST(SeismogramRing, LetsGoOfWhatTheMovingWindowLeavesBehind) {
    seismogramRing ring(60.0);
    const auto first = ramp(0, 10), second = ramp(50, 10);
    ring.append(t0, 10.0, first.data(), 10);
    ring.append(t0 + 5000000, 10.0, second.data(), 10);
    // The window now starts 0.35 s in: the samples before it go, the rest stay in place.
    ring.dropBefore(t0 + 350000);
    EXPECT_EQ(contents(ring), (std::vector<std::pair<qint64, std::vector<float>>>{
                                  {400000, ramp(4, 6)}, {5000000, ramp(50, 10)}}));
    // Past the first piece, then past everything.
    ring.dropBefore(t0 + 5500000);
    EXPECT_EQ(contents(ring),
              (std::vector<std::pair<qint64, std::vector<float>>>{{5500000, ramp(55, 5)}}));
    ring.dropBefore(t0 + 7000000);
    EXPECT_TRUE(ring.isEmpty());

    // A new rate starts afresh.
    ring.append(t0, 10.0, first.data(), 10);
    ring.append(t0 + 1000000, 20.0, second.data(), 4);
    EXPECT_EQ(contents(ring),
              (std::vector<std::pair<qint64, std::vector<float>>>{{1000000, ramp(50, 4)}}));
    EXPECT_EQ(ring.rate(), 20.0);
}

TEST(StreamedChannel, FiltersOnlyTheSamplesItTakesAsOnePassOverThem) {
    // A 1 Hz sine at 20 Hz on an offset, in packets of 40 that overlap by 10.
    std::vector<float> signal(400);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = float(1000.0 + 50.0 * std::sin(2.0 * M_PI * double(i) / 20.0));
    const streamedChannel::filtering how{0.2, 5.0, 4};
    streamedChannel channel(QStringLiteral("XX.TEST"), 600.0, how);
    qsizetype taken = 0;
    for (int from = 0; from + 40 <= 400; from += 30)
        taken += channel.add(t0 + qint64(from) * 50000, 20.0, signal.data() + from, 40);
    EXPECT_EQ(taken, 400);

    // The same samples in one piece through the same filters, after the first packet's mean.
    std::vector<float> expected = signal;
    const double offset = std::accumulate(signal.begin(), signal.begin() + 40, 0.0) / 40.0;
    for (float& s : expected)
        s -= float(offset);
    butterworthStream(butterworthFilter::kind::highPass, 0.2, 0.05, 4)
        .process(expected.data(), 400);
    butterworthStream(butterworthFilter::kind::lowPass, 5.0, 0.05, 4).process(expected.data(), 400);
    const auto pieces = channel.ring().pieces();
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(std::vector<float>(pieces.front().samples, pieces.front().samples + 400), expected);
    EXPECT_EQ(pieces.front().startUs, t0);
    // Packets it holds already are taken no more.
    EXPECT_EQ(channel.add(t0, 20.0, signal.data(), 40), 0);
}

TEST(LiveStream, SaysHowLateAChannelIsInItsOwnUnit) {
    EXPECT_EQ(liveStream::delayText(3400), "+3 s");
    EXPECT_EQ(liveStream::delayText(119999), "+119 s");
    EXPECT_EQ(liveStream::delayText(120000), "+2 min");
    EXPECT_EQ(liveStream::delayText(7199999), "+119 min");
    EXPECT_EQ(liveStream::delayText(7200000), "+2 h");
    // A last sample a little ahead of the clock is not late at all.
    EXPECT_EQ(liveStream::delayText(-1500), "+0 s");
}
