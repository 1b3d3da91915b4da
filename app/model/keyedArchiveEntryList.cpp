#include "keyedArchiveEntryList.h"

keyedArchiveEntryList::entry& keyedArchiveEntryList::append() {
    if (size_ == entries_.size())
        entries_.emplace_back();
    entry& e = entries_[size_++];
    e.type = keyedArchiveValue::Type::Null;
    e.end = size_;
    e.integer = 0;
    e.number = 0;
    e.streamedFrom = -1;
    e.streamedTo = -1;
    return e;
}

void keyedArchiveEntryList::assignText(QString& target, const char* bytes, qsizetype length,
                                       bool ascii) {
    // Only ASCII is compared (there Latin-1 and UTF-8 agree); other texts are rare enough to
    // be decoded every time.
    const QLatin1StringView latin1(bytes, length);
    if (ascii && target.size() == length && !target.isNull() && QStringView(target) == latin1)
        return;
    // An empty text stays a text, not an absent one.
    if (length == 0)
        target = QString(QLatin1StringView(""));
    else
        target = ascii ? QString(latin1) : QString::fromUtf8(bytes, length);
}
