// A large worksheet written row by row with SheetWriter and read row by row
// with SheetReader: neither holds the whole sheet. SheetWriter writes the
// rows out of memory as they come, SheetReader holds one row and the
// workbook's shared texts.
//
//     largefile [OUTPUT.xlsx]            (default: largefile.xlsx)
//
// The program writes a header and 100,000 rows of a sample name and a
// weight, then reads the file back and adds up the weights.

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

static const int sampleCount = 100000;

// The weights are 1, 2, ... 100,000 grams, which add up to 5,000,050,000.
static bool writeLargeFile(const QString &fileName)
{
    Spreadsheet::Document document;
    // A new sheet of the document, written from row 1 down. Each value is
    // stored as Worksheet::writeValue() stores it; a second vector would
    // give the cells' formats. The sample names are all different: texts
    // in the cells (InlineTexts) keep them out of the shared strings.
    Spreadsheet::SheetWriter writer(document, QStringLiteral("Weights"), Spreadsheet::SheetWriter::InlineTexts);
    writer.writeRow({ QStringLiteral("Sample"), QStringLiteral("Weight (g)") });
    for (int i = 1; i <= sampleCount; ++i)
        writer.writeRow({ QStringLiteral("S-%1").arg(i, 6, 10, QLatin1Char('0')), i });
    // A value that could not be stored, or rows that could not be written
    // out (no room for the temporary file), leave an error.
    if (writer.hasError()) {
        QTextStream(stderr) << writer.errorString() << '\n';
        return false;
    }
    // The rows written out go from the temporary file into the package.
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
