#include "keyedUnarchiver.h"

#include <cmath>
#include <limits>

keyedUnarchiver::keyedUnarchiver(const keyedArchiveValue& object)
    : keyedUnarchiver(object, std::make_shared<QString>()) {
    if (object.type != keyedArchiveValue::Type::Object)
        markFailed(QStringLiteral("the archived value is not an object"));
}

keyedUnarchiver::keyedUnarchiver(const keyedArchiveValue& object, std::shared_ptr<QString> error)
    : object_(object)
    , error_(std::move(error)) {}

keyedUnarchiver keyedUnarchiver::child(const keyedArchiveValue& object) const {
    return keyedUnarchiver(object, error_);
}

void keyedUnarchiver::markFailed(const QString& why) const {
    if (error_->isEmpty())
        *error_ = why;
}

keyedArchiveValue::Type keyedUnarchiver::typeOfValue(const QString& key) const {
    const keyedArchiveValue* v = lookUp(key);
    return v ? v->type : keyedArchiveValue::Type::Null;
}

const keyedArchiveValue* keyedUnarchiver::valueOfType(const QString& key,
                                                      keyedArchiveValue::Type type) const {
    const keyedArchiveValue* v = lookUp(key);
    if (!v || v->type == keyedArchiveValue::Type::Null)
        return nullptr;
    if (v->type != type) {
        markFailed(QStringLiteral("the value of \"%1\" has the wrong type").arg(key));
        return nullptr;
    }
    return v;
}

const keyedArchiveValue* keyedUnarchiver::numericValue(const QString& key) const {
    using Type = keyedArchiveValue::Type;
    const keyedArchiveValue* v = lookUp(key);
    if (!v || v->type == Type::Null)
        return nullptr;
    if (v->type != Type::Int && v->type != Type::Float && v->type != Type::Double) {
        markFailed(QStringLiteral("the value of \"%1\" is not a number").arg(key));
        return nullptr;
    }
    return v;
}

QString keyedUnarchiver::decodeText(const QString& key) const {
    const keyedArchiveValue* v = valueOfType(key, keyedArchiveValue::Type::Text);
    return v ? v->text : QString();
}

QDateTime keyedUnarchiver::decodeDate(const QString& key) const {
    const keyedArchiveValue* v = valueOfType(key, keyedArchiveValue::Type::Date);
    return v ? v->date : QDateTime();
}

const keyedArchiveValue* keyedUnarchiver::decodeObject(const QString& key) const {
    return valueOfType(key, keyedArchiveValue::Type::Object);
}

// Numbers convert between the numeric types as a coder does, so a count written as a float
// reads back as an integer; only a non-number is an error.
double keyedUnarchiver::decodeDouble(const QString& key) const {
    const keyedArchiveValue* v = numericValue(key);
    if (!v)
        return 0;
    switch (v->type) {
    case keyedArchiveValue::Type::Int:
        return double(v->intValue);
    case keyedArchiveValue::Type::Float:
        return v->floatValue;
    default:
        return v->doubleValue;
    }
}

float keyedUnarchiver::decodeFloat(const QString& key) const {
    return float(decodeDouble(key));
}

int keyedUnarchiver::decodeInt(const QString& key) const {
    const keyedArchiveValue* v = numericValue(key);
    if (!v)
        return 0;
    if (v->type == keyedArchiveValue::Type::Int) {
        if (v->intValue < std::numeric_limits<int>::min() ||
            v->intValue > std::numeric_limits<int>::max()) {
            markFailed(QStringLiteral("the value of \"%1\" is out of range").arg(key));
            return 0;
        }
        return int(v->intValue);
    }
    const double d = decodeDouble(key);
    if (!std::isfinite(d) || d < std::numeric_limits<int>::min() ||
        d > std::numeric_limits<int>::max()) {
        markFailed(QStringLiteral("the value of \"%1\" is out of range").arg(key));
        return 0;
    }
    return int(d); // truncated toward zero
}

// Readers ask for the keys in the order the writer stored them, so the search starts where the
// last one was found and rarely needs more than one comparison.
const keyedArchiveValue* keyedUnarchiver::lookUp(const QString& key) const {
    const auto& entries = object_.entries;
    const std::size_t n = entries.size();
    for (std::size_t step = 0; step < n; ++step) {
        const std::size_t i = (cursor_ + step) % n;
        if (entries[i].first == key) {
            cursor_ = i + 1;
            return &entries[i].second;
        }
    }
    return nullptr;
}
