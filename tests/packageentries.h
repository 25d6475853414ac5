#ifndef PACKAGEENTRIES_H
#define PACKAGEENTRIES_H

#include "spreadsheet/document.h"
#include "spreadsheet/zipreader_p.h"
#include "spreadsheet/zipwriter_p.h"

#include <QBuffer>
#include <QList>
#include <QPair>

#include <functional>

#include <zlib.h>

// The entries of a saved package, read and written again, for tests that
// look inside a package or change it the way another program might.
namespace PackageEntries {

// The entries by name, in the package's order; none when it is no ZIP archive.
inline QList<QPair<QString, QByteArray>> entriesOf(const QByteArray &package)
{
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    Spreadsheet::ZipReader zip(&buffer, Spreadsheet::ReadLimits());
    QList<QPair<QString, QByteArray>> entries;
    if (!zip.open())
        return entries;
    for (const QString &name : zip.entryNames()) {
        QByteArray bytes;
        zip.read(name, bytes);
        entries.append({ name, bytes });
    }
    return entries;
}

inline QByteArray packageOf(const QList<QPair<QString, QByteArray>> &entries)
{
    QByteArray package;
    QBuffer buffer(&package);
    buffer.open(QIODevice::WriteOnly);
    Spreadsheet::ZipWriter zip(&buffer);
    for (const auto &[name, bytes] : entries)
        zip.addFile(name, bytes);
    zip.close();
    return package;
}

// One entry's bytes; empty when the package lacks it.
inline QByteArray entryOf(const QByteArray &package, const QString &name)
{
    for (const auto &[entryName, bytes] : entriesOf(package)) {
        if (entryName == name)
            return bytes;
    }
    return QByteArray();
}

// The package with its entries edited: edit may change an entry's bytes, or
// say false to leave the entry out. Empty when the package cannot be read.
inline QByteArray editedPackage(const QByteArray &package,
                                const std::function<bool(const QString &, QByteArray &)> &edit)
{
    QList<QPair<QString, QByteArray>> entries = entriesOf(package);
    if (entries.isEmpty())
        return QByteArray();
    QList<QPair<QString, QByteArray>> kept;
    for (auto &[name, bytes] : entries) {
        if (edit(name, bytes))
            kept.append({ name, bytes });
    }
    return packageOf(kept);
}

// The base package of the loading tests: two sheets with texts, a number
// with a format, a link.
inline QByteArray basePackage()
{
    Spreadsheet::Document document;
    Spreadsheet::Format format;
    format.setFontBold(true);
    format.setNumberFormatCode(QStringLiteral("0.00"));
    document.writeValue(1, 1, QStringLiteral("Sample"));
    document.writeValue(1, 2, 4.81, format);
    document.writeValue(2, 1, QStringLiteral("https://example.org/"));
    document.addSheet(QStringLiteral("Second"));
    document.selectSheet(QStringLiteral("Sheet1"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.saveToDevice(&buffer);
    return buffer.data();
}

// The base package with one entry's bytes changed (or added).
inline QByteArray withEntry(const QString &name, const std::function<QByteArray(QByteArray)> &change)
{
    auto entries = entriesOf(basePackage());
    bool found = false;
    for (auto &entry : entries) {
        if (entry.first == name) {
            entry.second = change(entry.second);
            found = true;
        }
    }
    if (!found)
        entries.append({ name, change(QByteArray()) });
    return packageOf(entries);
}

// The base package whose first sheet holds the given sheet data.
inline QByteArray withSheetData(const QByteArray &data)
{
    return withEntry(QStringLiteral("xl/worksheets/sheet1.xml"), [data](QByteArray) -> QByteArray {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
               "spreadsheetml/2006/main\"><sheetData>" + data + "</sheetData></worksheet>";
    });
}

// ZIP archives of stored entries, written here rather than by the library's
// writer (which refuses two entries of one name): for packages made to
// hurt, and for fuzzers, which find every byte of a part where they put it.
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
inline QByteArray storedPackageOf(const QList<QPair<QString, QByteArray>> &entries, QList<Field> *fields = nullptr)
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

} // namespace PackageEntries

#endif // PACKAGEENTRIES_H
