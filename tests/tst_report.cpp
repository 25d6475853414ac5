#include "report/pdfreport.h"
#include "report/reportdocument.h"

#include <QLoggingCategory>
#include <QtTest>

// The style head as the report prints it: the template's style sheet without
// a border rule for tables and cells.
static const QString head = QStringLiteral(
    "    <head>        <style>            .anlName { font-family: sans-serif; font-weight: normal; font-size: 12pt; }"
    "            .grpName { font-family: sans-serif; font-weight: normal; font-size: 16pt; }"
    "            .par_titolo { font-family: Calibri; font-weight: bold; font-size: 12pt; }"
    "            .par_testo { font-family: Calibri; font-weight: normal; font-size: 10pt; }"
    "            .par_testoStrong { font-family: Calibri; font-weight: bold; font-size: 11pt; }"
    "            .p,p { font-family: Calibri; font-weight: normal; font-size: 10pt; }"
    "            th { font-family: sans-serif; font-weight: bold; font-size: 12pt; }"
    "            th { vertical-align: middle; background-color: #aaa; }                        .tdAnalisi {"
    " vertical-align: middle; font-family: sans-serif; font-weight: normal; font-size: 10pt; }"
    "            .tdAnalisiCurrent { vertical-align: middle; font-family: sans-serif; font-weight: bold;"
    " font-size: 10pt; background-color: #ccc; }            .tdFooter { vertical-align: middle; }"
    "            .tdNotes { vertical-align: middle; font-family: sans-serif; font-size: 5pt; }"
    "            .tdSignature { text-align: right; font-family: sans-serif; font-style: italic; font-size: 12pt; }"
    "        </style>    </head>");

static TableRow row(bool ticked, const QString &sample, const QString &result = QStringLiteral("1.0"),
                    const QString &symbols = QString())
{
    TableRow row;
    row.ticked = ticked;
    row.values.timestamp = QDateTime(QDate(2018, 3, 5), QTime(9, 7));
    row.values.matrix = QStringLiteral("Milk");
    row.values.analysis = QStringLiteral("Lactose");
    row.values.sampleName = sample;
    row.values.resultLines = result;
    row.values.umLines = QStringLiteral("g/L");
    row.values.symbolLines = symbols;
    return row;
}

static const QString emptyLabTable = QStringLiteral(
    "<table width='100%'><tr><td colspan=\"5\"></td></tr><tr><td colspan=\"5\">&nbsp;<br /></td></tr>"
    "<tr><td colspan=\"5\">&nbsp;<br /></td></tr></table>");
static const QString resultsTableStart = QStringLiteral(
    "<table border=\"0\" align=\"center\" width=\"100%\" cellspacing=\"0\" cellpadding=\"6\">"
    "<tr style=\"background-color: #CCC;\">");
// Labels, dates, results and units are kept on one line by a block that does
// not wrap.
static QString whole(const QString &html)
{
    return QStringLiteral("<div style=\"white-space: nowrap\">") + html + QStringLiteral("</div>");
}

static const QString headerWithMatrix = QStringLiteral(
    "<td align=\"center\" width=\"15%\"><div style=\"white-space: nowrap\"><b><i>Matrix</i></b></div></td>"
    "<td align=\"center\" width=\"20%\"><div style=\"white-space: nowrap\"><b><i>Analysis</i></b></div></td>"
    "<td align=\"center\" width=\"15%\"><div style=\"white-space: nowrap\"><b><i>Date</i></b></div></td>"
    "<td align=\"center\" width=\"20%\"><div style=\"white-space: nowrap\"><b><i>Sample</i></b></div></td>"
    "<td align=\"center\" width=\"10%\"><div style=\"white-space: nowrap\"><b><i>Result</i></b></div></td>"
    "<td align=\"center\" width=\"20%\"></td></tr>");

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void headerHtml();
    void footerHtml();
    void minimalContent();
    void laboratoryRowsAndLineBreaks();
    void matrixHiddenChangesHeaderAndCells();
    void alternatingShadesCountTickedRowsOnly();
    void legendInstrumentLineAndSignature();
    void userTextsAreEscaped();
    void bodyWrapsTheContent();
    void onlyShortTextsAreKeptWhole();
    void longWordsGetBreakOpportunities();
    void resultCell_data();
    void resultCell();
    void pageArithmetic_data();
    void pageArithmetic();
};

void TestReport::headerHtml()
{
    const QString expected = QStringLiteral("<html>    ") + head + QStringLiteral(
        "    <body>        <table width='100%'>           <tr>               <td></td>"
        "               <td valign='bottom' align='right'><span style='font-size:8pt; font-weight:bold;'>"
        "05/03/2018</span></td>           </tr>        </table>        <h1>Analysis Report</h1>        <hr>"
        "    </body></html>");
    QCOMPARE(ReportDocument::headerHtml(QDate(2018, 3, 5)), expected);
}

void TestReport::footerHtml()
{
    const QString expected = QStringLiteral("<html>    ") + head + QStringLiteral(
        "    <body>        <table width='100%'>            <tr>                <td width='32%' class='tdFooter'>"
        "<IMG height='45' src=':/resources/QVR-Brontal.jpg'/></td>                <td width='32%' class='tdFooter'>"
        "www.qvr.example<br/>info@qvr.example</td>                <td width='14%' class='tdFooter'>"
        "<IMG height='45' src=':/resources/CSQ-IQNet.jpg'/></td>                <td width='22%' class='tdFooter'>"
        "Quality System certified<br/>ISO 9001 Ed.2015</td>            </tr>        </table>    </body></html>");
    QCOMPARE(ReportDocument::footerHtml(), expected);
}

void TestReport::minimalContent()
{
    ReportInput input;
    input.matrixShown = true;
    input.rows = { row(true, QStringLiteral("S1")) };
    const QString expected = emptyLabTable + resultsTableStart + headerWithMatrix
        + QStringLiteral("<tr style=\"background-color: #EEE;\"><td align=\"center\">Milk</td>"
                         "<td align=\"center\">Lactose</td>"
                         "<td align=\"center\"><div style=\"white-space: nowrap\">5/3/2018 09:07</div></td>"
                         "<td align=\"center\"><div style=\"white-space: nowrap\">S1</div></td>"
                         "<td align=\"center\"><div style=\"white-space: nowrap\">1.0</div></td>"
                         "<td align=\"center\"><div style=\"white-space: nowrap\">g/L</div></td></tr>"
                         "</table></table><hr><table><tr></table>");
    QCOMPARE(ReportDocument::content(input), expected);
}

void TestReport::laboratoryRowsAndLineBreaks()
{
    ReportInput input;
    input.laboratory = QStringLiteral("Lab line 1\nLab line 2");
    input.companyName = QStringLiteral("Dairy");
    input.companyAddress = QStringLiteral("Road 1\n00100 Town");
    const QString expected = QStringLiteral(
        "<table width='100%'><tr><td colspan=\"5\"></td></tr>"
        "<tr><td colspan=\"5\" rowspan=\"1\" style=\"width: 80%;\"><b>Lab line 1<br />Lab line 2</b></td></tr>"
        "<tr><td colspan=\"5\">&nbsp;<br /></td></tr>"
        "<tr><td colspan=\"5\" rowspan=\"1\"><b>Dairy</b></td></tr>"
        "<tr><td colspan=\"5\" rowspan=\"1\">Road 1<br />00100 Town</td></tr>"
        "<tr><td colspan=\"5\">&nbsp;<br /></td></tr></table>");
    QVERIFY(ReportDocument::content(input).startsWith(expected));

    input.companyName.clear();
    QVERIFY(!ReportDocument::content(input).contains(QStringLiteral("<b>Dairy</b>")));
}

void TestReport::matrixHiddenChangesHeaderAndCells()
{
    ReportInput input;
    input.matrixShown = false;
    input.rows = { row(true, QStringLiteral("S1"), QStringLiteral("1.0\r\n2.0\r\n3.0")) };
    const QString expected = emptyLabTable + resultsTableStart
        + QStringLiteral("<td align=\"center\" width=\"30%\">") + whole(QStringLiteral("<b><i>Analysis</i></b>"))
        + QStringLiteral("</td><td align=\"center\" width=\"20%\">") + whole(QStringLiteral("<b><i>Date</i></b>"))
        + QStringLiteral("</td><td align=\"center\" width=\"20%\">") + whole(QStringLiteral("<b><i>Sample</i></b>"))
        + QStringLiteral("</td><td align=\"center\" width=\"10%\">") + whole(QStringLiteral("<b><i>Result</i></b>"))
        + QStringLiteral("</td><td align=\"center\" width=\"20%\"></td></tr>"
                         "<tr style=\"background-color: #EEE;\"><td align=\"center\">Lactose</td><td align=\"center\">")
        + whole(QStringLiteral("5/3/2018 09:07")) + QStringLiteral("</td><td align=\"center\">") + whole(QStringLiteral("S1"))
        + QStringLiteral("</td><td align=\"center\">")
        + whole(QStringLiteral("1.0\r<br />2.0\r<br />3.0")) + QStringLiteral("</td><td align=\"center\">")
        + whole(QStringLiteral("g/L")) + QStringLiteral("</td></tr>");
    QVERIFY(ReportDocument::content(input).startsWith(expected));
}

void TestReport::alternatingShadesCountTickedRowsOnly()
{
    ReportInput input;
    input.rows = { row(true, QStringLiteral("A")), row(false, QStringLiteral("skipped")), row(false, QStringLiteral("skipped")),
                   row(true, QStringLiteral("B")), row(true, QStringLiteral("C")), row(false, QStringLiteral("skipped")) };
    const QString html = ReportDocument::content(input);
    QVERIFY(!html.contains(QStringLiteral("skipped")));
    const QRegularExpression shade(QStringLiteral("background-color: #(EEE|DDD);\"><td align=\"center\">Lactose</td>"
                                                  "<td align=\"center\"><div[^>]*>[^<]*</div></td><td align=\"center\"><div[^>]*>(\\w)<"));
    QStringList seen;
    for (auto it = shade.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        seen << match.captured(2) + QLatin1Char(':') + match.captured(1);
    }
    QCOMPARE(seen, (QStringList{ "A:EEE", "B:DDD", "C:EEE" }));
}

void TestReport::legendInstrumentLineAndSignature()
{
    ReportInput input;
    input.rows = { row(true, QStringLiteral("S")) };
    QVERIFY(ReportDocument::content(input).endsWith(QStringLiteral("</table></table><hr><table><tr></table>")));

    input.flagLegend.markUsed(FlagLegend::AbsOutOfBounds);
    QVERIFY(ReportDocument::content(input).endsWith(
        QStringLiteral("<hr><table><tr><tr><td class='tdNotes'>#: ABS out of bounds</td></tr></table>")));

    input.flagLegend.markUsed(FlagLegend::BlankKo);
    input.flagLegend.markUsed(FlagLegend::ValueOutOfRange);
    input.instrumentLineShown = true;
    input.instrumentName = QStringLiteral("QVR Brontal W-5");
    input.instrumentSerial = QStringLiteral("W5-1");
    input.signature = QStringLiteral("Dr. Rossi");
    QVERIFY(ReportDocument::content(input).endsWith(QStringLiteral(
        "<hr><table><tr><td>Analyses performed with <b>QVR Brontal W-5</b> S/N W5-1</td></tr><tr>"
        "<tr><td class='tdNotes'>*: value out of range</td></tr>"
        "<tr><td class='tdNotes'>#: ABS out of bounds</td></tr>"
        "<tr><td class='tdNotes'>@: blank KO</td></tr></table>"
        "<table border=\"0\" align=\"center\" width=\"90%\"><tr><td class='tdSignature'>Dr. Rossi</td></tr></table>")));
}

void TestReport::userTextsAreEscaped()
{
    ReportInput input;
    input.laboratory = QStringLiteral("R&D <lab>");
    input.signature = QStringLiteral("<b>boss</b>");
    input.instrumentLineShown = true;
    input.instrumentName = QStringLiteral("A<B");
    TableRow r = row(true, QStringLiteral("<i>x</i> & y"), QStringLiteral("< 0.10"), QStringLiteral("<script>"));
    r.values.analysis = QStringLiteral("Acidity & pH");
    r.values.umLines = QStringLiteral("<g>");
    input.rows = { r };
    const QString html = ReportDocument::content(input);
    QVERIFY(html.contains(QStringLiteral("<b>R&amp;D &lt;lab&gt;</b>")));
    QVERIFY(html.contains(QStringLiteral("<td class='tdSignature'>&lt;b&gt;boss&lt;/b&gt;</td>")));
    QVERIFY(html.contains(QStringLiteral("<b>A&lt;B</b>")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">") + whole(QStringLiteral("&lt;i&gt;x&lt;/i&gt; &amp; y"))
                          + QStringLiteral("</td>")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">Acidity &amp; pH</td>")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">") + whole(QStringLiteral("&#060; 0.10 &lt;script&gt;"))
                          + QStringLiteral("</td>")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">") + whole(QStringLiteral("&lt;g&gt;")) + QStringLiteral("</td>")));
}

void TestReport::bodyWrapsTheContent()
{
    ReportInput input;
    const QString expected = QStringLiteral("<html>    ") + head + QStringLiteral("    <body>        <table width='100%'>           ")
        + ReportDocument::content(input) + QStringLiteral("        </table>    </body></html>");
    QCOMPARE(ReportDocument::bodyHtml(input), expected);
}

void TestReport::onlyShortTextsAreKeptWhole()
{
    ReportInput input;
    TableRow r = row(true, QStringLiteral("S"), QStringLiteral("1234567890123\r\n12345678901234"), QStringLiteral("@\r\n@"));
    r.values.umLines = QStringLiteral("1234567890123456\r\ng");
    input.rows = { r };
    // "1234567890123 @" has 15 characters, "12345678901234 @" 16.
    QString html = ReportDocument::content(input);
    QVERIFY(html.contains(whole(QStringLiteral("1234567890123 @\r<br />12345678901234 @"))));
    QVERIFY(html.contains(whole(QStringLiteral("1234567890123456\r<br />g"))));

    input.rows.first().values.resultLines += QStringLiteral("5");
    input.rows.first().values.umLines.prepend(QLatin1Char('x'));
    html = ReportDocument::content(input);
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">1234567890123 @\r<br />123456789012345 @</td>")));
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">x1234567890123456\r<br />g</td>")));

    // The last way of wrapping keeps only labels and dates whole.
    input.rows.first().values.resultLines = QStringLiteral("1.0");
    html = ReportDocument::content(input, { false, 0 });
    QVERIFY(html.contains(QStringLiteral("<td align=\"center\">1.0 @</td>")));
    QVERIFY(html.contains(whole(QStringLiteral("5/3/2018 09:07"))));
    QVERIFY(html.contains(whole(QStringLiteral("<b><i>Result</i></b>"))));
}

void TestReport::longWordsGetBreakOpportunities()
{
    const QChar breakHere(0x200B);
    ReportInput input;
    input.laboratory = QStringLiteral("ABCDEFGHIJKL MNO");
    input.signature = QStringLiteral("&&&&&&&");
    input.rows = { row(true, QStringLiteral("LOT_2026_A01")) };
    const QString html = ReportDocument::content(input, { true, 5 });
    QVERIFY(html.contains(QStringLiteral("<b>ABCDE%1FGHIJ%1KL MNO</b>").arg(breakHere)));
    QVERIFY(html.contains(QStringLiteral(">LOT_2") + breakHere + QStringLiteral("026_A") + breakHere + QStringLiteral("01</div></td>")));
    // Breaks go between characters, never inside the entities that escape them.
    QVERIFY(html.contains(QStringLiteral(">&amp;&amp;&amp;&amp;&amp;%1&amp;&amp;</td>").arg(breakHere)));
    // Characters outside the first plane and letters with combining marks
    // stay whole: the breaks fall between what a reader sees as characters.
    input.laboratory = QStringLiteral("\U0001D400\U0001D401\U0001D402\U0001D403\U0001D404\U0001D405\U0001D406 "
                                      "e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301");
    const QString astral = ReportDocument::content(input, { true, 5 });
    QVERIFY2(astral.contains(QStringLiteral("<b>\U0001D400\U0001D401\U0001D402\U0001D403\U0001D404%1\U0001D405\U0001D406 "
                                            "e\u0301e\u0301e\u0301e\u0301e\u0301%1e\u0301</b>").arg(breakHere)),
             qPrintable(astral.left(400)));
    // Words as long as the run stay as they are.
    QVERIFY(!ReportDocument::content(input, { true, 12 }).contains(breakHere));
}

void TestReport::resultCell_data()
{
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("symbols");
    QTest::addColumn<QString>("cell");
    QTest::newRow("below minimum") << "< 0.10" << "" << "&#060; 0.10";
    QTest::newRow("above maximum with symbol") << "> 9" << "*" << "&#062; 9 *";
    QTest::newRow("two symbols") << "12.5" << "* #" << "12.5 * #";
    QTest::newRow("entity-like texts print as written") << "&lt; 1 R&amp;D" << "" << "&amp;lt; 1 R&amp;amp;D";
    QTest::newRow("paired lines") << "1\r\n2\r\n3" << "\r\n@\r\n" << "1\r\n2 @\r\n3";
    QTest::newRow("value without symbol line") << "1\r\n2" << "*" << "1 *\r\n2";
    QTest::newRow("symbol line without value") << "1" << "\r\n#" << "1";
    QTest::newRow("empty result") << "" << "" << "";
}

void TestReport::resultCell()
{
    QFETCH(QString, result);
    QFETCH(QString, symbols);
    QFETCH(QString, cell);
    QCOMPARE(ReportDocument::resultCell(result, symbols), cell);
}

void TestReport::pageArithmetic_data()
{
    QTest::addColumn<int>("content");
    QTest::addColumn<qreal>("page");
    QTest::addColumn<double>("pages");
    QTest::newRow("fits") << 500 << 900.0 << 1.0;
    QTest::newRow("exactly one") << 900 << 900.0 << 1.0;
    QTest::newRow("exactly two") << 1800 << 900.0 << 2.0;
    QTest::newRow("two and a pixel") << 1801 << 900.0 << 3.0;
    QTest::newRow("rounded to single precision") << 100000001 << 100000000.0 << 1.0;
}

void TestReport::pageArithmetic()
{
    QFETCH(int, content);
    QFETCH(qreal, page);
    QFETCH(double, pages);
    QCOMPARE(PdfReport::totalPages(content, page), pages);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
