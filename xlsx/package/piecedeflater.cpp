#include "piecedeflater_p.h"

#include <QThread>

namespace Spreadsheet {

PieceDeflater::PieceDeflater(Output output)
    : m_output(std::move(output))
{
}

PieceDeflater::~PieceDeflater()
{
    for (std::future<Deflater::Piece> &piece : m_pending)
        piece.wait();
}

int PieceDeflater::piecesInFlight()
{
    return qBound(2, QThread::idealThreadCount(), 8);
}

void PieceDeflater::reset()
{
    drain();
    m_previous.clear();
    m_crc = 0;
    m_size = 0;
}

void PieceDeflater::writeOldest()
{
    const Deflater::Piece piece = m_pending.front().get();
    m_pending.pop_front();
    if (piece.failed)
        m_failed = true;
    m_output(piece.compressed);
    m_crc = Deflater::combineCrc(m_crc, piece.crc, piece.size);
    m_size += piece.size;
}

void PieceDeflater::add(const QByteArray &piece, bool last)
{
    if (int(m_pending.size()) >= piecesInFlight())
        writeOldest();
    const QByteArray before = m_previous;
    m_pending.push_back(std::async(std::launch::async, [piece, before, last] {
        return Deflater::deflatePiece(piece, before, last);
    }));
    m_previous = last ? QByteArray() : piece;
    if (last)
        drain();
}

void PieceDeflater::drain()
{
    while (!m_pending.empty())
        writeOldest();
}

void PieceDeflater::spliced(quint32 crc, quint64 size)
{
    m_crc = Deflater::combineCrc(m_crc, crc, size);
    m_size += size;
    m_previous.clear();
}

} // namespace Spreadsheet
