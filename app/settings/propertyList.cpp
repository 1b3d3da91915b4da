#include "propertyList.h"

#include <QDateTime>
#include <QXmlStreamReader>

namespace propertyList {
namespace {

// Deep enough for any settings file, shallow enough to refuse hostile nesting.
constexpr int maximumNesting = 64;

std::optional<QVariant> readValue(QXmlStreamReader& xml, int depth);

std::optional<QVariant> readDictionary(QXmlStreamReader& xml, int depth) {
    QVariantMap map;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"key")
            return std::nullopt;
        const QString key = xml.readElementText();
        if (!xml.readNextStartElement())
            return std::nullopt;
        auto value = readValue(xml, depth + 1);
        if (!value)
            return std::nullopt;
        map.insert(key, *value);
    }
    return map;
}

std::optional<QVariant> readArray(QXmlStreamReader& xml, int depth) {
    QVariantList list;
    while (xml.readNextStartElement()) {
        auto value = readValue(xml, depth + 1);
        if (!value)
            return std::nullopt;
        list.append(*value);
    }
    return list;
}

// Reads the element the reader stands on, up to and including its end.
std::optional<QVariant> readValue(QXmlStreamReader& xml, int depth) {
    if (depth > maximumNesting)
        return std::nullopt;
    const QStringView name = xml.name();
    if (name == u"dict")
        return readDictionary(xml, depth);
    if (name == u"array")
        return readArray(xml, depth);
    if (name == u"true" || name == u"false") {
        const bool value = name == u"true";
        xml.skipCurrentElement();
        return QVariant(value);
    }
    const QString text = xml.readElementText();
    if (name == u"string")
        return QVariant(text);
    if (name == u"integer") {
        bool ok = false;
        const qlonglong value = text.trimmed().toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant(value)) : std::nullopt;
    }
    if (name == u"real") {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(value)) : std::nullopt;
    }
    if (name == u"date") {
        const QDateTime value = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        return value.isValid() ? std::optional<QVariant>(QVariant(value)) : std::nullopt;
    }
    if (name == u"data")
        return QVariant(QByteArray::fromBase64(text.toLatin1()));
    return std::nullopt;
}

} // namespace

std::optional<QVariant> read(const QByteArray& bytes, QString* error) {
    QXmlStreamReader xml(bytes);
    auto refuse = [&](const QString& why) -> std::optional<QVariant> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!xml.readNextStartElement() || xml.name() != u"plist")
        return refuse(QStringLiteral("not a property list"));
    if (!xml.readNextStartElement())
        return refuse(QStringLiteral("an empty property list"));
    auto value = readValue(xml, 0);
    if (!value || xml.hasError())
        return refuse(xml.hasError() ? xml.errorString()
                                     : QStringLiteral("an unknown or damaged element"));
    return value;
}

} // namespace propertyList
