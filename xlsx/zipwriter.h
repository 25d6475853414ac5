#ifndef SPREADSHEET_ZIPWRITER_H
#define SPREADSHEET_ZIPWRITER_H

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>
#include <future>
#include <memory>

class QIODevice;

namespace Spreadsheet {

class Deflater;

// The ZIP container of a package, written straight to the device. A small
// entry is stored compressed when that makes it smaller; a large one is
// deflated while its part writes it, on a second thread, so that no part
// needs to be held whole. Every write to the device is checked.
class ZipWriter
{
public:
    explicit ZipWriter(QIODevice *device);
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    void addFile(const QString &name, const QByteArray &data);
    // The entry holds what write writes to the device it is given.
    void addFile(const QString &name, const std::function<void(QIODevice *)> &write);
    // Writes the central directory; false when any write failed.
    bool close();
    bool hasError() const { return m_failed; }

private:
    friend class ZipEntryDevice;

    struct Entry
    {
        QByteArray name;
        quint16 flags;
        quint16 method;
        quint32 crc;
        quint64 compressedSize;
        quint64 size;
        quint64 offset;
    };

    void beginStreamedEntry(const QString &name);
    void streamPiece(const QByteArray &piece, bool last);
    void writeLocalHeader(const Entry &entry);
    void writeBytes(const QByteArray &bytes);

    QIODevice *m_device;
    bool m_failed = false;
    quint64 m_offset = 0;
    quint16 m_dosTime = 0;
    quint16 m_dosDate = 0;
    QVector<Entry> m_entries;
    std::unique_ptr<Deflater> m_deflater;       // of the entry being streamed
    std::future<QByteArray> m_pending;          // the piece being deflated
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ZIPWRITER_H
