#ifndef SPREADSHEET_CELLADDRESS_H
#define SPREADSHEET_CELLADDRESS_H

#include <QString>

namespace Spreadsheet {

// The largest row and column numbers a sheet has.
constexpr int maximumRows = 1048576;
constexpr int maximumColumns = 16384;

// A cell by 1-based row and column, with its "A1" text form. The default
// address (-1, -1) is invalid; an address is valid when both are above 0.
class CellAddress
{
public:
    CellAddress() = default;
    CellAddress(int row, int column) : m_row(row), m_column(column) {}
    // Parses "A1" text ("$" allowed before the letters and the digits, upper-case
    // letters only, one to three of them); other text gives the invalid address.
    explicit CellAddress(const QString &text);

    int row() const { return m_row; }
    int column() const { return m_column; }
    bool isValid() const { return m_row > 0 && m_column > 0; }
    QString toText(bool rowAbsolute = false, bool columnAbsolute = false) const;

    friend bool operator==(const CellAddress &a, const CellAddress &b)
    {
        return a.m_row == b.m_row && a.m_column == b.m_column;
    }
    friend bool operator!=(const CellAddress &a, const CellAddress &b) { return !(a == b); }

private:
    int m_row = -1;
    int m_column = -1;
};

// The column letters of a 1-based column number (1 "A", 27 "AA", 16384 "XFD").
QString columnLetters(int column);
// The column number of upper-case column letters; 0 for any other text.
int columnNumber(const QString &letters);

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLADDRESS_H
