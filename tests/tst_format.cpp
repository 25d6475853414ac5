#include "spreadsheet/format.h"
#include "spreadsheet/styles.h"
#include "spreadsheet/xlsxcolor.h"

#include <QBuffer>
#include <QDataStream>
#include <QXmlStreamWriter>
#include <QtTest>

using namespace Spreadsheet;

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerColorMetaTypes(); }

    // colours
    void colorKinds();
    void colorArgbText();
    void colorElements_data();
    void colorElements();
    void colorStreamedBytes();
    void colorDebugText();

    // formats
    void clearValuesStoreNothing();
    void copiesShareUntilChanged();
    void unchangedValueKeepsIds();
    void changeInvalidatesOnlyItsGroup();
    void keysIgnoreSetterOrder();
    void keysOfEmptyFormatsAreEmpty();
    void numberFormatIdAndCodeExcludeEachOther();
    void patternColorMakesFillSolid();
    void alignmentInterplay();
    void dateTimeDetection_data();
    void dateTimeDetection();
    void mergeAndFont();
    void debugText();
};

static QByteArray streamed(const QVariant &value)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << value;
    return bytes;
}

static QString colorElement(const XlsxColor &color, const QString &name = QString())
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    color.writeColorElement(writer, name);
    writer.writeEndDocument();
    return QString::fromUtf8(bytes).trimmed();
}

void TestFormat::colorKinds()
{
    QVERIFY(XlsxColor(QColor(Qt::red)).isRgb());
    QVERIFY(XlsxColor(QColor()).isInvalid());
    QVERIFY(XlsxColor::fromIndex(8).isIndexed());
    QVERIFY(XlsxColor::fromTheme(QStringLiteral("1")).isTheme());
    QCOMPARE(XlsxColor::fromIndex(-3).index(), -3);
    QCOMPARE(XlsxColor(QColor(Qt::red)).index(), -1);
    QVERIFY(!XlsxColor::fromIndex(2).rgb().isValid());
    QCOMPARE(XlsxColor::fromTheme(QStringLiteral("4"), QStringLiteral("-0.25")).themeAndTint(),
             (QStringList{ "4", "-0.25" }));
    QVERIFY(XlsxColor(QColor(Qt::red)).themeAndTint().isEmpty());
}

void TestFormat::colorArgbText()
{
    QCOMPARE(XlsxColor::toArgbText(QColor(255, 0, 0)), QStringLiteral("FFFF0000"));
    QCOMPARE(XlsxColor::toArgbText(QColor(1, 2, 3, 128)), QStringLiteral("80010203"));
    const QColor parsed = XlsxColor::fromArgbText(QStringLiteral("80010203"));
    QCOMPARE(parsed.alpha(), 128);
    QCOMPARE(parsed.red(), 1);
    QCOMPARE(parsed.green(), 2);
    QCOMPARE(parsed.blue(), 3);
    QCOMPARE(XlsxColor::fromArgbText(QStringLiteral("FFzz00FF")), QColor(0, 0, 255));
}

void TestFormat::colorElements_data()
{
    QTest::addColumn<XlsxColor>("color");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("xml");
    QTest::newRow("rgb") << XlsxColor(QColor(Qt::blue)) << "" << "<color rgb=\"FF0000FF\"/>";
    QTest::newRow("invalid is auto") << XlsxColor(QColor()) << "" << "<color auto=\"1\"/>";
    QTest::newRow("indexed, unchecked") << XlsxColor::fromIndex(99) << "fgColor" << "<fgColor indexed=\"99\"/>";
    QTest::newRow("theme without tint") << XlsxColor::fromTheme(QStringLiteral("3")) << "bgColor" << "<bgColor theme=\"3\"/>";
    QTest::newRow("theme with tint as given") << XlsxColor::fromTheme(QStringLiteral("3"), QStringLiteral("-0.25")) << ""
                                              << "<color theme=\"3\" tint=\"-0.25\"/>";
}

void TestFormat::colorElements()
{
    QFETCH(XlsxColor, color);
    QFETCH(QString, name);
    QFETCH(QString, xml);
    QCOMPARE(colorElement(color, name), xml);
}

void TestFormat::colorStreamedBytes()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << XlsxColor::fromIndex(7);
    QCOMPARE(bytes, QByteArray::fromHex("00000002" "00000007"));
    bytes.clear();
    stream.device()->seek(0);
    stream << XlsxColor();
    QCOMPARE(bytes, QByteArray::fromHex("00000000"));

    const QVariant red = XlsxColor(QColor(Qt::red));
    QCOMPARE(streamed(red), streamed(XlsxColor(QColor(255, 0, 0))));
    QVERIFY(streamed(red) != streamed(XlsxColor::fromIndex(2)));

    for (const XlsxColor &color : { XlsxColor(QColor(10, 20, 30)), XlsxColor::fromIndex(5),
                                    XlsxColor::fromTheme(QStringLiteral("2"), QStringLiteral("0.5")), XlsxColor() }) {
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        out << color;
        QDataStream in(data);
        XlsxColor read = XlsxColor::fromIndex(1);
        in >> read;
        QCOMPARE(read, color);
    }
}

void TestFormat::colorDebugText()
{
    QString text;
    QDebug(&text) << XlsxColor() << XlsxColor::fromIndex(3) << XlsxColor::fromTheme(QStringLiteral("1"), QStringLiteral("0.2"));
    QCOMPARE(text, QStringLiteral("XlsxColor(invalid) XlsxColor(indexed, 3 ) XlsxColor(theme, \"1:0.2\" ) "));
    QCOMPARE(QMetaType::type("XlsxColor"), qMetaTypeId<XlsxColor>());
    QCOMPARE(QByteArray(QMetaType::typeName(qMetaTypeId<XlsxColor>())), QByteArray("Spreadsheet::XlsxColor"));
}

void TestFormat::clearValuesStoreNothing()
{
    Format format;
    QVERIFY(!format.isValid());
    QVERIFY(format.isEmpty());
    format.setFontBold(false);
    QVERIFY(format.isValid());
    QVERIFY(format.isEmpty());
    format.setFontName(QStringLiteral("Calibri"));
    format.setVerticalAlignment(Format::AlignBottom);
    format.setHorizontalAlignment(Format::AlignHGeneral);
    QVERIFY(format.isEmpty());
    QVERIFY(!format.hasAlignmentData());
    format.setVerticalAlignment(Format::AlignTop);
    QVERIFY(format.hasAlignmentData());
    format.setLocked(false);
    QVERIFY(format.hasProperty(Format::LockedProperty));
    QVERIFY(format.hasProtectionData());
}

void TestFormat::copiesShareUntilChanged()
{
    Format bold;
    bold.setFontBold(true);
    Format copy = bold;
    copy.setXfIndex(5);
    QCOMPARE(bold.xfIndex(), 5);          // ids go to the shared state
    copy.setFontItalic(true);             // a change detaches
    QVERIFY(!bold.fontItalic());
    QVERIFY(copy.fontItalic() && copy.fontBold());
    QCOMPARE(bold.xfIndex(), 5);
    QVERIFY(!copy.xfIndexValid());
}

void TestFormat::unchangedValueKeepsIds()
{
    Styles styles(Styles::NewFromScratch);
    Format format;
    format.setFontBold(true);
    styles.addCellFormat(format);
    QVERIFY(format.xfIndexValid() && format.fontIndexValid());
    const QByteArray key = format.formatKey();
    format.setFontBold(true);
    QVERIFY(format.xfIndexValid());
    QVERIFY(format.fontIndexValid());
    QCOMPARE(format.formatKey(), key);
}

void TestFormat::changeInvalidatesOnlyItsGroup()
{
    Styles styles(Styles::NewFromScratch);
    Format format;
    format.setFontBold(true);
    format.setFillPattern(Format::PatternSolid);
    format.setLeftBorderStyle(Format::BorderThin);
    styles.addCellFormat(format);
    styles.addDifferentialFormat(format);
    QVERIFY(format.fontIndexValid() && format.fillIndexValid() && format.borderIndexValid());
    QCOMPARE(format.fillIndex(), 2);
    const QByteArray fillKey = format.fillKey();

    format.setFontItalic(true);
    QVERIFY(!format.fontIndexValid());
    QVERIFY(!format.xfIndexValid());
    QVERIFY(!format.dxfIndexValid());
    QVERIFY(format.fillIndexValid());
    QVERIFY(format.borderIndexValid());
    QCOMPARE(format.fillKey(), fillKey);

    format.setNumberFormatId(2);
    QVERIFY(format.fillIndexValid() && format.borderIndexValid());
}

void TestFormat::keysIgnoreSetterOrder()
{
    Format a;
    a.setFontBold(true);
    a.setFontColor(Qt::red);
    a.setHorizontalAlignment(Format::AlignHCenter);
    Format b;
    b.setHorizontalAlignment(Format::AlignHCenter);
    b.setFontColor(QColor(255, 0, 0));
    b.setFontBold(true);
    QCOMPARE(a.formatKey(), b.formatKey());
    QCOMPARE(a.fontKey(), b.fontKey());
    QVERIFY(a == b);
    b.setFontColor(Qt::blue);
    QVERIFY(a != b);
    QVERIFY(a.fillKey().isEmpty());
    // The font key holds the id and the value of each font property.
    Format size;
    size.setFontSize(11);
    QByteArray expected;
    QDataStream stream(&expected, QIODevice::WriteOnly);
    stream << qint32(Format::FontSizeProperty) << QVariant(11);
    QCOMPARE(size.fontKey(), expected);
    QCOMPARE(size.formatKey(), expected);
}

void TestFormat::keysOfEmptyFormatsAreEmpty()
{
    Format none;
    Format cleared;
    cleared.setFontBold(true);
    cleared.setFontBold(false);
    QVERIFY(cleared.isValid() && cleared.isEmpty());
    QCOMPARE(none.formatKey(), QByteArray());
    QCOMPARE(cleared.formatKey(), QByteArray());
    QCOMPARE(cleared.fontKey(), QByteArray());
    QVERIFY(none == cleared);
    QCOMPARE(none.xfIndex(), -1);
    QCOMPARE(none.fontIndex(), 0);
}

void TestFormat::numberFormatIdAndCodeExcludeEachOther()
{
    Format format;
    format.setNumberFormatId(14);
    format.setNumberFormatCode(QString());
    QCOMPARE(format.numberFormatId(), 14);
    format.setNumberFormatCode(QStringLiteral("0.000"));
    QVERIFY(!format.hasProperty(Format::NumberFormatIdProperty));
    QCOMPARE(format.numberFormatCode(), QStringLiteral("0.000"));
    format.setNumberFormatId(3);
    QVERIFY(!format.hasProperty(Format::NumberFormatCodeProperty));

    Format assigned;
    assigned.assignNumberFormat(0, QStringLiteral("General"));
    QVERIFY(!assigned.hasProperty(Format::NumberFormatIdProperty));
    QVERIFY(assigned.hasNumFmtData());
}

void TestFormat::patternColorMakesFillSolid()
{
    Format format;
    format.setPatternBackgroundColor(Qt::red);
    QCOMPARE(format.fillPattern(), Format::PatternSolid);
    QCOMPARE(format.patternBackgroundColor(), QColor(Qt::red));

    Format onlyRemoves;
    onlyRemoves.setPatternForegroundColor(Qt::green);
    onlyRemoves.setFillPattern(Format::PatternNone);
    onlyRemoves.setPatternForegroundColor(QColor());
    QVERIFY(!onlyRemoves.hasProperty(Format::PatternForegroundColorProperty));
    QVERIFY(!onlyRemoves.hasProperty(Format::FillPatternProperty));

    Format striped;
    striped.setFillPattern(Format::PatternDarkUp);
    striped.setPatternForegroundColor(Qt::blue);
    QCOMPARE(striped.fillPattern(), Format::PatternDarkUp);
}

void TestFormat::alignmentInterplay()
{
    Format indentAfterCenter;
    indentAfterCenter.setHorizontalAlignment(Format::AlignHCenter);
    indentAfterCenter.setIndent(2);
    QCOMPARE(indentAfterCenter.horizontalAlignment(), Format::AlignLeft);
    QCOMPARE(indentAfterCenter.indent(), 2);

    Format centerAfterIndent;
    centerAfterIndent.setIndent(2);
    centerAfterIndent.setHorizontalAlignment(Format::AlignHCenter);
    QVERIFY(!centerAfterIndent.hasProperty(Format::IndentProperty));

    Format distributed;
    distributed.setIndent(1);
    distributed.setHorizontalAlignment(Format::AlignHDistributed);
    QCOMPARE(distributed.indent(), 1);
    Format justify;
    justify.setIndent(1);
    justify.setHorizontalAlignment(Format::AlignHJustify);
    QVERIFY(!justify.hasProperty(Format::IndentProperty));
    Format justifyThenIndent;
    justifyThenIndent.setHorizontalAlignment(Format::AlignHJustify);
    justifyThenIndent.setIndent(1);
    QCOMPARE(justifyThenIndent.horizontalAlignment(), Format::AlignHJustify);

    Format shrink;
    shrink.setTextWrap(true);
    shrink.setHorizontalAlignment(Format::AlignHFill);
    shrink.setShrinkToFit(true);
    QVERIFY(!shrink.hasProperty(Format::TextWrapProperty));
    QCOMPARE(shrink.horizontalAlignment(), Format::AlignLeft);
    shrink.setTextWrap(true);
    QVERIFY(!shrink.hasProperty(Format::ShrinkToFitProperty));
    shrink.setShrinkToFit(true);
    shrink.setHorizontalAlignment(Format::AlignHJustify);
    QVERIFY(!shrink.hasProperty(Format::ShrinkToFitProperty));
}

void TestFormat::dateTimeDetection_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("dateTime");
    QTest::newRow("yyyy-mm-dd") << "yyyy-mm-dd" << -1 << true;
    QTest::newRow("colour only") << "[Red]0.00" << -1 << false;
    QTest::newRow("elapsed hours") << "[h]:mm" << -1 << true;
    QTest::newRow("escaped d") << "\\d0" << -1 << false;
    QTest::newRow("second section") << "0;d" << -1 << false;
    QTest::newRow("quoted text") << "0.0 \"days\"" << -1 << false;
    QTest::newRow("condition then date") << "[>=100]dd" << -1 << true;
    QTest::newRow("plain number") << "#,##0.00" << -1 << false;
    QTest::newRow("id 14") << "" << 14 << true;
    QTest::newRow("id 22") << "" << 22 << true;
    QTest::newRow("id 23") << "" << 23 << false;
    QTest::newRow("id 45") << "" << 45 << true;
    QTest::newRow("id 49") << "" << 49 << false;
    QTest::newRow("id 58") << "" << 58 << true;
    QTest::newRow("nothing") << "" << -1 << false;
}

void TestFormat::dateTimeDetection()
{
    QFETCH(QString, code);
    QFETCH(int, id);
    QFETCH(bool, dateTime);
    Format format;
    if (!code.isEmpty())
        format.setNumberFormatCode(code);
    if (id >= 0)
        format.setNumberFormatId(id);
    QCOMPARE(format.isDateTimeFormat(), dateTime);
}

void TestFormat::mergeAndFont()
{
    Format cell;
    cell.setHorizontalAlignment(Format::AlignHCenter);
    Format bold;
    bold.setFontBold(true);
    cell.mergeFormat(bold);
    QVERIFY(cell.fontBold());
    QCOMPARE(cell.horizontalAlignment(), Format::AlignHCenter);

    Format nothing;
    nothing.mergeFormat(bold);
    QCOMPARE(nothing.formatKey(), bold.formatKey());

    QFont qfont(QStringLiteral("DejaVu Sans"), 14);
    qfont.setBold(true);
    qfont.setItalic(true);
    qfont.setUnderline(true);
    Format fromFont;
    fromFont.setFont(qfont);
    QCOMPARE(fromFont.fontName(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(fromFont.fontSize(), 14);
    QVERIFY(fromFont.fontBold() && fromFont.fontItalic());
    QCOMPARE(fromFont.fontUnderline(), Format::FontUnderlineSingle);
    const QFont back = fromFont.font();
    QCOMPARE(back.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(back.weight(), 75);
    QVERIFY(back.underline());
    QCOMPARE(Format().font().family(), QStringLiteral("Calibri"));
}

void TestFormat::debugText()
{
    Format format;
    format.setFontBold(true);
    QString text;
    QDebug(&text) << format;
    QCOMPARE(text, QStringLiteral("Spreadsheet::Format(QMap((7, QVariant(bool, true)))) "));
}

QTEST_MAIN(TestFormat)
#include "tst_format.moc"
