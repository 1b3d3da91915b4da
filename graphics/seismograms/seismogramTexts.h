#pragma once

#include "qvr_graphics_export.h"

#include <QString>
#include <QStringList>

#include <optional>

// The header's undefined marks (-12345, and the text "-12345") are never shown: a text built
// from header fields leaves an undefined field out.
namespace seismogramTexts {

// A header text; empty where it is undefined.
QVR_GRAPHICS_EXPORT QString defined(const QString& field);
// A header number; none where it is undefined.
QVR_GRAPHICS_EXPORT std::optional<double> defined(float value);
// `format` (one printf conversion) applied to the value, or empty text where it is undefined.
QVR_GRAPHICS_EXPORT QString formatted(const char* format, float value);
// The non-empty parts joined by `separator`.
QVR_GRAPHICS_EXPORT QString joined(const QStringList& parts, const QString& separator);

} // namespace seismogramTexts
