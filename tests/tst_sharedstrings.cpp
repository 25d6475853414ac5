#include "spreadsheet/sharedstrings.h"

#include <QtTest>

using namespace Spreadsheet;

static const QString sstStart = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" ");

class TestSharedStrings : public QObject
{
    Q_OBJECT

private slots:
    void indexesInFirstUseOrder();
    void spacePreservation();
    void oneFormattedRunStaysRich();
    void richTextRuns();
    void identityKeys();
    void invalidReferenceChangesNothing();
    void removalShiftsLaterEntries();
    void forbiddenCharactersAreEscaped();
    void documentReadsBack();
};

static QString xml(const SharedStrings &strings)
{
    return QString::fromUtf8(strings.toXmlBytes());
}

void TestSharedStrings::indexesInFirstUseOrder()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    QVERIFY(strings.isEmpty());
    QCOMPARE(strings.addString(QStringLiteral("A")), 0);
    QCOMPARE(strings.addString(QStringLiteral("B")), 1);
    QCOMPARE(strings.addString(QStringLiteral("A")), 0);
    QCOMPARE(strings.count(), 3);
    QCOMPARE(strings.uniqueCount(), 2);
    QCOMPARE(strings.indexOf(QStringLiteral("B")), 1);
    QCOMPARE(strings.indexOf(QStringLiteral("C")), -1);
    QCOMPARE(strings.stringAt(1).toPlainString(), QStringLiteral("B"));
    QCOMPARE(strings.stringAt(5).runCount(), 0);
    QCOMPARE(xml(strings), sstStart + QStringLiteral("count=\"3\" uniqueCount=\"2\"><si><t>A</t></si><si><t>B</t></si></sst>\n"));
}

void TestSharedStrings::spacePreservation()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    strings.addString(QStringLiteral(" lead"));
    strings.addString(QStringLiteral("trail\t"));
    strings.addString(QStringLiteral("line\n"));
    strings.addString(QStringLiteral("a b"));
    strings.addString(QString());
    QCOMPARE(xml(strings), sstStart + QStringLiteral(
        "count=\"5\" uniqueCount=\"5\"><si><t xml:space=\"preserve\"> lead</t></si>"
        "<si><t xml:space=\"preserve\">trail\t</t></si><si><t xml:space=\"preserve\">line\n</t></si>"
        "<si><t>a b</t></si><si><t></t></si></sst>\n"));
}

// A single run keeps its font: a bold "Total" is not the plain one, which
// an unformatted run shares.
void TestSharedStrings::oneFormattedRunStaysRich()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    Format bold;
    bold.setFontBold(true);
    RichString boldTotal;
    boldTotal.appendRun(QStringLiteral("Total"), bold);
    RichString plainRun;
    plainRun.appendRun(QStringLiteral("Total"), Format());
    QCOMPARE(strings.addString(boldTotal), 0);
    QCOMPARE(strings.addString(QStringLiteral("Total")), 1);
    QCOMPARE(strings.addString(plainRun), 1);
    QCOMPARE(xml(strings), sstStart + QStringLiteral("count=\"3\" uniqueCount=\"2\"><si><r><rPr><b/></rPr><t>Total</t></r></si>"
                                                     "<si><t>Total</t></si></sst>\n"));
}

void TestSharedStrings::richTextRuns()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    Format bold;
    bold.setFontBold(true);
    Format fancy;
    fancy.setFontItalic(true);
    fancy.setFontUnderline(Format::FontUnderlineDouble);
    fancy.setFontSize(12);
    fancy.setFontColor(Qt::red);
    fancy.setFontName(QStringLiteral("Arial"));
    RichString text;
    text.appendRun(QStringLiteral("Bold "), bold);
    text.appendRun(QStringLiteral("plain"));
    text.appendRun(QStringLiteral(" fancy"), fancy);
    QVERIFY(text.isRichString());
    QCOMPARE(text.toPlainString(), QStringLiteral("Bold plain fancy"));
    strings.addString(text);
    QCOMPARE(xml(strings), sstStart + QStringLiteral(
        "count=\"1\" uniqueCount=\"1\"><si>"
        "<r><rPr><b/></rPr><t xml:space=\"preserve\">Bold </t></r>"
        "<r><t>plain</t></r>"
        "<r><rPr><i/><u val=\"double\"/><sz val=\"12\"/><color rgb=\"FFFF0000\"/><rFont val=\"Arial\"/></rPr>"
        "<t xml:space=\"preserve\"> fancy</t></r>"
        "</si></sst>\n"));
}

void TestSharedStrings::identityKeys()
{
    QCOMPARE(RichString(QStringLiteral("é")).identityKey(), QByteArray("\xc3\xa9"));
    Format bold;
    bold.setFontBold(true);
    RichString two;
    two.appendRun(QStringLiteral("a"), bold);
    two.appendRun(QStringLiteral("b"));
    QCOMPARE(two.identityKey(), "@@RichString=@Texta@Format" + bold.fontKey() + "@Textb@Format");
    RichString twoPlain;
    twoPlain.appendRun(QStringLiteral("a"));
    twoPlain.appendRun(QStringLiteral("b"));
    QVERIFY(two != twoPlain);
    QVERIFY(twoPlain != RichString(QStringLiteral("ab")));
    QCOMPARE(qHash(two), qHash(two.identityKey()));
    two.appendRun(QStringLiteral("c"));
    QVERIFY(two.identityKey().endsWith("@Textc@Format"));
}

void TestSharedStrings::invalidReferenceChangesNothing()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    strings.addString(QStringLiteral("A"));
    QTest::ignoreMessage(QtDebugMsg, "SharedStrings: invlid index");
    strings.addReference(-1);
    QTest::ignoreMessage(QtDebugMsg, "SharedStrings: invlid index");
    strings.addReference(1);
    QCOMPARE(strings.count(), 1);
    QCOMPARE(strings.uniqueCount(), 1);
    strings.addReference(0);
    QCOMPARE(strings.count(), 2);
}

void TestSharedStrings::removalShiftsLaterEntries()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    strings.addString(QStringLiteral("first"));
    strings.addString(QStringLiteral("second"));
    strings.addString(QStringLiteral("third"));
    strings.addString(QStringLiteral("second"));
    strings.removeString(QStringLiteral("second"));
    QCOMPARE(strings.indexOf(QStringLiteral("second")), 1);
    QCOMPARE(strings.count(), 3);
    strings.removeString(QStringLiteral("first"));
    QCOMPARE(strings.indexOf(QStringLiteral("first")), -1);
    QCOMPARE(strings.indexOf(QStringLiteral("second")), 0);
    QCOMPARE(strings.indexOf(QStringLiteral("third")), 1);
    QCOMPARE(strings.stringAt(1).toPlainString(), QStringLiteral("third"));
    QCOMPARE(strings.count(), 2);
    strings.removeString(QStringLiteral("never added"));
    QCOMPARE(strings.count(), 2);
    QCOMPARE(xml(strings), sstStart + QStringLiteral("count=\"2\" uniqueCount=\"2\"><si><t>second</t></si><si><t>third</t></si></sst>\n"));
}

void TestSharedStrings::forbiddenCharactersAreEscaped()
{
    SharedStrings strings(SharedStrings::NewFromScratch);
    strings.addString(QStringLiteral("a\x01" "b\r\nc _x0041_"));
    QCOMPARE(xml(strings), sstStart + QStringLiteral(
        "count=\"1\" uniqueCount=\"1\"><si><t>a_x0001_b_x000D_\nc _x005F_x0041_</t></si></sst>\n"));
}

void TestSharedStrings::documentReadsBack()
{
    SharedStrings written(SharedStrings::NewFromScratch);
    written.addString(QStringLiteral("one\r\ntwo"));
    written.addString(QStringLiteral(" spaced "));
    SharedStrings read(SharedStrings::LoadExisting);
    QVERIFY(read.fromXmlBytes(written.toXmlBytes()));
    QCOMPARE(read.stringAt(0).toPlainString(), QStringLiteral("one\r\ntwo"));
    QCOMPARE(read.indexOf(QStringLiteral(" spaced ")), 1);

    SharedStrings wrongCount(SharedStrings::LoadExisting);
    QTest::ignoreMessage(QtDebugMsg, "Error: Shared string count");
    QVERIFY(!wrongCount.fromXmlBytes("<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                     "uniqueCount=\"2\"><si><t>x</t></si></sst>\n"));
}

QTEST_MAIN(TestSharedStrings)
#include "tst_sharedstrings.moc"
