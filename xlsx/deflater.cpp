#include "deflater_p.h"

#include <zlib.h>

namespace Spreadsheet {

namespace {

constexpr int window = 32768;   // deflate looks back this far

} // namespace

Deflater::Piece Deflater::deflatePiece(const QByteArray &piece, const QByteArray &before, bool last)
{
    z_stream zlib{};
    // Raw deflate (negative window bits): ZIP keeps its own headers and CRC.
    deflateInit2(&zlib, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (!before.isEmpty()) {
        const QByteArray dictionary = before.right(window);
        deflateSetDictionary(&zlib, reinterpret_cast<const Bytef *>(dictionary.constData()), uInt(dictionary.size()));
    }

    // A sync flush ends a piece on a byte boundary without ending the stream.
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    zlib.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.constData()));
    zlib.avail_in = uInt(piece.size());
    QByteArray output;
    int room = int(deflateBound(&zlib, uLong(piece.size()))) + 64;
    int result = Z_OK;
    do {
        const int used = output.size();
        output.resize(used + room);
        zlib.next_out = reinterpret_cast<Bytef *>(output.data() + used);
        zlib.avail_out = uInt(room);
        result = ::deflate(&zlib, flush);
        output.resize(used + room - int(zlib.avail_out));
        room = 65536;
    } while (zlib.avail_out == 0 && result != Z_STREAM_END && result != Z_STREAM_ERROR);
    deflateEnd(&zlib);
    return { output, crcOf(piece), quint64(piece.size()) };
}

quint32 Deflater::combineCrc(quint32 first, quint32 second, quint64 secondSize)
{
    return quint32(crc32_combine(first, second, z_off_t(secondSize)));
}

QByteArray Deflater::deflateAll(const QByteArray &data)
{
    return deflatePiece(data, QByteArray(), true).compressed;
}

quint32 Deflater::crcOf(const QByteArray &data)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

} // namespace Spreadsheet
