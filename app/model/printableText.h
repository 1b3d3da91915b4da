#pragma once

#include <QString>

// An absent text printed into a message reads "(null)", as it always has in Quorvel's texts.
inline QString printableText(const QString& text) {
    return text.isNull() ? QStringLiteral("(null)") : text;
}
