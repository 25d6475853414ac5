#include "structuredreference_p.h"

#include "formulatokenizer_p.h"
#include "sheettable.h"

namespace Spreadsheet {

namespace {

// The end of the bracket that opens at start (the index after its "]"),
// "'" escaping the next character; -1 when it does not close.
int closingBracket(const QString &text, int start)
{
    int depth = 0;
    for (int i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(']')) {
            if (--depth == 0)
                return i + 1;
        }
    }
    return -1;
}

QString unescaped(const QStringRef &name)
{
    QString plain;
    plain.reserve(name.size());
    for (int i = 0; i < name.size(); ++i) {
        if (name.at(i) == QLatin1Char('\'') && i + 1 < name.size())
            ++i;
        plain.append(name.at(i));
    }
    return plain;
}

// One item inside the outer brackets: a special row set or a column.
bool readItem(const QString &item, StructuredReference &reference, bool &rowsGiven, QStringList &columns)
{
    const QString trimmed = item.trimmed();
    if (trimmed.startsWith(QLatin1Char('#'))) {
        const QString keyword = trimmed.toLower();
        int rows = 0;
        if (keyword == QLatin1String("#all"))
            rows = StructuredReference::All;
        else if (keyword == QLatin1String("#data"))
            rows = StructuredReference::Data;
        else if (keyword == QLatin1String("#headers"))
            rows = StructuredReference::Headers;
        else if (keyword == QLatin1String("#totals"))
            rows = StructuredReference::Totals;
        else if (keyword == QLatin1String("#this row"))
            rows = StructuredReference::ThisRow;
        else
            return false;
        reference.rows = rowsGiven ? reference.rows | rows : rows;
        rowsGiven = true;
        return true;
    }
    columns << unescaped(QStringRef(&item));
    return true;
}

} // namespace

std::optional<StructuredReference> StructuredReference::parse(const QString &text)
{
    const int open = text.indexOf(QLatin1Char('['));
    if (open <= 0 || closingBracket(text, open) != text.size())
        return std::nullopt;
    StructuredReference reference;
    reference.table = text.left(open);
    const QString inside = text.mid(open + 1, text.size() - open - 2);
    bool rowsGiven = false;
    QStringList columns;
    if (inside.startsWith(QLatin1Char('@'))) {
        // "Table1[@Acidity]", "Table1[@[Acidity ratio]]": this row's.
        reference.rows = ThisRow;
        QString column = inside.mid(1);
        if (column.startsWith(QLatin1Char('[')) && column.endsWith(QLatin1Char(']')))
            column = column.mid(1, column.size() - 2);
        if (!column.isEmpty())
            columns << unescaped(QStringRef(&column));
    } else if (!inside.trimmed().startsWith(QLatin1Char('['))) {
        if (!inside.isEmpty() && !readItem(inside, reference, rowsGiven, columns))
            return std::nullopt;
    } else {
        // "[a],[b]:[c]": items in brackets (or, as some programs write the
        // last, bare), separated by commas; a colon joins two columns.
        int i = 0;
        bool range = false;
        while (i < inside.size()) {
            const QChar c = inside.at(i);
            if (c == QLatin1Char(' ') || c == QLatin1Char(',')) {
                ++i;
                continue;
            }
            if (c == QLatin1Char(':')) {
                range = true;
                ++i;
                continue;
            }
            int end = i;
            QString item;
            if (c == QLatin1Char('[')) {
                end = closingBracket(inside, i);
                if (end < 0)
                    return std::nullopt;
                item = inside.mid(i + 1, end - i - 2);
            } else {
                while (end < inside.size() && inside.at(end) != QLatin1Char(',') && inside.at(end) != QLatin1Char(':')
                       && inside.at(end) != QLatin1Char('['))
                    end += inside.at(end) == QLatin1Char('\'') ? 2 : 1;
                end = qMin(end, int(inside.size()));
                item = inside.mid(i, end - i);
            }
            const int before = columns.size();
            if (!readItem(item, reference, rowsGiven, columns))
                return std::nullopt;
            if (range && columns.size() != before + 1)
                return std::nullopt;
            range = false;
            i = end;
        }
    }
    if (columns.size() > 2)
        return std::nullopt;
    if (!columns.isEmpty()) {
        reference.firstColumn = columns.first();
        reference.lastColumn = columns.last();
    }
    return reference;
}

TableColumnIndex TableColumnIndex::of(const SheetTable &table, int sheet)
{
    TableColumnIndex index;
    index.table = &table;
    index.sheet = sheet;
    index.columns.reserve(table.columns.size());
    for (int i = 0; i < table.columns.size(); ++i)
        index.columns.insert(table.columns.at(i).name.toCaseFolded(), i);
    return index;
}

CellArea StructuredReference::resolve(const TableColumnIndex &index) const
{
    const SheetTable &table = *index.table;
    const CellArea &range = table.range;
    int left = range.firstColumn();
    int right = range.lastColumn();
    if (!firstColumn.isEmpty()) {
        const int first = index.columns.value(firstColumn.toCaseFolded(), -1);
        const int last = index.columns.value(lastColumn.toCaseFolded(), -1);
        if (first < 0 || last < 0)
            return CellArea();
        left = range.firstColumn() + qMin(first, last);
        right = range.firstColumn() + qMax(first, last);
    }
    if (rows & ThisRow)
        return CellArea(0, left, 0, right);
    // Rows the table lacks narrow a set of rows; asked for alone, they are
    // a reference to nothing.
    int wanted = rows;
    if (!table.headerRow)
        wanted &= ~Headers;
    if (!table.totalsRow)
        wanted &= ~Totals;
    if (!wanted)
        return CellArea();
    const int firstData = range.firstRow() + (table.headerRow ? 1 : 0);
    const int lastData = range.lastRow() - (table.totalsRow ? 1 : 0);
    const int first = wanted & Headers ? range.firstRow() : wanted & Data ? firstData : range.lastRow();
    const int last = wanted & Totals ? range.lastRow() : wanted & Data ? lastData : range.firstRow();
    // Headers with totals but not the data between cannot be one area.
    if ((wanted & Headers) && (wanted & Totals) && !(wanted & Data))
        return CellArea();
    if (first < 1 || last < first)
        return CellArea();
    return CellArea(first, left, last, right);
}

QString StructuredReference::qualified(const QString &formula, const QString &table)
{
    const QVector<FormulaToken> tokens = FormulaTokenizer::tokenize(formula);
    QString text;
    bool changed = false;
    for (const FormulaToken &token : tokens) {
        const QStringRef written = formula.midRef(token.start, token.length);
        if (token.type == FormulaToken::StructuredReference && written.startsWith(QLatin1Char('['))) {
            text += table;
            changed = true;
        }
        text += written;
    }
    return changed ? text : formula;
}

QString StructuredReference::escaped(const QString &column)
{
    QString text;
    text.reserve(column.size() + 2);
    for (const QChar c : column) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('#') || c == QLatin1Char('\''))
            text.append(QLatin1Char('\''));
        text.append(c);
    }
    return text;
}

QString StructuredReference::storedFormula(const QString &formula, const QString &table)
{
    QString stored;
    stored.reserve(formula.size() + 32);
    bool inText = false;
    for (int i = 0; i < formula.size(); ++i) {
        const QChar c = formula.at(i);
        if (c == QLatin1Char('"'))
            inText = !inText;
        const bool thisRow = !inText && c == QLatin1Char('[') && i + 1 < formula.size()
            && formula.at(i + 1) == QLatin1Char('@');
        if (!thisRow) {
            stored.append(c);
            continue;
        }
        const int end = closingBracket(formula, i);
        if (end < 0) {
            stored.append(formula.midRef(i));
            break;
        }
        // The table's name before the bracket, or none: this table's.
        int nameStart = i;
        while (nameStart > 0 && (formula.at(nameStart - 1).isLetterOrNumber() || formula.at(nameStart - 1) == QLatin1Char('_')
                                 || formula.at(nameStart - 1) == QLatin1Char('.') || formula.at(nameStart - 1) == QLatin1Char('\\')))
            --nameStart;
        const bool named = nameStart < i;
        if (named)
            stored.chop(i - nameStart);
        QString column = formula.mid(i + 2, end - i - 3);
        if (!column.startsWith(QLatin1Char('[')))
            column = QLatin1Char('[') + column + QLatin1Char(']');
        stored += (named ? formula.mid(nameStart, i - nameStart) : table) + QLatin1String("[[#This Row],") + column
            + QLatin1Char(']');
        i = end - 1;
    }
    return stored;
}

} // namespace Spreadsheet
