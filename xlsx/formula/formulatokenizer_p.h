#ifndef SPREADSHEET_FORMULATOKENIZER_P_H
#define SPREADSHEET_FORMULATOKENIZER_P_H

#include <QString>
#include <QVector>

namespace Spreadsheet {

// A reference as a formula writes it: an optional sheet prefix (one sheet,
// or the first and last of a three-dimensional one), then a cell, an area,
// whole columns ("A:C"), whole rows ("3:5"), a name of the sheet
// ("Sheet1!Total") or the error "#REF!".
struct FormulaReference
{
    enum Kind { Cell, Area, Columns, Rows, SheetName, Error };
    struct Edge
    {
        int row = 0;      // 0 where the kind has none (whole columns)
        int column = 0;   // 0 where the kind has none (whole rows)
        bool rowAbsolute = false;
        bool columnAbsolute = false;
    };

    Kind kind = Cell;
    QString firstSheet;   // unquoted; empty for a reference without a sheet
    QString lastSheet;    // of a three-dimensional reference; else empty
    QString prefixText;   // the prefix as written, "!" included
    Edge first;
    Edge last;            // of areas, columns and rows
    QString name;         // of a sheet's name

    bool hasSheet() const { return !firstSheet.isEmpty(); }
    bool isThreeDimensional() const { return !lastSheet.isEmpty(); }
    // The reference's text after the prefix.
    QString areaText() const;
    // The prefix for these sheet names, quoted where a formula needs it.
    static QString prefixFor(const QString &firstSheet, const QString &lastSheet = QString());
};

struct FormulaToken
{
    enum Type {
        Number,
        Text,                  // "..." with doubled quotes
        Boolean,
        ErrorLiteral,          // #DIV/0!, #N/A, ...
        Reference,             // see FormulaReference
        Name,                  // a defined name
        Function,              // its name, "_xlfn." and all, without the parenthesis
        Operator,              // + - * / ^ & = <> < <= > >= % and the range operator ":"
        Separator,             // "," (arguments, union) and ";" (rows of an array constant)
        OpenParenthesis,
        CloseParenthesis,
        OpenBrace,
        CloseBrace,
        Space,                 // blanks: layout, or the intersection operator between references
        StructuredReference,   // Table1[Column], kept as written
        ExternalReference,     // [1]Sheet1!A1, kept as written; its reference holds the area and the prefix
        Unknown                // what reads as nothing else, kept as written
    };

    Type type = Unknown;
    int start = 0;
    int length = 0;
    FormulaReference reference;   // of a Reference or ExternalReference
};

// The formula language as files store it (no leading "="), cut into tokens
// that together cover the whole text: rewriting a formula changes the
// tokens it must and copies the others as they were written.
class FormulaTokenizer
{
public:
    static QVector<FormulaToken> tokenize(const QString &formula);

    // Whether a sheet's name must be quoted in a formula: anything but
    // letters, digits, "_" and "."; a leading digit; a name that reads as a
    // cell, a row-and-column reference or a boolean.
    static bool needsQuotes(const QString &sheetName);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMULATOKENIZER_P_H
