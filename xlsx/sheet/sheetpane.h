#ifndef SPREADSHEET_SHEETPANE_H
#define SPREADSHEET_SHEETPANE_H

#include "celladdress.h"

namespace Spreadsheet {

// How a sheet's window is divided: frozen rows and columns that stay in
// place while the rest scrolls, or a split into panes that scroll apart.
struct SheetPane
{
    enum State { NoPane, Frozen, Split };

    State state = NoPane;
    int rows = 0;        // the rows above the division (frozen: those that stay)
    int columns = 0;     // the columns left of it
    double xSplit = 0;   // as the file gives them: frozen, the counts; split, twentieths of a point
    double ySplit = 0;
    CellAddress topLeftCell;   // the first cell the lower right pane shows
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETPANE_H
