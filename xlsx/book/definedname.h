#ifndef SPREADSHEET_DEFINEDNAME_H
#define SPREADSHEET_DEFINEDNAME_H

//! \file definedname.h
//! Names for formulas, of the workbook or of one sheet: DefinedName.

#include <QString>

namespace Spreadsheet {

//! A name for a formula, for the whole workbook or one sheet ("_xlnm.Print_Area"
//! and the other names spreadsheet programs give a meaning to among them).
//!
//! \code
//! Spreadsheet::DefinedName acidity;
//! acidity.name = QStringLiteral("Acidity");
//! acidity.formula = QStringLiteral("Sheet1!$C$2:$C$40");
//! document.workbook()->defineName(acidity);
//! \endcode
//! \sa Workbook::defineName(), Workbook::definedNames()
struct DefinedName
{
    //! The name formulas use ("Acidity"); letter case does not tell two names apart.
    QString name;
    QString formula;        //!< What the name stands for, without "=" ("Sheet1!$C$2:$C$40").
    //! A comment that spreadsheet programs show in their name manager.
    QString comment;
    int scopeSheetId = -1;  //!< The AbstractSheet::sheetId() of the sheet the name belongs to; -1: the whole workbook.
    //! Whether spreadsheet programs leave the name out of their name lists.
    bool hidden = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DEFINEDNAME_H
