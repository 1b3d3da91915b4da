#pragma once

#include <QSettings>
#include <QVariantMap>

// Per-user settings with registered defaults: a registered value answers until the user
// stores one of their own, and removing the user's value brings the default back. The
// user's values live in QSettings; registrations last for the run and merge, a later
// registration replacing earlier values of the same keys.
class userDefaults {
public:
    static userDefaults& standardUserDefaults();

    void registerDefaults(const QVariantMap& defaults);
    const QVariantMap& registeredDefaults() const { return registered_; }

    QVariant objectForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    float floatForKey(const QString& key) const;
    void setObject(const QVariant& value, const QString& key);
    void removeObjectForKey(const QString& key);

    // Forgets the registrations (for tests).
    void resetRegistrations() { registered_.clear(); }

private:
    QVariantMap registered_;
};
