#include "zipentrydevice_p.h"
#include "zipwriter_p.h"

namespace Spreadsheet {

ZipEntryDevice::ZipEntryDevice(ZipWriter *zip, const QString &name)
    : m_zip(zip)
    , m_name(name)
{
    m_piece.reserve(pieceSize);
    open(QIODevice::WriteOnly);
}

qint64 ZipEntryDevice::writeData(const char *data, qint64 size)
{
    PieceDeflater::gather(m_piece, pieceSize, data, size, [this] { streamPiece(); });
    return size;
}

void ZipEntryDevice::streamPiece()
{
    if (!m_streaming) {
        m_zip->beginStreamedEntry(m_name);
        m_streaming = true;
    }
    if (!m_piece.isEmpty())
        m_zip->streamPiece(m_piece, false);
    m_piece = QByteArray();
    m_piece.reserve(pieceSize);
}

void ZipEntryDevice::fail()
{
    m_zip->m_failed = true;
}

void ZipEntryDevice::writeDeflated(QIODevice *source, quint64 compressedSize, quint32 crc, quint64 size)
{
    streamPiece();
    m_zip->spliceDeflated(source, compressedSize, crc, size);
}

void ZipEntryDevice::finish()
{
    if (m_streaming)
        m_zip->streamPiece(m_piece, true);
    else
        m_zip->addFile(m_name, m_piece);
    close();
}

} // namespace Spreadsheet
