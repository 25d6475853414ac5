#include "tablexml_p.h"

#include "cellparsing_p.h"
#include "namespaces.h"
#include "structuredreference_p.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamWriter>

namespace Spreadsheet {

using CellParsing::isTrue;

namespace {

constexpr int maxRow = maximumRows;
constexpr int maxColumn = maximumColumns;

// The functions of a totals row: their names in the file and their
// numbers for SUBTOTAL (those that pass over hidden rows).
const struct
{
    TableColumn::TotalsFunction function;
    const char *name;
    int subtotal;
} totalsFunctions[] = {
    { TableColumn::Sum, "sum", 109 },           { TableColumn::Average, "average", 101 },
    { TableColumn::Count, "count", 103 },       { TableColumn::CountNumbers, "countNums", 102 },
    { TableColumn::Min, "min", 105 },           { TableColumn::Max, "max", 104 },
    { TableColumn::StandardDeviation, "stdDev", 107 }, { TableColumn::Variance, "var", 110 },
    { TableColumn::CustomTotal, "custom", 0 },
};

QString text(const XmlScanner &scanner, const char *name)
{
    return QString::fromUtf8(scanner.value(name));
}

void writeFlag(QXmlStreamWriter &writer, const char *name, bool value)
{
    writer.writeAttribute(QLatin1String(name), value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool readColumn(XmlScanner &scanner, TableColumn &column)
{
    column.name = text(scanner, "name");
    column.totalsLabel = text(scanner, "totalsRowLabel");
    const QByteArray function = scanner.value("totalsRowFunction");
    for (const auto &known : totalsFunctions) {
        if (function == known.name)
            column.totalsFunction = known.function;
    }
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "calculatedColumnFormula"))
            column.formula = QString::fromUtf8(scanner.readElementText());
        else if (scanner.is(XmlScanner::Main, "totalsRowFormula"))
            column.totalsFormula = QString::fromUtf8(scanner.readElementText());
        else
            scanner.skipElement();
    }
    return !column.name.isEmpty();
}

bool readTable(XmlScanner &scanner, TableRecord &record)
{
    SheetTable &table = record.table;
    bool ok = false;
    record.id = scanner.value("id").toInt(&ok);
    if (!ok || record.id < 1)
        return false;
    table.name = text(scanner, "name");
    table.displayName = text(scanner, "displayName");
    table.range = CellArea(QString::fromLatin1(scanner.value("ref")));
    const QByteArray headers = scanner.value("headerRowCount");
    const QByteArray totals = scanner.value("totalsRowCount");
    if (!(headers.isNull() || headers == "0" || headers == "1") || !(totals.isNull() || totals == "0" || totals == "1"))
        return false;
    table.headerRow = headers != "0";
    table.totalsRow = totals == "1";
    const CellArea &range = table.range;
    if (table.name.isEmpty() || !range.isValid() || range.firstRow() < 1 || range.firstColumn() < 1
        || range.lastRow() > maxRow || range.lastColumn() > maxColumn
        || range.rowCount() < int(table.headerRow) + int(table.totalsRow) + 1)
        return false;
    table.filterButtons = false;
    table.styleName.clear();
    table.bandedRows = false;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "autoFilter")) {
            table.filterButtons = true;
            scanner.skipElement();
        } else if (scanner.is(XmlScanner::Main, "tableColumn")) {
            if (table.columns.size() >= range.columnCount())
                return false;
            TableColumn column;
            if (!readColumn(scanner, column))
                return false;
            table.columns.append(column);
        } else if (scanner.is(XmlScanner::Main, "tableStyleInfo")) {
            table.styleName = text(scanner, "name");
            table.firstColumn = isTrue(scanner.value("showFirstColumn"));
            table.lastColumn = isTrue(scanner.value("showLastColumn"));
            table.bandedRows = isTrue(scanner.value("showRowStripes"));
            table.bandedColumns = isTrue(scanner.value("showColumnStripes"));
            scanner.skipElement();
        } else if (!scanner.is(XmlScanner::Main, "tableColumns")) {
            scanner.skipElement();
        }
    }
    return !scanner.hasError() && table.columns.size() == range.columnCount();
}

void writeColumns(QXmlStreamWriter &writer, const TableRecord &record)
{
    const SheetTable &table = record.table;
    writer.writeStartElement(QStringLiteral("tableColumns"));
    writer.writeAttribute(QStringLiteral("count"), QString::number(table.columns.size()));
    int id = 0;
    for (const TableColumn &column : table.columns) {
        writer.writeStartElement(QStringLiteral("tableColumn"));
        writer.writeAttribute(QStringLiteral("id"), QString::number(++id));
        writer.writeAttribute(QStringLiteral("name"), validXmlText(column.name));
        if (table.totalsRow) {
            for (const auto &known : totalsFunctions) {
                if (known.function == column.totalsFunction)
                    writer.writeAttribute(QStringLiteral("totalsRowFunction"), QLatin1String(known.name));
            }
            if (column.totalsFunction == TableColumn::NoTotal && !column.totalsLabel.isEmpty())
                writer.writeAttribute(QStringLiteral("totalsRowLabel"), validXmlText(column.totalsLabel));
        }
        if (!column.formula.isEmpty())
            writer.writeTextElement(QStringLiteral("calculatedColumnFormula"), validXmlText(column.formula));
        if (table.totalsRow && column.totalsFunction == TableColumn::CustomTotal)
            writer.writeTextElement(QStringLiteral("totalsRowFormula"), validXmlText(column.totalsFormula));
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

} // namespace

namespace TableXml {

std::optional<TableRecord> read(const QByteArray &bytes, int maxXmlDepth)
{
    XmlScanner scanner(bytes, maxXmlDepth);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return std::nullopt;
    }
    TableRecord record;
    if (!scanner.is(XmlScanner::Main, "table") || !readTable(scanner, record))
        return std::nullopt;
    record.keptBytes = bytes;
    return record;
}

QByteArray write(const TableRecord &record)
{
    const SheetTable &table = record.table;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("table"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeAttribute(QStringLiteral("id"), QString::number(record.id));
    writer.writeAttribute(QStringLiteral("name"), table.name);
    writer.writeAttribute(QStringLiteral("displayName"), table.displayName.isEmpty() ? table.name : table.displayName);
    writer.writeAttribute(QStringLiteral("ref"), table.range.toText());
    if (table.totalsRow)
        writer.writeAttribute(QStringLiteral("totalsRowCount"), QStringLiteral("1"));
    else
        writer.writeAttribute(QStringLiteral("totalsRowShown"), QStringLiteral("0"));
    if (table.filterButtons) {
        CellArea filtered = table.range;
        if (table.totalsRow)
            filtered = CellArea(filtered.firstRow(), filtered.firstColumn(), filtered.lastRow() - 1, filtered.lastColumn());
        writer.writeEmptyElement(QStringLiteral("autoFilter"));
        writer.writeAttribute(QStringLiteral("ref"), filtered.toText());
    }
    writeColumns(writer, record);
    if (!table.styleName.isEmpty() || table.bandedRows || table.bandedColumns || table.firstColumn || table.lastColumn) {
        writer.writeEmptyElement(QStringLiteral("tableStyleInfo"));
        if (!table.styleName.isEmpty())
            writer.writeAttribute(QStringLiteral("name"), table.styleName);
        writeFlag(writer, "showFirstColumn", table.firstColumn);
        writeFlag(writer, "showLastColumn", table.lastColumn);
        writeFlag(writer, "showRowStripes", table.bandedRows);
        writeFlag(writer, "showColumnStripes", table.bandedColumns);
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

std::optional<TableIdentity> identity(const QByteArray &bytes)
{
    XmlScanner scanner(bytes, 4);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return std::nullopt;
    }
    if (!scanner.is(XmlScanner::Main, "table"))
        return std::nullopt;
    TableIdentity found;
    found.name = text(scanner, "name");
    found.displayName = text(scanner, "displayName");
    found.id = scanner.value("id").toInt();
    return found;
}

bool isValidName(const QString &name)
{
    if (name.isEmpty() || name.size() > 255)
        return false;
    const QChar first = name.at(0);
    if (!first.isLetter() && first != QLatin1Char('_') && first != QLatin1Char('\\'))
        return false;
    for (const QChar c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('.') && c != QLatin1Char('\\'))
            return false;
    }
    // Names that read as a cell ("A1", "xfd1048576") or a row-and-column
    // reference ("R1C1", "R", "C", "r2c") would be taken for one.
    static const QRegularExpression reference(QStringLiteral("^[A-Z]{1,3}[0-9]+$|^R[0-9]*C?[0-9]*$|^C[0-9]*$"));
    return !reference.match(name.toUpper()).hasMatch();
}

bool isBuiltInStyle(const QString &name)
{
    const struct
    {
        const char *prefix;
        int count;
    } families[] = { { "TableStyleLight", 21 }, { "TableStyleMedium", 28 }, { "TableStyleDark", 11 } };
    for (const auto &family : families) {
        const QLatin1String prefix(family.prefix);
        if (!name.startsWith(prefix))
            continue;
        bool ok = false;
        const int number = name.midRef(prefix.size()).toInt(&ok);
        return ok && number >= 1 && number <= family.count && name == prefix + QString::number(number);
    }
    return false;
}

QString totalsFormula(const QString &table, const TableColumn &column)
{
    if (column.totalsFunction == TableColumn::CustomTotal)
        return column.totalsFormula;
    for (const auto &known : totalsFunctions) {
        if (known.function == column.totalsFunction && known.subtotal)
            return QStringLiteral("SUBTOTAL(%1,%2[%3])")
                .arg(known.subtotal)
                .arg(table, StructuredReference::escaped(column.name));
    }
    return QString();
}

} // namespace TableXml

} // namespace Spreadsheet
