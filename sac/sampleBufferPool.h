#pragma once

#include "qvrsac_export.h"

#include <cstddef>
#include <memory>

// Large sample buffers kept after their seismogram is gone, until newer ones push them out, so
// that the next seismogram of about the same size (the same day read again, the next day of a
// channel) is written into pages the process already has. glibc hands a block this large back
// to the kernel when it is freed, and the kernel then zeroes every page of the next one before
// the reader overwrites it all: for a day of 100 Hz that was more than a tenth of reading it.
//
// A kept buffer holds the samples of the seismogram that had it: whoever takes one writes
// every sample before anything reads it, as with any storage made for overwriting. At most
// `keptBuffers` buffers and `keptBytes` bytes are kept; smaller buffers are never kept. Safe
// to use from any thread.
class QVRSAC_EXPORT sampleBufferPool {
public:
    static constexpr std::size_t smallestKeptBytes = std::size_t(1) << 20;
    static constexpr std::size_t keptBuffers = 2;
    static constexpr std::size_t keptBytes = std::size_t(128) << 20;

    // Gives a buffer back to the pool, or to the system, when its owner lets it go.
    struct giveBack {
        std::size_t capacity = 0; // samples
        void operator()(float* samples) const noexcept;
    };
    using buffer = std::unique_ptr<float[], giveBack>;

    // Room for at least `count` samples (count > 0), its values indeterminate: the kept buffer
    // that fits best, as long as it is no more than twice the size asked for, else a new one.
    static buffer take(std::size_t count);

    // What the pool keeps now.
    static std::size_t keptCount();
    static std::size_t keptSize(); // bytes
    // Lets every kept buffer go back to the system.
    static void release();
};
