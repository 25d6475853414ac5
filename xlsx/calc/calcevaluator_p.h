#ifndef SPREADSHEET_CALCEVALUATOR_P_H
#define SPREADSHEET_CALCEVALUATOR_P_H

#include "calcparser_p.h"

namespace Spreadsheet {

class CalcEngine;

// Computes parsed formulas for one cell at a time. Ranges and operators
// work element by element inside array formulas and in the arguments of
// functions that take arrays; elsewhere a range where one value belongs
// gives the cell of the formula's row or column (implicit intersection).
class CalcEvaluator
{
public:
    explicit CalcEvaluator(CalcEngine &engine) : m_engine(engine) {}

    // The formula's value for the cell: a single value, or in an array
    // formula what it gives, an array included.
    CalcValue evaluateFormula(const CalcNode &root, const CalcPosition &position, bool arrayFormula);
    CalcValue evaluate(const CalcNode &node);

    CalcEngine &engine() { return m_engine; }
    const CalcPosition &position() const { return m_position; }
    bool isArrayMode() const { return m_arrayMode; }

    // A value where a single one belongs: a reference's cell (intersected
    // with the formula's row or column when it has several), an array's
    // first element.
    CalcValue singleValue(const CalcValue &value);
    // A reference's cell where the formula's row or column crosses it;
    // #VALUE! where it does not.
    CalcValue intersect(const CalcValue &reference);
    // Rows and columns of values: an array as it is, a reference's cells
    // (blanks included, whole columns as far as the sheet goes), a scalar
    // as one value.
    CalcMatrix matrixOf(const CalcValue &value);
    // A reference's areas resolved for the cell computed.
    CalcValue referenceOf(const CalcNode &node);
    // A value as an operator takes it: a reference intersected, or in an
    // array formula turned into an array of its cells.
    CalcValue operand(const CalcValue &value);

private:
    CalcValue evaluateNode(const CalcNode &node);
    CalcValue evaluateBinary(const CalcNode &node);
    CalcValue evaluateFunction(const CalcNode &node);
    CalcValue evaluateName(const CalcNode &node);
    CalcValue evaluateUnion(const CalcNode &node);
    CalcValue callLifted(const CalcNode &node, std::vector<CalcValue> &arguments);
    CalcValue rangeOf(const CalcValue &left, const CalcValue &right);
    CalcValue intersection(const CalcValue &left, const CalcValue &right);

    CalcEngine &m_engine;
    CalcPosition m_position;
    bool m_arrayMode = false;
    std::vector<const CalcFormula *> m_activeNames;   // being computed, innermost last
    int m_nameEvaluations = 0;                        // for the formula computed
    int m_depth = 0;
};

// The operators on single values.
namespace CalcOperators {
CalcValue binary(int op, const CalcValue &left, const CalcValue &right, bool date1904);
CalcValue negate(const CalcValue &value, bool date1904);
CalcValue percent(const CalcValue &value, bool date1904);
// A single value as a number for arithmetic; an error value when it is
// one or is a text that reads as no number.
CalcValue toNumber(const CalcValue &value, bool date1904);
CalcValue toText(const CalcValue &value);
} // namespace CalcOperators

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCEVALUATOR_P_H
