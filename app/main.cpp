#include "OrrelinController.h"
#include "quorvelCommandLine.h"
#include "timeZones.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <functional>
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

// The start-up benchmark launches the program as a user would and needs the time from the
// process's own start, loading the program and its libraries included, to the main window's
// first paint. With QUORVEL_REPORT_FIRST_PAINT=FILE the program writes "SECONDS ORIGINS" (the
// origins then shown) to FILE once that paint is done and leaves at once: the measure is over,
// and the loads it started, against a server that never answers, must not hold it up.
class firstPaintReport : public QObject {
public:
    firstPaintReport(QString path, std::function<qsizetype()> origins, QObject* parent)
        : QObject(parent)
        , path_(std::move(path))
        , origins_(std::move(origins)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The main window is painted first, its children straight after in the same pass; a
        // posted call runs once the pass is over.
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, this, [this] { reportAndLeave(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // The kernel keeps the start in clock ticks since boot; it reads as the start of the
    // tick it fell in, so the figure can be up to one tick (10 ms) long.
    static double secondsSinceProcessStart() {
        QFile stat(QStringLiteral("/proc/self/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray line = stat.readAll();
        // The start time is the 22nd field; the command name in brackets, the 2nd, may hold
        // spaces, so fields are counted after its closing bracket.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        constexpr int startTimeAfterName = 22 - 3;
        if (fields.size() <= startTimeAfterName)
            return -1;
        timespec now{};
        ::clock_gettime(CLOCK_BOOTTIME, &now);
        return double(now.tv_sec) + double(now.tv_nsec) * 1e-9 -
               fields.at(startTimeAfterName).toDouble() / double(::sysconf(_SC_CLK_TCK));
    }

    void reportAndLeave() {
        const double seconds = secondsSinceProcessStart();
        QFile report(path_);
        if (report.open(QIODevice::WriteOnly | QIODevice::Truncate))
            report.write(QByteArray::number(seconds, 'f', 4) + ' ' +
                         QByteArray::number(origins_()) + '\n');
        report.close();
        ::_exit(report.error() == QFileDevice::NoError ? 0 : 1);
    }

    QString path_;
    std::function<qsizetype()> origins_;
    bool reported_ = false;
};

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
    if (const QString report = qEnvironmentVariable("QUORVEL_REPORT_FIRST_PAINT");
        !report.isEmpty())
        controller.mainWindow()->installEventFilter(new firstPaintReport(
            report, [&controller] { return controller.allSeismicOrigins().size(); }, &app));
    controller.mainWindow()->show();
    return app.exec();
}
