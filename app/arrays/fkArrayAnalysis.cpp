#include "fkArrayAnalysis.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double earthRadius = 6371.0; // km
constexpr double degree = std::numbers::pi / 180.0;

bool undefinedHeaderValue(float value) {
    return value == SacHeader::undefinedValue || !std::isfinite(value);
}

QString labelOf(const SacObject& seismogram, int index) {
    if (!seismogram.labelString().isEmpty())
        return seismogram.labelString();
    if (!seismogram.path().isEmpty())
        return seismogram.path();
    return QStringLiteral("seismogram %1").arg(index + 1);
}

QString number(double value) {
    return QString::number(value, 'g', 6);
}

// Longitude difference folded into -180…180, so an array across the date line stays whole.
double longitudeDifference(double lon, double reference) {
    double d = std::fmod(lon - reference, 360.0);
    if (d > 180.0)
        d -= 360.0;
    else if (d <= -180.0)
        d += 360.0;
    return d;
}

// FFTW does any length, but lengths of small primes only are much faster than a prime one.
int smoothLength(int n) {
    for (int m = n;; ++m) {
        int r = m;
        for (int p : {2, 3, 5})
            while (r % p == 0)
                r /= p;
        if (r == 1)
            return m;
    }
}

struct fftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
struct fftwPlanDestroy {
    void operator()(fftw_plan_s* p) const { fftw_destroy_plan(p); }
};

QVRResult<void> checkSeismograms(const QList<std::shared_ptr<const SacObject>>& seismograms) {
    if (seismograms.size() < 3)
        return QVRResult<void>::failure(
            QStringLiteral("FK analysis needs at least 3 seismograms of one array, not %1")
                .arg(seismograms.size()));
    for (int i = 0; i < seismograms.size(); ++i) {
        const SacObject* s = seismograms.at(i).get();
        if (!s || !s->isSacFile() || s->npts() <= 0)
            return QVRResult<void>::failure(QStringLiteral("%1 holds no samples")
                                                .arg(s ? labelOf(*s, i) : QString::number(i + 1)));
        if (!(s->delta() > 0) || !std::isfinite(s->delta()))
            return QVRResult<void>::failure(
                QStringLiteral("%1 has no valid sample interval (delta)").arg(labelOf(*s, i)));
        if (undefinedHeaderValue(s->stla()) || undefinedHeaderValue(s->stlo()) ||
            std::abs(s->stla()) > 90.0f)
            return QVRResult<void>::failure(
                QStringLiteral("%1 has no station coordinates (stla, stlo)").arg(labelOf(*s, i)));
    }
    // A beam shifts every station by fractions of a sample; with different intervals the
    // spectra would not share their frequencies.
    const SacObject& first = *seismograms.first();
    for (int i = 1; i < seismograms.size(); ++i) {
        const SacObject& s = *seismograms.at(i);
        if (std::abs(double(s.delta()) - double(first.delta())) > 1e-6 * double(first.delta()))
            return QVRResult<void>::failure(
                QStringLiteral("the sample intervals differ: %1 s at %2, %3 s at %4")
                    .arg(number(first.delta()), labelOf(first, 0), number(s.delta()),
                         labelOf(s, i)));
    }
    return QVRResult<void>::success();
}

// Each seismogram's first sample in seconds on one common clock: the reference times when
// every header has one, else b alone (synthetic records of one experiment).
QVRResult<std::vector<double>>
startTimes(const QList<std::shared_ptr<const SacObject>>& seismograms) {
    int withReference = 0;
    for (const auto& s : seismograms)
        withReference += s->mySeisReferenceTime().isValid() ? 1 : 0;
    if (withReference != 0 && withReference != seismograms.size())
        return QVRResult<std::vector<double>>::failure(QStringLiteral(
            "some seismograms have a reference time and some have none: their start times "
            "cannot be compared"));
    std::vector<double> starts;
    const QDateTime origin = seismograms.first()->mySeisReferenceTime();
    for (const auto& s : seismograms) {
        double start = double(s->b());
        if (withReference)
            start += double(origin.msecsTo(s->mySeisReferenceTime())) / 1000.0;
        starts.push_back(start);
    }
    return starts;
}

} // namespace

double fkArrayAnalysis::backAzimuthOf(double slownessEast, double slownessNorth) {
    double baz = std::atan2(-slownessEast, -slownessNorth) / degree;
    if (baz < 0)
        baz += 360.0;
    // -0 and rounding just below 360 both mean north.
    if (baz >= 360.0 || baz == 0.0)
        baz = 0.0;
    return baz;
}

QVRResult<std::vector<fkArrayAnalysis::station>>
fkArrayAnalysis::stationOffsets(const QList<std::shared_ptr<const SacObject>>& seismograms) {
    if (QVRResult<void> checked = checkSeismograms(seismograms); !checked)
        return QVRResult<std::vector<station>>::failure(checked.error());
    const double lon0 = seismograms.first()->stlo();
    double latSum = 0, lonSum = 0;
    for (const auto& s : seismograms) {
        latSum += s->stla();
        lonSum += longitudeDifference(s->stlo(), lon0);
    }
    const double centreLat = latSum / seismograms.size();
    const double centreLon = lon0 + lonSum / seismograms.size();
    std::vector<station> offsets;
    for (int i = 0; i < seismograms.size(); ++i) {
        const SacObject& s = *seismograms.at(i);
        station st;
        st.label = labelOf(s, i);
        st.east = earthRadius * std::cos(centreLat * degree) *
                  longitudeDifference(s.stlo(), centreLon) * degree;
        st.north = earthRadius * (double(s.stla()) - centreLat) * degree;
        offsets.push_back(st);
    }
    return offsets;
}

QVRResult<fkArrayAnalysis::bandSpectra>
fkArrayAnalysis::spectra(const QList<std::shared_ptr<const SacObject>>& seismograms,
                         const request& how) {
    using result = QVRResult<bandSpectra>;
    if (QVRResult<void> checked = checkSeismograms(seismograms); !checked)
        return result::failure(checked.error());
    const double delta = seismograms.first()->delta();
    if (!(how.windowLength > 0) || !std::isfinite(how.windowLength) ||
        !std::isfinite(how.windowStart))
        return result::failure(QStringLiteral("the window needs a start and a positive length"));
    const long long windowSamples = std::llround(how.windowLength / delta);
    if (windowSamples < 8)
        return result::failure(QStringLiteral("the window of %1 s holds fewer than 8 samples")
                                   .arg(number(how.windowLength)));
    if (windowSamples > 1 << 24)
        return result::failure(
            QStringLiteral("the window of %1 s is too long").arg(number(how.windowLength)));
    const double nyquist = 0.5 / delta;
    if (!(how.minFrequency >= 0) || !(how.maxFrequency > how.minFrequency) ||
        how.maxFrequency > nyquist * (1 + 1e-6))
        return result::failure(
            QStringLiteral("the band %1–%2 Hz must have 0 ≤ low < high ≤ %3 Hz (Nyquist)")
                .arg(number(how.minFrequency), number(how.maxFrequency), number(nyquist)));

    QVRResult<std::vector<double>> starts = startTimes(seismograms);
    if (!starts)
        return result::failure(starts.error());
    const double latestStart = *std::max_element(starts->begin(), starts->end());
    const double windowBegin = latestStart + how.windowStart;

    const int n = int(windowSamples);
    const int nfft = smoothLength(n);
    const double df = 1.0 / (nfft * delta);
    std::vector<int> bins;
    for (int k = int(std::ceil(how.minFrequency / df - 1e-9)); k <= nfft / 2; ++k) {
        if (k * df > how.maxFrequency * (1 + 1e-12))
            break;
        bins.push_back(k);
    }
    if (bins.empty())
        return result::failure(
            QStringLiteral(
                "the band %1–%2 Hz holds no frequency of the window's spectrum (steps of %3 Hz)")
                .arg(number(how.minFrequency), number(how.maxFrequency), number(df)));

    // A cosine taper over each end keeps the window's edges from spreading power over the band.
    std::vector<double> taper(n, 1.0);
    const int ramp = std::max(1, int(std::floor(taperFraction * n)));
    for (int k = 0; k < ramp; ++k) {
        const double w = 0.5 * (1 - std::cos(std::numbers::pi * (k + 0.5) / ramp));
        taper[k] = w;
        taper[n - 1 - k] = w;
    }

    std::unique_ptr<double, fftwFree> in(fftw_alloc_real(nfft));
    std::unique_ptr<fftw_complex, fftwFree> out(fftw_alloc_complex(nfft / 2 + 1));
    std::unique_ptr<fftw_plan_s, fftwPlanDestroy> plan(
        fftw_plan_dft_r2c_1d(nfft, in.get(), out.get(), FFTW_ESTIMATE));

    bandSpectra spectra;
    spectra.stationCount = int(seismograms.size());
    for (int k : bins)
        spectra.frequencies.push_back(k * df);
    spectra.values.resize(bins.size() * seismograms.size());
    for (int i = 0; i < seismograms.size(); ++i) {
        const SacObject& s = *seismograms.at(i);
        const long long first = std::llround((windowBegin - starts->at(i)) / delta);
        if (first < 0 || first + n > s.npts())
            return result::failure(
                QStringLiteral("the window %1–%2 s after the latest common start lies outside the "
                               "data of %3")
                    .arg(number(how.windowStart), number(how.windowStart + how.windowLength),
                         labelOf(s, i)));
        const float* samples = s.GetSacSeis() + first;
        double mean = 0;
        for (int k = 0; k < n; ++k)
            mean += samples[k];
        mean /= n;
        double* x = in.get();
        for (int k = 0; k < n; ++k)
            x[k] = (double(samples[k]) - mean) * taper[k];
        std::fill(x + n, x + nfft, 0.0);
        fftw_execute(plan.get());
        // This station's first sample lies `lag` after the common window start; its spectrum
        // referred to that start is delayed by as much.
        const double lag = starts->at(i) + double(first) * delta - windowBegin;
        for (size_t b = 0; b < bins.size(); ++b) {
            const std::complex<double> raw(out.get()[bins[b]][0], out.get()[bins[b]][1]);
            const std::complex<double> X =
                raw * std::polar(1.0, -2 * std::numbers::pi * spectra.frequencies[b] * lag);
            spectra.values[b * seismograms.size() + i] = X;
            spectra.totalPower += std::norm(X);
        }
    }
    if (!(spectra.totalPower > 0) || !std::isfinite(spectra.totalPower))
        return result::failure(
            QStringLiteral("the seismograms hold no signal in the window and band"));
    return spectra;
}

QVRResult<fkArrayAnalysis>
fkArrayAnalysis::compute(const QList<std::shared_ptr<const SacObject>>& seismograms,
                         const request& how) {
    using result = QVRResult<fkArrayAnalysis>;
    if (!(how.slownessMax > 0) || !(how.slownessStep > 0) || !std::isfinite(how.slownessMax) ||
        how.slownessStep > how.slownessMax)
        return result::failure(QStringLiteral(
            "the slowness grid needs a positive maximum and a positive step no larger than it"));
    const double halfSteps = how.slownessMax / how.slownessStep;
    if (halfSteps > (maxGridSide - 1) / 2 + 0.5)
        return result::failure(
            QStringLiteral("the slowness grid would have more than %1 points a side")
                .arg(maxGridSide));
    QVRResult<std::vector<station>> offsets = stationOffsets(seismograms);
    if (!offsets)
        return result::failure(offsets.error());
    QVRResult<bandSpectra> band = spectra(seismograms, how);
    if (!band)
        return result::failure(band.error());

    fkArrayAnalysis fk;
    fk.request_ = how;
    fk.stations_ = std::move(offsets).value();
    fk.frequencies_ = band->frequencies;
    // The grid is symmetric about zero; a maximum that is not a whole number of steps is cut
    // back to one.
    const int halfSide = int(std::floor(halfSteps + 1e-9));
    fk.request_.slownessMax = halfSide * how.slownessStep;
    const int side = 2 * halfSide + 1;
    fk.side_ = side;

    // The phase factor exp(2πi f (sx·e + sy·n)) splits into an east and a north factor. The
    // east one, with the spectrum folded in, is tabulated once per grid column; the north one
    // once per row, as the row starts. The grid itself then costs one complex multiply-add per
    // point, bin and station, and no trigonometry.
    const int stationCount = band->stationCount;
    const size_t binCount = band->frequencies.size();
    const size_t stride = binCount * stationCount;
    if (size_t(side) * stride > maxTableEntries)
        return result::failure(
            QStringLiteral("%1 stations, %2 frequencies and %3 slownesses a side are too many to "
                           "analyse at once: narrow the band or coarsen the grid")
                .arg(stationCount)
                .arg(binCount)
                .arg(side));
    std::vector<double> eastRe(side * stride), eastIm(side * stride);
    for (int g = 0; g < side; ++g) {
        const double s = fk.slownessAt(g);
        for (size_t b = 0; b < binCount; ++b) {
            const double w = 2 * std::numbers::pi * band->frequencies[b] * s;
            for (int i = 0; i < stationCount; ++i) {
                const size_t at = g * stride + b * stationCount + i;
                const std::complex<double> e =
                    band->values[b * stationCount + i] * std::polar(1.0, w * fk.stations_[i].east);
                eastRe[at] = e.real();
                eastIm[at] = e.imag();
            }
        }
    }
    std::vector<double> northRe(stride), northIm(stride);
    const double normalisation = 1.0 / (stationCount * band->totalPower);
    fk.power_.assign(size_t(side) * side, 0.0f);
    size_t best = 0;
    for (int row = 0; row < side; ++row) {
        const double s = fk.slownessAt(row);
        for (size_t b = 0; b < binCount; ++b) {
            const double w = 2 * std::numbers::pi * band->frequencies[b] * s;
            for (int i = 0; i < stationCount; ++i) {
                northRe[b * stationCount + i] = std::cos(w * fk.stations_[i].north);
                northIm[b * stationCount + i] = std::sin(w * fk.stations_[i].north);
            }
        }
        const double* nRe = northRe.data();
        const double* nIm = northIm.data();
        for (int column = 0; column < side; ++column) {
            const double* eRe = eastRe.data() + column * stride;
            const double* eIm = eastIm.data() + column * stride;
            double power = 0;
            for (size_t b = 0; b < binCount; ++b) {
                double re = 0, im = 0;
                const size_t o = b * stationCount;
                for (int i = 0; i < stationCount; ++i) {
                    re += eRe[o + i] * nRe[o + i] - eIm[o + i] * nIm[o + i];
                    im += eRe[o + i] * nIm[o + i] + eIm[o + i] * nRe[o + i];
                }
                power += re * re + im * im;
            }
            const size_t at = size_t(row) * side + column;
            fk.power_[at] = float(power * normalisation);
            if (fk.power_[at] > fk.power_[best])
                best = at;
        }
    }

    peak& p = fk.peak_;
    p.slownessEast = fk.slownessAt(int(best % side));
    p.slownessNorth = fk.slownessAt(int(best / side));
    p.backAzimuth = backAzimuthOf(p.slownessEast, p.slownessNorth);
    const double magnitude = std::hypot(p.slownessEast, p.slownessNorth);
    p.apparentVelocity = magnitude > 0 ? 1.0 / magnitude : std::numeric_limits<double>::infinity();
    p.relativePower = fk.power_[best];
    return fk;
}
