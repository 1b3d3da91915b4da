#pragma once

#include "quorvelCommandLine.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// The command line run in the test's process, as `Quorvel <arguments>` with `input` on
// standard input, and what it printed.
struct commandLineRun {
    int status;
    QString out, err;
};

inline commandLineRun runQuorvel(const QStringList& arguments, const QString& input = QString()) {
    QString inText = input, outText, errText;
    QTextStream in(&inText), out(&outText), err(&errText);
    const int status =
        quorvelCommandLine::run(QStringList{QStringLiteral("Quorvel")} + arguments, in, out, err);
    out.flush();
    err.flush();
    return {status, outText, errText};
}
