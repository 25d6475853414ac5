#include "spreadsheet/document.h"
#include "spreadsheet/relationships.h"
#include "spreadsheet/sharedstrings.h"
#include "spreadsheet/sheetcell.h"
#include "spreadsheet/styles.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"

#include <QtTest>

using namespace Spreadsheet;

namespace {

// A workbook with its first worksheet.
struct Sheet
{
    Workbook workbook{ Workbook::NewFromScratch };
    Worksheet *sheet = static_cast<Worksheet *>(workbook.activeSheet());

    QString xml() const { return QString::fromUtf8(sheet->toXmlBytes()); }
    // The sheet XML between <sheetData> and </sheetData>.
    QString sheetData() const
    {
        const QString all = xml();
        const int start = all.indexOf(QStringLiteral("<sheetData"));
        const int end = all.indexOf(QStringLiteral("</sheetData>"));
        return end < 0 ? all.mid(start, all.indexOf(QLatin1Char('>'), start) - start + 1)
                       : all.mid(start, end - start + 12);
    }
};

const QString sheetStart = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">");

} // namespace

class TestWorksheet : public QObject
{
    Q_OBJECT

private slots:
    void emptySheetDocument();
    void limitsOfTheSheet();
    void singleCellDimensionAndSpan();
    void spansByBlocksOfSixteen();
    void writeValueDispatch_data();
    void writeValueDispatch();
    void textStaysTextWithLinksSwitchedOff();
    void numbersThatAreNotFiniteAreRefused();
    void datesGetADateFormat();
    void blankCellAndFormats();
    void styleInheritedFromColumnAndRow();
    void columnRangesSplit();
    void columnsWithoutWidthGetTheDefaultWidth();
    void rowSettings();
    void formulaCell();
    void mailtoLink();
    void linkWithFragmentAndLongText();
    void linkKeepsAValidFormat();
    void linksReadBackAsWrittenAndLoaded();
    void mergedCellsAndViewFlags();
    void oneRunBoldTextMakesABoldCell();
    void writingTwiceGivesTheSameXml();

    void onlyAWholeUrlBecomesALink_data();
    void onlyAWholeUrlBecomesALink();
    void linkTargetsAreEncodedUris();
    void anyWriteOverALinkDropsIt();
    void emptyRichTextIsTheEmptyText();
    void mergeFormatsTheShownCellToo();
    void rulerCanBeHidden();
    void failedWritesLeaveTheDimension();
    void groupingSetsOutlineLevels();
};

void TestWorksheet::emptySheetDocument()
{
    Sheet s;
    QCOMPARE(s.xml(), sheetStart + QStringLiteral(
        "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/></worksheet>\n"));
}

void TestWorksheet::limitsOfTheSheet()
{
    Sheet s;
    QVERIFY(!s.sheet->writeValue(0, 1, 1));
    QVERIFY(!s.sheet->writeValue(1, 16385, 1));
    QVERIFY(!s.sheet->writeValue(1048577, 1, 1));
    QVERIFY(!s.sheet->dimension().isValid());
    QVERIFY(s.sheet->writeValue(1048576, 16384, QStringLiteral("last")));
    QCOMPARE(s.sheet->dimension().toText(), QStringLiteral("XFD1048576"));
    QVERIFY(s.xml().contains(QStringLiteral("<dimension ref=\"XFD1048576\"/>")));
    QVERIFY(s.sheetData().contains(QStringLiteral("<row r=\"1048576\" spans=\"16384:16384\"><c r=\"XFD1048576\" t=\"s\"><v>0</v></c></row>")));
}

void TestWorksheet::singleCellDimensionAndSpan()
{
    Sheet s;
    s.sheet->writeValue(5, 3, 7);
    QVERIFY(s.xml().contains(QStringLiteral("<dimension ref=\"C5\"/>")));
    QCOMPARE(s.sheetData(), QStringLiteral("<sheetData><row r=\"5\" spans=\"3:3\"><c r=\"C5\"><v>7</v></c></row></sheetData>"));
}

void TestWorksheet::spansByBlocksOfSixteen()
{
    Sheet s;
    for (int row = 1; row <= 40; ++row)
        for (int column = 1; column <= 10; ++column)
            s.sheet->writeValue(row, column, row * column);
    const QString data = s.sheetData();
    for (int row : { 1, 16, 17, 33, 40 })
        QVERIFY2(data.contains(QStringLiteral("<row r=\"%1\" spans=\"1:10\">").arg(row)), qPrintable(QString::number(row)));

    Sheet blocks;
    blocks.sheet->writeValue(2, 4, 1);
    blocks.sheet->writeValue(16, 2, 1);
    blocks.sheet->writeValue(17, 9, 1);
    const QString blockData = blocks.sheetData();
    QVERIFY(blockData.contains(QStringLiteral("<row r=\"2\" spans=\"2:4\">")));
    QVERIFY(blockData.contains(QStringLiteral("<row r=\"16\" spans=\"2:4\">")));
    QVERIFY(blockData.contains(QStringLiteral("<row r=\"17\" spans=\"9:9\">")));
    QVERIFY(blocks.xml().contains(QStringLiteral("<dimension ref=\"B2:I17\"/>")));
}

void TestWorksheet::writeValueDispatch_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("cell");
    QTest::newRow("text") << QVariant(QStringLiteral("Milk")) << "<c r=\"B2\" t=\"s\"><v>0</v></c>";
    QTest::newRow("number-like text stays text") << QVariant(QStringLiteral("12")) << "<c r=\"B2\" t=\"s\"><v>0</v></c>";
    QTest::newRow("empty text is text") << QVariant(QStringLiteral("")) << "<c r=\"B2\" t=\"s\"><v>0</v></c>";
    QTest::newRow("null text is blank") << QVariant(QString()) << "<c r=\"B2\"/>";
    QTest::newRow("null variant is blank") << QVariant() << "<c r=\"B2\"/>";
    QTest::newRow("int") << QVariant(42) << "<c r=\"B2\"><v>42</v></c>";
    // The number itself, not its rounding to fifteen digits.
    QTest::newRow("double") << QVariant(0.1 + 0.2) << "<c r=\"B2\"><v>0.30000000000000004</v></c>";
    QTest::newRow("long long") << QVariant(qlonglong(123456789012)) << "<c r=\"B2\"><v>123456789012</v></c>";
    QTest::newRow("float") << QVariant(2.5f) << "<c r=\"B2\"><v>2.5</v></c>";
    QTest::newRow("bool true") << QVariant(true) << "<c r=\"B2\" t=\"b\"><v>1</v></c>";
    QTest::newRow("bool false") << QVariant(false) << "<c r=\"B2\" t=\"b\"><v>0</v></c>";
    QTest::newRow("formula") << QVariant(QStringLiteral("=SUM(A1:A3)")) << "<c r=\"B2\"><f>SUM(A1:A3)</f><v>0</v></c>";
    QTest::newRow("date") << QVariant(QDate(2018, 1, 1)) << "<c r=\"B2\" s=\"1\"><v>43101</v></c>";
    QTest::newRow("time") << QVariant(QTime(12, 0)) << "<c r=\"B2\" s=\"1\"><v>0.5</v></c>";
    QTest::newRow("mailto link") << QVariant(QStringLiteral("mailto:lab")) << "<c r=\"B2\" s=\"1\" t=\"s\"><v>0</v></c>";
    QTest::newRow("url") << QVariant(QUrl(QStringLiteral("https://example.org/x"))) << "<c r=\"B2\" s=\"1\" t=\"s\"><v>0</v></c>";
}

void TestWorksheet::writeValueDispatch()
{
    QFETCH(QVariant, value);
    QFETCH(QString, cell);
    Sheet s;
    QVERIFY(s.sheet->writeValue(2, 2, value));
    QCOMPARE(s.sheetData(), QStringLiteral("<sheetData><row r=\"2\" spans=\"2:2\">") + cell
                                + QStringLiteral("</row></sheetData>"));

    Sheet unsupported;
    QVERIFY(!unsupported.sheet->writeValue(2, 2, QVariant(QSize(1, 2))));
    QVERIFY(!unsupported.sheet->cellAt(2, 2));
}

void TestWorksheet::textStaysTextWithLinksSwitchedOff()
{
    Sheet s;
    s.workbook.setStringsToHyperlinksEnabled(false);
    s.sheet->writeValue(1, 1, QStringLiteral("mailto:lab"));
    QCOMPARE(s.sheet->cellAt(1, 1)->value().toString(), QStringLiteral("mailto:lab"));
    QVERIFY(!s.xml().contains(QStringLiteral("hyperlink")));
    QVERIFY(s.sheet->relationships()->isEmpty());

    Sheet notAtStart;
    notAtStart.sheet->writeValue(1, 1, QStringLiteral("see http://x"));
    QVERIFY(!notAtStart.xml().contains(QStringLiteral("<hyperlinks>")));
}

void TestWorksheet::numbersThatAreNotFiniteAreRefused()
{
    Sheet s;
    QVERIFY(!s.sheet->writeNumber(1, 1, std::numeric_limits<double>::quiet_NaN()));
    QVERIFY(!s.sheet->writeValue(1, 1, std::numeric_limits<double>::infinity()));
    QVERIFY(!s.sheet->writeValue(2, 2, -std::numeric_limits<double>::infinity()));
    QVERIFY(!s.sheet->cellAt(1, 1));
    QVERIFY(!s.xml().contains(QStringLiteral("inf")));
    QVERIFY(!s.xml().contains(QStringLiteral("nan")));
}

void TestWorksheet::datesGetADateFormat()
{
    Sheet s;
    const QDateTime when(QDate(2018, 3, 5), QTime(9, 7));
    s.sheet->writeValue(1, 1, when);
    QCOMPARE(s.sheet->cellAt(1, 1)->format().numberFormatCode(), QStringLiteral("yyyy-mm-dd"));
    QCOMPARE(s.sheet->readValue(1, 1).toDateTime(), when);

    Format own;
    own.setNumberFormatCode(QStringLiteral("dd/mm/yyyy hh:mm"));
    s.sheet->writeValue(1, 2, when, own);
    QCOMPARE(s.sheet->cellAt(1, 2)->format().numberFormatCode(), QStringLiteral("dd/mm/yyyy hh:mm"));

    Format money;
    money.setNumberFormatCode(QStringLiteral("0.00"));
    s.sheet->writeValue(1, 3, when, money);
    QCOMPARE(s.sheet->cellAt(1, 3)->format().numberFormatCode(), QStringLiteral("yyyy-mm-dd"));
    QCOMPARE(money.numberFormatCode(), QStringLiteral("0.00"));

    s.workbook.setDate1904(true);
    s.sheet->writeValue(2, 1, QDateTime(QDate(1904, 1, 2), QTime(0, 0)));
    QCOMPARE(s.sheet->cellAt(2, 1)->value().toDouble(), 1.0);
}

void TestWorksheet::blankCellAndFormats()
{
    Sheet s;
    s.sheet->writeBlank(1, 1);
    Format bold;
    bold.setFontBold(true);
    s.sheet->writeBlank(1, 2, bold);
    s.sheet->writeValue(1, 3, 5, bold);
    s.sheet->writeValue(1, 3, 6);     // keeps the format of the cell it replaces
    QCOMPARE(s.sheetData(), QStringLiteral("<sheetData><row r=\"1\" spans=\"1:3\"><c r=\"A1\"/><c r=\"B1\" s=\"1\"/>"
                                           "<c r=\"C1\" s=\"1\"><v>6</v></c></row></sheetData>"));
}

void TestWorksheet::styleInheritedFromColumnAndRow()
{
    Sheet s;
    Format red;
    red.setFontColor(Qt::red);
    Format italic;
    italic.setFontItalic(true);
    QVERIFY(s.sheet->setColumnFormat(2, 2, red));
    QVERIFY(s.sheet->setRowFormat(3, 3, italic));
    s.sheet->writeValue(1, 2, QStringLiteral("column"));
    s.sheet->writeValue(3, 2, QStringLiteral("row wins"));
    s.sheet->writeValue(1, 1, QStringLiteral("plain"));
    const QString data = s.sheetData();
    QVERIFY(data.contains(QStringLiteral("<c r=\"B1\" s=\"%1\" t=\"s\">").arg(red.xfIndex())));
    QVERIFY(data.contains(QStringLiteral("<c r=\"B3\" s=\"%1\" t=\"s\">").arg(italic.xfIndex())));
    QVERIFY(data.contains(QStringLiteral("<c r=\"A1\" t=\"s\">")));
    QVERIFY(data.contains(QStringLiteral("<row r=\"3\" spans=\"1:2\" s=\"%1\" customFormat=\"1\" customHeight=\"0\">").arg(italic.xfIndex())));
    QVERIFY(s.xml().contains(QStringLiteral("<cols><col min=\"2\" max=\"2\" width=\"8.43\" style=\"%1\"/></cols>").arg(red.xfIndex())));
}

void TestWorksheet::columnRangesSplit()
{
    Sheet s;
    QVERIFY(s.sheet->setColumnWidth(1, 10, 8.5));
    QVERIFY(s.sheet->setColumnHidden(4, 6, true));
    QVERIFY(s.sheet->setColumnWidth(12, 12, 20));
    QVERIFY(!s.sheet->setColumnWidth(5, 4, 1));
    QVERIFY(!s.sheet->setColumnWidth(0, 3, 1));
    QVERIFY(!s.sheet->setColumnWidth(16384, 16385, 1));
    QVERIFY(s.xml().contains(QStringLiteral(
        "<cols><col min=\"1\" max=\"3\" width=\"8.5\" customWidth=\"1\"/>"
        "<col min=\"4\" max=\"6\" width=\"8.5\" hidden=\"1\" customWidth=\"1\"/>"
        "<col min=\"7\" max=\"10\" width=\"8.5\" customWidth=\"1\"/>"
        "<col min=\"12\" max=\"12\" width=\"20\" customWidth=\"1\"/></cols>")));
    // A range across gaps and existing ranges.
    QVERIFY(s.sheet->setColumnWidth(9, 14, 3));
    QVERIFY2(s.xml().contains(QStringLiteral(
        "<col min=\"7\" max=\"8\" width=\"8.5\" customWidth=\"1\"/><col min=\"9\" max=\"10\" width=\"3\" customWidth=\"1\"/>"
        "<col min=\"11\" max=\"11\" width=\"3\" customWidth=\"1\"/><col min=\"12\" max=\"12\" width=\"3\" customWidth=\"1\"/>"
        "<col min=\"13\" max=\"14\" width=\"3\" customWidth=\"1\"/></cols>")), qPrintable(s.xml()));
    QCOMPARE(s.sheet->dimension().firstColumn(), 1);
    QCOMPARE(s.sheet->dimension().lastColumn(), 14);
    QCOMPARE(s.sheet->dimension().firstRow(), -1);

    // Reading a column back leaves the ranges as they are.
    const QString before = s.xml();
    QCOMPARE(s.sheet->columnWidth(5), 8.5);
    QVERIFY(s.sheet->isColumnHidden(5));
    QVERIFY(!s.sheet->isColumnHidden(7));
    QCOMPARE(s.sheet->columnFormat(6), Format());
    QCOMPARE(s.xml(), before);
}

// A column element without a width reads as zero wide, that is hidden: a
// column with only a format or a hidden flag gets the default width.
void TestWorksheet::columnsWithoutWidthGetTheDefaultWidth()
{
    Sheet s;
    QCOMPARE(s.sheet->columnWidth(3), 0.0);
    QCOMPARE(s.sheet->columnWidth(0), 0.0);
    QVERIFY(!s.sheet->isColumnHidden(16385));
    QVERIFY(!s.xml().contains(QStringLiteral("<cols>")));

    Format bold;
    bold.setFontBold(true);
    s.sheet->setColumnFormat(3, 4, bold);
    s.sheet->setColumnHidden(6, 6, true);
    QVERIFY2(s.xml().contains(QStringLiteral("<cols><col min=\"3\" max=\"4\" width=\"8.43\" style=\"1\"/>"
                                             "<col min=\"6\" max=\"6\" width=\"8.43\" hidden=\"1\"/></cols>")),
             qPrintable(s.xml()));
}

void TestWorksheet::rowSettings()
{
    Sheet s;
    QVERIFY(s.sheet->setRowHeight(2, 3, 24.75));
    QVERIFY(s.sheet->setRowHidden(3, 3, true));
    QVERIFY(!s.sheet->setRowHeight(0, 0, 10));
    QCOMPARE(s.sheet->rowHeight(2), 24.75);
    QCOMPARE(s.sheet->rowHeight(9), 15.0);
    QVERIFY(s.sheet->isRowHidden(3));
    QCOMPARE(s.sheetData(), QStringLiteral("<sheetData><row r=\"2\" ht=\"24.75\" customHeight=\"1\"/>"
                                           "<row r=\"3\" ht=\"24.75\" customHeight=\"1\" hidden=\"1\"/></sheetData>"));
    QVERIFY(s.xml().contains(QStringLiteral("<dimension ref=\"A2:A3\"/>")));
}

void TestWorksheet::formulaCell()
{
    Sheet s;
    QVERIFY(s.sheet->writeValue(1, 1, QStringLiteral("=A1+1")));
    const QSharedPointer<SheetCell> cell = s.sheet->cellAt(1, 1);
    QCOMPARE(cell->kind(), CellKind::Number);
    QCOMPARE(cell->value().toDouble(), 0.0);
    QCOMPARE(cell->formula().text(), QStringLiteral("A1+1"));
    QCOMPARE(cell->formula().kind(), CellFormula::NormalFormula);
    QVERIFY(s.sheetData().contains(QStringLiteral("<c r=\"A1\"><f>A1+1</f><v>0</v></c>")));

    CellFormula array(QStringLiteral("A1:A2*2"), CellFormula::ArrayFormula, CellArea(QStringLiteral("B1:B2")));
    array.setAlwaysCalculate(true);
    s.sheet->writeFormula(1, 2, array, Format(), 4);
    QVERIFY(s.sheetData().contains(QStringLiteral("<c r=\"B1\"><f t=\"array\" ref=\"B1:B2\" ca=\"1\">A1:A2*2</f><v>4</v></c>")));
    CellFormula shared(QStringLiteral("C1+1"), CellFormula::SharedFormula, CellArea(QStringLiteral("C2:C4")));
    shared.setSharedIndex(0);
    s.sheet->writeFormula(2, 3, shared);
    QVERIFY(s.sheetData().contains(QStringLiteral("<f t=\"shared\" ref=\"C2:C4\" si=\"0\">C1+1</f>")));
}

void TestWorksheet::mailtoLink()
{
    Sheet s;
    QVERIFY(s.sheet->writeValue(3, 2, QStringLiteral("mailto:lab")));
    const QSharedPointer<SheetCell> cell = s.sheet->cellAt(3, 2);
    QCOMPARE(cell->kind(), CellKind::SharedString);
    QCOMPARE(cell->value().toString(), QStringLiteral("lab"));
    QCOMPARE(cell->format().fontColor(), QColor(0, 0, 255));
    QCOMPARE(cell->format().fontUnderline(), Format::FontUnderlineSingle);
    const QString xml = s.xml();
    QVERIFY(xml.endsWith(QStringLiteral("</sheetData><hyperlinks><hyperlink ref=\"B3\" r:id=\"rId1\"/></hyperlinks></worksheet>\n")));
    const QList<Relationship> links = s.sheet->relationships()->worksheetRelationships(QStringLiteral("/hyperlink"));
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().target, QStringLiteral("mailto:lab"));
    QCOMPARE(links.first().targetMode.value_or(QString()), QStringLiteral("External"));
    s.xml();
    QCOMPARE(s.sheet->relationships()->count(), 1);
}

void TestWorksheet::linkWithFragmentAndLongText()
{
    Sheet s;
    s.sheet->writeValue(1, 1, QStringLiteral("https://example.org/manual#section-2"));
    QCOMPARE(s.sheet->cellAt(1, 1)->value().toString(), QStringLiteral("https://example.org/manual#section-2"));
    QVERIFY(s.xml().contains(QStringLiteral("<hyperlink ref=\"A1\" r:id=\"rId1\" location=\"section-2\"/>")));
    QCOMPARE(s.sheet->relationships()->relationshipById(QStringLiteral("rId1")).target,
             QStringLiteral("https://example.org/manual"));

    const QString longUrl = QStringLiteral("http://example.org/") + QString(40000, QLatin1Char('a'));
    s.sheet->writeValue(2, 1, longUrl);
    QCOMPARE(s.sheet->cellAt(2, 1)->value().toString().size(), 32767);
    s.xml();
    QCOMPARE(s.sheet->relationships()->relationshipById(QStringLiteral("rId2")).target, longUrl);

    s.sheet->writeLink(3, 1, QUrl(QStringLiteral("http://x.org")), Format(), QStringLiteral("Shown"), QStringLiteral("Tip"));
    QCOMPARE(s.sheet->cellAt(3, 1)->value().toString(), QStringLiteral("Shown"));
    QVERIFY(s.xml().contains(QStringLiteral("<hyperlink ref=\"A3\" r:id=\"rId3\" tooltip=\"Tip\"/>")));
}

void TestWorksheet::linkKeepsAValidFormat()
{
    Sheet s;
    Format bold;
    bold.setFontBold(true);
    s.sheet->writeValue(1, 1, QStringLiteral("before"), bold);
    s.sheet->writeValue(1, 1, QStringLiteral("http://example.org"));
    const Format format = s.sheet->cellAt(1, 1)->format();
    QVERIFY(format.fontBold());
    QVERIFY(!format.fontColor().isValid());
}

// What a link points at, from the sheet that wrote it and from the
// package it was saved in: the address with its fragment, or the place.
void TestWorksheet::linksReadBackAsWrittenAndLoaded()
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    document.addSheet(QStringLiteral("Sheet 2"));
    sheet->writeLink(1, 1, QUrl(QStringLiteral("https://example.org/manual?part=2#section 2")));
    sheet->writeValue(2, 1, QStringLiteral("mailto:lab@example.org"));
    sheet->writeLink(3, 1, QUrl(QStringLiteral("#'Sheet 2'!B2")), Format(), QStringLiteral("Totals"));
    sheet->writeText(4, 1, QStringLiteral("plain"));
    const auto check = [](Worksheet *links) {
        QCOMPARE(links->hyperlink(1, 1), QUrl(QStringLiteral("https://example.org/manual?part=2#section 2")));
        QCOMPARE(links->hyperlink(2, 1), QUrl(QStringLiteral("mailto:lab@example.org")));
        QVERIFY(links->hyperlinkLocation(1, 1).isEmpty());
        QCOMPARE(links->hyperlinkLocation(3, 1), QStringLiteral("'Sheet 2'!B2"));
        QVERIFY(links->hyperlink(3, 1).isEmpty());
        QVERIFY(links->hyperlink(4, 1).isEmpty() && links->hyperlinkLocation(4, 1).isEmpty());
        QVERIFY(links->hyperlink(9, 9).isEmpty());
    };
    check(sheet);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QVERIFY(document.saveToDevice(&buffer));
    buffer.seek(0);
    Document loaded;
    QVERIFY2(loaded.load(&buffer), qPrintable(loaded.errorString()));
    check(static_cast<Worksheet *>(loaded.workbook()->sheet(0)));
}

void TestWorksheet::mergedCellsAndViewFlags()
{
    Sheet s;
    QVERIFY(s.sheet->mergeCells(CellArea(QStringLiteral("A1:B2"))));
    QVERIFY(s.sheet->mergeCells(CellArea(QStringLiteral("D1:D3"))));
    QVERIFY(!s.sheet->mergeCells(CellArea(QStringLiteral("B2:C3"))));
    QVERIFY(!s.sheet->mergeCells(CellArea(QStringLiteral("E5"))));
    s.sheet->setGridLinesVisible(false);
    s.sheet->setSelected(true);
    s.sheet->setRightToLeft(true);
    const QString xml = s.xml();
    QVERIFY(xml.contains(QStringLiteral("<sheetView showGridLines=\"0\" rightToLeft=\"1\" tabSelected=\"1\" workbookViewId=\"0\"/>")));
    QVERIFY(xml.contains(QStringLiteral("<mergeCells count=\"2\"><mergeCell ref=\"A1:B2\"/><mergeCell ref=\"D1:D3\"/></mergeCells>")));
    QVERIFY(s.sheet->unmergeCells(CellArea(QStringLiteral("A1:B2"))));
    QCOMPARE(s.sheet->mergedCells().size(), 1);
}

void TestWorksheet::oneRunBoldTextMakesABoldCell()
{
    Sheet s;
    Format bold;
    bold.setFontBold(true);
    RichString header;
    header.appendRun(QStringLiteral("Matrix"), bold);
    QVERIFY(s.sheet->writeValue(1, 1, QVariant::fromValue(header)));
    s.sheet->writeValue(2, 1, QStringLiteral("Matrix"));
    QVERIFY(s.sheet->cellAt(1, 1)->format().fontBold());
    QVERIFY(!s.sheet->cellAt(1, 1)->isRichString());
    QCOMPARE(s.sheetData(), QStringLiteral("<sheetData><row r=\"1\" spans=\"1:1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c></row>"
                                           "<row r=\"2\" spans=\"1:1\"><c r=\"A2\" t=\"s\"><v>0</v></c></row></sheetData>"));
    QCOMPARE(s.workbook.sharedStrings()->count(), 2);
    QCOMPARE(s.workbook.sharedStrings()->uniqueCount(), 1);

    RichString twoRuns;
    twoRuns.appendRun(QStringLiteral("a"), bold);
    twoRuns.appendRun(QStringLiteral("b"));
    s.sheet->writeRichText(3, 1, twoRuns);
    QVERIFY(s.sheet->cellAt(3, 1)->isRichString());
    QVERIFY(!s.sheet->cellAt(3, 1)->format().fontBold());
    QVERIFY(s.sheetData().contains(QStringLiteral("<c r=\"A3\" t=\"s\"><v>1</v></c>")));
}

void TestWorksheet::writingTwiceGivesTheSameXml()
{
    Sheet s;
    s.sheet->writeValue(1, 1, QStringLiteral("mailto:a"));
    s.sheet->writeValue(2, 2, 3.25);
    QCOMPARE(s.sheet->toXmlBytes(), s.sheet->toXmlBytes());
    QCOMPARE(s.sheet->relationships()->count(), 1);
}

void TestWorksheet::onlyAWholeUrlBecomesALink_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("target");     // empty: a text cell
    QTest::newRow("mail address in a sentence") << "Sent to mailto:lab@x.org on Monday" << "Sent to mailto:lab@x.org on Monday" << "";
    QTest::newRow("file URL after a word") << "see file://server/share" << "see file://server/share" << "";
    QTest::newRow("URL that does not parse") << "http://[bad" << "http://[bad" << "";
    QTest::newRow("note with a Windows path") << "Note: file://C:\\data" << "Note: file://C:\\data" << "";
    QTest::newRow("URL and more words") << "https://example.org/a b" << "https://example.org/a b" << "";
    QTest::newRow("scheme alone") << "mailto:" << "mailto:" << "";
    QTest::newRow("upper-case scheme") << "HTTP://example.org" << "HTTP://example.org" << "";
    QTest::newRow("mail link") << "mailto:lab@x.org" << "lab@x.org" << "mailto:lab@x.org";
    QTest::newRow("web link shown as written") << "https://Example.org/%7Euser" << "https://Example.org/%7Euser"
                                               << "https://example.org/~user";
    QTest::newRow("non-ASCII path") << QStringLiteral("http://example.org/\u00dcbersicht") << QStringLiteral("http://example.org/\u00dcbersicht")
                                    << "http://example.org/%C3%9Cbersicht";
    QTest::newRow("file share") << "file://server/share/report.pdf" << "file://server/share/report.pdf"
                                << "file://server/share/report.pdf";
}

void TestWorksheet::onlyAWholeUrlBecomesALink()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, target);
    Sheet s;
    QVERIFY(s.sheet->writeValue(1, 1, text));
    QCOMPARE(s.sheet->cellAt(1, 1)->value().toString(), shown);
    const QString xml = s.xml();
    if (target.isEmpty()) {
        QVERIFY(!xml.contains(QStringLiteral("<hyperlinks>")));
        QVERIFY(!s.sheet->cellAt(1, 1)->format().isValid());
        return;
    }
    QVERIFY(xml.contains(QStringLiteral("<hyperlink ref=\"A1\" r:id=\"rId1\"/>")));
    QCOMPARE(s.sheet->relationships()->relationshipById(QStringLiteral("rId1")).target, target);
}

void TestWorksheet::linkTargetsAreEncodedUris()
{
    Sheet s;
    QVERIFY(s.sheet->writeLink(1, 1, QUrl(QStringLiteral("http://example.org/a b/\u00fc?q=\u00e8 x#t\u00e9"))));
    QCOMPARE(s.sheet->cellAt(1, 1)->value().toString(), QStringLiteral("http://example.org/a b/\u00fc?q=\u00e8 x#t\u00e9"));
    QVERIFY(s.xml().contains(QStringLiteral("<hyperlink ref=\"A1\" r:id=\"rId1\" location=\"t%C3%A9\"/>")));
    QCOMPARE(s.sheet->relationships()->relationshipById(QStringLiteral("rId1")).target,
             QStringLiteral("http://example.org/a%20b/%C3%BC?q=%C3%A8%20x"));
    QVERIFY(!s.sheet->writeLink(2, 1, QUrl(QStringLiteral("http://[bad"))));
    QVERIFY(!s.sheet->cellAt(2, 1));
}

void TestWorksheet::anyWriteOverALinkDropsIt()
{
    Sheet s;
    for (int column = 1; column <= 6; ++column)
        s.sheet->writeValue(1, column, QStringLiteral("https://example.org/%1").arg(column));
    s.sheet->writeValue(1, 1, 42);
    s.sheet->writeValue(1, 2, QStringLiteral("plain text"));
    s.sheet->writeBlank(1, 3);
    s.sheet->writeValue(1, 4, true);
    s.sheet->writeValue(1, 5, QStringLiteral("=1+1"));
    s.sheet->writeValue(1, 6, QStringLiteral("https://example.org/new"));
    const QString xml = s.xml();
    QVERIFY2(xml.contains(QStringLiteral("<hyperlinks><hyperlink ref=\"F1\" r:id=\"rId1\"/></hyperlinks>")), qPrintable(xml));
    QCOMPARE(s.sheet->relationships()->count(), 1);
    QCOMPARE(s.sheet->relationships()->relationshipById(QStringLiteral("rId1")).target, QStringLiteral("https://example.org/new"));
}

void TestWorksheet::emptyRichTextIsTheEmptyText()
{
    Sheet s;
    s.sheet->writeValue(1, 1, QStringLiteral("before"));
    QVERIFY(s.sheet->writeRichText(2, 1, RichString()));
    QVERIFY(s.sheet->writeValue(3, 1, QVariant::fromValue(RichString())));
    QCOMPARE(s.workbook.sharedStrings()->stringAt(1).toPlainString(), QString());
    QVERIFY2(s.sheetData().contains(QStringLiteral("<c r=\"A2\" t=\"s\"><v>1</v></c>")), qPrintable(s.sheetData()));
    QVERIFY(s.sheetData().contains(QStringLiteral("<c r=\"A3\" t=\"s\"><v>1</v></c>")));
    QCOMPARE(s.workbook.sharedStrings()->uniqueCount(), 2);
}

void TestWorksheet::mergeFormatsTheShownCellToo()
{
    Sheet s;
    s.sheet->writeValue(1, 1, QStringLiteral("Title"));
    s.sheet->writeValue(2, 2, QStringLiteral("hidden by the merge"));
    Format centred;
    centred.setHorizontalAlignment(Format::AlignHCenter);
    centred.setFontBold(true);
    QVERIFY(s.sheet->mergeCells(CellArea(QStringLiteral("A1:C2")), centred));
    QCOMPARE(s.sheet->cellAt(1, 1)->value().toString(), QStringLiteral("Title"));
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column <= 3; ++column)
            QCOMPARE(s.sheet->cellAt(row, column)->format(), centred);
    }
    QVERIFY(!s.sheet->cellAt(2, 2)->value().isValid());
    QVERIFY(s.sheetData().contains(QStringLiteral("<c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"/>")));

    // A merge over an empty top-left cell formats it as a blank.
    QVERIFY(s.sheet->mergeCells(CellArea(QStringLiteral("E5:F5")), centred));
    QCOMPARE(s.sheet->cellAt(5, 5)->format(), centred);
}

void TestWorksheet::rulerCanBeHidden()
{
    Sheet s;
    QVERIFY(s.sheet->isRulerVisible());
    QVERIFY(s.xml().contains(QStringLiteral("<sheetView workbookViewId=\"0\"/>")));
    s.sheet->setRulerVisible(false);
    QVERIFY(s.xml().contains(QStringLiteral("<sheetView showRuler=\"0\" workbookViewId=\"0\"/>")));
}

void TestWorksheet::failedWritesLeaveTheDimension()
{
    Sheet s;
    s.sheet->writeValue(2, 2, 1);
    QVERIFY(!s.sheet->writeValue(9, 9, QVariant::fromValue(QPoint(1, 2))));
    QVERIFY(!s.sheet->writeValue(9, 9, std::nan("")));
    QVERIFY(!s.sheet->writeValue(9, 9, QDateTime(QDate(2024, 2, 30), QTime(1, 0))));
    QVERIFY(!s.sheet->writeFormula(9, 9, CellFormula(QStringLiteral("1/0")), Format(), INFINITY));
    QVERIFY(!s.sheet->writeLink(9, 9, QUrl(QStringLiteral("http://[bad"))));
    QCOMPARE(s.sheet->dimension().toText(), QStringLiteral("B2"));
    QVERIFY(!s.sheet->cellAt(9, 9));
}

void TestWorksheet::groupingSetsOutlineLevels()
{
    Sheet s;
    QVERIFY(s.sheet->groupRows(2, 4, false));
    QVERIFY(s.sheet->groupRows(3, 3));
    QVERIFY(!s.sheet->groupRows(5, 4));
    QVERIFY(s.sheet->groupColumns(2, 3));
    QCOMPARE(s.sheet->isRowHidden(3), true);
    QCOMPARE(s.sheet->isRowHidden(2), false);
    QVERIFY(s.sheet->isColumnHidden(2));
    const QString xml = s.xml();
    QVERIFY(xml.contains(QStringLiteral("<sheetFormatPr defaultRowHeight=\"15\" outlineLevelRow=\"2\" outlineLevelCol=\"1\"/>")));
    QVERIFY2(xml.contains(QStringLiteral("<cols><col min=\"2\" max=\"3\" width=\"8.43\" hidden=\"1\" outlineLevel=\"1\"/>"
                                         "<col min=\"4\" max=\"4\" width=\"8.43\" collapsed=\"1\"/></cols>")), qPrintable(xml));
    QVERIFY(xml.contains(QStringLiteral("<row r=\"2\" customHeight=\"0\" outlineLevel=\"1\"/>"
                                        "<row r=\"3\" customHeight=\"0\" hidden=\"1\" outlineLevel=\"2\"/>"
                                        "<row r=\"4\" customHeight=\"0\" outlineLevel=\"1\" collapsed=\"1\"/>")));
    for (int level = 0; level < 9; ++level)
        s.sheet->groupRows(10, 10, false);
    QVERIFY(s.xml().contains(QStringLiteral("<row r=\"10\" customHeight=\"0\" outlineLevel=\"7\"/>")));
}

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
