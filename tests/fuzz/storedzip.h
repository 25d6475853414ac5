#ifndef STOREDZIP_H
#define STOREDZIP_H

#include "../packageentries.h"

#include <QList>
#include <QPair>
#include <QtEndian>

#include <zlib.h>

// ZIP archives of stored entries, written here rather than by the library's
// writer: fast, and with every byte of a part where the fuzzer put it.
namespace StoredZip {

inline void append(QByteArray &out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// A record of the archive's structure: where it starts and its fields.
struct Field
{
    int offset;
    int size;
};

// The archive, and (when asked) the place of every field of its headers,
// its directory and its end record.
inline QByteArray archive(const QList<QPair<QString, QByteArray>> &entries, QList<Field> *fields = nullptr)
{
    QByteArray out;
    QByteArray directory;
    QList<Field> directoryFields;
    auto field = [](QList<Field> *list, int base, const QByteArray &record, int size) {
        if (list)
            list->append({ base + record.size(), size });
    };
    for (const auto &[name, data] : entries) {
        const QByteArray utf8 = name.toUtf8();
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
        const int local = out.size();
        QByteArray header;
        const int widths[] = { 4, 2, 2, 2, 2, 2, 4, 4, 4, 2, 2 };
        const quint64 values[] = { 0x04034b50, 20, 0x0800, 0, 0, 0, crc, quint64(data.size()), quint64(data.size()),
                                   quint64(utf8.size()), 0 };
        for (int i = 0; i < 11; ++i) {
            field(fields, local, header, widths[i]);
            append(header, values[i], widths[i]);
        }
        out += header + utf8 + data;
        QByteArray central;
        const int centralWidths[] = { 4, 2, 2, 2, 2, 2, 2, 4, 4, 4, 2, 2, 2, 2, 2, 4, 4 };
        const quint64 centralValues[] = { 0x02014b50, 20, 20, 0x0800, 0, 0, 0, crc, quint64(data.size()),
                                          quint64(data.size()), quint64(utf8.size()), 0, 0, 0, 0, 0, quint64(local) };
        for (int i = 0; i < 17; ++i) {
            field(&directoryFields, directory.size(), central, centralWidths[i]);
            append(central, centralValues[i], centralWidths[i]);
        }
        directory += central + utf8;
    }
    const int directoryOffset = out.size();
    if (fields) {
        for (const Field &f : directoryFields)
            fields->append({ directoryOffset + f.offset, f.size });
    }
    out += directory;
    QByteArray end;
    const int endWidths[] = { 4, 2, 2, 2, 2, 4, 4, 2 };
    const quint64 endValues[] = { 0x06054b50, 0, 0, quint64(entries.size()), quint64(entries.size()),
                                  quint64(directory.size()), quint64(directoryOffset), 0 };
    const int endOffset = out.size();
    for (int i = 0; i < 8; ++i) {
        field(fields, endOffset, end, endWidths[i]);
        append(end, endValues[i], endWidths[i]);
    }
    return out + end;
}

// The entries of a package the library wrote.
inline QList<QPair<QString, QByteArray>> entries(const QByteArray &package)
{
    return PackageEntries::entriesOf(package);
}

} // namespace StoredZip

#endif // STOREDZIP_H
