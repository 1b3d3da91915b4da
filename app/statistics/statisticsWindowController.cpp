#include "statisticsWindowController.h"

#include "QVRHistogramView.h"
#include "magnitudeFrequencyView.h"
#include "statisticsPlots.h"
#include "windowPlace.h"

#include "ui_statisticsWindow.h"

#include <cmath>

namespace {

const QString geometryKey = QStringLiteral("statistics/geometry");

QString fixed(double value, int decimals) {
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("–");
}

} // namespace

statisticsWindowController::statisticsWindowController(QObject* parent)
    : QObject(parent)
    , ui_(std::make_unique<Ui::statisticsWindow>())
    , window_(std::make_unique<QWidget>()) {
    ui_->setupUi(window_.get());
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    windowPlace::restore(*window_, geometryKey);
    setVisibleOrigins({});
}

statisticsWindowController::~statisticsWindowController() {
    windowPlace::keep(*window_, geometryKey);
}

QVRHistogramView* statisticsWindowController::magnitudeHistogram() const {
    return ui_->magnitudeHistogramView;
}

QVRHistogramView* statisticsWindowController::depthHistogram() const {
    return ui_->depthHistogramView;
}

magnitudeFrequencyView* statisticsWindowController::frequencyView() const {
    return ui_->frequencyView;
}

void statisticsWindowController::showWindow() {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void statisticsWindowController::setVisibleOrigins(const originList& origins) {
    const std::vector<double> magnitudes = seismicityStatistics::magnitudesOf(origins);
    statisticsPlots::showMagnitudes(*ui_->magnitudeHistogramView, magnitudes);
    statisticsPlots::showDepths(*ui_->depthHistogramView, seismicityStatistics::depthsOf(origins));
    ui_->frequencyView->setMagnitudes(magnitudes);
    statistics_ = ui_->frequencyView->statistics();
    showFigures();
}

void statisticsWindowController::showFigures() {
    const seismicityStatistics& s = statistics_;
    ui_->eventsValue->setText(QString::number(s.events()));
    ui_->mcValue->setText(fixed(s.mc(), 2));
    ui_->nAboveMcValue->setText(QString::number(s.nAboveMc()));
    ui_->bValue->setText(fixed(s.b(), 3));
    ui_->bErrorValue->setText(fixed(s.bError(), 3));
    ui_->aValue->setText(fixed(s.a(), 3));
    ui_->tooFewEventsLabel->setVisible(s.tooFewEvents());
}
