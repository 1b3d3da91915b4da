#include "mapDirectories.h"

#include "geoMapView.h"

#include <QSettings>

namespace mapDirectories {

void applyTo(geoMapView& map) {
    const QSettings settings;
    map.setPictureDirectory(settings.value(QStringLiteral("map/pictureDirectory")).toString());
    map.setTopographyDirectory(
        settings.value(QStringLiteral("map/topographyDirectory")).toString());
}

} // namespace mapDirectories
