// Loading workbooks that other programs wrote, as those programs and their
// readers see the result; and packages made to hurt, which must fail fast
// with their reason and leave the document as it was.
#include "hosttools.h"
#include "packageentries.h"
#include "spreadsheet/sharedstrings.h"
#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/zipreader_p.h"
#include "spreadsheet/zipwriter_p.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Spreadsheet;
using namespace PackageEntries;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

Run run(const QString &program, const QStringList &arguments, int timeout = 300000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeout))
        return {};
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll() };
}

Run python(const QString &script, const QStringList &arguments)
{
    return run(HostTools::program(QStringLiteral("python3")),
               QStringList{ QFINDTESTDATA(QStringLiteral("load/") + script) } + arguments);
}

// The central directory's record of the first entry, for patching its fields.
int firstDirectoryRecord(const QByteArray &package)
{
    const int end = package.lastIndexOf(QByteArray("PK\x05\x06", 4));
    return int(qFromLittleEndian<quint32>(package.constData() + end + 16));
}

bool same(const QVariant &value, const QJsonValue &expected)
{
    const QJsonArray pair = expected.toArray();
    const QString kind = pair.at(0).toString();
    if (kind == QLatin1String("number"))
        return value.userType() == QMetaType::Double && value.toDouble() == pair.at(1).toDouble();
    if (kind == QLatin1String("bool"))
        return value.userType() == QMetaType::Bool && value.toBool() == pair.at(1).toBool();
    if (kind == QLatin1String("date"))
        return value.userType() == QMetaType::QDateTime
            && value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) == pair.at(1).toString().left(19);
    return value.userType() == QMetaType::QString && value.toString() == pair.at(1).toString();
}

} // namespace

class TestLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void otherProgramsWorkbooks_data();
    void otherProgramsWorkbooks();
    void loadedFormatLooksTheSame();
    void deletingASheetTakesItsParts();
    void loadedRulesNotesAndViewsStayAndGrow();
    void loadedPicturesAndChartsStayAndGrow_data();
    void loadedPicturesAndChartsStayAndGrow();
    void hostilePackages_data();
    void hostilePackages();
    void archivesOfOtherShapes();
    void readLimitsCanBeRaised();

private:
    QTemporaryDir m_dir;
    QString m_workbooks;
};

void TestLoad::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The other programs run on Linux only; the hostile packages are read everywhere.
    if (!HostTools::available())
        return;
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty(),
             "LibreOffice writes and reads workbooks here: install libreoffice-calc-nogui");
    m_workbooks = m_dir.filePath(QStringLiteral("workbooks"));
    const Run made = python(QStringLiteral("make_workbooks.py"),
                            { m_workbooks, QFINDTESTDATA("../resources/icons/datarium-32.png") });
    QVERIFY2(made.exitCode == 0, made.out.constData());
}

void TestLoad::otherProgramsWorkbooks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("chartSheets");
    QTest::newRow("xlsxwriter") << QStringLiteral("xlsxwriter.xlsx") << 1;
    QTest::newRow("with macros") << QStringLiteral("macros.xlsm") << 1;
    QTest::newRow("openpyxl") << QStringLiteral("openpyxl.xlsx") << 0;
    QTest::newRow("LibreOffice") << QStringLiteral("libreoffice.xlsx") << 0;   // it makes a worksheet of it
    QTest::newRow("Excel's own parts") << QStringLiteral("excel-like.xlsx") << 0;
}

// Every value and formula as openpyxl reads them, and the same values row by
// row; then a save that keeps every part and relationship of the original,
// opens in openpyxl alike, and converts in LibreOffice.
void TestLoad::otherProgramsWorkbooks()
{
    QFETCH(QString, name);
    QFETCH(int, chartSheets);
    if (m_workbooks.isEmpty())
        QSKIP("the workbooks of other programs are made on Linux");
    const QString original = m_workbooks + QLatin1Char('/') + name;
    Document document;
    QVERIFY2(document.load(original), qPrintable(document.errorString()));
    QCOMPARE(document.errorString(), QString());

    const Run dump = python(QStringLiteral("check_workbooks.py"), { QStringLiteral("dump"), original });
    QVERIFY2(dump.exitCode == 0, dump.out.constData());
    const QJsonArray sheets = QJsonDocument::fromJson(dump.out).array();
    QStringList worksheets;
    for (const QJsonValue &sheetValue : sheets) {
        const QJsonObject sheet = sheetValue.toObject();
        const QString sheetName = sheet.value(QStringLiteral("name")).toString();
        worksheets << sheetName;
        QVERIFY2(document.selectSheet(sheetName), qPrintable(sheetName));
        QCOMPARE(document.activeSheet()->isVisible(), sheet.value(QStringLiteral("state")).toString() == QLatin1String("visible"));
        const QJsonObject cells = sheet.value(QStringLiteral("cells")).toObject();
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            const CellAddress address(it.key());
            const QJsonArray expected = it.value().toArray();
            const QString where = sheetName + QLatin1Char('!') + it.key();
            const QVariant value = document.readValue(address.row(), address.column());
            if (!expected.at(0).isNull())
                QVERIFY2(same(value, expected.at(0)), qPrintable(where + QStringLiteral(": ") + value.toString()));
            const QSharedPointer<SheetCell> cell = document.cellAt(address.row(), address.column());
            if (!expected.at(1).isNull()) {
                QVERIFY2(cell && cell->hasFormula(), qPrintable(where));
                QCOMPARE(cell->formula().text(), expected.at(1).toString());
            }
        }

        // Row by row, the same values.
        SheetReader reader;
        QVERIFY2(reader.open(original, sheetName), qPrintable(reader.errorString()));
        int compared = 0;
        while (reader.readRow()) {
            const QVector<QVariant> values = reader.values();
            for (int column = 1; column <= values.size(); ++column) {
                QCOMPARE(values.at(column - 1), document.readValue(reader.rowNumber(), column));
                ++compared;
            }
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QVERIFY(cells.isEmpty() || compared > 0);
    }
    QCOMPARE(document.workbook()->sheetCount(), worksheets.size() + chartSheets);

    const QString saved = m_dir.filePath(QStringLiteral("saved-") + name);
    QVERIFY(document.saveToFile(saved));
    const Run compared = python(QStringLiteral("check_workbooks.py"), { QStringLiteral("compare"), original, saved });
    QVERIFY2(compared.exitCode == 0, compared.out.constData());

    const QString converted = m_dir.filePath(QStringLiteral("converted-") + name.section(QLatin1Char('.'), 0, 0));
    const Run office = run(QStringLiteral("soffice"), { QStringLiteral("--headless"),
                                                        QStringLiteral("-env:UserInstallation=file://%1/office").arg(m_dir.path()),
                                                        QStringLiteral("--convert-to"), QStringLiteral("csv"),
                                                        QStringLiteral("--outdir"), converted, saved });
    QVERIFY2(office.exitCode == 0, office.out.constData());
    QVERIFY2(QFileInfo(converted + QLatin1Char('/') + QFileInfo(saved).completeBaseName() + QStringLiteral(".csv")).size() > 0,
             office.out.constData());
}

// A format read from a file, given to a cell of another sheet.
void TestLoad::loadedFormatLooksTheSame()
{
    if (m_workbooks.isEmpty())
        QSKIP("the workbooks of other programs are made on Linux");
    Document document;
    QVERIFY(document.load(m_workbooks + QStringLiteral("/xlsxwriter.xlsx")));
    QVERIFY(document.selectSheet(QStringLiteral("Results")));
    const Format header = document.cellAt(1, 1)->format();
    const Format percent = document.cellAt(2, 5)->format();
    QVERIFY(header.fontBold() && header.hasFillData() && header.hasBorderData());
    QVERIFY(document.addSheet(QStringLiteral("Copies")));
    QVERIFY(document.selectSheet(QStringLiteral("Copies")));
    QVERIFY(document.writeValue(3, 3, QStringLiteral("new"), header));
    QVERIFY(document.writeValue(4, 4, 0.5, percent));
    const QString saved = m_dir.filePath(QStringLiteral("formats.xlsx"));
    QVERIFY(document.saveToFile(saved));
    for (const auto &[original, copy] : { std::pair<const char *, const char *>{ "A1", "C3" }, { "E2", "D4" } }) {
        const Run looks = python(QStringLiteral("check_workbooks.py"),
                                 { QStringLiteral("looks"), saved, QStringLiteral("Results"), QLatin1String(original),
                                   QStringLiteral("Copies"), QLatin1String(copy) });
        QVERIFY2(looks.exitCode == 0, looks.out.constData());
    }
}

// The sheet with the picture, the chart and the notes goes: so do its
// drawing, chart, picture, notes and their relationships; what points at
// nothing is nowhere, the table of the other sheet stays.
void TestLoad::deletingASheetTakesItsParts()
{
    if (m_workbooks.isEmpty())
        QSKIP("the workbooks of other programs are made on Linux");
    Document document;
    QVERIFY(document.load(m_workbooks + QStringLiteral("/xlsxwriter.xlsx")));
    QVERIFY(document.deleteSheet(QStringLiteral("Results")));
    QVERIFY(document.renameSheet(QStringLiteral("Summary"), QStringLiteral("Overview")));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(document.saveToDevice(&buffer));
    QStringList names;
    for (const auto &entry : entriesOf(buffer.data()))
        names << entry.first;
    for (const QString &gone : { QStringLiteral("xl/media/image1.png"), QStringLiteral("xl/comments1.xml"),
                                 QStringLiteral("xl/drawings/vmlDrawing1.vml") })
        QVERIFY2(!names.contains(gone), qPrintable(gone));
    QVERIFY(names.contains(QStringLiteral("xl/tables/table1.xml")));
    // The chart sheet's drawing and chart stay, the worksheet's go.
    QCOMPARE(names.filter(QStringLiteral("xl/charts/")).size(), 1);
    const QString saved = m_dir.filePath(QStringLiteral("deleted.xlsx"));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(buffer.data());
    file.close();
    const Run check = run(HostTools::program(QStringLiteral("python3")),
                          { QStringLiteral("-c"), QStringLiteral(
                              "import sys; sys.path.insert(0, sys.argv[1]); import check_workbooks as c\n"
                              "import zipfile; failures = []\n"
                              "c.check_package(zipfile.ZipFile(sys.argv[2]), failures)\n"
                              "import openpyxl; book = openpyxl.load_workbook(sys.argv[2])\n"
                              "assert book.sheetnames == ['Overview', 'Hidden', 'Chart'], book.sheetnames\n"
                              "assert 'Table1' in book['Overview'].tables\n"
                              "print(*failures, sep='\\n'); sys.exit(1 if failures else 0)"),
                            QFileInfo(QFINDTESTDATA("load/check_workbooks.py")).path(), saved });
    QVERIFY2(check.exitCode == 0, check.out.constData());
}

// XlsxWriter's conditional formats (one with Excel's extension for data
// bars), validations, note, frozen pane, filter and print area are read into
// the model; new ones join them; everything is there for openpyxl after a save.
void TestLoad::loadedRulesNotesAndViewsStayAndGrow()
{
    if (m_workbooks.isEmpty())
        QSKIP("the workbooks of other programs are made on Linux");
    Document document;
    QVERIFY(document.load(m_workbooks + QStringLiteral("/xlsxwriter.xlsx")));
    QVERIFY(document.selectSheet(QStringLiteral("Results")));
    Worksheet *sheet = document.activeWorksheet();
    const QList<ConditionalFormatting> formats = sheet->conditionalFormattings();
    QCOMPARE(formats.size(), 2);   // the scale and the bar share their range
    QCOMPARE(formats.at(0).rules.first().type, ConditionalFormatRule::CellValue);
    QCOMPARE(formats.at(0).rules.first().formulas, QStringList{ QStringLiteral("0.8") });
    QVERIFY(formats.at(0).rules.first().format.fontBold());
    QCOMPARE(formats.at(1).rules.first().type, ConditionalFormatRule::ColorScale);
    QCOMPARE(formats.at(1).rules.at(1).type, ConditionalFormatRule::DataBar);
    const QList<DataValidation> validations = sheet->dataValidations();
    QCOMPARE(validations.size(), 2);
    QCOMPARE(validations.at(0).listValues(), QStringList({ QStringLiteral("TRUE"), QStringLiteral("FALSE") }));
    QCOMPARE(validations.at(1).inputTitle, QStringLiteral("Acidity"));
    QCOMPARE(sheet->note(2, 1).text.toPlainString(), QStringLiteral("Sampled at the mill"));
    QCOMPARE(sheet->note(2, 1).author, QStringLiteral("Maria"));
    QCOMPARE(sheet->pane().state, SheetPane::Frozen);
    QCOMPARE(sheet->pane().rows, 1);
    QCOMPARE(sheet->autoFilter(), CellArea(1, 1, 9, 6));
    QCOMPARE(sheet->printArea(), CellArea(1, 1, 12, 6));

    ConditionalFormatRule duplicates;
    duplicates.type = ConditionalFormatRule::DuplicateValues;
    Format red;
    red.setFontColor(Qt::red);
    duplicates.format = red;
    QVERIFY(sheet->addConditionalFormatting({ { CellArea(2, 1, 9, 1) }, { duplicates } }));
    DataValidation length;
    length.type = DataValidation::TextLength;
    length.op = DataValidation::LessOrEqual;
    length.formula1 = QStringLiteral("12");
    length.ranges << CellArea(2, 1, 9, 1);
    QVERIFY(sheet->addDataValidation(length));
    QVERIFY(sheet->writeNote(3, 2, QStringLiteral("Rechecked"), QStringLiteral("Anna")));
    const QString saved = m_dir.filePath(QStringLiteral("rules-grown.xlsx"));
    QVERIFY(document.saveToFile(saved));

    const Run read = run(HostTools::program(QStringLiteral("python3")), { QFINDTESTDATA("rules/read_rules.py"), saved });
    QVERIFY2(read.exitCode == 0, read.out.constData());
    for (const char *expected : { "rule Results B2:B9 cellIs p1 operator=greaterThan [0.8]", "rule Results C2:C9 colorScale",
                                  "rule Results C2:C9 dataBar", "rule Results A2:A9 duplicateValues p4",
                                  "validation Results F2:F9 list", "validation Results B2:B9 decimal None [0|5]",
                                  "validation Results A2:A9 textLength lessThanOrEqual [12|None]",
                                  "note Results A2 Maria: Sampled at the mill", "note Results B3 Anna: Rechecked",
                                  "filter Results A1:F9", "print area Results ['$A$1:$F$12']" })
        QVERIFY2(read.out.contains(expected), qPrintable(QStringLiteral("%1 is missing from:\n%2").arg(QLatin1String(expected), QString::fromUtf8(read.out))));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    for (const auto &[name, bytes] : entriesOf(file.readAll())) {
        if (name == QLatin1String("xl/worksheets/sheet1.xml"))
            QVERIFY(bytes.contains("<x14:dataBar") && bytes.contains("<x14:id>"));
    }
}

void TestLoad::loadedPicturesAndChartsStayAndGrow_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("xlsxwriter") << QStringLiteral("xlsxwriter.xlsx");
    QTest::newRow("LibreOffice") << QStringLiteral("libreoffice.xlsx");
}

// The picture, chart and text box of another program's sheet are listed;
// a picture and a chart join them in the same drawing; a changed title is
// saved; readers see all of it.
void TestLoad::loadedPicturesAndChartsStayAndGrow()
{
    QFETCH(QString, name);
    if (m_workbooks.isEmpty())
        QSKIP("the workbooks of other programs are made on Linux");
    Document document;
    QVERIFY(document.load(m_workbooks + QLatin1Char('/') + name));
    QVERIFY(document.selectSheet(QStringLiteral("Results")));
    Worksheet *sheet = document.activeWorksheet();
    const QList<SheetImage> images = sheet->images();
    QCOMPARE(images.size(), 1);
    QCOMPARE(images.first().anchor().from(), CellAddress(3, 12));   // J3, past the hidden J:K
    QFile icon(QFINDTESTDATA("../resources/icons/datarium-32.png"));
    QVERIFY(icon.open(QIODevice::ReadOnly));
    QCOMPARE(images.first().bytes(), icon.readAll());
    const QList<Chart *> charts = sheet->charts();
    QCOMPARE(charts.size(), 1);
    QCOMPARE(charts.first()->type(), Chart::Column);
    QCOMPARE(charts.first()->title(), QStringLiteral("Acidity by sample"));
    QCOMPARE(charts.first()->series().first().values, QStringLiteral("Results!$B$2:$B$9"));
    if (name == QLatin1String("xlsxwriter.xlsx")) {
        auto *chartsheet = static_cast<Chartsheet *>(document.workbook()->sheet(3));
        QVERIFY(chartsheet->chart());
        QCOMPARE(chartsheet->chart()->type(), Chart::Pie);
        QCOMPARE(chartsheet->chart()->series().first().values, QStringLiteral("Summary!$C$3:$C$5"));
    }

    charts.first()->setTitle(QStringLiteral("Acidity, checked"));
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(sheet->insertImage(20, 1, red));
    Chart *added = sheet->insertChart(20, 12, QSize(300, 200));
    ChartSeries series;
    series.values = QStringLiteral("Results!$C$2:$C$9");
    QVERIFY(added->addSeries(series));
    added->setType(Chart::Line);
    const QString saved = m_dir.filePath(QStringLiteral("grown-") + name);
    QVERIFY(document.saveToFile(saved));

    const Run read = run(HostTools::program(QStringLiteral("python3")),
                         { QFINDTESTDATA("drawing/read_drawings.py"), QStringLiteral("pictures"), saved });
    QVERIFY2(read.exitCode == 0, read.out.constData());
    const QString seen = QString::fromUtf8(read.out);
    QVERIFY2(seen.contains(QStringLiteral("chart Results BarChart(clustered) \"Acidity, checked\" Results!$B$2:$B$9 by Results!$A$2:$A$9")),
             read.out.constData());
    QVERIFY2(seen.contains(QStringLiteral("chart Results LineChart \"\" Results!$C$2:$C$9")), read.out.constData());
    QVERIFY2(seen.contains(QStringLiteral("picture Results OneCellAnchor A20+0+0 190500x190500 png 20x20")), read.out.constData());
    QCOMPARE(seen.count(QStringLiteral("picture Results")), 2);

    Document again;
    QVERIFY(again.load(saved));
    QVERIFY(again.selectSheet(QStringLiteral("Results")));
    QCOMPARE(again.activeWorksheet()->images().size(), 2);
    QCOMPARE(again.activeWorksheet()->charts().size(), 2);

    // The text box stays in the drawing; LibreOffice opens the result.
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    bool textBoxKept = false;
    for (const auto &[entryName, bytes] : entriesOf(file.readAll()))
        textBoxKept |= entryName.startsWith(QLatin1String("xl/drawings/drawing")) && bytes.contains("Checked by Maria");
    QVERIFY(textBoxKept);
    const QString converted = m_dir.filePath(QStringLiteral("grown-pdf"));
    const Run office = run(QStringLiteral("soffice"), { QStringLiteral("--headless"),
                                                        QStringLiteral("-env:UserInstallation=file://%1/office").arg(m_dir.path()),
                                                        QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                                        QStringLiteral("--outdir"), converted, saved });
    QVERIFY2(office.exitCode == 0, office.out.constData());
    QVERIFY(QFileInfo(converted + QLatin1Char('/') + QFileInfo(saved).completeBaseName() + QStringLiteral(".pdf")).size() > 0);
}

void TestLoad::hostilePackages_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("maxEntries");

    const QByteArray base = basePackage();
    auto replace = [](const QByteArray &from, const QByteArray &to) {
        return [from, to](QByteArray bytes) { return bytes.replace(from, to); };
    };
    QTest::newRow("not a ZIP package") << QByteArray("PK\x03\x04 just a start") << "not a ZIP package" << 4096;
    QTest::newRow("empty") << QByteArray() << "not a ZIP package" << 4096;
    QTest::newRow("cut short") << base.left(base.size() - 30) << "not a ZIP package" << 4096;
    {
        auto entries = entriesOf(base);
        entries.erase(std::remove_if(entries.begin(), entries.end(), [](const auto &entry) {
                          return entry.first == QLatin1String("[Content_Types].xml");
                      }),
                      entries.end());
        QTest::newRow("no content types") << packageOf(entries) << "[Content_Types].xml is missing" << 4096;
    }
    QTest::newRow("cell outside the sheet")
        << withSheetData("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>")
        << "xl/worksheets/sheet1.xml: cell XFE1 lies outside the sheet" << 4096;
    QTest::newRow("row outside the sheet")
        << withSheetData("<row r=\"1048577\"><c><v>1</v></c></row>")
        << "row 1048577 lies outside the sheet" << 4096;
    QTest::newRow("shared text that is not there")
        << withSheetData("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>99</v></c></row>")
        << "cell A1 names shared text 99" << 4096;
    QTest::newRow("style that is not there")
        << withSheetData("<row r=\"1\"><c r=\"A1\" s=\"57\"><v>1</v></c></row>")
        << "cell A1 has style 57, which does not exist" << 4096;
    QTest::newRow("merge outside the sheet")
        << withEntry(QStringLiteral("xl/worksheets/sheet1.xml"), [](QByteArray) {
               return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData/>"
                      "<mergeCells><mergeCell ref=\"A1:A1048577\"/></mergeCells></worksheet>";
           })
        << "the merged range A1:A1048577 lies outside the sheet" << 4096;
    QTest::newRow("document type in the workbook")
        << withEntry(QStringLiteral("xl/workbook.xml"), replace("?><workbook", "?><!DOCTYPE w [<!ENTITY a \"aaaa\">]><workbook"))
        << "xl/workbook.xml: it declares a document type" << 4096;
    QTest::newRow("document type in a part kept as it is")
        << withEntry(QStringLiteral("customXml/item1.xml"), [](QByteArray) {
               return QByteArray("<?xml version=\"1.0\"?><!DOCTYPE x SYSTEM \"file:///etc/passwd\"><x/>");
           })
        << "customXml/item1.xml: it declares a document type" << 4096;
    QTest::newRow("nested too deep")
        << withSheetData(QByteArray("<x>").repeated(300) + QByteArray("</x>").repeated(300))
        << "nested deeper than 256 levels" << 4096;
    QTest::newRow("malformed XML")
        << withEntry(QStringLiteral("xl/styles.xml"), replace("</styleSheet>", "</styles>"))
        << "xl/styles.xml: the end tag </styles> does not match its start" << 4096;
    for (const char *path : { "../outside.xml", "/absolute.xml", "folder\\file.xml", "C:/drive.xml", "a//b.xml" }) {
        QTest::addRow("entry named %s", path)
            << withEntry(QString::fromLatin1(path), [](QByteArray) { return QByteArray("<x/>"); })
            << "is named as a path, not a part" << 4096;
    }
    QTest::newRow("two entries of one name")
        << storedPackageOf(entriesOf(base) << qMakePair(QStringLiteral("XL/Workbook.xml"), QByteArray("<x/>")))
        << "two entries are named" << 4096;
    QTest::newRow("more entries than the limit") << base << "more than 5 entries (the read limit maxEntries)" << 5;
    {
        // A bad CRC, an encryption flag, a method no reader knows: in the
        // first entry's directory record.
        QByteArray crc = base;
        crc[firstDirectoryRecord(base) + 16] = char(crc[firstDirectoryRecord(base) + 16] ^ 0x55);
        QTest::newRow("CRC") << crc << "its CRC does not match its content" << 4096;
        QByteArray encrypted = base;
        encrypted[firstDirectoryRecord(base) + 8] = char(encrypted[firstDirectoryRecord(base) + 8] | 1);
        QTest::newRow("encrypted") << encrypted << "it is encrypted" << 4096;
        QByteArray method = base;
        method[firstDirectoryRecord(base) + 10] = 12;
        QTest::newRow("unknown method") << method << "compressed with method 12" << 4096;
    }
    QTest::newRow("decompression bomb")
        << withSheetData(QByteArray(20 << 20, ' '))
        << "more than 200 times its compressed size (the read limit maxCompressionRatio)" << 4096;
}

// Each fails with its reason, and the document stays as it was.
void TestLoad::hostilePackages()
{
    QFETCH(QByteArray, package);
    QFETCH(QString, reason);
    QFETCH(int, maxEntries);
    Document document;
    document.writeValue(1, 1, QStringLiteral("before"));
    document.addSheet(QStringLiteral("Mine"));
    ReadLimits limits;
    limits.maxEntries = maxEntries;
    document.setReadLimits(limits);
    QBuffer buffer(&package);
    buffer.open(QIODevice::ReadOnly);
    QVERIFY(!document.load(&buffer));
    QVERIFY2(document.errorString().contains(reason), qPrintable(document.errorString()));
    QCOMPARE(document.sheetNames(), (QStringList{ QStringLiteral("Sheet1"), QStringLiteral("Mine") }));
    QVERIFY(document.selectSheet(QStringLiteral("Sheet1")));
    QCOMPARE(document.readValue(1, 1).toString(), QStringLiteral("before"));

    SheetReader reader;
    reader.setReadLimits(limits);
    QBuffer again(&package);
    again.open(QIODevice::ReadOnly);
    const bool opened = reader.open(&again);
    while (opened && reader.readRow()) {
    }
    // The row reader reads neither the parts kept as they are nor what follows the cells.
    QVERIFY2(!opened || reader.hasError() || reason.contains(QLatin1String("customXml"))
                 || reason.contains(QLatin1String("merged")),
             qPrintable(reason));
}

// ZIP64 end records, stored entries, a comment after the directory, entries
// whose sizes follow their data: all read.
void TestLoad::archivesOfOtherShapes()
{
    QByteArray package = basePackage();
    const int end = package.lastIndexOf(QByteArray("PK\x05\x06", 4));
    QByteArray zip64;
    auto append16 = [&zip64](quint16 v) { char b[2]; qToLittleEndian(v, b); zip64.append(b, 2); };
    auto append32 = [&zip64](quint32 v) { char b[4]; qToLittleEndian(v, b); zip64.append(b, 4); };
    auto append64 = [&zip64](quint64 v) { char b[8]; qToLittleEndian(v, b); zip64.append(b, 8); };
    const quint16 count = qFromLittleEndian<quint16>(package.constData() + end + 10);
    const quint32 size = qFromLittleEndian<quint32>(package.constData() + end + 12);
    const quint32 offset = qFromLittleEndian<quint32>(package.constData() + end + 16);
    append32(0x06064b50); append64(44); append16(45); append16(45); append32(0); append32(0);
    append64(count); append64(count); append64(size); append64(offset);
    append32(0x07064b50); append32(0); append64(quint64(end)); append32(1);
    append32(0x06054b50); append16(0); append16(0); append16(0xFFFF); append16(0xFFFF);
    append32(0xFFFFFFFF); append32(0xFFFFFFFF);
    const QByteArray comment = "written by hand";
    append16(quint16(comment.size()));
    zip64 += comment;
    const QByteArray reshaped = package.left(end) + zip64;

    Document document;
    QBuffer buffer;
    buffer.setData(reshaped);
    buffer.open(QIODevice::ReadOnly);
    QVERIFY2(document.load(&buffer), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(1, 1).toString(), QStringLiteral("Sample"));

    // Stored entries, written by Python's zipfile.
    if (HostTools::available()) {
        const QString deflated = m_dir.filePath(QStringLiteral("deflated.xlsx"));
        const QString stored = m_dir.filePath(QStringLiteral("stored.xlsx"));
        QFile file(deflated);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(package);
        file.close();
        const Run restore = run(HostTools::program(QStringLiteral("python3")),
                                { QStringLiteral("-c"), QStringLiteral(
                                    "import sys, zipfile\n"
                                    "with zipfile.ZipFile(sys.argv[1]) as a, zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_STORED) as b:\n"
                                    "    b.comment = b'stored'\n"
                                    "    [b.writestr(i.filename, a.read(i)) for i in a.infolist()]"),
                                  deflated, stored });
        QVERIFY2(restore.exitCode == 0, restore.out.constData());
        QVERIFY2(document.load(stored), qPrintable(document.errorString()));
        QCOMPARE(document.readValue(1, 2).toDouble(), 4.81);
    }

    // Sizes after the data: the library's own large entries are streamed so.
    Document large;
    for (int row = 1; row <= 40000; ++row)
        large.writeValue(row, 1, QStringLiteral("row %1").arg(row));
    QBuffer streamed;
    streamed.open(QIODevice::WriteOnly);
    QVERIFY(large.saveToDevice(&streamed));
    streamed.close();
    streamed.open(QIODevice::ReadOnly);
    QVERIFY2(document.load(&streamed), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(40000, 1).toString(), QStringLiteral("row 40000"));
}

void TestLoad::readLimitsCanBeRaised()
{
    const QByteArray bomb = withSheetData(QByteArray(20 << 20, ' ') + "<row r=\"3\"><c r=\"C3\"><v>7</v></c></row>");
    Document document;
    QBuffer buffer;
    buffer.setData(bomb);
    buffer.open(QIODevice::ReadOnly);
    QVERIFY(!document.load(&buffer));
    ReadLimits trusting;
    trusting.maxCompressionRatio = 100000;
    document.setReadLimits(trusting);
    buffer.seek(0);
    QVERIFY2(document.load(&buffer), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(3, 3).toDouble(), 7.0);

    trusting.maxInflatedSize = 1 << 20;
    document.setReadLimits(trusting);
    buffer.seek(0);
    QVERIFY(!document.load(&buffer));
    QVERIFY2(document.errorString().contains(QLatin1String("(the read limit maxInflatedSize)")), qPrintable(document.errorString()));
}

QTEST_MAIN(TestLoad)
#include "tst_load.moc"
