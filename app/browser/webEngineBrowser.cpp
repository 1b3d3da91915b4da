#include "webEngineBrowser.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

QWebEngineProfile* sharedProfile() {
    static QWebEngineProfile* profile =
        new QWebEngineProfile(QStringLiteral("Quorvel-For-The-Mac"), QCoreApplication::instance());
    return profile;
}

// Pages that ask for a new window (links with a target, window.open) load in the same view.
class sameViewPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

} // namespace

QWidget* webEngineBrowser::makeView(QWidget* parent) {
    auto* view = new QWebEngineView(parent);
    view->setPage(new sameViewPage(sharedProfile(), view));
    return view;
}

void webEngineBrowser::load(QWidget* view, const QUrl& address) {
    if (auto* webView = qobject_cast<QWebEngineView*>(view))
        webView->load(address);
}

void webEngineBrowser::watchTitle(QWidget* view, QObject* context,
                                  std::function<void(const QString&)> titleChanged) {
    if (auto* webView = qobject_cast<QWebEngineView*>(view))
        QObject::connect(webView, &QWebEngineView::titleChanged, context, std::move(titleChanged));
}
