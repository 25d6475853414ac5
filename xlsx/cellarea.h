#ifndef SPREADSHEET_CELLAREA_H
#define SPREADSHEET_CELLAREA_H

#include "celladdress.h"

namespace Spreadsheet {

// A rectangle of cells from its first to its last row and column (1-based,
// inclusive). The default area (-1, -1, -2, -2) is invalid; an area is valid
// when its edges are in order.
class CellArea
{
public:
    CellArea() = default;
    CellArea(int firstRow, int firstColumn, int lastRow, int lastColumn)
        : m_top(firstRow), m_left(firstColumn), m_bottom(lastRow), m_right(lastColumn) {}
    CellArea(const CellAddress &topLeft, const CellAddress &bottomRight)
        : CellArea(topLeft.row(), topLeft.column(), bottomRight.row(), bottomRight.column()) {}
    // "B3:D7", or a single cell "B3" for B3:B3.
    explicit CellArea(const QString &text);

    int firstRow() const { return m_top; }
    int firstColumn() const { return m_left; }
    int lastRow() const { return m_bottom; }
    int lastColumn() const { return m_right; }
    int rowCount() const { return m_bottom - m_top + 1; }
    int columnCount() const { return m_right - m_left + 1; }
    CellAddress topLeft() const { return CellAddress(m_top, m_left); }
    CellAddress bottomRight() const { return CellAddress(m_bottom, m_right); }

    void setFirstRow(int row) { m_top = row; }
    void setLastRow(int row) { m_bottom = row; }
    void setFirstColumn(int column) { m_left = column; }
    void setLastColumn(int column) { m_right = column; }

    bool isValid() const { return m_left <= m_right && m_top <= m_bottom; }
    QString toText(bool rowAbsolute = false, bool columnAbsolute = false) const;

    friend bool operator==(const CellArea &a, const CellArea &b)
    {
        return a.m_top == b.m_top && a.m_left == b.m_left && a.m_bottom == b.m_bottom && a.m_right == b.m_right;
    }
    friend bool operator!=(const CellArea &a, const CellArea &b) { return !(a == b); }

private:
    int m_top = -1;
    int m_left = -1;
    int m_bottom = -2;
    int m_right = -2;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLAREA_H
