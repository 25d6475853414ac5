#ifndef SPREADSHEET_CELLPARSING_P_H
#define SPREADSHEET_CELLPARSING_P_H

#include "celladdress.h"
#include "xmlscanner_p.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1String>
#include <QString>

#include <charconv>
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

inline bool parseDouble(QLatin1String text, double &value)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc() && result.ptr == end)
        return true;
    // Blanks around the number, which XML allows a reader to meet.
    bool ok = false;
    value = QByteArray(text.data(), text.size()).trimmed().toDouble(&ok);
    return ok;
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

// The date of a "d" cell: ISO 8601, a date, a time or both.
inline QDateTime isoDateTime(const QByteArray &text)
{
    QDateTime dateTime = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
    if (!dateTime.isValid()) {
        const QTime time = QTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs);
        if (time.isValid())
            dateTime = QDateTime(QDate(1899, 12, 31), time);
    }
    return QDateTime(dateTime.date(), dateTime.time(), Qt::LocalTime);
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
