#ifndef SPREADSHEET_GRIDEDIT_P_H
#define SPREADSHEET_GRIDEDIT_P_H

#include "cellarea.h"

namespace Spreadsheet {

// Rows or columns inserted into or removed from one sheet, and where that
// takes the rows and columns after them: inserted ones go before the first
// given; removed ones are the count from the first on.
class GridEdit
{
public:
    enum Axis { Rows, Columns };

    GridEdit(Axis axis, int first, int count, bool insert) : m_axis(axis), m_first(first), m_count(count), m_insert(insert) {}

    Axis axis() const { return m_axis; }
    int first() const { return m_first; }
    int count() const { return m_count; }
    int last() const { return m_first + m_count - 1; }
    bool isInsert() const { return m_insert; }
    int limit() const;

    // A row or column number of the edit's axis; false when it is removed or
    // pushed off the sheet.
    bool move(int &index) const;
    // A span of them: it grows by what is inserted inside it (not before its
    // first), loses what is removed of it, and one that reaches the sheet's
    // end keeps reaching it; false when all of it goes.
    bool moveSpan(int &first, int &last) const;
    // An area's rows or columns, as the axis says; false when all of it goes.
    bool moveArea(CellArea &area) const;
    bool moveCell(int &row, int &column) const;
    // Whether the edit cuts the span apart: inserts inside it, or removes some but not all of it.
    bool cutsThrough(int first, int last) const;
    // Whether the span lies wholly before the edit (the edit leaves it as it is).
    bool isBefore(int last) const { return last < m_first; }

private:
    Axis m_axis;
    int m_first;
    int m_count;
    bool m_insert;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_GRIDEDIT_P_H
