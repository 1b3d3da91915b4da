#pragma once

#include <QDateTime>
#include <QLatin1StringView>
#include <QStringView>

#include <string>

// Appends the CBOR items of a keyed archive to a byte buffer, each in the shortest form
// QCborStreamWriter gives it, so that archives written now are byte for byte what earlier
// versions wrote and read back unchanged by them.
class keyedArchiveEncoder {
public:
    static QLatin1StringView archiverName() { return QLatin1StringView("QVRKeyedArchive"); }
    // Raise when the layout of archives changes; readers refuse versions newer than theirs.
    static constexpr qint64 formatVersion = 1;

    static void appendInt(std::string& out, qint64 value);
    static void appendFloat(std::string& out, float value);   // always 32 bits
    static void appendDouble(std::string& out, double value); // always 64 bits
    static void appendText(std::string& out, QStringView text);
    static void appendNull(std::string& out);
    // Seconds since 1970 with the milliseconds as a fraction, under CBOR's epoch-time tag;
    // null for an invalid date.
    static void appendDate(std::string& out, const QDateTime& date);
    static void appendMapHeader(std::string& out, quint64 entries);
    static void appendArrayHeader(std::string& out, quint64 items);
    // Everything before the root value: the signature tag, the envelope's map with the
    // archiver's name and format version, and the root's key.
    static void appendEnvelopeUpToRoot(std::string& out);
};
