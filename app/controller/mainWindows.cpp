#include "mainWindows.h"

#include "OrrelinController.h"
#include "colorWell.h"
#include "lenientNumbers.h"
#include "serviceEndpoints.h"
#include "userDefaults.h"
#include "windowPlace.h"

#include "ui_aboutWindow.h"
#include "ui_alertWindow.h"
#include "ui_browserWindow.h"
#include "ui_eventListWindow.h"
#include "ui_mainWindow.h"
#include "ui_preferencesWindow.h"
#include "ui_twitterWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QSettings>
#include <QTableView>
#include <QUrl>

namespace {

// The FDSN service chooser and its address field show, and keep, the settings' choice.
void bindFdsnServiceToDefaults(Ui::preferencesWindow& search) {
    QComboBox* chooser = search.fdsnServicePopUp;
    QLineEdit* custom = search.fdsnCustomURLTField;
    const userDefaults& defaults = userDefaults::standardUserDefaults();
    chooser->setCurrentIndex(
        std::max(0, chooser->findData(defaults.stringForKey(QStringLiteral("fdsnService")))));
    custom->setText(defaults.stringForKey(QStringLiteral("fdsnCustomURL")));
    auto enableCustom = [chooser, custom] {
        custom->setEnabled(chooser->currentData().toString() ==
                           QLatin1StringView(serviceEndpoints::customFdsnEventService));
    };
    enableCustom();
    QObject::connect(chooser, &QComboBox::activated, chooser, [chooser, enableCustom] {
        userDefaults::standardUserDefaults().setObject(chooser->currentData().toString(),
                                                       QStringLiteral("fdsnService"));
        enableCustom();
    });
    QObject::connect(custom, &QLineEdit::textEdited, custom, [](const QString& text) {
        userDefaults::standardUserDefaults().setObject(text, QStringLiteral("fdsnCustomURL"));
    });
}

// A service's name, or the address typed for Custom.
QString fdsnServiceChoice(const Ui::preferencesWindow& search) {
    const QString name = search.fdsnServicePopUp->currentData().toString();
    if (name == QLatin1StringView(serviceEndpoints::customFdsnEventService)) {
        // An empty field is a choice too, which the search refuses, not "keep the last one".
        const QString typed = search.fdsnCustomURLTField->text().trimmed();
        return typed.isNull() ? QStringLiteral("") : typed;
    }
    return name;
}

} // namespace

mainWindows::mainWindows()
    : main_(std::make_unique<Ui::mainWindow>())
    , eventList_(std::make_unique<Ui::eventListWindow>())
    , preferences_(std::make_unique<Ui::preferencesWindow>())
    , alert_(std::make_unique<Ui::alertWindow>())
    , about_(std::make_unique<Ui::aboutWindow>())
    , browser_(std::make_unique<Ui::browserWindow>())
    , twitter_(std::make_unique<Ui::twitterWindow>())
    , mainWindow_(std::make_unique<QMainWindow>())
    , eventListWindow_(std::make_unique<QWidget>())
    , preferencesWindow_(std::make_unique<QWidget>())
    , alertWindow_(std::make_unique<QWidget>())
    , aboutWindow_(std::make_unique<QWidget>())
    , browserWindow_(std::make_unique<QWidget>())
    , twitterBrowserWindow_(std::make_unique<QWidget>()) {
    main_->setupUi(mainWindow_.get());
    eventList_->setupUi(eventListWindow_.get());
    preferences_->setupUi(preferencesWindow_.get());
    alert_->setupUi(alertWindow_.get());
    about_->setupUi(aboutWindow_.get());
    browser_->setupUi(browserWindow_.get());
    twitter_->setupUi(twitterBrowserWindow_.get());
    // Closing the main window ends the program, whatever else is open.
    for (QWidget* window : {eventListWindow_.get(), preferencesWindow_.get(), alertWindow_.get(),
                            aboutWindow_.get(), browserWindow_.get(), twitterBrowserWindow_.get()})
        window->setAttribute(Qt::WA_QuitOnClose, false);
    main_->networkProgressIndicator->hide();
    alert_->alertProgressIndicator->hide();
    latestEventLabel_ = new QLabel(mainWindow_.get());
    latestEventLabel_->setObjectName(QStringLiteral("latestEventLabel"));
    main_->statusBar->addPermanentWidget(latestEventLabel_);
    auto* busy = new QProgressBar(mainWindow_.get());
    busy->setObjectName(QStringLiteral("loadingBar"));
    busy->setRange(0, 0); // turns without an end
    busy->setTextVisible(false);
    busy->setMaximumSize(80, 12);
    loadingBar_ = busy;
    loadingLabel_ = new QLabel(mainWindow_.get());
    loadingLabel_->setObjectName(QStringLiteral("loadingLabel"));
    main_->statusBar->insertPermanentWidget(0, loadingBar_);
    main_->statusBar->insertPermanentWidget(0, loadingLabel_);
    // The status bar's texts may be cut rather than widen the window, so that neither a load
    // nor a new latest event changes the window's least size.
    for (QLabel* label : {latestEventLabel_, loadingLabel_})
        label->setMinimumWidth(1);
    for (QWidget* busyWidget : {loadingBar_, static_cast<QWidget*>(loadingLabel_),
                                static_cast<QWidget*>(main_->networkProgressIndicator)}) {
        QSizePolicy policy = busyWidget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        busyWidget->setSizePolicy(policy);
    }
    // Likewise *Reload* is as wide as *Stop*, whichever it reads.
    QPushButton* reload = main_->neicButton;
    int widest = 0;
    for (const QString& title : {tr("Reload"), tr("Stop")}) {
        reload->setText(title);
        widest = std::max(widest, reload->sizeHint().width());
    }
    reload->setMinimumWidth(widest);
    showLoading(QString());

    setMenuTags();
    connectWindowActions();
    setShortcuts();
    restoreWindowGeometry();
}

mainWindows::~mainWindows() {
    saveWindowGeometry();
}

geoMapView* mainWindows::topoMapView() const {
    return main_->topoMapView;
}

QVRStemTimeLineView* mainWindows::timeLineView() const {
    return main_->timeLineView;
}

void mainWindows::setMenuTags() {
    Ui::mainWindow& ui = *main_;
    const int catalogueTags[] = {catalogueLoader::usgsFeedTag, catalogueLoader::ingvTag,
                                 catalogueLoader::emscTag, catalogueLoader::pdeTag,
                                 catalogueLoader::fdsnTag};
    for (int i = 0; i < ui.dataSourcePopup->count() && i < 5; ++i)
        ui.dataSourcePopup->setItemData(i, catalogueTags[i]);
    ui.dataSourcePopup->addItem(tr("EMSC, past week (FDSN)"), catalogueLoader::emscFdsnTag);
    ui.dataSourcePopup->addItem(tr("INGV, Italy (FDSN)"), catalogueLoader::ingvFdsnTag);
    // Each service shows the address it stands for, so an override in force can be seen.
    for (const serviceEndpoints::fdsnEventService& service : serviceEndpoints::fdsnEventServices())
        preferences_->fdsnServicePopUp->addItem(
            QStringLiteral("%1 (%2)").arg(QLatin1StringView(service.title),
                                          QUrl(serviceEndpoints::baseURL(service.which)).host()),
            QString::fromLatin1(service.name));
    preferences_->fdsnServicePopUp->addItem(
        tr("Custom"), QString::fromLatin1(serviceEndpoints::customFdsnEventService));
    for (int i = 0; i < ui.mapBoundsPopUp->count(); ++i)
        ui.mapBoundsPopUp->setItemData(i, i + 1);
    const int pictureTags[] = {1, 2, 3, 4, 10};
    for (int i = 0; i < ui.mapImagePopUp->count() && i < 5; ++i)
        ui.mapImagePopUp->setItemData(i, pictureTags[i]);
    for (int id = 0; id < 3; ++id)
        preferences_->searchTypeControl->setId(preferencesWindow_->findChild<QAbstractButton*>(
                                                   QStringLiteral("searchType%1Button").arg(id)),
                                               id);
}

void mainWindows::connectWindowActions() {
    Ui::mainWindow& ui = *main_;
    QMainWindow* context = mainWindow_.get();
    QObject::connect(ui.quitAction, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    QObject::connect(ui.preferencesAction, &QAction::triggered, context,
                     [this] { showPreferencesWindow(); });
    QObject::connect(ui.eventListAction, &QAction::triggered, context,
                     [this] { showEventListWindow(); });
    QObject::connect(ui.alertWindowAction, &QAction::triggered, context,
                     [this] { showAlertWindow(); });
    QObject::connect(ui.browserAction, &QAction::triggered, context,
                     [this] { showBrowserWindow(); });
    QObject::connect(ui.aboutAction, &QAction::triggered, context, [this] { showAboutPanel(); });
    // The selected event's actions on a right click in the event list too.
    eventList_->eventListTblView->setContextMenuPolicy(Qt::ActionsContextMenu);
    eventList_->eventListTblView->addActions({ui.eventPageAction, ui.eventMapAction,
                                              ui.newsSearchAction, ui.cmtSearchAction,
                                              ui.searchNearAction, ui.eventSeismogramsAction});
}

void mainWindows::showLoading(const QString& catalogue) {
    const bool loading = !catalogue.isNull();
    loadingLabel_->setText(loading ? tr("Loading the %1…").arg(catalogue) : QString());
    loadingLabel_->setVisible(loading);
    loadingBar_->setVisible(loading);
    main_->networkProgressIndicator->setVisible(loading);
    main_->neicButton->setText(loading ? tr("Stop") : tr("Reload"));
    main_->neicButton->setToolTip(loading ? tr("Stops loading the %1").arg(catalogue)
                                          : tr("Loads the chosen catalogue again"));
}

bool mainWindows::showsLoading() const {
    return !loadingLabel_->isHidden();
}

void mainWindows::enableEventActionsWithSelection(QTableView* table) {
    Ui::mainWindow& ui = *main_;
    const QList<QAction*> actions = {ui.eventPageAction,  ui.eventMapAction,
                                     ui.newsSearchAction, ui.cmtSearchAction,
                                     ui.searchNearAction, ui.eventSeismogramsAction};
    auto follow = [table, actions] {
        const bool selected = table->selectionModel() && table->selectionModel()->hasSelection();
        for (QAction* action : actions)
            action->setEnabled(selected);
    };
    // A new list may take the selection away without a word from the selection model.
    QObject::connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, table,
                     follow);
    QObject::connect(table->model(), &QAbstractItemModel::modelReset, table, follow);
    follow();
}

// Every control and menu item that asks the controller for something; the windows' own
// menu is wired above, and the browsers wire their own controls.
void mainWindows::connectTo(OrrelinController& c) {
    Ui::mainWindow& ui = *main_;
    Ui::preferencesWindow& search = *preferences_;
    using oc = OrrelinController;
    auto loadFrom = [&c](QObject* sender) { return [&c, sender] { c.loadEQInfo(sender); }; };
    QObject::connect(ui.dataSourcePopup, &QComboBox::activated, &c, loadFrom(ui.dataSourcePopup));
    // *Reload* reads *Stop* while a load runs.
    QObject::connect(ui.neicButton, &QPushButton::clicked, &c, [this, &c, &ui] {
        if (showsLoading())
            c.stopLoading();
        else
            c.loadEQInfo(ui.dataSourcePopup);
    });
    QObject::connect(ui.refreshAction, &QAction::triggered, &c, loadFrom(ui.dataSourcePopup));
    QObject::connect(search.pdeSearchButton, &QPushButton::clicked, &c,
                     loadFrom(search.pdeSearchButton));
    QObject::connect(search.fdsnSearchButton, &QPushButton::clicked, &c,
                     loadFrom(search.fdsnSearchButton));
    QObject::connect(ui.usgsTextListAction, &QAction::triggered, &c, &oc::loadNEICInfo);
    QObject::connect(ui.autoUpdateButton, &QPushButton::clicked, &c, &oc::toggleAutoUpdate);
    QObject::connect(ui.autoUpdateAction, &QAction::triggered, &c, &oc::toggleAutoUpdate);

    auto redraw = [&c] {
        c.createMapPoints();
        c.updateDisplays();
    };
    QObject::connect(ui.mapBoundsPopUp, &QComboBox::activated, &c, [&c, &ui](int i) {
        c.setMapBoundsFromMenu(ui.mapBoundsPopUp->itemData(i).toInt());
    });
    QObject::connect(ui.mapImagePopUp, &QComboBox::activated, &c,
                     [&c, &ui](int i) { c.changeMapImage(ui.mapImagePopUp->itemData(i).toInt()); });
    QObject::connect(ui.timeUnitsPopUp, &QComboBox::activated, &c, redraw);
    QObject::connect(ui.showImageButton, &QCheckBox::toggled, &c, &oc::hideMap);
    QObject::connect(ui.showPlatesButton, &QCheckBox::toggled, &c, &oc::hidePlates);
    QObject::connect(ui.showTimeStampButton, &QCheckBox::toggled, &c, &oc::showTimeStamp);
    QObject::connect(ui.trackMouseButton, &QCheckBox::toggled, &c,
                     &oc::toggleMousePositionTracking);
    QObject::connect(ui.updateMapButton, &QPushButton::clicked, &c, redraw);
    QObject::connect(ui.showLegendButton, &QCheckBox::toggled, &c, &oc::updateDisplays);
    QObject::connect(ui.colorByPopUp, &QComboBox::activated, &c, &oc::updateColors);
    for (colorWell* well : {ui.recentColorWell, ui.olderColorWell, ui.oldestColorWell})
        QObject::connect(well, &colorWell::colorChanged, &c, &oc::updateColors);
    QObject::connect(ui.plateColorWell, &colorWell::colorChanged, &c, &oc::updateDisplays);
    // A changed display field shows at once.
    for (QLineEdit* field :
         {ui.mapWestTField, ui.mapEastTField, ui.mapSouthTField, ui.mapNorthTField, ui.minMagTField,
          ui.maxMagTField, ui.symbolScaleTField, ui.recentTField, ui.olderTField})
        QObject::connect(field, &QLineEdit::returnPressed, &c, redraw);

    QObject::connect(ui.copyEventsAction, &QAction::triggered, &c, &oc::copyEventsToPasteBoard);
    QObject::connect(ui.openEventsAction, &QAction::triggered, &c, [this, &c] {
        if (const QString path = askForEventsToOpen(); !path.isEmpty())
            c.openEvents(path);
    });
    QObject::connect(ui.saveEventsAction, &QAction::triggered, &c, [this, &c] {
        if (const QString path = askWhereToSaveEvents(); !path.isEmpty())
            c.saveEvents(path);
    });
    QObject::connect(ui.exportEventsAction, &QAction::triggered, &c, &oc::exportEvents);

    QObject::connect(ui.eventPageAction, &QAction::triggered, &c, &oc::loadNEICEventPage);
    QObject::connect(ui.eventMapAction, &QAction::triggered, &c, &oc::openGoogleMaps);
    QObject::connect(ui.newsSearchAction, &QAction::triggered, &c, &oc::googleNewsSearch);
    QObject::connect(ui.cmtSearchAction, &QAction::triggered, &c, &oc::cmtSearch);
    QObject::connect(ui.searchNearAction, &QAction::triggered, &c, &oc::searchNearSelectedEvent);
    QObject::connect(ui.eventSeismogramsAction, &QAction::triggered, &c,
                     &oc::showSeismogramsOfSelectedEvent);
    QObject::connect(eventList_->eventListTblView, &QTableView::doubleClicked, &c,
                     &oc::loadNEICEventPage);

    // Bulletins shown as text come up in their window.
    auto inAlertWindow = [this, &c](void (OrrelinController::*action)()) {
        return [this, &c, action] {
            (c.*action)();
            showAlertWindow();
        };
    };
    QObject::connect(ui.summaryAction, &QAction::triggered, &c,
                     inAlertWindow(&oc::updateSeismicActivitySummary));
    QObject::connect(ui.bigQuakeAction, &QAction::triggered, &c,
                     inAlertWindow(&oc::updateBigQuakeMessage));
    QObject::connect(ui.momentTensorAction, &QAction::triggered, &c,
                     inAlertWindow(&oc::updateUSGSMTensorMessage));
    QObject::connect(ui.wcatwcAction, &QAction::triggered, &c, &oc::updateWCATWCMessage);
    QObject::connect(ui.ptwcAction, &QAction::triggered, &c, &oc::updatePTWCMessage);
    QObject::connect(ui.webHomeAction, &QAction::triggered, &c, &oc::loadQuorvelWebHome);
    for (QAction* info : {ui.magnitudeInfoAction, ui.intensityInfoAction, ui.momentInfoAction})
        QObject::connect(info, &QAction::triggered, &c,
                         [&c, info] { c.loadQuorvelInfoPage(info->text()); });
    QObject::connect(ui.twitterAction, &QAction::triggered, &c, &oc::showTwitterBrowserWindow);
    QObject::connect(ui.statisticsAction, &QAction::triggered, &c, &oc::showStatisticsWindow);
    QObject::connect(ui.liveSeismogramsAction, &QAction::triggered, &c,
                     &oc::showLiveSeismogramsWindow);
    QObject::connect(ui.seismogramsAction, &QAction::triggered, &c, &oc::showSeismogramsWindow);
    QObject::connect(ui.openSeismogramsAction, &QAction::triggered, &c, &oc::openSeismograms);
}

void mainWindows::setShortcuts() {
    Ui::mainWindow& ui = *main_;
    ui.refreshAction->setShortcut(QKeySequence::Refresh);
    ui.copyEventsAction->setShortcut(QKeySequence::Copy);
    ui.preferencesAction->setShortcut(QKeySequence::Preferences);
    if (ui.preferencesAction->shortcut().isEmpty())
        ui.preferencesAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    ui.quitAction->setShortcut(QKeySequence::Quit);
    ui.saveEventsAction->setShortcut(QKeySequence::Save);
    ui.openEventsAction->setShortcut(QKeySequence::Open);
    ui.eventListAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    ui.openSeismogramsAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+O")));
}

void mainWindows::bindFieldsToDefaults() {
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
        {preferences_->alertMinimumMagnitudeTField, "alertMinimumMagnitude"},
        {preferences_->alertHomeLatitudeTField, "alertHomeLatitude"},
        {preferences_->alertHomeLongitudeTField, "alertHomeLongitude"},
        {preferences_->alertHomeRadiusTField, "alertHomeRadiusKm"},
        {preferences_->alertHomeMinimumMagnitudeTField, "alertHomeMinimumMagnitude"},
    };
    for (const auto& [field, key] : bindings) {
        const QString k = QString::fromLatin1(key);
        field->setText(defaults.stringForKey(k));
        // Only the user's own edits are kept; texts the program writes are not.
        QObject::connect(field, &QLineEdit::textEdited, field, [k](const QString& text) {
            userDefaults::standardUserDefaults().setObject(text, k);
        });
    }
    main_->timeUnitsPopUp->setCurrentIndex(
        std::clamp(defaults.objectForKey(QStringLiteral("timeUnitsIndex")).toInt(), 0, 4));
    colorWell* wells[] = {main_->recentColorWell, main_->olderColorWell, main_->oldestColorWell};
    for (std::size_t i = 0; i < std::size(wells); ++i)
        wells[i]->setColor(QColor::fromString(
            defaults.stringForKey(QString::fromLatin1(originDisplays::ageColorKeys[i]))));
    const QColor plate = QColor::fromString(defaults.stringForKey(QStringLiteral("plateColor")));
    main_->plateColorWell->setColor(plate.isValid() ? plate : QColor(Qt::white));
    for (std::size_t i = 0; i < std::size(wells); ++i) {
        const QString key = QString::fromLatin1(originDisplays::ageColorKeys[i]);
        QObject::connect(wells[i], &colorWell::colorChanged, wells[i], [key](const QColor& c) {
            userDefaults::standardUserDefaults().setObject(c.name(QColor::HexArgb), key);
        });
    }
    QObject::connect(main_->plateColorWell, &colorWell::colorChanged, main_->plateColorWell,
                     [](const QColor& c) {
                         userDefaults::standardUserDefaults().setObject(
                             c.name(QColor::HexArgb), QStringLiteral("plateColor"));
                     });
    QObject::connect(
        main_->timeUnitsPopUp, &QComboBox::activated, main_->timeUnitsPopUp, [](int index) {
            userDefaults::standardUserDefaults().setObject(index, QStringLiteral("timeUnitsIndex"));
        });
    main_->showLegendButton->setChecked(defaults.boolForKey(QStringLiteral("showMapLegend")));
    QObject::connect(
        main_->showLegendButton, &QCheckBox::toggled, main_->showLegendButton, [](bool on) {
            userDefaults::standardUserDefaults().setObject(on, QStringLiteral("showMapLegend"));
        });
    main_->colorByPopUp->setCurrentIndex(defaults.boolForKey(QStringLiteral("colorByDepth")) ? 1
                                                                                             : 0);
    QObject::connect(main_->colorByPopUp, &QComboBox::activated, main_->colorByPopUp,
                     [](int index) {
                         userDefaults::standardUserDefaults().setObject(
                             index == 1, QStringLiteral("colorByDepth"));
                     });
    bindFdsnServiceToDefaults(*preferences_);
    preferences_->autoUpdateToggleCheckBox->setChecked(
        defaults.boolForKey(QStringLiteral("autoUpdateToggle")));
    QObject::connect(preferences_->autoUpdateToggleCheckBox, &QCheckBox::toggled,
                     preferences_->autoUpdateToggleCheckBox, [](bool on) {
                         userDefaults::standardUserDefaults().setObject(
                             on, QStringLiteral("autoUpdateToggle"));
                     });
    preferences_->alertsEnabledCheckBox->setChecked(
        defaults.boolForKey(QStringLiteral("alertsEnabled")));
    QObject::connect(preferences_->alertsEnabledCheckBox, &QCheckBox::toggled,
                     preferences_->alertsEnabledCheckBox, [](bool on) {
                         userDefaults::standardUserDefaults().setObject(
                             on, QStringLiteral("alertsEnabled"));
                     });
}

QStringList mainWindows::eventTableColumns() {
    return {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("6"), QStringLiteral("9"),
            QStringLiteral("3"), QStringLiteral("4"),  QStringLiteral("5"), QStringLiteral("2"),
            QStringLiteral("7"), QStringLiteral("8")};
}

void mainWindows::layOutEventTable(QTableView* table, const QStringList& identifiers) {
    // One line a row, and widths fixed once: measuring ten thousand rows on every load would
    // cost more than the load.
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    const QHash<QString, int> widthInCharacters = {
        {QStringLiteral("1"), 27}, {QStringLiteral("10"), 12}, {QStringLiteral("6"), 9},
        {QStringLiteral("9"), 34}, {QStringLiteral("3"), 9},   {QStringLiteral("4"), 10},
        {QStringLiteral("5"), 10}, {QStringLiteral("2"), 9},   {QStringLiteral("7"), 11},
        {QStringLiteral("8"), 14}};
    const int character = table->fontMetrics().horizontalAdvance(u'0');
    for (int i = 0; i < identifiers.size(); ++i)
        table->setColumnWidth(i, widthInCharacters.value(identifiers.at(i), 10) * character);
}

void mainWindows::showAutoUpdate(bool running) {
    main_->autoUpdateButton->setText(running ? QStringLiteral("Stop") : QStringLiteral("Start"));
    main_->monitorIndicatorTField->setVisible(running);
}

void mainWindows::showAboutTheData() {
    QFile about(QStringLiteral(":/quorvel/aboutTheData.html"));
    if (about.open(QIODevice::ReadOnly))
        about_->aboutTheDataTextView->setHtml(QString::fromUtf8(about.readAll()));
}

QList<std::pair<QWidget*, QString>> mainWindows::windowsByName() const {
    return {{mainWindow_.get(), QStringLiteral("main")},
            {eventListWindow_.get(), QStringLiteral("eventList")},
            {preferencesWindow_.get(), QStringLiteral("preferences")},
            {alertWindow_.get(), QStringLiteral("alert")},
            {aboutWindow_.get(), QStringLiteral("about")},
            {browserWindow_.get(), QStringLiteral("browser")},
            {twitterBrowserWindow_.get(), QStringLiteral("twitter")}};
}

void mainWindows::restoreWindowGeometry() {
    // A first run opens the main window on most of the screen, where the map is worth
    // reading; the other windows open at their forms' sizes.
    for (const auto& [window, name] : windowsByName())
        windowPlace::restore(*window, QStringLiteral("windows/%1/geometry").arg(name),
                             window == mainWindow_.get() ? 0.8 : 0.0);
    const QSettings settings;
    const QByteArray splitter =
        settings.value(QStringLiteral("windows/main/splitter")).toByteArray();
    if (splitter.isEmpty() || !main_->displaySplitter->restoreState(splitter))
        main_->displaySplitter->setSizes({540, 200}); // the map over a time line a third its height
}

void mainWindows::saveWindowGeometry() const {
    for (const auto& [window, name] : windowsByName())
        windowPlace::keep(*window, QStringLiteral("windows/%1/geometry").arg(name));
    QSettings settings;
    if (mainWindow_->testAttribute(Qt::WA_WState_ExplicitShowHide))
        settings.setValue(QStringLiteral("windows/main/splitter"),
                          main_->displaySplitter->saveState());
}

void mainWindows::bringToFront(QWidget* window, bool makeKey) {
    window->show();
    window->raise();
    if (makeKey)
        window->activateWindow();
}

void mainWindows::showPreferencesWindow() {
    bringToFront(preferencesWindow_.get(), false);
}

void mainWindows::showEventListWindow() {
    bringToFront(eventListWindow_.get(), false);
}

void mainWindows::showAlertWindow() {
    bringToFront(alertWindow_.get(), false);
}

void mainWindows::showBrowserWindow() {
    bringToFront(browserWindow_.get(), true);
}

void mainWindows::showAboutPanel() {
    bringToFront(aboutWindow_.get(), true);
}

float mainWindows::floatOf(const QLineEdit* field) {
    return leadingFloat(field->text());
}

originDisplays::displaySettings mainWindows::displaySettings() const {
    const Ui::mainWindow& ui = *main_;
    return {.mapSouth = floatOf(ui.mapSouthTField),
            .mapNorth = floatOf(ui.mapNorthTField),
            .mapWest = floatOf(ui.mapWestTField),
            .mapEast = floatOf(ui.mapEastTField),
            .symbolScale = floatOf(ui.symbolScaleTField),
            .recentCutoff = floatOf(ui.recentTField),
            .olderCutoff = floatOf(ui.olderTField),
            .timeUnitIndex = ui.timeUnitsPopUp->currentIndex(),
            .minMagnitude = floatOf(ui.minMagTField),
            .maxMagnitude = floatOf(ui.maxMagTField),
            .plateColor = ui.plateColorWell->color(),
            .ageColors = {ui.recentColorWell->color(), ui.olderColorWell->color(),
                          ui.oldestColorWell->color()},
            .showLegend = ui.showLegendButton->isChecked(),
            .colorByDepth = ui.colorByPopUp->currentIndex() == 1};
}

catalogueLoader::searchLimits mainWindows::searchLimits() const {
    const Ui::preferencesWindow& search = *preferences_;
    return {.shownMinMagnitude = floatOf(main_->minMagTField),
            .shownMaxMagnitude = floatOf(main_->maxMagTField),
            .minMagnitude = floatOf(search.minSearchMagTField),
            .maxMagnitude = floatOf(search.maxSearchMagTField),
            .minDepth = floatOf(search.minSearchDepthTField),
            .maxDepth = floatOf(search.maxSearchDepthTField),
            .west = floatOf(search.westSearchlongitudeTField),
            .east = floatOf(search.eastSearchlongitudeTField),
            .south = floatOf(search.southSearchlatitudeTField),
            .north = floatOf(search.northSearchlatitudeTField),
            .minRadius = floatOf(search.minRadiusTField),
            .maxRadius = floatOf(search.maxRadiusTField),
            .startDay = search.searchStartDateTField->text(),
            .endDay = search.searchEndDateTField->text(),
            .searchType = search.searchTypeControl->checkedId(),
            .fdsnService = fdsnServiceChoice(search)};
}

void mainWindows::setMapLimits(double south, double north, double west, double east) {
    main_->mapSouthTField->setText(QString::number(south));
    main_->mapNorthTField->setText(QString::number(north));
    main_->mapWestTField->setText(QString::number(west));
    main_->mapEastTField->setText(QString::number(east));
}

void mainWindows::prepareRingSearch(double longitude, double latitude) {
    Ui::preferencesWindow& search = *preferences_;
    search.westSearchlongitudeTField->setText(QString::number(longitude));
    search.southSearchlatitudeTField->setText(QString::number(latitude));
    search.minRadiusTField->setText(QStringLiteral("0"));
    search.maxRadiusTField->setText(QStringLiteral("1.0"));
    search.preferencesTabView->setCurrentIndex(1);
    if (QAbstractButton* ring = search.searchTypeControl->button(2))
        ring->setChecked(true);
}

QString mainWindows::askForEventsToOpen() {
    return QFileDialog::getOpenFileName(
        mainWindow_.get(), tr("Open Events"),
        userDefaults::standardUserDefaults().stringForKey(QStringLiteral("wdirString")),
        tr("Quorvel event lists (*.quorvel);;All files (*)"));
}

QString mainWindows::askWhereToSaveEvents() {
    QString path = QFileDialog::getSaveFileName(
        mainWindow_.get(), tr("Save Events"),
        userDefaults::standardUserDefaults().stringForKey(QStringLiteral("wdirString")),
        tr("Quorvel event lists (*.quorvel)"));
    if (!path.isEmpty() && !path.endsWith(QLatin1StringView(".quorvel")))
        path += QStringLiteral(".quorvel");
    return path;
}
