#ifndef FUZZING_H
#define FUZZING_H

#include "spreadsheet/document.h"
#include "spreadsheet/readlimits.h"

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

} // namespace Fuzzing

#endif // FUZZING_H
