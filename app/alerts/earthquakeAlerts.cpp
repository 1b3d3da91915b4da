#include "earthquakeAlerts.h"

#include "QVRDateFormatter.h"
#include "alertsLogging.h"
#include "geography.h"

#include <QSettings>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcAlerts, "quorvel.alerts")

namespace {

// Event key → the origin's time (ISO, UTC), which decides when the key is forgotten.
const QString alertedKey = QStringLiteral("alertedEvents");

} // namespace

earthquakeAlerts::earthquakeAlerts(std::function<QDateTime()> clock,
                                   std::function<alertRule()> rule)
    : clock_(std::move(clock))
    , rule_(std::move(rule)) {}

earthquakeAlerts::~earthquakeAlerts() = default;

void earthquakeAlerts::setNotifier(std::unique_ptr<alertNotifier> notifier) {
    notifier_ = std::move(notifier);
}

QString earthquakeAlerts::eventKey(const seismicOrigin& origin) {
    if (!origin.eventID().trimmed().isEmpty())
        return origin.eventID().trimmed();
    return origin.originDateTime().toUTC().toString(Qt::ISODateWithMs) +
           QString::asprintf("@%.2f,%.2f", double(origin.latitude()), double(origin.longitude()));
}

earthquakeAlerts::alert earthquakeAlerts::alertFor(const seismicOrigin& origin,
                                                   std::optional<double> distanceKm) {
    static const QVRDateFormatter utcTime(QStringLiteral("yyyy-MM-dd HH:mm:ss"), QTimeZone::utc());
    QString region = origin.shownRegionString();
    if (region.isEmpty())
        region = geography::readoutAt(origin.longitude(), origin.latitude()).region;
    alert a;
    a.eventKey = eventKey(origin);
    a.title = QStringLiteral("M %1 – %2")
                  .arg(QString::asprintf("%.1f", double(origin.magnitude())), region);
    a.body = utcTime.stringFromDate(origin.originDateTime()) + QStringLiteral(" UTC");
    if (distanceKm)
        a.body += tr(", %1 km from home").arg(std::llround(*distanceKm));
    return a;
}

QString earthquakeAlerts::statusText(const QList<alert>& alerts) {
    if (alerts.isEmpty())
        return {};
    // The alerts come oldest first; the line names the newest.
    const QString newest = alerts.last().title + QStringLiteral(", ") + alerts.last().body;
    if (alerts.size() == 1)
        return tr("Alert: %1").arg(newest);
    return tr("Alert: %1 (and %2 more)").arg(newest, QString::number(alerts.size() - 1));
}

void earthquakeAlerts::forgetOldIds(QVariantMap& alerted) const {
    const QDateTime horizon = now().addDays(-rememberedDays);
    for (auto it = alerted.begin(); it != alerted.end();) {
        const QDateTime at = QDateTime::fromString(it.value().toString(), Qt::ISODateWithMs);
        if (!at.isValid() || at < horizon)
            it = alerted.erase(it);
        else
            ++it;
    }
    if (alerted.size() <= rememberedLimit)
        return;
    QList<QPair<QString, QString>> byTime; // ISO times sort as the times do
    for (auto it = alerted.cbegin(); it != alerted.cend(); ++it)
        byTime.append({it.value().toString(), it.key()});
    std::sort(byTime.begin(), byTime.end());
    for (qsizetype i = 0; i < byTime.size() - rememberedLimit; ++i)
        alerted.remove(byTime[i].second);
}

QList<earthquakeAlerts::alert> earthquakeAlerts::check(const originList& loaded) {
    const alertRule rule = rule_();
    if (notifier_)
        notifier_->setAlertsOn(rule.enabled);
    if (!rule.enabled) {
        // Switching alerts on again starts afresh, as a start-up does.
        oldestNews_ = QDateTime();
        return {};
    }
    const QDateTime current = now();
    if (!oldestNews_.isValid())
        oldestNews_ = current.addSecs(-startUpWindowSeconds);
    const QDateTime oldest = std::max(oldestNews_, current.addDays(-rememberedDays));

    QSettings settings;
    QVariantMap alerted = settings.value(alertedKey).toMap();
    // Oldest first, so that notifications come in the order the events happened, whatever
    // order the catalogue gave.
    originList oldestFirst = loaded;
    std::stable_sort(oldestFirst.begin(), oldestFirst.end(), [](const auto& a, const auto& b) {
        return a->originDateTime() < b->originDateTime();
    });
    QList<alert> raised;
    for (const auto& o : oldestFirst) {
        const seismicOrigin& origin = *o;
        const QDateTime at = origin.originDateTime();
        if (!at.isValid() || at < oldest || !rule.passes(origin))
            continue;
        const QString key = eventKey(origin);
        if (alerted.contains(key))
            continue;
        alerted.insert(key, at.toUTC().toString(Qt::ISODateWithMs));
        raised.append(alertFor(origin, rule.distanceFromHomeKm(origin)));
    }
    forgetOldIds(alerted);
    settings.setValue(alertedKey, alerted);
    for (const alert& a : raised) {
        qCInfo(lcAlerts).noquote() << a.title << "·" << a.body;
        if (notifier_)
            notifier_->notify(a.title, a.body);
    }
    return raised;
}
