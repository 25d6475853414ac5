#include "calccriterion_p.h"

namespace Spreadsheet {

CalcCriterion::CalcCriterion(const CalcValue &criterion, bool date1904)
{
    if (criterion.isBlank()) {
        m_operand = CalcValue(0.0);   // an empty criterion cell means 0
        return;
    }
    if (!criterion.isText()) {
        m_operand = criterion;
        return;
    }
    const QString text = criterion.text();
    static const std::pair<const char *, Operator> operators[] = {
        { "<=", LessOrEqual }, { ">=", GreaterOrEqual }, { "<>", NotEqual },
        { "<", Less }, { ">", Greater }, { "=", Equal }
    };
    int length = 0;
    for (const auto &op : operators) {
        if (text.startsWith(QLatin1String(op.first))) {
            m_operator = op.second;
            length = int(qstrlen(op.first));
            break;
        }
    }
    const QString operand = text.mid(length);
    double number = 0;
    CalcError error;
    if (operand.isEmpty()) {
        m_operand = CalcValue(QString());
        m_blankOnly = length > 0 && m_operator == Equal;
    } else if (CalcCoercion::textToNumber(operand, date1904, number)) {
        m_operand = CalcValue(number);
        m_numberText = operand;
    } else if (operand.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0
               || operand.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
        m_operand = CalcValue::boolean(operand.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
    } else if (CalcValue::parseError(operand, error)) {
        m_operand = CalcValue::error(error);
    } else {
        m_operand = CalcValue(operand);
        m_wildcards = (m_operator == Equal || m_operator == NotEqual) && CalcCoercion::hasWildcards(operand);
    }
    m_matchesBlank = matches(CalcValue());
}

bool CalcCriterion::matches(const CalcValue &value) const
{
    switch (m_operator) {
    case Equal:
        return equals(value);
    case NotEqual:
        // "<>" alone: every cell that is not blank, empty texts too.
        if (m_operand.isText() && m_operand.text().isEmpty())
            return !value.isBlank();
        return !equals(value);
    default:
        return ordered(value);
    }
}

bool CalcCriterion::equals(const CalcValue &value) const
{
    if (m_operand.isText() && m_operand.text().isEmpty())
        return value.isBlank() || (!m_blankOnly && value.isText() && value.text().isEmpty());
    switch (m_operand.type()) {
    case CalcValue::Number:
        if (value.isNumber())
            return CalcCoercion::approximatelyEqual(value.number(), m_operand.number());
        // "=5" also finds the text "5".
        return value.isText() && !m_numberText.isEmpty() && value.text().compare(m_numberText, Qt::CaseInsensitive) == 0;
    case CalcValue::Text:
        if (!value.isText())
            return false;
        if (m_wildcards)
            return CalcCoercion::matchesWildcards(m_operand.text(), value.text());
        return value.text().compare(m_operand.text(), Qt::CaseInsensitive) == 0;
    case CalcValue::Boolean:
        return value.isBoolean() && value.booleanValue() == m_operand.booleanValue();
    case CalcValue::Error:
        return value.isError() && value.errorValue() == m_operand.errorValue();
    default:
        return false;
    }
}

// Less and greater compare values of the operand's kind only.
bool CalcCriterion::ordered(const CalcValue &value) const
{
    if (value.type() != m_operand.type() || value.isError())
        return false;
    const int order = CalcCoercion::compare(value, m_operand);
    switch (m_operator) {
    case Less: return order < 0;
    case LessOrEqual: return order <= 0;
    case Greater: return order > 0;
    default: return order >= 0;
    }
}

} // namespace Spreadsheet
