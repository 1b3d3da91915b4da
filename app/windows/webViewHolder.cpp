#include "webViewHolder.h"

#include "browserEngine.h"
#include "quorvelLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QWidget>

// Qt's own setter of the context that every OpenGL user of the application shares; Qt WebEngine
// sets it the same way.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

bool allowed = true;

// The engine draws its pages with OpenGL in a context shared with the windows. Linked into the
// program, it has Qt make that context as the application starts, which loads the whole
// graphics stack (some 60 MB resident under a software renderer) for a window most sessions
// never open. Made here instead, before the engine is loaded, only those who browse pay for it.
void makeSharedGraphicsContext() {
    if (QOpenGLContext::globalShareContext())
        return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    if (!context->create()) {
        // The engine then draws without OpenGL.
        delete context;
        return;
    }
    qt_gl_set_global_share_context(context);
    QObject::connect(context, &QObject::destroyed, [] { qt_gl_set_global_share_context(nullptr); });
}

// Loaded once; nullptr, with one log line, when the plugin is missing or broken.
browserEngine* loadedBrowserEngine() {
    static browserEngine* const engine = []() -> browserEngine* {
        makeSharedGraphicsContext();
        QPluginLoader loader(QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral(QUORVEL_BROWSER_PLUGIN)));
        auto* found = qobject_cast<browserEngine*>(loader.instance());
        if (!found)
            qCWarning(lcController).noquote()
                << QStringLiteral("Web pages cannot be shown: the browser engine %1 cannot be "
                                  "loaded: %2")
                       .arg(loader.fileName(), loader.errorString());
        return found;
    }();
    return engine;
}

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

QWidget* webViewHolder::view() {
    if (view_ || !holder_ || !allowed)
        return view_;
    browserEngine* engine = loadedBrowserEngine();
    if (!engine)
        return nullptr;
    view_ = engine->makeView(holder_);
    if (holder_->layout())
        holder_->layout()->addWidget(view_);
    engine->watchTitle(view_, this, [this](const QString& title) { Q_EMIT titleChanged(title); });
    return view_;
}

void webViewHolder::load(const QUrl& address) {
    requestedURL_ = address;
    if (QWidget* v = view())
        loadedBrowserEngine()->load(v, address);
}
