#ifndef SPREADSHEET_SHEETDATAREADER_P_H
#define SPREADSHEET_SHEETDATAREADER_P_H

#include "celltable_p.h"
#include "cellformula.h"
#include "xmlscanner_p.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace Spreadsheet {

class RichString;
class WorksheetPrivate;

// Reads a loaded sheet's "sheetData" into the sheet, the counterpart of
// SheetDataWriter. Cells that come in order, as every program writes them,
// are stored as they are read; cells out of order, or a second cell at one
// position, wait and are put in their places at the end (the later of two
// wins, as spreadsheet programs read them), so that a sheet in any order
// reads in n log n.
class SheetDataReader
{
public:
    explicit SheetDataReader(WorksheetPrivate &sheet);
    ~SheetDataReader();
    SheetDataReader(const SheetDataReader &) = delete;
    SheetDataReader &operator=(const SheetDataReader &) = delete;

    // Reads one sheetData element: false, with the sheet's read error set,
    // for a cell or row the sheet cannot hold; the scanner's own errors stay
    // the scanner's. A part may hold more than one.
    bool read(XmlScanner &scanner);
    // Puts the cells that waited in their places, at the part's end.
    void finish();

private:
    // What a cell carries beside its sixteen bytes.
    struct CellData
    {
        CellFormula formula;
        bool hasFormula = false;
        QByteArray attributes;          // of the cell element: cm, vm, ph ...
        QByteArray formulaAttributes;   // of its formula: aca, dt2D ...
        QString result;                 // a formula's text result
    };
    struct WaitingCell
    {
        int row;
        StoredCell cell;
        int data;   // into m_waitingData; -1 for none
    };

    bool readRow(XmlScanner &scanner, int &row);
    bool readPosition(QLatin1String reference, int row, int &column);
    bool readStyle(QLatin1String style, int row, int column, StoredCell &cell);
    bool readSimpleCell(const XmlScanner::SimpleCell &simple, int row, int &column);
    bool readCell(XmlScanner &scanner, int row, int &column);
    bool readFormula(XmlScanner &scanner, int row, int column, CellData &data);
    RichString readInlineText(XmlScanner &scanner);
    bool readValue(int row, StoredCell &cell, QLatin1String type, QLatin1String text, bool hasValue,
                   CellData &data, const RichString *inlineText);
    bool readNumber(int row, int column, QLatin1String text, double &number);
    int errorIndex(const QString &text);
    int keptTextIndex(const QByteArray &text);

    void store(int row, StoredCell cell, CellData &data);
    void storeData(int row, StoredCell &cell, CellData &data);
    void releaseReplaced(int row, const StoredCell &cell);
    void forget(const WaitingCell &waiting);
    void placeWaitingCells();
    void sortRowAttributes();

    WorksheetPrivate &d;
    std::vector<WaitingCell> m_waiting;
    std::vector<CellData> m_waitingData;
    int m_lastRow;           // the position of the last cell stored as read
    int m_lastColumn = 0;
    bool m_rowsInOrder;
    int m_previousRow = 0;
    QHash<QString, int> m_errorIndexes;
    QHash<QByteArray, int> m_keptTextIndexes;
    struct ReplacedMaster
    {
        quint64 key;
        QString text;
    };
    QHash<int, ReplacedMaster> m_replacedMasters;   // by shared index: masters a later cell replaced
    QByteArray m_value;
    QByteArray m_scratch;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETDATAREADER_P_H
