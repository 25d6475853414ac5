// Formats: fonts, fills, borders and alignment, and number formats that
// show the same stored number as a date, a date and time, a percentage, a
// fixed number of decimals or an amount with its unit.
//
//     formats [OUTPUT.xlsx]              (default: formats.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

using Spreadsheet::Format;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("formats.xlsx"));
    Spreadsheet::Document document;
    const QColor blue(31, 78, 121);
    const QColor lightGrey(191, 191, 191);

    // A title across the table: the merged range A1:H1 keeps the text of
    // its first cell; with a format, every cell of the range takes it.
    Format title;
    title.setFontName(QStringLiteral("Arial"));
    title.setFontSize(16);
    title.setFontBold(true);
    title.setFontColor(blue);
    title.setHorizontalAlignment(Format::AlignHCenter);
    title.setVerticalAlignment(Format::AlignVCenter);
    document.writeValue(1, 1, QStringLiteral("Olive oil quality, March 2026"));
    document.mergeCells(Spreadsheet::CellArea(1, 1, 1, 8), title);
    document.setRowHeight(1, 1, 30);   // points

    // The header: white bold text on a solid blue fill, centred and
    // wrapped, with a thicker line under it. A solid fill shows its
    // background colour; given a colour, a format without a fill pattern
    // gets a solid one. (The foreground colour is that of a pattern's
    // dots or stripes, setFillPattern(Format::PatternLightGray) and others.)
    Format header;
    header.setFontBold(true);
    header.setFontColor(Qt::white);
    header.setPatternBackgroundColor(blue);
    header.setHorizontalAlignment(Format::AlignHCenter);
    header.setVerticalAlignment(Format::AlignVCenter);
    header.setTextWrap(true);
    header.setBorderStyle(Format::BorderThin);   // all four sides
    header.setBorderColor(lightGrey);
    header.setBottomBorderStyle(Format::BorderMedium);
    header.setBottomBorderColor(Qt::black);
    const char *const headings[] = { "Sample", "Sampled on", "Measured at", "Acidity (%)",
                                     "Peroxides (meq/kg)", "Share of the lot", "Price per litre", "Remarks" };
    int column = 1;
    for (const char *heading : headings)
        document.writeValue(3, column++, QString::fromUtf8(heading), header);
    document.setRowHeight(3, 3, 30);   // two lines of wrapped text

    // The data cells share a thin grey border. Formats are values that
    // share their state until one of them changes, so each kind of column
    // starts from a copy of this one and adds its own number format.
    Format cell;
    cell.setBorderStyle(Format::BorderThin);
    cell.setBorderColor(lightGrey);

    Format name = cell;
    name.setIndent(1);

    // Number format codes are the ones spreadsheet programs use: "dd/mm/yyyy"
    // for a date, "0.0%" shows 0.125 as 12.5%, "0.00" two decimals,
    // "#,##0.0" thousands separated, and text in quotes is shown as it is.
    Format date = cell;
    date.setNumberFormatCode(QStringLiteral("dd/mm/yyyy"));
    Format dateTime = cell;
    dateTime.setNumberFormatCode(QStringLiteral("yyyy-mm-dd hh:mm"));
    Format twoDecimals = cell;
    twoDecimals.setNumberFormatCode(QStringLiteral("0.00"));
    Format thousands = cell;
    thousands.setNumberFormatCode(QStringLiteral("#,##0.0"));
    Format percent = cell;
    percent.setNumberFormatCode(QStringLiteral("0.0%"));
    Format price = cell;
    price.setNumberFormatCode(QStringLiteral("#,##0.00 \"EUR\""));

    Format remark = cell;
    remark.setFontItalic(true);
    remark.setFontColor(QColor(89, 89, 89));
    remark.setTextWrap(true);
    remark.setVerticalAlignment(Format::AlignTop);

    struct Sample {
        const char *name;
        QDateTime measured;
        double acidity;
        double peroxides;
        double share;
        double price;
        const char *remark;   // null for none
    };
    const Sample samples[] = {
        { "Oil 1", QDateTime(QDate(2026, 3, 2), QTime(9, 30)), 0.42, 1250.5, 0.125, 8.4, nullptr },
        { "Oil 2", QDateTime(QDate(2026, 3, 2), QTime(14, 5)), 0.95, 2310.0, 0.5, 6.15,
          "Above the limit for extra virgin oil; sampled again on 4 March." },
        { "Oil 3", QDateTime(QDate(2026, 3, 4), QTime(11, 45)), 0.61, 980.25, 0.375, 7.9, nullptr },
    };
    int row = 4;
    for (const Sample &sample : samples) {
        document.writeValue(row, 1, QString::fromUtf8(sample.name), name);
        // A date and a date-time are one number each; the format decides
        // whether the time shows.
        document.writeValue(row, 2, sample.measured.date(), date);
        document.writeValue(row, 3, sample.measured, dateTime);
        document.writeValue(row, 4, sample.acidity, twoDecimals);
        document.writeValue(row, 5, sample.peroxides, thousands);
        document.writeValue(row, 6, sample.share, percent);
        document.writeValue(row, 7, sample.price, price);
        // A null QVariant makes a blank cell: no value, but the format and
        // so the border.
        document.writeValue(row, 8, sample.remark ? QVariant(QString::fromUtf8(sample.remark)) : QVariant(),
                            remark);
        ++row;
    }

    document.setColumnWidth(1, 1, 10);
    document.setColumnWidth(2, 7, 16);
    document.setColumnWidth(8, 8, 36);

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": a title, a header and " << row - 4
                        << " formatted rows\n";
    return 0;
}
