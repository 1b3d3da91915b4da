#include "originStore.h"

originStore::originStore(QObject* parent)
    : QObject(parent) {}

void originStore::replaceOrigins(const originList& newestFirst) {
    all_ = newestFirst;
    visible_ = newestFirst;
    filter_.reset();
    if (!all_.isEmpty())
        latest_ = all_.first();
    Q_EMIT originsReplaced();
    Q_EMIT visibleOriginsChanged();
}

void originStore::setAllOrigins(const originList& origins) {
    all_ = origins;
    Q_EMIT originsReplaced();
}

void originStore::setVisibleOrigins(const originList& origins,
                                    const std::optional<clickFilter>& filter) {
    visible_ = origins;
    filter_ = filter;
    Q_EMIT visibleOriginsChanged();
}

void originStore::clearFilter() {
    setVisibleOrigins(all_);
}

void originStore::reorderVisibleOrigins(const originList& sameOriginsReordered) {
    Q_ASSERT(sameOriginsReordered.size() == visible_.size());
    visible_ = sameOriginsReordered;
}

void originStore::followVisibleOrigins(QObject* receiver,
                                       std::function<void(const originList&)> take) const {
    connect(this, &originStore::visibleOriginsChanged, receiver, [this, take] { take(visible_); });
    take(visible_);
}
