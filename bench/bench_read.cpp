// Reads back a workbook of N rows of ten cells, five texts and five numbers
// as the Excel export's workbook holds them: once row by row with
// SheetReader (cells per second), once whole with Document::load (time and
// peak memory, in a process of its own so that writing the file does not
// count). Prints the figures and their ratios to the goals for 100,000 rows.
//   bench_read [ROWS]
//   bench_read --load FILE   (the second process)
#include "benchutil.h"

#include "spreadsheet/spreadsheet.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Spreadsheet;

namespace {

// The goals on the project's machine class.
constexpr double goalCellsPerSecond = 2e6;
constexpr double goalLoadMilliseconds = 1000;
constexpr double goalLoadMiB = 100;

void writeWorkbook(const QString &path, int rows)
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    const QString units[] = { QStringLiteral("g/L"), QStringLiteral("mg/L"), QStringLiteral("%"),
                              QStringLiteral("g/100 g"), QStringLiteral("pH") };
    for (int i = 1; i <= rows; ++i) {
        sheet->writeText(i, 1, QStringLiteral("Matrix %1").arg(i % 5));
        sheet->writeText(i, 2, QStringLiteral("Analysis %1").arg(i % 20));
        sheet->writeText(i, 3, QStringLiteral("Sample %1").arg(i / 3));
        sheet->writeText(i, 4, units[i % 5]);
        sheet->writeText(i, 5, i % 7 ? QString() : QStringLiteral("value out of range"));
        sheet->writeNumber(i, 6, (i * 7919 % 100000) / 100.0);
        sheet->writeNumber(i, 7, (i * 31 % 1000) / 1000.0 + 1);
        sheet->writeNumber(i, 8, (i * 17 % 1000) / 1000.0);
        sheet->writeNumber(i, 9, i);
        sheet->writeNumber(i, 10, 44000 + i / 100.0);
    }
    document.saveToFile(path);
}

// The second process: loads the file and prints its time and peak memory.
int loadOnly(const QString &path)
{
    const double before = Bench::peakMemoryMiB();
    QElapsedTimer timer;
    timer.start();
    Document document;
    const bool loaded = document.load(path);
    const double milliseconds = Bench::lap(timer);
    QTextStream(stdout) << (loaded ? milliseconds : -1) << ' ' << Bench::peakMemoryMiB() << ' ' << before << '\n';
    return loaded ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--load") {
        QCoreApplication app(argc, argv);
        return loadOnly(QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const double scale = rows / 100000.0;
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("read.xlsx"));
    writeWorkbook(path, rows);
    out << QStringLiteral("%1 rows of ten cells, %2 KiB\n").arg(rows).arg(QFileInfo(path).size() / 1024);

    QElapsedTimer timer;
    timer.start();
    SheetReader reader;
    qint64 cells = 0;
    if (reader.open(path)) {
        while (reader.readRow()) {
            for (const QVariant &value : reader.values())
                cells += value.isValid();
        }
    }
    const double readMilliseconds = Bench::lap(timer);
    const double cellsPerSecond = cells / (readMilliseconds / 1000);
    out << QStringLiteral("SheetReader: %1 cells in %2 ms, %3 million cells/s (goal %4, ratio %5)%6\n")
               .arg(cells).arg(readMilliseconds, 0, 'f', 0).arg(cellsPerSecond / 1e6, 0, 'f', 2)
               .arg(goalCellsPerSecond / 1e6, 0, 'f', 1).arg(goalCellsPerSecond / cellsPerSecond, 0, 'f', 2)
               .arg(reader.hasError() ? QStringLiteral(" ERROR ") + reader.errorString() : QString());

    QProcess load;
    load.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--load"), path });
    load.waitForFinished(-1);
    const QList<QByteArray> figures = load.readAllStandardOutput().trimmed().split(' ');
    const double loadMilliseconds = figures.value(0).toDouble();
    const double loadMiB = figures.value(1).toDouble();
    out << QStringLiteral("Document::load: %1 ms (goal %2, ratio %3), peak %4 MiB (goal %5, ratio %6; %7 MiB before)\n")
               .arg(loadMilliseconds, 0, 'f', 0).arg(goalLoadMilliseconds * scale, 0, 'f', 0)
               .arg(loadMilliseconds / (goalLoadMilliseconds * scale), 0, 'f', 2).arg(loadMiB, 0, 'f', 1)
               .arg(goalLoadMiB, 0, 'f', 0).arg(loadMiB / goalLoadMiB, 0, 'f', 2)
               .arg(figures.value(2).toDouble(), 0, 'f', 1);
    return reader.hasError() || load.exitCode() != 0;
}
