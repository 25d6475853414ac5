#ifndef SPREADSHEET_DEFLATER_P_H
#define SPREADSHEET_DEFLATER_P_H

#include <QByteArray>

#include <memory>

namespace Spreadsheet {

// One entry's bytes, deflated (raw, as ZIP stores them) piece by piece, with
// the CRC-32 and the size of what went in.
class Deflater
{
public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    // The compressed bytes that the piece gives; the last piece ends the stream.
    QByteArray deflate(const QByteArray &piece, bool last);
    quint32 crc() const { return m_crc; }
    quint64 inputSize() const { return m_inputSize; }

    // The whole of data deflated at once.
    static QByteArray deflateAll(const QByteArray &data);
    static quint32 crcOf(const QByteArray &data);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    quint32 m_crc = 0;
    quint64 m_inputSize = 0;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DEFLATER_P_H
