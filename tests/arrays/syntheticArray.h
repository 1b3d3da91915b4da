#pragma once

#include "SacObject.h"

#include <QList>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

// A plane wave crossing an irregular ten-station array about 18 km across, sampled at 40 Hz
// with noise from a fixed seed: what the FK analysis must see through.
namespace syntheticArray {

struct offset {
    double east, north; // km
};

inline const std::vector<offset>& stationOffsets() {
    static const std::vector<offset> offsets{{0.0, 0.0},  {4.1, 1.3}, {-3.2, 3.8}, {-2.7, -4.4},
                                             {3.6, -3.1}, {8.3, 6.2}, {-7.9, 1.1}, {1.2, -8.6},
                                             {-1.5, 7.9}, {9.0, -4.0}};
    return offsets;
}

constexpr double centreLatitude = 46.5, centreLongitude = 8.2; // degrees
constexpr float delta = 0.025f;                                // s
constexpr double earthRadius = 6371.0;                         // km

// A band-limited pulse: a few random-phase sinusoids of 0.8–3 Hz under a Gaussian centred
// at 15 s, so the wave's beam has one clear maximum.
inline double pulse(double t) {
    static const std::vector<std::pair<double, double>> components = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
        std::vector<std::pair<double, double>> c;
        for (double f = 0.8; f <= 3.0; f += 0.17)
            c.emplace_back(f, phase(random));
        return c;
    }();
    double sum = 0;
    for (const auto& [f, p] : components)
        sum += std::cos(2 * std::numbers::pi * f * t + p);
    const double envelope = std::exp(-0.5 * std::pow((t - 15.0) / 3.0, 2));
    return sum * envelope;
}

struct wave {
    double backAzimuth; // degrees towards the source
    double velocity;    // km/s
    double noise = 0.5; // standard deviation; each of the pulse's sinusoids has amplitude 1
    int stations = 10;  // the first so many of stationOffsets()
    unsigned seed = 18;
};

// The wave's slowness: it travels away from its back-azimuth.
inline offset slownessOf(const wave& w) {
    const double b = w.backAzimuth * std::numbers::pi / 180.0;
    return {-std::sin(b) / w.velocity, -std::cos(b) / w.velocity};
}

// One seismogram a station, 60 s long; each starts a different fraction of a sample late, as
// real digitisers do.
inline QList<std::shared_ptr<const SacObject>> seismograms(const wave& w) {
    std::mt19937 random(w.seed);
    std::normal_distribution<double> noise(0, w.noise > 0 ? w.noise : 1);
    const offset s = slownessOf(w);
    QList<std::shared_ptr<const SacObject>> list;
    for (int i = 0; i < w.stations; ++i) {
        const offset r = stationOffsets().at(i);
        const double lag = s.east * r.east + s.north * r.north;
        const float begin = 0.0071f * float(i);
        std::vector<float> samples(2400);
        for (size_t k = 0; k < samples.size(); ++k)
            samples[k] =
                float(pulse(begin + double(k) * delta - lag) + (w.noise > 0 ? noise(random) : 0.0));
        auto seismogram = std::make_shared<SacObject>();
        seismogram->InitWithSamples(std::move(samples), delta, begin, QDateTime());
        SacHeader& h = *seismogram->GetSacHeader();
        h.stla = float(centreLatitude + r.north / earthRadius * 180.0 / std::numbers::pi);
        h.stlo =
            float(centreLongitude +
                  r.east / (earthRadius * std::cos(centreLatitude * std::numbers::pi / 180.0)) *
                      180.0 / std::numbers::pi);
        seismogram->setLabelString(QStringLiteral("AR.S%1").arg(i + 1));
        list << seismogram;
    }
    return list;
}

} // namespace syntheticArray
