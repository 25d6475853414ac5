#ifndef SPREADSHEET_CONDITIONALFORMATTING_H
#define SPREADSHEET_CONDITIONALFORMATTING_H

#include "cellarea.h"
#include "format.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace Spreadsheet {

// A limit of a colour scale, data bar or icon set: the lowest or highest
// value of the range, a number, a percent, a percentile or a formula's value.
struct ConditionalThreshold
{
    enum Kind { Lowest, Highest, Number, Percent, Percentile, Formula };

    Kind kind = Lowest;
    QString value;   // for the kinds but Lowest and Highest
    QColor color;    // a colour scale's colour at this limit
};

// One rule of a conditional format. Highlight rules (all but the scales,
// bars and icons) give their cells the format, which goes to the style
// table's differential formats. Formulas are written without "=", relative
// to the top-left cell of the first range.
struct ConditionalFormatRule
{
    enum Type {
        CellValue, Expression, ContainsText, NotContainsText, BeginsWith, EndsWith, Top, Bottom,
        AboveAverage, BelowAverage, DuplicateValues, UniqueValues, Blanks, NoBlanks, Errors, NoErrors,
        TimePeriod, ColorScale, DataBar, IconSet
    };
    enum Operator { Between, NotBetween, Equal, NotEqual, Greater, Less, GreaterOrEqual, LessOrEqual };
    enum Period { Today, Yesterday, Tomorrow, Last7Days, ThisWeek, LastWeek, NextWeek, ThisMonth, LastMonth, NextMonth };
    enum Icons {
        ThreeArrows, ThreeArrowsGray, ThreeFlags, ThreeTrafficLights1, ThreeTrafficLights2, ThreeSigns, ThreeSymbols,
        ThreeSymbols2, FourArrows, FourArrowsGray, FourRedToBlack, FourRating, FourTrafficLights, FiveArrows,
        FiveArrowsGray, FiveRating, FiveQuarters
    };

    Type type = CellValue;
    Operator op = Greater;
    QStringList formulas;    // CellValue: one bound, two for Between and NotBetween; Expression: one
    QString text;            // the *Text, BeginsWith and EndsWith rules
    int rank = 10;           // Top and Bottom: how many, or what percent
    bool percent = false;
    bool equalAverage = false;   // AboveAverage and BelowAverage count the average in
    Period period = Today;
    QList<ConditionalThreshold> thresholds;   // empty: the usual ones of the kind
    QColor barColor;         // a data bar's; invalid: blue
    Icons icons = ThreeArrows;
    bool reverseIcons = false;
    bool showValue = true;   // false: bars or icons only
    Format format;
    bool stopIfTrue = false;
    int priority = 0;        // 0: after every rule the sheet has

    // The number of icons of a set (3, 4 or 5).
    static int iconCount(Icons icons);
};

// Rules over one or more ranges.
struct ConditionalFormatting
{
    QList<CellArea> ranges;
    QList<ConditionalFormatRule> rules;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CONDITIONALFORMATTING_H
