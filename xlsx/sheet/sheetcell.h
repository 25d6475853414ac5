#ifndef SPREADSHEET_SHEETCELL_H
#define SPREADSHEET_SHEETCELL_H

//! \file sheetcell.h
//! Snapshots of stored cells and their kinds: SheetCell, CellKind.

#include "cellformula.h"
#include "format.h"
#include "richstring.h"

#include <QDateTime>
#include <QVariant>

#include <memory>

namespace Spreadsheet {

class Worksheet;

//! The stored kind of a cell; the "t" attribute of its XML element.
enum class CellKind {
    Boolean = 0,        //!< "b": a boolean.
    Number = 1,         //!< No "t"; also blank cells, formulas and dates.
    Error = 2,          //!< "e": an error value such as `#N/A`, given as its text.
    SharedString = 3,   //!< "s": a text of the workbook's shared strings.
    FormulaString = 4,  //!< "str": the text a formula gave.
    InlineString = 5    //!< "inlineStr": a text written in the cell itself.
};

//! One stored cell of a worksheet: a snapshot that stays valid after its
//! worksheet is gone (only worksheet() then points at nothing).
//!
//! Worksheet::cellAt() and Worksheet::forEachCell() give cells; changing a
//! snapshot does not change the sheet.
//!
//! \code
//! const QSharedPointer<Spreadsheet::SheetCell> cell = sheet->cellAt(2, 3);
//! if (cell && cell->hasFormula())
//!     qDebug() << cell->formula().text() << "=" << cell->value();
//! else if (cell && cell->isDateTime())
//!     qDebug() << cell->dateTime();
//! \endcode
class SheetCell
{
public:
    //! A cell of a value, a kind, a format and the worksheet it belongs to
    //! (which gives the date system).
    SheetCell(const QVariant &value, CellKind kind, const Format &format, Worksheet *worksheet);

    //! The stored value: a QString for texts and errors ("#DIV/0!"), a double
    //! for numbers and dates, a bool, a QDateTime for a date the package wrote
    //! as a date, an invalid QVariant for a blank cell. A formula cell holds
    //! its last value.
    QVariant value() const { return m_value; }
    //! The stored kind of the cell.
    CellKind kind() const { return m_kind; }
    //! The cell's format; one without state for a cell of the default format.
    const Format &format() const { return m_format; }
    //! Sets the snapshot's format; the sheet's cell keeps its own.
    void setFormat(const Format &format) { m_format = format; }
    //! The worksheet the cell came from; not to be used once that worksheet
    //! is gone (deleted with its workbook or by Workbook::deleteSheet()).
    Worksheet *worksheet() const { return m_worksheet; }
    //! Sets the worksheet the cell belongs to.
    //! Also takes the worksheet's date system (1900 or 1904) for dateTime().
    void setWorksheet(Worksheet *worksheet);

    //! Whether the cell holds a formula.
    bool hasFormula() const { return m_formula != nullptr; }
    //! The cell's formula; the empty formula for a cell without one.
    CellFormula formula() const { return m_formula ? *m_formula : CellFormula(); }
    //! Sets the snapshot's formula.
    void setFormula(const CellFormula &formula) { m_formula = std::make_shared<CellFormula>(formula); }

    //! The runs of a text cell; empty unless the text has more than one run.
    //! A text of one run with a font of its own has it too.
    RichString richString() const { return m_richString; }
    //! Sets the snapshot's runs.
    void setRichString(const RichString &text) { m_richString = text; }
    //! Whether the cell is a text cell of rich text.
    bool isRichString() const;

    //! Whether the cell is a date: a number cell of a date or time format
    //! whose value lies from the epoch to the end of 9999, or a date the
    //! package wrote as one.
    bool isDateTime() const;
    //! A number cell of a date or time format, as a date-time.
    //! An invalid QDateTime for a cell that is no date (isDateTime()).
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
