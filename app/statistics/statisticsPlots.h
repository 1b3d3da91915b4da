#pragma once

#include <memory>
#include <vector>

class QVRHistogramView;

// The two histograms of the Statistics window, set up one way for the window and the command
// line alike.
namespace statisticsPlots {

// Magnitudes in 0.1 bins centred on the tenths, the bins the magnitude of completeness is read
// from; each magnitude is counted at its bin's centre, so that a half-tenth falls where Mc's
// rounding puts it and not where float arithmetic at the bin edge would.
void showMagnitudes(QVRHistogramView& view, const std::vector<double>& magnitudes);
// Depths in km, in bins of the narrowest of 1, 2, 5, 10, 20, 50 and 100 km that keeps them to
// at most 50, with edges on multiples of the width.
void showDepths(QVRHistogramView& view, const std::vector<double>& depths);
// The width showDepths chooses for depths from `shallowest` to `deepest` km.
double depthBinWidth(double shallowest, double deepest);

std::unique_ptr<QVRHistogramView> magnitudeHistogram(const std::vector<double>& magnitudes);
std::unique_ptr<QVRHistogramView> depthHistogram(const std::vector<double>& depths);

} // namespace statisticsPlots
