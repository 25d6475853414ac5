#ifndef SPREADSHEET_CELLTABLE_P_H
#define SPREADSHEET_CELLTABLE_P_H

#include <QtGlobal>

#include <memory>
#include <vector>

namespace Spreadsheet {

// One cell as a sheet keeps it, in 16 bytes: a sheet holds up to millions.
struct StoredCell
{
    enum Flag : quint8 {
        HasValue = 1,      // a number cell without it is blank
        HasFormula = 2,    // its formula is kept beside the table
        IsoDate = 4,       // a loaded date written as text ("d" cells), kept as its serial number
        HasKeptAttributes = 8,  // of a loaded cell, kept beside the table
        // While a calculation runs: a formula (or a cell of an array
        // formula) not computed yet, and one that waits for the cells it reads.
        Calculating = 16,
        CalculationWaiting = 32
    };

    quint16 column = 0;
    quint8 kind = 0;       // CellKind
    quint8 flags = 0;
    quint32 format = 0;    // WorksheetPrivate::formatCode
    union {
        double number;
        quint32 string;    // shared-string entry id; an error cell's index into its sheet's error texts
        bool boolean;
    } value = { 0 };
};

// The cells of a sheet by row and column, in ascending order: pages of 1024
// rows made when a row of theirs gets a cell, each holding only the rows
// that have cells (sorted by row), each row's cells sorted by column. A
// sparse sheet costs about what its cells do; writing a sheet row by row,
// left to right, only ever appends.
class CellTable
{
public:
    using Row = std::vector<StoredCell>;

    CellTable();
    ~CellTable();
    CellTable(const CellTable &other);
    CellTable &operator=(const CellTable &other);
    CellTable(CellTable &&other) noexcept = default;
    CellTable &operator=(CellTable &&other) noexcept = default;

    StoredCell *find(int row, int column);
    const StoredCell *find(int row, int column) const;
    // Stores the cell in the row, in place of one in the same column, which
    // is copied to replaced (when given) and reported by the result.
    bool store(int row, const StoredCell &cell, StoredCell *replaced = nullptr);
    // The row's cells, or null when it has none.
    const Row *row(int row) const;
    bool isEmpty() const { return m_rowCount == 0; }

    // Lets the rows through the given one go.
    void dropRowsThrough(int last);
    // The first row after the given one that has cells; 0 for none.
    int nextRow(int after) const;

    // Calls f(row, cells) for every row that has cells, ascending, from first on.
    template <typename F>
    void forEachRow(int first, F f) const
    {
        for (int page = qMax(first - 1, 0) / pageRows; page < int(m_pages.size()); ++page) {
            if (!m_pages[size_t(page)])
                continue;
            const Page &rows = *m_pages[size_t(page)];
            for (size_t i = 0; i < rows.offsets.size(); ++i) {
                const int number = page * pageRows + rows.offsets[i] + 1;
                if (number >= first && !rows.rows[i].empty())
                    f(number, rows.rows[i]);
            }
        }
    }

private:
    static constexpr int pageRows = 1024;
    struct Page
    {
        std::vector<quint16> offsets;   // of the rows held, ascending
        std::vector<Row> rows;          // beside their offsets
    };

    Row *rowFor(int row, bool create);
    void startRow(Row &cells, int row);

    std::vector<std::unique_ptr<Page>> m_pages;
    int m_rowCount = 0;
    int m_lastRow = 0;           // the row started last
    size_t m_lastRowSize = 4;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLTABLE_P_H
