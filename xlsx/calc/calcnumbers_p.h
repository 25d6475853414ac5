#ifndef SPREADSHEET_CALCNUMBERS_P_H
#define SPREADSHEET_CALCNUMBERS_P_H

#include "calcevaluator_p.h"
#include "calcfunction_p.h"

namespace Spreadsheet {

namespace CalcNumbers {

// How functions over ranges read what is not a number.
enum Mode {
    NumbersOnly,      // SUM, AVERAGE: texts and booleans of ranges skipped
    TextsAsZero       // AVERAGEA, MINA, MAXA: texts of ranges 0, booleans 1 and 0
};

// Visits the numbers of the arguments first to last as SUM reads them:
// numbers of ranges and arrays (other values skipped, or counted as the
// mode says), values typed as arguments coerced (a text that reads as no
// number is #VALUE!). The first error stops it and is the result; else
// the result is blank.
template <typename Visit>
CalcValue forEachNumber(CalcCall &call, int first, int last, Mode mode, Visit visit)
{
    CalcValue failure;
    for (int i = first; i <= last && i < call.count(); ++i) {
        if (call.isMissing(i) && mode == NumbersOnly)
            continue;
        call.forEach(i, [&](const CalcValue &value, bool direct) {
            switch (value.type()) {
            case CalcValue::Number:
                visit(value.number());
                return true;
            case CalcValue::Error:
                failure = value;
                return false;
            case CalcValue::Boolean:
                if (direct || mode == TextsAsZero)
                    visit(value.booleanValue() ? 1.0 : 0.0);
                return true;
            case CalcValue::Text:
                if (direct) {
                    const CalcValue number = CalcOperators::toNumber(value, call.isDate1904());
                    if (number.isError()) {
                        failure = number;
                        return false;
                    }
                    visit(number.number());
                } else if (mode == TextsAsZero) {
                    visit(0.0);
                }
                return true;
            case CalcValue::Blank:
                if (direct)
                    visit(0.0);
                return true;
            default:
                return true;
            }
        });
        if (failure.isError())
            return failure;
    }
    return CalcValue();
}

inline CalcValue collect(CalcCall &call, int first, int last, Mode mode, std::vector<double> &numbers)
{
    return forEachNumber(call, first, last, mode, [&numbers](double number) { numbers.push_back(number); });
}

} // namespace CalcNumbers

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCNUMBERS_P_H
