#pragma once

#include "QVRResult.h"
#include "displaySettings.h"
#include "seismicOrigin.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

// The visible origins written for other programs: the USGS CSV and GeoJSON layouts (which
// Quorvel's own readers read back), QuakeML 1.2 for seismological software and KML 2.2 for
// map programs. Every form lists the origins newest first and is UTF-8.
class eventExport {
public:
    enum class format { csv, geoJSON, quakeML, kml };

    // How KML placemarks are coloured: the map's age colours and age limits, so that an
    // exported event wears the colour it has on the map.
    struct ageColouring {
        std::array<QColor, 3> ageColors; // recent, older, oldest
        double unitSeconds = 0;          // the unit of the two cutoffs
        float recentCutoff = 0, olderCutoff = 0;
        QDateTime now;
    };
    static ageColouring colouringOf(const displaySettings& settings, const QDateTime& now);

    // "csv", "geojson", "quakeml" or "kml"; none for any other name.
    static std::optional<format> formatNamed(const QString& name);
    // The format a file name's suffix stands for (.csv; .geojson or .json; .xml or .quakeml;
    // .kml), whatever its case; none for another suffix.
    static std::optional<format> formatOfPath(const QString& path);
    // The save dialog's filters, one per format, in the order of `format`.
    static QStringList fileFilters();
    static format formatOfFilter(const QString& filter);
    static QString suffixOf(format f);

    static QByteArray csv(const originList& origins);
    static QByteArray geoJSON(const originList& origins,
                              const QDateTime& generated = QDateTime::currentDateTimeUtc());
    static QByteArray quakeML(const originList& origins,
                              const QDateTime& created = QDateTime::currentDateTimeUtc());
    static QByteArray kml(const originList& origins, const ageColouring& colouring);
    static QByteArray exported(const originList& origins, format f, const ageColouring& colouring);

    // Written atomically, as event lists are: an existing file is replaced only once the new
    // one is complete.
    static QVRResult<void> write(const originList& origins, format f, const QString& path,
                                 const ageColouring& colouring);
};
