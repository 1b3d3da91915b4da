// Spectrograms of sines and chirps whose spectra are known in closed form.

#include "spectrogram.h"

#include <cmath>
#include <future>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<float> sine(int count, double delta, double hz, double amplitude = 1.0) {
    std::vector<float> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[size_t(i)] = float(amplitude * std::sin(2 * std::numbers::pi * hz * i * delta));
    return samples;
}

// 1 Hz at the start, rising by `rate` Hz every second.
std::vector<float> chirp(int count, double delta, double rate) {
    std::vector<float> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = i * delta;
        samples[size_t(i)] = float(std::sin(2 * std::numbers::pi * (t + 0.5 * rate * t * t)));
    }
    return samples;
}

} // namespace

TEST(Spectrogram, DefaultWindowIsThePowerOfTwoNearestTenSeconds) {
    EXPECT_EQ(spectrogram::defaultWindowLength(0.01), 1024); // 100 Hz: 10.24 s
    EXPECT_EQ(spectrogram::defaultWindowLength(0.025), 512); // 40 Hz: 400 samples, 12.8 s
    EXPECT_EQ(spectrogram::defaultWindowLength(0.05), 256);  // 20 Hz: 200 samples, 12.8 s
    EXPECT_EQ(spectrogram::defaultWindowLength(1.0), 16);    // 1 Hz: 10 samples, raised to 16
    EXPECT_EQ(spectrogram::defaultWindowLength(-12345), 16); // an undefined header value
    EXPECT_EQ(spectrogram::defaultWindowLength(1e-6), 1 << 20);
}

TEST(Spectrogram, WindowAndOverlapGiveTheColumnsAndTheirTimes) {
    const std::vector<float> minute = sine(6000, 0.01, 5.0);
    // 50 % of 1024 samples: columns start every 512 samples while a whole window fits.
    const spectrogram halves(minute.data(), 6000, 0.01);
    EXPECT_EQ(halves.windowLength(), 1024);
    EXPECT_EQ(halves.step(), 512);
    EXPECT_EQ(halves.columns(), 10);
    EXPECT_EQ(halves.bins(), 513);
    EXPECT_DOUBLE_EQ(halves.binWidth(), 1.0 / 10.24);
    EXPECT_DOUBLE_EQ(halves.nyquist(), 50.0);
    EXPECT_FALSE(halves.zeroPadded());
    EXPECT_EQ(halves.powers().size(), 10u * 513u);
    // A column stands at the middle of its window.
    EXPECT_NEAR(halves.columnTime(0), 5.115, 1e-9);
    EXPECT_NEAR(halves.columnTime(9), 5.115 + 9 * 5.12, 1e-9);
    EXPECT_EQ(halves.columnAt(5.115), 0);
    EXPECT_EQ(halves.columnAt(5.115 + 2.56 + 0.001), 1);
    EXPECT_EQ(halves.columnAt(5.115 - 2.56 - 0.001), -1);
    EXPECT_EQ(halves.columnAt(5.115 + 9.5 * 5.12 + 0.001), -1);

    struct layout {
        int window;
        double overlap;
        int step, columns;
    } layouts[] = {{1024, 0.75, 256, 20}, {1024, 0.0, 1024, 5}, {512, 0.5, 256, 22},
                   {1000, 0.5, 500, 11},  {1024, 0.99, 51, 98}, {6000, 0.5, 3000, 1}};
    for (const layout& l : layouts) {
        SCOPED_TRACE(l.window);
        SCOPED_TRACE(l.overlap);
        const spectrogram s(minute.data(), 6000, 0.01, {l.window, l.overlap});
        EXPECT_EQ(s.step(), l.step);
        EXPECT_EQ(s.columns(), l.columns);
        EXPECT_EQ(s.bins(), l.window / 2 + 1);
    }
    // Samples after the last whole window are left out: 1535 samples still make one column.
    EXPECT_EQ(spectrogram(minute.data(), 1535, 0.01).columns(), 1);
    EXPECT_EQ(spectrogram(minute.data(), 1536, 0.01).columns(), 2);
}

TEST(Spectrogram, SinePeaksInItsBinAtItsMeanSquarePower) {
    // 100 cycles in every 1024-sample window (9.765625 Hz, bin 100): a periodic Hann window
    // leaves all of the sine's power A²/2 in that bin, and the arithmetic is exact but for
    // float rounding (about 1e-6 relative, 1e-5 dB), so 0.01 dB is ample.
    const double binCentre = 100 / 10.24;
    const std::vector<float> unit = sine(6000, 0.01, binCentre);
    const spectrogram s(unit.data(), 6000, 0.01);
    ASSERT_EQ(s.columns(), 10);
    EXPECT_EQ(s.binAt(binCentre), 100);
    for (int column = 0; column < s.columns(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(s.peakBin(column), 100);
        EXPECT_NEAR(s.power(column, 100), -3.0103, 0.01);
        // The Hann window's main lobe is four bins wide; two bins off lies its first zero.
        EXPECT_NEAR(s.power(column, 99), -3.0103 - 6.0206, 0.01);
        EXPECT_LT(s.power(column, 102), -100.0f);
    }
    EXPECT_NEAR(s.maxPower(), -3.0103, 0.01);

    // Three times the amplitude, nine times the power: 10·log10(4.5).
    const std::vector<float> three = sine(6000, 0.01, binCentre, 3.0);
    EXPECT_NEAR(spectrogram(three.data(), 6000, 0.01).power(4, 100), 6.5321, 0.01);
    // A shorter window sees the same power: normalised by the window, not by its length.
    const spectrogram quarter(unit.data(), 6000, 0.01, {256, 0.5});
    EXPECT_EQ(quarter.peakBin(3), 25);
    EXPECT_NEAR(quarter.power(3, 25), -3.0103, 0.01);

    // Halfway between two bins the Hann window's scalloping loss, 1.4236 dB, comes off and the
    // two bins share the peak; the half cycle of the window's end adds a little leakage, so
    // 0.02 dB.
    const std::vector<float> between = sine(6000, 0.01, 100.5 / 10.24);
    const spectrogram b(between.data(), 6000, 0.01, {1024, 0.0});
    for (int column = 0; column < b.columns(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_NEAR(b.power(column, 100), -3.0103 - 1.4236, 0.02);
        EXPECT_NEAR(b.power(column, 101), -3.0103 - 1.4236, 0.02);
    }
}

TEST(Spectrogram, ChirpsPeakMovesWithItsFrequency) {
    // 1 Hz rising by 0.15 Hz a second over two minutes: 1 to 19 Hz.
    const std::vector<float> rising = chirp(12000, 0.01, 0.15);
    const spectrogram s(rising.data(), 12000, 0.01);
    ASSERT_EQ(s.columns(), 22);
    for (int column = 0; column < s.columns(); ++column) {
        SCOPED_TRACE(column);
        const double hz = 1.0 + 0.15 * s.columnTime(column);
        // Over one window the frequency sweeps 1.5 Hz, about 15 bins; the peak stays within a
        // bin of the middle's frequency.
        EXPECT_NEAR(s.peakBin(column), s.binAt(hz), 1);
        if (column > 0) {
            EXPECT_GT(s.peakBin(column), s.peakBin(column - 1));
        }
    }
    EXPECT_EQ(s.peakBin(0), 18);   // 1.77 Hz
    EXPECT_EQ(s.peakBin(21), 183); // 17.9 Hz
}

TEST(Spectrogram, ShortSilentOrUndefinedRecords) {
    // Three seconds at 100 Hz: one column of the record's own Hann window padded to 1024
    // samples. 30 whole cycles of 10 Hz put the true peak 0.4 of a padded bin from bin 102,
    // about 0.12 of the window's own bin: its scalloping is below 0.1 dB.
    const std::vector<float> short10 = sine(300, 0.01, 10.0);
    const spectrogram padded(short10.data(), 300, 0.01);
    EXPECT_TRUE(padded.zeroPadded());
    EXPECT_EQ(padded.columns(), 1);
    EXPECT_EQ(padded.bins(), 513);
    EXPECT_EQ(padded.peakBin(0), 102);
    EXPECT_NEAR(padded.power(0, 102), -3.0103, 0.1);
    // The column stands for the whole record.
    EXPECT_NEAR(padded.columnTime(0), 1.495, 1e-9);
    EXPECT_NEAR(padded.columnSpacing(), 3.0, 1e-9);
    EXPECT_EQ(padded.columnAt(-0.004), 0);
    EXPECT_EQ(padded.columnAt(2.994), 0);
    EXPECT_EQ(padded.columnAt(2.996), -1);

    // Silence has a finite floor; so does an offset, which each window's mean removal takes.
    const std::vector<float> flat(2048, 1000.0f);
    const spectrogram silent(flat.data(), 2048, 0.01);
    EXPECT_EQ(silent.columns(), 3);
    EXPECT_FLOAT_EQ(silent.maxPower(), -300.0f);
    EXPECT_FLOAT_EQ(silent.minPower(), -300.0f);

    // Too little, or no sampling interval, gives nothing to draw.
    EXPECT_TRUE(spectrogram(short10.data(), 3, 0.01).isEmpty());
    EXPECT_TRUE(spectrogram(short10.data(), 300, -12345.0).isEmpty());
    EXPECT_TRUE(spectrogram(short10.data(), 300, 0.0).isEmpty());
    EXPECT_TRUE(spectrogram(short10.data(), 300, std::nan("")).isEmpty());
    EXPECT_TRUE(spectrogram(nullptr, 300, 0.01).isEmpty());
    EXPECT_TRUE(spectrogram().isEmpty());
    EXPECT_EQ(spectrogram().peakBin(0), -1);
    EXPECT_EQ(spectrogram().columnAt(0.0), -1);
}

TEST(Spectrogram, WindowLengthsNewToSeveralThreadsAtOnce) {
    // Each thread asks for window lengths no one has planned yet, at the same moment.
    const std::vector<float> unit = sine(4000, 0.01, 5.0);
    std::vector<std::future<std::vector<float>>> running;
    for (int thread = 0; thread < 4; ++thread)
        running.push_back(std::async(std::launch::async, [&unit, thread] {
            std::vector<float> peaks;
            for (int length = 300 + thread; length < 340; length += 4)
                peaks.push_back(spectrogram(unit.data(), 4000, 0.01, {length, 0.5}).maxPower());
            return peaks;
        }));
    for (int thread = 0; thread < 4; ++thread) {
        const std::vector<float> peaks = running[size_t(thread)].get();
        int k = 0;
        for (int length = 300 + thread; length < 340; length += 4, ++k)
            EXPECT_FLOAT_EQ(peaks[size_t(k)],
                            spectrogram(unit.data(), 4000, 0.01, {length, 0.5}).maxPower())
                << length;
    }
}
