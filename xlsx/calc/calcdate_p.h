#ifndef SPREADSHEET_CALCDATE_P_H
#define SPREADSHEET_CALCDATE_P_H

#include <QString>

namespace Spreadsheet {

// Dates as serial day numbers, counted as spreadsheet programs count them:
// in the 1900 system 1 is 1900-01-01, 60 the fictitious 1900-02-29 and 61
// 1900-03-01 (0 is "1900-01-00"); in the 1904 system 0 is 1904-01-01. The
// fraction of a serial number is the time of day. Plain calendar
// arithmetic: no time zone takes part.
namespace CalcDate {

// The serial number of a day; month and day outside their ranges roll
// over as DATE rolls them (month 13 is January of the next year, day 0 the
// last day of the month before). False for a day before the system's
// first or after 9999-12-31.
bool serialOf(int year, int month, int day, bool date1904, double &serial);
// The day of a serial number (its integer part); false for a negative one
// or one past 9999-12-31. The 1900 system's 60 gives 1900-02-29, its 0
// gives 1900-01-00.
bool dayOf(double serial, bool date1904, int &year, int &month, int &day);
// Days since 1970-01-01 of a civil date, for arithmetic between days.
qint64 civilDays(int year, int month, int day);
// Days of a month as the system counts them: the 1900 system gives
// February 1900 a 29th day.
int daysInMonth(int year, int month, bool date1904);

// A text that reads as a date, a time or both, as DATEVALUE and
// arithmetic read it in English (United States): "2024-03-01",
// "3/1/2024", "3/1" (this year), "1-Mar-2024", "1 March 2024",
// "March 1, 2024", "12:30", "12:30:15.5", "1:30 PM", "2024-03-01 12:30".
bool parseDateTime(const QString &text, bool date1904, double &serial);

} // namespace CalcDate

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCDATE_P_H
