#ifndef SPREADSHEET_CELLFORMULA_H
#define SPREADSHEET_CELLFORMULA_H

//! \file cellformula.h
//! The formulas of cells: CellFormula.

#include "cellarea.h"

#include <QString>

namespace Spreadsheet {

//! The formula of a cell: its text without the leading "=", its kind, and for
//! array and shared formulas the cells they cover.
//!
//! \code
//! sheet->writeFormula(10, 2, Spreadsheet::CellFormula(QStringLiteral("SUM(B2:B9)")));
//! // One formula filling E2:E9, element by element:
//! sheet->writeFormula(2, 5, Spreadsheet::CellFormula(QStringLiteral("B2:B9*C2:C9"),
//!                     Spreadsheet::CellFormula::ArrayFormula, Spreadsheet::CellArea(2, 5, 9, 5)));
//! \endcode
//! \sa Worksheet::writeFormula(), SheetCell::formula()
class CellFormula
{
public:
    //! The kind of a formula. Data tables come only from loaded packages.
    enum Kind { NormalFormula = 0, ArrayFormula = 1, DataTableFormula = 2, SharedFormula = 3 };
    //! \var NormalFormula
    //! A formula of one cell.
    //! \var ArrayFormula
    //! One formula whose result fills range(), written in its top-left cell.
    //! \var DataTableFormula
    //! A what-if data table over range(), as a loaded package gives it.
    //! \var SharedFormula
    //! One formula that the cells of range() share, each with its references
    //! moved by its distance from the first cell; the cells are tied
    //! together by sharedIndex().

    //! The empty formula.
    CellFormula() = default;
    //! A formula of a text without "=", a kind, and for array and shared
    //! formulas the cells they cover.
    explicit CellFormula(const QString &text, Kind kind = NormalFormula, const CellArea &range = CellArea())
        : m_text(text), m_kind(kind), m_range(range) {}

    //! Whether the formula has no text and is a normal one.
    bool isEmpty() const { return m_text.isEmpty() && m_kind == NormalFormula; }
    //! The formula's text, without "=". SheetCell::formula() gives each cell
    //! of a shared formula its own text, its references moved.
    QString text() const { return m_text; }
    //! The formula's kind.
    Kind kind() const { return m_kind; }
    //! The cells an array, shared or data-table formula covers; invalid for a
    //! normal formula.
    CellArea range() const { return m_range; }
    //! Whether spreadsheet programs compute the formula at every
    //! calculation, as a formula of RAND() or NOW() needs; false unless set.
    bool alwaysCalculate() const { return m_alwaysCalculate; }
    //! Sets whether the formula is computed at every calculation.
    void setAlwaysCalculate(bool always) { m_alwaysCalculate = always; }
    //! The number that ties the cells of a shared formula together; -1 for
    //! other formulas.
    int sharedIndex() const { return m_sharedIndex; }
    //! Sets the number that ties the cells of a shared formula together.
    void setSharedIndex(int index) { m_sharedIndex = index; }

private:
    QString m_text;
    Kind m_kind = NormalFormula;
    CellArea m_range;
    bool m_alwaysCalculate = false;
    int m_sharedIndex = -1;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLFORMULA_H
