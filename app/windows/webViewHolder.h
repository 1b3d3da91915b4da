#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

class QWidget;

// The web view of a browser window, made the first time a page is loaded into it: starting
// the browser engine is slow and heavy, and start-up, the tests and the command line never
// need it. The engine is a plugin, loaded then. A page's request for a new window opens in
// this same view.
class webViewHolder : public QObject {
    Q_OBJECT
public:
    // The view goes into `holder`'s layout when it is made.
    explicit webViewHolder(QWidget* holder, QObject* parent = nullptr);

    bool hasView() const { return !view_.isNull(); }
    // Whether views may be made at all; the tests switch it off and check the addresses.
    static bool viewsAllowed();
    static void setViewsAllowed(bool allowed);
    // The view, made now if need be; nullptr when views are not allowed or the engine cannot
    // be loaded.
    QWidget* view();
    // The address last asked for; empty before the first load.
    const QUrl& requestedURL() const { return requestedURL_; }
    void load(const QUrl& address);

Q_SIGNALS:
    // The shown page named itself.
    void titleChanged(const QString& title);

private:
    QPointer<QWidget> holder_;
    QPointer<QWidget> view_;
    QUrl requestedURL_;
};
