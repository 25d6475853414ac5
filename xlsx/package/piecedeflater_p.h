#ifndef SPREADSHEET_PIECEDEFLATER_P_H
#define SPREADSHEET_PIECEDEFLATER_P_H

#include "deflater_p.h"

#include <QByteArray>

#include <deque>
#include <functional>
#include <future>

namespace Spreadsheet {

// One deflate stream made of pieces that other threads deflate while the
// caller gathers the next ones; the compressed pieces go to the output in
// their order, and the CRC-32 and size of what they hold are summed. Bytes
// deflated elsewhere may be spliced in between pieces.
class PieceDeflater
{
public:
    using Output = std::function<void(const QByteArray &compressed)>;

    explicit PieceDeflater(Output output);
    ~PieceDeflater();
    PieceDeflater(const PieceDeflater &) = delete;
    PieceDeflater &operator=(const PieceDeflater &) = delete;

    // Starts a new stream.
    void reset();
    // Deflates the piece after the ones before it; the last one ends the
    // stream, the others end on a byte boundary.
    void add(const QByteArray &piece, bool last);
    // Hands every piece in flight to the output.
    void drain();
    // Counts bytes deflated elsewhere, which the caller has just put after
    // the pieces drained: a stream that ends on a byte boundary and refers
    // to nothing before it. The next piece refers to nothing before it.
    void spliced(quint32 crc, quint64 size);

    quint32 crc() const { return m_crc; }
    quint64 size() const { return m_size; }
    // Whether deflating a piece failed (no memory).
    bool failed() const { return m_failed; }

    // As many pieces as there are cores are deflated at once.
    static int piecesInFlight();

    // Appends bytes to the piece being gathered, calling full() each time it
    // holds exactly pieceSize bytes (a larger piece would grow its array).
    template <typename Full>
    static void gather(QByteArray &piece, int pieceSize, const char *data, qint64 size, Full full)
    {
        for (qint64 taken = 0; taken < size;) {
            const int part = int(qMin<qint64>(pieceSize - piece.size(), size - taken));
            piece.append(data + taken, part);
            taken += part;
            if (piece.size() == pieceSize)
                full();
        }
    }

private:
    void writeOldest();

    Output m_output;
    std::deque<std::future<Deflater::Piece>> m_pending;
    QByteArray m_previous;
    quint32 m_crc = 0;
    quint64 m_size = 0;
    bool m_failed = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_PIECEDEFLATER_P_H
