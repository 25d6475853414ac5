// The rows of a worksheet that a SheetWriter writes: written out of the
// cell table in blocks, into the streamed rows a save splices in.

#include "worksheet_p.h"

#include "sharedstrings.h"
#include "sheetdatawriter_p.h"
#include "streamedrows_p.h"

namespace Spreadsheet {

bool WorksheetPrivate::isStreamedRow(int row) const
{
    return streamed && row <= streamed->lastRow;
}

bool WorksheetPrivate::streamOut(int through)
{
    if (through <= streamed->lastRow)
        return !streamed->hasFailed();
    computeRowSpans();
    {
        SheetDataWriter writer(*this, streamed.get());
        writeRows(writer, streamed->lastRow + 1, through);
    }
    dropRowsThrough(through);
    streamed->lastRow = through;
    return !streamed->hasFailed();
}

// The rows written out leave the table with what is kept beside their cells;
// their links, notes and merges stay, as they are written after the rows.
void WorksheetPrivate::dropRowsThrough(int through)
{
    const bool ownTexts = inlineTexts != nullptr;
    if (ownTexts && cells.nextRow(through) == 0) {
        inlineTexts = std::make_unique<SharedStrings>(AbstractOOXmlFile::NewFromScratch);
    } else if (ownTexts) {
        cells.forEachRow(1, [&](int row, const CellTable::Row &rowCells) {
            for (const StoredCell &cell : rowCells) {
                if (row <= through && CellKind(cell.kind) == CellKind::SharedString)
                    inlineTexts->releaseEntry(cell.value.string);
            }
        });
    }
    cells.dropRowsThrough(through);
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
