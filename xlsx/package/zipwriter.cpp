#include "zipwriter_p.h"
#include "zipentrydevice_p.h"

#include <QDateTime>
#include <QIODevice>
#include <QtEndian>

namespace Spreadsheet {

namespace {

constexpr quint32 localHeaderSignature = 0x04034b50;
constexpr quint32 dataDescriptorSignature = 0x08074b50;
constexpr quint32 centralHeaderSignature = 0x02014b50;
constexpr quint32 zip64EndSignature = 0x06064b50;
constexpr quint32 zip64LocatorSignature = 0x07064b50;
constexpr quint32 endOfCentralDirectorySignature = 0x06054b50;
constexpr quint16 versionNeeded = 20;             // deflate
constexpr quint16 zip64VersionNeeded = 45;
constexpr quint16 sizesFollowTheData = 1 << 3;    // the data descriptor flag
constexpr quint16 utf8Name = 1 << 11;             // the name is UTF-8, not the IBM PC's code page
constexpr quint16 stored = 0;
constexpr quint16 deflated = 8;
constexpr quint16 zip64ExtraId = 1;
// A classic field holding its largest value says that the ZIP64 record has it.
constexpr quint64 classicLimit = 0xFFFFFFFFu;
constexpr quint64 classicEntryLimit = 0xFFFFu;

void append16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void append32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append64(QByteArray &out, quint64 value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    out.append(bytes, 8);
}

quint32 classic(quint64 value)
{
    return quint32(qMin(value, classicLimit));
}

// A name in ASCII reads the same in every code page; any other is flagged
// as the UTF-8 it is.
quint16 nameFlags(const QByteArray &utf8)
{
    for (const char c : utf8) {
        if (uchar(c) >= 0x80)
            return utf8Name;
    }
    return 0;
}

} // namespace

ZipWriter::ZipWriter(QIODevice *device)
    : m_device(device)
    , m_pieces([this](const QByteArray &compressed) { writeBytes(compressed); })
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    m_dosTime = quint16(time.hour() << 11 | time.minute() << 5 | time.second() / 2);
    m_dosDate = quint16(qMax(date.year() - 1980, 0) << 9 | date.month() << 5 | date.day());
    m_failed = !device || !device->isWritable();
}

ZipWriter::~ZipWriter() = default;

bool ZipWriter::contains(const QString &name) const
{
    return m_names.contains(name.toCaseFolded());
}

void ZipWriter::appendEntry(const Entry &entry)
{
    m_entries.append(entry);
    m_names.insert(QString::fromUtf8(entry.name).toCaseFolded());
}

void ZipWriter::writeBytes(const QByteArray &bytes)
{
    if (m_failed)
        return;
    if (m_device->write(bytes) != bytes.size())
        m_failed = true;
    m_offset += quint64(bytes.size());
}

// The central directory's ZIP64 extra field: the sizes and offset that the
// classic fields cannot hold, in that order; empty when they all fit.
QByteArray ZipWriter::zip64Fields(const Entry &entry)
{
    QByteArray fields;
    if (entry.size >= classicLimit)
        append64(fields, entry.size);
    if (entry.compressedSize >= classicLimit)
        append64(fields, entry.compressedSize);
    if (entry.offset >= classicLimit)
        append64(fields, entry.offset);
    if (fields.isEmpty())
        return fields;
    QByteArray extra;
    append16(extra, zip64ExtraId);
    append16(extra, quint16(fields.size()));
    return extra + fields;
}

// The fields the local header and the central directory share, from the
// version needed to the length of the extra field.
void ZipWriter::appendEntryFields(QByteArray &out, const Entry &entry, bool central) const
{
    const int extraSize = central ? zip64Fields(entry).size() : 0;
    append16(out, extraSize > 0 ? zip64VersionNeeded : versionNeeded);
    append16(out, entry.flags);
    append16(out, entry.method);
    append16(out, m_dosTime);
    append16(out, m_dosDate);
    append32(out, entry.crc);
    append32(out, classic(entry.compressedSize));
    append32(out, classic(entry.size));
    append16(out, quint16(entry.name.size()));
    append16(out, quint16(extraSize));
}

void ZipWriter::writeLocalHeader(const Entry &entry)
{
    QByteArray header;
    append32(header, localHeaderSignature);
    appendEntryFields(header, entry, false);
    header.append(entry.name);
    writeBytes(header);
}

// Part names do not tell letter case apart: a second entry of a name, in any
// case, would make a package no reader opens, and fails the save.
bool ZipWriter::acceptName(const QString &name)
{
    if (contains(name))
        m_failed = true;
    return !m_failed;
}

void ZipWriter::addFile(const QString &name, const QByteArray &data)
{
    if (!acceptName(name))
        return;
    QByteArray compressed;
    if (!Deflater::deflateAll(data, compressed))
        m_failed = true;
    const bool smaller = !m_failed && compressed.size() < data.size();
    const QByteArray utf8 = name.toUtf8();
    const Entry entry{ utf8, nameFlags(utf8), smaller ? deflated : stored, Deflater::crcOf(data),
                       quint64(smaller ? compressed.size() : data.size()), quint64(data.size()), m_offset };
    writeLocalHeader(entry);
    writeBytes(smaller ? compressed : data);
    appendEntry(entry);
}

void ZipWriter::addFile(const QString &name, const std::function<void(QIODevice *)> &write)
{
    if (!acceptName(name))
        return;
    ZipEntryDevice entry(this, name);
    write(&entry);
    entry.finish();
}

// The sizes and CRC of a streamed entry are known only at its end: they follow
// its data in a data descriptor.
void ZipWriter::beginStreamedEntry(const QString &name)
{
    m_pieces.reset();
    const QByteArray utf8 = name.toUtf8();
    const Entry entry{ utf8, quint16(sizesFollowTheData | nameFlags(utf8)), deflated, 0, 0, 0, m_offset };
    writeLocalHeader(entry);
    appendEntry(entry);
}

// The pieces are deflated apart, each on a thread of its own, and written in
// their order as they come back.
void ZipWriter::streamPiece(const QByteArray &piece, bool last)
{
    m_pieces.add(piece, last);
    if (last)
        endStreamedEntry();
}

void ZipWriter::spliceDeflated(QIODevice *source, quint64 compressedSize, quint32 crc, quint64 size)
{
    m_pieces.drain();
    constexpr qint64 chunk = 1 << 20;
    for (quint64 copied = 0; copied < compressedSize && !m_failed;) {
        const QByteArray bytes = source->read(qMin<qint64>(chunk, qint64(compressedSize - copied)));
        if (bytes.isEmpty())
            m_failed = true;   // the source lost bytes it held
        writeBytes(bytes);
        copied += quint64(bytes.size());
    }
    m_pieces.spliced(crc, size);
}

void ZipWriter::endStreamedEntry()
{
    if (m_pieces.failed())
        m_failed = true;
    Entry &entry = m_entries.last();
    entry.crc = m_pieces.crc();
    entry.size = m_pieces.size();
    entry.compressedSize = m_offset - entry.offset - 30 - quint64(entry.name.size());
    // Sizes past the classic limit follow the data as eight-byte numbers.
    const bool large = entry.size >= classicLimit || entry.compressedSize >= classicLimit;
    QByteArray descriptor;
    append32(descriptor, dataDescriptorSignature);
    append32(descriptor, entry.crc);
    if (large) {
        append64(descriptor, entry.compressedSize);
        append64(descriptor, entry.size);
    } else {
        append32(descriptor, quint32(entry.compressedSize));
        append32(descriptor, quint32(entry.size));
    }
    writeBytes(descriptor);
}

bool ZipWriter::close()
{
    const quint64 directoryOffset = m_offset;
    QByteArray directory;
    for (const Entry &entry : qAsConst(m_entries)) {
        append32(directory, centralHeaderSignature);
        append16(directory, versionNeeded);   // made by: MS-DOS, version 2.0
        appendEntryFields(directory, entry, true);
        append16(directory, 0);               // comment
        append16(directory, 0);               // disk
        append16(directory, 0);               // internal attributes
        append32(directory, 0);               // external attributes
        append32(directory, classic(entry.offset));
        directory.append(entry.name);
        directory.append(zip64Fields(entry));
        if (directory.size() > (1 << 20)) {
            writeBytes(directory);
            directory.clear();
        }
    }
    writeBytes(directory);
    writeEndOfCentralDirectory(directoryOffset, m_offset - directoryOffset);
    return !m_failed;
}

void ZipWriter::writeEndOfCentralDirectory(quint64 directoryOffset, quint64 directorySize)
{
    const quint64 entries = quint64(m_entries.size());
    QByteArray end;
    if (entries >= classicEntryLimit || directoryOffset >= classicLimit || directorySize >= classicLimit) {
        const quint64 zip64EndOffset = m_offset;
        append32(end, zip64EndSignature);
        append64(end, 44);                    // the size of the rest of this record
        append16(end, zip64VersionNeeded);    // made by
        append16(end, zip64VersionNeeded);
        append32(end, 0);                     // this disk
        append32(end, 0);                     // the disk of the directory
        append64(end, entries);
        append64(end, entries);
        append64(end, directorySize);
        append64(end, directoryOffset);
        append32(end, zip64LocatorSignature);
        append32(end, 0);
        append64(end, zip64EndOffset);
        append32(end, 1);                     // disks in all
    }
    append32(end, endOfCentralDirectorySignature);
    append16(end, 0);
    append16(end, 0);
    append16(end, quint16(qMin(entries, classicEntryLimit)));
    append16(end, quint16(qMin(entries, classicEntryLimit)));
    append32(end, classic(directorySize));
    append32(end, classic(directoryOffset));
    append16(end, 0);
    writeBytes(end);
}

} // namespace Spreadsheet
