#pragma once

#include "QVRViewController.h"
#include "eventFilters.h"
#include "seismicOrigin.h"
#include "timeLineDataSource.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class CSEM_QueryController;
class EQ_QueryController;
class INGV_QueryController;
class NEIC_QueryController;
class PDE_QueryController;
class QLabel;
class QLineEdit;
class QMainWindow;
class QWidget;
class colorWell;
class fdsnEventQueryController;
class geoMapView;
class originTableModel;
class plateBoundaryController;
class webViewHolder;
class QVRStemTimeLineView;

namespace Ui {
class mainWindow;
class eventListWindow;
class preferencesWindow;
class alertWindow;
class aboutWindow;
class browserWindow;
class twitterWindow;
} // namespace Ui

// The application's one controller. It makes the windows from their forms, owns the five
// catalogue controllers and the two lists every display reads (all origins of the last load,
// newest first, and the visible ones), and wires map, time line, table, bulletin window and
// browser together: the update cycle with its auto-update timer, the click filters, the map
// and time-line feeding, the event table, the clipboard and the web links.
//
// Everything runs on the main thread. Loads are synchronous: the window repaints while a
// download runs but takes no input, and a timer tick that arrives meanwhile is skipped.
class OrrelinController : public QObject,
                          public QVRViewController,
                          public timeLineDataSource,
                          public timeLineClickReceiver {
    Q_OBJECT
public:
    // The data-source tags of the catalogues; any other tag loads the USGS month feed.
    enum dataSourceTag { usgsFeedTag = 0, ingvTag = 1, emscTag = 2, pdeTag = 10, fdsnTag = 15 };
    // What a tag loads, for the status bar and the log.
    static QString catalogueName(int tag);

    // Registers the application's defaults; once per run, before the first controller.
    static void initialize();

    // Creates the catalogue controllers and the windows (not yet shown).
    explicit OrrelinController(QObject* parent = nullptr);
    ~OrrelinController() override;

    // Set-up once the windows exist: settings into the fields, map and time line, plate
    // boundaries, then the first loads and the optional auto-update. `run` loads at once;
    // `deferred` first shows the list kept from the last run and loads once the event loop
    // turns, so the window paints at once; `skip` loads nothing (off-screen pictures).
    enum class firstLoads { run, deferred, skip };
    void awakeFromNib(firstLoads loads = firstLoads::run);

    // The last list a load brought, kept on disk for the next start: its file, and the list
    // with its catalogue tag and the time it was loaded (none when there is no such file).
    static QString cachedOriginsPath();
    struct cachedOrigins {
        originList origins;
        int tag = usgsFeedTag;
        QDateTime loadedAt;
    };
    static std::optional<cachedOrigins> readCachedOrigins();

    // --- windows
    QMainWindow* mainWindow() const;
    QWidget* eventListWindow() const { return eventListWindow_.get(); }
    QWidget* preferencesWindow() const { return preferencesWindow_.get(); }
    QWidget* alertWindow() const { return alertWindow_.get(); }
    QWidget* aboutWindow() const { return aboutWindow_.get(); }
    QWidget* browserWindow() const { return browserWindow_.get(); }
    QWidget* twitterBrowserWindow() const { return twitterBrowserWindow_.get(); }
    webViewHolder* theWebView() const { return theWebView_; }
    webViewHolder* theTwitterWebView() const { return theTwitterWebView_; }
    Ui::mainWindow& mainInterface() { return *main_; }
    Ui::preferencesWindow& preferencesInterface() { return *preferences_; }
    Ui::alertWindow& alertInterface() { return *alert_; }
    Ui::twitterWindow& twitterInterface() { return *twitter_; }
    geoMapView* topoMapView() const;
    QVRStemTimeLineView* timeLineView() const;
    QTableView* eventTableView() const { return eventTableView_; }
    void setEventTableView(QTableView* view) { eventTableView_ = view; } // not owned
    void showPreferencesWindow();
    void showEventListWindow();
    void showAlertWindow();
    void showBrowserWindow();
    void showAboutPanel();

    // --- catalogue controllers
    NEIC_QueryController* neicQueryController() const { return neicQueryController_; }
    void setNeicQueryController(NEIC_QueryController* c) { neicQueryController_ = c; }
    INGV_QueryController* ingvQueryController() const { return ingvQueryController_; }
    CSEM_QueryController* csemQueryController() const { return csemQueryController_; }
    PDE_QueryController* pdeQueryController() const { return pdeQueryController_; }
    fdsnEventQueryController* fdsnQueryController() const { return fdsnQueryController_; }

    // --- the two lists
    const originList& allSeismicOrigins() override { return allSeismicOrigins_; }
    void setAllSeismicOrigins(const originList& origins) { allSeismicOrigins_ = origins; }
    const originList& visibleSeismicOrigins() const { return visibleSeismicOrigins_; }
    void setVisibleSeismicOrigins(const originList& origins) { visibleSeismicOrigins_ = origins; }
    bool eventsAreFiltered() const { return eventsAreFiltered_; }
    const std::shared_ptr<seismicOrigin>& latestOrigin() const { return latestOrigin_; }

    // --- the update cycle
    QTimer* theTimer() const { return theTimer_; }
    void setTheTimer(QTimer* timer);
    QTimer* updateTwitterTimer() const { return updateTwitterTimer_; }
    void setUpdateTwitterTimer(QTimer* timer);
    QTimer* elapsedTimer() const { return elapsedTimer_; }
    void setElapsedTimer(QTimer* timer);
    void toggleAutoUpdate();
    void getAutoUpdateTimer();
    // The auto-update timer's action: the USGS feed, whatever the pop-up shows.
    void update();
    // Loads the catalogue of `sender`'s data-source tag (the pop-up's selected item, a
    // control's "tag" property, or 0 for none and for the controller itself).
    void loadEQInfo(QObject* sender);
    // The USGS weekly list, unsorted; the time line keeps its dates.
    void loadNEICInfo();
    // Shows `origins` as a load of catalogue `tag` would (newest first; the USGS tag spans the
    // time line over the last 30 days, any other over the list).
    void showOrigins(const originList& origins, int tag);
    int dataSourceTagOf(QObject* sender) const;
    bool isLoading() const { return loading_; }
    double getAllSeismicOriginsTimeSpan() const;
    double getEventTimeRangeInterval() const;
    void updateLatestEventInfo() const;
    void updateElapsedTime() const;

    // --- filters
    void filterEventsByTime(double age);
    void filterEventsByDistanceFromLocation(QPointF lonLat);
    void handleClickedMouseInTimeLine(QPointF dataPoint) override;
    void handleClickedMousePosition(QPointF dataPoint) override;

    // --- the time line's source
    int countOfVisibleEvents() override;
    std::shared_ptr<seismicOrigin> visibleOriginAtIndex(int index) override;
    void communicateMapRect() override;
    void communicateMinDisplayMagnitude() override;

    // --- map and time-line feeding
    void createMapPoints();
    void updateDisplays();
    // "unitsIndex", "recentTimeCutoff" and "oldTimeCutoff".
    QVariantMap communicateColorDisplayTimeInfo() const;
    void setMapBoundsFromMenu(int tag);
    void updateColors();
    // Image `index` of the picture menu; none loads picture 2.
    void changeMapImage(std::optional<int> index);
    void hideMap(bool showImage);
    void hidePlates(bool showPlates);
    void showTimeStamp(bool on);
    void toggleMousePositionTracking(bool on);
    void handleTrackedMousePosition(QPointF dataPoint) override;

    // --- table, clipboard, links
    originTableModel* tableModel() const { return tableModel_.get(); }
    void copyEventsToPasteBoard();
    // The origin of the selected table row, or none.
    std::shared_ptr<seismicOrigin> selectedOrigin() const;
    void loadNEICEventPage();
    void openGoogleMaps();
    void googleNewsSearch();
    void cmtSearch();
    void searchNearSelectedEvent();
    void loadURL(const QUrl& address);
    bool loadURLInExternalBrowser(const QUrl& address);
    void updateWCATWCMessage();
    void updatePTWCMessage();
    void updateBigQuakeMessage();
    void updateUSGSMTensorMessage();
    void updateSeismicActivitySummary();
    void loadQuorvelWebHome();
    void loadQuorvelInfoPage(const QString& title);
    void showTwitterBrowserWindow();
    void updateTwitterFeed();
    // The percent-encoded search address it loaded.
    QUrl loadTwitterSearchResults();

    // --- beyond the windows' fields
    bool saveEvents(const QString& path);
    bool openEvents(const QString& path);
    // "Now" for ages and filters; the wall clock unless a test fixes it.
    QDateTime now() const { return clock_(); }
    void setClock(std::function<QDateTime()> clock);

private:
    class loadInProgress;
    void connectInterface();
    void setUpViews();
    void runFirstLoads();
    void finishSetUp(firstLoads loads);
    void writeCachedOrigins(int tag) const;
    // Shows the kept list, marked with its age in the status bar; false when there is none.
    bool showCachedOrigins(bool offline);
    void bindFieldsToDefaults();
    void layOutEventTable();
    QList<std::pair<QWidget*, QString>> windowsByName() const;
    void restoreWindowGeometry();
    void saveWindowGeometry() const;
    // Loads, sorts and shows one catalogue; the body of loadEQInfo under the guard.
    originList loadCatalogue(int tag);
    // Visible = all, unfiltered; then the displays, the table and the latest origin.
    void showLoadedOrigins();
    void refuseNestedLoad(bool askedByUser);
    void reportLoad(const QString& catalogue, const EQ_QueryController& source, qsizetype count);
    void reportFailure(const QString& catalogue, const QString& why);
    void showLatestEventInStatusBar();
    void showVisibleOrigins();
    static void bringToFront(QWidget* window, bool makeKey);
    void loadSelectedOriginPage(QUrl (*link)(const seismicOrigin&));
    void stopAutoUpdate();
    void setAlertText(const QString& text);
    float floatOf(const QLineEdit* field) const;
    QString mapToolTipAt(QPointF widgetPosition) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::unique_ptr<Ui::mainWindow> main_;
    std::unique_ptr<Ui::eventListWindow> eventList_;
    std::unique_ptr<Ui::preferencesWindow> preferences_;
    std::unique_ptr<Ui::alertWindow> alert_;
    std::unique_ptr<Ui::aboutWindow> about_;
    std::unique_ptr<Ui::browserWindow> browser_;
    std::unique_ptr<Ui::twitterWindow> twitter_;
    std::unique_ptr<QMainWindow> mainWindow_;
    std::unique_ptr<QWidget> eventListWindow_, preferencesWindow_, alertWindow_, aboutWindow_,
        browserWindow_, twitterBrowserWindow_;
    QLabel* latestEventLabel_ = nullptr;         // in the status bar
    webViewHolder* theWebView_ = nullptr;        // owned by this object
    webViewHolder* theTwitterWebView_ = nullptr; // owned by this object

    NEIC_QueryController* neicQueryController_ = nullptr; // these five are children
    INGV_QueryController* ingvQueryController_ = nullptr;
    CSEM_QueryController* csemQueryController_ = nullptr;
    PDE_QueryController* pdeQueryController_ = nullptr;
    fdsnEventQueryController* fdsnQueryController_ = nullptr;
    std::unique_ptr<plateBoundaryController> pbController_;

    QPointer<QTimer> theTimer_;
    QPointer<QTimer> elapsedTimer_;
    QPointer<QTimer> updateTwitterTimer_;

    originList allSeismicOrigins_;     // newest first after a load
    originList visibleSeismicOrigins_; // what table, map and time line show
    bool eventsAreFiltered_ = false;
    std::shared_ptr<seismicOrigin> latestOrigin_;
    QPointer<QTableView> eventTableView_;
    std::unique_ptr<originTableModel> tableModel_;
    QList<QColor>* colorArray_ = nullptr; // the map's own colour list
    originList mapPointOrigins_;          // the origin of each map symbol, in drawing order
    bool loading_ = false;
    QDateTime lastRefresh_; // of the last load that brought origins
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
};
