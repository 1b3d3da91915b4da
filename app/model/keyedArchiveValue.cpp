#include "keyedArchiveValue.h"

#include <QCborStreamReader>
#include <QCborStreamWriter>

#include <cmath>
#include <limits>

namespace {

const QString archiverName = QStringLiteral("QVRKeyedArchive");
// Raise when the layout of archives changes; readers refuse versions newer than theirs.
constexpr qint64 archiveFormatVersion = 1;
// Deep enough for any archive Quorvel writes, shallow enough to stop hostile nesting.
constexpr int maximumNesting = 32;

void writeValue(QCborStreamWriter& w, const keyedArchiveValue& v) {
    using Type = keyedArchiveValue::Type;
    switch (v.type) {
    case Type::Null:
        w.append(nullptr);
        break;
    case Type::Int:
        w.append(v.intValue);
        break;
    case Type::Float:
        w.append(v.floatValue);
        break;
    case Type::Double:
        w.append(v.doubleValue);
        break;
    case Type::Text:
        w.append(QStringView(v.text));
        break;
    case Type::Date:
        if (!v.date.isValid()) {
            w.append(nullptr);
            break;
        }
        // Seconds since 1970 with the milliseconds as a fraction: CBOR's epoch-time tag.
        w.append(QCborKnownTags::UnixTime_t);
        w.append(double(v.date.toMSecsSinceEpoch()) / 1000.0);
        break;
    case Type::Object:
        w.startMap(quint64(v.entries.size()));
        for (const auto& [key, value] : v.entries) {
            w.append(QStringView(key));
            writeValue(w, value);
        }
        w.endMap();
        break;
    case Type::List:
        w.startArray(quint64(v.items.size()));
        for (const auto& item : v.items)
            writeValue(w, item);
        w.endArray();
        break;
    }
}

class archiveReader {
public:
    explicit archiveReader(const QByteArray& data)
        : r_(data) {}

    std::optional<keyedArchiveValue> read(int depth) {
        if (depth > maximumNesting)
            return fail(QStringLiteral("the archive nests too deeply"));
        keyedArchiveValue v;
        using Type = keyedArchiveValue::Type;
        switch (r_.type()) {
        case QCborStreamReader::UnsignedInteger:
            if (r_.toUnsignedInteger() > quint64(std::numeric_limits<qint64>::max()))
                return fail(QStringLiteral("an integer is out of range"));
            v.type = Type::Int;
            v.intValue = qint64(r_.toUnsignedInteger());
            r_.next();
            break;
        case QCborStreamReader::NegativeInteger:
            v.type = Type::Int;
            v.intValue = r_.toInteger();
            r_.next();
            break;
        case QCborStreamReader::Float16:
            v.type = Type::Float;
            v.floatValue = float(r_.toFloat16());
            r_.next();
            break;
        case QCborStreamReader::Float:
            v.type = Type::Float;
            v.floatValue = r_.toFloat();
            r_.next();
            break;
        case QCborStreamReader::Double:
            v.type = Type::Double;
            v.doubleValue = r_.toDouble();
            r_.next();
            break;
        case QCborStreamReader::SimpleType:
            if (!r_.isNull())
                return fail(QStringLiteral("an unknown simple value"));
            r_.next();
            break;
        case QCborStreamReader::String: {
            v.type = Type::Text;
            if (!readText(&v.text))
                return fail(QStringLiteral("a text is cut short"));
            break;
        }
        case QCborStreamReader::Tag: {
            if (r_.toTag() != QCborKnownTags::UnixTime_t)
                return fail(QStringLiteral("an unknown tag"));
            r_.next();
            double seconds = 0;
            if (r_.isDouble())
                seconds = r_.toDouble();
            else if (r_.isInteger())
                seconds = double(r_.toInteger());
            else
                return fail(QStringLiteral("a date is not a number"));
            r_.next();
            if (!std::isfinite(seconds) || std::abs(seconds) > 1e13)
                return fail(QStringLiteral("a date is out of range"));
            v.type = Type::Date;
            v.date =
                QDateTime::fromMSecsSinceEpoch(qint64(std::llround(seconds * 1000.0)), Qt::UTC);
            break;
        }
        case QCborStreamReader::Map: {
            v.type = Type::Object;
            if (!r_.enterContainer())
                return fail(QStringLiteral("an object is cut short"));
            while (r_.lastError() == QCborError::NoError && r_.hasNext()) {
                if (!r_.isString())
                    return fail(QStringLiteral("an object key is not a text"));
                QString key;
                if (!readText(&key))
                    return fail(QStringLiteral("a key is cut short"));
                auto value = read(depth + 1);
                if (!value)
                    return std::nullopt;
                v.entries.emplace_back(std::move(key), std::move(*value));
            }
            if (r_.lastError() != QCborError::NoError || !r_.leaveContainer())
                return fail(QStringLiteral("an object is cut short"));
            break;
        }
        case QCborStreamReader::Array: {
            v.type = Type::List;
            if (!r_.enterContainer())
                return fail(QStringLiteral("a list is cut short"));
            while (r_.lastError() == QCborError::NoError && r_.hasNext()) {
                auto item = read(depth + 1);
                if (!item)
                    return std::nullopt;
                v.items.push_back(std::move(*item));
            }
            if (r_.lastError() != QCborError::NoError || !r_.leaveContainer())
                return fail(QStringLiteral("a list is cut short"));
            break;
        }
        default:
            return fail(QStringLiteral("the data is not a keyed archive"));
        }
        if (r_.lastError() != QCborError::NoError)
            return fail(QStringLiteral("the data is damaged or cut short"));
        return v;
    }

    QCborStreamReader& stream() { return r_; }
    const QString& error() const { return error_; }

    std::nullopt_t fail(const QString& why) {
        if (error_.isEmpty())
            error_ = why;
        return std::nullopt;
    }

private:
    bool readText(QString* out) {
        auto chunk = r_.readString();
        while (chunk.status == QCborStreamReader::Ok) {
            *out += chunk.data;
            chunk = r_.readString();
        }
        return chunk.status == QCborStreamReader::EndOfString;
    }

    QCborStreamReader r_;
    QString error_;
};

} // namespace

const keyedArchiveValue* keyedArchiveValue::find(const QString& key) const {
    for (const auto& [k, value] : entries) {
        if (k == key)
            return &value;
    }
    return nullptr;
}

keyedArchiveValue* keyedArchiveValue::find(const QString& key) {
    return const_cast<keyedArchiveValue*>(std::as_const(*this).find(key));
}

QByteArray keyedArchiveValue::archivedData() const {
    QByteArray data;
    QCborStreamWriter w(&data);
    w.append(QCborKnownTags::Signature);
    w.startMap(3);
    w.append(QLatin1StringView("archiver"));
    w.append(QStringView(archiverName));
    w.append(QLatin1StringView("version"));
    w.append(archiveFormatVersion);
    w.append(QLatin1StringView("root"));
    writeValue(w, *this);
    w.endMap();
    return data;
}

QVRResult<keyedArchiveValue> keyedArchiveValue::fromArchivedData(const QByteArray& data) {
    archiveReader reader(data);
    auto refuse = [](const QString& why) { return QVRResult<keyedArchiveValue>::failure(why); };
    QCborStreamReader& r = reader.stream();
    if (data.isEmpty())
        return refuse(QStringLiteral("the data is empty"));
    if (!r.isTag() || r.toTag() != QCborKnownTags::Signature)
        return refuse(QStringLiteral("the data is not a Quorvel keyed archive"));
    r.next();
    auto envelope = reader.read(0);
    if (!envelope)
        return refuse(reader.error());
    const keyedArchiveValue* name = envelope->find(QStringLiteral("archiver"));
    const keyedArchiveValue* version = envelope->find(QStringLiteral("version"));
    keyedArchiveValue* root = envelope->find(QStringLiteral("root"));
    if (!name || name->type != Type::Text || name->text != archiverName || !version ||
        version->type != Type::Int || !root)
        return refuse(QStringLiteral("the data is not a Quorvel keyed archive"));
    if (version->intValue > archiveFormatVersion)
        return refuse(QStringLiteral("the archive was written by a newer version of Quorvel "
                                     "(format %1, this version reads up to %2)")
                          .arg(version->intValue)
                          .arg(archiveFormatVersion));
    // The envelope is thrown away: its root is moved out, not copied.
    return QVRResult<keyedArchiveValue>(std::move(*root));
}
