#ifndef SPREADSHEET_WORKSHEET_H
#define SPREADSHEET_WORKSHEET_H

//! \file worksheet.h
//! Grid sheets of cells: Worksheet.

#include "abstractsheet.h"
#include "celladdress.h"
#include "cellarea.h"
#include "cellformula.h"
#include "cellnote.h"
#include "conditionalformatting.h"
#include "datavalidation.h"
#include "format.h"
#include "pagesetup.h"
#include "richstring.h"
#include "sheetimage.h"
#include "sheetpane.h"
#include "sheetprotection.h"
#include "sheettable.h"

#include <QSharedPointer>
#include <QUrl>
#include <QVariant>

#include <functional>

class QXmlStreamWriter;

namespace Spreadsheet {

class Chart;
class SheetCell;
class WorksheetPrivate;

//! A grid sheet: cells by 1-based row and column (up to 1048576 x 16384), row
//! and column settings, merged ranges and the sheet's XML part. Every write
//! returns false, and changes nothing, for a position outside the sheet.
//!
//! Worksheets are made by their workbook (Workbook::addSheet(),
//! Document::addSheet()) and found through it (Workbook::sheet(),
//! Document::activeWorksheet()). Column widths are in characters of the
//! default font's digits, row heights in points, picture and chart sizes in
//! pixels.
//!
//! A Format passed to a write replaces the cell's format; the default
//! Format() (one without state) keeps the format the cell had.
//!
//! \code
//! Spreadsheet::Worksheet *sheet = document.activeWorksheet();
//! sheet->writeValue(1, 1, QStringLiteral("Sample"));
//! sheet->writeNumber(2, 1, 4.81);
//! sheet->writeDateTime(2, 2, QDateTime::currentDateTime());   // shown as "yyyy-mm-dd"
//! sheet->writeFormula(2, 3, Spreadsheet::CellFormula(QStringLiteral("A2*2")));
//! sheet->writeLink(2, 4, QUrl(QStringLiteral("https://example.org/report")));
//! sheet->setColumnWidth(1, 4, 16);            // characters
//! sheet->setRowHeight(1, 1, 24);              // points
//! sheet->mergeCells(Spreadsheet::CellArea(5, 1, 5, 4));
//! sheet->setFrozenPanes(1, 0);                // the header row stays
//! \endcode
class Worksheet : public AbstractSheet
{
    Q_DECLARE_PRIVATE(Worksheet)

public:
    //! Destroys the sheet; its workbook does that.
    ~Worksheet() override;

    //! Stores a value in a cell, by its type.
    //!
    //! Stores a cell by the value's type: text (a leading "=" makes a formula;
    //! a text that is one web, mail or file URL makes a hyperlink while the
    //! workbook turns texts into links), rich text, number, bool, date-time,
    //! date, time, URL; a null value gives a blank cell. Other types are not
    //! stored and leave the sheet as it was. Writing over a cell replaces it
    //! and any link it had.
    //!
    //! Each type goes to its own write: writeText(), writeRichText(),
    //! writeNumber() (every integer and floating-point type), writeBool(),
    //! writeDateTime() (a QDate at the start of its day), writeTime(),
    //! writeLink(), writeBlank(), writeFormula() (with the result 0). A text
    //! that becomes a link takes the link's format, not the one given.
    //!
    //! \code
    //! sheet->writeValue(1, 1, QStringLiteral("Acidity"));
    //! sheet->writeValue(2, 1, 0.42);
    //! sheet->writeValue(3, 1, QDate(2026, 5, 2));
    //! sheet->writeValue(4, 1, QStringLiteral("=SUM(A2:A3)"));
    //! sheet->writeValue(5, 1, QVariant());            // a blank cell
    //! \endcode
    bool writeValue(int row, int column, const QVariant &value, const Format &format = Format());
    //! Stores a cell at an address, as writeValue(int, int, const QVariant &, const Format &) does.
    bool writeValue(const CellAddress &address, const QVariant &value, const Format &format = Format());
    //! Stores a text as it is, a leading "=" included (no formula, no link).
    //! A text that looks like HTML becomes rich text while the workbook turns
    //! HTML into rich text (Workbook::isHtmlToRichStringEnabled()).
    bool writeText(int row, int column, const QString &text, const Format &format = Format());
    //! Stores a text of runs with their own fonts. A text of one run is a
    //! plain text whose run format is merged into the cell's format.
    bool writeRichText(int row, int column, const RichString &text, const Format &format = Format());
    //! Stores a number. False, storing nothing, for a number that is not finite.
    bool writeNumber(int row, int column, double number, const Format &format = Format());
    //! Stores a boolean, which spreadsheet programs show as TRUE or FALSE.
    bool writeBool(int row, int column, bool value, const Format &format = Format());
    //! Stores a date-time as its serial number (see dateTimeToSerial()), the
    //! local wall-clock date and time. A format without a date or time
    //! format (or the cell's, when none is given) gets the workbook's
    //! Workbook::defaultDateFormat(). False for an invalid date-time.
    bool writeDateTime(int row, int column, const QDateTime &dateTime, const Format &format = Format());
    //! Stores a time of day as the fraction of a day; a format without a date
    //! or time format gets "hh:mm:ss". False for an invalid time.
    bool writeTime(int row, int column, const QTime &time, const Format &format = Format());
    //! Stores a cell without a value, which keeps a format.
    bool writeBlank(int row, int column, const Format &format = Format());
    //! Stores a formula (its text without "=") with the value spreadsheet
    //! programs show until they compute it; Workbook::calculate() computes
    //! it here. False for a result that is not finite.
    //!
    //! \code
    //! sheet->writeFormula(10, 2, Spreadsheet::CellFormula(QStringLiteral("SUM(B2:B9)")));
    //! sheet->writeFormula(2, 5, Spreadsheet::CellFormula(QStringLiteral("B2:B9*C2:C9"),
    //!                     Spreadsheet::CellFormula::ArrayFormula, Spreadsheet::CellArea(2, 5, 9, 5)));
    //! \endcode
    bool writeFormula(int row, int column, const CellFormula &formula, const Format &format = Format(),
                      double result = 0);
    //! Stores a link: the cell shows display (or the URL, without "mailto:")
    //! and, when neither the call nor the cell gives a format, is blue and
    //! underlined; the tooltip shows while the pointer rests on it. False for
    //! an invalid URL.
    //! A URL of a fragment alone ("#Summary!B2") links to a place in the
    //! workbook, which follows the edits of rows, columns and sheets.
    //!
    //! \code
    //! sheet->writeLink(2, 1, QUrl(QStringLiteral("https://example.org")), Spreadsheet::Format(),
    //!                  QStringLiteral("Our site"), QStringLiteral("Opens the browser"));
    //! sheet->writeLink(3, 1, QUrl(QStringLiteral("#'Lab data'!A1")));   // a place in the workbook
    //! \endcode
    bool writeLink(int row, int column, const QUrl &url, const Format &format = Format(),
                   const QString &display = QString(), const QString &tooltip = QString());
    //! A cell's link to a web, mail or file address, its fragment included;
    //! an empty URL where the cell has none, or links to a place in the
    //! workbook. A loaded link over a range answers at its first cell.
    QUrl hyperlink(int row, int column) const;
    //! The place in the workbook a cell links to ("'Sheet 2'!B2"); empty
    //! where it has none, or links to an address outside.
    QString hyperlinkLocation(int row, int column) const;

    //! A snapshot of the stored cell: value, kind, format, formula and rich
    //! text; null where no cell is stored. Changing it does not change the sheet.
    QSharedPointer<SheetCell> cellAt(int row, int column) const;
    //! A snapshot of the cell at an address, as cellAt(int, int) gives it.
    QSharedPointer<SheetCell> cellAt(const CellAddress &address) const;
    //! The cell's value: its text, number, bool, or date-time for date formats.
    //! An error cell gives its error text ("#N/A"), a formula cell its last
    //! value; an invalid QVariant for a blank cell or where none is stored.
    QVariant readValue(int row, int column) const;
    //! The formula cells that the last Workbook::calculate() left with the
    //! values they had (formulas it cannot compute, circular references),
    //! row by row.
    QList<CellAddress> uncalculatedCells() const;
    //! Visits the stored cells, row by row and left to right, in time
    //! proportional to their number, however large the sheet's dimension.
    //! Each row's cells are taken as they are when the visit reaches the
    //! row: a visit may write cells, and one written further on is visited too.
    //!
    //! \code
    //! sheet->forEachCell([](int row, int column, const Spreadsheet::SheetCell &cell) {
    //!     qDebug() << Spreadsheet::CellAddress(row, column).toText() << cell.value();
    //! });
    //! \endcode
    void forEachCell(const std::function<void(int row, int column, const SheetCell &cell)> &visit) const;

    //! Sets the width of columns first to last (1-based, inclusive) in
    //! characters of the default font's digits; 0 brings back the default
    //! width. False, changing nothing, unless 1 <= first <= last <= 16384.
    bool setColumnWidth(int first, int last, double width);
    //! Sets the format of columns first to last, which their empty cells show
    //! and spreadsheet programs give the cells typed into them; cells already
    //! stored keep theirs. False unless 1 <= first <= last <= 16384.
    bool setColumnFormat(int first, int last, const Format &format);
    //! Hides or shows columns first to last; false unless 1 <= first <= last <= 16384.
    bool setColumnHidden(int first, int last, bool hidden);
    //! Sets the width of an area's columns, as setColumnWidth(int, int, double) does.
    bool setColumnWidth(const CellArea &area, double width);
    //! Sets the format of an area's columns, as setColumnFormat(int, int, const Format &) does.
    bool setColumnFormat(const CellArea &area, const Format &format);
    //! Hides or shows an area's columns, as setColumnHidden(int, int, bool) does.
    bool setColumnHidden(const CellArea &area, bool hidden);
    //! The width of a column in characters.
    //! 0 for a column without a width of its own (it shows the default width).
    double columnWidth(int column) const;
    //! The format of a column; a Format without state where it has none.
    Format columnFormat(int column) const;
    //! Whether a column is hidden.
    bool isColumnHidden(int column) const;
    /*!
      Sets the width of each column from first to last that has cells to
      what its widest cell shows: numbers and dates under their number
      formats, texts in their cells' fonts and sizes (rich text run by run,
      the longest line of a text with line breaks, the longest word of a
      wrapped text without), as Qt's font metrics
      measure them at 100 %. Calibri, the default font, is measured with its
      metric twin Carlito where Calibri is not installed; without a
      QGuiApplication, widths are estimated from the fonts' sizes. Merged
      cells do not widen a column; columns without cells keep their widths.
      False, changing nothing, for columns outside the sheet.

      \code
      sheet->autofitColumns(1, 6);   // A to F as wide as their contents
      \endcode
    */
    bool autofitColumns(int first, int last);
    //! One outline level more for the columns (at most 7); collapsed hides them.
    //! The column after the group then carries the button that opens it. False
    //! unless 1 <= first <= last <= 16384.
    bool groupColumns(int first, int last, bool collapsed = true);

    //! Sets the height of rows first to last (1-based, inclusive) in points.
    //! Rows outside 1 to 1048576 are passed over; false when none is left.
    bool setRowHeight(int first, int last, double height);
    //! Sets the format of rows first to last, which their empty cells show;
    //! cells already stored keep theirs. Rows outside the sheet are passed
    //! over; false when none is left.
    bool setRowFormat(int first, int last, const Format &format);
    //! Hides or shows rows first to last. Rows outside the sheet are passed
    //! over; false when none is left.
    bool setRowHidden(int first, int last, bool hidden);
    //! The height of a row in points: the one set, or else the sheet's
    //! default (15 for a new sheet).
    double rowHeight(int row) const;
    //! The format of a row; a Format without state where it has none.
    Format rowFormat(int row) const;
    //! Whether a row is hidden.
    bool isRowHidden(int row) const;
    //! One outline level more for the rows (at most 7); collapsed hides them.
    //! The row below the group then carries the button that opens it. False
    //! unless 1 <= first <= last <= 1048576.
    bool groupRows(int first, int last, bool collapsed = true);

    //! Merged ranges keep the top-left cell; with a format, every cell of the
    //! range gets it (the others become blanks). False for an invalid area, a
    //! single cell, an area outside the sheet, or one that overlaps a merged range.
    bool mergeCells(const CellArea &area, const Format &format = Format());
    //! Takes apart the merged range equal to the area; false when there is none.
    bool unmergeCells(const CellArea &area);
    //! The merged ranges, in the order they were merged.
    QList<CellArea> mergedCells() const;

    //! The area that the sheet's cells, row and column settings and merged
    //! ranges cover, as the sheet's part states it; invalid for an empty sheet.
    CellArea dimension() const;

    //! Inserts count empty rows before row, every reference following.
    //!
    //! Rows and columns inserted (count empty ones before the one given) and
    //! removed (count from the one given on), as a spreadsheet program does
    //! it: the cells and their settings move, and so does every reference
    //! to them in the workbook: formulas of every sheet, shared and array
    //! formulas, defined names (print areas and titles among them), merged
    //! ranges, conditional formats and validation with their formulas, links
    //! and their places, notes, pictures and charts with the cells they
    //! show, the filter, page breaks. Ranges grow by what is inserted inside
    //! them and shrink by what is removed; a reference whose cells are all
    //! removed becomes `#REF!`. Inserted rows and columns are empty and take
    //! no format or rule from their neighbours.
    //!
    //! False, changing nothing, for a count below 1 or a place outside the
    //! sheet, and when the edit cannot be made whole: an insert would push
    //! stored cells, notes or links past row 1048576 or column XFD; the edit
    //! would cut through an array formula, a data table, a table or a pivot
    //! table, or remove rows or columns of a table or pivot table (these
    //! move when the edit lies wholly before them, but the model cannot
    //! rebuild one an edit reaches), or remove a data table's input cell; or the sheet is a loaded one whose drawing could
    //! not be read, or whose notes' drawing also holds controls, which the
    //! model cannot move.
    //!
    //! \code
    //! sheet->insertRows(12, 10);    // ten empty rows above the totals in row 12
    //! sheet->removeColumns(4);      // column D goes; E becomes D
    //! \endcode
    bool insertRows(int row, int count = 1);
    //! Removes count rows from row on; see insertRows().
    bool removeRows(int row, int count = 1);
    //! Inserts count empty columns before column; see insertRows().
    bool insertColumns(int column, int count = 1);
    //! Removes count columns from column on; see insertRows().
    bool removeColumns(int column, int count = 1);

    //! Puts a picture on the sheet, stored as PNG.
    //!
    //! A picture with its top-left corner in the cell: a QImage is stored as
    //! PNG; the bytes of a PNG, JPEG, GIF or BMP file are stored as they are
    //! (another kind, or a file whose size cannot be read, is refused). The
    //! same picture inserted again is stored once. A loaded sheet whose
    //! drawing could not be read takes neither pictures nor charts.
    //!
    //! The placement gives the offset from the cell's corner, the size in
    //! pixels (the picture's own, scaled, unless a size is given), the anchor
    //! and the alternative text. False for a null image, a position outside
    //! the sheet, a scale that is not above 0, or a size too large for the file.
    //!
    //! \code
    //! Spreadsheet::ImagePlacement logo;
    //! logo.anchor = Spreadsheet::DrawingAnchor::TwoCell;   // moves and sizes with the cells
    //! logo.xScale = logo.yScale = 0.5;
    //! logo.description = QStringLiteral("Lab logo");       // read out by screen readers
    //! sheet->insertImage(1, 5, QImage(QStringLiteral("logo.png")), logo);
    //! \endcode
    bool insertImage(int row, int column, const QImage &image, const ImagePlacement &placement = ImagePlacement());
    //! Puts the bytes of a PNG, JPEG, GIF or BMP file on the sheet, stored as
    //! they are; see insertImage(int, int, const QImage &, const ImagePlacement &).
    bool insertImage(int row, int column, const QByteArray &fileBytes,
                     const ImagePlacement &placement = ImagePlacement());
    //! The sheet's pictures, loaded ones first, in the drawing's order.
    QList<SheetImage> images() const;
    //! A new chart of the size in pixels, its top-left corner in the cell,
    //! moving and sizing with the cells; null outside the sheet.
    //! Null too for an empty or too large size, and for a loaded sheet whose
    //! drawing could not be read. The sheet owns the chart.
    //!
    //! \code
    //! Spreadsheet::Chart *chart = sheet->insertChart(3, 5, QSize(480, 300));
    //! Spreadsheet::ChartSeries acidity;
    //! acidity.values = Spreadsheet::ChartSeries::reference(sheet->sheetName(), Spreadsheet::CellArea(2, 2, 40, 2));
    //! chart->addSeries(acidity);
    //! \endcode
    Chart *insertChart(int row, int column, const QSize &size);
    //! The sheet's charts, loaded ones first.
    QList<Chart *> charts() const;

    //! Adds conditional formats over ranges of the sheet.
    //!
    //! Conditional formats and validation over ranges of the sheet; false,
    //! adding nothing, for a range outside the sheet, a rule without the
    //! formulas its kind needs, or an icon set with another number of
    //! thresholds than icons. Those of a loaded sheet are listed first and
    //! written back as they came while they stay.
    //!
    //! A formatting needs at least one range and one rule; a Top or Bottom
    //! rank must lie from 1 to 1000, a priority must not be negative. Rules
    //! without a priority (0) come after every rule the sheet has.
    //!
    //! \code
    //! Spreadsheet::ConditionalFormatRule high;
    //! high.type = Spreadsheet::ConditionalFormatRule::CellValue;
    //! high.op = Spreadsheet::ConditionalFormatRule::Greater;
    //! high.formulas << QStringLiteral("0.8");
    //! high.format.setFontColor(Qt::red);
    //! sheet->addConditionalFormatting({ { Spreadsheet::CellArea(2, 3, 40, 3) }, { high } });
    //! \endcode
    bool addConditionalFormatting(const ConditionalFormatting &formatting);
    //! The conditional formats, loaded ones first; those of a loaded sheet
    //! that the model cannot read are kept but not listed.
    QList<ConditionalFormatting> conditionalFormattings() const;
    //! Removes the conditional formatting at an index of
    //! conditionalFormattings(); false for an index outside it.
    bool removeConditionalFormatting(int index);
    //! Adds a validation; false, adding nothing, for a range outside the
    //! sheet, no range, or a type other than Any without formula1.
    bool addDataValidation(const DataValidation &validation);
    //! The validations, loaded ones first; those of a loaded sheet that the
    //! model cannot read are kept but not listed.
    QList<DataValidation> dataValidations() const;
    //! Removes the validation at an index of dataValidations(); false for an
    //! index outside it.
    bool removeDataValidation(int index);

    //! A note on a cell, replacing the one it had; shown all the time when
    //! visible, else while the pointer rests on the cell. False for an empty
    //! text, and for a loaded sheet whose notes' drawing also holds controls
    //! (buttons, check boxes), which the model would lose.
    //! False too for a position outside the sheet.
    bool writeNote(int row, int column, const RichString &text, const QString &author = QString(),
                   bool visible = false);
    //! The note on a cell.
    //! A null note where there is none.
    CellNote note(int row, int column) const;
    //! The cells that have notes, row by row.
    QList<CellAddress> notedCells() const;
    //! Removes a cell's note; false where there is none, and for a loaded
    //! sheet whose notes' drawing also holds controls.
    bool removeNote(int row, int column);

    /*!
      Makes the range a table: its first row the header, its last the
      totals row when \a table asks for one, the rows between the data
      (at least one). The header cells get the columns' names (given, or
      read from those cells), a calculated column's data cells its formula,
      and the totals row its labels and SUBTOTAL formulas, which
      Workbook::calculate() computes. Cells keep their formats.

      False, changing nothing, for a range outside the sheet or of fewer
      rows, a range that overlaps another table, a pivot table, merged
      cells or the sheet's filter, a table without a header row, a name
      that is not valid or taken (see SheetTable::name), another number of
      columns than the range has, or a style that is not built in. Merging
      cells of a table, a filter over one and a defined name of a table's
      name are refused in turn.

      A header cell written later renames its column (the saved table and
      tables() follow it); a calculated column's formula is written for the
      first data row, the rows below reading their own rows, as a copy
      reads.
    */
    bool addTable(const CellArea &range, const SheetTable &table);
    /*!
      The sheet's tables, loaded ones first (a loaded table the library
      cannot read is kept and written back, but not listed). A loaded table
      is written back as it came; rows and columns inserted before it move
      it.
    */
    QList<SheetTable> tables() const;

    //! The cells printed (the sheet-scoped name "_xlnm.Print_Area"); an
    //! invalid area takes it away. False for an area outside the sheet.
    bool setPrintArea(const CellArea &area);
    //! The cells printed; an invalid area where the sheet has no print area.
    //! A print area of several ranges answers with its first.
    CellArea printArea() const;
    //! Rows and columns printed on every page ("_xlnm.Print_Titles"); 0 for none.
    //! Rows 0 and 0 and columns 0 and 0 take them away. False for rows or
    //! columns out of order or outside the sheet.
    //!
    //! \code
    //! sheet->setPrintTitles(1, 2);          // rows 1 and 2 on every page
    //! sheet->setPrintTitles(0, 0, 1, 1);    // column A on every page
    //! \endcode
    bool setPrintTitles(int firstRow, int lastRow, int firstColumn = 0, int lastColumn = 0);

    /*!
      Sets how the sheet prints. False, changing nothing, for values that
      spreadsheet programs refuse: a margin below 0 or of 49 inches or more,
      a scale outside 10 to 400 %, a header or footer changed to one longer
      than 255 characters, more than 1,026 breaks of rows or of columns, a break at
      row or column 1 or outside the sheet. The breaks are kept sorted, each
      once; they move with rows and columns inserted and removed.
    */
    bool setPageSetup(const PageSetup &setup);
    //! How the sheet prints: as set, as loaded, or the defaults.
    PageSetup pageSetup() const;

    //! The top rows and left columns stay while the rest scrolls; 0 and 0
    //! take the division away. False for a negative count, or one that
    //! leaves no row or column below or right of the division.
    bool setFrozenPanes(int rows, int columns);
    //! The window split after the rows and columns, each part scrolling apart.
    //! False for 0 and 0 (setFrozenPanes(0, 0) takes a split away), a
    //! negative count, or one that leaves no row or column after the split.
    bool setSplitPanes(int rows, int columns);
    //! How the sheet's window is divided; a pane of state SheetPane::NoPane
    //! for an undivided window.
    SheetPane pane() const;
    //! The range whose header row gets filter buttons; an invalid range takes
    //! them away. False for a range outside the sheet.
    bool setAutoFilter(const CellArea &range);
    //! The range of the filter buttons; an invalid area for none.
    CellArea autoFilter() const;

    //! The colour of the sheet's tab; an invalid colour takes it away. A
    //! loaded tab of a theme colour answers with an invalid one and keeps
    //! its colour until it is set.
    void setTabColor(const QColor &color);
    //! The colour of the sheet's tab; invalid for none (or a loaded theme colour).
    QColor tabColor() const;
    /*!
      Protects the sheet: its locked cells (all cells but those whose
      Format::locked() is false) and what \a options do not allow can no
      longer be changed in a spreadsheet program, until the protection is
      taken away there with \a password. An empty password protects without
      one. Protecting again replaces the protection. False, changing
      nothing, for a password longer than 255 characters. The password is
      stored as spreadsheet programs store it, a salted SHA-512 hash of
      100,000 rounds, so that protecting takes some 50 milliseconds.
    */
    bool protect(const QString &password = QString(), const SheetProtection &options = SheetProtection());
    //! Takes the protection away, whatever its password.
    void unprotect();
    //! Whether the sheet is protected (a loaded one too).
    bool isProtected() const;
    /*!
      The protection's options and password, as given to protect() or
      loaded (a password of older files, a 16-bit hash, is checked as well);
      default options for a sheet that is not protected.
    */
    SheetProtection protection() const;

    //! Whether the window of the sheet cannot be moved or resized; false for a new sheet.
    bool isWindowProtected() const;
    //! Sets whether the sheet's window is protected.
    void setWindowProtected(bool on);
    //! Whether cells show their formulas rather than their values; false for a new sheet.
    bool isFormulasVisible() const;
    //! Sets whether cells show their formulas.
    void setFormulasVisible(bool on);
    //! Whether the grid lines show; true for a new sheet.
    bool isGridLinesVisible() const;
    //! Shows or hides the grid lines.
    void setGridLinesVisible(bool on);
    //! Whether the row numbers and column letters show; true for a new sheet.
    bool isRowColumnHeadersVisible() const;
    //! Shows or hides the row numbers and column letters.
    void setRowColumnHeadersVisible(bool on);
    //! Whether cells holding 0 show it; true for a new sheet.
    bool isZerosVisible() const;
    //! Sets whether cells holding 0 show it or stay empty.
    void setZerosVisible(bool on);
    //! Whether column A is at the right, for right-to-left languages; false for a new sheet.
    bool isRightToLeft() const;
    //! Sets whether the sheet runs from right to left.
    void setRightToLeft(bool on);
    //! Whether the sheet's tab is selected; false for a new sheet.
    bool isSelected() const;
    //! Sets whether the sheet's tab is selected (the active sheet's tab is
    //! selected in spreadsheet programs).
    void setSelected(bool on);
    //! Whether the page layout view shows its ruler; true for a new sheet.
    bool isRulerVisible() const;
    //! Shows or hides the page layout view's ruler.
    void setRulerVisible(bool on);
    //! Whether the outline's buttons show when rows or columns are grouped; true for a new sheet.
    bool isOutlineSymbolsVisible() const;
    //! Shows or hides the outline's buttons.
    void setOutlineSymbolsVisible(bool on);
    //! Whether the page layout view shows the margins between pages; true for a new sheet.
    bool isWhiteSpaceVisible() const;
    //! Shows or hides the margins between pages in the page layout view.
    void setWhiteSpaceVisible(bool on);

    //! Writes the sheet's part: settings, rows and cells, merged ranges,
    //! rules, links, and the references to its drawing and notes; what a
    //! loaded sheet held beyond the model, in its place.
    void writeXml(QIODevice *device) const override;
    //! Reads the sheet's part of a loaded package into this new sheet, whose
    //! workbook has read its shared strings and styles; the relationships
    //! the loader kept for it give the links' targets. What the model does
    //! not know is kept and written back in its place.
    bool readXml(QIODevice *device) override;

protected:
    AbstractSheet *copy(const QString &name, int sheetId) const override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    friend class Workbook;
    friend class WorkbookPrivate;
    friend class CalcEngine;
    friend class SheetWriter;
    Worksheet(const QString &name, int sheetId, Workbook *workbook, CreationMode mode);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_WORKSHEET_H
