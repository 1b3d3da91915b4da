#include "userDefaults.h"

#include "lenientNumbers.h"

userDefaults& userDefaults::standardUserDefaults() {
    static userDefaults defaults;
    return defaults;
}

void userDefaults::registerDefaults(const QVariantMap& defaults) {
    for (auto it = defaults.constBegin(); it != defaults.constEnd(); ++it)
        registered_.insert(it.key(), it.value());
}

QVariant userDefaults::objectForKey(const QString& key) const {
    const QSettings settings;
    return settings.contains(key) ? settings.value(key) : registered_.value(key);
}

QString userDefaults::stringForKey(const QString& key) const {
    return objectForKey(key).toString();
}

bool userDefaults::boolForKey(const QString& key) const {
    const QVariant v = objectForKey(key);
    if (v.typeId() == QMetaType::QString) {
        // Texts read as settings files write them: "YES", "true" or a non-zero number.
        const QString text = v.toString().trimmed();
        return text.compare(u"yes", Qt::CaseInsensitive) == 0 ||
               text.compare(u"true", Qt::CaseInsensitive) == 0 || leadingInt(text) != 0;
    }
    return v.toBool();
}

float userDefaults::floatForKey(const QString& key) const {
    const QVariant v = objectForKey(key);
    return v.typeId() == QMetaType::QString ? leadingFloat(v.toString()) : v.toFloat();
}

void userDefaults::setObject(const QVariant& value, const QString& key) {
    QSettings().setValue(key, value);
}

void userDefaults::removeObjectForKey(const QString& key) {
    QSettings().remove(key);
}
