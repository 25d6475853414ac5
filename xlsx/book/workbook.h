#ifndef SPREADSHEET_WORKBOOK_H
#define SPREADSHEET_WORKBOOK_H

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

// Everything that belongs to the whole spreadsheet: the sheets in order with
// their names, the shared strings, the style table, the theme, defined names
// and the switches that steer how worksheets read values; "xl/workbook.xml".
class Workbook : public AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(Workbook)

public:
    explicit Workbook(CreationMode mode);
    ~Workbook() override;

    int sheetCount() const;
    AbstractSheet *sheet(int index) const;
    QStringList sheetNames() const;
    // The new sheet, or null when the name is taken or the type unsupported.
    AbstractSheet *addSheet(const QString &name = QString(), AbstractSheet::SheetType type = AbstractSheet::WorkSheet);
    AbstractSheet *insertSheet(int index, const QString &name = QString(),
                               AbstractSheet::SheetType type = AbstractSheet::WorkSheet);
    bool renameSheet(int index, const QString &name);
    bool deleteSheet(int index);
    bool moveSheet(int fromIndex, int toIndex);
    bool copySheet(int index, const QString &newName = QString());
    // The active sheet; an empty workbook first gets one.
    AbstractSheet *activeSheet();
    bool setActiveSheet(int index);
    int activeSheetIndex() const;

    // A name for a formula, for the whole workbook (scope -1) or one sheet id;
    // it replaces a name of the same scope that differs only in letter case.
    bool defineName(const QString &name, const QString &formula, const QString &comment = QString(),
                    int scopeSheetId = -1);
    bool defineName(const DefinedName &name);
    QList<DefinedName> definedNames() const;
    bool removeName(const QString &name, int scopeSheetId = -1);

    // Computes every formula of every worksheet from the cells it reads,
    // each after the formulas it depends on, and stores each result as its
    // cell's value (number, text, boolean or error), which saving writes.
    // A formula the engine cannot compute (a function it lacks, a reference
    // to another workbook or to a table) keeps the value it had, and so do
    // the formulas of a circular reference; Worksheet::uncalculatedCells()
    // lists them. False when there is a circular reference, errorString()
    // naming the first cell of it. Spreadsheet programs still compute the
    // workbook again when they open it.
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

    bool isDate1904() const;
    void setDate1904(bool on);
    bool isStringsToNumbersEnabled() const;
    void setStringsToNumbersEnabled(bool on);
    bool isStringsToHyperlinksEnabled() const;
    void setStringsToHyperlinksEnabled(bool on);
    bool isHtmlToRichStringEnabled() const;
    void setHtmlToRichStringEnabled(bool on);
    QString defaultDateFormat() const;
    void setDefaultDateFormat(const QString &format);

    SharedStrings *sharedStrings() const;
    Styles *styles() const;
    Theme *theme() const;

    void writeXml(QIODevice *device) const override;
    // Reads a loaded package's workbook part: the sheets are listed, for
    // the document to read each from its own part.
    bool readXml(QIODevice *device) override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    friend class Worksheet;
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
