#include "app/translation.h"
#include "export/excelexport.h"
#include "exportxml.h"
#include "scriptedwindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <private/qzipreader_p.h>

namespace {

QByteArray entry(const QString &package, const QString &name)
{
    QFile file(package);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QZipReader(&file).fileData(name);
}

TableRow tableRow(bool ticked, const QString &analysis, const QString &sample, const QString &results,
                  const QString &units, const QString &ks, const QString &qs, const QString &notes)
{
    TableRow row;
    row.ticked = ticked;
    row.values.timestamp = QDateTime(QDate(2018, 3, 5), QTime(9, 7));
    row.values.matrix = QStringLiteral("Milk");
    row.values.analysis = analysis;
    row.values.sampleName = sample;
    row.values.resultLines = results;
    row.values.umLines = units;
    row.values.kLines = ks;
    row.values.qLines = qs;
    row.values.noteLines = notes;
    return row;
}

QString cells(int row, const QList<int> &indexes)
{
    QString xml = QStringLiteral("<row r=\"%1\" spans=\"1:10\">").arg(row);
    for (int column = 0; column < indexes.size(); ++column) {
        xml += QStringLiteral("<c r=\"%1%2\"%3 t=\"s\"><v>%4</v></c>")
                   .arg(QChar('A' + column)).arg(row).arg(row == 1 ? QStringLiteral(" s=\"1\"") : QString())
                   .arg(indexes.at(column));
    }
    return xml + QStringLiteral("</row>");
}


} // namespace

class TestExcelExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void sheetAndSharedStringsOfASmallExport();
    void shortColumnsGiveEmptyTexts();
    void nothingTickedWarnsWithoutDialog();
    void cancelledDialogWritesNothing();
    void unwritableTargetIsReported();
    void sampleExportForTheReader();
    void italianHeaderTexts();
    void moreLinesThanASheetHoldsWritesNothing();
};

void TestExcelExport::sheetAndSharedStringsOfASmallExport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("small.xlsx"));
    const QVector<TableRow> rows = {
        tableRow(true, QStringLiteral("Lactose"), QStringLiteral("S1"), QStringLiteral("1.0\r\n2.0\r\n3.0"),
                 QStringLiteral("g\r\ng\r\ng"), QStringLiteral("k1\r\nk2\r\nk3"), QStringLiteral("q1\r\nq2\r\nq3"),
                 QStringLiteral("\r\nvalue out of range\r\n")),
        tableRow(false, QStringLiteral("Skipped"), QStringLiteral("S2"), QStringLiteral("9"), QString(), QString(),
                 QString(), QString()),
        tableRow(true, QStringLiteral("Result"), QStringLiteral("=1+1"), QString(), QString(), QString(), QString(),
                 QStringLiteral("mailto:x")),
    };
    QVERIFY(ExcelExport::write(path, rows));

    const QString sheetData = QStringLiteral("<sheetData>") + cells(1, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 })
        + cells(2, { 10, 11, 12, 13, 14, 15, 16, 17, 18, 18 }) + cells(3, { 10, 11, 12, 13, 19, 15, 20, 21, 18, 22 })
        + cells(4, { 10, 11, 12, 13, 23, 15, 24, 25, 18, 18 }) + cells(5, { 10, 4, 12, 26, 18, 18, 18, 18, 18, 27 })
        + QStringLiteral("</sheetData>");
    const QString sheet = QString::fromUtf8(entry(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(sheet, QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<dimension ref=\"A1:J5\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/>") + sheetData + QStringLiteral("</worksheet>\n"));

    QStringList texts = { "Matrix", "Analysis", "Date", "Sample", "Result", "UM", "K", "Q", "Operator", "Note",
                          "Milk", "Lactose", "5/3/2018 09:07", "S1", "1.0", "g", "k1", "q1", "", "2.0", "k2", "q2",
                          "value out of range", "3.0", "k3", "q3", "=1+1", "mailto:x" };
    QString entries;
    for (const QString &text : texts)
        entries += QStringLiteral("<si><t>%1</t></si>").arg(text);
    QCOMPARE(QString::fromUtf8(entry(path, QStringLiteral("xl/sharedStrings.xml"))),
             QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                            "count=\"50\" uniqueCount=\"28\">") + entries + QStringLiteral("</sst>\n"));

    const QByteArray styles = entry(path, QStringLiteral("xl/styles.xml"));
    QVERIFY(styles.contains("<fonts count=\"2\"><font><name val=\"Calibri\"/></font><font><b/><name val=\"Calibri\"/></font></fonts>"));
    QVERIFY(styles.contains("<cellXfs count=\"2\">"));
    QVERIFY(entry(path, QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels")).isEmpty());
}

void TestExcelExport::shortColumnsGiveEmptyTexts()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.xlsx"));
    QVERIFY(ExcelExport::write(path, { tableRow(true, QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("1\r\n2\r\n3"),
                                                QStringLiteral("g"), QString(), QStringLiteral("q1\r\nq2"), QString()) }));
    const QString sheet = QString::fromUtf8(entry(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QVERIFY(sheet.contains(QStringLiteral("<dimension ref=\"A1:J4\"/>")));
    // Line 3: "3", then the empty text for the unit, K and Q it lacks.
    QVERIFY(sheet.contains(cells(4, { 10, 11, 12, 13, 20, 16, 16, 16, 16, 16 })));
}

void TestExcelExport::nothingTickedWarnsWithoutDialog()
{
    ScriptedWindow w;
    w.exportExcel(QStringLiteral("/tmp/never.xlsx"));
    QCOMPARE(w.platform.calls, QStringList{ "warn" });
    QCOMPARE(w.platform.warnings, QStringList{ "Error|To proceed, you should select at least one result." });
    w.acquire(ExportXml::samplePath("export.xml"));
    w.platform.calls.clear();
    w.exportExcel(QStringLiteral("/tmp/never.xlsx"));
    QCOMPARE(w.platform.calls, QStringList{ "warn" });
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/never.xlsx")));
}

void TestExcelExport::cancelledDialogWritesNothing()
{
    ScriptedWindow w;
    w.acquire(ExportXml::samplePath("export.xml"));
    w.tick(0);
    w.platform.calls.clear();
    w.exportExcel(QString());
    QCOMPARE(w.platform.calls, QStringList{ "save" });
    QCOMPARE(w.platform.lastCaption, QStringLiteral("Save File"));
    QCOMPARE(w.platform.lastDir, QStringLiteral("results.xlsx"));
    QCOMPARE(w.platform.lastFilter, QStringLiteral("File Excel (*.xlsx)"));
}

void TestExcelExport::unwritableTargetIsReported()
{
    ScriptedWindow w;
    w.acquire(ExportXml::samplePath("export.xml"));
    w.tick(0);
    w.platform.calls.clear();
    const QString target = QStringLiteral("/nonexistent-folder/results.xlsx");
    w.exportExcel(target);
    QCOMPARE(w.platform.calls, (QStringList{ "save", "warn" }));
    QCOMPARE(w.platform.warnings.last(), QStringLiteral("Error|The file %1 could not be written.").arg(target));
    QVERIFY(w.platform.openedFiles.isEmpty());
    QCOMPARE(w.platform.warningsOverBusyCursor, 0);
}

void TestExcelExport::sampleExportForTheReader()
{
    const QString folder = qEnvironmentVariable("DATARIUM_PACKAGE_DIR");
    if (folder.isEmpty())
        QSKIP("DATARIUM_PACKAGE_DIR is not set");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/sample-export.xlsx");
    ScriptedWindow w;
    w.acquire(ExportXml::samplePath("results.xml"));
    w.table()->sortItems(4, Qt::AscendingOrder);
    w.tick(0);
    w.tick(5);
    w.tick(6);
    w.exportExcel(path);
    QCOMPARE(w.platform.openedFiles, QStringList{ path });
}

void TestExcelExport::italianHeaderTexts()
{
    QTranslator translator;
    QVERIFY(loadTranslation(translator, QLocale(QLocale::Italian, QLocale::Italy)));
    QCoreApplication::installTranslator(&translator);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("italian.xlsx"));
    const bool written = ExcelExport::write(path, { tableRow(true, QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("1"),
                                                             QStringLiteral("g"), QString(), QString(), QString()) });
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(written);
    QString headers;
    for (const char *text : { "Matrice", "Analisi", "Data", "Campione", "Risultato", "UM", "K", "Q", "Operatore", "Nota" })
        headers += QStringLiteral("<si><t>%1</t></si>").arg(QLatin1String(text));
    QVERIFY(QString::fromUtf8(entry(path, QStringLiteral("xl/sharedStrings.xml"))).contains(headers));
}

void TestExcelExport::moreLinesThanASheetHoldsWritesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.xlsx"));
    QVERIFY(ExportXml::write(path, "kept"));
    // 2 x 524,287 + 1 result lines and the header fill the sheet's 1,048,576
    // rows; one line more does not fit.
    const QString lines = QStringLiteral("1\r\n").repeated(524286) + QStringLiteral("1");
    const TableRow half = tableRow(true, QStringLiteral("A"), QStringLiteral("S"), lines, QString(), QString(), QString(),
                                   QString());
    const TableRow one = tableRow(true, QStringLiteral("A"), QStringLiteral("T"), QStringLiteral("1"), QString(),
                                  QString(), QString(), QString());
    QVERIFY(!ExcelExport::write(path, { half, half, one, one }));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{ "huge.xlsx" });
}

QTEST_MAIN(TestExcelExport)
#include "tst_excelexport.moc"
