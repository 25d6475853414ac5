#ifndef SPREADSHEET_WORKBOOK_H
#define SPREADSHEET_WORKBOOK_H

//! \file workbook.h
//! The sheets, names, styles and switches of a whole spreadsheet: Workbook.

#include "abstractooxmlfile.h"
#include "abstractsheet.h"
#include "definedname.h"

#include <QSharedPointer>
#include <QStringList>

class QXmlStreamWriter;

namespace Spreadsheet {

class SharedStrings;
class Styles;
class Theme;
class GridEdit;
class Worksheet;
class WorkbookPrivate;

//! Everything that belongs to the whole spreadsheet: the sheets in order with
//! their names, the shared strings, the style table, the theme, defined names
//! and the switches that steer how worksheets read values; "xl/workbook.xml".
//!
//! A Document owns its workbook (Document::workbook()). Sheets are found by
//! their 0-based index in the workbook's order; their names are unique
//! whatever their letter case. The workbook always has an active sheet once
//! it has sheets: the one a spreadsheet program opens with, and the one the
//! Document's cell calls go to.
//!
//! \code
//! Spreadsheet::Workbook *book = document.workbook();
//! book->addSheet(QStringLiteral("Limits"));                  // now the active sheet
//! book->renameSheet(0, QStringLiteral("Results 2026"));      // formulas follow
//! book->defineName(QStringLiteral("Acidity"), QStringLiteral("'Results 2026'!$C$2:$C$40"));
//! for (int i = 0; i < book->sheetCount(); ++i)
//!     qDebug() << book->sheet(i)->sheetName();
//! \endcode
class Workbook : public AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(Workbook)

public:
    //! A workbook without sheets, with its own shared strings, style table
    //! and theme; a Document makes its own.
    explicit Workbook(CreationMode mode);
    //! Destroys the workbook and its sheets.
    ~Workbook() override;

    //! The number of sheets of every kind.
    int sheetCount() const;
    //! The sheet at a 0-based index; null for an index outside the workbook.
    AbstractSheet *sheet(int index) const;
    //! The sheets' names in the workbook's order.
    QStringList sheetNames() const;
    //! Appends a sheet and makes it the active sheet, as insertSheet() does.
    //! The new sheet, or null when the name is taken or the type unsupported.
    AbstractSheet *addSheet(const QString &name = QString(), AbstractSheet::SheetType type = AbstractSheet::WorkSheet);
    //! Inserts a worksheet or a chart sheet at a 0-based index (clamped to
    //! the workbook's ends) and makes it the active sheet. The name is made
    //! one the file format accepts (sanitizeSheetName()); an empty name gives
    //! the next free "Sheet1", "Sheet2", ... ("Chart1", ... for a chart sheet).
    //! Null, adding nothing, when another sheet has the name in any letter
    //! case, or for a dialog or macro sheet.
    AbstractSheet *insertSheet(int index, const QString &name = QString(),
                               AbstractSheet::SheetType type = AbstractSheet::WorkSheet);
    //! Renames the sheet at an index, the name made acceptable as
    //! insertSheet() does; every formula, defined name, chart series and link
    //! that names the sheet names it anew, quoted where it must be. False,
    //! changing nothing, for an index outside the workbook, an empty name, or
    //! a name another sheet has in any letter case.
    bool renameSheet(int index, const QString &name);
    //! Deletes the sheet at an index with its parts and the names of its own;
    //! references to it become `#REF!`. The active sheet stays the same sheet
    //! or, when it is the one deleted, becomes its nearest visible neighbour.
    //! False, changing nothing, for an index outside the workbook, the only
    //! sheet, or the last visible one.
    bool deleteSheet(int index);
    //! Moves the sheet at fromIndex to toIndex (clamped to the workbook's
    //! ends); the active sheet stays the same sheet. False for a fromIndex
    //! outside the workbook, or when the sheet would stay where it is.
    bool moveSheet(int fromIndex, int toIndex);
    //! Appends a copy of the sheet at an index (its cells, settings, rules,
    //! notes, pictures and charts) under newName or, when that is empty, the
    //! next free "Name(2)", "Name(3)", .... The copy does not become active.
    //! False for an index outside the workbook, a name another sheet has, or
    //! a sheet kept as it was loaded (a loaded chart sheet, a dialog or macro
    //! sheet).
    bool copySheet(int index, const QString &newName = QString());
    //! The active sheet; an empty workbook first gets one ("Sheet1").
    AbstractSheet *activeSheet();
    //! Makes the sheet at an index the active sheet; false for an index
    //! outside the workbook.
    bool setActiveSheet(int index);
    //! The 0-based index of the active sheet; 0 for an empty workbook.
    int activeSheetIndex() const;

    //! A name for a formula, for the whole workbook (scope -1) or one sheet id;
    //! it replaces a name of the same scope that differs only in letter case.
    //! A leading "=" of the formula is dropped. False, defining nothing, for
    //! an empty name or formula, or the name of a table; neither is checked
    //! further.
    //!
    //! \code
    //! book->defineName(QStringLiteral("Limit"), QStringLiteral("Limits!$B$2"));
    //! book->defineName(QStringLiteral("Local"), QStringLiteral("$A$1"), QString(), book->sheet(0)->sheetId());
    //! \endcode
    bool defineName(const QString &name, const QString &formula, const QString &comment = QString(),
                    int scopeSheetId = -1);
    //! Defines a name with its comment, scope and visibility, as the other
    //! defineName() does. False for a name a table has.
    bool defineName(const DefinedName &name);
    //! The names defined, loaded ones first, in the order they were defined;
    //! the print areas, print titles and filter ranges of the sheets among them.
    QList<DefinedName> definedNames() const;
    //! Removes the name of that scope, in any letter case; false when there is none.
    bool removeName(const QString &name, int scopeSheetId = -1);

    //! Computes every formula of every worksheet from the cells it reads,
    //! each after the formulas it depends on, and stores each result as its
    //! cell's value (number, text, boolean or error), which saving writes.
    //! Table references ("Table1[Acidity]") read the table's cells. A
    //! formula the engine cannot compute (a function it lacks, a reference
    //! to another workbook or to a table the library keeps unread) keeps the
    //! value it had, and so do
    //! the formulas of a circular reference; Worksheet::uncalculatedCells()
    //! lists them. False when there is a circular reference, errorString()
    //! naming the first cell of it. Spreadsheet programs still compute the
    //! workbook again when they open it.
    //!
    //! \code
    //! sheet->writeValue(42, 4, QStringLiteral("=STDEV(D2:D41)"));
    //! if (!book->calculate())
    //!     qWarning() << book->errorString();
    //! sheet->readValue(42, 4);   // the standard deviation
    //! \endcode
    bool calculate();

    /*!
      Protects the workbook's structure: in a spreadsheet program, sheets
      can no longer be added, removed, renamed, moved, hidden or shown until
      the protection is taken away with \a password (none when empty). The
      library itself still changes the structure. False, changing nothing,
      for a password longer than 255 characters. The password is stored as
      a salted SHA-512 hash of 100,000 rounds.
    */
    bool protectStructure(const QString &password = QString());
    //! Takes the protection of the structure away, whatever its password.
    void unprotectStructure();
    //! Whether the workbook's structure is protected (a loaded one too).
    bool isStructureProtected() const;
    /*!
      Whether \a password is that of the structure's protection (a loaded
      16-bit hash of older files is checked too); true for any password
      when the protection has none, false when the structure is not protected.
    */
    bool isStructurePassword(const QString &password) const;

    //! Whether the workbook counts dates from 1 January 1904 rather than
    //! from the last day of 1899; false for a new workbook.
    bool isDate1904() const;
    //! Sets the date system for the dates written from then on and for
    //! reading every date. Dates already written keep their serial numbers,
    //! and so move by 1462 days: set it before writing dates.
    void setDate1904(bool on);
    //! The switch for turning texts that read as numbers into numbers; false
    //! for a new workbook. The library keeps the switch but does not act on
    //! it: texts stay texts.
    bool isStringsToNumbersEnabled() const;
    //! Sets the switch that isStringsToNumbersEnabled() answers.
    void setStringsToNumbersEnabled(bool on);
    //! Whether Worksheet::writeValue() writes a text that is one web, mail or
    //! file URL ("https://...", "mailto:...", "file://...") as a link; true
    //! for a new workbook.
    bool isStringsToHyperlinksEnabled() const;
    //! Sets whether Worksheet::writeValue() turns URL texts into links.
    void setStringsToHyperlinksEnabled(bool on);
    //! Whether Worksheet::writeText() reads a text that looks like HTML
    //! (Qt::mightBeRichText()) as rich text, keeping the fonts and colours
    //! of its fragments; false for a new workbook.
    bool isHtmlToRichStringEnabled() const;
    //! Sets whether Worksheet::writeText() turns HTML texts into rich text.
    void setHtmlToRichStringEnabled(bool on);
    //! The number format code that dates and date-times get when written
    //! without a date or time format of their own; "yyyy-mm-dd" for a new
    //! workbook. Times alone get "hh:mm:ss".
    QString defaultDateFormat() const;
    //! Sets the number format code for dates written without one ("dd/mm/yyyy hh:mm").
    void setDefaultDateFormat(const QString &format);

    //! The workbook's table of cell texts, owned by the workbook.
    SharedStrings *sharedStrings() const;
    //! The workbook's style table, owned by the workbook.
    Styles *styles() const;
    //! The workbook's theme part, owned by the workbook.
    Theme *theme() const;

    //! Writes "xl/workbook.xml": the sheets, the date system, the active
    //! sheet, the defined names, and what a loaded workbook part held beyond
    //! them. An empty workbook first gets a sheet.
    void writeXml(QIODevice *device) const override;
    //! Reads a loaded package's workbook part: the sheets are listed, for
    //! the document to read each from its own part.
    bool readXml(QIODevice *device) override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    friend class Worksheet;
    friend class WorksheetPrivate;
    friend class CalcEngine;
    // Rows or columns of one of its sheets inserted or removed, the whole
    // workbook following; false, changing nothing, when it cannot be done.
    bool editGrid(Worksheet *sheet, const GridEdit &edit);
    // A sheet of a loaded workbook, appended as it is listed.
    AbstractSheet *appendLoadedSheet(const QString &name, int sheetId, AbstractSheet::SheetState state,
                                     AbstractSheet::SheetType type, const QString &relationshipId);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_WORKBOOK_H
