#include "logCapture.h"

namespace {
logCapture* current = nullptr;
}

logCapture::logCapture()
    : previous_(qInstallMessageHandler(&logCapture::handler)) {
    current = this;
}

logCapture::~logCapture() {
    qInstallMessageHandler(previous_);
    current = nullptr;
}

void logCapture::handler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (current && type != QtDebugMsg && type != QtInfoMsg)
        current->problems_.append(message);
}
