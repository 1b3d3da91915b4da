#pragma once

#include "seismicOrigin.h"
#include "seismicityStatistics.h"

#include <QObject>

#include <memory>

class QVRHistogramView;
class QWidget;
class magnitudeFrequencyView;

namespace Ui {
class statisticsWindow;
}

// The Statistics window: histograms of the magnitudes (0.1 bins) and depths of the main
// window's visible origins, their magnitude–frequency plot with the fitted line, and the
// Gutenberg–Richter figures, redrawn whenever the application hands over a new list.
class statisticsWindowController : public QObject {
    Q_OBJECT
public:
    explicit statisticsWindowController(QObject* parent = nullptr);
    ~statisticsWindowController() override;

    QWidget* window() const { return window_.get(); }
    Ui::statisticsWindow& interface() { return *ui_; }
    QVRHistogramView* magnitudeHistogram() const;
    QVRHistogramView* depthHistogram() const;
    magnitudeFrequencyView* frequencyView() const;
    void showWindow();

    // The visible origins after each load or click filter.
    void setVisibleOrigins(const originList& origins);
    const seismicityStatistics& statistics() const { return statistics_; }

private:
    void showFigures();

    std::unique_ptr<Ui::statisticsWindow> ui_;
    std::unique_ptr<QWidget> window_;
    seismicityStatistics statistics_;
};
