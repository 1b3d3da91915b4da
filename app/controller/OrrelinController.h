#pragma once

#include "QVRViewController.h"
#include "catalogueLoader.h"
#include "mainWindows.h"
#include "originDisplays.h"
#include "originStore.h"
#include "seismicOrigin.h"
#include "timeLineDataSource.h"
#include "webPages.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class CSEM_QueryController;
class earthquakeAlerts;
class INGV_QueryController;
class NEIC_QueryController;
class PDE_QueryController;
class QMainWindow;
class QWidget;
class fdsnEventQueryController;
class geoMapView;
class serialOperationQueue;
class originTableModel;
class webViewHolder;
class QVRStemTimeLineView;
class QVRRTSeismicDisplayController;
class liveSeismogramsController;
class statisticsWindowController;
class seismogramsWindowController;
class eventSeismogramsDialog;

// The application's one controller, and the face its windows' actions reach: it runs the update
// cycle with its auto-update timer and the click filters, and wires its collaborators together:
// the origins (originStore, which every display follows), the catalogues (catalogueLoader), the
// map and time line (originDisplays), the windows with their fields (mainWindows) and the web
// pages (webPages).
//
// Threads: the controller and everything it shows live on the main thread, which never waits
// for the network. Catalogue loads and bulletins run on the loader's worker and their outcomes
// arrive by queued signal; a load the user asks for supersedes the running one, and a timer
// tick during a load is skipped. The seismogram downloads run on their controller's worker, the
// kept list is read and written on workers of its own; all of these are serialOperationQueues.
class OrrelinController : public QObject,
                          public QVRViewController,
                          public timeLineDataSource,
                          public timeLineClickReceiver {
    Q_OBJECT
public:
    using dataSourceTag = catalogueTable::tag;
    using enum catalogueTable::tag;

    // Registers the application's defaults; once per run, before the first controller.
    static void initialize();

    // Creates the catalogue controllers and the windows (not yet shown).
    explicit OrrelinController(QObject* parent = nullptr);
    ~OrrelinController() override;

    // Set-up once the windows exist: settings into the fields, map and time line, plate
    // boundaries, then the first loads (in the background) and the optional auto-update. `run`
    // starts the loads at once; `deferred` first shows the list kept from the last run and
    // starts them once the event loop turns, so the window paints at once; `skip` loads nothing.
    enum class firstLoads { run, deferred, skip };
    void awakeFromNib(firstLoads loads = firstLoads::run);

    // The last list a load brought, kept on disk for the next start.
    using cachedOrigins = catalogueLoader::cachedOrigins;
    static QString cachedOriginsPath() { return catalogueLoader::cachedOriginsPath(); }
    static std::optional<cachedOrigins> readCachedOrigins() {
        return catalogueLoader::readCachedOrigins();
    }

    // --- windows
    QMainWindow* mainWindow() const { return windows_->mainWindow(); }
    QWidget* eventListWindow() const { return windows_->eventListWindow(); }
    QWidget* preferencesWindow() const { return windows_->preferencesWindow(); }
    QWidget* alertWindow() const { return windows_->alertWindow(); }
    QWidget* aboutWindow() const { return windows_->aboutWindow(); }
    QWidget* browserWindow() const { return windows_->browserWindow(); }
    QWidget* twitterBrowserWindow() const { return windows_->twitterBrowserWindow(); }
    webViewHolder* theWebView() const { return pages_->theWebView(); }
    webViewHolder* theTwitterWebView() const { return pages_->theTwitterWebView(); }
    Ui::mainWindow& mainInterface() { return windows_->mainInterface(); }
    Ui::preferencesWindow& preferencesInterface() { return windows_->preferencesInterface(); }
    Ui::alertWindow& alertInterface() { return windows_->alertInterface(); }
    Ui::twitterWindow& twitterInterface() { return windows_->twitterInterface(); }
    geoMapView* topoMapView() const { return windows_->topoMapView(); }
    QVRStemTimeLineView* timeLineView() const { return windows_->timeLineView(); }
    QTableView* eventTableView() const { return eventTableView_; }
    void setEventTableView(QTableView* view) { eventTableView_ = view; } // not owned
    void showPreferencesWindow() { windows_->showPreferencesWindow(); }
    void showEventListWindow() { windows_->showEventListWindow(); }
    void showAlertWindow() { windows_->showAlertWindow(); }
    void showBrowserWindow() { windows_->showBrowserWindow(); }
    void showAboutPanel() { windows_->showAboutPanel(); }

    // --- catalogue controllers
    NEIC_QueryController* neicQueryController() const { return loader_->neicQueryController(); }
    // Kept as part of the controller's published face; nothing replaces the controller today.
    void setNeicQueryController(std::unique_ptr<NEIC_QueryController> controller);
    INGV_QueryController* ingvQueryController() const { return loader_->ingvQueryController(); }
    CSEM_QueryController* csemQueryController() const { return loader_->csemQueryController(); }
    PDE_QueryController* pdeQueryController() const { return loader_->pdeQueryController(); }
    fdsnEventQueryController* fdsnQueryController() const { return loader_->fdsnQueryController(); }

    // --- the origins, kept by the store every display follows
    originStore& origins() const { return *origins_; }
    const originList& allSeismicOrigins() override { return origins_->allOrigins(); }
    void setAllSeismicOrigins(const originList& origins) { origins_->setAllOrigins(origins); }
    const originList& visibleSeismicOrigins() const { return origins_->visibleOrigins(); }
    void setVisibleSeismicOrigins(const originList& origins) {
        origins_->setVisibleOrigins(origins);
    }
    bool eventsAreFiltered() const { return origins_->isFiltered(); }
    const std::shared_ptr<seismicOrigin>& latestOrigin() const { return origins_->latestOrigin(); }

    // --- the update cycle
    QTimer* theTimer() const { return theTimer_; }
    void setTheTimer(QTimer* timer) { theTimer_ = timer; }
    QTimer* updateTwitterTimer() const { return pages_->updateTwitterTimer(); }
    void setUpdateTwitterTimer(QTimer* timer) { pages_->setUpdateTwitterTimer(timer); }
    // Kept as part of the controller's published face: nothing starts this timer.
    QTimer* elapsedTimer() const { return elapsedTimer_; }
    void setElapsedTimer(QTimer* timer) { elapsedTimer_ = timer; }
    void toggleAutoUpdate();
    void getAutoUpdateTimer();
    // The auto-update timer's action: the USGS feed, whatever the pop-up shows; skipped while
    // a load runs.
    void update();
    // Starts loading the catalogue of `sender`'s data-source tag (the pop-up's selected item, a
    // control's "tag" property, or 0 for none and for the controller itself); it supersedes a
    // load that runs. The list is shown when it arrives.
    void loadEQInfo(QObject* sender);
    // The USGS weekly list, unsorted; the time line keeps its dates.
    void loadNEICInfo();
    // Cancels the loads that run; the list shown stays.
    void stopLoading();
    // Shows `origins` as a load of catalogue `tag` would (newest first; the USGS tag spans the
    // time line over the last 30 days, any other over the list).
    void showOrigins(const originList& origins, int tag);
    int dataSourceTagOf(QObject* sender) const;
    bool isLoading() const { return loader_->isLoading(); }
    double getAllSeismicOriginsTimeSpan() const;
    double getEventTimeRangeInterval() const;

    // --- filters
    void filterEventsByTime(double age);
    void filterEventsByDistanceFromLocation(QPointF lonLat);
    void handleClickedMouseInTimeLine(QPointF dataPoint) override;
    void handleClickedMousePosition(QPointF dataPoint) override;

    // --- the time line's source
    int countOfVisibleEvents() override { return displays_->countOfVisibleEvents(); }
    std::shared_ptr<seismicOrigin> visibleOriginAtIndex(int index) override {
        return displays_->visibleOriginAtIndex(index);
    }
    void communicateMapRect() override { displays_->communicateMapRect(); }
    void communicateMinDisplayMagnitude() override { displays_->communicateMinDisplayMagnitude(); }

    // --- map and time-line feeding (the store's changes feed them by themselves)
    void createMapPoints() { displays_->createMapPoints(); }
    void updateDisplays() { displays_->updateDisplays(); }
    // "unitsIndex", "recentTimeCutoff" and "oldTimeCutoff".
    QVariantMap communicateColorDisplayTimeInfo() const {
        return displays_->communicateColorDisplayTimeInfo();
    }
    void setMapBoundsFromMenu(int tag);
    void updateColors() { displays_->updateColors(); }
    // Image `index` of the picture menu; none loads picture 2.
    void changeMapImage(std::optional<int> index) { displays_->changeMapImage(index); }
    void hideMap(bool showImage);
    void hidePlates(bool showPlates);
    void showTimeStamp(bool on);
    void toggleMousePositionTracking(bool on);
    void handleTrackedMousePosition(QPointF dataPoint) override;

    // --- table, clipboard, links
    originTableModel* tableModel() const { return tableModel_.get(); }
    void copyEventsToPasteBoard();
    // The origin of the selected table row (in the table's order), or none.
    std::shared_ptr<seismicOrigin> selectedOrigin() const;
    void loadNEICEventPage() { pages_->loadNEICEventPage(selectedOrigin().get()); }
    void openGoogleMaps() { pages_->openGoogleMaps(selectedOrigin().get()); }
    void googleNewsSearch() { pages_->googleNewsSearch(selectedOrigin().get()); }
    void cmtSearch() { pages_->cmtSearch(selectedOrigin().get()); }
    void searchNearSelectedEvent();
    void loadURL(const QUrl& address) { pages_->loadURL(address); }
    bool loadURLInExternalBrowser(const QUrl& address) {
        return webPages::loadURLInExternalBrowser(address);
    }
    void updateWCATWCMessage() { pages_->updateWCATWCMessage(); }
    void updatePTWCMessage() { pages_->updatePTWCMessage(); }
    void updateBigQuakeMessage();
    void updateUSGSMTensorMessage();
    void updateSeismicActivitySummary();
    void loadQuorvelWebHome() { pages_->loadQuorvelWebHome(); }
    void loadQuorvelInfoPage(const QString& title) { pages_->loadQuorvelInfoPage(title); }
    void showTwitterBrowserWindow() { pages_->showTwitterBrowserWindow(); }
    void updateTwitterFeed() { pages_->updateTwitterFeed(); }
    // The percent-encoded search address it loaded.
    QUrl loadTwitterSearchResults() { return pages_->loadTwitterSearchResults(); }

    // --- seismograms
    // The one download controller of live seismograms.
    QVRRTSeismicDisplayController* seismogramController() const {
        return seismogramController_.get();
    }
    // The Live Seismograms window, made the first time it is shown.
    void showLiveSeismogramsWindow();
    liveSeismogramsController* liveSeismograms() const { return liveSeismograms_.get(); }
    // The Statistics window, made the first time it is shown.
    void showStatisticsWindow();
    statisticsWindowController* statistics() const { return statistics_.get(); }
    // The Seismograms window of SAC and miniSEED files, made the first time it is shown.
    void showSeismogramsWindow();
    seismogramsWindowController* seismograms() const { return seismograms_.get(); }
    // Shows that window and asks for files to open in it.
    void openSeismograms();
    // Opens SAC and miniSEED files in that window (what dropping them on a window does); the
    // others are named there with the reason they were refused.
    void openSeismogramFiles(const QStringList& paths);
    // "Seismograms of this Event…": the dialog for the selected event, made the first time it
    // is asked for; what it fetches opens in the Seismograms window's event section.
    void showSeismogramsOfSelectedEvent();
    eventSeismogramsDialog* eventSeismograms() const { return eventSeismograms_.get(); }

    // --- beyond the windows' fields
    bool saveEvents(const QString& path);
    bool openEvents(const QString& path);
    // Asks where to export the visible origins, and in which form (the file's suffix picks it),
    // then exports them; a failure is shown in a message box.
    void exportEvents();
    // The alerts raised after each load (the notifier is the tray's unless a test sets one).
    earthquakeAlerts& alerts() const { return *alerts_; }
    // "Now" for ages and filters; the wall clock unless a test fixes it.
    QDateTime now() const { return clock_(); }
    void setClock(std::function<QDateTime()> clock);

private:
    void setUpViews();
    // The visible origins, in the table's order, in the form the suffix of `path` names.
    QVRResult<void> exportEventsTo(const QString& path);
    void runFirstLoads();
    void finishSetUp(firstLoads loads);
    // Shows a kept list as read, marked with its age in the status bar.
    void showCachedOrigins(const std::optional<cachedOrigins>& cached);
    // The outcome of a load: its message, its time-line span, and its origins as the new list,
    // unless it failed with a list shown: that list stays.
    void takeLoaded(const catalogueLoader::outcome& loaded);
    void takeFailedLoad(const catalogueLoader::outcome& loaded);
    // `newestFirst` as the new list of every display, refreshed now.
    void showNewOrigins(const originList& newestFirst);
    // Alerts for a load that succeeded, in the notifier and the status bar.
    void raiseAlerts(const catalogueLoader::outcome& loaded);
    void showLatestEventInStatusBar();
    // A window that shows the visible origins follows the store from now on.
    template <typename Window>
    void followVisibleOrigins(Window& window) {
        origins_->followVisibleOrigins(
            &window, [&window](const originList& visible) { window.setVisibleOrigins(visible); });
    }
    void stopAutoUpdate();
    void showBulletin(catalogueLoader::bulletin which);
    void setAlertText(const QString& text);
    void showStatus(const QString& text, int milliseconds);

    // Decodes the default map picture from the start, while the windows are made.
    std::unique_ptr<serialOperationQueue> pictureDecoder_;
    std::unique_ptr<mainWindows> windows_;
    std::unique_ptr<originStore> origins_;
    std::unique_ptr<catalogueLoader> loader_;
    std::unique_ptr<originDisplays> displays_;
    std::unique_ptr<webPages> pages_;
    std::unique_ptr<originTableModel> tableModel_;
    std::unique_ptr<QVRRTSeismicDisplayController> seismogramController_;
    std::unique_ptr<liveSeismogramsController> liveSeismograms_;
    std::unique_ptr<statisticsWindowController> statistics_;
    std::unique_ptr<seismogramsWindowController> seismograms_;
    std::unique_ptr<eventSeismogramsDialog> eventSeismograms_;
    std::unique_ptr<earthquakeAlerts> alerts_;

    QPointer<QTimer> theTimer_;
    QPointer<QTimer> elapsedTimer_;
    QPointer<QTableView> eventTableView_;
    QDateTime lastRefresh_;        // of the list shown: its load, or the kept list's
    bool showingKeptList_ = false; // the list kept from the last run, no load having replaced it
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
};
