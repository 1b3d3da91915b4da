#pragma once

#include "seismicOrigin.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

class originStore;

// The table of a list of origins: one row per origin in list order, and columns named by
// identifier texts read as numbers:
//   1 origin time  2 catalogue  3 latitude  4 longitude  5 depth  6 magnitude
//   7 location contributor  8 event id  9 region  10 age;  any other identifier shows "NA".
// A click on a column header sorts the list in place by that column (ascending first, then
// alternating) and moves the sort indicator; columns without an ordering only flip the
// indicator. Rows that move keep their persistent indexes, so a selection follows its origin.
//
// The model shows either a list its owner keeps and sorts that list in place, or the visible
// origins of an origin store: then it follows the store, keeps the chosen sort order for every
// new list, and hands the sorted order back to the store.
// originTableViewLink (windows/) puts it in a table and shows the indicator in its header.
class originTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct columnRules {
        // The region column falls back to the catalogue's own region text.
        bool regionFallsBackToCatalogText = false;
        // The age column sorts by origin time.
        bool ageColumnSorts = false;
    };

    explicit originTableModel(originList* origins, QObject* parent = nullptr);
    originTableModel(originList* origins, columnRules rules, QObject* parent = nullptr);
    originTableModel(originStore& store, columnRules rules, QObject* parent = nullptr);

    // One identifier per column; by default "1" to "10".
    const QStringList& columnIdentifiers() const { return columnIdentifiers_; }
    void setColumnIdentifiers(const QStringList& identifiers);

    int numberOfRows() const;
    // The origin of `row`, or none.
    std::shared_ptr<seismicOrigin> originAt(int row) const;
    // The text of the cell in the column named `columnIdentifier`.
    QString cellText(const QString& columnIdentifier, int row) const;

    // A click on the header of column `column` (an index into the identifiers).
    void mouseDownInHeader(int column);
    void clearSortIndicators();
    // The column that shows an indicator (-1 for none) and whether it points up.
    int sortIndicatorColumn() const { return indicatorColumn_; }
    bool sortIndicatorAscending() const { return indicatorAscending_; }
    // The table whose header shows the indicator (null for none); not owned. The model only
    // keeps it, for originTableViewLink and for the controllers that name their table.
    QObject* indicatorTable() const { return indicatorTable_; }
    void setIndicatorTable(QObject* table) { indicatorTable_ = table; }

    // The owner replaced or refilled the list.
    void reloadData();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The indicator moved, turned or went away (sortIndicatorColumn, sortIndicatorAscending).
    void sortIndicatorChanged();

private:
    using comparison = int (seismicOrigin::*)(const seismicOrigin&) const;
    comparison orderingOf(int identifier) const;
    // Sorts the rows by the indicator's column and direction; false when that column has no
    // ordering.
    bool sortRows();
    // The store's visible origins, in the kept sort order.
    void takeVisibleOrigins();

    originList* origins_;
    originStore* store_ = nullptr;
    originList storeRows_; // the rows shown for a store
    columnRules rules_;
    QStringList columnIdentifiers_;
    int indicatorColumn_ = -1;
    bool indicatorAscending_ = false;
    QPointer<QObject> indicatorTable_;
};
