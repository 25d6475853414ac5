// One part's XML from the input, in an otherwise sound package stored
// without compression, so that every mutation reaches the part's reader:
// the first byte chooses the part (a worksheet, the shared strings, the
// styles, the workbook, a relationship part, the content types, a drawing,
// a chart, notes), the rest is its XML. Whatever loads must save and load
// again with the same sheets; every cell must be walked; the row reader must
// read the package too. A failed load must say why and change nothing.
#include "fuzzing.h"
#include "../packageentries.h"

#include "spreadsheet/spreadsheet.h"

#include <QBuffer>
#include <QImage>

using namespace Spreadsheet;
using namespace Fuzzing;

namespace {

// A workbook with something in every part the loader reads: texts rich and
// plain, formats, a formula, a link, a merge, a note, a picture, a chart, a
// table, protection and page setup.
QList<QPair<QString, QByteArray>> baseEntries()
{
    Document document;
    Format bold;
    bold.setFontBold(true);
    bold.setNumberFormatCode(QStringLiteral("0.000"));
    RichString rich;
    rich.appendRun(QStringLiteral("red "), bold);
    rich.appendRun(QStringLiteral("plain"));
    document.writeValue(1, 1, QStringLiteral("Sample"), bold);
    document.writeValue(1, 2, 4.81, bold);
    document.writeValue(2, 1, QVariant::fromValue(rich));
    document.writeValue(2, 2, QStringLiteral("=B1*2"));
    document.writeValue(3, 1, QDateTime(QDate(2024, 5, 17), QTime(8, 15)));
    document.writeValue(3, 2, QUrl(QStringLiteral("https://example.org/")));
    document.mergeCells(CellArea(4, 1, 4, 2));
    document.writeNote(1, 1, QStringLiteral("a note"), QStringLiteral("Maria"));
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    document.insertImage(5, 1, image);
    Chart *chart = document.insertChart(5, 3, QSize(200, 100));
    ChartSeries series;
    series.values = ChartSeries::reference(QStringLiteral("Sheet1"), CellArea(1, 2, 3, 2));
    chart->addSeries(series);
    document.writeValue(10, 1, QStringLiteral("Name"));
    document.writeValue(11, 2, 3);
    SheetTable table;
    table.totalsRow = true;
    table.columns = { TableColumn(), TableColumn() };
    table.columns[0].totalsLabel = QStringLiteral("Total");
    table.columns[1].totalsFunction = TableColumn::Sum;
    table.columns[1].formula = QStringLiteral("[@Column1]&\"x\"");
    document.activeWorksheet()->addTable(CellArea(10, 1, 13, 2), table);
    PageSetup page;
    page.fitToPages = true;
    page.header.center = QStringLiteral("&B&P of &N");
    page.rowBreaks << 12;
    document.activeWorksheet()->setPageSetup(page);
    document.activeWorksheet()->protect(QStringLiteral("lab"));
    document.workbook()->protectStructure();
    document.addSheet(QStringLiteral("Second"));
    document.selectSheet(QStringLiteral("Sheet1"));
    return PackageEntries::entriesOf(saved(document));
}

const char *const fuzzedParts[] = {
    "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml",
    "xl/_rels/workbook.xml.rels", "xl/worksheets/_rels/sheet1.xml.rels", "[Content_Types].xml", "_rels/.rels",
    "xl/drawings/drawing1.xml", "xl/charts/chart1.xml", "xl/comments1.xml", "xl/theme/theme1.xml",
    "docProps/core.xml", "docProps/app.xml", "xl/drawings/vmlDrawing1.vml", "xl/worksheets/sheet2.xml",
    // The same again, so that the seeds keep choosing the parts they chose
    // when there were sixteen, and one more: the table.
    "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml", "xl/workbook.xml",
    "xl/_rels/workbook.xml.rels", "xl/worksheets/_rels/sheet1.xml.rels", "[Content_Types].xml", "_rels/.rels",
    "xl/drawings/drawing1.xml", "xl/charts/chart1.xml", "xl/comments1.xml", "xl/theme/theme1.xml",
    "docProps/core.xml", "docProps/app.xml", "xl/drawings/vmlDrawing1.vml", "xl/tables/table1.xml",
};

void readEveryRow(const QByteArray &package)
{
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    SheetReader reader;
    reader.setReadLimits(limits());
    if (!reader.open(&buffer)) {
        check(!reader.errorString().isEmpty());
        return;
    }
    while (reader.readRow())
        check(reader.rowNumber() >= 1 && reader.values().size() <= 16384);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QList<QPair<QString, QByteArray>> base = baseEntries();
    if (size < 1)
        return 0;
    const QString part = QString::fromLatin1(fuzzedParts[data[0] % (sizeof fuzzedParts / sizeof *fuzzedParts)]);
    QList<QPair<QString, QByteArray>> entries = base;
    for (auto &entry : entries) {
        if (entry.first == part)
            entry.second = QByteArray(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    }
    const QByteArray package = PackageEntries::storedPackageOf(entries);

    Document document;
    document.writeValue(1, 1, QStringLiteral("before"));
    document.setReadLimits(limits());
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    if (!document.load(&buffer)) {
        check(!document.errorString().isEmpty());
        check(document.readValue(1, 1).toString() == QLatin1String("before"));
        readEveryRow(package);
        return 0;
    }
    const QStringList names = document.sheetNames();
    for (const QString &name : names) {
        document.selectSheet(name);
        int previousRow = 0;
        int previousColumn = 0;
        document.forEachCell([&](int row, int column, const SheetCell &) {
            check(row > previousRow || (row == previousRow && column > previousColumn));
            previousRow = row;
            previousColumn = column;
        });
    }
    checkSavesAndLoadsAgain(document);
    checkEditsSaveAndLoadAgain(document);
    readEveryRow(package);
    return 0;
}
