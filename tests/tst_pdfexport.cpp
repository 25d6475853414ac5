#include "acquisition/exportfile.h"
#include "app/translation.h"
#include "exportxml.h"
#include "fullfolder.h"
#include "pdftools.h"
#include "report/pdfreport.h"
#include "scriptedwindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

using namespace ExportXml;

namespace {

using PdfTools::pageCount;

QString pageText(const QString &pdf, int page)
{
    return PdfTools::text(pdf, page);
}

QByteArray manySamples(int count)
{
    QByteArray samples;
    for (int i = 0; i < count; ++i)
        samples += sample(QStringLiteral("SAMPLE-%1").arg(i, 3, 10, QLatin1Char('0')),
                          result(QStringLiteral("1.%1").arg(i)) + result(QStringLiteral("2.%1").arg(i)));
    return document(instrument(QStringLiteral("222"), QStringLiteral("005Z02"))
                    + record(QStringLiteral("Milk"), QStringLiteral("Lactose"), samples));
}

} // namespace

class TestPdfExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void nothingTickedWarnsWithoutDialog();
    void cancelledDialogWritesNothing();
    void unwritableTargetIsReported();
    void reportOfTheSampleExport();
    void everyPageCarriesHeaderFooterAndPageText();
    void existingFileIsReplacedWhole();
    void italianReport();
    void failedOrCancelledAcquisitionKeepsRowsAndLegend();
    void pdfKeepsTheTableOrderAfterASort();

    void everyWordInsideThePrintableWidth_data();
    void everyWordInsideThePrintableWidth();
    void resultLinesStayBesideTheirUnits();
    void incompletePdfIsRecognised();
    void failingDeviceIsReported();
    void fullTemporaryFolderIsReported();
};

void TestPdfExport::nothingTickedWarnsWithoutDialog()
{
    ScriptedWindow w;
    w.exportPdf(QStringLiteral("/tmp/never.pdf"));
    QCOMPARE(w.platform.calls, QStringList{ "warn" });
    QCOMPARE(w.platform.warnings, QStringList{ "Error|To proceed, you should select at least one result." });

    w.acquire(samplePath("results.xml"));
    w.platform.calls.clear();
    w.exportPdf(QStringLiteral("/tmp/never.pdf"));
    QCOMPARE(w.platform.calls, QStringList{ "warn" });
}

void TestPdfExport::cancelledDialogWritesNothing()
{
    ScriptedWindow w;
    w.acquire(samplePath("results.xml"));
    w.tick(0);
    w.platform.calls.clear();
    w.exportPdf(QString());
    QCOMPARE(w.platform.calls, QStringList{ "save" });
    QCOMPARE(w.platform.lastCaption, QStringLiteral("Save File"));
    QCOMPARE(w.platform.lastDir, QStringLiteral("results.pdf"));
    QCOMPARE(w.platform.lastFilter, QStringLiteral("File PDF (*.pdf)"));
}

void TestPdfExport::unwritableTargetIsReported()
{
    ScriptedWindow w;
    w.acquire(samplePath("results.xml"));
    w.tick(0);
    w.platform.calls.clear();
    const QString target = QStringLiteral("/nonexistent-folder/report.pdf");
    w.exportPdf(target);
    QCOMPARE(w.platform.calls, (QStringList{ "save", "warn" }));
    QCOMPARE(w.platform.warnings.last(), QStringLiteral("Error|The file %1 could not be written.").arg(target));
    QVERIFY(w.platform.openedFiles.isEmpty());
    QCOMPARE(w.platform.warningsOverBusyCursor, 0);
}

void TestPdfExport::reportOfTheSampleExport()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ScriptedWindow w;
    w.acquire(samplePath("results.xml"));
    w.tick(1);
    w.tick(5);
    w.window.findChild<QLineEdit *>(QStringLiteral("textSignature"))->setText(QStringLiteral("Dr. Maria Rossi"));
    w.platform.calls.clear();
    w.exportPdf(pdf);
    QCOMPARE(w.platform.calls, (QStringList{ "save", "desktop" }));
    QCOMPARE(w.platform.openedFiles, QStringList{ pdf });

    QCOMPARE(pageCount(pdf), 1);
    QVERIFY(PdfTools::run(QStringLiteral("pdfinfo"), { pdf }).contains(QStringLiteral("A4")));
    const QString text = pageText(pdf, 1);
    for (const QString &expected : { QStringLiteral("Analysis Report"), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")),
                                     QStringLiteral("Laboratorio Analisi Olearie"), QStringLiteral("EVO-0413"),
                                     QStringLiteral("VB-2026-07"), QStringLiteral("> 0.95"), QStringLiteral("2.77 #"),
                                     QStringLiteral("Analyses performed with QVR Brontal W-5 S/N W5-22104"),
                                     QStringLiteral("Dr. Maria Rossi"), QStringLiteral("Quality System"),
                                     QStringLiteral("Page 1 of 1") })
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in:\n") + text));
    QVERIFY(!text.contains(QStringLiteral("EVO-0412")));
    // No word of an ordinary value is broken across lines.
    QVERIFY(text.contains(QStringLiteral("Result")));
}

void TestPdfExport::everyPageCarriesHeaderFooterAndPageText()
{
    QTemporaryDir dir;
    const QString xml = dir.filePath(QStringLiteral("many.xml"));
    QVERIFY(write(xml, manySamples(80)));
    const QString pdf = dir.filePath(QStringLiteral("many.pdf"));
    ScriptedWindow w;
    w.acquire(xml);
    w.window.findChild<QAbstractButton *>(QStringLiteral("commandLinkButton"))->click();
    w.exportPdf(pdf);

    const int pages = pageCount(pdf);
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    QString all;
    for (int page = 1; page <= pages; ++page) {
        const QString text = pageText(pdf, page);
        QVERIFY(text.contains(QStringLiteral("Analysis Report")));
        QVERIFY(text.contains(QStringLiteral("info@qvr.example")));
        QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)), qPrintable(text));
        all += text;
    }
    for (int i = 0; i < 80; ++i)
        QVERIFY2(all.contains(QStringLiteral("SAMPLE-%1").arg(i, 3, 10, QLatin1Char('0'))), qPrintable(QString::number(i)));
}

void TestPdfExport::existingFileIsReplacedWhole()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(write(pdf, QByteArray(4 << 20, 'x')));
    ScriptedWindow w;
    w.acquire(samplePath("export.xml"));
    w.tick(0);
    w.exportPdf(pdf);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() < (4 << 20));
    QCOMPARE(pageCount(pdf), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{ "report.pdf" });
}

void TestPdfExport::italianReport()
{
    QTranslator translator;
    QVERIFY(loadTranslation(translator, QLocale(QLocale::Italian, QLocale::Italy)));
    QCoreApplication::installTranslator(&translator);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    {
        ScriptedWindow w;
        w.acquire(samplePath("export.xml"));
        w.tick(1);
        w.exportPdf(pdf);
    }
    QCoreApplication::removeTranslator(&translator);
    const QString text = pageText(pdf, 1);
    for (const QString &expected : { QStringLiteral("Report di analisi"), QStringLiteral("Pagina 1 di 1"),
                                     QStringLiteral("Campione"), QStringLiteral("Risultato"), QStringLiteral("matricola K4-11907"),
                                     QStringLiteral("Analisi eseguita con"), QStringLiteral("valore fuori scala"),
                                     QStringLiteral("bianco KO"), QStringLiteral("ABS fuori limite") })
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing in:\n") + text));
}

void TestPdfExport::failedOrCancelledAcquisitionKeepsRowsAndLegend()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ScriptedWindow w;
    w.acquire(samplePath("results.xml"));
    w.acquire(samplePath("no-such-file.xml"));
    w.acquire(QString());
    QCOMPARE(w.table()->rowCount(), 7);
    w.tick(1);
    w.exportPdf(pdf);
    const QString text = pageText(pdf, 1);
    QVERIFY(text.contains(QStringLiteral("> 0.95")));
    for (const QString &legend : { QStringLiteral("*: value out of range"), QStringLiteral("#: ABS out of bounds"),
                                   QStringLiteral("@: blank KO") })
        QVERIFY2(text.contains(legend), qPrintable(legend + QStringLiteral(" missing in:\n") + text));

    // A new file replaces the legend with its own.
    QVERIFY(write(dir.filePath(QStringLiteral("plain.xml")),
                  document(record(QStringLiteral("M"), QStringLiteral("A"),
                                  sample(QStringLiteral("S"), result(QStringLiteral("1")))))));
    w.acquire(dir.filePath(QStringLiteral("plain.xml")));
    w.tick(0);
    w.exportPdf(pdf);
    QVERIFY(!pageText(pdf, 1).contains(QStringLiteral("value out of range")));
}

void TestPdfExport::pdfKeepsTheTableOrderAfterASort()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ScriptedWindow w;
    w.acquire(samplePath("results.xml"));
    w.table()->horizontalHeader()->setSortIndicator(4, Qt::DescendingOrder);
    w.window.findChild<QAbstractButton *>(QStringLiteral("commandLinkButton"))->click();
    w.exportPdf(pdf);

    QStringList tableOrder;
    for (int row = 0; row < w.table()->rowCount(); ++row)
        tableOrder << w.text(row, 4) + QLatin1Char('|') + w.text(row, 5).section(QStringLiteral("\r\n"), 0, 0);
    QCOMPARE(tableOrder.first().section(QLatin1Char('|'), 0, 0), QStringLiteral("VB-2026-08"));

    // Sample name and first result, row by row as the report prints them.
    QStringList reportOrder;
    const QRegularExpression line(QStringLiteral("((?:EVO|VB)-[\\d-]+)\\s+([<>]?\\s?[\\d.]+)"));
    for (auto it = line.globalMatch(pageText(pdf, 1)); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        reportOrder << match.captured(1) + QLatin1Char('|') + match.captured(2);
    }
    QCOMPARE(reportOrder, tableOrder);
}

namespace {

constexpr double pageWidth = 595.28;                 // A4, in points
constexpr double margin = 20 / 25.4 * 72;            // 20 mm

// The report of every row of an export, written straight from its report input.
QString reportOf(const QByteArray &xml, QTemporaryDir &dir, const QString &signature = QString())
{
    const auto file = readExportData(xml);
    if (!file)
        return QString();
    ReportInput input = reportInputFor(*file);
    input.signature = signature;
    for (const SampleRow &sample : file->rows)
        input.rows.append({ true, sample });
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    return PdfReport::write(pdf, input, QDate(2018, 3, 5)) ? pdf : QString();
}

QByteArray sampleBytes(const char *name)
{
    QFile file(samplePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray hostileExport(const QString &laboratory, const QString &matrix, const QString &code, const QString &value,
                         const QString &unit, const QString &instrumentName = QStringLiteral("QVR Unit"))
{
    const QByteArray samples = sample(code, result(value, { QStringLiteral("flag_SUPMAX"), QStringLiteral("flag_ABS_KO") }, unit)
                                            + result(QStringLiteral("1.44"), {}, QStringLiteral("g/L")));
    const QByteArray stamp = timestamp(QStringLiteral("5"), QStringLiteral("3"), QStringLiteral("2018"),
                                       QStringLiteral("8"), QStringLiteral("7"));
    QByteArray instrumentBlock = instrument(QStringLiteral("222"), QStringLiteral("005Z02"), instrumentName);
    instrumentBlock.replace("<labName>Lab</labName>", "<labName>" + laboratory.toUtf8() + "</labName>");
    return document(instrumentBlock + record(matrix, QStringLiteral("Lactose"), samples, stamp)
                    + record(matrix + QStringLiteral(" 2"), QStringLiteral("Lactose"), samples, stamp));
}

} // namespace

void TestPdfExport::everyWordInsideThePrintableWidth_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QString>("mustPrint");       // every character of it lies somewhere on the pages

    const QString W = QStringLiteral("W");
    QTest::newRow("results sample") << sampleBytes("results.xml") << QString() << QString();
    QTest::newRow("export sample") << sampleBytes("export.xml") << QStringLiteral("Dr. Maria Rossi") << QString();
    QTest::newRow("32-character sample code")
        << hostileExport(QStringLiteral("Lab"), QStringLiteral("Milk"), QStringLiteral("LOT_20261103_TANK04_MILK_RAW_A01"),
                         QStringLiteral("3.10"), QStringLiteral("meq O2/kg"))
        << QString() << QStringLiteral("LOT_20261103_TANK04_MILK_RAW_A01");
    QTest::newRow("110-character laboratory without spaces")
        << hostileExport(W.repeated(110), QStringLiteral("Milk"), QStringLiteral("S1"), QStringLiteral("0.95"),
                         QStringLiteral("g/L"))
        << QString() << W.repeated(110);
    QTest::newRow("widest letters in every field")
        << hostileExport(W.repeated(400), QStringLiteral("M").repeated(200), QStringLiteral("X").repeated(300),
                         QStringLiteral("%").repeated(12), QStringLiteral("@").repeated(16), QStringLiteral("N").repeated(100))
        << QStringLiteral("Q").repeated(50) << W.repeated(400);
    // Qt's PDF gives no text for characters beyond the first plane; a broken
    // one (half a surrogate pair) comes out as the replacement character.
    const QString astral = QStringLiteral("L") + QStringLiteral("\U0001D400\U0001D401\U0001D402").repeated(14);
    QTest::newRow("sample name of characters beyond the first plane")
        << hostileExport(QStringLiteral("Lab"), QStringLiteral("Milk"), astral, QStringLiteral("0.95"), QStringLiteral("g/L"))
        << QString() << QString();
    QTest::newRow("value and unit longer than a line")
        << hostileExport(QStringLiteral("Lab"), QStringLiteral("Milk"), QStringLiteral("S1"), QStringLiteral("9").repeated(120),
                         QStringLiteral("U").repeated(90))
        << QString() << QStringLiteral("9").repeated(120);
}

void TestPdfExport::everyWordInsideThePrintableWidth()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, signature);
    QFETCH(QString, mustPrint);
    QTemporaryDir dir;
    const QString pdf = reportOf(xml, dir, signature);
    QVERIFY(!pdf.isEmpty());

    const QVector<PdfTools::Word> words = PdfTools::words(pdf);
    QVERIFY(!words.isEmpty());
    QString printed;
    QSet<QString> firstPage;
    for (const PdfTools::Word &word : words) {
        QVERIFY2(word.left >= margin - 1 && word.right <= pageWidth - margin + 1,
                 qPrintable(QStringLiteral("page %1: \"%2\" from %3 to %4").arg(word.page).arg(word.text)
                                .arg(word.left).arg(word.right)));
        QVERIFY2(!word.text.contains(QChar::ReplacementCharacter), qPrintable(word.text));
        printed += word.text;
        if (word.page == 1)
            firstPage.insert(word.text);
    }
    // Every column is there, and nothing of the long texts is lost.
    for (const char *label : { "Analysis", "Date", "Sample", "Result" })
        QVERIFY2(firstPage.contains(QLatin1String(label)), label);
    for (const QChar c : QSet<QChar>(mustPrint.begin(), mustPrint.end()))
        QVERIFY2(printed.count(c) >= mustPrint.count(c), qPrintable(QString(c)));
}

// The words of one printed line, left to right.
static QStringList lineOf(const QVector<PdfTools::Word> &words, const PdfTools::Word &anchor)
{
    QVector<PdfTools::Word> line;
    for (const PdfTools::Word &word : words) {
        if (word.page == anchor.page && qAbs(word.bottom - anchor.bottom) < 1)
            line << word;
    }
    std::sort(line.begin(), line.end(), [](const auto &a, const auto &b) { return a.left < b.left; });
    QStringList texts;
    for (const PdfTools::Word &word : line)
        texts << word.text;
    return texts;
}

void TestPdfExport::resultLinesStayBesideTheirUnits()
{
    QTemporaryDir dir;
    const QString pdf = reportOf(sampleBytes("results.xml"), dir);
    const QVector<PdfTools::Word> words = PdfTools::words(pdf);
    QStringList lines;
    for (const PdfTools::Word &word : words) {
        if (word.text == QLatin1String("3.10") || word.text == QLatin1String("1.44") || word.text == QLatin1String("0.95")
            || word.text == QLatin1String("7.4"))
            lines << lineOf(words, word).join(QLatin1Char(' '));
    }
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.at(0).contains(QStringLiteral("3/11/2026 09:05 EVO-0413 > 0.95 * % oleic")), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).contains(QStringLiteral("3/11/2026 10:45 EVO-0412 7.4 meq O2/kg")), qPrintable(lines.at(1)));
    QVERIFY2(lines.at(2).contains(QStringLiteral("4/11/2026 08:00 VB-2026-08 3.10 @ g/L")), qPrintable(lines.at(2)));
    QVERIFY2(lines.at(3).endsWith(QStringLiteral("1.44 g/L")), qPrintable(lines.at(3)));
}

void TestPdfExport::incompletePdfIsRecognised()
{
    QTemporaryDir dir;
    QFile file(reportOf(sampleBytes("export.xml"), dir));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(PdfReport::isCompletePdf(pdf));
    QVERIFY(!PdfReport::isCompletePdf(QByteArray()));
    QVERIFY(!PdfReport::isCompletePdf(pdf.left(pdf.size() - 10)));
    QVERIFY(!PdfReport::isCompletePdf(pdf.left(pdf.size() / 2)));
    // A write lost in the middle: the end is whole but the objects moved.
    QByteArray holed = pdf;
    holed.remove(pdf.size() / 3, 4096);
    QVERIFY(!PdfReport::isCompletePdf(holed));
}

namespace {

// A device that takes the first bytes and then fails, like a disk that fills up.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity) : capacity(capacity) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 taken = qMin(size, capacity - written.size());
        if (taken <= 0)
            return -1;
        written.append(data, int(taken));
        return taken;
    }

private:
    qint64 capacity;
};

} // namespace

void TestPdfExport::failingDeviceIsReported()
{
    const auto file = readExportData(sampleBytes("export.xml"));
    QVERIFY(file);
    ReportInput input = reportInputFor(*file);
    for (const SampleRow &sample : file->rows)
        input.rows.append({ false, sample });
    input.rows.first().ticked = true;
    FailingDevice device(4096);
    QVERIFY(!PdfReport::write(&device, input));
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    QVERIFY(PdfReport::write(&whole, input));
    QVERIFY(PdfReport::isCompletePdf(whole.data()));
}

void TestPdfExport::fullTemporaryFolderIsReported()
{
    FullFolder full;
    if (!full.isValid())
        QSKIP("mounting a small file system needs root");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    ScriptedWindow w;
    w.acquire(samplePath("results.xml"));
    w.tick(0);
    w.platform.calls.clear();

    const QByteArray temporaryFolder = qgetenv("TMPDIR");
    qputenv("TMPDIR", full.path().toLocal8Bit());
    w.exportPdf(pdf);
    qputenv("TMPDIR", temporaryFolder);

    QCOMPARE(w.platform.calls, (QStringList{ "save", "warn" }));
    QCOMPARE(w.platform.warnings.last(), QStringLiteral("Error|The file %1 could not be written.").arg(pdf));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QCOMPARE(full.leftovers(), QStringList());
}

QTEST_MAIN(TestPdfExport)
#include "tst_pdfexport.moc"
