#ifndef SPREADSHEET_SHEETPROTECTION_H
#define SPREADSHEET_SHEETPROTECTION_H

//! \file sheetprotection.h
//! What a protected worksheet still allows, and its password.

#include <QFlags>
#include <QSharedDataPointer>
#include <QString>

namespace Spreadsheet {

class SheetProtectionData;

/*!
  What a protected worksheet still lets its users do, and its password.

  A protected sheet refuses changes to its locked cells (every cell is
  locked unless its Format says otherwise, see Format::setLocked()) and the
  actions not allowed here. By default users may only select cells, as
  spreadsheet programs offer when a sheet is protected.

  \code
  Spreadsheet::Format input;
  input.setLocked(false);                        // the cells users may still type in
  sheet->writeBlank(2, 2, input);
  Spreadsheet::SheetProtection options;
  options.setAllowed(Spreadsheet::SheetProtection::Sort);
  sheet->protect(QStringLiteral("lab"), options);
  \endcode

  \sa Worksheet::protect()
*/
class SheetProtection
{
public:
    //! An action that a protected sheet may allow.
    enum Action {
        SelectLockedCells = 0x1,      //!< Selecting locked cells.
        SelectUnlockedCells = 0x2,    //!< Selecting unlocked cells.
        FormatCells = 0x4,            //!< Changing the formats of cells.
        FormatColumns = 0x8,          //!< Changing column widths, hiding columns.
        FormatRows = 0x10,            //!< Changing row heights, hiding rows.
        InsertColumns = 0x20,         //!< Inserting columns.
        InsertRows = 0x40,            //!< Inserting rows.
        InsertHyperlinks = 0x80,      //!< Adding links to unlocked cells.
        DeleteColumns = 0x100,        //!< Deleting columns.
        DeleteRows = 0x200,           //!< Deleting rows.
        Sort = 0x400,                 //!< Sorting.
        AutoFilter = 0x800,           //!< Using the filter buttons.
        PivotTables = 0x1000,         //!< Using pivot tables.
        EditObjects = 0x2000,         //!< Changing pictures, charts and other objects.
        EditScenarios = 0x4000,       //!< Changing scenarios.
    };
    //! A set of actions.
    Q_DECLARE_FLAGS(Actions, Action)

    //! Options that allow selecting cells and nothing else, without a password.
    SheetProtection();
    //! Makes a copy (shared until either changes).
    SheetProtection(const SheetProtection &other);
    //! Makes this a copy of \a other.
    SheetProtection &operator=(const SheetProtection &other);
    ~SheetProtection();

    //! The actions allowed on the protected sheet.
    Actions allowedActions() const;
    //! Sets the actions allowed on the protected sheet.
    void setAllowedActions(Actions actions);
    //! Whether the protected sheet allows \a action.
    bool isAllowed(Action action) const;
    //! Allows \a action on the protected sheet, or forbids it when \a allowed is false.
    void setAllowed(Action action, bool allowed = true);

    //! Whether taking the protection away in a spreadsheet program asks for a password.
    bool hasPassword() const;
    /*!
      Whether \a password is the sheet's password; true for any password of
      a sheet without one. The password itself is never stored, only a hash
      of it, so it cannot be read back. Checking takes as long as the hash's
      rounds: some 50 milliseconds for the 100,000 of protect(), seconds for
      a loaded hash of millions; a hash of more than 10,000,000 rounds
      matches no password.
    */
    bool isPassword(const QString &password) const;

private:
    friend class SheetProtectionData;
    QSharedDataPointer<SheetProtectionData> d;
};

} // namespace Spreadsheet

Q_DECLARE_OPERATORS_FOR_FLAGS(Spreadsheet::SheetProtection::Actions)

#endif // SPREADSHEET_SHEETPROTECTION_H
