#pragma once

#include "seismicOrigin.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class mainWindows;
class webViewHolder;

// The web pages the application shows in its browser window (or the user's own browser): the
// selected event's pages, the tsunami centres and the product's pages; and the Twitter
// search in its own window, refreshed every two minutes once that window has been opened.
class webPages : public QObject {
    Q_OBJECT
public:
    explicit webPages(mainWindows& windows, QObject* parent = nullptr);

    webViewHolder* theWebView() const { return theWebView_; }
    webViewHolder* theTwitterWebView() const { return theTwitterWebView_; }

    // The selected origin's pages; none selected does nothing.
    void loadNEICEventPage(const seismicOrigin* selected);
    void openGoogleMaps(const seismicOrigin* selected);
    void googleNewsSearch(const seismicOrigin* selected);
    void cmtSearch(const seismicOrigin* selected);

    void loadURL(const QUrl& address);
    static bool loadURLInExternalBrowser(const QUrl& address);
    void updateWCATWCMessage();
    void updatePTWCMessage();
    void loadQuorvelWebHome();
    void loadQuorvelInfoPage(const QString& title);

    QTimer* updateTwitterTimer() const { return updateTwitterTimer_; }
    void setUpdateTwitterTimer(QTimer* timer) { updateTwitterTimer_ = timer; }
    void showTwitterBrowserWindow();
    void updateTwitterFeed();
    // The percent-encoded search address it loaded.
    QUrl loadTwitterSearchResults();

private:
    void connectWindows();
    void loadOriginPage(QUrl (*link)(const seismicOrigin&), const seismicOrigin* selected);

    mainWindows& windows_;
    webViewHolder* theWebView_;        // a child
    webViewHolder* theTwitterWebView_; // a child
    QPointer<QTimer> updateTwitterTimer_;
};
