#include "calcengine_p.h"
#include "structuredreference_p.h"

#include "calcevaluator_p.h"
#include "celltable_p.h"
#include "sharedstrings.h"
#include "utility.h"
#include "workbook.h"
#include "workbook_p.h"
#include "worksheet.h"
#include "worksheet_p.h"

#include <algorithm>
#include <cmath>

namespace Spreadsheet {

namespace {

// Cells an array formula may cover and the engine fill; past it the
// formula is left as it is. Over the workbook: the cells of array ranges
// looked at before calculating, the cells they cover that the sheet does
// not hold (made when a result fills them), and the array formulas with
// such cells.
constexpr qint64 maximumArrayCells = 1 << 20;
constexpr qint64 maximumArrayCellsExamined = 1 << 24;
constexpr qint64 maximumArrayCellsMade = 1 << 22;
constexpr int maximumPartialArrays = 256;
// Parsed formulas kept for reuse before the cache starts again.
constexpr int maximumShapes = 1 << 16;
// Cells waiting on the stack of the calculation.
constexpr size_t maximumStack = size_t(1) << 24;
// Values the running sums and column indexes hold, all together.
constexpr size_t maximumCachedEntries = size_t(1) << 23;

quint64 cellKey(int row, int column)
{
    return WorksheetPrivate::formulaKey(row, column);
}

// A column's sheet, column and first row as one number.
// A defined name's scope (a sheet's id, -1 for the workbook) and name.
QString nameKey(int scope, const QString &name)
{
    return QString::number(scope) + QLatin1Char('|') + name.toUpper();
}

quint64 areaKey(const CalcArea &area)
{
    return quint64(quint16(area.sheet)) << 48 | quint64(area.left) << 32 | quint64(quint32(area.top));
}

} // namespace

struct CalcEngine::Sheet
{
    Worksheet *sheet = nullptr;   // null for a chart sheet
    WorksheetPrivate *d = nullptr;
    QString name;
    std::vector<quint64> formulaCells;          // sorted keys
    QHash<quint64, quint64> arrayMasters;       // a cell an array formula covers: its master
    QHash<int, quint32> errorIndexes;           // by CalcError
    bool errorIndexesRead = false;
    QHash<int, std::shared_ptr<const CalcFormula>> sharedShapes;   // by shared index
    QSet<quint64> oversizedArrays;
    int lastTable = -1;                         // the table the last formula lay in
    // Array formulas over cells the sheet does not hold yet: a read of such
    // a cell waits for the formula all the same.
    struct PartialArray
    {
        CellArea range;
        quint64 master;
        bool pending;
    };
    std::vector<PartialArray> partialArrays;
    int pendingPartialArrays = 0;
    QHash<quint64, bool> subtotalCells;   // whether a formula cell calls SUBTOTAL or AGGREGATE
    QList<CellAddress> uncalculated;
    int lastRow = 0;
    int lastColumn = 0;
};

// The sums of a column's numbers from a first row down, added as SUM adds
// (compensated), with the largest magnitude so far and the first error.
struct CalcEngine::RunningSums
{
    int uses = 0;
    CalcSum sum;
    std::vector<double> totals;
    std::vector<double> largests;
    int errorRow = -1;   // index of the first row holding an error
    CalcValue error;

    void add(double number)
    {
        sum.add(number);
        totals.push_back(sum.unrounded());
        largests.push_back(sum.largest());
    }
};

// The first row of every value of a column's part, for exact lookups.
// Numbers are found by buckets of nearby values, each candidate then
// compared as "=" compares: the answer is the one a scan gives.
struct CalcEngine::ColumnIndex
{
    int uses = 0;
    bool refused = false;
    int bottom = 0;
    int size = 0;
    QHash<qint64, std::vector<std::pair<double, int>>> numbers;
    QHash<QString, int> texts;
    int rowOfTrue = -1;
    int rowOfFalse = -1;

    // Buckets 2^-45 of a magnitude wide, by sign; values equal to 15
    // digits lie in the buckets of the value moved by 2^-47 either way.
    static qint64 bucketOf(double number)
    {
        int exponent = 0;
        const double mantissa = std::frexp(std::fabs(number), &exponent);
        const qint64 bucket = exponent * (qint64(1) << 47) + qint64(std::floor(mantissa * 0x1p45));
        return number < 0 ? -bucket - 1 : bucket;
    }

    // Values come top down: the first row of a value stays.
    void add(const CalcValue &value, int row)
    {
        ++size;
        if (value.isNumber()) {
            std::vector<std::pair<double, int>> &bucket = numbers[bucketOf(value.number())];
            const bool known = std::any_of(bucket.begin(), bucket.end(),
                                           [&value](const std::pair<double, int> &entry) { return entry.first == value.number(); });
            if (!known)
                bucket.emplace_back(value.number(), row);
        } else if (value.isText()) {
            const QString key = value.text().toCaseFolded();
            if (!texts.contains(key))
                texts.insert(key, row);
        } else if (value.isBoolean()) {
            int &first = value.booleanValue() ? rowOfTrue : rowOfFalse;
            if (first < 0)
                first = row;
        }
    }

    int find(const CalcValue &value) const
    {
        if (value.isText())
            return texts.value(value.text().toCaseFolded(), -1);
        if (value.isBoolean())
            return value.booleanValue() ? rowOfTrue : rowOfFalse;
        if (!value.isNumber())
            return -1;
        int first = -1;
        const double x = value.number();
        const double above = x * (1 + 0x1p-47);   // past the largest number it is not one
        const qint64 low = bucketOf(x * (1 - 0x1p-47));
        const qint64 high = std::isfinite(above) ? bucketOf(above) : low;
        for (const qint64 key : { low, high }) {
            const auto bucket = numbers.constFind(key);
            if (bucket == numbers.constEnd())
                continue;
            for (const auto &[number, row] : *bucket) {
                if (CalcCoercion::compare(CalcValue(number), value) == 0 && (first < 0 || row < first))
                    first = row;
            }
            if (low == high)
                break;
        }
        return first;
    }
};

CalcEngine::CalcEngine(Workbook *workbook)
    : m_book(workbook->d_func()),
      m_date1904(workbook->isDate1904()),
      m_parser([this](const QString &name) { return sheetIndex(name); },
               [this](const QString &name) { return table(name); }),
      m_random(std::random_device{}())
{
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        Sheet sheet;
        sheet.name = workbook->sheet(i)->sheetName();
        if (workbook->sheet(i)->sheetType() == AbstractSheet::WorkSheet) {
            sheet.sheet = static_cast<Worksheet *>(workbook->sheet(i));
            sheet.d = sheet.sheet->d_func();
        }
        m_sheetIndexes.insert(sheet.name.toCaseFolded(), i);
        if (sheet.d) {
            sheet.d->followTableHeaders();
            for (const TableRecord &record : sheet.d->tables) {
                const TableColumnIndex index = TableColumnIndex::of(record.table, i);
                m_tables.insert(record.table.name.toCaseFolded(), index);
                m_tables.insert(record.table.displayName.toCaseFolded(), index);
            }
        }
        m_sheets.push_back(std::move(sheet));
    }
    // Tables kept unread answer, but cannot be computed.
    for (const TableIdentity &kept : m_book->keptTables()) {
        m_tables.insert(kept.name.toCaseFolded(), TableColumnIndex());
        m_tables.insert(kept.displayName.toCaseFolded(), TableColumnIndex());
    }
    for (const DefinedNameRecord &record : m_book->definedNames) {
        const QString key = nameKey(record.scopeSheetId, record.name);
        if (!m_definedNames.contains(key))
            m_definedNames.insert(key, &record);
    }
}

CalcEngine::~CalcEngine() = default;

int CalcEngine::sheetCount() const
{
    return int(m_sheets.size());
}

bool CalcEngine::isWorksheet(int sheet) const
{
    return sheet >= 0 && sheet < sheetCount() && m_sheets[size_t(sheet)].d;
}

int CalcEngine::sheetIndex(const QString &name) const
{
    return m_sheetIndexes.value(name.toCaseFolded(), -1);
}

const TableColumnIndex *CalcEngine::table(const QString &name) const
{
    const auto found = m_tables.constFind(name.toCaseFolded());
    return found == m_tables.constEnd() ? nullptr : &found.value();
}

QString CalcEngine::sheetName(int sheet) const
{
    return sheet >= 0 && sheet < sheetCount() ? m_sheets[size_t(sheet)].name : QString();
}

double CalcEngine::random()
{
    return std::generate_canonical<double, 53>(m_random);
}

// --- the run

bool CalcEngine::run()
{
    prepare();
    for (int sheet = 0; sheet < sheetCount(); ++sheet) {
        Sheet &state = m_sheets[size_t(sheet)];
        for (quint64 key : state.formulaCells) {
            const StoredCell *cell = state.d ? state.d->cells.find(WorksheetPrivate::rowOfKey(key),
                                                                    WorksheetPrivate::columnOfKey(key))
                                             : nullptr;
            if (cell && (cell->flags & StoredCell::Calculating))
                calculate({ sheet, WorksheetPrivate::rowOfKey(key), WorksheetPrivate::columnOfKey(key) });
        }
    }
    finish();
    return !m_cycle;
}

void CalcEngine::prepare()
{
    for (int sheet = 0; sheet < sheetCount(); ++sheet) {
        Sheet &state = m_sheets[size_t(sheet)];
        if (!state.d)
            continue;
        WorksheetPrivate *d = state.d;
        d->cells.forEachRow(1, [&state](int row, const CellTable::Row &cells) {
            state.lastRow = row;
            state.lastColumn = qMax(state.lastColumn, int(cells.back().column));
        });
        state.formulaCells.reserve(size_t(d->formulas.size()));
        for (auto it = d->formulas.cbegin(); it != d->formulas.cend(); ++it)
            state.formulaCells.push_back(it.key());
        std::sort(state.formulaCells.begin(), state.formulaCells.end());
        for (quint64 key : state.formulaCells) {
            const int row = WorksheetPrivate::rowOfKey(key);
            const int column = WorksheetPrivate::columnOfKey(key);
            StoredCell *cell = d->cells.find(row, column);
            if (!cell)
                continue;
            cell->flags |= StoredCell::Calculating;
            const CellFormula &formula = *d->formulas.constFind(key);
            if (formula.kind() == CellFormula::ArrayFormula && formula.range().isValid())
                markArrayCells(sheet, row, column, formula.range());
        }
    }
}

// The cells an array formula fills wait for it. Those it covers but the
// sheet does not hold are made only when its result fills them, so that a
// formula left as it is leaves the sheet as it was.
void CalcEngine::markArrayCells(int sheet, int row, int column, const CellArea &range)
{
    Sheet &state = m_sheets[size_t(sheet)];
    const quint64 master = cellKey(row, column);
    const qint64 size = qint64(range.rowCount()) * range.columnCount();
    const bool holdsMaster = row >= range.firstRow() && row <= range.lastRow() && column >= range.firstColumn()
        && column <= range.lastColumn();
    if (size > maximumArrayCells || !holdsMaster || m_arrayCellsExamined + size > maximumArrayCellsExamined) {
        state.oversizedArrays.insert(master);
        return;
    }
    m_arrayCellsExamined += 2 * size;
    qint64 absent = 0;
    for (int r = range.firstRow(); r <= range.lastRow(); ++r) {
        for (int c = range.firstColumn(); c <= range.lastColumn(); ++c)
            absent += state.d->cells.find(r, c) ? 0 : 1;
    }
    if (absent > 0 && (m_partialArrays >= maximumPartialArrays || m_arrayCellsMade + absent > maximumArrayCellsMade)) {
        state.oversizedArrays.insert(master);
        return;
    }
    for (int r = range.firstRow(); r <= range.lastRow(); ++r) {
        for (int c = range.firstColumn(); c <= range.lastColumn(); ++c) {
            StoredCell *cell = state.d->cells.find(r, c);
            if (!cell || (r == row && c == column) || (cell->flags & StoredCell::HasFormula))
                continue;   // absent, the master, or a formula of its own in an odd file: it keeps that
            cell->flags |= StoredCell::Calculating;
            state.arrayMasters.insert(cellKey(r, c), master);
        }
    }
    if (absent == 0)
        return;
    ++m_partialArrays;
    ++state.pendingPartialArrays;
    m_arrayCellsMade += absent;
    state.partialArrays.push_back({ range, master, true });
    // The cells it will make count as the sheet's: reads that stop where
    // the sheet's cells end go on over them, and wait for the formula.
    state.lastRow = qMax(state.lastRow, range.lastRow());
    state.lastColumn = qMax(state.lastColumn, range.lastColumn());
}

// A read of cells an array formula not computed yet covers, where the
// sheet holds no cell: the formula is needed first.
bool CalcEngine::noteArraysOver(const CalcArea &area)
{
    const Sheet &state = m_sheets[size_t(area.sheet)];
    // Rows a SheetWriter wrote out are no longer held: what reads them
    // keeps the value it has.
    if (state.d->isStreamedRow(area.top))
        setUncomputable();
    if (state.pendingPartialArrays == 0)
        return false;
    bool noted = false;
    for (const Sheet::PartialArray &partial : state.partialArrays) {
        if (!partial.pending || partial.range.firstRow() > area.bottom || partial.range.lastRow() < area.top
            || partial.range.firstColumn() > area.right || partial.range.lastColumn() < area.left)
            continue;
        const Task master{ area.sheet, WorksheetPrivate::rowOfKey(partial.master),
                           WorksheetPrivate::columnOfKey(partial.master) };
        const bool repeated = !m_missing.empty() && m_missing.back().sheet == master.sheet
            && m_missing.back().row == master.row && m_missing.back().column == master.column;
        if (!repeated)
            m_missing.push_back(master);
        noted = true;
    }
    return noted;
}

void CalcEngine::settlePartialArray(int sheet, quint64 master)
{
    Sheet &state = m_sheets[size_t(sheet)];
    for (Sheet::PartialArray &partial : state.partialArrays) {
        if (partial.master == master && partial.pending) {
            partial.pending = false;
            --state.pendingPartialArrays;
        }
    }
}

void CalcEngine::calculate(const Task &task)
{
    m_stack.push_back(task);
    while (!m_stack.empty()) {
        const Task current = m_stack.back();
        Sheet &state = m_sheets[size_t(current.sheet)];
        StoredCell *cell = state.d->cells.find(current.row, current.column);
        if (!cell || !(cell->flags & StoredCell::Calculating) || computeCell(current)) {
            m_stack.pop_back();
            continue;
        }
        cell->flags |= StoredCell::CalculationWaiting;
        const std::vector<Task> missing = std::move(m_missing);
        m_missing.clear();
        for (const Task &needed : missing) {
            const StoredCell *neededCell = m_sheets[size_t(needed.sheet)].d->cells.find(needed.row, needed.column);
            if (neededCell && (neededCell->flags & StoredCell::CalculationWaiting)) {
                for (int i = int(m_stack.size()) - 1; i >= 0; --i) {
                    const Task &entry = m_stack[size_t(i)];
                    if (entry.sheet == needed.sheet && entry.row == needed.row && entry.column == needed.column) {
                        breakCycle(i);
                        break;
                    }
                }
                break;
            }
        }
        if (m_stack.empty() || m_stack.back().sheet != current.sheet || m_stack.back().row != current.row
            || m_stack.back().column != current.column)
            continue;
        if (m_stack.size() + missing.size() > maximumStack) {
            // Formulas that read one another in a way that would take more
            // memory than is sensible to order: left as they are.
            leaveUncalculated(current.sheet, current.row, *cell);
            m_stack.pop_back();
            continue;
        }
        // The cell read last is computed first: a formula over the cells
        // below it that read the cells below them then comes out in one
        // pass up the column.
        m_stack.insert(m_stack.end(), missing.begin(), missing.end());
    }
}

// The cells from the stack's entry up that wait for one another keep the
// values they had and are listed as not computed.
void CalcEngine::breakCycle(int from)
{
    for (size_t i = size_t(from); i < m_stack.size(); ++i) {
        const Task &task = m_stack[i];
        StoredCell *cell = m_sheets[size_t(task.sheet)].d->cells.find(task.row, task.column);
        if (!cell || !(cell->flags & StoredCell::CalculationWaiting))
            continue;
        if (!m_cycle) {
            m_cycle = true;
            m_errorString = QStringLiteral("the formula in %1!%2 is part of a circular reference")
                                .arg(quoteSheetName(sheetName(task.sheet)),
                                     CellAddress(task.row, task.column).toText());
        }
        leaveUncalculated(task.sheet, task.row, *cell);
    }
    m_stack.resize(size_t(from));
}

bool CalcEngine::computeCell(const Task &task)
{
    Sheet &state = m_sheets[size_t(task.sheet)];
    const quint64 key = cellKey(task.row, task.column);
    StoredCell *cell = state.d->cells.find(task.row, task.column);
    const auto master = state.arrayMasters.constFind(key);
    if (master != state.arrayMasters.constEnd()) {
        // A cell of an array formula: its master fills it.
        m_missing.push_back({ task.sheet, WorksheetPrivate::rowOfKey(master.value()),
                              WorksheetPrivate::columnOfKey(master.value()) });
        return false;
    }
    const CellFormula formula = state.d->formulas.value(key);
    std::shared_ptr<const CalcFormula> parsed;
    if (formula.kind() != CellFormula::DataTableFormula && !state.oversizedArrays.contains(key))
        parsed = formulaFor(task.sheet, task.row, task.column, formula);
    if (!parsed || !parsed->root) {
        leaveUncalculated(task.sheet, task.row, *cell);
        return true;
    }
    m_missing.clear();
    m_uncomputable = false;
    const bool isArray = formula.kind() == CellFormula::ArrayFormula;
    const bool fillsRange =
        isArray && formula.range().isValid() && (formula.range().rowCount() > 1 || formula.range().columnCount() > 1);
    CalcEvaluator evaluator(*this);
    CalcValue value = evaluator.evaluateFormula(*parsed->root, { task.sheet, task.row, task.column }, isArray);
    // The cells a result still refers to are read before anything is stored.
    value = fillsRange ? CalcValue::array(evaluator.matrixOf(value)) : evaluator.singleValue(value);
    if (!m_missing.empty())
        return false;
    cell = state.d->cells.find(task.row, task.column);
    if (m_uncomputable) {
        leaveUncalculated(task.sheet, task.row, *cell);
        return true;
    }
    if (fillsRange)
        storeArray(task.sheet, task.row, task.column, formula.range(), value);
    else
        store(task.sheet, task.row, *cell, value);
    return true;
}

std::shared_ptr<const CalcFormula> CalcEngine::formulaFor(int sheet, int row, int column, const CellFormula &formula)
{
    Sheet &state = m_sheets[size_t(sheet)];
    QString text = formula.text();
    int baseRow = row;
    int baseColumn = column;
    if (formula.kind() == CellFormula::SharedFormula) {
        const auto known = state.sharedShapes.constFind(formula.sharedIndex());
        if (known != state.sharedShapes.constEnd())
            return known.value();
        const auto master = state.d->sharedFormulaMasters.constFind(formula.sharedIndex());
        if (master == state.d->sharedFormulaMasters.constEnd())
            return nullptr;
        text = state.d->formulas.value(master.value()).text();
        baseRow = WorksheetPrivate::rowOfKey(master.value());
        baseColumn = WorksheetPrivate::columnOfKey(master.value());
    }
    // A formula inside a table may name its columns without the table.
    if (text.contains(QLatin1Char('[')) && !state.d->tables.isEmpty()) {
        // Formulas come cell after cell, mostly from the table of the one before.
        if (const TableRecord *record = state.d->tableAt(baseRow, baseColumn, &state.lastTable))
            text = StructuredReference::qualified(text, record->table.displayName);
    }
    const QVector<FormulaToken> tokens = FormulaTokenizer::tokenize(text);
    const QString key = CalcParser::shapeKey(text, tokens, baseRow, baseColumn);
    auto parsed = m_shapes.value(key);
    if (!parsed) {
        if (m_shapes.size() >= maximumShapes)
            m_shapes.clear();
        parsed = m_parser.parse(text, tokens, baseRow, baseColumn);
        m_shapes.insert(key, parsed);
    }
    if (formula.kind() == CellFormula::SharedFormula)
        state.sharedShapes.insert(formula.sharedIndex(), parsed);
    return parsed;
}

void CalcEngine::leaveUncalculated(int sheet, int row, StoredCell &cell)
{
    Sheet &state = m_sheets[size_t(sheet)];
    cell.flags &= ~(StoredCell::Calculating | StoredCell::CalculationWaiting);
    state.uncalculated.append(CellAddress(row, cell.column));
    const CellFormula formula = state.d->formulas.value(cellKey(row, cell.column));
    if (formula.kind() != CellFormula::ArrayFormula || !formula.range().isValid()
        || state.oversizedArrays.contains(cellKey(row, cell.column)))
        return;
    settlePartialArray(sheet, cellKey(row, cell.column));
    const CellArea range = formula.range();
    for (int r = range.firstRow(); r <= range.lastRow(); ++r) {
        for (int c = range.firstColumn(); c <= range.lastColumn(); ++c) {
            if (state.arrayMasters.remove(cellKey(r, c))) {
                if (StoredCell *member = state.d->cells.find(r, c))
                    member->flags &= ~(StoredCell::Calculating | StoredCell::CalculationWaiting);
            }
        }
    }
}

quint32 CalcEngine::errorIndex(int sheet, CalcError error)
{
    Sheet &state = m_sheets[size_t(sheet)];
    if (!state.errorIndexesRead) {
        state.errorIndexesRead = true;
        for (int i = 0; i < state.d->errorTexts.size(); ++i) {
            CalcError known;
            if (CalcValue::parseError(state.d->errorTexts[i], known) && !state.errorIndexes.contains(int(known))
                && state.d->errorTexts[i] == CalcValue::errorText(known))
                state.errorIndexes.insert(int(known), quint32(i));
        }
    }
    const auto found = state.errorIndexes.constFind(int(error));
    if (found != state.errorIndexes.constEnd())
        return found.value();
    state.d->errorTexts.append(CalcValue::errorText(error));
    const quint32 index = quint32(state.d->errorTexts.size() - 1);
    state.errorIndexes.insert(int(error), index);
    return index;
}

// The result becomes the cell's value, of the kind its type gives; the
// cell keeps its formula and format.
void CalcEngine::store(int sheet, int row, StoredCell &cell, const CalcValue &value)
{
    Sheet &state = m_sheets[size_t(sheet)];
    const quint64 key = cellKey(row, cell.column);
    const auto oldKind = CellKind(cell.kind);
    if (oldKind == CellKind::SharedString || oldKind == CellKind::InlineString)
        state.d->sharedStrings()->releaseEntry(cell.value.string);
    if (oldKind == CellKind::FormulaString && !value.isText())
        state.d->formulaResults.remove(key);
    cell.flags &= ~(StoredCell::Calculating | StoredCell::CalculationWaiting | StoredCell::IsoDate);
    cell.flags |= StoredCell::HasValue;
    switch (value.type()) {
    case CalcValue::Boolean:
        cell.kind = quint8(CellKind::Boolean);
        cell.value.number = 0;
        cell.value.boolean = value.booleanValue();
        break;
    case CalcValue::Text:
        cell.kind = quint8(CellKind::FormulaString);
        cell.value.number = 0;
        state.d->formulaResults.insert(key, value.text());
        break;
    case CalcValue::Error:
        cell.kind = quint8(CellKind::Error);
        cell.value.number = 0;
        cell.value.string = errorIndex(sheet, value.errorValue());
        break;
    default:
        cell.kind = quint8(CellKind::Number);
        cell.value.number = value.isNumber() ? value.number() : 0;
        break;
    }
}

// Each cell of the formula's range takes its element of the result; a
// single row or column repeats across the range, and what the result does
// not reach is #N/A.
void CalcEngine::storeArray(int sheet, int row, int column, const CellArea &range, const CalcValue &result)
{
    Sheet &state = m_sheets[size_t(sheet)];
    const quint64 master = cellKey(row, column);
    const bool makesCells = std::any_of(state.partialArrays.begin(), state.partialArrays.end(),
                                        [master](const Sheet::PartialArray &partial) { return partial.master == master; });
    settlePartialArray(sheet, master);
    CalcEvaluator evaluator(*this);
    for (int r = range.firstRow(); r <= range.lastRow(); ++r) {
        for (int c = range.firstColumn(); c <= range.lastColumn(); ++c) {
            StoredCell *cell = state.d->cells.find(r, c);
            if (!cell && makesCells) {
                state.d->cells.store(r, WorksheetPrivate::newCell(c, CellKind::Number, Format()));
                state.d->extendDimension(r, c);
                state.lastRow = qMax(state.lastRow, r);
                state.lastColumn = qMax(state.lastColumn, c);
                cell = state.d->cells.find(r, c);
            } else if (!cell || (!(r == row && c == column) && !state.arrayMasters.contains(cellKey(r, c)))) {
                continue;
            }
            store(sheet, r, *cell, evaluator.singleValue(result.element(r - range.firstRow(), c - range.firstColumn())));
        }
    }
}

void CalcEngine::finish()
{
    for (Sheet &state : m_sheets) {
        if (!state.d)
            continue;
        std::sort(state.uncalculated.begin(), state.uncalculated.end(),
                  [](const CellAddress &a, const CellAddress &b) {
                      return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
                  });
        state.d->uncalculatedCells = state.uncalculated;
    }
}

// --- reading cells

CalcValue CalcEngine::valueOf(int sheet, int row, const StoredCell &cell)
{
    const Sheet &state = m_sheets[size_t(sheet)];
    switch (CellKind(cell.kind)) {
    case CellKind::SharedString:
    case CellKind::InlineString:
        // A sheet that holds its texts inline numbers them on its own.
        if (state.d->inlineTexts)
            return CalcValue(state.d->inlineTexts->plainTextOfEntry(cell.value.string));
        return CalcValue(sharedText(cell.value.string));
    case CellKind::FormulaString:
        return CalcValue(state.d->formulaResults.value(cellKey(row, cell.column)));
    case CellKind::Error: {
        CalcError error = CalcError::NotAvailable;
        CalcValue::parseError(state.d->errorTexts.value(int(cell.value.string)), error);
        return CalcValue::error(error);
    }
    case CellKind::Boolean:
        return (cell.flags & StoredCell::HasValue) ? CalcValue::boolean(cell.value.boolean) : CalcValue();
    default:
        return (cell.flags & StoredCell::HasValue) ? CalcValue(cell.value.number) : CalcValue();
    }
}

const QString &CalcEngine::sharedText(quint32 entry)
{
    if (entry >= m_texts.size()) {
        m_texts.resize(size_t(entry) + 1);
        m_textRead.resize(size_t(entry) + 1);
    }
    if (!m_textRead[entry]) {
        m_texts[entry] = m_book->sharedStrings->plainTextOfEntry(entry);
        m_textRead[entry] = true;
    }
    return m_texts[entry];
}

CalcValue CalcEngine::cellValue(int sheet, int row, int column)
{
    if (!isWorksheet(sheet))
        return CalcValue::error(CalcError::Reference);
    const Sheet &state = m_sheets[size_t(sheet)];
    const StoredCell *cell = state.d->cells.find(row, column);
    if (!cell) {
        noteArraysOver({ sheet, row, column, row, column });
        return CalcValue();
    }
    if (cell->flags & StoredCell::Calculating)
        m_missing.push_back({ sheet, row, column });
    return valueOf(sheet, row, *cell);
}

bool CalcEngine::visitCells(const CalcArea &area,
                            const std::function<bool(int row, int column, const CalcValue &value)> &visit)
{
    if (!isWorksheet(area.sheet))
        return true;
    const Sheet &state = m_sheets[size_t(area.sheet)];
    noteArraysOver(area);
    const int bottom = qMin(area.bottom, state.lastRow);
    for (int row = state.d->cells.nextRow(area.top - 1); row != 0 && row <= bottom;
         row = state.d->cells.nextRow(row)) {
        const CellTable::Row &cells = *state.d->cells.row(row);
        auto it = std::lower_bound(cells.begin(), cells.end(), area.left,
                                   [](const StoredCell &cell, int column) { return cell.column < column; });
        for (; it != cells.end() && it->column <= area.right; ++it) {
            if (it->flags & StoredCell::Calculating)
                m_missing.push_back({ area.sheet, row, it->column });
            const CalcValue value = valueOf(area.sheet, row, *it);
            if (value.isBlank())
                continue;
            if (!visit(row, it->column, value))
                return false;
        }
    }
    return true;
}

bool CalcEngine::isRowHidden(int sheet, int row) const
{
    if (!isWorksheet(sheet))
        return false;
    const auto settings = m_sheets[size_t(sheet)].d->rows.constFind(row);
    return settings != m_sheets[size_t(sheet)].d->rows.constEnd() && settings.value() && settings.value()->hidden;
}

bool CalcEngine::isSubtotalCell(int sheet, int row, int column)
{
    if (!isWorksheet(sheet))
        return false;
    const WorksheetPrivate *d = m_sheets[size_t(sheet)].d;
    const StoredCell *cell = d->cells.find(row, column);
    if (!cell || !(cell->flags & StoredCell::HasFormula))
        return false;
    const auto known = m_sheets[size_t(sheet)].subtotalCells.constFind(cellKey(row, column));
    if (known != m_sheets[size_t(sheet)].subtotalCells.constEnd())
        return known.value();
    const bool calls = callsSubtotal(sheet, row, column);
    m_sheets[size_t(sheet)].subtotalCells.insert(cellKey(row, column), calls);
    return calls;
}

bool CalcEngine::callsSubtotal(int sheet, int row, int column) const
{
    const WorksheetPrivate *d = m_sheets[size_t(sheet)].d;
    CellFormula formula = d->formulas.value(cellKey(row, column));
    if (formula.kind() == CellFormula::SharedFormula && formula.text().isEmpty()) {
        const quint64 master = d->sharedFormulaMasters.value(formula.sharedIndex());
        formula = d->formulas.value(master);
    }
    const QString text = formula.text();
    for (const FormulaToken &token : FormulaTokenizer::tokenize(text)) {
        if (token.type != FormulaToken::Function)
            continue;
        const CalcFunction *function = findCalcFunction(text.mid(token.start, token.length));
        if (function && (qstrcmp(function->name, "SUBTOTAL") == 0 || qstrcmp(function->name, "AGGREGATE") == 0))
            return true;
    }
    return false;
}

CalcArea CalcEngine::usedPart(const CalcArea &area) const
{
    CalcArea used = area;
    if (!isWorksheet(area.sheet))
        return used;
    const Sheet &state = m_sheets[size_t(area.sheet)];
    used.bottom = qMax(qMin(area.bottom, state.lastRow), area.top);
    used.right = qMax(qMin(area.right, state.lastColumn), area.left);
    return used;
}

const CalcFormula *CalcEngine::name(int sheet, const QString &upperName)
{
    const int sheetId = isWorksheet(sheet) ? m_sheets[size_t(sheet)].sheet->sheetId() : -2;
    QString key = nameKey(sheetId, upperName);
    const DefinedNameRecord *record = m_definedNames.value(key);
    if (!record) {
        key = nameKey(-1, upperName);
        record = m_definedNames.value(key);
    }
    if (!record)
        return nullptr;
    std::shared_ptr<const CalcFormula> &parsed = m_names[key];
    if (!parsed) {
        const QString text = record->formula.startsWith(QLatin1Char('=')) ? record->formula.mid(1) : record->formula;
        parsed = m_parser.parse(text, FormulaTokenizer::tokenize(text), 1, 1);
    }
    return parsed.get();
}

std::shared_ptr<const CalcFormula> CalcEngine::parse(const QString &text, int row, int column) const
{
    return m_parser.parse(text, FormulaTokenizer::tokenize(text), row, column);
}

bool CalcEngine::columnSum(const CalcArea &area, double &sum, double &largest, CalcValue &error)
{
    constexpr int shortest = 32;   // shorter ones are added as they are
    if (area.left != area.right || area.rows() < shortest || !isWorksheet(area.sheet))
        return false;
    if (noteArraysOver(area))
        return false;   // cells an array formula will make: it comes first
    // Kept from the second sum from the same first row on: a range that
    // starts on a new row each time (totals of what lies below) is added
    // as it is, without a cache that would grow with the square.
    std::shared_ptr<RunningSums> &sums = m_runningSums[areaKey(area)];
    if (!sums)
        sums = std::make_shared<RunningSums>();
    if (++sums->uses < 2)
        return false;
    const int wanted = qMin(area.bottom, qMax(m_sheets[size_t(area.sheet)].lastRow, area.top)) - area.top + 1;
    const size_t growth = size_t(qMax(0, wanted - int(sums->totals.size())));
    if (m_cachedEntries + growth > maximumCachedEntries)
        return false;
    const WorksheetPrivate *d = m_sheets[size_t(area.sheet)].d;
    while (int(sums->totals.size()) < wanted) {
        const int row = area.top + int(sums->totals.size());
        const StoredCell *cell = d->cells.find(row, area.left);
        if (cell && (cell->flags & StoredCell::Calculating))
            return false;   // the caller's own pass notes what it waits for
        const CalcValue value = cell ? valueOf(area.sheet, row, *cell) : CalcValue();
        if (value.isError() && sums->errorRow < 0) {
            sums->errorRow = int(sums->totals.size());
            sums->error = value;
        }
        sums->add(value.isNumber() ? value.number() : 0);
        ++m_cachedEntries;
    }
    if (sums->errorRow >= 0 && sums->errorRow < wanted) {
        error = sums->error;
        return true;
    }
    error = CalcValue();
    sum = wanted > 0 ? sums->totals[size_t(wanted - 1)] : 0.0;
    largest = wanted > 0 ? sums->largests[size_t(wanted - 1)] : 0.0;
    return true;
}

bool CalcEngine::findInColumn(const CalcArea &column, const CalcValue &key, int &row)
{
    const CalcArea used = usedPart(column);
    std::shared_ptr<ColumnIndex> &index = m_columnIndexes[areaKey(used)];
    if (!index || index->bottom != used.bottom) {
        // Built from the second lookup into the same cells on: a range
        // that grows row by row is scanned, and may stop early.
        index = std::make_shared<ColumnIndex>();
        index->bottom = used.bottom;
    }
    if (index->refused)
        return false;
    if (++index->uses == 2) {
        if (m_cachedEntries + size_t(used.rows()) > maximumCachedEntries) {
            index->refused = true;   // the caches are full: scanned from here on
            return false;
        }
        const size_t missingBefore = m_missing.size();
        visitCells(used, [&index](int cellRow, int, const CalcValue &value) {
            index->add(value, cellRow);
            return true;
        });
        if (m_missing.size() != missingBefore) {
            m_missing.resize(missingBefore);   // the caller's scan notes them
            index.reset();
            return false;
        }
        m_cachedEntries += size_t(index->size);
    }
    if (index->uses < 2)
        return false;
    row = index->find(key);
    return true;
}

} // namespace Spreadsheet
