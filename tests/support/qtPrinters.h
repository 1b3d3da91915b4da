#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <ostream>

// Texts and rectangles in failure messages as such rather than as arrays of bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '(' << list.join(QStringLiteral(", ")).toStdString() << ')';
}

inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.width() << 'x' << r.height() << (r.x() < 0 ? "" : "+") << r.x()
        << (r.y() < 0 ? "" : "+") << r.y();
}
