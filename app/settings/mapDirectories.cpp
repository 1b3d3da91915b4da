#include "mapDirectories.h"

#include <QSettings>

namespace mapDirectories {

QString pictureDirectory() {
    return QSettings().value(QStringLiteral("map/pictureDirectory")).toString();
}

QString topographyDirectory() {
    return QSettings().value(QStringLiteral("map/topographyDirectory")).toString();
}

} // namespace mapDirectories
