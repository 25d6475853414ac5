#include "celltable_p.h"

#include <algorithm>

namespace Spreadsheet {

CellTable::CellTable() = default;
CellTable::~CellTable() = default;

CellTable::CellTable(const CellTable &other)
    : m_rowCount(other.m_rowCount)
{
    m_pages.resize(other.m_pages.size());
    for (size_t page = 0; page < other.m_pages.size(); ++page) {
        if (other.m_pages[page])
            m_pages[page] = std::make_unique<Page>(*other.m_pages[page]);
    }
}

CellTable &CellTable::operator=(const CellTable &other)
{
    CellTable copy(other);
    m_pages.swap(copy.m_pages);
    m_rowCount = copy.m_rowCount;
    m_lastRow = 0;
    return *this;
}

CellTable::Row *CellTable::rowFor(int row, bool create)
{
    const size_t page = size_t(row - 1) / pageRows;
    const quint16 offset = quint16((row - 1) % pageRows);
    if (page >= m_pages.size()) {
        if (!create)
            return nullptr;
        m_pages.resize(page + 1);
    }
    if (!m_pages[page]) {
        if (!create)
            return nullptr;
        m_pages[page] = std::make_unique<Page>();
    }
    Page &rows = *m_pages[page];
    // Rows mostly come in order: the new one goes at the end.
    if (rows.offsets.empty() || rows.offsets.back() < offset) {
        if (!create)
            return nullptr;
        rows.offsets.push_back(offset);
        rows.rows.emplace_back();
        return &rows.rows.back();
    }
    const auto it = std::lower_bound(rows.offsets.begin(), rows.offsets.end(), offset);
    const auto index = it - rows.offsets.begin();
    if (*it == offset)
        return &rows.rows[size_t(index)];
    if (!create)
        return nullptr;
    rows.offsets.insert(it, offset);
    return &*rows.rows.emplace(rows.rows.begin() + index);
}

const CellTable::Row *CellTable::row(int row) const
{
    const Row *cells = const_cast<CellTable *>(this)->rowFor(row, false);
    return cells && !cells->empty() ? cells : nullptr;
}

// A new row makes room for as many cells as the row before it got, and that
// row gives back what it did not use: rows written one after the other take
// one allocation each, of the size they need.
void CellTable::startRow(Row &cells, int row)
{
    if (m_lastRow) {
        if (Row *last = rowFor(m_lastRow, false)) {
            if (last->capacity() > last->size() + last->size() / 4 + 1)
                last->shrink_to_fit();
            m_lastRowSize = qMax<size_t>(last->size(), 1);
        }
    }
    cells.reserve(m_lastRowSize);
    m_lastRow = row;
}

void CellTable::dropRowsThrough(int last)
{
    const size_t lastPage = qMin(size_t(qMax(last, 1) - 1) / pageRows + 1, m_pages.size());
    for (size_t page = 0; page < lastPage; ++page) {
        if (!m_pages[page])
            continue;
        Page &rows = *m_pages[page];
        const auto end = std::upper_bound(rows.offsets.begin(), rows.offsets.end(),
                                          qint64(last) - 1 - qint64(page) * pageRows,
                                          [](qint64 offset, quint16 held) { return offset < held; });
        const auto dropped = end - rows.offsets.begin();
        m_rowCount -= int(std::count_if(rows.rows.begin(), rows.rows.begin() + dropped,
                                        [](const Row &cells) { return !cells.empty(); }));
        if (end == rows.offsets.end()) {
            m_pages[page].reset();
            continue;
        }
        rows.offsets.erase(rows.offsets.begin(), end);
        rows.rows.erase(rows.rows.begin(), rows.rows.begin() + dropped);
    }
    if (m_lastRow <= last)
        m_lastRow = 0;
}

int CellTable::nextRow(int after) const
{
    const int start = qMax(after, 0);
    for (size_t page = size_t(start) / pageRows; page < m_pages.size(); ++page) {
        if (!m_pages[page])
            continue;
        const Page &rows = *m_pages[page];
        const quint16 from = page == size_t(start) / pageRows ? quint16(start % pageRows) : 0;
        for (auto it = std::lower_bound(rows.offsets.begin(), rows.offsets.end(), from); it != rows.offsets.end(); ++it) {
            if (!rows.rows[size_t(it - rows.offsets.begin())].empty())
                return int(page) * pageRows + *it + 1;
        }
    }
    return 0;
}

namespace {

bool beforeColumn(const StoredCell &cell, int column)
{
    return cell.column < column;
}

} // namespace

StoredCell *CellTable::find(int row, int column)
{
    Row *cells = rowFor(row, false);
    if (!cells)
        return nullptr;
    const auto it = std::lower_bound(cells->begin(), cells->end(), column, beforeColumn);
    return it != cells->end() && it->column == column ? &*it : nullptr;
}

const StoredCell *CellTable::find(int row, int column) const
{
    return const_cast<CellTable *>(this)->find(row, column);
}

bool CellTable::store(int row, const StoredCell &cell, StoredCell *replaced)
{
    Row &cells = *rowFor(row, true);
    if (cells.empty()) {
        ++m_rowCount;
        startRow(cells, row);
    }
    if (cells.empty() || cells.back().column < cell.column) {
        cells.push_back(cell);
        return false;
    }
    const auto it = std::lower_bound(cells.begin(), cells.end(), int(cell.column), beforeColumn);
    if (it != cells.end() && it->column == cell.column) {
        if (replaced)
            *replaced = *it;
        *it = cell;
        return true;
    }
    cells.insert(it, cell);
    return false;
}

} // namespace Spreadsheet
