#pragma once

#include "alertNotifier.h"

#include <QSystemTrayIcon>

#include <memory>

// Alerts as the tray icon's messages. The icon exists only while alerts are on and the desktop
// has a tray; without a tray the status bar is the only place alerts show, which is logged once.
class trayAlertNotifier : public alertNotifier {
public:
    trayAlertNotifier();
    ~trayAlertNotifier() override;

    void notify(const QString& title, const QString& body) override;
    void setAlertsOn(bool on) override;

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    bool missingTrayLogged_ = false;
};
