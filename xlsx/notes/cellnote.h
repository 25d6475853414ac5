#ifndef SPREADSHEET_CELLNOTE_H
#define SPREADSHEET_CELLNOTE_H

#include "richstring.h"

#include <QString>

namespace Spreadsheet {

// A note on a cell (a comment, as the file format calls it): its text, plain
// or rich, its author, and whether it shows all the time or only when the
// pointer rests on the cell.
struct CellNote
{
    RichString text;
    QString author;
    bool visible = false;

    bool isNull() const { return text.isEmpty() && author.isEmpty(); }
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLNOTE_H
