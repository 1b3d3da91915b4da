#pragma once

#include "SacObject.h"

#include <QList>
#include <QObject>

#include <memory>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QWidget;
class qvrFKImageView;

// The Array Analysis window: the seismograms of one array, the window, band and slowness grid
// in fields, Compute, the relative beam power in the FK view and the peak's figures beside it.
// Input the analysis refuses is named in the window's message line; the last picture stays.
class arrayAnalysisController : public QObject {
    Q_OBJECT
public:
    explicit arrayAnalysisController(QObject* parent = nullptr);
    ~arrayAnalysisController() override;

    void setSeismograms(const QList<std::shared_ptr<const SacObject>>& seismograms);
    void showWindow();
    QWidget* window() const;

private:
    void compute();
    void showMessage(const QString& text);

    QList<std::shared_ptr<const SacObject>> seismograms_;
    std::unique_ptr<QWidget> window_;
    // Owned by the window.
    qvrFKImageView* view_ = nullptr;
    QDoubleSpinBox *windowStart_ = nullptr, *windowLength_ = nullptr;
    QDoubleSpinBox *minFrequency_ = nullptr, *maxFrequency_ = nullptr;
    QDoubleSpinBox *slownessMax_ = nullptr, *slownessStep_ = nullptr;
    QPushButton* computeButton_ = nullptr;
    QLabel *slownessEast_ = nullptr, *slownessNorth_ = nullptr, *backAzimuth_ = nullptr;
    QLabel *apparentVelocity_ = nullptr, *relativePower_ = nullptr;
    QLabel* stationsLabel_ = nullptr;
    QLabel* message_ = nullptr;
};
