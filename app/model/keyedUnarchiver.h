#pragma once

#include "keyedArchiveValue.h"

#include <QList>

#include <memory>

// Reads one object of a keyed archive. A missing key reads as zero or absent, as a record
// that never stored it. A value of the wrong type also reads as zero or absent, and marks the
// whole archive as failed, so that callers can refuse it instead of keeping half a record.
class keyedUnarchiver {
public:
    explicit keyedUnarchiver(const keyedArchiveValue& object);

    QString decodeText(const QString& key) const;
    QDateTime decodeDate(const QString& key) const;
    int decodeInt(const QString& key) const;
    float decodeFloat(const QString& key) const;
    double decodeDouble(const QString& key) const;
    // A nested object, or nullptr when the key is missing or null.
    const keyedArchiveValue* decodeObject(const QString& key) const;

    // A list of records read by Record::initWithCoder(const keyedUnarchiver&).
    template <typename Record>
    QList<std::shared_ptr<Record>> decodeObjectList(const QString& key) const {
        QList<std::shared_ptr<Record>> records;
        const keyedArchiveValue* list = valueOfType(key, keyedArchiveValue::Type::List);
        if (!list)
            return records;
        for (const auto& item : list->items) {
            if (item.type != keyedArchiveValue::Type::Object) {
                markFailed(QStringLiteral("an element of \"%1\" is not an object").arg(key));
                continue;
            }
            records.append(Record::initWithCoder(child(item)));
        }
        return records;
    }

    // The stored type of a key (Null when missing).
    keyedArchiveValue::Type typeOfValue(const QString& key) const;
    bool containsValue(const QString& key) const { return lookUp(key) != nullptr; }

    bool failed() const { return !error_->isEmpty(); }
    QString errorString() const { return *error_; }

    // An unarchiver for a nested object that reports into this one's error state.
    keyedUnarchiver child(const keyedArchiveValue& object) const;

private:
    keyedUnarchiver(const keyedArchiveValue& object, std::shared_ptr<QString> error);
    const keyedArchiveValue* lookUp(const QString& key) const;
    const keyedArchiveValue* valueOfType(const QString& key, keyedArchiveValue::Type type) const;
    const keyedArchiveValue* numericValue(const QString& key) const;
    void markFailed(const QString& why) const;

    const keyedArchiveValue& object_;
    std::shared_ptr<QString> error_;
    mutable std::size_t cursor_ = 0; // where the next key is most likely stored
};
