#ifndef SPREADSHEET_READLIMITS_H
#define SPREADSHEET_READLIMITS_H

#include <QtGlobal>

namespace Spreadsheet {

// How far a package read from a file is trusted. A read that would pass one
// of these limits stops with an error that names it; nothing a file says
// about its own sizes is believed. The defaults take any workbook that
// spreadsheet programs write, up to a gigabyte of XML.
struct ReadLimits
{
    // Entries in the ZIP archive's directory.
    int maxEntries = 4096;
    // Bytes inflated from all entries together.
    qint64 maxInflatedSize = qint64(1) << 30;
    // Inflated bytes per compressed byte, for an entry larger than
    // compressionRatioFrom once inflated: more is a decompression bomb.
    int maxCompressionRatio = 200;
    qint64 compressionRatioFrom = qint64(16) << 20;
    // Elements inside one another in an XML part.
    int maxXmlDepth = 256;
};

// The shared texts of a workbook are held in one array: whatever the limits,
// they stay below what one array can hold.
constexpr qint64 largestTextTable = (qint64(1) << 31) - (qint64(1) << 24);

} // namespace Spreadsheet

#endif // SPREADSHEET_READLIMITS_H
