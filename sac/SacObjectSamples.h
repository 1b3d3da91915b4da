#pragma once

#include "sampleBufferPool.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

// The samples a seismogram holds: either a vector handed over whole, or storage made for a
// writer that fills every sample itself. The second is not zeroed first: a day of 100 Hz is some
// 35 MB, and zeroing it before a reader overwrites it costs a tenth of reading it. Large storage
// of that kind comes from and goes back to the sampleBufferPool, so that reading the next file
// of about the same size does not wait for new pages. A copy is a deep copy, as a vector's is.
class SacObjectSamples {
public:
    SacObjectSamples() = default;
    explicit SacObjectSamples(std::vector<float> samples)
        : vector_(std::move(samples)) {}
    // Room for `count` samples whose values are indeterminate until written (they may be
    // another seismogram's that was let go): the maker writes every one before anything reads
    // them.
    static SacObjectSamples forOverwrite(std::size_t count) {
        SacObjectSamples s;
        if (count > 0) {
            s.raw_ = sampleBufferPool::take(count);
            s.rawSize_ = count;
        }
        return s;
    }

    SacObjectSamples(const SacObjectSamples& other)
        : SacObjectSamples(forOverwrite(other.size())) {
        std::copy(other.begin(), other.end(), begin());
    }
    SacObjectSamples& operator=(const SacObjectSamples& other) {
        if (this != &other)
            *this = SacObjectSamples(other);
        return *this;
    }
    // A moved-from buffer is empty.
    SacObjectSamples(SacObjectSamples&& other) noexcept { swap(other); }
    SacObjectSamples& operator=(SacObjectSamples&& other) noexcept {
        SacObjectSamples(std::move(other)).swap(*this);
        return *this;
    }

    float* data() { return raw_ ? raw_.get() : vector_.data(); }
    const float* data() const { return raw_ ? raw_.get() : vector_.data(); }
    std::size_t size() const { return raw_ ? rawSize_ : vector_.size(); }
    bool empty() const { return size() == 0; }
    float* begin() { return data(); }
    float* end() { return data() + size(); }
    const float* begin() const { return data(); }
    const float* end() const { return data() + size(); }
    float& operator[](std::size_t i) { return data()[i]; }
    float operator[](std::size_t i) const { return data()[i]; }

private:
    void swap(SacObjectSamples& other) noexcept {
        vector_.swap(other.vector_);
        raw_.swap(other.raw_);
        std::swap(rawSize_, other.rawSize_);
    }

    std::vector<float> vector_;
    sampleBufferPool::buffer raw_; // used when set
    std::size_t rawSize_ = 0;
};
