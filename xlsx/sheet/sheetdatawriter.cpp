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
    buffer.append("<row");
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
        buffer.append("/>");
        return;
    }
    buffer.append('>');
    for (const StoredCell &cell : *cells)
        writeCell(row, cell, settings);
    buffer.append("</row>");
    flushIfFull();
}

void SheetDataWriter::writeCell(int row, const StoredCell &cell, const RowSettings *settings)
{
    buffer.append("<c r=\"");
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
        buffer.append(" t=\"s\"><v>");
        writeNumber(sheet.sharedStrings()->indexOfEntry(cell.value.string));
        buffer.append("</v></c>");
        return;
    case CellKind::Number:
        if (!(cell.flags & (StoredCell::HasFormula | StoredCell::HasValue))) {
            buffer.append("/>");
            return;
        }
        if (cell.flags & StoredCell::IsoDate) {
            // A loaded date that its package wrote as a date.
            buffer.append(" t=\"d\">");
            writeFormula(row, cell);
            buffer.append("<v>")
                .append(serialToIsoText(cell.value.number, sheet.workbook->isDate1904()).toLatin1())
                .append("</v></c>");
            return;
        }
        buffer.append('>');
        writeFormula(row, cell);
        if (cell.flags & StoredCell::HasValue) {
            buffer.append("<v>");
            appendNumber(buffer, cell.value.number);
            buffer.append("</v>");
        }
        buffer.append("</c>");
        return;
    case CellKind::Boolean:
        buffer.append(" t=\"b\">");
        writeFormula(row, cell);
        if (cell.flags & StoredCell::HasValue)
            buffer.append("<v>").append(cell.value.boolean ? '1' : '0').append("</v>");
        buffer.append("</c>");
        return;
    case CellKind::Error:
        // Error and formula-string cells come only from loaded packages.
        buffer.append(" t=\"e\">");
        writeFormula(row, cell);
        buffer.append("<v>");
        writeEscaped(sheet.errorTexts.value(int(cell.value.string)), false);
        buffer.append("</v></c>");
        return;
    case CellKind::FormulaString:
        buffer.append(" t=\"str\">");
        writeFormula(row, cell);
        buffer.append("<v>");
        writeEscaped(escapeCellText(sheet.formulaResults.value(WorksheetPrivate::formulaKey(row, cell.column))), false);
        buffer.append("</v></c>");
        return;
    default:
        buffer.append("/>");
        return;
    }
}

void SheetDataWriter::writeFormula(int row, const StoredCell &cell)
{
    if (!(cell.flags & StoredCell::HasFormula))
        return;
    const CellFormula formula = sheet.formulas.value(WorksheetPrivate::formulaKey(row, cell.column));
    buffer.append("<f");
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
        buffer.append("/>");
        return;
    }
    buffer.append('>');
    writeEscaped(validXmlText(formula.text()), false);
    buffer.append("</f>");
}

// A text in the cell itself, as the shared strings would hold it.
void SheetDataWriter::writeInlineText(quint32 entry)
{
    const SharedStrings &texts = *sheet.sharedStrings();
    buffer.append(" t=\"inlineStr\"><is>");
    if (texts.isRichEntry(entry)) {
        QByteArray runs;
        QXmlStreamWriter writer(&runs);
        writeRichTextRuns(writer, texts.entryAt(entry));
        buffer.append(runs);
    } else {
        writeTextElement(texts.plainTextOfEntry(entry));
    }
    buffer.append("</is></c>");
}

void SheetDataWriter::writeTextElement(const QString &text)
{
    buffer.append("<t");
    if (needsSpacePreserve(text))
        buffer.append(" xml:space=\"preserve\"");
    buffer.append('>');
    writeEscaped(escapeCellText(text), false);
    buffer.append("</t>");
}

} // namespace Spreadsheet
