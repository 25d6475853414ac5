#ifndef SPREADSHEET_ZIPWRITER_P_H
#define SPREADSHEET_ZIPWRITER_P_H

#include "piecedeflater_p.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

class QIODevice;

namespace Spreadsheet {

// The ZIP container of a package, written straight to the device. A small
// entry is stored compressed when that makes it smaller; a large one is cut
// into pieces that other threads deflate while its part writes the next
// ones, so that no part needs to be held whole. Every write to the device and
// every compression is checked. Past the classic format's limits (an entry
// or the archive over 4 GiB, more than 65,534 entries) the archive gets the
// ZIP64 records; below them it is written exactly as before.
class ZipWriter
{
public:
    explicit ZipWriter(QIODevice *device);
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    // A name an entry has already, in any letter case, fails the archive.
    void addFile(const QString &name, const QByteArray &data);
    // The entry holds what write writes to the device it is given.
    void addFile(const QString &name, const std::function<void(QIODevice *)> &write);
    // Writes the central directory; false when any write failed.
    bool close();
    bool hasError() const { return m_failed; }
    // Whether an entry has the name, in any letter case (part names do not
    // tell case apart).
    bool contains(const QString &name) const;

private:
    friend class ZipEntryDevice;

    struct Entry
    {
        QByteArray name;
        quint16 flags;
        quint16 method;
        quint32 crc;
        quint64 compressedSize;
        quint64 size;
        quint64 offset;
    };

    void beginStreamedEntry(const QString &name);
    void streamPiece(const QByteArray &piece, bool last);
    // Copies bytes deflated elsewhere (a stream ending on a byte boundary)
    // into the streamed entry, after the pieces given so far.
    void spliceDeflated(QIODevice *source, quint64 compressedSize, quint32 crc, quint64 size);
    void endStreamedEntry();
    void appendEntryFields(QByteArray &out, const Entry &entry, bool central) const;
    static QByteArray zip64Fields(const Entry &entry);
    void writeLocalHeader(const Entry &entry);
    bool acceptName(const QString &name);
    void appendEntry(const Entry &entry);
    void writeEndOfCentralDirectory(quint64 directoryOffset, quint64 directorySize);
    void writeBytes(const QByteArray &bytes);

    QIODevice *m_device;
    bool m_failed = false;
    quint64 m_offset = 0;
    quint16 m_dosTime = 0;
    quint16 m_dosDate = 0;
    QVector<Entry> m_entries;
    QSet<QString> m_names;   // folded
    // The entry being streamed.
    PieceDeflater m_pieces;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ZIPWRITER_P_H
