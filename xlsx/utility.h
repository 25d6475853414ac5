#ifndef SPREADSHEET_UTILITY_H
#define SPREADSHEET_UTILITY_H

#include <QDateTime>
#include <QString>
#include <QStringList>

//! \file utility.h
//! Helpers the library's parts share and other programs may use: dates as
//! serial numbers, sheet names in formulas, the text rules of the file
//! format's XML.

namespace Spreadsheet {

//! Reads an XML boolean: "1"/"true" and "0"/"false" (exactly); anything else
//! gives defaultValue.
bool readXmlBool(const QString &text, bool defaultValue);

//! The path of a part's relationship file: "xl/workbook.xml" gives
//! "xl/_rels/workbook.xml.rels"; a path without "/" gives the empty string.
QString relationshipPartPath(const QString &partPath);
//! A part path split at its last "/" into (directory, file name): "xl/workbook.xml"
//! gives ("xl", "workbook.xml"); (".", path) for a path without "/".
QStringList splitPartPath(const QString &path);

//! The spreadsheet serial number of a date-time: days since the epoch (the
//! last day of 1899, or 1 January 1904 when is1904) of the local wall-clock
//! date, the fraction being the local time of day; a date-time in another
//! zone is taken in the local zone first. The 1900 system counts the
//! fictitious 29 February 1900, so 1 March 1900 is 61.
//!
//! \code
//! Spreadsheet::dateTimeToSerial(QDateTime(QDate(2024, 1, 1), QTime(12, 0)));   // 45292.5
//! \endcode
double dateTimeToSerial(const QDateTime &dateTime, bool is1904 = false);
//! The serial number of a time of day: the fraction of a day since midnight
//! (0.5 for noon); 0 for an invalid time.
double timeToSerial(const QTime &time);
//! The date and time a workbook shows for a serial number, the same in every
//! zone: in the local zone, or in UTC where the local zone skips that
//! wall-clock time (the hour its clocks go forward), so that it stays valid.
//! Rounded to the millisecond. Invalid for a serial number too large to be a
//! date (10 million days or more either way) and for one that is not a number.
QDateTime serialToDateTime(double serial, bool is1904 = false);
//! The serial number of a wall-clock date and time, whatever the local zone.
double wallClockToSerial(const QDate &date, const QTime &time, bool is1904 = false);
//! A wall-clock date and time as serialToDateTime() gives it: in the local
//! zone, or in UTC where the local zone skips that time.
QDateTime wallClockDateTime(const QDate &date, const QTime &time);
//! Whether spreadsheet programs show the number as a date: from the epoch
//! (0) to the end of 31 December 9999.
bool isDateSerial(double serial, bool is1904 = false);
//! The date and time of a serial number as ISO 8601 text without a zone
//! ("2021-03-28T02:30:00", milliseconds only when there are some), as
//! workbooks write dates; the empty string where serialToDateTime() gives an
//! invalid date-time.
QString serialToIsoText(double serial, bool is1904 = false);

//! The sheet name quoted where formulas need it.
//!
//! A sheet name as formulas and defined names need it: quoted, with doubled
//! apostrophes, when it holds anything but letters, digits, "_" and ".",
//! begins with a digit, or reads as a cell, a row-and-column reference or a
//! boolean ("A1", "R2C3", "TRUE"), which formulas would take it for.
//!
//! \code
//! Spreadsheet::quoteSheetName(QStringLiteral("Results"));        // Results
//! Spreadsheet::quoteSheetName(QStringLiteral("Lab data"));       // 'Lab data'
//! Spreadsheet::quoteSheetName(QStringLiteral("Maria's"));        // 'Maria''s'
//! \endcode
QString quoteSheetName(const QString &name);
//! The name inside a quoted sheet name, with doubled apostrophes made single
//! again: the reverse of quoteSheetName() for a name it quoted. A name
//! that is not quoted comes back as it is.
QString unquoteSheetName(const QString &name);
//! A name the file format accepts: no / \ ? * [ ] :, no apostrophe at either
//! end, at most 31 UTF-16 units (never half a character); empty stays empty.
//! Forbidden characters and control characters become spaces, and a name in
//! quotes ("'Lab data'") loses them first.
QString sanitizeSheetName(const QString &proposal);

//! The first length UTF-16 units of the text, one less when the cut would
//! split a surrogate pair; the whole text when it is no longer.
QString leftWholeCharacters(const QString &text, int length);

//! Whether the text begins or ends with white space (space, tab, line feed,
//! carriage return) that XML readers would otherwise drop.
bool needsSpacePreserve(const QString &text);

//! The text with what XML cannot hold replaced.
//!
//! The text with every character that XML 1.0 cannot hold (control
//! characters but tab, line feed and carriage return; U+FFFE, U+FFFF; halves
//! of surrogate pairs standing alone) replaced by U+FFFD, for names, codes,
//! formulas and addresses, which the file format offers no escape for.
QString validXmlText(const QString &text);

//! Cell text escaped as the file format stores it.
//!
//! Cell text as the file format stores it in XML: characters that XML 1.0
//! cannot hold (unpaired surrogates included), and the carriage return that XML
//! readers would turn into a line feed, become `_xHHHH_`; an underscore that would read as the start of
//! such an escape becomes `_x005F_`.
//!
//! \code
//! Spreadsheet::escapeCellText(QStringLiteral("a\rb"));   // "a_x000D_b"
//! \endcode
QString escapeCellText(const QString &text);
//! Cell text as the file format stores it, with every `_xHHHH_` escape turned
//! back into its character: the reverse of escapeCellText().
QString unescapeCellText(const QString &text);

} // namespace Spreadsheet

#endif // SPREADSHEET_UTILITY_H
