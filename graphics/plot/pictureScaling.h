#pragma once

#include "qvr_graphics_export.h"

#include <QImage>

// Large pictures cut and scaled for drawing without copies of them. Pure: callable from any
// thread.
namespace pictureScaling {

// The pixels of `part` inside `picture`, not copied where the format allows: an image over
// the picture's own memory, valid while the picture lives and is not changed.
QVR_GRAPHICS_EXPORT QImage partOf(const QImage& picture, const QRect& part);

// `picture` scaled to `size` by Qt's smooth (area-averaging) scaling of its 32-bit pixels: the
// same pixels as picture.convertToFormat(QImage::Format_RGB32).scaled(size,
// Qt::IgnoreAspectRatio, Qt::SmoothTransformation). A 24-bit RGB picture made smaller both ways
// is read where it lies, in its own bytes: the 32-bit copy of a world-sized part of the widest
// map picture would take 58 MB, and most of the time the drawing takes.
QVR_GRAPHICS_EXPORT QImage smoothScaled(const QImage& picture, QSize size);

} // namespace pictureScaling
