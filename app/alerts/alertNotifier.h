#pragma once

#include <QString>

// Where alerts go beyond the status bar: the desktop's notifications in the program, a
// recorder in the tests.
class alertNotifier {
public:
    virtual ~alertNotifier() = default;
    virtual void notify(const QString& title, const QString& body) = 0;
    // Told before each check whether alerts are on, so that a notifier with something on
    // screen (a tray icon) shows it only while they are.
    virtual void setAlertsOn(bool on) { (void)on; }
};
