#include "referencechange_p.h"

#include "formularewriter_p.h"

namespace Spreadsheet {

ReferenceChange::ReferenceChange(Kind kind, const QString &sheet)
    : m_kind(kind), m_sheet(sheet), m_quotedSheet(QString(sheet).replace(QLatin1Char('\''), QStringLiteral("''")))
{
}

ReferenceChange ReferenceChange::gridEdit(const QString &sheet, const GridEdit &edit)
{
    ReferenceChange change(Grid, sheet);
    change.m_edit = edit;
    return change;
}

ReferenceChange ReferenceChange::rename(const QString &oldName, const QString &newName)
{
    ReferenceChange change(Rename, oldName);
    change.m_newName = newName;
    return change;
}

ReferenceChange ReferenceChange::removal(const QString &sheet, const QStringList &sheets)
{
    ReferenceChange change(Removal, sheet);
    change.m_sheets = sheets;
    return change;
}

QString ReferenceChange::formula(const QString &text, const QString &formulaSheet) const
{
    if (text.isEmpty())
        return text;
    // A formula that does not name the sheet reads the same after, unless
    // it stands on the sheet edited.
    const bool onEditedSheet = m_kind == Grid && formulaSheet.compare(m_sheet, Qt::CaseInsensitive) == 0;
    if (!onEditedSheet && !text.contains(m_sheet, Qt::CaseInsensitive)
        && !(m_sheet.contains(QLatin1Char('\'')) && text.contains(m_quotedSheet, Qt::CaseInsensitive)))
        return text;
    switch (m_kind) {
    case Grid:
        return FormulaRewriter::moveReferences(text, formulaSheet, m_sheet, *m_edit);
    case Rename:
        return FormulaRewriter::renameSheet(text, m_sheet, m_newName);
    case Removal:
        break;
    }
    return FormulaRewriter::removeSheet(text, m_sheet, m_sheets);
}

const GridEdit *ReferenceChange::gridEditOf(const QString &sheet) const
{
    return m_kind == Grid && sheet.compare(m_sheet, Qt::CaseInsensitive) == 0 ? &*m_edit : nullptr;
}

QList<CellArea> ReferenceChange::areas(const QList<CellArea> &areas, const QString &sheet) const
{
    const GridEdit *edit = gridEditOf(sheet);
    if (!edit)
        return areas;
    QList<CellArea> moved;
    for (CellArea area : areas) {
        if (edit->moveArea(area))
            moved.append(area);
    }
    return moved;
}

QString ReferenceChange::areasText(const QString &text, const QString &sheet) const
{
    if (!gridEditOf(sheet))
        return text;
    QList<CellArea> parsed;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const CellArea area(QString(part).remove(QLatin1Char('$')));
        if (!area.isValid())
            return text;   // not areas this model reads: left as written
        parsed.append(area);
    }
    QStringList moved;
    for (const CellArea &area : areas(parsed, sheet))
        moved.append(area.toText());
    return moved.join(QLatin1Char(' '));
}

} // namespace Spreadsheet
