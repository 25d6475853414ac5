#ifndef SPREADSHEET_ZIPENTRYDEVICE_P_H
#define SPREADSHEET_ZIPENTRYDEVICE_P_H

#include <QByteArray>
#include <QIODevice>

namespace Spreadsheet {

class ZipWriter;

// The device a part writes one ZIP entry to: it gathers the bytes, and hands
// them to the ZIP writer in pieces once the entry proves large.
class ZipEntryDevice : public QIODevice
{
public:
    ZipEntryDevice(ZipWriter *zip, const QString &name);
    // Ends the entry: a small one goes in whole, a large one gets its last piece.
    void finish();
    // Puts bytes deflated elsewhere into the entry after what was written
    // so far: a deflate stream that ends on a byte boundary without ending,
    // refers to nothing before it, and holds size bytes of that CRC-32.
    void writeDeflated(QIODevice *source, quint64 compressedSize, quint32 crc, quint64 size);
    // The entry's bytes could not be had: the archive fails.
    void fail();

    static constexpr int pieceSize = 1 << 20;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    void streamPiece();

    ZipWriter *m_zip;
    QString m_name;
    QByteArray m_piece;
    bool m_streaming = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ZIPENTRYDEVICE_P_H
