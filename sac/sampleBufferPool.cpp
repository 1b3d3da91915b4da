#include "sampleBufferPool.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

struct keptBuffer {
    float* samples;
    std::size_t capacity;
};

struct poolState {
    poolState() { buffers.reserve(sampleBufferPool::keptBuffers + 1); }
    std::mutex mutex;
    std::vector<keptBuffer> buffers; // oldest first
    std::size_t bytes = 0;
};

// Never destroyed: seismograms in static storage give their buffers back during the exit.
poolState& pool() {
    static poolState* const state = new poolState;
    return *state;
}

std::size_t bytesOf(std::size_t samples) {
    return samples * sizeof(float);
}

// A new large buffer's pages, asked for in huge pages where the system gives them on request,
// and made in one call rather than one fault at a time as its writer first touches each: where
// a fault costs a trap, as in a virtual machine, the faults of a day of 100 Hz cost a fifth of
// reading it.
void makePages(float* samples, std::size_t bytes) {
#ifdef __linux__
    constexpr std::uintptr_t hugePage = std::uintptr_t(1) << 21;
    const auto begin = reinterpret_cast<std::uintptr_t>(samples);
    const std::uintptr_t end = begin + bytes;
    const std::uintptr_t first = (begin + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t last = end & ~(hugePage - 1);
    // Only advice: where it is refused, the pages come as usual.
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    constexpr std::uintptr_t page = 4096;
    const std::uintptr_t firstPage = begin & ~(page - 1);
    if (end > firstPage)
        madvise(reinterpret_cast<void*>(firstPage), end - firstPage, MADV_POPULATE_WRITE);
#else
    (void)samples;
    (void)bytes;
#endif
}

} // namespace

sampleBufferPool::buffer sampleBufferPool::take(std::size_t count) {
    const bool large = bytesOf(count) >= smallestKeptBytes;
    if (large) {
        poolState& p = pool();
        const std::lock_guard lock(p.mutex);
        auto best = p.buffers.end();
        for (auto b = p.buffers.begin(); b != p.buffers.end(); ++b) {
            if (b->capacity >= count && b->capacity / 2 <= count &&
                (best == p.buffers.end() || b->capacity < best->capacity))
                best = b;
        }
        if (best != p.buffers.end()) {
            const keptBuffer found = *best;
            p.buffers.erase(best);
            p.bytes -= bytesOf(found.capacity);
            return buffer(found.samples, giveBack{found.capacity});
        }
    }
    buffer made(new float[count], giveBack{count});
    if (large)
        makePages(made.get(), bytesOf(count));
    return made;
}

void sampleBufferPool::giveBack::operator()(float* samples) const noexcept {
    const std::size_t bytes = bytesOf(capacity);
    if (bytes < smallestKeptBytes || bytes > keptBytes) {
        delete[] samples;
        return;
    }
    // The newest is kept, the oldest let go first: a file read again is the latest one.
    float* dropped[keptBuffers + 1] = {};
    std::size_t droppedCount = 0;
    {
        poolState& p = pool();
        const std::lock_guard lock(p.mutex);
        p.buffers.push_back({samples, capacity});
        p.bytes += bytes;
        while (p.buffers.size() > keptBuffers || p.bytes > keptBytes) {
            dropped[droppedCount++] = p.buffers.front().samples;
            p.bytes -= bytesOf(p.buffers.front().capacity);
            p.buffers.erase(p.buffers.begin());
        }
    }
    // Handing pages back to the system can take a while: not while others wait for the pool.
    for (std::size_t i = 0; i < droppedCount; ++i)
        delete[] dropped[i];
}

std::size_t sampleBufferPool::keptCount() {
    poolState& p = pool();
    const std::lock_guard lock(p.mutex);
    return p.buffers.size();
}

std::size_t sampleBufferPool::keptSize() {
    poolState& p = pool();
    const std::lock_guard lock(p.mutex);
    return p.bytes;
}

void sampleBufferPool::release() {
    std::vector<keptBuffer> all;
    {
        poolState& p = pool();
        const std::lock_guard lock(p.mutex);
        all.swap(p.buffers);
        p.buffers.reserve(keptBuffers + 1);
        p.bytes = 0;
    }
    for (const keptBuffer& b : all)
        delete[] b.samples;
}
