#ifndef SPREADSHEET_ABSTRACTSHEET_H
#define SPREADSHEET_ABSTRACTSHEET_H

//! \file abstractsheet.h
//! The base of the sheets of a workbook: AbstractSheet.

#include "abstractooxmlfile.h"

#include <QString>

namespace Spreadsheet {

class AbstractSheetPrivate;
class Workbook;

//! The base of the sheets of a workbook: name, id, visibility and the workbook.
//!
//! Sheets are made by their workbook (Workbook::addSheet(), Document::addSheet(),
//! Document::addChartsheet()), which owns them; a Worksheet holds cells, a
//! Chartsheet one chart.
//!
//! \code
//! Spreadsheet::AbstractSheet *sheet = document.workbook()->sheet(1);
//! if (sheet && sheet->sheetType() == Spreadsheet::AbstractSheet::WorkSheet)
//!     static_cast<Spreadsheet::Worksheet *>(sheet)->writeValue(1, 1, 42);
//! sheet->setHidden(true);
//! \endcode
class AbstractSheet : public AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(AbstractSheet)

public:
    //! The kind of a sheet. Dialog and macro sheets come only from loaded workbooks.
    enum SheetType { WorkSheet = 0, ChartSheet = 1, DialogSheet = 2, MacroSheet = 3 };
    //! \var WorkSheet
    //! A grid of cells, a Worksheet.
    //! \var ChartSheet
    //! One chart filling the sheet, a Chartsheet.
    //! \var DialogSheet
    //! An old dialog sheet of a loaded workbook, kept as it came.
    //! \var MacroSheet
    //! An old macro sheet of a loaded workbook, kept as it came.

    //! Whether a sheet's tab shows.
    enum SheetState { Visible = 0, Hidden = 1, VeryHidden = 2 };
    //! \var Visible
    //! The tab shows.
    //! \var Hidden
    //! The tab is hidden; spreadsheet programs let users show it again.
    //! \var VeryHidden
    //! The tab is hidden, and spreadsheet programs offer no command to show it.

    //! The sheet's name, as its tab shows it and formulas name it.
    QString sheetName() const;
    //! The sheet's id in the workbook, unique and kept for the sheet's life
    //! (defined names of the sheet's own refer to it); not its position.
    int sheetId() const;
    //! The kind of the sheet.
    SheetType sheetType() const;
    //! Whether the sheet's tab shows.
    SheetState sheetState() const;
    //! Shows or hides the sheet's tab. The last visible sheet of a workbook
    //! cannot be hidden: hiding it changes nothing.
    void setSheetState(SheetState state);
    //! Whether the sheet is Hidden or VeryHidden.
    bool isHidden() const;
    //! Whether the sheet is Visible.
    bool isVisible() const;
    //! Hides the sheet (Hidden) or shows it (Visible), as setSheetState() does.
    void setHidden(bool hidden);
    //! Shows the sheet (Visible) or hides it (Hidden), as setSheetState() does.
    void setVisible(bool visible);
    //! The workbook the sheet belongs to.
    Workbook *workbook() const;

protected:
    friend class Workbook;
    friend class WorkbookPrivate;
    friend class DocumentPrivate;
    friend class DocumentLoader;
    //! A sheet with its derived class's private record, which it owns.
    AbstractSheet(AbstractSheetPrivate *d);
    //! Gives the sheet a new name; the workbook renames sheets (Workbook::renameSheet()).
    void setSheetName(const QString &name);
    //! A copy of this sheet under a new name and id, in the same workbook;
    //! null for a sheet that cannot be copied (one kept as it was loaded).
    virtual AbstractSheet *copy(const QString &name, int sheetId) const = 0;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTSHEET_H
