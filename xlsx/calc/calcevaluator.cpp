#include "calcevaluator_p.h"

#include "calcengine_p.h"
#include "utility.h"

#include <algorithm>
#include <cmath>

namespace Spreadsheet {

namespace {

// Past this many elements an array is not built and the cell keeps its
// value: what a formula over whole sheets would otherwise ask of memory.
constexpr qint64 maximumArrayElements = 1 << 21;
// Areas larger than this are read only as far as the sheet holds cells.
constexpr qint64 trimmedAreaSize = 1 << 20;
// Names that read names: how deep, and how many a formula may compute
// (a name that reads another twice, and so on, grows exponentially).
constexpr int maximumNameDepth = 16;
constexpr int maximumNameEvaluations = 4096;
constexpr int maximumEvaluationDepth = 1000;

CalcValue numberResult(double number)
{
    if (!std::isfinite(number))
        return CalcValue::error(CalcError::Number);
    return CalcValue(number == 0 ? 0.0 : number);   // no negative zero
}

CalcValue power(double base, double exponent)
{
    if (base == 0 && exponent == 0)
        return CalcValue::error(CalcError::Number);
    if (base == 0 && exponent < 0)
        return CalcValue::error(CalcError::DivideByZero);
    if (base < 0 && exponent != std::floor(exponent)) {
        // An odd root of a negative number is real (-8^(1/3) is -2).
        const double inverse = 1 / exponent;
        if (std::fabs(inverse - std::round(inverse)) < 1e-10 && std::fmod(std::round(inverse), 2) != 0)
            return numberResult(-std::pow(-base, exponent));
        return CalcValue::error(CalcError::Number);
    }
    return numberResult(std::pow(base, exponent));
}

} // namespace

// --- operators on single values

namespace CalcOperators {

CalcValue toNumber(const CalcValue &value, bool date1904)
{
    switch (value.type()) {
    case CalcValue::Number:
    case CalcValue::Error:
        return value;
    case CalcValue::Boolean:
        return CalcValue(value.booleanValue() ? 1.0 : 0.0);
    case CalcValue::Text: {
        double number = 0;
        if (CalcCoercion::textToNumber(value.text(), date1904, number))
            return CalcValue(number);
        return CalcValue::error(CalcError::Value);
    }
    case CalcValue::Blank:
        return CalcValue(0.0);
    default:
        return CalcValue::error(CalcError::Value);
    }
}

CalcValue toText(const CalcValue &value)
{
    switch (value.type()) {
    case CalcValue::Number:
        return CalcValue(CalcCoercion::numberToText(value.number()));
    case CalcValue::Boolean:
        return CalcValue(value.booleanValue() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    case CalcValue::Blank:
        return CalcValue(QString());
    case CalcValue::Text:
    case CalcValue::Error:
        return value;
    default:
        return CalcValue::error(CalcError::Value);
    }
}

CalcValue binary(int op, const CalcValue &left, const CalcValue &right, bool date1904)
{
    if (left.isError())
        return left;
    if (right.isError())
        return right;
    if (op == CalcNode::Concatenate) {
        const QString text = toText(left).text() + toText(right).text();
        return text.size() > CalcCoercion::maximumTextLength ? CalcValue::error(CalcError::Value) : CalcValue(text);
    }
    if (op >= CalcNode::Equal) {
        const int order = CalcCoercion::compare(left, right);
        switch (op) {
        case CalcNode::Equal: return CalcValue::boolean(order == 0);
        case CalcNode::NotEqual: return CalcValue::boolean(order != 0);
        case CalcNode::Less: return CalcValue::boolean(order < 0);
        case CalcNode::LessOrEqual: return CalcValue::boolean(order <= 0);
        case CalcNode::Greater: return CalcValue::boolean(order > 0);
        default: return CalcValue::boolean(order >= 0);
        }
    }
    const CalcValue a = toNumber(left, date1904);
    if (a.isError())
        return a;
    const CalcValue b = toNumber(right, date1904);
    if (b.isError())
        return b;
    switch (op) {
    case CalcNode::Add:
        return numberResult(CalcCoercion::add(a.number(), b.number()));
    case CalcNode::Subtract:
        return numberResult(CalcCoercion::add(a.number(), -b.number()));
    case CalcNode::Multiply:
        return numberResult(a.number() * b.number());
    case CalcNode::Divide:
        if (b.number() == 0)
            return CalcValue::error(CalcError::DivideByZero);
        return numberResult(a.number() / b.number());
    default:
        return power(a.number(), b.number());
    }
}

CalcValue negate(const CalcValue &value, bool date1904)
{
    const CalcValue number = toNumber(value, date1904);
    return number.isError() ? number : numberResult(-number.number());
}

CalcValue percent(const CalcValue &value, bool date1904)
{
    const CalcValue number = toNumber(value, date1904);
    return number.isError() ? number : numberResult(number.number() / 100);
}

} // namespace CalcOperators

// --- the evaluator

CalcValue CalcEvaluator::evaluateFormula(const CalcNode &root, const CalcPosition &position, bool arrayFormula)
{
    m_position = position;
    m_arrayMode = arrayFormula;
    m_nameEvaluations = 0;
    const CalcValue value = evaluate(root);
    if (arrayFormula && value.isReference())
        return CalcValue::array(matrixOf(value));
    return value;
}

CalcValue CalcEvaluator::evaluate(const CalcNode &node)
{
    // Formulas are bounded in depth, and so are names in one another; both
    // together are bounded again, for the stack.
    if (m_depth >= maximumEvaluationDepth) {
        m_engine.setUncomputable();
        return CalcValue::error(CalcError::Value);
    }
    ++m_depth;
    const CalcValue value = evaluateNode(node);
    --m_depth;
    return value;
}

CalcValue CalcEvaluator::evaluateNode(const CalcNode &node)
{
    switch (node.kind) {
    case CalcNode::Constant:
    case CalcNode::ArrayConstant:
        return node.value;
    case CalcNode::Missing:
        return CalcValue();
    case CalcNode::Reference:
        return referenceOf(node);
    case CalcNode::Name:
        return evaluateName(node);
    case CalcNode::Function:
        return evaluateFunction(node);
    case CalcNode::Union:
        return evaluateUnion(node);
    case CalcNode::Binary:
        return evaluateBinary(node);
    case CalcNode::Negate:
    case CalcNode::Percent: {
        const CalcValue value = operand(evaluate(*node.children[0]));
        const bool date1904 = m_engine.isDate1904();
        const auto apply = [&node, date1904](const CalcValue &v) {
            return node.kind == CalcNode::Negate ? CalcOperators::negate(v, date1904)
                                                 : CalcOperators::percent(v, date1904);
        };
        if (!value.isArray())
            return apply(value);
        CalcMatrix result = value.matrix();
        for (CalcValue &element : result.values)
            element = apply(element);
        return CalcValue::array(std::move(result));
    }
    }
    return CalcValue::error(CalcError::Value);
}

CalcValue CalcEvaluator::operand(const CalcValue &value)
{
    if (!value.isReference())
        return value;
    return m_arrayMode ? CalcValue::array(matrixOf(value)) : intersect(value);
}

CalcValue CalcEvaluator::singleValue(const CalcValue &value)
{
    CalcValue single = value;
    if (single.isReference())
        single = m_arrayMode ? matrixOf(single).at(0, 0) : intersect(single);
    if (single.isArray())
        single = single.matrix().at(0, 0);
    if (single.isReference() || single.isArray())
        return CalcValue::error(CalcError::Value);
    return single;
}

CalcValue CalcEvaluator::evaluateBinary(const CalcNode &node)
{
    if (node.op == CalcNode::Range || node.op == CalcNode::Intersect) {
        const CalcValue left = evaluate(*node.children[0]);
        const CalcValue right = evaluate(*node.children[1]);
        return node.op == CalcNode::Range ? rangeOf(left, right) : intersection(left, right);
    }
    const CalcValue left = operand(evaluate(*node.children[0]));
    const CalcValue right = operand(evaluate(*node.children[1]));
    const bool date1904 = m_engine.isDate1904();
    if (!left.isArray() && !right.isArray())
        return CalcOperators::binary(node.op, left, right, date1904);
    const CalcMatrix empty;
    const CalcMatrix &a = left.isArray() ? left.matrix() : empty;
    const CalcMatrix &b = right.isArray() ? right.matrix() : empty;
    const int rows = qMax(left.isArray() ? a.rows : 1, right.isArray() ? b.rows : 1);
    const int columns = qMax(left.isArray() ? a.columns : 1, right.isArray() ? b.columns : 1);
    if (qint64(rows) * columns > maximumArrayElements) {
        m_engine.setUncomputable();
        return CalcValue::error(CalcError::Value);
    }
    CalcMatrix result;
    result.rows = rows;
    result.columns = columns;
    result.values.reserve(size_t(rows) * size_t(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            result.values.push_back(CalcOperators::binary(node.op, left.element(r, c), right.element(r, c), date1904));
    }
    return CalcValue::array(std::move(result));
}

CalcValue CalcEvaluator::referenceOf(const CalcNode &node)
{
    int first = node.firstSheet == CalcNode::ownSheet ? m_position.sheet : node.firstSheet;
    int last = node.lastSheet == CalcNode::ownSheet ? m_position.sheet : node.lastSheet;
    if (first == CalcNode::missingSheet || last == CalcNode::missingSheet)
        return CalcValue::error(CalcError::Reference);
    if (first > last)
        std::swap(first, last);
    const auto rowOf = [this](const CalcNode::Edge &edge) { return edge.rowAbsolute ? edge.row : m_position.row + edge.row; };
    const auto columnOf = [this](const CalcNode::Edge &edge) {
        return edge.columnAbsolute ? edge.column : m_position.column + edge.column;
    };
    CalcArea area;
    switch (node.referenceKind) {
    case FormulaReference::Columns:
        area.top = 1;
        area.bottom = maximumRows;
        area.left = columnOf(node.first);
        area.right = columnOf(node.last);
        break;
    case FormulaReference::Rows:
        area.left = 1;
        area.right = maximumColumns;
        area.top = rowOf(node.first);
        area.bottom = rowOf(node.last);
        break;
    default:
        area.top = rowOf(node.first);
        area.left = columnOf(node.first);
        area.bottom = rowOf(node.last);
        area.right = columnOf(node.last);
        break;
    }
    if (area.top > area.bottom)
        std::swap(area.top, area.bottom);
    if (area.left > area.right)
        std::swap(area.left, area.right);
    if (area.top < 1 || area.left < 1 || area.bottom > maximumRows || area.right > maximumColumns)
        return CalcValue::error(CalcError::Reference);
    std::vector<CalcArea> areas;
    for (int sheet = first; sheet <= last; ++sheet) {
        if (!m_engine.isWorksheet(sheet))
            continue;
        area.sheet = sheet;
        areas.push_back(area);
    }
    return CalcValue::reference(std::move(areas));
}

CalcValue CalcEvaluator::rangeOf(const CalcValue &left, const CalcValue &right)
{
    if (left.isError())
        return left;
    if (right.isError())
        return right;
    if (!left.isReference() || !right.isReference() || left.areaCount() != 1 || right.areaCount() != 1
        || left.area().sheet != right.area().sheet)
        return CalcValue::error(CalcError::Value);
    const CalcArea &a = left.area();
    const CalcArea &b = right.area();
    CalcArea area;
    area.sheet = a.sheet;
    area.top = qMin(a.top, b.top);
    area.left = qMin(a.left, b.left);
    area.bottom = qMax(a.bottom, b.bottom);
    area.right = qMax(a.right, b.right);
    return CalcValue::reference(area);
}

CalcValue CalcEvaluator::intersection(const CalcValue &left, const CalcValue &right)
{
    if (left.isError())
        return left;
    if (right.isError())
        return right;
    if (!left.isReference() || !right.isReference())
        return CalcValue::error(CalcError::Value);
    std::vector<CalcArea> areas;
    for (int i = 0; i < left.areaCount(); ++i) {
        for (int j = 0; j < right.areaCount(); ++j) {
            const CalcArea &a = left.areaAt(i);
            const CalcArea &b = right.areaAt(j);
            CalcArea area;
            area.sheet = a.sheet;
            area.top = qMax(a.top, b.top);
            area.left = qMax(a.left, b.left);
            area.bottom = qMin(a.bottom, b.bottom);
            area.right = qMin(a.right, b.right);
            if (a.sheet == b.sheet && area.top <= area.bottom && area.left <= area.right)
                areas.push_back(area);
        }
    }
    if (areas.empty())
        return CalcValue::error(CalcError::Null);
    return CalcValue::reference(std::move(areas));
}

CalcValue CalcEvaluator::evaluateUnion(const CalcNode &node)
{
    std::vector<CalcArea> areas;
    for (const auto &child : node.children) {
        const CalcValue value = evaluate(*child);
        if (value.isError())
            return value;
        if (!value.isReference())
            return CalcValue::error(CalcError::Value);
        for (int i = 0; i < value.areaCount(); ++i)
            areas.push_back(value.areaAt(i));
    }
    return CalcValue::reference(std::move(areas));
}

CalcValue CalcEvaluator::evaluateName(const CalcNode &node)
{
    if (node.firstSheet == CalcNode::missingSheet)
        return CalcValue::error(CalcError::Reference);
    const int sheet = node.firstSheet == CalcNode::ownSheet ? m_position.sheet : node.firstSheet;
    const CalcFormula *formula = m_engine.name(sheet, node.text);
    if (!formula)
        return CalcValue::error(CalcError::Name);
    // A name that reads itself has no value; nor has one past the bounds.
    const bool reentered = std::find(m_activeNames.begin(), m_activeNames.end(), formula) != m_activeNames.end();
    if (!formula->root || reentered || int(m_activeNames.size()) >= maximumNameDepth
        || ++m_nameEvaluations > maximumNameEvaluations) {
        m_engine.setUncomputable();
        return CalcValue::error(CalcError::Name);
    }
    m_activeNames.push_back(formula);
    const CalcValue value = evaluate(*formula->root);
    m_activeNames.pop_back();
    return value;
}

CalcValue CalcEvaluator::intersect(const CalcValue &reference)
{
    if (!reference.isReference())
        return reference;
    if (reference.areaCount() != 1)
        return CalcValue::error(CalcError::Value);
    const CalcArea &area = reference.area();
    if (area.isCell())
        return m_engine.cellValue(area.sheet, area.top, area.left);
    const bool rowInside = m_position.row >= area.top && m_position.row <= area.bottom;
    const bool columnInside = m_position.column >= area.left && m_position.column <= area.right;
    if (area.columns() == 1 && rowInside)
        return m_engine.cellValue(area.sheet, m_position.row, area.left);
    if (area.rows() == 1 && columnInside)
        return m_engine.cellValue(area.sheet, area.top, m_position.column);
    if (rowInside && columnInside)
        return m_engine.cellValue(area.sheet, m_position.row, m_position.column);
    return CalcValue::error(CalcError::Value);
}

CalcMatrix CalcEvaluator::matrixOf(const CalcValue &value)
{
    CalcMatrix matrix;
    if (value.isArray())
        return value.matrix();
    if (!value.isReference()) {
        matrix.rows = matrix.columns = 1;
        matrix.values.push_back(value);
        return matrix;
    }
    if (value.areaCount() != 1) {
        matrix.rows = matrix.columns = 1;
        matrix.values.push_back(CalcValue::error(CalcError::Value));
        return matrix;
    }
    CalcArea area = value.area();
    if (area.size() > trimmedAreaSize)
        area = m_engine.usedPart(area);
    if (area.size() > maximumArrayElements) {
        m_engine.setUncomputable();
        matrix.rows = matrix.columns = 1;
        matrix.values.push_back(CalcValue::error(CalcError::Value));
        return matrix;
    }
    matrix.rows = area.rows();
    matrix.columns = area.columns();
    matrix.values.resize(size_t(area.size()));
    m_engine.visitCells(area, [&matrix, &area](int row, int column, const CalcValue &cell) {
        matrix.values[size_t(row - area.top) * size_t(matrix.columns) + size_t(column - area.left)] = cell;
        return true;
    });
    return matrix;
}

// --- functions

CalcValue CalcEvaluator::evaluateFunction(const CalcNode &node)
{
    const CalcFunction &function = *node.function;
    const int count = int(node.children.size());
    const int letters = int(qstrlen(function.parameters));
    std::vector<CalcValue> arguments;
    arguments.resize(size_t(count));
    bool lifted = false;
    for (int i = 0; i < count; ++i) {
        const char letter = letters == 0 ? 'S' : function.parameters[qMin(i, letters - 1)];
        const CalcNode &child = *node.children[size_t(i)];
        switch (letter) {
        case 'L':
            break;
        case 'R':
            arguments[size_t(i)] = evaluate(child);
            break;
        case 'A': {
            const bool saved = m_arrayMode;
            m_arrayMode = true;
            arguments[size_t(i)] = evaluate(child);
            m_arrayMode = saved;
            break;
        }
        default:
            arguments[size_t(i)] = operand(evaluate(child));
            lifted = lifted || arguments[size_t(i)].isArray();
            break;
        }
    }
    if (lifted)
        return callLifted(node, arguments);
    CalcCall call(*this, arguments, &node);
    return function.implementation(call);
}

// A function of single values given arrays runs once for each element.
CalcValue CalcEvaluator::callLifted(const CalcNode &node, std::vector<CalcValue> &arguments)
{
    const CalcFunction &function = *node.function;
    const int letters = int(qstrlen(function.parameters));
    const auto isLifted = [&](int i) {
        const char letter = letters == 0 ? 'S' : function.parameters[qMin(i, letters - 1)];
        return letter == 'S' && arguments[size_t(i)].isArray();
    };
    int rows = 1;
    int columns = 1;
    for (int i = 0; i < int(arguments.size()); ++i) {
        if (isLifted(i)) {
            rows = qMax(rows, arguments[size_t(i)].matrix().rows);
            columns = qMax(columns, arguments[size_t(i)].matrix().columns);
        }
    }
    if (qint64(rows) * columns > maximumArrayElements) {
        m_engine.setUncomputable();
        return CalcValue::error(CalcError::Value);
    }
    std::vector<bool> liftedArguments(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i)
        liftedArguments[i] = isLifted(int(i));
    const std::vector<CalcValue> arrays = arguments;
    CalcMatrix result;
    result.rows = rows;
    result.columns = columns;
    result.values.reserve(size_t(rows) * size_t(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            for (size_t i = 0; i < arrays.size(); ++i) {
                if (liftedArguments[i])
                    arguments[i] = arrays[i].element(r, c);
            }
            CalcCall call(*this, arguments, &node);
            result.values.push_back(singleValue(function.implementation(call)));
        }
    }
    return CalcValue::array(std::move(result));
}

} // namespace Spreadsheet
