#ifndef SPREADSHEET_WORKSHEET_H
#define SPREADSHEET_WORKSHEET_H

#include "abstractsheet.h"
#include "celladdress.h"
#include "cellarea.h"
#include "cellformula.h"
#include "cellnote.h"
#include "conditionalformatting.h"
#include "datavalidation.h"
#include "format.h"
#include "richstring.h"
#include "sheetimage.h"
#include "pagesetup.h"
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

// A grid sheet: cells by 1-based row and column (up to 1048576 x 16384), row
// and column settings, merged ranges and the sheet's XML part. Every write
// returns false, and changes nothing, for a position outside the sheet.
class Worksheet : public AbstractSheet
{
    Q_DECLARE_PRIVATE(Worksheet)

public:
    ~Worksheet() override;

    // Stores a cell by the value's type: text (a leading "=" makes a formula;
    // a text that is one web, mail or file URL makes a hyperlink while the
    // workbook turns texts into links), rich text, number, bool, date-time,
    // date, time, URL; a null value gives a blank cell. Other types are not
    // stored and leave the sheet as it was. Writing over a cell replaces it
    // and any link it had.
    bool writeValue(int row, int column, const QVariant &value, const Format &format = Format());
    bool writeValue(const CellAddress &address, const QVariant &value, const Format &format = Format());
    bool writeText(int row, int column, const QString &text, const Format &format = Format());
    bool writeRichText(int row, int column, const RichString &text, const Format &format = Format());
    // False, storing nothing, for a number that is not finite.
    bool writeNumber(int row, int column, double number, const Format &format = Format());
    bool writeBool(int row, int column, bool value, const Format &format = Format());
    bool writeDateTime(int row, int column, const QDateTime &dateTime, const Format &format = Format());
    bool writeTime(int row, int column, const QTime &time, const Format &format = Format());
    bool writeBlank(int row, int column, const Format &format = Format());
    bool writeFormula(int row, int column, const CellFormula &formula, const Format &format = Format(),
                      double result = 0);
    // A URL of a fragment alone ("#Summary!B2") links to a place in the
    // workbook, which follows the edits of rows, columns and sheets.
    bool writeLink(int row, int column, const QUrl &url, const Format &format = Format(),
                   const QString &display = QString(), const QString &tooltip = QString());
    // A cell's link to a web, mail or file address, its fragment included;
    // an empty URL where the cell has none, or links to a place in the
    // workbook. A loaded link over a range answers at its first cell.
    QUrl hyperlink(int row, int column) const;
    // The place in the workbook a cell links to ("'Sheet 2'!B2"); empty
    // where it has none, or links to an address outside.
    QString hyperlinkLocation(int row, int column) const;

    QSharedPointer<SheetCell> cellAt(int row, int column) const;
    QSharedPointer<SheetCell> cellAt(const CellAddress &address) const;
    // The cell's value: its text, number, bool, or date-time for date formats.
    QVariant readValue(int row, int column) const;
    // The formula cells that the last Workbook::calculate() left with the
    // values they had (formulas it cannot compute, circular references),
    // row by row.
    QList<CellAddress> uncalculatedCells() const;
    // Visits the stored cells, row by row and left to right, in time
    // proportional to their number, however large the sheet's dimension.
    void forEachCell(const std::function<void(int row, int column, const SheetCell &cell)> &visit) const;

    bool setColumnWidth(int first, int last, double width);
    bool setColumnFormat(int first, int last, const Format &format);
    bool setColumnHidden(int first, int last, bool hidden);
    bool setColumnWidth(const CellArea &area, double width);
    bool setColumnFormat(const CellArea &area, const Format &format);
    bool setColumnHidden(const CellArea &area, bool hidden);
    // 0 for a column without a width of its own (it shows the default width).
    double columnWidth(int column) const;
    Format columnFormat(int column) const;
    bool isColumnHidden(int column) const;
    // One outline level more for the columns (at most 7); collapsed hides them.
    bool groupColumns(int first, int last, bool collapsed = true);

    bool setRowHeight(int first, int last, double height);
    bool setRowFormat(int first, int last, const Format &format);
    bool setRowHidden(int first, int last, bool hidden);
    double rowHeight(int row) const;
    Format rowFormat(int row) const;
    bool isRowHidden(int row) const;
    // One outline level more for the rows (at most 7); collapsed hides them.
    bool groupRows(int first, int last, bool collapsed = true);

    // Merged ranges keep the top-left cell; with a format, every cell of the
    // range gets it (the others become blanks).
    bool mergeCells(const CellArea &area, const Format &format = Format());
    bool unmergeCells(const CellArea &area);
    QList<CellArea> mergedCells() const;

    CellArea dimension() const;

    // Rows and columns inserted (count empty ones before the one given) and
    // removed (count from the one given on), as a spreadsheet program does
    // it: the cells and their settings move, and so does every reference
    // to them in the workbook: formulas of every sheet, shared and array
    // formulas, defined names (print areas and titles among them), merged
    // ranges, conditional formats and validation with their formulas, links
    // and their places, notes, pictures and charts with the cells they
    // show, the filter, page breaks. Ranges grow by what is inserted inside
    // them and shrink by what is removed; a reference whose cells are all
    // removed becomes #REF!. Inserted rows and columns are empty and take
    // no format or rule from their neighbours.
    //
    // False, changing nothing, for a count below 1 or a place outside the
    // sheet, and when the edit cannot be made whole: an insert would push
    // stored cells, notes or links past row 1048576 or column XFD; the edit
    // would cut through an array formula, a data table, a table or a pivot
    // table (these move when the edit lies wholly before them, but the
    // model cannot rebuild one an edit passes through), or remove a data
    // table's input cell; or the sheet is a loaded one whose drawing could
    // not be read, or whose notes' drawing also holds controls, which the
    // model cannot move.
    bool insertRows(int row, int count = 1);
    bool removeRows(int row, int count = 1);
    bool insertColumns(int column, int count = 1);
    bool removeColumns(int column, int count = 1);

    // A picture with its top-left corner in the cell: a QImage is stored as
    // PNG; the bytes of a PNG, JPEG, GIF or BMP file are stored as they are
    // (another kind, or a file whose size cannot be read, is refused). The
    // same picture inserted again is stored once. A loaded sheet whose
    // drawing could not be read takes neither pictures nor charts.
    bool insertImage(int row, int column, const QImage &image, const ImagePlacement &placement = ImagePlacement());
    bool insertImage(int row, int column, const QByteArray &fileBytes,
                     const ImagePlacement &placement = ImagePlacement());
    // The sheet's pictures, loaded ones first, in the drawing's order.
    QList<SheetImage> images() const;
    // A new chart of the size in pixels, its top-left corner in the cell,
    // moving and sizing with the cells; null outside the sheet.
    Chart *insertChart(int row, int column, const QSize &size);
    // The sheet's charts, loaded ones first.
    QList<Chart *> charts() const;

    // Conditional formats and validation over ranges of the sheet; false,
    // adding nothing, for a range outside the sheet, a rule without the
    // formulas its kind needs, or an icon set with another number of
    // thresholds than icons. Those of a loaded sheet are listed first and
    // written back as they came while they stay.
    bool addConditionalFormatting(const ConditionalFormatting &formatting);
    QList<ConditionalFormatting> conditionalFormattings() const;
    bool removeConditionalFormatting(int index);
    bool addDataValidation(const DataValidation &validation);
    QList<DataValidation> dataValidations() const;
    bool removeDataValidation(int index);

    // A note on a cell, replacing the one it had; shown all the time when
    // visible, else while the pointer rests on the cell. False for an empty
    // text, and for a loaded sheet whose notes' drawing also holds controls
    // (buttons, check boxes), which the model would lose.
    bool writeNote(int row, int column, const RichString &text, const QString &author = QString(),
                   bool visible = false);
    // A null note where there is none.
    CellNote note(int row, int column) const;
    QList<CellAddress> notedCells() const;
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
      cells or the sheet's filter, a name that is not valid or taken (see
      SheetTable::name), another number of columns than the range has, or
      a style that is not built in.
    */
    bool addTable(const CellArea &range, const SheetTable &table);
    /*!
      The sheet's tables, loaded ones first (a loaded table the library
      cannot read is kept and written back, but not listed). A loaded table
      is written back as it came; rows and columns inserted before it move
      it.
    */
    QList<SheetTable> tables() const;

    // The cells printed (the sheet-scoped name "_xlnm.Print_Area"); an
    // invalid area takes it away.
    bool setPrintArea(const CellArea &area);
    CellArea printArea() const;
    // Rows and columns printed on every page ("_xlnm.Print_Titles"); 0 for none.
    bool setPrintTitles(int firstRow, int lastRow, int firstColumn = 0, int lastColumn = 0);

    /*!
      Sets how the sheet prints. False, changing nothing, for values that
      spreadsheet programs refuse: a margin below 0 or of 49 inches or more,
      a scale outside 10 to 400 %, a header or footer longer than 255
      characters, more than 1,026 breaks of rows or of columns, a break at
      row or column 1 or outside the sheet. The breaks are kept sorted, each
      once; they move with rows and columns inserted and removed.
    */
    bool setPageSetup(const PageSetup &setup);
    //! How the sheet prints: as set, as loaded, or the defaults.
    PageSetup pageSetup() const;

    // The top rows and left columns stay while the rest scrolls; 0 and 0
    // take the division away.
    bool setFrozenPanes(int rows, int columns);
    // The window split after the rows and columns, each part scrolling apart.
    bool setSplitPanes(int rows, int columns);
    SheetPane pane() const;
    // The range whose header row gets filter buttons; an invalid range takes
    // them away.
    bool setAutoFilter(const CellArea &range);
    CellArea autoFilter() const;

    // The colour of the sheet's tab; an invalid colour takes it away. A
    // loaded tab of a theme colour answers with an invalid one and keeps
    // its colour until it is set.
    void setTabColor(const QColor &color);
    QColor tabColor() const;
    /*!
      Protects the sheet: its locked cells (all cells but those whose
      Format::isLocked() is false) and what \a options do not allow can no
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

    bool isWindowProtected() const;
    void setWindowProtected(bool on);
    bool isFormulasVisible() const;
    void setFormulasVisible(bool on);
    bool isGridLinesVisible() const;
    void setGridLinesVisible(bool on);
    bool isRowColumnHeadersVisible() const;
    void setRowColumnHeadersVisible(bool on);
    bool isZerosVisible() const;
    void setZerosVisible(bool on);
    bool isRightToLeft() const;
    void setRightToLeft(bool on);
    bool isSelected() const;
    void setSelected(bool on);
    bool isRulerVisible() const;
    void setRulerVisible(bool on);
    bool isOutlineSymbolsVisible() const;
    void setOutlineSymbolsVisible(bool on);
    bool isWhiteSpaceVisible() const;
    void setWhiteSpaceVisible(bool on);

    void writeXml(QIODevice *device) const override;
    // Reads the sheet's part of a loaded package into this new sheet, whose
    // workbook has read its shared strings and styles; the relationships
    // the loader kept for it give the links' targets. What the model does
    // not know is kept and written back in its place.
    bool readXml(QIODevice *device) override;

protected:
    AbstractSheet *copy(const QString &name, int sheetId) const override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    friend class Workbook;
    friend class WorkbookPrivate;
    friend class CalcEngine;
    Worksheet(const QString &name, int sheetId, Workbook *workbook, CreationMode mode);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_WORKSHEET_H
