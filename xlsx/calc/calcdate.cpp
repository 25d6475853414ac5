#include "calcdate_p.h"

#include <QDate>
#include <QRegularExpression>

#include <cmath>

namespace Spreadsheet {

namespace {

constexpr int lastYear = 9999;
constexpr int firstYear1900 = 1900;
// Serial number of 1900-03-01, the first day after the fictitious 1900-02-29.
constexpr qint64 firstSerialAfterLeapDay = 61;

qint64 floorDivide(qint64 dividend, qint64 divisor)
{
    const qint64 quotient = dividend / divisor;
    return (dividend % divisor != 0 && (dividend < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

bool isLeapYear(qint64 year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}


qint64 epochDays(bool date1904)
{
    return date1904 ? CalcDate::civilDays(1904, 1, 1) : CalcDate::civilDays(1899, 12, 31);
}

// The serial number of the first day of a month (month already in 1..12);
// in the 1900 system every month from March 1900 on sits one day later
// than the plain calendar puts it.
qint64 serialOfFirstDay(qint64 year, int month, bool date1904)
{
    qint64 serial = CalcDate::civilDays(int(year), month, 1) - epochDays(date1904);
    if (!date1904 && serial >= firstSerialAfterLeapDay - 1)
        ++serial;
    return serial;
}

qint64 lastSerial(bool date1904)
{
    return serialOfFirstDay(lastYear, 12, date1904) + 30;
}

void civilDate(qint64 days, int &year, int &month, int &day)
{
    days += 719468;
    const qint64 era = floorDivide(days, 146097);
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// Reading texts as dates and times of day.

int nameIndex(const QString &word, const char *const names[], int count)
{
    const QString lower = word.toLower();
    for (int i = 0; i < count; ++i) {
        const QLatin1String name(names[i]);
        if (lower == name || (lower.size() == 3 && name.startsWith(lower)))
            return i + 1;
    }
    return 0;
}

int monthOfName(const QString &word)
{
    static const char *const names[] = { "january", "february", "march",     "april",   "may",      "june",
                                         "july",    "august",   "september", "october", "november", "december" };
    if (word.compare(QLatin1String("sept"), Qt::CaseInsensitive) == 0)
        return 9;
    return nameIndex(word, names, 12);
}

bool isWeekdayName(const QString &word)
{
    static const char *const names[] = { "sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday" };
    return nameIndex(word, names, 7) != 0;
}

// Two-digit years 00 to 29 are read as 2000 to 2029, 30 to 99 as 1930 to
// 1999; three digits are no year.
bool readYear(const QString &digits, int &year)
{
    const int value = digits.toInt();
    if (digits.size() <= 2)
        year = value < 30 ? 2000 + value : 1900 + value;
    else if (digits.size() == 4)
        year = value;
    else
        return false;
    return year >= firstYear1900;
}

bool isDayOfMonth(const QString &digits, int year, int month)
{
    const int day = digits.toInt();
    return digits.size() <= 2 && day >= 1 && day <= CalcDate::daysInMonth(year, month, false);
}

bool makeDate(int year, int month, int day, bool date1904, double &serial)
{
    if (year < firstYear1900 || year > lastYear || month < 1 || month > 12 || day < 1
        || day > CalcDate::daysInMonth(year, month, date1904))
        return false;
    return CalcDate::serialOf(year, month, day, date1904, serial);
}

// "m/d/y", "y-m-d", "m/d" (this year) and "m/y" (the first of the month).
bool readNumericDate(const QString &text, bool date1904, double &serial)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d{1,4})([-/])(\d{1,4})(?:\2(\d{1,4}))?$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QString first = match.captured(1);
    const QString second = match.captured(3);
    const QString third = match.captured(4);
    int year = 0;
    if (first.size() > 2) {
        if (!readYear(first, year) || second.size() > 2 || third.size() > 2)
            return false;
        return makeDate(year, second.toInt(), third.isEmpty() ? 1 : third.toInt(), date1904, serial);
    }
    const int month = first.toInt();
    if (month < 1 || month > 12)
        return false;
    if (!third.isEmpty()) {
        return second.size() <= 2 && readYear(third, year)
            && makeDate(year, month, second.toInt(), date1904, serial);
    }
    const int thisYear = QDate::currentDate().year();
    if (isDayOfMonth(second, thisYear, month))
        return makeDate(thisYear, month, second.toInt(), date1904, serial);
    return readYear(second, year) && makeDate(year, month, 1, date1904, serial);
}

// "1-Mar-2024", "1 March 2024", "1-Mar" (this year).
bool readDayMonthDate(const QString &text, bool date1904, double &serial)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{1,2})[-/\s]+([a-z]+)\.?(?:[-/,\s]+(\d{1,4}))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int month = monthOfName(match.captured(2));
    int year = QDate::currentDate().year();
    if (month == 0 || (match.capturedLength(3) > 0 && !readYear(match.captured(3), year)))
        return false;
    return makeDate(year, month, match.captured(1).toInt(), date1904, serial);
}

// "March 1, 2024", "Mar 1 2024", "Mar-1" (this year), "Mar-2024" (the
// first of the month).
bool readMonthDayDate(const QString &text, bool date1904, double &serial)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^([a-z]+)\.?[-/,\s]+(\d{1,4})(?:[-/,\s]+(\d{1,4}))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int month = monthOfName(match.captured(1));
    if (month == 0)
        return false;
    const QString number = match.captured(2);
    int year = QDate::currentDate().year();
    if (match.capturedLength(3) > 0) {
        return number.size() <= 2 && readYear(match.captured(3), year)
            && makeDate(year, month, number.toInt(), date1904, serial);
    }
    if (isDayOfMonth(number, year, month))
        return makeDate(year, month, number.toInt(), date1904, serial);
    return readYear(number, year) && makeDate(year, month, 1, date1904, serial);
}

QString withoutWeekdayName(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^([a-z]+)\.?,?\s+(.*)$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch() && isWeekdayName(match.captured(1)))
        return match.captured(2);
    return text;
}

bool readDate(const QString &text, bool date1904, double &serial)
{
    const QString date = withoutWeekdayName(text);
    return readNumericDate(date, date1904, serial) || readDayMonthDate(date, date1904, serial)
        || readMonthDayDate(date, date1904, serial);
}

// ".5" as 0.5, "" as 0.
double decimals(const QString &text)
{
    return (QLatin1String("0") + text).toDouble();
}

// "h:mm", "h:mm:ss", "h:mm:ss.0", "mm:ss.0", each with an optional AM or
// PM, and "h AM". Without AM or PM the hours may pass 24.
bool readTime(const QString &text, double &fraction)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{1,4})(?::(\d{1,2})(?::(\d{1,2}))?(\.\d*)?)?\s*(?:([ap])m?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const bool hasMinutes = match.capturedLength(2) > 0;
    const bool hasSeconds = match.capturedLength(3) > 0;
    const bool hasDecimals = match.capturedLength(4) > 0;
    const QString meridiem = match.captured(5).toLower();
    if (!hasMinutes && meridiem.isEmpty())
        return false;

    double hours = 0;
    double minutes = 0;
    double seconds = 0;
    if (!hasSeconds && hasDecimals) {
        if (!meridiem.isEmpty())
            return false;
        minutes = match.captured(1).toInt();
        seconds = match.captured(2).toInt() + decimals(match.captured(4));
    } else {
        hours = match.captured(1).toInt();
        minutes = match.captured(2).toInt();
        seconds = match.captured(3).toInt() + decimals(match.captured(4));
    }
    if (minutes >= 60 || seconds >= 60)
        return false;
    if (!meridiem.isEmpty()) {
        if (hours > 12)
            return false;
        if (hours == 12)
            hours = 0;
        if (meridiem == QLatin1String("p"))
            hours += 12;
    }
    fraction = (hours * 3600 + minutes * 60 + seconds) / 86400;
    return true;
}

} // namespace

namespace CalcDate {

int daysInMonth(int year, int month, bool date1904)
{
    static const int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month == 2 && (isLeapYear(year) || (year == 1900 && !date1904)))
        return 29;
    return days[month - 1];
}

qint64 civilDays(int year, int month, int day)
{
    qint64 y = year + floorDivide(month - 1, 12);
    const qint64 m = month - 12 * floorDivide(month - 1, 12);
    if (m <= 2)
        --y;
    const qint64 era = floorDivide(y, 400);
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool serialOf(int year, int month, int day, bool date1904, double &serial)
{
    const qint64 monthIndex = qint64(year) * 12 + month - 1;
    const qint64 wholeYear = floorDivide(monthIndex, 12);
    if (wholeYear < 0 || wholeYear > 2 * lastYear)
        return false;
    const int wholeMonth = int(monthIndex - wholeYear * 12) + 1;
    const qint64 result = serialOfFirstDay(wholeYear, wholeMonth, date1904) + day - 1;
    if (result < 0 || result > lastSerial(date1904))
        return false;
    serial = double(result);
    return true;
}

bool dayOf(double serial, bool date1904, int &year, int &month, int &day)
{
    if (!(serial >= 0) || serial >= double(lastSerial(date1904) + 1))
        return false;
    qint64 days = qint64(std::floor(serial));
    if (!date1904) {
        if (days == 0 || days == firstSerialAfterLeapDay - 1) {
            year = 1900;
            month = days == 0 ? 1 : 2;
            day = days == 0 ? 0 : 29;
            return true;
        }
        if (days >= firstSerialAfterLeapDay)
            --days;
    }
    civilDate(epochDays(date1904) + days, year, month, day);
    return true;
}

bool parseDateTime(const QString &text, bool date1904, double &serial)
{
    static const QRegularExpression timeAtEnd(
        QStringLiteral(R"(^(?:(.*\S)\s+)?((?:\d{1,4}:\d{1,2}(?::\d{1,2})?(?:\.\d*)?|\d{1,2}(?=\s*[ap]))(?:\s*[ap]m?)?)$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;

    QString dateText = trimmed;
    double time = 0;
    bool hasTime = false;
    const QRegularExpressionMatch match = timeAtEnd.match(trimmed);
    if (match.hasMatch()) {
        if (!readTime(match.captured(2), time))
            return false;
        dateText = match.captured(1);
        hasTime = true;
    }
    if (dateText.isEmpty()) {
        serial = time;
        return true;
    }
    double date = 0;
    if (!readDate(dateText, date1904, date) || (hasTime && time >= 1))
        return false;
    serial = date + time;
    return true;
}

} // namespace CalcDate

} // namespace Spreadsheet
