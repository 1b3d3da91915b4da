#pragma once

#include "keyedArchiveEntryList.h"

#include <QByteArray>
#include <QString>

// Reads the CBOR of a keyed archive from bytes that may be anything, one item at a time and
// never past their end. Values are decoded into a keyedArchiveEntryList; containers can also
// be walked item by item, so that a long list of records need not be decoded all at once.
// The first fault found stops the reading, and error() names it.
class keyedArchiveDecoder {
public:
    // A map or array being read: the items left, or items until a closing break.
    struct container {
        quint64 remaining = 0;
        bool unbounded = false;
    };

    explicit keyedArchiveDecoder(const QByteArray& data);

    // Reads the signature, and the envelope up to its root value. Refuses, with the reason,
    // bytes that are not a Quorvel keyed archive or come from a newer format; a fault anywhere
    // in the envelope takes precedence over those reasons, as it did when archives were read
    // whole.
    bool openEnvelope();
    // Reads the envelope's entries after the root value.
    bool finishEnvelope();

    qsizetype position() const { return position_; }
    void seek(qsizetype position) { position_ = position; }
    bool atEnd() const { return position_ >= size_; }
    bool nextIsArray() const;

    // Reads a map's or array's head; fails when the next item is another kind.
    bool enterMap(container& map);
    bool enterArray(container& array);
    // Whether `c` holds another item; reads the break that closes an unbounded container.
    bool hasNext(container& c);
    // An object's UTF-8 key, kept until the next key is read; `ascii` tells whether it is.
    bool readKey(const char** bytes, qsizetype* length, bool* ascii);

    // One value and everything nested in it, appended to `entries` under the key (if any);
    // `depth` counts the containers around it.
    bool decodeValue(keyedArchiveEntryList& entries, int depth, const char* key = nullptr,
                     qsizetype keyLength = 0, bool keyIsAscii = true);
    // Reads past one value, checking it as decodeValue does, a container's items one by one.
    bool skipValue(int depth);

    bool failed() const { return !error_.isNull(); }
    const QString& error() const { return error_; }
    bool fail(const QString& why);

private:
    struct head {
        quint8 major = 0;
        quint8 additional = 0;
        quint64 value = 0;
    };
    enum class headRead { ok, cutShort, malformed };

    headRead readHead(head* h);
    bool readText(const head& h, QByteArray& chunks, const char** bytes, qsizetype* length,
                  bool* ascii);
    bool decodeContainer(keyedArchiveEntryList& entries, const head& h, int depth, quint32 at);

    QByteArray data_;   // kept alive for bytes_
    const char* bytes_; // read through a const pointer: no detaching, no copy
    qsizetype size_;
    qsizetype position_ = 0;
    container envelope_;
    QByteArray keyChunks_;  // an unbounded key, put together
    QByteArray textChunks_; // an unbounded text, put together
    keyedArchiveEntryList skipped_;
    QString error_;
};
