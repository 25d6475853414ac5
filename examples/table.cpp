// A table over lab results: named columns with filter buttons, a built-in
// style with banded rows, a calculated column, and a totals row whose
// averages Document::calculate() computes before the file is saved.
//
//     table [OUTPUT.xlsx]                (default: table.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

using Spreadsheet::Format;
using Spreadsheet::TableColumn;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("table.xlsx"));
    Spreadsheet::Document document;
    Spreadsheet::Worksheet *sheet = document.activeWorksheet();

    Format date;
    date.setNumberFormatCode(QStringLiteral("dd/mm/yyyy"));
    Format twoDecimals;
    twoDecimals.setNumberFormatCode(QStringLiteral("0.00"));
    Format oneDecimal;
    oneDecimal.setNumberFormatCode(QStringLiteral("0.0"));
    Format whole;
    whole.setNumberFormatCode(QStringLiteral("0"));

    struct Sample {
        const char *name;
        QDate sampled;
        double acidity;     // grams of oleic acid in 100 g
        double peroxides;   // meq O2/kg
    };
    const Sample samples[] = {
        { "Oil 1", QDate(2026, 3, 2), 0.42, 6.1 },
        { "Oil 2", QDate(2026, 3, 2), 0.95, 12.4 },
        { "Oil 3", QDate(2026, 3, 4), 0.61, 8.0 },
        { "Oil 4", QDate(2026, 3, 5), 0.38, 5.2 },
    };

    // The data goes in first, under the row the header will take. The
    // cells of the calculated column and of the totals row get their
    // formats now too: addTable() fills them and keeps the formats they have.
    int row = 2;
    for (const Sample &sample : samples) {
        document.writeValue(row, 1, QString::fromUtf8(sample.name));
        document.writeValue(row, 2, sample.sampled, date);
        document.writeValue(row, 3, sample.acidity, twoDecimals);
        document.writeValue(row, 4, sample.peroxides, oneDecimal);
        sheet->writeBlank(row, 5, whole);
        ++row;
    }
    const int totals = row;
    sheet->writeBlank(totals, 3, twoDecimals);
    sheet->writeBlank(totals, 4, oneDecimal);
    sheet->writeBlank(totals, 5, whole);

    // The table's columns, left to right; their names become the header
    // cells. Without columns the header cells already written would give
    // the names.
    Spreadsheet::SheetTable table;
    table.name = QStringLiteral("Results");   // what formulas call it: Results[Acidity]
    for (const char *name : { "Sample", "Sampled on", "Acidity", "Peroxides", "Acidity (mg/100 g)" }) {
        TableColumn column;
        column.name = QString::fromUtf8(name);
        table.columns << column;
    }
    table.styleName = QStringLiteral("TableStyleMedium9");   // rows banded, as by default

    // A calculated column: one formula for every row, "[@Acidity]" being
    // the Acidity of the same row.
    table.columns[4].formula = QStringLiteral("[@Acidity]*1000");

    // The totals row, the last row of the range: a label under the first
    // column, and under the numbers SUBTOTAL formulas, which leave out the
    // rows a filter hides.
    table.totalsRow = true;
    table.columns[0].totalsLabel = QStringLiteral("Mean");
    table.columns[2].totalsFunction = TableColumn::Average;
    table.columns[3].totalsFunction = TableColumn::Average;
    table.columns[4].totalsFunction = TableColumn::Average;

    // The range takes the header, the data rows and the totals row: A1:E6.
    const Spreadsheet::CellArea range(1, 1, totals, 5);
    if (!sheet->addTable(range, table)) {
        QTextStream(stderr) << "The table over " << range.toText() << " was refused\n";
        return 1;
    }
    document.setColumnWidth(1, 4, 12);
    document.setColumnWidth(5, 5, 20);

    // The calculated column and the totals hold 0 until calculated.
    if (!document.calculate()) {
        QTextStream(stderr) << "The workbook could not be calculated: " << document.errorString() << '\n';
        return 1;
    }
    if (!sheet->uncalculatedCells().isEmpty()) {
        QTextStream(stderr) << "Some formulas of the table could not be computed\n";
        return 1;
    }
    const double meanAcidity = document.readValue(totals, 3).toDouble();

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    const Spreadsheet::SheetTable added = sheet->tables().first();
    QTextStream(stdout) << "Wrote " << fileName << ": table " << added.name << " over " << added.range.toText()
                        << ", mean acidity " << meanAcidity << '\n';
    return 0;
}
