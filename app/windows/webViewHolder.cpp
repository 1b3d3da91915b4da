#include "webViewHolder.h"

#include <QCoreApplication>
#include <QLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

bool allowed = true;

// Both browser windows share one profile, so that cookies and the cache last between runs.
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

webViewHolder::webViewHolder(QWidget* holder, QObject* parent)
    : QObject(parent)
    , holder_(holder) {}

bool webViewHolder::viewsAllowed() {
    return allowed;
}

void webViewHolder::setViewsAllowed(bool on) {
    allowed = on;
}

QWebEngineView* webViewHolder::view() {
    if (view_ || !holder_ || !allowed)
        return view_;
    view_ = new QWebEngineView(holder_);
    view_->setPage(new sameViewPage(sharedProfile(), view_));
    if (holder_->layout())
        holder_->layout()->addWidget(view_);
    connect(view_, &QWebEngineView::titleChanged, this, &webViewHolder::titleChanged);
    return view_;
}

void webViewHolder::load(const QUrl& address) {
    requestedURL_ = address;
    if (QWebEngineView* v = view())
        v->load(address);
}
