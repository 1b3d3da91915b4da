#include "liveSeismogramsController.h"

#include "QVRDateFormatter.h"
#include "QVRRTSeismicDisplayController.h"
#include "QVRRealTimeDisplayView02.h"
#include "lenientNumbers.h"
#include "liveStream.h"
#include "quorvelLogging.h"
#include "seismogramInteraction.h"
#include "serviceEndpoints.h"
#include "timeZones.h"
#include "userDefaults.h"
#include "windowPlace.h"

#include "ui_liveSeismogramsWindow.h"

#include <QCloseEvent>
#include <QSettings>

#include <cmath>

namespace {

const QString startPattern = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString settingsKey(const char* name) {
    return QStringLiteral("liveSeismograms/") + QLatin1StringView(name);
}

// The entries of the source chooser.
enum sourceEntry { timeSeriesEntry, fdsnEntry, seedLinkEntry };

} // namespace

QString liveSeismogramsController::defaultChannelList() {
    return QStringLiteral("Title; Live broadband seismograms\n"
                          "IU; ANMO; 00; BHZ; IU.ANMO Albuquerque, New Mexico\n"
                          "IU; COLA; 00; BHZ; IU.COLA College, Alaska\n"
                          "IU; KONO; 00; BHZ; IU.KONO Kongsberg, Norway\n"
                          "IU; MAJO; 00; BHZ; IU.MAJO Matsushiro, Japan\n"
                          "IU; SNZO; 00; BHZ; IU.SNZO South Karori, New Zealand\n"
                          "II; PFO; 00; BHZ; II.PFO Pinon Flat, California\n");
}

liveSeismogramsController::liveSeismogramsController(QVRRTSeismicDisplayController& downloads,
                                                     QObject* parent)
    : QObject(parent)
    , downloads_(downloads)
    , ui_(std::make_unique<Ui::liveSeismogramsWindow>())
    , window_(std::make_unique<QWidget>())
    , stream_(std::make_unique<liveStream>()) {
    ui_->setupUi(window_.get());
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    window_->installEventFilter(this);
    ui_->busyIndicator->setVisible(downloads_.isUpdatingSeismograms());
    windowPlace::restore(*window_, settingsKey("geometry"));
    view()->setDrawOriginTimes(true);
    view()->setWaveformGain(float(ui_->gainSpinBox->value()));
    // A zoom holds while the window moves on, until Home or a double click.
    auto* interaction = new seismogramInteraction(*view(), *view());
    connect(interaction, &seismogramInteraction::readingChanged, ui_->readingLabel,
            &QLabel::setText);
    for (const serviceEndpoints::fdsnDataCentre& centre : serviceEndpoints::fdsnDataCentres())
        ui_->dataCentreComboBox->addItem(QString::fromLatin1(centre.name));
    ui_->seedLinkServerComboBox->addItems(serviceEndpoints::offeredSeedLinkServers());
    restoreFields();
    showDataSource();

    connect(ui_->loadButton, &QPushButton::clicked, this, &liveSeismogramsController::load);
    connect(ui_->liveButton, &QPushButton::toggled, this, &liveSeismogramsController::setLive);
    connect(ui_->stopButton, &QPushButton::clicked, this, &liveSeismogramsController::stop);
    connect(&liveTimer_, &QTimer::timeout, this, &liveSeismogramsController::load);
    connect(ui_->dataSourceComboBox, &QComboBox::currentIndexChanged, this, [this] {
        keepDataSource();
        showDataSource();
    });
    connect(ui_->dataCentreComboBox, &QComboBox::currentTextChanged, this, [this] {
        keepDataSource();
        showDataSource();
    });
    connect(ui_->seedLinkServerComboBox, &QComboBox::currentTextChanged, this, [this] {
        keepDataSource();
        showDataSource();
    });
    displayTimer_.setInterval(displayIntervalMs);
    connect(&displayTimer_, &QTimer::timeout, this, &liveSeismogramsController::showStream);
    connect(stream_.get(), &liveStream::samplesArrived, this, [this] { streamChanged_ = true; });
    connect(stream_.get(), &liveStream::statusChanged, this, [this] {
        streamChanged_ = true;
        showStatus();
    });
    connect(stream_.get(), &liveStream::runningChanged, this, [this](bool running) {
        // A stream the server ended leaves Live off, as Stop does.
        if (!running && ui_->liveButton->isChecked() && !liveTimer_.isActive())
            ui_->liveButton->setChecked(false);
        if (!running)
            displayTimer_.stop();
    });
    connect(ui_->gainSpinBox, &QDoubleSpinBox::valueChanged, this, [this](double gain) {
        view()->setWaveformGain(float(gain));
        view()->update();
    });
    connect(ui_->normaliseCheckBox, &QCheckBox::toggled, this, [this] {
        placed_.clear();
        if (streamShown_) {
            streamChanged_ = true;
            showStream();
        }
        showTraces();
    });

    connect(&downloads_, &QVRRTSeismicDisplayController::seismogramsChanged, this,
            &liveSeismogramsController::showTraces);
    connect(&downloads_, &QVRRTSeismicDisplayController::seismogramFailed, this,
            &liveSeismogramsController::showStatus);
    connect(&downloads_, &QVRRTSeismicDisplayController::loadFailed, this,
            &liveSeismogramsController::showStatus);
    connect(&downloads_, &QVRRTSeismicDisplayController::isUpdatingSeismogramsChanged, this,
            [this](bool updating) {
                ui_->busyIndicator->setVisible(updating);
                showStatus();
            });
    connect(&downloads_, &QVRRTSeismicDisplayController::listTitleChanged, this,
            [this](const QString& title) {
                window_->setWindowTitle(title.isEmpty() ? tr("Live Seismograms") : title);
            });
}

liveSeismogramsController::~liveSeismogramsController() {
    liveTimer_.stop();
    displayTimer_.stop();
    windowPlace::keep(*window_, settingsKey("geometry"));
}

QVRRealTimeDisplayView02* liveSeismogramsController::view() const {
    return ui_->liveView;
}

void liveSeismogramsController::showWindow() {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void liveSeismogramsController::restoreFields() {
    const QSettings settings;
    ui_->channelListTView->setPlainText(
        settings.value(settingsKey("channelList"), defaultChannelList()).toString());
    ui_->startTimeTField->setText(
        settings
            .value(settingsKey("startTime"),
                   QVRDateFormatter(startPattern, timeZones::utc())
                       .stringFromDate(QDateTime::currentDateTimeUtc().addSecs(-3600)))
            .toString());
    ui_->durationTField->setText(settings.value(settingsKey("duration"), "60").toString());
    ui_->sampleRateTField->setText(settings.value(settingsKey("sampleRate"), "1").toString());
    ui_->highPassTField->setText(settings.value(settingsKey("highPassHz"), "0.01").toString());
    ui_->lowPassTField->setText(settings.value(settingsKey("lowPassHz"), "0.2").toString());
    const userDefaults& defaults = userDefaults::standardUserDefaults();
    ui_->causalCheckBox->setChecked(defaults.boolForKey(QStringLiteral("causal_filter")));
    const int poles = defaults.objectForKey(QStringLiteral("nfilter_poles")).toInt();
    ui_->polesSpinBox->setValue(poles > 0 ? poles : 4);
    ui_->liveIntervalSpinBox->setValue(settings.value(settingsKey("liveMinutes"), 10).toInt());
    ui_->gainSpinBox->setValue(settings.value(settingsKey("gain"), 1.0).toDouble());
    ui_->normaliseCheckBox->setChecked(settings.value(settingsKey("normalise"), true).toBool());
    ui_->groundMotionCheckBox->setChecked(
        settings.value(settingsKey("groundMotion"), false).toBool());
    const QString kept = settings.value(settingsKey("dataSource"), "timeseries").toString();
    std::optional<seismogramDataSource> source = seismogramDataSource::parse(kept);
    ui_->seedLinkServerComboBox->setCurrentText(serviceEndpoints::keptSeedLinkServer());
    // Only the sources the window offers come back; anything else is the time-series service.
    if (!source) {
        qCWarning(lcSeismograms).noquote()
            << QStringLiteral("The kept data source \"%1\" is not one the Live Seismograms "
                              "window offers; it asks the time-series service")
                   .arg(kept);
        source = seismogramDataSource();
    }
    const bool fdsn = source->type() == seismogramDataSource::kind::fdsn;
    ui_->dataCentreComboBox->setCurrentText(
        fdsn ? source->fdsnCentre()
             : QString::fromLatin1(serviceEndpoints::fdsnDataCentres().first().name));
    if (source->type() == seismogramDataSource::kind::seedLink)
        ui_->seedLinkServerComboBox->setCurrentText(source->seedLinkServer());
    ui_->dataSourceComboBox->setCurrentIndex(
        fdsn ? fdsnEntry
             : (source->type() == seismogramDataSource::kind::seedLink ? seedLinkEntry
                                                                       : timeSeriesEntry));
}

std::optional<seismogramDataSource> liveSeismogramsController::chosenDataSource() const {
    switch (ui_->dataSourceComboBox->currentIndex()) {
    case fdsnEntry:
        return seismogramDataSource::parse(QStringLiteral("fdsn:") +
                                           ui_->dataCentreComboBox->currentText().trimmed());
    case seedLinkEntry:
        return seismogramDataSource::parse(QStringLiteral("seedlink:") +
                                           ui_->seedLinkServerComboBox->currentText().trimmed());
    default:
        return seismogramDataSource();
    }
}

void liveSeismogramsController::keepDataSource() const {
    // A typed address is kept once it reads as one.
    const std::optional<seismogramDataSource> source = chosenDataSource();
    if (!source)
        return;
    QSettings().setValue(settingsKey("dataSource"), source->text());
    if (source->type() == seismogramDataSource::kind::seedLink)
        serviceEndpoints::keepSeedLinkServer(source->seedLinkServer());
}

QString liveSeismogramsController::liveUnavailableReason(const seismogramDataSource& source) {
    if (source.type() != seismogramDataSource::kind::fdsn || !source.seedLinkServer().isNull())
        return {};
    return tr("The data centre %1 offers no streaming service, and data centres do not allow "
              "polling dataselect.")
        .arg(source.fdsnCentre());
}

QString liveSeismogramsController::olderPartCentre(const seismogramDataSource& source) {
    if (source.type() == seismogramDataSource::kind::fdsn)
        return source.fdsnBaseURL();
    if (const auto* centre =
            serviceEndpoints::fdsnDataCentreOfSeedLinkServer(source.seedLinkServer()))
        return serviceEndpoints::baseURL(centre->which);
    return {};
}

void liveSeismogramsController::showDataSource() {
    const int entry = ui_->dataSourceComboBox->currentIndex();
    const bool fdsn = entry == fdsnEntry;
    const bool seedLink = entry == seedLinkEntry;
    ui_->dataCentreComboBox->setEnabled(fdsn);
    ui_->dataCentreLabel->setEnabled(fdsn);
    ui_->seedLinkServerComboBox->setEnabled(seedLink);
    ui_->seedLinkServerLabel->setEnabled(seedLink);
    // The data centres and the servers send each channel at its own rate.
    ui_->sampleRateTField->setEnabled(!fdsn && !seedLink);
    ui_->sampleRateNote->setVisible(fdsn || seedLink);
    const std::optional<seismogramDataSource> source = chosenDataSource();
    QString reason;
    if (!source)
        reason = seedLink ? tr("Live needs a SeedLink server as host or host:port.")
                          : tr("Live needs a streaming service; data centres do not allow "
                               "polling dataselect.");
    else
        reason = liveUnavailableReason(*source);
    if (!reason.isNull() && isLive())
        setLive(false);
    ui_->liveButton->setEnabled(reason.isNull());
    ui_->liveButton->setToolTip(reason);
}

void liveSeismogramsController::keepFields() const {
    QSettings settings;
    settings.setValue(settingsKey("channelList"), ui_->channelListTView->toPlainText());
    settings.setValue(settingsKey("startTime"), ui_->startTimeTField->text());
    settings.setValue(settingsKey("duration"), ui_->durationTField->text());
    settings.setValue(settingsKey("sampleRate"), ui_->sampleRateTField->text());
    settings.setValue(settingsKey("highPassHz"), ui_->highPassTField->text());
    settings.setValue(settingsKey("lowPassHz"), ui_->lowPassTField->text());
    settings.setValue(settingsKey("liveMinutes"), ui_->liveIntervalSpinBox->value());
    settings.setValue(settingsKey("gain"), ui_->gainSpinBox->value());
    settings.setValue(settingsKey("normalise"), ui_->normaliseCheckBox->isChecked());
    settings.setValue(settingsKey("groundMotion"), ui_->groundMotionCheckBox->isChecked());
    keepDataSource();
    // The download controller filters with these two of the user's settings.
    userDefaults& defaults = userDefaults::standardUserDefaults();
    defaults.setObject(ui_->causalCheckBox->isChecked(), QStringLiteral("causal_filter"));
    defaults.setObject(ui_->polesSpinBox->value(), QStringLiteral("nfilter_poles"));
}

QVRRTSeismicDisplayController::channelListContents liveSeismogramsController::channelList(
    const QVRRTSeismicDisplayController::channelDescription& working) const {
    // The window's corners apply to every line that names none of its own.
    const QVRRTSeismicDisplayController::channelDescription corners = {
        {QStringLiteral("HPCornerHz"), ui_->highPassTField->text().trimmed()},
        {QStringLiteral("LPCornerHz"), ui_->lowPassTField->text().trimmed()}};
    return QVRRTSeismicDisplayController::readChannelList(ui_->channelListTView->toPlainText(),
                                                          corners, working);
}

void liveSeismogramsController::load() {
    // A Load shows a finished window: a stream on display ends first.
    if (isStreaming())
        setLive(false);
    keepFields();
    loadProblem_.clear();
    const QString startText = ui_->startTimeTField->text().trimmed();
    const QDateTime start =
        QVRDateFormatter(startPattern, timeZones::utc()).dateFromString(startText);
    const bool live = ui_->liveButton->isChecked();
    const std::optional<seismogramDataSource> source = chosenDataSource();
    if (!source) {
        loadProblem_ =
            ui_->dataSourceComboBox->currentIndex() == seedLinkEntry
                ? tr("The SeedLink server \"%1\" is no host or host:port.")
                      .arg(ui_->seedLinkServerComboBox->currentText().trimmed())
                : tr("The data centre \"%1\" is neither a known name nor an http(s) address.")
                      .arg(ui_->dataCentreComboBox->currentText().trimmed());
        showStatus();
        return;
    }
    if (!live && !start.isValid()) {
        loadProblem_ = tr("The start \"%1\" is no yyyy-MM-dd HH:mm:ss time.").arg(startText);
        showStatus();
        return;
    }
    QVRRTSeismicDisplayController::channelDescription working =
        QVRRTSeismicDisplayController::fixedWorkingDescription();
    if (start.isValid())
        working.insert(QStringLiteral("StartTime"), startText);
    // A live window reaches back from now, whichever sign the length was given with.
    const double minutes = leadingDouble(ui_->durationTField->text());
    working.insert(QStringLiteral("Duration"),
                   QString::number(live ? -std::abs(minutes) : minutes, 'g', 9));
    working.insert(QStringLiteral("SampleRate"), ui_->sampleRateTField->text().trimmed());
    const auto list = channelList(working);
    if (list.channels.isEmpty()) {
        loadProblem_ = tr("The channel list has no line of five fields or more.");
        showStatus();
        return;
    }
    streamShown_ = false;
    downloads_.setIsAutoUpdatingSeismograms(live);
    downloads_.setDataSource(*source);
    downloads_.setGroundMotion(ui_->groundMotionCheckBox->isChecked());
    fdsnCentre_ =
        source->type() == seismogramDataSource::kind::fdsn ? source->fdsnCentre() : QString();
    askedChannels_ = int(list.channels.size());
    shown_ = liveTraces::requestedWindow(start, leadingDouble(working.value("Duration")), live,
                                         clock_());
    placed_.clear();
    downloads_.loadChannelList(list);
    showStatus();
}

bool liveSeismogramsController::isLive() const {
    return liveTimer_.isActive() || isStreaming();
}

bool liveSeismogramsController::isStreaming() const {
    return stream_->isRunning();
}

void liveSeismogramsController::setLive(bool on) {
    if (ui_->liveButton->isChecked() != on)
        ui_->liveButton->setChecked(on); // comes back here through the button's signal
    if (on == isLive())
        return;
    // A data centre cannot be polled; the button is off then, and so is every other way in.
    const std::optional<seismogramDataSource> source = chosenDataSource();
    if (on && (!source || !liveUnavailableReason(*source).isNull())) {
        ui_->liveButton->setChecked(false);
        return;
    }
    if (on && !source->seedLinkServer().isNull()) {
        startStream(*source);
    } else if (on) {
        liveTimer_.start(ui_->liveIntervalSpinBox->value() * 60 * 1000);
        load();
    } else {
        liveTimer_.stop();
        downloads_.setIsAutoUpdatingSeismograms(false);
        stream_->stop();
        displayTimer_.stop();
        // The last moment streamed stays on display.
        if (streamShown_) {
            streamChanged_ = true;
            showStream();
        }
    }
}

void liveSeismogramsController::startStream(const seismogramDataSource& source) {
    keepFields();
    loadProblem_.clear();
    QVRRTSeismicDisplayController::channelDescription working =
        QVRRTSeismicDisplayController::fixedWorkingDescription();
    const auto list = channelList(working);
    const double seconds = std::abs(leadingDouble(ui_->durationTField->text())) * 60.0;
    if (list.channels.isEmpty() || !(seconds > 0)) {
        loadProblem_ = list.channels.isEmpty()
                           ? tr("The channel list has no line of five fields or more.")
                           : tr("Live needs a duration of more than 0 minutes.");
        ui_->liveButton->setChecked(false);
        showStatus();
        return;
    }
    // Whatever was loading would land on the stream's display.
    downloads_.cancelAllOperations();
    liveStream::request r;
    r.server = serviceEndpoints::seedLinkServerInForce(source.seedLinkServer());
    r.backfillURL = olderPartCentre(source);
    r.channels = list.channels;
    r.windowSeconds = seconds;
    r.poles = ui_->polesSpinBox->value();
    streamShown_ = true;
    streamDrawn_ = {};
    stream_->start(r, clock_());
    displayTimer_.start();
    showStream();
}

void liveSeismogramsController::stop() {
    setLive(false);
    downloads_.cancelAllOperations();
    showStatus();
}

void liveSeismogramsController::showStream() {
    const QDateTime now = clock_();
    // Nothing new and the clock in the same second (which the view prints): the picture
    // would be the one on screen, give or take a fraction of a pixel.
    if (!streamChanged_ && streamDrawn_.isValid() &&
        streamDrawn_.toSecsSinceEpoch() == now.toSecsSinceEpoch())
        return;
    streamChanged_ = false;
    streamDrawn_ = now;
    const bool normalise = ui_->normaliseCheckBox->isChecked();
    const liveStream::placedTraces placed = stream_->tracesAt(now, normalise);
    const double seconds = stream_->currentRequest().windowSeconds;
    const double windowStart = double(placed.axisStart.msecsTo(now)) / 1000.0 - seconds;
    liveTraces::showInView(*view(), placed.traces, {now, seconds}, normalise, windowStart,
                           placed.bands);
    view()->update();
    showStatus();
}

void liveSeismogramsController::setVisibleOrigins(const originList& origins) {
    view()->setEventOrigins(liveTraces::earthquakesToMark(origins));
    view()->update();
}

void liveSeismogramsController::showTraces() {
    // A stream on display is not replaced by what a load left behind.
    if (streamShown_) {
        showStatus();
        return;
    }
    const bool normalise = ui_->normaliseCheckBox->isChecked();
    SeisView01::seismogramList traces;
    QHash<const SacObject*, placedSeismogram> stillLoaded;
    for (const auto& seismogram : downloads_.theSeismograms()) {
        auto known = placed_.constFind(seismogram.get());
        if (known == placed_.cend()) {
            const auto placed = liveTraces::placedInWindow({seismogram}, shown_, normalise);
            if (placed.isEmpty())
                continue;
            known = placed_.insert(seismogram.get(), {seismogram, placed.first()});
        }
        traces.append(known->placed);
        stillLoaded.insert(seismogram.get(), *known);
    }
    placed_ = std::move(stillLoaded);
    liveTraces::showInView(*view(), traces, shown_, normalise);
    view()->update();
    showStatus();
}

void liveSeismogramsController::showStatus() {
    QStringList lines;
    if (!loadProblem_.isEmpty())
        lines << loadProblem_;
    if (streamShown_) {
        lines << stream_->statusLines(clock_());
        ui_->statusLabel->setText(lines.join(u'\n'));
        return;
    }
    if (!downloads_.loadFailure().isEmpty())
        lines << downloads_.loadFailure();
    if (downloads_.isUpdatingSeismograms())
        lines << (fdsnCentre_.isNull()
                      ? tr("Loading %1 channels…").arg(downloads_.operations().size())
                      : tr("Loading %1 channels from %2…").arg(askedChannels_).arg(fdsnCentre_));
    lines << downloads_.channelFailures();
    if (lines.isEmpty() && !downloads_.theSeismograms().isEmpty())
        lines << tr("%1 channels shown").arg(downloads_.theSeismograms().size());
    ui_->statusLabel->setText(lines.join(u'\n'));
}

bool liveSeismogramsController::eventFilter(QObject* watched, QEvent* event) {
    // Closing the window ends the live updates; nothing keeps loading out of sight.
    if (watched == window_.get() && event->type() == QEvent::Close)
        setLive(false);
    return QObject::eventFilter(watched, event);
}
