#include "originTableViewLink.h"

#include "originTableModel.h"

#include <QHeaderView>
#include <QTableView>

originTableViewLink::originTableViewLink(originTableModel& model)
    : QObject(&model)
    , model_(model) {
    connect(&model, &originTableModel::sortIndicatorChanged, this,
            &originTableViewLink::showIndicatorInHeader);
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
    view->setSortingEnabled(false);
    view->setModel(&model);
    QHeaderView* header = view->horizontalHeader();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, &model,
            [&model](int logicalIndex) { model.mouseDownInHeader(logicalIndex); });
    link.showIndicatorInHeader();
}

QTableView* originTableViewLink::tableView(const originTableModel& model) {
    const auto* link = model.findChild<originTableViewLink*>(QString(), Qt::FindDirectChildrenOnly);
    return link ? link->tableView_.data() : nullptr;
}

void originTableViewLink::setTableView(originTableModel& model, QTableView* view) {
    of(model).tableView_ = view;
}

void originTableViewLink::showIndicatorInHeader() {
    if (!tableView_)
        return;
    QHeaderView* header = tableView_->horizontalHeader();
    header->setSortIndicatorShown(model_.sortIndicatorColumn() >= 0);
    // The header flips its own indicator on a click before it reports the click; the model's
    // state is the one that counts, so it is written back every time.
    header->setSortIndicator(model_.sortIndicatorColumn(), model_.sortIndicatorAscending()
                                                               ? Qt::AscendingOrder
                                                               : Qt::DescendingOrder);
}
