#include "fileDropTarget.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

void fileDropTarget::attach(QWidget& window, opener open) {
    new fileDropTarget(window, std::move(open)); // owned by the window
}

fileDropTarget::fileDropTarget(QWidget& window, opener open)
    : QObject(&window)
    , open_(std::move(open)) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

QStringList fileDropTarget::localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

bool fileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localFiles(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->acceptProposedAction();
        open_(paths);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
