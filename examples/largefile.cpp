// Reading a large worksheet row by row with SheetReader, which holds one
// row and the workbook's shared texts instead of the whole workbook.
//
//     largefile [OUTPUT.xlsx]            (default: largefile.xlsx)
//
// So that it runs on its own, the program first writes the large file: a
// header and 100,000 rows of a sample name and a weight. Then it reads
// the file back and adds up the weights.

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

static const int sampleCount = 100000;

// The weights are 1, 2, ... 100,000 grams, which add up to 5,000,050,000.
static bool writeLargeFile(const QString &fileName)
{
    Spreadsheet::Document document;
    // The worksheet's typed writers take the value as it is, without the
    // QVariant that Document::writeValue() takes and looks into.
    Spreadsheet::Worksheet *sheet = document.activeWorksheet();
    sheet->writeText(1, 1, QStringLiteral("Sample"));
    sheet->writeText(1, 2, QStringLiteral("Weight (g)"));
    for (int i = 1; i <= sampleCount; ++i) {
        sheet->writeText(i + 1, 1, QStringLiteral("S-%1").arg(i, 6, 10, QLatin1Char('0')));
        sheet->writeNumber(i + 1, 2, i);
    }
    return document.saveToFile(fileName);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("largefile.xlsx"));
    QElapsedTimer timer;
    timer.start();
    if (!writeLargeFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    const qint64 writing = timer.restart();

    // open() without a sheet name takes the first worksheet.
    Spreadsheet::SheetReader reader;
    if (!reader.open(fileName)) {
        QTextStream(stderr) << fileName << " could not be opened: " << reader.errorString() << '\n';
        return 1;
    }
    // readRow() moves to the next row that has cells; rows without any are
    // skipped, so rowNumber() says which row it is. values() holds column c
    // at index c - 1, an invalid QVariant for an empty cell, and is as long
    // as the row's last cell.
    double sum = 0;
    int rows = 0;
    while (reader.readRow()) {
        if (reader.rowNumber() == 1)
            continue;   // the header
        const QVector<QVariant> values = reader.values();
        sum += values.value(1).toDouble();
        ++rows;
    }
    // readRow() also returns false on an error: a damaged package, or one
    // past the read limits.
    if (reader.hasError()) {
        QTextStream(stderr) << fileName << " could not be read: " << reader.errorString() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << " in " << writing << " ms and read " << rows << " rows in "
                        << timer.elapsed() << " ms: the weights add up to " << QString::number(sum, 'f', 0)
                        << " g\n";
    return 0;
}
