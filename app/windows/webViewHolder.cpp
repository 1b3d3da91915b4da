#include "webViewHolder.h"

#include <QLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// Pages that ask for a new window (links with a target, window.open) load in the same view.
class sameViewPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

} // namespace

webViewHolder::webViewHolder(QWidget* holder, QObject* parent) : QObject(parent), holder_(holder) {}

QWebEngineView* webViewHolder::view() {
    if (view_ || !holder_)
        return view_;
    view_ = new QWebEngineView(holder_);
    view_->setPage(new sameViewPage(view_));
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
