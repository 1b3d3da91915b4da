#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// Collects the warnings and errors logged while it lives, instead of printing them, so that a
// test can check that a failure was reported, and reported once.
class logCapture {
public:
    logCapture();
    ~logCapture();
    logCapture(const logCapture&) = delete;
    logCapture& operator=(const logCapture&) = delete;

    // Warning, critical and fatal lines seen so far.
    const QList<QString>& problems() const { return problems_; }
    void clear() { problems_.clear(); }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QList<QString> problems_;
    QtMessageHandler previous_;
};
