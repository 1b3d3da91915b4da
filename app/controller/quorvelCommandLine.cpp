#include "quorvelCommandLine.h"

#include <QCommandLineParser>

namespace quorvelCommandLine {

bool opensWindows(const QStringList& arguments)
{
    return arguments.size() <= 1;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quorvel, a desktop earthquake monitor.\n"
                       "Without arguments it opens its windows; with arguments it works on the "
                       "command line, without a display."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    if (!parser.parse(arguments)) {
        err << "Quorvel: " << parser.errorText() << "\n"
            << "Try 'Quorvel --help'.\n";
        return 2;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "Quorvel " << QUORVEL_VERSION << "\n";
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "Quorvel: unexpected argument '" << parser.positionalArguments().first()
            << "'\nTry 'Quorvel --help'.\n";
        return 2;
    }
    err << "Quorvel: nothing to do\nTry 'Quorvel --help'.\n";
    return 2;
}

} // namespace quorvelCommandLine
