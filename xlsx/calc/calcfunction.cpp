#include "calcfunction_p.h"

#include "calcengine_p.h"
#include "calcevaluator_p.h"

#include <QHash>

#include <cmath>

namespace Spreadsheet {

namespace {

const CalcValue &blankValue()
{
    static const CalcValue blank;
    return blank;
}

QHash<QString, const CalcFunction *> functionsByName()
{
    QHash<QString, const CalcFunction *> functions;
    for (const CalcFunctionTable &table : { calcMathFunctions(), calcStatisticsFunctions(), calcLookupFunctions(),
                                            calcTextFunctions(), calcDateFunctions(), calcLogicalFunctions() }) {
        for (int i = 0; i < table.count; ++i)
            functions.insert(QLatin1String(table.functions[i].name), &table.functions[i]);
    }
    return functions;
}

} // namespace

CalcCall::CalcCall(CalcEvaluator &evaluator, const std::vector<CalcValue> &arguments, const CalcNode *node)
    : m_evaluator(evaluator), m_arguments(arguments), m_node(node)
{
}

bool CalcCall::isMissing(int index) const
{
    return index < 0 || index >= count() || m_node->children[size_t(index)]->kind == CalcNode::Missing;
}

const CalcValue &CalcCall::at(int index) const
{
    return index >= 0 && index < count() ? m_arguments[size_t(index)] : blankValue();
}

const CalcPosition &CalcCall::position() const
{
    return m_evaluator.position();
}

bool CalcCall::isDate1904() const
{
    return m_evaluator.engine().isDate1904();
}

bool CalcCall::number(int index, double &value)
{
    const CalcValue number = CalcOperators::toNumber(m_evaluator.singleValue(at(index)), isDate1904());
    if (number.isError()) {
        m_error = number;
        return false;
    }
    value = number.number();
    return true;
}

bool CalcCall::integer(int index, qint64 &value)
{
    double number = 0;
    if (!this->number(index, number))
        return false;
    if (std::fabs(number) >= 9.0e15) {
        setError(CalcError::Number);
        return false;
    }
    value = qint64(std::trunc(number));
    return true;
}

bool CalcCall::text(int index, QString &value)
{
    const CalcValue text = CalcOperators::toText(m_evaluator.singleValue(at(index)));
    if (text.isError()) {
        m_error = text;
        return false;
    }
    value = text.text();
    return true;
}

bool CalcCall::boolean(int index, bool &value)
{
    const CalcValue single = m_evaluator.singleValue(at(index));
    switch (single.type()) {
    case CalcValue::Error:
        m_error = single;
        return false;
    case CalcValue::Text:
        if (single.text().compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
            value = true;
            return true;
        }
        if (single.text().compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            value = false;
            return true;
        }
        setError(CalcError::Value);
        return false;
    case CalcValue::Blank:
        value = false;
        return true;
    default:
        value = single.number() != 0;
        return true;
    }
}

bool CalcCall::number(int index, double &value, double missing)
{
    if (isMissing(index)) {
        value = missing;
        return true;
    }
    return number(index, value);
}

bool CalcCall::integer(int index, qint64 &value, qint64 missing)
{
    if (isMissing(index)) {
        value = missing;
        return true;
    }
    return integer(index, value);
}

bool CalcCall::boolean(int index, bool &value, bool missing)
{
    if (isMissing(index)) {
        value = missing;
        return true;
    }
    return boolean(index, value);
}

bool CalcCall::forEach(int index, const std::function<bool(const CalcValue &value, bool direct)> &visit)
{
    const CalcValue &value = at(index);
    if (value.isReference()) {
        for (int i = 0; i < value.areaCount(); ++i) {
            if (!m_evaluator.engine().visitCells(value.areaAt(i), [&visit](int, int, const CalcValue &cell) {
                    return visit(cell, false);
                }))
                return false;
        }
        return true;
    }
    if (value.isArray()) {
        for (const CalcValue &element : value.matrix().values) {
            if (!element.isBlank() && !visit(element, false))
                return false;
        }
        return true;
    }
    return visit(value, true);
}

CalcMatrix CalcCall::matrix(int index)
{
    return m_evaluator.matrixOf(at(index));
}

CalcValue CalcCall::evaluate(int index)
{
    if (index < 0 || index >= count())
        return CalcValue();
    return m_evaluator.evaluate(*m_node->children[size_t(index)]);
}

const CalcFunction *findCalcFunction(const QString &name)
{
    static const QHash<QString, const CalcFunction *> functions = functionsByName();
    QString upper = name.toUpper();
    // Files write newer functions with the prefixes of the version that
    // brought them.
    for (const QLatin1String prefix : { QLatin1String("_XLFN."), QLatin1String("_XLWS.") }) {
        if (upper.startsWith(prefix))
            upper.remove(0, prefix.size());
    }
    return functions.value(upper, nullptr);
}

} // namespace Spreadsheet
