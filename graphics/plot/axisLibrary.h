#pragma once

#include "QVRBezierPath.h"
#include "QVRTextAttributes.h"
#include "qvr_graphics_export.h"

#include <cstdint>

// The axis-drawing library: plain C functions over module-wide state that draw a framed,
// linearly labelled axis box. Line work is appended to one path the caller strokes; text is
// drawn at once with the painter of the view that is drawing (QVRView::currentPainter()).
// Coordinates are view points, y up ("top" is the larger y). Not re-entrant: one axis box at
// a time, on the interface thread.
//
// A view draws its axes like this:
//   AInitGraphLib(); ASetPath(path); ASetTickLabelAttributes(&labelAttributes);
//   ASetAxisRect(left, right, top, bottom); ASetLineWidth(0.75);
//   ADrawAxis(xmin, xmax, xTitle, 1, 3, 0, 2); ADrawAxis(ymin, ymax, yTitle, 2, 1, 0, 2);
// and then strokes the path.

extern "C" {

struct ARect {
    int16_t top, left, bottom, right;
};

QVR_GRAPHICS_EXPORT extern ARect axisRect;
QVR_GRAPHICS_EXPORT extern int gFont;
QVR_GRAPHICS_EXPORT extern int gFontsize;        // points; scales ticks, offsets and tick density
QVR_GRAPHICS_EXPORT extern int gJustify;         // ADrawStr: 1 left, 2 centre, 3 right, 4–6 below
QVR_GRAPHICS_EXPORT extern int gXsecTic;         // minor ticks on the x axis
QVR_GRAPHICS_EXPORT extern int gYsecTic;         // minor ticks on the y axis
QVR_GRAPHICS_EXPORT extern int gPosDown;         // y labels show negated values (depth axes)
QVR_GRAPHICS_EXPORT extern int lxpower;          // the x axis may factor out a power of ten
QVR_GRAPHICS_EXPORT extern int lypower;          // the y axis may factor out a power of ten
QVR_GRAPHICS_EXPORT extern QVRBezierPath* gPath; // not owned
QVR_GRAPHICS_EXPORT extern const QVRTextAttributes* tickLabelAttributes; // not owned
QVR_GRAPHICS_EXPORT extern int gDevice;
QVR_GRAPHICS_EXPORT extern int gPenWidth;

QVR_GRAPHICS_EXPORT void AInitGraphLib(void);
QVR_GRAPHICS_EXPORT void ASetAxisRect(float left, float right, float top, float bottom);
QVR_GRAPHICS_EXPORT void ASetPath(QVRBezierPath* path);
QVR_GRAPHICS_EXPORT void ASetTickLabelAttributes(const QVRTextAttributes* attributes);
QVR_GRAPHICS_EXPORT void ASetFontSize(int size);
QVR_GRAPHICS_EXPORT void ASetLineWidth(float width);
QVR_GRAPHICS_EXPORT void ASetJustify(int justify);
QVR_GRAPHICS_EXPORT void ASetXAxisPowerFlag(int flag);
QVR_GRAPHICS_EXPORT void ASetYAxisPowerFlag(int flag);
QVR_GRAPHICS_EXPORT void AMove(int x, int y);
QVR_GRAPHICS_EXPORT void ALine(int x, int y);
QVR_GRAPHICS_EXPORT void AFMove(float x, float y);
QVR_GRAPHICS_EXPORT void AFLine(float x, float y);
QVR_GRAPHICS_EXPORT void ADrawStr(const char* text, int x, int y);
QVR_GRAPHICS_EXPORT void ADrawStrAtAngle(const char* text, int x, int y, float angle);
QVR_GRAPHICS_EXPORT void ADrawFloat(float value, int precision, int x, int y);
QVR_GRAPHICS_EXPORT void ADrawInt(int value, int width, int x, int y);
// axis 1 = x (side 3: title below, 4: above), 2 = y (side 1: labels left, 2: right);
// spacing 0 = automatic; level 0 box only, 1 with ticks, 2 with labels and title. The title
// is drawn with the power-of-ten suffix, if any, appended; `label` itself is not changed.
QVR_GRAPHICS_EXPORT void ADrawAxis(float min, float max, char* label, int axis, int side,
                                   float spacing, int level);
}
