#ifndef SPREADSHEET_CELLFORMULA_H
#define SPREADSHEET_CELLFORMULA_H

#include "cellarea.h"

#include <QString>

namespace Spreadsheet {

// The formula of a cell: its text without the leading "=", its kind, and for
// array and shared formulas the cells they cover.
class CellFormula
{
public:
    // Data tables come only from loaded packages.
    enum Kind { NormalFormula = 0, ArrayFormula = 1, DataTableFormula = 2, SharedFormula = 3 };

    CellFormula() = default;
    explicit CellFormula(const QString &text, Kind kind = NormalFormula, const CellArea &range = CellArea())
        : m_text(text), m_kind(kind), m_range(range) {}

    bool isEmpty() const { return m_text.isEmpty() && m_kind == NormalFormula; }
    QString text() const { return m_text; }
    Kind kind() const { return m_kind; }
    CellArea range() const { return m_range; }
    bool alwaysCalculate() const { return m_alwaysCalculate; }
    void setAlwaysCalculate(bool always) { m_alwaysCalculate = always; }
    int sharedIndex() const { return m_sharedIndex; }
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
