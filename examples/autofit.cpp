// Column widths from the contents: autofitColumns() makes each column as
// wide as its widest cell shows, a number or a date under its number
// format, a text in its cell's font, a text of several lines by its
// longest line.
//
//     autofit [OUTPUT.xlsx]              (default: autofit.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QDate>
#include <QGuiApplication>
#include <QTextStream>

using Spreadsheet::Format;

int main(int argc, char *argv[])
{
    // The widths are measured with Qt's fonts, which need a QGuiApplication
    // (with QT_QPA_PLATFORM=offscreen where there is no display); under a
    // QCoreApplication the library can only estimate them from the fonts'
    // sizes.
    QGuiApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("autofit.xlsx"));
    Spreadsheet::Document document;
    Spreadsheet::Worksheet *sheet = document.activeWorksheet();

    // A title merged across the columns: merged cells do not widen a
    // column, so column A stays as narrow as its sample codes.
    Format title;
    title.setFontSize(16);
    title.setFontBold(true);
    document.writeValue(1, 1, QStringLiteral("Olive oil deliveries, September 2026"));
    document.mergeCells(Spreadsheet::CellArea(1, 1, 1, 6), title);

    Format header;
    header.setFontBold(true);
    const char *const headings[] = { "Sample", "Description", "Delivered", "Value", "Acidity", "Remarks" };
    for (int column = 1; column <= 6; ++column)
        document.writeValue(2, column, QString::fromUtf8(headings[column - 1]), header);

    Format description;
    description.setFontItalic(true);
    // A date spelled out takes far more room than the number stored.
    Format longDate;
    longDate.setNumberFormatCode(QStringLiteral("dddd d mmmm yyyy"));
    Format amount;
    amount.setNumberFormatCode(QStringLiteral("#,##0.00 \"EUR\""));
    Format percent;
    percent.setNumberFormatCode(QStringLiteral("0.0%"));
    // Line breaks show as lines in a wrapped cell; the column fits the
    // longest line, not the whole text.
    Format remark;
    remark.setTextWrap(true);

    struct Delivery {
        const char *sample;
        const char *description;
        QDate delivered;
        double value;
        double acidity;
        const char *remark;
    };
    const Delivery deliveries[] = {
        { "S-1", "Extra virgin olive oil, Coratina cultivar, cold pressed", QDate(2026, 9, 2), 1234567.5, 0.0042,
          "Sampled at the mill;\nbottle sealed on site" },
        { "S-2", "Virgin olive oil, blend of cultivars", QDate(2026, 9, 9), 98000, 0.0095, "Resampled" },
        { "S-17", "Olive pomace oil", QDate(2026, 9, 30), 4500.25, 0.012, "" },
    };
    int row = 3;
    for (const Delivery &delivery : deliveries) {
        document.writeValue(row, 1, QString::fromUtf8(delivery.sample));
        document.writeValue(row, 2, QString::fromUtf8(delivery.description), description);
        document.writeValue(row, 3, delivery.delivered, longDate);
        document.writeValue(row, 4, delivery.value, amount);
        document.writeValue(row, 5, delivery.acidity, percent);
        if (*delivery.remark)
            document.writeValue(row, 6, QString::fromUtf8(delivery.remark), remark);
        ++row;
    }
    // Two lines of text need a row tall enough to show them.
    document.setRowHeight(3, 3, 30);

    // Fit after the cells are written: the widths come from what is there
    // now (a formula by its value, so calculate() first where there are
    // formulas). Columns without cells in the range keep their widths.
    if (!sheet->autofitColumns(1, 6)) {
        QTextStream(stderr) << "The columns could not be fitted\n";
        return 1;
    }

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream out(stdout);
    out << "Wrote " << fileName << ": widths";
    for (int column = 1; column <= 6; ++column)
        out << ' ' << QString::number(sheet->columnWidth(column), 'f', 1);
    out << " characters\n";
    return 0;
}
