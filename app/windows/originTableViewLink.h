#pragma once

#include <QObject>

class QTableView;
class originTableModel;

// The widget side of an originTableModel: it shows the model in a QTableView, routes the
// header's clicks to the model and keeps the header's sort indicator in step with the model's
// sort state. Qt's own sorting stays off, because the model sorts the list its owner keeps.
// A model has at most one link, which is its child, and one table whose header shows its
// indicator: the model's indicatorTable, which whoever owns the model may change.
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

    originTableModel& model_;
};
