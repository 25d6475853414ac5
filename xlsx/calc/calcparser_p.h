#ifndef SPREADSHEET_CALCPARSER_P_H
#define SPREADSHEET_CALCPARSER_P_H

#include "calcfunction_p.h"
#include "formulatokenizer_p.h"

#include <QHash>

#include <memory>

namespace Spreadsheet {

struct TableColumnIndex;

// One node of a parsed formula. References keep their relative parts as
// distances from the cell the formula was written for, so one parsed
// formula serves every cell that holds the same formula moved (a column of
// "=A2*B2", "=A3*B3", ...).
struct CalcNode
{
    enum Kind : quint8 {
        Constant,        // value
        ArrayConstant,   // value (an array)
        Missing,         // an argument left empty
        Reference,       // sheets, edges
        Name,            // text (upper case); sheet for a sheet's own name, else -1
        Function,        // function, children
        Negate,          // children[0]
        Percent,         // children[0]
        Binary,          // op, children[0..1]
        Union            // children
    };
    enum Operator : quint8 {
        Add, Subtract, Multiply, Divide, Power, Concatenate,
        Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual,
        Range, Intersect
    };
    struct Edge
    {
        int row = 0;       // absolute, or the distance from the formula's row
        int column = 0;
        bool rowAbsolute = true;
        bool columnAbsolute = true;
    };
    // The sheets of a reference: the formula's own (-1), one, or the first
    // and last of a three-dimensional reference; -2 for a sheet the
    // workbook lacks (#REF!).
    static constexpr int ownSheet = -1;
    static constexpr int missingSheet = -2;

    Kind kind = Constant;
    Operator op = Add;
    FormulaReference::Kind referenceKind = FormulaReference::Cell;
    int firstSheet = ownSheet;
    int lastSheet = ownSheet;
    Edge first;
    Edge last;
    CalcValue value;
    QString text;
    const CalcFunction *function = nullptr;
    std::vector<std::unique_ptr<CalcNode>> children;
    int depth = 1;   // of the tree below it, itself included
};

// A formula parsed once for every cell that holds it moved; without a
// root when the engine cannot compute it (a function it lacks, an external
// or structured reference, a formula too deep).
struct CalcFormula
{
    std::unique_ptr<CalcNode> root;
};

// Turns formula text into nodes, relative to the cell it is written for.
class CalcParser
{
public:
    using SheetIndex = std::function<int(const QString &name)>;   // -1 for none
    // A table by its name; null for none (its references are #REF!), an
    // index without a table for one the model keeps unread (they cannot be
    // computed).
    using TableLookup = std::function<const TableColumnIndex *(const QString &name)>;
    CalcParser(SheetIndex sheetIndex, TableLookup tables = TableLookup())
        : m_sheetIndex(std::move(sheetIndex)), m_tables(std::move(tables)) {}

    std::shared_ptr<const CalcFormula> parse(const QString &text, const QVector<FormulaToken> &tokens, int row,
                                             int column) const;
    // A text that is the same for two formulas exactly when one is the
    // other moved by the distance between their cells.
    static QString shapeKey(const QString &text, const QVector<FormulaToken> &tokens, int row, int column);

private:
    SheetIndex m_sheetIndex;
    TableLookup m_tables;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCPARSER_P_H
