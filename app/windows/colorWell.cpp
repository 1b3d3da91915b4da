#include "colorWell.h"

#include <QColorDialog>

colorWell::colorWell(QWidget* parent)
    : QPushButton(parent) {
    setMinimumSize(44, 22);
    setMaximumWidth(60);
    setColor(color_);
    connect(this, &QPushButton::clicked, this, &colorWell::chooseColor);
}

void colorWell::setColor(const QColor& c) {
    color_ = c;
    setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #666;")
                      .arg(c.name(QColor::HexRgb)));
    setToolTip(c.name(QColor::HexRgb));
}

void colorWell::chooseColor() {
    const QColor picked =
        QColorDialog::getColor(color_, this, tr("Choose a Colour"), QColorDialog::ShowAlphaChannel);
    if (!picked.isValid())
        return;
    setColor(picked);
    Q_EMIT colorChanged(picked);
}
