// Columns as wide as their cells show.
#include "worksheet.h"
#include "worksheet_p.h"

#include "cellmeasure_p.h"
#include "numberformatter_p.h"
#include "sharedstrings.h"
#include "workbook.h"

#include <QSet>

namespace Spreadsheet {

namespace {

// A stored cell's value as the cell shows it: numbers and dates under the
// cell's number format, texts under its text section, booleans in capitals.
QString shownText(const StoredCell &cell, const QString &text, const QString &code, bool date1904)
{
    const QString format = code.isEmpty() ? QStringLiteral("General") : code;
    switch (CellKind(cell.kind)) {
    case CellKind::Boolean:
        return cell.value.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellKind::Number:
        if (!(cell.flags & StoredCell::HasValue))
            return QString();
        return NumberFormatter::formatNumber(cell.value.number, format, date1904);
    case CellKind::Error:
        return text;
    default:
        return NumberFormatter::formatText(text, format);
    }
}

QString longestWord(const QString &text)
{
    QString longest;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.size() > longest.size())
            longest = word;
    }
    return longest;
}

} // namespace

bool Worksheet::autofitColumns(int first, int last)
{
    Q_D(Worksheet);
    if (first < 1 || last < first || last > WorksheetPrivate::maxColumns)
        return false;
    // Merged cells spread over their range, and do not widen a column.
    QSet<quint64> merged;
    for (const CellArea &range : qAsConst(d->mergedRanges))
        merged.insert(WorksheetPrivate::formulaKey(range.firstRow(), range.firstColumn()));
    const bool date1904 = d->workbook->isDate1904();
    CellMeasure measure;
    QMap<int, double> widest;   // pixels, by column
    d->cells.forEachRow(1, [&](int row, const CellTable::Row &cells) {
        for (const StoredCell &cell : cells) {
            if (cell.column < first || cell.column > last)
                continue;
            if (merged.contains(WorksheetPrivate::formulaKey(row, cell.column)))
                continue;
            const Format format = d->formatOf(cell.format);
            double pixels = 0;
            const auto kind = CellKind(cell.kind);
            if (kind == CellKind::SharedString && d->sharedStrings()->isRichEntry(cell.value.string)) {
                pixels = measure.richTextWidth(d->sharedStrings()->entryAt(cell.value.string), format);
            } else {
                const SheetCell value = d->cellValue(row, cell);
                const QString text = kind == CellKind::Number || kind == CellKind::Boolean ? QString()
                                                                                            : value.value().toString();
                QString shown = shownText(cell, text, format.numberFormatCode(), date1904);
                // A wrapped text without line breaks wraps at the column's
                // width: only its longest word must fit.
                if (format.textWrap() && !shown.contains(QLatin1Char('\n')))
                    shown = longestWord(shown);
                pixels = measure.textWidth(shown, format);
            }
            double &column = widest[cell.column];
            column = qMax(column, pixels);
        }
    });
    for (auto it = widest.constBegin(); it != widest.constEnd(); ++it) {
        if (it.value() > 0)
            setColumnWidth(it.key(), it.key(), CellMeasure::columnWidthFor(it.value()));
    }
    return true;
}

} // namespace Spreadsheet
