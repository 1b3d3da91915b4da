#include "keyedArchiver.h"

void keyedArchiver::encodeObject(keyedArchiveValue value, const QString& key) {
    object_.entries.emplace_back(key, std::move(value));
}

void keyedArchiver::encodeObject(const QString& text, const QString& key) {
    keyedArchiveValue v;
    if (!text.isNull()) {
        v.type = keyedArchiveValue::Type::Text;
        v.text = text;
    }
    encodeObject(std::move(v), key);
}

void keyedArchiver::encodeObject(const QDateTime& date, const QString& key) {
    keyedArchiveValue v;
    if (date.isValid()) {
        v.type = keyedArchiveValue::Type::Date;
        v.date = date;
    }
    encodeObject(std::move(v), key);
}

void keyedArchiver::encodeInt(int value, const QString& key) {
    keyedArchiveValue v{keyedArchiveValue::Type::Int};
    v.intValue = value;
    encodeObject(std::move(v), key);
}

void keyedArchiver::encodeFloat(float value, const QString& key) {
    keyedArchiveValue v{keyedArchiveValue::Type::Float};
    v.floatValue = value;
    encodeObject(std::move(v), key);
}

void keyedArchiver::encodeDouble(double value, const QString& key) {
    keyedArchiveValue v{keyedArchiveValue::Type::Double};
    v.doubleValue = value;
    encodeObject(std::move(v), key);
}
