// Edits a sheet of N rows of ten cells, nine numbers and one formula that
// reads its row and the row above (100,000 rows: 100,000 formulas), with a
// second sheet summing it: one row inserted at the top and removed again,
// one column inserted and removed, the sheet renamed. Each is timed on the
// sheet as made and as loaded from its file; the goal is well under a
// second for one row at the top of 100,000.
//   bench_edit [ROWS]
#include "benchutil.h"

#include "spreadsheet/spreadsheet.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

using namespace Spreadsheet;

namespace {

constexpr double goalMilliseconds = 1000;

void fill(Document &document, int rows)
{
    Worksheet *sheet = document.activeWorksheet();
    document.renameSheet(QStringLiteral("Sheet1"), QStringLiteral("Data"));
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= 9; ++column)
            sheet->writeNumber(row, column, row * column % 1000 / 10.0);
        sheet->writeFormula(row, 10, CellFormula(row == 1 ? QStringLiteral("SUM(A1:I1)")
                                                          : QStringLiteral("SUM(A%1:I%1)-J%2*$A$1").arg(row).arg(row - 1)));
    }
    document.addSheet(QStringLiteral("Summary"));
    document.activeWorksheet()->writeFormula(1, 1, CellFormula(QStringLiteral("SUM(Data!J:J)")));
    document.activeWorksheet()->writeFormula(2, 1, CellFormula(QStringLiteral("AVERAGE(Data!A2:I%1)").arg(rows)));
    document.selectSheet(QStringLiteral("Data"));
}

void timeEdits(QTextStream &out, Document &document, const QString &label)
{
    QElapsedTimer timer;
    const std::pair<const char *, std::function<bool()>> edits[] = {
        { "one row inserted at the top", [&] { return document.insertRows(1); } },
        { "that row removed", [&] { return document.removeRows(1); } },
        { "one column inserted at the left", [&] { return document.insertColumns(1); } },
        { "that column removed", [&] { return document.removeColumns(1); } },
        { "the sheet renamed", [&] { return document.renameSheet(QStringLiteral("Data"), QStringLiteral("Lab data")); } },
    };
    for (const auto &[name, edit] : edits) {
        timer.start();
        const bool done = edit();
        const double ms = Bench::lap(timer);
        out << QStringLiteral("  %1, %2: %3 ms (goal under %4 ms, %5 of it)%6\n")
                   .arg(label, QLatin1String(name))
                   .arg(ms, 0, 'f', 1)
                   .arg(goalMilliseconds)
                   .arg(ms / goalMilliseconds, 0, 'f', 2)
                   .arg(done ? QString() : QStringLiteral(" REFUSED"));
        out.flush();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    out << QStringLiteral("Editing a sheet of %1 rows of ten cells, %1 formulas:\n").arg(rows);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("edit.xlsx"));
    {
        Document document;
        fill(document, rows);
        timeEdits(out, document, QStringLiteral("made"));
        document.renameSheet(QStringLiteral("Lab data"), QStringLiteral("Data"));
        document.saveToFile(path);
    }
    Document loaded;
    loaded.load(path);
    timeEdits(out, loaded, QStringLiteral("loaded"));
    out << QStringLiteral("Peak memory: %1 MiB\n").arg(Bench::peakMemoryMiB(), 0, 'f', 0);
    return 0;
}
