#include "calccriterion_p.h"
#include "calcengine_p.h"
#include "calcnumbers_p.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace Spreadsheet {

namespace {

// Places a condition that takes blank cells is tried on, one by one.
constexpr qint64 maximumPlaces = 1 << 22;

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

using Numbers = std::vector<double>;

double mean(const Numbers &numbers)
{
    double total = 0;
    for (double n : numbers)
        total += n;
    return total / double(numbers.size());
}

double squaredDeviations(const Numbers &numbers)
{
    const double average = mean(numbers);
    double total = 0;
    for (double n : numbers)
        total += (n - average) * (n - average);
    return total;
}

// --- the statistics of one list of numbers, shared by the functions,
// SUBTOTAL and AGGREGATE

enum Statistic {
    Average = 1, Count, CountAll, Maximum, Minimum, Product, SampleDeviation, PopulationDeviation, Sum,
    SampleVariance, PopulationVariance
};

CalcValue statisticOf(Statistic statistic, const Numbers &numbers)
{
    const double n = double(numbers.size());
    switch (statistic) {
    case Average:
        return numbers.empty() ? error(CalcError::DivideByZero) : result(mean(numbers));
    case Count:
    case CountAll:
        return CalcValue(n);
    case Maximum:
        return numbers.empty() ? CalcValue(0.0) : result(*std::max_element(numbers.begin(), numbers.end()));
    case Minimum:
        return numbers.empty() ? CalcValue(0.0) : result(*std::min_element(numbers.begin(), numbers.end()));
    case Product: {
        double total = numbers.empty() ? 0 : 1;
        for (double x : numbers)
            total *= x;
        return result(total);
    }
    case Sum: {
        double total = 0;
        for (double x : numbers)
            total += x;
        return result(total);
    }
    case SampleDeviation:
        return n < 2 ? error(CalcError::DivideByZero) : result(std::sqrt(squaredDeviations(numbers) / (n - 1)));
    case PopulationDeviation:
        return n < 1 ? error(CalcError::DivideByZero) : result(std::sqrt(squaredDeviations(numbers) / n));
    case SampleVariance:
        return n < 2 ? error(CalcError::DivideByZero) : result(squaredDeviations(numbers) / (n - 1));
    case PopulationVariance:
        return n < 1 ? error(CalcError::DivideByZero) : result(squaredDeviations(numbers) / n);
    }
    return error(CalcError::Value);
}

template <Statistic statistic, CalcNumbers::Mode mode = CalcNumbers::NumbersOnly>
CalcValue statisticFunction(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, call.count() - 1, mode, numbers);
    return failure.isError() ? failure : statisticOf(statistic, numbers);
}

// COUNT counts numbers (and values typed as arguments that read as
// numbers); errors are not counted and stop nothing.
CalcValue count(CalcCall &call)
{
    double total = 0;
    for (int i = 0; i < call.count(); ++i) {
        call.forEach(i, [&](const CalcValue &value, bool direct) {
            if (value.isNumber())
                ++total;
            else if (direct && (value.isBoolean() || (value.isText()
                                                      && !CalcOperators::toNumber(value, call.isDate1904()).isError())))
                ++total;
            return true;
        });
    }
    return CalcValue(total);
}

CalcValue countAll(CalcCall &call)
{
    double total = 0;
    for (int i = 0; i < call.count(); ++i) {
        call.forEach(i, [&](const CalcValue &value, bool direct) {
            if (!value.isBlank() || direct)
                ++total;
            return true;
        });
    }
    return CalcValue(total);
}

// Blank cells and empty texts.
CalcValue countBlank(CalcCall &call)
{
    const CalcValue &range = call.at(0);
    if (!range.isReference()) {
        if (range.isArray()) {
            double blanks = 0;
            for (const CalcValue &value : range.matrix().values)
                blanks += value.isBlank() || (value.isText() && value.text().isEmpty());
            return CalcValue(blanks);
        }
        return error(CalcError::Value);
    }
    double filled = 0;
    double size = 0;
    for (int i = 0; i < range.areaCount(); ++i)
        size += double(range.areaAt(i).size());
    call.forEach(0, [&filled](const CalcValue &value, bool) {
        if (!(value.isText() && value.text().isEmpty()))
            ++filled;
        return true;
    });
    return CalcValue(size - filled);
}

CalcValue median(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, call.count() - 1, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    if (numbers.empty())
        return error(CalcError::Number);
    std::sort(numbers.begin(), numbers.end());
    const size_t middle = numbers.size() / 2;
    return result(numbers.size() % 2 ? numbers[middle] : (numbers[middle - 1] + numbers[middle]) / 2);
}

// The value met most often; of several, the one met first.
CalcValue mode(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, call.count() - 1, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    std::map<double, std::pair<int, size_t>> counts;   // count, first place
    for (size_t i = 0; i < numbers.size(); ++i) {
        auto &entry = counts[numbers[i]];
        if (entry.first++ == 0)
            entry.second = i;
    }
    int best = 1;
    size_t bestPlace = 0;
    double bestValue = 0;
    for (const auto &entry : counts) {
        if (entry.second.first > best || (entry.second.first == best && best > 1 && entry.second.second < bestPlace)) {
            best = entry.second.first;
            bestPlace = entry.second.second;
            bestValue = entry.first;
        }
    }
    return best > 1 ? CalcValue(bestValue) : error(CalcError::NotAvailable);
}

CalcValue kth(CalcCall &call, bool largest)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, 0, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    double k = 0;
    if (!call.number(1, k))
        return call.error();
    const qint64 index = qint64(std::floor(k));
    if (index < 1 || index > qint64(numbers.size()))
        return error(CalcError::Number);
    auto nth = numbers.begin() + (index - 1);
    if (largest)
        std::nth_element(numbers.begin(), nth, numbers.end(), std::greater<double>());
    else
        std::nth_element(numbers.begin(), nth, numbers.end());
    return CalcValue(*nth);
}

CalcValue large(CalcCall &call)
{
    return kth(call, true);
}

CalcValue small(CalcCall &call)
{
    return kth(call, false);
}

// The rank among the numbers of a range: 1 for the largest (the smallest
// when order is not 0); equal numbers share the best rank.
CalcValue rank(CalcCall &call)
{
    double number = 0;
    bool ascending = false;
    if (!call.number(0, number) || !call.boolean(2, ascending, false))
        return call.error();
    if (!call.at(1).isReference())
        return error(CalcError::Value);
    double before = 0;
    bool found = false;
    CalcValue failure;
    call.forEach(1, [&](const CalcValue &value, bool) {
        if (value.isError()) {
            failure = value;
            return false;
        }
        if (!value.isNumber())
            return true;
        if (CalcCoercion::approximatelyEqual(value.number(), number))
            found = true;
        else if (ascending ? value.number() < number : value.number() > number)
            ++before;
        return true;
    });
    if (failure.isError())
        return failure;
    return found ? CalcValue(before + 1) : error(CalcError::NotAvailable);
}

double percentileOf(Numbers &numbers, double k)
{
    std::sort(numbers.begin(), numbers.end());
    const double h = (double(numbers.size()) - 1) * k;
    const size_t low = size_t(std::floor(h));
    if (low + 1 >= numbers.size())
        return numbers.back();
    return numbers[low] + (h - double(low)) * (numbers[low + 1] - numbers[low]);
}

CalcValue percentile(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, 0, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    double k = 0;
    if (!call.number(1, k))
        return call.error();
    if (numbers.empty() || k < 0 || k > 1)
        return error(CalcError::Number);
    return result(percentileOf(numbers, k));
}

CalcValue quartile(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, 0, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    double quart = 0;
    if (!call.number(1, quart))
        return call.error();
    quart = std::trunc(quart);
    if (numbers.empty() || quart < 0 || quart > 4)
        return error(CalcError::Number);
    return result(percentileOf(numbers, quart / 4));
}

CalcValue averageDeviation(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, call.count() - 1, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    if (numbers.empty())
        return error(CalcError::Number);
    const double average = mean(numbers);
    double total = 0;
    for (double n : numbers)
        total += std::fabs(n - average);
    return result(total / double(numbers.size()));
}

CalcValue deviationSquares(CalcCall &call)
{
    Numbers numbers;
    const CalcValue failure = CalcNumbers::collect(call, 0, call.count() - 1, CalcNumbers::NumbersOnly, numbers);
    if (failure.isError())
        return failure;
    if (numbers.empty())
        return error(CalcError::Number);
    return result(squaredDeviations(numbers));
}

// --- pairs of numbers: CORREL, SLOPE, INTERCEPT, RSQ, FORECAST

struct Pairs
{
    Numbers x;
    Numbers y;
    CalcValue failure;
};

// The places where both arrays hold numbers; arrays of different sizes
// are #N/A.
Pairs pairsOf(CalcCall &call, int yIndex, int xIndex)
{
    Pairs pairs;
    const CalcMatrix ys = call.matrix(yIndex);
    const CalcMatrix xs = call.matrix(xIndex);
    if (ys.values.size() != xs.values.size()) {
        pairs.failure = error(CalcError::NotAvailable);
        return pairs;
    }
    for (size_t i = 0; i < ys.values.size(); ++i) {
        const CalcValue &y = ys.values[i];
        const CalcValue &x = xs.values[i];
        if (y.isError() || x.isError()) {
            pairs.failure = y.isError() ? y : x;
            return pairs;
        }
        if (y.isNumber() && x.isNumber()) {
            pairs.y.push_back(y.number());
            pairs.x.push_back(x.number());
        }
    }
    return pairs;
}

struct Fit
{
    double slope = 0;
    double intercept = 0;
    double sxx = 0;
    double syy = 0;
    double sxy = 0;
};

CalcValue fitOf(const Pairs &pairs, Fit &fit)
{
    if (pairs.failure.isError())
        return pairs.failure;
    if (pairs.x.empty())
        return error(CalcError::DivideByZero);
    const double mx = mean(pairs.x);
    const double my = mean(pairs.y);
    for (size_t i = 0; i < pairs.x.size(); ++i) {
        fit.sxx += (pairs.x[i] - mx) * (pairs.x[i] - mx);
        fit.syy += (pairs.y[i] - my) * (pairs.y[i] - my);
        fit.sxy += (pairs.x[i] - mx) * (pairs.y[i] - my);
    }
    if (fit.sxx == 0)
        return error(CalcError::DivideByZero);
    fit.slope = fit.sxy / fit.sxx;
    fit.intercept = my - fit.slope * mx;
    return CalcValue();
}

CalcValue slope(CalcCall &call)
{
    Fit fit;
    const CalcValue failure = fitOf(pairsOf(call, 0, 1), fit);
    return failure.isError() ? failure : result(fit.slope);
}

CalcValue intercept(CalcCall &call)
{
    Fit fit;
    const CalcValue failure = fitOf(pairsOf(call, 0, 1), fit);
    return failure.isError() ? failure : result(fit.intercept);
}

CalcValue correlation(CalcCall &call)
{
    Fit fit;
    const CalcValue failure = fitOf(pairsOf(call, 0, 1), fit);
    if (failure.isError())
        return failure;
    if (fit.syy == 0)
        return error(CalcError::DivideByZero);
    return result(fit.sxy / std::sqrt(fit.sxx * fit.syy));
}

CalcValue rSquared(CalcCall &call)
{
    Fit fit;
    const CalcValue failure = fitOf(pairsOf(call, 0, 1), fit);
    if (failure.isError())
        return failure;
    if (fit.syy == 0)
        return error(CalcError::DivideByZero);
    return result(fit.sxy * fit.sxy / (fit.sxx * fit.syy));
}

CalcValue forecast(CalcCall &call)
{
    double x = 0;
    if (!call.number(0, x))
        return call.error();
    Fit fit;
    const CalcValue failure = fitOf(pairsOf(call, 1, 2), fit);
    return failure.isError() ? failure : result(fit.intercept + fit.slope * x);
}

// --- SUBTOTAL and AGGREGATE

struct Skips
{
    bool hiddenRows = false;
    bool errors = false;
    bool nested = true;   // cells that are themselves SUBTOTAL or AGGREGATE
};

CalcValue summarize(CalcCall &call, int function, int first, const Skips &skips)
{
    const Statistic statistic = Statistic(function);
    CalcEngine &engine = call.evaluator().engine();
    Numbers numbers;
    double counted = 0;
    for (int i = first; i < call.count(); ++i) {
        const CalcValue &argument = call.at(i);
        if (!argument.isReference())
            return error(CalcError::Value);
        for (int a = 0; a < argument.areaCount(); ++a) {
            const CalcArea &area = argument.areaAt(a);
            CalcValue failure;
            engine.visitCells(area, [&](int row, int column, const CalcValue &value) {
                if (skips.hiddenRows && engine.isRowHidden(area.sheet, row))
                    return true;
                if (skips.nested && engine.isSubtotalCell(area.sheet, row, column))
                    return true;
                if (value.isError()) {
                    if (skips.errors)
                        return true;
                    if (statistic != CountAll && statistic != Count) {
                        failure = value;
                        return false;
                    }
                }
                if (statistic == CountAll)
                    ++counted;
                else if (value.isNumber())
                    numbers.push_back(value.number());
                return true;
            });
            if (failure.isError())
                return failure;
        }
    }
    if (statistic == CountAll)
        return CalcValue(counted);
    return statisticOf(statistic, numbers);
}

CalcValue subtotal(CalcCall &call)
{
    qint64 function = 0;
    if (!call.integer(0, function))
        return call.error();
    Skips skips;
    if (function > 100) {
        skips.hiddenRows = true;
        function -= 100;
    }
    if (function < 1 || function > 11)
        return error(CalcError::Value);
    return summarize(call, int(function), 1, skips);
}

CalcValue aggregate(CalcCall &call)
{
    qint64 function = 0;
    qint64 options = 0;
    if (!call.integer(0, function) || !call.integer(1, options, 0))
        return call.error();
    if (function > 11) {
        // LARGE, PERCENTILE and the others of it are left to spreadsheet programs.
        call.evaluator().engine().setUncomputable();
        return error(CalcError::Value);
    }
    if (function < 1 || options < 0 || options > 7)
        return error(CalcError::Value);
    Skips skips;
    skips.nested = options <= 3;
    skips.hiddenRows = options == 1 || options == 3 || options == 5 || options == 7;
    skips.errors = options == 2 || options == 3 || options == 6 || options == 7;
    return summarize(call, int(function), 2, skips);
}

// --- conditions: COUNTIF, SUMIFS and their kin

// A range of a condition: a reference's area or an array, its cells read
// by place.
struct Range
{
    CalcArea area;
    CalcMatrix matrix;
    bool isReference = false;
    int rows = 0;
    int columns = 0;
};

bool rangeOf(CalcCall &call, int index, Range &range)
{
    const CalcValue &value = call.at(index);
    if (value.isReference()) {
        if (value.areaCount() != 1)
            return false;
        range.isReference = true;
        range.area = value.area();
        range.rows = range.area.rows();
        range.columns = range.area.columns();
        return true;
    }
    range.matrix = call.matrix(index);
    range.rows = range.matrix.rows;
    range.columns = range.matrix.columns;
    return true;
}

CalcValue valueAt(CalcEngine &engine, const Range &range, int row, int column)
{
    if (row >= range.rows || column >= range.columns)
        return CalcValue();
    if (range.isReference)
        return engine.cellValue(range.area.sheet, range.area.top + row, range.area.left + column);
    return range.matrix.at(row, column);
}

// Calls take(row, column) for every place of the ranges that meets every
// condition; the places come from the first range's stored cells unless
// its condition takes blanks too.
template <typename Take>
CalcValue forEachMatch(CalcCall &call, const std::vector<Range> &ranges, const std::vector<CalcCriterion> &criteria,
                       const Range *values, Take take)
{
    CalcEngine &engine = call.evaluator().engine();
    const auto meetsOthers = [&](int row, int column) {
        for (size_t i = 1; i < ranges.size(); ++i) {
            if (!criteria[i].matches(valueAt(engine, ranges[i], row, column)))
                return false;
        }
        return true;
    };
    const Range &first = ranges.front();
    if (first.isReference && !criteria.front().matchesBlank()) {
        engine.visitCells(first.area, [&](int row, int column, const CalcValue &value) {
            const int r = row - first.area.top;
            const int c = column - first.area.left;
            if (criteria.front().matches(value) && meetsOthers(r, c))
                take(r, c);
            return true;
        });
        return CalcValue();
    }
    CalcArea places;
    places.top = 0;
    places.left = 0;
    places.bottom = first.rows - 1;
    places.right = first.columns - 1;
    if (first.isReference) {
        // Places past the cells of every range's sheet are blank in all of
        // them, and all answer alike.
        places.bottom = places.right = 0;
        std::vector<const Range *> read;
        for (const Range &range : ranges)
            read.push_back(&range);
        if (values)
            read.push_back(values);
        for (const Range *range : read) {
            const CalcArea used = range->isReference ? engine.usedPart(range->area) : CalcArea{ 0, 1, 1, range->rows, range->columns };
            const int top = range->isReference ? range->area.top : 1;
            const int left = range->isReference ? range->area.left : 1;
            places.bottom = qMin(qMax(places.bottom, used.bottom - top), first.rows - 1);
            places.right = qMin(qMax(places.right, used.right - left), first.columns - 1);
        }
    }
    if (places.size() > maximumPlaces) {
        engine.setUncomputable();
        return error(CalcError::Value);
    }
    for (int r = 0; r <= places.bottom; ++r) {
        for (int c = 0; c <= places.right; ++c) {
            if (criteria.front().matches(valueAt(engine, first, r, c)) && meetsOthers(r, c))
                take(r, c);
        }
    }
    if (first.isReference && first.area.size() > qint64(places.bottom + 1) * (places.right + 1)) {
        // The places past the used parts are blank in every range, the
        // range of values included.
        const qint64 outside = first.area.size() - qint64(places.bottom + 1) * (places.right + 1);
        bool othersTakeBlank = true;
        for (size_t i = 1; i < criteria.size(); ++i)
            othersTakeBlank = othersTakeBlank && criteria[i].matchesBlank();
        if (othersTakeBlank && outside > 0)
            take(-1, qint64(outside));
    }
    return CalcValue();
}

// Reads "range, criterion" pairs from the arguments at first, first + 2, ...
bool conditionsOf(CalcCall &call, int first, std::vector<Range> &ranges, std::vector<CalcCriterion> &criteria)
{
    for (int i = first; i + 1 < call.count(); i += 2) {
        Range range;
        if (!rangeOf(call, i, range))
            return false;
        if (!ranges.empty() && (range.rows != ranges.front().rows || range.columns != ranges.front().columns))
            return false;
        ranges.push_back(range);
        criteria.emplace_back(call.evaluator().singleValue(call.at(i + 1)), call.isDate1904());
    }
    return !ranges.empty();
}

struct Tally
{
    double count = 0;
    Numbers numbers;
    CalcValue failure;
};

// The values of the result range at the matching places: numbers kept,
// errors remembered, other values skipped.
CalcValue tallyConditions(CalcCall &call, int valuesIndex, int firstCondition, bool countOnly, Tally &tally,
                          bool resizeValues)
{
    std::vector<Range> ranges;
    std::vector<CalcCriterion> criteria;
    if (!conditionsOf(call, firstCondition, ranges, criteria))
        return error(CalcError::Value);
    Range values;
    if (!countOnly) {
        if (!rangeOf(call, valuesIndex, values))
            return error(CalcError::Value);
        if (resizeValues && values.isReference) {
            // SUMIF's sum range takes the criteria range's shape from its corner.
            values.area.bottom = qMin(values.area.top + ranges.front().rows - 1, maximumRows);
            values.area.right = qMin(values.area.left + ranges.front().columns - 1, maximumColumns);
            values.rows = values.area.rows();
            values.columns = values.area.columns();
        } else if (values.rows != ranges.front().rows || values.columns != ranges.front().columns) {
            return error(CalcError::Value);
        }
    }
    CalcEngine &engine = call.evaluator().engine();
    forEachMatch(call, ranges, criteria, countOnly ? nullptr : &values, [&](int row, qint64 column) {
        if (row < 0) {
            tally.count += double(column);   // blank places, none a number
            return;
        }
        if (countOnly) {
            ++tally.count;
            return;
        }
        const CalcValue value = valueAt(engine, values, row, int(column));
        if (value.isError() && !tally.failure.isError())
            tally.failure = value;
        else if (value.isNumber())
            tally.numbers.push_back(value.number());
    });
    return CalcValue();
}

CalcValue countIfs(CalcCall &call)
{
    if (call.count() % 2 != 0)
        return error(CalcError::Value);
    Tally tally;
    const CalcValue failure = tallyConditions(call, -1, 0, true, tally, false);
    return failure.isError() ? failure : CalcValue(tally.count);
}

template <Statistic statistic>
CalcValue conditional(CalcCall &call, int valuesIndex, int firstCondition, bool resize)
{
    Tally tally;
    const CalcValue failure = tallyConditions(call, valuesIndex, firstCondition, false, tally, resize);
    if (failure.isError())
        return failure;
    if (tally.failure.isError())
        return tally.failure;
    return statisticOf(statistic, tally.numbers);
}

// SUMIF(range, criterion, [sum range]): without a sum range the range's own numbers.
template <Statistic statistic>
CalcValue ifFunction(CalcCall &call)
{
    const int values = call.has(2) ? 2 : 0;
    Tally tally;
    const CalcValue failure = tallyConditions(call, values, 0, false, tally, true);
    if (failure.isError())
        return failure;
    if (tally.failure.isError())
        return tally.failure;
    return statisticOf(statistic, tally.numbers);
}

template <Statistic statistic>
CalcValue ifsFunction(CalcCall &call)
{
    if (call.count() % 2 == 0)
        return error(CalcError::Value);
    return conditional<statistic>(call, 0, 1, false);
}

const CalcFunction functions[] = {
    { "AVERAGE", 1, 255, "R", statisticFunction<Average> },
    { "AVERAGEA", 1, 255, "R", statisticFunction<Average, CalcNumbers::TextsAsZero> },
    { "COUNT", 1, 255, "R", count },
    { "COUNTA", 1, 255, "R", countAll },
    { "COUNTBLANK", 1, 1, "R", countBlank },
    { "MAX", 1, 255, "R", statisticFunction<Maximum> },
    { "MAXA", 1, 255, "R", statisticFunction<Maximum, CalcNumbers::TextsAsZero> },
    { "MIN", 1, 255, "R", statisticFunction<Minimum> },
    { "MINA", 1, 255, "R", statisticFunction<Minimum, CalcNumbers::TextsAsZero> },
    { "MEDIAN", 1, 255, "R", median },
    { "MODE", 1, 255, "R", mode },
    { "MODE.SNGL", 1, 255, "R", mode },
    { "LARGE", 2, 2, "AS", large },
    { "SMALL", 2, 2, "AS", small },
    { "RANK", 2, 3, "SRS", rank },
    { "RANK.EQ", 2, 3, "SRS", rank },
    { "PERCENTILE", 2, 2, "AS", percentile },
    { "PERCENTILE.INC", 2, 2, "AS", percentile },
    { "QUARTILE", 2, 2, "AS", quartile },
    { "QUARTILE.INC", 2, 2, "AS", quartile },
    { "STDEV", 1, 255, "R", statisticFunction<SampleDeviation> },
    { "STDEV.S", 1, 255, "R", statisticFunction<SampleDeviation> },
    { "STDEV.P", 1, 255, "R", statisticFunction<PopulationDeviation> },
    { "STDEVP", 1, 255, "R", statisticFunction<PopulationDeviation> },
    { "VAR", 1, 255, "R", statisticFunction<SampleVariance> },
    { "VAR.S", 1, 255, "R", statisticFunction<SampleVariance> },
    { "VAR.P", 1, 255, "R", statisticFunction<PopulationVariance> },
    { "VARP", 1, 255, "R", statisticFunction<PopulationVariance> },
    { "AVEDEV", 1, 255, "R", averageDeviation },
    { "DEVSQ", 1, 255, "R", deviationSquares },
    { "CORREL", 2, 2, "A", correlation },
    { "SLOPE", 2, 2, "A", slope },
    { "INTERCEPT", 2, 2, "A", intercept },
    { "RSQ", 2, 2, "A", rSquared },
    { "FORECAST", 3, 3, "SAA", forecast },
    { "FORECAST.LINEAR", 3, 3, "SAA", forecast },
    { "SUBTOTAL", 2, 255, "SR", subtotal },
    { "AGGREGATE", 3, 255, "SSR", aggregate },
    { "COUNTIF", 2, 2, "R", countIfs },
    { "COUNTIFS", 2, 254, "R", countIfs },
    { "SUMIF", 2, 3, "R", ifFunction<Sum> },
    { "SUMIFS", 3, 255, "R", ifsFunction<Sum> },
    { "AVERAGEIF", 2, 3, "R", ifFunction<Average> },
    { "AVERAGEIFS", 3, 255, "R", ifsFunction<Average> },
    { "MAXIFS", 3, 255, "R", ifsFunction<Maximum> },
    { "MINIFS", 3, 255, "R", ifsFunction<Minimum> },
};

} // namespace

CalcFunctionTable calcStatisticsFunctions()
{
    return { functions, int(sizeof functions / sizeof *functions) };
}

} // namespace Spreadsheet
