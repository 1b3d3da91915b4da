#include "keyedArchiveDecoder.h"

#include "keyedArchiveEncoder.h"
#include "keyedArchiveFormat.h"

#include <QFloat16>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using Type = keyedArchiveValue::Type;

using namespace keyedArchiveFormat;

// Deep enough for any archive Quorvel writes, shallow enough to stop hostile nesting.
constexpr int maximumNesting = 32;

// Well-formed UTF-8 as Unicode defines it (no overlong forms, surrogates or values past
// U+10FFFF), which is what Qt's CBOR reader accepted.
bool isValidUtf8(const char* text, qsizetype length) {
    const auto* s = reinterpret_cast<const quint8*>(text);
    qsizetype i = 0;
    while (i < length) {
        const quint8 c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        qsizetype extra = 0;
        quint8 low = 0x80, high = 0xbf;
        if (c >= 0xc2 && c <= 0xdf) {
            extra = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            extra = 2;
            if (c == 0xe0)
                low = 0xa0;
            else if (c == 0xed)
                high = 0x9f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            extra = 3;
            if (c == 0xf0)
                low = 0x90;
            else if (c == 0xf4)
                high = 0x8f;
        } else {
            return false;
        }
        if (length - i <= extra)
            return false;
        if (s[i + 1] < low || s[i + 1] > high)
            return false;
        for (qsizetype k = 2; k <= extra; ++k) {
            if (s[i + k] < 0x80 || s[i + k] > 0xbf)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

bool isAscii(const char* text, qsizetype length) {
    qsizetype i = 0;
    for (; i + 8 <= length; i += 8) {
        quint64 word = 0;
        std::memcpy(&word, text + i, sizeof word);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < length; ++i) {
        if (quint8(text[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

keyedArchiveDecoder::keyedArchiveDecoder(const QByteArray& data)
    : data_(data)
    , bytes_(data_.constData())
    , size_(data_.size()) {}

bool keyedArchiveDecoder::fail(const QString& why) {
    if (error_.isNull())
        error_ = why;
    return false;
}

keyedArchiveDecoder::headRead keyedArchiveDecoder::readHead(head* h) {
    // Worked out in locals and stored once: the caller reads the fields back at once.
    if (atEnd())
        return headRead::cutShort;
    const quint8 lead = quint8(bytes_[position_]);
    const quint8 major = lead >> 5;
    const quint8 additional = lead & 0x1f;
    const qsizetype left = size_ - position_ - 1;
    const char* after = bytes_ + position_ + 1;
    quint64 value = additional;
    qsizetype length = 0;
    if (additional >= 24) {
        if (additional <= 27) {
            length = qsizetype(1) << (additional - 24);
            if (left < length)
                return headRead::cutShort;
            switch (length) {
            case 1:
                value = quint8(after[0]);
                // A simple value below 32 must not take the two-byte form.
                if (major == simpleOrFloat && value < 32)
                    return headRead::malformed;
                break;
            case 2:
                value = qFromBigEndian<quint16>(after);
                break;
            case 4:
                value = qFromBigEndian<quint32>(after);
                break;
            default:
                value = qFromBigEndian<quint64>(after);
                break;
            }
        } else if (additional == unboundedLength) {
            // Unbounded strings and containers, and the break that ends them; nothing else.
            if (major == unsignedInteger || major == negativeInteger || major == tag)
                return headRead::malformed;
            value = 0;
        } else {
            return headRead::malformed;
        }
    }
    position_ += 1 + length;
    *h = head{major, additional, value};
    return headRead::ok;
}

bool keyedArchiveDecoder::nextIsArray() const {
    return !atEnd() && quint8(bytes_[position_]) >> 5 == arrayOf;
}

bool keyedArchiveDecoder::enterMap(container& map) {
    const qsizetype start = position_;
    head h;
    if (readHead(&h) != headRead::ok || h.major != mapOf) {
        position_ = start;
        return false;
    }
    map.unbounded = h.additional == unboundedLength;
    map.remaining = h.value;
    return true;
}

bool keyedArchiveDecoder::enterArray(container& array) {
    const qsizetype start = position_;
    head h;
    if (readHead(&h) != headRead::ok || h.major != arrayOf) {
        position_ = start;
        return false;
    }
    array.unbounded = h.additional == unboundedLength;
    array.remaining = h.value;
    return true;
}

bool keyedArchiveDecoder::hasNext(container& c) {
    if (!c.unbounded) {
        if (c.remaining == 0)
            return false;
        --c.remaining;
        return true;
    }
    // At the end of the bytes the container has not ended: the next read reports the cut.
    if (!atEnd() && bytes_[position_] == breakByte) {
        ++position_;
        return false;
    }
    return true;
}

// The text of a string head, checked for UTF-8 as a CBOR text must be. An unbounded text is
// put together from its chunks, each of which must itself be whole UTF-8.
bool keyedArchiveDecoder::readText(const head& h, QByteArray& chunks, const char** bytes,
                                   qsizetype* length, bool* ascii) {
    *ascii = true;
    auto chunkOf = [this, ascii](quint64 size, const char** chunk) {
        if (size > quint64(size_ - position_))
            return false;
        *chunk = bytes_ + position_;
        position_ += qsizetype(size);
        if (isAscii(*chunk, qsizetype(size)))
            return true;
        *ascii = false;
        return isValidUtf8(*chunk, qsizetype(size));
    };
    if (h.additional != unboundedLength) {
        *length = qsizetype(h.value);
        return chunkOf(h.value, bytes);
    }
    chunks.resize(0);
    for (;;) {
        if (atEnd())
            return false;
        if (bytes_[position_] == breakByte) {
            ++position_;
            break;
        }
        head chunkHead;
        if (readHead(&chunkHead) != headRead::ok || chunkHead.major != textString ||
            chunkHead.additional == unboundedLength)
            return false;
        const char* chunk = nullptr;
        if (!chunkOf(chunkHead.value, &chunk))
            return false;
        chunks.append(chunk, qsizetype(chunkHead.value));
    }
    *bytes = chunks.constData();
    *length = chunks.size();
    return true;
}

bool keyedArchiveDecoder::readKey(const char** bytes, qsizetype* length, bool* ascii) {
    head h;
    const headRead read = readHead(&h);
    if (read == headRead::cutShort)
        return fail(QStringLiteral("an object is cut short"));
    if (read != headRead::ok || h.major != textString)
        return fail(QStringLiteral("an object key is not a text"));
    if (!readText(h, keyChunks_, bytes, length, ascii))
        return fail(QStringLiteral("a key is cut short"));
    return true;
}

bool keyedArchiveDecoder::decodeValue(keyedArchiveEntryList& entries, int depth, const char* key,
                                      qsizetype keyLength, bool keyIsAscii) {
    if (depth > maximumNesting)
        return fail(QStringLiteral("the archive nests too deeply"));
    head h;
    switch (readHead(&h)) {
    case headRead::ok:
        break;
    case headRead::cutShort:
        return fail(QStringLiteral("the data is damaged or cut short"));
    case headRead::malformed:
        return fail(QStringLiteral("the data is not a keyed archive"));
    }
    const quint32 at = entries.size();
    keyedArchiveEntryList::entry& e = entries.append();
    if (key)
        keyedArchiveEntryList::assignText(e.key, key, keyLength, keyIsAscii);
    switch (h.major) {
    case unsignedInteger:
    case negativeInteger:
        if (h.value > quint64(std::numeric_limits<qint64>::max()))
            return fail(QStringLiteral("an integer is out of range"));
        e.type = Type::Int;
        e.integer = h.major == unsignedInteger ? qint64(h.value) : -1 - qint64(h.value);
        return true;
    case textString: {
        const char* text = nullptr;
        qsizetype length = 0;
        bool ascii = true;
        if (!readText(h, textChunks_, &text, &length, &ascii))
            return fail(QStringLiteral("a text is cut short"));
        e.type = Type::Text;
        keyedArchiveEntryList::assignText(e.text, text, length, ascii);
        return true;
    }
    case arrayOf:
    case mapOf:
        return decodeContainer(entries, h, depth, at);
    case tag: {
        if (h.value != unixTimeTag)
            return fail(QStringLiteral("an unknown tag"));
        head seconds;
        if (readHead(&seconds) != headRead::ok)
            return fail(QStringLiteral("a date is not a number"));
        double s = 0;
        if (seconds.major == simpleOrFloat && seconds.additional == 27) {
            std::memcpy(&s, &seconds.value, sizeof s);
        } else if (seconds.major == unsignedInteger) {
            s = double(qint64(seconds.value)); // as Qt's reader took it, wrapping past 2^63
        } else if (seconds.major == negativeInteger) {
            s = double(-1 - qint64(seconds.value));
        } else {
            return fail(QStringLiteral("a date is not a number"));
        }
        if (!std::isfinite(s) || std::abs(s) > 1e13)
            return fail(QStringLiteral("a date is out of range"));
        e.type = Type::Date;
        e.integer = qint64(std::llround(s * 1000.0));
        return true;
    }
    case simpleOrFloat:
        switch (h.additional) {
        case 22: // null
            return true;
        case 25: {
            qfloat16 half;
            const quint16 bits = quint16(h.value);
            std::memcpy(static_cast<void*>(&half), &bits, sizeof bits);
            e.type = Type::Float;
            e.single = float(half);
            e.number = double(e.single);
            return true;
        }
        case 26: {
            float f = 0;
            const quint32 bits = quint32(h.value);
            std::memcpy(&f, &bits, sizeof f);
            e.type = Type::Float;
            e.single = f;
            e.number = double(f);
            return true;
        }
        case 27:
            e.type = Type::Double;
            std::memcpy(&e.number, &h.value, sizeof e.number);
            return true;
        case unboundedLength: // a break where a value belongs
            return fail(QStringLiteral("the data is not a keyed archive"));
        default:
            return fail(QStringLiteral("an unknown simple value"));
        }
    default: // byte strings
        return fail(QStringLiteral("the data is not a keyed archive"));
    }
}

bool keyedArchiveDecoder::decodeContainer(keyedArchiveEntryList& entries, const head& h, int depth,
                                          quint32 at) {
    const bool isMap = h.major == mapOf;
    entries[at].type = isMap ? Type::Object : Type::List;
    container c{h.value, h.additional == unboundedLength};
    while (hasNext(c)) {
        if (isMap) {
            const char* key = nullptr;
            qsizetype keyLength = 0;
            bool ascii = true;
            if (!readKey(&key, &keyLength, &ascii) ||
                !decodeValue(entries, depth + 1, key, keyLength, ascii))
                return false;
        } else {
            if (atEnd())
                return fail(QStringLiteral("a list is cut short"));
            if (!decodeValue(entries, depth + 1))
                return false;
        }
    }
    entries[at].end = entries.size();
    return true;
}

bool keyedArchiveDecoder::skipValue(int depth) {
    container c;
    const bool isMap = enterMap(c);
    if (!isMap && !enterArray(c)) {
        skipped_.clear();
        return decodeValue(skipped_, depth);
    }
    if (depth > maximumNesting)
        return fail(QStringLiteral("the archive nests too deeply"));
    while (hasNext(c)) {
        const char* key = nullptr;
        qsizetype keyLength = 0;
        bool ascii = true;
        if (isMap && !readKey(&key, &keyLength, &ascii))
            return false;
        if (!isMap && atEnd())
            return fail(QStringLiteral("a list is cut short"));
        skipped_.clear();
        if (!decodeValue(skipped_, depth + 1))
            return false;
    }
    return true;
}

bool keyedArchiveDecoder::openEnvelope() {
    if (size_ == 0)
        return fail(QStringLiteral("the data is empty"));
    const QString notAnArchive = QStringLiteral("the data is not a Quorvel keyed archive");
    head h;
    if (readHead(&h) != headRead::ok || h.major != tag || h.value != signatureTag)
        return fail(notAnArchive);
    if (!enterMap(envelope_)) {
        // Whatever it is, a fault in it is named before the refusal.
        return skipValue(0) ? fail(notAnArchive) : false;
    }
    keyedArchiveEntryList values;
    qint64 archiverAt = -1, versionAt = -1, rootAt = -1;
    container envelopeAtRoot;
    auto isKey = [](const char* key, qsizetype length, const char* name) {
        return qsizetype(std::strlen(name)) == length && std::memcmp(key, name, length) == 0;
    };
    auto refusal = [&]() -> QString {
        if (archiverAt < 0 || versionAt < 0 || rootAt < 0)
            return notAnArchive;
        const auto& name = values[quint32(archiverAt)];
        const auto& version = values[quint32(versionAt)];
        if (name.type != Type::Text || name.text != keyedArchiveEncoder::archiverName() ||
            version.type != Type::Int)
            return notAnArchive;
        if (version.integer > keyedArchiveEncoder::formatVersion)
            return QStringLiteral("the archive was written by a newer version of Quorvel "
                                  "(format %1, this version reads up to %2)")
                .arg(version.integer)
                .arg(keyedArchiveEncoder::formatVersion);
        return QString();
    };
    while (hasNext(envelope_)) {
        const char* key = nullptr;
        qsizetype keyLength = 0;
        bool ascii = true;
        if (!readKey(&key, &keyLength, &ascii))
            return false;
        if (rootAt < 0 && isKey(key, keyLength, "root")) {
            rootAt = position_;
            envelopeAtRoot = envelope_;
            // Written archives name their archiver and version first: the root is read by
            // the caller, from here.
            if (archiverAt >= 0 && versionAt >= 0) {
                const QString why = refusal();
                if (why.isNull())
                    return true;
                return skipValue(1) && finishEnvelope() ? fail(why) : false;
            }
            if (!skipValue(1))
                return false;
            continue;
        }
        qint64* slot = nullptr;
        if (archiverAt < 0 && isKey(key, keyLength, "archiver"))
            slot = &archiverAt;
        else if (versionAt < 0 && isKey(key, keyLength, "version"))
            slot = &versionAt;
        if (!slot) {
            if (!skipValue(1))
                return false;
            continue;
        }
        *slot = values.size();
        if (!decodeValue(values, 1))
            return false;
    }
    const QString why = refusal();
    if (!why.isNull())
        return fail(why);
    // The root came before the archiver's name or version: back to it.
    position_ = rootAt;
    envelope_ = envelopeAtRoot;
    return true;
}

bool keyedArchiveDecoder::finishEnvelope() {
    while (!failed() && hasNext(envelope_)) {
        const char* key = nullptr;
        qsizetype keyLength = 0;
        bool ascii = true;
        if (!readKey(&key, &keyLength, &ascii) || !skipValue(1))
            return false;
    }
    return !failed();
}
