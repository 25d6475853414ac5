#ifndef FUZZING_H
#define FUZZING_H

#include "spreadsheet/document.h"
#include "spreadsheet/readlimits.h"
#include "spreadsheet/worksheet.h"

#include <QBuffer>
#include <QStringList>

// What the targets that load packages share: a failed check stops the run
// as a crash; small limits keep each input fast (a limit passed is just a
// refusal).
namespace Fuzzing {

inline void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

inline Spreadsheet::ReadLimits limits()
{
    Spreadsheet::ReadLimits limits;
    limits.maxEntries = 64;
    limits.maxInflatedSize = 8 << 20;
    limits.compressionRatioFrom = 1 << 20;
    limits.maxXmlDepth = 64;
    return limits;
}

// The document saved; the save must succeed.
inline QByteArray saved(Spreadsheet::Document &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    check(document.saveToDevice(&buffer));
    return buffer.data();
}

// A document that loaded saves, and what it saved loads again with the
// same sheets and saves again.
inline void checkSavesAndLoadsAgain(Spreadsheet::Document &document)
{
    const QStringList names = document.sheetNames();
    QBuffer buffer;
    buffer.setData(saved(document));
    buffer.open(QIODevice::ReadOnly);
    Spreadsheet::Document again;
    check(again.load(&buffer));
    check(again.sheetNames() == names);
    saved(again);
}

// Rows and columns inserted and removed on every sheet and the first sheet
// renamed: whatever the loaded parts held, the edited document calculates
// (a failed calculation says why), saves, and loads again.
inline void checkEditsSaveAndLoadAgain(Spreadsheet::Document &document)
{
    const QStringList names = document.sheetNames();
    for (const QString &name : names) {
        document.selectSheet(name);
        document.insertRows(2, 2);
        document.removeColumns(1);
        document.insertColumns(3);
        document.removeRows(1);
        if (Spreadsheet::Worksheet *sheet = document.activeWorksheet()) {
            sheet->autofitColumns(1, 20);
            sheet->setPageSetup(sheet->pageSetup());
            for (const Spreadsheet::SheetTable &table : sheet->tables())
                check(table.range.isValid() && table.columns.size() == table.range.columnCount());
        }
    }
    if (!names.isEmpty())
        document.renameSheet(names.first(), QStringLiteral("Edited 'one'"));
    check(document.calculate() || !document.errorString().isEmpty());
    checkSavesAndLoadsAgain(document);
}

} // namespace Fuzzing

#endif // FUZZING_H
