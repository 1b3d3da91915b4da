#include "keyedArchiver.h"

#include "keyedArchiveEncoder.h"

#include <cstring>

keyedArchiver::keyedArchiver()
    : ownScratch_(std::make_unique<buffers>())
    , scratch_(ownScratch_.get())
    , depth_(0) {
    scratch_->push_back(std::make_unique<std::string>());
    bytes_ = scratch_->front().get();
}

keyedArchiver::keyedArchiver(buffers* scratch, std::size_t depth)
    : scratch_(scratch)
    , depth_(depth) {
    while (scratch_->size() <= depth_)
        scratch_->push_back(std::make_unique<std::string>());
    bytes_ = (*scratch_)[depth_].get();
    restart();
}

keyedArchiver keyedArchiver::nestedArchiver() const {
    return keyedArchiver(scratch_, depth_ + 1);
}

void keyedArchiver::restart() {
    bytes_->clear(); // keeps the capacity for the next record
    entries_ = 0;
}

void keyedArchiver::appendKey(const QString& key) {
    ++entries_;
    keyedArchiveEncoder::appendText(*bytes_, key);
}

void keyedArchiver::beginList(qsizetype items, const QString& key) {
    appendKey(key);
    keyedArchiveEncoder::appendArrayHeader(*bytes_, quint64(items));
}

void keyedArchiver::appendObject(const keyedArchiver& nested) {
    keyedArchiveEncoder::appendMapHeader(*bytes_, nested.entries_);
    bytes_->append(*nested.bytes_);
}

void keyedArchiver::encodeObject(const keyedArchiveValue& value, const QString& key) {
    appendKey(key);
    value.appendTo(*bytes_);
}

void keyedArchiver::encodeNull(const QString& key) {
    appendKey(key);
    keyedArchiveEncoder::appendNull(*bytes_);
}

void keyedArchiver::encodeObject(const QString& text, const QString& key) {
    appendKey(key);
    if (text.isNull())
        keyedArchiveEncoder::appendNull(*bytes_);
    else
        keyedArchiveEncoder::appendText(*bytes_, text);
}

void keyedArchiver::encodeObject(const QDateTime& date, const QString& key) {
    appendKey(key);
    keyedArchiveEncoder::appendDate(*bytes_, date);
}

void keyedArchiver::encodeInt(int value, const QString& key) {
    appendKey(key);
    keyedArchiveEncoder::appendInt(*bytes_, value);
}

void keyedArchiver::encodeFloat(float value, const QString& key) {
    appendKey(key);
    keyedArchiveEncoder::appendFloat(*bytes_, value);
}

void keyedArchiver::encodeDouble(double value, const QString& key) {
    appendKey(key);
    keyedArchiveEncoder::appendDouble(*bytes_, value);
}

QByteArray keyedArchiver::archivedData() const {
    std::string head;
    keyedArchiveEncoder::appendEnvelopeUpToRoot(head);
    keyedArchiveEncoder::appendMapHeader(head, entries_);
    QByteArray data(qsizetype(head.size() + bytes_->size()), Qt::Uninitialized);
    std::memcpy(data.data(), head.data(), head.size());
    std::memcpy(data.data() + head.size(), bytes_->data(), bytes_->size());
    return data;
}

keyedArchiveValue keyedArchiver::archivedObject() const {
    return keyedArchiveValue::fromArchivedData(archivedData()).valueOr(keyedArchiveValue());
}
