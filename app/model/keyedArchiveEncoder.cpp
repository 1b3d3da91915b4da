#include "keyedArchiveEncoder.h"

#include "keyedArchiveFormat.h"

#include <QtEndian>

#include <bit>

namespace {

using namespace keyedArchiveFormat;

void appendHead(std::string& out, majorType major, quint64 value) {
    const auto lead = char(major << 5);
    char head[9];
    qsizetype length = 0;
    if (value < 24) {
        head[0] = char(lead | char(value));
        length = 1;
    } else if (value <= 0xff) {
        head[0] = char(lead | 24);
        head[1] = char(value);
        length = 2;
    } else if (value <= 0xffff) {
        head[0] = char(lead | 25);
        qToBigEndian(quint16(value), head + 1);
        length = 3;
    } else if (value <= 0xffffffffu) {
        head[0] = char(lead | 26);
        qToBigEndian(quint32(value), head + 1);
        length = 5;
    } else {
        head[0] = char(lead | 27);
        qToBigEndian(value, head + 1);
        length = 9;
    }
    out.append(head, std::size_t(length));
}

// A float's or double's bits after its one-byte head, stored in full: the shortest form would
// change a float32 into a half or a double into a float, and readers tell the types apart.
template <typename Bits>
void appendFloatingPoint(std::string& out, char head, Bits bits) {
    char item[1 + sizeof(Bits)] = {head};
    qToBigEndian(bits, item + 1);
    out.append(item, sizeof item);
}

} // namespace

void keyedArchiveEncoder::appendInt(std::string& out, qint64 value) {
    if (value < 0)
        appendHead(out, negativeInteger, quint64(-1 - value));
    else
        appendHead(out, unsignedInteger, quint64(value));
}

void keyedArchiveEncoder::appendFloat(std::string& out, float value) {
    appendFloatingPoint(out, char(0xfa), std::bit_cast<quint32>(value));
}

void keyedArchiveEncoder::appendDouble(std::string& out, double value) {
    appendFloatingPoint(out, char(0xfb), std::bit_cast<quint64>(value));
}

void keyedArchiveEncoder::appendText(std::string& out, QStringView text) {
    // Keys and most values are ASCII and are copied as they are; anything else takes Qt's
    // UTF-8 encoder, which is what QCborStreamWriter used (a lone surrogate becomes '?').
    const std::size_t headAt = out.size();
    const qsizetype length = text.size();
    appendHead(out, textString, quint64(length));
    const std::size_t textAt = out.size();
    out.resize(textAt + std::size_t(length));
    char* bytes = out.data() + textAt;
    const char16_t* chars = text.utf16();
    for (qsizetype i = 0; i < length; ++i) {
        if (chars[i] >= 0x80) {
            out.resize(headAt);
            const QByteArray utf8 = text.toUtf8();
            appendHead(out, textString, quint64(utf8.size()));
            out.append(utf8.constData(), std::size_t(utf8.size()));
            return;
        }
        bytes[i] = char(chars[i]);
    }
}

void keyedArchiveEncoder::appendNull(std::string& out) {
    out.push_back(char(0xf6));
}

void keyedArchiveEncoder::appendDate(std::string& out, const QDateTime& date) {
    if (!date.isValid()) {
        appendNull(out);
        return;
    }
    appendHead(out, tag, unixTimeTag);
    appendDouble(out, double(date.toMSecsSinceEpoch()) / 1000.0);
}

void keyedArchiveEncoder::appendMapHeader(std::string& out, quint64 entries) {
    appendHead(out, mapOf, entries);
}

void keyedArchiveEncoder::appendArrayHeader(std::string& out, quint64 items) {
    appendHead(out, arrayOf, items);
}

void keyedArchiveEncoder::appendEnvelopeUpToRoot(std::string& out) {
    appendHead(out, tag, signatureTag);
    appendMapHeader(out, 3);
    appendText(out, u"archiver");
    const QLatin1StringView name = archiverName();
    appendHead(out, textString, quint64(name.size()));
    out.append(name.data(), std::size_t(name.size()));
    appendText(out, u"version");
    appendInt(out, formatVersion);
    appendText(out, u"root");
}
