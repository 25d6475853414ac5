#ifndef SPREADSHEET_CELLPARSING_P_H
#define SPREADSHEET_CELLPARSING_P_H

#include "celladdress.h"
#include "xmlscanner_p.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1String>
#include <QString>

#include <charconv>
#include <limits>
#include <cstring>

// The values of a sheet part's cells as text: numbers, references, dates.
// Shared by the worksheet's reader and the streaming sheet reader.
namespace Spreadsheet {
namespace CellParsing {

// A cell's type attribute ("n" when it has none), copied: the type outlives
// the start tag, whose bytes the scanner moves past. A type longer than any
// the format knows is cut, and stays unknown.
class CellType
{
public:
    explicit CellType(const XmlScanner::Attribute *attribute)
    {
        if (attribute) {
            m_size = qMin(attribute->rawValue.size(), int(sizeof m_bytes));
            std::memcpy(m_bytes, attribute->rawValue.data(), size_t(m_size));
        }
    }
    QLatin1String text() const { return QLatin1String(m_bytes, m_size); }

private:
    char m_bytes[12] = "n";
    int m_size = 1;
};

inline bool isTrue(const QByteArray &value)
{
    return value == "1" || value == "true";
}

// A decimal integer of the whole text; false for anything else.
inline bool parseInt(QLatin1String text, int &value)
{
    const char *end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

namespace Detail {

// Whether a decimal number whose value does not fit a double is too small
// rather than too large: where its first significant digit stands.
inline bool isTooSmall(const char *p, const char *end)
{
    if (p != end && (*p == '-' || *p == '+'))
        ++p;
    long long position = -1;   // of the first significant digit, as a power of ten
    long long integerDigits = 0;
    bool significant = false;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        significant |= *p != '0';
        integerDigits += significant;
    }
    if (significant) {
        position = integerDigits - 1;
    } else if (p != end && *p == '.') {
        for (++p; p != end && *p == '0'; ++p)
            --position;
    }
    while (p != end && ((*p >= '0' && *p <= '9') || *p == '.'))
        ++p;
    long long exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+'))
            ++p;
        for (; p != end && *p >= '0' && *p <= '9'; ++p)
            exponent = qMin(exponent * 10 + (*p - '0'), 1000000000LL);
        exponent = negative ? -exponent : exponent;
    }
    return position + exponent < 0;
}

} // namespace Detail

// A number as the schema's double reads it, blanks around it allowed: one
// too small for a double is 0 and one too large is infinite, as other
// readers take them; "INF", "-INF" and "NaN" are numbers too. False for
// anything else.
inline bool parseNumber(QLatin1String text, double &value)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    while (begin != end && (*begin == ' ' || *begin == '\t' || *begin == '\n' || *begin == '\r'))
        ++begin;
    while (end != begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\n' || end[-1] == '\r'))
        --end;
    const bool negative = begin != end && *begin == '-';
    if (begin != end && *begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, end, value);
    if (result.ptr != end || begin == end)
        return false;
    if (result.ec == std::errc::result_out_of_range) {
        const double magnitude = Detail::isTooSmall(begin, end) ? 0.0 : std::numeric_limits<double>::infinity();
        value = negative ? -magnitude : magnitude;
        return true;
    }
    return result.ec == std::errc();
}

// "B12" (also "$B$12") to row and column; false for anything else,
// a position outside the sheet included.
inline bool parseCellReference(QLatin1String text, int &row, int &column)
{
    const char *p = text.data();
    const char *end = p + text.size();
    if (p != end && *p == '$')
        ++p;
    column = 0;
    int letters = 0;
    for (; p != end && *p >= 'A' && *p <= 'Z' && letters <= 3; ++p, ++letters)
        column = column * 26 + (*p - 'A' + 1);
    if (letters == 0 || letters > 3 || column > maximumColumns)
        return false;
    if (p != end && *p == '$')
        ++p;
    if (p == end || !parseInt(QLatin1String(p, int(end - p)), row))
        return false;
    return row >= 1 && row <= maximumRows;
}

inline QString shown(QLatin1String text)
{
    // QLatin1String::left() does not clamp in Qt 5.
    return QString(text.left(qMin(text.size(), 40)));
}

// The date and time of a "d" cell: ISO 8601, a date, a time or both, read
// as the wall clock it names; a zone after the time is left aside, as the
// cell shows the time as written. A time alone leaves the date null.
inline bool isoWallClock(const QByteArray &text, QDate &date, QTime &time)
{
    const QString string = QString::fromLatin1(text);
    int separator = string.indexOf(QLatin1Char('T'));
    if (separator < 0)
        separator = string.indexOf(QLatin1Char(' '));
    const bool timeOnly = separator < 0 && string.contains(QLatin1Char(':'));
    const QString datePart = timeOnly ? QString() : separator < 0 ? string : string.left(separator);
    QString timePart = timeOnly ? string : separator < 0 ? QString() : string.mid(separator + 1);
    date = datePart.isEmpty() ? QDate() : QDate::fromString(datePart, Qt::ISODate);
    time = QTime(0, 0);
    if (!timePart.isEmpty()) {
        if (timePart.endsWith(QLatin1Char('Z'))) {
            timePart.chop(1);
        } else {
            const int sign = qMax(timePart.lastIndexOf(QLatin1Char('+')), timePart.lastIndexOf(QLatin1Char('-')));
            if (sign > 0)
                timePart.truncate(sign);
        }
        time = QTime::fromString(timePart, Qt::ISODateWithMs);
    }
    return (timeOnly || date.isValid()) && time.isValid() && !datePart.startsWith(QLatin1Char('-'));
}

// The cells of the row the scanner stands on, up to the row's end: most are
// taken whole by readSimple, the others read token by token by readCell,
// anything that is no cell skipped. False when a reader or the XML failed.
template <typename SimpleCellReader, typename CellReader>
bool readCellsOfRow(XmlScanner &scanner, SimpleCellReader readSimple, CellReader readCell)
{
    const int depth = scanner.depth();
    XmlScanner::SimpleCell simple;
    for (;;) {
        if (scanner.takeSimpleCell(simple)) {
            if (!readSimple(simple))
                return false;
            continue;
        }
        if (scanner.next() == XmlScanner::Invalid || scanner.depth() < depth)
            break;
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (!scanner.is(XmlScanner::Main, "c")) {
            scanner.skipElement();
            continue;
        }
        if (!readCell())
            return false;
    }
    return !scanner.hasError();
}

} // namespace CellParsing
} // namespace Spreadsheet

#endif // SPREADSHEET_CELLPARSING_P_H
