#pragma once

#include "browserEngine.h"

#include <QObject>

// The browser engine on Qt WebEngine. Its views share one profile, so that cookies and the
// cache last between runs.
class webEngineBrowser : public QObject, public browserEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUORVEL_BROWSER_ENGINE_IID)
    Q_INTERFACES(browserEngine)
public:
    QWidget* makeView(QWidget* parent) override;
    void load(QWidget* view, const QUrl& address) override;
    void watchTitle(QWidget* view, QObject* context,
                    std::function<void(const QString&)> titleChanged) override;
};
