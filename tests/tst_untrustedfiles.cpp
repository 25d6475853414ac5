// Workbooks from elsewhere, made as a hostile sender or an odd program would
// make them: each fails with its reason and no more memory than it needs,
// or reads as other readers read it and saves without losing what it held.
#include "hosttools.h"
#include "packageentries.h"
#include "timezone.h"
#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/stricttranslation_p.h"
#include "spreadsheet/zipreader_p.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <zlib.h>

#include <cmath>
#include <cstring>

using namespace Spreadsheet;
using namespace PackageEntries;

namespace {

const QByteArray sheetStart = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";

QByteArray rawDeflate(const QByteArray &data)
{
    z_stream zlib{};
    deflateInit2(&zlib, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zlib, uLong(data.size()))), Qt::Uninitialized);
    zlib.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zlib.avail_in = uInt(data.size());
    zlib.next_out = reinterpret_cast<Bytef *>(out.data());
    zlib.avail_out = uInt(out.size());
    deflate(&zlib, Z_FINISH);
    out.resize(int(zlib.total_out));
    deflateEnd(&zlib);
    return out;
}

// A ZIP archive of deflated entries written by hand, for shapes no writer
// makes: zero bytes after an entry's deflate stream, counted in its
// compressed size.
QByteArray handMadeZip(const QList<QPair<QString, QByteArray>> &entries, const QString &padded, int padding)
{
    QByteArray archive;
    QByteArray directory;
    for (const auto &entry : entries) {
        const QString &name = entry.first;
        const QByteArray &data = entry.second;
        const QByteArray stored = rawDeflate(data) + QByteArray(name == padded ? padding : 0, '\0');
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
        const QByteArray utf8 = name.toUtf8();
        auto fields = [&](QByteArray &out) {
            append(out, 20, 2);
            append(out, 0, 2);
            append(out, 8, 2);
            append(out, 0, 4);
            append(out, crc, 4);
            append(out, quint32(stored.size()), 4);
            append(out, quint32(data.size()), 4);
            append(out, quint16(utf8.size()), 2);
            append(out, 0, 2);
        };
        append(directory, 0x02014b50, 4);
        append(directory, 20, 2);
        fields(directory);
        append(directory, 0, 2);
        append(directory, 0, 2);
        append(directory, 0, 2);
        append(directory, 0, 4);
        append(directory, quint32(archive.size()), 4);
        directory += utf8;
        append(archive, 0x04034b50, 4);
        fields(archive);
        archive += utf8 + stored;
    }
    const quint32 offset = quint32(archive.size());
    archive += directory;
    append(archive, 0x06054b50, 4);
    append(archive, 0, 4);
    append(archive, quint16(entries.size()), 2);
    append(archive, quint16(entries.size()), 2);
    append(archive, quint32(directory.size()), 4);
    append(archive, offset, 4);
    append(archive, 0, 2);
    return archive;
}

// A device that says it is as large as it likes: zeros, and the given bytes
// at its end. Nothing that large is ever held.
class ClaimedSizeDevice : public QIODevice
{
public:
    ClaimedSizeDevice(qint64 size, const QByteArray &tail) : m_size(size), m_tail(tail) { open(ReadOnly); }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char *data, qint64 maximum) override
    {
        const qint64 at = pos();
        const qint64 count = qMin(maximum, m_size - at);
        const qint64 tailStart = m_size - m_tail.size();
        for (qint64 i = 0; i < count; ++i)
            data[i] = at + i >= tailStart ? m_tail.at(int(at + i - tailStart)) : '\0';
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_size;
    QByteArray m_tail;
};

bool load(Document &document, QByteArray package, const ReadLimits &limits = ReadLimits())
{
    document.setReadLimits(limits);
    QBuffer buffer(&package);
    buffer.open(QIODevice::ReadOnly);
    return document.load(&buffer);
}

QByteArray saved(Document &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return document.saveToDevice(&buffer) ? buffer.data() : QByteArray();
}

// The rows a SheetReader reads from the package's first sheet, by row number.
QMap<int, QVector<QVariant>> readRows(QByteArray package, QString *error = nullptr)
{
    QBuffer buffer(&package);
    buffer.open(QIODevice::ReadOnly);
    SheetReader reader;
    QMap<int, QVector<QVariant>> rows;
    if (reader.open(&buffer)) {
        while (reader.readRow())
            rows.insert(reader.rowNumber(), reader.values());
    }
    if (error)
        *error = reader.errorString();
    return rows;
}

QByteArray withSheet(const QByteArray &body)
{
    return withEntry(QStringLiteral("xl/worksheets/sheet1.xml"),
                     [body](QByteArray) { return "<?xml version=\"1.0\"?>" + sheetStart + body + "</worksheet>"; });
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

Run python(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(HostTools::program(QStringLiteral("python3")), QStringList{ QStringLiteral("-c"), script } + arguments);
    if (!process.waitForFinished(300000))
        return {};
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll() };
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class TestUntrustedFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void hostileFilesFailWithTheirReason_data();
    void hostileFilesFailWithTheirReason();
    void directoryLargerThanAnyArray_data();
    void directoryLargerThanAnyArray();
    void bombRefusedAfterLittleInflating();
    void oddValuesReadAsOtherReadersReadThem();
    void cellsInAnyOrderReadAsWritten();
    void rowsKeepTheirAttributesThroughASave();
    void partNamesStayWhatTheyAre();
    void themeKeepsItsPictures();
    void singleFormattedRunStaysFormatted();
    void emptyStyleSheetHasTheDefaultStyle();
    void datesReadTheSameInEveryZone();
    void walkingStoredCellsOnly();
    void strictPackagesReadAndSaveTransitional();
    void strictNamesCutBetweenPieces();

private:
    QTemporaryDir m_dir;
};

void TestUntrustedFiles::hostileFilesFailWithTheirReason_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qint64>("maxInflatedSize");

    const qint64 defaultSize = ReadLimits().maxInflatedSize;
    {
        // 20 MiB of blanks deflate to some 20 KB; the zeros after the stream
        // made its stated size pass the ratio.
        QList<QPair<QString, QByteArray>> entries = entriesOf(basePackage());
        for (auto &entry : entries) {
            if (entry.first == QLatin1String("xl/worksheets/sheet1.xml"))
                entry.second = "<?xml version=\"1.0\"?>" + sheetStart + QByteArray(20 << 20, ' ') + "<sheetData/></worksheet>";
        }
        QTest::newRow("zeros after a deflate stream")
            << handMadeZip(entries, QStringLiteral("xl/worksheets/sheet1.xml"), 160 * 1024)
            << "(the read limit maxCompressionRatio)" << defaultSize;
    }
    {
        // Spaces after the sheet's root and a CRC that is not the content's:
        // read as a stream, the part is inflated to its end all the same.
        QList<QPair<QString, QByteArray>> entries = entriesOf(basePackage());
        QByteArray sheet;
        for (auto &entry : entries) {
            if (entry.first == QLatin1String("xl/worksheets/sheet1.xml"))
                sheet = entry.second += QByteArray(1 << 20, ' ');
        }
        QByteArray package = handMadeZip(entries, QString(), 0);
        QByteArray crc, wrong;
        const quint32 right = quint32(crc32(0, reinterpret_cast<const Bytef *>(sheet.constData()), uInt(sheet.size())));
        append(crc, right, 4);
        append(wrong, right ^ 0x10000, 4);
        QTest::newRow("a wrong CRC behind the root element")
            << package.replace(crc, wrong) << "its CRC does not match its content" << defaultSize;
    }
    QTest::newRow("one part listed as three sheets")
        << withEntry(QStringLiteral("xl/workbook.xml"), [](QByteArray bytes) {
               return bytes.replace("</sheets>", "<sheet name=\"Again\" sheetId=\"7\" r:id=\"rId1\"/>"
                                                 "<sheet name=\"And again\" sheetId=\"8\" r:id=\"rId1\"/></sheets>");
           })
        << "two sheets name the part xl/worksheets/sheet1.xml" << defaultSize;
    QTest::newRow("64,000 cell formats")
        << withEntry(QStringLiteral("xl/styles.xml"), [](QByteArray bytes) {
               return bytes.replace("</cellXfs>", QByteArray("<xf/>").repeated(64000) + "</cellXfs>");
           })
        << "xl/styles.xml: it holds more than 64000 cell formats" << defaultSize;
    QTest::newRow("texts that escaping makes seven times larger")
        << withEntry(QStringLiteral("xl/sharedStrings.xml"), [](QByteArray) {
               return "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>"
                   + QByteArray(2 << 20, '\x01') + "</t></si><si><t>Sample</t></si></sst>";
           })
        << "xl/sharedStrings.xml: its texts take more than 8388608 bytes" << qint64(8 << 20);
    QTest::newRow("a document type after 70 KB of comment")
        << withEntry(QStringLiteral("customXml/item1.xml"), [](QByteArray) {
               return "<?xml version=\"1.0\"?><!--" + QByteArray(70 * 1024, 'c') + "--><!DOCTYPE x SYSTEM \"file:///etc/passwd\"><x/>";
           })
        << "customXml/item1.xml: it declares a document type" << defaultSize;
}

void TestUntrustedFiles::hostileFilesFailWithTheirReason()
{
    QFETCH(QByteArray, package);
    QFETCH(QString, reason);
    QFETCH(qint64, maxInflatedSize);
    ReadLimits limits;
    limits.maxInflatedSize = maxInflatedSize;
    Document document;
    document.writeValue(1, 1, QStringLiteral("before"));
    QVERIFY(!load(document, package, limits));
    QVERIFY2(document.errorString().contains(reason), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(1, 1).toString(), QStringLiteral("before"));
}

// A ZIP64 directory whose stated size passes what an array holds, in a
// device large enough to hold it: read record by record, it is broken.
void TestUntrustedFiles::directoryLargerThanAnyArray_data()
{
    QTest::addColumn<quint64>("directorySize");
    QTest::newRow("4 GiB and 64 bytes") << ((quint64(1) << 32) + 64);
    QTest::newRow("just past 2 GiB") << ((quint64(1) << 31) + 8);
}

void TestUntrustedFiles::directoryLargerThanAnyArray()
{
    QFETCH(quint64, directorySize);
    const qint64 deviceSize = qint64(5) << 30;
    QByteArray tail;
    const quint64 endRecord = quint64(deviceSize) - 98;   // where the ZIP64 end record begins
    append(tail, 0x06064b50, 4);
    append(tail, 44, 8);
    append(tail, 45, 2);
    append(tail, 45, 2);
    append(tail, 0, 4);
    append(tail, 0, 4);
    append(tail, 1, 8);
    append(tail, 1, 8);
    append(tail, directorySize, 8);
    append(tail, endRecord - directorySize, 8);
    append(tail, 0x07064b50, 4);
    append(tail, 0, 4);
    append(tail, endRecord, 8);
    append(tail, 1, 4);
    append(tail, 0x06054b50, 4);
    append(tail, 0, 2);
    append(tail, 0, 2);
    append(tail, 0xFFFF, 2);
    append(tail, 0xFFFF, 2);
    append(tail, 0xFFFFFFFF, 4);
    append(tail, 0xFFFFFFFF, 4);
    append(tail, 0, 2);
    QCOMPARE(tail.size(), 98);

    ClaimedSizeDevice device(deviceSize, tail);
    Document document;
    QVERIFY(!document.load(&device));
    QVERIFY2(document.errorString().contains(QLatin1String("the archive's directory is broken")), qPrintable(document.errorString()));
}

// 256 MiB of zeros deflate to 250 KB: refused once 16 MiB are out, not after
// two hundred times what the directory says.
void TestUntrustedFiles::bombRefusedAfterLittleInflating()
{
    QList<QPair<QString, QByteArray>> entries = entriesOf(basePackage());
    entries.append({ QStringLiteral("customXml/item9.xml"), QByteArray(256 << 20, '\0') });
    QByteArray package = handMadeZip(entries, QStringLiteral("customXml/item9.xml"), 2 << 20);
    QBuffer buffer(&package);
    buffer.open(QIODevice::ReadOnly);
    ZipReader zip(&buffer, ReadLimits());
    QVERIFY(zip.open());
    QByteArray bytes;
    QVERIFY(!zip.read(QStringLiteral("customXml/item9.xml"), bytes));
    QVERIFY2(zip.errorString().contains(QLatin1String("maxCompressionRatio")), qPrintable(zip.errorString()));
    QVERIFY2(zip.inflatedTotal() < (24 << 20), qPrintable(QString::number(zip.inflatedTotal())));
}

// Numbers as the schema's double reads them, a date-formatted number far
// past any date, a font larger than any and a number format id at the top
// of the int range: read as other readers read them, and saved so that
// spreadsheet programs read them again.
void TestUntrustedFiles::oddValuesReadAsOtherReadersReadThem()
{
    QByteArray package = withSheet("<sheetData><row r=\"1\"><c r=\"A1\"><v>1e-400</v></c><c r=\"B1\"><v>INF</v></c>"
                                   "<c r=\"C1\"><v>-INF</v></c><c r=\"D1\"><v>NaN</v></c><c r=\"E1\"><v> 1e400 </v></c>"
                                   "<c r=\"F1\" s=\"3\"><v>1e300</v></c><c r=\"G1\" s=\"3\"><v>2958466</v></c>"
                                   "<c r=\"H1\" s=\"4\"><v>1</v></c></row></sheetData>");
    package = editedPackage(package, [](const QString &name, QByteArray &bytes) {
        if (name == QLatin1String("xl/styles.xml")) {
            bytes.replace("<fonts", "<numFmts count=\"1\"><numFmt numFmtId=\"2147483647\" formatCode=\"0.0\"/></numFmts><fonts");
            bytes.replace("<font><b/>", "<font><b/><sz val=\"1e300\"/>");
            bytes.replace("</cellXfs>", "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" applyNumberFormat=\"1\"/>"
                                        "<xf numFmtId=\"2147483647\" fontId=\"1\" fillId=\"0\" borderId=\"0\"/></cellXfs>");
        }
        return true;
    });
    Document document;
    QVERIFY2(load(document, package), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(1, 1).toDouble(), 0.0);
    QCOMPARE(document.readValue(1, 2).toDouble(), std::numeric_limits<double>::infinity());
    QCOMPARE(document.readValue(1, 3).toDouble(), -std::numeric_limits<double>::infinity());
    QVERIFY(std::isnan(document.readValue(1, 4).toDouble()));
    QCOMPARE(document.readValue(1, 5).toDouble(), std::numeric_limits<double>::infinity());
    QCOMPARE(document.readValue(1, 7).toDouble(), 2958466.0);   // a day after the last date
    const QVariant farPast = document.readValue(1, 6);
    QCOMPARE(farPast.userType(), int(QMetaType::Double));
    QCOMPARE(farPast.toDouble(), 1e300);
    const QMap<int, QVector<QVariant>> rows = readRows(package);
    QCOMPARE(rows.value(1).value(5).toDouble(), 1e300);
    QCOMPARE(rows.value(1).value(0).toDouble(), 0.0);

    const QByteArray again = saved(document);
    const QByteArray sheet = entryOf(again, QStringLiteral("xl/worksheets/sheet1.xml"));
    for (const char *written : { "<c r=\"A1\"><v>0</v></c>", "<c r=\"B1\"><v>INF</v></c>", "<c r=\"C1\"><v>-INF</v></c>",
                                 "<c r=\"D1\"><v>NaN</v></c>" })
        QVERIFY2(sheet.contains(written), sheet.constData());
    if (!HostTools::available())
        return;
    const QString path = writeFile(m_dir, QStringLiteral("odd-values.xlsx"), again);
    QProcess office;
    office.start(QStringLiteral("soffice"), { QStringLiteral("--headless"),
                                              QStringLiteral("-env:UserInstallation=file://%1/office").arg(m_dir.path()),
                                              QStringLiteral("--convert-to"), QStringLiteral("csv"), QStringLiteral("--outdir"),
                                              m_dir.path(), path });
    QVERIFY(office.waitForFinished(300000));
    QFile csv(m_dir.filePath(QStringLiteral("odd-values.csv")));
    QVERIFY2(csv.open(QIODevice::ReadOnly), office.readAllStandardError().constData());
    QCOMPARE(csv.readLine().trimmed().left(19), QByteArray("0,INF,-INF,NaN,INF,"));
}

// Cells right to left, a row before the one above it, a cell given twice:
// both readers take the later one, as spreadsheet programs do; nothing
// is lost on a save, and a shared formula whose master went stays whole.
void TestUntrustedFiles::cellsInAnyOrderReadAsWritten()
{
    const QByteArray package = withSheet(
        "<sheetData><row r=\"3\"><c r=\"B3\"><f t=\"shared\" si=\"0\"/><v>2</v></c></row>"
        "<row r=\"1\"><c r=\"C1\"><v>3</v></c><c r=\"B1\" t=\"s\"><v>0</v></c><c r=\"A1\" t=\"str\"><f>\"first\"</f><v>first</v></c>"
        "<c r=\"A1\" t=\"str\"><f>\"second\"</f><v>second</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"2\"><c r=\"B2\"><f t=\"shared\" ref=\"B2:B3\" si=\"0\">A2*2</f><v>1</v></c><c r=\"A2\"><v>5</v></c>"
        "<c r=\"B2\"><v>9</v></c><c r=\"A2\" s=\"1\"/></row></sheetData>");
    Document document;
    QVERIFY2(load(document, package), qPrintable(document.errorString()));
    const QVector<QVariant> first{ QStringLiteral("second"), QStringLiteral("https://example.org/"), 3.0 };
    QCOMPARE(document.readValue(1, 1).toString(), QStringLiteral("second"));
    QCOMPARE(document.readValue(1, 2), first.at(1));
    QCOMPARE(document.readValue(1, 3).toDouble(), 3.0);
    QCOMPARE(document.readValue(2, 2).toDouble(), 9.0);
    QCOMPARE(document.cellAt(3, 2)->formula().text(), QStringLiteral("A3*2"));
    QCOMPARE(document.cellAt(1, 1)->formula().text(), QStringLiteral("\"second\""));
    const QMap<int, QVector<QVariant>> rows = readRows(package);
    QCOMPARE(rows.value(1), first);
    QCOMPARE(rows.value(2), (QVector<QVariant>{ QVariant(), 9.0 }));
    QVERIFY(!document.readValue(2, 1).isValid());

    const QByteArray again = saved(document);
    const QByteArray sheet = entryOf(again, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(sheet.contains("<c r=\"A1\" t=\"str\"><f>&quot;second&quot;</f><v>second</v></c><c r=\"B1\" t=\"s\"><v>"), sheet.constData());
    QVERIFY2(sheet.contains("<c r=\"B3\"><f>A3*2</f><v>2</v></c>"), sheet.constData());
    Document reloaded;
    QVERIFY2(load(reloaded, again), qPrintable(reloaded.errorString()));
    QCOMPARE(reloaded.readValue(1, 2), first.at(1));
    QCOMPARE(readRows(again).value(1), first);
}

// Rows out of order keep what the model does not know of them, and the
// prefix their attributes use stays declared where the sheet declared it.
void TestUntrustedFiles::rowsKeepTheirAttributesThroughASave()
{
    const QByteArray package = withSheet(
        "<sheetData xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\">"
        "<row r=\"2\" thickBot=\"1\" x14ac:dyDescent=\"0.3\"><c r=\"A2\"><v>2</v></c></row>"
        "<row r=\"1\" thickTop=\"1\" x14ac:dyDescent=\"0.25\"><c r=\"A1\"><v>1</v></c></row></sheetData>");
    Document document;
    QVERIFY2(load(document, package), qPrintable(document.errorString()));
    const QByteArray again = saved(document);
    const QByteArray sheet = entryOf(again, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(sheet.contains(" thickTop=\"1\" x14ac:dyDescent=\"0.25\"><c r=\"A1\""), sheet.constData());
    QVERIFY2(sheet.contains(" thickBot=\"1\" x14ac:dyDescent=\"0.3\"><c r=\"A2\""), sheet.constData());
    Document reloaded;
    QVERIFY2(load(reloaded, again), qPrintable(reloaded.errorString()));
    QCOMPARE(reloaded.readValue(2, 1).toDouble(), 2.0);
    if (!HostTools::available())
        return;
    const Run read = python(QStringLiteral("import openpyxl, sys\n"
                                           "sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                           "print(sheet['A1'].value, sheet['A2'].value)"),
                            { writeFile(m_dir, QStringLiteral("rows.xlsx"), again) });
    QCOMPARE(read.out.trimmed(), QByteArray("1 2"));
}

// A part named outside ASCII keeps its name save after save, its
// relationship resolving; a kept part never shares a name, in any letter
// case, with one the save names anew.
void TestUntrustedFiles::partNamesStayWhatTheyAre()
{
    const QByteArray base = basePackage();
    QList<QPair<QString, QByteArray>> entries;
    for (auto [name, bytes] : entriesOf(base)) {
        if (name == QLatin1String("xl/worksheets/sheet2.xml"))
            name = QStringLiteral("xl/worksheets/second.xml");
        if (name == QLatin1String("xl/_rels/workbook.xml.rels")) {
            bytes.replace("worksheets/sheet2.xml", "worksheets/second.xml");
            bytes.replace("</Relationships>", "<Relationship Id=\"rId90\" Type=\"http://schemas.openxmlformats.org/"
                                              "officeDocument/2006/relationships/customXml\" Target=\"../customXml/d%C3%A4ten.xml\"/>"
                                              "</Relationships>");
        }
        if (name == QLatin1String("[Content_Types].xml"))
            bytes.replace("/xl/worksheets/sheet2.xml", "/xl/worksheets/second.xml");
        entries.append({ name, bytes });
    }
    entries.append({ QStringLiteral("customXml/däten.xml"), "<daten/>" });
    entries.append({ QStringLiteral("xl/worksheets/Sheet2.xml"), "<notes-of-another-program/>" });
    QByteArray package = packageOf(entries);

    for (int save = 1; save <= 2; ++save) {
        Document document;
        QVERIFY2(load(document, package), qPrintable(document.errorString()));
        QVERIFY(document.selectSheet(QStringLiteral("Second")));
        document.writeValue(1, 1, save);
        package = saved(document);
        QSet<QString> folded;
        for (const auto &[name, bytes] : entriesOf(package))
            QVERIFY2(!folded.contains(name.toCaseFolded()) && (folded.insert(name.toCaseFolded()), true), qPrintable(name));
        QCOMPARE(entryOf(package, QStringLiteral("customXml/däten.xml")), QByteArray("<daten/>"));
        QVERIFY(entryOf(package, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("Target=\"../customXml/d%C3%A4ten.xml\""));
        QCOMPARE(entryOf(package, QStringLiteral("xl/worksheets/Sheet2.xml")), QByteArray("<notes-of-another-program/>"));
    }
    Document reloaded;
    QVERIFY2(load(reloaded, package), qPrintable(reloaded.errorString()));
    QVERIFY(reloaded.selectSheet(QStringLiteral("Sheet1")));
    QCOMPARE(reloaded.readValue(1, 1).toString(), QStringLiteral("Sample"));
    QVERIFY(reloaded.selectSheet(QStringLiteral("Second")));
    QCOMPARE(reloaded.readValue(1, 1).toInt(), 2);
    if (!HostTools::available())
        return;
    // Python's zipfile reads the name as UTF-8 only when the entry says so.
    const Run listed = python(QStringLiteral("import sys, zipfile\n"
                                             "print('customXml/d\\u00e4ten.xml' in zipfile.ZipFile(sys.argv[1]).namelist())"),
                              { writeFile(m_dir, QStringLiteral("names.xlsx"), package) });
    QCOMPARE(listed.out.trimmed(), QByteArray("True"));
}

void TestUntrustedFiles::themeKeepsItsPictures()
{
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&pngBuffer, "PNG");
    QList<QPair<QString, QByteArray>> entries = entriesOf(basePackage());
    for (auto &[name, bytes] : entries) {
        if (name == QLatin1String("xl/theme/theme1.xml"))
            bytes.replace("<a:bgFillStyleLst>", "<a:bgFillStyleLst><a:blipFill xmlns:r=\"http://schemas.openxmlformats.org/"
                                                "officeDocument/2006/relationships\"><a:blip r:embed=\"rId1\"/></a:blipFill>");
    }
    entries.append({ QStringLiteral("xl/theme/_rels/theme1.xml.rels"),
                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                     "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\""
                     " Target=\"../media/image1.png\"/></Relationships>" });
    entries.append({ QStringLiteral("xl/media/image1.png"), png });
    Document document;
    QVERIFY2(load(document, packageOf(entries)), qPrintable(document.errorString()));
    const QByteArray again = saved(document);
    const QByteArray relationships = entryOf(again, QStringLiteral("xl/theme/_rels/theme1.xml.rels"));
    QVERIFY2(relationships.contains("Id=\"rId1\"") && relationships.contains("Target=\"../media/image1.png\""),
             relationships.constData());
    QCOMPARE(entryOf(again, QStringLiteral("xl/media/image1.png")), png);
}

// A bold red word in the shared texts, an italic one inline: a run of one
// is rich text too, read and saved as such.
void TestUntrustedFiles::singleFormattedRunStaysFormatted()
{
    QByteArray package = withSheet("<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c>"
                                   "<c r=\"B1\" t=\"inlineStr\"><is><r><rPr><i/></rPr><t>aside</t></r></is></c></row></sheetData>");
    package = editedPackage(package, [](const QString &name, QByteArray &bytes) {
        if (name == QLatin1String("xl/sharedStrings.xml"))
            bytes.replace("<si><t>https://example.org/</t></si>",
                          "<si><r><rPr><b/><color rgb=\"FFFF0000\"/></rPr><t>Total</t></r></si>");
        return true;
    });
    for (int round = 0; round < 2; ++round) {
        Document document;
        QVERIFY2(load(document, package), qPrintable(document.errorString()));
        const QSharedPointer<SheetCell> total = document.cellAt(1, 1);
        QVERIFY(total && total->isRichString());
        QCOMPARE(total->value().toString(), QStringLiteral("Total"));
        QVERIFY(total->richString().runFormat(0).fontBold());
        QCOMPARE(total->richString().runFormat(0).fontColor(), QColor(Qt::red));
        QVERIFY(!total->format().fontBold());
        QVERIFY(document.cellAt(1, 2)->richString().runFormat(0).fontItalic());
        package = saved(document);
    }
    const QByteArray strings = entryOf(package, QStringLiteral("xl/sharedStrings.xml"));
    QVERIFY2(strings.contains("<si><r><rPr><b/><color rgb=\"FFFF0000\"/></rPr><t>Total</t></r></si>"), strings.constData());
}

// An empty style sheet, rows that say they have a format but not which:
// style 0, the default, exists as in every spreadsheet program.
void TestUntrustedFiles::emptyStyleSheetHasTheDefaultStyle()
{
    QByteArray package = withSheet("<sheetData><row r=\"1\" customFormat=\"1\"><c r=\"A1\" s=\"0\"><v>1</v></c></row>"
                                   "<row r=\"2\" customFormat=\"1\" ht=\"20\" customHeight=\"1\"/></sheetData>");
    package = editedPackage(package, [](const QString &name, QByteArray &bytes) {
        if (name == QLatin1String("xl/styles.xml"))
            bytes = "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>";
        if (name == QLatin1String("xl/worksheets/sheet2.xml"))
            bytes.replace("<sheetData/>", "<sheetData><row r=\"1\"><c r=\"A1\" s=\"0\"><v>2</v></c></row></sheetData>");
        return true;
    });
    Document document;
    QVERIFY2(load(document, package), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(1, 1).toDouble(), 1.0);
    QCOMPARE(readRows(package).value(1).value(0).toDouble(), 1.0);
    const QByteArray again = saved(document);
    const QByteArray styles = entryOf(again, QStringLiteral("xl/styles.xml"));
    QVERIFY2(styles.contains("<cellXfs count=\"1\">") && styles.contains("<fonts count=\"1\">"), styles.constData());
    Document reloaded;
    QVERIFY2(load(reloaded, again), qPrintable(reloaded.errorString()));
    QCOMPARE(reloaded.rowHeight(2), 20.0);
    if (!HostTools::available())
        return;
    const Run read = python(QStringLiteral("import openpyxl, sys\n"
                                           "print(openpyxl.load_workbook(sys.argv[1]).worksheets[0]['A1'].value)"),
                            { writeFile(m_dir, QStringLiteral("styles.xlsx"), again) });
    QCOMPARE(read.out.trimmed(), QByteArray("1"));
}

// 02:30 on 28 March 2021 is no time in Berlin, where clocks went from 2:00
// to 3:00: as a date cell and as a date-formatted number it reads 02:30
// all the same, and is saved so.
void TestUntrustedFiles::datesReadTheSameInEveryZone()
{
#if !defined(Q_OS_UNIX)
    QSKIP("the local zone is set through TZ, which only Unix reads");
#endif
    TimeZone berlin("Europe/Berlin");
    const double serial = 44283 + 2.5 / 24;   // 28 March 2021, 02:30
    QByteArray package = withSheet("<sheetData><row r=\"1\"><c r=\"A1\" t=\"d\"><v>2021-03-28T02:30:00</v></c>"
                                   "<c r=\"B1\" s=\"1\"><v>" + QByteArray::number(serial, 'g', 17) + "</v></c></row></sheetData>");
    package = editedPackage(package, [](const QString &name, QByteArray &bytes) {
        if (name == QLatin1String("xl/styles.xml"))
            bytes.replace(QByteArray("<xf numFmtId=\"2\""), "<xf numFmtId=\"22\"");
        return true;
    });
    Document document;
    QVERIFY2(load(document, package), qPrintable(document.errorString()));
    for (const QVariant &value : { document.readValue(1, 1), document.readValue(1, 2), readRows(package).value(1).value(0),
                                   readRows(package).value(1).value(1) }) {
        const QDateTime dateTime = value.toDateTime();
        QVERIFY(dateTime.isValid());
        QCOMPARE(dateTime.date(), QDate(2021, 3, 28));
        QCOMPARE(dateTime.time(), QTime(2, 30));
    }
    const QByteArray sheet = entryOf(saved(document), QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(sheet.contains("<c r=\"A1\" t=\"d\"><v>2021-03-28T02:30:00</v></c>"), sheet.constData());
}

// Rows 1 and 2, and the last three rows styled to the last column, as some
// programs write them: the walk visits the stored cells, not the dimension.
void TestUntrustedFiles::walkingStoredCellsOnly()
{
    QByteArray rows = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"XFD1\" s=\"1\"/></row>"
                      "<row r=\"2\"><c r=\"B2\"><v>2</v></c></row>";
    for (int row = 1048574; row <= 1048576; ++row)
        rows += "<row r=\"" + QByteArray::number(row) + "\"><c r=\"XFD" + QByteArray::number(row) + "\" s=\"1\"/></row>";
    Document document;
    QVERIFY2(load(document, withSheet("<dimension ref=\"A1:XFD1048576\"/><sheetData>" + rows + "</sheetData>")),
             qPrintable(document.errorString()));
    QCOMPARE(document.activeWorksheet()->dimension(), CellArea(1, 1, 1048576, 16384));
    QStringList visited;
    document.forEachCell([&](int row, int column, const SheetCell &cell) {
        visited << CellAddress(row, column).toText() + QLatin1Char('=') + cell.value().toString();
        if (row == 1 && column == 1)
            document.writeValue(3, 3, QStringLiteral("written on the way"));
    });
    QCOMPARE(visited, (QStringList{ QStringLiteral("A1=1"), QStringLiteral("XFD1="), QStringLiteral("B2=2"),
                                    QStringLiteral("C3=written on the way"), QStringLiteral("XFD1048574="),
                                    QStringLiteral("XFD1048575="), QStringLiteral("XFD1048576=") }));
}

// The Strict form names its namespaces and relationship types apart from
// the transitional form, one to one: read, and saved transitional.
void TestUntrustedFiles::strictPackagesReadAndSaveTransitional()
{
    const QList<QPair<QByteArray, QByteArray>> strictNames = {
        { "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
          "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties" },
        { "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
          "http://purl.oclc.org/ooxml/officeDocument/relationships" },
        { "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties",
          "http://purl.oclc.org/ooxml/officeDocument/extendedProperties" },
        { "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes",
          "http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes" },
        { "http://schemas.openxmlformats.org/spreadsheetml/2006/main", "http://purl.oclc.org/ooxml/spreadsheetml/main" },
        { "http://schemas.openxmlformats.org/drawingml/2006/main", "http://purl.oclc.org/ooxml/drawingml/main" },
    };
    QList<QPair<QString, QByteArray>> entries;
    for (auto [name, bytes] : entriesOf(basePackage())) {
        for (const auto &[transitional, strict] : strictNames)
            bytes.replace(transitional, strict);
        bytes.replace("<workbook ", "<workbook conformance=\"strict\" ");
        if (name == QLatin1String("xl/worksheets/sheet2.xml"))
            bytes.replace("<sheetData/>", "<sheetData><row r=\"1\"><c r=\"A1\" t=\"d\"><v>2024-05-17T08:15:00</v></c></row></sheetData>");
        entries.append({ name, bytes });
    }
    const QByteArray strict = packageOf(entries);
    Document document;
    QVERIFY2(load(document, strict), qPrintable(document.errorString()));
    QCOMPARE(document.readValue(1, 1).toString(), QStringLiteral("Sample"));
    QCOMPARE(document.readValue(1, 2).toDouble(), 4.81);
    QCOMPARE(document.cellAt(1, 2)->format().numberFormatCode(), QStringLiteral("0.00"));
    QVERIFY(document.selectSheet(QStringLiteral("Second")));
    QCOMPARE(document.readValue(1, 1).toDateTime(), QDateTime(QDate(2024, 5, 17), QTime(8, 15)));
    QCOMPARE(readRows(strict).value(1).value(0).toString(), QStringLiteral("Sample"));

    const QByteArray again = saved(document);
    for (const auto &[name, bytes] : entriesOf(again)) {
        QVERIFY2(!bytes.contains("purl.oclc.org") && !bytes.contains("conformance"), qPrintable(name));
    }
    Document reloaded;
    QVERIFY2(load(reloaded, again), qPrintable(reloaded.errorString()));
    QVERIFY(reloaded.selectSheet(QStringLiteral("Sheet1")));
    QCOMPARE(reloaded.readValue(1, 2).toDouble(), 4.81);
    if (!HostTools::available())
        return;
    const Run read = python(QStringLiteral("import openpyxl, sys\n"
                                           "book = openpyxl.load_workbook(sys.argv[1])\n"
                                           "print(book.worksheets[0]['A1'].value, book.worksheets[1]['A1'].value)"),
                            { writeFile(m_dir, QStringLiteral("strict-saved.xlsx"), again) });
    QCOMPARE(read.out.trimmed(), QByteArray("Sample 2024-05-17 08:15:00"));
}

// Strict names cut anywhere between the pieces a stream gives: the same
// translation as of the whole, and the stream's end where the source ends.
void TestUntrustedFiles::strictNamesCutBetweenPieces()
{
    class Trickle : public QIODevice
    {
    public:
        explicit Trickle(const QByteArray &bytes) : m_bytes(bytes) { open(ReadOnly); }
        bool isSequential() const override { return true; }

    protected:
        qint64 readData(char *data, qint64 maximum) override
        {
            const qint64 size = qMin<qint64>(qMin<qint64>(maximum, 1 + m_at % 7), m_bytes.size() - m_at);
            std::memcpy(data, m_bytes.constData() + m_at, size_t(size));
            m_at += int(size);
            return size;
        }
        qint64 writeData(const char *, qint64) override { return -1; }

    private:
        QByteArray m_bytes;
        int m_at = 0;
    };
    QByteArray strict;
    for (int i = 0; i < 300; ++i)
        strict += QByteArray(i % 13, 'x') + "http://purl.oclc.org/ooxml/spreadsheetml/main\" "
                  + "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties "
                  + "http://purl.oclc.org/ooxml/unknown/";
    const QByteArray whole = StrictTranslation::toTransitional(strict);
    QVERIFY(!whole.contains("purl.oclc.org/ooxml/spreadsheetml"));
    QVERIFY(whole.contains("http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties "));
    const std::unique_ptr<QIODevice> device = StrictTranslation::transitionalDevice(std::make_unique<Trickle>(strict));
    QByteArray streamed;
    char piece[5];
    for (qint64 got; (got = device->read(piece, sizeof piece)) > 0;)
        streamed.append(piece, int(got));
    QCOMPARE(streamed, whole);
    QVERIFY(device->atEnd());
    QCOMPARE(device->bytesAvailable(), qint64(0));
}

QTEST_MAIN(TestUntrustedFiles)
#include "tst_untrustedfiles.moc"
