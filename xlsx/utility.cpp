#include "utility.h"

#include "formulatokenizer_p.h"

#include <QRegularExpression>

#include <cmath>

namespace Spreadsheet {

namespace {

constexpr double millisecondsPerDay = 86400000.0;

QDate epochDate(bool is1904)
{
    return is1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 31);
}

bool isForbiddenInXml(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF;
}

// A surrogate that is not half of a pair cannot be written as UTF-8.
bool isUnpairedSurrogate(const QString &text, int i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return false;
}

bool isInvalidInXml(const QString &text, int i)
{
    const char16_t c = text.at(i).unicode();
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF
        || isUnpairedSurrogate(text, i);
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Whether an escape "_xHHHH_" starts at position i.
bool escapeAt(const QString &text, int i)
{
    if (i + 7 > text.size() || text.at(i) != QLatin1Char('_') || text.at(i + 1) != QLatin1Char('x')
        || text.at(i + 6) != QLatin1Char('_'))
        return false;
    for (int k = i + 2; k < i + 6; ++k) {
        if (!isHexDigit(text.at(k)))
            return false;
    }
    return true;
}

QString escapeFor(char16_t c)
{
    return QStringLiteral("_x") + QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0'))
        + QLatin1Char('_');
}

bool needsEscaping(const QString &text)
{
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i];
        // Nearly every character is none of those that may need it.
        if (c >= 0x20 && c != u'_' && (c < 0xD800 || c > 0xDFFF) && c < 0xFFFE)
            continue;
        if (isForbiddenInXml(c) || (c == u'_' && escapeAt(text, i)) || isUnpairedSurrogate(text, i))
            return true;
    }
    return false;
}

} // namespace

bool readXmlBool(const QString &text, bool defaultValue)
{
    if (text == QLatin1String("1") || text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("0") || text == QLatin1String("false"))
        return false;
    return defaultValue;
}

QString relationshipPartPath(const QString &partPath)
{
    const int slash = partPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return partPath.left(slash) + QStringLiteral("/_rels/") + partPath.mid(slash + 1) + QStringLiteral(".rels");
}

QStringList splitPartPath(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return { QStringLiteral("."), path };
    return { path.left(slash), path.mid(slash + 1) };
}

// The serial number counts wall-clock days and times in the local zone: the
// date and time people read, whatever daylight saving time does that day.
double dateTimeToSerial(const QDateTime &dateTime, bool is1904)
{
    const QDateTime local = dateTime.toLocalTime();
    return wallClockToSerial(local.date(), local.time(), is1904);
}

double wallClockToSerial(const QDate &date, const QTime &time, bool is1904)
{
    double value = epochDate(is1904).daysTo(date) + time.msecsSinceStartOfDay() / millisecondsPerDay;
    if (!is1904 && value > 59)
        value += 1;
    return value;
}

double timeToSerial(const QTime &time)
{
    return QTime(0, 0).msecsTo(time) / millisecondsPerDay;
}

namespace {

// The wall-clock date and time of a serial number; false for a number no
// date has (far past any calendar, or not a number at all).
bool serialToWallClock(double serial, bool is1904, QDate &date, QTime &time)
{
    if (!(std::fabs(serial) < 1e7))
        return false;
    if (!is1904 && serial > 60)
        serial -= 1;
    const qint64 milliseconds = qint64(std::floor(serial * millisecondsPerDay + 0.5));
    const qint64 day = qint64(millisecondsPerDay);
    const qint64 days = milliseconds / day - (milliseconds < 0 && milliseconds % day != 0);
    date = epochDate(is1904).addDays(days);
    time = QTime::fromMSecsSinceStartOfDay(int(milliseconds - days * day));
    return date.isValid();
}

} // namespace

QDateTime serialToDateTime(double serial, bool is1904)
{
    QDate date;
    QTime time;
    if (!serialToWallClock(serial, is1904, date, time))
        return QDateTime();
    return wallClockDateTime(date, time);
}

QDateTime wallClockDateTime(const QDate &date, const QTime &time)
{
    const QDateTime local(date, time, Qt::LocalTime);
    return local.isValid() ? local : QDateTime(date, time, Qt::UTC);
}

bool isDateSerial(double serial, bool is1904)
{
    // 31 December 9999 is 2958465 in the 1900 system, 2957003 in the 1904 one.
    return serial >= 0 && serial < (is1904 ? 2957004.0 : 2958466.0);
}

QString serialToIsoText(double serial, bool is1904)
{
    QDate date;
    QTime time;
    if (!serialToWallClock(serial, is1904, date, time))
        return QString();
    return date.toString(Qt::ISODate) + QLatin1Char('T')
        + time.toString(time.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

QString quoteSheetName(const QString &name)
{
    if (!FormulaTokenizer::needsQuotes(name))
        return name;
    QString quoted = name;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString unquoteSheetName(const QString &name)
{
    if (name.size() < 2 || !name.startsWith(QLatin1Char('\'')) || !name.endsWith(QLatin1Char('\'')))
        return name;
    QString unquoted = name.mid(1, name.size() - 2);
    return unquoted.replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString sanitizeSheetName(const QString &proposal)
{
    if (proposal.isEmpty())
        return proposal;
    QString name = proposal;
    if (name.size() > 2 && name.startsWith(QLatin1Char('\'')) && name.endsWith(QLatin1Char('\'')))
        name = unquoteSheetName(name);
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\?*\\][:]"));
    name.replace(forbidden, QStringLiteral(" "));
    // Control characters cannot stand in the workbook's XML.
    for (QChar &c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            c = QLatin1Char(' ');
    }
    // Cut first, so that the cut cannot leave an apostrophe at the end.
    name = leftWholeCharacters(name, 31);
    if (name.startsWith(QLatin1Char('\'')))
        name[0] = QLatin1Char(' ');
    if (name.endsWith(QLatin1Char('\'')))
        name[name.size() - 1] = QLatin1Char(' ');
    return name;
}

QString leftWholeCharacters(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate() && text.at(length).isLowSurrogate())
        --length;
    return text.left(qMax(length, 0));
}

bool needsSpacePreserve(const QString &text)
{
    if (text.isEmpty())
        return false;
    static const QString blanks = QStringLiteral(" \t\n\r");
    return blanks.contains(text.front()) || blanks.contains(text.back());
}

QString validXmlText(const QString &text)
{
    QString valid = text;
    for (int i = 0; i < text.size(); ++i) {
        if (isInvalidInXml(text, i))
            valid[i] = QChar::ReplacementCharacter;
    }
    return valid;
}

QString escapeCellText(const QString &text)
{
    if (!needsEscaping(text))
        return text;
    QString escaped;
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (isForbiddenInXml(c) || isUnpairedSurrogate(text, i))
            escaped += escapeFor(c);
        else if (escapeAt(text, i))
            escaped += QStringLiteral("_x005F_");
        else
            escaped += text.at(i);
    }
    return escaped;
}

QString unescapeCellText(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString plain;
    for (int i = 0; i < text.size(); ++i) {
        if (escapeAt(text, i)) {
            plain += QChar(text.midRef(i + 2, 4).toUShort(nullptr, 16));
            i += 6;
        } else {
            plain += text.at(i);
        }
    }
    return plain;
}

} // namespace Spreadsheet
