#include "calcengine_p.h"
#include "calcnumbers_p.h"

#include <cmath>

namespace Spreadsheet {

namespace {

constexpr double pi = 3.14159265358979323846;

CalcValue error(CalcError kind)
{
    return CalcValue::error(kind);
}

CalcValue result(double number)
{
    if (!std::isfinite(number))
        return error(CalcError::Number);
    return CalcValue(number == 0 ? 0.0 : number);
}

// A number as the 15 digits a cell holds give it: rounding then works on
// what people see (2.675 rounds to 2.68, not to the 2.67 its binary
// neighbour would give).
double decimal(double number)
{
    if (number == 0 || !std::isfinite(number))
        return number;
    return QString::number(number, 'g', 15).toDouble();
}

// Rounds to a number of digits after the point (before it when negative);
// how picks the direction: 0 half away from zero, 1 away from zero, -1
// toward zero.
double roundTo(double number, qint64 digits, int how)
{
    digits = qBound<qint64>(-308, digits, 308);
    const double scale = std::pow(10.0, double(std::llabs(digits)));
    const double scaled = decimal(digits >= 0 ? number * scale : number / scale);
    double rounded;
    if (how == 0)
        rounded = std::round(scaled);
    else if (how > 0)
        rounded = scaled < 0 ? std::floor(scaled) : std::ceil(scaled);
    else
        rounded = std::trunc(scaled);
    if (!std::isfinite(scale) || !std::isfinite(scaled))
        return number;
    return digits >= 0 ? rounded / scale : rounded * scale;
}

template <typename F>
CalcValue unary(CalcCall &call, F f)
{
    double x = 0;
    if (!call.number(0, x))
        return call.error();
    return f(x);
}

CalcValue sum(CalcCall &call)
{
    CalcSum total;
    CalcEngine &engine = call.evaluator().engine();
    for (int i = 0; i < call.count(); ++i) {
        // Tall columns from their running sums.
        const CalcValue &argument = call.at(i);
        double columnTotal = 0;
        double columnLargest = 0;
        CalcValue columnError;
        if (argument.isReference() && argument.areaCount() == 1
            && engine.columnSum(argument.area(), columnTotal, columnLargest, columnError)) {
            if (columnError.isError())
                return columnError;
            total.addSum(columnTotal, columnLargest);
            continue;
        }
        const CalcValue failure = CalcNumbers::forEachNumber(call, i, i, CalcNumbers::NumbersOnly,
                                                             [&total](double n) { total.add(n); });
        if (failure.isError())
            return failure;
    }
    return result(total.value());
}

CalcValue sumOfSquares(CalcCall &call)
{
    double total = 0;
    const CalcValue failure = CalcNumbers::forEachNumber(call, 0, call.count() - 1, CalcNumbers::NumbersOnly,
                                                         [&total](double n) { total += n * n; });
    return failure.isError() ? failure : result(total);
}

CalcValue product(CalcCall &call)
{
    double total = 1;
    bool any = false;
    const CalcValue failure = CalcNumbers::forEachNumber(call, 0, call.count() - 1, CalcNumbers::NumbersOnly,
                                                         [&](double n) {
                                                             total *= n;
                                                             any = true;
                                                         });
    return failure.isError() ? failure : result(any ? total : 0);
}

// The products of the arrays' elements, summed: arrays of one shape, what
// is not a number counting as 0.
CalcValue sumProduct(CalcCall &call)
{
    std::vector<CalcMatrix> arrays;
    for (int i = 0; i < call.count(); ++i) {
        if (call.at(i).isError())
            return call.at(i);
        arrays.push_back(call.matrix(i));
        if (arrays.back().rows != arrays.front().rows || arrays.back().columns != arrays.front().columns)
            return error(CalcError::Value);
    }
    double total = 0;
    const size_t size = arrays.front().values.size();
    for (size_t k = 0; k < size; ++k) {
        double term = 1;
        for (const CalcMatrix &array : arrays) {
            const CalcValue &value = array.values[k];
            if (value.isError())
                return value;
            term *= value.isNumber() ? value.number() : 0;
        }
        total += term;
    }
    return result(total);
}

CalcValue absolute(CalcCall &call)
{
    return unary(call, [](double x) { return result(std::fabs(x)); });
}

CalcValue sign(CalcCall &call)
{
    return unary(call, [](double x) { return CalcValue(x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0); });
}

CalcValue roundFunction(CalcCall &call, int how)
{
    double x = 0;
    qint64 digits = 0;
    if (!call.number(0, x) || !call.integer(1, digits, 0))
        return call.error();
    return result(roundTo(x, digits, how));
}

CalcValue round(CalcCall &call)
{
    return roundFunction(call, 0);
}

CalcValue roundUp(CalcCall &call)
{
    return roundFunction(call, 1);
}

CalcValue roundDown(CalcCall &call)
{
    return roundFunction(call, -1);
}

CalcValue truncate(CalcCall &call)
{
    return roundFunction(call, -1);
}

CalcValue integerPart(CalcCall &call)
{
    return unary(call, [](double x) { return result(std::floor(decimal(x))); });
}

CalcValue multipleRound(CalcCall &call)
{
    double x = 0;
    double multiple = 0;
    if (!call.number(0, x) || !call.number(1, multiple))
        return call.error();
    if (multiple == 0)
        return CalcValue(0.0);
    if ((x > 0 && multiple < 0) || (x < 0 && multiple > 0))
        return error(CalcError::Number);
    return result(std::round(decimal(x / multiple)) * multiple);
}

// CEILING and FLOOR of the older kind: the significance's sign matters.
CalcValue ceilingFunction(CalcCall &call, bool up)
{
    double x = 0;
    double significance = 0;
    if (!call.number(0, x) || !call.number(1, significance, x < 0 ? -1 : 1))
        return call.error();
    if (significance == 0)
        return up ? CalcValue(0.0) : (x == 0 ? CalcValue(0.0) : error(CalcError::DivideByZero));
    if (x > 0 && significance < 0)
        return error(CalcError::Number);
    const double quotient = decimal(x / significance);
    return result((up ? std::ceil(quotient) : std::floor(quotient)) * significance);
}

CalcValue ceiling(CalcCall &call)
{
    return ceilingFunction(call, true);
}

CalcValue floorFunction(CalcCall &call)
{
    return ceilingFunction(call, false);
}

// CEILING.MATH and FLOOR.MATH: the significance's size only; the mode
// turns negative numbers the other way.
CalcValue mathRounding(CalcCall &call, bool up)
{
    double x = 0;
    double significance = 1;
    double mode = 0;
    if (!call.number(0, x) || !call.number(1, significance, 1) || !call.number(2, mode, 0))
        return call.error();
    significance = std::fabs(significance);
    if (significance == 0)
        return CalcValue(0.0);
    const double quotient = decimal(x / significance);
    bool towardPositive = up;
    if (x < 0 && mode != 0)
        towardPositive = !up;
    return result((towardPositive ? std::ceil(quotient) : std::floor(quotient)) * significance);
}

CalcValue ceilingMath(CalcCall &call)
{
    return mathRounding(call, true);
}

CalcValue floorMath(CalcCall &call)
{
    return mathRounding(call, false);
}

CalcValue modulo(CalcCall &call)
{
    double a = 0;
    double b = 0;
    if (!call.number(0, a) || !call.number(1, b))
        return call.error();
    if (b == 0)
        return error(CalcError::DivideByZero);
    const double quotient = std::floor(decimal(a / b));
    double remainder = a - b * quotient;
    if (CalcCoercion::approximatelyEqual(remainder, b))
        remainder = 0;
    return result(remainder);
}

CalcValue quotient(CalcCall &call)
{
    double a = 0;
    double b = 0;
    if (!call.number(0, a) || !call.number(1, b))
        return call.error();
    if (b == 0)
        return error(CalcError::DivideByZero);
    return result(std::trunc(decimal(a / b)));
}

CalcValue power(CalcCall &call)
{
    double a = 0;
    double b = 0;
    if (!call.number(0, a) || !call.number(1, b))
        return call.error();
    return CalcOperators::binary(CalcNode::Power, CalcValue(a), CalcValue(b), false);
}

CalcValue squareRoot(CalcCall &call)
{
    return unary(call, [](double x) { return x < 0 ? error(CalcError::Number) : result(std::sqrt(x)); });
}

CalcValue exponential(CalcCall &call)
{
    return unary(call, [](double x) { return result(std::exp(x)); });
}

CalcValue naturalLogarithm(CalcCall &call)
{
    return unary(call, [](double x) { return x <= 0 ? error(CalcError::Number) : result(std::log(x)); });
}

CalcValue logarithm(CalcCall &call)
{
    double x = 0;
    double base = 10;
    if (!call.number(0, x) || !call.number(1, base, 10))
        return call.error();
    if (x <= 0 || base <= 0)
        return error(CalcError::Number);
    if (base == 1)
        return error(CalcError::DivideByZero);
    return result(std::log(x) / std::log(base));
}

CalcValue logarithm10(CalcCall &call)
{
    return unary(call, [](double x) { return x <= 0 ? error(CalcError::Number) : result(std::log10(x)); });
}

CalcValue piFunction(CalcCall &)
{
    return CalcValue(pi);
}

CalcValue randomFunction(CalcCall &call)
{
    return CalcValue(call.evaluator().engine().random());
}

CalcValue randomBetween(CalcCall &call)
{
    double low = 0;
    double high = 0;
    if (!call.number(0, low) || !call.number(1, high))
        return call.error();
    low = std::ceil(low);
    high = std::floor(high);
    if (low > high)
        return error(CalcError::Number);
    return result(low + std::floor(call.evaluator().engine().random() * (high - low + 1)));
}

CalcValue degrees(CalcCall &call)
{
    return unary(call, [](double x) { return result(x * 180 / pi); });
}

CalcValue radians(CalcCall &call)
{
    return unary(call, [](double x) { return result(x * pi / 180); });
}

CalcValue trigonometric(CalcCall &call, double (*f)(double))
{
    return unary(call, [f](double x) { return result(f(x)); });
}

CalcValue sine(CalcCall &call)
{
    return trigonometric(call, [](double x) { return std::sin(x); });
}

CalcValue cosine(CalcCall &call)
{
    return trigonometric(call, [](double x) { return std::cos(x); });
}

CalcValue tangent(CalcCall &call)
{
    return trigonometric(call, [](double x) { return std::tan(x); });
}

const CalcFunction functions[] = {
    { "SUM", 1, 255, "R", sum },
    { "SUMSQ", 1, 255, "R", sumOfSquares },
    { "PRODUCT", 1, 255, "R", product },
    { "SUMPRODUCT", 1, 255, "A", sumProduct },
    { "ABS", 1, 1, "S", absolute },
    { "SIGN", 1, 1, "S", sign },
    { "ROUND", 2, 2, "S", round },
    { "ROUNDUP", 2, 2, "S", roundUp },
    { "ROUNDDOWN", 2, 2, "S", roundDown },
    { "TRUNC", 1, 2, "S", truncate },
    { "INT", 1, 1, "S", integerPart },
    { "MROUND", 2, 2, "S", multipleRound },
    { "CEILING", 1, 2, "S", ceiling },
    { "CEILING.MATH", 1, 3, "S", ceilingMath },
    { "FLOOR", 1, 2, "S", floorFunction },
    { "FLOOR.MATH", 1, 3, "S", floorMath },
    { "MOD", 2, 2, "S", modulo },
    { "QUOTIENT", 2, 2, "S", quotient },
    { "POWER", 2, 2, "S", power },
    { "SQRT", 1, 1, "S", squareRoot },
    { "EXP", 1, 1, "S", exponential },
    { "LN", 1, 1, "S", naturalLogarithm },
    { "LOG", 1, 2, "S", logarithm },
    { "LOG10", 1, 1, "S", logarithm10 },
    { "PI", 0, 0, "", piFunction },
    { "RAND", 0, 0, "", randomFunction },
    { "RANDBETWEEN", 2, 2, "S", randomBetween },
    { "DEGREES", 1, 1, "S", degrees },
    { "RADIANS", 1, 1, "S", radians },
    { "SIN", 1, 1, "S", sine },
    { "COS", 1, 1, "S", cosine },
    { "TAN", 1, 1, "S", tangent },
};

} // namespace

CalcFunctionTable calcMathFunctions()
{
    return { functions, int(sizeof functions / sizeof *functions) };
}

} // namespace Spreadsheet
