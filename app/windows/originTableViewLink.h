#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class QTableView;
class originTableModel;
class seismicOrigin;

// The widget side of an originTableModel: it shows the model in a QTableView, routes the
// header's clicks to the model and keeps the header's sort indicator in step with the model's
// sort state. Qt's own sorting stays off, because the model sorts the list its owner keeps.
// A model has at most one link, which is its child, and one table whose header shows its
// indicator: the model's indicatorTable, which whoever owns the model may change. In the table
// it was attached to, the selection follows its origins when the model takes a new list.
class originTableViewLink : public QObject {
    Q_OBJECT
public:
    ~originTableViewLink() override;

    // Shows `model` in `view`, routes the view's header clicks to the model and shows the
    // model's indicator in that header.
    static void attach(originTableModel& model, QTableView* view);

private:
    explicit originTableViewLink(originTableModel& model);
    static originTableViewLink& of(originTableModel& model);
    void showIndicatorInHeader();
    // Around a new list: the selected origins, then the rows that hold them again, and the
    // indicator.
    void rememberSelection();
    void restoreSelection();

    originTableModel& model_;
    QPointer<QTableView> tableView_; // the table attached, whose selection is kept
    QList<std::shared_ptr<seismicOrigin>> selectedOrigins_;
};
