#ifndef SPREADSHEET_CELLADDRESS_H
#define SPREADSHEET_CELLADDRESS_H

//! \file celladdress.h
//! Cell addresses by row and column, their "A1" text, and the sheet's size: CellAddress, columnLetters(), columnNumber(), maximumRows, maximumColumns.

#include <QString>

namespace Spreadsheet {

//! The largest row number a sheet has (rows run from 1 to 1048576).
constexpr int maximumRows = 1048576;
//! The largest column number a sheet has (columns run from 1, "A", to 16384, "XFD").
constexpr int maximumColumns = 16384;

//! A cell by 1-based row and column, with its "A1" text form. The default
//! address (-1, -1) is invalid; an address is valid when both are above 0.
//!
//! Validity does not check the sheet's bounds: an address past row
//! #maximumRows or column #maximumColumns is valid here, and the calls that
//! take it (Worksheet::writeValue() and the others) refuse it.
//!
//! \code
//! Spreadsheet::CellAddress cell(QStringLiteral("$B$3"));   // row 3, column 2
//! cell.toText();                                          // "B3"
//! Spreadsheet::CellAddress(3, 2).toText(true, true);      // "$B$3"
//! \endcode
class CellAddress
{
public:
    //! The invalid address (-1, -1).
    CellAddress() = default;
    //! The cell at a 1-based row and column; taken as given, without checks.
    CellAddress(int row, int column) : m_row(row), m_column(column) {}
    //! Parses "A1" text ("$" allowed before the letters and the digits, upper-case
    //! letters only, one to three of them); other text gives the invalid address.
    //!
    //! A row of 0 or one too large for an `int` gives an invalid address too.
    explicit CellAddress(const QString &text);

    //! The 1-based row; -1 for the default address.
    int row() const { return m_row; }
    //! The 1-based column; -1 for the default address.
    int column() const { return m_column; }
    //! Whether both the row and the column are above 0.
    bool isValid() const { return m_row > 0 && m_column > 0; }
    //! The "A1" text of the address, with "$" before the row or the column
    //! when it is absolute ("$B$3"); the empty string for an invalid address.
    QString toText(bool rowAbsolute = false, bool columnAbsolute = false) const;

    //! Whether two addresses name the same row and column.
    friend bool operator==(const CellAddress &a, const CellAddress &b)
    {
        return a.m_row == b.m_row && a.m_column == b.m_column;
    }
    //! Whether two addresses differ in their row or column.
    friend bool operator!=(const CellAddress &a, const CellAddress &b) { return !(a == b); }

private:
    int m_row = -1;
    int m_column = -1;
};

//! The column letters of a 1-based column number (1 "A", 27 "AA", 16384 "XFD");
//! the empty string for a number below 1.
QString columnLetters(int column);
//! The column number of upper-case column letters ("A" 1, "XFD" 16384); 0 for
//! any other text, the empty text among it.
int columnNumber(const QString &letters);

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLADDRESS_H
