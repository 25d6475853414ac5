#ifndef CONVERTER_H
#define CONVERTER_H

#include <QStringList>

class QTextStream;

// The command-line converter: an export file in, the same PDF report and
// workbook as the window's out, messages on standard error.
namespace Converter {

enum ExitCode {
    Success = 0,
    InvalidExportFile = 1,
    BadUsage = 2,
    NothingTicked = 3,
    NotWritten = 4
};

// Runs the converter on the program's arguments (the first one is the
// program's name); help and version texts go to out, messages to err.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace Converter

#endif // CONVERTER_H
