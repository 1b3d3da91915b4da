#pragma once

#include <QColor>
#include <QPushButton>

// A button that shows a colour and lets the user pick another with the colour dialog.
class colorWell : public QPushButton {
    Q_OBJECT
public:
    explicit colorWell(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    // Shows `c` without telling anyone.
    void setColor(const QColor& c);

Q_SIGNALS:
    // The user picked a colour.
    void colorChanged(const QColor& color);

private:
    void chooseColor();

    QColor color_ = Qt::white;
};
