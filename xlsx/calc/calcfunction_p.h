#ifndef SPREADSHEET_CALCFUNCTION_P_H
#define SPREADSHEET_CALCFUNCTION_P_H

#include "calcvalue_p.h"

#include <functional>

namespace Spreadsheet {

class CalcEvaluator;
struct CalcNode;

// The cell a formula is computed for: its sheet (index into the
// workbook's sheets), row and column.
struct CalcPosition
{
    int sheet = 0;
    int row = 1;
    int column = 1;
};

// One call of a function: its arguments, taken as the function's table
// entry says, and the coercions that functions apply to them.
class CalcCall
{
public:
    CalcCall(CalcEvaluator &evaluator, const std::vector<CalcValue> &arguments, const CalcNode *node);

    int count() const { return int(m_arguments.size()); }
    // An argument left empty ("F(1,,3)"), or one past the last.
    bool isMissing(int index) const;
    bool has(int index) const { return !isMissing(index); }
    const CalcValue &at(int index) const;

    // A scalar argument as a number (a blank is 0, TRUE 1, a text that
    // reads as a number that number), an integer (truncated toward zero),
    // a text (numbers as formulas show them, TRUE as "TRUE") or a boolean
    // (a number is TRUE unless 0; the texts "TRUE" and "FALSE"). False when
    // the argument is an error or does not read so; error() then holds
    // the error to return.
    bool number(int index, double &value);
    bool integer(int index, qint64 &value);
    bool text(int index, QString &value);
    bool boolean(int index, bool &value);
    // Each with a default for a missing argument.
    bool number(int index, double &value, double missing);
    bool integer(int index, qint64 &value, qint64 missing);
    bool boolean(int index, bool &value, bool missing);
    const CalcValue &error() const { return m_error; }
    void setError(CalcError error) { m_error = CalcValue::error(error); }

    // Visits what an argument holds as functions over ranges see it: the
    // stored cells of a reference (blank cells skipped) row by row, the
    // elements of an array, or a scalar itself. direct is true only for
    // the scalar typed as the argument. False when visit stopped it by
    // returning false.
    bool forEach(int index, const std::function<bool(const CalcValue &value, bool direct)> &visit);
    // An argument as rows and columns of values, blanks included (a
    // scalar is one value).
    CalcMatrix matrix(int index);

    // The argument of a lazy parameter, computed when the function asks.
    CalcValue evaluate(int index);

    CalcEvaluator &evaluator() { return m_evaluator; }
    const CalcPosition &position() const;
    bool isDate1904() const;

private:
    CalcEvaluator &m_evaluator;
    const std::vector<CalcValue> &m_arguments;
    const CalcNode *m_node;
    CalcValue m_error;
};

using CalcFunctionImplementation = CalcValue (*)(CalcCall &call);

// A function of the formula language as a table entry.
struct CalcFunction
{
    const char *name;      // upper case, without the "_xlfn." files add to newer names
    int minimumArguments;
    int maximumArguments;  // 255 for "as many as a formula may give"
    // One letter per parameter, the last repeated for the rest:
    // S a single value (a reference in it is intersected with the
    //   formula's row or column; an array makes the function run on each
    //   element and give an array),
    // R as written (a reference stays a reference),
    // A as written, ranges and operators computed element by element,
    // L not computed until the function asks (CalcCall::evaluate).
    const char *parameters;
    CalcFunctionImplementation implementation;
};

struct CalcFunctionTable
{
    const CalcFunction *functions;
    int count;
};

// The tables, one per group, each in a source of its own.
CalcFunctionTable calcMathFunctions();
CalcFunctionTable calcStatisticsFunctions();
CalcFunctionTable calcLookupFunctions();
CalcFunctionTable calcTextFunctions();
CalcFunctionTable calcDateFunctions();
CalcFunctionTable calcLogicalFunctions();

// The function of that name (any letter case, with or without "_xlfn."
// and "_xlws."), or null.
const CalcFunction *findCalcFunction(const QString &name);

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCFUNCTION_P_H
