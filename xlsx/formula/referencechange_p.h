#ifndef SPREADSHEET_REFERENCECHANGE_P_H
#define SPREADSHEET_REFERENCECHANGE_P_H

#include "gridedit_p.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Spreadsheet {

// A change of the workbook that references must follow: rows or columns of
// one sheet inserted or removed, a sheet renamed, a sheet deleted. Every
// part that holds formulas or areas asks it how each one reads after.
class ReferenceChange
{
public:
    static ReferenceChange gridEdit(const QString &sheet, const GridEdit &edit);
    static ReferenceChange rename(const QString &oldName, const QString &newName);
    static ReferenceChange removal(const QString &sheet, const QStringList &sheets);

    // A formula as it reads after the change, for a formula standing on the
    // sheet named (empty for one that stands on none: a defined name, a
    // chart's series).
    QString formula(const QString &text, const QString &formulaSheet) const;
    // The rows or columns edited when they are those of that sheet.
    const GridEdit *gridEditOf(const QString &sheet) const;
    // Areas of the edited sheet ("sqref": areas apart by spaces) after the
    // edit: those all removed go; an empty text when none is left.
    QString areasText(const QString &text, const QString &sheet) const;
    QList<CellArea> areas(const QList<CellArea> &areas, const QString &sheet) const;
    bool isRename() const { return m_kind == Rename; }
    bool isRemoval() const { return m_kind == Removal; }
    QString sheet() const { return m_sheet; }
    QString newName() const { return m_newName; }

private:
    enum Kind { Grid, Rename, Removal };
    ReferenceChange(Kind kind, const QString &sheet);

    Kind m_kind;
    QString m_sheet;
    QString m_quotedSheet;   // its apostrophes doubled, as a quoted name in a formula has them
    std::optional<GridEdit> m_edit;
    QString m_newName;
    QStringList m_sheets;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_REFERENCECHANGE_P_H
