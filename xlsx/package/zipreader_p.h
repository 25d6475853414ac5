#ifndef SPREADSHEET_ZIPREADER_P_H
#define SPREADSHEET_ZIPREADER_P_H

#include "readlimits.h"

#include <QBuffer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QIODevice;

namespace Spreadsheet {

// The ZIP container of a package, read from a device that is untrusted: the
// central directory is checked before anything is taken from it (names are
// names, never paths; offsets and sizes lie inside the device), entries are
// inflated while counting against the read limits, and each entry's size and
// CRC are checked at its end. Stored and deflated entries, with or without
// data descriptors, and ZIP64 archives are read; anything else is an error
// that names the entry and the reason.
class ZipReader
{
public:
    ZipReader(QIODevice *device, const ReadLimits &limits);
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // Reads the directory; false, with the reason, for anything but a sound
    // ZIP archive.
    bool open();
    QString errorString() const { return m_error; }

    // The entries' names, in the directory's order (folders left out).
    QStringList entryNames() const;
    // The entry's name as the archive spells it, for a name in any letter
    // case (part names do not tell case apart); empty when there is none.
    QString entryName(const QString &name) const;
    bool contains(const QString &name) const { return !entryName(name).isEmpty(); }
    qint64 inflatedTotal() const { return m_inflatedTotal; }

    // The whole entry; false, with the reason, when it is broken or passes
    // a limit.
    bool read(const QString &name, QByteArray &bytes);
    // The entry inflated while it is read, for parts too large to hold; null
    // with the reason for a missing entry. A read that fails sets the
    // device's error string and this reader's.
    std::unique_ptr<QIODevice> openEntry(const QString &name);

private:
    friend class Inflation;
    friend class ZipEntryStream;

    struct Entry
    {
        QString name;
        quint16 flags = 0;
        quint16 method = 0;
        quint32 crc = 0;
        quint64 compressedSize = 0;
        quint64 size = 0;
        quint64 localOffset = 0;
    };

    bool fail(const QString &message);
    bool readAt(quint64 offset, char *data, qint64 size);
    bool locateDirectory(quint64 &offset, quint64 &size, quint64 &count);
    bool readZip64End(quint64 endOffset, quint64 &offset, quint64 &size, quint64 &count);
    bool readDirectory(quint64 offset, quint64 size, quint64 count);
    bool readZip64Sizes(Entry &entry, const char *extra, int extraLength);
    bool acceptName(const QString &name);
    const Entry *find(const QString &name);
    bool dataOffset(const Entry &entry, quint64 &offset);
    // Counts bytes inflated from an entry and the compressed bytes they took;
    // false, with the limit named, past one.
    bool countInflated(const Entry &entry, quint64 entryInflated, quint64 entryConsumed, quint64 added,
                       quint64 addedConsumed);

    QIODevice *m_device;
    QBuffer m_copy;          // a sequential device's bytes, which need seeking
    quint64 m_deviceSize = 0;
    ReadLimits m_limits;
    QVector<Entry> m_entries;
    QHash<QString, int> m_byFoldedName;
    qint64 m_inflatedTotal = 0;
    quint64 m_consumedTotal = 0;
    QString m_error;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ZIPREADER_P_H
