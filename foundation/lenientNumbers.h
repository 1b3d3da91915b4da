#pragma once

#include "qvrfoundation_export.h"

#include <QStringView>

// Numbers read the way catalogue texts need them: leading blanks are skipped, the longest
// number at the start of the text is taken and the rest ignored, and a text that does not
// start with a number reads as 0. The decimal point is always '.', whatever the user's locale.
QVRFOUNDATION_EXPORT int leadingInt(QStringView text);
QVRFOUNDATION_EXPORT float leadingFloat(QStringView text);
QVRFOUNDATION_EXPORT double leadingDouble(QStringView text);

// `value` truncated toward zero, clamped to the int range; NaN gives 0. Use it wherever a
// real read from outside becomes a count.
QVRFOUNDATION_EXPORT int truncatedToInt(double value);
