#include "OrrelinController.h"
#include "quorvelCommandLine.h"
#include "timeZones.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM (a session ending) and SIGINT quit through the event loop, so that the windows'
// places and the settings are saved as on Quit. The handler only writes a byte to a socket;
// the event loop reads it.
int signalSockets[2] = {-1, -1};

void quitOnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

void quitCleanlyOnTerminationSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
        app.quit();
    });
    struct sigaction action = {};
    action.sa_handler = quitOnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    // Every date text that names no zone is UTC.
    timeZones::makeUTCTheDefault();
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    if (!quorvelCommandLine::opensWindows(arguments)) {
        QTextStream in(stdin);
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (quorvelCommandLine::drawsPictures(arguments)) {
            // Pictures are drawn off screen; no display is needed.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QApplication app(argc, argv);
            return quorvelCommandLine::run(app.arguments(), in, out, err);
        }
        QCoreApplication app(argc, argv);
        return quorvelCommandLine::run(app.arguments(), in, out, err);
    }

    // The browser engine refuses to run as root inside its sandbox.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    quitCleanlyOnTerminationSignals(app);
    OrrelinController controller;
    // The window opens on the list kept from the last run; the first loads follow once it
    // is on screen, and it repaints while they download.
    controller.awakeFromNib(OrrelinController::firstLoads::deferred);
    controller.mainWindow()->show();
    return app.exec();
}
