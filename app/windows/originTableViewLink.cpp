#include "originTableViewLink.h"

#include "originTableModel.h"
#include "seismicOrigin.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QSet>
#include <QTableView>

originTableViewLink::originTableViewLink(originTableModel& model)
    : QObject(&model)
    , model_(model) {
    connect(&model, &originTableModel::sortIndicatorChanged, this,
            &originTableViewLink::showIndicatorInHeader);
    connect(&model, &originTableModel::modelAboutToBeReset, this,
            &originTableViewLink::rememberSelection);
}

originTableViewLink::~originTableViewLink() = default;

originTableViewLink& originTableViewLink::of(originTableModel& model) {
    if (auto* link = model.findChild<originTableViewLink*>(QString(), Qt::FindDirectChildrenOnly))
        return *link;
    return *new originTableViewLink(model); // owned by the model, its parent
}

void originTableViewLink::attach(originTableModel& model, QTableView* view) {
    if (!view)
        return;
    originTableViewLink& link = of(model);
    link.tableView_ = view;
    model.setIndicatorTable(view);
    view->setSortingEnabled(false);
    view->setModel(&model);
    // After the view's own handling of a new list, which clears its selection and indicator.
    connect(&model, &originTableModel::modelReset, &link, &originTableViewLink::restoreSelection,
            Qt::UniqueConnection);
    QHeaderView* header = view->horizontalHeader();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, &model,
            [&model](int logicalIndex) { model.mouseDownInHeader(logicalIndex); });
    link.showIndicatorInHeader();
}

void originTableViewLink::showIndicatorInHeader() {
    auto* table = qobject_cast<QTableView*>(model_.indicatorTable());
    if (!table)
        return;
    QHeaderView* header = table->horizontalHeader();
    header->setSortIndicatorShown(model_.sortIndicatorColumn() >= 0);
    // The header flips its own indicator on a click before it reports the click; the model's
    // state is the one that counts, so it is written back every time.
    header->setSortIndicator(model_.sortIndicatorColumn(), model_.sortIndicatorAscending()
                                                               ? Qt::AscendingOrder
                                                               : Qt::DescendingOrder);
}

void originTableViewLink::rememberSelection() {
    selectedOrigins_.clear();
    if (!tableView_ || !tableView_->selectionModel())
        return;
    for (const QModelIndex& row : tableView_->selectionModel()->selectedRows())
        selectedOrigins_.append(model_.originAt(row.row()));
}

void originTableViewLink::restoreSelection() {
    showIndicatorInHeader();
    if (!tableView_ || !tableView_->selectionModel() || selectedOrigins_.isEmpty())
        return;
    // The same record, or the same event in a list loaded again.
    QSet<const seismicOrigin*> records;
    QSet<QString> events;
    for (const auto& selected : std::as_const(selectedOrigins_)) {
        if (!selected)
            continue;
        records.insert(selected.get());
        if (!selected->eventID().isEmpty())
            events.insert(selected->eventID());
    }
    QItemSelection selection;
    for (int row = 0; row < model_.numberOfRows(); ++row) {
        const auto origin = model_.originAt(row);
        if (origin && (records.contains(origin.get()) || events.contains(origin->eventID())))
            selection.select(model_.index(row, 0), model_.index(row, model_.columnCount() - 1));
    }
    selectedOrigins_.clear();
    tableView_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty())
        tableView_->selectionModel()->setCurrentIndex(selection.first().topLeft(),
                                                      QItemSelectionModel::NoUpdate);
}
