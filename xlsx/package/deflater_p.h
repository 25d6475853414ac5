#ifndef SPREADSHEET_DEFLATER_P_H
#define SPREADSHEET_DEFLATER_P_H

#include <QByteArray>

namespace Spreadsheet {

// Deflate (raw, as ZIP stores it) and CRC-32, for whole entries and for an
// entry cut into pieces that are compressed apart, on several threads: each
// piece is primed with the end of the piece before it and ends on a byte
// boundary, so that the pieces' outputs, one after the other, are one
// deflate stream.
class Deflater
{
public:
    struct Piece
    {
        QByteArray compressed;
        quint32 crc;
        quint64 size;
        bool failed;   // zlib refused (no memory): the piece is not usable
    };

    // The piece deflated, after the given bytes of the entry (up to the last
    // 32 KiB are used); the last piece ends the stream.
    static Piece deflatePiece(const QByteArray &piece, const QByteArray &before, bool last);
    // The CRC-32 of two pieces one after the other.
    static quint32 combineCrc(quint32 first, quint32 second, quint64 secondSize);

    // The data deflated whole; false when zlib failed.
    static bool deflateAll(const QByteArray &data, QByteArray &compressed);
    static quint32 crcOf(const QByteArray &data);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DEFLATER_P_H
