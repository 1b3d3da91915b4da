#include "keyedArchiveValue.h"

#include "keyedArchiveDecoder.h"
#include "keyedArchiveEncoder.h"

namespace {

keyedArchiveValue treeOf(const keyedArchiveEntryList& entries, quint32 at) {
    using Type = keyedArchiveValue::Type;
    const keyedArchiveEntryList::entry& e = entries[at];
    keyedArchiveValue v(e.type);
    switch (e.type) {
    case Type::Null:
        break;
    case Type::Int:
        v.intValue = e.integer;
        break;
    case Type::Float:
        v.floatValue = e.single;
        break;
    case Type::Double:
        v.doubleValue = e.number;
        break;
    case Type::Text:
        v.text = e.text;
        break;
    case Type::Date:
        v.date = QDateTime::fromMSecsSinceEpoch(e.integer, Qt::UTC);
        break;
    case Type::Object:
        for (quint32 i = at + 1; i < e.end; i = entries[i].end)
            v.entries.emplace_back(entries[i].key, treeOf(entries, i));
        break;
    case Type::List:
        for (quint32 i = at + 1; i < e.end; i = entries[i].end)
            v.items.push_back(treeOf(entries, i));
        break;
    }
    return v;
}

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

void keyedArchiveValue::appendTo(std::string& out) const {
    switch (type) {
    case Type::Null:
        keyedArchiveEncoder::appendNull(out);
        break;
    case Type::Int:
        keyedArchiveEncoder::appendInt(out, intValue);
        break;
    case Type::Float:
        keyedArchiveEncoder::appendFloat(out, floatValue);
        break;
    case Type::Double:
        keyedArchiveEncoder::appendDouble(out, doubleValue);
        break;
    case Type::Text:
        keyedArchiveEncoder::appendText(out, text);
        break;
    case Type::Date:
        keyedArchiveEncoder::appendDate(out, date);
        break;
    case Type::Object:
        keyedArchiveEncoder::appendMapHeader(out, quint64(entries.size()));
        for (const auto& [key, value] : entries) {
            keyedArchiveEncoder::appendText(out, key);
            value.appendTo(out);
        }
        break;
    case Type::List:
        keyedArchiveEncoder::appendArrayHeader(out, quint64(items.size()));
        for (const auto& item : items)
            item.appendTo(out);
        break;
    }
}

QByteArray keyedArchiveValue::archivedData() const {
    std::string data;
    keyedArchiveEncoder::appendEnvelopeUpToRoot(data);
    appendTo(data);
    return QByteArray(data.data(), qsizetype(data.size()));
}

QVRResult<keyedArchiveValue> keyedArchiveValue::fromArchivedData(const QByteArray& data) {
    keyedArchiveDecoder decoder(data);
    keyedArchiveEntryList entries;
    if (!decoder.openEnvelope() || !decoder.decodeValue(entries, 1) || !decoder.finishEnvelope())
        return QVRResult<keyedArchiveValue>::failure(decoder.error());
    return treeOf(entries, 0);
}
