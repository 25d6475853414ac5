#ifndef SPREADSHEET_SHEETTABLE_H
#define SPREADSHEET_SHEETTABLE_H

//! \file sheettable.h
//! Tables of a worksheet and their columns.

#include "cellarea.h"

#include <QList>
#include <QString>

namespace Spreadsheet {

/*!
  One column of a table: its name (the text of its header cell), what its
  totals row shows, and the formula that fills it.
*/
struct TableColumn
{
    //! What the totals row shows under a column.
    enum TotalsFunction {
        NoTotal,             //!< Nothing, or totalsLabel.
        Sum,                 //!< SUBTOTAL(109, …): the sum of the visible rows.
        Average,             //!< SUBTOTAL(101, …).
        Count,               //!< SUBTOTAL(103, …): cells that are not empty.
        CountNumbers,        //!< SUBTOTAL(102, …): cells that hold numbers.
        Min,                 //!< SUBTOTAL(105, …).
        Max,                 //!< SUBTOTAL(104, …).
        StandardDeviation,   //!< SUBTOTAL(107, …): of a sample.
        Variance,            //!< SUBTOTAL(110, …): of a sample.
        CustomTotal,         //!< totalsFormula.
    };

    //! A column of that name.
    TableColumn(const QString &name = QString()) : name(name) {}

    //! The column's name, unique in its table without regard to case.
    QString name;
    //! The function of the totals row; with NoTotal, totalsLabel is shown instead.
    TotalsFunction totalsFunction = NoTotal;
    //! The text of the totals row under the column ("Total"), when it has no function.
    QString totalsLabel;
    //! The formula of the totals row with CustomTotal ("SUM([Acidity])*2");
    //! stored with the table's name where it leaves it out.
    QString totalsFormula;
    /*!
      A calculated column's formula, written into every data cell of the
      column: "[@Acidity]*1000" reads the Acidity column in the same row
      (stored as "Table1[[#This Row],[Acidity]]*1000", as spreadsheet
      programs store it). Cell references are those of the first data row;
      each row below gets them moved to its own, as a copy does. Empty for
      a column of values.
    */
    QString formula;
};

/*!
  A table: a range of a sheet with a header row, columns with names, filter
  buttons, a built-in style with banded rows, and an optional totals row.

  \code
  Spreadsheet::SheetTable table;
  table.name = QStringLiteral("Results");
  table.columns = { { QStringLiteral("Sample") }, { QStringLiteral("Acidity") }, { QStringLiteral("Ratio") } };
  table.columns[0].totalsLabel = QStringLiteral("Average");
  table.columns[1].totalsFunction = Spreadsheet::TableColumn::Average;
  table.columns[2].formula = QStringLiteral("[@Acidity]/0.8");
  table.totalsRow = true;
  sheet->addTable(Spreadsheet::CellArea(1, 1, 22, 3), table);   // header, 20 rows, totals
  \endcode

  \sa Worksheet::addTable()
*/
struct SheetTable
{
    /*!
      The table's name, which formulas use ("Results[Acidity]"): a letter,
      "_" or "\" first, then letters, digits, "_" and "."; not a cell
      reference ("A1", "R1C1"), nor "R" or "C"; at most 255 characters;
      unique among the workbook's tables and defined names without regard
      to case. Empty for the first free "Table1", "Table2", …
    */
    QString name;
    //! The name spreadsheet programs show and formulas use; empty for name.
    QString displayName;
    //! The cells of the table, header and totals rows included (as tables() gives it).
    CellArea range;
    /*!
      The columns, left to right. Empty for names taken from the header
      cells (a header cell without text gives "Column1", "Column2", …);
      otherwise one per column of the range, their names written into the
      header cells.
    */
    QList<TableColumn> columns;
    /*!
      The name of a built-in table style: "TableStyleLight1" to
      "TableStyleLight21", "TableStyleMedium1" to "TableStyleMedium28",
      "TableStyleDark1" to "TableStyleDark11"; empty for none.
    */
    QString styleName = QStringLiteral("TableStyleMedium2");
    bool bandedRows = true;       //!< Rows shaded in alternation.
    bool bandedColumns = false;   //!< Columns shaded in alternation.
    bool firstColumn = false;     //!< The first column emphasized.
    bool lastColumn = false;      //!< The last column emphasized.
    bool filterButtons = true;    //!< Filter buttons in the header row.
    bool totalsRow = false;       //!< The last row of the range is a totals row.
    bool headerRow = true;        //!< The first row of the range holds the names (a loaded table may have none).
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETTABLE_H
