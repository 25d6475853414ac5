// A sheet's protection and how it prints, as other programs read and write
// them: openpyxl and XlsxWriter, and LibreOffice, which also checks the
// passwords and prints.
#include "hosttools.h"
#include "spreadsheet/spreadsheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Spreadsheet;

namespace {

QString python(const char *code, const QString &file)
{
    return QString::fromUtf8(HostTools::runPythonCode(code, file));
}

QJsonObject readJson(const QString &fileName)
{
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(HostTools::program(program), arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every value of a page setup away from its default.
PageSetup everyValueSet()
{
    PageSetup page;
    page.orientation = PageSetup::Landscape;
    page.paperSize = PageSetup::A4;
    page.fitToPages = true;
    page.fitToPagesWide = 1;
    page.fitToPagesTall = 0;
    page.firstPageNumber = 3;
    page.pageOrder = PageSetup::OverThenDown;
    page.blackAndWhite = true;
    page.draft = true;
    page.printGridLines = true;
    page.printHeadings = true;
    page.centerHorizontally = true;
    page.centerVertically = true;
    page.leftMargin = 0.5;
    page.rightMargin = 0.6;
    page.topMargin = 0.8;
    page.bottomMargin = 0.9;
    page.headerMargin = 0.2;
    page.footerMargin = 0.25;
    page.header = { QStringLiteral("&F"), QStringLiteral("&\"Arial,Bold\"&14Acidity & co, &D"), QStringLiteral("&A") };
    page.footer.center = QStringLiteral("Page &P of &N");
    page.differentOddEven = true;
    page.evenFooter.left = QStringLiteral("Even &P");
    page.differentFirst = true;
    page.firstHeader.center = QStringLiteral("First");
    page.scaleHeaderFooterWithDocument = false;
    page.rowBreaks = { 81, 41 };
    page.columnBreaks = { 5 };
    return page;
}

void compare(const PageSetup &actual, const PageSetup &expected)
{
    QCOMPARE(actual.orientation, expected.orientation);
    QCOMPARE(actual.paperSize, expected.paperSize);
    QCOMPARE(actual.scale, expected.scale);
    QCOMPARE(actual.fitToPages, expected.fitToPages);
    QCOMPARE(actual.fitToPagesWide, expected.fitToPagesWide);
    QCOMPARE(actual.fitToPagesTall, expected.fitToPagesTall);
    QCOMPARE(actual.firstPageNumber, expected.firstPageNumber);
    QCOMPARE(actual.pageOrder, expected.pageOrder);
    QCOMPARE(actual.blackAndWhite, expected.blackAndWhite);
    QCOMPARE(actual.draft, expected.draft);
    QCOMPARE(actual.printGridLines, expected.printGridLines);
    QCOMPARE(actual.printHeadings, expected.printHeadings);
    QCOMPARE(actual.centerHorizontally, expected.centerHorizontally);
    QCOMPARE(actual.centerVertically, expected.centerVertically);
    QCOMPARE(actual.leftMargin, expected.leftMargin);
    QCOMPARE(actual.rightMargin, expected.rightMargin);
    QCOMPARE(actual.topMargin, expected.topMargin);
    QCOMPARE(actual.bottomMargin, expected.bottomMargin);
    QCOMPARE(actual.headerMargin, expected.headerMargin);
    QCOMPARE(actual.footerMargin, expected.footerMargin);
    QVERIFY(actual.header == expected.header);
    QVERIFY(actual.footer == expected.footer);
    QCOMPARE(actual.differentOddEven, expected.differentOddEven);
    QVERIFY(actual.evenHeader == expected.evenHeader);
    QVERIFY(actual.evenFooter == expected.evenFooter);
    QCOMPARE(actual.differentFirst, expected.differentFirst);
    QVERIFY(actual.firstHeader == expected.firstHeader);
    QVERIFY(actual.firstFooter == expected.firstFooter);
    QCOMPARE(actual.scaleHeaderFooterWithDocument, expected.scaleHeaderFooterWithDocument);
    QCOMPARE(actual.alignHeaderFooterWithMargins, expected.alignHeaderFooterWithMargins);
    QCOMPARE(actual.rowBreaks, expected.rowBreaks);
    QCOMPARE(actual.columnBreaks, expected.columnBreaks);
}

} // namespace

class TestSheetSetup : public QObject
{
    Q_OBJECT

private slots:
    void protectionHoldsInOtherPrograms();
    void olderPasswordsAreChecked();
    void pageSetupTravelsBothWays();
    void pageSetupOfOtherWritersIsRead();
    void openpyxlAndLibreOfficeFilesAreRead();
    void fitToOnePageWidePrintsSo();
    void autofitWidthsMatchLibreOffice();
};

// A protected sheet with one input cell and a protected structure: what
// openpyxl reads, what LibreOffice locks and which password it takes, and
// the same read back by the library.
void TestSheetSetup::protectionHoldsInOtherPrograms()
{
    QTemporaryDir folder;
    const QString ours = folder.filePath(QStringLiteral("ours.xlsx"));
    {
        Document document;
        Worksheet *sheet = document.activeWorksheet();
        Format input;
        input.setLocked(false);
        QVERIFY(sheet->writeValue(1, 1, QStringLiteral("Limit")));
        QVERIFY(sheet->writeValue(2, 2, 4.5, input));
        SheetProtection options;
        options.setAllowed(SheetProtection::Sort);
        options.setAllowed(SheetProtection::FormatColumns);
        QVERIFY(!sheet->protect(QString(256, QLatin1Char('x')), options));
        QVERIFY(!sheet->isProtected());
        QVERIFY(sheet->protect(QStringLiteral("lab"), options));
        QVERIFY(document.workbook()->protectStructure(QStringLiteral("böök")));
        QVERIFY(document.saveToFile(ours));
    }
    Document loaded;
    QVERIFY2(loaded.load(ours), qPrintable(loaded.errorString()));
    Worksheet *sheet = loaded.activeWorksheet();
    QVERIFY(sheet->isProtected());
    const SheetProtection protection = sheet->protection();
    QVERIFY(protection.hasPassword());
    QVERIFY(protection.isPassword(QStringLiteral("lab")));
    QVERIFY(!protection.isPassword(QStringLiteral("Lab")));
    QCOMPARE(protection.allowedActions(), SheetProtection::SelectLockedCells | SheetProtection::SelectUnlockedCells
                                              | SheetProtection::Sort | SheetProtection::FormatColumns);
    QVERIFY(loaded.workbook()->isStructureProtected());
    QVERIFY(loaded.workbook()->isStructurePassword(QStringLiteral("böök")));
    QVERIFY(!loaded.workbook()->isStructurePassword(QStringLiteral("book")));
    const QString resaved = folder.filePath(QStringLiteral("resaved.xlsx"));
    sheet->unprotect();
    QVERIFY(loaded.saveToFile(resaved));
    QVERIFY(!Document(resaved).activeWorksheet()->isProtected());

    if (!HostTools::available())
        QSKIP("openpyxl and LibreOffice run on the Linux side");
    QCOMPARE(python("import sys, base64, openpyxl\n"
                    "book = openpyxl.load_workbook(sys.argv[1])\n"
                    "p = book.active.protection\n"
                    "print(p.sheet, p.algorithmName, p.spinCount, len(base64.b64decode(p.hashValue)),\n"
                    "      len(base64.b64decode(p.saltValue)), p.objects, p.scenarios, p.formatCells,\n"
                    "      p.formatColumns, p.sort, p.selectLockedCells, p.selectUnlockedCells)\n"
                    "print(book.active['A1'].protection.locked, book.active['B2'].protection.locked)\n"
                    "s = book.security\n"
                    "print(s.lockStructure, s.workbookAlgorithmName, s.workbookSpinCount)\n",
                    ours),
             QStringLiteral("True SHA-512 100000 64 16 True True True False False False False\n"
                            "True False\n"
                            "True SHA-512 100000"));
    // LibreOffice's own save of the protected sheet is read as well. (It
    // reads no workbook's structure protection, ours or others', and
    // writes an empty one.)
    const QString theirs = folder.filePath(QStringLiteral("theirs.xlsx"));
    const QString facts = folder.filePath(QStringLiteral("facts.json"));
    const QJsonArray jobs{
        QJsonObject{ { "inspect", ours }, { "sheet", "Sheet1" }, { "cells", QJsonArray{ "A1", "B2" } },
                     { "password", "lab" }, { "facts", facts } },
        QJsonObject{ { "input", ours }, { "output", theirs }, { "edits", QJsonArray() } },
    };
    const QString failure = HostTools::runLibreOffice(jobs, folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(readJson(facts), (QJsonObject{ { "locked", QJsonObject{ { "A1", true }, { "B2", false } } },
                                            { "protected", true },
                                            { "wrongPasswordRefused", true },
                                            { "unprotected", true } }));
    Document saved;
    QVERIFY2(saved.load(theirs), qPrintable(saved.errorString()));
    QVERIFY(saved.activeWorksheet()->isProtected());
    QVERIFY(saved.activeWorksheet()->protection().isPassword(QStringLiteral("lab")));
    QVERIFY(!saved.activeWorksheet()->protection().isPassword(QStringLiteral("lab ")));
}

// XlsxWriter and openpyxl store the 16-bit hash of older files; it is
// checked, and kept when the workbook is saved again.
void TestSheetSetup::olderPasswordsAreChecked()
{
    if (!HostTools::available())
        QSKIP("XlsxWriter runs on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, xlsxwriter\n"
           "book = xlsxwriter.Workbook(sys.argv[1])\n"
           "sheet = book.add_worksheet()\n"
           "sheet.write(0, 0, 1)\n"
           "sheet.protect('Acid!ty 2026', {'sort': True, 'objects': True})\n"
           "book.close()\n",
           made);
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    const SheetProtection protection = document.activeWorksheet()->protection();
    QVERIFY(document.activeWorksheet()->isProtected());
    QVERIFY(protection.isPassword(QStringLiteral("Acid!ty 2026")));
    QVERIFY(!protection.isPassword(QStringLiteral("Acid!ty 2025")));
    QVERIFY(protection.isAllowed(SheetProtection::Sort));
    QVERIFY(protection.isAllowed(SheetProtection::EditObjects));
    QVERIFY(!protection.isAllowed(SheetProtection::DeleteRows));
    const QString saved = folder.filePath(QStringLiteral("saved.xlsx"));
    QVERIFY(document.saveToFile(saved));
    QCOMPARE(python("import sys, openpyxl\n"
                    "before = openpyxl.load_workbook(sys.argv[1].replace('saved', 'made')).active.protection\n"
                    "after = openpyxl.load_workbook(sys.argv[1]).active.protection\n"
                    "print(after.password == before.password, after.sheet, after.sort, after.deleteRows)\n",
                    saved),
             QStringLiteral("True True False True"));
}

// Every value set, as openpyxl reads it and as the library reads it back;
// the breaks follow rows inserted and removed.
void TestSheetSetup::pageSetupTravelsBothWays()
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    QVERIFY(sheet->writeValue(1, 1, QStringLiteral("Sample")));
    PageSetup refused = everyValueSet();
    refused.rowBreaks << 1;
    QVERIFY(!sheet->setPageSetup(refused));
    refused = everyValueSet();
    refused.header.left = QString(300, QLatin1Char('x'));
    QVERIFY(!sheet->setPageSetup(refused));
    refused = everyValueSet();
    refused.topMargin = qQNaN();
    QVERIFY(!sheet->setPageSetup(refused));
    QVERIFY(sheet->setPageSetup(everyValueSet()));
    PageSetup expected = everyValueSet();
    expected.rowBreaks = { 41, 81 };

    QTemporaryDir folder;
    const QString ours = folder.filePath(QStringLiteral("ours.xlsx"));
    QVERIFY(document.saveToFile(ours));
    Document loaded;
    QVERIFY2(loaded.load(ours), qPrintable(loaded.errorString()));
    compare(loaded.activeWorksheet()->pageSetup(), expected);

    QVERIFY(loaded.activeWorksheet()->insertRows(10, 5));
    QVERIFY(loaded.activeWorksheet()->removeRows(40, 10));   // the first break's row goes
    QCOMPARE(loaded.activeWorksheet()->pageSetup().rowBreaks, (QList<int>{ 40, 76 }));
    QVERIFY(loaded.activeWorksheet()->removeColumns(2, 5));
    QCOMPARE(loaded.activeWorksheet()->pageSetup().columnBreaks, (QList<int>{ 2 }));

    if (!HostTools::available())
        QSKIP("openpyxl runs on the Linux side");
    QCOMPARE(python("import sys, openpyxl\n"
                    "sheet = openpyxl.load_workbook(sys.argv[1]).active\n"
                    "s = sheet.page_setup\n"
                    "print(s.orientation, s.paperSize, s.scale, s.fitToWidth, s.fitToHeight, s.firstPageNumber,\n"
                    "      s.useFirstPageNumber, s.pageOrder, s.blackAndWhite, s.draft,\n"
                    "      sheet.sheet_properties.pageSetUpPr.fitToPage)\n"
                    "o = sheet.print_options\n"
                    "print(o.gridLines, o.headings, o.horizontalCentered, o.verticalCentered)\n"
                    "m = sheet.page_margins\n"
                    "print(m.left, m.right, m.top, m.bottom, m.header, m.footer)\n"
                    "f = sheet.HeaderFooter\n"
                    "print(f.differentOddEven, f.differentFirst, f.scaleWithDoc, f.alignWithMargins)\n"
                    "h = f.oddHeader\n"
                    "print(repr(h.left.text), repr(h.center.text), h.center.font, h.center.size, repr(h.right.text))\n"
                    "print(repr(f.oddFooter.center.text), repr(f.evenFooter.left.text), repr(f.firstHeader.center.text))\n"
                    "print([b.id for b in sheet.row_breaks.brk], [b.id for b in sheet.col_breaks.brk])\n",
                    ours),
             QStringLiteral("landscape 9 None 1 0 3 True overThenDown True True True\n"
                            "True True True True\n"
                            "0.5 0.6 0.8 0.9 0.2 0.25\n"
                            "True True False None\n"
                            "'&F' 'Acidity & co, &D' Arial,Bold 14 '&A'\n"
                            "'Page &P of &N' 'Even &P' 'First'\n"
                            "[40, 80] [4]"));
}

// What XlsxWriter and LibreOffice write is read into the model, and a save
// writes it back.
void TestSheetSetup::pageSetupOfOtherWritersIsRead()
{
    if (!HostTools::available())
        QSKIP("XlsxWriter runs on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, xlsxwriter\n"
           "book = xlsxwriter.Workbook(sys.argv[1])\n"
           "sheet = book.add_worksheet()\n"
           "sheet.write(0, 0, 'x')\n"
           "sheet.set_landscape()\n"
           "sheet.set_paper(8)\n"
           "sheet.set_margins(left=0.4, right=0.45, top=1.0, bottom=1.1)\n"
           "sheet.set_header('&LLab&CPage &P', {'margin': 0.35})\n"
           "sheet.set_footer('&R&D')\n"
           "sheet.fit_to_pages(1, 0)\n"
           "sheet.set_h_pagebreaks([20])\n"
           "sheet.set_v_pagebreaks([3])\n"
           "sheet.center_horizontally()\n"
           "sheet.print_row_col_headers()\n"
           "sheet.set_start_page(2)\n"
           "sheet.set_page_view()\n"
           "book.close()\n",
           made);
    PageSetup expected;
    expected.orientation = PageSetup::Landscape;
    expected.paperSize = PageSetup::A3;
    expected.leftMargin = 0.4;
    expected.rightMargin = 0.45;
    expected.topMargin = 1.0;
    expected.bottomMargin = 1.1;
    expected.headerMargin = 0.35;
    expected.header = { QStringLiteral("Lab"), QStringLiteral("Page &P"), QString() };
    expected.footer.right = QStringLiteral("&D");
    expected.fitToPages = true;
    expected.fitToPagesWide = 1;
    expected.fitToPagesTall = 0;
    expected.rowBreaks = { 21 };
    expected.columnBreaks = { 4 };
    expected.centerHorizontally = true;
    expected.printHeadings = true;
    expected.firstPageNumber = 2;
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    compare(document.activeWorksheet()->pageSetup(), expected);
    const QString saved = folder.filePath(QStringLiteral("saved.xlsx"));
    QVERIFY(document.saveToFile(saved));
    const QString theirs = folder.filePath(QStringLiteral("theirs.xlsx"));
    const QString failure = HostTools::runLibreOffice(
        { QJsonObject{ { "input", saved }, { "output", theirs }, { "edits", QJsonArray() } } }, folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    for (const QString &file : { saved, theirs }) {
        Document again;
        QVERIFY2(again.load(file), qPrintable(again.errorString()));
        compare(again.activeWorksheet()->pageSetup(), expected);
    }

    // Values the model does not take are kept until the model writes its own.
    const QString odd = folder.filePath(QStringLiteral("odd.xlsx"));
    python("import sys, re, zipfile\n"
           "z = zipfile.ZipFile(sys.argv[1].replace('odd', 'made'))\n"
           "parts = {n: z.read(n) for n in z.namelist()}\n"
           "parts['xl/worksheets/sheet1.xml'] = re.sub(rb'<pageSetup [^>]*/>', b'<pageSetup paperSize=\"9\" '\n"
           "    b'orientation=\"default\" useFirstPageNumber=\"0\" firstPageNumber=\"1\" scale=\"5\" copies=\"2\"/>',\n"
           "    parts['xl/worksheets/sheet1.xml'])\n"
           "with zipfile.ZipFile(sys.argv[1], 'w') as out:\n"
           "    for n, b in parts.items():\n"
           "        out.writestr(n, b)\n",
           odd);
    Document changed;
    QVERIFY2(changed.load(odd), qPrintable(changed.errorString()));
    PageSetup page = changed.activeWorksheet()->pageSetup();
    QCOMPARE(page.orientation, PageSetup::DefaultOrientation);
    page.orientation = PageSetup::Portrait;
    page.firstPageNumber = 3;
    page.scale = 50;
    page.fitToPages = false;
    QVERIFY(changed.activeWorksheet()->setPageSetup(page));
    const QString oddSaved = folder.filePath(QStringLiteral("oddsaved.xlsx"));
    QVERIFY(changed.saveToFile(oddSaved));
    QCOMPARE(python("import sys, openpyxl\n"
                    "s = openpyxl.load_workbook(sys.argv[1]).active.page_setup\n"
                    "print(s.orientation, s.firstPageNumber, s.useFirstPageNumber, s.scale, s.copies)\n",
                    oddSaved),
             QStringLiteral("portrait 3 True 50 2"));
}

// openpyxl's table, protection and page setup are read into the model, and
// custom properties come back from LibreOffice's save of ours.
void TestSheetSetup::openpyxlAndLibreOfficeFilesAreRead()
{
    if (!HostTools::available())
        QSKIP("openpyxl and LibreOffice run on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, openpyxl\n"
           "from openpyxl.worksheet.table import Table, TableStyleInfo\n"
           "from openpyxl.worksheet.pagebreak import Break\n"
           "from openpyxl.workbook.protection import WorkbookProtection\n"
           "book = openpyxl.Workbook()\n"
           "sheet = book.active\n"
           "for row in [['Sample', 'Acidity'], ['S1', 0.3], ['S2', 0.4], ['S3', 0.5]]:\n"
           "    sheet.append(row)\n"
           "table = Table(displayName='Samples', ref='A1:B4')\n"
           "table.tableStyleInfo = TableStyleInfo(name='TableStyleLight9', showRowStripes=True)\n"
           "sheet.add_table(table)\n"
           "sheet.protection.sheet = True\n"
           "sheet.protection.password = 'lab'\n"
           "sheet.protection.formatColumns = False\n"
           "sheet.page_setup.orientation = 'landscape'\n"
           "sheet.page_setup.paperSize = 9\n"
           "sheet.page_setup.fitToHeight = 0\n"
           "sheet.sheet_properties.pageSetUpPr.fitToPage = True\n"
           "sheet.page_margins.left = 0.4\n"
           "sheet.oddHeader.center.text = 'Lab &D'\n"
           "sheet.print_options.gridLines = True\n"
           "sheet.row_breaks.append(Break(id=10))\n"
           "book.security = WorkbookProtection(workbookPassword='book', lockStructure=True)\n"
           "book.save(sys.argv[1])\n",
           made);
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    Worksheet *sheet = document.activeWorksheet();
    QCOMPARE(sheet->tables().size(), 1);
    const SheetTable table = sheet->tables().first();
    QCOMPARE(table.name, QStringLiteral("Samples"));
    QCOMPARE(table.range, CellArea(1, 1, 4, 2));
    QCOMPARE(table.styleName, QStringLiteral("TableStyleLight9"));
    QCOMPARE(table.columns.at(1).name, QStringLiteral("Acidity"));
    QVERIFY(sheet->isProtected());
    QVERIFY(sheet->protection().isPassword(QStringLiteral("lab")));
    QVERIFY(sheet->protection().isAllowed(SheetProtection::FormatColumns));
    QVERIFY(!sheet->protection().isAllowed(SheetProtection::FormatRows));
    QVERIFY(document.workbook()->isStructurePassword(QStringLiteral("book")));
    const PageSetup page = sheet->pageSetup();
    QCOMPARE(page.orientation, PageSetup::Landscape);
    QCOMPARE(page.paperSize, int(PageSetup::A4));
    QVERIFY(page.fitToPages);
    QCOMPARE(page.fitToPagesWide, 1);
    QCOMPARE(page.fitToPagesTall, 0);
    QCOMPARE(page.leftMargin, 0.4);
    QCOMPARE(page.header.center, QStringLiteral("Lab &D"));
    QVERIFY(page.printGridLines);
    QCOMPARE(page.rowBreaks, (QList<int>{ 11 }));

    QVERIFY(document.setCustomProperty(QStringLiteral("Batch"), QStringLiteral("B-17")));
    QVERIFY(document.setCustomProperty(QStringLiteral("Samples"), 3));
    QVERIFY(document.setCustomProperty(QStringLiteral("Checked"), true));
    const QString ours = folder.filePath(QStringLiteral("ours.xlsx"));
    const QString theirs = folder.filePath(QStringLiteral("theirs.xlsx"));
    QVERIFY(document.saveToFile(ours));
    const QString failure = HostTools::runLibreOffice(
        { QJsonObject{ { "input", ours }, { "output", theirs }, { "edits", QJsonArray() } } }, folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    Document again;
    QVERIFY2(again.load(theirs), qPrintable(again.errorString()));
    QCOMPARE(again.customProperty(QStringLiteral("Batch")), QVariant(QStringLiteral("B-17")));
    QCOMPARE(again.customProperty(QStringLiteral("Samples")).toInt(), 3);
    QCOMPARE(again.customProperty(QStringLiteral("Checked")), QVariant(true));
    QCOMPARE(again.activeWorksheet()->tables().first().name, QStringLiteral("Samples"));
}

// A sheet wider than a page, fitted to one page wide, prints on A4 with
// every column on each page and the header on top.
void TestSheetSetup::fitToOnePageWidePrintsSo()
{
    if (!HostTools::available())
        QSKIP("LibreOffice runs on the Linux side");
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    for (int row = 1; row <= 150; ++row) {
        sheet->writeValue(row, 1, QStringLiteral("first%1").arg(row));
        for (int column = 2; column < 40; ++column)
            sheet->writeValue(row, column, row * 1000 + column);
        sheet->writeValue(row, 40, QStringLiteral("last%1").arg(row));
    }
    PageSetup page;
    page.paperSize = PageSetup::A4;
    page.fitToPages = true;
    page.fitToPagesWide = 1;
    page.fitToPagesTall = 0;
    page.header.center = QStringLiteral("Acidity report");
    page.footer.right = QStringLiteral("Page &P of &N");
    QVERIFY(sheet->setPageSetup(page));
    QTemporaryDir folder;
    const QString ours = folder.filePath(QStringLiteral("wide.xlsx"));
    const QString pdf = folder.filePath(QStringLiteral("wide.pdf"));
    QVERIFY(document.saveToFile(ours));
    const QString failure = HostTools::runLibreOffice({ QJsonObject{ { "pdf", ours }, { "output", pdf } } }, folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QString info = run(QStringLiteral("pdfinfo"), { pdf });
    QVERIFY2(info.contains(QLatin1String("595.304 x 841.89 pts (A4)")), qPrintable(info));
    const int pages = info.section(QLatin1String("Pages:"), 1).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    QVERIFY2(pages >= 1 && pages < 10, qPrintable(info));
    for (int number = 1; number <= pages; ++number) {
        const QString text = run(QStringLiteral("pdftotext"), { QStringLiteral("-f"), QString::number(number),
                                                                 QStringLiteral("-l"), QString::number(number),
                                                                 QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        QVERIFY2(text.contains(QLatin1String("Acidity report")), qPrintable(text.left(400)));
        QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(number).arg(pages)), qPrintable(text.right(400)));
        // Each page's rows run from the first column to the last.
        QCOMPARE(text.count(QLatin1String("first")), text.count(QLatin1String("last")));
        QVERIFY(text.count(QLatin1String("first")) > 10);
    }
}

// Columns fitted to texts, numbers and dates under their formats, fonts of
// other sizes, rich text and lines: each within one character of the width
// LibreOffice finds best for the same cells.
void TestSheetSetup::autofitWidthsMatchLibreOffice()
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    Format money;
    money.setNumberFormatCode(QStringLiteral("#,##0.00 \"EUR\""));
    Format stamp;
    stamp.setNumberFormatCode(QStringLiteral("yyyy-mm-dd hh:mm"));
    Format large;
    large.setFontBold(true);
    large.setFontSize(16);
    Format wrapped;
    wrapped.setTextWrap(true);
    Format times;
    times.setFontName(QStringLiteral("DejaVu Serif"));
    times.setFontItalic(true);
    RichString rich;
    rich.appendRun(QStringLiteral("Acidity "));
    rich.appendRun(QStringLiteral("ABOVE LIMIT"), large);
    sheet->writeValue(1, 1, QStringLiteral("ID"));
    sheet->writeValue(2, 1, 7);
    sheet->writeValue(1, 2, QStringLiteral("Peroxide value (meq O2/kg) of the sample"));
    sheet->writeValue(1, 3, 1234567.891, money);
    sheet->writeValue(2, 3, -5.5, money);
    sheet->writeValue(1, 4, QDateTime(QDate(2026, 12, 8), QTime(14, 30)), stamp);
    sheet->writeValue(1, 5, QStringLiteral("Extra virgin olive oil"), large);
    sheet->writeRichText(1, 6, rich);
    sheet->writeValue(1, 7, QStringLiteral("short\nthe second line is longer"), wrapped);
    sheet->writeValue(1, 8, QStringLiteral("Sample"), times);
    sheet->writeValue(3, 8, QStringLiteral("a long heading over two merged columns"));
    QVERIFY(sheet->mergeCells(CellArea(3, 8, 3, 9)));
    sheet->writeValue(1, 10, 0.333333333333);
    sheet->writeValue(1, 11, QStringLiteral("Acidity ABOVE LIMIT"));
    sheet->writeValue(1, 12, QStringLiteral("the second line is longer"));
    sheet->writeValue(1, 14, QStringLiteral("a long remark that wraps in its cell at the words"), wrapped);
    sheet->writeValue(1, 15, QStringLiteral("remark"));
    QVERIFY(!sheet->autofitColumns(0, 3));
    QVERIFY(sheet->autofitColumns(1, 15));
    QCOMPARE(sheet->columnWidth(14), sheet->columnWidth(15));   // a wrapped text's longest word
    QCOMPARE(sheet->columnWidth(9), 0.0);   // only the rest of a merged cell: no width of its own
    QCOMPARE(sheet->columnWidth(13), 0.0);
    // LibreOffice leaves wrapped cells out and measures rich text in its
    // largest font: the longest line decides, and each run its own font.
    QCOMPARE(sheet->columnWidth(7), sheet->columnWidth(12));
    QVERIFY(sheet->columnWidth(6) > sheet->columnWidth(11) + 3);

    if (!HostTools::available())
        QSKIP("LibreOffice runs on the Linux side");
    QTemporaryDir folder;
    const QString ours = folder.filePath(QStringLiteral("fitted.xlsx"));
    QVERIFY(document.saveToFile(ours));
    const QString facts = folder.filePath(QStringLiteral("facts.json"));
    const QList<int> fitted{ 1, 2, 3, 4, 5, 8, 10, 11, 12 };
    QJsonArray columns;
    for (int column : fitted)
        columns << column;
    const QString failure = HostTools::runLibreOffice(
        { QJsonObject{ { "inspect", ours }, { "sheet", "Sheet1" }, { "optimalColumns", columns }, { "facts", facts } } },
        folder.path());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QJsonObject widths = readJson(facts).value("optimalWidths").toObject();
    for (int column : fitted) {
        // Pixels at 96 dots per inch: ours from the stored width, theirs
        // from hundredths of a millimetre.
        const double mine = sheet->columnWidth(column) * 7 + 5;
        const double theirs = widths.value(QString::number(column)).toDouble() / 2540 * 96;
        QVERIFY2(qAbs(mine - theirs) <= 7, qPrintable(QStringLiteral("column %1: %2 pixels, LibreOffice %3")
                                                          .arg(column).arg(mine).arg(theirs)));
    }
}

QTEST_MAIN(TestSheetSetup)
#include "tst_sheetsetup.moc"
