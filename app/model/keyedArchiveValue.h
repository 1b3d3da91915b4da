#pragma once

#include "QVRResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// One typed value of a keyed archive, as a tree. Objects keep their keys in the order they were
// written; 32-bit floats, doubles and integers stay distinct types, so an archive read back
// holds the same types its writer stored. Records are written and read without building
// trees (keyedArchiver, keyedUnarchiver); a tree is for looking at an archive or putting one
// together by hand.
struct keyedArchiveValue {
    enum class Type { Null, Int, Float, Double, Text, Date, Object, List };

    explicit keyedArchiveValue(Type t = Type::Null)
        : type(t) {}

    Type type;
    qint64 intValue = 0;
    float floatValue = 0;
    double doubleValue = 0;
    QString text;
    QDateTime date;
    std::vector<std::pair<QString, keyedArchiveValue>> entries; // Object, in written order
    std::vector<keyedArchiveValue> items;                       // List

    static keyedArchiveValue object() { return keyedArchiveValue{Type::Object}; }
    static keyedArchiveValue list() { return keyedArchiveValue{Type::List}; }

    // The entry stored under `key` in an object, or nullptr.
    const keyedArchiveValue* find(const QString& key) const;
    keyedArchiveValue* find(const QString& key);

    // The archive as bytes: a CBOR document tagged as a Quorvel keyed archive of the current
    // format version, with this value at its root.
    QByteArray archivedData() const;
    // This value's CBOR item alone, appended to `out`.
    void appendTo(std::string& out) const;

    // Reads bytes written by archivedData(). Refuses, with the reason, bytes that are not such
    // an archive, are cut short, nest too deeply or come from a newer format version.
    static QVRResult<keyedArchiveValue> fromArchivedData(const QByteArray& data);
};
