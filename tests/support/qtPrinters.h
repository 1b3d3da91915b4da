#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Texts in failure messages as text rather than as arrays of code units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '(' << list.join(QStringLiteral(", ")).toStdString() << ')';
}
