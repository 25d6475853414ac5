#ifndef SPREADSHEET_CALCENGINE_P_H
#define SPREADSHEET_CALCENGINE_P_H

#include "calcparser_p.h"
#include "structuredreference_p.h"
#include "celladdress.h"
#include "cellformula.h"

#include <QHash>
#include <QList>
#include <QString>

#include <random>

namespace Spreadsheet {

class Workbook;
class WorkbookPrivate;
class WorksheetPrivate;
struct DefinedNameRecord;
struct StoredCell;

// One calculation of a whole workbook: every formula computed once, each
// after the cells it reads, and its result stored as the cell's value.
//
// Formulas are computed in the order of the sheets and their cells. A cell
// whose formula reads a formula not computed yet is set aside, the cells it
// reads are computed first (on a stack of its own, however long the chain)
// and the cell again after them; a cell read again while it waits for what
// it reads closes a cycle.
class CalcEngine
{
public:
    explicit CalcEngine(Workbook *workbook);
    ~CalcEngine();

    // False when formulas read one another in a cycle; errorString() then
    // names the first cell of the first cycle.
    bool run();
    QString errorString() const { return m_errorString; }

    // For the evaluator and the functions.
    int sheetCount() const;
    bool isWorksheet(int sheet) const;
    int sheetIndex(const QString &name) const;
    // A table of a worksheet by its name or display name.
    const TableColumnIndex *table(const QString &name) const;
    QString sheetName(int sheet) const;
    bool isDate1904() const { return m_date1904; }
    // A cell's value; one not computed yet gives the value it has and is
    // noted as needed first.
    CalcValue cellValue(int sheet, int row, int column);
    // The stored cells of the area that are not blank, row by row; false
    // when visit stopped it.
    bool visitCells(const CalcArea &area, const std::function<bool(int row, int column, const CalcValue &value)> &visit);
    // The area without the empty rows and columns past the sheet's last
    // stored cell (whole columns read as far as the sheet goes).
    CalcArea usedPart(const CalcArea &area) const;
    // The formula a defined name stands for, as seen from a sheet (its own
    // names first); null for none.
    const CalcFormula *name(int sheet, const QString &upperName);
    // A formula's text parsed for the cell (INDIRECT's references).
    std::shared_ptr<const CalcFormula> parse(const QString &text, int row, int column) const;
    double random();
    // For SUBTOTAL and AGGREGATE: rows hidden, and cells that are
    // themselves such totals (which they skip).
    bool isRowHidden(int sheet, int row) const;
    bool isSubtotalCell(int sheet, int row, int column);
    // The formula asks for what the engine cannot give (too large an
    // array, a name it cannot read): the cell keeps its value.
    void setUncomputable() { m_uncomputable = true; }

    // The sum of the numbers of a tall single column (texts, booleans and
    // blanks add nothing) with their largest magnitude, or its first error,
    // from running sums kept per column and first row: a column of growing
    // totals ("=SUM(C$2:C9)", "=SUM(C$2:C10)", ...) costs one addition per
    // row, not a pass over the range each. False when the area is not such
    // a column, holds a formula not computed yet, or the caches are full
    // (then the caller adds the cells itself).
    bool columnSum(const CalcArea &area, double &sum, double &largest, CalcValue &error);
    // The position of the first row at or after top in a single column
    // whose value equals the key, for exact lookups over the column; -1
    // for none. The column's cells must be computed; false when they are
    // not yet (then the caller scans).
    bool findInColumn(const CalcArea &column, const CalcValue &key, int &row);

private:
    struct Sheet;
    struct Task
    {
        int sheet;
        int row;
        int column;
    };

    void prepare();
    void markArrayCells(int sheet, int row, int column, const CellArea &range);
    // Notes the array formulas not computed yet over cells of the area
    // that the sheet does not hold; whether there were any.
    bool noteArraysOver(const CalcArea &area);
    void settlePartialArray(int sheet, quint64 master);
    bool callsSubtotal(int sheet, int row, int column) const;
    void calculate(const Task &task);
    bool computeCell(const Task &task);
    std::shared_ptr<const CalcFormula> formulaFor(int sheet, int row, int column, const CellFormula &formula);
    void store(int sheet, int row, StoredCell &cell, const CalcValue &value);
    void storeArray(int sheet, int row, int column, const CellArea &range, const CalcValue &result);
    void leaveUncalculated(int sheet, int row, StoredCell &cell);
    void breakCycle(int from);
    CalcValue valueOf(int sheet, int row, const StoredCell &cell);
    const QString &sharedText(quint32 entry);
    quint32 errorIndex(int sheet, CalcError error);
    void finish();

    WorkbookPrivate *m_book;
    bool m_date1904 = false;
    std::vector<Sheet> m_sheets;
    QHash<QString, int> m_sheetIndexes;   // folded names
    QHash<QString, TableColumnIndex> m_tables;   // by folded name
    CalcParser m_parser;
    QHash<QString, std::shared_ptr<const CalcFormula>> m_shapes;
    QHash<QString, const DefinedNameRecord *> m_definedNames;   // by nameKey
    QHash<QString, std::shared_ptr<const CalcFormula>> m_names;   // parsed, by nameKey
    std::vector<Task> m_stack;
    std::vector<Task> m_missing;
    std::vector<QString> m_texts;
    std::vector<bool> m_textRead;
    std::mt19937_64 m_random;
    bool m_uncomputable = false;
    qint64 m_arrayCellsExamined = 0;
    qint64 m_arrayCellsMade = 0;
    int m_partialArrays = 0;
    bool m_cycle = false;
    QString m_errorString;
    size_t m_cachedEntries = 0;
    struct ColumnIndex;
    struct RunningSums;
    QHash<quint64, std::shared_ptr<RunningSums>> m_runningSums;   // by areaKey
    QHash<quint64, std::shared_ptr<ColumnIndex>> m_columnIndexes;   // by areaKey
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCENGINE_P_H
