#pragma once

#include <QStringList>
#include <QTextStream>

// Quorvel's command-line mode: with arguments the program works without a window, for
// scripting and for tests. Exit codes: 0 done, 1 the work failed, 2 bad arguments or input
// that is not what the command reads.
namespace quorvelCommandLine {

// True when `arguments` (program name first) ask for the windows rather than the command line.
bool opensWindows(const QStringList& arguments);
// True when the command draws pictures and so needs a (possibly off-screen) GUI application.
bool drawsPictures(const QStringList& arguments);

// Runs the command line: `in` is read by commands that take standard input, `out` gets
// results and help, `err` errors.
int run(const QStringList& arguments, QTextStream& in, QTextStream& out, QTextStream& err);

} // namespace quorvelCommandLine
