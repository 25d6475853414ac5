#ifndef SPREADSHEET_FORMULAREWRITER_P_H
#define SPREADSHEET_FORMULAREWRITER_P_H

#include "gridedit_p.h"

#include <QString>
#include <QStringList>

namespace Spreadsheet {

// Rewrites the references of a formula text as the workbook around it
// changes, touching nothing else of the text: structured references,
// another workbook's references, texts and names stay as written. Sheet
// names compare in any letter case, as spreadsheet programs compare them.
namespace FormulaRewriter {

// Rows or columns inserted into or removed from the sheet edited: the
// references to its cells move with them (those without a sheet when the
// formula stands on that sheet; formulaSheet is empty for a workbook's
// defined names), and one whose cells all go becomes #REF! (without its
// sheet, which not every program reads back). A reference
// across several sheets stays: the edit is on one of them only.
QString moveReferences(const QString &formula, const QString &formulaSheet, const QString &editedSheet,
                       const GridEdit &edit);

// The sheet renamed in every reference that names it.
QString renameSheet(const QString &formula, const QString &oldName, const QString &newName);

// The sheet deleted: references to it become #REF!; a reference across
// several sheets that it ends loses it (sheets in the workbook's order,
// the deleted one among them).
QString removeSheet(const QString &formula, const QString &name, const QStringList &sheets);

// The formula as it reads from a cell rows and columns away, as a copy
// reads it: the relative parts of its references move (another workbook's
// too), the absolute ones stay, and one moved off the sheet becomes #REF!.
QString shift(const QString &formula, int rows, int columns);

} // namespace FormulaRewriter

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMULAREWRITER_P_H
