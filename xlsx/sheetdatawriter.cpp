#include "sheetdatawriter_p.h"

#include "sharedstrings.h"
#include "utility.h"
#include "worksheet_p.h"

#include "rawxml_p.h"

#include <QIODevice>

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

void SheetDataWriter::writeRow(int row)
{
    buffer.append("<row");
    writeAttribute("r", row);
    const auto span = sheet.rowSpans.constFind((row - 1) / 16);
    if (span != sheet.rowSpans.constEnd())
        writeAttribute("spans", span.value().toLatin1());
    const auto found = sheet.rows.constFind(row);
    const RowSettings *settings = found == sheet.rows.constEnd() ? nullptr : found.value().data();
    if (settings) {
        if (!settings->format.isEmpty()) {
            writeAttribute("s", settings->format.xfIndex());
            writeAttribute("customFormat", "1");
        }
        if (settings->customHeight) {
            writeAttribute("ht", QByteArray::number(settings->height, 'g', 6));
            writeAttribute("customHeight", "1");
        } else {
            writeAttribute("customHeight", "0");
        }
        if (settings->hidden)
            writeAttribute("hidden", "1");
        if (settings->outlineLevel > 0)
            writeAttribute("outlineLevel", settings->outlineLevel);
        if (settings->collapsed)
            writeAttribute("collapsed", "1");
    }
    const auto rowCells = sheet.cells.constFind(row);
    if (rowCells == sheet.cells.constEnd() || rowCells->isEmpty()) {
        buffer.append("/>");
        return;
    }
    buffer.append('>');
    for (auto cell = rowCells->constBegin(); cell != rowCells->constEnd(); ++cell)
        writeCell(row, cell.key(), **cell, settings);
    buffer.append("</row>");
    flushIfFull();
}

void SheetDataWriter::writeCell(int row, int column, const SheetCell &cell, const RowSettings *settings)
{
    buffer.append("<c r=\"");
    appendAddress(buffer, row, column);
    buffer.append('"');

    // The cell's own format, else its row's, else its column's.
    const Format *format = &cell.format();
    if (format->isEmpty() && settings)
        format = &settings->format;
    if (format->isEmpty() && !sheet.columnsByColumn.isEmpty()) {
        const auto range = sheet.columnsByColumn.constFind(column);
        if (range != sheet.columnsByColumn.constEnd())
            format = &range.value()->format;
    }
    if (!format->isEmpty())
        writeAttribute("s", format->xfIndex());

    switch (cell.kind()) {
    case CellKind::SharedString: {
        const int index = cell.isRichString() ? sheet.sharedStrings()->indexOf(cell.richString())
                                              : sheet.sharedStrings()->indexOf(cell.value().toString());
        buffer.append(" t=\"s\"><v>");
        writeNumber(index);
        buffer.append("</v></c>");
        return;
    }
    case CellKind::InlineString:
        buffer.append(" t=\"inlineStr\"><is>");
        if (cell.isRichString()) {
            const RichString text = cell.richString();
            for (int run = 0; run < text.runCount(); ++run) {
                buffer.append("<r>");
                if (text.runFormat(run).hasFontData())
                    buffer.append("<rPr/>");
                writeTextElement(text.runText(run));
                buffer.append("</r>");
            }
        } else {
            writeTextElement(cell.value().toString());
        }
        buffer.append("</is></c>");
        return;
    case CellKind::Number:
        if (!cell.hasFormula() && !cell.value().isValid()) {
            buffer.append("/>");
            return;
        }
        buffer.append('>');
        writeFormula(cell);
        if (cell.value().isValid())
            buffer.append("<v>").append(QByteArray::number(cell.value().toDouble(), 'g', 15)).append("</v>");
        buffer.append("</c>");
        return;
    case CellKind::FormulaString:
        buffer.append(" t=\"str\">");
        writeFormula(cell);
        buffer.append("<v>");
        writeEscaped(escapeCellText(cell.value().toString()), false);
        buffer.append("</v></c>");
        return;
    case CellKind::Boolean:
        buffer.append(" t=\"b\"><v>").append(cell.value().toBool() ? '1' : '0').append("</v></c>");
        return;
    case CellKind::Error:
        buffer.append("/>");
        return;
    }
}

void SheetDataWriter::writeFormula(const SheetCell &cell)
{
    if (!cell.hasFormula())
        return;
    const CellFormula formula = cell.formula();
    buffer.append("<f");
    if (formula.kind() == CellFormula::ArrayFormula)
        writeAttribute("t", "array");
    else if (formula.kind() == CellFormula::SharedFormula)
        writeAttribute("t", "shared");
    if (formula.range().isValid())
        writeAttribute("ref", formula.range().toText().toLatin1());
    if (formula.alwaysCalculate())
        writeAttribute("ca", "1");
    if (formula.kind() == CellFormula::SharedFormula)
        writeAttribute("si", formula.sharedIndex());
    if (formula.text().isEmpty()) {
        buffer.append("/>");
        return;
    }
    buffer.append('>');
    writeEscaped(validXmlText(formula.text()), false);
    buffer.append("</f>");
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
