#include "gridedit_p.h"

namespace Spreadsheet {

int GridEdit::limit() const
{
    return m_axis == Rows ? maximumRows : maximumColumns;
}

bool GridEdit::move(int &index) const
{
    if (index < m_first)
        return true;
    if (m_insert) {
        index += m_count;
        return index <= limit();
    }
    if (index <= last())
        return false;
    index -= m_count;
    return true;
}

bool GridEdit::moveSpan(int &first, int &last) const
{
    const bool toTheEnd = last == limit() && !(!m_insert && last >= m_first);
    if (m_insert) {
        if (first >= m_first)
            first += m_count;
        if (last >= m_first)
            last += m_count;
        if (first > limit())
            return false;
    } else {
        first = first < m_first ? first : (first > this->last() ? first - m_count : m_first);
        last = last < m_first ? last : (last > this->last() ? last - m_count : m_first - 1);
        if (first > last)
            return false;
    }
    if (toTheEnd || last > limit())
        last = limit();
    return true;
}

bool GridEdit::moveArea(CellArea &area) const
{
    int first = m_axis == Rows ? area.firstRow() : area.firstColumn();
    int last = m_axis == Rows ? area.lastRow() : area.lastColumn();
    if (!moveSpan(first, last))
        return false;
    if (m_axis == Rows) {
        area.setFirstRow(first);
        area.setLastRow(last);
    } else {
        area.setFirstColumn(first);
        area.setLastColumn(last);
    }
    return true;
}

bool GridEdit::moveCell(int &row, int &column) const
{
    return move(m_axis == Rows ? row : column);
}

bool GridEdit::cutsThrough(int first, int last) const
{
    if (m_insert)
        return m_first > first && m_first <= last;
    const bool someGo = m_first <= last && this->last() >= first;
    const bool allGo = m_first <= first && this->last() >= last;
    return someGo && !allGo;
}

} // namespace Spreadsheet
