#include "applicationDefaults.h"

#include "propertyList.h"
#include "quorvelLogging.h"
#include "userDefaults.h"

#include <QDir>
#include <QFile>

namespace applicationDefaults {

QVariantMap fixedDefaults() {
    return {{QStringLiteral("wdirString"),
             QDir(QDir::homePath()).filePath(QStringLiteral("Documents"))},
            {QStringLiteral("updateIntervalSeconds"), QStringLiteral("300")},
            {QStringLiteral("west"), QStringLiteral("0")},
            {QStringLiteral("east"), QStringLiteral("360")},
            {QStringLiteral("south"), QStringLiteral("-90")},
            {QStringLiteral("north"), QStringLiteral("90")},
            {QStringLiteral("redTimeRange"), QStringLiteral("12")},
            {QStringLiteral("orangeTimeRange"), QStringLiteral("24")},
            {QStringLiteral("minMagnitude"), QStringLiteral("3.0")},
            {QStringLiteral("maxMagnitude"), QStringLiteral("12.0")},
            {QStringLiteral("clickFilterDistance"), QStringLiteral("500")},
            {QStringLiteral("symbolsSizeFactor"), QStringLiteral("128")},
            {QStringLiteral("searchStartDateString"), QStringLiteral("2000-01-01")},
            {QStringLiteral("searchEndDateString"), QStringLiteral("2014-01-01")},
            {QStringLiteral("minSeachMag"), QStringLiteral("7.0")},
            {QStringLiteral("maxSearchMag"), QStringLiteral("10.0")},
            {QStringLiteral("minDepthString"), QStringLiteral("0.0")},
            {QStringLiteral("maxDepthString"), QStringLiteral("1000")},
            {QStringLiteral("westSearchLongitude"), QStringLiteral("-180")},
            {QStringLiteral("eastSearchLongitude"), QStringLiteral("180")},
            {QStringLiteral("southSearchLatitude"), QStringLiteral("-90")},
            {QStringLiteral("northSearchLatitude"), QStringLiteral("90")},
            {QStringLiteral("minRadiusString"), QStringLiteral("30")},
            {QStringLiteral("maxRadiusString"), QStringLiteral("90")}};
}

QVariantMap registrationDefaults(const QByteArray& rootPlist) {
    QVariantMap defaults;
    QString error;
    if (const auto root = propertyList::read(rootPlist, &error)) {
        for (const QVariant& entry :
             root->toMap().value(QStringLiteral("PreferenceSpecifiers")).toList()) {
            const QVariantMap specifier = entry.toMap();
            if (specifier.contains(QStringLiteral("Key")))
                defaults.insert(specifier.value(QStringLiteral("Key")).toString(),
                                specifier.value(QStringLiteral("DefaultValue")));
        }
    } else {
        qCWarning(lcController).noquote()
            << QStringLiteral("The settings description cannot be read: %1").arg(error);
    }
    const QVariantMap fixed = fixedDefaults();
    for (auto it = fixed.constBegin(); it != fixed.constEnd(); ++it)
        defaults.insert(it.key(), it.value());
    return defaults;
}

void registerApplicationDefaults() {
    auto read = [](const char* path) {
        QFile file(QString::fromLatin1(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    userDefaults& defaults = userDefaults::standardUserDefaults();
    defaults.registerDefaults(registrationDefaults(read(":/quorvel/Settings.bundle/Root.plist")));
    QString error;
    if (const auto appDefaults = propertyList::read(read(":/quorvel/appDefaults.plist"), &error))
        defaults.registerDefaults(appDefaults->toMap());
    else
        qCWarning(lcController).noquote()
            << QStringLiteral("The defaults file cannot be read: %1").arg(error);
}

} // namespace applicationDefaults
