#include "streamedrows_p.h"

#include "zipentrydevice_p.h"

#include <QDir>
#include <QFileInfo>

#include <isa-l/igzip_lib.h>

#include <memory>

namespace Spreadsheet {

namespace {

constexpr int pieceSize = ZipEntryDevice::pieceSize;

} // namespace

StreamedRows::StreamedRows()
    : m_pieces([this](const QByteArray &compressed) { writeCompressed(compressed); })
{
    m_piece.reserve(pieceSize);
}

StreamedRows::~StreamedRows() = default;

bool StreamedRows::fail(const QString &reason)
{
    if (!m_failed)
        setErrorString(reason);
    m_failed = true;
    return false;
}

bool StreamedRows::start()
{
    // Qt names no folder when the one the environment names is missing:
    // the file would land in the current folder's root.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return fail(QStringLiteral("cannot make a temporary file for the rows: the folder for temporary files is missing"));
    m_file.setFileTemplate(folder + QStringLiteral("/spreadsheet-rows-XXXXXX"));
    if (!m_file.open())
        return fail(QStringLiteral("cannot make a temporary file for the rows in %1: %2")
                        .arg(QDir::toNativeSeparators(folder), m_file.errorString()));
    return open(QIODevice::WriteOnly);
}

qint64 StreamedRows::writeData(const char *data, qint64 size)
{
    if (m_failed)
        return -1;
    PieceDeflater::gather(m_piece, pieceSize, data, size, [this] { handOnPiece(); });
    return size;
}

void StreamedRows::handOnPiece()
{
    m_pieces.add(m_piece, false);
    m_piece = QByteArray();
    m_piece.reserve(pieceSize);
}

void StreamedRows::writeCompressed(const QByteArray &compressed)
{
    if (m_failed)
        return;
    if (!m_file.seek(m_written) || m_file.write(compressed) != compressed.size()) {
        fail(QStringLiteral("cannot write the rows to %1: %2")
                 .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
        return;
    }
    m_written += compressed.size();
}

bool StreamedRows::flush()
{
    if (!m_piece.isEmpty())
        handOnPiece();
    m_pieces.drain();
    if (m_pieces.failed())
        fail(QStringLiteral("no memory to compress the rows"));
    if (!m_failed && !m_file.flush())
        fail(QStringLiteral("cannot write the rows to %1: %2")
                 .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
    return !m_failed;
}

bool StreamedRows::writeTo(QIODevice *target)
{
    auto *entry = dynamic_cast<ZipEntryDevice *>(target);
    if (!flush() || !m_file.seek(0)) {
        if (entry)
            entry->fail();
        return false;
    }
    if (entry) {
        entry->writeDeflated(&m_file, quint64(m_written), m_pieces.crc(), m_pieces.size());
        return true;
    }
    return inflateInto(target);
}

// The rows' stream ends on a byte boundary without a final block: it is
// inflated until its bytes run out.
bool StreamedRows::inflateInto(QIODevice *target)
{
    auto state = std::make_unique<inflate_state>();
    isal_inflate_init(state.get());
    state->crc_flag = ISAL_DEFLATE;
    QByteArray output(pieceSize, Qt::Uninitialized);
    for (qint64 read = 0; read < m_written;) {
        QByteArray input = m_file.read(qMin<qint64>(pieceSize, m_written - read));
        if (input.isEmpty())
            return false;
        read += input.size();
        state->next_in = reinterpret_cast<uint8_t *>(input.data());
        state->avail_in = quint32(input.size());
        do {
            state->next_out = reinterpret_cast<uint8_t *>(output.data());
            state->avail_out = quint32(output.size());
            if (isal_inflate(state.get()) != ISAL_DECOMP_OK)
                return false;
            const qint64 produced = output.size() - qint64(state->avail_out);
            if (target->write(output.constData(), produced) != produced)
                return false;
        } while (state->avail_out == 0);
    }
    return true;
}

} // namespace Spreadsheet
