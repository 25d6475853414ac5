#ifndef SPREADSHEET_NUMBERFORMATTER_P_H
#define SPREADSHEET_NUMBERFORMATTER_P_H

#include <QString>

namespace Spreadsheet {

// A value as a cell shows it under a number format code, the way
// spreadsheet programs display it in English (United States): "General",
// digits and grouping ("0.00", "#,##0"), percentages, scientific notation,
// fractions, dates and times ("yyyy-mm-dd hh:mm:ss", "[h]:mm", "AM/PM"),
// up to four sections ("positive;negative;zero;text") with conditions
// ("[<10]"), literal texts ("\"kg\"", "\\x"), colours ("[Red]", dropped),
// "_x" (a space) and "*x" (dropped) and "@" for the text.
class NumberFormatter
{
public:
    // The number as the code shows it; ok (when given) is false, and the
    // result empty, for a code that spreadsheet programs refuse.
    static QString formatNumber(double value, const QString &code, bool date1904 = false, bool *ok = nullptr);
    // A text as the code's text section shows it; the text itself when the
    // code has none.
    static QString formatText(const QString &text, const QString &code, bool *ok = nullptr);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_NUMBERFORMATTER_P_H
