// Writes N rows of ten text cells as the Excel export does and saves them;
// prints the time, the peak memory, their ratios to the goals for 100,000
// rows (README, Performance) and, as the floor, the time zlib needs to
// deflate the same worksheet and shared-strings XML on one core.
#include "benchutil.h"

#include "spreadsheet/sharedstrings.h"
#include "spreadsheet/spreadsheet.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Spreadsheet;

namespace {

// The goals for 100,000 rows on the project's machine class.
constexpr double goalMilliseconds = 1200;
constexpr double goalMiB = 128;

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    QTemporaryDir dir;

    QElapsedTimer timer;
    timer.start();
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    Format bold;
    bold.setFontBold(true);
    const char *headers[] = { "Matrix", "Analysis", "Date", "Sample", "Result", "UM", "K", "Q", "Operator", "Note" };
    for (int column = 0; column < 10; ++column) {
        RichString header;
        header.appendRun(QLatin1String(headers[column]), bold);
        sheet->writeValue(1, column + 1, QVariant::fromValue(header), Format());
    }
    const QString units[] = { QStringLiteral("g/L"), QStringLiteral("mg/L"), QStringLiteral("%"),
                              QStringLiteral("g/100 g"), QStringLiteral("pH") };
    const QString notes[] = { QString(), QStringLiteral("value out of range"), QStringLiteral("blank KO ") };
    // The ten texts of row i, as the export reads them from the table.
    auto rowTexts = [&](int i, QString *cells) {
        const QDateTime when = QDateTime(QDate(2026, 1, 1), QTime(8, 0)).addSecs(60 * (i / 3));
        cells[0] = QStringLiteral("Matrix %1").arg(i % 5);
        cells[1] = QStringLiteral("Analysis %1").arg(i % 20);
        cells[2] = when.toString(QStringLiteral("d/M/yyyy hh:mm"));
        cells[3] = QStringLiteral("Sample %1").arg(i / 3);
        cells[4] = QString::number((i * 7919 % 100000) / 100.0, 'f', 2);
        cells[5] = units[i % 5];
        cells[6] = QString::number((i * 31 % 1000) / 1000.0 + 1, 'f', 2);
        cells[7] = QString::number((i * 17 % 1000) / 1000.0, 'f', 2);
        cells[8] = QStringLiteral("");
        cells[9] = notes[i % 3];
    };
    const Format empty;
    QString cells[10];
    for (int i = 0; i < rows; ++i) {
        rowTexts(i, cells);
        for (int column = 0; column < 10; ++column)
            sheet->writeValue(i + 2, column + 1, cells[column], empty);
    }
    const double fill = Bench::lap(timer);
    const double filledPeak = Bench::peakMemoryMiB();
    const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
    const bool saved = document.saveToFile(path);
    const double save = Bench::lap(timer);
    const double peak = Bench::peakMemoryMiB();

    // The floor: deflating the two big parts at zlib's default level.
    const QByteArray sheetXml = sheet->toXmlBytes();
    const QByteArray stringsXml = document.workbook()->sharedStrings()->toXmlBytes();
    Bench::lap(timer);
    const QByteArray deflated = qCompress(sheetXml, -1) + qCompress(stringsXml, -1);
    const double floor = Bench::lap(timer);

    // What making the texts alone costs, so that the writer's share shows.
    for (int i = 0; i < rows; ++i)
        rowTexts(i, cells);
    const double texts = Bench::lap(timer);

    out << QStringLiteral("%1 rows (%2 cells): fill %3 ms, save %4 ms, total %5 ms%6; peak memory %7 MiB "
                          "(%8 MiB once filled)\n")
               .arg(rows).arg(rows * 10 + 10).arg(fill, 0, 'f', 0).arg(save, 0, 'f', 0).arg(fill + save, 0, 'f', 0)
               .arg(saved ? QString() : QStringLiteral(" (NOT SAVED)")).arg(peak, 0, 'f', 0).arg(filledPeak, 0, 'f', 0);
    if (rows == 100000) {
        out << QStringLiteral("against the goals (%1 ms, %2 MiB): time %3, memory %4\n")
                   .arg(goalMilliseconds, 0, 'f', 0).arg(goalMiB, 0, 'f', 0)
                   .arg((fill + save) / goalMilliseconds, 0, 'f', 2).arg(peak / goalMiB, 0, 'f', 2);
    }
    out << QStringLiteral("of the fill, making the texts takes %1 ms; the writer alone: %2 ms, total / floor = %3\n")
               .arg(texts, 0, 'f', 0).arg(fill + save - texts, 0, 'f', 0).arg((fill + save - texts) / floor, 0, 'f', 2);
    out << QStringLiteral("floor: deflating %1 MiB of sheet and shared-strings XML takes %2 ms (to %3 MiB); "
                          "total / floor = %4\n")
               .arg((sheetXml.size() + stringsXml.size()) / 1048576.0, 0, 'f', 1).arg(floor, 0, 'f', 0)
               .arg(deflated.size() / 1048576.0, 0, 'f', 1).arg((fill + save) / floor, 0, 'f', 2);
    return saved ? 0 : 1;
}
