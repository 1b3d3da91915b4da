#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

// Lets a window take files dragged onto it from a file manager: a drag that carries local
// files is accepted anywhere over the window, and the drop hands their paths on.
class fileDropTarget : public QObject {
    Q_OBJECT
public:
    using opener = std::function<void(const QStringList& paths)>;

    // The target lives as long as `window`.
    static void attach(QWidget& window, opener open);
    // The local files a drag carries, in its order; none for anything else.
    static QStringList localFiles(const QMimeData* data);

private:
    fileDropTarget(QWidget& window, opener open);
    bool eventFilter(QObject* watched, QEvent* event) override;

    opener open_;
};
