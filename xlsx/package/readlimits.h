#ifndef SPREADSHEET_READLIMITS_H
#define SPREADSHEET_READLIMITS_H

//! \file readlimits.h
//! How far a package read from a file is trusted: ReadLimits.

#include <QtGlobal>

namespace Spreadsheet {

//! How far a package read from a file is trusted. A read that would pass one
//! of these limits stops with an error that names it; nothing a file says
//! about its own sizes is believed. The defaults take any workbook that
//! spreadsheet programs write, up to a gigabyte of XML.
//!
//! Document::setReadLimits() and SheetReader::setReadLimits() raise them for
//! files you trust:
//! \code
//! Spreadsheet::ReadLimits limits;
//! limits.maxInflatedSize = qint64(4) << 30;   // 4 GiB
//! document.setReadLimits(limits);
//! \endcode
struct ReadLimits
{
    //! Entries in the ZIP archive's directory.
    int maxEntries = 4096;
    //! Bytes inflated from all entries together, counted over the whole load;
    //! the shared texts may take as many bytes in memory.
    qint64 maxInflatedSize = qint64(1) << 30;
    //! Inflated bytes per compressed byte, for an entry larger than
    //! compressionRatioFrom once inflated: more is a decompression bomb.
    int maxCompressionRatio = 200;
    //! The inflated size, in bytes, from which maxCompressionRatio applies.
    qint64 compressionRatioFrom = qint64(16) << 20;
    //! Elements inside one another in an XML part.
    int maxXmlDepth = 256;
};

//! The most bytes the shared texts of a workbook take in memory, whatever the
//! limits: they are held in one array, and stay below what one array can hold.
constexpr qint64 largestTextTable = (qint64(1) << 31) - (qint64(1) << 24);

} // namespace Spreadsheet

#endif // SPREADSHEET_READLIMITS_H
