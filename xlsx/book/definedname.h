#ifndef SPREADSHEET_DEFINEDNAME_H
#define SPREADSHEET_DEFINEDNAME_H

#include <QString>

namespace Spreadsheet {

// A name for a formula, for the whole workbook or one sheet ("_xlnm.Print_Area"
// and the other names spreadsheet programs give a meaning to among them).
struct DefinedName
{
    QString name;
    QString formula;        // without "="
    QString comment;
    int scopeSheetId = -1;  // -1: the whole workbook
    bool hidden = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DEFINEDNAME_H
