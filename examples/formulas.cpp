// Formulas: a text that begins with "=" is a formula. Document::calculate()
// computes every formula of the workbook, so that the saved file carries
// their values for readers that do not compute (previews, viewers, other
// libraries, SheetReader); spreadsheet programs compute them again anyway.
//
//     formulas [OUTPUT.xlsx]             (default: formulas.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("formulas.xlsx"));
    Spreadsheet::Document document;
    Spreadsheet::Format bold;
    bold.setFontBold(true);

    // Two sheets of our own naming. A new document makes its first sheet,
    // "Sheet1", only when it is first written to; added before that, a
    // sheet is the first one. addSheet() makes the new sheet the active
    // one, which writeValue() writes to.
    document.addSheet(QStringLiteral("Results"));
    document.addSheet(QStringLiteral("Limits"));
    document.writeValue(1, 1, QStringLiteral("Matrix"), bold);
    document.writeValue(1, 2, QStringLiteral("Highest acidity"), bold);
    document.writeValue(2, 1, QStringLiteral("Oil"));
    document.writeValue(2, 2, 0.8);
    document.writeValue(3, 1, QStringLiteral("Wine"));
    document.writeValue(3, 2, 0.6);

    document.selectSheet(QStringLiteral("Results"));
    const char *const headings[] = { "Sample", "Matrix", "Acidity", "Limit", "Within limit" };
    for (int column = 1; column <= 5; ++column)
        document.writeValue(1, column, QString::fromUtf8(headings[column - 1]), bold);

    struct Sample {
        const char *name;
        const char *matrix;
        double acidity;
    };
    const Sample samples[] = {
        { "Oil 1", "Oil", 0.42 }, { "Oil 2", "Oil", 0.95 }, { "Wine 1", "Wine", 0.55 }, { "Wine 2", "Wine", 0.71 },
    };
    int row = 2;
    for (const Sample &sample : samples) {
        document.writeValue(row, 1, QString::fromUtf8(sample.name));
        document.writeValue(row, 2, QString::fromUtf8(sample.matrix));
        document.writeValue(row, 3, sample.acidity);
        // Formulas are written as a spreadsheet program shows them, with
        // A1 references; another sheet's cells are named "Limits!A2" (a
        // name with spaces in quotes: 'Last month'!A2).
        document.writeValue(row, 4, QStringLiteral("=VLOOKUP(B%1,Limits!$A$2:$B$3,2,FALSE)").arg(row));
        document.writeValue(row, 5, QStringLiteral("=IF(C%1<=D%1,\"yes\",\"no\")").arg(row));
        ++row;
    }
    const int last = row - 1;

    // Figures under the table; a format applies to a formula's value as to
    // any number.
    Spreadsheet::Format threeDecimals;
    threeDecimals.setNumberFormatCode(QStringLiteral("0.000"));
    document.writeValue(7, 1, QStringLiteral("Mean"), bold);
    document.writeValue(7, 3, QStringLiteral("=AVERAGE(C2:C%1)").arg(last), threeDecimals);
    document.writeValue(8, 1, QStringLiteral("Highest"), bold);
    document.writeValue(8, 3, QStringLiteral("=MAX(C2:C%1)").arg(last));
    document.writeValue(9, 1, QStringLiteral("Within limit"), bold);
    document.writeValue(9, 3, QStringLiteral("=COUNTIF(E2:E%1,\"yes\")").arg(last));

    // Until now every formula cell holds 0. calculate() computes them in
    // the order they read one another; it fails on a circular reference,
    // naming a cell of it.
    if (!document.calculate()) {
        QTextStream(stderr) << "The workbook could not be calculated: " << document.errorString() << '\n';
        return 1;
    }
    // A formula the engine cannot compute (a function it lacks, a link to
    // another workbook) keeps its value; the sheet lists such cells.
    if (!document.activeWorksheet()->uncalculatedCells().isEmpty())
        QTextStream(stderr) << "Some formulas were left with their old values\n";

    // readValue() now gives the results.
    const double mean = document.readValue(7, 3).toDouble();
    const int within = document.readValue(9, 3).toInt();

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": mean acidity " << mean << ", " << within << " of "
                        << last - 1 << " samples within their limit\n";
    return 0;
}
