#ifndef SPREADSHEET_DOCUMENT_H
#define SPREADSHEET_DOCUMENT_H

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

// A spreadsheet in memory, saved as an Office Open XML package (.xlsx).
// Values go to its active worksheet; saving writes every part anew, and the
// parts of a loaded package that the model does not read are written back
// as they came.
class Document : public QObject
{
    Q_OBJECT
    Q_DECLARE_PRIVATE(Document)

public:
    explicit Document(QObject *parent = nullptr);
    // Remembers the name for save() and loads the file when it exists; a
    // file that does not load leaves the document empty (errorString says why).
    explicit Document(const QString &fileName, QObject *parent = nullptr);
    explicit Document(QIODevice *device, QObject *parent = nullptr);
    ~Document() override;

    // Reads a package: sheets, cells, styles, names, properties; every part
    // it does not model is kept for the next save. False, with the document
    // as it was before and errorString() naming the part and the reason, for
    // anything but a sound package within the read limits.
    bool load(const QString &fileName);
    bool load(QIODevice *device);
    // Why the last load or calculation failed; empty after one that succeeded.
    QString errorString() const;
    // Computes every formula of the workbook (see Workbook::calculate());
    // false, with errorString() naming the cell, for a circular reference.
    bool calculate();
    void setReadLimits(const ReadLimits &limits);
    ReadLimits readLimits() const;

    Workbook *workbook() const;
    // The active sheet; a new document gets "Sheet1" here.
    AbstractSheet *activeSheet() const;
    // The active sheet as a worksheet, or null when it is not one.
    Worksheet *activeWorksheet() const;

    // Forwarded to the active worksheet; false, 0 or empty without one.
    bool writeValue(int row, int column, const QVariant &value, const Format &format = Format());
    bool writeValue(const CellAddress &address, const QVariant &value, const Format &format = Format());
    QVariant readValue(int row, int column) const;
    QSharedPointer<SheetCell> cellAt(int row, int column) const;
    void forEachCell(const std::function<void(int row, int column, const SheetCell &cell)> &visit) const;
    bool setColumnWidth(int first, int last, double width);
    bool setColumnFormat(int first, int last, const Format &format);
    bool setColumnHidden(int first, int last, bool hidden);
    double columnWidth(int column) const;
    Format columnFormat(int column) const;
    bool isColumnHidden(int column) const;
    bool groupColumns(int first, int last, bool collapsed = true);
    bool setRowHeight(int first, int last, double height);
    bool setRowFormat(int first, int last, const Format &format);
    bool setRowHidden(int first, int last, bool hidden);
    double rowHeight(int row) const;
    Format rowFormat(int row) const;
    bool isRowHidden(int row) const;
    bool groupRows(int first, int last, bool collapsed = true);
    bool mergeCells(const CellArea &area, const Format &format = Format());
    bool unmergeCells(const CellArea &area);
    bool insertImage(int row, int column, const QImage &image, const ImagePlacement &placement = ImagePlacement());
    bool insertImage(int row, int column, const QByteArray &fileBytes,
                     const ImagePlacement &placement = ImagePlacement());
    Chart *insertChart(int row, int column, const QSize &size);
    bool addConditionalFormatting(const ConditionalFormatting &formatting);
    bool addDataValidation(const DataValidation &validation);
    bool writeNote(int row, int column, const RichString &text, const QString &author = QString(), bool visible = false);
    CellNote note(int row, int column) const;
    bool setFrozenPanes(int rows, int columns);
    bool setSplitPanes(int rows, int columns);
    bool setAutoFilter(const CellArea &range);
    // Rows and columns of the active sheet inserted and removed, every
    // reference in the workbook following (see Worksheet).
    bool insertRows(int row, int count = 1);
    bool removeRows(int row, int count = 1);
    bool insertColumns(int column, int count = 1);
    bool removeColumns(int column, int count = 1);
    bool setPrintArea(const CellArea &area);
    bool setPrintTitles(int firstRow, int lastRow, int firstColumn = 0, int lastColumn = 0);
    // A name for the whole workbook, or for the active sheet alone.
    bool defineName(const QString &name, const QString &formula, bool activeSheetOnly = false);

    // Sheets by name.
    bool addSheet(const QString &name = QString());
    bool insertSheet(int index, const QString &name = QString());
    // A chart sheet ("Chart1", "Chart2", ... by default), made the active
    // sheet; null when the name is taken.
    Chartsheet *addChartsheet(const QString &name = QString());
    bool selectSheet(const QString &name);
    bool renameSheet(const QString &oldName, const QString &newName);
    bool copySheet(const QString &name, const QString &newName = QString());
    bool moveSheet(const QString &name, int index);
    bool deleteSheet(const QString &name);
    QStringList sheetNames() const;

    // Free-form properties such as "title", "creator" or "company".
    void setDocumentProperty(const QString &key, const QString &value);
    QString documentProperty(const QString &key) const;
    QStringList documentPropertyNames() const;
    // Properties of the document's own naming ("Batch", "Analyst"), in
    // "docProps/custom.xml": a text, a number, a boolean or a date-time.
    // A name is one property whatever its letter case; a null value takes
    // it away. False, changing nothing, for an empty name or a value of
    // another type. A loaded package's properties are read, and those of
    // kinds the library does not know are written back as they came.
    bool setCustomProperty(const QString &name, const QVariant &value);
    QVariant customProperty(const QString &name) const;
    QStringList customPropertyNames() const;

    // To "Book1.xlsx" in the current folder.
    bool save() const;
    // Writes the whole package to a temporary file beside the target and puts
    // it in place only when complete; an existing file survives a failure.
    bool saveToFile(const QString &fileName) const;
    // False when the package could not be written completely.
    bool saveToDevice(QIODevice *device) const;

private:
    QScopedPointer<DocumentPrivate> d_ptr;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCUMENT_H
