#include "OrrelinController.h"

#include "NEIC_QueryController.h"
#include "QVRDateFormatter.h"
#include "QVRRTSeismicDisplayController.h"
#include "QVRStemTimeLineView.h"
#include "applicationDefaults.h"
#include "colorWell.h"
#include "earthquakeAlerts.h"
#include "eventExport.h"
#include "eventFilters.h"
#include "eventListFile.h"
#include "eventSeismogramsDialog.h"
#include "fileDropTarget.h"
#include "geoMapView.h"
#include "liveSeismogramsController.h"
#include "mainWindows.h"
#include "mapDirectories.h"
#include "mapFeeding.h"
#include "originDisplays.h"
#include "originTableModel.h"
#include "originTableViewLink.h"
#include "quorvelLogging.h"
#include "seismogramsWindowController.h"
#include "serialOperationQueue.h"
#include "statisticsWindowController.h"
#include "timeZones.h"
#include "trayAlertNotifier.h"
#include "userDefaults.h"
#include "webPages.h"

#include "ui_aboutWindow.h"
#include "ui_alertWindow.h"
#include "ui_eventListWindow.h"
#include "ui_mainWindow.h"
#include "ui_preferencesWindow.h"
#include "ui_twitterWindow.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>

#include <future>

void OrrelinController::initialize() {
    static const bool registered = [] {
        applicationDefaults::registerApplicationDefaults();
        return true;
    }();
    Q_UNUSED(registered);
}

OrrelinController::OrrelinController(QObject* parent)
    : QObject(parent) {
    initialize();
    // Decoding the map's picture is the longest part of the start; it runs on a worker from
    // here on, while the windows are made and the kept list is read, and the map takes it
    // when it loads the same file.
    pictureDecoder_ = std::make_unique<serialOperationQueue>([] {});
    pictureDecoder_->addOperation(
        QStringLiteral("map picture"),
        [path = geoMapView::picturePath(originDisplays::defaultPictureIndex,
                                        mapDirectories::pictureDirectory())](
            const std::atomic<bool>&) { geoMapView::decodePictureAhead(path); });
    origins_ = std::make_unique<originStore>();
    loader_ = std::make_unique<catalogueLoader>(this, [this] { return now(); });
    windows_ = std::make_unique<mainWindows>();
    displays_ = std::make_unique<originDisplays>(*topoMapView(), *timeLineView(), *origins_,
                                                 [this] { return windows_->displaySettings(); });
    displays_->setClock([this] { return now(); });
    pages_ = std::make_unique<webPages>(*windows_);
    seismogramController_ = std::make_unique<QVRRTSeismicDisplayController>();
    tableModel_ = std::make_unique<originTableModel>(
        *origins_, originTableModel::columnRules{.regionFallsBackToCatalogText = true,
                                                 .ageColumnSorts = true});
    tableModel_->setColumnIdentifiers(mainWindows::eventTableColumns());
    alerts_ = std::make_unique<earthquakeAlerts>([this] { return now(); });
    alerts_->setNotifier(std::make_unique<trayAlertNotifier>());
    // The forms' controls and menus reach the actions below through the windows' wiring.
    windows_->connectTo(*this);
    connect(loader_.get(), &catalogueLoader::loadFinished, this, &OrrelinController::takeLoaded);
    connect(loader_.get(), &catalogueLoader::loadingChanged, this,
            [this] { windows_->showLoading(loader_->loadingCatalogue()); });
    connect(loader_.get(), &catalogueLoader::bulletinFinished, this, [this](const QString& text) {
        setAlertText(text);
        alertInterface().alertProgressIndicator->hide();
    });
}

OrrelinController::~OrrelinController() {
    // The timers it holds go with it, whoever made them. The windows, declared first, outlive
    // everything that points into them, and keep their places as they go.
    for (QTimer* timer : {elapsedTimer_.data(), updateTwitterTimer(), theTimer_.data()}) {
        if (timer) {
            timer->stop();
            delete timer;
        }
    }
}

void OrrelinController::showStatus(const QString& text, int milliseconds) {
    mainInterface().statusBar->showMessage(text, milliseconds);
}

void OrrelinController::setNeicQueryController(std::unique_ptr<NEIC_QueryController> controller) {
    loader_->setNeicQueryController(std::move(controller));
}

// --- set-up

void OrrelinController::awakeFromNib(firstLoads loads) {
    // The kept list is read on a worker while the windows are set up and the map picture is
    // decoded, so that a long list adds little to the time until the window shows.
    std::promise<std::optional<cachedOrigins>> keptListRead;
    std::future<std::optional<cachedOrigins>> keptList = keptListRead.get_future();
    serialOperationQueue reader([] {});
    if (loads == firstLoads::deferred)
        reader.addOperation(QStringLiteral("kept list"), [&keptListRead](const std::atomic<bool>&) {
            keptListRead.set_value(readCachedOrigins());
        });
    setUpViews();
    switch (loads) {
    case firstLoads::run:
        runFirstLoads();
        finishSetUp(loads);
        break;
    case firstLoads::deferred:
        showCachedOrigins(keptList.get());
        QTimer::singleShot(0, this, [this] {
            runFirstLoads();
            finishSetUp(firstLoads::deferred);
        });
        break;
    case firstLoads::skip:
        finishSetUp(loads);
        break;
    }
}

void OrrelinController::setUpViews() {
    timeZones::makeUTCTheDefault();
    setEventTableView(windows_->eventListInterface().eventListTblView);
    originTableViewLink::attach(*tableModel_, eventTableView_);
    mainWindows::layOutEventTable(eventTableView_, tableModel_->columnIdentifiers());
    windows_->enableEventActionsWithSelection(eventTableView_);
    alertInterface().alertTView->setFont(QFont(QStringLiteral("Courier"), 12));

    topoMapView()->setController(this);
    timeLineView()->setDataSource(this);
    timeLineView()->setController(this);
    windows_->bindFieldsToDefaults();
    windows_->setMapLimits(-90, 90, 0, 360); // the whole globe, from Greenwich east
    mapDirectories::applyTo(*topoMapView());
    displays_->setUpMap();
    setUpdateTwitterTimer(nullptr);
    // Seismogram files dropped on the main windows open in the Seismograms window.
    for (QWidget* window :
         {static_cast<QWidget*>(windows_->mainWindow()), windows_->eventListWindow()})
        fileDropTarget::attach(*window,
                               [this](const QStringList& paths) { openSeismogramFiles(paths); });
}

void OrrelinController::runFirstLoads() {
    // One after another on the loader's worker, none superseding another: the feed (its list
    // unused), the weekly list with its summary, then the feed the window shows.
    const catalogueLoader::searchLimits limits = windows_->searchLimits();
    loader_->startFeedWarmUp(limits);
    loader_->startWeeklyList(limits, catalogueLoader::whenBusy::queue);
    loader_->startLoad(usgsFeedTag, limits, catalogueLoader::whenBusy::queue);
}

void OrrelinController::finishSetUp(firstLoads loads) {
    if (loads != firstLoads::skip &&
        userDefaults::standardUserDefaults().boolForKey(QStringLiteral("autoUpdateToggle"))) {
        stopAutoUpdate();
        getAutoUpdateTimer();
        windows_->showAutoUpdate(true);
    }
    showTimeStamp(mainInterface().showTimeStampButton->isChecked());
    windows_->showAboutTheData();
}

void OrrelinController::showCachedOrigins(const std::optional<cachedOrigins>& cached) {
    if (!cached || cached->origins.isEmpty())
        return;
    showOrigins(cached->origins, cached->tag);
    lastRefresh_ = cached->loadedAt.isValid() ? cached->loadedAt : now();
    showingKeptList_ = true;
    showLatestEventInStatusBar();
    showStatus(displays_->keptListMessage(lastRefresh_, false), 0);
}

void OrrelinController::setClock(std::function<QDateTime()> clock) {
    clock_ = std::move(clock);
    timeLineView()->setClock(clock_);
}

// --- the update cycle

void OrrelinController::getAutoUpdateTimer() {
    auto* timer = new QTimer(this);
    // A zero or unreadable interval would reload without pause; one second is the least.
    timer->setInterval(
        std::max(1000, int(mainWindows::floatOf(mainInterface().autoUpdateTField) * 1000)));
    connect(timer, &QTimer::timeout, this, &OrrelinController::update);
    timer->start();
    setTheTimer(timer);
}

void OrrelinController::stopAutoUpdate() {
    if (!theTimer_)
        return;
    theTimer_->stop();
    theTimer_->deleteLater();
    setTheTimer(nullptr);
    windows_->showAutoUpdate(false);
}

void OrrelinController::toggleAutoUpdate() {
    if (theTimer_) {
        stopAutoUpdate();
        return;
    }
    getAutoUpdateTimer();
    windows_->showAutoUpdate(true);
}

void OrrelinController::update() {
    if (isLoading()) {
        qCDebug(lcController) << "An update is due while a load runs; it is skipped.";
        return;
    }
    loadEQInfo(this);
    topoMapView()->update();
    communicateMapRect();
    communicateMinDisplayMagnitude();
    timeLineView()->update();
}

int OrrelinController::dataSourceTagOf(QObject* sender) const {
    if (!sender || sender == this)
        return usgsFeedTag;
    if (sender == windows_->mainInterface().dataSourcePopup)
        return windows_->mainInterface().dataSourcePopup->currentData().toInt();
    return sender->property("tag").toInt();
}

void OrrelinController::loadEQInfo(QObject* sender) {
    const int tag = dataSourceTagOf(sender);
    // Every load the timer did not start itself stops auto-update.
    if (sender != this)
        stopAutoUpdate();
    loader_->startLoad(tag, windows_->searchLimits());
}

void OrrelinController::loadNEICInfo() {
    loader_->startWeeklyList(windows_->searchLimits());
}

void OrrelinController::stopLoading() {
    if (!isLoading())
        return;
    const QString catalogue = loader_->loadingCatalogue();
    loader_->stopLoads();
    showStatus(tr("Stopped loading the %1").arg(catalogue), 8000);
}

void OrrelinController::takeLoaded(const catalogueLoader::outcome& loaded) {
    setAlertText(loaded.summary);
    if (!loaded.error.isNull() && loaded.origins.isEmpty() && !allSeismicOrigins().isEmpty()) {
        takeFailedLoad(loaded);
        return;
    }
    // The outcome replaces whatever the status bar said while the load ran; the controller
    // that failed has logged its line.
    if (!loaded.error.isNull())
        showStatus(tr("Could not load the %1: %2").arg(loaded.catalogue, loaded.error), 15000);
    else
        showStatus(
            tr("Loaded %1 events from the %2").arg(loaded.origins.size()).arg(loaded.catalogue),
            8000);
    displays_->setTimeLineDates(loaded.timeLine);
    // Sorted newest first on the loader's worker; the weekly list keeps the catalogue's order.
    showNewOrigins(loaded.origins);
    if (catalogueLoader::isKept(loaded.tag, loaded.origins))
        catalogueLoader::writeCachedCopy(loaded.keptCopy, loaded.tag, lastRefresh_);
    raiseAlerts(loaded);
}

void OrrelinController::takeFailedLoad(const catalogueLoader::outcome& loaded) {
    // The list shown stays everywhere, and the status bar says which one it is.
    if (showingKeptList_) {
        showStatus(displays_->keptListMessage(lastRefresh_, true), 0);
        return;
    }
    static const QVRDateFormatter hoursAndMinutes(QStringLiteral("HH:mm"), timeZones::utc());
    showStatus(
        tr("Could not load the %1: %2; showing the events loaded at %3")
            .arg(loaded.catalogue, loaded.error, hoursAndMinutes.stringFromDate(lastRefresh_)),
        15000);
}

void OrrelinController::showNewOrigins(const originList& newestFirst) {
    // The records shown so far are freed on a worker once every display has let them go:
    // ten thousand of them take milliseconds the window would not answer in.
    originList previous = origins_->allOrigins();
    origins_->replaceOrigins(newestFirst);
    loader_->releaseInBackground(std::move(previous));
    if (!newestFirst.isEmpty()) {
        lastRefresh_ = now();
        showingKeptList_ = false;
        showLatestEventInStatusBar();
    }
}

void OrrelinController::raiseAlerts(const catalogueLoader::outcome& loaded) {
    if (!loaded.error.isNull())
        return;
    const QString alerted = earthquakeAlerts::statusText(alerts_->check(loaded.origins));
    if (!alerted.isNull())
        showStatus(alerted, 60000);
}

void OrrelinController::showOrigins(const originList& origins, int tag) {
    originList newestFirst = origins;
    sortNewestFirst(newestFirst);
    displays_->setTimeLineDates(catalogueLoader::spanOfList(tag, newestFirst, now()));
    showNewOrigins(newestFirst);
    setAlertText(loader_->summaryText());
}

void OrrelinController::showLatestEventInStatusBar() {
    if (const auto& latest = latestOrigin())
        windows_->latestEventLabel()->setText(displays_->latestEventText(*latest, lastRefresh_));
}

double OrrelinController::getAllSeismicOriginsTimeSpan() const {
    const originList& all = origins_->allOrigins();
    if (all.isEmpty())
        return 0;
    return all.last()->originDateTime().msecsTo(all.first()->originDateTime()) / 1000.0;
}

double OrrelinController::getEventTimeRangeInterval() const {
    return -getAllSeismicOriginsTimeSpan();
}

// --- filters

void OrrelinController::filterEventsByTime(double age) {
    const QVRStemTimeLineView* timeLine = timeLineView();
    const double window = std::abs(timeLine->xmax() - timeLine->xmin()) *
                          double(mainWindows::floatOf(mainInterface().timeFractionForFilterTField));
    const originList& all = origins_->allOrigins();
    if (all.isEmpty())
        return;
    if (auto kept = eventFilters::byTime(all, age, window, now()))
        origins_->setVisibleOrigins(*kept, originStore::clickFilter::byTime(age, window));
}

void OrrelinController::filterEventsByDistanceFromLocation(QPointF lonLat) {
    const originList& all = origins_->allOrigins();
    if (all.isEmpty())
        return;
    const float radius = mainWindows::floatOf(mainInterface().filterDistanceTField);
    if (auto kept = eventFilters::byDistance(all, float(lonLat.x()), float(lonLat.y()), radius))
        origins_->setVisibleOrigins(*kept, originStore::clickFilter::byDistance(lonLat, radius));
}

void OrrelinController::handleClickedMouseInTimeLine(QPointF dataPoint) {
    if (eventsAreFiltered())
        origins_->clearFilter();
    else
        filterEventsByTime(dataPoint.x());
}

void OrrelinController::handleClickedMousePosition(QPointF dataPoint) {
    if (eventsAreFiltered()) {
        origins_->clearFilter();
        return;
    }
    const double lon = dataPoint.x() > 180 ? dataPoint.x() - 360 : dataPoint.x();
    filterEventsByDistanceFromLocation(QPointF(lon, dataPoint.y()));
    twitterInterface().geoFilterLonTField->setText(QString::number(lon, 'f', 2));
    twitterInterface().geoFilterLatTField->setText(QString::number(dataPoint.y(), 'f', 2));
}

void OrrelinController::showLiveSeismogramsWindow() {
    if (!liveSeismograms_) {
        liveSeismograms_ = std::make_unique<liveSeismogramsController>(*seismogramController_);
        liveSeismograms_->setClock(clock_);
        followVisibleOrigins(*liveSeismograms_);
    }
    liveSeismograms_->showWindow();
}

void OrrelinController::showStatisticsWindow() {
    if (!statistics_) {
        statistics_ = std::make_unique<statisticsWindowController>();
        followVisibleOrigins(*statistics_);
    }
    statistics_->showWindow();
}

void OrrelinController::showSeismogramsWindow() {
    if (!seismograms_) {
        seismograms_ = std::make_unique<seismogramsWindowController>();
        followVisibleOrigins(*seismograms_);
    }
    seismograms_->showWindow();
}

void OrrelinController::openSeismograms() {
    showSeismogramsWindow();
    seismograms_->chooseFiles();
}

void OrrelinController::openSeismogramFiles(const QStringList& paths) {
    showSeismogramsWindow();
    seismograms_->openFiles(paths);
}

void OrrelinController::showSeismogramsOfSelectedEvent() {
    const auto o = selectedOrigin();
    if (!o)
        return;
    if (!eventSeismograms_) {
        eventSeismograms_ = std::make_unique<eventSeismogramsDialog>(mainWindow());
        connect(eventSeismograms_.get(), &eventSeismogramsDialog::seismogramsArrived, this,
                [this](const QList<std::shared_ptr<SacObject>>& seismograms, const QString& model) {
                    showSeismogramsWindow();
                    seismograms_->showSeismograms(seismograms, seismogramViews::kind::eventSection,
                                                  model);
                });
    }
    eventSeismograms::event quake;
    quake.origin = o->originDateTime();
    quake.latitude = o->latitude();
    quake.longitude = o->longitude();
    quake.depth = o->depth();
    quake.magnitude = o->magnitude();
    eventSeismograms_->setEvent(
        quake, QStringLiteral("M %1, %2, %3 UTC")
                   .arg(double(o->magnitude()), 0, 'f', 1)
                   .arg(o->shownRegionString(), o->originDateTime().toUTC().toString(
                                                    QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    eventSeismograms_->show();
    eventSeismograms_->raise();
    eventSeismograms_->activateWindow();
}

// --- the time line's source, map and time-line feeding

void OrrelinController::setMapBoundsFromMenu(int tag) {
    const QRectF limits = mapFeeding::regionPreset(tag);
    windows_->setMapLimits(limits.top(), limits.bottom(), limits.left(), limits.right());
    updateDisplays();
}

void OrrelinController::hideMap(bool showImage) {
    topoMapView()->setHideImage(!showImage);
    updateDisplays();
}

void OrrelinController::hidePlates(bool showPlates) {
    topoMapView()->setShowPlates(showPlates);
    updateDisplays();
}

void OrrelinController::showTimeStamp(bool on) {
    topoMapView()->set_timeStamp(on);
    updateDisplays();
}

void OrrelinController::toggleMousePositionTracking(bool on) {
    topoMapView()->set_trackMouse(on);
    if (!on) {
        mainInterface().cursorPositionTField->setText(QString());
        mainInterface().feRegionTField->setText(QString());
    }
    updateDisplays();
}

void OrrelinController::handleTrackedMousePosition(QPointF dataPoint) {
    const mapFeeding::cursorReadout readout = mapFeeding::readoutAt(dataPoint.x(), dataPoint.y());
    mainInterface().cursorPositionTField->setText(readout.position);
    mainInterface().feRegionTField->setText(readout.region);
}

// --- table, clipboard, links

void OrrelinController::copyEventsToPasteBoard() {
    QString text = seismicOrigin::headingsForSeparatedString();
    for (const auto& o : visibleSeismicOrigins())
        text += o->valuesInSeparatedString();
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain;charset=utf-8"), text.toUtf8());
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::shared_ptr<seismicOrigin> OrrelinController::selectedOrigin() const {
    if (!eventTableView_ || !eventTableView_->selectionModel())
        return nullptr;
    const QModelIndexList rows = eventTableView_->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : tableModel_->originAt(rows.first().row());
}

void OrrelinController::searchNearSelectedEvent() {
    const auto o = selectedOrigin();
    if (!o)
        return;
    windows_->prepareRingSearch(double(o->longitude()), double(o->latitude()));
    showPreferencesWindow();
}

void OrrelinController::setAlertText(const QString& text) {
    alertInterface().alertTView->setPlainText(text);
}

void OrrelinController::showBulletin(catalogueLoader::bulletin which) {
    // The spinner stops when the text arrives.
    alertInterface().alertProgressIndicator->show();
    loader_->startBulletin(which);
}

void OrrelinController::updateBigQuakeMessage() {
    showBulletin(catalogueLoader::bulletin::bigQuake);
}

void OrrelinController::updateUSGSMTensorMessage() {
    showBulletin(catalogueLoader::bulletin::momentTensors);
}

void OrrelinController::updateSeismicActivitySummary() {
    setAlertText(loader_->summaryText());
}

// --- event-list files

bool OrrelinController::saveEvents(const QString& path) {
    if (const QVRResult<void> written = eventListFile::write(visibleSeismicOrigins(), path);
        !written) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be saved to %1: %2").arg(path, written.error());
        showStatus(tr("Could not save the events: %1").arg(written.error()), 15000);
        return false;
    }
    showStatus(tr("Saved %1 events to %2").arg(visibleSeismicOrigins().size()).arg(path), 8000);
    return true;
}

bool OrrelinController::openEvents(const QString& path) {
    const QVRResult<originList> origins = eventListFile::read(path);
    if (!origins) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be read from %1: %2").arg(path, origins.error());
        showStatus(tr("Could not open the events: %1").arg(origins.error()), 15000);
        return false;
    }
    stopAutoUpdate();
    showOrigins(*origins, -1);
    return true;
}

void OrrelinController::exportEvents() {
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        mainWindow(), tr("Export Events"),
        userDefaults::standardUserDefaults().stringForKey(QStringLiteral("wdirString")),
        eventExport::fileFilters().join(QStringLiteral(";;")), &filter);
    if (path.isEmpty())
        return;
    if (!eventExport::formatOfPath(path))
        path += u'.' + eventExport::suffixOf(eventExport::formatOfFilter(filter));
    if (const QVRResult<void> written = exportEventsTo(path); !written)
        QMessageBox::warning(mainWindow(), tr("Export Events"),
                             tr("The events could not be exported to %1: %2")
                                 .arg(QDir::toNativeSeparators(path), written.error()));
}

QVRResult<void> OrrelinController::exportEventsTo(const QString& path) {
    const std::optional<eventExport::format> format = eventExport::formatOfPath(path);
    QVRResult<void> written =
        format ? eventExport::write(visibleSeismicOrigins(), *format, path,
                                    eventExport::colouringOf(windows_->displaySettings(), now()))
               : QVRResult<void>::failure(
                     tr("the file name does not end in .csv, .geojson, .json, .xml, .quakeml "
                        "or .kml"));
    if (!written) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be exported to %1: %2").arg(path, written.error());
        return written;
    }
    showStatus(tr("Exported %1 events to %2")
                   .arg(visibleSeismicOrigins().size())
                   .arg(QFileInfo(path).fileName()),
               8000);
    return written;
}
