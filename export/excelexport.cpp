#include "excelexport.h"

#include "spreadsheet/document.h"
#include "spreadsheet/richstring.h"
#include "spreadsheet/worksheet.h"

#include <QCoreApplication>
#include <QStringList>

using namespace Spreadsheet;

namespace {

const QString lineSeparator = QStringLiteral("\r\n");

void writeHeader(Worksheet *sheet)
{
    const char *const headers[] = { "Matrix", "Analysis", "Date", "Sample", "Result",
                                    "UM", "K", "Q", "Operator", "Note" };
    Format bold;
    bold.setFontBold(true);
    int column = 1;
    for (const char *header : headers) {
        RichString text;
        text.appendRun(QCoreApplication::translate("MainWindow", header), bold);
        sheet->writeValue(1, column++, QVariant::fromValue(text), Format());
    }
}

int resultLineCount(const SampleRow &row)
{
    return row.resultLines.count(lineSeparator) + 1;
}

// Whether the header and one sheet row per result line of the ticked rows
// fit in a sheet.
bool fitsOneSheet(const QVector<TableRow> &rows)
{
    qint64 sheetRows = 1;
    for (const TableRow &row : rows) {
        if (row.ticked)
            sheetRows += resultLineCount(row.values);
    }
    return sheetRows <= maximumRows;
}

// One sheet row per line of the result column; a column with fewer lines
// gives the empty text for the missing ones.
int writeRow(Worksheet *sheet, int sheetRow, const SampleRow &row)
{
    const QStringList results = row.resultLines.split(lineSeparator);
    const QStringList units = row.umLines.split(lineSeparator);
    const QStringList ks = row.kLines.split(lineSeparator);
    const QStringList qs = row.qLines.split(lineSeparator);
    const QStringList notes = row.noteLines.split(lineSeparator);
    const QString date = row.timestamp.toString(QStringLiteral("d/M/yyyy hh:mm"));
    for (int line = 0; line < results.size(); ++line, ++sheetRow) {
        const QString cells[] = {
            row.matrix, row.analysis, date, row.sampleName, results.at(line), units.value(line),
            ks.value(line), qs.value(line), QString(), notes.value(line),
        };
        int column = 1;
        for (const QString &cell : cells)
            sheet->writeText(sheetRow, column++, cell, Format());
    }
    return sheetRow;
}

// The workbook of the ticked rows; false, with nothing written, when they
// have more result lines than a sheet has rows.
bool fill(Document &document, const QVector<TableRow> &rows)
{
    if (!fitsOneSheet(rows))
        return false;
    Worksheet *sheet = document.activeWorksheet();
    writeHeader(sheet);
    int sheetRow = 2;
    for (const TableRow &row : rows) {
        if (row.ticked)
            sheetRow = writeRow(sheet, sheetRow, row.values);
    }
    return true;
}

} // namespace

namespace ExcelExport {

bool write(const QString &fileName, const QVector<TableRow> &rows)
{
    // A workbook without every ticked result would look complete; none is written.
    Document document;
    return fill(document, rows) && document.saveToFile(fileName);
}

bool write(QIODevice *device, const QVector<TableRow> &rows)
{
    Document document;
    return fill(document, rows) && document.saveToDevice(device);
}

} // namespace ExcelExport
