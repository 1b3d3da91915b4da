#include "webPages.h"

#include "mainWindows.h"
#include "quorvelLogging.h"
#include "webLinks.h"
#include "webViewHolder.h"

#include "ui_browserWindow.h"
#include "ui_twitterWindow.h"

#include <QDesktopServices>

webPages::webPages(mainWindows& windows, QObject* parent)
    : QObject(parent)
    , windows_(windows)
    , theWebView_(new webViewHolder(windows.browserInterface().webViewHolder, this))
    , theTwitterWebView_(new webViewHolder(windows.twitterInterface().webViewHolder, this)) {
    connectWindows();
}

void webPages::connectWindows() {
    Ui::browserWindow& browser = windows_.browserInterface();
    Ui::twitterWindow& twitter = windows_.twitterInterface();
    // The browser: the page names the window, the address line loads what is typed.
    connect(theWebView_, &webViewHolder::titleChanged, windows_.browserWindow(),
            &QWidget::setWindowTitle);
    connect(browser.webAddressTField, &QLineEdit::returnPressed, this,
            [this, &browser] { loadURL(QUrl::fromUserInput(browser.webAddressTField->text())); });
    connect(browser.externalBrowserButton, &QPushButton::clicked, this,
            [this] { loadURLInExternalBrowser(theWebView_->requestedURL()); });
    connect(twitter.twitterSearchButton, &QPushButton::clicked, this,
            &webPages::loadTwitterSearchResults);
    connect(twitter.twitterGeoFilterCheckBox, &QCheckBox::toggled, this,
            &webPages::loadTwitterSearchResults);
}

void webPages::loadOriginPage(QUrl (*link)(const seismicOrigin&), const seismicOrigin* selected) {
    if (selected)
        loadURL(link(*selected));
}

void webPages::loadNEICEventPage(const seismicOrigin* selected) {
    loadOriginPage(&webLinks::eventPage, selected);
}

void webPages::openGoogleMaps(const seismicOrigin* selected) {
    loadOriginPage(&webLinks::mapOfOrigin, selected);
}

void webPages::googleNewsSearch(const seismicOrigin* selected) {
    loadOriginPage(&webLinks::newsSearch, selected);
}

void webPages::cmtSearch(const seismicOrigin* selected) {
    loadOriginPage(&webLinks::cmtSearch, selected);
}

void webPages::loadURL(const QUrl& address) {
    if (!windows_.browserWindow()->isVisible())
        windows_.showBrowserWindow();
    theWebView_->load(address);
    windows_.browserInterface().webAddressTField->setText(address.toString());
}

bool webPages::loadURLInExternalBrowser(const QUrl& address) {
    return QDesktopServices::openUrl(address);
}

void webPages::updateWCATWCMessage() {
    loadURL(webLinks::wcatwcPage());
}

void webPages::updatePTWCMessage() {
    loadURL(webLinks::ptwcPage());
}

void webPages::loadQuorvelWebHome() {
    loadURL(webLinks::webHome());
}

void webPages::loadQuorvelInfoPage(const QString& title) {
    loadURL(webLinks::infoPage(title));
}

void webPages::showTwitterBrowserWindow() {
    if (!updateTwitterTimer_) {
        auto* timer = new QTimer(this);
        timer->setInterval(120 * 1000);
        connect(timer, &QTimer::timeout, this, &webPages::updateTwitterFeed);
        timer->start();
        setUpdateTwitterTimer(timer);
    }
    loadTwitterSearchResults();
    mainWindows::bringToFront(windows_.twitterBrowserWindow(), true);
}

void webPages::updateTwitterFeed() {
    loadTwitterSearchResults();
}

QUrl webPages::loadTwitterSearchResults() {
    const Ui::twitterWindow& ui = windows_.twitterInterface();
    const QString query = webLinks::twitterQuery(
        ui.twitterGeoFilterCheckBox->isChecked(), mainWindows::floatOf(ui.geoFilterLatTField),
        mainWindows::floatOf(ui.geoFilterLonTField), mainWindows::floatOf(ui.geoFilterDistTField));
    const QUrl address = webLinks::twitterSearch(query);
    qCInfo(lcController).noquote() << address.toString(QUrl::FullyEncoded);
    theTwitterWebView_->load(address);
    return address;
}
