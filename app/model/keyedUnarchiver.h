#pragma once

#include "QVRResult.h"
#include "keyedArchiveEntryList.h"
#include "keyedArchiveValue.h"

#include <QList>

#include <functional>
#include <memory>
#include <optional>

// Reads one object of a keyed archive. A missing key reads as zero or absent, as a record
// that never stored it. A value of the wrong type also reads as zero or absent, and marks the
// whole archive as failed, so that callers can refuse it instead of keeping half a record.
//
// An archive is read as it is asked for: the root's entries up to the key wanted, and a list
// at the root one item at a time, each item decoded into storage the next one reuses. So a
// file of many records is never held decoded as a whole.
class keyedUnarchiver {
public:
    // The root object of archive bytes (from keyedArchiver::archivedData). Refuses, with the
    // reason, bytes that are not such an archive or come from a newer format version; faults
    // further in are found as the reading gets there, and by finishReading().
    static QVRResult<keyedUnarchiver> fromArchivedData(const QByteArray& data);
    // Reads a value already decoded (or put together) as a tree.
    explicit keyedUnarchiver(const keyedArchiveValue& object);

    QString decodeText(const QString& key) const;
    QDateTime decodeDate(const QString& key) const;
    int decodeInt(const QString& key) const;
    float decodeFloat(const QString& key) const;
    double decodeDouble(const QString& key) const;
    // A nested object, or nothing when the key is missing or null.
    std::optional<keyedUnarchiver> decodeObject(const QString& key) const;

    // A list of records read by Record::initWithCoder(const keyedUnarchiver&). The unarchiver
    // an element is read with is valid only during that call.
    template <typename Record>
    QList<std::shared_ptr<Record>> decodeObjectList(const QString& key) const {
        QList<std::shared_ptr<Record>> records;
        forEachObjectIn(key, [&records](const keyedUnarchiver& element) {
            records.append(Record::initWithCoder(element));
        });
        return records;
    }

    // The stored type of a key (Null when missing).
    keyedArchiveValue::Type typeOfValue(const QString& key) const;
    bool containsValue(const QString& key) const { return lookUp(key) != nullptr; }

    // True once a value had the wrong type or the bytes were found damaged.
    bool failed() const;
    QString errorString() const;

    // Reads the rest of the archive, so that damage past the last value asked for is found
    // too. Returns what is wrong with the bytes, or a null text when nothing is.
    QString finishReading() const;

private:
    struct readState;
    using entry = keyedArchiveEntryList::entry;

    keyedUnarchiver(std::shared_ptr<readState> state, const keyedArchiveEntryList* entries,
                    quint32 object);
    // Always an unarchiver; one for bytes refused carries the reason as damage.
    static keyedUnarchiver reading(const QByteArray& data);
    const entry* lookUp(const QString& key) const;
    const entry* valueOfType(const QString& key, keyedArchiveValue::Type type) const;
    const entry* numericValue(const QString& key) const;
    void markFailed(const QString& why) const;
    void forEachObjectIn(const QString& key,
                         const std::function<void(const keyedUnarchiver&)>& read) const;

    std::shared_ptr<readState> state_;
    const keyedArchiveEntryList* entries_;
    quint32 object_;         // the index of the object's own entry
    mutable quint32 cursor_; // the entry where the next key is most likely stored
};
