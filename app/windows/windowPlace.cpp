#include "windowPlace.h"

#include <QSettings>
#include <QWidget>

void windowPlace::restore(QWidget& window, const QString& key) {
    const QByteArray geometry = QSettings().value(key).toByteArray();
    if (!geometry.isEmpty())
        window.restoreGeometry(geometry);
}

void windowPlace::keep(const QWidget& window, const QString& key) {
    if (window.testAttribute(Qt::WA_WState_ExplicitShowHide))
        QSettings().setValue(key, window.saveGeometry());
}
