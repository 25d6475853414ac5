#include "hosttools.h"
#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/sharedstrings.h"
#include "spreadsheet/theme.h"
#include "spreadsheet/utility.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <private/qzipreader_p.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace Spreadsheet;

namespace {

// Packages for the openpyxl check are left here (set by CTest).
QString packageFolder()
{
    const QString folder = qEnvironmentVariable("DATARIUM_PACKAGE_DIR");
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    return folder;
}

QStringList entryNames(const QByteArray &package)
{
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    QZipReader zip(&buffer);
    QStringList names;
    for (const QZipReader::FileInfo &info : zip.fileInfoList())
        names << info.filePath;
    return names;
}

QByteArray entry(const QByteArray &package, const QString &name)
{
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    return QZipReader(&buffer).fileData(name);
}

QByteArray saved(const Document &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return document.saveToDevice(&buffer) ? buffer.data() : QByteArray();
}

// A device that accepts only so many bytes.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (length > room)
            return -1;
        room -= length;
        return length;
    }

private:
    qint64 room;
};

// Writes one value of every kind the writer knows.
void fillWithEveryKind(Document &document)
{
    Format bold;
    bold.setFontBold(true);
    RichString header;
    header.appendRun(QStringLiteral("Matrix"), bold);
    document.writeValue(1, 1, QVariant::fromValue(header));
    document.writeValue(1, 2, QStringLiteral("Value"));
    document.writeValue(2, 1, QStringLiteral("Matrix"));
    document.writeValue(2, 2, 12.5);
    document.writeValue(2, 3, QStringLiteral("=B2*2"));
    document.writeValue(2, 4, QStringLiteral("mailto:lab@example.org"));
    document.writeValue(2, 5, QDateTime(QDate(2018, 3, 5), QTime(9, 7)));
    document.writeValue(2, 6, true);
    document.writeValue(2, 7, QStringLiteral("12"));
    document.writeValue(3, 1, QStringLiteral("line 1\r\nline 2\x01"));
    document.writeValue(3, 2, QUrl(QStringLiteral("https://example.org/manual#part")));
    Format red;
    red.setFontColor(Qt::red);
    red.setNumberFormatCode(QStringLiteral("0.000"));
    document.writeValue(3, 3, 3.14159, red);
    document.setColumnWidth(1, 1, 20);
}

// The sst element's counts and the shared-string indexes that the package's
// sheets use, and the number of entries it holds.
struct SharedTextUse
{
    int count = -1;
    int uniqueCount = -1;
    int entries = 0;
    int largestIndex = -1;
};

SharedTextUse sharedTextUse(const QByteArray &package)
{
    SharedTextUse use;
    const QString strings = QString::fromUtf8(entry(package, QStringLiteral("xl/sharedStrings.xml")));
    const QRegularExpressionMatch counts
        = QRegularExpression(QStringLiteral("<sst [^>]*count=\"(\\d+)\" uniqueCount=\"(\\d+)\"")).match(strings);
    use.count = counts.captured(1).toInt();
    use.uniqueCount = counts.captured(2).toInt();
    use.entries = strings.count(QStringLiteral("<si>"));
    for (const QString &name : entryNames(package)) {
        if (!name.startsWith(QLatin1String("xl/worksheets/sheet")))
            continue;
        const QString sheet = QString::fromUtf8(entry(package, name));
        for (auto it = QRegularExpression(QStringLiteral("t=\"s\"><v>(-?\\d+)</v>")).globalMatch(sheet); it.hasNext();)
            use.largestIndex = qMax(use.largestIndex, it.next().captured(1).toInt());
    }
    return use;
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void entriesInOrder();
    void numbersOnlyWriteNoSharedStrings();
    void savingBeforeAnySheetWritesSheet1();
    void twoSavesGiveTheSameParts();
    void failedWriteIsReported();
    void failedSaveKeepsTheExistingFile();
    void saveWritesBook1InTheCurrentFolder();
    void forwardingWithoutWorksheet();
    void documentPropertiesLandInTheirPart();
    void customPropertiesTravelBothWays();
    void tabColourKeepsTheSheetPropertiesAround();
    void hostileTextsKeepThePackageWellFormed();
    void packagesForTheReader();
    void formatReusedInAnotherDocument();
    void largePartsAreStreamed();
    void rowAndColumnReadBackAndGrouping();
    void sharedTextsFollowTheCells();
    void cellTakenOutOutlivesItsSheet();
    void sparseSheetCostsWhatItsCellsDo();
};

void TestDocument::entriesInOrder()
{
    Document document;
    QCOMPARE(QString::fromLatin1(document.metaObject()->className()), QStringLiteral("Spreadsheet::Document"));
    QVERIFY(document.activeWorksheet());
    QCOMPARE(document.sheetNames(), QStringList{ "Sheet1" });
    document.writeValue(1, 1, QStringLiteral("text"));
    const QByteArray package = saved(document);
    QCOMPARE(entryNames(package), (QStringList{ "xl/worksheets/sheet1.xml", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                                                "docProps/app.xml", "docProps/core.xml", "xl/sharedStrings.xml",
                                                "xl/styles.xml", "xl/theme/theme1.xml", "_rels/.rels",
                                                "[Content_Types].xml" }));
    QCOMPARE(entry(package, QStringLiteral("xl/theme/theme1.xml")), QByteArray(defaultThemeText));
    QVERIFY(entry(package, QStringLiteral("_rels/.rels")).contains(
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
        "Target=\"docProps/core.xml\"/>"));
    QVERIFY(entry(package, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\""));

    Document withLink;
    withLink.writeValue(1, 1, QStringLiteral("mailto:a"));
    const QStringList names = entryNames(saved(withLink));
    QCOMPARE(names.at(1), QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels"));
}

void TestDocument::numbersOnlyWriteNoSharedStrings()
{
    Document document;
    document.writeValue(1, 1, 1);
    document.addSheet(QStringLiteral("Second"));
    document.writeValue(2, 2, 2.5);
    const QByteArray package = saved(document);
    const QStringList names = entryNames(package);
    QVERIFY(!names.contains(QStringLiteral("xl/sharedStrings.xml")));
    QVERIFY(names.contains(QStringLiteral("xl/worksheets/sheet2.xml")));
    QVERIFY(names.filter(QStringLiteral("_rels/sheet")).isEmpty());
    const QByteArray types = entry(package, QStringLiteral("[Content_Types].xml"));
    QVERIFY(!types.contains("sharedStrings"));
    QVERIFY(types.contains("/xl/worksheets/sheet2.xml"));
    QVERIFY(!entry(package, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("sharedStrings"));
    QVERIFY(entry(package, QStringLiteral("docProps/app.xml")).contains("<vt:lpstr>Sheet1</vt:lpstr><vt:lpstr>Second</vt:lpstr>"));
}

void TestDocument::savingBeforeAnySheetWritesSheet1()
{
    Document document;
    const QByteArray package = saved(document);
    QVERIFY(entryNames(package).contains(QStringLiteral("xl/worksheets/sheet1.xml")));
    QVERIFY(entry(package, QStringLiteral("xl/workbook.xml")).contains("<sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"));
    QVERIFY(entry(package, QStringLiteral("[Content_Types].xml")).contains("/xl/worksheets/sheet1.xml"));
}

void TestDocument::twoSavesGiveTheSameParts()
{
    Document document;
    fillWithEveryKind(document);
    const QByteArray first = saved(document);
    const QByteArray second = saved(document);
    const QStringList names = entryNames(first);
    QCOMPARE(entryNames(second), names);
    for (const QString &name : names) {
        if (name == QLatin1String("docProps/core.xml"))
            continue;
        QCOMPARE(entry(second, name), entry(first, name));
    }
}

void TestDocument::failedWriteIsReported()
{
    Document document;
    fillWithEveryKind(document);
    FullDevice full(1000);
    QVERIFY(!document.saveToDevice(&full));
    FullDevice roomy(1 << 20);
    QVERIFY(document.saveToDevice(&roomy));

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QVERIFY(!document.saveToDevice(&readOnly));
}

void TestDocument::failedSaveKeepsTheExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.xlsx"));
    Document first;
    first.writeValue(1, 1, QStringLiteral("kept"));
    QVERIFY(first.saveToFile(path));
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    Document second;
    second.writeValue(1, 1, QStringLiteral("new"));
    QVERIFY(!second.saveToFile(dir.filePath(QStringLiteral("missing/folder/results.xlsx"))));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{ "results.xlsx" });
}

void TestDocument::saveWritesBook1InTheCurrentFolder()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Document document;
    document.writeValue(1, 1, 1);
    const bool saved = document.save();
    QDir::setCurrent(previous);
    QVERIFY(saved);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Book1.xlsx"))));
}

void TestDocument::forwardingWithoutWorksheet()
{
    Document document;
    QVERIFY(document.writeValue(CellAddress(QStringLiteral("B2")), 3));
    QCOMPARE(document.readValue(2, 2).toInt(), 3);
    QVERIFY(document.cellAt(2, 2));
    QVERIFY(!document.writeValue(0, 0, 3));
    QVERIFY(document.setColumnWidth(1, 2, 12));
    QCOMPARE(document.columnWidth(2), 12.0);
    QVERIFY(document.setRowHeight(1, 1, 30));
    QVERIFY(document.mergeCells(CellArea(QStringLiteral("D4:E5"))));
    QVERIFY(document.unmergeCells(CellArea(QStringLiteral("D4:E5"))));
    QVERIFY(!document.renameSheet(QStringLiteral("Sheet1"), QStringLiteral("Sheet1")));
    QVERIFY(document.renameSheet(QStringLiteral("Sheet1"), QStringLiteral("Data")));
    QVERIFY(document.addSheet(QStringLiteral("More")));
    QVERIFY(document.selectSheet(QStringLiteral("Data")));
    QCOMPARE(document.activeSheet()->sheetName(), QStringLiteral("Data"));
    QVERIFY(!document.selectSheet(QStringLiteral("Nothing")));
    QVERIFY(document.moveSheet(QStringLiteral("More"), 0));
    QVERIFY(!document.copySheet(QStringLiteral("Data"), QStringLiteral("Data")));
    QVERIFY(document.deleteSheet(QStringLiteral("More")));
    QCOMPARE(document.sheetNames(), QStringList{ "Data" });
}

void TestDocument::documentPropertiesLandInTheirPart()
{
    Document document;
    document.setDocumentProperty(QStringLiteral("title"), QStringLiteral("Results"));
    document.setDocumentProperty(QStringLiteral("company"), QStringLiteral("Dairy"));
    QCOMPARE(document.documentPropertyNames(), (QStringList{ "company", "title" }));
    QCOMPARE(document.documentProperty(QStringLiteral("title")), QStringLiteral("Results"));
    const QByteArray package = saved(document);
    QVERIFY(entry(package, QStringLiteral("docProps/core.xml")).contains("<dc:title>Results</dc:title>"));
    QVERIFY(!entry(package, QStringLiteral("docProps/core.xml")).contains("Dairy"));
    QVERIFY(entry(package, QStringLiteral("docProps/app.xml")).contains("<Company>Dairy</Company>"));
}

// What a few lines of Python (XlsxWriter making a file, or a reader that
// is not ours) print about a file, given as sys.argv[1].
static QString python(const char *code, const QString &file)
{
    return QString::fromUtf8(HostTools::runPythonCode(code, file));
}

// Custom properties of a workbook XlsxWriter made are read with their
// types, changed, and saved as another reader finds them.
void TestDocument::customPropertiesTravelBothWays()
{
    if (!HostTools::available())
        QSKIP("XlsxWriter runs on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, datetime, zipfile, xlsxwriter\n"
           "book = xlsxwriter.Workbook(sys.argv[1])\n"
           "book.add_worksheet().write(0, 0, 'x')\n"
           "book.set_custom_property('Batch', 'B-17')\n"
           "book.set_custom_property('Samples', 42)\n"
           "book.set_custom_property('Dilution', 1.5)\n"
           "book.set_custom_property('Checked', True)\n"
           "book.set_custom_property('Sampled', datetime.datetime(2026, 3, 1, 8, 30))\n"
           "book.close()\n"
           // A kind the library does not read, as other programs may write it.
           "z = zipfile.ZipFile(sys.argv[1])\n"
           "parts = {n: z.read(n) for n in z.namelist()}\n"
           "z.close()\n"
           "lots = b'<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"7\" name=\"Lots\">' \\\n"
           "    b'<vt:vector size=\"2\" baseType=\"lpwstr\"><vt:lpwstr>L1</vt:lpwstr><vt:lpwstr>L2</vt:lpwstr>' \\\n"
           "    b'</vt:vector></property>'\n"
           "parts['docProps/custom.xml'] = parts['docProps/custom.xml'].replace(b'</Properties>', lots + b'</Properties>')\n"
           "with zipfile.ZipFile(sys.argv[1], 'w') as out:\n"
           "    for n, b in parts.items():\n"
           "        out.writestr(n, b)\n",
           made);
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    QCOMPARE(document.customPropertyNames(),
             (QStringList{ "Batch", "Samples", "Dilution", "Checked", "Sampled", "Lots" }));
    QVERIFY(!document.customProperty(QStringLiteral("Lots")).isValid());
    QCOMPARE(document.customProperty(QStringLiteral("batch")), QVariant(QStringLiteral("B-17")));
    QCOMPARE(document.customProperty(QStringLiteral("Samples")).toLongLong(), 42);
    QCOMPARE(document.customProperty(QStringLiteral("Dilution")).toDouble(), 1.5);
    QCOMPARE(document.customProperty(QStringLiteral("Checked")), QVariant(true));
    QCOMPARE(document.customProperty(QStringLiteral("Sampled")).toDateTime(),
             QDateTime(QDate(2026, 3, 1), QTime(8, 30), Qt::UTC));

    QVERIFY(document.setCustomProperty(QStringLiteral("samples"), 43));
    QVERIFY(document.setCustomProperty(QStringLiteral("Checked"), QVariant()));
    QVERIFY(document.setCustomProperty(QStringLiteral("Analyst"), QStringLiteral("Maria <QA> & co")));
    QVERIFY(!document.setCustomProperty(QString(), 1));
    QVERIFY(!document.setCustomProperty(QStringLiteral("Picture"), QImage(2, 2, QImage::Format_RGB32)));
    const QString saved = folder.filePath(QStringLiteral("saved.xlsx"));
    QVERIFY(document.saveToFile(saved));
    const QString read = python(
        "import sys, zipfile, xml.etree.ElementTree as ET\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "ct = ET.fromstring(z.read('[Content_Types].xml'))\n"
        "print([o.get('ContentType') for o in ct if o.get('PartName') == '/docProps/custom.xml'])\n"
        "rels = ET.fromstring(z.read('_rels/.rels'))\n"
        "print([r.get('Target') for r in rels if r.get('Type').endswith('/custom-properties')])\n"
        "for p in ET.fromstring(z.read('docProps/custom.xml')):\n"
        "    v = p[0]\n"
        "    print(p.get('pid'), p.get('name'), v.tag.split('}')[1], v.text or ' '.join(e.text for e in v))\n",
        saved);
    QCOMPARE(read, QStringLiteral("['application/vnd.openxmlformats-officedocument.custom-properties+xml']\n"
                                  "['docProps/custom.xml']\n"
                                  "2 Batch lpwstr B-17\n"
                                  "3 samples i4 43\n"
                                  "4 Dilution r8 1.5\n"
                                  "5 Sampled filetime 2026-03-01T08:30:00Z\n"
                                  "6 Lots vector L1 L2\n"
                                  "7 Analyst lpwstr Maria <QA> & co"));
    Document again;
    QVERIFY2(again.load(saved), qPrintable(again.errorString()));
    QCOMPARE(again.customPropertyNames(), (QStringList{ "Batch", "samples", "Dilution", "Sampled", "Lots", "Analyst" }));
    QVERIFY(document.setCustomProperty(QStringLiteral("Batch"), QVariant()));
}

// A tab colour set on a new sheet, and changed on a loaded one whose sheet
// properties hold page setup and outline settings as well, which stay.
void TestDocument::tabColourKeepsTheSheetPropertiesAround()
{
    Document fresh;
    fresh.activeWorksheet()->setTabColor(QColor(0, 176, 80));
    QVERIFY(entry(saved(fresh), QStringLiteral("xl/worksheets/sheet1.xml"))
                .contains("<sheetPr><tabColor rgb=\"FF00B050\"/></sheetPr><dimension"));
    if (!HostTools::available())
        QSKIP("XlsxWriter runs on the Linux side");
    QTemporaryDir folder;
    const QString made = folder.filePath(QStringLiteral("made.xlsx"));
    python("import sys, xlsxwriter\n"
           "book = xlsxwriter.Workbook(sys.argv[1])\n"
           "sheet = book.add_worksheet()\n"
           "sheet.write(0, 0, 'x')\n"
           "sheet.set_tab_color('#FF9900')\n"
           "sheet.fit_to_pages(1, 0)\n"
           "sheet.outline_settings(True, False, False, False)\n"   // totals above and left of their groups
           "book.close()\n",
           made);
    Document document;
    QVERIFY2(document.load(made), qPrintable(document.errorString()));
    Worksheet *sheet = document.activeWorksheet();
    QCOMPARE(sheet->tabColor(), QColor(255, 153, 0));
    sheet->setTabColor(QColor(Qt::blue));
    const QString resaved = folder.filePath(QStringLiteral("saved.xlsx"));
    QVERIFY(document.saveToFile(resaved));
    QCOMPARE(python("import sys, zipfile, xml.etree.ElementTree as ET\n"
                    "z = zipfile.ZipFile(sys.argv[1])\n"
                    "sheet = ET.fromstring(z.read('xl/worksheets/sheet1.xml'))\n"
                    "properties = sheet[0]\n"
                    "print(properties.tag.split('}')[1])\n"
                    "for child in properties:\n"
                    "    print(child.tag.split('}')[1], sorted(child.attrib.items()))\n",
                    resaved),
             QStringLiteral("sheetPr\n"
                            "tabColor [('rgb', 'FF0000FF')]\n"
                            "outlinePr [('summaryBelow', '0'), ('summaryRight', '0')]\n"
                            "pageSetUpPr [('fitToPage', '1')]"));
    sheet->setTabColor(QColor());
    QVERIFY(!entry(saved(document), QStringLiteral("xl/worksheets/sheet1.xml")).contains("tabColor"));
}

void TestDocument::hostileTextsKeepThePackageWellFormed()
{
    const QString hostile = QStringLiteral("x\x01y") + QChar(0xD800) + QStringLiteral("z\x1f");
    Document document;
    Format format;
    format.setFontName(hostile);
    format.setNumberFormatCode(hostile);
    document.writeValue(1, 1, hostile, format);
    document.writeValue(2, 1, QStringLiteral("=") + hostile);
    document.writeValue(3, 1, QStringLiteral("http://example.org/#") + hostile);
    QCOMPARE(document.readValue(1, 1).toString(), hostile);
    document.addSheet(hostile);
    document.workbook()->defineName(hostile, hostile, hostile);
    document.setDocumentProperty(QStringLiteral("title"), hostile);
    document.setDocumentProperty(QStringLiteral("company"), hostile);
    const QByteArray package = saved(document);
    for (const QString &name : entryNames(package)) {
        QXmlStreamReader reader(entry(package, name));
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(name + QStringLiteral(": ") + reader.errorString()));
    }
}

void TestDocument::packagesForTheReader()
{
    const QString folder = packageFolder();
    if (folder.isEmpty())
        QSKIP("DATARIUM_PACKAGE_DIR is not set");
    Document everyKind;
    fillWithEveryKind(everyKind);
    QVERIFY(everyKind.saveToFile(folder + QStringLiteral("/every-kind.xlsx")));

    Document empty;
    QVERIFY(empty.saveToFile(folder + QStringLiteral("/empty.xlsx")));

    Document large;
    for (int row = 1; row <= 2000; ++row) {
        for (int column = 1; column <= 10; ++column)
            large.writeValue(row, column, QStringLiteral("R%1C%2").arg(row).arg(column % 4));
    }
    QVERIFY(large.saveToFile(folder + QStringLiteral("/large.xlsx")));
}

// A sheet of some megabytes of XML, whose entries the ZIP writer deflates
// piece by piece.
static void fillLarge(Document &document, int rows)
{
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= 8; ++column)
            document.writeValue(row, column, QStringLiteral("R%1 C%2 %3").arg(row).arg(column).arg(row * column % 997));
        document.writeValue(row, 9, row * 0.5);
    }
}

void TestDocument::largePartsAreStreamed()
{
    Document document;
    fillLarge(document, 30000);
    const QByteArray package = saved(document);
    QVERIFY(!package.isEmpty());
    const QByteArray sheet = entry(package, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(sheet.size() > 2 * 1024 * 1024, QByteArray::number(sheet.size()).constData());
    QVERIFY(sheet.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet"));
    QVERIFY(sheet.endsWith("<c r=\"I30000\"><v>15000</v></c></row></sheetData></worksheet>\n"));
    QVERIFY(entry(package, QStringLiteral("xl/sharedStrings.xml")).contains("<si><t>R30000 C8 720</t></si>"));
    QCOMPARE(entryNames(package).size(), 10);

    // A device that fills up at any point of the package: in an entry's
    // local header, inside a streamed entry, at the end, in the directory.
    // (Each save writes its own time, so sizes may differ by a byte or two.)
    for (const qint64 room : { qint64(10), qint64(200000), qint64(package.size() - 2000), qint64(package.size() - 100) }) {
        FullDevice full(room);
        QVERIFY2(!document.saveToDevice(&full), qPrintable(QString::number(room)));
    }
    FullDevice roomy(package.size() + 100);
    QVERIFY(document.saveToDevice(&roomy));

    const QString folder = packageFolder();
    if (!folder.isEmpty())
        QVERIFY(document.saveToFile(folder + QStringLiteral("/streamed.xlsx")));
}

// The number of "xf" entries of a package's cell formats, and the largest
// style index a cell of its first sheet uses.
static std::pair<int, int> cellFormatsAndLargestStyle(const QByteArray &package)
{
    const QString styles = QString::fromUtf8(entry(package, QStringLiteral("xl/styles.xml")));
    const QRegularExpressionMatch count = QRegularExpression(QStringLiteral("<cellXfs count=\"(\\d+)\"")).match(styles);
    int largest = -1;
    const QString sheet = QString::fromUtf8(entry(package, QStringLiteral("xl/worksheets/sheet1.xml")));
    for (auto it = QRegularExpression(QStringLiteral(" s=\"(\\d+)\"")).globalMatch(sheet); it.hasNext();)
        largest = qMax(largest, it.next().captured(1).toInt());
    return { count.captured(1).toInt(), largest };
}

void TestDocument::formatReusedInAnotherDocument()
{
    Format italic;
    italic.setFontItalic(true);
    Format thousandths;
    thousandths.setNumberFormatCode(QStringLiteral("0.000"));
    Format tenths;
    tenths.setNumberFormatCode(QStringLiteral("0.0"));

    Document first;
    Format bold;
    bold.setFontBold(true);
    first.writeValue(1, 1, 1, bold);
    first.writeValue(1, 2, 2, italic);
    first.writeValue(1, 3, 3.5, tenths);         // custom id 176
    first.writeValue(1, 4, 4.25, thousandths);   // custom id 177

    Document second;
    second.writeValue(1, 1, 1.5, thousandths);   // the first custom format of this workbook
    second.writeValue(1, 2, 2, italic);
    const QByteArray package = saved(second);
    const auto [formats, largest] = cellFormatsAndLargestStyle(package);
    QVERIFY2(largest < formats, qPrintable(QStringLiteral("s=%1 of %2 formats").arg(largest).arg(formats)));
    const QString styles = QString::fromUtf8(entry(package, QStringLiteral("xl/styles.xml")));
    QVERIFY2(styles.contains(QStringLiteral("<numFmts count=\"1\"><numFmt numFmtId=\"176\" formatCode=\"0.000\"/></numFmts>")),
             qPrintable(styles));
    QVERIFY(styles.contains(QStringLiteral("<xf numFmtId=\"176\"")));

    // The first document still writes its own ids.
    const QByteArray firstPackage = saved(first);
    const auto [firstFormats, firstLargest] = cellFormatsAndLargestStyle(firstPackage);
    QCOMPARE(firstFormats, 5);
    QCOMPARE(firstLargest, 4);
    QVERIFY(QString::fromUtf8(entry(firstPackage, QStringLiteral("xl/worksheets/sheet1.xml")))
                .contains(QStringLiteral("<c r=\"D1\" s=\"4\"><v>4.25</v></c>")));
    QVERIFY(entry(firstPackage, QStringLiteral("xl/styles.xml")).contains("<numFmt numFmtId=\"177\" formatCode=\"0.000\"/>"));

    const QString folder = packageFolder();
    if (!folder.isEmpty()) {
        QVERIFY(second.saveToFile(folder + QStringLiteral("/format-from-another-document.xlsx")));
        QVERIFY(first.saveToFile(folder + QStringLiteral("/format-lent-to-another-document.xlsx")));
    }
}

void TestDocument::rowAndColumnReadBackAndGrouping()
{
    Document document;
    Format bold;
    bold.setFontBold(true);
    QVERIFY(document.setColumnFormat(2, 3, bold));
    QVERIFY(document.setColumnHidden(4, 4, true));
    QVERIFY(document.setRowHeight(2, 2, 22.5));
    QVERIFY(document.setRowFormat(3, 3, bold));
    QVERIFY(document.setRowHidden(4, 4, true));
    QCOMPARE(document.columnFormat(3), bold);
    QVERIFY(document.isColumnHidden(4));
    QVERIFY(!document.isColumnHidden(5));
    QCOMPARE(document.rowHeight(2), 22.5);
    QCOMPARE(document.rowHeight(9), 15.0);
    QCOMPARE(document.rowFormat(3), bold);
    QVERIFY(document.isRowHidden(4));
    QVERIFY(document.groupRows(6, 8));
    QVERIFY(document.groupColumns(6, 7, false));
    QVERIFY(document.isRowHidden(7));
    QVERIFY(!document.isColumnHidden(6));
    const QByteArray sheet = entry(saved(document), QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains("outlineLevelRow=\"1\" outlineLevelCol=\"1\""));

    const QString folder = packageFolder();
    if (!folder.isEmpty()) {
        document.writeValue(6, 6, QStringLiteral("grouped"));
        document.setDocumentProperty(QStringLiteral("created"), QStringLiteral("2024-01-15T10:00:00+02:00"));
        QVERIFY(document.saveToFile(folder + QStringLiteral("/grouped.xlsx")));
        Document notADate;
        notADate.setDocumentProperty(QStringLiteral("created"), QStringLiteral("last Monday"));
        notADate.writeValue(1, 1, 1);
        QVERIFY(notADate.saveToFile(folder + QStringLiteral("/created-not-a-date.xlsx")));
    }
}

// Overwritten cells and deleted sheets give their texts back; a caller
// cannot take a text away from the cells that show it; every index a sheet
// writes names an entry of the table.
void TestDocument::sharedTextsFollowTheCells()
{
    Document document;
    for (int i = 0; i < 1000; ++i)
        document.writeValue(1, 1, QStringLiteral("reading %1").arg(i));
    QVERIFY(document.addSheet(QStringLiteral("Second")));
    QVERIFY(document.selectSheet(QStringLiteral("Second")));
    document.writeValue(1, 1, QStringLiteral("only here"));
    document.writeValue(2, 1, QStringLiteral("reading 999"));
    SharedTextUse use = sharedTextUse(saved(document));
    QCOMPARE(use.count, 3);
    QCOMPARE(use.uniqueCount, 2);
    QCOMPARE(use.entries, 2);

    QVERIFY(document.deleteSheet(QStringLiteral("Second")));
    SharedStrings *strings = document.workbook()->sharedStrings();
    QVERIFY(!strings->removeString(QStringLiteral("reading 999")));
    QVERIFY(!strings->removeString(QStringLiteral("never written")));
    QCOMPARE(strings->addString(QStringLiteral("held by the caller")), 1);
    QVERIFY(strings->removeString(QStringLiteral("held by the caller")));
    QVERIFY(document.copySheet(QStringLiteral("Sheet1")));
    use = sharedTextUse(saved(document));
    QCOMPARE(use.count, 2);
    QCOMPARE(use.uniqueCount, 1);
    QCOMPARE(use.entries, 1);
    QCOMPARE(use.largestIndex, 0);
    QCOMPARE(document.readValue(1, 1).toString(), QStringLiteral("reading 999"));
}

// A cell read out of a sheet keeps its value, date system included, after
// the sheet and the document are gone.
void TestDocument::cellTakenOutOutlivesItsSheet()
{
    const QDateTime when(QDate(2026, 3, 5), QTime(9, 30));
    QSharedPointer<SheetCell> cell;
    {
        Document document;
        document.workbook()->setDate1904(true);
        document.addSheet();
        document.addSheet(QStringLiteral("Dates"));
        document.selectSheet(QStringLiteral("Dates"));
        document.writeValue(1, 1, when);
        cell = document.cellAt(1, 1);
        QVERIFY(document.deleteSheet(QStringLiteral("Dates")));
        QCOMPARE(cell->dateTime(), when);
        document.writeValue(2, 2, when);
        cell = document.cellAt(2, 2);
    }
    QCOMPARE(cell->dateTime(), when);
    QCOMPARE(cell->value().toDouble(), dateTimeToSerial(when, true));
}

// One cell every 1,024 rows, as a sheet of section headings has them.
void TestDocument::sparseSheetCostsWhatItsCellsDo()
{
#if defined(__GLIBC__)
    const size_t before = mallinfo2().uordblks;
    {
        Document document;
        for (int row = 1; row <= maximumRows; row += 1024)
            document.writeValue(row, 3, row);
        const size_t used = mallinfo2().uordblks - before;
        QVERIFY2(used < 1024 * 1024, qPrintable(QString::number(used)));
        QCOMPARE(document.readValue(1048577 - 1024, 3).toInt(), 1048577 - 1024);
    }
#else
    QSKIP("the heap is measured through the GNU C library");
#endif
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
