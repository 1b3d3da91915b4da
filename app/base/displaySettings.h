#pragma once

#include <QColor>

#include <array>

// What the windows' display fields hold: the map's limits and symbols, the age colours and
// their limits. The displays draw by them and the exports colour by them.
struct displaySettings {
    float mapSouth = -90, mapNorth = 90, mapWest = 0, mapEast = 360; // degrees
    float symbolScale = 128;                 // a symbol is magnitude³ / symbolScale
    float recentCutoff = 0, olderCutoff = 0; // ages, in the time unit
    int timeUnitIndex = 1;                   // minutes, hours, days, weeks, years
    float minMagnitude = 0, maxMagnitude = 0;
    QColor plateColor = Qt::white;
    std::array<QColor, 3> ageColors; // recent, older, oldest
    bool showLegend = true;
    bool colorByDepth = false; // symbols coloured by depth class instead of age
};
