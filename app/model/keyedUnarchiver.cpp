#include "keyedUnarchiver.h"

#include "keyedArchiveDecoder.h"

#include <cmath>
#include <limits>

using Type = keyedArchiveValue::Type;

// What the unarchivers of one archive share: the bytes, the root's entries read so far and
// the element of a streamed list being read, and the first thing found wrong.
struct keyedUnarchiver::readState {
    explicit readState(const QByteArray& data)
        : decoder(data) {}

    // The root's next entry, appended to `root`; its index, or -1 at the root's end or on
    // damage. A list is not decoded: its items are read when asked for, or passed over.
    qint64 readRootEntry();
    void setDamage(const QString& why) {
        if (damage.isNull())
            damage = why;
        readingRoot = false;
    }

    keyedArchiveDecoder decoder;
    keyedArchiveEntryList root; // [0] is the root object itself
    keyedArchiveEntryList element;
    keyedArchiveDecoder::container rootEntries;
    bool readingRoot = false;
    bool finished = false;
    qint64 listAtDecoder = -1; // the root entry whose list the decoder stands at
    QString valueError;
    QString damage;
};

qint64 keyedUnarchiver::readState::readRootEntry() {
    if (!readingRoot)
        return -1;
    if (listAtDecoder >= 0) {
        entry& list = root[quint32(listAtDecoder)];
        listAtDecoder = -1;
        if (list.streamedTo >= 0) {
            decoder.seek(list.streamedTo);
        } else {
            if (!decoder.skipValue(2)) {
                setDamage(decoder.error());
                return -1;
            }
            list.streamedTo = decoder.position();
        }
    }
    if (!decoder.hasNext(rootEntries)) {
        readingRoot = false;
        return -1;
    }
    const char* key = nullptr;
    qsizetype keyLength = 0;
    bool ascii = true;
    if (!decoder.readKey(&key, &keyLength, &ascii)) {
        setDamage(decoder.error());
        return -1;
    }
    const quint32 at = root.size();
    if (decoder.nextIsArray()) {
        entry& list = root.append();
        keyedArchiveEntryList::assignText(list.key, key, keyLength, ascii);
        list.type = Type::List;
        list.streamedFrom = decoder.position();
        listAtDecoder = at;
    } else if (!decoder.decodeValue(root, 2, key, keyLength, ascii)) {
        setDamage(decoder.error());
        return -1;
    }
    root[0].end = root.size();
    return at;
}

keyedUnarchiver::keyedUnarchiver(std::shared_ptr<readState> state,
                                 const keyedArchiveEntryList* entries, quint32 object)
    : state_(std::move(state))
    , entries_(entries)
    , object_(object)
    , cursor_(object + 1) {}

keyedUnarchiver keyedUnarchiver::reading(const QByteArray& data) {
    auto state = std::make_shared<readState>(data);
    keyedUnarchiver root(state, &state->root, 0);
    keyedArchiveDecoder& decoder = state->decoder;
    if (!decoder.openEnvelope()) {
        state->setDamage(decoder.error());
        state->finished = true;
        state->root.append();
        return root;
    }
    if (decoder.enterMap(state->rootEntries)) {
        state->root.append().type = Type::Object;
        state->readingRoot = true;
        return root;
    }
    if (!decoder.decodeValue(state->root, 1))
        state->setDamage(decoder.error());
    root.markFailed(QStringLiteral("the archived value is not an object"));
    return root;
}

QVRResult<keyedUnarchiver> keyedUnarchiver::fromArchivedData(const QByteArray& data) {
    keyedUnarchiver root = reading(data);
    if (!root.state_->damage.isNull())
        return QVRResult<keyedUnarchiver>::failure(root.state_->damage);
    return root;
}

keyedUnarchiver::keyedUnarchiver(const keyedArchiveValue& object)
    : keyedUnarchiver(reading(object.archivedData())) {}

bool keyedUnarchiver::failed() const {
    return !state_->valueError.isNull() || !state_->damage.isNull();
}

QString keyedUnarchiver::errorString() const {
    return state_->valueError.isNull() ? state_->damage : state_->valueError;
}

void keyedUnarchiver::markFailed(const QString& why) const {
    if (state_->valueError.isNull())
        state_->valueError = why;
}

QString keyedUnarchiver::finishReading() const {
    readState& s = *state_;
    if (!s.finished) {
        s.finished = true;
        while (s.readRootEntry() >= 0) {
        }
        if (s.damage.isNull() && !s.decoder.finishEnvelope())
            s.setDamage(s.decoder.error());
    }
    return s.damage;
}

// Readers ask for the keys in the order the writer stored them, so the search starts where the
// last one was found and rarely needs more than one comparison. The root's entries are read
// from the bytes only when what is read so far does not have the key.
const keyedUnarchiver::entry* keyedUnarchiver::lookUp(const QString& key) const {
    const keyedArchiveEntryList& list = *entries_;
    if (list[object_].type != Type::Object)
        return nullptr;
    auto search = [&](quint32 from, quint32 to) -> const entry* {
        for (quint32 i = from; i < to; i = list[i].end) {
            if (list[i].key == key) {
                cursor_ = list[i].end;
                return &list[i];
            }
        }
        return nullptr;
    };
    if (const entry* found = search(cursor_, list[object_].end))
        return found;
    if (entries_ == &state_->root && object_ == 0) {
        for (qint64 at = state_->readRootEntry(); at >= 0; at = state_->readRootEntry()) {
            if (list[quint32(at)].key == key) {
                cursor_ = list[quint32(at)].end;
                return &list[quint32(at)];
            }
        }
    }
    return search(object_ + 1, std::min(cursor_, list[object_].end));
}

keyedArchiveValue::Type keyedUnarchiver::typeOfValue(const QString& key) const {
    const entry* v = lookUp(key);
    return v ? v->type : Type::Null;
}

const keyedUnarchiver::entry* keyedUnarchiver::valueOfType(const QString& key, Type type) const {
    const entry* v = lookUp(key);
    if (!v || v->type == Type::Null)
        return nullptr;
    if (v->type != type) {
        markFailed(QStringLiteral("the value of \"%1\" has the wrong type").arg(key));
        return nullptr;
    }
    return v;
}

const keyedUnarchiver::entry* keyedUnarchiver::numericValue(const QString& key) const {
    const entry* v = lookUp(key);
    if (!v || v->type == Type::Null)
        return nullptr;
    if (v->type != Type::Int && v->type != Type::Float && v->type != Type::Double) {
        markFailed(QStringLiteral("the value of \"%1\" is not a number").arg(key));
        return nullptr;
    }
    return v;
}

QString keyedUnarchiver::decodeText(const QString& key) const {
    const entry* v = valueOfType(key, Type::Text);
    return v ? v->text : QString();
}

QDateTime keyedUnarchiver::decodeDate(const QString& key) const {
    const entry* v = valueOfType(key, Type::Date);
    return v ? QDateTime::fromMSecsSinceEpoch(v->integer, Qt::UTC) : QDateTime();
}

std::optional<keyedUnarchiver> keyedUnarchiver::decodeObject(const QString& key) const {
    const entry* v = valueOfType(key, Type::Object);
    if (!v)
        return std::nullopt;
    return keyedUnarchiver(state_, entries_, quint32(v - &(*entries_)[0]));
}

// Numbers convert between the numeric types as a coder does, so a count written as a float
// reads back as an integer; only a non-number is an error.
double keyedUnarchiver::decodeDouble(const QString& key) const {
    const entry* v = numericValue(key);
    if (!v)
        return 0;
    return v->type == Type::Int ? double(v->integer) : v->number;
}

float keyedUnarchiver::decodeFloat(const QString& key) const {
    const entry* v = numericValue(key);
    if (!v)
        return 0;
    // As stored, so that a float reads back bit for bit.
    if (v->type == Type::Float)
        return v->single;
    return float(v->type == Type::Int ? double(v->integer) : v->number);
}

int keyedUnarchiver::decodeInt(const QString& key) const {
    const entry* v = numericValue(key);
    if (!v)
        return 0;
    if (v->type == Type::Int) {
        if (v->integer < std::numeric_limits<int>::min() ||
            v->integer > std::numeric_limits<int>::max()) {
            markFailed(QStringLiteral("the value of \"%1\" is out of range").arg(key));
            return 0;
        }
        return int(v->integer);
    }
    const double d = v->number;
    if (!std::isfinite(d) || d < std::numeric_limits<int>::min() ||
        d > std::numeric_limits<int>::max()) {
        markFailed(QStringLiteral("the value of \"%1\" is out of range").arg(key));
        return 0;
    }
    return int(d); // truncated toward zero
}

void keyedUnarchiver::forEachObjectIn(
    const QString& key, const std::function<void(const keyedUnarchiver&)>& read) const {
    const entry* list = valueOfType(key, Type::List);
    if (!list)
        return;
    auto notAnObject = [&key] {
        return QStringLiteral("an element of \"%1\" is not an object").arg(key);
    };
    const quint32 listAt = quint32(list - &(*entries_)[0]);
    if (list->streamedFrom < 0) {
        for (quint32 i = listAt + 1; i < list->end; i = (*entries_)[i].end) {
            if ((*entries_)[i].type != Type::Object)
                markFailed(notAnObject());
            else
                read(keyedUnarchiver(state_, entries_, i));
        }
        return;
    }

    // A list at the root: its items are decoded one at a time into the same storage. A list
    // read before, or one the bytes have passed, is read again from where it starts.
    readState& s = *state_;
    if (!s.damage.isNull())
        return;
    const qsizetype from = list->streamedFrom;
    const bool atDecoder = s.listAtDecoder == qint64(listAt) && s.decoder.position() == from;
    std::optional<keyedArchiveDecoder> elsewhere;
    if (!atDecoder) {
        elsewhere.emplace(s.decoder);
        elsewhere->seek(from);
    }
    keyedArchiveDecoder& decoder = atDecoder ? s.decoder : *elsewhere;
    keyedArchiveDecoder::container items;
    decoder.enterArray(items);
    while (decoder.hasNext(items)) {
        if (decoder.atEnd()) {
            decoder.fail(QStringLiteral("a list is cut short"));
            break;
        }
        s.element.clear();
        if (!decoder.decodeValue(s.element, 3))
            break;
        if (s.element[0].type != Type::Object)
            markFailed(notAnObject());
        else
            read(keyedUnarchiver(state_, &s.element, 0));
    }
    if (decoder.failed()) {
        s.setDamage(decoder.error());
        return;
    }
    s.root[listAt].streamedTo = decoder.position();
    if (atDecoder)
        s.listAtDecoder = -1;
}
