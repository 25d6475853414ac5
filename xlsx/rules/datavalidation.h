#ifndef SPREADSHEET_DATAVALIDATION_H
#define SPREADSHEET_DATAVALIDATION_H

#include "cellarea.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Spreadsheet {

// What cells of one or more ranges accept, and what the spreadsheet program
// says while one is typed in and when a value is refused. Formulas are
// written without "=" ("10", "$A$1", "TODAY()").
struct DataValidation
{
    enum Type { Any, Whole, Decimal, List, Date, Time, TextLength, Custom };
    enum Operator { Between, NotBetween, Equal, NotEqual, Greater, Less, GreaterOrEqual, LessOrEqual };
    enum ErrorStyle { Stop, Warning, Information };

    Type type = Any;
    Operator op = Between;
    QString formula1;   // a list: its values (see setListValues) or a range
    QString formula2;   // the upper bound of Between and NotBetween
    QList<CellArea> ranges;
    bool allowBlank = true;
    bool dropDownShown = true;   // a list's in-cell drop-down
    QString inputTitle;
    QString inputMessage;
    bool inputMessageShown = true;
    ErrorStyle errorStyle = Stop;
    QString errorTitle;
    QString errorMessage;
    bool errorMessageShown = true;

    // A list of values written in the rule itself ("\"Oil,Wine\""); values
    // hold no comma or quote, at most 255 characters in all.
    bool setListValues(const QStringList &values);
    // The values of such a list; empty for a list that is a range.
    QStringList listValues() const;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DATAVALIDATION_H
