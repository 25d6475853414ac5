#ifndef SPREADSHEET_DOCUMENT_H
#define SPREADSHEET_DOCUMENT_H

//! \file document.h
//! A spreadsheet in memory, loaded and saved as an .xlsx package: Document.

#include "abstractsheet.h"
#include "celladdress.h"
#include "cellarea.h"
#include "format.h"
#include "readlimits.h"
#include "cellnote.h"
#include "conditionalformatting.h"
#include "datavalidation.h"
#include "sheetimage.h"

#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>

#include <functional>

class QIODevice;

namespace Spreadsheet {

class Chart;
class Chartsheet;
class DocumentPrivate;
class SheetCell;
class Workbook;
class Worksheet;

//! A spreadsheet in memory, saved as an Office Open XML package (.xlsx).
//! Values go to its active worksheet; saving writes every part anew, and the
//! parts of a loaded package that the model does not read are written back
//! as they came.
//!
//! Document is the library's front door: it owns the Workbook, whose sheets
//! hold the cells. Its cell, row, column and drawing calls are those of the
//! active Worksheet (activeWorksheet()), and answer false, 0, null or an
//! empty value while the active sheet is a chart sheet. Rows and columns
//! are numbered from 1; the sheet calls take sheets by name.
//!
//! \code
//! Spreadsheet::Document document;
//! Spreadsheet::Format bold;
//! bold.setFontBold(true);
//! document.writeValue(1, 1, QStringLiteral("Sample"), bold);
//! document.writeValue(2, 1, 4.81);
//! document.writeValue(3, 1, QStringLiteral("=A2*2"));
//! document.setColumnWidth(1, 1, 20);              // characters
//! if (!document.saveToFile(QStringLiteral("results.xlsx")))
//!     qWarning() << "not saved";
//! \endcode
//!
//! Loading, changing and saving a workbook that any program wrote:
//! \code
//! Spreadsheet::Document document;
//! if (!document.load(QStringLiteral("last-month.xlsx")))
//!     qWarning() << document.errorString();   // "xl/worksheets/sheet2.xml: cell XFE1 lies outside the sheet"
//! document.selectSheet(QStringLiteral("Results"));
//! const QVariant acidity = document.readValue(2, 3);
//! document.writeValue(40, 1, QStringLiteral("Sample 39"));
//! document.saveToFile(QStringLiteral("this-month.xlsx"));
//! \endcode
class Document : public QObject
{
    Q_OBJECT
    Q_DECLARE_PRIVATE(Document)

public:
    //! An empty document; its first sheet, "Sheet1", comes with the first
    //! call that needs one (activeSheet(), writeValue(), saving).
    explicit Document(QObject *parent = nullptr);
    //! Remembers the name for save() and loads the file when it exists; a
    //! file that does not load leaves the document empty (errorString says why).
    explicit Document(const QString &fileName, QObject *parent = nullptr);
    //! Loads the package the device holds, as load(QIODevice *) does; one that
    //! does not load leaves the document empty (errorString() says why).
    explicit Document(QIODevice *device, QObject *parent = nullptr);
    //! Destroys the document with its workbook and sheets.
    ~Document() override;

    //! Reads a package: sheets, cells, styles, names, properties; every part
    //! it does not model is kept for the next save. False, with the document
    //! as it was before and errorString() naming the part and the reason, for
    //! anything but a sound package within the read limits. Does not change
    //! the file save() writes to.
    bool load(const QString &fileName);
    //! Reads a package from a device open for reading, as load(const QString &) does.
    bool load(QIODevice *device);
    //! Why the last load or calculation failed; empty after one that succeeded.
    QString errorString() const;
    //! Computes every formula of the workbook (see Workbook::calculate());
    //! false, with errorString() naming the cell, for a circular reference.
    bool calculate();
    //! Sets how far the packages that load() reads are trusted.
    void setReadLimits(const ReadLimits &limits);
    //! The limits load() reads packages within; the defaults of ReadLimits
    //! unless set.
    ReadLimits readLimits() const;

    //! The document's workbook, owned by the document; never null.
    Workbook *workbook() const;
    //! The active sheet; a new document gets "Sheet1" here.
    AbstractSheet *activeSheet() const;
    //! The active sheet as a worksheet, or null when it is not one.
    Worksheet *activeWorksheet() const;

    //! Writes a cell of the active worksheet by the value's type; see
    //! Worksheet::writeValue(). Like the document's other cell, row, column
    //! and drawing calls, it is forwarded to the active worksheet; false, 0
    //! or empty without one.
    bool writeValue(int row, int column, const QVariant &value, const Format &format = Format());
    //! Writes a cell at an address; see Worksheet::writeValue().
    bool writeValue(const CellAddress &address, const QVariant &value, const Format &format = Format());
    //! The value of a cell of the active worksheet (Worksheet::readValue());
    //! an invalid QVariant for an empty cell or without a worksheet.
    QVariant readValue(int row, int column) const;
    //! A snapshot of a cell of the active worksheet (Worksheet::cellAt()); null
    //! for an empty cell or without a worksheet.
    QSharedPointer<SheetCell> cellAt(int row, int column) const;
    //! Visits the stored cells of the active worksheet (Worksheet::forEachCell()).
    void forEachCell(const std::function<void(int row, int column, const SheetCell &cell)> &visit) const;
    //! Sets the width of columns first to last, in characters (Worksheet::setColumnWidth()).
    bool setColumnWidth(int first, int last, double width);
    //! Sets the format of columns first to last (Worksheet::setColumnFormat()).
    bool setColumnFormat(int first, int last, const Format &format);
    //! Hides or shows columns first to last (Worksheet::setColumnHidden()).
    bool setColumnHidden(int first, int last, bool hidden);
    //! The width of a column in characters; 0 for the default width
    //! (Worksheet::columnWidth()).
    double columnWidth(int column) const;
    //! The format of a column (Worksheet::columnFormat()).
    Format columnFormat(int column) const;
    //! Whether a column is hidden (Worksheet::isColumnHidden()).
    bool isColumnHidden(int column) const;
    //! Groups columns one outline level deeper (Worksheet::groupColumns()).
    bool groupColumns(int first, int last, bool collapsed = true);
    //! Sets the height of rows first to last, in points (Worksheet::setRowHeight()).
    bool setRowHeight(int first, int last, double height);
    //! Sets the format of rows first to last (Worksheet::setRowFormat()).
    bool setRowFormat(int first, int last, const Format &format);
    //! Hides or shows rows first to last (Worksheet::setRowHidden()).
    bool setRowHidden(int first, int last, bool hidden);
    //! The height of a row in points (Worksheet::rowHeight()); 0 without a worksheet.
    double rowHeight(int row) const;
    //! The format of a row (Worksheet::rowFormat()).
    Format rowFormat(int row) const;
    //! Whether a row is hidden (Worksheet::isRowHidden()).
    bool isRowHidden(int row) const;
    //! Groups rows one outline level deeper (Worksheet::groupRows()).
    bool groupRows(int first, int last, bool collapsed = true);
    //! Merges the cells of an area (Worksheet::mergeCells()).
    bool mergeCells(const CellArea &area, const Format &format = Format());
    //! Takes a merged area apart (Worksheet::unmergeCells()).
    bool unmergeCells(const CellArea &area);
    //! Puts a picture on the active worksheet, stored as PNG (Worksheet::insertImage()).
    bool insertImage(int row, int column, const QImage &image, const ImagePlacement &placement = ImagePlacement());
    //! Puts the bytes of a PNG, JPEG, GIF or BMP file on the active worksheet
    //! (Worksheet::insertImage()).
    bool insertImage(int row, int column, const QByteArray &fileBytes,
                     const ImagePlacement &placement = ImagePlacement());
    //! A new chart on the active worksheet, its size in pixels
    //! (Worksheet::insertChart()); null outside the sheet or without a worksheet.
    Chart *insertChart(int row, int column, const QSize &size);
    //! Adds conditional formats to the active worksheet (Worksheet::addConditionalFormatting()).
    bool addConditionalFormatting(const ConditionalFormatting &formatting);
    //! Adds a validation to the active worksheet (Worksheet::addDataValidation()).
    bool addDataValidation(const DataValidation &validation);
    //! Puts a note on a cell of the active worksheet (Worksheet::writeNote()).
    bool writeNote(int row, int column, const RichString &text, const QString &author = QString(), bool visible = false);
    //! The note on a cell of the active worksheet; a null note where there is none.
    CellNote note(int row, int column) const;
    //! Freezes the top rows and left columns (Worksheet::setFrozenPanes()).
    bool setFrozenPanes(int rows, int columns);
    //! Splits the window after rows and columns (Worksheet::setSplitPanes()).
    bool setSplitPanes(int rows, int columns);
    //! Gives an area's header row filter buttons (Worksheet::setAutoFilter()).
    bool setAutoFilter(const CellArea &range);
    //! Inserts count empty rows before row (Worksheet::insertRows()).
    //! Rows and columns of the active sheet inserted and removed, every
    //! reference in the workbook following (see Worksheet).
    bool insertRows(int row, int count = 1);
    //! Removes count rows from row on (Worksheet::removeRows()).
    bool removeRows(int row, int count = 1);
    //! Inserts count empty columns before column (Worksheet::insertColumns()).
    bool insertColumns(int column, int count = 1);
    //! Removes count columns from column on (Worksheet::removeColumns()).
    bool removeColumns(int column, int count = 1);
    //! Sets the cells printed (Worksheet::setPrintArea()).
    bool setPrintArea(const CellArea &area);
    //! Sets the rows and columns printed on every page (Worksheet::setPrintTitles()).
    bool setPrintTitles(int firstRow, int lastRow, int firstColumn = 0, int lastColumn = 0);
    //! A name for the whole workbook, or for the active sheet alone.
    //! See Workbook::defineName(); false for an empty name or formula.
    bool defineName(const QString &name, const QString &formula, bool activeSheetOnly = false);

    //! Sheets by name: appends a worksheet and makes it the active sheet; an empty name gives
    //! "Sheet2", "Sheet3", .... False when another sheet has the name in any
    //! letter case (Workbook::addSheet()).
    bool addSheet(const QString &name = QString());
    //! Inserts a worksheet at a 0-based index and makes it the active sheet;
    //! false when another sheet has the name (Workbook::insertSheet()).
    bool insertSheet(int index, const QString &name = QString());
    //! A chart sheet ("Chart1", "Chart2", ... by default), made the active
    //! sheet; null when the name is taken.
    Chartsheet *addChartsheet(const QString &name = QString());
    //! Makes the sheet of that name (exactly, letter case included) the
    //! active sheet; false when there is none.
    bool selectSheet(const QString &name);
    //! Renames a sheet; every reference to it follows (Workbook::renameSheet()).
    //! False for an unknown old name, a new name equal to the old one, or one
    //! another sheet has.
    bool renameSheet(const QString &oldName, const QString &newName);
    //! Appends a copy of a sheet (Workbook::copySheet()); false for an unknown
    //! name, a new name equal to it or taken, or a sheet that cannot be copied.
    bool copySheet(const QString &name, const QString &newName = QString());
    //! Moves a sheet to a 0-based index (Workbook::moveSheet()); false for an
    //! unknown name or when it stays in place.
    bool moveSheet(const QString &name, int index);
    //! Deletes a sheet (Workbook::deleteSheet()); false for an unknown name,
    //! the only sheet or the last visible one.
    bool deleteSheet(const QString &name);
    //! The sheets' names in the workbook's order.
    QStringList sheetNames() const;

    //! Free-form properties such as "title", "creator" or "company": sets
    //! one. Saving writes those the package's property
    //! parts hold: "title", "subject", "creator", "keywords", "description",
    //! "category", "status", "created" (an ISO 8601 date-time) in
    //! "docProps/core.xml", "manager" and "company" in "docProps/app.xml";
    //! other keys are kept in the document but not saved, and an empty value
    //! is not saved. A loaded package's properties are read under these keys.
    //!
    //! \code
    //! document.setDocumentProperty(QStringLiteral("title"), QStringLiteral("Olive oil, May"));
    //! document.setDocumentProperty(QStringLiteral("company"), QStringLiteral("QVR Lab"));
    //! \endcode
    void setDocumentProperty(const QString &key, const QString &value);
    //! The value of a document property; empty when not set.
    QString documentProperty(const QString &key) const;
    //! The keys of the document properties set, in alphabetical order.
    QStringList documentPropertyNames() const;
    //! Properties of the document's own naming ("Batch", "Analyst"), in
    //! "docProps/custom.xml": a text, a number, a boolean or a date-time.
    //! A name is one property whatever its letter case; a null value takes
    //! it away. False, changing nothing, for an empty name or a value of
    //! another type. A loaded package's properties are read, and those of
    //! kinds the library does not know are written back as they came.
    //!
    //! \code
    //! document.setCustomProperty(QStringLiteral("Batch"), QStringLiteral("B-17"));
    //! document.setCustomProperty(QStringLiteral("Samples"), 39);
    //! document.setCustomProperty(QStringLiteral("Checked"), QDateTime::currentDateTime());
    //! \endcode
    bool setCustomProperty(const QString &name, const QVariant &value);
    //! The value of a custom property, the name in any letter case; an
    //! invalid QVariant for none.
    QVariant customProperty(const QString &name) const;
    //! The names of the custom properties, in the order they were first set
    //! or read.
    QStringList customPropertyNames() const;

    //! Saves to the file name the document was made with or, without one,
    //! to "Book1.xlsx" in the current folder, as saveToFile() does.
    bool save() const;
    //! Writes the whole package to a temporary file beside the target and puts
    //! it in place only when complete; an existing file survives a failure.
    //! In a folder that takes no new file, an existing writable file is
    //! written over instead. False when the file could not be written.
    bool saveToFile(const QString &fileName) const;
    //! Writes the whole package to a device open for writing. A workbook
    //! without sheets first gets "Sheet1". False when the package could not be written completely.
    bool saveToDevice(QIODevice *device) const;

private:
    QScopedPointer<DocumentPrivate> d_ptr;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCUMENT_H
