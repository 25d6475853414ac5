#ifndef SPREADSHEET_SHEETREADER_H
#define SPREADSHEET_SHEETREADER_H

#include "readlimits.h"

#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QIODevice;

namespace Spreadsheet {

class SheetReaderPrivate;

// One worksheet of a package read row by row, without building a document:
// for workbooks too large to hold. It keeps the shared strings and one row.
//
//     SheetReader reader;
//     reader.open(fileName);            // the first worksheet
//     while (reader.readRow())
//         use(reader.rowNumber(), reader.values());
//     if (reader.hasError()) ...
//
// The values are those Worksheet::readValue gives: texts, numbers, bools,
// date-times for date formats and dates, error texts such as "#N/A".
class SheetReader
{
public:
    SheetReader();
    ~SheetReader();

    void setReadLimits(const ReadLimits &limits);
    // Opens the worksheet of that name, or the first worksheet for an empty
    // name; false, with the reason, when there is none or the package is
    // not sound. A device must stay open while the sheet is read.
    bool open(const QString &fileName, const QString &sheetName = QString());
    bool open(QIODevice *device, const QString &sheetName = QString());
    // The sheets of the package that open() found, in order.
    QStringList sheetNames() const;

    // Moves to the next row that has cells; false at the end or on an error.
    bool readRow();
    int rowNumber() const;
    // The row's values: index c - 1 holds column c, an invalid QVariant
    // where a cell is empty; as long as the row's last cell.
    QVector<QVariant> values() const;

    bool hasError() const;
    QString errorString() const;

private:
    Q_DISABLE_COPY(SheetReader)
    QScopedPointer<SheetReaderPrivate> d;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETREADER_H
