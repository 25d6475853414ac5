#include "acquisition/exportfile.h"
#include "acquisition/instrumentdiscovery.h"
#include "acquisition/instrumentpicture.h"
#include "exportxml.h"

#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

using namespace ExportXml;

Q_DECLARE_METATYPE(QVector<Volume>)

class TestExportFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void flagsAndPrefixes_data();
    void flagsAndPrefixes();
    void linesPairAcrossColumns();
    void timestamps_data();
    void timestamps();
    void missingElementsReadAsEmpty();
    void matricesAreDistinctCaseSensitive();
    void samplesOfTheProduct();
    void traceWritesEveryLabel();

    void lineBreakInsideAResultStaysOnItsLine();

    void filesOtherProgramsWrite_data();
    void filesOtherProgramsWrite();
    void acceptsWhatTheDomParserAccepts();
    void badInputIsRejected_data();
    void badInputIsRejected();
    void externalEntityNeverReachesTheRows_data();
    void externalEntityNeverReachesTheRows();
    void deepNestingIsRefusedWithoutCrashing();

    void discovery_data();
    void discovery();
    void pictures_data();
    void pictures();
};

void TestExportFile::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

static SampleRow onlyRow(const QByteArray &results)
{
    const auto file = readExportData(document(record(QStringLiteral("Milk"), QStringLiteral("Lactose"),
                                                     sample(QStringLiteral("S1"), results))));
    if (!file || file->rows.size() != 1)
        return SampleRow();
    return file->rows.first();
}

void TestExportFile::flagsAndPrefixes_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("symbols");

    QTest::newRow("none") << QStringList() << "12.5" << "" << "";
    QTest::newRow("above maximum") << QStringList{ "flag_SUPMAX" } << "> 12.5" << "value out of range" << "*";
    QTest::newRow("max delta gives no prefix") << QStringList{ "flag_MAXDELTA" } << "12.5" << "value out of range" << "*";
    QTest::newRow("below minimum") << QStringList{ "flag_INFMIN" } << "< 12.5" << "" << "";
    QTest::newRow("blank KO keeps its blank") << QStringList{ "flag_BLK_KO" } << "12.5" << "blank KO " << "@";
    QTest::newRow("ABS") << QStringList{ "flag_ABS_KO" } << "12.5" << "ABS out of bounds" << "#";
    QTest::newRow("both prefixes") << QStringList{ "flag_INFMIN", "flag_SUPMAX" } << "> < 12.5"
                                   << "value out of range" << "*";
    QTest::newRow("all five") << QStringList{ "flag_INFMIN", "flag_SUPMAX", "flag_BLK_KO", "flag_ABS_KO", "flag_MAXDELTA" }
                              << "> < 12.5" << "value out of range, ABS out of bounds, blank KO " << "* # @";
}

void TestExportFile::flagsAndPrefixes()
{
    QFETCH(QStringList, flags);
    QFETCH(QString, value);
    QFETCH(QString, note);
    QFETCH(QString, symbols);
    const SampleRow row = onlyRow(result(QStringLiteral("12.5"), flags));
    QCOMPARE(row.resultLines, value);
    QCOMPARE(row.noteLines, note);
    QCOMPARE(row.symbolLines, symbols);
}

void TestExportFile::linesPairAcrossColumns()
{
    // Only a single asterisk sets a flag.
    const QByteArray notSet = "<result><value>1</value><flag_SUPMAX>1</flag_SUPMAX><flag_ABS_KO> *</flag_ABS_KO>"
                              "<flag_BLK_KO>**</flag_BLK_KO></result>";
    QCOMPARE(onlyRow(notSet).noteLines, QString());
    QCOMPARE(onlyRow(notSet).resultLines, QStringLiteral("1"));

    const SampleRow two = onlyRow(result(QStringLiteral("1.0"), {}, QStringLiteral("g"))
                                  + result(QStringLiteral("2.0"), { QStringLiteral("flag_ABS_KO") }, QStringLiteral("mg")));
    QCOMPARE(two.resultLines, QStringLiteral("1.0\r\n2.0"));
    QCOMPARE(two.umLines, QStringLiteral("g\r\nmg"));
    QCOMPARE(two.noteLines, QStringLiteral("\r\nABS out of bounds"));
    QCOMPARE(two.symbolLines, QStringLiteral("\r\n#"));

    const SampleRow three = onlyRow(result(QStringLiteral("1"), {}, QStringLiteral("a"), QStringLiteral("k1"), QStringLiteral("q1"))
                                    + result(QStringLiteral("2"), {}, QStringLiteral("b"), QStringLiteral("k2"), QStringLiteral("q2"))
                                    + result(QStringLiteral("3"), {}, QStringLiteral("c"), QStringLiteral("k3"), QStringLiteral("q3")));
    QCOMPARE(three.resultLines, QStringLiteral("1\r\n2\r\n3"));
    QCOMPARE(three.kLines, QStringLiteral("k1\r\nk2\r\nk3"));
    QCOMPARE(three.qLines, QStringLiteral("q1\r\nq2\r\nq3"));
    QCOMPARE(three.noteLines, QStringLiteral("\r\n\r\n"));
    QCOMPARE(three.symbolLines, QStringLiteral("\r\n\r\n"));

    const SampleRow none = onlyRow(QByteArray());
    QVERIFY(none.resultLines.isEmpty() && none.noteLines.isEmpty() && none.kLines.isEmpty());
}

void TestExportFile::timestamps_data()
{
    QTest::addColumn<QByteArray>("stamp");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("minutes padded") << timestamp("3", "11", "2018", "9", "5") << QDateTime(QDate(2018, 11, 3), QTime(9, 5));
    QTest::newRow("two-digit minutes") << timestamp("3", "11", "2018", "9", "45") << QDateTime(QDate(2018, 11, 3), QTime(9, 45));
    QTest::newRow("minutes not a number") << timestamp("31", "12", "2026", "23", "x") << QDateTime(QDate(2026, 12, 31), QTime(23, 0));
    QTest::newRow("zero-filled texts") << timestamp("05", "03", "2018", "09", "07") << QDateTime(QDate(2018, 3, 5), QTime(9, 7));
    QTest::newRow("day not a number") << timestamp("x", "11", "2018", "9", "5") << QDateTime();
    QTest::newRow("no such date") << timestamp("31", "2", "2018", "9", "5") << QDateTime();
    QTest::newRow("missing timestamp") << QByteArray() << QDateTime();
}

void TestExportFile::timestamps()
{
    QFETCH(QByteArray, stamp);
    QFETCH(QDateTime, expected);
    const auto file = readExportData(document(record(QStringLiteral("M"), QStringLiteral("A"),
                                                     sample(QStringLiteral("S"), QByteArray()), stamp)));
    QVERIFY(file);
    QCOMPARE(file->rows.first().timestamp, expected);
    QCOMPARE(file->rows.first().timestamp.isValid(), expected.isValid());
}

void TestExportFile::missingElementsReadAsEmpty()
{
    const auto empty = readExportData("<export/>");
    QVERIFY(empty);
    QVERIFY(empty->rows.isEmpty());
    QVERIFY(empty->instrument.name.isEmpty() && empty->instrument.series.isEmpty());

    const auto bare = readExportData("<a><record><sample/><sample><code>X</code><result/></sample></record></a>");
    QVERIFY(bare);
    QCOMPARE(bare->rows.size(), 2);
    QCOMPARE(bare->rows.at(0).rowId, 0);
    QCOMPARE(bare->rows.at(1).rowId, 1);
    QCOMPARE(bare->rows.at(1).sampleName, QStringLiteral("X"));
    QCOMPARE(bare->rows.at(1).resultLines, QString());
    QVERIFY(!bare->rows.at(0).timestamp.isValid());
    QCOMPARE(bare->matrices, QStringList{ QString() });
    for (bool used : bare->flagKindUsed)
        QVERIFY(!used);
}

void TestExportFile::matricesAreDistinctCaseSensitive()
{
    const QByteArray one = sample(QStringLiteral("S"), result(QStringLiteral("1"), { QStringLiteral("flag_BLK_KO") }));
    const auto file = readExportData(document(record(QStringLiteral("Milk"), QStringLiteral("A"), one)
                                              + record(QStringLiteral("Milk"), QStringLiteral("B"), one + one)
                                              + record(QStringLiteral("milk"), QStringLiteral("C"), one)));
    QVERIFY(file);
    QCOMPARE(file->matrices, (QStringList{ QStringLiteral("Milk"), QStringLiteral("milk") }));
    QCOMPARE(file->rows.size(), 4);
    QCOMPARE(file->rows.at(2).analysis, QStringLiteral("B"));
    QCOMPARE(file->rows.at(3).rowId, 3);
    QVERIFY(!file->flagKindUsed[FlagLegend::ValueOutOfRange]);
    QVERIFY(!file->flagKindUsed[FlagLegend::AbsOutOfBounds]);
    QVERIFY(file->flagKindUsed[FlagLegend::BlankKo]);
}

void TestExportFile::samplesOfTheProduct()
{
    const auto results = readExportFile(samplePath("results.xml"));
    QVERIFY(results);
    QCOMPARE(results->instrument.series, QStringLiteral("222"));
    QCOMPARE(results->instrument.laboratory, QStringLiteral("Laboratorio Analisi Olearie\nSettore controllo qualità"));
    QCOMPARE(results->rows.size(), 7);
    QCOMPARE(results->matrices.size(), 2);
    QCOMPARE(results->rows.at(5).resultLines, QStringLiteral("1.85\r\n0.92\r\n2.77"));
    QCOMPARE(results->rows.at(5).symbolLines, QStringLiteral("\r\n\r\n#"));
    for (bool used : results->flagKindUsed)
        QVERIFY(used);

    const auto exported = readExportFile(samplePath("export.xml"));
    QVERIFY(exported);
    QCOMPARE(exported->instrument.series, QStringLiteral("242"));
    QCOMPARE(exported->rows.at(2).resultLines, QString());
    QCOMPARE(exported->rows.at(3).analysis, QStringLiteral("Acidity & pH"));

    const auto noRecords = readExportFile(samplePath("no-records.xml"));
    QVERIFY(noRecords);
    QVERIFY(noRecords->rows.isEmpty());
    QCOMPARE(noRecords->instrument.name, QStringLiteral("QVR Brontal W-3"));

    QVERIFY(!readExportFile(samplePath("no-such-file.xml")));
}

static QStringList traceLines;
static void collectTrace(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        traceLines << message;
}

void TestExportFile::traceWritesEveryLabel()
{
    QLoggingCategory::setFilterRules(QString());
    traceLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectTrace);
    readExportData(document(instrument(QStringLiteral("222"), QStringLiteral("005Z02"))
                            + record(QStringLiteral("Milk"), QStringLiteral("Lactose"),
                                     sample(QStringLiteral("S1"), result(QStringLiteral("4.8"))))));
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    const QStringList expected = {
        "-------------------------------------", "iname: QVR Unit", "iid: 005Z02", "series: 222", "-SN: SN-1",
        "-FW: FW-1", "-ruSN: RUSN-1", "-ruFW: RUFW-1", "-labName: Lab", "-companyName: Company",
        "-companyAddr: Address", "-------------------------------------", "recordID: 1", "-year: 2018",
        "-month: 11", "-date: 3", "-hours: 9", "-minutes: 5", "-seconds: 30", "-matrix: Milk",
        "-analysis: Lactose", "--sampleID: 1", "--code: S1", "---resultID: 1", "---value: 4.8", "---UM: g/L",
        "---K: 1.0", "---K0: ", "---K1: ", "---K2: ", "---K3: ", "---Q: 0.0", "---flag_INFMIN: ",
        "---flag_BLK_KO: ", "--------------------------------------------------------> row_counter: 0",
    };
    QCOMPARE(traceLines, expected);
}

void TestExportFile::lineBreakInsideAResultStaysOnItsLine()
{
    const QByteArray broken = "<result><value>1&#13;&#10;9</value><UM>mg/\nkg</UM><K>1.0&#13;2</K><Q>0.1&#x2028;5</Q>"
                              "<flag_ABS_KO>*</flag_ABS_KO></result>";
    const SampleRow row = onlyRow(broken + result(QStringLiteral("2.5"), { QStringLiteral("flag_BLK_KO") },
                                                  QStringLiteral("g/L")));
    QCOMPARE(row.resultLines, QStringLiteral("1 9\r\n2.5"));
    QCOMPARE(row.umLines, QStringLiteral("mg/ kg\r\ng/L"));
    QCOMPARE(row.kLines, QStringLiteral("1.0 2\r\n1.0"));
    QCOMPARE(row.qLines, QStringLiteral("0.1 5\r\n0.0"));
    QCOMPARE(row.noteLines, QStringLiteral("ABS out of bounds\r\nblank KO "));
    QCOMPARE(row.symbolLines, QStringLiteral("#\r\n@"));

    // The laboratory's texts keep their lines.
    const auto file = readExportData("<export><instrument><labName>Lab&#13;&#10;Floor 2</labName>"
                                     "<companyAddr>Road 1\nTown</companyAddr></instrument></export>");
    QVERIFY(file);
    QCOMPARE(file->instrument.laboratory, QStringLiteral("Lab\r\nFloor 2"));
    QCOMPARE(file->instrument.companyAddress, QStringLiteral("Road 1\nTown"));
}

static QByteArray encoded(const QString &text, const char *codecName, const QByteArray &mark = QByteArray())
{
    return mark + QTextCodec::codecForName(codecName)->fromUnicode(text);
}

void TestExportFile::filesOtherProgramsWrite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("laboratory");
    QTest::addColumn<QString>("unit");

    const QString body = QStringLiteral("<export><instrument><labName>Qualit\u00e0</labName></instrument>"
                                        "<record><sample><code>S</code><result><value>1</value><UM>\u00b5g/kg</UM>"
                                        "</result></sample></record></export>");
    const QString quality = QStringLiteral("Qualit\u00e0");
    const QString micrograms = QStringLiteral("\u00b5g/kg");
    const auto declared = [&body](const char *encoding) {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>").arg(QLatin1String(encoding)) + body;
    };

    QTest::newRow("Windows code page, undeclared") << encoded(body, "windows-1252") << quality << micrograms;
    QTest::newRow("Windows code page with a plain declaration")
        << encoded(QStringLiteral("<?xml version=\"1.0\"?>") + body, "windows-1252") << quality << micrograms;
    QTest::newRow("windows-1252 declared") << encoded(declared("windows-1252"), "windows-1252") << quality << micrograms;
    QTest::newRow("ISO-8859-1 declared") << encoded(declared("ISO-8859-1"), "ISO-8859-1") << quality << micrograms;
    QTest::newRow("UTF-8 undeclared") << encoded(body, "UTF-8") << quality << micrograms;
    QTest::newRow("UTF-8 with mark") << encoded(declared("UTF-8"), "UTF-8", "\xEF\xBB\xBF") << quality << micrograms;
    QTest::newRow("UTF-16LE with mark") << encoded(declared("UTF-16"), "UTF-16LE", "\xFF\xFE") << quality << micrograms;
    QTest::newRow("UTF-16BE with mark") << encoded(declared("UTF-16"), "UTF-16BE", "\xFE\xFF") << quality << micrograms;
    QTest::newRow("UTF-16LE without mark") << encoded(declared("UTF-16"), "UTF-16LE") << quality << micrograms;
    QTest::newRow("UTF-16BE without mark") << encoded(declared("UTF-16"), "UTF-16BE") << quality << micrograms;
    QTest::newRow("UTF-16LE undeclared") << encoded(body, "UTF-16LE") << quality << micrograms;
    // The instrument's code page under a UTF-8 declaration reads as the code
    // page; ISO-8859-1 reads 0x80 as the euro sign, as browsers do.
    QTest::newRow("UTF-8 declared, code page bytes")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><export><instrument><labName>25 \xb0" "C, caff\xe8"
                      "</labName></instrument></export>")
        << QStringLiteral("25 \u00b0C, caff\u00e8") << QString();
    QTest::newRow("ISO-8859-1 declared, euro sign")
        << QByteArray("<?xml version='1.0' encoding='iso-8859-1'?><export><instrument><labName>\x80 10</labName>"
                      "</instrument></export>")
        << QStringLiteral("\u20ac 10") << QString();

    QTest::newRow("undeclared namespace prefix")
        << QByteArray("<export><instrument><q:extra>x</q:extra><labName>Lab</labName></instrument></export>")
        << QStringLiteral("Lab") << QString();
    QTest::newRow("raw control character")
        << QByteArray("<export><instrument><labName>L\x01" "ab</labName></instrument></export>")
        << QStringLiteral("L\u0001ab") << QString();
    QTest::newRow("character reference to a control character")
        << QByteArray("<export><instrument><labName>L&#1;ab</labName></instrument></export>")
        << QStringLiteral("L\u0001ab") << QString();
    QTest::newRow("undeclared entity is left out")
        << QByteArray("<export><instrument><labName>20&deg;C</labName></instrument></export>")
        << QStringLiteral("20C") << QString();
    QTest::newRow("XML 1.1")
        << QByteArray("<?xml version=\"1.1\"?><export><instrument><labName>Lab</labName></instrument></export>")
        << QStringLiteral("Lab") << QString();
}

void TestExportFile::filesOtherProgramsWrite()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, laboratory);
    QFETCH(QString, unit);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.xml"));
    QVERIFY(write(path, bytes));
    const auto file = readExportFile(path);
    QVERIFY(file);
    QCOMPARE(file->instrument.laboratory, laboratory);
    if (!unit.isEmpty()) {
        QCOMPARE(file->rows.size(), 1);
        QCOMPARE(file->rows.first().umLines, unit);
    }
}

static bool isUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// Random damage such as a careless program or a failing medium does.
static QByteArray mutated(QByteArray bytes, QRandomGenerator &random)
{
    static const QByteArray tokens[] = { "<", ">", "&", "&amp;", "&#1;", "&deg;", "<!-- c -->", "<![CDATA[x]]>",
                                         "<q:x/>", "\x01", "\x80", "\xe0", "\xc3\xa0", "\r\n", "\"", "]]>" };
    const int edits = 1 + random.bounded(3);
    for (int edit = 0; edit < edits && !bytes.isEmpty(); ++edit) {
        const int at = random.bounded(bytes.size());
        switch (random.bounded(4)) {
        case 0:
            bytes[at] = char(random.bounded(256));
            break;
        case 1:
            bytes.remove(at, 1 + random.bounded(8));
            break;
        case 2:
            bytes.insert(at, bytes.mid(random.bounded(bytes.size()), 1 + random.bounded(16)));
            break;
        default:
            bytes.insert(at, tokens[random.bounded(int(std::size(tokens)))]);
            break;
        }
    }
    return bytes;
}

void TestExportFile::acceptsWhatTheDomParserAccepts()
{
    QRandomGenerator random(20261207);
    int accepted = 0;
    for (const char *name : { "results.xml", "export.xml" }) {
        QFile sample(samplePath(name));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray original = sample.readAll();
        for (int round = 0; round < 1500; ++round) {
            const QByteArray bytes = mutated(original, random);
            QDomDocument reference;
            if (!reference.setContent(bytes, false))
                continue;
            ++accepted;
            const std::optional<QDomDocument> ours = parseExportDocument(bytes);
            QVERIFY2(ours, bytes.toBase64().constData());
            if (isUtf8(bytes))
                QCOMPARE(ours->toString(), reference.toString());
        }
    }
    QVERIFY2(accepted > 300, qPrintable(QString::number(accepted)));
}

void TestExportFile::badInputIsRejected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) % 256));
    const QByteArray whole = document(record(QStringLiteral("M"), QStringLiteral("A"),
                                             sample(QStringLiteral("S"), result(QStringLiteral("1")))));
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    laughs += "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">";
    for (int level = 2; level <= 9; ++level)
        laughs += QStringLiteral("<!ENTITY lol%1 \"%2\">").arg(level).arg(QStringLiteral("&lol%1;").arg(level - 1).repeated(10)).toUtf8();
    laughs += "]><export><record><sample><code>&lol9;</code></sample></record></export>";

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << binary;
    QTest::newRow("plain text") << QByteArray("Sample 1: 12.5 g/L\nSample 2: 13.0 g/L\n");
    QTest::newRow("truncated") << whole.left(whole.size() / 2);
    QTest::newRow("UTF-16 mark before bytes that are not UTF-16") << QByteArray("\xff\xfe<export/>");
    QTest::newRow("billion laughs") << laughs;
    QTest::newRow("two roots") << QByteArray("<a/><b/>");
    QTest::newRow("mismatched tags") << QByteArray("<export><record></export></record>");
}

void TestExportFile::badInputIsRejected()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!readExportData(bytes));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.xml"));
    QVERIFY(write(path, bytes));
    QVERIFY(!readExportFile(path));
}

void TestExportFile::externalEntityNeverReachesTheRows_data()
{
    QTest::addColumn<QByteArray>("declaration");
    QTest::addColumn<QByteArray>("reference");
    QTest::newRow("external entity") << QByteArray("<!ENTITY secret SYSTEM \"file://SECRET\">") << QByteArray("&secret;");
    QTest::newRow("public external entity")
        << QByteArray("<!ENTITY secret PUBLIC \"-//X//Y\" \"file://SECRET\">") << QByteArray("&secret;");
    QTest::newRow("parameter entity")
        << QByteArray("<!ENTITY % p SYSTEM \"file://SECRET\"> %p;") << QByteArray("&secret;");
}

void TestExportFile::externalEntityNeverReachesTheRows()
{
    QFETCH(QByteArray, declaration);
    QFETCH(QByteArray, reference);
    QTemporaryDir dir;
    const QString secretPath = dir.filePath(QStringLiteral("secret.txt"));
    QVERIFY(write(secretPath, "TOP-SECRET-CONTENT"));
    declaration.replace("SECRET", secretPath.toUtf8());
    const QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE export [" + declaration + "]><export><instrument><iname>"
        + reference + "</iname><labName>" + reference + "</labName></instrument><record><sample><code>" + reference
        + "</code></sample></record></export>";
    const auto file = readExportData(xml);
    if (!file)
        return;   // rejecting the file is as good as ignoring the entity
    QVERIFY(!file->instrument.name.contains(QStringLiteral("SECRET")));
    QVERIFY(!file->instrument.laboratory.contains(QStringLiteral("SECRET")));
    for (const SampleRow &row : file->rows)
        QVERIFY(!row.sampleName.contains(QStringLiteral("SECRET")));
}

static QByteArray nested(int depth, const QByteArray &around = QByteArray())
{
    QByteArray xml = "<export><record><sample><code>" + around;
    xml += QByteArray("<n>").repeated(depth) + "deep" + QByteArray("</n>").repeated(depth);
    return xml + "</code></sample></record></export>";
}

void TestExportFile::deepNestingIsRefusedWithoutCrashing()
{
    // The DOM parser descends recursively: hundreds of thousands of levels
    // would exhaust the stack, so deep files are refused before parsing.
    QVERIFY(!readExportData(nested(10000)));
    QVERIFY(!readExportData(nested(300000)));

    const auto deepButFine = readExportData(nested(900));
    QVERIFY(deepButFine);
    QCOMPARE(deepButFine->rows.first().sampleName, QStringLiteral("deep"));

    // Markup inside comments, CDATA sections, attribute values and the
    // document type declaration is no nesting.
    const QByteArray deepText = QByteArray("<n>").repeated(5000);
    const QByteArray deepValue = QByteArray(" n>").repeated(5000);
    const QByteArray doctype = "<!DOCTYPE export [<!ENTITY e \"" + deepText.left(3000) + "\"> <!-- ]> " + deepText + " -->]>";
    QVERIFY(readExportData(doctype + nested(3, "<!-- " + deepText + " --><![CDATA[" + deepText + "]]><m a='"
                                                   + deepValue + "'/>")));
}

void TestExportFile::discovery_data()
{
    QTest::addColumn<QVector<Volume>>("volumes");
    QTest::addColumn<QString>("expected");
    const Volume qvr{ QStringLiteral("QVRDRIVE"), QStringLiteral("/media/q"), true, true };
    const Volume kolven{ QStringLiteral("KOLVEN"), QStringLiteral("/media/k"), true, true };
    const Volume other{ QStringLiteral("USBSTICK"), QStringLiteral("/media/u"), true, true };
    Volume notReady = qvr;
    notReady.ready = false;
    Volume invalid = kolven;
    invalid.valid = false;
    const Volume lowerCase{ QStringLiteral("qvrdrive"), QStringLiteral("/media/l"), true, true };

    QTest::newRow("none") << QVector<Volume>{ other } << QString();
    QTest::newRow("QVRDRIVE") << QVector<Volume>{ other, qvr } << QStringLiteral("/media/q/results.xml");
    QTest::newRow("KOLVEN") << QVector<Volume>{ kolven } << QStringLiteral("/media/k/export.xml");
    QTest::newRow("first in the list wins") << QVector<Volume>{ kolven, qvr } << QStringLiteral("/media/k/export.xml");
    QTest::newRow("letter case counts") << QVector<Volume>{ lowerCase } << QString();
    QTest::newRow("not ready skipped") << QVector<Volume>{ notReady, kolven } << QStringLiteral("/media/k/export.xml");
    QTest::newRow("invalid skipped") << QVector<Volume>{ invalid } << QString();
    QTest::newRow("Windows drive") << QVector<Volume>{ { QStringLiteral("QVRDRIVE"), QStringLiteral("E:/"), true, true } }
                                   << QStringLiteral("E:/results.xml");
}

void TestExportFile::discovery()
{
    QFETCH(QVector<Volume>, volumes);
    QFETCH(QString, expected);
    QCOMPARE(findInstrumentExport(volumes), expected);
}

void TestExportFile::pictures_data()
{
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("iid");
    QTest::addColumn<QString>("picture");
    QTest::newRow("222 yellow") << "222" << "005Z03" << ":/resources/W-Giallo.jpg";
    QTest::newRow("242 same code is grey") << "242" << "005Z03" << ":/resources/K-Grigio.jpg";
    QTest::newRow("222 red") << "222" << "004Z01" << ":/resources/W-Rosso.jpg";
    QTest::newRow("242 same code is green") << "242" << "004Z01" << ":/resources/K-Verde.jpg";
    QTest::newRow("222 green") << "222" << "004Z02" << ":/resources/W-Verde.jpg";
    QTest::newRow("242 same code is red") << "242" << "004Z02" << ":/resources/K-Rosso.jpg";
    QTest::newRow("242 green") << "242" << "014Z01" << ":/resources/K-Verde.jpg";
    QTest::newRow("242 red") << "242" << "014Z02" << ":/resources/K-Rosso.jpg";
    QTest::newRow("242 yellow") << "242" << "016Z04" << ":/resources/K-Giallo.jpg";
    QTest::newRow("222 empty code") << "222" << "" << ":/resources/W-Grigio.jpg";
    QTest::newRow("code case counts") << "222" << "005z02" << ":/resources/W-Grigio.jpg";
    QTest::newRow("unknown series") << "333" << "005Z02" << "";
    QTest::newRow("no series") << "" << "005Z02" << "";
}

void TestExportFile::pictures()
{
    QFETCH(QString, series);
    QFETCH(QString, iid);
    QFETCH(QString, picture);
    QCOMPARE(instrumentPicturePath(series, iid), picture);
}

QTEST_GUILESS_MAIN(TestExportFile)
#include "tst_exportfile.moc"
