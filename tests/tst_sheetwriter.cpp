// A sheet written row by row: the package it saves against Document's for
// the same cells, texts in the cells as other programs read them, and
// callers that do things in an order the writer does not expect.
#include "hosttools.h"
#include "packageentries.h"

#include "spreadsheet/document.h"
#include "spreadsheet/sheetreader.h"
#include "spreadsheet/sheettable.h"
#include "spreadsheet/sheetwriter.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Spreadsheet;

namespace {

// More cells than the writer holds before it writes rows out, so that every
// sheet below has rows written out and rows still held when it is saved.
constexpr int rowCount = 20000;
constexpr int columnCount = 9;

RichString richText()
{
    Format red;
    red.setFontColor(Qt::red);
    red.setFontBold(true);
    RichString text;
    text.appendRun(QStringLiteral("pH "));
    text.appendRun(QStringLiteral("high"), red);
    return text;
}

// A row of every kind of value; some rows are left out, so that rows go
// out in blocks that have gaps.
bool isLeftOut(int row)
{
    return row % 1000 >= 500 && row % 1000 < 517;
}

QVector<QVariant> rowValues(int row)
{
    QVector<QVariant> values(columnCount);
    values[0] = QStringLiteral("Sample %1").arg(row % 37);
    values[1] = row * 0.125;
    values[2] = QDate(2026, 1, 1).addDays(row % 400);
    values[3] = row % 2 == 0;
    values[4] = QStringLiteral("=B%1*2").arg(row);
    if (row % 50 == 0)
        values[5] = QVariant::fromValue(richText());
    else if (row % 7 == 0)
        values[5] = QStringLiteral("  <spaced> & \"quoted\"  ");
    if (row % 300 == 0)
        values[6] = QUrl(QStringLiteral("https://example.org/sample/%1").arg(row));
    values[8] = -row;   // column H stays empty: no value and no format
    return values;
}

QVector<Format> rowFormats(int row)
{
    QVector<Format> formats(columnCount);
    if (row % 5 == 0) {
        formats[1].setNumberFormatCode(QStringLiteral("0.000"));
        formats[8].setFontItalic(true);
    }
    if (row % 11 == 0)
        formats[7].setPatternBackgroundColor(Qt::yellow);   // a blank cell with a format
    return formats;
}

// The sheet's settings, given through either API before and after its rows.
void setUpSheet(Worksheet *sheet)
{
    sheet->setColumnWidth(1, 1, 18);
    sheet->setRowHeight(rowCount + 2, rowCount + 2, 30);
    sheet->mergeCells(CellArea(QStringLiteral("A2:B2")));
}

QByteArray saved(Document &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return document.saveToDevice(&buffer) ? bytes : QByteArray();
}

// Every entry but the one that holds the time of the save.
QList<QPair<QString, QByteArray>> comparableEntries(const QByteArray &package)
{
    QList<QPair<QString, QByteArray>> entries = PackageEntries::entriesOf(package);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const auto &entry) { return entry.first == QLatin1String("docProps/core.xml"); }),
                  entries.end());
    return entries;
}

void compareParts(const QByteArray &streamed, const QByteArray &whole)
{
    const auto mine = comparableEntries(streamed);
    const auto theirs = comparableEntries(whole);
    QVERIFY(!theirs.isEmpty());
    QCOMPARE(mine.size(), theirs.size());
    for (int i = 0; i < mine.size(); ++i) {
        QCOMPARE(mine.at(i).first, theirs.at(i).first);
        QVERIFY2(mine.at(i).second == theirs.at(i).second, qPrintable(mine.at(i).first + QStringLiteral(" differs")));
    }
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestSheetWriter : public QObject
{
    Q_OBJECT

private slots:
    void savesWhatDocumentSaves();
    void inlineTextsReadInOtherPrograms();
    void oddCallsKeepTheSheetWhole();
};

// The same cells through Document and through SheetWriter give the same
// parts, byte for byte: saved while rows are still being written, and again
// after more rows.
void TestSheetWriter::savesWhatDocumentSaves()
{
    Document whole;
    Worksheet *wholeSheet = whole.activeWorksheet();
    wholeSheet->writeValue(1, 1, QStringLiteral("on the first sheet"));
    whole.addSheet(QStringLiteral("Readings"));
    Worksheet *readings = whole.activeWorksheet();
    setUpSheet(readings);

    Document streamed;
    streamed.activeWorksheet()->writeValue(1, 1, QStringLiteral("on the first sheet"));
    SheetWriter writer(streamed, QStringLiteral("Readings"));
    QVERIFY2(!writer.hasError(), qPrintable(writer.errorString()));
    setUpSheet(writer.worksheet());

    auto writeRows = [&](int first, int last) {
        for (int row = first; row <= last; ++row) {
            if (isLeftOut(row))
                continue;
            const QVector<QVariant> values = rowValues(row);
            const QVector<Format> formats = rowFormats(row);
            for (int column = 0; column < columnCount; ++column) {
                if (values.at(column).isValid() || formats.at(column).isValid())
                    readings->writeValue(row, column + 1, values.at(column), formats.at(column));
            }
            QVERIFY2(writer.writeRow(row, values, formats), qPrintable(writer.errorString()));
        }
    };
    writeRows(1, rowCount / 2);
    compareParts(saved(streamed), saved(whole));
    writeRows(rowCount / 2 + 1, rowCount);
    const QByteArray package = saved(streamed);
    compareParts(package, saved(whole));

    // Several pieces deflated apart and the rows spliced between the XML
    // around them: one sound stream, as unzip checks it.
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("streamed.xlsx"));
    QVERIFY(writeFile(fileName, package));
    if (!HostTools::available())
        return;
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-t"), fileName });
    QVERIFY(unzip.waitForFinished(60000));
    QVERIFY2(unzip.exitCode() == 0, unzip.readAllStandardOutput().constData());
}

// Texts in the cells (plain, with spaces kept, with markup characters,
// rich) read the same in SheetReader, openpyxl and LibreOffice, in the rows
// written out and in those still held at the save.
void TestSheetWriter::inlineTextsReadInOtherPrograms()
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("inline.xlsx"));
    {
        // The workbook's shared strings number other texts: the sheet's
        // numbers must not be taken for theirs, in the save or in a formula.
        Document document;
        document.activeWorksheet()->writeValue(1, 1, QStringLiteral("on the first sheet"));
        SheetWriter writer(document, QStringLiteral("Texts"), SheetWriter::InlineTexts);
        Worksheet *texts = writer.worksheet();
        texts->writeValue(rowCount + 5, 1, QStringLiteral("Held below"));   // stays held while rows go out
        for (int row = 1; row <= rowCount; ++row)
            QVERIFY2(writer.writeRow(rowValues(row), rowFormats(row)), qPrintable(writer.errorString()));
        texts->writeValue(rowCount, 10, QStringLiteral("=A%1&\"!\"").arg(rowCount));
        QVERIFY(document.workbook()->calculate());
        QCOMPARE(texts->readValue(rowCount, 10).toString(), QStringLiteral("Sample 20!"));
        QCOMPARE(texts->readValue(rowCount + 5, 1).toString(), QStringLiteral("Held below"));
        QVERIFY(document.saveToFile(fileName));
    }
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray package = file.readAll();
    QVERIFY(PackageEntries::entryOf(package, QStringLiteral("xl/worksheets/sheet2.xml")).contains("t=\"inlineStr\""));
    QVERIFY(!PackageEntries::entryOf(package, QStringLiteral("xl/sharedStrings.xml")).contains("Sample"));

    SheetReader reader;
    QVERIFY(reader.open(fileName, QStringLiteral("Texts")));
    int rows = 0;
    while (reader.readRow()) {
        const int row = reader.rowNumber();
        const QVector<QVariant> values = reader.values();
        if (row == rowCount + 5) {
            QCOMPARE(values.value(0).toString(), QStringLiteral("Held below"));
            continue;
        }
        QCOMPARE(values.value(0).toString(), QStringLiteral("Sample %1").arg(row % 37));
        const QString expected = row % 50 == 0 ? QStringLiteral("pH high")
            : row % 7 == 0                    ? QStringLiteral("  <spaced> & \"quoted\"  ")
                                              : QString();
        QCOMPARE(values.value(5).toString(), expected);
        ++rows;
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(rows, rowCount);
    QCOMPARE(reader.rowNumber(), rowCount + 5);

    if (!HostTools::available())
        QSKIP("openpyxl and LibreOffice read the file");
    const QByteArray read = HostTools::runPythonCode(
        "import sys, openpyxl\n"
        "sheet = openpyxl.load_workbook(sys.argv[1])['Texts']\n"
        "print(sheet.max_row, repr(sheet['A8999'].value), repr(sheet['F7'].value), repr(sheet['F8981'].value))\n"
        "print(repr(sheet['F50'].value), sheet['E4'].value)\n",
        fileName);
    QCOMPARE(QString::fromUtf8(read),
             QStringLiteral("20005 'Sample 8' '  <spaced> & \"quoted\"  ' '  <spaced> & \"quoted\"  '\n"
                            "'pH high' =B4*2"));

    const QString csv = folder.filePath(QStringLiteral("texts.csv"));
    const QString problem = HostTools::runLibreOffice(
        QJsonArray{ QJsonObject{ { QStringLiteral("csv"), HostTools::path(fileName) },
                                 { QStringLiteral("sheet"), QStringLiteral("Texts") },
                                 { QStringLiteral("output"), HostTools::path(csv) } } },
        folder.path());
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QFile text(csv);
    QVERIFY(text.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = text.readAll().split('\n');
    // The text, number and date columns (no field holds a comma).
    auto fields = [&](int row) {
        const QList<QByteArray> all = lines.value(row - 1).split(',');
        return QList<QByteArray>{ all.value(0), all.value(1), all.value(2), all.value(5), all.value(8) };
    };
    QCOMPARE(fields(7), (QList<QByteArray>{ "Sample 7", "0.875", "2026-01-08", "\"  <spaced> & \"\"quoted\"\"  \"", "-7" }));
    QCOMPARE(fields(50), (QList<QByteArray>{ "Sample 13", "6.250", "2026-02-20", "pH high", "-50" }));
    QCOMPARE(fields(8999), (QList<QByteArray>{ "Sample 8", "1124.875", "2026-07-19", "", "-8999" }));
}

// What a caller may do while the rows are written, and what is refused
// because the rows written out could not follow it.
void TestSheetWriter::oddCallsKeepTheSheetWhole()
{
    Document document;
    document.activeWorksheet()->writeValue(1, 1, QStringLiteral("Only here"));
    QVERIFY(SheetWriter(document, QStringLiteral("SHEET1")).hasError());   // names do not tell case apart

    auto writer = std::make_unique<SheetWriter>(document, QStringLiteral("Log"));
    for (int row = 1; row <= rowCount; ++row)
        QVERIFY(writer->writeRow(rowValues(row)));
    Worksheet *log = writer->worksheet();
    QVERIFY(!writer->writeRow(rowCount, { 1 }));                   // rows come in order
    QVERIFY(!writer->writeRow({ QVariant::fromValue(QSize(1, 1)) }));   // a value of no cell's type
    QVERIFY(writer->writeRow(rowValues(rowCount + 2)));
    QVERIFY(writer->hasError());                                   // the failure is still told
    QVERIFY2(writer->errorString().startsWith(QStringLiteral("row 20000 does not come")), qPrintable(writer->errorString()));
    QCOMPARE(writer->rowNumber(), rowCount + 2);
    QVERIFY(!log->writeValue(2, 1, 5));                            // written out: fixed
    QVERIFY(!log->setRowHeight(3, 3, 40));
    QVERIFY(!log->insertRows(rowCount + 5, 1));
    QVERIFY(!log->mergeCells(CellArea(QStringLiteral("A3:B3")), rowFormats(5).at(1)));
    QVERIFY(!log->addTable(CellArea(QStringLiteral("A1:B4")), SheetTable()));
    QVERIFY(!log->fromXmlBytes("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                               "<sheetData><row r=\"2\"><c r=\"B2\"><v>4</v></c></row></sheetData></worksheet>"));
    QVERIFY(!document.workbook()->copySheet(1));
    QVERIFY(log->writeValue(rowCount, 3, 7));                      // still held: open to change
    // The formulas written out name cells of their sheet: no sheet may be
    // renamed or lose rows under them.
    QVERIFY(!document.workbook()->renameSheet(1, QStringLiteral("Journal")));
    QVERIFY(!static_cast<Worksheet *>(document.workbook()->sheet(0))->insertRows(1, 1));

    // A formula that reads rows written out keeps its value.
    Worksheet *first = static_cast<Worksheet *>(document.workbook()->sheet(0));
    first->writeValue(2, 1, QStringLiteral("=SUM(Log!B1:B3)+1"));
    first->writeValue(3, 1, QStringLiteral("=A1&\"!\""));
    QVERIFY(document.workbook()->calculate());
    QCOMPARE(first->uncalculatedCells(), QList<CellAddress>{ CellAddress(2, 1) });
    QCOMPARE(first->readValue(3, 1).toString(), QStringLiteral("Only here!"));

    // The first sheet's text leaves the shared strings; the texts written
    // out keep their places in them.
    QVERIFY(first->writeValue(1, 1, 42));
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("log.xlsx"));
    QVERIFY(document.saveToFile(fileName));
    SheetReader reader;
    QVERIFY(reader.open(fileName, QStringLiteral("Log")));
    int rows = 0;
    while (reader.readRow()) {
        QCOMPARE(reader.values().value(0).toString(), QStringLiteral("Sample %1").arg(reader.rowNumber() % 37));
        ++rows;
    }
    QCOMPARE(rows, rowCount + 1);

    // The sheet leaves the document, then the document goes: the writer
    // says so and nothing breaks.
    QVERIFY(document.workbook()->deleteSheet(1));
    QVERIFY(!writer->writeRow({ 1 }));
    QVERIFY(writer->worksheet() == nullptr);
    auto other = std::make_unique<Document>();
    SheetWriter orphan(*other, QStringLiteral("Gone"));
    other.reset();
    QVERIFY(!orphan.writeRow({ 1 }));

    // No folder for the temporary file: a clear error, no sheet. (Linux
    // names it in TMPDIR, Windows in TMP or TEMP.)
    const QByteArrayList variables = { "TMPDIR", "TMP", "TEMP" };
    QByteArrayList previous;
    for (const QByteArray &variable : variables) {
        previous << qgetenv(variable.constData());
        qputenv(variable.constData(), QFile::encodeName(folder.filePath(QStringLiteral("missing/folder"))));
    }
    Document nowhere;
    SheetWriter failing(nowhere, QStringLiteral("Data"));
    for (int i = 0; i < variables.size(); ++i) {
        if (previous.at(i).isEmpty())
            qunsetenv(variables.at(i).constData());
        else
            qputenv(variables.at(i).constData(), previous.at(i));
    }
    QVERIFY(failing.hasError());
    QVERIFY2(failing.errorString().contains(QStringLiteral("temporary file")), qPrintable(failing.errorString()));
    QCOMPARE(nowhere.workbook()->sheetCount(), 0);
}

QTEST_MAIN(TestSheetWriter)
#include "tst_sheetwriter.moc"
