#include "sampleBufferPool.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

// 4 MiB of samples: large enough to be kept.
constexpr std::size_t large = std::size_t(1) << 20;

// A buffer as the pool hands them out, made without touching its pages, so that the limits can
// be tried with buffers of a hundred megabytes at no cost.
sampleBufferPool::buffer untouched(std::size_t count) {
    return sampleBufferPool::buffer(new float[count], sampleBufferPool::giveBack{count});
}

class SampleBufferPool : public testing::Test {
protected:
    void SetUp() override { sampleBufferPool::release(); }
    void TearDown() override { sampleBufferPool::release(); }
};

} // namespace

TEST_F(SampleBufferPool, ALargeBufferLetGoServesTheNextOfAboutItsSizeOnce) {
    sampleBufferPool::buffer first = sampleBufferPool::take(large);
    first[0] = 1.0f;
    first[large - 1] = 2.0f;
    const float* const address = first.get();
    first.reset();
    EXPECT_EQ(sampleBufferPool::keptCount(), 1u);
    EXPECT_EQ(sampleBufferPool::keptSize(), large * sizeof(float));

    // Less than half of it is not served from it, nor is more than it holds.
    const sampleBufferPool::buffer half = sampleBufferPool::take(large / 2 - 1);
    const sampleBufferPool::buffer more = sampleBufferPool::take(large + 1);
    EXPECT_NE(half.get(), address);
    EXPECT_NE(more.get(), address);
    EXPECT_EQ(sampleBufferPool::keptCount(), 1u);

    const sampleBufferPool::buffer again = sampleBufferPool::take(large - 1000);
    EXPECT_EQ(again.get(), address);
    EXPECT_EQ(sampleBufferPool::keptCount(), 0u);
    EXPECT_EQ(sampleBufferPool::keptSize(), 0u);
    // Taken, it is no longer the pool's to give.
    const sampleBufferPool::buffer another = sampleBufferPool::take(large - 1000);
    EXPECT_NE(another.get(), address);
}

TEST_F(SampleBufferPool, TheBestFittingKeptBufferIsTaken) {
    sampleBufferPool::buffer bigger = sampleBufferPool::take(large + large / 2);
    sampleBufferPool::buffer fitting = sampleBufferPool::take(large);
    const float* const fittingAddress = fitting.get();
    const float* const biggerAddress = bigger.get();
    fitting.reset();
    bigger.reset();
    const sampleBufferPool::buffer best = sampleBufferPool::take(large);
    const sampleBufferPool::buffer next = sampleBufferPool::take(large);
    EXPECT_EQ(best.get(), fittingAddress);
    EXPECT_EQ(next.get(), biggerAddress);
}

TEST_F(SampleBufferPool, KeepsNoSmallBufferAtMostTwoAndAtMost128MiB) {
    sampleBufferPool::take(large / 4 - 1).reset();
    EXPECT_EQ(sampleBufferPool::keptCount(), 0u);
    untouched(large / 4).reset();
    EXPECT_EQ(sampleBufferPool::keptCount(), 1u);

    // Of three, the two let go last are kept.
    sampleBufferPool::release();
    sampleBufferPool::buffer oldest = untouched(large);
    sampleBufferPool::buffer middle = untouched(large + 1);
    sampleBufferPool::buffer newest = untouched(large + 2);
    const float* const middleAddress = middle.get();
    oldest.reset();
    middle.reset();
    newest.reset();
    EXPECT_EQ(sampleBufferPool::keptCount(), 2u);
    EXPECT_EQ(sampleBufferPool::keptSize(), (2 * large + 3) * sizeof(float));
    EXPECT_EQ(sampleBufferPool::take(large + 1).get(), middleAddress);

    // 100 MiB and then 40 MiB would be more than 128 MiB: the older goes.
    sampleBufferPool::release();
    constexpr std::size_t mebibyte = (std::size_t(1) << 20) / sizeof(float);
    untouched(100 * mebibyte).reset();
    untouched(40 * mebibyte).reset();
    EXPECT_EQ(sampleBufferPool::keptCount(), 1u);
    EXPECT_EQ(sampleBufferPool::keptSize(), std::size_t(40) << 20);
    // One of more than 128 MiB is never kept.
    untouched(129 * mebibyte).reset();
    EXPECT_EQ(sampleBufferPool::keptSize(), std::size_t(40) << 20);
}

TEST_F(SampleBufferPool, BuffersTakenAndLetGoOnSeveralThreadsStayWithinTheLimits) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                const sampleBufferPool::buffer made = untouched(large + std::size_t(i % 3));
                const sampleBufferPool::buffer taken = sampleBufferPool::take(large);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    const std::size_t count = sampleBufferPool::keptCount();
    EXPECT_EQ(count, sampleBufferPool::keptBuffers);
    EXPECT_GE(sampleBufferPool::keptSize(), count * large * sizeof(float));
    EXPECT_LE(sampleBufferPool::keptSize(), count * (large + 2) * sizeof(float));
}
