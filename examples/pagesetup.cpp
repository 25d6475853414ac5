// Printing a sheet: A4 paper upright, scaled to one page wide, margins,
// a header and a footer with page numbers, the date and the file name, a
// header row repeated on every page, the cells to print, and a page break
// where the second month begins.
//
//     pagesetup [OUTPUT.xlsx]            (default: pagesetup.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

using Spreadsheet::PageSetup;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("pagesetup.xlsx"));
    Spreadsheet::Document document;
    Spreadsheet::Worksheet *sheet = document.activeWorksheet();

    // Two months of samples, 30 each, under a header; column G holds the
    // lab's own remarks, which the printout leaves out.
    Spreadsheet::Format bold;
    bold.setFontBold(true);
    const char *const headings[] = { "Sample", "Sampled on", "Matrix", "Acidity (%)", "Peroxides (meq/kg)",
                                     "Analyst", "Internal remark" };
    for (int column = 1; column <= 7; ++column)
        document.writeValue(1, column, QString::fromUtf8(headings[column - 1]), bold);
    const QDate firstDays[] = { QDate(2026, 3, 1), QDate(2026, 4, 1) };
    int row = 2;
    for (const QDate &firstDay : firstDays) {
        for (int day = 0; day < 30; ++day, ++row) {
            document.writeValue(row, 1, QStringLiteral("S-%1").arg(row - 1, 3, 10, QLatin1Char('0')));
            document.writeValue(row, 2, firstDay.addDays(day));
            document.writeValue(row, 3, row % 3 == 0 ? QStringLiteral("Wine") : QStringLiteral("Oil"));
            document.writeValue(row, 4, 0.3 + (row * 37 % 70) / 100.0);
            document.writeValue(row, 5, 4.0 + (row * 53 % 160) / 10.0);
            document.writeValue(row, 6, row % 2 ? QStringLiteral("M. Rossi") : QStringLiteral("L. Bianchi"));
            document.writeValue(row, 7, QStringLiteral("Bottle %1").arg(100 + row));
        }
    }
    const int lastRow = row - 1;   // 61
    document.setColumnWidth(1, 6, 18);
    document.setColumnWidth(7, 7, 30);

    PageSetup page;
    page.paperSize = PageSetup::A4;
    page.orientation = PageSetup::Portrait;   // or Landscape
    // The six columns are wider than the page: scaled down to one page
    // wide, and as many pages tall as the rows need (0). Without
    // fitToPages the sheet prints at page.scale percent.
    page.fitToPages = true;
    page.fitToPagesWide = 1;
    page.fitToPagesTall = 0;
    // Margins in inches; the header and footer sit within the top and
    // bottom margins, at their own distance from the paper's edge.
    page.leftMargin = 0.5;
    page.rightMargin = 0.5;
    page.topMargin = 1.0;
    page.bottomMargin = 0.8;
    page.headerMargin = 0.4;
    page.footerMargin = 0.3;
    page.centerHorizontally = true;
    page.printGridLines = true;

    // Each of the three sections is text with codes that the printing
    // program replaces: &B turns bold on and off, &D is the date, &F the
    // file's name, &P the page's number and &N the number of pages.
    page.header.center = QStringLiteral("&BAcidity and peroxides&B, March and April 2026");
    page.header.right = QStringLiteral("Printed &D");
    page.footer.left = QStringLiteral("&F");
    page.footer.right = QStringLiteral("Page &P of &N");

    // April starts on a page of its own: the break names the first row of
    // the new page.
    const int april = 32;
    page.rowBreaks << april;

    // setPageSetup() refuses what spreadsheet programs would (a margin
    // below 0, a break at row 1, a header over 255 characters) and keeps
    // the sheet's setup as it was.
    if (!sheet->setPageSetup(page)) {
        QTextStream(stderr) << "The page setup was refused\n";
        return 1;
    }

    // The header row printed at the top of every page, and the cells to
    // print: columns A to F, without the remarks. Both are names of the
    // sheet, which follow inserted and removed rows.
    if (!document.setPrintTitles(1, 1) || !document.setPrintArea(Spreadsheet::CellArea(1, 1, lastRow, 6))) {
        QTextStream(stderr) << "The print titles or area were refused\n";
        return 1;
    }

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": " << lastRow - 1 << " samples printing "
                        << sheet->printArea().toText() << " on A4, one page wide, a new page at row "
                        << sheet->pageSetup().rowBreaks.first() << '\n';
    return 0;
}
