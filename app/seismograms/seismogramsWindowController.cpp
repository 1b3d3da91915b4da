#include "seismogramsWindowController.h"

#include "SeisView01.h"
#include "arrayAnalysisController.h"
#include "earthModel.h"
#include "fileDropTarget.h"
#include "helicorderOrigin.h"
#include "quorvelLogging.h"
#include "sacFiles.h"
#include "saveSacDialog.h"
#include "seismogramFile.h"
#include "seismogramInteraction.h"
#include "seismogramTexts.h"
#include "travelTimeCalculator.h"
#include "windowPlace.h"

#include "ui_seismogramsWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {

QString settingsKey(const char* name) {
    return QStringLiteral("seismograms/") + QLatin1StringView(name);
}

// A station's components share the band and instrument letters of their channel names
// (BHZ, BHN, BHE), so that a station with two sensors gives one sensor's three.
QString sensorOf(const SacObject& s) {
    using seismogramTexts::defined;
    return QStringList{defined(s.knetwk()), defined(s.kstnm()), defined(s.khole()),
                       defined(s.kcmpnm()).left(2)}
        .join(u'.');
}

// A number from a field; none for empty text, and `ok` false for text that is not a number.
std::optional<float> fieldNumber(const QString& text, bool& ok) {
    const QString trimmed = text.trimmed();
    ok = true;
    if (trimmed.isEmpty())
        return std::nullopt;
    const float value = trimmed.toFloat(&ok);
    if (!ok || !std::isfinite(value)) {
        ok = false;
        return std::nullopt;
    }
    return value;
}

} // namespace

seismogramsWindowController::seismogramsWindowController(QObject* parent)
    : QObject(parent)
    , ui_(std::make_unique<Ui::seismogramsWindow>())
    , window_(std::make_unique<QWidget>()) {
    ui_->setupUi(window_.get());
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    window_->installEventFilter(this);
    fileDropTarget::attach(*window_, [this](const QStringList& paths) { openFiles(paths); });
    for (const seismogramViews::kind k : seismogramViews::allKinds())
        ui_->viewChooser->addItem(seismogramViews::title(k), int(k));
    for (const auto a :
         {seismogramViews::timeAlignment::eachFile, seismogramViews::timeAlignment::commonClock})
        ui_->alignmentChooser->addItem(seismogramViews::title(a), int(a));
    ui_->modelChooser->addItems(earthModel::names());
    restoreFields();

    connect(ui_->openButton, &QPushButton::clicked, this,
            &seismogramsWindowController::chooseFiles);
    connect(ui_->removeButton, &QPushButton::clicked, this,
            &seismogramsWindowController::removeSelectedFiles);
    connect(ui_->clearButton, &QPushButton::clicked, this,
            &seismogramsWindowController::clearFiles);
    connect(ui_->fileList, &QListWidget::itemSelectionChanged, this,
            &seismogramsWindowController::showView);
    connect(ui_->viewChooser, &QComboBox::currentIndexChanged, this, [this](int index) {
        setViewKind(seismogramViews::kind(ui_->viewChooser->itemData(index).toInt()));
    });
    connect(ui_->alignmentChooser, &QComboBox::currentIndexChanged, this, [this](int index) {
        alignment_ = seismogramViews::timeAlignment(ui_->alignmentChooser->itemData(index).toInt());
        showView();
    });

    for (QCheckBox* box : {ui_->removeMeanCheckBox, ui_->taperCheckBox})
        connect(box, &QCheckBox::toggled, this, &seismogramsWindowController::reprocessAndShow);
    for (QLineEdit* field : {ui_->highPassTField, ui_->lowPassTField})
        connect(field, &QLineEdit::editingFinished, this,
                &seismogramsWindowController::reprocessAndShow);
    for (QSpinBox* box : {ui_->polesSpinBox, ui_->passesSpinBox})
        connect(box, &QSpinBox::valueChanged, this, &seismogramsWindowController::reprocessAndShow);

    connect(ui_->gainSpinBox, &QDoubleSpinBox::valueChanged, this, [this](double gain) {
        gainOfKind_.insert(int(kind_), gain);
        showView();
    });
    for (QCheckBox* box :
         {ui_->zeroLinesCheckBox, ui_->fixedTimeCheckBox, ui_->fixedAmplitudeCheckBox})
        connect(box, &QCheckBox::toggled, this, &seismogramsWindowController::showView);
    for (QLineEdit* field :
         {ui_->timeMinTField, ui_->timeMaxTField, ui_->amplitudeMinTField, ui_->amplitudeMaxTField})
        connect(field, &QLineEdit::editingFinished, this, &seismogramsWindowController::showView);
    for (QSpinBox* box : {ui_->rowMinutesSpinBox, ui_->rowsSpinBox})
        connect(box, &QSpinBox::valueChanged, this, &seismogramsWindowController::showView);
    for (QDoubleSpinBox* box : {ui_->thresholdSpinBox, ui_->reductionVelocitySpinBox})
        connect(box, &QDoubleSpinBox::valueChanged, this, &seismogramsWindowController::showView);
    connect(ui_->phasesTField, &QLineEdit::editingFinished, this,
            &seismogramsWindowController::readPhases);
    connect(ui_->modelChooser, &QComboBox::currentIndexChanged, this,
            &seismogramsWindowController::showView);

    connect(ui_->copyButton, &QPushButton::clicked, this, [this] { view_->copy(); });
    connect(ui_->savePDFButton, &QPushButton::clicked, this, [this] { view_->savePDF(); });
    connect(ui_->savePNGButton, &QPushButton::clicked, this, [this] { view_->savePNG(); });
    connect(ui_->saveSacButton, &QPushButton::clicked, this,
            &seismogramsWindowController::chooseSaveAsSac);
    connect(ui_->arrayAnalysisButton, &QPushButton::clicked, this,
            &seismogramsWindowController::showArrayAnalysis);

    processing_ = processingFromFields().value_or(seismogramProcessing());
    enableSettingsOfView();
    showView();
}

seismogramsWindowController::~seismogramsWindowController() {
    keepFields();
}

void seismogramsWindowController::showWindow() {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void seismogramsWindowController::showArrayAnalysis() {
    if (!arrayAnalysis_)
        arrayAnalysis_ = std::make_unique<arrayAnalysisController>();
    arrayAnalysis_->setSeismograms({shown_.begin(), shown_.end()});
    arrayAnalysis_->showWindow();
}

QString seismogramsWindowController::summaryLine(const SacObject& s) {
    const QDateTime first = s.firstSampleTime();
    const QString start = first.isValid()
                              ? first.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                              : QStringLiteral("no start time");
    const QString rate = s.delta() > 0 ? QString::asprintf("%g Hz", 1.0 / double(s.delta()))
                                       : QStringLiteral("no sample rate");
    QStringList parts = {s.streamId(), start, rate, QStringLiteral("%1 samples").arg(s.npts())};
    const QString region = s.flinnEngdahlGeographicRegion();
    if (!region.isEmpty())
        parts.append(region);
    return parts.join(QStringLiteral("  "));
}

int seismogramsWindowController::openFiles(const QStringList& paths) {
    refused_.clear();
    saved_.clear();
    int opened = 0;
    for (const QString& path : paths) {
        QVRResult<std::vector<SacObject>> read = seismogramFile::fromFile(path);
        const QString why = !read           ? read.error()
                            : read->empty() ? tr("its records hold no samples")
                                            : QString();
        if (!why.isEmpty()) {
            refused_.append(tr("Could not open %1: %2").arg(QFileInfo(path).fileName(), why));
            qCWarning(lcSeismograms).noquote()
                << "Could not open" << path << "as a seismogram:" << why;
            continue;
        }
        for (SacObject& seismogram : read.value()) {
            addSeismogram(std::make_shared<const SacObject>(std::move(seismogram)),
                          QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
            ++opened;
        }
    }
    if (!paths.isEmpty())
        QSettings().setValue(settingsKey("folder"), QFileInfo(paths.last()).absolutePath());
    if (opened > 0)
        processAll();
    showView();
    return opened;
}

void seismogramsWindowController::addSeismogram(std::shared_ptr<const SacObject> seismogram,
                                                const QString& from) {
    openFile file;
    file.asRead = std::move(seismogram);
    auto* item = new QListWidgetItem(summaryLine(*file.asRead), ui_->fileList);
    item->setToolTip(from);
    files_.append(file);
}

void seismogramsWindowController::showSeismograms(
    const QList<std::shared_ptr<SacObject>>& seismograms, seismogramViews::kind k,
    const QString& model) {
    if (const int index = ui_->modelChooser->findText(model); index >= 0) {
        const QSignalBlocker quiet(ui_->modelChooser);
        ui_->modelChooser->setCurrentIndex(index);
    }
    clearFiles();
    for (const auto& seismogram : seismograms)
        addSeismogram(seismogram, tr("Downloaded"));
    processAll();
    setViewKind(k);
}

void seismogramsWindowController::chooseFiles() {
    const QString folder = QSettings().value(settingsKey("folder")).toString();
    const QStringList paths = QFileDialog::getOpenFileNames(
        window_.get(), tr("Open Seismograms"), folder,
        tr("Seismograms (*.sac *.SAC *.mseed *.miniseed *.ms);;All files (*)"));
    if (!paths.isEmpty())
        openFiles(paths);
}

QList<int> seismogramsWindowController::selectedRows(bool allWhenNone) const {
    QList<int> rows;
    for (const QModelIndex& index : ui_->fileList->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && allWhenNone) {
        for (int row = 0; row < files_.size(); ++row)
            rows.append(row);
    }
    return rows;
}

QVRResult<QStringList> seismogramsWindowController::saveAsSac(const QString& folder,
                                                              bool processed) {
    std::vector<const SacObject*> chosen;
    for (const int row : selectedRows(true)) {
        const openFile& file = files_.at(row);
        // A seismogram whose processing failed is shown as read, and so saved.
        chosen.push_back(processed && file.processed ? file.processed.get() : file.asRead.get());
    }
    QVRResult<QStringList> written =
        chosen.empty() ? QVRResult<QStringList>::failure(tr("there are no seismograms to save"))
                       : sacFiles::writeAll(chosen, folder);
    if (written) {
        saved_ = tr("Saved %n SAC file(s) in %1.", nullptr, int(written->size()))
                     .arg(QDir::toNativeSeparators(folder));
    } else {
        saved_ = tr("Could not save as SAC: %1").arg(written.error());
        qCWarning(lcSeismograms).noquote() << "Could not save as SAC:" << written.error();
    }
    setStatus(QString());
    return written;
}

void seismogramsWindowController::chooseSaveAsSac() {
    QSettings settings;
    saveSacDialog dialog(settings.value(settingsKey("sacFolder")).toString(), window_.get());
    dialog.setProcessed(settings.value(settingsKey("sacProcessed"), true).toBool());
    if (dialog.exec() != QDialog::Accepted)
        return;
    settings.setValue(settingsKey("sacFolder"), dialog.folder());
    settings.setValue(settingsKey("sacProcessed"), dialog.processed());
    saveAsSac(dialog.folder(), dialog.processed());
}

void seismogramsWindowController::removeSelectedFiles() {
    QList<int> rows = selectedRows(false);
    std::reverse(rows.begin(), rows.end());
    const QSignalBlocker quiet(ui_->fileList);
    for (const int row : rows) {
        delete ui_->fileList->takeItem(row);
        files_.removeAt(row);
    }
    showView();
}

void seismogramsWindowController::clearFiles() {
    {
        const QSignalBlocker quiet(ui_->fileList);
        ui_->fileList->clear();
    }
    files_.clear();
    refused_.clear();
    saved_.clear();
    filterProblems_.clear();
    showView();
}

void seismogramsWindowController::setViewKind(seismogramViews::kind k) {
    kind_ = k;
    {
        const QSignalBlocker quiet(ui_->viewChooser);
        ui_->viewChooser->setCurrentIndex(ui_->viewChooser->findData(int(k)));
    }
    enableSettingsOfView();
    showView();
}

void seismogramsWindowController::setVisibleOrigins(const originList& origins) {
    hypocenters_.clear();
    for (const auto& origin : origins)
        hypocenters_.append(std::make_shared<helicorderOrigin>(origin));
    if (kind_ == seismogramViews::kind::helicorder)
        showView();
}

std::optional<seismogramProcessing> seismogramsWindowController::processingFromFields() {
    seismogramProcessing how;
    how.removeMean = ui_->removeMeanCheckBox->isChecked();
    how.taper = ui_->taperCheckBox->isChecked();
    how.poles = ui_->polesSpinBox->value();
    how.passes = ui_->passesSpinBox->value();
    bool highOk = false, lowOk = false;
    how.highpass = fieldNumber(ui_->highPassTField->text(), highOk);
    how.lowpass = fieldNumber(ui_->lowPassTField->text(), lowOk);
    if (!highOk || (how.highpass && *how.highpass <= 0)) {
        problem_ = tr("The high-pass corner is not a frequency in Hz; leave it empty for none.");
        return std::nullopt;
    }
    if (!lowOk || (how.lowpass && *how.lowpass <= 0)) {
        problem_ = tr("The low-pass corner is not a frequency in Hz; leave it empty for none.");
        return std::nullopt;
    }
    return how;
}

std::optional<seismogramViews::settings> seismogramsWindowController::settingsFromFields() {
    seismogramViews::settings how;
    if (seismogramViews::hasGain(kind_))
        how.gain = float(ui_->gainSpinBox->value());
    how.zeroLines = ui_->zeroLinesCheckBox->isChecked();
    how.alignment = alignment_;
    const auto range = [this](QCheckBox* on, QLineEdit* from, QLineEdit* to, const QString& what,
                              std::optional<std::pair<float, float>>& limits) {
        if (!on->isChecked() || !seismogramViews::hasFixedRanges(kind_))
            return true;
        bool fromOk = false, toOk = false;
        const auto low = fieldNumber(from->text(), fromOk);
        const auto high = fieldNumber(to->text(), toOk);
        if (!low || !high || *low >= *high) {
            problem_ = tr("The fixed %1 range needs two numbers, the first the smaller.").arg(what);
            return false;
        }
        limits = std::pair{*low, *high};
        return true;
    };
    if (!range(ui_->fixedTimeCheckBox, ui_->timeMinTField, ui_->timeMaxTField, tr("time"),
               how.fixedTime) ||
        !range(ui_->fixedAmplitudeCheckBox, ui_->amplitudeMinTField, ui_->amplitudeMaxTField,
               tr("amplitude"), how.fixedAmplitude))
        return std::nullopt;
    how.rowMinutes = ui_->rowMinutesSpinBox->value();
    how.rows = ui_->rowsSpinBox->value();
    how.magnitudeThreshold = float(ui_->thresholdSpinBox->value());
    how.hypocenters = hypocenters_;
    how.reductionVelocity = float(ui_->reductionVelocitySpinBox->value());
    how.phases = sectionPhases_;
    how.model = ui_->modelChooser->currentText();
    return how;
}

void seismogramsWindowController::readPhases() {
    QVRResult<QStringList> phases = travelTimeCalculator::phaseList(ui_->phasesTField->text());
    if (!phases) {
        qCWarning(lcSeismograms).noquote()
            << "The event record section's phases were refused:" << phases.error();
        problem_ = tr("Phases: %1; the curves keep %2.")
                       .arg(phases.error(), sectionPhases_.join(QStringLiteral(", ")));
        setStatus(QString());
        return;
    }
    // The field says it is done each time it loses the keyboard; drawing again for the same
    // list would replace the view being clicked on.
    if (*phases == sectionPhases_ && problem_.isEmpty())
        return;
    sectionPhases_ = std::move(phases).value();
    showView();
}

void seismogramsWindowController::processAll() {
    const bool changed = processing_ != processedWith_;
    if (changed)
        filterProblems_.clear();
    for (openFile& file : files_) {
        if (file.processed && !changed)
            continue;
        auto processed = std::make_shared<SacObject>(*file.asRead);
        // A refused filter leaves the samples as they were before it; they are shown all the
        // same, and the window says which file was not filtered.
        if (!processing_.applyTo(*processed))
            filterProblems_.append(
                tr("Could not filter %1: %2")
                    .arg(QFileInfo(processed->path()).fileName(), processed->errorString()));
        file.processed = std::move(processed);
    }
    processedWith_ = processing_;
}

void seismogramsWindowController::reprocessAndShow() {
    problem_.clear();
    const std::optional<seismogramProcessing> how = processingFromFields();
    if (!how) {
        setStatus(QString());
        return;
    }
    processing_ = *how;
    processAll();
    showView();
}

QList<std::shared_ptr<SacObject>> seismogramsWindowController::filesForView() const {
    // A spectrogram is of one seismogram: the first selected, or the first of all.
    if (kind_ == seismogramViews::kind::spectrogram) {
        for (const int row : selectedRows(true))
            if (files_.at(row).processed)
                return {files_.at(row).processed};
        return {};
    }
    QList<int> rows = selectedRows(false);
    if (rows.size() < 2) {
        rows.clear();
        for (int row = 0; row < files_.size(); ++row)
            rows.append(row);
    }
    QList<std::shared_ptr<SacObject>> chosen;
    for (const int row : rows)
        if (files_.at(row).processed)
            chosen.append(files_.at(row).processed);
    const bool oneChannel = kind_ == seismogramViews::kind::helicorder;
    const bool oneSensor = kind_ == seismogramViews::kind::threeComponents;
    if ((!oneChannel && !oneSensor) || chosen.isEmpty())
        return chosen;

    const int current = ui_->fileList->currentRow();
    const SacObject& reference = current >= 0 && current < files_.size() && rows.contains(current)
                                     ? *files_.at(current).processed
                                     : *chosen.first();
    const auto keyOf = [oneChannel](const SacObject& s) {
        return oneChannel ? s.streamId() : sensorOf(s);
    };
    const QString key = keyOf(reference);
    QList<std::shared_ptr<SacObject>> same;
    for (const auto& s : chosen)
        if (keyOf(*s) == key)
            same.append(s);
    return same;
}

void seismogramsWindowController::showView() {
    problem_.clear();
    std::optional<seismogramViews::settings> how = settingsFromFields();
    if (!how) {
        setStatus(QString());
        return;
    }
    shown_ = filesForView();
    QVRResult<std::unique_ptr<QVRView>> made = seismogramViews::make(kind_, shown_, *how);
    QString shownText;
    {
        // The chooser shows the alignment in force, the files' choice included.
        const QSignalBlocker quiet(ui_->alignmentChooser);
        ui_->alignmentChooser->setCurrentIndex(
            ui_->alignmentChooser->findData(int(seismogramViews::alignmentFor(*how, shown_))));
    }
    if (made) {
        placeView(std::move(made).value());
        shownText = tr("Showing %1 of %2 files.").arg(shown_.size()).arg(files_.size());
    } else {
        // Nothing to draw in this view; an empty plot keeps the window's shape.
        problem_ = tr("No three components to show: %1").arg(made.error());
        placeView(std::make_unique<SeisView01>());
    }
    setStatus(shownText);
}

void seismogramsWindowController::placeView(std::unique_ptr<QVRView> view) {
    if (view_) {
        ui_->viewLayout->removeWidget(view_);
        view_->hide();
        view_->deleteLater(); // it may be the sender of what brought us here
    }
    view_ = view.release();
    ui_->readingLabel->clear();
    if (seismogramInteraction* interaction = seismogramInteraction::attach(view_)) {
        connect(interaction, &seismogramInteraction::readingChanged, ui_->readingLabel,
                &QLabel::setText);
        connect(interaction, &seismogramInteraction::picked, this,
                &seismogramsWindowController::keepPicks);
    }
    view_->setParent(ui_->viewHolder);
    view_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ui_->viewLayout->addWidget(view_);
    view_->show();
}

void seismogramsWindowController::keepPicks() {
    // The view set the pick on the processed copy it shows; the samples as read get it too,
    // so that it survives processing again and is saved either way.
    for (openFile& file : files_) {
        if (!file.processed)
            continue;
        const SacHeader* shown = file.processed->GetSacHeader();
        const SacHeader* read = file.asRead->GetSacHeader();
        if (!shown || !read)
            continue;
        if (shown->t2 == read->t2 && shown->t3 == read->t3 &&
            std::equal(std::begin(shown->kt2), std::end(shown->kt2), std::begin(read->kt2)) &&
            std::equal(std::begin(shown->kt3), std::end(shown->kt3), std::begin(read->kt3)))
            continue;
        auto picked = std::make_shared<SacObject>(*file.asRead);
        SacHeader& header = *picked->GetSacHeader();
        header.t2 = shown->t2;
        header.t3 = shown->t3;
        std::copy(std::begin(shown->kt2), std::end(shown->kt2), std::begin(header.kt2));
        std::copy(std::begin(shown->kt3), std::end(shown->kt3), std::begin(header.kt3));
        file.asRead = std::move(picked);
    }
}

void seismogramsWindowController::enableSettingsOfView() {
    using seismogramViews::kind;
    const bool gain = seismogramViews::hasGain(kind_);
    ui_->gainSpinBox->setEnabled(gain);
    {
        const QSignalBlocker quiet(ui_->gainSpinBox);
        ui_->gainSpinBox->setValue(
            gainOfKind_.value(int(kind_), double(seismogramViews::defaultGain(kind_))));
    }
    ui_->zeroLinesCheckBox->setEnabled(seismogramViews::hasZeroLines(kind_));
    ui_->alignmentChooser->setEnabled(seismogramViews::hasAlignment(kind_));
    const bool fixedRanges = seismogramViews::hasFixedRanges(kind_);
    for (QWidget* field : std::initializer_list<QWidget*>{
             ui_->fixedTimeCheckBox, ui_->timeMinTField, ui_->timeMaxTField,
             ui_->fixedAmplitudeCheckBox, ui_->amplitudeMinTField, ui_->amplitudeMaxTField})
        field->setEnabled(fixedRanges);
    const bool helicorder = kind_ == kind::helicorder;
    for (QWidget* field : std::initializer_list<QWidget*>{ui_->rowMinutesSpinBox, ui_->rowsSpinBox,
                                                          ui_->thresholdSpinBox})
        field->setEnabled(helicorder);
    // Three more fields for one view would crowd the others', so they show only with it.
    ui_->sectionBox->setVisible(seismogramViews::hasTravelTimeCurves(kind_));
}

void seismogramsWindowController::setStatus(const QString& text) {
    QStringList lines = refused_ + filterProblems_;
    if (!problem_.isEmpty())
        lines.append(problem_);
    if (!saved_.isEmpty())
        lines.append(saved_);
    if (!text.isEmpty())
        lines.append(text);
    ui_->statusLabel->setText(lines.join(u'\n'));
}

void seismogramsWindowController::restoreFields() {
    windowPlace::restore(*window_, settingsKey("geometry"));
    const QSettings settings;
    const int savedKind = settings.value(settingsKey("view"), int(kind_)).toInt();
    if (ui_->viewChooser->findData(savedKind) >= 0)
        kind_ = seismogramViews::kind(savedKind);
    ui_->viewChooser->setCurrentIndex(ui_->viewChooser->findData(int(kind_)));
    const QVariant alignment = settings.value(settingsKey("alignment"));
    if (alignment.isValid() && ui_->alignmentChooser->findData(alignment.toInt()) >= 0)
        alignment_ = seismogramViews::timeAlignment(alignment.toInt());
    ui_->removeMeanCheckBox->setChecked(settings.value(settingsKey("removeMean"), true).toBool());
    ui_->taperCheckBox->setChecked(settings.value(settingsKey("taper"), false).toBool());
    ui_->highPassTField->setText(settings.value(settingsKey("highPassHz")).toString());
    ui_->lowPassTField->setText(settings.value(settingsKey("lowPassHz")).toString());
    ui_->polesSpinBox->setValue(settings.value(settingsKey("poles"), 4).toInt());
    ui_->passesSpinBox->setValue(settings.value(settingsKey("passes"), 2).toInt());
    ui_->rowMinutesSpinBox->setValue(settings.value(settingsKey("rowMinutes"), 60).toInt());
    ui_->rowsSpinBox->setValue(settings.value(settingsKey("rows"), 24).toInt());
    ui_->thresholdSpinBox->setValue(settings.value(settingsKey("threshold"), 4.0).toDouble());
    ui_->reductionVelocitySpinBox->setValue(
        settings.value(settingsKey("reductionVelocity"), 0.0).toDouble());
    const QVRResult<QStringList> phases =
        travelTimeCalculator::phaseList(settings.value(settingsKey("phases")).toString());
    sectionPhases_ = phases ? *phases : seismogramViews::defaultSectionPhases();
    ui_->phasesTField->setText(sectionPhases_.join(QStringLiteral(", ")));
    const int model = ui_->modelChooser->findText(
        settings.value(settingsKey("model"), ui_->modelChooser->itemText(0)).toString());
    ui_->modelChooser->setCurrentIndex(std::max(model, 0));
}

void seismogramsWindowController::keepFields() const {
    windowPlace::keep(*window_, settingsKey("geometry"));
    QSettings settings;
    settings.setValue(settingsKey("view"), int(kind_));
    if (alignment_)
        settings.setValue(settingsKey("alignment"), int(*alignment_));
    settings.setValue(settingsKey("removeMean"), ui_->removeMeanCheckBox->isChecked());
    settings.setValue(settingsKey("taper"), ui_->taperCheckBox->isChecked());
    settings.setValue(settingsKey("highPassHz"), ui_->highPassTField->text());
    settings.setValue(settingsKey("lowPassHz"), ui_->lowPassTField->text());
    settings.setValue(settingsKey("poles"), ui_->polesSpinBox->value());
    settings.setValue(settingsKey("passes"), ui_->passesSpinBox->value());
    settings.setValue(settingsKey("rowMinutes"), ui_->rowMinutesSpinBox->value());
    settings.setValue(settingsKey("rows"), ui_->rowsSpinBox->value());
    settings.setValue(settingsKey("threshold"), ui_->thresholdSpinBox->value());
    settings.setValue(settingsKey("reductionVelocity"), ui_->reductionVelocitySpinBox->value());
    settings.setValue(settingsKey("phases"), sectionPhases_.join(QStringLiteral(", ")));
    settings.setValue(settingsKey("model"), ui_->modelChooser->currentText());
}

bool seismogramsWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.get() && event->type() == QEvent::Close)
        keepFields();
    return QObject::eventFilter(watched, event);
}
