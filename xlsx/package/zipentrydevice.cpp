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
    m_piece.append(data, int(size));
    if (m_piece.size() >= pieceSize) {
        if (!m_streaming) {
            m_zip->beginStreamedEntry(m_name);
            m_streaming = true;
        }
        m_zip->streamPiece(m_piece, false);
        m_piece = QByteArray();
        m_piece.reserve(pieceSize);
    }
    return size;
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
