#include "OrrelinController.h"

#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "NEIC_QueryController.h"
#include "PDE_QueryController.h"
#include "QVRStemTimeLineView.h"
#include "applicationDefaults.h"
#include "colorWell.h"
#include "eventListFile.h"
#include "fdsnEventQueryController.h"
#include "geoMapView.h"
#include "lenientNumbers.h"
#include "mapFeeding.h"
#include "originTableModel.h"
#include "plateBoundaryController.h"
#include "quorvelLogging.h"
#include "timeZones.h"
#include "userDefaults.h"
#include "webLinks.h"
#include "webViewHolder.h"

#include "ui_aboutWindow.h"
#include "ui_alertWindow.h"
#include "ui_browserWindow.h"
#include "ui_eventListWindow.h"
#include "ui_mainWindow.h"
#include "ui_preferencesWindow.h"
#include "ui_twitterWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QToolTip>

namespace {

// A search day "yyyy-MM-dd" as midnight UTC; invalid when the text is no such day.
QDateTime searchDay(const QString& text) {
    const QDate day = QDate::fromString(text.trimmed(), Qt::ISODate);
    return day.isValid() ? QDateTime(day, QTime(0, 0), QTimeZone::utc()) : QDateTime();
}

// The age colours of the map: recent, older, oldest.
const char* const colorKeys[] = {"recentColor", "olderColor", "oldestColor"};

} // namespace

QString OrrelinController::catalogueName(int tag) {
    switch (tag) {
    case ingvTag:
        return QStringLiteral("INGV table");
    case emscTag:
        return QStringLiteral("EMSC list");
    case pdeTag:
        return QStringLiteral("PDE search");
    case fdsnTag:
        return QStringLiteral("FDSN event search");
    default:
        return QStringLiteral("USGS feed");
    }
}

void OrrelinController::initialize() {
    static const bool registered = [] {
        applicationDefaults::registerApplicationDefaults();
        return true;
    }();
    Q_UNUSED(registered);
}

OrrelinController::OrrelinController(QObject* parent)
    : QObject(parent)
    , main_(std::make_unique<Ui::mainWindow>())
    , eventList_(std::make_unique<Ui::eventListWindow>())
    , preferences_(std::make_unique<Ui::preferencesWindow>())
    , alert_(std::make_unique<Ui::alertWindow>())
    , about_(std::make_unique<Ui::aboutWindow>())
    , browser_(std::make_unique<Ui::browserWindow>())
    , twitter_(std::make_unique<Ui::twitterWindow>()) {
    initialize();
    neicQueryController_ = new NEIC_QueryController(this);
    ingvQueryController_ = new INGV_QueryController(this);
    csemQueryController_ = new CSEM_QueryController(this);
    pdeQueryController_ = new PDE_QueryController(this);
    fdsnQueryController_ = new fdsnEventQueryController(this);
    for (EQ_QueryController* c : std::initializer_list<EQ_QueryController*>{
             neicQueryController_, ingvQueryController_, csemQueryController_, pdeQueryController_,
             fdsnQueryController_})
        c->setController(this);

    // The windows of the interface description, none shown yet.
    mainWindow_ = std::make_unique<QMainWindow>();
    main_->setupUi(mainWindow_.get());
    eventListWindow_ = std::make_unique<QWidget>();
    eventList_->setupUi(eventListWindow_.get());
    preferencesWindow_ = std::make_unique<QWidget>();
    preferences_->setupUi(preferencesWindow_.get());
    alertWindow_ = std::make_unique<QWidget>();
    alert_->setupUi(alertWindow_.get());
    aboutWindow_ = std::make_unique<QWidget>();
    about_->setupUi(aboutWindow_.get());
    browserWindow_ = std::make_unique<QWidget>();
    browser_->setupUi(browserWindow_.get());
    twitterBrowserWindow_ = std::make_unique<QWidget>();
    twitter_->setupUi(twitterBrowserWindow_.get());
    // Closing the main window ends the program, whatever else is open.
    for (QWidget* window : {eventListWindow_.get(), preferencesWindow_.get(), alertWindow_.get(),
                            aboutWindow_.get(), browserWindow_.get(), twitterBrowserWindow_.get()})
        window->setAttribute(Qt::WA_QuitOnClose, false);
    theWebView_ = new webViewHolder(browser_->webViewHolder, this);
    theTwitterWebView_ = new webViewHolder(twitter_->webViewHolder, this);
    main_->networkProgressIndicator->hide();
    alert_->alertProgressIndicator->hide();
    latestEventLabel_ = new QLabel(mainWindow_.get());
    latestEventLabel_->setObjectName(QStringLiteral("latestEventLabel"));
    main_->statusBar->addPermanentWidget(latestEventLabel_);

    tableModel_ = std::make_unique<originTableModel>(
        &visibleSeismicOrigins_, originTableModel::columnRules{.regionFallsBackToCatalogText = true,
                                                               .ageColumnSorts = true});
    tableModel_->setColumnIdentifiers(
        {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("6"), QStringLiteral("9"),
         QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("2"),
         QStringLiteral("7"), QStringLiteral("8")});
    connectInterface();
    restoreWindowGeometry();
}

OrrelinController::~OrrelinController() {
    saveWindowGeometry();
    for (QPointer<QTimer>* timer : {&elapsedTimer_, &updateTwitterTimer_, &theTimer_}) {
        if (*timer) {
            (*timer)->stop();
            delete timer->data();
        }
    }
    // The query controllers, the plate boundaries and the windows go with their owners; the
    // colour list is the map's.
}

QMainWindow* OrrelinController::mainWindow() const {
    return mainWindow_.get();
}

geoMapView* OrrelinController::topoMapView() const {
    return main_->topoMapView;
}

QVRStemTimeLineView* OrrelinController::timeLineView() const {
    return main_->timeLineView;
}

// --- set-up

void OrrelinController::awakeFromNib(firstLoads loads) {
    setUpViews();
    switch (loads) {
    case firstLoads::run:
        runFirstLoads();
        finishSetUp(loads);
        break;
    case firstLoads::deferred:
        showCachedOrigins(false);
        QTimer::singleShot(0, this, [this] {
            runFirstLoads();
            if (allSeismicOrigins_.isEmpty())
                showCachedOrigins(true);
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
    setEventTableView(eventList_->eventListTblView);
    tableModel_->attachToTableView(eventTableView_);
    layOutEventTable();
    eventsAreFiltered_ = false;

    alert_->alertTView->setFont(QFont(QStringLiteral("Courier"), 12));

    geoMapView* map = topoMapView();
    map->setController(this);
    map->setTitleFontSize(18);
    map->setTitleColor(QColor::fromRgbF(1.0 / 3, 1.0 / 3, 1.0 / 3));
    map->set_trackMouse(false);
    map->set_timeStamp(false);
    map->setHideImage(false);
    map->setShowPlates(true);
    colorArray_ = &map->theColors();
    bindFieldsToDefaults();
    updateColors();
    map->setPlateBoundaryColor(QColor::fromRgbF(1.0, 1.0, 1.0, 0.75));

    pbController_ = std::make_unique<plateBoundaryController>();
    pbController_->loadBirdPlateBoundaries();
    map->addAPolygonSet(pbController_->boundaries());

    main_->mapSouthTField->setText(QStringLiteral("-90"));
    main_->mapNorthTField->setText(QStringLiteral("90"));
    main_->mapWestTField->setText(QStringLiteral("0"));
    main_->mapEastTField->setText(QStringLiteral("360"));
    map->setYLimits(floatOf(main_->mapSouthTField), floatOf(main_->mapNorthTField));
    map->setXLimits(floatOf(main_->mapWestTField), floatOf(main_->mapEastTField));

    timeLineView()->setDataSource(this);
    timeLineView()->setController(this);
    setUpdateTwitterTimer(nullptr);
    changeMapImage(std::nullopt);
}

void OrrelinController::runFirstLoads() {
    neicQueryController_->loadUSGSGeoJSONFeed(); // warms the feed; the list comes below
    loadNEICInfo();
    loadEQInfo(nullptr);
}

void OrrelinController::finishSetUp(firstLoads loads) {
    if (loads != firstLoads::skip &&
        userDefaults::standardUserDefaults().boolForKey(QStringLiteral("autoUpdateToggle"))) {
        stopAutoUpdate();
        getAutoUpdateTimer();
        main_->autoUpdateButton->setText(QStringLiteral("Stop"));
        main_->monitorIndicatorTField->show();
    }
    showTimeStamp(main_->showTimeStampButton->isChecked());

    QFile about(QStringLiteral(":/quorvel/aboutTheData.html"));
    if (about.open(QIODevice::ReadOnly))
        about_->aboutTheDataTextView->setHtml(QString::fromUtf8(about.readAll()));
}

QString OrrelinController::cachedOriginsPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("lastEvents.quorvel"));
}

std::optional<OrrelinController::cachedOrigins> OrrelinController::readCachedOrigins() {
    const QString path = cachedOriginsPath();
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QString error;
    auto origins = eventListFile::read(path, &error);
    if (!origins) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events kept from the last run cannot be read: %1").arg(error);
        return std::nullopt;
    }
    const QSettings settings;
    return cachedOrigins{*origins, settings.value(QStringLiteral("cache/catalogueTag")).toInt(),
                         settings.value(QStringLiteral("cache/loadedAt")).toDateTime()};
}

void OrrelinController::writeCachedOrigins(int tag) const {
    const QString path = cachedOriginsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!eventListFile::write(allSeismicOrigins_, path, &error)) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be kept for the next start: %1").arg(error);
        return;
    }
    QSettings settings;
    settings.setValue(QStringLiteral("cache/catalogueTag"), tag);
    settings.setValue(QStringLiteral("cache/loadedAt"), lastRefresh_);
}

bool OrrelinController::showCachedOrigins(bool offline) {
    const auto cached = readCachedOrigins();
    if (!cached || cached->origins.isEmpty())
        return false;
    showOrigins(cached->origins, cached->tag);
    lastRefresh_ = cached->loadedAt.isValid() ? cached->loadedAt : now();
    showLatestEventInStatusBar();
    const qint64 minutes = std::max<qint64>(0, lastRefresh_.secsTo(now()) / 60);
    const QString age = minutes == 1    ? tr("1 minute old")
                        : minutes < 120 ? tr("%1 minutes old").arg(minutes)
                                        : tr("%1 hours old").arg(minutes / 60);
    const QString loadedAt = lastRefresh_.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    main_->statusBar->showMessage(
        offline ? tr("Offline: showing the events loaded at %1 UTC (%2)").arg(loadedAt, age)
                : tr("Showing the events loaded at %1 UTC (%2) while loading").arg(loadedAt, age));
    return true;
}

void OrrelinController::connectInterface() {
    Ui::mainWindow& ui = *main_;
    // The tags of the menus' items.
    const int catalogueTags[] = {usgsFeedTag, ingvTag, emscTag, pdeTag, fdsnTag};
    for (int i = 0; i < ui.dataSourcePopup->count() && i < 5; ++i)
        ui.dataSourcePopup->setItemData(i, catalogueTags[i]);
    for (int i = 0; i < ui.mapBoundsPopUp->count(); ++i)
        ui.mapBoundsPopUp->setItemData(i, i + 1);
    const int pictureTags[] = {1, 2, 3, 4, 10};
    for (int i = 0; i < ui.mapImagePopUp->count() && i < 5; ++i)
        ui.mapImagePopUp->setItemData(i, pictureTags[i]);
    for (int id = 0; id < 3; ++id)
        preferences_->searchTypeControl->setId(preferencesWindow_->findChild<QAbstractButton*>(
                                                   QStringLiteral("searchType%1Button").arg(id)),
                                               id);

    connect(ui.dataSourcePopup, &QComboBox::activated, this,
            [this] { loadEQInfo(main_->dataSourcePopup); });
    connect(ui.neicButton, &QPushButton::clicked, this,
            [this] { loadEQInfo(main_->dataSourcePopup); });
    connect(ui.refreshAction, &QAction::triggered, this,
            [this] { loadEQInfo(main_->dataSourcePopup); });
    connect(preferences_->pdeSearchButton, &QPushButton::clicked, this,
            [this] { loadEQInfo(preferences_->pdeSearchButton); });
    connect(preferences_->fdsnSearchButton, &QPushButton::clicked, this,
            [this] { loadEQInfo(preferences_->fdsnSearchButton); });
    connect(ui.usgsTextListAction, &QAction::triggered, this, &OrrelinController::loadNEICInfo);
    connect(ui.autoUpdateButton, &QPushButton::clicked, this, &OrrelinController::toggleAutoUpdate);
    connect(ui.autoUpdateAction, &QAction::triggered, this, &OrrelinController::toggleAutoUpdate);

    connect(ui.mapBoundsPopUp, &QComboBox::activated, this,
            [this](int i) { setMapBoundsFromMenu(main_->mapBoundsPopUp->itemData(i).toInt()); });
    connect(ui.mapImagePopUp, &QComboBox::activated, this,
            [this](int i) { changeMapImage(main_->mapImagePopUp->itemData(i).toInt()); });
    connect(ui.timeUnitsPopUp, &QComboBox::activated, this, [this](int i) {
        userDefaults::standardUserDefaults().setObject(i, QStringLiteral("timeUnitsIndex"));
        createMapPoints();
        updateDisplays();
    });
    connect(ui.showImageButton, &QCheckBox::toggled, this, &OrrelinController::hideMap);
    connect(ui.showPlatesButton, &QCheckBox::toggled, this, &OrrelinController::hidePlates);
    connect(ui.showTimeStampButton, &QCheckBox::toggled, this, &OrrelinController::showTimeStamp);
    connect(ui.trackMouseButton, &QCheckBox::toggled, this,
            &OrrelinController::toggleMousePositionTracking);
    connect(ui.updateMapButton, &QPushButton::clicked, this, [this] {
        createMapPoints();
        updateDisplays();
    });
    colorWell* ageWells[] = {ui.recentColorWell, ui.olderColorWell, ui.oldestColorWell};
    for (int i = 0; i < 3; ++i)
        connect(ageWells[i], &colorWell::colorChanged, this, [this, i](const QColor& c) {
            userDefaults::standardUserDefaults().setObject(c.name(QColor::HexArgb),
                                                           QString::fromLatin1(colorKeys[i]));
            updateColors();
        });
    connect(ui.plateColorWell, &colorWell::colorChanged, this, [this](const QColor& c) {
        userDefaults::standardUserDefaults().setObject(c.name(QColor::HexArgb),
                                                       QStringLiteral("plateColor"));
        updateDisplays();
    });
    // A changed display field shows at once.
    for (QLineEdit* field :
         {ui.mapWestTField, ui.mapEastTField, ui.mapSouthTField, ui.mapNorthTField, ui.minMagTField,
          ui.maxMagTField, ui.symbolScaleTField, ui.recentTField, ui.olderTField})
        connect(field, &QLineEdit::returnPressed, this, [this] {
            createMapPoints();
            updateDisplays();
        });

    connect(ui.copyEventsAction, &QAction::triggered, this,
            &OrrelinController::copyEventsToPasteBoard);
    connect(ui.openEventsAction, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            mainWindow_.get(), tr("Open Events"),
            userDefaults::standardUserDefaults().stringForKey(QStringLiteral("wdirString")),
            tr("Quorvel event lists (*.quorvel);;All files (*)"));
        if (!path.isEmpty())
            openEvents(path);
    });
    connect(ui.saveEventsAction, &QAction::triggered, this, [this] {
        QString path = QFileDialog::getSaveFileName(
            mainWindow_.get(), tr("Save Events"),
            userDefaults::standardUserDefaults().stringForKey(QStringLiteral("wdirString")),
            tr("Quorvel event lists (*.quorvel)"));
        if (path.isEmpty())
            return;
        if (!path.endsWith(QLatin1StringView(".quorvel")))
            path += QStringLiteral(".quorvel");
        saveEvents(path);
    });
    connect(ui.quitAction, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(ui.preferencesAction, &QAction::triggered, this,
            &OrrelinController::showPreferencesWindow);
    connect(ui.eventListAction, &QAction::triggered, this, &OrrelinController::showEventListWindow);
    connect(ui.alertWindowAction, &QAction::triggered, this, &OrrelinController::showAlertWindow);
    connect(ui.browserAction, &QAction::triggered, this, &OrrelinController::showBrowserWindow);
    connect(ui.twitterAction, &QAction::triggered, this,
            &OrrelinController::showTwitterBrowserWindow);
    connect(ui.aboutAction, &QAction::triggered, this, &OrrelinController::showAboutPanel);

    connect(ui.eventPageAction, &QAction::triggered, this, &OrrelinController::loadNEICEventPage);
    connect(ui.eventMapAction, &QAction::triggered, this, &OrrelinController::openGoogleMaps);
    connect(ui.newsSearchAction, &QAction::triggered, this, &OrrelinController::googleNewsSearch);
    connect(ui.cmtSearchAction, &QAction::triggered, this, &OrrelinController::cmtSearch);
    connect(ui.searchNearAction, &QAction::triggered, this,
            &OrrelinController::searchNearSelectedEvent);
    connect(eventList_->eventListTblView, &QTableView::doubleClicked, this,
            &OrrelinController::loadNEICEventPage);
    // The same actions on a right click in the event list.
    eventList_->eventListTblView->setContextMenuPolicy(Qt::ActionsContextMenu);
    eventList_->eventListTblView->addActions({ui.eventPageAction, ui.eventMapAction,
                                              ui.newsSearchAction, ui.cmtSearchAction,
                                              ui.searchNearAction});

    // Bulletins shown as text come up in their window.
    auto inAlertWindow = [this](void (OrrelinController::*action)()) {
        return [this, action] {
            (this->*action)();
            showAlertWindow();
        };
    };
    connect(ui.summaryAction, &QAction::triggered, this,
            inAlertWindow(&OrrelinController::updateSeismicActivitySummary));
    connect(ui.bigQuakeAction, &QAction::triggered, this,
            inAlertWindow(&OrrelinController::updateBigQuakeMessage));
    connect(ui.momentTensorAction, &QAction::triggered, this,
            inAlertWindow(&OrrelinController::updateUSGSMTensorMessage));
    connect(ui.wcatwcAction, &QAction::triggered, this, &OrrelinController::updateWCATWCMessage);
    connect(ui.ptwcAction, &QAction::triggered, this, &OrrelinController::updatePTWCMessage);
    connect(ui.webHomeAction, &QAction::triggered, this, &OrrelinController::loadQuorvelWebHome);
    for (QAction* info : {ui.magnitudeInfoAction, ui.intensityInfoAction, ui.momentInfoAction})
        connect(info, &QAction::triggered, this,
                [this, info] { loadQuorvelInfoPage(info->text()); });

    ui.refreshAction->setShortcut(QKeySequence::Refresh);
    ui.copyEventsAction->setShortcut(QKeySequence::Copy);
    ui.preferencesAction->setShortcut(QKeySequence::Preferences);
    if (ui.preferencesAction->shortcut().isEmpty())
        ui.preferencesAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    ui.quitAction->setShortcut(QKeySequence::Quit);
    ui.saveEventsAction->setShortcut(QKeySequence::Save);
    ui.openEventsAction->setShortcut(QKeySequence::Open);
    ui.eventListAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));

    // The browser: the page names the window, the address line loads what is typed.
    connect(theWebView_, &webViewHolder::titleChanged, browserWindow_.get(),
            &QWidget::setWindowTitle);
    connect(browser_->webAddressTField, &QLineEdit::returnPressed, this,
            [this] { loadURL(QUrl::fromUserInput(browser_->webAddressTField->text())); });
    connect(browser_->externalBrowserButton, &QPushButton::clicked, this,
            [this] { loadURLInExternalBrowser(theWebView_->requestedURL()); });
    connect(twitter_->twitterSearchButton, &QPushButton::clicked, this,
            &OrrelinController::loadTwitterSearchResults);
    connect(twitter_->twitterGeoFilterCheckBox, &QCheckBox::toggled, this,
            &OrrelinController::loadTwitterSearchResults);

    main_->topoMapView->installEventFilter(this);
}

void OrrelinController::bindFieldsToDefaults() {
    userDefaults& defaults = userDefaults::standardUserDefaults();
    const std::pair<QLineEdit*, const char*> bindings[] = {
        {main_->autoUpdateTField, "updateIntervalSeconds"},
        {main_->recentTField, "redTimeRange"},
        {main_->olderTField, "orangeTimeRange"},
        {main_->minMagTField, "minMagnitude"},
        {main_->maxMagTField, "maxMagnitude"},
        {main_->filterDistanceTField, "clickFilterDistance"},
        {main_->symbolScaleTField, "symbolsSizeFactor"},
        {main_->timeFractionForFilterTField, "timeFractionForFilter"},
        {preferences_->searchStartDateTField, "searchStartDateString"},
        {preferences_->searchEndDateTField, "searchEndDateString"},
        {preferences_->minSearchMagTField, "minSeachMag"},
        {preferences_->maxSearchMagTField, "maxSearchMag"},
        {preferences_->minSearchDepthTField, "minDepthString"},
        {preferences_->maxSearchDepthTField, "maxDepthString"},
        {preferences_->westSearchlongitudeTField, "westSearchLongitude"},
        {preferences_->eastSearchlongitudeTField, "eastSearchLongitude"},
        {preferences_->southSearchlatitudeTField, "southSearchLatitude"},
        {preferences_->northSearchlatitudeTField, "northSearchLatitude"},
        {preferences_->minRadiusTField, "minRadiusString"},
        {preferences_->maxRadiusTField, "maxRadiusString"},
        {twitter_->geoFilterDistTField, "twitterGeoFilterDistance"},
    };
    for (const auto& [field, key] : bindings) {
        const QString k = QString::fromLatin1(key);
        field->setText(defaults.stringForKey(k));
        // Only the user's own edits are kept; texts the program writes are not.
        connect(field, &QLineEdit::textEdited, this, [k](const QString& text) {
            userDefaults::standardUserDefaults().setObject(text, k);
        });
    }
    main_->timeUnitsPopUp->setCurrentIndex(
        std::clamp(defaults.objectForKey(QStringLiteral("timeUnitsIndex")).toInt(), 0, 4));
    colorWell* wells[] = {main_->recentColorWell, main_->olderColorWell, main_->oldestColorWell};
    for (int i = 0; i < 3; ++i)
        wells[i]->setColor(
            QColor::fromString(defaults.stringForKey(QString::fromLatin1(colorKeys[i]))));
    const QColor plate = QColor::fromString(defaults.stringForKey(QStringLiteral("plateColor")));
    main_->plateColorWell->setColor(plate.isValid() ? plate : QColor(Qt::white));
    preferences_->autoUpdateToggleCheckBox->setChecked(
        defaults.boolForKey(QStringLiteral("autoUpdateToggle")));
    connect(preferences_->autoUpdateToggleCheckBox, &QCheckBox::toggled, this, [](bool on) {
        userDefaults::standardUserDefaults().setObject(on, QStringLiteral("autoUpdateToggle"));
    });
}

void OrrelinController::layOutEventTable() {
    // One line a row, and widths fixed once: measuring ten thousand rows on every load would
    // cost more than the load.
    QTableView* table = eventTableView_;
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    const QHash<QString, int> widthInCharacters = {
        {QStringLiteral("1"), 27}, {QStringLiteral("10"), 12}, {QStringLiteral("6"), 9},
        {QStringLiteral("9"), 34}, {QStringLiteral("3"), 9},   {QStringLiteral("4"), 10},
        {QStringLiteral("5"), 10}, {QStringLiteral("2"), 9},   {QStringLiteral("7"), 11},
        {QStringLiteral("8"), 14}};
    const int character = table->fontMetrics().horizontalAdvance(u'0');
    const QStringList& columns = tableModel_->columnIdentifiers();
    for (int i = 0; i < columns.size(); ++i)
        table->setColumnWidth(i, widthInCharacters.value(columns.at(i), 10) * character);
}

QList<std::pair<QWidget*, QString>> OrrelinController::windowsByName() const {
    return {{mainWindow_.get(), QStringLiteral("main")},
            {eventListWindow_.get(), QStringLiteral("eventList")},
            {preferencesWindow_.get(), QStringLiteral("preferences")},
            {alertWindow_.get(), QStringLiteral("alert")},
            {aboutWindow_.get(), QStringLiteral("about")},
            {browserWindow_.get(), QStringLiteral("browser")},
            {twitterBrowserWindow_.get(), QStringLiteral("twitter")}};
}

void OrrelinController::restoreWindowGeometry() {
    QSettings settings;
    for (const auto& [window, name] : windowsByName()) {
        const QByteArray geometry =
            settings.value(QStringLiteral("windows/%1/geometry").arg(name)).toByteArray();
        if (!geometry.isEmpty())
            window->restoreGeometry(geometry);
    }
    const QByteArray splitter =
        settings.value(QStringLiteral("windows/main/splitter")).toByteArray();
    if (splitter.isEmpty() || !main_->displaySplitter->restoreState(splitter))
        main_->displaySplitter->setSizes({540, 200}); // the map over a time line a third its height
}

void OrrelinController::saveWindowGeometry() const {
    QSettings settings;
    for (const auto& [window, name] : windowsByName()) {
        // Windows never shown (off-screen rendering, tests) keep what the user had.
        if (!window->testAttribute(Qt::WA_WState_ExplicitShowHide))
            continue;
        settings.setValue(QStringLiteral("windows/%1/geometry").arg(name), window->saveGeometry());
    }
    if (mainWindow_->testAttribute(Qt::WA_WState_ExplicitShowHide))
        settings.setValue(QStringLiteral("windows/main/splitter"),
                          main_->displaySplitter->saveState());
}

void OrrelinController::bringToFront(QWidget* window, bool makeKey) {
    window->show();
    window->raise();
    if (makeKey)
        window->activateWindow();
}

void OrrelinController::showPreferencesWindow() {
    bringToFront(preferencesWindow_.get(), false);
}

void OrrelinController::showEventListWindow() {
    bringToFront(eventListWindow_.get(), false);
}

void OrrelinController::showAlertWindow() {
    bringToFront(alertWindow_.get(), false);
}

void OrrelinController::showBrowserWindow() {
    bringToFront(browserWindow_.get(), true);
}

void OrrelinController::showAboutPanel() {
    bringToFront(aboutWindow_.get(), true);
}

float OrrelinController::floatOf(const QLineEdit* field) const {
    // The float value of a text: its leading number ("12 h" is 12), 0 when it has none.
    return leadingFloat(field->text());
}

void OrrelinController::setClock(std::function<QDateTime()> clock) {
    clock_ = std::move(clock);
    timeLineView()->setClock(clock_);
}

// --- the update cycle

void OrrelinController::setTheTimer(QTimer* timer) {
    theTimer_ = timer;
}

void OrrelinController::setUpdateTwitterTimer(QTimer* timer) {
    updateTwitterTimer_ = timer;
}

void OrrelinController::setElapsedTimer(QTimer* timer) {
    elapsedTimer_ = timer;
}

void OrrelinController::getAutoUpdateTimer() {
    auto* timer = new QTimer(this);
    // A zero or unreadable interval would reload without pause; one second is the least.
    timer->setInterval(std::max(1000, int(floatOf(main_->autoUpdateTField) * 1000)));
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
    main_->monitorIndicatorTField->hide();
    main_->autoUpdateButton->setText(QStringLiteral("Start"));
}

void OrrelinController::toggleAutoUpdate() {
    if (theTimer_) {
        stopAutoUpdate();
        return;
    }
    getAutoUpdateTimer();
    main_->autoUpdateButton->setText(QStringLiteral("Stop"));
    main_->monitorIndicatorTField->show();
}

void OrrelinController::update() {
    if (loading_) {
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
    if (sender == main_->dataSourcePopup)
        return main_->dataSourcePopup->currentData().toInt();
    return sender->property("tag").toInt();
}

// While a load runs: the flag that keeps loads from nesting, and the spinning indicator.
class OrrelinController::loadInProgress {
public:
    explicit loadInProgress(OrrelinController& c)
        : c_(c) {
        c_.loading_ = true;
        c_.main_->networkProgressIndicator->show();
    }
    ~loadInProgress() {
        c_.main_->networkProgressIndicator->hide();
        c_.loading_ = false;
    }
    loadInProgress(const loadInProgress&) = delete;
    loadInProgress& operator=(const loadInProgress&) = delete;

private:
    OrrelinController& c_;
};

void OrrelinController::loadEQInfo(QObject* sender) {
    if (loading_) {
        refuseNestedLoad(sender != this);
        return;
    }
    const loadInProgress busy(*this);
    const int tag = dataSourceTagOf(sender);
    // Every load the timer did not start itself stops auto-update.
    if (sender != this)
        stopAutoUpdate();
    allSeismicOrigins_ = loadCatalogue(tag);
    sortNewestFirst(allSeismicOrigins_);
    showLoadedOrigins();
    if (!allSeismicOrigins_.isEmpty())
        writeCachedOrigins(tag);
}

originList OrrelinController::loadCatalogue(int tag) {
    QVRStemTimeLineView* timeLine = timeLineView();
    Ui::preferencesWindow& search = *preferences_;
    const QDateTime start = now();
    auto shownMagnitudes = [this](EQ_QueryController& c) {
        c.setMinMagnitude(floatOf(main_->minMagTField));
        c.setMaxMagnitude(floatOf(main_->maxMagTField));
    };
    // The search tab's limits; false (said once) when its days are no days.
    auto searchLimits = [&](EQ_QueryController& c) {
        c.setMinMagnitude(floatOf(search.minSearchMagTField));
        c.setMaxMagnitude(floatOf(search.maxSearchMagTField));
        c.setMinDepth(floatOf(search.minSearchDepthTField));
        c.setMaxDepth(floatOf(search.maxSearchDepthTField));
        c.setMinLongitude(floatOf(search.westSearchlongitudeTField));
        c.setMaxLongitude(floatOf(search.eastSearchlongitudeTField));
        const QDateTime first = searchDay(search.searchStartDateTField->text());
        const QDateTime last = searchDay(search.searchEndDateTField->text());
        if (!first.isValid() || !last.isValid()) {
            qCWarning(lcController).noquote()
                << QStringLiteral("The search days \"%1\" to \"%2\" are not yyyy-MM-dd days.")
                       .arg(search.searchStartDateTField->text(),
                            search.searchEndDateTField->text());
            reportFailure(catalogueName(tag), tr("the search days are not yyyy-MM-dd days"));
            return false;
        }
        c.setStartDate(first);
        c.setEndDate(last);
        timeLine->setStartDate(first);
        timeLine->setEndDate(last);
        return true;
    };
    auto loaded = [this](EQ_QueryController& c, int tag) {
        const bool ok = c.loadEvents();
        const originList origins = ok ? c.seismicOrigins() : originList();
        reportLoad(catalogueName(tag), c, origins.size());
        return origins;
    };

    switch (tag) {
    case ingvTag:
    case emscTag: {
        EQ_QueryController& c = tag == ingvTag
                                    ? static_cast<EQ_QueryController&>(*ingvQueryController_)
                                    : *csemQueryController_;
        shownMagnitudes(c);
        allSeismicOrigins_ = loaded(c, tag);
        timeLine->computeStartandEndDateFromSortedEventList();
        timeLine->setEndDate(now());
        return allSeismicOrigins_;
    }
    case pdeTag: {
        PDE_QueryController& c = *pdeQueryController_;
        if (!searchLimits(c))
            return {};
        // The PDE request names its latitudes the other way round: the north field goes in
        // as the minimum, so that the request carries south first.
        c.setMinLatitude(floatOf(search.northSearchlatitudeTField));
        c.setMaxLatitude(floatOf(search.southSearchlatitudeTField));
        return loaded(c, tag);
    }
    case fdsnTag: {
        fdsnEventQueryController& c = *fdsnQueryController_;
        if (!searchLimits(c))
            return {};
        c.setMaxLatitude(floatOf(search.northSearchlatitudeTField));
        c.setMinLatitude(floatOf(search.southSearchlatitudeTField));
        const int segment = search.searchTypeControl->checkedId();
        if (segment >= 0 && segment <= 2)
            c.setSearchType(segment);
        c.setMinRadius(floatOf(search.minRadiusTField));
        c.setMaxRadius(floatOf(search.maxRadiusTField));
        return loaded(c, tag);
    }
    default: {
        NEIC_QueryController& c = *neicQueryController_;
        shownMagnitudes(c);
        timeLine->setEndDate(start);
        timeLine->setStartDate(start.addSecs(-2592000)); // 30 days
        originList origins = c.loadUSGSGeoJSONFeed();
        reportLoad(catalogueName(tag), c, origins.size());
        return origins;
    }
    }
}

void OrrelinController::loadNEICInfo() {
    if (loading_) {
        refuseNestedLoad(true);
        return;
    }
    const loadInProgress busy(*this);
    NEIC_QueryController& c = *neicQueryController_;
    c.setMinMagnitude(floatOf(main_->minMagTField));
    c.setMaxMagnitude(floatOf(main_->maxMagTField));
    // The list loadEvents has just read and kept is the weekly list itself; reading it a
    // second time would only download it twice (and report a failure twice).
    allSeismicOrigins_ = c.loadEvents() ? c.seismicOrigins() : originList();
    reportLoad(QStringLiteral("USGS weekly list"), c, allSeismicOrigins_.size());
    showLoadedOrigins();
}

void OrrelinController::showLoadedOrigins() {
    visibleSeismicOrigins_ = allSeismicOrigins_;
    eventsAreFiltered_ = false;
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
    setAlertText(neicQueryController_->summarizeTheSeismicActivity(now()));
}

void OrrelinController::showOrigins(const originList& origins, int tag) {
    allSeismicOrigins_ = origins;
    sortNewestFirst(allSeismicOrigins_);
    if (tag == usgsFeedTag) {
        timeLineView()->setEndDate(now());
        timeLineView()->setStartDate(now().addSecs(-2592000));
    } else {
        timeLineView()->computeStartandEndDateFromSortedEventList();
    }
    showLoadedOrigins();
}

void OrrelinController::refuseNestedLoad(bool askedByUser) {
    qCDebug(lcController) << "A load is asked for while one runs; it is skipped.";
    // Timer ticks are skipped quietly; a load the user asked for says why nothing happens.
    if (askedByUser)
        main_->statusBar->showMessage(tr("A load is already running"), 8000);
}

void OrrelinController::reportLoad(const QString& catalogue, const EQ_QueryController& source,
                                   qsizetype count) {
    // The outcome replaces whatever the status bar said while the load ran.
    if (!source.lastError().isNull())
        reportFailure(catalogue, source.lastError());
    else
        main_->statusBar->showMessage(tr("Loaded %1 events from the %2").arg(count).arg(catalogue),
                                      8000);
}

void OrrelinController::reportFailure(const QString& catalogue, const QString& why) {
    // The controller that failed has logged its line; the window says it in passing.
    main_->statusBar->showMessage(tr("Could not load the %1: %2").arg(catalogue, why), 15000);
}

void OrrelinController::showLatestEventInStatusBar() {
    if (!latestOrigin_)
        return;
    const seismicOrigin& o = *latestOrigin_;
    latestEventLabel_->setText(tr("Latest: M %1 %2, %3 ago · refreshed %4 UTC")
                                   .arg(QString::asprintf("%.1f", double(o.magnitude())),
                                        o.shownRegionString(), o.originTimeSinceNow(now()),
                                        lastRefresh_.toString(QStringLiteral("HH:mm:ss"))));
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

void OrrelinController::updateLatestEventInfo() const {
    Q_UNUSED(allSeismicOrigins_.size());
}

void OrrelinController::updateElapsedTime() const {
    Q_UNUSED(allSeismicOrigins_.size());
}

// --- filters

void OrrelinController::filterEventsByTime(double age) {
    const QVRStemTimeLineView* timeLine = timeLineView();
    const double window = std::abs(timeLine->xmax() - timeLine->xmin()) *
                          double(floatOf(main_->timeFractionForFilterTField));
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
                                     floatOf(main_->filterDistanceTField))) {
        visibleSeismicOrigins_ = *kept;
        eventsAreFiltered_ = true;
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
        twitter_->geoFilterLonTField->setText(QString::number(lon, 'f', 2));
        twitter_->geoFilterLatTField->setText(QString::number(dataPoint.y(), 'f', 2));
    }
    showVisibleOrigins();
}

void OrrelinController::showVisibleOrigins() {
    tableModel_->reloadData();
    createMapPoints();
    updateDisplays();
}

// --- the time line's source

int OrrelinController::countOfVisibleEvents() {
    return int(visibleSeismicOrigins_.size());
}

std::shared_ptr<seismicOrigin> OrrelinController::visibleOriginAtIndex(int index) {
    if (index < 0 || index >= visibleSeismicOrigins_.size())
        return nullptr;
    return visibleSeismicOrigins_.at(index);
}

void OrrelinController::communicateMapRect() {
    const geoMapView* map = topoMapView();
    timeLineView()->setPlotBounds(map ? map->mapRect() : QRectF());
}

void OrrelinController::communicateMinDisplayMagnitude() {
    timeLineView()->setMinMag(floatOf(main_->minMagTField));
    timeLineView()->setMaxMag(floatOf(main_->maxMagTField));
}

// --- map and time-line feeding

void OrrelinController::createMapPoints() {
    if (visibleSeismicOrigins_.isEmpty())
        return;
    geoMapView::pointList& points = topoMapView()->thePoints();
    points.clear();
    mapPointOrigins_.clear();
    const float scale = floatOf(main_->symbolScaleTField);
    const float recent = floatOf(main_->recentTField);
    const float older = floatOf(main_->olderTField);
    const double unit = mapFeeding::timeUnitSeconds(main_->timeUnitsPopUp->currentIndex());
    const QDateTime t = now();
    // Oldest first, so that the newest symbols are painted on top.
    for (qsizetype i = visibleSeismicOrigins_.size() - 1; i >= 0; --i) {
        const auto& origin = visibleSeismicOrigins_.at(i);
        points.append(mapFeeding::mapPointForOrigin(*origin, scale, t, unit, recent, older));
        mapPointOrigins_.append(origin);
    }
}

void OrrelinController::updateDisplays() {
    geoMapView* map = topoMapView();
    map->setYLimits(floatOf(main_->mapSouthTField), floatOf(main_->mapNorthTField));
    map->setXLimits(floatOf(main_->mapWestTField), floatOf(main_->mapEastTField));
    QColor plates = main_->plateColorWell->color();
    plates.setAlphaF(0.75f);
    map->setPlateBoundaryColor(plates);
    map->computeRects();
    map->update();
    communicateMapRect();
    communicateMinDisplayMagnitude();

    QVRStemTimeLineView* timeLine = timeLineView();
    timeLine->setSymbolScaleFactor(floatOf(main_->symbolScaleTField));
    const float unit = float(mapFeeding::timeUnitSeconds(main_->timeUnitsPopUp->currentIndex()));
    timeLine->setYellowTimeRange(double(floatOf(main_->olderTField) * unit));
    timeLine->setOrangeTimeRange(double(floatOf(main_->recentTField) * unit));
    timeLine->setMinMag(floatOf(main_->minMagTField));
    timeLine->setMaxMag(floatOf(main_->maxMagTField));
    timeLine->update();
}

QVariantMap OrrelinController::communicateColorDisplayTimeInfo() const {
    return {{QStringLiteral("unitsIndex"), main_->timeUnitsPopUp->currentIndex()},
            {QStringLiteral("recentTimeCutoff"), floatOf(main_->recentTField)},
            {QStringLiteral("oldTimeCutoff"), floatOf(main_->olderTField)}};
}

void OrrelinController::setMapBoundsFromMenu(int tag) {
    const QRectF limits = mapFeeding::regionPreset(tag);
    main_->mapSouthTField->setText(QString::number(limits.top()));
    main_->mapNorthTField->setText(QString::number(limits.bottom()));
    main_->mapWestTField->setText(QString::number(limits.left()));
    main_->mapEastTField->setText(QString::number(limits.right()));
    updateDisplays();
}

void OrrelinController::updateColors() {
    if (!colorArray_)
        return;
    colorArray_->clear();
    colorWell* wells[] = {main_->recentColorWell, main_->olderColorWell, main_->oldestColorWell};
    for (colorWell* well : wells)
        colorArray_->append(well->color());
    createMapPoints();
    updateDisplays();
}

void OrrelinController::changeMapImage(std::optional<int> index) {
    if (index) {
        topoMapView()->loadImageWithIndex(*index);
    } else {
        qCInfo(lcController) << "Loading default image.";
        topoMapView()->loadImageWithIndex(2);
    }
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
        main_->cursorPositionTField->setText(QString());
        main_->feRegionTField->setText(QString());
    }
    updateDisplays();
}

void OrrelinController::handleTrackedMousePosition(QPointF dataPoint) {
    const mapFeeding::cursorReadout readout = mapFeeding::readoutAt(dataPoint.x(), dataPoint.y());
    main_->cursorPositionTField->setText(readout.position);
    main_->feRegionTField->setText(readout.region);
}

QString OrrelinController::mapToolTipAt(QPointF widgetPosition) const {
    geoMapView* map = topoMapView();
    const QPointF at = map->viewPointForWidgetPosition(widgetPosition);
    const auto& points = map->thePoints();
    // The last symbol drawn lies on top.
    for (qsizetype i = std::min(points.size(), mapPointOrigins_.size()) - 1; i >= 0; --i) {
        const QPointF centre = map->viewPointForLonLat(points.at(i)->lon(), points.at(i)->lat());
        const double reach = std::max(4.0, 12.0 * points.at(i)->symbolSize());
        if (QLineF(centre, at).length() > reach)
            continue;
        const seismicOrigin& o = *mapPointOrigins_.at(i);
        return QStringLiteral("M %1  %2\n%3 UTC, %4 ago")
            .arg(QString::asprintf("%.1f", double(o.magnitude())), o.shownRegionString(),
                 o.originDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                 o.originTimeSinceNow(now()));
    }
    return {};
}

bool OrrelinController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == main_->topoMapView && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = mapToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, main_->topoMapView);
        return true;
    }
    return QObject::eventFilter(watched, event);
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

void OrrelinController::loadSelectedOriginPage(QUrl (*link)(const seismicOrigin&)) {
    if (const auto o = selectedOrigin())
        loadURL(link(*o));
}

void OrrelinController::loadNEICEventPage() {
    loadSelectedOriginPage(&webLinks::eventPage);
}

void OrrelinController::openGoogleMaps() {
    loadSelectedOriginPage(&webLinks::mapOfOrigin);
}

void OrrelinController::googleNewsSearch() {
    loadSelectedOriginPage(&webLinks::newsSearch);
}

void OrrelinController::cmtSearch() {
    loadSelectedOriginPage(&webLinks::cmtSearch);
}

void OrrelinController::searchNearSelectedEvent() {
    const auto o = selectedOrigin();
    if (!o)
        return;
    Ui::preferencesWindow& search = *preferences_;
    search.westSearchlongitudeTField->setText(QString::number(double(o->longitude())));
    search.southSearchlatitudeTField->setText(QString::number(double(o->latitude())));
    search.minRadiusTField->setText(QStringLiteral("0"));
    search.maxRadiusTField->setText(QStringLiteral("1.0"));
    search.preferencesTabView->setCurrentIndex(1);
    if (QAbstractButton* ring = search.searchTypeControl->button(2))
        ring->setChecked(true);
    showPreferencesWindow();
}

void OrrelinController::loadURL(const QUrl& address) {
    if (!browserWindow_->isVisible())
        showBrowserWindow();
    theWebView_->load(address);
    browser_->webAddressTField->setText(address.toString());
}

bool OrrelinController::loadURLInExternalBrowser(const QUrl& address) {
    return QDesktopServices::openUrl(address);
}

void OrrelinController::setAlertText(const QString& text) {
    alert_->alertTView->setPlainText(text);
}

void OrrelinController::updateWCATWCMessage() {
    loadURL(webLinks::wcatwcPage());
}

void OrrelinController::updatePTWCMessage() {
    loadURL(webLinks::ptwcPage());
}

void OrrelinController::updateBigQuakeMessage() {
    alert_->alertProgressIndicator->show();
    setAlertText(neicQueryController_->BigQuakeMessage());
    alert_->alertProgressIndicator->hide();
}

void OrrelinController::updateUSGSMTensorMessage() {
    alert_->alertProgressIndicator->show();
    setAlertText(neicQueryController_->USGSMTensorMessage());
    alert_->alertProgressIndicator->hide();
}

void OrrelinController::updateSeismicActivitySummary() {
    setAlertText(neicQueryController_->summarizeTheSeismicActivity(now()));
}

void OrrelinController::loadQuorvelWebHome() {
    loadURL(webLinks::webHome());
}

void OrrelinController::loadQuorvelInfoPage(const QString& title) {
    loadURL(webLinks::infoPage(title));
}

void OrrelinController::showTwitterBrowserWindow() {
    if (!updateTwitterTimer_) {
        auto* timer = new QTimer(this);
        timer->setInterval(120 * 1000);
        connect(timer, &QTimer::timeout, this, &OrrelinController::updateTwitterFeed);
        timer->start();
        setUpdateTwitterTimer(timer);
    }
    loadTwitterSearchResults();
    bringToFront(twitterBrowserWindow_.get(), true);
}

void OrrelinController::updateTwitterFeed() {
    loadTwitterSearchResults();
}

QUrl OrrelinController::loadTwitterSearchResults() {
    const Ui::twitterWindow& ui = *twitter_;
    const QString query = webLinks::twitterQuery(
        ui.twitterGeoFilterCheckBox->isChecked(), floatOf(ui.geoFilterLatTField),
        floatOf(ui.geoFilterLonTField), floatOf(ui.geoFilterDistTField));
    const QUrl address = webLinks::twitterSearch(query);
    qCInfo(lcController).noquote() << address.toString(QUrl::FullyEncoded);
    theTwitterWebView_->load(address);
    return address;
}

// --- event-list files

bool OrrelinController::saveEvents(const QString& path) {
    QString error;
    if (!eventListFile::write(visibleSeismicOrigins_, path, &error)) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be saved to %1: %2").arg(path, error);
        main_->statusBar->showMessage(tr("Could not save the events: %1").arg(error), 15000);
        return false;
    }
    main_->statusBar->showMessage(
        tr("Saved %1 events to %2").arg(visibleSeismicOrigins_.size()).arg(path), 8000);
    return true;
}

bool OrrelinController::openEvents(const QString& path) {
    QString error;
    const auto origins = eventListFile::read(path, &error);
    if (!origins) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events cannot be read from %1: %2").arg(path, error);
        main_->statusBar->showMessage(tr("Could not open the events: %1").arg(error), 15000);
        return false;
    }
    stopAutoUpdate();
    showOrigins(*origins, -1);
    return true;
}
