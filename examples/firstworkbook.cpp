// A first workbook: a header row in bold, a few rows of texts, dates,
// numbers and yes/no values, wider columns, and the file saved.
//
//     firstworkbook [OUTPUT.xlsx]        (default: firstworkbook.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("firstworkbook.xlsx"));

    // A new document holds one empty worksheet, "Sheet1", and writes go to
    // it. Rows and columns count from 1: row 1, column 1 is cell A1.
    Spreadsheet::Document document;

    // A format is a value: make one, set what differs from the default
    // (here the weight of the font) and pass it with every cell it is for.
    Spreadsheet::Format header;
    header.setFontBold(true);
    document.writeValue(1, 1, QStringLiteral("Sample"), header);
    document.writeValue(1, 2, QStringLiteral("Sampled on"), header);
    document.writeValue(1, 3, QStringLiteral("Acidity"), header);
    document.writeValue(1, 4, QStringLiteral("Accepted"), header);

    struct Sample {
        const char *name;
        QDate sampled;
        double acidity;
    };
    const Sample samples[] = {
        { "Oil 1", QDate(2026, 3, 2), 0.42 },
        { "Oil 2", QDate(2026, 3, 2), 0.95 },
        { "Oil 3", QDate(2026, 3, 4), 0.61 },
    };

    // The kind of cell follows the QVariant's type: a QString is a text, a
    // double a number, a bool TRUE or FALSE, and a QDate or QDateTime a
    // number that shows as a date (yyyy-mm-dd unless a format says
    // otherwise). A text that begins with "=" would be a formula (see
    // formulas.cpp).
    int row = 2;
    for (const Sample &sample : samples) {
        document.writeValue(row, 1, QString::fromUtf8(sample.name));
        document.writeValue(row, 2, sample.sampled);
        document.writeValue(row, 3, sample.acidity);
        document.writeValue(row, 4, sample.acidity <= 0.8);
        ++row;
    }

    // Widths are in characters of the default font: columns A to B get 14.
    document.setColumnWidth(1, 2, 14);

    // saveToFile writes the whole package beside the target and puts it in
    // place only when it is complete, so an existing file survives a failure.
    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": a header and " << row - 2 << " samples on "
                        << document.sheetNames().first() << '\n';
    return 0;
}
