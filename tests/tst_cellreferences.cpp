#include "spreadsheet/celladdress.h"
#include "spreadsheet/cellarea.h"
#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/utility.h"
#include "timezone.h"

#include <QtTest>

using namespace Spreadsheet;

Q_DECLARE_METATYPE(Spreadsheet::CellArea)

class TestCellReferences : public QObject
{
    Q_OBJECT

private slots:
    void columnLettersBothWays_data();
    void columnLettersBothWays();
    void parseA1_data();
    void parseA1();
    void addressText();
    void areas_data();
    void areas();
    void serialNumbers_data();
    void serialNumbers();
    void serial1904Epoch();
    void wallClockTimeInEveryZone_data();
    void wallClockTimeInEveryZone();
    void datesAreWholeDaysInEveryZone();
    void timeSerial();
    void sheetNames_data();
    void sheetNames();
    void quoting();
    void xmlValues();
    void partPaths();
    void cellTextEscaping_data();
    void cellTextEscaping();
    void invalidXmlCharactersAreReplaced();
};

void TestCellReferences::columnLettersBothWays_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("letters");
    QTest::newRow("1") << 1 << "A";
    QTest::newRow("26") << 26 << "Z";
    QTest::newRow("27") << 27 << "AA";
    QTest::newRow("52") << 52 << "AZ";
    QTest::newRow("53") << 53 << "BA";
    QTest::newRow("702") << 702 << "ZZ";
    QTest::newRow("703") << 703 << "AAA";
    QTest::newRow("16384") << 16384 << "XFD";
}

void TestCellReferences::columnLettersBothWays()
{
    QFETCH(int, column);
    QFETCH(QString, letters);
    QCOMPARE(columnLetters(column), letters);
    QCOMPARE(columnNumber(letters), column);
    QCOMPARE(CellAddress(letters + QStringLiteral("1")).column(), column);
    QCOMPARE(CellAddress(1, column).toText(), letters + QStringLiteral("1"));
}

void TestCellReferences::parseA1_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("valid");
    QTest::newRow("A1") << "A1" << 1 << 1 << true;
    QTest::newRow("absolute") << "$B$7" << 7 << 2 << true;
    QTest::newRow("absolute column only") << "$C9" << 9 << 3 << true;
    QTest::newRow("last cell") << "XFD1048576" << 1048576 << 16384 << true;
    QTest::newRow("beyond the sheet still parses") << "XFE1" << 1 << 16385 << true;
    QTest::newRow("lower case") << "b7" << -1 << -1 << false;
    QTest::newRow("four letters") << "ABCD1" << -1 << -1 << false;
    QTest::newRow("row zero") << "A0" << 0 << 1 << false;
    QTest::newRow("no row") << "A" << -1 << -1 << false;
    QTest::newRow("trailing text") << "A1 " << -1 << -1 << false;
    QTest::newRow("two dollars") << "$$A1" << -1 << -1 << false;
    QTest::newRow("empty") << "" << -1 << -1 << false;
    QTest::newRow("final line feed") << "A1\n" << -1 << -1 << false;
    QTest::newRow("leading blank") << " A1" << -1 << -1 << false;
    QTest::newRow("digits of another script") << QStringLiteral("A\u0661") << -1 << -1 << false;
}

void TestCellReferences::parseA1()
{
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, valid);
    const CellAddress address(text);
    QCOMPARE(address.row(), row);
    QCOMPARE(address.column(), column);
    QCOMPARE(address.isValid(), valid);
    if (!valid)
        QCOMPARE(address.toText(), QString());
}

void TestCellReferences::addressText()
{
    QCOMPARE(CellAddress(1, 1).toText(true, true), QStringLiteral("$A$1"));
    QCOMPARE(CellAddress(7, 2).toText(true, false), QStringLiteral("B$7"));
    QCOMPARE(CellAddress(7, 2).toText(false, true), QStringLiteral("$B7"));
    QVERIFY(!CellAddress().isValid());
    QCOMPARE(CellAddress().row(), -1);
}

void TestCellReferences::areas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<CellArea>("area");
    QTest::addColumn<QString>("printed");
    QTest::newRow("range") << "A1:J57" << CellArea(1, 1, 57, 10) << "A1:J57";
    QTest::newRow("one cell") << "B3" << CellArea(3, 2, 3, 2) << "B3";
    QTest::newRow("one-cell range prints as a cell") << "C5:C5" << CellArea(5, 3, 5, 3) << "C5";
    QTest::newRow("absolute") << "$A$1:$B$2" << CellArea(1, 1, 2, 2) << "A1:B2";
    QTest::newRow("three parts use the first") << "B2:C3:D4" << CellArea(2, 2, 2, 2) << "B2";
    QTest::newRow("no cell, no area") << "Sheet" << CellArea() << "";
    QTest::newRow("a corner that is no cell") << "A1:Z" << CellArea() << "";
}

void TestCellReferences::areas()
{
    QFETCH(QString, text);
    QFETCH(CellArea, area);
    QFETCH(QString, printed);
    QCOMPARE(CellArea(text), area);
    QCOMPARE(area.toText(), printed);
    QCOMPARE(CellArea(1, 1, 2, 3).toText(true, true), QStringLiteral("$A$1:$C$2"));
    QVERIFY(!CellArea().isValid());
    QCOMPARE(CellArea(5, 1, 4, 1).toText(), QString());
    QCOMPARE(CellArea(1, 3, 1, 2).toText(), QString());
    QCOMPARE(CellArea(2, 2, 4, 6).rowCount(), 3);
    QCOMPARE(CellArea(2, 2, 4, 6).columnCount(), 5);
}

void TestCellReferences::serialNumbers_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<double>("serial");
    QTest::newRow("1 January 1900 noon") << QDateTime(QDate(1900, 1, 1), QTime(12, 0)) << 1.5;
    QTest::newRow("28 February 1900") << QDateTime(QDate(1900, 2, 28), QTime(0, 0)) << 59.0;
    QTest::newRow("1 March 1900 skips the fictitious leap day") << QDateTime(QDate(1900, 3, 1), QTime(0, 0)) << 61.0;
    QTest::newRow("1 January 2018") << QDateTime(QDate(2018, 1, 1), QTime(0, 0)) << 43101.0;
    QTest::newRow("18 h") << QDateTime(QDate(2018, 1, 1), QTime(18, 0)) << 43101.75;
}

void TestCellReferences::serialNumbers()
{
    QFETCH(QDateTime, dateTime);
    QFETCH(double, serial);
    QCOMPARE(dateTimeToSerial(dateTime), serial);
    QCOMPARE(serialToDateTime(serial), dateTime);
}

void TestCellReferences::serial1904Epoch()
{
    QCOMPARE(dateTimeToSerial(QDateTime(QDate(1904, 1, 1), QTime(0, 0)), true), 0.0);
    QCOMPARE(dateTimeToSerial(QDateTime(QDate(1904, 1, 2), QTime(6, 0)), true), 1.25);
    QCOMPARE(serialToDateTime(1.25, true), QDateTime(QDate(1904, 1, 2), QTime(6, 0)));
    QCOMPARE(dateTimeToSerial(QDateTime(QDate(2018, 1, 1), QTime(0, 0)), true), 43101.0 - 1462);
}

// A serial number is the wall-clock date and time people read, in every zone
// and season: Dublin's winter counts as daylight saving time in the zone
// data, Lord Howe moves its clocks by half an hour.
void TestCellReferences::wallClockTimeInEveryZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<double>("serial");
    const double january15 = 45306;   // 15 January 2024
    const double july15 = 45488;      // 15 July 2024
    for (const char *zone : { "Europe/Rome", "Europe/Dublin", "Australia/Lord_Howe", "America/New_York", "UTC" }) {
        QTest::addRow("%s winter", zone) << QByteArray(zone) << QDateTime(QDate(2024, 1, 15), QTime(10, 0))
                                         << january15 + 10.0 / 24;
        QTest::addRow("%s summer", zone) << QByteArray(zone) << QDateTime(QDate(2024, 7, 15), QTime(10, 0))
                                         << july15 + 10.0 / 24;
    }
    // Another zone's time is taken as the local clock shows it.
    QTest::newRow("UTC 10:00 is 12:00 in Rome's summer")
        << QByteArray("Europe/Rome") << QDateTime(QDate(2024, 7, 15), QTime(10, 0), Qt::UTC) << july15 + 12.0 / 24;
    QTest::newRow("UTC 10:00 is 11:00 in Rome's winter")
        << QByteArray("Europe/Rome") << QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC) << january15 + 11.0 / 24;
    QTest::newRow("UTC 10:00 is 20:30 at Lord Howe in July")
        << QByteArray("Australia/Lord_Howe") << QDateTime(QDate(2024, 7, 15), QTime(10, 0), Qt::UTC)
        << july15 + 20.5 / 24;
}

void TestCellReferences::wallClockTimeInEveryZone()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, dateTime);
    QFETCH(double, serial);
#if !defined(Q_OS_UNIX)
    if (dateTime.timeSpec() != Qt::LocalTime)
        QSKIP("the local zone is set through TZ, which only Unix reads");
#endif
    TimeZone timeZone(zone.constData());
    QCOMPARE(dateTimeToSerial(dateTime), serial);
    const QDateTime back = serialToDateTime(serial);
    QCOMPARE(back.date(), dateTime.toLocalTime().date());
    QCOMPARE(back.time(), dateTime.toLocalTime().time());
}

// A date is its day's midnight as written, even where that midnight does
// not exist: clocks in Sao Paulo went from 23:59 to 01:00 on 4 November 2018.
void TestCellReferences::datesAreWholeDaysInEveryZone()
{
    TimeZone timeZone("America/Sao_Paulo");
    Document document;
    QVERIFY(document.writeValue(1, 1, QDate(2018, 11, 4)));
    QCOMPARE(document.cellAt(1, 1)->value().toDouble(), 43408.0);
    QCOMPARE(document.cellAt(1, 1)->format().numberFormatCode(), QStringLiteral("yyyy-mm-dd"));
    QVERIFY(document.writeValue(2, 1, QDateTime(QDate(2018, 11, 5), QTime(6, 0))));
    QCOMPARE(document.cellAt(2, 1)->value().toDouble(), 43409.25);
}

void TestCellReferences::timeSerial()
{
    QCOMPARE(timeToSerial(QTime(12, 0)), 0.5);
    QCOMPARE(timeToSerial(QTime(0, 0)), 0.0);
    QCOMPARE(timeToSerial(QTime(6, 0)), 0.25);
}

void TestCellReferences::sheetNames_data()
{
    QTest::addColumn<QString>("proposal");
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("slash and colon") << "a/b:c" << "a b c";
    QTest::newRow("every forbidden character") << "1/2\\3?4*5[6]7:8" << "1 2 3 4 5 6 7 8";
    QTest::newRow("Q1/Q2") << "Q1/Q2" << "Q1 Q2";
    QTest::newRow("quoted name is unescaped") << "'Bob''s'" << "Bob's";
    QTest::newRow("leading apostrophe") << "'Data" << " Data";
    QTest::newRow("trailing apostrophe") << "Data'" << "Data ";
    QTest::newRow("31 characters kept") << QString(31, QLatin1Char('x')) << QString(31, QLatin1Char('x'));
    QTest::newRow("40 characters cut") << QString(40, QLatin1Char('y')) << QString(31, QLatin1Char('y'));
    QTest::newRow("cut leaves no apostrophe at the end")
        << QString(30, QLatin1Char('z')) + QStringLiteral("'tail") << QString(30, QLatin1Char('z')) + QLatin1Char(' ');
    QTest::newRow("control characters") << QStringLiteral("a\x01" "b\tc") << "a b c";
    // 30 letters and a character outside the basic plane: cutting at 31
    // would keep half of it.
    QTest::newRow("cut keeps characters whole")
        << QString(30, QLatin1Char('a')) + QStringLiteral("\U0001F600b") << QString(30, QLatin1Char('a'));
    QTest::newRow("a whole pair within 31 stays")
        << QString(29, QLatin1Char('a')) + QStringLiteral("\U0001F600b") << QString(29, QLatin1Char('a')) + QStringLiteral("\U0001F600");
}

void TestCellReferences::sheetNames()
{
    QFETCH(QString, proposal);
    QFETCH(QString, name);
    QCOMPARE(sanitizeSheetName(proposal), name);
}

void TestCellReferences::quoting()
{
    QCOMPARE(quoteSheetName(QStringLiteral("My Sheet")), QStringLiteral("'My Sheet'"));
    QCOMPARE(quoteSheetName(QStringLiteral("Bob's")), QStringLiteral("'Bob''s'"));
    QCOMPARE(quoteSheetName(QStringLiteral("Data1")), QStringLiteral("Data1"));
    QCOMPARE(quoteSheetName(QStringLiteral("a-b")), QStringLiteral("'a-b'"));
    for (const char *lookalike : { "2024", "AB12", "r2c3", "TRUE" })
        QCOMPARE(quoteSheetName(QLatin1String(lookalike)), QLatin1Char('\'') + QLatin1String(lookalike) + QLatin1Char('\''));
    QCOMPARE(unquoteSheetName(QStringLiteral("'Bob''s'")), QStringLiteral("Bob's"));
    QCOMPARE(unquoteSheetName(quoteSheetName(QStringLiteral("R&D 'x'"))), QStringLiteral("R&D 'x'"));
    QCOMPARE(unquoteSheetName(QStringLiteral("Sheet1")), QStringLiteral("Sheet1"));
}

void TestCellReferences::xmlValues()
{
    QVERIFY(readXmlBool(QStringLiteral("1"), false));
    QVERIFY(readXmlBool(QStringLiteral("true"), false));
    QVERIFY(!readXmlBool(QStringLiteral("0"), true));
    QVERIFY(!readXmlBool(QStringLiteral("false"), true));
    QVERIFY(readXmlBool(QStringLiteral("TRUE"), true));
    QVERIFY(!readXmlBool(QStringLiteral("yes"), false));

    QVERIFY(needsSpacePreserve(QStringLiteral(" x")));
    QVERIFY(needsSpacePreserve(QStringLiteral("x\n")));
    QVERIFY(needsSpacePreserve(QStringLiteral("\tx")));
    QVERIFY(needsSpacePreserve(QStringLiteral("x\r")));
    QVERIFY(!needsSpacePreserve(QStringLiteral("a b")));
    QVERIFY(!needsSpacePreserve(QString()));
}

void TestCellReferences::partPaths()
{
    QCOMPARE(relationshipPartPath(QStringLiteral("xl/workbook.xml")), QStringLiteral("xl/_rels/workbook.xml.rels"));
    QCOMPARE(relationshipPartPath(QStringLiteral("/xl/worksheets/sheet1.xml")),
             QStringLiteral("/xl/worksheets/_rels/sheet1.xml.rels"));
    QCOMPARE(relationshipPartPath(QStringLiteral("[Content_Types].xml")), QString());
    QCOMPARE(relationshipPartPath(QString()), QString());
    QCOMPARE(splitPartPath(QStringLiteral("xl/worksheets/sheet1.xml")),
             (QStringList{ "xl/worksheets", "sheet1.xml" }));
    QCOMPARE(splitPartPath(QStringLiteral("book.xml")), (QStringList{ ".", "book.xml" }));
}

void TestCellReferences::cellTextEscaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "Sample 1" << "Sample 1";
    QTest::newRow("tab and line feed stay") << "a\tb\nc" << "a\tb\nc";
    QTest::newRow("carriage return") << "a\r\nb" << "a_x000D_\nb";
    QTest::newRow("control characters") << QString::fromUtf8("\x01x\x1f") << "_x0001_x_x001F_";
    QTest::newRow("text that looks escaped") << "_x0041_" << "_x005F_x0041_";
    QTest::newRow("underscores that do not") << "_x12_ a_b _xZZZZ_" << "_x12_ a_b _xZZZZ_";
    QTest::newRow("lone surrogate") << QString(QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b")) << "a_xD800_b";
    QTest::newRow("surrogate pair stays") << QString::fromUtf8("\xf0\x9f\x8d\x85") << QString::fromUtf8("\xf0\x9f\x8d\x85");
}

void TestCellReferences::cellTextEscaping()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(escapeCellText(text), escaped);
    QCOMPARE(unescapeCellText(escaped), text);
}

void TestCellReferences::invalidXmlCharactersAreReplaced()
{
    const QChar replacement = QChar::ReplacementCharacter;
    QCOMPARE(validXmlText(QStringLiteral("Calibri")), QStringLiteral("Calibri"));
    QCOMPARE(validXmlText(QStringLiteral("a\x01" "b\tc\r\n")), QString(QStringLiteral("a") + replacement + QStringLiteral("b\tc\r\n")));
    QCOMPARE(validXmlText(QString(QChar(0xDC00)) + QChar(0xD800)), QString(replacement) + replacement);
    QCOMPARE(validXmlText(QString(QChar(0xFFFF))), QString(replacement));
}

QTEST_GUILESS_MAIN(TestCellReferences)
#include "tst_cellreferences.moc"
