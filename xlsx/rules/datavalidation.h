#ifndef SPREADSHEET_DATAVALIDATION_H
#define SPREADSHEET_DATAVALIDATION_H

//! \file datavalidation.h
//! What cells accept: DataValidation.

#include "cellarea.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Spreadsheet {

//! What cells of one or more ranges accept, and what the spreadsheet program
//! says while one is typed in and when a value is refused. Formulas are
//! written without "=" ("10", "$A$1", "TODAY()").
//!
//! Spreadsheet programs check the values people type; the library stores
//! the rule and does not check the values it writes.
//!
//! \code
//! Spreadsheet::DataValidation matrix;
//! matrix.setListValues({ QStringLiteral("Oil"), QStringLiteral("Wine") });   // a drop-down in each cell
//! matrix.ranges << Spreadsheet::CellArea(2, 1, 40, 1);
//! document.addDataValidation(matrix);
//!
//! Spreadsheet::DataValidation acidity;
//! acidity.type = Spreadsheet::DataValidation::Decimal;
//! acidity.op = Spreadsheet::DataValidation::Between;
//! acidity.formula1 = QStringLiteral("0");
//! acidity.formula2 = QStringLiteral("$H$1");
//! acidity.ranges << Spreadsheet::CellArea(2, 3, 40, 3);
//! acidity.errorTitle = QStringLiteral("Acidity");
//! acidity.errorMessage = QStringLiteral("From 0 to the limit in H1");
//! document.addDataValidation(acidity);
//! \endcode
//! \sa Worksheet::addDataValidation()
struct DataValidation
{
    //! What the cells accept.
    enum Type { Any, Whole, Decimal, List, Date, Time, TextLength, Custom };
    //! \var Any
    //! Any value; the rule only shows its input message.
    //! \var Whole
    //! Whole numbers compared by op.
    //! \var Decimal
    //! Numbers compared by op.
    //! \var List
    //! One of the values of a list (formula1).
    //! \var Date
    //! Dates compared by op.
    //! \var Time
    //! Times compared by op.
    //! \var TextLength
    //! Texts whose length is compared by op.
    //! \var Custom
    //! Values for which the formula formula1 is true.

    //! How a value is compared with formula1 (and formula2).
    enum Operator { Between, NotBetween, Equal, NotEqual, Greater, Less, GreaterOrEqual, LessOrEqual };
    //! \var Between
    //! From formula1 to formula2, both included.
    //! \var NotBetween
    //! Below formula1 or above formula2.
    //! \var Equal
    //! Equal to formula1.
    //! \var NotEqual
    //! Not equal to formula1.
    //! \var Greater
    //! Greater than formula1.
    //! \var Less
    //! Less than formula1.
    //! \var GreaterOrEqual
    //! Greater than or equal to formula1.
    //! \var LessOrEqual
    //! Less than or equal to formula1.

    //! What the spreadsheet program does with a value the rule refuses.
    enum ErrorStyle { Stop, Warning, Information };
    //! \var Stop
    //! Refuses it.
    //! \var Warning
    //! Warns and asks whether to keep it.
    //! \var Information
    //! Tells and keeps it.

    //! What the cells accept.
    Type type = Any;
    //! How a value is compared.
    Operator op = Between;
    QString formula1;   //!< A list: its values (see setListValues) or a range; otherwise the bound or the formula.
    QString formula2;   //!< The upper bound of Between and NotBetween.
    //! The cells the rule applies to; at least one range, inside the sheet.
    QList<CellArea> ranges;
    //! Whether empty cells are accepted.
    bool allowBlank = true;
    bool dropDownShown = true;   //!< A list's in-cell drop-down.
    //! The title of the message shown while a cell is selected.
    QString inputTitle;
    //! The message shown while a cell is selected; none when empty.
    QString inputMessage;
    //! Whether the input message shows.
    bool inputMessageShown = true;
    //! What happens to a refused value.
    ErrorStyle errorStyle = Stop;
    //! The title of the message shown for a refused value.
    QString errorTitle;
    //! The message shown for a refused value; the spreadsheet program's own when empty.
    QString errorMessage;
    //! Whether refused values are reported at all.
    bool errorMessageShown = true;

    //! A list of values written in the rule itself (`"Oil,Wine"`); values
    //! hold no comma or quote, at most 255 characters in all.
    //! Makes the rule a List. False, changing nothing, for no values, a value
    //! with a comma or a quote, or more than 255 characters.
    bool setListValues(const QStringList &values);
    //! The values of such a list; empty for a list that is a range.
    //! Empty too for a rule that is no List.
    QStringList listValues() const;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DATAVALIDATION_H
