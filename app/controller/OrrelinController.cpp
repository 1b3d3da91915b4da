#include "OrrelinController.h"

#include "NEIC_QueryController.h"
#include "QVRRTSeismicDisplayController.h"
#include "QVRStemTimeLineView.h"
#include "applicationDefaults.h"
#include "colorWell.h"
#include "earthquakeAlerts.h"
#include "eventExport.h"
#include "eventFilters.h"
#include "eventListFile.h"
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
    loader_ = std::make_unique<catalogueLoader>(this, [this] { return now(); });
    windows_ = std::make_unique<mainWindows>();
    displays_ = std::make_unique<originDisplays>(*topoMapView(), *timeLineView(),
                                                 allSeismicOrigins_, visibleSeismicOrigins_,
                                                 [this] { return windows_->displaySettings(); });
    displays_->setClock([this] { return now(); });
    pages_ = std::make_unique<webPages>(*windows_);
    seismogramController_ = std::make_unique<QVRRTSeismicDisplayController>();
    tableModel_ = std::make_unique<originTableModel>(
        &visibleSeismicOrigins_, originTableModel::columnRules{.regionFallsBackToCatalogText = true,
                                                               .ageColumnSorts = true});
    tableModel_->setColumnIdentifiers(mainWindows::eventTableColumns());
    alerts_ = std::make_unique<earthquakeAlerts>([this] { return now(); });
    alerts_->setNotifier(std::make_unique<trayAlertNotifier>());
    // The forms' controls and menus reach the actions below through the windows' wiring.
    windows_->connectTo(*this);
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
    std::future<std::optional<cachedOrigins>> keptList;
    if (loads == firstLoads::deferred)
        keptList = std::async(std::launch::async, &OrrelinController::readCachedOrigins);
    setUpViews();
    switch (loads) {
    case firstLoads::run:
        runFirstLoads();
        finishSetUp(loads);
        break;
    case firstLoads::deferred:
        showCachedOrigins(keptList.get(), false);
        QTimer::singleShot(0, this, [this] {
            runFirstLoads();
            if (allSeismicOrigins_.isEmpty())
                showCachedOrigins(readCachedOrigins(), true);
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
    eventsAreFiltered_ = false;
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
    neicQueryController()->loadUSGSGeoJSONFeed(); // warms the feed; the list comes below
    loadNEICInfo();
    loadEQInfo(nullptr);
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

bool OrrelinController::showCachedOrigins(const std::optional<cachedOrigins>& cached,
                                          bool offline) {
    if (!cached || cached->origins.isEmpty())
        return false;
    showOrigins(cached->origins, cached->tag);
    lastRefresh_ = cached->loadedAt.isValid() ? cached->loadedAt : now();
    showLatestEventInStatusBar();
    showStatus(displays_->keptListMessage(lastRefresh_, offline), 0);
    return true;
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
    if (isLoading()) {
        refuseNestedLoad(sender != this);
        return;
    }
    QWidget* spinner = mainInterface().networkProgressIndicator;
    spinner->show();
    const int tag = dataSourceTagOf(sender);
    // Every load the timer did not start itself stops auto-update.
    if (sender != this)
        stopAutoUpdate();
    if (const auto loaded = loader_->load(tag, windows_->searchLimits())) {
        takeLoaded(*loaded);
        sortNewestFirst(allSeismicOrigins_);
        showLoadedOrigins();
        if (!allSeismicOrigins_.isEmpty())
            catalogueLoader::writeCachedOrigins(allSeismicOrigins_, tag, lastRefresh_);
        raiseAlerts(*loaded);
    }
    spinner->hide();
}

void OrrelinController::loadNEICInfo() {
    if (isLoading()) {
        refuseNestedLoad(true);
        return;
    }
    QWidget* spinner = mainInterface().networkProgressIndicator;
    spinner->show();
    if (const auto loaded = loader_->loadWeeklyList(windows_->searchLimits())) {
        takeLoaded(*loaded);
        showLoadedOrigins();
        raiseAlerts(*loaded);
    }
    spinner->hide();
}

void OrrelinController::takeLoaded(const catalogueLoader::outcome& loaded) {
    // The outcome replaces whatever the status bar said while the load ran; the controller
    // that failed has logged its line.
    if (!loaded.error.isNull())
        showStatus(tr("Could not load the %1: %2").arg(loaded.catalogue, loaded.error), 15000);
    else
        showStatus(
            tr("Loaded %1 events from the %2").arg(loaded.origins.size()).arg(loaded.catalogue),
            8000);
    displays_->setTimeLineDates(loaded.timeLine);
    allSeismicOrigins_ = loaded.origins;
}

void OrrelinController::showLoadedOrigins() {
    visibleSeismicOrigins_ = allSeismicOrigins_;
    eventsAreFiltered_ = false;
    displays_->clearDistanceRings();
    // The table always follows its list, so that it never shows rows the list has lost.
    tableModel_->reloadData();
    if (!allSeismicOrigins_.isEmpty()) {
        createMapPoints();
        updateDisplays();
        latestOrigin_ = allSeismicOrigins_.first();
        lastRefresh_ = now();
        updateLatestEventInfo();
        showLatestEventInStatusBar();
    }
    handVisibleOriginsToWindows();
    setAlertText(loader_->summaryText());
}

void OrrelinController::raiseAlerts(const catalogueLoader::outcome& loaded) {
    if (!loaded.error.isNull())
        return;
    const QString alerted = earthquakeAlerts::statusText(alerts_->check(loaded.origins));
    if (!alerted.isNull())
        showStatus(alerted, 60000);
}

void OrrelinController::showOrigins(const originList& origins, int tag) {
    allSeismicOrigins_ = origins;
    sortNewestFirst(allSeismicOrigins_);
    displays_->setTimeLineDates(catalogueLoader::spanOfList(tag, allSeismicOrigins_, now()));
    showLoadedOrigins();
}

void OrrelinController::refuseNestedLoad(bool askedByUser) {
    qCDebug(lcController) << "A load is asked for while one runs; it is skipped.";
    // Timer ticks are skipped quietly; a load the user asked for says why nothing happens.
    if (askedByUser)
        showStatus(tr("A load is already running"), 8000);
}

void OrrelinController::showLatestEventInStatusBar() {
    if (latestOrigin_)
        windows_->latestEventLabel()->setText(
            displays_->latestEventText(*latestOrigin_, lastRefresh_));
}

double OrrelinController::getAllSeismicOriginsTimeSpan() const {
    if (allSeismicOrigins_.isEmpty())
        return 0;
    return allSeismicOrigins_.last()->originDateTime().msecsTo(
               allSeismicOrigins_.first()->originDateTime()) /
           1000.0;
}

double OrrelinController::getEventTimeRangeInterval() const {
    return -getAllSeismicOriginsTimeSpan();
}

// --- filters

void OrrelinController::filterEventsByTime(double age) {
    const QVRStemTimeLineView* timeLine = timeLineView();
    const double window = std::abs(timeLine->xmax() - timeLine->xmin()) *
                          double(mainWindows::floatOf(mainInterface().timeFractionForFilterTField));
    if (allSeismicOrigins_.isEmpty())
        return;
    if (auto kept = eventFilters::byTime(allSeismicOrigins_, age, window, now())) {
        visibleSeismicOrigins_ = *kept;
        eventsAreFiltered_ = true;
    }
}

void OrrelinController::filterEventsByDistanceFromLocation(QPointF lonLat) {
    if (allSeismicOrigins_.isEmpty())
        return;
    if (auto kept =
            eventFilters::byDistance(allSeismicOrigins_, float(lonLat.x()), float(lonLat.y()),
                                     mainWindows::floatOf(mainInterface().filterDistanceTField))) {
        visibleSeismicOrigins_ = *kept;
        eventsAreFiltered_ = true;
        displays_->showDistanceRings(lonLat,
                                     mainWindows::floatOf(mainInterface().filterDistanceTField));
    }
}

void OrrelinController::handleClickedMouseInTimeLine(QPointF dataPoint) {
    if (eventsAreFiltered_) {
        visibleSeismicOrigins_ = allSeismicOrigins_;
        eventsAreFiltered_ = false;
    } else {
        filterEventsByTime(dataPoint.x());
    }
    showVisibleOrigins();
}

void OrrelinController::handleClickedMousePosition(QPointF dataPoint) {
    if (eventsAreFiltered_) {
        visibleSeismicOrigins_ = allSeismicOrigins_;
        eventsAreFiltered_ = false;
    } else {
        const double lon = dataPoint.x() > 180 ? dataPoint.x() - 360 : dataPoint.x();
        filterEventsByDistanceFromLocation(QPointF(lon, dataPoint.y()));
        twitterInterface().geoFilterLonTField->setText(QString::number(lon, 'f', 2));
        twitterInterface().geoFilterLatTField->setText(QString::number(dataPoint.y(), 'f', 2));
    }
    showVisibleOrigins();
}

void OrrelinController::showVisibleOrigins() {
    // The rings mark the map filter's reach; no filter, no rings.
    if (!eventsAreFiltered_)
        displays_->clearDistanceRings();
    tableModel_->reloadData();
    createMapPoints();
    updateDisplays();
    handVisibleOriginsToWindows();
}

void OrrelinController::handVisibleOriginsToWindows() {
    if (liveSeismograms_)
        liveSeismograms_->setVisibleOrigins(visibleSeismicOrigins_);
    if (statistics_)
        statistics_->setVisibleOrigins(visibleSeismicOrigins_);
    if (seismograms_)
        seismograms_->setVisibleOrigins(visibleSeismicOrigins_);
}

void OrrelinController::showLiveSeismogramsWindow() {
    if (!liveSeismograms_) {
        liveSeismograms_ = std::make_unique<liveSeismogramsController>(*seismogramController_);
        liveSeismograms_->setClock(clock_);
        handVisibleOriginsToWindows();
    }
    liveSeismograms_->showWindow();
}

void OrrelinController::showStatisticsWindow() {
    if (!statistics_) {
        statistics_ = std::make_unique<statisticsWindowController>();
        statistics_->setVisibleOrigins(visibleSeismicOrigins_);
    }
    statistics_->showWindow();
}

void OrrelinController::showSeismogramsWindow() {
    if (!seismograms_) {
        seismograms_ = std::make_unique<seismogramsWindowController>();
        handVisibleOriginsToWindows();
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
    for (const auto& o : visibleSeismicOrigins_)
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
    if (rows.isEmpty())
        return nullptr;
    const int row = rows.first().row();
    return row >= 0 && row < visibleSeismicOrigins_.size() ? visibleSeismicOrigins_.at(row)
                                                           : nullptr;
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

void OrrelinController::showBulletin(QString (NEIC_QueryController::*bulletin)()) {
    QWidget* spinner = alertInterface().alertProgressIndicator;
    spinner->show();
    setAlertText((neicQueryController()->*bulletin)());
    spinner->hide();
}

void OrrelinController::updateBigQuakeMessage() {
    showBulletin(&NEIC_QueryController::BigQuakeMessage);
}

void OrrelinController::updateUSGSMTensorMessage() {
    showBulletin(&NEIC_QueryController::USGSMTensorMessage);
}

void OrrelinController::updateSeismicActivitySummary() {
    setAlertText(loader_->summaryText());
}

// --- event-list files

bool OrrelinController::saveEvents(const QString& path) {
    if (const QVRResult<void> written = eventListFile::write(visibleSeismicOrigins_, path);
        !written) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be saved to %1: %2").arg(path, written.error());
        showStatus(tr("Could not save the events: %1").arg(written.error()), 15000);
        return false;
    }
    showStatus(tr("Saved %1 events to %2").arg(visibleSeismicOrigins_.size()).arg(path), 8000);
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
        format ? eventExport::write(visibleSeismicOrigins_, *format, path,
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
                   .arg(visibleSeismicOrigins_.size())
                   .arg(QFileInfo(path).fileName()),
               8000);
    return written;
}
