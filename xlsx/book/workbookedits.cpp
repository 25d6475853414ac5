// The workbook's side of edits that references follow: rows and columns of
// a sheet inserted and removed, sheets renamed and deleted.

#include "workbook.h"
#include "workbook_p.h"

#include "chartsheet.h"
#include "chartsheet_p.h"
#include "referencechange_p.h"
#include "streamedrows_p.h"
#include "worksheet.h"
#include "worksheet_p.h"
#include "xmlscanner_p.h"
#include "xmlvaluerewriter_p.h"

namespace Spreadsheet {

namespace {

bool isOfType(const Relationship &relationship, const char *suffix)
{
    return relationship.type.endsWith(QLatin1String(suffix));
}

// Whether the element's "ref" is where a table or pivot table stands.
bool isPlacement(const XmlValue &where)
{
    return where.attribute == QLatin1String("ref")
        && (where.element == QLatin1String("table") || where.element == QLatin1String("autoFilter")
            || where.element == QLatin1String("sortState") || where.element == QLatin1String("sortCondition")
            || where.element == QLatin1String("location"));
}

// The cells a table or pivot table covers: the table's "ref", a pivot
// table's location; invalid when the part says none.
CellArea tableArea(const QByteArray &bytes)
{
    CellArea area;
    rewriteXmlValues(bytes, QByteArray(), [&](const XmlValue &where, QString &value) {
        if (!area.isValid() && (where.element == QLatin1String("table") || where.element == QLatin1String("location"))
            && isPlacement(where))
            area = CellArea(QString(value).remove(QLatin1Char('$')));
        return XmlValueChange::Same;
    });
    return area;
}

QString movedArea(const QString &text, const GridEdit &edit)
{
    CellArea area(QString(text).remove(QLatin1Char('$')));
    if (!area.isValid() || !edit.moveArea(area))
        return text;
    return area.toText();
}

// A table's part after the change: its place on the sheet edited, the
// formulas of its columns.
QByteArray followInTablePart(const QByteArray &bytes, const ReferenceChange &change, const QString &sheetName,
                             const GridEdit *edit)
{
    return rewriteXmlValues(bytes, QByteArray(), [&](const XmlValue &where, QString &value) {
        const QString before = value;
        if (edit && isPlacement(where))
            value = movedArea(value, *edit);
        else if (where.attribute.isEmpty()
                 && (where.element == QLatin1String("calculatedColumnFormula")
                     || where.element == QLatin1String("totalsRowFormula")))
            value = change.formula(value, sheetName);
        return replacedIf(value != before);
    });
}

} // namespace

bool Workbook::editGrid(Worksheet *sheet, const GridEdit &edit)
{
    Q_D(Workbook);
    if (!sheet || !sheet->d_func()->canEdit(edit) || !d->tablesAllow(*sheet, edit) || d->holdsStreamedFormulas())
        return false;
    d->followChange(ReferenceChange::gridEdit(sheet->sheetName(), edit));
    return true;
}

bool WorkbookPrivate::holdsStreamedFormulas(const AbstractSheet *except) const
{
    for (const QSharedPointer<AbstractSheet> &sheet : sheets) {
        if (sheet.data() != except && sheet->sheetType() == AbstractSheet::WorkSheet) {
            const auto &streamed = static_cast<Worksheet *>(sheet.data())->d_func()->streamed;
            if (streamed && streamed->holdsFormulas)
                return true;
        }
    }
    return false;
}

void WorkbookPrivate::followChange(const ReferenceChange &change)
{
    for (const QSharedPointer<AbstractSheet> &sheet : qAsConst(sheets)) {
        if (sheet->sheetType() == AbstractSheet::WorkSheet) {
            static_cast<Worksheet *>(sheet.data())->d_func()->followChange(change);
        } else if (sheet->sheetType() == AbstractSheet::ChartSheet) {
            if (Chart *chart = static_cast<Chartsheet *>(sheet.data())->chart())
                WorksheetPrivate::followInChart(*chart, change);
        }
    }
    QHash<int, QString> sheetNamesById;
    for (const QSharedPointer<AbstractSheet> &sheet : qAsConst(sheets))
        sheetNamesById.insert(sheet->sheetId(), sheet->sheetName());
    for (DefinedNameRecord &name : definedNames)
        name.formula = change.formula(name.formula, sheetNamesById.value(name.scopeSheetId));
    followInKeptParts(change);
}

QStringList WorkbookPrivate::tableParts(const AbstractSheet &sheet) const
{
    QStringList parts;
    if (!keptParts)
        return parts;
    for (const Relationship &relationship : sheet.relationships()->keptRelationships()) {
        if ((isOfType(relationship, "/table") || isOfType(relationship, "/pivotTable"))
            && keptParts->contains(relationship.target))
            parts.append(relationship.target);
    }
    return parts;
}

QList<CellArea> WorkbookPrivate::tableAreasOf(const Worksheet &sheet) const
{
    QList<CellArea> areas;
    for (const TableRecord &record : sheet.d_func()->tables)
        areas << record.table.range;
    for (const QString &part : tableParts(sheet)) {
        const CellArea area = tableArea(keptParts->value(part).bytes);
        if (area.isValid())
            areas << area;
    }
    return areas;
}

QList<TableIdentity> WorkbookPrivate::keptTables() const
{
    QList<TableIdentity> found;
    if (!keptParts)
        return found;
    for (const QSharedPointer<AbstractSheet> &sheet : sheets) {
        for (const Relationship &relationship : sheet->relationships()->keptRelationships()) {
            const auto part = keptParts->constFind(relationship.target);
            if (!isOfType(relationship, "/table") || part == keptParts->constEnd())
                continue;
            if (const std::optional<TableIdentity> identity = TableXml::identity(part->bytes))
                found << *identity;
        }
    }
    return found;
}

QSet<QString> WorkbookPrivate::takenNames(bool includeDefinedNames) const
{
    QSet<QString> taken;
    for (const QSharedPointer<AbstractSheet> &sheet : sheets) {
        if (sheet->sheetType() != AbstractSheet::WorkSheet)
            continue;
        for (const TableRecord &record : static_cast<Worksheet *>(sheet.data())->d_func()->tables) {
            taken.insert(record.table.name.toCaseFolded());
            taken.insert(record.table.displayName.toCaseFolded());
        }
    }
    for (const TableIdentity &kept : keptTables()) {
        taken.insert(kept.name.toCaseFolded());
        taken.insert(kept.displayName.toCaseFolded());
    }
    if (includeDefinedNames) {
        for (const DefinedNameRecord &record : definedNames)
            taken.insert(record.name.toCaseFolded());
    }
    return taken;
}

bool WorkbookPrivate::isNameTaken(const QString &name, bool includeDefinedNames) const
{
    return takenNames(includeDefinedNames).contains(name.toCaseFolded());
}

QString WorkbookPrivate::freeTableName() const
{
    const QSet<QString> taken = takenNames(true);
    for (int number = 1;; ++number) {
        const QString name = QStringLiteral("Table%1").arg(number);
        if (!taken.contains(name.toCaseFolded()))
            return name;
    }
}

// A table or pivot table moves when the edit lies wholly before it and
// stays when it lies after; an edit through it would leave its columns or
// rows wrong.
bool WorkbookPrivate::tablesAllow(const Worksheet &sheet, const GridEdit &edit) const
{
    for (const CellArea &area : tableAreasOf(sheet)) {
        const int first = edit.axis() == GridEdit::Rows ? area.firstRow() : area.firstColumn();
        const int last = edit.axis() == GridEdit::Rows ? area.lastRow() : area.lastColumn();
        const bool through = edit.isInsert() ? edit.cutsThrough(first, last)
                                             : edit.first() <= last && edit.last() >= first;
        if (through)
            return false;
    }
    return true;
}

void WorkbookPrivate::followInKeptParts(const ReferenceChange &change)
{
    // Tables: their areas on the sheet edited, the formulas of their columns.
    for (const QSharedPointer<AbstractSheet> &sheet : qAsConst(sheets)) {
        const QString sheetName = sheet->sheetName();
        const GridEdit *edit = change.gridEditOf(sheetName);
        if (sheet->sheetType() == AbstractSheet::WorkSheet) {
            for (TableRecord &record : static_cast<Worksheet *>(sheet.data())->d_func()->tables) {
                if (edit)
                    edit->moveArea(record.table.range);
                for (TableColumn &column : record.table.columns) {
                    column.formula = change.formula(column.formula, sheetName);
                    column.totalsFormula = change.formula(column.totalsFormula, sheetName);
                }
                if (!record.keptBytes.isEmpty())
                    record.keptBytes = followInTablePart(record.keptBytes, change, sheetName, edit);
            }
        }
        if (!keptParts)
            continue;
        for (const QString &part : tableParts(*sheet)) {
            KeptPart &table = (*keptParts)[part];
            table.bytes = followInTablePart(table.bytes, change, sheetName, edit);
        }
    }
    if (!keptParts)
        return;
    followInPivotSources(change);
    // Charts the model could not read, kept as they came: their series' references.
    for (auto it = keptParts->begin(); it != keptParts->end(); ++it) {
        if (!it->contentType.endsWith(QLatin1String("drawingml.chart+xml"))
            && !it->contentType.endsWith(QLatin1String("chartex+xml")))
            continue;
        it->bytes = WorksheetPrivate::followInChartPart(it->bytes, change);
    }
}

void WorkbookPrivate::followInPivotSources(const ReferenceChange &change)
{
    for (auto it = keptParts->begin(); it != keptParts->end(); ++it) {
        if (!it->contentType.contains(QLatin1String("pivotCacheDefinition")))
            continue;
        // The sheet and cells a pivot cache summarises: the sheet, read
        // first, tells whether the cells are the edited sheet's.
        XmlScanner scanner(it->bytes);
        QString sheet;
        while (scanner.next() != XmlScanner::EndOfDocument && !scanner.hasError()) {
            if (scanner.token() == XmlScanner::StartElement && scanner.is(XmlScanner::Main, "worksheetSource")) {
                sheet = QString::fromUtf8(scanner.value("sheet"));
                break;
            }
        }
        const GridEdit *edit = sheet.isEmpty() ? nullptr : change.gridEditOf(sheet);
        const bool renamed = change.isRename() && sheet.compare(change.sheet(), Qt::CaseInsensitive) == 0;
        if (!edit && !renamed)
            continue;
        it->bytes = rewriteXmlValues(it->bytes, QByteArray(), [&](const XmlValue &where, QString &value) {
            if (where.element != QLatin1String("worksheetSource"))
                return XmlValueChange::Same;
            const QString before = value;
            if (edit && where.attribute == QLatin1String("ref"))
                value = movedArea(value, *edit);
            else if (renamed && where.attribute == QLatin1String("sheet"))
                value = change.newName();
            return replacedIf(value != before);
        });
    }
}

} // namespace Spreadsheet
