#ifndef SPREADSHEET_WORKBOOK_P_H
#define SPREADSHEET_WORKBOOK_P_H

#include "abstractooxmlfile_p.h"
#include "cellarea.h"
#include "keptelements_p.h"
#include "keptxml_p.h"
#include "packagereader_p.h"
#include "passwordhash_p.h"
#include "tablexml_p.h"
#include "sharedstrings.h"
#include "styles.h"
#include "theme.h"
#include "workbook.h"

#include <QList>
#include <QSet>
#include <QSharedPointer>

#include <optional>

namespace Spreadsheet {

class GridEdit;
class ReferenceChange;
class Worksheet;
class XmlScanner;

struct DefinedNameRecord
{
    QString name;
    QString formula;
    QString comment;
    int scopeSheetId = -1;
    KeptAttributes attributes;   // of a loaded name: hidden, function, ...
};

// A sheet as a loaded workbook part lists it, before the sheet is read.
struct ListedSheet
{
    QString name;
    int sheetId;
    AbstractSheet::SheetState state;
    QString relationshipId;
};

class WorkbookPrivate : public AbstractOOXmlFilePrivate
{
    Q_DECLARE_PUBLIC(Workbook)

public:
    WorkbookPrivate(Workbook *q, AbstractOOXmlFile::CreationMode mode)
        : AbstractOOXmlFilePrivate(q, mode) {}

    // The index of the sheet with that name in any letter case, not counting
    // the sheet at except; -1 when there is none.
    int indexOfName(const QString &name, int except = -1) const;
    QString copyName(const QString &name) const;
    void setActive(int index);
    int visibleSheetCount() const;
    int nearestVisibleSheet(int index) const;

    void writeFileVersion(QXmlStreamWriter &writer) const;
    void writeWorkbookProperties(QXmlStreamWriter &writer) const;
    void writeProtection(QXmlStreamWriter &writer) const;
    void writeBookViews(QXmlStreamWriter &writer) const;
    void writeSheets(QXmlStreamWriter &writer) const;
    void writeDefinedNames(QXmlStreamWriter &writer) const;
    void writeCalculation(QXmlStreamWriter &writer) const;

    // Every sheet, name and kept part that holds references follows the
    // change (workbookedits.cpp).
    void followChange(const ReferenceChange &change);
    // The table and pivot table parts of a sheet of a loaded workbook.
    QStringList tableParts(const AbstractSheet &sheet) const;
    // Where the sheet's tables and pivot tables stand, modelled or kept.
    QList<CellArea> tableAreasOf(const Worksheet &sheet) const;
    // The tables that stay parts kept unread, of every worksheet.
    QList<TableIdentity> keptTables() const;
    // The folded names of every table (and defined name).
    QSet<QString> takenNames(bool includeDefinedNames) const;
    // Whether a table (or a defined name) has the name, without regard to case.
    bool isNameTaken(const QString &name, bool definedNames = true) const;
    // The first of "Table1", "Table2", ... that nothing has.
    QString freeTableName() const;
    // Whether the edit leaves the sheet's tables whole (before or after them).
    bool tablesAllow(const Worksheet &sheet, const GridEdit &edit) const;
    // Whether rows that a SheetWriter wrote out (on a sheet other than the
    // one given) hold formulas, which no edit of references can reach.
    bool holdsStreamedFormulas(const AbstractSheet *except = nullptr) const;
    void followInKeptParts(const ReferenceChange &change);
    void followInPivotSources(const ReferenceChange &change);

    bool readWorkbook(XmlScanner &scanner);
    void readBookViews(XmlScanner &scanner);
    void readProtection(XmlScanner &scanner);
    bool readSheets(XmlScanner &scanner);
    bool readDefinedNames(XmlScanner &scanner);

    QSharedPointer<SharedStrings> sharedStrings;
    QList<QSharedPointer<AbstractSheet>> sheets;
    QStringList sheetNames;
    QSharedPointer<Styles> styles;
    QSharedPointer<Theme> theme;
    QList<DefinedNameRecord> definedNames;
    bool stringsToNumbers = false;
    bool stringsToHyperlinks = true;
    bool htmlToRichString = false;
    bool date1904 = false;
    QString defaultDateFormat = QStringLiteral("yyyy-mm-dd");
    int windowX = 240;
    int windowY = 15;
    int windowWidth = 16095;
    int windowHeight = 9660;
    int activeSheetIndex = 0;
    int firstSheet = 0;
    int tableCount = 0;
    int lastWorksheetNumber = 0;
    int lastChartsheetNumber = 0;
    int lastSheetId = 0;

    // Of a loaded workbook: its sheets as listed, and what the model does
    // not know, written back in its place.
    bool loaded = false;
    QList<ListedSheet> listedSheets;
    KeptAttributes rootAttributes;
    QByteArray keptFileVersion;
    KeptAttributes keptWorkbookProperties;   // the attributes of workbookPr but date1904
    // "workbookProtection": of a protected workbook, or as loaded.
    struct Protection
    {
        bool lockStructure = false;
        PasswordHash password;
        KeptAttributes keptAttributes;   // windows, revisions, ...
    };
    std::optional<Protection> protection;
    KeptAttributes keptViewAttributes;       // the first view's but the window and tabs
    QByteArray keptViews;                    // the views after the first
    QByteArray keptCalculation;
    KeptElements kept;
    int maxXmlDepth = 256;
    QMap<QString, KeptPart> *keptParts = nullptr;   // the document's, which tables and pivot caches are among
};

} // namespace Spreadsheet

#endif // SPREADSHEET_WORKBOOK_P_H
