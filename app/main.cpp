#include "OrrelinController.h"
#include "quorvelCommandLine.h"
#include "timeZones.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>

#include <cstdio>
#include <unistd.h>

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
    OrrelinController controller;
    // The window opens on the list kept from the last run; the first loads follow once it
    // is on screen, and it repaints while they download.
    controller.awakeFromNib(OrrelinController::firstLoads::deferred);
    controller.mainWindow()->show();
    return app.exec();
}
