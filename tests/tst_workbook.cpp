#include "spreadsheet/relationships.h"
#include "spreadsheet/sharedstrings.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"
#include "spreadsheet/cellarea.h"
#include "spreadsheet/sheetcell.h"

#include <QtTest>

using namespace Spreadsheet;

static const QString workbookStart = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<fileVersion appName=\"xl\" lastEdited=\"4\" lowestEdited=\"4\" rupBuild=\"4505\"/>");

class TestWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void newWorkbookGetsSheet1();
    void namesAndIdsAreNeverReused();
    void proposedNamesAreSanitized();
    void unsupportedSheetType();
    void workbookDocument();
    void workbookDocumentWithSwitchesAndStates();
    void relationshipsFollowTheSheets();
    void definedNames();
    void deleteMoveRename();
    void copyOwnsEverythingOfItsOwn();
    void copyNamesAlwaysFit();
    void namesAreUniqueInAnyLetterCase();
    void activeSheetFollowsMovesAndDeletes();
    void oneSheetStaysVisible();
};

void TestWorkbook::newWorkbookGetsSheet1()
{
    Workbook workbook(Workbook::NewFromScratch);
    QCOMPARE(workbook.sheetCount(), 0);
    AbstractSheet *sheet = workbook.activeSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->sheetName(), QStringLiteral("Sheet1"));
    QCOMPARE(sheet->sheetId(), 1);
    QCOMPARE(sheet->sheetType(), AbstractSheet::WorkSheet);
    QVERIFY(sheet->isVisible());
    QCOMPARE(workbook.activeSheet(), sheet);
    QVERIFY(workbook.isStringsToHyperlinksEnabled());
    QVERIFY(!workbook.isStringsToNumbersEnabled());
    QVERIFY(!workbook.isHtmlToRichStringEnabled());
    QVERIFY(!workbook.isDate1904());
    QCOMPARE(workbook.defaultDateFormat(), QStringLiteral("yyyy-mm-dd"));
}

void TestWorkbook::namesAndIdsAreNeverReused()
{
    Workbook workbook(Workbook::NewFromScratch);
    QVERIFY(workbook.addSheet());
    QVERIFY(!workbook.addSheet(QStringLiteral("Sheet1")));
    AbstractSheet *second = workbook.addSheet();
    QCOMPARE(second->sheetName(), QStringLiteral("Sheet2"));
    QCOMPARE(workbook.activeSheetIndex(), 1);
    QVERIFY(workbook.deleteSheet(1));
    AbstractSheet *third = workbook.addSheet();
    QCOMPARE(third->sheetName(), QStringLiteral("Sheet3"));
    QCOMPARE(third->sheetId(), 3);

    // A generated name skips a name already taken.
    Workbook taken(Workbook::NewFromScratch);
    taken.addSheet(QStringLiteral("Sheet1"));
    QCOMPARE(taken.addSheet()->sheetName(), QStringLiteral("Sheet2"));
    QCOMPARE(taken.sheetNames(), (QStringList{ "Sheet1", "Sheet2" }));
}

void TestWorkbook::proposedNamesAreSanitized()
{
    Workbook workbook(Workbook::NewFromScratch);
    QCOMPARE(workbook.addSheet(QStringLiteral("Q1/Q2"))->sheetName(), QStringLiteral("Q1 Q2"));
    QVERIFY(!workbook.addSheet(QStringLiteral("Q1:Q2")));
    QCOMPARE(workbook.insertSheet(0, QString(40, QLatin1Char('n')))->sheetName(), QString(31, QLatin1Char('n')));
    QCOMPARE(workbook.sheetNames().first(), QString(31, QLatin1Char('n')));
    QVERIFY(workbook.renameSheet(1, QStringLiteral("a?b")));
    QCOMPARE(workbook.sheetNames().at(1), QStringLiteral("a b"));
}

void TestWorkbook::unsupportedSheetType()
{
    Workbook workbook(Workbook::NewFromScratch);
    QTest::ignoreMessage(QtWarningMsg, "unsupported sheet type.");
    QVERIFY(!workbook.addSheet(QString(), AbstractSheet::DialogSheet));
    QCOMPARE(workbook.sheetCount(), 0);
    // Chart sheets count on their own: "Sheet1", "Chart1", "Chart2", "Sheet2".
    workbook.addSheet();
    QCOMPARE(workbook.addSheet(QString(), AbstractSheet::ChartSheet)->sheetName(), QStringLiteral("Chart1"));
    QCOMPARE(workbook.addSheet(QString(), AbstractSheet::ChartSheet)->sheetName(), QStringLiteral("Chart2"));
    QCOMPARE(workbook.addSheet()->sheetName(), QStringLiteral("Sheet2"));
}

void TestWorkbook::workbookDocument()
{
    Workbook workbook(Workbook::NewFromScratch);
    const QString expected = workbookStart + QStringLiteral(
        "<workbookPr defaultThemeVersion=\"124226\"/>"
        "<bookViews><workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" windowHeight=\"9660\"/></bookViews>"
        "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets><calcPr calcId=\"124519\"/></workbook>\n");
    QCOMPARE(QString::fromUtf8(workbook.toXmlBytes()), expected);
    QCOMPARE(workbook.sheetCount(), 1);
}

void TestWorkbook::workbookDocumentWithSwitchesAndStates()
{
    Workbook workbook(Workbook::NewFromScratch);
    workbook.setDate1904(true);
    workbook.addSheet(QStringLiteral("Data"));
    workbook.addSheet(QStringLiteral("Hidden"))->setHidden(true);
    workbook.addSheet(QStringLiteral("Secret"))->setSheetState(AbstractSheet::VeryHidden);
    const QString xml = QString::fromUtf8(workbook.toXmlBytes());
    QVERIFY(xml.contains(QStringLiteral("<workbookPr date1904=\"1\" defaultThemeVersion=\"124226\"/>")));
    // The active sheet is hidden; the workbook opens on the nearest visible one.
    QCOMPARE(workbook.activeSheetIndex(), 2);
    QVERIFY(xml.contains(QStringLiteral("windowHeight=\"9660\"/>")));
    QVERIFY(xml.contains(QStringLiteral(
        "<sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Hidden\" sheetId=\"2\" state=\"hidden\" r:id=\"rId2\"/>"
        "<sheet name=\"Secret\" sheetId=\"3\" state=\"veryHidden\" r:id=\"rId3\"/></sheets>")));
}

void TestWorkbook::relationshipsFollowTheSheets()
{
    Workbook numbers(Workbook::NewFromScratch);
    static_cast<Worksheet *>(numbers.activeSheet())->writeValue(1, 1, 5);
    numbers.toXmlBytes();
    QCOMPARE(numbers.relationships()->count(), 3);
    QVERIFY(numbers.relationships()->documentRelationships(QStringLiteral("/sharedStrings")).isEmpty());

    Workbook texts(Workbook::NewFromScratch);
    static_cast<Worksheet *>(texts.activeSheet())->writeValue(1, 1, QStringLiteral("x"));
    texts.addSheet();
    texts.toXmlBytes();
    texts.toXmlBytes();
    const Relationships *links = texts.relationships();
    QCOMPARE(links->count(), 5);
    QCOMPARE(links->relationshipById(QStringLiteral("rId1")).target, QStringLiteral("worksheets/sheet1.xml"));
    QCOMPARE(links->relationshipById(QStringLiteral("rId2")).target, QStringLiteral("worksheets/sheet2.xml"));
    QCOMPARE(links->relationshipById(QStringLiteral("rId3")).target, QStringLiteral("theme/theme1.xml"));
    QCOMPARE(links->relationshipById(QStringLiteral("rId4")).target, QStringLiteral("styles.xml"));
    QCOMPARE(links->relationshipById(QStringLiteral("rId5")).target, QStringLiteral("sharedStrings.xml"));
}

void TestWorkbook::definedNames()
{
    Workbook workbook(Workbook::NewFromScratch);
    workbook.addSheet(QStringLiteral("A"));
    workbook.addSheet(QStringLiteral("B"));
    QVERIFY(workbook.defineName(QStringLiteral("Total"), QStringLiteral("=A!$A$1"), QStringLiteral("sum")));
    QVERIFY(workbook.defineName(QStringLiteral("Local"), QStringLiteral("B!$B$2"), QString(), 2));
    QVERIFY(!workbook.defineName(QString(), QStringLiteral("x")));
    const QString xml = QString::fromUtf8(workbook.toXmlBytes());
    QVERIFY(xml.contains(QStringLiteral("</sheets><definedNames><definedName name=\"Total\" comment=\"sum\">A!$A$1</definedName>"
                                        "<definedName name=\"Local\" localSheetId=\"1\">B!$B$2</definedName></definedNames>"
                                        "<calcPr")));
}

void TestWorkbook::deleteMoveRename()
{
    Workbook workbook(Workbook::NewFromScratch);
    workbook.addSheet(QStringLiteral("One"));
    QVERIFY(!workbook.deleteSheet(0));
    workbook.addSheet(QStringLiteral("Two"));
    workbook.addSheet(QStringLiteral("Three"));
    QVERIFY(!workbook.moveSheet(-1, 0));
    QVERIFY(!workbook.moveSheet(1, 1));
    QVERIFY(workbook.moveSheet(2, 0));
    QCOMPARE(workbook.sheetNames(), (QStringList{ "Three", "One", "Two" }));
    QVERIFY(!workbook.renameSheet(0, QStringLiteral("One")));
    QVERIFY(workbook.renameSheet(0, QStringLiteral("Third")));
    QCOMPARE(workbook.sheet(0)->sheetName(), QStringLiteral("Third"));
    QVERIFY(workbook.copySheet(1, QStringLiteral("One copy")));
    QCOMPARE(workbook.sheetNames().last(), QStringLiteral("One copy"));
    QVERIFY(!workbook.deleteSheet(7));
}

static Worksheet *worksheet(Workbook &workbook, int index)
{
    return static_cast<Worksheet *>(workbook.sheet(index));
}

void TestWorkbook::copyOwnsEverythingOfItsOwn()
{
    Workbook workbook(Workbook::NewFromScratch);
    Worksheet *original = static_cast<Worksheet *>(workbook.addSheet(QStringLiteral("Data")));
    original->writeValue(1, 1, QStringLiteral("https://example.org/manual"));
    original->setColumnWidth(1, 3, 20);
    original->setRowHeight(2, 2, 30);
    original->setGridLinesVisible(false);
    original->setRulerVisible(false);
    original->mergeCells(CellArea(QStringLiteral("B2:C3")));
    QVERIFY(workbook.copySheet(0));
    Worksheet *copy = worksheet(workbook, 1);
    QCOMPARE(copy->sheetName(), QStringLiteral("Data(2)"));
    QCOMPARE(copy->toXmlBytes(), original->toXmlBytes());
    QCOMPARE(copy->cellAt(1, 1)->worksheet(), copy);

    // Changing the copy leaves the original as it was.
    const QByteArray before = original->toXmlBytes();
    copy->setColumnWidth(2, 2, 5);
    copy->setColumnHidden(1, 1, true);
    copy->setRowHeight(2, 2, 40);
    copy->setRowHidden(2, 2, true);
    copy->writeValue(1, 1, 7);
    copy->setGridLinesVisible(true);
    QCOMPARE(original->toXmlBytes(), before);
    QCOMPARE(original->columnWidth(2), 20.0);
    QCOMPARE(original->rowHeight(2), 30.0);
    QVERIFY(original->relationships()->count() == 1);
}

void TestWorkbook::copyNamesAlwaysFit()
{
    for (const int length : { 31, 30, 29 }) {
        Workbook workbook(Workbook::NewFromScratch);
        workbook.addSheet(QString(length, QLatin1Char('n')));
        QSet<QString> names{ workbook.sheetNames().first() };
        for (int copies = 0; copies < 12; ++copies) {
            QVERIFY(workbook.copySheet(0));
            const QString name = workbook.sheetNames().last();
            QVERIFY2(name.size() <= 31, qPrintable(name));
            QVERIFY(!names.contains(name));
            names.insert(name);
        }
        // "(13)" takes four of the 31 characters.
        QCOMPARE(workbook.sheetNames().last(), QString(27, QLatin1Char('n')) + QStringLiteral("(13)"));
    }
    // A name whose cut would split a character.
    Workbook workbook(Workbook::NewFromScratch);
    workbook.addSheet(QString(27, QLatin1Char('n')) + QStringLiteral("\U0001F600"));
    QVERIFY(workbook.copySheet(0));
    QCOMPARE(workbook.sheetNames().last(), QString(27, QLatin1Char('n')) + QStringLiteral("(2)"));
}

void TestWorkbook::namesAreUniqueInAnyLetterCase()
{
    Workbook workbook(Workbook::NewFromScratch);
    workbook.addSheet(QStringLiteral("Sheet1"));
    QVERIFY(!workbook.addSheet(QStringLiteral("SHEET1")));
    QVERIFY(!workbook.insertSheet(0, QStringLiteral("sheet1")));
    workbook.addSheet(QStringLiteral("Misura"));
    QVERIFY(!workbook.renameSheet(1, QStringLiteral("SHEET1")));
    QVERIFY(!workbook.copySheet(0, QStringLiteral("misura")));
    QVERIFY(workbook.renameSheet(1, QStringLiteral("MISURA")));   // the sheet's own name in other letters
    // Default names skip a taken name in any letter case.
    workbook.addSheet(QStringLiteral("sheet3"));
    QCOMPARE(workbook.addSheet()->sheetName(), QStringLiteral("Sheet2"));
    QCOMPARE(workbook.addSheet()->sheetName(), QStringLiteral("Sheet4"));
    QCOMPARE(workbook.sheetNames(), (QStringList{ "Sheet1", "MISURA", "sheet3", "Sheet2", "Sheet4" }));
}

void TestWorkbook::activeSheetFollowsMovesAndDeletes()
{
    Workbook workbook(Workbook::NewFromScratch);
    for (const char *name : { "A", "B", "C", "D" })
        workbook.addSheet(QLatin1String(name));
    QVERIFY(workbook.setActiveSheet(1));
    QVERIFY(workbook.moveSheet(1, 3));
    QCOMPARE(workbook.activeSheet()->sheetName(), QStringLiteral("B"));
    QVERIFY(workbook.moveSheet(0, 2));
    QCOMPARE(workbook.activeSheet()->sheetName(), QStringLiteral("B"));
    QVERIFY(workbook.deleteSheet(0));
    QCOMPARE(workbook.activeSheet()->sheetName(), QStringLiteral("B"));

    // Deleting the active sheet activates its visible neighbour.
    QCOMPARE(workbook.sheetNames(), (QStringList{ "D", "A", "B" }));
    workbook.sheet(1)->setHidden(true);
    QVERIFY(workbook.deleteSheet(2));
    QCOMPARE(workbook.activeSheet()->sheetName(), QStringLiteral("D"));
    QVERIFY(QString::fromUtf8(workbook.toXmlBytes()).contains(QStringLiteral("windowHeight=\"9660\"/>")));
}

void TestWorkbook::oneSheetStaysVisible()
{
    Workbook workbook(Workbook::NewFromScratch);
    AbstractSheet *first = workbook.addSheet(QStringLiteral("First"));
    AbstractSheet *second = workbook.addSheet(QStringLiteral("Second"));
    second->setHidden(true);
    first->setHidden(true);
    QVERIFY(first->isVisible());
    first->setSheetState(AbstractSheet::VeryHidden);
    QVERIFY(first->isVisible());
    // The only visible sheet is not deleted either; a hidden one is.
    workbook.addSheet(QStringLiteral("Third"))->setHidden(true);
    QVERIFY(!workbook.deleteSheet(0));
    QVERIFY(workbook.deleteSheet(1));
    // The workbook opens on a visible tab even when the active sheet is hidden.
    QVERIFY(workbook.setActiveSheet(1));
    QVERIFY(!QString::fromUtf8(workbook.toXmlBytes()).contains(QStringLiteral("activeTab")));
}

QTEST_MAIN(TestWorkbook)
#include "tst_workbook.moc"
