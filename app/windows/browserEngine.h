#pragma once

#include <QtPlugin>

#include <functional>

class QObject;
class QString;
class QUrl;
class QWidget;

// What the browser windows need of a web engine. The engine lives in a plugin loaded when the
// first page is shown, so that a program that never shows one never starts it.
class browserEngine {
public:
    virtual ~browserEngine() = default;

    // A web view in `parent`. Pages that ask for a new window load in the same view.
    virtual QWidget* makeView(QWidget* parent) = 0;
    virtual void load(QWidget* view, const QUrl& address) = 0;
    // Calls `titleChanged` with the page's title whenever the page shown in `view` names itself,
    // for as long as `context` lives.
    virtual void watchTitle(QWidget* view, QObject* context,
                            std::function<void(const QString&)> titleChanged) = 0;
};

#define QUORVEL_BROWSER_ENGINE_IID "org.quorvel.Quorvel.browserEngine/1"
Q_DECLARE_INTERFACE(browserEngine, QUORVEL_BROWSER_ENGINE_IID)
