#include "arrayAnalysisController.h"

#include "fkArrayAnalysis.h"
#include "fkPowerGrid.h"
#include "qvrFKImageView.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>

namespace {

QDoubleSpinBox* numberField(const QString& name, double minimum, double maximum, int decimals,
                            double step, double value, const QString& suffix) {
    auto* field = new QDoubleSpinBox; // owned by the form it is added to
    field->setObjectName(name);
    field->setRange(minimum, maximum);
    field->setDecimals(decimals);
    field->setSingleStep(step);
    field->setValue(value);
    field->setSuffix(suffix);
    return field;
}

QLabel* figureLabel(const QString& name) {
    auto* label = new QLabel(QStringLiteral("–")); // owned by the form it is added to
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

arrayAnalysisController::arrayAnalysisController(QObject* parent)
    : QObject(parent)
    , window_(std::make_unique<QWidget>()) {
    window_->setWindowTitle(QStringLiteral("Array Analysis"));
    window_->setObjectName(QStringLiteral("arrayAnalysisWindow"));

    view_ = new qvrFKImageView(window_.get());
    view_->setObjectName(QStringLiteral("fkView"));
    view_->setMinimumSize(460, 420);

    windowStart_ = numberField(QStringLiteral("windowStartField"), -1e6, 1e6, 2, 1, 0, " s");
    windowLength_ = numberField(QStringLiteral("windowLengthField"), 0.01, 1e6, 2, 1, 20, " s");
    minFrequency_ = numberField(QStringLiteral("minFrequencyField"), 0, 1e4, 3, 0.1, 0.5, " Hz");
    maxFrequency_ = numberField(QStringLiteral("maxFrequencyField"), 0, 1e4, 3, 0.1, 2, " Hz");
    slownessMax_ =
        numberField(QStringLiteral("slownessMaxField"), 0.001, 100, 3, 0.05, 0.5, " s/km");
    slownessStep_ =
        numberField(QStringLiteral("slownessStepField"), 0.0001, 10, 4, 0.001, 0.01, " s/km");
    computeButton_ = new QPushButton(QStringLiteral("Compute"));
    computeButton_->setObjectName(QStringLiteral("computeButton"));
    computeButton_->setDefault(true);

    slownessEast_ = figureLabel(QStringLiteral("slownessEastLabel"));
    slownessNorth_ = figureLabel(QStringLiteral("slownessNorthLabel"));
    backAzimuth_ = figureLabel(QStringLiteral("backAzimuthLabel"));
    apparentVelocity_ = figureLabel(QStringLiteral("apparentVelocityLabel"));
    relativePower_ = figureLabel(QStringLiteral("relativePowerLabel"));
    stationsLabel_ = new QLabel;
    stationsLabel_->setObjectName(QStringLiteral("stationsLabel"));
    stationsLabel_->setWordWrap(true);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messageLabel"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Window start:"), windowStart_);
    fields->addRow(QStringLiteral("Window length:"), windowLength_);
    fields->addRow(QStringLiteral("Lowest frequency:"), minFrequency_);
    fields->addRow(QStringLiteral("Highest frequency:"), maxFrequency_);
    fields->addRow(QStringLiteral("Slowness maximum:"), slownessMax_);
    fields->addRow(QStringLiteral("Slowness step:"), slownessStep_);
    fields->addRow(QString(), computeButton_);
    auto* figures = new QFormLayout;
    figures->addRow(QStringLiteral("Slowness east:"), slownessEast_);
    figures->addRow(QStringLiteral("Slowness north:"), slownessNorth_);
    figures->addRow(QStringLiteral("Back-azimuth:"), backAzimuth_);
    figures->addRow(QStringLiteral("Apparent velocity:"), apparentVelocity_);
    figures->addRow(QStringLiteral("Relative power:"), relativePower_);

    auto* side = new QVBoxLayout;
    side->addWidget(stationsLabel_);
    side->addLayout(fields);
    side->addSpacing(12);
    side->addLayout(figures);
    side->addWidget(message_);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(window_.get());
    layout->addWidget(view_, 1);
    layout->addLayout(side);

    connect(computeButton_, &QPushButton::clicked, this, &arrayAnalysisController::compute);
    setSeismograms({});
}

arrayAnalysisController::~arrayAnalysisController() = default;

QWidget* arrayAnalysisController::window() const {
    return window_.get();
}

void arrayAnalysisController::showWindow() {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void arrayAnalysisController::setSeismograms(
    const QList<std::shared_ptr<const SacObject>>& seismograms) {
    seismograms_ = seismograms;
    stationsLabel_->setText(seismograms.isEmpty()
                                ? QStringLiteral("No seismograms")
                                : QStringLiteral("%1 seismograms").arg(seismograms.size()));
    // The stations' offsets say at once whether the set is an array the analysis takes.
    const QVRResult<std::vector<fkArrayAnalysis::station>> offsets =
        fkArrayAnalysis::stationOffsets(seismograms);
    showMessage(offsets ? QString() : offsets.error());
}

void arrayAnalysisController::showMessage(const QString& text) {
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
}

void arrayAnalysisController::compute() {
    fkArrayAnalysis::request how;
    how.windowStart = windowStart_->value();
    how.windowLength = windowLength_->value();
    how.minFrequency = minFrequency_->value();
    how.maxFrequency = maxFrequency_->value();
    how.slownessMax = slownessMax_->value();
    how.slownessStep = slownessStep_->value();
    const QVRResult<fkArrayAnalysis> fk = fkArrayAnalysis::compute(seismograms_, how);
    if (!fk) {
        showMessage(fk.error());
        return;
    }
    showMessage(QString());
    fkPowerGrid::showIn(*view_, *fk);
    const fkArrayAnalysis::peak& p = fk->strongest();
    slownessEast_->setText(QString::asprintf("%.4f s/km", p.slownessEast));
    slownessNorth_->setText(QString::asprintf("%.4f s/km", p.slownessNorth));
    backAzimuth_->setText(QString::asprintf("%.2f°", p.backAzimuth));
    apparentVelocity_->setText(std::isinf(p.apparentVelocity)
                                   ? QStringLiteral("∞ (vertical incidence)")
                                   : QString::asprintf("%.3f km/s", p.apparentVelocity));
    relativePower_->setText(QString::asprintf("%.4f", p.relativePower));
}
