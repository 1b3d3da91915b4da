#include "QVRRealTimeDisplayView02.h"
#include "benchSupport.h"
#include "helicorderView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

using benchSupport::needApplication;

// An hour at 40 Hz as a broadband station records it: microseism noise, a slow drift and a
// few earthquakes' bursts decaying over minutes.
std::shared_ptr<const SacObject> hourAt40Hz(unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0, 1);
    const int n = 3600 * 40;
    std::vector<float> samples(size_t(n), 0.0f);
    float microseism = 0;
    for (int k = 0; k < n; ++k) {
        microseism = 0.995f * microseism + 0.1f * noise(random);
        samples[size_t(k)] = microseism + 0.2f * std::sin(k * 2e-5f);
    }
    for (int burst = 0; burst < 3; ++burst) {
        const int start = int(random() % unsigned(n - 40 * 600));
        const float size = 2 + 6 * float(random() % 100) / 100;
        for (int k = start; k < start + 40 * 600; ++k) {
            const float t = float(k - start) / 40; // s
            samples[size_t(k)] += size * std::exp(-t / 90) * std::sin(t * 6.3f) * noise(random);
        }
    }
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), 0.025f, 0, QDateTime());
    s->setLabelString(QStringLiteral("XX.S%1.00.BHZ").arg(seed));
    return s;
}

// The live display at 1600 × 900, one hour wide; argument: the number of traces (0 is the
// bare frame, the baseline) and whether every sample is drawn.
void BM_RealTimeView1600x900(benchmark::State& state) {
    needApplication();
    QVRRealTimeDisplayView02 view;
    view.resize(1600, 900);
    view.setXLimits(0, 3600);
    view.setYLimits(-10, 10);
    view.setRefDate(QDateTime(QDate(2026, 12, 8), QTime(13, 0), QTimeZone::utc()));
    view.setTitle(QStringLiteral("Live"));
    view.setDrawsEverySample(state.range(1) != 0);
    SeisView01::seismogramList traces;
    for (int i = 0; i < state.range(0); ++i)
        traces << hourAt40Hz(unsigned(i + 1));
    view.setWvfrmsArray(traces);
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.renderInto(painter);
    }
    state.counters["samples"] = double(state.range(0)) * 3600 * 40;
}
// The full case is 24 traces of an hour at 40 Hz, 3.46 million samples.
BENCHMARK(BM_RealTimeView1600x900)
    ->Args({0, 0})
    ->Args({24, 0})
    ->Args({24, 1})
    ->Unit(benchmark::kMillisecond);

// A day of one channel at 100 Hz as 24 consecutive one-hour records (8.64 million samples):
// microseism noise with a slow drift, and an earthquake's burst in a few hours.
const helicorderView::seismogramList& dayAt100Hz() {
    static const helicorderView::seismogramList day = [] {
        helicorderView::seismogramList records;
        std::mt19937 random(17);
        std::normal_distribution<float> noise(0, 1);
        const int n = 3600 * 100;
        const QDateTime midnight(QDate(2026, 12, 7), QTime(0, 0), QTimeZone::utc());
        float microseism = 0;
        for (int hour = 0; hour < 24; ++hour) {
            std::vector<float> samples(size_t(n), 0.0f);
            for (int k = 0; k < n; ++k) {
                microseism = 0.998f * microseism + 0.06f * noise(random);
                samples[size_t(k)] = microseism + 0.2f * std::sin((hour * n + k) * 1e-5f);
            }
            if (hour % 5 == 2) {
                const int start = int(random() % unsigned(n - 100 * 600));
                for (int k = start; k < start + 100 * 600; ++k) {
                    const float t = float(k - start) / 100; // s
                    samples[size_t(k)] +=
                        6 * std::exp(-t / 90) * std::sin(t * 6.3f) * noise(random);
                }
            }
            auto record = std::make_shared<SacObject>();
            record->InitWithSamples(std::move(samples), 0.01f, 0, midnight.addSecs(3600 * hour));
            SacHeader* header = record->GetSacHeader();
            std::memcpy(header->knetwk, "XX      ", 8);
            std::memcpy(header->kstnm, "HEL     ", 8);
            std::memcpy(header->khole, "00      ", 8);
            std::memcpy(header->kcmpnm, "HHZ     ", 8);
            records << record;
        }
        return records;
    }();
    return day;
}

// The helicorder at 1600 × 1200, 24 rows of an hour; argument: the number of one-hour records
// (0 is the bare frame, the baseline). The same picture drawn again, as a window does when it
// is uncovered or the markers change.
void BM_Helicorder1600x1200(benchmark::State& state) {
    needApplication();
    helicorderView view;
    view.resize(1600, 1200);
    view.setWvfrmArray(dayAt100Hz().mid(0, state.range(0)));
    QImage image(1600, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.renderInto(painter);
    }
    state.counters["samples"] = double(state.range(0)) * 3600 * 100;
}
BENCHMARK(BM_Helicorder1600x1200)->Arg(0)->Arg(24)->Unit(benchmark::kMillisecond);

// Opening a day of files and showing them: 24 one-hour files of 100 Hz read from disk (the
// page cache, after the first repetition), handed to a new helicorder and drawn once at
// 1600 × 1200. Argument: the number of files (0: the bare frame of a new view).
void BM_OpenHelicorderDay(benchmark::State& state) {
    needApplication();
    static QTemporaryDir directory;
    static const QStringList paths = [] {
        QStringList written;
        int hour = 0;
        for (const auto& record : dayAt100Hz()) {
            const QString path =
                directory.filePath(QStringLiteral("XX.HEL.00.HHZ.%1.sac").arg(hour++));
            if (!record->WriteSacFile(path))
                return QStringList();
            written << path;
        }
        return written;
    }();
    if (paths.size() != 24) {
        state.SkipWithError("could not write the day's files");
        return;
    }
    QImage image(1600, 1200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        helicorderView::seismogramList records;
        for (int i = 0; i < state.range(0); ++i) {
            auto read = SacObject::fromFile(paths.at(i));
            if (!read) {
                state.SkipWithError("could not read a file back");
                return;
            }
            records << std::make_shared<const SacObject>(std::move(read).value());
        }
        helicorderView view;
        view.resize(1600, 1200);
        view.setWvfrmArray(records);
        QPainter painter(&image);
        view.renderInto(painter);
    }
}
BENCHMARK(BM_OpenHelicorderDay)->Arg(0)->Arg(24)->Unit(benchmark::kMillisecond);

} // namespace
