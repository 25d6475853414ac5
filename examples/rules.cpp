// Conditional formats, which format cells by their values, and data
// validation, which limits what can be typed into cells.
//
//     rules [OUTPUT.xlsx]                (default: rules.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

using Spreadsheet::CellArea;
using Spreadsheet::ConditionalFormatRule;
using Spreadsheet::DataValidation;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("rules.xlsx"));
    Spreadsheet::Document document;

    Spreadsheet::Format bold;
    bold.setFontBold(true);
    const char *const headings[] = { "Sample", "Matrix", "Acidity (%)", "Peroxides", "Sampled on" };
    for (int column = 1; column <= 5; ++column)
        document.writeValue(1, column, QString::fromUtf8(headings[column - 1]), bold);
    const double acidity[] = { 0.42, 0.95, 0.55, 0.31, 1.12, 0.66, 0.78, 0.49, 0.83, 0.58 };
    const double peroxides[] = { 8.1, 14.5, 6.3, 4.9, 19.8, 9.7, 12.2, 7.4, 15.1, 10.0 };
    for (int i = 0; i < 10; ++i) {
        const int row = i + 2;
        document.writeValue(row, 1, QStringLiteral("S-%1").arg(i + 1, 3, 10, QLatin1Char('0')));
        document.writeValue(row, 2, i % 3 == 2 ? QStringLiteral("Wine") : QStringLiteral("Oil"));
        document.writeValue(row, 3, acidity[i]);
        document.writeValue(row, 4, peroxides[i]);
        document.writeValue(row, 5, QDate(2026, 3, 2).addDays(i));
    }
    const CellArea names(2, 1, 11, 1);
    const CellArea matrices(2, 2, 11, 2);
    const CellArea acidities(2, 3, 11, 3);
    const CellArea peroxideValues(2, 4, 11, 4);
    const CellArea dates(2, 5, 11, 5);

    // An acidity above 0.8 shows in bold red on a pale red fill. The rule's
    // format holds only what changes; bounds are formulas written without
    // "=", here a plain number.
    ConditionalFormatRule high;
    high.type = ConditionalFormatRule::CellValue;
    high.op = ConditionalFormatRule::Greater;
    high.formulas << QStringLiteral("0.8");
    high.format.setFontBold(true);
    high.format.setFontColor(Qt::red);
    high.format.setPatternBackgroundColor(QColor(255, 199, 206));   // a solid fill
    // Each addition returns false, adding nothing, for what the sheet cannot
    // take: a range outside it, a rule without the formulas its kind needs.
    bool added = document.addConditionalFormatting({ { acidities }, { high } });

    // A bar in each cell of the peroxides, as long as its value is large
    // among the others.
    ConditionalFormatRule bars;
    bars.type = ConditionalFormatRule::DataBar;
    bars.barColor = QColor(99, 142, 198);
    added = document.addConditionalFormatting({ { peroxideValues }, { bars } }) && added;

    // A formula decides for each cell: relative references are written for
    // the top-left cell of the range (A2) and move with each cell, so
    // "$B2" is the matrix of the cell's own row.
    ConditionalFormatRule wine;
    wine.type = ConditionalFormatRule::Expression;
    wine.formulas << QStringLiteral("$B2=\"Wine\"");
    wine.format.setFontItalic(true);
    wine.format.setFontColor(QColor(112, 48, 160));
    added = document.addConditionalFormatting({ { names }, { wine } }) && added;

    // The matrix is chosen from a drop-down list; anything else is refused
    // with the message given.
    DataValidation matrix;
    matrix.setListValues({ QStringLiteral("Oil"), QStringLiteral("Wine"), QStringLiteral("Milk") });
    matrix.ranges << matrices;
    matrix.errorTitle = QStringLiteral("Unknown matrix");
    matrix.errorMessage = QStringLiteral("Choose Oil, Wine or Milk.");
    added = document.addDataValidation(matrix) && added;

    // The acidity is a number from 0 to 100; a hint shows while a cell of
    // the column is selected.
    DataValidation percentage;
    percentage.type = DataValidation::Decimal;
    percentage.op = DataValidation::Between;
    percentage.formula1 = QStringLiteral("0");
    percentage.formula2 = QStringLiteral("100");
    percentage.ranges << acidities;
    percentage.inputTitle = QStringLiteral("Acidity");
    percentage.inputMessage = QStringLiteral("A percentage, from 0 to 100.");
    percentage.errorMessage = QStringLiteral("The acidity is a percentage from 0 to 100.");
    added = document.addDataValidation(percentage) && added;

    // A date from this year on; an earlier one is only warned about.
    DataValidation recent;
    recent.type = DataValidation::Date;
    recent.op = DataValidation::GreaterOrEqual;
    recent.formula1 = QStringLiteral("DATE(2026,1,1)");
    recent.ranges << dates;
    recent.errorStyle = DataValidation::Warning;
    recent.errorMessage = QStringLiteral("This sample was taken before 2026.");
    added = document.addDataValidation(recent) && added;
    if (!added) {
        QTextStream(stderr) << "A rule was refused\n";
        return 1;
    }

    document.setColumnWidth(3, 5, 12);
    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    const Spreadsheet::Worksheet *sheet = document.activeWorksheet();
    QTextStream(stdout) << "Wrote " << fileName << ": " << sheet->conditionalFormattings().size()
                        << " conditional formats and " << sheet->dataValidations().size() << " validations\n";
    return 0;
}
