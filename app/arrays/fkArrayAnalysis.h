#pragma once

#include "QVRResult.h"
#include "SacObject.h"

#include <QList>
#include <QString>

#include <complex>
#include <memory>
#include <vector>

// Frequency–wavenumber analysis of one array's seismograms: the broadband beam power over a
// frequency band for every slowness vector of a square grid,
//   P(s) = Σ_f |Σ_i X_i(f) · exp(2πi·f·(s·r_i))|²,
// with X_i the spectrum of station i's tapered window and r_i its offset from the array's
// centre, and the relative power P(s) / (N · Σ_f Σ_i |X_i(f)|²), which lies in 0…1 and is 1
// only for a wave that the beam at s stacks perfectly.
//
// Station offsets come from a flat, equirectangular projection about the mean latitude and
// longitude (east = R·cos(lat0)·Δlon, north = R·Δlat, R = 6371 km): exact enough for arrays
// of a few hundred kilometres, far less than the grid's slowness resolution.
class fkArrayAnalysis {
public:
    struct request {
        double windowStart = 0;     // s after the latest common start of the seismograms
        double windowLength = 0;    // s
        double minFrequency = 0;    // Hz
        double maxFrequency = 0;    // Hz
        double slownessMax = 0.5;   // s/km; the grid spans ±slownessMax on both axes
        double slownessStep = 0.01; // s/km
    };
    struct station {
        QString label;
        double east = 0, north = 0; // km from the array's centre
    };
    // The grid's strongest beam.
    struct peak {
        double slownessEast = 0, slownessNorth = 0; // s/km
        // Degrees clockwise from north towards the source; 0 for a wave from the north.
        double backAzimuth = 0;
        // km/s; infinite for the zero slowness of a wave arriving at every station at once.
        double apparentVelocity = 0;
        double relativePower = 0;
    };
    // The spectra of the stations' tapered windows over the band's bins, each referred to the
    // common window start (so a station whose samples fall between the others' is not
    // misaligned by up to half a sample).
    struct bandSpectra {
        std::vector<double> frequencies;          // Hz, one per bin in the band
        int stationCount = 0;                     //
        std::vector<std::complex<double>> values; // [bin * stationCount + station]
        double totalPower = 0;                    // Σ_f Σ_i |X_i(f)|²
    };

    // The most points a grid side may have: a side of 401 already resolves ±0.5 s/km to
    // 0.0025 s/km, and the precomputed phase tables grow with it.
    static constexpr int maxGridSide = 401;
    // The most entries of the east phase table (grid side × band bins × stations, 16 bytes
    // each): 128 MB.
    static constexpr size_t maxTableEntries = size_t(1) << 23;
    // The share of the window tapered at each end (cosine).
    static constexpr double taperFraction = 0.1;

    // The whole analysis, or why the input is refused: fewer than three seismograms, a
    // seismogram without station coordinates or samples, unequal sample intervals, start
    // times on different clocks, a window outside any station's data, a band without a
    // frequency of the window's spectrum, an unusable grid, or nothing but zeros.
    static QVRResult<fkArrayAnalysis>
    compute(const QList<std::shared_ptr<const SacObject>>& seismograms, const request& how);

    // The steps of compute(), for the benchmark and the tests.
    static QVRResult<std::vector<station>>
    stationOffsets(const QList<std::shared_ptr<const SacObject>>& seismograms);
    static QVRResult<bandSpectra>
    spectra(const QList<std::shared_ptr<const SacObject>>& seismograms, const request& how);

    // Degrees clockwise from north towards the source of a wave with slowness (east, north):
    // the slowness points where the wave goes, away from the source.
    static double backAzimuthOf(double slownessEast, double slownessNorth);

    const request& requested() const { return request_; }
    const std::vector<station>& stations() const { return stations_; }
    const std::vector<double>& frequencies() const { return frequencies_; }
    // Points a side; index k is the slowness (k - (side - 1) / 2) · slownessStep on either
    // axis, so that the centre is exactly zero.
    int gridSide() const { return side_; }
    double slownessAt(int index) const { return (index - (side_ - 1) / 2) * request_.slownessStep; }
    // Row-major, row 0 at the most southern slowness, column 0 at the most western.
    const std::vector<float>& relativePower() const { return power_; }
    float relativePowerAt(int column, int row) const {
        return power_[size_t(row) * side_ + column];
    }
    const peak& strongest() const { return peak_; }

private:
    fkArrayAnalysis() = default;

    request request_;
    std::vector<station> stations_;
    std::vector<double> frequencies_;
    int side_ = 0;
    std::vector<float> power_;
    peak peak_;
};
