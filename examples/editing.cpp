// Editing a workbook: load it, write cells, insert rows and rename a sheet
// (every formula that names the cells or the sheet follows), calculate and
// save it under a new name.
//
//     editing [OUTPUT.xlsx]              (default: editing.xlsx)
//
// So that it runs on its own, the program first writes the workbook it
// edits, last month's results, beside the output: editing-input.xlsx.

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// Last month's workbook: three samples and their mean on "Sheet1", and a
// "Summary" sheet that reads the mean.
static bool writeLastMonth(const QString &fileName)
{
    Spreadsheet::Document document;
    Spreadsheet::Format bold;
    bold.setFontBold(true);
    document.writeValue(1, 1, QStringLiteral("Sample"), bold);
    document.writeValue(1, 2, QStringLiteral("Acidity"), bold);
    document.writeValue(2, 1, QStringLiteral("Oil 1"));
    document.writeValue(2, 2, 0.42);
    document.writeValue(3, 1, QStringLiteral("Oil 2"));
    document.writeValue(3, 2, 0.95);
    document.writeValue(4, 1, QStringLiteral("Oil 3"));
    document.writeValue(4, 2, 0.61);
    document.writeValue(5, 1, QStringLiteral("Mean"), bold);
    document.writeValue(5, 2, QStringLiteral("=AVERAGE(B2:B4)"));
    document.addSheet(QStringLiteral("Summary"));
    document.writeValue(1, 1, QStringLiteral("Mean acidity"), bold);
    document.writeValue(1, 2, QStringLiteral("=Sheet1!B5"));
    return document.saveToFile(fileName);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("editing.xlsx"));
    const QFileInfo output(fileName);
    const QString input =
        QDir::cleanPath(output.dir().filePath(output.completeBaseName() + QStringLiteral("-input.xlsx")));
    if (!writeLastMonth(input)) {
        QTextStream(stderr) << input << " could not be written\n";
        return 1;
    }

    // load() reads the whole package; what the library does not model
    // (tables, pivot tables, macros, shapes, ...) is kept and written back
    // as it came. A file that does not load leaves the document as it was,
    // and errorString() names the part and the reason.
    Spreadsheet::Document document;
    if (!document.load(input)) {
        QTextStream(stderr) << input << " could not be loaded: " << document.errorString() << '\n';
        return 1;
    }

    // The edits go to the active sheet; choose it by name.
    document.selectSheet(QStringLiteral("Sheet1"));

    // Two empty rows before row 3, inside B2:B4: the cells below move down,
    // the mean's range grows to B2:B6 and the summary follows the mean from
    // B5 to B7. Inserting fails, changing nothing, when it would push cells
    // off the sheet or cut through a table or array formula.
    if (!document.insertRows(3, 2)) {
        QTextStream(stderr) << "The rows could not be inserted\n";
        return 1;
    }
    document.writeValue(3, 1, QStringLiteral("Oil 4"));
    document.writeValue(3, 2, 0.47);
    document.writeValue(4, 1, QStringLiteral("Oil 5"));
    document.writeValue(4, 2, 0.52);

    // Renaming a sheet renames it in every formula that names it: the
    // summary now reads ='Results 2026'!B7, quoted for the space.
    if (!document.renameSheet(QStringLiteral("Sheet1"), QStringLiteral("Results 2026"))) {
        QTextStream(stderr) << "Sheet1 could not be renamed\n";
        return 1;
    }

    // The loaded formulas carry last month's values; compute them anew.
    if (!document.calculate()) {
        QTextStream(stderr) << "The workbook could not be calculated: " << document.errorString() << '\n';
        return 1;
    }
    const QVariant mean = document.readValue(7, 2);

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Edited " << input << " into " << fileName << ": sheets "
                        << document.sheetNames().join(QStringLiteral(", ")) << ", mean acidity "
                        << mean.toDouble() << '\n';
    return 0;
}
