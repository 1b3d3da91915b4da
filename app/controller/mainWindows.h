#pragma once

#include "catalogueLoader.h"
#include "originDisplays.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

class OrrelinController;
class QLabel;
class QLineEdit;
class QMainWindow;
class QTableView;
class QVRStemTimeLineView;
class QWidget;
class geoMapView;

namespace Ui {
class mainWindow;
class eventListWindow;
class preferencesWindow;
class alertWindow;
class aboutWindow;
class browserWindow;
class twitterWindow;
} // namespace Ui

// The seven windows made from their forms: where they stand on screen, their shortcuts and
// menu tags, the fields bound to the settings, and what the fields say as plain values.
class mainWindows {
    Q_DECLARE_TR_FUNCTIONS(mainWindows)
public:
    // Makes the windows, none shown yet, where the user last left them.
    mainWindows();
    // Keeps where the user left the windows for the next run.
    ~mainWindows();
    mainWindows(const mainWindows&) = delete;
    mainWindows& operator=(const mainWindows&) = delete;

    Ui::mainWindow& mainInterface() { return *main_; }
    Ui::eventListWindow& eventListInterface() { return *eventList_; }
    Ui::preferencesWindow& preferencesInterface() { return *preferences_; }
    Ui::alertWindow& alertInterface() { return *alert_; }
    Ui::aboutWindow& aboutInterface() { return *about_; }
    Ui::browserWindow& browserInterface() { return *browser_; }
    Ui::twitterWindow& twitterInterface() { return *twitter_; }
    QMainWindow* mainWindow() const { return mainWindow_.get(); }
    QWidget* eventListWindow() const { return eventListWindow_.get(); }
    QWidget* preferencesWindow() const { return preferencesWindow_.get(); }
    QWidget* alertWindow() const { return alertWindow_.get(); }
    QWidget* aboutWindow() const { return aboutWindow_.get(); }
    QWidget* browserWindow() const { return browserWindow_.get(); }
    QWidget* twitterBrowserWindow() const { return twitterBrowserWindow_.get(); }
    geoMapView* topoMapView() const;
    QVRStemTimeLineView* timeLineView() const;
    QLabel* latestEventLabel() const { return latestEventLabel_; }

    // The controls and menus wired to the controller's actions, as the forms name them.
    void connectTo(OrrelinController& controller);

    static void bringToFront(QWidget* window, bool makeKey);
    void showPreferencesWindow();
    void showEventListWindow();
    void showAlertWindow();
    void showBrowserWindow();
    void showAboutPanel();

    // The settings into the fields, and the user's own edits of the fields, colour wells and
    // time unit back into the settings.
    void bindFieldsToDefaults();
    // The event table's columns, by identifier, in their order on screen.
    static QStringList eventTableColumns();
    // One line a row and column widths fixed once, for the columns named by `identifiers`.
    static void layOutEventTable(QTableView* table, const QStringList& identifiers);
    // The auto-update button's title and the monitor indicator, for auto-update on or off.
    void showAutoUpdate(bool running);
    // While `catalogue` loads (null text: nothing loads), the status bar's busy indicator
    // names it, the spinner turns and *Reload* reads *Stop*.
    void showLoading(const QString& catalogue);
    bool showsLoading() const;
    // The selected event's actions are enabled only while a row of `table` is selected.
    void enableEventActionsWithSelection(QTableView* table);
    void showAboutTheData();

    // The float value of a field's text: its leading number ("12 h" is 12), 0 when it has none.
    static float floatOf(const QLineEdit* field);
    originDisplays::displaySettings displaySettings() const;
    catalogueLoader::searchLimits searchLimits() const;
    // The four map limit fields, in degrees.
    void setMapLimits(double south, double north, double west, double east);
    // The search tab set for a ring search of up to 1° around (longitude, latitude).
    void prepareRingSearch(double longitude, double latitude);
    // The file the user picks for opening or saving an event list; empty when they cancel.
    QString askForEventsToOpen();
    QString askWhereToSaveEvents();

private:
    void setMenuTags();
    void connectWindowActions();
    void setShortcuts();
    QList<std::pair<QWidget*, QString>> windowsByName() const;
    void restoreWindowGeometry();
    void saveWindowGeometry() const;

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
    QLabel* latestEventLabel_ = nullptr; // in the status bar
    QLabel* loadingLabel_ = nullptr;     // in the status bar while a load runs
    QWidget* loadingBar_ = nullptr;      // beside it, a busy indicator
};
