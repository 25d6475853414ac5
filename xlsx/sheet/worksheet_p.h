#ifndef SPREADSHEET_WORKSHEET_P_H
#define SPREADSHEET_WORKSHEET_P_H

#include "abstractsheet_p.h"
#include "cellarea.h"
#include "keptelements_p.h"
#include "keptxml_p.h"
#include "sheetrules_p.h"
#include "comments_p.h"
#include "xmlscanner_p.h"
#include "celltable_p.h"
#include "format.h"
#include "gridedit_p.h"
#include "sheetcell.h"
#include "pagesetupxml_p.h"
#include "tablexml_p.h"
#include "sheetprotection.h"
#include "worksheet.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QSharedPointer>

#include <memory>
#include <optional>

class QXmlStreamWriter;

namespace Spreadsheet {

class Chart;
class ReferenceChange;
class SharedStrings;
class SheetDataWriter;
class StreamedRows;
class Styles;

struct RowSettings
{
    bool customHeight = false;
    double height = 0;
    Format format;
    bool hidden = false;
    int outlineLevel = 0;
    bool collapsed = false;
};

struct ColumnSettings
{
    int firstColumn = 0;
    int lastColumn = 0;
    bool customWidth = false;
    double width = 0;
    Format format;
    bool hidden = false;
    int outlineLevel = 0;
    bool collapsed = false;
    KeptAttributes keptAttributes;   // of a loaded column: bestFit, phonetic, ...
};

struct Hyperlink
{
    enum Kind { External = 0, Internal = 1 };
    Kind kind = External;
    QString target;
    QString location;
    QString display;
    QString tooltip;
    CellArea range;   // a loaded link over more than its cell
};

class WorksheetPrivate : public AbstractSheetPrivate
{
    Q_DECLARE_PUBLIC(Worksheet)

public:
    WorksheetPrivate(Worksheet *q, AbstractOOXmlFile::CreationMode mode, Workbook *workbook, const QString &name,
                     int sheetId);
    ~WorksheetPrivate() override;

    static constexpr int maxRows = maximumRows;
    static constexpr int maxColumns = maximumColumns;
    static constexpr int maxOutlineLevel = 7;

    static bool isInside(int row, int column);
    // Whether a write may store the cell: inside the sheet, and not in a row
    // that a SheetWriter has written out.
    bool isWritable(int row, int column) const;
    void extendDimension(int row, int column);
    // Whether a text is one URL of a kind that becomes a link.
    static bool isLinkText(const QString &text);

    // A cell keeps its format as a number: 0 for a format without state, 1
    // for one with state but no property, n + 2 for the style table's cell
    // format n (registered formats only).
    static quint32 formatCode(const Format &format);
    Format formatOf(quint32 code) const;
    // The format of the cell at the position; a format without state when
    // there is none.
    Format existingFormat(int row, int column) const;
    // The format a write uses: the given one if it is valid, else the format
    // of the cell it replaces; registered in the style table.
    Format registeredFormat(int row, int column, const Format &given);
    // Puts a cell of that kind, value and (registered) format at the
    // position, replacing the cell, its formula and any link there, and
    // widens the dimension.
    void store(int row, int column, CellKind kind, const Format &format, const QVariant &value,
               const CellFormula *formula = nullptr);
    void storeText(int row, int column, quint32 entry, const Format &format);
    // A date's serial number, with a date format: the one given or the
    // cell's if either is one, else the workbook's default.
    bool writeSerialDate(int row, int column, double serial, const Format &format);
    static StoredCell newCell(int column, CellKind kind, const Format &format);
    void put(int row, const StoredCell &cell, const CellFormula *formula);
    // The cell as the public API shows it.
    SheetCell cellValue(int row, const StoredCell &cell) const;
    QSharedPointer<SheetCell> sheetCell(int row, const StoredCell &cell) const;
    static quint64 formulaKey(int row, int column) { return quint64(row) << 16 | quint64(column); }
    static int rowOfKey(quint64 key) { return int(key >> 16); }
    static int columnOfKey(quint64 key) { return int(key & 0xFFFF); }
    SharedStrings *sharedStrings() const;
    Styles *styles() const;

    void splitColumnRanges(int first, int last);
    QList<QSharedPointer<ColumnSettings>> columnRanges(int first, int last);
    QSharedPointer<ColumnSettings> columnSettingsAt(int column) const;
    QList<QSharedPointer<RowSettings>> rowSettings(int first, int last);
    void computeRowSpans() const;
    // The rows from first to last that hold cells or settings, in order.
    void writeRows(SheetDataWriter &writer, int first, int last) const;

    // A sheet that a SheetWriter writes (worksheetstreaming.cpp): its rows
    // through the given one go out to the streamed rows and leave the
    // table; false when the streamed rows failed.
    bool streamOut(int through);
    void dropRowsThrough(int through);
    void keepInlineTextsOfHeldRows();
    bool isStreamedRow(int row) const { return streamed && row <= streamedThrough; }
    // Gives back the shared-string references of the sheet's text cells,
    // when the sheet leaves the workbook.
    void releaseTexts();
    // Copies everything but the cells (settings, merges, links, view) from other.
    void copySettingsFrom(const WorksheetPrivate &other);

    // Reading a loaded sheet's part (worksheetreader.cpp).
    bool readWorksheet(XmlScanner &scanner);
    bool readSheetViews(XmlScanner &scanner);
    void readSheetFormat(XmlScanner &scanner);
    bool readColumns(XmlScanner &scanner);
    void readSheetProperties(XmlScanner &scanner);
    void hoistNamespaces(const XmlScanner &scanner, QSet<QString> &rootNames);
    bool readMergedCells(XmlScanner &scanner);
    bool readHyperlinks(XmlScanner &scanner);
    // The loaded drawing element, kept as it came in its place.
    void keepLoadedDrawing();
    bool fail(const QString &reason);
    // Interned attribute texts of loaded rows, by row.
    QByteArray keptRowAttributes(int row) const;
    // The formula text of a cell that shares its master's: the master's,
    // moved by the distance between the two.
    QString sharedFormulaText(int row, int column, const CellFormula &formula) const;
    // Turns the cells that share the master's formula into cells of their
    // own formula, when the master goes.
    void dissolveSharedFormula(int sharedIndex);

    // Structural edits (worksheetedits.cpp). Whether the sheet lets the
    // rows or columns be inserted or removed: not when stored cells would
    // (or notes, or links) leave the sheet, an array formula or a data table would be cut apart
    // (or the table lose its input cell), notes would move that the sheet
    // cannot write, or its drawing could not be read.
    bool canEdit(const GridEdit &edit) const;
    int lastStoredAlong(GridEdit::Axis axis) const;
    // Follows a change of the workbook: formulas, rules, links and charts;
    // the sheet edited moves its cells and everything that stands on them.
    void followChange(const ReferenceChange &change);
    void followInFormulas(const ReferenceChange &change, const GridEdit *edit);
    void followInSharedFormula(const ReferenceChange &change, const GridEdit *edit, int index,
                               const QVector<quint64> &members, QHash<quint64, CellFormula> &moved);
    static CellFormula withText(const CellFormula &formula, const QString &text);
    static CellFormula withRange(const CellFormula &formula, const CellArea &range);
    void followInRules(const ReferenceChange &change);
    void followInLinks(const ReferenceChange &change, const GridEdit *edit);
    void followInDrawing(const ReferenceChange &change, const GridEdit *edit);
    static void followInChart(Chart &chart, const ReferenceChange &change);
    // A chart part's series references ("f" elements) after the change.
    static QByteArray followInChartPart(const QByteArray &bytes, const ReferenceChange &change);
    void moveCells(const GridEdit &edit);
    void moveRowsAndColumns(const GridEdit &edit);
    void moveMergesAndNotes(const GridEdit &edit);
    void moveFilter(const GridEdit &edit);
    void movePageBreaks(const GridEdit &edit);

    void writeSheetProperties(QXmlStreamWriter &writer) const;
    void writeSheetView(QXmlStreamWriter &writer) const;
    void writeSheetFormat(QXmlStreamWriter &writer) const;
    void writeColumns(QXmlStreamWriter &writer) const;
    void writeSheetData(QXmlStreamWriter &writer, QIODevice *device) const;
    void writeMergedCells(QXmlStreamWriter &writer) const;
    void writeHyperlinks(QXmlStreamWriter &writer) const;
    void writeDrawing(QXmlStreamWriter &writer) const;
    void writeConditionalFormats(QXmlStreamWriter &writer) const;
    void writeLegacyDrawing(QXmlStreamWriter &writer) const;
    void writePane(QXmlStreamWriter &writer) const;
    void writeAutoFilter(QXmlStreamWriter &writer) const;
    void writeTableParts(QXmlStreamWriter &writer) const;
    void followTableHeaders();
    // The table the cell lies in; null for none. A hint (the index of the
    // table found last) is tried first and set to the one found.
    const TableRecord *tableAt(int row, int column, int *hint = nullptr) const;
    // A formula as files store it: "[@Acidity]" spelled out as
    // "Table1[[#This Row],[Acidity]]", the table's name that of the table
    // the cell lies in.
    QString storedFormula(int row, int column, const QString &formula) const;
    // Whether the area shares a cell with a table or pivot table of the sheet.
    bool overlapsTable(const CellArea &area) const;
    void readTableParts(XmlScanner &scanner);
    void readPane(const XmlScanner &scanner);
    QString sheetReference(const QString &cells) const;
    // Whether the save writes the sheet's notes (a loaded sheet's unchanged
    // notes stay in their own parts).
    bool writesNotes() const { return !notes.isEmpty() && (notesChanged || !notesLoaded); }
    // A change to the notes of a loaded sheet: its parts for them go.
    bool changeNotes();
    // The loaded notes' parts, given by the loader: read into the model.
    void keepLoadedNotes(const QString &commentsId, const QString &drawingId, bool otherShapes);

    // Pictures and charts.
    Drawing *ensureDrawing();
    void copyDrawingFrom(const WorksheetPrivate &other);
    // Pixels of a column and a row as spreadsheet programs show them at 100 %.
    int columnPixels(int column) const;
    int rowPixels(int row) const;
    // The cell and offset where something of that size ends, from a corner.
    void endOf(int row, int column, const QPoint &offset, const QSize &size, CellAddress &end, QPoint &endOffset) const;
    DrawingAnchor anchorFor(int row, int column, const QPoint &offset, const QSize &size, DrawingAnchor::Kind kind) const;

    CellTable cells;
    QHash<quint64, CellFormula> formulas;                       // by formulaKey
    QMap<int, QMap<int, QSharedPointer<Hyperlink>>> hyperlinks;
    QList<CellArea> mergedRanges;
    QMap<int, QSharedPointer<RowSettings>> rows;
    QMap<int, QSharedPointer<ColumnSettings>> columns;          // by first column
    QMap<int, QSharedPointer<ColumnSettings>> columnsByColumn;  // every column of every range
    CellArea dimension;
    mutable QMap<int, QByteArray> rowSpans;                     // by block of 16 rows
    int outlineRowLevel = 0;
    int outlineColumnLevel = 0;
    double defaultRowHeight = 15;
    int loadedCustomHeight = -1;   // a loaded sheet's own customHeight of its default row height (0, 1)
    bool zeroHeight = false;

    // "sheetPr": the tab's colour, and of a loaded sheet what else it held.
    QColor tabColor;
    QByteArray keptTabColor;           // a loaded one of a theme or indexed colour, while unchanged
    KeptAttributes sheetPrAttributes;
    QByteArray keptSheetPrChildren;    // outline and page setup settings, as they came
    bool sheetPrLoaded = false;

    std::optional<SheetProtection> protection;   // of a protected sheet, or a loaded element
    PageSetupXml page;
    QList<TableRecord> tables;          // loaded ones first
    // The relationships of the loaded tables the model could not read,
    // which stay parts of their own.
    QStringList tablePartIds;

    bool windowProtection = false;
    bool showFormulas = false;
    bool showGridLines = true;
    bool showRowColHeaders = true;
    bool showZeros = true;
    bool rightToLeft = false;
    bool tabSelected = false;
    bool showRuler = true;
    bool showOutlineSymbols = true;
    bool showWhiteSpace = true;

    // Of a loaded sheet: what the model does not know, written back in place.
    KeptAttributes rootAttributes;
    KeptElements kept;
    KeptAttributes keptViewAttributes;    // of the first view, beyond its flags
    QByteArray keptViewChildren;          // its pane, selections, ...
    QByteArray keptViews;                 // the views after the first
    KeptAttributes keptFormatAttributes;  // of sheetFormatPr, beyond the modeled ones
    std::vector<std::pair<int, int>> rowAttributes;   // (row, index into keptTexts), ascending
    QVector<QByteArray> keptTexts;
    QHash<quint64, QByteArray> cellAttributes;        // by formulaKey: cm, vm, ph ...
    QHash<quint64, QByteArray> formulaAttributes;     // by formulaKey: aca, dt2D, r1 ...
    QHash<quint64, QString> formulaResults;           // text results ("str" cells)
    QStringList errorTexts;                           // of error cells, which index it
    QHash<int, quint64> sharedFormulaMasters;         // by shared index
    int maxXmlDepth = 256;
    SheetPane pane;
    bool paneChanged = false;
    QByteArray keptPane;              // a loaded sheet's pane element, written back while unchanged
    CellArea autoFilterRange;
    bool autoFilterChanged = false;
    QByteArray keptAutoFilter;        // a loaded one, with its criteria
    NoteMap notes;
    bool notesLoaded = false;
    bool notesChanged = false;
    bool notesLocked = false;         // the loaded drawing holds controls as well, which the model cannot write
    QString loadedCommentsId;
    QString loadedNotesDrawingId;
    mutable QString commentsPart;     // given by each save
    mutable QString notesDrawingPart;
    QList<FormattingRule> conditionalFormats;
    QList<ValidationRule> validations;
    KeptAttributes validationAttributes;   // of a loaded dataValidations element
    QByteArray rootNamespaces;             // a loaded part's declarations, to read its kept elements under
    QByteArray loadedDrawing;      // a loaded sheet's drawing element, which the loader reads or keeps
    QString loadedDrawingId;
    bool keptDrawingElement = false;   // the loaded one, which the model could not read
    QString readError;
    QList<CellAddress> uncalculatedCells;   // of the last calculation
    Format defaultDateFormat;               // registered, for dates written without a format
    std::shared_ptr<StreamedRows> streamed;  // the rows a SheetWriter has written out
    int streamedThrough = 0;                 // the last of them: rows up to it can no longer change
    // The texts of a sheet whose cells hold them inline, in place of the
    // workbook's shared strings: only those of the rows not written out yet.
    std::unique_ptr<SharedStrings> inlineTexts;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_WORKSHEET_P_H
