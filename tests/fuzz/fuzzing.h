#ifndef FUZZING_H
#define FUZZING_H

#include "spreadsheet/document.h"
#include "spreadsheet/readlimits.h"

#include <QBuffer>

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

} // namespace Fuzzing

#endif // FUZZING_H
