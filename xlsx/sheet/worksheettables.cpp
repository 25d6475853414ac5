// A worksheet's tables: ranges with named columns, a style, filter buttons
// and a totals row.
#include "worksheet.h"
#include "worksheet_p.h"

#include "formularewriter_p.h"
#include "partnames_p.h"
#include "relationships.h"
#include "sharedstrings.h"
#include "structuredreference_p.h"
#include "workbook.h"
#include "workbook_p.h"

#include <QSet>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

// The header cells' texts, or the names given; each unique without regard
// to case, as spreadsheet programs make them ("Acidity", "Acidity2").
QStringList uniqueNames(const QStringList &given)
{
    QStringList names;
    QSet<QString> taken;
    QHash<QString, int> nextNumber;   // by folded name: the number to try next
    for (int i = 0; i < given.size(); ++i) {
        QString name = given.at(i).simplified();
        if (name.isEmpty())
            name = QStringLiteral("Column%1").arg(i + 1);
        QString unique = name;
        int &number = nextNumber[name.toCaseFolded()];
        if (number < 2)
            number = 2;
        while (taken.contains(unique.toCaseFolded()))
            unique = name + QString::number(number++);
        taken.insert(unique.toCaseFolded());
        names << unique;
    }
    return names;
}

QStringList columnNames(const Worksheet &sheet, const CellArea &range, const SheetTable &table)
{
    QStringList given;
    for (int i = 0; i < range.columnCount(); ++i)
        given << (table.columns.isEmpty() ? sheet.readValue(range.firstRow(), range.firstColumn() + i).toString()
                                          : table.columns.at(i).name);
    return uniqueNames(given);
}

// A formula of the table as files store it: without "=", the "[@Column]"
// forms spelled out, and the table named where the formula leaves it out.
QString storedTableFormula(QString formula, const QString &table)
{
    if (formula.startsWith(QLatin1Char('=')))
        formula.remove(0, 1);
    return StructuredReference::qualified(StructuredReference::storedFormula(formula, table), table);
}

bool overlaps(const CellArea &one, const CellArea &other)
{
    return one.firstRow() <= other.lastRow() && other.firstRow() <= one.lastRow()
        && one.firstColumn() <= other.lastColumn() && other.firstColumn() <= one.lastColumn();
}

} // namespace

bool Worksheet::addTable(const CellArea &range, const SheetTable &table)
{
    Q_D(Worksheet);
    const int minimumRows = 2 + (table.totalsRow ? 1 : 0);
    if (!range.isValid() || !d->isInside(range.firstRow(), range.firstColumn())
        || !d->isInside(range.lastRow(), range.lastColumn()) || range.rowCount() < minimumRows || !table.headerRow
        || (!table.columns.isEmpty() && table.columns.size() != range.columnCount())
        || (!table.styleName.isEmpty() && !TableXml::isBuiltInStyle(table.styleName))
        || d->isStreamedRow(range.firstRow()))
        return false;
    for (const CellArea &merged : qAsConst(d->mergedRanges)) {
        if (overlaps(merged, range))
            return false;
    }
    if ((d->autoFilterRange.isValid() && overlaps(d->autoFilterRange, range)) || d->overlapsTable(range))
        return false;
    WorkbookPrivate *book = d->workbook->d_func();
    TableRecord record;
    record.table = table;
    record.table.range = range;
    record.table.name = table.name.isEmpty() ? book->freeTableName() : table.name;
    if (record.table.displayName.isEmpty())
        record.table.displayName = record.table.name;
    for (const QString &name : { record.table.name, record.table.displayName }) {
        if (!TableXml::isValidName(name) || book->isNameTaken(name))
            return false;
    }
    const QStringList names = columnNames(*this, range, table);
    if (record.table.columns.isEmpty())
        record.table.columns = QVector<TableColumn>(names.size()).toList();
    for (int i = 0; i < names.size(); ++i)
        record.table.columns[i].name = names.at(i);

    // The header cells hold the names, keeping their formats; a calculated
    // column fills its data cells; the totals row its cells.
    const int lastData = range.lastRow() - (table.totalsRow ? 1 : 0);
    for (int i = 0; i < names.size(); ++i) {
        const int column = range.firstColumn() + i;
        d->storeText(range.firstRow(), column, d->sharedStrings()->addEntry(names.at(i)),
                     d->registeredFormat(range.firstRow(), column, Format()));
        TableColumn &one = record.table.columns[i];
        if (!one.formula.isEmpty()) {
            // Written for the first data row; the rows below read their own.
            one.formula = storedTableFormula(one.formula, record.table.displayName);
            for (int row = range.firstRow() + 1; row <= lastData; ++row)
                writeFormula(row, column, CellFormula(FormulaRewriter::shift(one.formula, row - range.firstRow() - 1, 0)));
        }
        if (!one.totalsFormula.isEmpty())
            one.totalsFormula = storedTableFormula(one.totalsFormula, record.table.displayName);
        if (!table.totalsRow)
            continue;
        const QString total = TableXml::totalsFormula(record.table.displayName, one);
        if (!total.isEmpty())
            writeFormula(range.lastRow(), column, CellFormula(total));
        else if (!one.totalsLabel.isEmpty())
            d->storeText(range.lastRow(), column, d->sharedStrings()->addEntry(one.totalsLabel),
                         d->registeredFormat(range.lastRow(), column, Format()));
    }
    d->tables.append(record);
    return true;
}

const TableRecord *WorksheetPrivate::tableAt(int row, int column, int *hint) const
{
    const auto holds = [&](int index) {
        const CellArea &range = tables.at(index).table.range;
        return row >= range.firstRow() && row <= range.lastRow() && column >= range.firstColumn()
            && column <= range.lastColumn();
    };
    if (hint && *hint >= 0 && *hint < tables.size() && holds(*hint))
        return &tables.at(*hint);
    for (int i = 0; i < tables.size(); ++i) {
        if (holds(i)) {
            if (hint)
                *hint = i;
            return &tables.at(i);
        }
    }
    return nullptr;
}

QString WorksheetPrivate::storedFormula(int row, int column, const QString &formula) const
{
    if (!formula.contains(QLatin1String("[@")))
        return formula;
    const TableRecord *record = tableAt(row, column);
    return StructuredReference::storedFormula(formula, record ? record->table.displayName : QString());
}

bool WorksheetPrivate::overlapsTable(const CellArea &area) const
{
    const QList<CellArea> areas = workbook->d_func()->tableAreasOf(*q_func());
    return std::any_of(areas.cbegin(), areas.cend(), [&](const CellArea &table) { return overlaps(table, area); });
}

QList<SheetTable> Worksheet::tables() const
{
    Q_D(const Worksheet);
    const_cast<WorksheetPrivate *>(d)->followTableHeaders();
    QList<SheetTable> tables;
    for (const TableRecord &record : d->tables)
        tables << record.table;
    return tables;
}

// A header cell written since holds the column's name: its text, each name
// once; a table whose names change is written anew from the model.
void WorksheetPrivate::followTableHeaders()
{
    for (TableRecord &record : tables) {
        SheetTable &table = record.table;
        if (!table.headerRow)
            continue;
        QStringList names;
        bool differs = false;
        for (int i = 0; i < table.columns.size(); ++i) {
            const QVariant value = q_func()->readValue(table.range.firstRow(), table.range.firstColumn() + i);
            const QString text = value.type() == QVariant::String ? value.toString() : QString();
            names << (text.isEmpty() ? table.columns.at(i).name : text);
            differs = differs || names.last() != table.columns.at(i).name;
        }
        if (!differs)
            continue;
        names = uniqueNames(names);
        for (int i = 0; i < names.size(); ++i)
            table.columns[i].name = names.at(i);
        record.keptBytes.clear();
    }
}

void WorksheetPrivate::writeTableParts(QXmlStreamWriter &writer) const
{
    if (tables.isEmpty() && tablePartIds.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("tableParts"));
    writer.writeAttribute(QStringLiteral("count"), QString::number(tables.size() + tablePartIds.size()));
    for (const QString &id : tablePartIds) {
        writer.writeEmptyElement(QStringLiteral("tablePart"));
        writer.writeAttribute(QStringLiteral("r:id"), id);
    }
    Q_Q(const Worksheet);
    for (const TableRecord &record : tables) {
        writer.writeEmptyElement(QStringLiteral("tablePart"));
        writer.writeAttribute(QStringLiteral("r:id"), q->relationships()->addDocumentRelationship(
                                                          QStringLiteral("/table"),
                                                          PartNames::relative(q->partPath(), record.partName)));
    }
    writer.writeEndElement();
}

} // namespace Spreadsheet
