// Reads back a workbook of N rows of ten cells, five texts and five numbers
// as the Excel export's workbook holds them: once row by row with
// SheetReader (cells per second), once whole with Document::load (time and
// peak memory, in a process of its own so that writing the file does not
// count). Prints the figures and their ratios to the goals for 100,000 rows.
// Then loads files of the shapes that a reader searching inside a loop
// takes a time growing with their square for, at n and 4n elements: the
// ratio of the two times should stay near 4, and under 6.
//   bench_read [ROWS]
//   bench_read --load FILE   (the second process)
//   bench_read --load-warm FILE   (the same after a first load)
#include "benchutil.h"

#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/zipreader_p.h"
#include "spreadsheet/zipwriter_p.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

using namespace Spreadsheet;

namespace {

// The goals on the project's machine class.
constexpr double goalCellsPerSecond = 2e6;
constexpr double goalLoadMilliseconds = 1000;
constexpr double goalLoadMiB = 100;

void writeWorkbook(const QString &path, int rows)
{
    Document document;
    Worksheet *sheet = document.activeWorksheet();
    const QString units[] = { QStringLiteral("g/L"), QStringLiteral("mg/L"), QStringLiteral("%"),
                              QStringLiteral("g/100 g"), QStringLiteral("pH") };
    for (int i = 1; i <= rows; ++i) {
        sheet->writeText(i, 1, QStringLiteral("Matrix %1").arg(i % 5));
        sheet->writeText(i, 2, QStringLiteral("Analysis %1").arg(i % 20));
        sheet->writeText(i, 3, QStringLiteral("Sample %1").arg(i / 3));
        sheet->writeText(i, 4, units[i % 5]);
        sheet->writeText(i, 5, i % 7 ? QString() : QStringLiteral("value out of range"));
        sheet->writeNumber(i, 6, (i * 7919 % 100000) / 100.0);
        sheet->writeNumber(i, 7, (i * 31 % 1000) / 1000.0 + 1);
        sheet->writeNumber(i, 8, (i * 17 % 1000) / 1000.0);
        sheet->writeNumber(i, 9, i);
        sheet->writeNumber(i, 10, 44000 + i / 100.0);
    }
    document.saveToFile(path);
}

// The second process: loads the file and prints its time and peak memory;
// with warm, after a first load, so that the memory it takes is the
// process's already (in a virtual machine, first touching a page costs a
// varying time that would hide how the load's own time grows).
int loadOnly(const QString &path, bool warm)
{
    const double before = Bench::peakMemoryMiB();
    ReadLimits limits;
    limits.maxEntries = 1 << 20;   // the shapes of many parts
    if (warm) {
        Document first;
        first.setReadLimits(limits);
        first.load(path);
    }
    QElapsedTimer timer;
    timer.start();
    Document document;
    document.setReadLimits(limits);
    const bool loaded = document.load(path);
    const double milliseconds = Bench::lap(timer);
    QTextStream(stdout) << (loaded ? milliseconds : -1) << ' ' << Bench::peakMemoryMiB() << ' ' << before << '\n';
    return loaded ? 0 : 1;
}

// --- shapes that grow with the square when read naively

using Entries = QList<QPair<QString, QByteArray>>;

Entries baseEntries()
{
    Document document;
    document.writeValue(1, 1, QStringLiteral("Sample"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.saveToDevice(&buffer);
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    ZipReader zip(&buffer, ReadLimits());
    Entries entries;
    zip.open();
    for (const QString &name : zip.entryNames()) {
        QByteArray bytes;
        zip.read(name, bytes);
        entries.append({ name, bytes });
    }
    return entries;
}

QByteArray packageOf(const Entries &entries)
{
    QByteArray package;
    QBuffer buffer(&package);
    buffer.open(QIODevice::WriteOnly);
    ZipWriter zip(&buffer);
    for (const auto &[name, bytes] : entries)
        zip.addFile(name, bytes);
    zip.close();
    return package;
}

void setEntry(Entries &entries, const QString &name, const QByteArray &bytes)
{
    for (auto &entry : entries) {
        if (entry.first == name) {
            entry.second = bytes;
            return;
        }
    }
    entries.append({ name, bytes });
}

const QByteArray sheetStart = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                              "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

QByteArray withSheet(const QByteArray &rootAttributes, const QByteArray &body)
{
    Entries entries = baseEntries();
    setEntry(entries, QStringLiteral("xl/worksheets/sheet1.xml"), sheetStart + rootAttributes + '>' + body + "</worksheet>");
    return packageOf(entries);
}

QByteArray number(int n)
{
    return QByteArray::number(n);
}

QByteArray links(int n)
{
    QByteArray cells;
    QByteArray hyperlinks;
    QByteArray relationships = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (int i = 1; i <= n; ++i) {
        cells += "<row r=\"" + number(i) + "\"><c r=\"A" + number(i) + "\"><v>" + number(i) + "</v></c></row>";
        hyperlinks += "<hyperlink ref=\"A" + number(i) + "\" r:id=\"rId" + number(i) + "\"/>";
        relationships += "<Relationship Id=\"rId" + number(i) + "\" Type=\"http://schemas.openxmlformats.org/"
                         "officeDocument/2006/relationships/hyperlink\" Target=\"https://example.org/" + number(i)
            + "\" TargetMode=\"External\"/>";
    }
    Entries entries = baseEntries();
    setEntry(entries, QStringLiteral("xl/worksheets/sheet1.xml"),
             sheetStart + "><sheetData>" + cells + "</sheetData><hyperlinks>" + hyperlinks + "</hyperlinks></worksheet>");
    setEntry(entries, QStringLiteral("xl/worksheets/_rels/sheet1.xml.rels"), relationships + "</Relationships>");
    return packageOf(entries);
}

QByteArray keptElementsOutOfOrder(int n)
{
    return withSheet(QByteArray(), "<sheetData/>" + QByteArray("<extLst><ext uri=\"x\"/></extLst>").repeated(n)
                                       + QByteArray("<customSheetViews/>").repeated(n));
}

QByteArray rowAttributes(int n)
{
    QByteArray rows;
    for (int i = 1; i <= n; ++i)
        rows += "<row r=\"" + number(i) + "\" x14ac:dyDescent=\"0." + number(i) + "\"/>";
    return withSheet(" xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\"",
                     "<sheetData>" + rows + "</sheetData>");
}

QByteArray errorTexts(int n)
{
    QByteArray rows;
    for (int i = 1; i <= n; ++i)
        rows += "<row r=\"" + number(i) + "\"><c r=\"A" + number(i) + "\" t=\"e\"><v>#N/A" + number(i) + "</v></c></row>";
    return withSheet(QByteArray(), "<sheetData>" + rows + "</sheetData>");
}

QByteArray attributesOfOneTag(int n)
{
    QByteArray attributes;
    for (int i = 1; i <= n; ++i)
        attributes += " a" + number(i) + "=\"" + number(i) + '"';
    return withSheet(QByteArray(), "<sheetPr" + attributes + "/><sheetData/>");
}

QByteArray declarationsOfOneTag(int n)
{
    QByteArray attributes;
    for (int i = 1; i <= n; ++i)
        attributes += " xmlns:p" + number(i) + "=\"urn:p" + number(i) + "\" p" + number(i) + ":a=\"1\"";
    return withSheet(attributes, "<sheetData/>");
}

QByteArray contentTypeOverrides(int n)
{
    Entries entries = baseEntries();
    QByteArray overrides;
    for (int i = 1; i <= n; ++i) {
        entries.append({ QStringLiteral("customXml/item%1.xml").arg(i), "<item/>" });
        overrides += "<Override PartName=\"/customXml/item" + number(i) + ".xml\" ContentType=\"application/x-item+xml\"/>";
    }
    for (auto &entry : entries) {
        if (entry.first == QLatin1String("[Content_Types].xml"))
            entry.second.replace("</Types>", overrides + "</Types>");
    }
    return packageOf(entries);
}

QByteArray sheetNames(int n)
{
    Entries entries = baseEntries();
    QByteArray sheets;
    QByteArray relationships = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    QByteArray overrides;
    for (int i = 1; i <= n; ++i) {
        sheets += "<sheet name=\"Sheet " + number(i) + "\" sheetId=\"" + number(i) + "\" r:id=\"rId" + number(i) + "\"/>";
        relationships += "<Relationship Id=\"rId" + number(i) + "\" Type=\"http://schemas.openxmlformats.org/"
                         "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet" + number(i) + ".xml\"/>";
        setEntry(entries, QStringLiteral("xl/worksheets/sheet%1.xml").arg(i), sheetStart + "><sheetData/></worksheet>");
    }
    setEntry(entries, QStringLiteral("xl/workbook.xml"),
             "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"http://schemas."
             "openxmlformats.org/officeDocument/2006/relationships\"><sheets>" + sheets + "</sheets></workbook>");
    setEntry(entries, QStringLiteral("xl/_rels/workbook.xml.rels"), relationships + "</Relationships>");
    return packageOf(entries);
}

// Eight rows of n cells each.
QByteArray cellsRightToLeft(int n)
{
    QByteArray rows;
    for (int row = 1; row <= 8; ++row) {
        rows += "<row r=\"" + number(row) + "\">";
        for (int column = n; column >= 1; --column)
            rows += "<c r=\"" + CellAddress(row, column).toText().toLatin1() + "\"><v>" + number(column) + "</v></c>";
        rows += "</row>";
    }
    return withSheet(QByteArray(), "<sheetData>" + rows + "</sheetData>");
}

QByteArray rowsBottomToTop(int n)
{
    QByteArray rows;
    for (int row = n; row >= 1; --row)
        rows += "<row r=\"" + number(row) + "\"><c r=\"A" + number(row) + "\"><v>1</v></c></row>";
    return withSheet(QByteArray(), "<sheetData>" + rows + "</sheetData>");
}

QByteArray sheetDataElements(int n)
{
    QByteArray cells;
    for (int row = 1; row <= 20000; ++row)
        cells += "<row r=\"" + number(row) + "\"><c r=\"A" + number(row) + "\"><v>1</v></c></row>";
    return withSheet(QByteArray(), "<sheetData>" + cells + "</sheetData>"
                         + QByteArray("<sheetData><row r=\"1\"><c r=\"B1\"><v>2</v></c></row></sheetData>").repeated(n));
}

QByteArray defaultNamespaceDeclarations(int n)
{
    QByteArray prefixes;
    for (int i = 1; i <= n; ++i)
        prefixes += " xmlns:p" + number(i) + "=\"urn:p" + number(i) + '"';
    return withSheet(prefixes, "<sheetData>"
                         + QByteArray("<row xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>").repeated(n)
                         + "</sheetData>");
}

// One load in a process of its own (so that one load's memory does not
// count in another's time), after a load of the same file there, in
// milliseconds; -1 when it fails.
double loadMilliseconds(const QString &path)
{
    QProcess load;
    load.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--load-warm"), path });
    load.waitForFinished(-1);
    const double milliseconds = load.readAllStandardOutput().trimmed().split(' ').value(0).toDouble();
    return load.exitCode() == 0 ? milliseconds : -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The fastest of five loads of each size, taken in turns, so that both
// meet the machine in the same moods.
QPair<double, double> fastestLoads(const QTemporaryDir &dir, const QByteArray &once, const QByteArray &four)
{
    const QString oncePath = dir.filePath(QStringLiteral("shape-n.xlsx"));
    const QString fourPath = dir.filePath(QStringLiteral("shape-4n.xlsx"));
    if (!writeFile(oncePath, once) || !writeFile(fourPath, four))
        return { -1, -1 };
    double bestOnce = -1;
    double bestFour = -1;
    for (int run = 0; run < 5; ++run) {
        const double a = loadMilliseconds(oncePath);
        const double b = loadMilliseconds(fourPath);
        if (a < 0 || b < 0)
            return { -1, -1 };
        bestOnce = bestOnce < 0 ? a : qMin(bestOnce, a);
        bestFour = bestFour < 0 ? b : qMin(bestFour, b);
    }
    return { bestOnce, bestFour };
}

// Each shape at n and 4n elements; true when every ratio stays under 6.
bool printShapes(QTextStream &out, const QTemporaryDir &dir)
{
    const struct
    {
        const char *name;
        int n;
        std::function<QByteArray(int)> make;
    } shapes[] = {
        { "links to their relationships", 10000, links },
        { "kept elements out of order", 40000, keptElementsOutOfOrder },
        { "rows with attributes of their own", 20000, rowAttributes },
        { "error cells of their own texts", 20000, errorTexts },
        { "attributes of one start tag", 40000, attributesOfOneTag },
        { "namespace declarations of one start tag", 20000, declarationsOfOneTag },
        { "parts with content-type overrides", 4000, contentTypeOverrides },
        { "sheet names", 1000, sheetNames },
        { "cells of rows right to left (eight rows)", 4096, cellsRightToLeft },
        { "rows bottom to top", 100000, rowsBottomToTop },
        { "sheetData elements after a large one", 10000, sheetDataElements },
        { "default namespaces under many prefixes", 20000, defaultNamespaceDeclarations },
    };
    out << "Shapes read in linear or n log n time: n and 4n elements, ratio (goal under 6)\n";
    bool linear = true;
    for (const auto &shape : shapes) {
        const auto [once, four] = fastestLoads(dir, shape.make(shape.n), shape.make(4 * shape.n));
        const double ratio = once > 0 ? four / once : -1;
        linear &= once > 0 && four > 0 && ratio < 6;
        out << QStringLiteral("  %1: %2 in %3 ms, %4 in %5 ms, ratio %6%7\n")
                   .arg(QLatin1String(shape.name)).arg(shape.n).arg(once, 0, 'f', 1).arg(4 * shape.n)
                   .arg(four, 0, 'f', 1).arg(ratio, 0, 'f', 2).arg(ratio > 0 && ratio < 6 ? QString() : QStringLiteral(" OVER"));
        out.flush();
    }
    return linear;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && (QByteArray(argv[1]) == "--load" || QByteArray(argv[1]) == "--load-warm")) {
        QCoreApplication app(argc, argv);
        return loadOnly(QString::fromLocal8Bit(argv[2]), QByteArray(argv[1]) == "--load-warm");
    }
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const double scale = rows / 100000.0;
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("read.xlsx"));
    writeWorkbook(path, rows);
    out << QStringLiteral("%1 rows of ten cells, %2 KiB\n").arg(rows).arg(QFileInfo(path).size() / 1024);

    QElapsedTimer timer;
    timer.start();
    SheetReader reader;
    qint64 cells = 0;
    if (reader.open(path)) {
        while (reader.readRow()) {
            for (const QVariant &value : reader.values())
                cells += value.isValid();
        }
    }
    const double readMilliseconds = Bench::lap(timer);
    const double cellsPerSecond = cells / (readMilliseconds / 1000);
    out << QStringLiteral("SheetReader: %1 cells in %2 ms, %3 million cells/s (goal %4, ratio %5)%6\n")
               .arg(cells).arg(readMilliseconds, 0, 'f', 0).arg(cellsPerSecond / 1e6, 0, 'f', 2)
               .arg(goalCellsPerSecond / 1e6, 0, 'f', 1).arg(goalCellsPerSecond / cellsPerSecond, 0, 'f', 2)
               .arg(reader.hasError() ? QStringLiteral(" ERROR ") + reader.errorString() : QString());

    QProcess load;
    load.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--load"), path });
    load.waitForFinished(-1);
    const QList<QByteArray> figures = load.readAllStandardOutput().trimmed().split(' ');
    const double loadMilliseconds = figures.value(0).toDouble();
    const double loadMiB = figures.value(1).toDouble();
    out << QStringLiteral("Document::load: %1 ms (goal %2, ratio %3), peak %4 MiB (goal %5, ratio %6; %7 MiB before)\n")
               .arg(loadMilliseconds, 0, 'f', 0).arg(goalLoadMilliseconds * scale, 0, 'f', 0)
               .arg(loadMilliseconds / (goalLoadMilliseconds * scale), 0, 'f', 2).arg(loadMiB, 0, 'f', 1)
               .arg(goalLoadMiB, 0, 'f', 0).arg(loadMiB / goalLoadMiB, 0, 'f', 2)
               .arg(figures.value(2).toDouble(), 0, 'f', 1);
    const bool shapesLinear = printShapes(out, dir);
    return reader.hasError() || load.exitCode() != 0 || !shapesLinear;
}
