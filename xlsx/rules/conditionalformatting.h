#ifndef SPREADSHEET_CONDITIONALFORMATTING_H
#define SPREADSHEET_CONDITIONALFORMATTING_H

//! \file conditionalformatting.h
//! Conditional formats: ConditionalFormatting, ConditionalFormatRule, ConditionalThreshold.

#include "cellarea.h"
#include "format.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace Spreadsheet {

//! A limit of a colour scale, data bar or icon set: the lowest or highest
//! value of the range, a number, a percent, a percentile or a formula's value.
//!
//! \code
//! Spreadsheet::ConditionalFormatRule scale;
//! scale.type = Spreadsheet::ConditionalFormatRule::ColorScale;
//! scale.thresholds = { { Spreadsheet::ConditionalThreshold::Number, QStringLiteral("0"), Qt::white },
//!                      { Spreadsheet::ConditionalThreshold::Number, QStringLiteral("1"), Qt::red } };
//! \endcode
struct ConditionalThreshold
{
    //! What the limit is.
    enum Kind { Lowest, Highest, Number, Percent, Percentile, Formula };
    //! \var Lowest
    //! The lowest value of the range.
    //! \var Highest
    //! The highest value of the range.
    //! \var Number
    //! The number value gives.
    //! \var Percent
    //! The percent of the way from the lowest to the highest value that value gives (0 to 100).
    //! \var Percentile
    //! The percentile of the range's values that value gives (0 to 100).
    //! \var Formula
    //! The value of the formula value gives, without "=".

    //! What the limit is.
    Kind kind = Lowest;
    QString value;   //!< For the kinds but Lowest and Highest: a number, or a formula without "=".
    QColor color;    //!< A colour scale's colour at this limit; invalid: white.
};

//! One rule of a conditional format. Highlight rules (all but the scales,
//! bars and icons) give their cells the format, which goes to the style
//! table's differential formats. Formulas are written without "=", relative
//! to the top-left cell of the first range.
//!
//! Each type reads its own fields: CellValue op and formulas, Expression
//! formulas, the text rules text, Top and Bottom rank and percent, the
//! averages equalAverage, TimePeriod period, ColorScale thresholds, DataBar
//! thresholds, barColor and showValue, IconSet thresholds, icons,
//! reverseIcons and showValue.
//!
//! \code
//! Spreadsheet::ConditionalFormatRule high;
//! high.type = Spreadsheet::ConditionalFormatRule::CellValue;
//! high.op = Spreadsheet::ConditionalFormatRule::Between;
//! high.formulas << QStringLiteral("0.8") << QStringLiteral("$B$1");
//! high.format.setPatternBackgroundColor(QColor(255, 199, 206));
//!
//! Spreadsheet::ConditionalFormatRule late;
//! late.type = Spreadsheet::ConditionalFormatRule::Expression;
//! late.formulas << QStringLiteral("$E2>TODAY()");               // relative to the first range's top-left cell
//! late.format.setFontBold(true);
//!
//! Spreadsheet::ConditionalFormatRule bars;
//! bars.type = Spreadsheet::ConditionalFormatRule::DataBar;
//! bars.barColor = QColor(99, 142, 198);
//!
//! sheet->addConditionalFormatting({ { Spreadsheet::CellArea(2, 3, 40, 3) }, { high, late, bars } });
//! \endcode
struct ConditionalFormatRule
{
    //! What the rule tests, or draws.
    enum Type {
        CellValue, Expression, ContainsText, NotContainsText, BeginsWith, EndsWith, Top, Bottom,
        AboveAverage, BelowAverage, DuplicateValues, UniqueValues, Blanks, NoBlanks, Errors, NoErrors,
        TimePeriod, ColorScale, DataBar, IconSet
    };
    //! \var CellValue
    //! The cell's value compared by op with one or two formulas.
    //! \var Expression
    //! A formula of its own that is true for the cells to format.
    //! \var ContainsText
    //! The cell's text contains text, in any letter case.
    //! \var NotContainsText
    //! The cell's text does not contain text.
    //! \var BeginsWith
    //! The cell's text begins with text.
    //! \var EndsWith
    //! The cell's text ends with text.
    //! \var Top
    //! The rank highest values of the range (or rank percent of them).
    //! \var Bottom
    //! The rank lowest values of the range (or rank percent of them).
    //! \var AboveAverage
    //! Values above the range's average.
    //! \var BelowAverage
    //! Values below the range's average.
    //! \var DuplicateValues
    //! Values that occur more than once in the range.
    //! \var UniqueValues
    //! Values that occur once in the range.
    //! \var Blanks
    //! Cells that are empty or hold only spaces.
    //! \var NoBlanks
    //! Cells that hold more than spaces.
    //! \var Errors
    //! Cells that hold an error value.
    //! \var NoErrors
    //! Cells that hold no error value.
    //! \var TimePeriod
    //! Dates within period, counted from today.
    //! \var ColorScale
    //! A fill colour from the thresholds' colours, by the cell's place among them.
    //! \var DataBar
    //! A bar as long as the value's place between the thresholds.
    //! \var IconSet
    //! An icon of a set by the value's place among the thresholds.

    //! How a CellValue rule compares.
    enum Operator { Between, NotBetween, Equal, NotEqual, Greater, Less, GreaterOrEqual, LessOrEqual };
    //! \var Between
    //! From the first formula to the second, both included.
    //! \var NotBetween
    //! Below the first formula or above the second.
    //! \var Equal
    //! Equal to the formula.
    //! \var NotEqual
    //! Not equal to the formula.
    //! \var Greater
    //! Greater than the formula.
    //! \var Less
    //! Less than the formula.
    //! \var GreaterOrEqual
    //! Greater than or equal to the formula.
    //! \var LessOrEqual
    //! Less than or equal to the formula.

    //! The dates of a TimePeriod rule.
    enum Period { Today, Yesterday, Tomorrow, Last7Days, ThisWeek, LastWeek, NextWeek, ThisMonth, LastMonth, NextMonth };
    //! \var Today
    //! Today.
    //! \var Yesterday
    //! Yesterday.
    //! \var Tomorrow
    //! Tomorrow.
    //! \var Last7Days
    //! Today and the six days before.
    //! \var ThisWeek
    //! The week of today, Sunday to Saturday.
    //! \var LastWeek
    //! The week before.
    //! \var NextWeek
    //! The week after.
    //! \var ThisMonth
    //! The month of today.
    //! \var LastMonth
    //! The month before.
    //! \var NextMonth
    //! The month after.

    //! The icon sets, by the number of icons and their look.
    enum Icons {
        ThreeArrows, ThreeArrowsGray, ThreeFlags, ThreeTrafficLights1, ThreeTrafficLights2, ThreeSigns, ThreeSymbols,
        ThreeSymbols2, FourArrows, FourArrowsGray, FourRedToBlack, FourRating, FourTrafficLights, FiveArrows,
        FiveArrowsGray, FiveRating, FiveQuarters
    };
    //! \var ThreeArrows
    //! Three coloured arrows.
    //! \var ThreeArrowsGray
    //! Three grey arrows.
    //! \var ThreeFlags
    //! Three flags.
    //! \var ThreeTrafficLights1
    //! Three traffic lights without a rim.
    //! \var ThreeTrafficLights2
    //! Three traffic lights with a rim.
    //! \var ThreeSigns
    //! Three signs.
    //! \var ThreeSymbols
    //! Three circled symbols.
    //! \var ThreeSymbols2
    //! Three symbols without circles.
    //! \var FourArrows
    //! Four coloured arrows.
    //! \var FourArrowsGray
    //! Four grey arrows.
    //! \var FourRedToBlack
    //! Four circles from red to black.
    //! \var FourRating
    //! Four rating bars.
    //! \var FourTrafficLights
    //! Four traffic lights.
    //! \var FiveArrows
    //! Five coloured arrows.
    //! \var FiveArrowsGray
    //! Five grey arrows.
    //! \var FiveRating
    //! Five rating bars.
    //! \var FiveQuarters
    //! Five quarters of a circle.

    //! What the rule tests, or draws.
    Type type = CellValue;
    //! How a CellValue rule compares.
    Operator op = Greater;
    QStringList formulas;    //!< CellValue: one bound, two for Between and NotBetween; Expression: one.
    QString text;            //!< The text of the ContainsText, NotContainsText, BeginsWith and EndsWith rules.
    int rank = 10;           //!< Top and Bottom: how many, or what percent (1 to 1000).
    //! Whether the rank of a Top or Bottom rule is a percent of the range's cells.
    bool percent = false;
    bool equalAverage = false;   //!< AboveAverage and BelowAverage count the average in.
    //! The dates of a TimePeriod rule.
    Period period = Today;
    QList<ConditionalThreshold> thresholds;   //!< Empty: the usual ones of the kind (a colour scale from red through yellow at the 50th percentile to green; a data bar from the lowest to the highest value; an icon set in equal percent steps).
    QColor barColor;         //!< A data bar's; invalid: blue.
    //! The icon set of an IconSet rule.
    Icons icons = ThreeArrows;
    //! Whether an icon set runs the other way, its last icon for the lowest values.
    bool reverseIcons = false;
    bool showValue = true;   //!< False: bars or icons only.
    //! The format a highlight rule gives its cells (font, border, fill, number format).
    Format format;
    //! Whether the rules of lower priority are not applied to a cell this rule formats.
    bool stopIfTrue = false;
    int priority = 0;        //!< 0: after every rule the sheet has; 1 is applied first.

    //! The number of icons of a set (3, 4 or 5).
    static int iconCount(Icons icons);
};

//! Rules over one or more ranges.
//!
//! \code
//! Spreadsheet::ConditionalFormatting formatting;
//! formatting.ranges << Spreadsheet::CellArea(2, 3, 40, 3) << Spreadsheet::CellArea(2, 5, 40, 5);
//! formatting.rules << high;
//! document.addConditionalFormatting(formatting);
//! \endcode
//! \sa Worksheet::addConditionalFormatting()
struct ConditionalFormatting
{
    //! The ranges the rules format; formulas are relative to the first one's top-left cell.
    QList<CellArea> ranges;
    //! The rules, applied by their priority.
    QList<ConditionalFormatRule> rules;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CONDITIONALFORMATTING_H
