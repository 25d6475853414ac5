#include "zipreader_p.h"

#include <QIODevice>
#include <QTextCodec>
#include <QtEndian>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <cstring>

namespace Spreadsheet {

namespace {

constexpr quint32 localHeaderSignature = 0x04034b50;
constexpr quint32 centralHeaderSignature = 0x02014b50;
constexpr quint32 endSignature = 0x06054b50;
constexpr quint32 zip64EndSignature = 0x06064b50;
constexpr quint32 zip64LocatorSignature = 0x07064b50;
constexpr int endSize = 22;
constexpr int zip64LocatorSize = 20;
constexpr int zip64EndSize = 56;
constexpr int centralHeaderSize = 46;
constexpr int localHeaderSize = 30;
constexpr quint16 encrypted = 1;
constexpr quint16 utf8Names = 1 << 11;
constexpr quint16 stored = 0;
constexpr quint16 deflated = 8;
constexpr quint16 zip64ExtraId = 1;
constexpr qint64 chunk = 64 * 1024;
// A sequential device is copied whole before it is read, and an entry read
// whole is held in one array: at most this much.
constexpr qint64 largestCopy = (qint64(1) << 31) - (qint64(1) << 20);   // what a QByteArray holds

quint16 u16(const char *data)
{
    return qFromLittleEndian<quint16>(data);
}

quint32 u32(const char *data)
{
    return qFromLittleEndian<quint32>(data);
}

quint64 u64(const char *data)
{
    return qFromLittleEndian<quint64>(data);
}

bool isValidUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    static QTextCodec *const utf8 = QTextCodec::codecForName("UTF-8");
    utf8->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// Without the UTF-8 flag a ZIP name is in the IBM PC's code page; but many
// writers store UTF-8 without saying so, and a name that reads as UTF-8 is
// one (the bytes of a UTF-8 sequence are rare pairs of code page symbols).
QString decodeName(const QByteArray &bytes, quint16 flags)
{
    if ((flags & utf8Names) || isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    static QTextCodec *const pc = QTextCodec::codecForName("IBM437");
    return pc ? pc->toUnicode(bytes) : QString::fromLatin1(bytes);
}

} // namespace

// Inflates one entry piece by piece, checking its size and CRC at its end.
class Inflation
{
public:
    Inflation(ZipReader &zip, const ZipReader::Entry &entry, quint64 offset)
        : m_zip(zip), m_entry(entry), m_offset(offset), m_remaining(entry.compressedSize)
    {
    }
    Inflation(const Inflation &) = delete;
    Inflation &operator=(const Inflation &) = delete;

    bool atEnd() const { return m_finished; }

    // Appends up to maximum inflated bytes; false, with the reader's error
    // set, for a broken entry or a passed limit.
    bool next(QByteArray &out, qint64 maximum)
    {
        if (m_finished || m_failed)
            return !m_failed;
        const int before = out.size();
        const bool ok = m_entry.method == stored ? copy(out, maximum) : inflateSome(out, maximum);
        if (!ok || !account(out.constData() + before, out.size() - before)) {
            m_failed = true;
            return false;
        }
        return m_streamEnded ? finish() : true;
    }

private:
    bool fail(const QString &reason)
    {
        m_zip.fail(m_entry.name + QStringLiteral(": ") + reason);
        return false;
    }

    bool readInput(qint64 size)
    {
        m_input.resize(int(size));
        if (!m_zip.readAt(m_offset, m_input.data(), size))
            return fail(QStringLiteral("the archive is cut short"));
        m_offset += quint64(size);
        m_remaining -= quint64(size);
        return true;
    }

    bool copy(QByteArray &out, qint64 maximum)
    {
        const qint64 size = qMin<qint64>(qint64(m_remaining), maximum);
        if (size > 0) {
            if (!readInput(size))
                return false;
            out.append(m_input);
            m_consumed += quint64(size);
        }
        m_streamEnded = m_remaining == 0;
        return true;
    }

    // ISA-L's inflate, two to three times as fast as zlib's; it refuses
    // distances before the stream's start and codes no block may hold.
    bool inflateSome(QByteArray &out, qint64 maximum)
    {
        if (!m_state) {
            m_state = std::make_unique<inflate_state>();
            isal_inflate_init(m_state.get());
            m_state->crc_flag = ISAL_DEFLATE;   // raw deflate: ZIP keeps the CRC
        }
        inflate_state &state = *m_state;
        const int start = out.size();
        out.resize(start + int(maximum));
        state.next_out = reinterpret_cast<uint8_t *>(out.data() + start);
        state.avail_out = quint32(maximum);
        while (state.avail_out > 0 && !m_streamEnded) {
            if (state.avail_in == 0 && m_remaining > 0) {
                if (!readInput(qMin<qint64>(chunk, qint64(m_remaining)))) {
                    out.resize(int(out.size() - state.avail_out));
                    return false;
                }
                state.next_in = reinterpret_cast<uint8_t *>(m_input.data());
                state.avail_in = quint32(m_input.size());
            }
            // With its input taken, ISA-L may still hold output: it is
            // called again until it gives nothing more.
            const quint32 inBefore = state.avail_in;
            const quint32 outBefore = state.avail_out;
            const int status = isal_inflate(&state);
            m_consumed += inBefore - state.avail_in;
            if (state.block_state == ISAL_BLOCK_FINISH) {
                m_streamEnded = true;
            } else if (status != ISAL_DECOMP_OK || (state.avail_in == inBefore && state.avail_out == outBefore)) {
                out.resize(int(out.size() - state.avail_out));
                const bool cutShort = status == ISAL_DECOMP_OK && state.avail_in == 0;
                return fail(cutShort ? QStringLiteral("the compressed data ends before the entry does")
                                     : QStringLiteral("its compressed data is broken"));
            }
        }
        out.resize(int(out.size() - state.avail_out));
        return true;
    }

    bool account(const char *data, int size)
    {
        m_crc = crc32_gzip_refl(m_crc, reinterpret_cast<const unsigned char *>(data), quint64(size));
        m_size += quint64(size);
        if (m_size > m_entry.size)
            return fail(QStringLiteral("it inflates to more than the archive's directory says"));
        const quint64 consumed = m_consumed - m_consumedCounted;
        m_consumedCounted = m_consumed;
        return m_zip.countInflated(m_entry, m_size, m_consumed, quint64(size), consumed);
    }

    bool finish()
    {
        m_finished = true;
        if (m_size != m_entry.size)
            return broken(QStringLiteral("it is shorter than the archive's directory says"));
        if (m_crc != m_entry.crc)
            return broken(QStringLiteral("its CRC does not match its content"));
        return true;
    }

    bool broken(const QString &reason)
    {
        m_failed = true;
        return fail(reason);
    }

    ZipReader &m_zip;
    const ZipReader::Entry m_entry;
    quint64 m_offset;
    quint64 m_remaining;
    QByteArray m_input;
    std::unique_ptr<inflate_state> m_state;   // some 40 KiB: made when the entry is inflated
    bool m_streamEnded = false;
    bool m_finished = false;
    bool m_failed = false;
    quint32 m_crc = 0;
    quint64 m_size = 0;
    quint64 m_consumed = 0;   // compressed bytes inflate has taken, not what the directory claims
    quint64 m_consumedCounted = 0;
};

// An entry as a device: inflated as it is read.
class ZipEntryStream : public QIODevice
{
public:
    ZipEntryStream(ZipReader &zip, const ZipReader::Entry &entry, quint64 offset)
        : m_inflation(zip, entry, offset), m_zip(zip)
    {
        open(QIODevice::ReadOnly);
    }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_inflation.atEnd() && m_pending.isEmpty() && QIODevice::atEnd(); }
    qint64 bytesAvailable() const override { return m_pending.size() + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maximum) override
    {
        while (m_pending.isEmpty() && !m_inflation.atEnd()) {
            if (!m_inflation.next(m_pending, chunk)) {
                setErrorString(m_zip.errorString());
                return -1;
            }
        }
        const qint64 size = qMin<qint64>(maximum, m_pending.size());
        std::memcpy(data, m_pending.constData(), size_t(size));
        m_pending.remove(0, int(size));
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    Inflation m_inflation;
    ZipReader &m_zip;
    QByteArray m_pending;
};

ZipReader::ZipReader(QIODevice *device, const ReadLimits &limits)
    : m_device(device)
    , m_limits(limits)
{
}

ZipReader::~ZipReader() = default;

bool ZipReader::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool ZipReader::readAt(quint64 offset, char *data, qint64 size)
{
    if (offset > m_deviceSize || quint64(size) > m_deviceSize - offset || !m_device->seek(qint64(offset)))
        return false;
    qint64 done = 0;
    while (done < size) {
        const qint64 got = m_device->read(data + done, size - done);
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

bool ZipReader::open()
{
    if (!m_device || !m_device->isReadable())
        return fail(QStringLiteral("the package cannot be read"));
    if (m_device->isSequential()) {
        // Seeking is needed: a stream is read whole first, as far as a limit.
        QByteArray bytes;
        while (!m_device->atEnd() || m_device->waitForReadyRead(30000)) {
            const QByteArray piece = m_device->read(chunk);
            if (piece.isEmpty() && m_device->atEnd())
                break;
            if (qint64(bytes.size()) + piece.size() > qMin(largestCopy, m_limits.maxInflatedSize))
                return fail(QStringLiteral("the package is larger than the read limit (maxInflatedSize)"));
            bytes += piece;
        }
        m_copy.setData(bytes);
        m_copy.open(QIODevice::ReadOnly);
        m_device = &m_copy;
    }
    m_deviceSize = quint64(m_device->size());
    quint64 offset = 0;
    quint64 size = 0;
    quint64 count = 0;
    return locateDirectory(offset, size, count) && readDirectory(offset, size, count);
}

// The end record is the last 22 bytes, or comes before a comment of up to
// 65,535 bytes: the last signature whose comment reaches the end exactly.
bool ZipReader::locateDirectory(quint64 &offset, quint64 &size, quint64 &count)
{
    if (m_deviceSize < quint64(endSize))
        return fail(QStringLiteral("not a ZIP package"));
    const quint64 tailSize = qMin<quint64>(m_deviceSize, endSize + 0xFFFF);
    QByteArray tail(int(tailSize), Qt::Uninitialized);
    if (!readAt(m_deviceSize - tailSize, tail.data(), qint64(tailSize)))
        return fail(QStringLiteral("not a ZIP package"));
    int end = -1;
    for (int i = int(tailSize) - endSize; i >= 0; --i) {
        if (u32(tail.constData() + i) == endSignature && i + endSize + u16(tail.constData() + i + 20) == int(tailSize)) {
            end = i;
            break;
        }
    }
    if (end < 0)
        return fail(QStringLiteral("not a ZIP package"));
    const char *record = tail.constData() + end;
    if (u16(record + 4) != 0 || u16(record + 6) != 0 || u16(record + 8) != u16(record + 10))
        return fail(QStringLiteral("the archive spans several disks, which is not read"));
    count = u16(record + 10);
    size = u32(record + 12);
    offset = u32(record + 16);
    const quint64 endOffset = m_deviceSize - tailSize + quint64(end);
    // A ZIP64 archive puts its locator just before the end record.
    if (endOffset >= quint64(zip64LocatorSize)) {
        char locator[zip64LocatorSize];
        if (readAt(endOffset - zip64LocatorSize, locator, zip64LocatorSize) && u32(locator) == zip64LocatorSignature)
            return readZip64End(u64(locator + 8), offset, size, count);
    }
    if (count == 0xFFFF || size == 0xFFFFFFFF || offset == 0xFFFFFFFF)
        return fail(QStringLiteral("the archive's ZIP64 records are missing"));
    return true;
}

bool ZipReader::readZip64End(quint64 endOffset, quint64 &offset, quint64 &size, quint64 &count)
{
    char record[zip64EndSize];
    if (!readAt(endOffset, record, zip64EndSize) || u32(record) != zip64EndSignature)
        return fail(QStringLiteral("the archive's ZIP64 end record is missing"));
    if (u32(record + 16) != 0 || u32(record + 20) != 0 || u64(record + 24) != u64(record + 32))
        return fail(QStringLiteral("the archive spans several disks, which is not read"));
    count = u64(record + 32);
    size = u64(record + 40);
    offset = u64(record + 48);
    return true;
}

// The directory is read record by record: what it says of its own size is
// checked against the device, and nothing is allocated from it but one
// record's name and fields at a time.
bool ZipReader::readDirectory(quint64 offset, quint64 size, quint64 count)
{
    if (count > quint64(m_limits.maxEntries))
        return fail(QStringLiteral("the package has more than %1 entries (the read limit maxEntries)").arg(m_limits.maxEntries));
    if (offset > m_deviceSize || size > m_deviceSize - offset || size / centralHeaderSize < count)
        return fail(QStringLiteral("the archive's directory lies outside it"));
    const quint64 end = offset + size;
    quint64 at = offset;
    m_entries.reserve(int(count));
    QByteArray fields;
    for (quint64 i = 0; i < count; ++i) {
        char header[centralHeaderSize];
        if (end - at < quint64(centralHeaderSize) || !readAt(at, header, centralHeaderSize)
            || u32(header) != centralHeaderSignature)
            return fail(QStringLiteral("the archive's directory is broken"));
        Entry entry;
        entry.flags = u16(header + 8);
        entry.method = u16(header + 10);
        entry.crc = u32(header + 16);
        entry.compressedSize = u32(header + 20);
        entry.size = u32(header + 24);
        const int nameLength = u16(header + 28);
        const int extraLength = u16(header + 30);
        const int commentLength = u16(header + 32);
        entry.localOffset = u32(header + 42);
        at += centralHeaderSize;
        const quint64 variable = quint64(nameLength) + quint64(extraLength) + quint64(commentLength);
        if (end - at < variable)
            return fail(QStringLiteral("the archive's directory is broken"));
        fields.resize(nameLength + extraLength);
        if (!readAt(at, fields.data(), fields.size()))
            return fail(QStringLiteral("the archive's directory is broken"));
        at += variable;
        entry.name = decodeName(fields.left(nameLength), entry.flags);
        if (!readZip64Sizes(entry, fields.constData() + nameLength, extraLength))
            return false;

        if (entry.name.endsWith(QLatin1Char('/')) && entry.size == 0)
            continue;   // a folder
        if (!acceptName(entry.name))
            return false;
        m_byFoldedName.insert(entry.name.toCaseFolded(), m_entries.size());
        m_entries.append(entry);
    }
    return true;
}

// The ZIP64 extra field holds, in this order, the fields whose classic value
// is all ones.
bool ZipReader::readZip64Sizes(Entry &entry, const char *extra, int extraLength)
{
    for (int e = 0; e + 4 <= extraLength;) {
        const int id = u16(extra + e);
        const int length = u16(extra + e + 2);
        if (e + 4 + length > extraLength)
            break;
        if (id == zip64ExtraId) {
            int field = e + 4;
            for (quint64 *value : { &entry.size, &entry.compressedSize, &entry.localOffset }) {
                if (*value != 0xFFFFFFFF)
                    continue;
                if (field + 8 > e + 4 + length)
                    return fail(entry.name.left(200) + QStringLiteral(": its ZIP64 sizes are missing"));
                *value = u64(extra + field);
                field += 8;
            }
        }
        e += 4 + length;
    }
    return true;
}

// A part name is a name inside the package, never a path of the file system.
bool ZipReader::acceptName(const QString &name)
{
    const QString shown = name.left(200);
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QChar(0)) || (name.size() > 1 && name.at(1) == QLatin1Char(':')))
        return fail(QStringLiteral("the entry \"%1\" is named as a path, not a part").arg(shown));
    for (const QStringRef &segment : name.splitRef(QLatin1Char('/'))) {
        if (segment.isEmpty() || segment == QLatin1String(".") || segment == QLatin1String(".."))
            return fail(QStringLiteral("the entry \"%1\" is named as a path, not a part").arg(shown));
    }
    if (m_byFoldedName.contains(name.toCaseFolded()))
        return fail(QStringLiteral("two entries are named \"%1\"").arg(shown));
    return true;
}

QStringList ZipReader::entryNames() const
{
    QStringList names;
    names.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        names.append(entry.name);
    return names;
}

QString ZipReader::entryName(const QString &name) const
{
    const int index = m_byFoldedName.value(name.toCaseFolded(), -1);
    return index < 0 ? QString() : m_entries.at(index).name;
}

const ZipReader::Entry *ZipReader::find(const QString &name)
{
    const int index = m_byFoldedName.value(name.toCaseFolded(), -1);
    if (index < 0) {
        fail(QStringLiteral("%1 is missing").arg(name));
        return nullptr;
    }
    return &m_entries.at(index);
}

// Where the entry's data begins: after its local header, whose name and
// extra field may differ in length from the directory's.
bool ZipReader::dataOffset(const Entry &entry, quint64 &offset)
{
    if (entry.flags & encrypted)
        return fail(entry.name + QStringLiteral(": it is encrypted"));
    if (entry.method != stored && entry.method != deflated)
        return fail(entry.name + QStringLiteral(": it is compressed with method %1, which is not read").arg(entry.method));
    if (entry.method == stored && entry.compressedSize != entry.size)
        return fail(entry.name + QStringLiteral(": it is stored, but its sizes differ"));
    char header[localHeaderSize];
    if (!readAt(entry.localOffset, header, localHeaderSize) || u32(header) != localHeaderSignature)
        return fail(entry.name + QStringLiteral(": its local header is missing"));
    offset = entry.localOffset + localHeaderSize + u16(header + 26) + u16(header + 28);
    if (offset > m_deviceSize || entry.compressedSize > m_deviceSize - offset)
        return fail(entry.name + QStringLiteral(": the archive is cut short"));
    return true;
}

// The ratio is counted from the compressed bytes that inflating took, so
// that padding after a deflate stream cannot hide a bomb; it applies to each
// entry and to the whole load, so that many small bombs are one large one.
bool ZipReader::countInflated(const Entry &entry, quint64 entryInflated, quint64 entryConsumed, quint64 added,
                              quint64 addedConsumed)
{
    m_inflatedTotal += qint64(added);
    m_consumedTotal += addedConsumed;
    if (m_inflatedTotal > m_limits.maxInflatedSize) {
        return fail(entry.name + QStringLiteral(": the package inflates to more than %1 bytes (the read limit maxInflatedSize)")
                                     .arg(m_limits.maxInflatedSize));
    }
    const quint64 ratio = quint64(qMax(m_limits.maxCompressionRatio, 1));
    const bool entryBomb = qint64(entryInflated) > m_limits.compressionRatioFrom
        && entryInflated / ratio > qMax<quint64>(entryConsumed, 1);
    const bool packageBomb = m_inflatedTotal > m_limits.compressionRatioFrom
        && quint64(m_inflatedTotal) / ratio > qMax<quint64>(m_consumedTotal, 1);
    if (entryBomb || packageBomb) {
        return fail(entry.name + QStringLiteral(": it inflates to more than %1 times its compressed size "
                                                "(the read limit maxCompressionRatio)").arg(m_limits.maxCompressionRatio));
    }
    return true;
}

bool ZipReader::read(const QString &name, QByteArray &bytes)
{
    bytes.clear();
    const Entry *entry = find(name);
    quint64 offset = 0;
    if (!entry || !dataOffset(*entry, offset))
        return false;
    // Inflating past its stated size fails, so the stated size bounds the bytes.
    if (entry->size > quint64(largestCopy))
        return fail(entry->name + QStringLiteral(": it is larger than a part read whole can be"));
    Inflation inflation(*this, *entry, offset);
    while (!inflation.atEnd()) {
        if (!inflation.next(bytes, chunk * 4)) {
            bytes.clear();
            return false;
        }
    }
    return true;
}

std::unique_ptr<QIODevice> ZipReader::openEntry(const QString &name)
{
    const Entry *entry = find(name);
    quint64 offset = 0;
    if (!entry || !dataOffset(*entry, offset))
        return nullptr;
    return std::make_unique<ZipEntryStream>(*this, *entry, offset);
}

} // namespace Spreadsheet
