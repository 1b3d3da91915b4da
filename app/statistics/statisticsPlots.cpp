#include "statisticsPlots.h"

#include "QVRHistogramView.h"
#include "seismicityStatistics.h"

#include <algorithm>
#include <cmath>

namespace statisticsPlots {

namespace {

constexpr int mostDepthBins = 50;

// `count` bins of `width` from `first`: the view divides its range by count + 1.
void setBins(QVRHistogramView& view, int count, double first, double width) {
    view.setNBins(count, float(first), float(first + (count + 1) * width));
}

} // namespace

void showMagnitudes(QVRHistogramView& view, const std::vector<double>& magnitudes) {
    view.setXLabelString(QStringLiteral("Magnitude"));
    view.setYLabelString(QStringLiteral("Events"));
    std::vector<float> centres;
    centres.reserve(magnitudes.size());
    long long lowest = 0, highest = 0;
    for (const double m : magnitudes) {
        if (!std::isfinite(m))
            continue;
        const long long bin = seismicityStatistics::binOf(m);
        lowest = centres.empty() ? bin : std::min(lowest, bin);
        highest = centres.empty() ? bin : std::max(highest, bin);
        centres.push_back(float(double(bin) * seismicityStatistics::binWidth));
    }
    view.setValues(centres);
    const double width = seismicityStatistics::binWidth;
    setBins(view, int(highest - lowest + 1), double(lowest) * width - width / 2, width);
    view.binValues();
    view.update();
}

double depthBinWidth(double shallowest, double deepest) {
    for (const double width : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0}) {
        if (std::floor(deepest / width) - std::floor(shallowest / width) + 1 <= mostDepthBins)
            return width;
    }
    return 100.0;
}

void showDepths(QVRHistogramView& view, const std::vector<double>& depths) {
    view.setXLabelString(QStringLiteral("Depth (km)"));
    view.setYLabelString(QStringLiteral("Events"));
    std::vector<float> kept;
    kept.reserve(depths.size());
    for (const double d : depths) {
        if (std::isfinite(d))
            kept.push_back(float(d));
    }
    view.setValues(kept);
    if (kept.empty()) {
        setBins(view, 10, 0, 10);
    } else {
        const auto [shallowest, deepest] = std::minmax_element(kept.begin(), kept.end());
        const double width = depthBinWidth(*shallowest, *deepest);
        const double first = std::floor(*shallowest / width);
        setBins(view, int(std::floor(*deepest / width) - first + 1), first * width, width);
    }
    view.binValues();
    view.update();
}

std::unique_ptr<QVRHistogramView> magnitudeHistogram(const std::vector<double>& magnitudes) {
    auto view = std::make_unique<QVRHistogramView>();
    showMagnitudes(*view, magnitudes);
    return view;
}

std::unique_ptr<QVRHistogramView> depthHistogram(const std::vector<double>& depths) {
    auto view = std::make_unique<QVRHistogramView>();
    showDepths(*view, depths);
    return view;
}

} // namespace statisticsPlots
