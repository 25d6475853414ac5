// A protected form: a sheet where only the input cells can be typed in,
// users may still sort and widen columns, the formulas are hidden, and the
// workbook's sheets cannot be added, renamed or removed without a password.
//
//     protection [OUTPUT.xlsx]           (default: protection.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QTextStream>

using Spreadsheet::Format;
using Spreadsheet::SheetProtection;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("protection.xlsx"));
    const QString password = QStringLiteral("olive-2026");
    Spreadsheet::Document document;
    document.addSheet(QStringLiteral("Input"));
    Spreadsheet::Worksheet *sheet = document.activeWorksheet();

    Format header;
    header.setFontBold(true);
    const char *const headings[] = { "Sample", "Acidity (%)", "Peroxides (meq/kg)", "Within limit" };
    for (int column = 1; column <= 4; ++column)
        document.writeValue(1, column, QString::fromUtf8(headings[column - 1]), header);

    // Every cell is locked unless its format says otherwise; locking takes
    // effect once the sheet is protected. The input cells are unlocked,
    // and shaded so that people see where to type.
    Format input;
    input.setLocked(false);
    input.setPatternBackgroundColor(QColor(255, 242, 204));
    input.setNumberFormatCode(QStringLiteral("0.00"));

    // A hidden cell's formula does not show in the formula bar of a
    // protected sheet; its value still shows in the cell.
    Format verdict;
    verdict.setHidden(true);

    const int samples = 8;
    for (int row = 2; row <= samples + 1; ++row) {
        document.writeValue(row, 1, QStringLiteral("S-%1").arg(row - 1, 3, 10, QLatin1Char('0')));
        // The first two samples are measured already; the rest wait for
        // their values. A blank cell carries the format all the same.
        document.writeValue(row, 2, row == 2 ? QVariant(0.42) : row == 3 ? QVariant(0.95) : QVariant(), input);
        document.writeValue(row, 3, row == 2 ? QVariant(6.1) : row == 3 ? QVariant(12.4) : QVariant(), input);
        document.writeValue(row, 4, QStringLiteral("=IF(B%1=\"\",\"\",IF(B%1<=0.8,\"yes\",\"no\"))").arg(row),
                            verdict);
    }
    document.setColumnWidth(1, 4, 18);
    if (!document.calculate()) {
        QTextStream(stderr) << "The workbook could not be calculated: " << document.errorString() << '\n';
        return 1;
    }

    // What users of the protected sheet may still do. By default they may
    // select cells and nothing else; here they may also sort the rows and
    // change the widths of columns. Typing goes to unlocked cells only.
    SheetProtection options;
    options.setAllowed(SheetProtection::Sort);
    options.setAllowed(SheetProtection::FormatColumns);

    // The file keeps a salted hash of the password, never the password;
    // computing it takes a moment on purpose, to slow down guessing.
    // Neither protection is encryption: anyone can still read the cells.
    if (!sheet->protect(password, options)) {
        QTextStream(stderr) << "The sheet could not be protected\n";
        return 1;
    }
    // The workbook's structure: no sheet added, removed, renamed, moved,
    // hidden or shown in a spreadsheet program without the password. The
    // library itself may still change them.
    if (!document.workbook()->protectStructure(password)) {
        QTextStream(stderr) << "The workbook's structure could not be protected\n";
        return 1;
    }

    // The hash answers whether a password is the right one.
    if (!sheet->protection().isPassword(password) || sheet->protection().isPassword(QStringLiteral("olive"))) {
        QTextStream(stderr) << "The sheet's password does not check as it should\n";
        return 1;
    }

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": sheet " << sheet->sheetName() << " protected, "
                        << samples * 2 << " input cells unlocked, the structure protected\n";
    return 0;
}
