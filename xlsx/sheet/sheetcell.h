#ifndef SPREADSHEET_SHEETCELL_H
#define SPREADSHEET_SHEETCELL_H

#include "cellformula.h"
#include "format.h"
#include "richstring.h"

#include <QDateTime>
#include <QVariant>

#include <memory>

namespace Spreadsheet {

class Worksheet;

// The stored kind of a cell; the "t" attribute of its XML element.
enum class CellKind {
    Boolean = 0,        // "b"
    Number = 1,         // no "t"; also blank cells, formulas and dates
    Error = 2,
    SharedString = 3,   // "s"
    FormulaString = 4,  // "str"
    InlineString = 5    // "inlineStr"
};

// One stored cell of a worksheet: a snapshot that stays valid after its
// worksheet is gone (only worksheet() then points at nothing).
class SheetCell
{
public:
    SheetCell(const QVariant &value, CellKind kind, const Format &format, Worksheet *worksheet);

    QVariant value() const { return m_value; }
    CellKind kind() const { return m_kind; }
    const Format &format() const { return m_format; }
    void setFormat(const Format &format) { m_format = format; }
    Worksheet *worksheet() const { return m_worksheet; }
    // Also takes the worksheet's date system (1900 or 1904) for dateTime().
    void setWorksheet(Worksheet *worksheet);

    bool hasFormula() const { return m_formula != nullptr; }
    CellFormula formula() const { return m_formula ? *m_formula : CellFormula(); }
    void setFormula(const CellFormula &formula) { m_formula = std::make_shared<CellFormula>(formula); }

    // The runs of a text cell; empty unless the text has more than one run.
    RichString richString() const { return m_richString; }
    void setRichString(const RichString &text) { m_richString = text; }
    bool isRichString() const;

    // A number cell of a date or time format, as a date-time.
    bool isDateTime() const;
    QDateTime dateTime() const;

private:
    QVariant m_value;
    std::shared_ptr<CellFormula> m_formula;   // most cells have none
    CellKind m_kind;
    Format m_format;
    RichString m_richString;
    Worksheet *m_worksheet;
    bool m_date1904 = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETCELL_H
