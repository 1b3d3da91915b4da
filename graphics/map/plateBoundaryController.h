#pragma once

#include "QVRPolygon.h"
#include "qvr_graphics_export.h"

#include <QByteArray>
#include <QList>

#include <memory>

// Tectonic plate boundaries shipped with the library, read into line segments (one polygon a
// segment) with longitudes in 0…360 and latitudes in degrees.
class QVR_GRAPHICS_EXPORT plateBoundaryController {
public:
    using polygonList = QList<std::shared_ptr<QVRPolygon>>;

    const polygonList& boundaries() const { return boundaries_; }
    void setBoundaries(const polygonList& list) { boundaries_ = list; }

    // Appends the PB2002 segments (Bird 2003); false, with nothing added, when the resource
    // cannot be read.
    bool loadBirdPlateBoundaries();
    // Appends the trench, ridge and transform lines of the UTIG PLATES project.
    bool loadUTPlateBoundaries();

    // The readers behind the loaders. Bird form: a title line, "lon lat" lines (a comma may
    // stand between them), then a line starting "***". UTIG form: a file title line, then
    // per segment a title line, its points and a ">" line. Unreadable point lines are skipped.
    static polygonList parseBirdPlateBoundaries(const QByteArray& text);
    static polygonList parseUTPlateBoundaries(const QByteArray& text);

    // Where the shipped files live among the library's resources.
    static QString resourcePath(const char* name);

private:
    polygonList boundaries_;
};
