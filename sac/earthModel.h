#pragma once

#include "QVRResult.h"
#include "qvrsac_export.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A spherically symmetric Earth model: P and S velocities and density at depths from the surface
// to the centre, read from the `.tvel` layout (two comment lines, then one "depth vp vs density"
// line per point, depths increasing; a depth given twice marks a discontinuity, the first line
// holding the values above it and the second those below). Between points the model is smooth.
//
// The published models ak135 and iasp91 are compiled into the library. A model is immutable
// once read, so one may be shared by several threads.
class QVRSAC_EXPORT earthModel {
public:
    struct point {
        double depth;   // km
        double vp;      // km/s
        double vs;      // km/s; 0 in the fluid outer core
        double density; // g/cm³
    };

    // Reads a model; the last point must lie at the centre. Refuses, with the reason in `error`,
    // text with fewer than two points, a line that is not four numbers, depths that decrease or
    // repeat more than twice, a velocity that is not positive (S may be 0), or a model without a
    // fluid outer core above a solid inner core.
    static std::optional<earthModel> fromTvel(const QByteArray& text, const QString& name,
                                              QString* error = nullptr);

    // The compiled-in model of that name ("ak135" or "iasp91"), or null for any other name.
    static const earthModel* named(const QString& name);
    static QStringList names();
    // The compiled-in model of that name, or why not: "unknown model 'prem' (known: ak135,
    // iasp91)".
    static QVRResult<const earthModel*> find(const QString& name);

    QString name() const { return modelName; }
    const std::vector<point>& points() const { return modelPoints; }
    double surfaceRadius() const; // km
    // Depths of the top of the fluid outer core and of the solid inner core, km.
    double coreMantleBoundaryDepth() const { return cmbDepth; }
    double innerCoreBoundaryDepth() const { return icbDepth; }

private:
    earthModel() = default;

    QString modelName;
    std::vector<point> modelPoints;
    double cmbDepth = 0;
    double icbDepth = 0;
};
