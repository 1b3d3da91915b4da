#pragma once

#include "alertNotifier.h"
#include "alertRule.h"
#include "seismicOrigin.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Raises one notification for each origin of a load that passes the alert rule and was not
// alerted before. The event ids already alerted are kept in the settings for the next runs;
// each is forgotten once its origin is older than `rememberedDays`, and origins that old never
// raise an alert, so forgetting cannot bring one back.
//
// Only news raises alerts: the first check after start-up (or after alerts were switched on)
// takes origins of the last hour, and later checks take nothing older than that, so that
// starting the program or loading an older catalogue does not replay past events.
class earthquakeAlerts {
    Q_DECLARE_TR_FUNCTIONS(earthquakeAlerts)
public:
    static constexpr int rememberedDays = 30;
    static constexpr qint64 startUpWindowSeconds = 3600;
    // More ids than this (a flood of small events near home) keeps only the newest origins'.
    static constexpr int rememberedLimit = 2000;

    struct alert {
        QString eventKey;
        QString title; // "M 6.4 – NEAR EAST COAST OF HONSHU, JAPAN"
        QString body;  // the UTC time and, with a home place, the distance from it
    };

    // `clock` is "now"; `rule` is asked before each check (the settings by default).
    explicit earthquakeAlerts(std::function<QDateTime()> clock,
                              std::function<alertRule()> rule = &alertRule::fromDefaults);
    ~earthquakeAlerts();
    earthquakeAlerts(const earthquakeAlerts&) = delete;
    earthquakeAlerts& operator=(const earthquakeAlerts&) = delete;

    alertNotifier* notifier() const { return notifier_.get(); }
    void setNotifier(std::unique_ptr<alertNotifier> notifier);

    // Notifies, and remembers, each new passing origin of `loaded`; answers those alerts,
    // oldest first.
    QList<alert> check(const originList& loaded);

    // The alert an origin raises, `distanceKm` away from home (none: no home place).
    static alert alertFor(const seismicOrigin& origin, std::optional<double> distanceKm);
    // One status-bar line for the alerts of one check, naming the newest; null text for none.
    static QString statusText(const QList<alert>& alerts);
    // What identifies an origin across loads and runs: its event id, or for a catalogue that
    // gives none, its time and place.
    static QString eventKey(const seismicOrigin& origin);

private:
    QDateTime now() const { return clock_(); }
    void forgetOldIds(QVariantMap& alerted) const;

    std::function<QDateTime()> clock_;
    std::function<alertRule()> rule_;
    std::unique_ptr<alertNotifier> notifier_;
    QDateTime oldestNews_; // invalid until the first check with alerts on
};
