#pragma once

#include "qvr_graphics_export.h"

#include <QRectF>
#include <QString>

#include <vector>

// A named list of vertices, open (the closing edge is implied by the point test), with a
// bounding rectangle and the "NXY" text form: the vertex count, then one "x y" pair a line.
// On the map x is longitude and y latitude, in degrees.
class QVR_GRAPHICS_EXPORT QVRPolygon {
public:
    const QString& title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    const std::vector<float>& xp() const { return xp_; }
    void setXp(std::vector<float> x) { xp_ = std::move(x); }
    const std::vector<float>& yp() const { return yp_; }
    void setYp(std::vector<float> y) { yp_ = std::move(y); }
    // The number of vertices in use, at most the shorter of the two arrays.
    int npts() const { return npts_; }
    void setNpts(int n) { npts_ = n; }

    // "<title>Npts:<count>"
    QString description() const;
    // Even-odd crossing rule over the closed ring; a point on a left edge is inside, on a
    // right edge outside. A polygon without vertices contains nothing.
    bool pointInPolygon(float x, float y) const;
    void computeBoundingRect();
    const QRectF& bRect() const { return bRect_; }

    // Reads NXY text; false, leaving the polygon without vertices, when the count or any pair
    // is missing or not a number.
    bool loadNXYFromPath(const QString& path);
    bool scanFromNXYString(const QString& text);
    // Writes NXY text ("%d\n", then "%f %f\n" a vertex) atomically.
    bool saveToPath(const QString& path) const;

private:
    std::vector<float> xp_, yp_;
    int npts_ = 0;
    QString title_ = QStringLiteral("Untitled");
    QString fileName_;
    QRectF bRect_;
};
