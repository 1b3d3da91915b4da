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
    model.setIndicatorTable(view);
    view->setSortingEnabled(false);
    view->setModel(&model);
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
