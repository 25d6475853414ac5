#include "sheetwriter.h"
#include "sheetwriter_p.h"

#include "document.h"
#include "sharedstrings.h"
#include "streamedrows_p.h"
#include "workbook.h"
#include "worksheet.h"
#include "worksheet_p.h"

namespace Spreadsheet {

namespace {

// The cells held before the rows go out: about a megabyte of cells, and
// enough rows that the per-block work is small beside the cells'.
constexpr int heldCellsLimit = 65536;
// Rows go out in whole blocks of this many, whose cells' columns the rows'
// "spans" attribute sums up.
constexpr int spanBlockRows = 16;

} // namespace

bool SheetWriterPrivate::fail(const QString &reason)
{
    if (error.isEmpty())
        error = reason;   // the first failure is the one to tell
    return false;
}

Worksheet *SheetWriterPrivate::sheet() const
{
    return rows ? rows->sheet : nullptr;
}

SheetWriter::SheetWriter(Document &document, const QString &sheetName, TextStorage texts)
    : d(new SheetWriterPrivate)
{
    auto rows = std::make_shared<StreamedRows>();
    if (!rows->start()) {
        d->fail(rows->errorString());
        return;
    }
    Workbook *book = document.workbook();
    AbstractSheet *added = book->addSheet(sheetName, AbstractSheet::WorkSheet);
    if (!added) {
        d->fail(QStringLiteral("the document cannot take a sheet named \"%1\"").arg(sheetName));
        return;
    }
    auto *worksheet = static_cast<Worksheet *>(added);
    WorksheetPrivate *sheet = worksheet->d_func();
    rows->sheet = worksheet;
    sheet->streamed = rows;
    if (texts == InlineTexts)
        sheet->inlineTexts = std::make_unique<SharedStrings>(AbstractOOXmlFile::NewFromScratch);
    else
        book->sharedStrings()->keepPositions();   // the rows written out refer to them
    d->rows = rows;
}

SheetWriter::~SheetWriter() = default;

bool SheetWriter::writeRow(const QVector<QVariant> &values, const QVector<Format> &formats)
{
    return writeRow(d->lastRow + 1, values, formats);
}

bool SheetWriter::writeRow(int row, const QVector<QVariant> &values, const QVector<Format> &formats)
{
    Worksheet *sheet = d->sheet();
    if (!sheet)
        return d->fail(d->rows ? QStringLiteral("the sheet has left its document")
                               : QStringLiteral("no sheet is being written"));
    if (row <= d->lastRow || row > maximumRows)
        return d->fail(QStringLiteral("row %1 does not come after row %2 within the sheet").arg(row).arg(d->lastRow));

    // The rows held go out once a row starts a new block: all of them, to
    // the end of the last one's block, whose cells' columns its spans sum up.
    WorksheetPrivate *sheetData = sheet->d_func();
    const int lastBlock = (d->lastRow - 1) / spanBlockRows;
    if (d->lastRow > 0 && (row - 1) / spanBlockRows != lastBlock && d->heldCells >= heldCellsLimit) {
        if (!sheetData->streamOut((lastBlock + 1) * spanBlockRows))
            return d->fail(d->rows->errorString());
        d->heldCells = 0;
    }
    d->lastRow = row;

    bool stored = true;
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        const Format format = i < formats.size() ? formats.at(i) : Format();
        if (!value.isValid() && !format.isValid())
            continue;
        if (sheet->writeValue(row, i + 1, value, format)) {
            ++d->heldCells;
        } else {
            stored = d->fail(QStringLiteral("cell %1: a value of type %2 cannot be stored")
                                 .arg(CellAddress(row, i + 1).toText(), QString::fromLatin1(value.typeName())));
        }
    }
    return stored;
}

Worksheet *SheetWriter::worksheet() const
{
    return d->sheet();
}

int SheetWriter::rowNumber() const
{
    return d->lastRow;
}

bool SheetWriter::hasError() const
{
    return !d->error.isEmpty();
}

QString SheetWriter::errorString() const
{
    return d->error;
}

} // namespace Spreadsheet
