#ifndef SPREADSHEET_TABLEXML_P_H
#define SPREADSHEET_TABLEXML_P_H

#include "sheettable.h"

#include <QByteArray>

#include <optional>

namespace Spreadsheet {

// A table of a sheet in the model: what it is, and of a loaded one the
// bytes of its part, written back as they came.
struct TableRecord
{
    SheetTable table;
    int id = 0;                       // unique in the workbook
    QByteArray keptBytes;             // a loaded table's part
    mutable QString partName;         // given by each save
};

// What names a table in the workbook: for a table part kept unread.
struct TableIdentity
{
    QString name;
    QString displayName;
    int id = 0;
};

// The XML of a table part ("xl/tables/table1.xml").
namespace TableXml {

// The table a part holds, checked: a range inside the sheet of a header
// row, data rows and a totals row as its counts say, one named column per
// column of the range. Nothing for a part that is not such a table.
std::optional<TableRecord> read(const QByteArray &bytes, int maxXmlDepth);
QByteArray write(const TableRecord &record);
// The name and id of any table part, read or not; nothing when its root is
// not a table.
std::optional<TableIdentity> identity(const QByteArray &bytes);

// Whether a name can name a table: see SheetTable::name.
bool isValidName(const QString &name);
bool isBuiltInStyle(const QString &name);
// The totals row's formula of a column ("SUBTOTAL(109,Table1[Acidity])"),
// empty for none.
QString totalsFormula(const QString &table, const TableColumn &column);

} // namespace TableXml

} // namespace Spreadsheet

#endif // SPREADSHEET_TABLEXML_P_H
