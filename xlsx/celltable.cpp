#include "celltable_p.h"

#include <algorithm>

namespace Spreadsheet {

CellTable::CellTable() = default;
CellTable::~CellTable() = default;

// The copy starts a row of its own afresh: m_lastRow points into other's pages.
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
    m_lastRow = nullptr;
    return *this;
}

CellTable::Row *CellTable::rowFor(int row, bool create)
{
    const size_t page = size_t(row - 1) / pageRows;
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
    return &(*m_pages[page])[size_t(row - 1) % pageRows];
}

const CellTable::Row *CellTable::row(int row) const
{
    const Row *cells = const_cast<CellTable *>(this)->rowFor(row, false);
    return cells && !cells->empty() ? cells : nullptr;
}

// A new row makes room for as many cells as the row before it got, and that
// row gives back what it did not use: rows written one after the other take
// one allocation each, of the size they need.
void CellTable::startRow(Row &cells)
{
    if (m_lastRow) {
        if (m_lastRow->capacity() > m_lastRow->size() + m_lastRow->size() / 4 + 1)
            m_lastRow->shrink_to_fit();
        m_lastRowSize = qMax<size_t>(m_lastRow->size(), 1);
    }
    cells.reserve(m_lastRowSize);
    m_lastRow = &cells;
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
        startRow(cells);
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
