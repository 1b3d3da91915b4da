#include "quorvelCommandLine.h"
#include "timeZones.h"
#include "ui_mainWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>

#include <cstdio>

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
        QCoreApplication app(argc, argv);
        QTextStream in(stdin);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return quorvelCommandLine::run(app.arguments(), in, out, err);
    }

    QApplication app(argc, argv);
    QMainWindow window;
    Ui::mainWindow ui;
    ui.setupUi(&window);
    window.show();
    return app.exec();
}
