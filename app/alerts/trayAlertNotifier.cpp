#include "trayAlertNotifier.h"

#include "alertsLogging.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

trayAlertNotifier::trayAlertNotifier() = default;

trayAlertNotifier::~trayAlertNotifier() = default;

void trayAlertNotifier::setAlertsOn(bool on) {
    if (!on) {
        if (icon_)
            icon_->hide();
        return;
    }
    if (!icon_) {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            if (!missingTrayLogged_)
                qCInfo(lcAlerts) << "No system tray: alerts show in the status bar only.";
            missingTrayLogged_ = true;
            return;
        }
        QIcon picture = QApplication::windowIcon();
        if (picture.isNull())
            picture = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        icon_ = std::make_unique<QSystemTrayIcon>(picture);
        icon_->setToolTip(QStringLiteral("Quorvel"));
    }
    icon_->show();
}

void trayAlertNotifier::notify(const QString& title, const QString& body) {
    if (icon_ && icon_->isVisible())
        icon_->showMessage(title, body, QSystemTrayIcon::Warning);
}
