// Conditional formats, validation, notes, names, panes and filters as
// openpyxl reads them and LibreOffice shows and keeps them.
#include "hosttools.h"
#include "packageentries.h"
#include "spreadsheet/spreadsheet.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Spreadsheet;
using namespace PackageEntries;
using Rule = ConditionalFormatRule;

namespace {

// Lines, for a comparison that names the first line that differs.
QStringList linesOf(const QByteArray &text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'));
}

QByteArray runPython(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.start(HostTools::program(QStringLiteral("python3")), QStringList{ QFINDTESTDATA(script) } + arguments);
    if (!process.waitForFinished(240000) || process.exitCode() != 0)
        return "failed: " + process.readAllStandardError();
    return process.readAllStandardOutput();
}

bool office(const QString &format, const QString &file, const QString &folder)
{
    QProcess process;
    process.start(QStringLiteral("soffice"), { QStringLiteral("--headless"),
                                               QStringLiteral("-env:UserInstallation=file://") + folder + QStringLiteral("/profile"),
                                               QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), folder, file });
    return process.waitForFinished(240000) && process.exitCode() == 0;
}

Format filled(const QColor &color)
{
    Format format;
    format.setFillPattern(Format::PatternSolid);
    format.setPatternBackgroundColor(color);
    return format;
}

ConditionalFormatting over(const CellArea &range, const Rule &rule)
{
    ConditionalFormatting formatting;
    formatting.ranges << range;
    formatting.rules << rule;
    return formatting;
}

Rule rule(Rule::Type type, const Format &format = Format())
{
    Rule made;
    made.type = type;
    made.format = format;
    return made;
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void conditionalFormatsOfEveryKind();
    void formatsShowInTheirColours();
    void validationNotesNamesPanesAndFilters();
    void loadedRulesTheModelCannotTellAreKept();

private:
    QTemporaryDir m_dir;
};

void TestRules::conditionalFormatsOfEveryKind()
{
    Document document;
    const Format red = filled(QColor(255, 0, 0));
    const Format blue = filled(QColor(0, 0, 255));
    Rule greater = rule(Rule::CellValue, red);
    greater.formulas << QStringLiteral("50");
    Rule between = rule(Rule::CellValue, blue);
    between.op = Rule::Between;
    between.formulas << QStringLiteral("20") << QStringLiteral("40");
    between.stopIfTrue = true;
    ConditionalFormatting two = over(CellArea(1, 1, 10, 1), greater);
    two.ranges << CellArea(1, 3, 10, 3);
    two.rules << between;
    QVERIFY(document.addConditionalFormatting(two));
    Rule expression = rule(Rule::Expression, red);
    expression.formulas << QStringLiteral("MOD(B1,2)=0");
    expression.priority = 40;
    QVERIFY(document.addConditionalFormatting(over(CellArea(1, 2, 10, 2), expression)));
    Rule contains = rule(Rule::ContainsText, blue);
    contains.text = QStringLiteral("oil \"x\"");
    Rule top = rule(Rule::Top, red);
    top.rank = 3;
    Rule bottom = rule(Rule::Bottom, blue);
    bottom.rank = 20;
    bottom.percent = true;
    Rule below = rule(Rule::BelowAverage, red);
    below.equalAverage = true;
    Rule lastMonth = rule(Rule::TimePeriod, blue);
    lastMonth.period = Rule::LastMonth;
    Rule scale = rule(Rule::ColorScale);
    scale.thresholds = { { ConditionalThreshold::Number, QStringLiteral("0"), QColor(255, 255, 255) },
                         { ConditionalThreshold::Highest, QString(), QColor(255, 0, 0) } };
    Rule bar = rule(Rule::DataBar);
    bar.barColor = QColor(0, 128, 0);
    bar.showValue = false;
    Rule icons = rule(Rule::IconSet);
    icons.icons = Rule::FourRating;
    icons.reverseIcons = true;
    icons.thresholds = { { ConditionalThreshold::Lowest, QString(), QColor() },
                         { ConditionalThreshold::Percentile, QStringLiteral("25"), QColor() },
                         { ConditionalThreshold::Number, QStringLiteral("50"), QColor() },
                         { ConditionalThreshold::Formula, QStringLiteral("$Z$1"), QColor() } };
    const QList<Rule> singles = { contains, top, bottom, below, rule(Rule::UniqueValues, red), rule(Rule::Blanks, red),
                                  rule(Rule::Errors, blue), lastMonth, scale, bar, icons };
    for (int i = 0; i < singles.size(); ++i)
        QVERIFY(document.addConditionalFormatting(over(CellArea(1, 4 + i, 10, 4 + i), singles.at(i))));

    // What a spreadsheet program could not read is refused.
    QVERIFY(!document.addConditionalFormatting(over(CellArea(0, 1, 10, 1), greater)));
    QVERIFY(!document.addConditionalFormatting(over(CellArea(1, 1, 10, 1), rule(Rule::CellValue, red))));
    Rule oneBound = between;
    oneBound.formulas.removeLast();
    QVERIFY(!document.addConditionalFormatting(over(CellArea(1, 1, 10, 1), oneBound)));
    Rule threeForFour = icons;
    threeForFour.thresholds.removeLast();
    QVERIFY(!document.addConditionalFormatting(over(CellArea(1, 1, 10, 1), threeForFour)));

    const QString path = m_dir.filePath(QStringLiteral("formats.xlsx"));
    QVERIFY(document.saveToFile(path));
    Document loaded;
    QVERIFY(loaded.load(path));
    const QList<ConditionalFormatting> read = loaded.activeWorksheet()->conditionalFormattings();
    QCOMPARE(read.size(), 13);
    QCOMPARE(read.at(0).ranges.size(), 2);
    QCOMPARE(read.at(0).rules.at(1).formulas, QStringList({ QStringLiteral("20"), QStringLiteral("40") }));
    QCOMPARE(read.at(0).rules.at(1).format.patternBackgroundColor(), QColor(0, 0, 255));
    QCOMPARE(read.at(12).rules.at(0).thresholds.at(3).value, QStringLiteral("$Z$1"));

    if (!HostTools::available())
        return;
    // Priorities follow the order of adding unless given; equal formats
    // share one differential format.
    const QByteArray expected =
        "rule Sheet1 A1:A10 C1:C10 cellIs p1 operator=greaterThan [50] fill=FFFF0000\n"
        "rule Sheet1 A1:A10 C1:C10 cellIs p2 operator=between stopIfTrue [20|40] fill=FF0000FF\n"
        "rule Sheet1 B1:B10 expression p40 [MOD(B1,2)=0] fill=FFFF0000\n"
        "rule Sheet1 D1:D10 containsText p41 operator=containsText text=oil \"x\" [NOT(ISERROR(SEARCH(\"oil \"\"x\"\"\",D1)))] fill=FF0000FF\n"
        "rule Sheet1 E1:E10 top10 p42 rank=3 fill=FFFF0000\n"
        "rule Sheet1 F1:F10 top10 p43 rank=20 percent bottom fill=FF0000FF\n"
        "rule Sheet1 G1:G10 aboveAverage p44 equalAverage below fill=FFFF0000\n"
        "rule Sheet1 H1:H10 uniqueValues p45 fill=FFFF0000\n"
        "rule Sheet1 I1:I10 containsBlanks p46 [LEN(TRIM(I1))=0] fill=FFFF0000\n"
        "rule Sheet1 J1:J10 containsErrors p47 [ISERROR(J1)] fill=FF0000FF\n"
        "rule Sheet1 K1:K10 timePeriod p48 timePeriod=lastMonth [AND(MONTH(K1)=MONTH(EDATE(TODAY(),0-1)),YEAR(K1)=YEAR(EDATE(TODAY(),0-1)))] fill=FF0000FF\n"
        "rule Sheet1 L1:L10 colorScale p49 scale num:0.0 max:None FFFFFFFF FFFF0000\n"
        "rule Sheet1 M1:M10 dataBar p50 bar min:None max:None FF008000 showValue=False\n"
        "rule Sheet1 N1:N10 iconSet p51 icons 4Rating min:None percentile:25.0 num:50.0 formula:$Z$1 reverse=True showValue=None\n";
    QCOMPARE(linesOf(runPython(QStringLiteral("rules/read_rules.py"), { HostTools::path(path) })), linesOf(expected));
}

// Values 1 to 10 in two columns: the first red above 5, the second blue up
// to 3. LibreOffice's page shows red and blue cells in that proportion.
void TestRules::formatsShowInTheirColours()
{
    if (!HostTools::available())
        QSKIP("LibreOffice draws on Linux");
    Document document;
    for (int row = 1; row <= 10; ++row) {
        document.writeValue(row, 1, row);
        document.writeValue(row, 2, row);
    }
    Rule above = rule(Rule::CellValue, filled(QColor(255, 0, 0)));
    above.formulas << QStringLiteral("5");
    Rule upTo = rule(Rule::CellValue, filled(QColor(0, 0, 255)));
    upTo.op = Rule::LessOrEqual;
    upTo.formulas << QStringLiteral("3");
    QVERIFY(document.addConditionalFormatting(over(CellArea(1, 1, 10, 1), above)));
    QVERIFY(document.addConditionalFormatting(over(CellArea(1, 2, 10, 2), upTo)));
    const QString path = m_dir.filePath(QStringLiteral("colours.xlsx"));
    QVERIFY(document.saveToFile(path));
    QVERIFY(office(QStringLiteral("pdf"), path, m_dir.path()));
    const QByteArray pages = runPython(QStringLiteral("drawing/read_drawings.py"),
                                       { QStringLiteral("colours"), m_dir.filePath(QStringLiteral("colours.pdf")) });
    const QJsonObject page = QJsonDocument::fromJson(pages).array().first().toObject();
    const double red = page.value(QStringLiteral("red")).toInt();
    const double blue = page.value(QStringLiteral("blue")).toInt();
    QVERIFY2(blue > 100 && red / blue > 1.4 && red / blue < 2.0, pages.constData());
}

void TestRules::validationNotesNamesPanesAndFilters()
{
    Document document;
    QVERIFY(document.writeValue(1, 1, QStringLiteral("Sheet1 comes first")));
    QVERIFY(document.addSheet(QStringLiteral("Lab data")));
    QVERIFY(document.selectSheet(QStringLiteral("Lab data")));
    DataValidation list;
    list.ranges << CellArea(2, 1, 20, 1);
    QVERIFY(list.setListValues({ QStringLiteral("Oil"), QStringLiteral("Wine") }));
    list.inputTitle = QStringLiteral("Matrix");
    list.inputMessage = QStringLiteral("Pick one");
    list.dropDownShown = false;
    QVERIFY(document.addDataValidation(list));
    DataValidation decimal;
    decimal.type = DataValidation::Decimal;
    decimal.op = DataValidation::NotBetween;
    decimal.formula1 = QStringLiteral("0");
    decimal.formula2 = QStringLiteral("5");
    decimal.ranges << CellArea(2, 2, 20, 2) << CellArea(2, 4, 20, 4);
    decimal.errorStyle = DataValidation::Information;
    decimal.errorTitle = QStringLiteral("Acidity");
    decimal.errorMessage = QStringLiteral("Outside 0 to 5?");
    decimal.allowBlank = false;
    QVERIFY(document.addDataValidation(decimal));
    DataValidation rangeList;
    rangeList.type = DataValidation::List;
    rangeList.formula1 = QStringLiteral("$F$1:$F$3");
    rangeList.ranges << CellArea(2, 3, 2, 3);
    rangeList.inputMessageShown = false;
    QVERIFY(document.addDataValidation(rangeList));
    DataValidation length;
    length.type = DataValidation::TextLength;
    length.op = DataValidation::LessOrEqual;
    length.formula1 = QStringLiteral("32");
    length.ranges << CellArea(2, 5, 20, 5);
    length.errorStyle = DataValidation::Warning;
    QVERIFY(document.addDataValidation(length));
    DataValidation unformulated;
    unformulated.type = DataValidation::Whole;
    unformulated.ranges << CellArea(1, 1, 1, 1);
    QVERIFY(!document.addDataValidation(unformulated));
    QVERIFY(!DataValidation().setListValues({ QStringLiteral("a,b") }));

    RichString rich;
    Format bold;
    bold.setFontBold(true);
    rich.appendRun(QStringLiteral("Check "), bold);
    rich.appendRun(QStringLiteral("acidity"));
    QVERIFY(document.writeNote(2, 2, rich, QStringLiteral("Luca"), true));
    QVERIFY(document.writeNote(3, 1, QStringLiteral("Sampled at the mill"), QStringLiteral("Maria")));
    QVERIFY(!document.writeNote(3, 1, QString()));
    QVERIFY(document.setFrozenPanes(1, 2));
    QVERIFY(document.setAutoFilter(CellArea(1, 1, 20, 5)));
    QVERIFY(document.setPrintArea(CellArea(1, 1, 20, 5)));
    QVERIFY(document.setPrintTitles(1, 1));
    QVERIFY(document.defineName(QStringLiteral("Acidity"), QStringLiteral("='Lab data'!$B$2:$B$20")));
    QVERIFY(document.defineName(QStringLiteral("acidity"), QStringLiteral("'Lab data'!$B$2:$B$9")));   // the same name
    QVERIFY(document.selectSheet(QStringLiteral("Sheet1")));
    QVERIFY(document.setSplitPanes(3, 1));   // 3 rows of 20 pixels, a column of 64: 15 twips a pixel
    QVERIFY(document.defineName(QStringLiteral("Here"), QStringLiteral("Sheet1!$A$1"), true));

    const QString path = m_dir.filePath(QStringLiteral("rules.xlsx"));
    QVERIFY(document.saveToFile(path));
    Document loaded;
    QVERIFY(loaded.load(path));
    QVERIFY(loaded.selectSheet(QStringLiteral("Lab data")));
    Worksheet *sheet = loaded.activeWorksheet();
    QCOMPARE(sheet->dataValidations().size(), 4);
    QCOMPARE(sheet->dataValidations().first().listValues(), QStringList({ QStringLiteral("Oil"), QStringLiteral("Wine") }));
    QCOMPARE(sheet->dataValidations().first().dropDownShown, false);
    QCOMPARE(sheet->dataValidations().at(2).inputMessageShown, false);
    QCOMPARE(sheet->note(2, 2).text, rich);
    QVERIFY(sheet->note(2, 2).visible);
    QVERIFY(!sheet->note(3, 1).visible);
    QCOMPARE(sheet->pane().state, SheetPane::Frozen);
    QCOMPARE(sheet->autoFilter(), CellArea(1, 1, 20, 5));
    QCOMPARE(sheet->printArea(), CellArea(1, 1, 20, 5));

    if (!HostTools::available())
        return;
    const QByteArray expected =
        "filter Lab data A1:E20\n"
        "name Here 0 Sheet1!$A$1\n"
        "name acidity None 'Lab data'!$B$2:$B$9\n"
        "note Lab data A3 Maria: Sampled at the mill\n"
        "note Lab data B2 Luca: Check acidity\n"
        "pane Lab data frozen 2.0 1.0 C2 bottomRight\n"
        "pane Sheet1 split 960.0 900.0 B4 bottomRight\n"
        "print area Lab data ['$A$1:$E$20']\n"
        "print titles Lab data $1:$1 None\n"
        "validation Lab data A2:A20 list None [\"Oil,Wine\"|None] blank=True hideDropDown=True input=True:Matrix:Pick one error=True:None:None:None\n"
        "validation Lab data B2:B20 D2:D20 decimal notBetween [0|5] blank=False hideDropDown=None input=True:None:None error=True:information:Acidity:Outside 0 to 5?\n"
        // openpyxl takes an absent showInputMessage for true; the load above reads it as false.
        "validation Lab data C2 list None [$F$1:$F$3|None] blank=True hideDropDown=None input=True:None:None error=True:None:None:None\n"
        "validation Lab data E2:E20 textLength lessThanOrEqual [32|None] blank=True hideDropDown=None input=True:None:None error=True:warning:None:None\n";
    QCOMPARE(linesOf(runPython(QStringLiteral("rules/read_rules.py"), { HostTools::path(path) })), linesOf(expected));

    // LibreOffice's own save keeps the list, the notes and the filter.
    const QString folder = m_dir.filePath(QStringLiteral("office"));
    QDir().mkpath(folder);
    QVERIFY(office(QStringLiteral("xlsx"), path, folder));
    const QByteArray again = runPython(QStringLiteral("rules/read_rules.py"), { folder + QStringLiteral("/rules.xlsx") });
    QVERIFY2(again.contains("validation Lab data A2:A20 list") && again.contains("[\"Oil,Wine\"|"), again.constData());
    QVERIFY2(again.contains(": Check acidity") && again.contains(": Sampled at the mill"), again.constData());
    QVERIFY2(again.contains("filter Lab data A1:E20"), again.constData());
}

// Rules of a loaded sheet that name a differential format the style table
// lacks, cells outside the sheet or a kind nobody defined are kept as they
// came and saved again, not listed.
void TestRules::loadedRulesTheModelCannotTellAreKept()
{
    Document document;
    Rule greater = rule(Rule::CellValue, filled(Qt::red));
    greater.formulas << QStringLiteral("1");
    QVERIFY(document.addConditionalFormatting(over(CellArea(1, 1, 2, 1), greater)));
    DataValidation whole;
    whole.type = DataValidation::Whole;
    whole.formula1 = QStringLiteral("1");
    whole.ranges << CellArea(1, 1, 1, 1);
    QVERIFY(document.addDataValidation(whole));
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    QVERIFY(document.saveToDevice(&saved));

    const QByteArray strange =
        "<conditionalFormatting sqref=\"A1\"><cfRule type=\"cellIs\" dxfId=\"99\" priority=\"2\" operator=\"equal\"><formula>1</formula></cfRule></conditionalFormatting>"
        "<conditionalFormatting sqref=\"A0:B2\"><cfRule type=\"expression\" priority=\"3\"><formula>1</formula></cfRule></conditionalFormatting>"
        "<conditionalFormatting sqref=\"A1\"><cfRule type=\"sparkles\" priority=\"4\"/></conditionalFormatting>";
    QByteArray package = editedPackage(saved.data(), [&](const QString &name, QByteArray &bytes) {
        if (name == QLatin1String("xl/worksheets/sheet1.xml")) {
            bytes.replace("</conditionalFormatting><dataValidations", "</conditionalFormatting>" + strange + "<dataValidations");
            bytes.replace("sqref=\"A1\"><formula1>", "sqref=\"XFE1\"><formula1>");
        }
        return true;
    });
    QVERIFY(!package.isEmpty());

    Document loaded;
    QBuffer device(&package);
    device.open(QIODevice::ReadOnly);
    QVERIFY2(loaded.load(&device), qPrintable(loaded.errorString()));
    QCOMPARE(loaded.activeWorksheet()->conditionalFormattings().size(), 1);
    QCOMPARE(loaded.activeWorksheet()->dataValidations().size(), 0);
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    QVERIFY(loaded.saveToDevice(&again));
    const QByteArray sheet = entryOf(again.data(), QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(!sheet.isEmpty());
    QVERIFY(sheet.contains(strange));
    QVERIFY(sheet.contains("sqref=\"XFE1\""));
}

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
