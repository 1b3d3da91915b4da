#include "windowPlace.h"

#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

// Never below what the window's layout needs, which would push it off centre when shown, and
// never past the screen.
void fitToScreen(QWidget& window, double share) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize size = (QSizeF(available.size()) * share)
                           .toSize()
                           .expandedTo(window.minimumSizeHint())
                           .expandedTo(window.minimumSize())
                           .boundedTo(window.maximumSize())
                           .boundedTo(available.size());
    QRect place(QPoint(), size);
    place.moveCenter(available.center());
    window.setGeometry(place);
}

} // namespace

void windowPlace::restore(QWidget& window, const QString& key, double firstShare) {
    const QByteArray geometry = QSettings().value(key).toByteArray();
    if (!geometry.isEmpty() && window.restoreGeometry(geometry))
        return;
    if (firstShare > 0)
        fitToScreen(window, firstShare);
}

void windowPlace::keep(const QWidget& window, const QString& key) {
    if (window.testAttribute(Qt::WA_WState_ExplicitShowHide))
        QSettings().setValue(key, window.saveGeometry());
}
