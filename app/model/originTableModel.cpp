#include "originTableModel.h"

#include "QVRDateFormatter.h"
#include "lenientNumbers.h"
#include "originStore.h"

#include <QHash>

#include <algorithm>

namespace {

const QStringList defaultIdentifiers = {
    QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
    QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
    QStringLiteral("9"), QStringLiteral("10")};

QString columnTitle(int identifier) {
    switch (identifier) {
    case 1:
        return QStringLiteral("Origin Time (UTC)");
    case 2:
        return QStringLiteral("Catalog");
    case 3:
        return QStringLiteral("Latitude");
    case 4:
        return QStringLiteral("Longitude");
    case 5:
        return QStringLiteral("Depth (km)");
    case 6:
        return QStringLiteral("Magnitude");
    case 7:
        return QStringLiteral("Contributor");
    case 8:
        return QStringLiteral("Event ID");
    case 9:
        return QStringLiteral("Region");
    case 10:
        return QStringLiteral("Age");
    default:
        return QString();
    }
}

} // namespace

originTableModel::originTableModel(originList* origins, QObject* parent)
    : originTableModel(origins, columnRules{}, parent) {}

originTableModel::originTableModel(originList* origins, columnRules rules, QObject* parent)
    : QAbstractTableModel(parent)
    , origins_(origins)
    , rules_(rules)
    , columnIdentifiers_(defaultIdentifiers) {}

originTableModel::originTableModel(originStore& store, columnRules rules, QObject* parent)
    : originTableModel(&storeRows_, rules, parent) {
    store_ = &store;
    connect(&store, &originStore::visibleOriginsChanged, this,
            &originTableModel::takeVisibleOrigins);
    takeVisibleOrigins();
}

void originTableModel::takeVisibleOrigins() {
    beginResetModel();
    storeRows_ = store_->visibleOrigins();
    // The order the user chose stays for every new list.
    if (indicatorColumn_ >= 0 && sortRows())
        store_->reorderVisibleOrigins(storeRows_);
    endResetModel();
}

void originTableModel::setColumnIdentifiers(const QStringList& identifiers) {
    beginResetModel();
    columnIdentifiers_ = identifiers;
    indicatorColumn_ = -1;
    endResetModel();
}

int originTableModel::numberOfRows() const {
    return origins_ ? int(origins_->size()) : 0;
}

std::shared_ptr<seismicOrigin> originTableModel::originAt(int row) const {
    return origins_ && row >= 0 && row < origins_->size() ? origins_->at(row) : nullptr;
}

QString originTableModel::cellText(const QString& columnIdentifier, int row) const {
    if (!origins_ || row < 0 || row >= origins_->size() || !origins_->at(row))
        return {};
    const seismicOrigin& o = *origins_->at(row);
    switch (leadingInt(columnIdentifier)) {
    case 1:
        return QVRDateFormatter::standardDescription(o.originDateTime());
    case 2:
        return o.catalog();
    case 3:
        return QString::asprintf("%7.3f", double(o.latitude()));
    case 4:
        return QString::asprintf("%8.3f", double(o.longitude()));
    case 5:
        return QString::asprintf("%5.1f", double(o.depth()));
    case 6:
        return QString::asprintf("%5.1f", double(o.magnitude()));
    case 7:
        return o.locationContributor();
    case 8:
        return o.eventID();
    case 9:
        return rules_.regionFallsBackToCatalogText ? o.shownRegionString()
                                                   : o.shortFlinnEngdahlString();
    case 10:
        return o.originTimeSinceNow();
    default:
        return QStringLiteral("NA");
    }
}

originTableModel::comparison originTableModel::orderingOf(int identifier) const {
    switch (identifier) {
    case 1:
        return &seismicOrigin::compareOriginTimes;
    case 3:
        return &seismicOrigin::compareLatitudes;
    case 4:
        return &seismicOrigin::compareLongitudes;
    case 5:
        return &seismicOrigin::compareDepths;
    case 6:
        return &seismicOrigin::compareMagnitudes;
    case 9:
        return &seismicOrigin::compareFERegions;
    case 10:
        return rules_.ageColumnSorts ? &seismicOrigin::compareOriginTimes : nullptr;
    default:
        return nullptr;
    }
}

void originTableModel::mouseDownInHeader(int column) {
    if (column < 0 || column >= columnIdentifiers_.size())
        return;
    const bool wasAscending = indicatorColumn_ == column && indicatorAscending_;
    indicatorColumn_ = column;
    indicatorAscending_ = !wasAscending;

    // Rows that move take their persistent indexes (and so the selection) with them.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<std::shared_ptr<seismicOrigin>> originsBefore;
    originsBefore.reserve(before.size());
    for (const QModelIndex& index : before)
        originsBefore.append(originAt(index.row()));
    if (sortRows()) {
        QHash<const seismicOrigin*, int> rowOf;
        for (int row = 0; row < numberOfRows(); ++row)
            rowOf.insert(origins_->at(row).get(), row);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(rowOf.value(originsBefore.at(i).get(), before.at(i).row()),
                               before.at(i).column()));
        changePersistentIndexList(before, after);
        if (store_)
            store_->reorderVisibleOrigins(storeRows_);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT sortIndicatorChanged();
}

bool originTableModel::sortRows() {
    if (!origins_ || indicatorColumn_ < 0 || indicatorColumn_ >= columnIdentifiers_.size())
        return false;
    const comparison compare = orderingOf(leadingInt(columnIdentifiers_.at(indicatorColumn_)));
    if (!compare)
        return false;
    // Equal rows keep their order, so a second key survives a sort by the first.
    if (indicatorAscending_)
        std::stable_sort(
            origins_->begin(), origins_->end(),
            [compare](const auto& a, const auto& b) { return ((*a).*compare)(*b) < 0; });
    else
        std::stable_sort(
            origins_->begin(), origins_->end(),
            [compare](const auto& a, const auto& b) { return ((*a).*compare)(*b) > 0; });
    return true;
}

void originTableModel::clearSortIndicators() {
    indicatorColumn_ = -1;
    indicatorAscending_ = false;
    Q_EMIT sortIndicatorChanged();
}

void originTableModel::reloadData() {
    if (store_) {
        takeVisibleOrigins();
        return;
    }
    beginResetModel();
    endResetModel();
}

int originTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : numberOfRows();
}

int originTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columnIdentifiers_.size());
}

QVariant originTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnIdentifiers_.size())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(columnIdentifiers_.at(index.column()), index.row());
    if (role == Qt::TextAlignmentRole) {
        const int id = leadingInt(columnIdentifiers_.at(index.column()));
        if (id >= 3 && id <= 6)
            return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant originTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnIdentifiers_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return columnTitle(leadingInt(columnIdentifiers_.at(section)));
    if (role == Qt::UserRole)
        return columnIdentifiers_.at(section);
    return {};
}
