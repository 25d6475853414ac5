#ifndef SPREADSHEET_STRUCTUREDREFERENCE_P_H
#define SPREADSHEET_STRUCTUREDREFERENCE_P_H

#include "cellarea.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace Spreadsheet {

struct SheetTable;

// A table as references find it: its columns by folded name.
struct TableColumnIndex
{
    const SheetTable *table = nullptr;   // null for a table the model keeps unread
    int sheet = -1;
    QHash<QString, int> columns;

    static TableColumnIndex of(const SheetTable &table, int sheet);
};

// A reference to a table's cells by its name and its columns' names, as
// files store it: "Table1[Acidity]", "Table1[[#This Row],[Acidity]]",
// "Table1[[#Headers],[#Data],[First]:[Last]]", "Table1[#All]".
struct StructuredReference
{
    enum Rows { Data = 0x1, Headers = 0x2, Totals = 0x4, All = 0x7, ThisRow = 0x8 };

    QString table;
    int rows = Data;
    QString firstColumn;   // empty: every column
    QString lastColumn;

    // The reference of a token's text; nothing when it is not one this
    // reads (a name without a table, unbalanced brackets).
    static std::optional<StructuredReference> parse(const QString &text);

    // The cells it names in the table: a whole area, or for "#This Row"
    // the columns alone (rows 0), the row being the formula's. Invalid for
    // a column the table lacks, or for its header or totals row alone when
    // it has none (#REF!).
    CellArea resolve(const TableColumnIndex &index) const;

    // A column's name as a reference writes it: "'" before "[", "]", "#"
    // and "'".
    static QString escaped(const QString &column);
    // The stored form of a calculated column's formula: "[@Acidity]",
    // "[@[Acidity ratio]]" and "Table1[@Acidity]" become
    // "Table1[[#This Row],[Acidity]]".
    static QString storedFormula(const QString &formula, const QString &table);
    // A formula whose references without a table's name ("[Acidity]",
    // which a formula inside a table may hold) name the table given;
    // the text as it was when it has none.
    static QString qualified(const QString &formula, const QString &table);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_STRUCTUREDREFERENCE_P_H
