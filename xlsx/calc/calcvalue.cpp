#include "calcvalue_p.h"

#include "calcdate_p.h"

#include <QCollator>

#include <cmath>

namespace Spreadsheet {

namespace {

const char *const errorTexts[] = { "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A" };

const CalcValue &blankValue()
{
    static const CalcValue blank;
    return blank;
}

bool isBlankCharacter(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0xA0);
}

// "12", "-1,234.5e3", "45%", "$12": what arithmetic reads as a number
// before trying dates and times.
bool parsePlainNumber(const QString &text, double &number)
{
    int i = 0;
    const int end = text.size();
    bool negative = false;
    if (i < end && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    if (i < end && text[i] == QLatin1Char('$'))
        ++i;
    QString digits;
    int digitsBeforeComma = -1;   // since the last grouping comma
    bool sawDigit = false;
    bool sawPoint = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits.append(c);
            sawDigit = true;
            if (digitsBeforeComma >= 0)
                ++digitsBeforeComma;
        } else if (c == QLatin1Char(',') && !sawPoint && sawDigit) {
            if (digitsBeforeComma >= 0 && digitsBeforeComma != 3)
                return false;
            digitsBeforeComma = 0;
        } else if (c == QLatin1Char('.') && !sawPoint) {
            if (digitsBeforeComma >= 0 && digitsBeforeComma != 3)
                return false;
            digitsBeforeComma = -1;
            sawPoint = true;
            digits.append(c);
        } else {
            break;
        }
    }
    if (!sawDigit || (digitsBeforeComma >= 0 && digitsBeforeComma != 3))
        return false;
    if (i < end && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < end && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exponent.append(text[j++]);
        const int firstDigit = j;
        while (j < end && text[j].isDigit() && text[j].unicode() < 128)
            exponent.append(text[j++]);
        if (j == firstDigit)
            return false;
        digits.append(exponent);
        i = j;
    }
    bool percent = false;
    if (i < end && text[i] == QLatin1Char('%')) {
        percent = true;
        ++i;
    }
    if (i != end)
        return false;
    bool ok = false;
    double value = digits.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    if (percent)
        value /= 100;
    number = negative ? -value : value;
    return true;
}

QCollator englishCollator()
{
    QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// What a blank is beside a value of that kind: "", FALSE or 0.
CalcValue blankAs(CalcValue::Type type)
{
    if (type == CalcValue::Text)
        return CalcValue(QString());
    if (type == CalcValue::Boolean)
        return CalcValue::boolean(false);
    return CalcValue(0.0);
}

int typeRank(const CalcValue &value)
{
    switch (value.type()) {
    case CalcValue::Number:
        return 0;
    case CalcValue::Text:
        return 1;
    case CalcValue::Boolean:
        return 2;
    default:
        return 0;
    }
}

} // namespace

const CalcValue &CalcMatrix::at(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rows || column >= columns)
        return blankValue();
    return values[size_t(row) * size_t(columns) + size_t(column)];
}

CalcValue CalcValue::boolean(bool value)
{
    CalcValue result;
    result.m_type = Boolean;
    result.m_number = value ? 1 : 0;
    return result;
}

CalcValue CalcValue::error(CalcError error)
{
    CalcValue result;
    result.m_type = Error;
    result.m_error = error;
    return result;
}

CalcValue CalcValue::array(CalcMatrix matrix)
{
    CalcValue result;
    result.m_type = Array;
    result.m_matrix = std::make_shared<const CalcMatrix>(std::move(matrix));
    return result;
}

CalcValue CalcValue::reference(const CalcArea &area)
{
    CalcValue result;
    result.m_type = Reference;
    result.m_area = area;
    return result;
}

CalcValue CalcValue::reference(std::vector<CalcArea> areas)
{
    if (areas.empty())
        return error(CalcError::Reference);
    CalcValue result = reference(areas.front());
    if (areas.size() > 1) {
        areas.erase(areas.begin());
        result.m_moreAreas = std::make_shared<const std::vector<CalcArea>>(std::move(areas));
    }
    return result;
}

CalcValue CalcValue::element(int row, int column) const
{
    if (m_type != Array)
        return *this;
    const int r = m_matrix->rows == 1 ? 0 : row;
    const int c = m_matrix->columns == 1 ? 0 : column;
    if (r >= m_matrix->rows || c >= m_matrix->columns)
        return error(CalcError::NotAvailable);
    return m_matrix->at(r, c);
}

QString CalcValue::errorText(CalcError error)
{
    return QLatin1String(errorTexts[int(error)]);
}

bool CalcValue::parseError(const QString &text, CalcError &error)
{
    for (int i = 0; i < int(sizeof errorTexts / sizeof *errorTexts); ++i) {
        if (text.compare(QLatin1String(errorTexts[i]), Qt::CaseInsensitive) == 0) {
            error = CalcError(i);
            return true;
        }
    }
    return false;
}

namespace CalcCoercion {

bool textToNumber(const QString &text, bool date1904, double &number)
{
    int first = 0;
    int last = text.size();
    while (first < last && isBlankCharacter(text[first]))
        ++first;
    while (last > first && isBlankCharacter(text[last - 1]))
        --last;
    if (first == last)
        return false;
    const QString trimmed = text.mid(first, last - first);
    if (parsePlainNumber(trimmed, number))
        return true;
    if (trimmed.startsWith(QLatin1Char('(')) && trimmed.endsWith(QLatin1Char(')'))
        && parsePlainNumber(trimmed.mid(1, trimmed.size() - 2), number)) {
        number = -number;
        return true;
    }
    return CalcDate::parseDateTime(trimmed, date1904, number);
}

QString numberToText(double number)
{
    if (number == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(number);
    QString text;
    if (magnitude >= 1e16 || magnitude < 1e-15) {
        text = QString::number(number, 'E', 14);
        const int e = text.indexOf(QLatin1Char('E'));
        QString mantissa = text.left(e);
        if (mantissa.contains(QLatin1Char('.'))) {
            while (mantissa.endsWith(QLatin1Char('0')))
                mantissa.chop(1);
            if (mantissa.endsWith(QLatin1Char('.')))
                mantissa.chop(1);
        }
        // "E+020" from some libraries, "E+20" as formulas show it.
        QString exponent = text.mid(e + 2);
        while (exponent.size() > 2 && exponent.startsWith(QLatin1Char('0')))
            exponent.remove(0, 1);
        return mantissa + QLatin1Char('E') + text[e + 1] + exponent;
    }
    // Fifteen significant digits as plain decimals, at most 20 of them.
    const int decimals = 14 - int(std::floor(std::log10(magnitude)));
    text = QString::number(number, 'f', qBound(0, decimals, 20));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        return QStringLiteral("0");
    return text;
}

bool approximatelyEqual(double left, double right)
{
    if (left == right)
        return true;
    if (left == 0 || right == 0 || (left < 0) != (right < 0))
        return false;
    // Fifteen significant digits, with the margin binary fractions need.
    return std::fabs(left - right) < std::fabs(left) * 3.5527136788005009e-15;   // 2^-48
}

double add(double left, double right)
{
    if (((left < 0 && right > 0) || (left > 0 && right < 0)) && approximatelyEqual(left, -right))
        return 0;
    return left + right;
}

int compareNumbers(double a, double b)
{
    if (approximatelyEqual(a, b))
        return 0;
    return a < b ? -1 : 1;
}

int compareTexts(const QString &a, const QString &b)
{
    // Equal without regard to case; otherwise in the order of an English
    // dictionary ("é" before "f"), code points breaking ties. The collator
    // sees the texts folded, so that its order agrees with that equality
    // even where the system's collation heeds case.
    const int order = a.compare(b, Qt::CaseInsensitive);
    if (order == 0)
        return 0;
    thread_local const QCollator collator = englishCollator();
    const int collated = collator.compare(a.toCaseFolded(), b.toCaseFolded());
    if (collated != 0)
        return collated < 0 ? -1 : 1;
    return order < 0 ? -1 : 1;
}

int compare(const CalcValue &left, const CalcValue &right)
{
    // A blank takes the kind of what it is compared with.
    const CalcValue::Type leftType = left.isBlank() ? right.type() : left.type();
    const CalcValue::Type rightType = right.isBlank() ? left.type() : right.type();
    if (leftType == CalcValue::Blank)
        return 0;
    const CalcValue a = left.isBlank() ? blankAs(leftType) : CalcValue();
    const CalcValue b = right.isBlank() ? blankAs(rightType) : CalcValue();
    const CalcValue &l = left.isBlank() ? a : left;
    const CalcValue &r = right.isBlank() ? b : right;
    const int ranks = typeRank(l) - typeRank(r);
    if (ranks != 0)
        return ranks < 0 ? -1 : 1;
    if (l.isText())
        return compareTexts(l.text(), r.text());
    return compareNumbers(l.number(), r.number());
}

bool hasWildcards(const QString &pattern)
{
    for (QChar c : pattern) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('~'))
            return true;
    }
    return false;
}

// Greedy matching with one point to come back to: linear in most texts,
// never worse than their product.
bool matchesWildcards(const QString &pattern, const QString &text)
{
    int p = 0;
    int t = 0;
    int starPattern = -1;
    int starText = 0;
    const auto same = [](QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); };
    while (t < text.size()) {
        if (p < pattern.size()) {
            const QChar c = pattern[p];
            if (c == QLatin1Char('*')) {
                starPattern = ++p;
                starText = t;
                continue;
            }
            if (c == QLatin1Char('?')) {
                ++p;
                ++t;
                continue;
            }
            const bool escaped = c == QLatin1Char('~') && p + 1 < pattern.size()
                && (pattern[p + 1] == QLatin1Char('*') || pattern[p + 1] == QLatin1Char('?')
                    || pattern[p + 1] == QLatin1Char('~'));
            const QChar literal = escaped ? pattern[p + 1] : c;
            if (same(literal, text[t])) {
                p += escaped ? 2 : 1;
                ++t;
                continue;
            }
        }
        if (starPattern < 0)
            return false;
        p = starPattern;
        t = ++starText;
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace CalcCoercion

} // namespace Spreadsheet
