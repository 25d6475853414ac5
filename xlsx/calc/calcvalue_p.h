#ifndef SPREADSHEET_CALCVALUE_P_H
#define SPREADSHEET_CALCVALUE_P_H

#include <QString>

#include <cmath>
#include <memory>
#include <vector>

namespace Spreadsheet {

// The error values of the formula language.
enum class CalcError : quint8 { Null, DivideByZero, Value, Reference, Name, Number, NotAvailable };

class CalcValue;

// A rectangle of cells on one sheet (index into the workbook's sheets).
struct CalcArea
{
    int sheet = 0;
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    int rows() const { return bottom - top + 1; }
    int columns() const { return right - left + 1; }
    qint64 size() const { return qint64(rows()) * columns(); }
    bool isCell() const { return top == bottom && left == right; }
};

// Values laid out in rows: an array constant, or what an array formula
// makes of ranges and operators.
struct CalcMatrix
{
    int rows = 0;
    int columns = 0;
    std::vector<CalcValue> values;   // row by row

    const CalcValue &at(int row, int column) const;
};

// A value while a formula is computed: blank, number, text, boolean,
// error, an array of values, or a reference to cells (one area, or several
// for a union or a three-dimensional reference).
class CalcValue
{
public:
    enum Type : quint8 { Blank, Number, Text, Boolean, Error, Array, Reference };

    CalcValue() = default;
    CalcValue(double number) : m_type(Number), m_number(number) {}
    CalcValue(const QString &text) : m_type(Text), m_text(text) {}
    static CalcValue boolean(bool value);
    static CalcValue error(CalcError error);
    static CalcValue array(CalcMatrix matrix);
    static CalcValue reference(const CalcArea &area);
    static CalcValue reference(std::vector<CalcArea> areas);

    Type type() const { return m_type; }
    bool isBlank() const { return m_type == Blank; }
    bool isNumber() const { return m_type == Number; }
    bool isText() const { return m_type == Text; }
    bool isBoolean() const { return m_type == Boolean; }
    bool isError() const { return m_type == Error; }
    bool isArray() const { return m_type == Array; }
    bool isReference() const { return m_type == Reference; }

    double number() const { return m_number; }
    const QString &text() const { return m_text; }
    bool booleanValue() const { return m_number != 0; }
    CalcError errorValue() const { return m_error; }
    const CalcMatrix &matrix() const { return *m_matrix; }
    // The first area of a reference; all of them.
    const CalcArea &area() const { return m_area; }
    // What an operation over arrays takes at a place of its result: a
    // single value itself, an array's element (a single row or column
    // repeating), #N/A past the array's end.
    CalcValue element(int row, int column) const;
    int areaCount() const { return m_moreAreas ? int(m_moreAreas->size()) + 1 : 1; }
    const CalcArea &areaAt(int index) const { return index == 0 ? m_area : (*m_moreAreas)[size_t(index - 1)]; }

    // "#DIV/0!" and the others, as cells show them; parsed back (false for
    // a text that is no error value).
    static QString errorText(CalcError error);
    static bool parseError(const QString &text, CalcError &error);

private:
    Type m_type = Blank;
    CalcError m_error = CalcError::Value;
    double m_number = 0;   // also a boolean's 0 or 1
    QString m_text;
    CalcArea m_area;
    std::shared_ptr<const CalcMatrix> m_matrix;
    std::shared_ptr<const std::vector<CalcArea>> m_moreAreas;
};

// The rules by which the formula language turns one kind of value into
// another, and orders them.
namespace CalcCoercion {

// The longest text a cell holds; a longer result is #VALUE!.
constexpr int maximumTextLength = 32767;

// A text as arithmetic reads it: a number with an optional sign, grouping
// commas, decimals, exponent and percent sign, a date or a time of day
// ("2024-03-01", "3/1/2024", "1 March 2024", "12:30", "1:30 PM"), with
// surrounding blanks. False when it reads as none of them.
bool textToNumber(const QString &text, bool date1904, double &number);
// A number as a formula shows it in a text: up to 15 significant digits,
// no trailing zeros, scientific notation for very large and small values.
QString numberToText(double number);
// Whether two numbers are equal to the 15 digits a cell shows (what
// keeps 0.1+0.2 equal to 0.3); a sum of two such numbers of opposite sign
// is exactly 0.
bool approximatelyEqual(double left, double right);
double add(double left, double right);
// -1, 0 or 1: numbers below texts below booleans; texts without regard to
// letter case; a blank is 0, "" or FALSE as its counterpart is.
int compare(const CalcValue &left, const CalcValue &right);
// Whether a text holds "*" or "?" (a pattern) or "~" (their escape).
bool hasWildcards(const QString &pattern);
// Whether the text matches the pattern, whole and without regard to letter
// case: "*" any run of characters, "?" any one, "~*", "~?" and "~~" those
// characters themselves.
bool matchesWildcards(const QString &pattern, const QString &text);

} // namespace CalcCoercion

// Numbers added as SUM adds them: compensated, so that long columns of
// measurements add up without the error plain addition gathers; what is
// left of numbers that cancel out to 15 digits is 0, as it is for "-".
class CalcSum
{
public:
    void add(double number)
    {
        m_largest = qMax(m_largest, std::fabs(number));
        addTerm(number);
    }
    // The sum of numbers added elsewhere, with the largest of them.
    void addSum(double sum, double largest)
    {
        m_largest = qMax(m_largest, largest);
        addTerm(sum);
    }
    double unrounded() const { return m_total + m_compensation; }
    double largest() const { return m_largest; }
    double value() const
    {
        const double sum = unrounded();
        return std::fabs(sum) < m_largest * 3.5527136788005009e-15 ? 0 : sum;   // 2^-48
    }

private:
    void addTerm(double number)
    {
        const double total = m_total + number;
        m_compensation += std::fabs(m_total) >= std::fabs(number) ? (m_total - total) + number
                                                                  : (number - total) + m_total;
        m_total = total;
    }

    double m_total = 0;
    double m_compensation = 0;
    double m_largest = 0;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCVALUE_P_H
