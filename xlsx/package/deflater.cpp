#include "deflater_p.h"

#include <isa-l/crc.h>
#include <zlib.h>

namespace Spreadsheet {

namespace {

constexpr int window = 32768;   // deflate looks back this far
// zlib's lazy matching with a short search: on worksheet and shared-string
// XML within 2.5 % of the default level's size in a quarter to two fifths
// of its time (level 5 as it comes takes 40 % longer for 1 % less; level 4
// is 3 to 9 % larger). ISA-L's and libdeflate's fast levels miss by 10 to
// 17 %, and libdeflate cannot end a piece without ending the stream.
constexpr int level = 5;
constexpr int goodLength = 8;   // a match this long searches a quarter as far
constexpr int maxLazy = 32;     // no lazy search after a match this long
constexpr int niceLength = 128; // a match this long ends the search
constexpr int maxChain = 8;     // candidates looked at per position

} // namespace

Deflater::Piece Deflater::deflatePiece(const QByteArray &piece, const QByteArray &before, bool last)
{
    Piece result{ QByteArray(), crcOf(piece), quint64(piece.size()), true };
    z_stream zlib{};
    // Raw deflate (negative window bits): ZIP keeps its own headers and CRC.
    if (deflateInit2(&zlib, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return result;
    bool ok = deflateTune(&zlib, goodLength, maxLazy, niceLength, maxChain) == Z_OK;
    if (!before.isEmpty()) {
        const QByteArray dictionary = before.right(window);
        ok = ok
            && deflateSetDictionary(&zlib, reinterpret_cast<const Bytef *>(dictionary.constData()),
                                    uInt(dictionary.size())) == Z_OK;
    }

    // A sync flush ends a piece on a byte boundary without ending the stream.
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    zlib.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.constData()));
    zlib.avail_in = uInt(piece.size());
    QByteArray &output = result.compressed;
    int room = int(deflateBound(&zlib, uLong(piece.size()))) + 64;
    bool finished = false;
    while (ok && !finished) {
        const int used = output.size();
        output.resize(used + room);
        zlib.next_out = reinterpret_cast<Bytef *>(output.data() + used);
        zlib.avail_out = uInt(room);
        const int status = ::deflate(&zlib, flush);
        output.resize(used + room - int(zlib.avail_out));
        // Z_BUF_ERROR says only that no progress was possible: after a
        // complete sync flush that is the end, while finishing it is stuck.
        ok = status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR;
        finished = last ? status == Z_STREAM_END : zlib.avail_out != 0;
        if (last && status == Z_BUF_ERROR && zlib.avail_out != 0)
            ok = false;
        room = 65536;
    }
    deflateEnd(&zlib);
    result.failed = !ok;
    return result;
}

quint32 Deflater::combineCrc(quint32 first, quint32 second, quint64 secondSize)
{
    // zlib takes the length as z_off_t, 32 bits on Windows. Combining is
    // linear: the first CRC moves over zeros a gigabyte at a time.
    constexpr quint64 step = quint64(1) << 30;
    uLong crc = first;
    for (; secondSize > step; secondSize -= step)
        crc = crc32_combine(crc, 0, z_off_t(step));
    return quint32(crc32_combine(crc, second, z_off_t(secondSize)));
}

bool Deflater::deflateAll(const QByteArray &data, QByteArray &compressed)
{
    Piece piece = deflatePiece(data, QByteArray(), true);
    compressed = piece.compressed;
    return !piece.failed;
}

quint32 Deflater::crcOf(const QByteArray &data)
{
    // ISA-L's CRC-32 (the same polynomial) runs three times as fast as zlib's.
    return crc32_gzip_refl(0, reinterpret_cast<const unsigned char *>(data.constData()), quint64(data.size()));
}

} // namespace Spreadsheet
