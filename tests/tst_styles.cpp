#include "spreadsheet/styles.h"

#include <QtTest>

using namespace Spreadsheet;

namespace {

const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
const QString styleSheetStart = QStringLiteral("<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
const QString defaultFont = QStringLiteral("<font><name val=\"Calibri\"/></font>");
const QString defaultFills = QStringLiteral("<fill><patternFill patternType=\"none\"/></fill>"
                                            "<fill><patternFill patternType=\"gray125\"/></fill>");
const QString defaultBorder = QStringLiteral("<border><left/><right/><top/><bottom/><diagonal/></border>");
const QString defaultXf = QStringLiteral("<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>");
const QString tail = QStringLiteral(
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "<dxfs count=\"0\"/>"
    "<tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" defaultPivotStyle=\"PivotStyleLight16\"/>"
    "</styleSheet>\n");
const QString cellStyleXfs = QStringLiteral(
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>");

QString xml(const Styles &styles)
{
    return QString::fromUtf8(styles.toXmlBytes());
}

// The text between <name ...> and </name> (or the empty element) in the document.
QString section(const QString &document, const QString &name)
{
    const int start = document.indexOf(QLatin1Char('<') + name);
    const QString close = QStringLiteral("</") + name + QLatin1Char('>');
    const int end = document.indexOf(close, start);
    return start < 0 || end < 0 ? QString() : document.mid(start, end + close.size() - start);
}

} // namespace

class TestStyles : public QObject
{
    Q_OBJECT

private slots:
    void defaultStylesByteForByte();
    void emptyFormatsShareCellFormatZero();
    void boldAndBoldRedAreShared();
    void numberFormatIds();
    void numberFormatIdWithoutCode();
    void fills();
    void borders();
    void alignmentElement();
    void differentialFormats();
    void fontProperties();
    void lookups();
    void savingTwiceGivesTheSameDocument();
};

void TestStyles::defaultStylesByteForByte()
{
    Styles styles(Styles::NewFromScratch);
    const QString expected = declaration + styleSheetStart + QStringLiteral("<fonts count=\"1\">") + defaultFont
        + QStringLiteral("</fonts><fills count=\"2\">") + defaultFills + QStringLiteral("</fills><borders count=\"1\">")
        + defaultBorder + QStringLiteral("</borders>") + cellStyleXfs + QStringLiteral("<cellXfs count=\"1\">")
        + defaultXf + QStringLiteral("</cellXfs>") + tail;
    QCOMPARE(xml(styles), expected);

    Styles loading(Styles::LoadExisting);
    QCOMPARE(loading.cellFormatCount(), 0);
    QCOMPARE(loading.fillCount(), 0);
}

void TestStyles::emptyFormatsShareCellFormatZero()
{
    Styles styles(Styles::NewFromScratch);
    for (int i = 0; i < 100; ++i) {
        Format empty;
        styles.addCellFormat(empty);
        QCOMPARE(empty.xfIndex(), -1);
    }
    QCOMPARE(styles.cellFormatCount(), 1);
    for (int i = 0; i < 3; ++i) {
        Format empty;
        styles.addCellFormat(empty, true);
    }
    QCOMPARE(styles.cellFormatCount(), 4);
}

void TestStyles::boldAndBoldRedAreShared()
{
    Styles styles(Styles::NewFromScratch);
    Format bold;
    bold.setFontBold(true);
    Format alsoBold;
    alsoBold.setFontBold(true);
    Format boldRed;
    boldRed.setFontBold(true);
    boldRed.setFontColor(Qt::red);
    styles.addCellFormat(bold);
    styles.addCellFormat(alsoBold);
    styles.addCellFormat(boldRed);
    QCOMPARE(bold.fontIndex(), 1);
    QCOMPARE(alsoBold.fontIndex(), 1);
    QCOMPARE(bold.xfIndex(), 1);
    QCOMPARE(alsoBold.xfIndex(), 1);
    QCOMPARE(boldRed.fontIndex(), 2);
    QCOMPARE(boldRed.xfIndex(), 2);
    QCOMPARE(boldRed.fillIndex(), 0);
    QCOMPARE(boldRed.borderIndex(), 0);
    QCOMPARE(styles.cellFormatCount(), 3);

    const QString document = xml(styles);
    QCOMPARE(section(document, QStringLiteral("fonts")),
             QStringLiteral("<fonts count=\"3\">") + defaultFont
                 + QStringLiteral("<font><b/><name val=\"Calibri\"/></font>"
                                  "<font><b/><color rgb=\"FFFF0000\"/><name val=\"Calibri\"/></font></fonts>"));
    QCOMPARE(section(document, QStringLiteral("cellXfs")),
             QStringLiteral("<cellXfs count=\"3\">") + defaultXf
                 + QStringLiteral("<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
                                  "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
                                  "</cellXfs>"));
}

void TestStyles::numberFormatIds()
{
    Styles styles(Styles::NewFromScratch);
    Format twoDecimals;
    twoDecimals.setNumberFormatCode(QStringLiteral("0.00"));
    styles.addCellFormat(twoDecimals);
    QCOMPARE(twoDecimals.numberFormatId(), 2);
    QVERIFY(!xml(styles).contains(QStringLiteral("numFmts")));

    Format threeDecimals;
    threeDecimals.setNumberFormatCode(QStringLiteral("0.000"));
    Format thousands;
    thousands.setNumberFormatCode(QStringLiteral("#,##0.0"));
    Format againThree;
    againThree.setNumberFormatCode(QStringLiteral("0.000"));
    styles.addCellFormat(threeDecimals);
    styles.addCellFormat(thousands);
    styles.addCellFormat(againThree);
    QCOMPARE(threeDecimals.numberFormatId(), 176);
    QCOMPARE(thousands.numberFormatId(), 177);
    QCOMPARE(againThree.numberFormatId(), 176);
    QCOMPARE(againThree.xfIndex(), threeDecimals.xfIndex());
    const QString document = xml(styles);
    QCOMPARE(section(document, QStringLiteral("numFmts")),
             QStringLiteral("<numFmts count=\"2\"><numFmt numFmtId=\"176\" formatCode=\"0.000\"/>"
                            "<numFmt numFmtId=\"177\" formatCode=\"#,##0.0\"/></numFmts>"));
    QVERIFY(document.startsWith(declaration + styleSheetStart + QStringLiteral("<numFmts")));
    QVERIFY(document.contains(QStringLiteral("<xf numFmtId=\"2\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>")));
}

void TestStyles::numberFormatIdWithoutCode()
{
    Styles styles(Styles::NewFromScratch);
    // A custom id that no code introduced names no format: it falls back to
    // "General" rather than point at a number format that does not exist.
    Format custom;
    custom.setNumberFormatId(176);
    styles.addCellFormat(custom);
    QCOMPARE(custom.numberFormatCode(), QStringLiteral("General"));
    QVERIFY(!xml(styles).contains(QStringLiteral("numFmtId=\"176\"")));
    QVERIFY(!xml(styles).contains(QStringLiteral("numFmts")));
    // A built-in id the table does not list (a locale's date format) is kept.
    Format locale;
    locale.setNumberFormatId(27);
    styles.addCellFormat(locale);
    QVERIFY(xml(styles).contains(QStringLiteral("<xf numFmtId=\"27\"")));

    Format differential;
    differential.setNumberFormatId(176);
    styles.addDifferentialFormat(differential);
    QCOMPARE(differential.numberFormatCode(), QStringLiteral("General"));

    Format builtIn;
    builtIn.setNumberFormatId(14);
    styles.resolveNumberFormat(builtIn);
    QCOMPARE(builtIn.numberFormatCode(), QStringLiteral("m/d/yy"));

    Format general;
    general.setNumberFormatCode(QStringLiteral("General"));
    styles.addCellFormat(general);
    QVERIFY(!general.hasProperty(Format::NumberFormatIdProperty));
    QCOMPARE(general.numberFormatId(), 0);
}

void TestStyles::fills()
{
    Styles styles(Styles::NewFromScratch);
    Format gray;
    gray.setFillPattern(Format::PatternGray125);
    styles.addCellFormat(gray);
    QCOMPARE(gray.fillIndex(), 1);

    Format red;
    red.setPatternBackgroundColor(QColor(255, 0, 0));
    styles.addCellFormat(red);
    QCOMPARE(red.fillIndex(), 2);
    Format striped;
    striped.setFillPattern(Format::PatternLightUp);
    striped.setPatternForegroundColor(Qt::blue);
    striped.setPatternBackgroundColor(Qt::green);
    styles.addCellFormat(striped);
    QCOMPARE(section(xml(styles), QStringLiteral("fills")),
             QStringLiteral("<fills count=\"4\">") + defaultFills
                 + QStringLiteral("<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFF0000\"/></patternFill></fill>"
                                  "<fill><patternFill patternType=\"lightUp\"><fgColor rgb=\"FF0000FF\"/>"
                                  "<bgColor rgb=\"FF00FF00\"/></patternFill></fill></fills>"));
}

void TestStyles::borders()
{
    Styles styles(Styles::NewFromScratch);
    Format left;
    left.setLeftBorderStyle(Format::BorderThin);
    styles.addCellFormat(left);
    Format all;
    all.setBorderStyle(Format::BorderDashDot);
    all.setBorderColor(Qt::blue);
    all.setDiagonalBorderType(Format::DiagonalBorderBoth);
    all.setDiagonalBorderStyle(Format::BorderHair);
    styles.addCellFormat(all);
    QCOMPARE(left.borderIndex(), 1);
    QCOMPARE(all.borderIndex(), 2);
    QCOMPARE(section(xml(styles), QStringLiteral("borders")),
             QStringLiteral("<borders count=\"3\">") + defaultBorder
                 + QStringLiteral("<border><left style=\"thin\"><color auto=\"1\"/></left><right/><top/><bottom/><diagonal/></border>"
                                  "<border diagonalUp=\"1\" diagonalDown=\"1\">"
                                  "<left style=\"dashDot\"><color rgb=\"FF0000FF\"/></left>"
                                  "<right style=\"dashDot\"><color rgb=\"FF0000FF\"/></right>"
                                  "<top style=\"dashDot\"><color rgb=\"FF0000FF\"/></top>"
                                  "<bottom style=\"dashDot\"><color rgb=\"FF0000FF\"/></bottom>"
                                  "<diagonal style=\"hair\"><color auto=\"1\"/></diagonal></border></borders>"));
    QVERIFY(xml(styles).contains(QStringLiteral("borderId=\"2\" xfId=\"0\" applyBorder=\"1\"/>")));
}

void TestStyles::alignmentElement()
{
    Styles styles(Styles::NewFromScratch);
    Format top;
    top.setVerticalAlignment(Format::AlignTop);
    Format centered;
    centered.setHorizontalAlignment(Format::AlignHCenter);
    centered.setTextWrap(true);
    centered.setRotation(45);
    Format indented;
    indented.setIndent(3);
    styles.addCellFormat(top);
    styles.addCellFormat(centered);
    styles.addCellFormat(indented);
    const QString cellXfs = section(xml(styles), QStringLiteral("cellXfs"));
    QVERIFY(cellXfs.contains(QStringLiteral("xfId=\"0\" applyAlignment=\"1\"><alignment vertical=\"top\"/></xf>")));
    QVERIFY(cellXfs.contains(QStringLiteral("<alignment horizontal=\"center\" wrapText=\"1\" textRotation=\"45\"/>")));
    QVERIFY(cellXfs.contains(QStringLiteral("<alignment indent=\"3\"/>")));
}

void TestStyles::differentialFormats()
{
    Styles styles(Styles::NewFromScratch);
    Format format;
    format.setFontBold(true);
    format.setFontSize(14);
    format.setNumberFormatCode(QStringLiteral("0.0%"));
    format.setPatternBackgroundColor(Qt::yellow);
    format.setBottomBorderStyle(Format::BorderDouble);
    styles.addDifferentialFormat(format);
    Format same = format;
    styles.addDifferentialFormat(same);
    QCOMPARE(format.dxfIndex(), 0);
    QCOMPARE(styles.differentialFormatCount(), 1);
    QCOMPARE(section(xml(styles), QStringLiteral("dxfs")),
             QStringLiteral("<dxfs count=\"1\"><dxf><font><b/></font><numFmt numFmtId=\"176\" formatCode=\"0.0%\"/>"
                            "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFFF00\"/></patternFill></fill>"
                            "<border><left/><right/><top/><bottom style=\"double\"><color auto=\"1\"/></bottom></border>"
                            "</dxf></dxfs>"));
    QCOMPARE(styles.fontCount(), 1);
}

void TestStyles::fontProperties()
{
    Styles styles(Styles::NewFromScratch);
    Format format;
    format.setFontItalic(true);
    format.setFontStrikeOut(true);
    format.setFontOutline(true);
    format.setFontUnderline(Format::FontUnderlineDoubleAccounting);
    format.setFontScript(Format::FontScriptSub);
    format.setFontSize(9);
    format.setFontName(QStringLiteral("Arial"));
    Format single;
    single.setFontUnderline(Format::FontUnderlineSingle);
    single.setFontScript(Format::FontScriptSuper);
    styles.addCellFormat(format);
    styles.addCellFormat(single);
    const QString fonts = section(xml(styles), QStringLiteral("fonts"));
    QVERIFY(fonts.contains(QStringLiteral("<font><i/><strike/><outline/><u val=\"doubleAccounting\"/>"
                                          "<vertAlign val=\"subscript\"/><sz val=\"9\"/><name val=\"Arial\"/></font>")));
    QVERIFY(fonts.contains(QStringLiteral("<font><u/><vertAlign val=\"superscript\"/><name val=\"Calibri\"/></font>")));
}

void TestStyles::lookups()
{
    Styles styles(Styles::NewFromScratch);
    Format bold;
    bold.setFontBold(true);
    styles.addCellFormat(bold);
    QVERIFY(styles.cellFormatAt(1) == bold);
    QVERIFY(styles.cellFormatAt(7).isEmpty());
    QVERIFY(styles.cellFormatAt(-1).isEmpty());
    QVERIFY(styles.differentialFormatAt(0).isEmpty());
    QCOMPARE(styles.colorByIndex(2), QColor(255, 0, 0));
    QCOMPARE(styles.colorByIndex(63), QColor(0x33, 0x33, 0x33));
    QVERIFY(!styles.colorByIndex(64).isValid());
    QVERIFY(!styles.colorByIndex(-1).isValid());
}

void TestStyles::savingTwiceGivesTheSameDocument()
{
    Styles styles(Styles::NewFromScratch);
    Format format;
    format.setFontBold(true);
    format.setNumberFormatCode(QStringLiteral("0.0000"));
    styles.addCellFormat(format);
    QCOMPARE(styles.toXmlBytes(), styles.toXmlBytes());
}

QTEST_MAIN(TestStyles)
#include "tst_styles.moc"
