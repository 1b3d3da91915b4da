#pragma once

#include "keyedArchiveValue.h"

#include <QList>

#include <concepts>
#include <memory>
#include <string>
#include <vector>

// Writes one object of a keyed archive: typed values under keys, kept in the order written.
// Records archive themselves with an encodeWithCoder(keyedArchiver&) member.
//
// Values go straight into the archive's bytes. A map's head states its number of entries, so
// each nested object is written into a buffer of its own first; the outermost archiver keeps
// one such buffer per depth, and every record of a list reuses it.
class keyedArchiver {
public:
    keyedArchiver();

    // Absent texts and invalid dates are stored as null objects.
    void encodeObject(const QString& text, const QString& key);
    void encodeObject(const QDateTime& date, const QString& key);
    void encodeObject(const keyedArchiveValue& value, const QString& key);
    void encodeNull(const QString& key);
    void encodeInt(int value, const QString& key);
    void encodeFloat(float value, const QString& key);
    void encodeDouble(double value, const QString& key);

    // An object of its own, its entries written by `encodeEntries(keyedArchiver&)`.
    template <typename Entries>
    requires std::invocable<Entries&, keyedArchiver&>
    void encodeNestedObject(Entries&& encodeEntries, const QString& key) {
        keyedArchiver nested = nestedArchiver();
        encodeEntries(nested);
        appendKey(key);
        appendObject(nested);
    }

    // A list of records, each archived as an object of its own.
    template <typename Record>
    void encodeObjectList(const QList<std::shared_ptr<Record>>& records, const QString& key) {
        beginList(records.size(), key);
        keyedArchiver element = nestedArchiver();
        for (const auto& record : records) {
            element.restart();
            if (record)
                record->encodeWithCoder(element);
            appendObject(element);
        }
    }

    // The archive as bytes: a CBOR document tagged as a Quorvel keyed archive of the current
    // format version, with this object at its root.
    QByteArray archivedData() const;
    // The object written so far as a tree, to look at what an archive holds.
    keyedArchiveValue archivedObject() const;

private:
    using buffers = std::vector<std::unique_ptr<std::string>>;

    keyedArchiver(buffers* scratch, std::size_t depth);
    keyedArchiver nestedArchiver() const;
    void restart();
    void appendKey(const QString& key);
    void beginList(qsizetype items, const QString& key);
    void appendObject(const keyedArchiver& nested);

    std::unique_ptr<buffers> ownScratch_; // only the outermost archiver owns them
    buffers* scratch_;
    std::size_t depth_;
    std::string* bytes_; // the entries so far, without the map's head
    quint64 entries_ = 0;
};
