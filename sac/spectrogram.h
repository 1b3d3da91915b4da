#pragma once

#include "qvrsac_export.h"

#include <cstddef>
#include <vector>

// The short-time power spectra of an evenly sampled record: Hann-windowed FFTs of windows that
// overlap by a chosen fraction, each window's mean removed first, power in dB. Data only: the
// spectrogram view draws it.
//
// Power is the one-sided mean-square power of each bin, normalised by the window's sum, so a
// sine of amplitude A that falls on a bin's centre has A²/2 there (a unit sine −3.01 dB) whatever
// the window length; units are the record's units squared (dB re 1).
//
// The FFTs use one single-precision FFTW plan per window length, made once and kept for the
// life of the program; building one is safe from any thread.
class QVRSAC_EXPORT spectrogram {
public:
    struct parameters {
        int windowLength = 0; // samples; 0 for defaultWindowLength()
        double overlap = 0.5; // fraction of a window shared with the next, 0 … 0.95
    };

    // The power of two nearest ten seconds of samples (by its logarithm), at least 16 and at
    // most 2^20: 1024 at 100 Hz, 256 at 20 Hz, 16 at 1 Hz.
    static int defaultWindowLength(double delta);

    spectrogram() = default;
    // The spectra of `samples` (`count` of them, `delta` s apart). Samples after the last whole
    // window are left out. A record shorter than one window gives one column: its samples under
    // a Hann window of their own length, padded with zeros to the window length. Fewer than
    // four samples, or a sampling interval that is not a positive number, give no columns.
    spectrogram(const float* samples, int count, double delta, const parameters& how);
    spectrogram(const float* samples, int count, double delta)
        : spectrogram(samples, count, delta, parameters()) {}

    bool isEmpty() const { return columns_ == 0; }
    int columns() const { return columns_; }
    // Frequency bins of every column: 0 Hz to the Nyquist frequency.
    int bins() const { return bins_; }
    int windowLength() const { return windowLength_; }          // samples
    int step() const { return step_; }                          // samples between columns' starts
    double delta() const { return delta_; }                     // s
    double binWidth() const { return binWidth_; }               // Hz
    double nyquist() const { return 0.5 / delta_; }             // Hz
    bool zeroPadded() const { return zeroPadded_; }             // one column from a short record
    double frequency(int bin) const { return bin * binWidth_; } // Hz

    // The middle of column `column`'s window, in s after the first sample.
    double columnTime(int column) const;
    // The time one column stands for: its step, or a padded column's record length (s).
    double columnSpacing() const { return columnSpacing_; }
    // The column whose time span (columnTime ± half the spacing) holds `seconds` after the
    // first sample; −1 outside them all.
    int columnAt(double seconds) const;
    // The bin nearest `hz`, clamped to the bins.
    int binAt(double hz) const;

    float power(int column, int bin) const {
        return powers_[std::size_t(column) * std::size_t(bins_) + std::size_t(bin)];
    } // dB
    // Columns one after another, bins within a column from 0 Hz up.
    const std::vector<float>& powers() const { return powers_; }
    float minPower() const { return minPower_; } // dB; 0 when empty
    float maxPower() const { return maxPower_; } // dB; 0 when empty
    // The bin of the largest power of one column.
    int peakBin(int column) const;

private:
    std::vector<float> powers_;
    int columns_ = 0, bins_ = 0, windowLength_ = 0, step_ = 0;
    double delta_ = 1, binWidth_ = 0, columnSpacing_ = 0;
    double firstColumnTime_ = 0; // s after the first sample
    float minPower_ = 0, maxPower_ = 0;
    bool zeroPadded_ = false;
};
