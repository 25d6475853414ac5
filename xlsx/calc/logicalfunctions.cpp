#include "calcevaluator_p.h"
#include "calcfunction_p.h"

#include <cmath>

namespace Spreadsheet {

namespace {

CalcValue error(CalcError kind)
{
    return CalcValue::error(kind);
}

// Runs choose on the elements of the operands, one result element each.
template <typename Choose>
CalcValue elementwise(const std::vector<CalcValue> &operands, Choose choose)
{
    int rows = 1;
    int columns = 1;
    for (const CalcValue &operand : operands) {
        if (operand.isArray()) {
            rows = qMax(rows, operand.matrix().rows);
            columns = qMax(columns, operand.matrix().columns);
        }
    }
    CalcMatrix result;
    result.rows = rows;
    result.columns = columns;
    result.values.reserve(size_t(rows) * size_t(columns));
    std::vector<CalcValue> elements(operands.size());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            for (size_t i = 0; i < operands.size(); ++i)
                elements[i] = operands[i].element(r, c);
            result.values.push_back(choose(elements));
        }
    }
    return CalcValue::array(std::move(result));
}

// A condition as IF reads it: a number is TRUE unless 0, a text is #VALUE!
// unless it says TRUE or FALSE.
CalcValue truthOf(const CalcValue &value)
{
    switch (value.type()) {
    case CalcValue::Error:
        return value;
    case CalcValue::Blank:
        return CalcValue::boolean(false);
    case CalcValue::Text:
        if (value.text().compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
            return CalcValue::boolean(true);
        if (value.text().compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
            return CalcValue::boolean(false);
        return error(CalcError::Value);
    default:
        return CalcValue::boolean(value.number() != 0);
    }
}

CalcValue branch(CalcCall &call, int index)
{
    if (index >= call.count())
        return CalcValue::boolean(false);
    if (call.isMissing(index))
        return CalcValue(0.0);
    return call.evaluate(index);
}

// IF computes only the branch its condition takes; an array of conditions
// takes each element's branch.
CalcValue ifFunction(CalcCall &call)
{
    const CalcValue condition = call.evaluator().operand(call.evaluate(0));
    if (!condition.isArray()) {
        const CalcValue truth = truthOf(condition);
        if (truth.isError())
            return truth;
        return branch(call, truth.booleanValue() ? 1 : 2);
    }
    const std::vector<CalcValue> operands = { condition, call.evaluator().operand(branch(call, 1)),
                                              call.evaluator().operand(branch(call, 2)) };
    return elementwise(operands, [](const std::vector<CalcValue> &e) {
        const CalcValue truth = truthOf(e[0]);
        if (truth.isError())
            return truth;
        return truth.booleanValue() ? e[1] : e[2];
    });
}

CalcValue ifErrorFunction(CalcCall &call, bool onlyNotAvailable)
{
    const CalcValue value = call.evaluator().operand(call.evaluate(0));
    const auto caught = [onlyNotAvailable](const CalcValue &v) {
        return v.isError() && (!onlyNotAvailable || v.errorValue() == CalcError::NotAvailable);
    };
    if (!value.isArray()) {
        if (caught(value))
            return call.isMissing(1) ? CalcValue(0.0) : call.evaluate(1);
        return value.isBlank() ? CalcValue(0.0) : value;
    }
    const std::vector<CalcValue> operands = { value, call.evaluator().operand(call.evaluate(1)) };
    return elementwise(operands, [&caught](const std::vector<CalcValue> &e) { return caught(e[0]) ? e[1] : e[0]; });
}

CalcValue ifError(CalcCall &call)
{
    return ifErrorFunction(call, false);
}

CalcValue ifNotAvailable(CalcCall &call)
{
    return ifErrorFunction(call, true);
}

CalcValue ifs(CalcCall &call)
{
    if (call.count() % 2 != 0)
        return error(CalcError::NotAvailable);
    for (int i = 0; i < call.count(); i += 2) {
        const CalcValue truth = truthOf(call.evaluator().singleValue(call.evaluate(i)));
        if (truth.isError())
            return truth;
        if (truth.booleanValue())
            return branch(call, i + 1);
    }
    return error(CalcError::NotAvailable);
}

CalcValue switchFunction(CalcCall &call)
{
    const CalcValue value = call.evaluator().singleValue(call.evaluate(0));
    if (value.isError())
        return value;
    int i = 1;
    for (; i + 1 < call.count(); i += 2) {
        const CalcValue candidate = call.evaluator().singleValue(call.evaluate(i));
        if (candidate.isError())
            return candidate;
        if (value.type() == candidate.type() || value.isBlank() || candidate.isBlank()) {
            if (CalcCoercion::compare(value, candidate) == 0)
                return branch(call, i + 1);
        }
    }
    if (i < call.count())
        return branch(call, i);   // the default
    return error(CalcError::NotAvailable);
}

CalcValue choose(CalcCall &call)
{
    qint64 index = 0;
    if (!call.integer(0, index))
        return call.error();
    if (index < 1 || index >= call.count())
        return error(CalcError::Value);
    return branch(call, int(index));
}

// AND, OR and XOR over the truth of every value: numbers and booleans of
// ranges count, their texts and blanks do not; no value at all is #VALUE!.
template <typename Fold>
CalcValue logicalFold(CalcCall &call, bool start, Fold fold)
{
    bool result = start;
    bool any = false;
    CalcValue failure;
    for (int i = 0; i < call.count() && !failure.isError(); ++i) {
        call.forEach(i, [&](const CalcValue &value, bool direct) {
            if (value.isError()) {
                failure = value;
                return false;
            }
            if (value.isText() && !direct)
                return true;
            if (value.isBlank() && !direct)
                return true;
            const CalcValue truth = truthOf(value);
            if (truth.isError()) {
                failure = truth;
                return false;
            }
            result = fold(result, truth.booleanValue());
            any = true;
            return true;
        });
    }
    if (failure.isError())
        return failure;
    if (!any)
        return error(CalcError::Value);
    return CalcValue::boolean(result);
}

CalcValue andFunction(CalcCall &call)
{
    return logicalFold(call, true, [](bool a, bool b) { return a && b; });
}

CalcValue orFunction(CalcCall &call)
{
    return logicalFold(call, false, [](bool a, bool b) { return a || b; });
}

CalcValue xorFunction(CalcCall &call)
{
    return logicalFold(call, false, [](bool a, bool b) { return a != b; });
}

CalcValue notFunction(CalcCall &call)
{
    const CalcValue truth = truthOf(call.at(0));
    return truth.isError() ? truth : CalcValue::boolean(!truth.booleanValue());
}

CalcValue trueFunction(CalcCall &)
{
    return CalcValue::boolean(true);
}

CalcValue falseFunction(CalcCall &)
{
    return CalcValue::boolean(false);
}

// --- information

CalcValue isBlank(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isBlank());
}

CalcValue isNumber(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isNumber());
}

CalcValue isText(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isText());
}

CalcValue isNonText(CalcCall &call)
{
    return CalcValue::boolean(!call.at(0).isText());
}

CalcValue isLogical(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isBoolean());
}

CalcValue isError(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isError());
}

CalcValue isErr(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isError() && call.at(0).errorValue() != CalcError::NotAvailable);
}

CalcValue isNotAvailable(CalcCall &call)
{
    return CalcValue::boolean(call.at(0).isError() && call.at(0).errorValue() == CalcError::NotAvailable);
}

// ISEVEN and ISODD take numbers (and texts that read as numbers), not
// booleans.
CalcValue parity(CalcCall &call, bool even)
{
    if (call.at(0).isBoolean())
        return error(CalcError::Value);
    double number = 0;
    if (!call.number(0, number))
        return call.error();
    const double whole = std::trunc(std::fabs(number));
    return CalcValue::boolean((std::fmod(whole, 2) == 0) == even);
}

CalcValue isEven(CalcCall &call)
{
    return parity(call, true);
}

CalcValue isOdd(CalcCall &call)
{
    return parity(call, false);
}

CalcValue notAvailable(CalcCall &)
{
    return error(CalcError::NotAvailable);
}

CalcValue nFunction(CalcCall &call)
{
    const CalcValue value = call.evaluator().singleValue(call.at(0));
    switch (value.type()) {
    case CalcValue::Number:
    case CalcValue::Error:
        return value;
    case CalcValue::Boolean:
        return CalcValue(value.booleanValue() ? 1.0 : 0.0);
    default:
        return CalcValue(0.0);
    }
}

CalcValue tFunction(CalcCall &call)
{
    const CalcValue value = call.evaluator().singleValue(call.at(0));
    if (value.isText() || value.isError())
        return value;
    return CalcValue(QString());
}

const CalcFunction functions[] = {
    { "IF", 1, 3, "L", ifFunction },
    { "IFS", 2, 254, "L", ifs },
    { "IFERROR", 2, 2, "L", ifError },
    { "IFNA", 2, 2, "L", ifNotAvailable },
    { "SWITCH", 3, 254, "L", switchFunction },
    { "CHOOSE", 2, 255, "SL", choose },
    { "AND", 1, 255, "R", andFunction },
    { "OR", 1, 255, "R", orFunction },
    { "XOR", 1, 255, "R", xorFunction },
    { "NOT", 1, 1, "S", notFunction },
    { "TRUE", 0, 0, "", trueFunction },
    { "FALSE", 0, 0, "", falseFunction },
    { "ISBLANK", 1, 1, "S", isBlank },
    { "ISNUMBER", 1, 1, "S", isNumber },
    { "ISTEXT", 1, 1, "S", isText },
    { "ISNONTEXT", 1, 1, "S", isNonText },
    { "ISLOGICAL", 1, 1, "S", isLogical },
    { "ISERROR", 1, 1, "S", isError },
    { "ISERR", 1, 1, "S", isErr },
    { "ISNA", 1, 1, "S", isNotAvailable },
    { "ISEVEN", 1, 1, "S", isEven },
    { "ISODD", 1, 1, "S", isOdd },
    { "NA", 0, 0, "", notAvailable },
    { "N", 1, 1, "R", nFunction },
    { "T", 1, 1, "R", tFunction },
};

} // namespace

CalcFunctionTable calcLogicalFunctions()
{
    return { functions, int(sizeof functions / sizeof *functions) };
}

} // namespace Spreadsheet
