// The rows of a worksheet that a SheetWriter writes: written out of the
// cell table in blocks, into the streamed rows a save splices in.

#include "worksheet_p.h"

#include "sharedstrings.h"
#include "sheetdatawriter_p.h"
#include "streamedrows_p.h"

namespace Spreadsheet {

// The texts of the rows still held (cells written further down through the
// sheet) move to a new table, and the old one goes with the rows written out.
void WorksheetPrivate::keepInlineTextsOfHeldRows()
{
    auto kept = std::make_unique<SharedStrings>(AbstractOOXmlFile::NewFromScratch);
    QVector<QPair<int, int>> texts;
    cells.forEachRow(1, [&](int row, const CellTable::Row &rowCells) {
        for (const StoredCell &cell : rowCells) {
            if (CellKind(cell.kind) == CellKind::SharedString)
                texts.append({ row, cell.column });
        }
    });
    for (const auto &[row, column] : qAsConst(texts)) {
        StoredCell *cell = cells.find(row, column);
        cell->value.string = kept->addEntry(inlineTexts->entryAt(cell->value.string));
    }
    inlineTexts = std::move(kept);
}

bool WorksheetPrivate::streamOut(int through)
{
    if (through <= streamedThrough)
        return !streamed->hasFailed();
    computeRowSpans();
    {
        SheetDataWriter writer(*this, streamed.get());
        writeRows(writer, streamedThrough + 1, through);
    }
    dropRowsThrough(through);
    streamedThrough = through;
    return !streamed->hasFailed();
}

// The rows written out leave the table with what is kept beside their cells;
// their links, notes and merges stay, as they are written after the rows.
void WorksheetPrivate::dropRowsThrough(int through)
{
    cells.dropRowsThrough(through);
    if (inlineTexts)
        keepInlineTextsOfHeldRows();
    for (auto it = formulas.begin(); it != formulas.end();) {
        if (rowOfKey(it.key()) <= through) {
            streamed->holdsFormulas = true;
            it = formulas.erase(it);
        } else {
            ++it;
        }
    }
    while (!rows.isEmpty() && rows.firstKey() <= through)
        rows.erase(rows.begin());
}

} // namespace Spreadsheet
