#pragma once

#include "keyedArchiveValue.h"

#include <QList>

#include <memory>

// Writes one object of a keyed archive: typed values under keys, kept in the order written.
// Records archive themselves with an encodeWithCoder(keyedArchiver&) member.
class keyedArchiver {
public:
    // Absent texts and invalid dates are stored as null objects.
    void encodeObject(const QString& text, const QString& key);
    void encodeObject(const QDateTime& date, const QString& key);
    void encodeObject(keyedArchiveValue value, const QString& key);
    void encodeInt(int value, const QString& key);
    void encodeFloat(float value, const QString& key);
    void encodeDouble(double value, const QString& key);

    // A list of records, each archived as an object of its own.
    template <typename Record>
    void encodeObjectList(const QList<std::shared_ptr<Record>>& records, const QString& key) {
        keyedArchiveValue list = keyedArchiveValue::list();
        for (const auto& record : records) {
            keyedArchiver element;
            if (record)
                record->encodeWithCoder(element);
            list.items.push_back(std::move(element.object_));
        }
        encodeObject(std::move(list), key);
    }

    const keyedArchiveValue& archivedObject() const { return object_; }

private:
    keyedArchiveValue object_ = keyedArchiveValue::object();
};
