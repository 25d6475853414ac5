// Arbitrary bytes as an instrument export file, read by the same reader as
// "Acquire data": it must never crash, hang or exhaust memory.
#include "acquisition/exportfile.h"

#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<ExportFile> file
        = readExportData(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    if (file) {
        // Every row's multi-line fields have one line per result.
        for (const SampleRow &row : file->rows) {
            const int lines = row.resultLines.count(QStringLiteral("\r\n"));
            if (row.noteLines.count(QStringLiteral("\r\n")) != lines
                || row.symbolLines.count(QStringLiteral("\r\n")) != lines)
                __builtin_trap();
        }
    }
    return 0;
}
