#include "sheetdatawriter_p.h"

#include "sharedstrings.h"
#include "utility.h"
#include "workbook.h"
#include "worksheet_p.h"

#include "rawxml_p.h"
#include "richtextxml_p.h"

#include <QIODevice>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

constexpr int flushSize = 1 << 20;

using RawXml::appendLiteral;
using RawXml::appendNumber;

void appendAddress(QByteArray &out, int row, int column)
{
    char letters[4];
    int count = 0;
    while (column > 0 && count < 4) {
        const int remainder = column % 26;
        letters[count++] = remainder == 0 ? 'Z' : char('A' + remainder - 1);
        column = (column - 1) / 26;
    }
    while (count > 0)
        out.append(letters[--count]);
    appendNumber(out, row);
}

} // namespace

SheetDataWriter::SheetDataWriter(const WorksheetPrivate &sheet, QIODevice *device)
    : sheet(sheet)
    , device(device)
{
    buffer.reserve(flushSize + 4096);
}

SheetDataWriter::~SheetDataWriter()
{
    device->write(buffer);
}

void SheetDataWriter::flushIfFull()
{
    if (buffer.size() >= flushSize) {
        device->write(buffer);
        buffer.clear();
    }
}

void SheetDataWriter::writeEscaped(const QString &text, bool attribute)
{
    RawXml::appendEscaped(buffer, text, attribute);
}

void SheetDataWriter::writeAttribute(const char *name, const QByteArray &value)
{
    buffer.append(' ').append(name).append("=\"").append(value).append('"');
}

void SheetDataWriter::writeAttribute(const char *name, int value)
{
    buffer.append(' ').append(name).append("=\"");
    appendNumber(buffer, value);
    buffer.append('"');
}

void SheetDataWriter::writeNumber(int number)
{
    appendNumber(buffer, number);
}

void SheetDataWriter::writeRow(int row, const CellTable::Row *cells)
{
    appendLiteral(buffer, "<row");
    writeAttribute("r", row);
    const auto span = sheet.rowSpans.constFind((row - 1) / 16);
    if (span != sheet.rowSpans.constEnd())
        writeAttribute("spans", span.value());
    const auto found = sheet.rows.constFind(row);
    const RowSettings *settings = found == sheet.rows.constEnd() ? nullptr : found.value().data();
    if (settings) {
        if (!settings->format.isEmpty()) {
            writeAttribute("s", settings->format.xfIndex());
            writeAttribute("customFormat", "1");
        }
        if (settings->customHeight || settings->height > 0)
            writeAttribute("ht", QByteArray::number(settings->height, 'g', 6));
        writeAttribute("customHeight", settings->customHeight ? "1" : "0");
        if (settings->hidden)
            writeAttribute("hidden", "1");
        if (settings->outlineLevel > 0)
            writeAttribute("outlineLevel", settings->outlineLevel);
        if (settings->collapsed)
            writeAttribute("collapsed", "1");
    }
    if (!sheet.keptTexts.isEmpty())
        buffer.append(sheet.keptRowAttributes(row));
    if (!cells || cells->empty()) {
        appendLiteral(buffer, "/>");
        return;
    }
    buffer.append('>');
    for (const StoredCell &cell : *cells)
        writeCell(row, cell, settings);
    appendLiteral(buffer, "</row>");
    flushIfFull();
}

void SheetDataWriter::writeCell(int row, const StoredCell &cell, const RowSettings *settings)
{
    appendLiteral(buffer, "<c r=\"");
    appendAddress(buffer, row, cell.column);
    buffer.append('"');

    // The cell's own format, else its row's, else its column's.
    int style = cell.format >= 2 ? int(cell.format - 2) : -1;
    if (style < 0 && settings && !settings->format.isEmpty())
        style = settings->format.xfIndex();
    if (style < 0 && !sheet.columnsByColumn.isEmpty()) {
        const auto range = sheet.columnsByColumn.constFind(cell.column);
        if (range != sheet.columnsByColumn.constEnd() && !range.value()->format.isEmpty())
            style = range.value()->format.xfIndex();
    }
    if (style >= 0)
        writeAttribute("s", style);
    if (cell.flags & StoredCell::HasKeptAttributes)
        buffer.append(sheet.cellAttributes.value(WorksheetPrivate::formulaKey(row, cell.column)));

    switch (CellKind(cell.kind)) {
    case CellKind::SharedString:
        if (sheet.inlineTexts) {
            writeInlineText(cell.value.string);
            return;
        }
        appendLiteral(buffer, " t=\"s\"><v>");
        writeNumber(sheet.sharedStrings()->indexOfEntry(cell.value.string));
        appendLiteral(buffer, "</v></c>");
        return;
    case CellKind::Number:
        if (!(cell.flags & (StoredCell::HasFormula | StoredCell::HasValue))) {
            appendLiteral(buffer, "/>");
            return;
        }
        if (cell.flags & StoredCell::IsoDate) {
            // A loaded date that its package wrote as a date.
            appendLiteral(buffer, " t=\"d\">");
            writeFormula(row, cell);
            buffer.append("<v>")
                .append(serialToIsoText(cell.value.number, sheet.workbook->isDate1904()).toLatin1())
                .append("</v></c>");
            return;
        }
        buffer.append('>');
        writeFormula(row, cell);
        if (cell.flags & StoredCell::HasValue) {
            appendLiteral(buffer, "<v>");
            appendNumber(buffer, cell.value.number);
            appendLiteral(buffer, "</v>");
        }
        appendLiteral(buffer, "</c>");
        return;
    case CellKind::Boolean:
        appendLiteral(buffer, " t=\"b\">");
        writeFormula(row, cell);
        if (cell.flags & StoredCell::HasValue)
            buffer.append("<v>").append(cell.value.boolean ? '1' : '0').append("</v>");
        appendLiteral(buffer, "</c>");
        return;
    case CellKind::Error:
        // Error and formula-string cells come only from loaded packages.
        appendLiteral(buffer, " t=\"e\">");
        writeFormula(row, cell);
        appendLiteral(buffer, "<v>");
        writeEscaped(sheet.errorTexts.value(int(cell.value.string)), false);
        appendLiteral(buffer, "</v></c>");
        return;
    case CellKind::FormulaString:
        appendLiteral(buffer, " t=\"str\">");
        writeFormula(row, cell);
        appendLiteral(buffer, "<v>");
        writeEscaped(escapeCellText(sheet.formulaResults.value(WorksheetPrivate::formulaKey(row, cell.column))), false);
        appendLiteral(buffer, "</v></c>");
        return;
    default:
        appendLiteral(buffer, "/>");
        return;
    }
}

void SheetDataWriter::writeFormula(int row, const StoredCell &cell)
{
    if (!(cell.flags & StoredCell::HasFormula))
        return;
    const CellFormula formula = sheet.formulas.value(WorksheetPrivate::formulaKey(row, cell.column));
    appendLiteral(buffer, "<f");
    if (formula.kind() == CellFormula::ArrayFormula)
        writeAttribute("t", "array");
    else if (formula.kind() == CellFormula::SharedFormula)
        writeAttribute("t", "shared");
    else if (formula.kind() == CellFormula::DataTableFormula)
        writeAttribute("t", "dataTable");
    if (formula.range().isValid())
        writeAttribute("ref", formula.range().toText().toLatin1());
    if (formula.alwaysCalculate())
        writeAttribute("ca", "1");
    if (formula.kind() == CellFormula::SharedFormula)
        writeAttribute("si", formula.sharedIndex());
    if (!sheet.formulaAttributes.isEmpty())
        buffer.append(sheet.formulaAttributes.value(WorksheetPrivate::formulaKey(row, cell.column)));
    if (formula.text().isEmpty()) {
        appendLiteral(buffer, "/>");
        return;
    }
    buffer.append('>');
    writeEscaped(validXmlText(formula.text()), false);
    appendLiteral(buffer, "</f>");
}

// A text in the cell itself, as the shared strings would hold it.
void SheetDataWriter::writeInlineText(quint32 entry)
{
    const SharedStrings &texts = *sheet.sharedStrings();
    appendLiteral(buffer, " t=\"inlineStr\"><is>");
    if (texts.isRichEntry(entry)) {
        QByteArray runs;
        QXmlStreamWriter writer(&runs);
        writeRichTextRuns(writer, texts.entryAt(entry));
        buffer.append(runs);
    } else {
        texts.appendTextElement(buffer, entry);
    }
    appendLiteral(buffer, "</is></c>");
}

} // namespace Spreadsheet
