#include "calcdate_p.h"
#include "calcfunction_p.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace Spreadsheet {

namespace {

constexpr double secondsPerDay = 86400;
constexpr int maximumTimeUnit = 32767;

CalcValue numberError()
{
    return CalcValue::error(CalcError::Number);
}

double lastSerial(bool date1904)
{
    double serial = 0;
    CalcDate::serialOf(9999, 12, 31, date1904, serial);
    return serial;
}

// 0 for Sunday to 6 for Saturday, counted on serial numbers: the 1900
// system's 1 (1900-01-01) is a Sunday, which keeps the fictitious leap day
// in step with the days after it; the 1904 system's 0 is a Friday.
int dayOfWeek(qint64 serial, bool date1904)
{
    const qint64 shifted = serial + (date1904 ? 5 : 6);
    return int(((shifted % 7) + 7) % 7);
}

bool isWeekend(qint64 serial, bool date1904)
{
    const int day = dayOfWeek(serial, date1904);
    return day == 0 || day == 6;
}

// A number argument truncated toward zero; the default only when the call
// stops before it (an argument left empty is 0).
bool truncatedArgument(CalcCall &call, int index, double &value, double omitted)
{
    value = omitted;
    if (index < call.count() && !call.number(index, value))
        return false;
    value = std::trunc(value);
    return true;
}

// A date argument as a serial number: #NUM! for a negative one or one
// past 9999-12-31.
bool serialArgument(CalcCall &call, int index, double &serial)
{
    if (!call.number(index, serial))
        return false;
    if (serial < 0 || serial >= lastSerial(call.isDate1904()) + 1) {
        call.setError(CalcError::Number);
        return false;
    }
    return true;
}

// A date argument as the serial number of its day.
bool dayArgument(CalcCall &call, int index, qint64 &serial)
{
    double value = 0;
    if (!serialArgument(call, index, value))
        return false;
    serial = qint64(std::floor(value));
    return true;
}

struct Day
{
    int year = 0;
    int month = 0;
    int day = 0;
};

bool dayArgument(CalcCall &call, int index, Day &day)
{
    double value = 0;
    if (!call.number(index, value))
        return false;
    if (!CalcDate::dayOf(value, call.isDate1904(), day.year, day.month, day.day)) {
        call.setError(CalcError::Number);
        return false;
    }
    return true;
}

CalcValue serialResult(qint64 year, qint64 month, qint64 day, bool date1904)
{
    double serial = 0;
    if (year < 0 || year > 9999 || !CalcDate::serialOf(int(year), int(month), int(day), date1904, serial))
        return numberError();
    return serial;
}

// Years 0 to 1899 are counted from 1900; months and days outside their
// ranges roll over into the years and months around them.
CalcValue dateOfYearMonthDay(CalcCall &call)
{
    double year = 0;
    double month = 0;
    double day = 0;
    if (!truncatedArgument(call, 0, year, 0) || !truncatedArgument(call, 1, month, 0)
        || !truncatedArgument(call, 2, day, 0))
        return call.error();
    if (year < 0 || year > 9999 || std::abs(month) > 1e6 || std::abs(day) > 1e8)
        return numberError();
    if (year < 1900)
        year += 1900;
    return serialResult(qint64(year), qint64(month), qint64(day), call.isDate1904());
}

// The time of day of hours, minutes and seconds, each truncated toward
// zero; whole days dropped. A negative time (before truncation) is #NUM!.
CalcValue timeOfDayOf(CalcCall &call)
{
    double units[3] = {};
    double exactSeconds = 0;
    for (int i = 0; i < 3; ++i) {
        if (!call.number(i, units[i]))
            return call.error();
        exactSeconds += units[i] * std::pow(60.0, 2 - i);
        units[i] = std::trunc(units[i]);
        if (units[i] > maximumTimeUnit)
            return numberError();
    }
    const double seconds = units[0] * 3600 + units[1] * 60 + units[2];
    if (seconds < 0 || exactSeconds < 0)
        return numberError();
    return std::fmod(seconds, secondsPerDay) / secondsPerDay;
}

// The text argument of DATEVALUE and TIMEVALUE read as a date, a time or
// both.
bool dateTimeTextArgument(CalcCall &call, QString &text, double &serial)
{
    const CalcValue &value = call.at(0);
    if (value.isError()) {
        call.setError(value.errorValue());
        return false;
    }
    if (!value.isText() || !CalcDate::parseDateTime(value.text(), call.isDate1904(), serial)) {
        call.setError(CalcError::Value);
        return false;
    }
    text = value.text();
    return true;
}

// Whether a text that reads as a date or time holds a day: only then does
// it read differently in the two date systems.
bool hasDay(const QString &text, double serial, bool date1904)
{
    double other = 0;
    return !CalcDate::parseDateTime(text, !date1904, other) || other != serial;
}

// Whether a text that reads as a date or time holds a time of day.
bool hasTimeOfDay(const QString &text)
{
    static const QRegularExpression timePart(QStringLiteral(R"(:|\d\s*[ap]m?\s*$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    return timePart.match(text).hasMatch();
}

CalcValue dateValue(CalcCall &call)
{
    QString text;
    double serial = 0;
    if (!dateTimeTextArgument(call, text, serial))
        return call.error();
    if (!hasDay(text, serial, call.isDate1904()))
        return CalcValue::error(CalcError::Value);
    return std::floor(serial);
}

CalcValue timeValue(CalcCall &call)
{
    QString text;
    double serial = 0;
    if (!dateTimeTextArgument(call, text, serial))
        return call.error();
    if (!hasTimeOfDay(text))
        return CalcValue::error(CalcError::Value);
    return serial - std::floor(serial);
}

CalcValue yearOf(CalcCall &call)
{
    Day date;
    if (!dayArgument(call, 0, date))
        return call.error();
    return double(date.year);
}

CalcValue monthOf(CalcCall &call)
{
    Day date;
    if (!dayArgument(call, 0, date))
        return call.error();
    return double(date.month);
}

CalcValue dayOfMonth(CalcCall &call)
{
    Day date;
    if (!dayArgument(call, 0, date))
        return call.error();
    return double(date.day);
}

// The time of day of a serial number in seconds as a clock shows it: the
// seconds rounded to the digits the number holds (nine decimals below a
// day, fewer the larger the number), a day's end read as 0.
double clockSeconds(double serial)
{
    const double raw = (serial - std::floor(serial)) * secondsPerDay;
    int decimals = 9;
    if (serial >= 1)
        decimals = qBound(2, 10 - int(std::ceil(std::log10(serial))), 9);
    const double scale = std::pow(10.0, decimals);
    const double seconds = std::round(raw * scale) / scale;
    return seconds >= secondsPerDay ? 0 : seconds;
}

bool clockArgument(CalcCall &call, double &seconds)
{
    double value = 0;
    if (!call.number(0, value))
        return false;
    if (value < 0 || value >= lastSerial(call.isDate1904()) + 1) {
        call.setError(CalcError::Number);
        return false;
    }
    seconds = clockSeconds(value);
    return true;
}

// Whole hours and minutes: a part of a second does not carry into them.
CalcValue hourOf(CalcCall &call)
{
    double seconds = 0;
    if (!clockArgument(call, seconds))
        return call.error();
    return std::floor(seconds / 3600);
}

CalcValue minuteOf(CalcCall &call)
{
    double seconds = 0;
    if (!clockArgument(call, seconds))
        return call.error();
    return std::fmod(std::floor(seconds / 60), 60);
}

// The seconds rounded to the nearest; 59.5 and more is 0.
CalcValue secondOf(CalcCall &call)
{
    double seconds = 0;
    if (!clockArgument(call, seconds))
        return call.error();
    const double whole = std::floor(seconds);
    return std::fmod(std::fmod(whole, 60) + (seconds - whole >= 0.5 ? 1 : 0), 60);
}

// The day a week starts on (0 Sunday to 6 Saturday) for the return types
// WEEKDAY and WEEKNUM share: 1 and 17 Sunday, 2 and 11 Monday, 12 to 16
// Tuesday to Saturday; -1 for others.
int firstDayOfWeek(int type)
{
    if (type == 1 || type == 2)
        return type - 1;
    if (type >= 11 && type <= 17)
        return (type - 10) % 7;
    return -1;
}

CalcValue weekday(CalcCall &call)
{
    qint64 serial = 0;
    double type = 0;
    if (!dayArgument(call, 0, serial) || !truncatedArgument(call, 1, type, 1))
        return call.error();
    const int day = dayOfWeek(serial, call.isDate1904());
    if (type == 3)
        return double((day + 6) % 7);
    const int first = std::abs(type) < 100 ? firstDayOfWeek(int(type)) : -1;
    if (first < 0)
        return numberError();
    return double((day - first + 7) % 7 + 1);
}

// Weeks in which Thursday decides the year; week 1 holds the year's first
// Thursday.
int isoWeekNumber(qint64 serial, bool date1904)
{
    const int daysSinceMonday = (dayOfWeek(serial, date1904) + 6) % 7;
    const qint64 thursday = serial - daysSinceMonday + 3;
    int year = 0;
    int month = 0;
    int day = 0;
    if (!CalcDate::dayOf(double(thursday), date1904, year, month, day))
        return date1904 ? 53 : 52;   // the last week of 1903, of 1899 as the 1900 system counts its days
    double firstOfYear = 0;
    CalcDate::serialOf(year, 1, 1, date1904, firstOfYear);
    return int((thursday - qint64(firstOfYear)) / 7) + 1;
}

// Weeks starting on the given day; week 1 holds January 1.
int weekNumber(qint64 serial, int firstDay, bool date1904)
{
    int year = 0;
    int month = 0;
    int day = 0;
    CalcDate::dayOf(double(serial), date1904, year, month, day);
    double firstOfYear = 0;
    CalcDate::serialOf(year, 1, 1, date1904, firstOfYear);
    const int daysIntoFirstWeek = (dayOfWeek(qint64(firstOfYear), date1904) - firstDay + 7) % 7;
    const qint64 daysSinceWeekOne = serial - qint64(firstOfYear) + daysIntoFirstWeek;
    return int(std::floor(double(daysSinceWeekOne) / 7)) + 1;
}

CalcValue weekNum(CalcCall &call)
{
    qint64 serial = 0;
    double type = 0;
    if (!dayArgument(call, 0, serial) || !truncatedArgument(call, 1, type, 1))
        return call.error();
    if (type == 21)
        return double(isoWeekNumber(serial, call.isDate1904()));
    const int first = std::abs(type) < 100 ? firstDayOfWeek(int(type)) : -1;
    if (first < 0)
        return numberError();
    return double(weekNumber(serial, first, call.isDate1904()));
}

// The day a number of months after a date (before it when negative), the
// day of the month kept or, in a shorter month, its last day; or the last
// day of that month.
CalcValue monthsAfter(CalcCall &call, bool endOfMonth)
{
    Day start;
    double months = 0;
    if (!dayArgument(call, 0, start) || !truncatedArgument(call, 1, months, 0))
        return call.error();
    if (std::abs(months) > 120000)
        return numberError();
    const qint64 monthIndex = qint64(start.year) * 12 + start.month - 1 + qint64(months);
    const qint64 year = monthIndex / 12;
    const int month = int(monthIndex % 12) + 1;
    if (monthIndex < 0 || year > 9999)
        return numberError();
    const int lastDay = CalcDate::daysInMonth(int(year), month, call.isDate1904());
    return serialResult(year, month, endOfMonth ? lastDay : qMin(start.day, lastDay), call.isDate1904());
}

CalcValue eDate(CalcCall &call)
{
    return monthsAfter(call, false);
}

CalcValue eoMonth(CalcCall &call)
{
    return monthsAfter(call, true);
}

qint64 serialOf(int year, int month, int day, bool date1904)
{
    double serial = 0;
    CalcDate::serialOf(year, month, day, date1904, serial);
    return qint64(serial);
}

// Whole months from one day to a later one.
qint64 completeMonths(const Day &start, const Day &end)
{
    qint64 months = qint64(end.year - start.year) * 12 + end.month - start.month;
    if (end.day < start.day)
        --months;
    return months;
}

CalcValue dateDif(CalcCall &call)
{
    qint64 startSerial = 0;
    qint64 endSerial = 0;
    QString unit;
    if (!dayArgument(call, 0, startSerial) || !dayArgument(call, 1, endSerial) || !call.text(2, unit))
        return call.error();
    if (startSerial > endSerial)
        return numberError();
    const bool date1904 = call.isDate1904();
    Day start;
    Day end;
    CalcDate::dayOf(double(startSerial), date1904, start.year, start.month, start.day);
    CalcDate::dayOf(double(endSerial), date1904, end.year, end.month, end.day);

    unit = unit.toUpper();
    if (unit == QLatin1String("Y"))
        return double(completeMonths(start, end) / 12);
    if (unit == QLatin1String("M"))
        return double(completeMonths(start, end));
    if (unit == QLatin1String("D"))
        return double(endSerial - startSerial);
    if (unit == QLatin1String("YM"))
        return double(completeMonths(start, end) % 12);
    if (unit == QLatin1String("MD")) {
        if (end.day >= start.day)
            return double(end.day - start.day);
        // Counted from the start's day in the month before the end, that
        // day rolling into the end's month when the month is shorter.
        return double(endSerial - serialOf(end.year, end.month - 1, start.day, date1904));
    }
    if (unit == QLatin1String("YD")) {
        qint64 anniversary = serialOf(end.year, start.month, start.day, date1904);
        if (anniversary > endSerial)
            anniversary = serialOf(end.year - 1, start.month, start.day, date1904);
        return double(endSerial - anniversary);
    }
    return numberError();
}

// The difference of two serial numbers, times of day included.
CalcValue daysBetween(CalcCall &call)
{
    double end = 0;
    double start = 0;
    if (!serialArgument(call, 0, end) || !serialArgument(call, 1, start))
        return call.error();
    return end - start;
}

// The days of a holidays argument, sorted: the numbers of cells (other
// values there skipped), a value typed as the argument read as a date.
bool holidaysArgument(CalcCall &call, int index, std::vector<qint64> &holidays)
{
    if (call.isMissing(index))
        return true;
    const bool date1904 = call.isDate1904();
    CalcError failure = CalcError::Value;
    const bool complete = call.forEach(index, [&](const CalcValue &value, bool direct) {
        double serial = 0;
        if (value.isError()) {
            failure = value.errorValue();
            return false;
        }
        if (value.isNumber()) {
            serial = value.number();
        } else if (!direct) {
            return true;
        } else if (!value.isText() || !CalcCoercion::textToNumber(value.text(), date1904, serial)) {
            failure = CalcError::Value;
            return false;
        }
        holidays.push_back(qint64(std::floor(qBound(-1e9, serial, 1e9))));
        return true;
    });
    if (!complete) {
        call.setError(failure);
        return false;
    }
    std::sort(holidays.begin(), holidays.end());
    holidays.erase(std::unique(holidays.begin(), holidays.end()), holidays.end());
    return true;
}

// Monday to Friday from first to last, both included.
qint64 weekdaysBetween(qint64 first, qint64 last, bool date1904)
{
    const qint64 total = last - first + 1;
    qint64 count = total / 7 * 5;
    for (qint64 serial = first + total / 7 * 7; serial <= last; ++serial) {
        if (!isWeekend(serial, date1904))
            ++count;
    }
    return count;
}

CalcValue networkDays(CalcCall &call)
{
    qint64 start = 0;
    qint64 end = 0;
    std::vector<qint64> holidays;
    if (!dayArgument(call, 0, start) || !dayArgument(call, 1, end) || !holidaysArgument(call, 2, holidays))
        return call.error();
    const bool date1904 = call.isDate1904();
    const qint64 first = qMin(start, end);
    const qint64 last = qMax(start, end);
    qint64 count = weekdaysBetween(first, last, date1904);
    for (const qint64 holiday : holidays) {
        if (holiday >= first && holiday <= last && !isWeekend(holiday, date1904))
            --count;
    }
    return double(start <= end ? count : -count);
}

CalcValue workDay(CalcCall &call)
{
    qint64 serial = 0;
    double workdays = 0;
    std::vector<qint64> holidays;
    if (!dayArgument(call, 0, serial) || !truncatedArgument(call, 1, workdays, 0)
        || !holidaysArgument(call, 2, holidays))
        return call.error();
    const bool date1904 = call.isDate1904();
    const qint64 last = qint64(lastSerial(date1904));
    if (std::abs(workdays) > double(last))
        return numberError();
    const int step = workdays < 0 ? -1 : 1;
    for (qint64 remaining = qint64(std::abs(workdays)); remaining > 0;) {
        serial += step;
        if (serial < 0 || serial > last)
            return numberError();
        if (!isWeekend(serial, date1904) && !std::binary_search(holidays.begin(), holidays.end(), serial))
            --remaining;
    }
    return double(serial);
}

double serialOfNow(const QDateTime &now, bool date1904, bool withTime)
{
    const QDate date = now.date();
    double serial = 0;
    CalcDate::serialOf(date.year(), date.month(), date.day(), date1904, serial);
    if (withTime)
        serial += now.time().msecsSinceStartOfDay() / (secondsPerDay * 1000);
    return serial;
}

CalcValue today(CalcCall &call)
{
    return serialOfNow(QDateTime::currentDateTime(), call.isDate1904(), false);
}

CalcValue now(CalcCall &call)
{
    return serialOfNow(QDateTime::currentDateTime(), call.isDate1904(), true);
}

const CalcFunction dateFunctions[] = {
    { "DATE", 3, 3, "S", dateOfYearMonthDay },
    { "TIME", 3, 3, "S", timeOfDayOf },
    { "DATEVALUE", 1, 1, "S", dateValue },
    { "TIMEVALUE", 1, 1, "S", timeValue },
    { "YEAR", 1, 1, "S", yearOf },
    { "MONTH", 1, 1, "S", monthOf },
    { "DAY", 1, 1, "S", dayOfMonth },
    { "HOUR", 1, 1, "S", hourOf },
    { "MINUTE", 1, 1, "S", minuteOf },
    { "SECOND", 1, 1, "S", secondOf },
    { "WEEKDAY", 1, 2, "S", weekday },
    { "WEEKNUM", 1, 2, "S", weekNum },
    { "EDATE", 2, 2, "S", eDate },
    { "EOMONTH", 2, 2, "S", eoMonth },
    { "DATEDIF", 3, 3, "S", dateDif },
    { "DAYS", 2, 2, "S", daysBetween },
    { "NETWORKDAYS", 2, 3, "SSR", networkDays },
    { "WORKDAY", 2, 3, "SSR", workDay },
    { "TODAY", 0, 0, "S", today },
    { "NOW", 0, 0, "S", now },
};

} // namespace

CalcFunctionTable calcDateFunctions()
{
    return { dateFunctions, int(std::size(dateFunctions)) };
}

} // namespace Spreadsheet
