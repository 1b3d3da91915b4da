#include "MultiSeisView.h"
#include "QVRRealTimeDisplayView02.h"
#include "benchSupport.h"
#include "eventSectionView.h"
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

// One event seen by 40 stations from 20° to 176°, 30 minutes at 20 Hz each (36,000 samples,
// 1.44 million in all): microseism noise with a P and an S wave train arriving later with
// distance, the origin at the first sample.
const eventSectionView::seismogramList& fortyStationsOfOneEvent() {
    static const eventSectionView::seismogramList traces = [] {
        eventSectionView::seismogramList made;
        std::mt19937 random(23);
        std::normal_distribution<float> noise(0, 1);
        const int n = 1800 * 20;
        const QDateTime origin(QDate(2026, 12, 8), QTime(9, 30), QTimeZone::utc());
        for (int i = 0; i < 40; ++i) {
            const float distance = 20.0f + 4.0f * float(i);
            std::vector<float> samples(std::size_t(n), 0.0f);
            float microseism = 0;
            for (int k = 0; k < n; ++k) {
                microseism = 0.995f * microseism + 0.1f * noise(random);
                samples[std::size_t(k)] = microseism;
            }
            for (const auto& [arrival, size] :
                 {std::pair{60 + 7 * distance, 4.0f}, {100 + 13 * distance, 7.0f}}) {
                for (int k = int(arrival * 20); k < std::min(n, int(arrival * 20) + 20 * 300);
                     ++k) {
                    const float t = float(k) / 20 - arrival; // s
                    samples[std::size_t(k)] +=
                        size * std::exp(-t / 60) * std::sin(t * 4.0f) * noise(random);
                }
            }
            auto s = std::make_shared<SacObject>();
            s->InitWithSamples(std::move(samples), 0.05f, 0, origin);
            SacHeader* header = s->GetSacHeader();
            header->evla = 0;
            header->evlo = 0;
            header->evdp = 33;
            header->o = 0;
            header->gcarc = distance;
            s->setStreamCodes(QStringLiteral("XX"), QStringLiteral("S%1").arg(i),
                              QStringLiteral("00"), QStringLiteral("BHZ"));
            made << s;
        }
        return made;
    }();
    return traces;
}

// The event record section at 1600 × 900; argument 0 draws the same picture again, as a
// window does when it is uncovered, 1 draws each frame after a zoom, alternating between the
// whole 30 minutes and the 10 minutes from 5 to 15.
void BM_EventSection1600x900(benchmark::State& state) {
    needApplication();
    eventSectionView view;
    view.resize(1600, 900);
    view.setWvfrmsArray(fortyStationsOfOneEvent());
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    {
        // The travel-time curves are made once for the section's distances, by the first frame.
        QPainter painter(&image);
        view.renderInto(painter);
    }
    bool zoomedIn = false;
    for (auto _ : state) {
        if (state.range(0) != 0) {
            zoomedIn = !zoomedIn;
            zoomedIn ? view.setXLimits(300, 900) : view.setXLimits(0, 1800);
        }
        QPainter painter(&image);
        view.renderInto(painter);
    }
    state.counters["samples"] = 40.0 * 1800 * 20;
}
BENCHMARK(BM_EventSection1600x900)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The baseline: the older record section of the same traces at the same size, which reads
// every sample at every frame.
void BM_MultiSeisSection1600x900(benchmark::State& state) {
    needApplication();
    MultiSeisView view;
    view.resize(1600, 900);
    const auto& traces = fortyStationsOfOneEvent();
    view.setWvfrmsArray(MultiSeisView::seismogramList(traces.begin(), traces.end()));
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.renderInto(painter);
    }
}
BENCHMARK(BM_MultiSeisSection1600x900)->Unit(benchmark::kMillisecond);

// The first frame of a new section: the travel-time curves of the six phases across the
// section's 20°–176° (157 distances), the traces' points and their layer.
void BM_EventSectionFirstFrame1600x900(benchmark::State& state) {
    needApplication();
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        eventSectionView view;
        view.resize(1600, 900);
        view.setWvfrmsArray(fortyStationsOfOneEvent());
        QPainter painter(&image);
        view.renderInto(painter);
    }
}
BENCHMARK(BM_EventSectionFirstFrame1600x900)->Unit(benchmark::kMillisecond);

} // namespace
