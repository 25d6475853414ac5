// Calculates a sheet of N rows (100,000 by default) with three formulas per
// row: arithmetic on the row, a running SUM of a growing range and an exact
// VLOOKUP into a 1,000-row table on a second sheet. The workbook is saved and
// loaded first, as a calculation usually follows a load. Goals: within 1 s,
// and memory within twice what the loaded workbook takes.
//   bench_calc [ROWS]
#include "benchutil.h"

#include "spreadsheet/spreadsheet.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Spreadsheet;

namespace {

constexpr double goalMilliseconds = 1000;
constexpr double goalMemoryRatio = 2;

// Resident memory of this process now, in MiB (Linux).
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

void fill(Document &document, int rows)
{
    Worksheet *data = document.activeWorksheet();
    document.renameSheet(QStringLiteral("Sheet1"), QStringLiteral("Results"));
    data->writeText(1, 1, QStringLiteral("Sample"));
    for (int row = 2; row <= rows + 1; ++row) {
        data->writeNumber(row, 1, row % 1000 + 1);
        data->writeNumber(row, 2, (row * 37 % 1000) / 10.0);
        data->writeFormula(row, 3, CellFormula(QStringLiteral("A%1*B%1+1").arg(row)));
        data->writeFormula(row, 4, CellFormula(QStringLiteral("SUM(C$2:C%1)").arg(row)));
        data->writeFormula(row, 5, CellFormula(QStringLiteral("VLOOKUP(A%1,Limits!$A$1:$B$1000,2,FALSE)").arg(row)));
    }
    Worksheet *limits = static_cast<Worksheet *>(document.workbook()->addSheet(QStringLiteral("Limits")));
    for (int row = 1; row <= 1000; ++row) {
        limits->writeNumber(row, 1, row);
        limits->writeNumber(row, 2, row * 0.25);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--make") {
        // Made in a process of its own, so that what making took is not
        // counted as the loaded workbook's memory.
        Document document;
        fill(document, QByteArray(argv[3]).toInt());
        return document.saveToFile(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("calc.xlsx"));
    if (QProcess::execute(QCoreApplication::applicationFilePath(),
                          { QStringLiteral("--make"), path, QString::number(rows) }) != 0) {
        out << "could not make the workbook\n";
        return 1;
    }
    const double before = residentMiB();
    Document document;
    if (!document.load(path)) {
        out << "could not load: " << document.errorString() << "\n";
        return 1;
    }
    const double loaded = residentMiB() - before;
    // The peak is counted from here (Linux: "5" resets it).
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
    clearRefs.close();
    QElapsedTimer timer;
    timer.start();
    const bool calculated = document.calculate();
    const double ms = Bench::lap(timer);
    const double peak = Bench::peakMemoryMiB() - before;
    Worksheet *sheet = static_cast<Worksheet *>(document.workbook()->sheet(0));
    out << QStringLiteral("Calculating %1 rows, %2 formulas (arithmetic, a running SUM, a VLOOKUP into 1,000 rows):\n")
               .arg(rows)
               .arg(rows * 3);
    out << QStringLiteral("  time: %1 ms (goal under %2 ms, %3 of it)%4\n")
               .arg(ms, 0, 'f', 1)
               .arg(goalMilliseconds)
               .arg(ms / goalMilliseconds, 0, 'f', 2)
               .arg(calculated ? QString() : QStringLiteral(" FAILED: ") + document.errorString());
    out << QStringLiteral("  memory: the loaded workbook %1 MiB, at most %2 MiB while calculating (goal under %3 times, %4 of it)\n")
               .arg(loaded, 0, 'f', 1)
               .arg(peak, 0, 'f', 1)
               .arg(goalMemoryRatio)
               .arg(peak / loaded / goalMemoryRatio, 0, 'f', 2);
    out << QStringLiteral("  last row: %1, %2, %3\n")
               .arg(sheet->readValue(rows + 1, 3).toString(), sheet->readValue(rows + 1, 4).toString(),
                    sheet->readValue(rows + 1, 5).toString());
    return calculated ? 0 : 1;
}
