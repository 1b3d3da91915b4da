#include "miniSeedPacker.h"
#include "miniSeedReader.h"
#include "sampleBufferPool.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

// A day of a 100 Hz broadband channel in 512-byte Steim-2 records, as a data centre serves it:
// a slow swell with noise on top, so that the differences take 8 to 16 bits as real data does.
const QByteArray& dayOfSteim2() {
    static const QByteArray day = [] {
        std::mt19937 random(11);
        std::normal_distribution<double> noise(0.0, 40.0);
        std::vector<int32_t> samples(8640000);
        double swell = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            swell = 0.999 * swell + noise(random);
            samples[i] = int32_t(swell + noise(random));
        }
        miniSeedPacker packer;
        packer.rate = 100.0;
        packer.recordLength = 512;
        packer.encoding = DE_STEIM2;
        return packer.pack(samples);
    }();
    return day;
}

// Baseline: libmseed's own unpacking of every record, its decoded record reused, nothing kept.
void BM_LibmseedUnpackDay(benchmark::State& state) {
    QByteArray day = dayOfSteim2();
    char* bytes = day.data();
    int64_t samples = 0;
    MSRecord* record = nullptr;
    for (auto _ : state) {
        samples = 0;
        for (qsizetype offset = 0; offset < day.size(); offset += record->reclen) {
            if (msr_parse(bytes + offset, int(day.size() - offset), &record, 0, 1, 0) != 0)
                state.SkipWithError("a record did not unpack");
            samples += record->numsamples;
        }
        benchmark::DoNotOptimize(samples);
    }
    msr_free(&record);
    state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_LibmseedUnpackDay)->Unit(benchmark::kMillisecond);

// A second baseline, for what any reader pays that hands the samples over: the same unpacking,
// each record's integers written as floats into new storage for the day (not zeroed first).
void BM_LibmseedUnpackDayKept(benchmark::State& state) {
    QByteArray day = dayOfSteim2();
    char* bytes = day.data();
    int64_t samples = 0;
    MSRecord* record = nullptr;
    const std::size_t size = 8640000;
    for (auto _ : state) {
        const std::unique_ptr<float[]> kept = std::make_unique_for_overwrite<float[]>(size);
        samples = 0;
        for (qsizetype offset = 0; offset < day.size(); offset += record->reclen) {
            if (msr_parse(bytes + offset, int(day.size() - offset), &record, 0, 1, 0) != 0 ||
                std::size_t(samples + record->numsamples) > size) {
                state.SkipWithError("a record did not unpack");
                break;
            }
            const auto* from = static_cast<const int32_t*>(record->datasamples);
            std::copy(from, from + record->numsamples, kept.get() + samples);
            samples += record->numsamples;
        }
        benchmark::DoNotOptimize(kept.get());
    }
    msr_free(&record);
    state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_LibmseedUnpackDayKept)->Unit(benchmark::kMillisecond);

// The same bytes read into one seismogram of 32-bit float samples with its header; the number
// of samples read.
int64_t readDay(benchmark::State& state, const QByteArray& day) {
    QVRResult<miniSeedTraces> read = miniSeedReader::fromData(day);
    if (!read || read->traces.size() != 1) {
        state.SkipWithError("the day did not read as one trace");
        return 0;
    }
    benchmark::DoNotOptimize(read->traces.front().GetSacSeis());
    return read->traces.front().npts();
}

void BM_MiniSeedReaderDay(benchmark::State& state) {
    const QByteArray& day = dayOfSteim2();
    int64_t samples = 0;
    for (auto _ : state)
        samples = readDay(state, day);
    state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_MiniSeedReaderDay)->Unit(benchmark::kMillisecond);

// The same read into pages new to the process, as the first read of a session is: the kept
// sample buffers are let go, untimed, before each read.
void BM_MiniSeedReaderDayNewPages(benchmark::State& state) {
    const QByteArray& day = dayOfSteim2();
    int64_t samples = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sampleBufferPool::release();
        state.ResumeTiming();
        samples = readDay(state, day);
    }
    state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_MiniSeedReaderDayNewPages)->Unit(benchmark::kMillisecond);

} // namespace
