// Rows and columns inserted and removed, and the workbook's other changes
// that the references of a sheet follow.

#include "worksheet.h"
#include "worksheet_p.h"

#include "chart.h"
#include "chart_p.h"
#include "drawing.h"
#include "formularewriter_p.h"
#include "referencechange_p.h"
#include "sharedstrings.h"
#include "workbook.h"
#include "xmlscanner_p.h"
#include "xmlvaluerewriter_p.h"

namespace Spreadsheet {

namespace {

// The rows or columns of an area along the edit's axis.
int firstAlong(const GridEdit &edit, const CellArea &area)
{
    return edit.axis() == GridEdit::Rows ? area.firstRow() : area.firstColumn();
}

int lastAlong(const GridEdit &edit, const CellArea &area)
{
    return edit.axis() == GridEdit::Rows ? area.lastRow() : area.lastColumn();
}

// The rule elements of a sheet and the extension blocks that hold more of
// them: their areas ("sqref", "xm:sqref") and formulas ("formula",
// "formula1", "formula2", "xm:f") follow the change.
QByteArray followInRuleElements(const QByteArray &bytes, const QByteArray &namespaces, const ReferenceChange &change,
                                const QString &sheet)
{
    return rewriteXmlValues(bytes, namespaces, [&](const XmlValue &where, QString &value) {
        const QString before = value;
        const bool areaAttribute = where.attribute == QLatin1String("sqref");
        if (areaAttribute || (where.attribute.isEmpty() && where.element == QLatin1String("sqref"))) {
            value = change.areasText(value, sheet);
            // Cells all removed: the rule, range or mark over them goes.
            if (value.isEmpty() && !before.isEmpty())
                return areaAttribute ? XmlValueChange::RemoveElement : XmlValueChange::RemoveParent;
        } else if (where.attribute.isEmpty()
                   && (where.element == QLatin1String("formula") || where.element == QLatin1String("formula1")
                       || where.element == QLatin1String("formula2") || where.element == QLatin1String("f"))) {
            value = change.formula(value, sheet);
        }
        return replacedIf(value != before);
    });
}

// A data table's input cells ("r1", "r2"), which its formula keeps among
// the attributes the model does not know, through the edit; removed tells
// whether one of them goes.
QByteArray movedDataTableInputs(const QByteArray &attributes, const GridEdit &edit, bool *removed)
{
    const QByteArray moved = rewriteXmlValues("<f" + attributes + "/>", QByteArray(), [&](const XmlValue &where, QString &value) {
        if (where.attribute != QLatin1String("r1") && where.attribute != QLatin1String("r2"))
            return XmlValueChange::Same;
        const CellAddress cell(QString(value).remove(QLatin1Char('$')));
        int row = cell.row();
        int column = cell.column();
        if (!cell.isValid())
            return XmlValueChange::Same;
        if (!edit.moveCell(row, column)) {
            if (removed)
                *removed = true;
            return XmlValueChange::Same;
        }
        value = CellAddress(row, column).toText();
        return replacedIf(value != cell.toText());
    });
    return moved.mid(2, moved.size() - 4);
}

} // namespace

// --- the API

bool Worksheet::insertRows(int row, int count)
{
    Q_D(Worksheet);
    return d->workbook->editGrid(this, GridEdit(GridEdit::Rows, row, count, true));
}

bool Worksheet::removeRows(int row, int count)
{
    Q_D(Worksheet);
    return d->workbook->editGrid(this, GridEdit(GridEdit::Rows, row, count, false));
}

bool Worksheet::insertColumns(int column, int count)
{
    Q_D(Worksheet);
    return d->workbook->editGrid(this, GridEdit(GridEdit::Columns, column, count, true));
}

bool Worksheet::removeColumns(int column, int count)
{
    Q_D(Worksheet);
    return d->workbook->editGrid(this, GridEdit(GridEdit::Columns, column, count, false));
}

// --- what refuses an edit

bool WorksheetPrivate::canEdit(const GridEdit &edit) const
{
    if (streamed)
        return false;   // rows written out cannot move
    if (edit.count() < 1 || edit.first() < 1 || edit.first() > edit.limit() || edit.count() > edit.limit())
        return false;
    if (!edit.isInsert() && edit.last() > edit.limit())
        return false;
    const int lastStored = edit.isInsert() ? lastStoredAlong(edit.axis()) : 0;
    if (lastStored >= edit.first() && lastStored + edit.count() > edit.limit())
        return false;   // stored cells would leave the sheet
    for (auto it = formulas.constBegin(); it != formulas.constEnd(); ++it) {
        const CellArea range = it->range();
        const bool arrayOrTable = it->kind() == CellFormula::ArrayFormula || it->kind() == CellFormula::DataTableFormula;
        if (arrayOrTable && range.isValid() && edit.cutsThrough(firstAlong(edit, range), lastAlong(edit, range)))
            return false;   // part of an array formula or a data table cannot change
        bool inputRemoved = false;
        if (it->kind() == CellFormula::DataTableFormula)
            movedDataTableInputs(formulaAttributes.value(it.key()), edit, &inputRemoved);
        if (inputRemoved)
            return false;   // a data table would lose the cell it varies
    }
    if (keptDrawingElement)
        return false;   // what the sheet's unread drawing anchors could not follow
    if (notesLocked) {
        for (auto it = notes.constBegin(); it != notes.constEnd(); ++it) {
            const int index = edit.axis() == GridEdit::Rows ? it.key().first : it.key().second;
            if (index >= edit.first())
                return false;   // the notes could not be written where they move to
        }
    }
    return true;
}

// The last row or column that holds a cell, a note or a link.
int WorksheetPrivate::lastStoredAlong(GridEdit::Axis axis) const
{
    const bool rows = axis == GridEdit::Rows;
    int last = 0;
    cells.forEachRow(1, [&](int row, const CellTable::Row &cellsOfRow) {
        last = rows ? row : qMax(last, int(cellsOfRow.back().column));
    });
    for (auto it = notes.constBegin(); it != notes.constEnd(); ++it)
        last = qMax(last, rows ? it.key().first : it.key().second);
    for (auto row = hyperlinks.constBegin(); row != hyperlinks.constEnd(); ++row) {
        if (!row->isEmpty())
            last = qMax(last, rows ? row.key() : row->lastKey());
    }
    return last;
}

// --- following a change

void WorksheetPrivate::followChange(const ReferenceChange &change)
{
    const GridEdit *edit = change.gridEditOf(name);
    followInFormulas(change, edit);
    followInRules(change);
    followInLinks(change, edit);
    followInDrawing(change, edit);
    if (edit) {
        moveCells(*edit);
        moveRowsAndColumns(*edit);
        moveMergesAndNotes(*edit);
        moveFilter(*edit);
        movePageBreaks(*edit);
    }
}

void WorksheetPrivate::followInFormulas(const ReferenceChange &change, const GridEdit *edit)
{
    // Cells that share a formula are taken group by group: the group stays
    // one when every cell's formula, moved, still reads as the master's
    // copied to it; otherwise each cell keeps its own.
    QHash<int, QVector<quint64>> groups;
    for (auto it = formulas.constBegin(); it != formulas.constEnd(); ++it) {
        if (it->kind() == CellFormula::SharedFormula && sharedFormulaMasters.contains(it->sharedIndex()))
            groups[it->sharedIndex()].append(it.key());
    }
    QHash<quint64, CellFormula> moved;
    moved.reserve(formulas.size());
    auto newKey = [&](quint64 key, quint64 &result) {
        int row = rowOfKey(key);
        int column = columnOfKey(key);
        if (edit && !edit->moveCell(row, column))
            return false;
        result = formulaKey(row, column);
        return true;
    };
    for (auto it = formulas.constBegin(); it != formulas.constEnd(); ++it) {
        quint64 key = 0;
        if (!newKey(it.key(), key))
            continue;
        if (it->kind() == CellFormula::SharedFormula && sharedFormulaMasters.contains(it->sharedIndex()))
            continue;   // below, with its group
        CellFormula formula = *it;
        if (formula.kind() != CellFormula::DataTableFormula)
            formula = withText(formula, change.formula(formula.text(), name));
        else if (edit && formulaAttributes.contains(it.key()))
            formulaAttributes[it.key()] = movedDataTableInputs(formulaAttributes.value(it.key()), *edit, nullptr);
        CellArea range = formula.range();
        if (edit && range.isValid() && edit->moveArea(range))
            formula = withRange(formula, range);
        moved.insert(key, formula);
    }
    for (auto group = groups.constBegin(); group != groups.constEnd(); ++group)
        followInSharedFormula(change, edit, group.key(), group.value(), moved);
    formulas.swap(moved);
}

void WorksheetPrivate::followInSharedFormula(const ReferenceChange &change, const GridEdit *edit, int index,
                                             const QVector<quint64> &members, QHash<quint64, CellFormula> &moved)
{
    const quint64 master = sharedFormulaMasters.value(index);
    const CellFormula masterFormula = formulas.value(master);
    const QString masterText = masterFormula.text();
    int masterRow = rowOfKey(master);
    int masterColumn = columnOfKey(master);
    const bool masterStays = !edit || edit->moveCell(masterRow, masterColumn);
    const QString newMasterText = change.formula(masterText, name);
    struct Member
    {
        quint64 key;
        QString text;
        CellFormula formula;
    };
    QVector<Member> kept;
    bool whole = masterStays;
    for (quint64 member : members) {
        int row = rowOfKey(member);
        int column = columnOfKey(member);
        if (edit && !edit->moveCell(row, column))
            continue;
        const QString own = FormulaRewriter::shift(masterText, rowOfKey(member) - rowOfKey(master),
                                                   columnOfKey(member) - columnOfKey(master));
        const QString text = change.formula(own, name);
        if (whole && FormulaRewriter::shift(newMasterText, row - masterRow, column - masterColumn) != text)
            whole = false;
        kept.append({ formulaKey(row, column), text, formulas.value(member) });
    }
    if (whole) {
        for (const Member &member : qAsConst(kept)) {
            CellFormula formula = member.formula;
            if (member.key == formulaKey(masterRow, masterColumn)) {
                CellArea range = formula.range();
                if (edit && range.isValid())
                    edit->moveArea(range);
                formula = withRange(withText(formula, newMasterText), range);
            }
            moved.insert(member.key, formula);
        }
        sharedFormulaMasters.insert(index, formulaKey(masterRow, masterColumn));
        return;
    }
    for (const Member &member : qAsConst(kept)) {
        CellFormula own(member.text);
        own.setAlwaysCalculate(member.formula.alwaysCalculate());
        moved.insert(member.key, own);
    }
    sharedFormulaMasters.remove(index);
}

CellFormula WorksheetPrivate::withText(const CellFormula &formula, const QString &text)
{
    if (text == formula.text())
        return formula;
    CellFormula changed(text, formula.kind(), formula.range());
    changed.setAlwaysCalculate(formula.alwaysCalculate());
    changed.setSharedIndex(formula.sharedIndex());
    return changed;
}

CellFormula WorksheetPrivate::withRange(const CellFormula &formula, const CellArea &range)
{
    CellFormula changed(formula.text(), formula.kind(), range);
    changed.setAlwaysCalculate(formula.alwaysCalculate());
    changed.setSharedIndex(formula.sharedIndex());
    return changed;
}

void WorksheetPrivate::followInRules(const ReferenceChange &change)
{
    auto followFormulas = [&](QStringList &list) {
        for (QString &formula : list)
            formula = change.formula(formula, name);
    };
    for (int i = conditionalFormats.size() - 1; i >= 0; --i) {
        FormattingRule &rule = conditionalFormats[i];
        rule.value.ranges = change.areas(rule.value.ranges, name);
        if (rule.value.ranges.isEmpty()) {
            conditionalFormats.removeAt(i);
            continue;
        }
        for (ConditionalFormatRule &one : rule.value.rules)
            followFormulas(one.formulas);
        if (!rule.kept.isEmpty())
            rule.kept = followInRuleElements(rule.kept, rootNamespaces, change, name);
    }
    for (int i = validations.size() - 1; i >= 0; --i) {
        ValidationRule &rule = validations[i];
        rule.value.ranges = change.areas(rule.value.ranges, name);
        if (rule.value.ranges.isEmpty()) {
            validations.removeAt(i);
            continue;
        }
        rule.value.formula1 = change.formula(rule.value.formula1, name);
        rule.value.formula2 = change.formula(rule.value.formula2, name);
        if (!rule.kept.isEmpty())
            rule.kept = followInRuleElements(rule.kept, rootNamespaces, change, name);
    }
    // Extension blocks (rules of newer kinds, protected ranges, ignored errors).
    kept.rewrite([&](const QByteArray &bytes) { return followInRuleElements(bytes, rootNamespaces, change, name); });
}

void WorksheetPrivate::followInLinks(const ReferenceChange &change, const GridEdit *edit)
{
    QMap<int, QMap<int, QSharedPointer<Hyperlink>>> moved;
    for (auto row = hyperlinks.constBegin(); row != hyperlinks.constEnd(); ++row) {
        for (auto link = row->constBegin(); link != row->constEnd(); ++link) {
            Hyperlink &hyperlink = **link;
            if (hyperlink.kind == Hyperlink::Internal)
                hyperlink.location = change.formula(hyperlink.location, name);
            int newRow = row.key();
            int newColumn = link.key();
            if (edit && !edit->moveCell(newRow, newColumn))
                continue;
            if (edit && hyperlink.range.isValid() && !edit->moveArea(hyperlink.range))
                hyperlink.range = CellArea();
            moved[newRow].insert(newColumn, *link);
        }
    }
    hyperlinks.swap(moved);
}

void WorksheetPrivate::followInDrawing(const ReferenceChange &change, const GridEdit *edit)
{
    if (!drawing)
        return;
    for (DrawingObject &object : drawing->objects()) {
        if (object.chart)
            followInChart(*object.chart, change);
    }
    if (edit)
        drawing->moveAnchors(*edit);
}

void WorksheetPrivate::followInChart(Chart &chart, const ReferenceChange &change)
{
    ChartPrivate *d = chart.d_func();
    for (ChartSeries &series : d->series) {
        series.values = change.formula(series.values, QString());
        series.categories = change.formula(series.categories, QString());
        series.nameReference = change.formula(series.nameReference, QString());
    }
    if (!d->loadedBytes.isEmpty())
        d->loadedBytes = followInChartPart(d->loadedBytes, change);
}

QByteArray WorksheetPrivate::followInChartPart(const QByteArray &bytes, const ReferenceChange &change)
{
    return rewriteXmlValues(bytes, QByteArray(), [&](const XmlValue &where, QString &value) {
        if (!where.attribute.isEmpty() || where.element != QLatin1String("f"))
            return XmlValueChange::Same;
        const QString before = value;
        value = change.formula(value, QString());
        return replacedIf(value != before);
    });
}

// --- moving what stands on the edited sheet

void WorksheetPrivate::moveCells(const GridEdit &edit)
{
    CellTable moved;
    cells.forEachRow(1, [&](int row, const CellTable::Row &cellsOfRow) {
        for (const StoredCell &cell : cellsOfRow) {
            int newRow = row;
            int newColumn = cell.column;
            if (!edit.moveCell(newRow, newColumn)) {
                if (CellKind(cell.kind) == CellKind::SharedString)
                    sharedStrings()->releaseEntry(cell.value.string);
                continue;
            }
            StoredCell copy = cell;
            copy.column = quint16(newColumn);
            moved.store(newRow, copy);
        }
    });
    cells = std::move(moved);

    auto moveKeys = [&](auto &hash) {
        std::remove_reference_t<decltype(hash)> result;
        result.reserve(hash.size());
        for (auto it = hash.constBegin(); it != hash.constEnd(); ++it) {
            int row = rowOfKey(it.key());
            int column = columnOfKey(it.key());
            if (edit.moveCell(row, column))
                result.insert(formulaKey(row, column), it.value());
        }
        hash.swap(result);
    };
    moveKeys(cellAttributes);
    moveKeys(formulaAttributes);
    moveKeys(formulaResults);

    if (edit.axis() == GridEdit::Rows) {
        std::vector<std::pair<int, int>> attributes;
        for (auto attribute : rowAttributes) {
            if (edit.move(attribute.first))
                attributes.push_back(attribute);
        }
        rowAttributes.swap(attributes);
    }
    if (dimension.isValid() && !edit.moveArea(dimension))
        dimension = CellArea();
}

void WorksheetPrivate::moveRowsAndColumns(const GridEdit &edit)
{
    if (edit.axis() == GridEdit::Rows) {
        QMap<int, QSharedPointer<RowSettings>> moved;
        for (auto it = rows.constBegin(); it != rows.constEnd(); ++it) {
            int row = it.key();
            if (edit.move(row))
                moved.insert(row, it.value());
        }
        rows.swap(moved);
        return;
    }
    QMap<int, QSharedPointer<ColumnSettings>> moved;
    columnsByColumn.clear();
    for (const QSharedPointer<ColumnSettings> &range : qAsConst(columns)) {
        int first = range->firstColumn;
        int last = range->lastColumn;
        // Columns inserted inside a range of settings get none: the range splits.
        if (edit.isInsert() && edit.cutsThrough(first, last)) {
            range->lastColumn = edit.first() - 1;
            moved.insert(range->firstColumn, range);
            if (edit.first() + edit.count() <= edit.limit()) {
                auto after = QSharedPointer<ColumnSettings>::create(*range);
                after->firstColumn = edit.first() + edit.count();
                after->lastColumn = qMin(last + edit.count(), edit.limit());
                moved.insert(after->firstColumn, after);
            }
            continue;
        }
        if (!edit.moveSpan(first, last))
            continue;
        range->firstColumn = first;
        range->lastColumn = last;
        moved.insert(first, range);
    }
    columns.swap(moved);
    for (const QSharedPointer<ColumnSettings> &range : qAsConst(columns)) {
        for (int column = range->firstColumn; column <= range->lastColumn; ++column)
            columnsByColumn.insert(column, range);
    }
}

void WorksheetPrivate::moveMergesAndNotes(const GridEdit &edit)
{
    // A merged range whose first cell, which holds what it shows, is
    // removed goes, as it does in spreadsheet programs.
    QList<CellArea> merges;
    for (CellArea area : qAsConst(mergedRanges)) {
        int first = firstAlong(edit, area);
        if (edit.isInsert() || edit.move(first)) {
            if (edit.moveArea(area) && (area.rowCount() > 1 || area.columnCount() > 1))
                merges.append(area);
        }
    }
    mergedRanges = merges;

    if (notes.isEmpty())
        return;
    NoteMap moved;
    for (auto it = notes.constBegin(); it != notes.constEnd(); ++it) {
        int row = it.key().first;
        int column = it.key().second;
        if (edit.moveCell(row, column))
            moved.insert(qMakePair(row, column), it.value());
    }
    if (moved.keys() != notes.keys() && changeNotes())
        notes.swap(moved);
}

// A page break stays before the row or column that begins its page; one
// whose row goes stands before the rows that follow.
void WorksheetPrivate::movePageBreaks(const GridEdit &edit)
{
    QList<int> &breaks = edit.axis() == GridEdit::Rows ? page.setup.rowBreaks : page.setup.columnBreaks;
    for (int &first : breaks) {
        if (!edit.move(first))
            first = qMin(edit.first(), edit.limit());
    }
    breaks.erase(std::remove_if(breaks.begin(), breaks.end(), [](int first) { return first <= 1; }), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
}

void WorksheetPrivate::moveFilter(const GridEdit &edit)
{
    if (autoFilterRange.isValid() && !edit.moveArea(autoFilterRange))
        autoFilterRange = CellArea();
    if (keptAutoFilter.isEmpty())
        return;
    // A loaded filter: its area, and its criteria by column (counted from
    // the area's first column); a criterion whose column goes, goes.
    CellArea before;
    CellArea after;
    bool gone = false;
    const QByteArray moved = rewriteXmlValues(keptAutoFilter, rootNamespaces, [&](const XmlValue &where, QString &value) {
        if (where.attribute == QLatin1String("ref") && where.element == QLatin1String("autoFilter")) {
            before = CellArea(QString(value).remove(QLatin1Char('$')));
            after = before;
            if (!before.isValid())
                return XmlValueChange::Same;
            gone = !edit.moveArea(after);
            value = after.toText();
            return replacedIf(!gone && after != before);
        }
        if (where.attribute == QLatin1String("ref") && where.element == QLatin1String("sortState")) {
            CellArea sorted(QString(value).remove(QLatin1Char('$')));
            if (!sorted.isValid() || !edit.moveArea(sorted))
                return XmlValueChange::RemoveElement;
            value = sorted.toText();
            return XmlValueChange::Replaced;
        }
        if (where.attribute != QLatin1String("colId") || where.element != QLatin1String("filterColumn")
            || edit.axis() != GridEdit::Columns || !before.isValid() || gone)
            return XmlValueChange::Same;
        bool ok = false;
        int column = before.firstColumn() + value.toInt(&ok);
        if (!ok)
            return XmlValueChange::Same;
        if (!edit.move(column))
            return XmlValueChange::RemoveElement;
        value = QString::number(column - after.firstColumn());
        return XmlValueChange::Replaced;
    });
    // A filter whose cells all went goes too.
    keptAutoFilter = gone ? QByteArray() : moved;
}

} // namespace Spreadsheet
