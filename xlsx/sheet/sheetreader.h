#ifndef SPREADSHEET_SHEETREADER_H
#define SPREADSHEET_SHEETREADER_H

//! \file sheetreader.h
//! One worksheet read row by row, without a document: SheetReader.

#include "readlimits.h"

#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QIODevice;

namespace Spreadsheet {

class SheetReaderPrivate;

//! One worksheet of a package read row by row, without building a document:
//! for workbooks too large to hold. It keeps the shared strings and one row.
//!
//! \code
//! Spreadsheet::SheetReader reader;
//! reader.open(fileName);            // the first worksheet
//! while (reader.readRow())
//!     use(reader.rowNumber(), reader.values());
//! if (reader.hasError())
//!     qWarning() << reader.errorString();
//! \endcode
//!
//! The values are those Worksheet::readValue gives: texts, numbers, bools,
//! date-times for date formats and dates, error texts such as "#N/A".
//! Formulas give the values their file holds; nothing is computed. The
//! package is trusted only within the ReadLimits, as Document::load() trusts it.
class SheetReader
{
public:
    //! A reader with no sheet open.
    SheetReader();
    //! Closes the sheet and the file it opened.
    ~SheetReader();

    //! Sets how far the packages that open() reads are trusted; for the next open().
    void setReadLimits(const ReadLimits &limits);
    //! Opens the worksheet of that name, or the first worksheet for an empty
    //! name; false, with the reason, when there is none or the package is
    //! not sound. A device must stay open while the sheet is read.
    //! The name is matched exactly, letter case included; chart sheets are
    //! passed over. The reader reads the workbook, its shared strings and
    //! styles here, and the sheet's rows as readRow() asks for them.
    bool open(const QString &fileName, const QString &sheetName = QString());
    //! Opens a worksheet of the package a device holds, open for reading; see
    //! open(const QString &, const QString &).
    bool open(QIODevice *device, const QString &sheetName = QString());
    //! The sheets of the package that open() found, in order.
    //! Every kind of sheet is listed, chart sheets too.
    QStringList sheetNames() const;

    //! Moves to the next row that has cells; false at the end or on an error.
    //! A row whose cells hold no value is passed over. On an error
    //! hasError() is true and errorString() names the part and the cell.
    bool readRow();
    //! The 1-based number of the row readRow() moved to; 0 before the first.
    int rowNumber() const;
    //! The row's values: index c - 1 holds column c, an invalid QVariant
    //! where a cell is empty; as long as the row's last cell.
    QVector<QVariant> values() const;

    //! Whether the last open() or readRow() failed.
    bool hasError() const;
    //! Why the last open() or readRow() failed ("xl/worksheets/sheet1.xml:
    //! cell B7 holds x, which is no number"); empty when it did not.
    QString errorString() const;

private:
    Q_DISABLE_COPY(SheetReader)
    QScopedPointer<SheetReaderPrivate> d;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETREADER_H
