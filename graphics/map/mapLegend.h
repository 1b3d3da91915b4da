#pragma once

#include <QColor>
#include <QList>
#include <QString>

// What the map's legend shows, worked out by whoever colours and sizes the symbols, so that
// the legend cannot drift from the symbols it explains.
struct mapLegend {
    struct colorEntry {
        QColor color;
        QString label; // "≤ 12 h", "older", "70–300 km", …
    };
    struct sizeEntry {
        QString label;    // "M 4"
        float symbolSize; // as geoMapPoint::symbolSize
    };
    QString colorTitle; // "Age", "Depth"
    QList<colorEntry> colors;
    QList<sizeEntry> sizes;
};
