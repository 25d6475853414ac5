#ifndef EXCELEXPORT_H
#define EXCELEXPORT_H

#include "acquisition/tablerow.h"

#include <QString>
#include <QVector>

class QIODevice;

// The ticked rows of the result table as a one-sheet workbook: a bold header
// row, then one sheet row per result line of each ticked row, in the table's
// order. Every table text is written as a plain text cell, so a sample name
// such as "=1+1" or a note with "mailto:" shows exactly as in the table.
namespace ExcelExport {

// Writes the workbook; false when the file could not be written (an existing
// file is then left as it was) or when the ticked rows have more result lines
// than a sheet has rows (nothing is written then).
bool write(const QString &fileName, const QVector<TableRow> &rows);
// The same workbook written to an open device.
bool write(QIODevice *device, const QVector<TableRow> &rows);

} // namespace ExcelExport

#endif // EXCELEXPORT_H
