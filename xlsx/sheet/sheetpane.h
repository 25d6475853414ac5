#ifndef SPREADSHEET_SHEETPANE_H
#define SPREADSHEET_SHEETPANE_H

//! \file sheetpane.h
//! Frozen and split panes of a sheet's window: SheetPane.

#include "celladdress.h"

namespace Spreadsheet {

//! How a sheet's window is divided: frozen rows and columns that stay in
//! place while the rest scrolls, or a split into panes that scroll apart.
//! \sa Worksheet::setFrozenPanes(), Worksheet::setSplitPanes(), Worksheet::pane()
struct SheetPane
{
    //! How the window is divided.
    enum State { NoPane, Frozen, Split };
    //! \var NoPane
    //! The window is not divided.
    //! \var Frozen
    //! The rows above and the columns left of the division stay in place.
    //! \var Split
    //! The window is split into panes that scroll apart.

    //! How the window is divided.
    State state = NoPane;
    int rows = 0;        //!< The rows above the division (frozen: those that stay).
    int columns = 0;     //!< The columns left of it.
    double xSplit = 0;   //!< As the file gives them: frozen, the counts; split, twentieths of a point.
    double ySplit = 0;   //!< The vertical place of the division, as xSplit gives the horizontal one.
    CellAddress topLeftCell;   //!< The first cell the lower right pane shows.
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETPANE_H
