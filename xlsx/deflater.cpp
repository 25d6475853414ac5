#include "deflater_p.h"

#include <zlib.h>

namespace Spreadsheet {

struct Deflater::Stream
{
    z_stream zlib{};
};

Deflater::Deflater()
    : m_stream(std::make_unique<Stream>())
{
    // Raw deflate (negative window bits): ZIP keeps its own headers and CRC.
    deflateInit2(&m_stream->zlib, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
}

Deflater::~Deflater()
{
    deflateEnd(&m_stream->zlib);
}

QByteArray Deflater::deflate(const QByteArray &piece, bool last)
{
    m_crc = quint32(crc32(m_crc, reinterpret_cast<const Bytef *>(piece.constData()), uInt(piece.size())));
    m_inputSize += quint64(piece.size());

    z_stream &zlib = m_stream->zlib;
    zlib.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.constData()));
    zlib.avail_in = uInt(piece.size());
    QByteArray output;
    const int flush = last ? Z_FINISH : Z_NO_FLUSH;
    int result = Z_OK;
    do {
        const int chunk = qMax(65536, piece.size() / 4);
        const int used = output.size();
        output.resize(used + chunk);
        zlib.next_out = reinterpret_cast<Bytef *>(output.data() + used);
        zlib.avail_out = uInt(chunk);
        result = ::deflate(&zlib, flush);
        output.resize(used + chunk - int(zlib.avail_out));
    } while (zlib.avail_out == 0 || (last && result != Z_STREAM_END && result != Z_STREAM_ERROR));
    return output;
}

QByteArray Deflater::deflateAll(const QByteArray &data)
{
    Deflater deflater;
    return deflater.deflate(data, true);
}

quint32 Deflater::crcOf(const QByteArray &data)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

} // namespace Spreadsheet
