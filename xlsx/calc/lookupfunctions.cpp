#include "calcengine_p.h"
#include "calcevaluator_p.h"
#include "calcfunction_p.h"
#include "celladdress.h"
#include "utility.h"

#include <cmath>

namespace Spreadsheet {

namespace {

CalcValue error(CalcError kind)
{
    return CalcValue::error(kind);
}

// A row or column of values to search: part of a reference's area, or of
// an array.
class Line
{
public:
    Line(CalcEngine &engine, const CalcValue &source, bool vertical, int offset = 0)
        : m_engine(engine), m_vertical(vertical), m_offset(offset)
    {
        if (source.isReference() && source.areaCount() == 1) {
            m_isReference = true;
            m_area = source.area();
            // What lies past the sheet's cells is blank: a whole column is
            // searched as far as the sheet goes.
            const CalcArea used = engine.usedPart(m_area);
            m_size = vertical ? used.rows() : used.columns();
        } else if (source.isArray()) {
            m_matrix = source.matrix();
            m_size = vertical ? m_matrix.rows : m_matrix.columns;
        } else {
            m_matrix.rows = m_matrix.columns = 1;
            m_matrix.values.push_back(source);
            m_size = 1;
        }
    }

    int size() const { return m_size; }
    CalcValue at(int i) const
    {
        if (m_isReference) {
            return m_vertical ? m_engine.cellValue(m_area.sheet, m_area.top + i, m_area.left + m_offset)
                              : m_engine.cellValue(m_area.sheet, m_area.top + m_offset, m_area.left + i);
        }
        return m_vertical ? m_matrix.at(i, m_offset) : m_matrix.at(m_offset, i);
    }
    // The single column of a reference, for the engine's index of it.
    bool columnArea(CalcArea &area) const
    {
        if (!m_isReference || !m_vertical)
            return false;
        area = m_area;
        area.left = area.right = m_area.left + m_offset;
        area.bottom = m_area.top + m_size - 1;
        return true;
    }

private:
    CalcEngine &m_engine;
    bool m_vertical;
    int m_offset;
    bool m_isReference = false;
    CalcArea m_area;
    CalcMatrix m_matrix;
    int m_size = 0;
};

bool sameKind(const CalcValue &a, const CalcValue &b)
{
    return a.type() == b.type();
}

// A blank key finds nothing, as spreadsheet programs look it up.
bool exactlyEqual(const CalcValue &candidate, const CalcValue &key, bool wildcards)
{
    if (key.isBlank() || !sameKind(candidate, key))
        return false;
    if (wildcards && key.isText())
        return CalcCoercion::matchesWildcards(key.text(), candidate.text());
    return CalcCoercion::compare(candidate, key) == 0;
}

// The first place (or last, searching backward) holding the key; texts
// without regard to case, with wildcards when asked; -1 for none.
int findExact(CalcEngine &engine, const Line &line, const CalcValue &key, bool wildcards, bool backward = false)
{
    const bool patterned = wildcards && key.isText() && CalcCoercion::hasWildcards(key.text());
    CalcArea column;
    if (!patterned && !backward && line.columnArea(column)) {
        int row = -1;
        if (engine.findInColumn(column, key, row))
            return row < 0 ? -1 : row - column.top;
    }
    for (int k = 0; k < line.size(); ++k) {
        const int i = backward ? line.size() - 1 - k : k;
        if (exactlyEqual(line.at(i), key, patterned))
            return i;
    }
    return -1;
}

// A sorted line's last place whose value is at most the key (at least it,
// descending): a binary search, as spreadsheet programs make it. Values of
// another kind than the key are never the answer.
int findSorted(const Line &line, const CalcValue &key, bool descending = false)
{
    if (key.isBlank())
        return -1;
    int low = 0;
    int high = line.size() - 1;
    int found = -1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const CalcValue value = line.at(middle);
        if (value.isBlank() || value.isError()) {
            // Skip down to a value that tells the way.
            int probe = middle - 1;
            while (probe >= low && (line.at(probe).isBlank() || line.at(probe).isError()))
                --probe;
            if (probe < low) {
                low = middle + 1;
                continue;
            }
            const int order = CalcCoercion::compare(line.at(probe), key);
            if (descending ? order >= 0 : order <= 0) {
                if (sameKind(line.at(probe), key))
                    found = probe;
                low = middle + 1;
            } else {
                high = probe - 1;
            }
            continue;
        }
        const int order = CalcCoercion::compare(value, key);
        if (descending ? order >= 0 : order <= 0) {
            if (sameKind(value, key))
                found = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return found;
}

// The cell (or element) at a place of a table.
CalcValue cellOf(CalcEngine &engine, const CalcValue &table, int row, int column)
{
    if (table.isReference())
        return engine.cellValue(table.area().sheet, table.area().top + row, table.area().left + column);
    return table.matrix().at(row, column);
}

int tableRows(const CalcValue &table)
{
    return table.isReference() ? table.area().rows() : table.matrix().rows;
}

int tableColumns(const CalcValue &table)
{
    return table.isReference() ? table.area().columns() : table.matrix().columns;
}

CalcValue tableOf(CalcCall &call, int index)
{
    const CalcValue &value = call.at(index);
    if (value.isError())
        return value;
    if (value.isReference())
        return value.areaCount() == 1 ? value : error(CalcError::Reference);
    return CalcValue::array(call.matrix(index));
}

// VLOOKUP and HLOOKUP.
CalcValue tableLookup(CalcCall &call, bool vertical)
{
    const CalcValue key = call.evaluator().singleValue(call.at(0));
    if (key.isError())
        return key;
    const CalcValue table = tableOf(call, 1);
    if (table.isError())
        return table;
    qint64 index = 0;
    bool sorted = true;
    if (!call.integer(2, index) || !call.boolean(3, sorted, true))
        return call.error();
    if (index < 1)
        return error(CalcError::Value);
    if (index > (vertical ? tableColumns(table) : tableRows(table)))
        return error(CalcError::Reference);
    CalcEngine &engine = call.evaluator().engine();
    const Line line(engine, table, vertical);
    const int place = sorted ? findSorted(line, key) : findExact(engine, line, key, true);
    if (place < 0)
        return error(CalcError::NotAvailable);
    return vertical ? cellOf(engine, table, place, int(index - 1)) : cellOf(engine, table, int(index - 1), place);
}

CalcValue verticalLookup(CalcCall &call)
{
    return tableLookup(call, true);
}

CalcValue horizontalLookup(CalcCall &call)
{
    return tableLookup(call, false);
}

// LOOKUP(key, vector, [result vector]); of a table, the first row or
// column (the longer side) is searched and the last gives the result.
CalcValue lookup(CalcCall &call)
{
    const CalcValue key = call.evaluator().singleValue(call.at(0));
    if (key.isError())
        return key;
    const CalcValue table = tableOf(call, 1);
    if (table.isError())
        return table;
    CalcEngine &engine = call.evaluator().engine();
    const bool vertical = tableRows(table) >= tableColumns(table);
    const Line line(engine, table, vertical);
    const int place = findSorted(line, key);
    if (place < 0)
        return error(CalcError::NotAvailable);
    if (call.has(2)) {
        const CalcValue results = tableOf(call, 2);
        if (results.isError())
            return results;
        const bool resultsVertical = tableRows(results) >= tableColumns(results);
        const Line resultLine(engine, results, resultsVertical);
        if (place >= resultLine.size() && results.isReference()) {
            const CalcArea &area = results.area();
            return resultsVertical ? engine.cellValue(area.sheet, area.top + place, area.left)
                                   : engine.cellValue(area.sheet, area.top, area.left + place);
        }
        return resultLine.at(place);
    }
    return vertical ? cellOf(engine, table, place, tableColumns(table) - 1)
                    : cellOf(engine, table, tableRows(table) - 1, place);
}

// The key (the first argument) and the row or column searched (the
// second) of MATCH, XMATCH and XLOOKUP; false, failure holding the error to
// give, when the key is an error or the second argument is no single row
// or column.
bool keyAndLine(CalcCall &call, CalcError notALine, CalcValue &key, CalcValue &table, bool &vertical,
                CalcValue &failure)
{
    key = call.evaluator().singleValue(call.at(0));
    if (key.isError()) {
        failure = key;
        return false;
    }
    table = tableOf(call, 1);
    if (table.isError()) {
        failure = table;
        return false;
    }
    vertical = tableColumns(table) == 1;
    if (!vertical && tableRows(table) != 1) {
        failure = error(notALine);
        return false;
    }
    return true;
}

CalcValue match(CalcCall &call)
{
    CalcValue key;
    CalcValue table;
    bool vertical = true;
    CalcValue failure;
    if (!keyAndLine(call, CalcError::NotAvailable, key, table, vertical, failure))
        return failure;
    double type = 1;
    if (!call.number(2, type, 1))
        return call.error();
    CalcEngine &engine = call.evaluator().engine();
    const Line line(engine, table, vertical);
    int place = -1;
    if (type == 0)
        place = findExact(engine, line, key, true);
    else
        place = findSorted(line, key, type < 0);
    return place < 0 ? error(CalcError::NotAvailable) : CalcValue(double(place + 1));
}

// XLOOKUP's and XMATCH's search: match mode 0 exact, -1 exact or the next
// smaller, 1 exact or the next larger, 2 wildcards; search mode 1 first to
// last, -1 last to first, 2 and -2 binary over ascending and descending.
int extendedFind(CalcEngine &engine, const Line &line, const CalcValue &key, int matchMode, int searchMode)
{
    if (key.isBlank())
        return -1;
    if (searchMode == 2 || searchMode == -2) {
        const bool descending = searchMode == -2;
        const int place = findSorted(line, key, descending);
        if (place >= 0 && CalcCoercion::compare(line.at(place), key) == 0)
            return place;
        if (matchMode == 0 || matchMode == 2)
            return -1;
        // The neighbour on the side asked for.
        const bool smaller = matchMode == -1;
        if (smaller != descending)
            return place;
        const int next = place + 1;
        return next < line.size() && sameKind(line.at(next), key) ? next : -1;
    }
    const bool backward = searchMode == -1;
    if (matchMode == 0 || matchMode == 2)
        return findExact(engine, line, key, matchMode == 2, backward);
    int best = -1;
    CalcValue bestValue;
    for (int k = 0; k < line.size(); ++k) {
        const int i = backward ? line.size() - 1 - k : k;
        const CalcValue value = line.at(i);
        if (!sameKind(value, key))
            continue;
        const int order = CalcCoercion::compare(value, key);
        if (order == 0)
            return i;
        const bool onSide = matchMode < 0 ? order < 0 : order > 0;
        if (onSide && (best < 0 || (matchMode < 0 ? CalcCoercion::compare(value, bestValue) > 0
                                                  : CalcCoercion::compare(value, bestValue) < 0))) {
            best = i;
            bestValue = value;
        }
    }
    return best;
}

bool modes(CalcCall &call, int first, qint64 &matchMode, qint64 &searchMode)
{
    if (!call.integer(first, matchMode, 0) || !call.integer(first + 1, searchMode, 1))
        return false;
    if (matchMode < -1 || matchMode > 2 || !(searchMode == 1 || searchMode == -1 || searchMode == 2 || searchMode == -2)) {
        call.setError(CalcError::Value);
        return false;
    }
    return true;
}

CalcValue extendedMatch(CalcCall &call)
{
    CalcValue key;
    CalcValue table;
    bool vertical = true;
    CalcValue failure;
    if (!keyAndLine(call, CalcError::Value, key, table, vertical, failure))
        return failure;
    qint64 matchMode = 0;
    qint64 searchMode = 1;
    if (!modes(call, 2, matchMode, searchMode))
        return call.error();
    CalcEngine &engine = call.evaluator().engine();
    const int place = extendedFind(engine, Line(engine, table, vertical), key, int(matchMode), int(searchMode));
    return place < 0 ? error(CalcError::NotAvailable) : CalcValue(double(place + 1));
}

// The row (or column) of the result array at a place: a reference to it,
// so that a formula can go on with it.
CalcValue slice(const CalcValue &results, bool vertical, int place)
{
    if (results.isReference()) {
        CalcArea area = results.area();
        if (vertical)
            area.top = area.bottom = area.top + place;
        else
            area.left = area.right = area.left + place;
        return CalcValue::reference(area);
    }
    const CalcMatrix &matrix = results.matrix();
    CalcMatrix part;
    part.rows = vertical ? 1 : matrix.rows;
    part.columns = vertical ? matrix.columns : 1;
    for (int r = 0; r < part.rows; ++r) {
        for (int c = 0; c < part.columns; ++c)
            part.values.push_back(matrix.at(vertical ? place : r, vertical ? c : place));
    }
    return CalcValue::array(std::move(part));
}

CalcValue extendedLookup(CalcCall &call)
{
    CalcValue key;
    CalcValue table;
    bool vertical = true;
    CalcValue failure;
    if (!keyAndLine(call, CalcError::Value, key, table, vertical, failure))
        return failure;
    const CalcValue results = tableOf(call, 2);
    if (results.isError())
        return results;
    const int length = vertical ? tableRows(table) : tableColumns(table);
    if ((vertical ? tableRows(results) : tableColumns(results)) != length)
        return error(CalcError::Value);
    qint64 matchMode = 0;
    qint64 searchMode = 1;
    if (!modes(call, 4, matchMode, searchMode))
        return call.error();
    CalcEngine &engine = call.evaluator().engine();
    const int place = extendedFind(engine, Line(engine, table, vertical), key, int(matchMode), int(searchMode));
    if (place < 0)
        return call.has(3) ? call.at(3) : error(CalcError::NotAvailable);
    return slice(results, vertical, place);
}

// INDEX(table, row, [column], [area]): a reference to the cell, row or
// column (0 takes all of them); of an array, its element.
CalcValue index(CalcCall &call)
{
    const CalcValue &source = call.at(0);
    if (source.isError())
        return source;
    qint64 row = 0;
    qint64 column = 0;
    qint64 areaNumber = 1;
    if (!call.integer(1, row, 0) || !call.integer(2, column, 0) || !call.integer(3, areaNumber, 1))
        return call.error();
    if (row < 0 || column < 0)
        return error(CalcError::Value);
    if (source.isReference()) {
        if (areaNumber < 1 || areaNumber > source.areaCount())
            return error(CalcError::Reference);
        CalcArea area = source.areaAt(int(areaNumber - 1));
        // One index into a single row counts columns.
        if (!call.has(2) && area.rows() == 1 && area.columns() > 1)
            std::swap(row, column);
        if (row > area.rows() || column > area.columns())
            return error(CalcError::Reference);
        if (row > 0)
            area.top = area.bottom = area.top + int(row) - 1;
        if (column > 0)
            area.left = area.right = area.left + int(column) - 1;
        return CalcValue::reference(area);
    }
    const CalcMatrix matrix = call.matrix(0);
    if (!call.has(2) && matrix.rows == 1 && matrix.columns > 1)
        std::swap(row, column);
    if (row > matrix.rows || column > matrix.columns)
        return error(CalcError::Reference);
    if (row > 0 && column > 0)
        return matrix.at(int(row - 1), int(column - 1));
    if (row > 0 || column > 0) {
        const CalcValue whole = CalcValue::array(matrix);
        return slice(whole, row > 0, int(row > 0 ? row - 1 : column - 1));
    }
    return CalcValue::array(matrix);
}

CalcValue rowOrColumn(CalcCall &call, bool isRow)
{
    if (!call.has(0))
        return CalcValue(double(isRow ? call.position().row : call.position().column));
    const CalcValue &reference = call.at(0);
    if (reference.isError())
        return reference;
    if (!reference.isReference())
        return error(CalcError::Value);
    const CalcArea &area = reference.area();
    const int first = isRow ? area.top : area.left;
    const int count = isRow ? area.rows() : area.columns();
    if (count == 1 || !call.evaluator().isArrayMode())
        return CalcValue(double(first));
    CalcMatrix numbers;
    numbers.rows = isRow ? count : 1;
    numbers.columns = isRow ? 1 : count;
    for (int i = 0; i < count; ++i)
        numbers.values.push_back(CalcValue(double(first + i)));
    return CalcValue::array(std::move(numbers));
}

CalcValue row(CalcCall &call)
{
    return rowOrColumn(call, true);
}

CalcValue column(CalcCall &call)
{
    return rowOrColumn(call, false);
}

CalcValue countLines(CalcCall &call, bool rows)
{
    const CalcValue &value = call.at(0);
    if (value.isError())
        return value;
    if (value.isReference()) {
        if (value.areaCount() != 1)
            return error(CalcError::Reference);
        return CalcValue(double(rows ? value.area().rows() : value.area().columns()));
    }
    if (value.isArray())
        return CalcValue(double(rows ? value.matrix().rows : value.matrix().columns));
    return CalcValue(1.0);
}

CalcValue rows(CalcCall &call)
{
    return countLines(call, true);
}

CalcValue columns(CalcCall &call)
{
    return countLines(call, false);
}

CalcValue offset(CalcCall &call)
{
    const CalcValue &reference = call.at(0);
    if (reference.isError())
        return reference;
    if (!reference.isReference() || reference.areaCount() != 1)
        return error(CalcError::Value);
    const CalcArea &base = reference.area();
    qint64 down = 0;
    qint64 across = 0;
    qint64 height = base.rows();
    qint64 width = base.columns();
    if (!call.integer(1, down) || !call.integer(2, across) || !call.integer(3, height, base.rows())
        || !call.integer(4, width, base.columns()))
        return call.error();
    if (height < 1 || width < 1)
        return error(CalcError::Reference);
    CalcArea area = base;
    const qint64 top = base.top + down;
    const qint64 left = base.left + across;
    const qint64 bottom = top + height - 1;
    const qint64 right = left + width - 1;
    if (top < 1 || left < 1 || bottom > maximumRows || right > maximumColumns)
        return error(CalcError::Reference);
    area.top = int(top);
    area.left = int(left);
    area.bottom = int(bottom);
    area.right = int(right);
    return CalcValue::reference(area);
}

// "R2C3", "R[-1]C[2]", "R1C1:R3C2", with an optional sheet: the
// row-and-column form of INDIRECT, relative to the formula's cell.
bool readRowColumn(const QString &text, int baseRow, int baseColumn, int &row, int &column)
{
    int i = 0;
    const auto part = [&](QChar letter, int base, int &value) {
        if (i >= text.size() || text[i].toUpper() != letter)
            return false;
        ++i;
        if (i < text.size() && text[i] == QLatin1Char('[')) {
            const int close = text.indexOf(QLatin1Char(']'), i);
            bool ok = false;
            const int delta = close < 0 ? 0 : text.midRef(i + 1, close - i - 1).toInt(&ok);
            if (!ok)
                return false;
            value = base + delta;
            i = close + 1;
            return true;
        }
        int end = i;
        while (end < text.size() && text[end].isDigit())
            ++end;
        if (end == i) {
            value = base;
            return true;
        }
        bool ok = false;
        value = text.midRef(i, end - i).toInt(&ok);
        i = end;
        return ok;
    };
    return part(QLatin1Char('R'), baseRow, row) && part(QLatin1Char('C'), baseColumn, column) && i == text.size();
}

CalcValue rowColumnReference(CalcCall &call, const QString &text)
{
    CalcEngine &engine = call.evaluator().engine();
    QString cells = text;
    int sheet = call.position().sheet;
    const int bang = text.lastIndexOf(QLatin1Char('!'));
    if (bang >= 0) {
        sheet = engine.sheetIndex(unquoteSheetName(text.left(bang)));
        cells = text.mid(bang + 1);
        if (sheet < 0)
            return error(CalcError::Reference);
    }
    const QStringList corners = cells.split(QLatin1Char(':'));
    if (corners.size() > 2)
        return error(CalcError::Reference);
    CalcArea area;
    area.sheet = sheet;
    const CalcPosition &at = call.position();
    if (!readRowColumn(corners.first(), at.row, at.column, area.top, area.left))
        return error(CalcError::Reference);
    area.bottom = area.top;
    area.right = area.left;
    if (corners.size() == 2 && !readRowColumn(corners.last(), at.row, at.column, area.bottom, area.right))
        return error(CalcError::Reference);
    if (area.top > area.bottom)
        std::swap(area.top, area.bottom);
    if (area.left > area.right)
        std::swap(area.left, area.right);
    if (area.top < 1 || area.left < 1 || area.bottom > maximumRows || area.right > maximumColumns)
        return error(CalcError::Reference);
    return CalcValue::reference(area);
}

CalcValue indirect(CalcCall &call)
{
    QString text;
    bool a1 = true;
    if (!call.text(0, text) || !call.boolean(1, a1, true))
        return call.error();
    text = text.trimmed();
    if (text.isEmpty())
        return error(CalcError::Reference);
    if (!a1)
        return rowColumnReference(call, text);
    CalcEngine &engine = call.evaluator().engine();
    const std::shared_ptr<const CalcFormula> parsed = engine.parse(text, call.position().row, call.position().column);
    if (!parsed->root)
        return error(CalcError::Reference);
    const CalcNode::Kind kind = parsed->root->kind;
    const bool referenceLike = kind == CalcNode::Reference || kind == CalcNode::Name || kind == CalcNode::Union
        || (kind == CalcNode::Binary && (parsed->root->op == CalcNode::Range || parsed->root->op == CalcNode::Intersect));
    if (!referenceLike)
        return error(CalcError::Reference);
    const CalcValue value = call.evaluator().evaluate(*parsed->root);
    return value.isReference() ? value : error(CalcError::Reference);
}

// ADDRESS(row, column, [kind 1 $A$1, 2 A$1, 3 $A1, 4 A1], [A1 style], [sheet]).
CalcValue address(CalcCall &call)
{
    qint64 row = 0;
    qint64 column = 0;
    qint64 kind = 1;
    bool a1 = true;
    QString sheet;
    if (!call.integer(0, row) || !call.integer(1, column) || !call.integer(2, kind, 1) || !call.boolean(3, a1, true))
        return call.error();
    if (call.has(4) && !call.text(4, sheet))
        return call.error();
    if (kind < 1 || kind > 4)
        return error(CalcError::Value);
    const bool rowAbsolute = kind == 1 || kind == 2;
    const bool columnAbsolute = kind == 1 || kind == 3;
    QString text;
    if (a1) {
        if (row < 1 || column < 1 || row > maximumRows || column > maximumColumns)
            return error(CalcError::Value);
        text = (columnAbsolute ? QStringLiteral("$") : QString()) + columnLetters(int(column))
            + (rowAbsolute ? QStringLiteral("$") : QString()) + QString::number(row);
    } else {
        const auto part = [](QChar letter, qint64 value, bool absolute) {
            return QString(letter) + (absolute ? QString::number(value) : QStringLiteral("[%1]").arg(value));
        };
        text = part(QLatin1Char('R'), row, rowAbsolute) + part(QLatin1Char('C'), column, columnAbsolute);
    }
    if (!sheet.isEmpty())
        text = quoteSheetName(sheet) + QLatin1Char('!') + text;
    return CalcValue(text);
}

const CalcFunction functions[] = {
    { "VLOOKUP", 3, 4, "SASS", verticalLookup },
    { "HLOOKUP", 3, 4, "SASS", horizontalLookup },
    { "LOOKUP", 2, 3, "SA", lookup },
    { "MATCH", 2, 3, "SAS", match },
    { "XMATCH", 2, 4, "SAS", extendedMatch },
    { "XLOOKUP", 3, 6, "SAAS", extendedLookup },
    { "INDEX", 2, 4, "AS", index },
    { "ROW", 0, 1, "R", row },
    { "COLUMN", 0, 1, "R", column },
    { "ROWS", 1, 1, "A", rows },
    { "COLUMNS", 1, 1, "A", columns },
    { "OFFSET", 3, 5, "RS", offset },
    { "INDIRECT", 1, 2, "S", indirect },
    { "ADDRESS", 2, 5, "S", address },
};

} // namespace

CalcFunctionTable calcLookupFunctions()
{
    return { functions, int(sizeof functions / sizeof *functions) };
}

} // namespace Spreadsheet
