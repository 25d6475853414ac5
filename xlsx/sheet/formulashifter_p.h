#ifndef SPREADSHEET_FORMULASHIFTER_P_H
#define SPREADSHEET_FORMULASHIFTER_P_H

#include <QString>

namespace Spreadsheet {

// A formula as it reads from another cell: its relative references (A1,
// A1:B2, A:C, 1:3, with or without a sheet) move by the distance between
// the two cells, the absolute parts ($A$1) stay; a reference moved off the
// sheet becomes #REF!. Texts, quoted sheet names, structured references
// and names are left alone. This is how the cells that share a formula read
// it from the cell that holds it.
QString shiftFormula(const QString &formula, int rows, int columns);

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMULASHIFTER_P_H
