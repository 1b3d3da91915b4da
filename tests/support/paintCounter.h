#pragma once

#include <QEvent>
#include <QWidget>

// Counts the paints a widget has had since the counter was made.
class paintCounter : public QObject {
public:
    explicit paintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints_ += event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }

private:
    int paints_ = 0;
};
