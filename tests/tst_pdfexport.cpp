#include "app/translation.h"
#include "exportxml.h"
#include "scriptedwindow.h"

#include <QCheckBox>
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

// Runs a poppler tool and returns what it printed.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(run(QStringLiteral("pdfinfo"), { pdf }));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString pageText(const QString &pdf, int page)
{
    return run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                                              QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-") });
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
    QVERIFY(run(QStringLiteral("pdfinfo"), { pdf }).contains(QStringLiteral("A4")));
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

QTEST_MAIN(TestPdfExport)
#include "tst_pdfexport.moc"
