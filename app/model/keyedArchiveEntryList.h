#pragma once

#include "keyedArchiveValue.h"

#include <QString>

#include <vector>

// Decoded values of a keyed archive, flat: a container's entry is followed by everything
// nested in it, and knows where that ends. The list is cleared and filled again for every
// record read, and keeps its storage: a key or text equal to the one stored in the same place
// before keeps that QString, so reading a long list of records of one shape allocates neither
// their keys nor their repeated texts again.
class keyedArchiveEntryList {
public:
    struct entry {
        keyedArchiveValue::Type type = keyedArchiveValue::Type::Null;
        quint32 end = 0;    // index after this entry and everything nested in it
        QString key;        // only for the entries of an object
        qint64 integer = 0; // Int; for a Date the milliseconds since 1970, UTC
        double number = 0;  // Float (widened) and Double
        float single = 0;   // Float as stored, NaN payloads included
        QString text;
        // A list at the root of a streamed archive is not decoded into the entries: its items
        // are read from the bytes, starting here, when they are asked for.
        qsizetype streamedFrom = -1;
        qsizetype streamedTo = -1; // where the list ends in the bytes, once known
    };

    void clear() { size_ = 0; }
    quint32 size() const { return size_; }
    entry& operator[](quint32 index) { return entries_[index]; }
    const entry& operator[](quint32 index) const { return entries_[index]; }

    // A new entry at the end, reusing the storage of the one that was there before.
    entry& append();

    // Sets `target` to the UTF-8 text `bytes` (checked to be UTF-8, and known to be ASCII or
    // not), keeping it when it already holds that text.
    static void assignText(QString& target, const char* bytes, qsizetype length, bool ascii);

private:
    std::vector<entry> entries_;
    quint32 size_ = 0;
};
