#ifndef SPREADSHEET_CELLAREA_H
#define SPREADSHEET_CELLAREA_H

//! \file cellarea.h
//! Rectangles of cells and their "B3:D7" text: CellArea.

#include "celladdress.h"

namespace Spreadsheet {

//! A rectangle of cells from its first to its last row and column (1-based,
//! inclusive). The default area (-1, -1, -2, -2) is invalid; an area is valid
//! when its edges are in order.
//!
//! Validity checks only the order of the edges, not that they lie on a
//! sheet; the calls that take an area check that.
//!
//! \code
//! Spreadsheet::CellArea table(2, 1, 40, 6);   // A2:F40
//! table.rowCount();                           // 39
//! table.toText(true, true);                   // "$A$2:$F$40"
//! Spreadsheet::CellArea(QStringLiteral("B3:D7")).columnCount();   // 3
//! \endcode
class CellArea
{
public:
    //! The invalid area (-1, -1, -2, -2).
    CellArea() = default;
    //! The cells from (firstRow, firstColumn) to (lastRow, lastColumn),
    //! 1-based and inclusive; taken as given, without checks.
    CellArea(int firstRow, int firstColumn, int lastRow, int lastColumn)
        : m_top(firstRow), m_left(firstColumn), m_bottom(lastRow), m_right(lastColumn) {}
    //! The cells from one corner to the other, as given.
    CellArea(const CellAddress &topLeft, const CellAddress &bottomRight)
        : CellArea(topLeft.row(), topLeft.column(), bottomRight.row(), bottomRight.column()) {}
    //! Parses "B3:D7", or a single cell "B3" for B3:B3, each corner as
    //! CellAddress reads it ("$" allowed). The corners are not put in order:
    //! "D7:B3" gives an invalid area, and so does text that is no cell
    //! ("Sheet", "A1:Z"). Of three corners or more, the first is taken.
    explicit CellArea(const QString &text);

    //! The first (top) row.
    int firstRow() const { return m_top; }
    //! The first (left) column.
    int firstColumn() const { return m_left; }
    //! The last (bottom) row, inclusive.
    int lastRow() const { return m_bottom; }
    //! The last (right) column, inclusive.
    int lastColumn() const { return m_right; }
    //! The number of rows, lastRow() - firstRow() + 1.
    int rowCount() const { return m_bottom - m_top + 1; }
    //! The number of columns, lastColumn() - firstColumn() + 1.
    int columnCount() const { return m_right - m_left + 1; }
    //! The top-left cell.
    CellAddress topLeft() const { return CellAddress(m_top, m_left); }
    //! The bottom-right cell.
    CellAddress bottomRight() const { return CellAddress(m_bottom, m_right); }

    //! Sets the first row, leaving the other edges.
    void setFirstRow(int row) { m_top = row; }
    //! Sets the last row, leaving the other edges.
    void setLastRow(int row) { m_bottom = row; }
    //! Sets the first column, leaving the other edges.
    void setFirstColumn(int column) { m_left = column; }
    //! Sets the last column, leaving the other edges.
    void setLastColumn(int column) { m_right = column; }

    //! Whether the first row and column are not after the last ones.
    bool isValid() const { return m_left <= m_right && m_top <= m_bottom; }
    //! The "B3:D7" text of the area, "B3" for a single cell, with "$" before
    //! the rows or the columns when they are absolute; the empty string for an
    //! invalid area.
    QString toText(bool rowAbsolute = false, bool columnAbsolute = false) const;

    //! Whether two areas have the same four edges.
    friend bool operator==(const CellArea &a, const CellArea &b)
    {
        return a.m_top == b.m_top && a.m_left == b.m_left && a.m_bottom == b.m_bottom && a.m_right == b.m_right;
    }
    //! Whether two areas differ in an edge.
    friend bool operator!=(const CellArea &a, const CellArea &b) { return !(a == b); }

private:
    int m_top = -1;
    int m_left = -1;
    int m_bottom = -2;
    int m_right = -2;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLAREA_H
