// The ZIP structure of a sound package, changed field by field: the local
// headers, the central directory's records (flags, method, sizes, offsets,
// name and extra lengths), the end records, ZIP64 ones among them. The
// first byte chooses the archive (classic; with ZIP64 end records; with
// ZIP64 sizes in every record); then each seven bytes change one field:
// two for which, one for how, four for the value. What is left of the input
// follows the archive. Every entry must read or fail with a reason, within
// the limits; a package that loads must save and load again.
#include "fuzzing.h"
#include "../packageentries.h"

#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/zipreader_p.h"

#include <QBuffer>
#include <QtEndian>

using namespace Spreadsheet;
using namespace Fuzzing;

namespace {

QList<QPair<QString, QByteArray>> baseEntries()
{
    Document document;
    document.writeValue(1, 1, QStringLiteral("Sample"));
    document.writeValue(1, 2, 4.81);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    document.saveToDevice(&buffer);
    return PackageEntries::entriesOf(buffer.data());
}

// The classic end record becomes a ZIP64 end record, its locator and an end
// record whose fields say that the ZIP64 one has them.
QByteArray withZip64End(QByteArray archive, QList<PackageEntries::Field> &fields)
{
    using PackageEntries::append;
    const int end = archive.size() - 22;
    const quint64 count = qFromLittleEndian<quint16>(archive.constData() + end + 10);
    const quint64 size = qFromLittleEndian<quint32>(archive.constData() + end + 12);
    const quint64 offset = qFromLittleEndian<quint32>(archive.constData() + end + 16);
    archive.truncate(end);
    while (!fields.isEmpty() && fields.last().offset >= end)
        fields.removeLast();
    const int widths[] = { 4, 8, 2, 2, 4, 4, 8, 8, 8, 8, 4, 4, 8, 4, 4, 2, 2, 2, 2, 4, 4, 2 };
    const quint64 values[] = { 0x06064b50, 44, 45, 45, 0, 0, count, count, size, offset,
                               0x07064b50, 0, quint64(end), 1,
                               0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0 };
    for (int i = 0; i < 22; ++i) {
        fields.append({ archive.size(), widths[i] });
        append(archive, values[i], widths[i]);
    }
    return archive;
}

// Every central record with a ZIP64 extra field holding its sizes and
// offset, its classic fields all ones.
QByteArray withZip64Sizes(const QList<QPair<QString, QByteArray>> &entries, QList<PackageEntries::Field> &fields)
{
    QList<PackageEntries::Field> plainFields;
    const QByteArray plain = PackageEntries::storedPackageOf(entries, &plainFields);
    const int directory = int(qFromLittleEndian<quint32>(plain.constData() + plain.size() - 6));
    QByteArray archive = plain.left(directory);
    for (const PackageEntries::Field &field : plainFields) {
        if (field.offset < directory)
            fields.append(field);
    }
    int at = directory;
    QByteArray records;
    while (qFromLittleEndian<quint32>(plain.constData() + at) == 0x02014b50) {
        const int nameLength = qFromLittleEndian<quint16>(plain.constData() + at + 28);
        QByteArray record = plain.mid(at, 46 + nameLength);
        const quint64 compressed = qFromLittleEndian<quint32>(record.constData() + 20);
        const quint64 size = qFromLittleEndian<quint32>(record.constData() + 24);
        const quint64 local = qFromLittleEndian<quint32>(record.constData() + 42);
        qToLittleEndian<quint32>(0xFFFFFFFF, record.data() + 20);
        qToLittleEndian<quint32>(0xFFFFFFFF, record.data() + 24);
        qToLittleEndian<quint32>(0xFFFFFFFF, record.data() + 42);
        qToLittleEndian<quint16>(28, record.data() + 30);
        const int base = archive.size() + records.size();
        for (const int offset : { 8, 10, 20, 24, 28, 30, 42 })
            fields.append({ base + offset, offset == 20 || offset == 24 || offset == 42 ? 4 : 2 });
        PackageEntries::append(record, 1, 2);
        PackageEntries::append(record, 24, 2);
        for (const quint64 value : { size, compressed, local }) {
            fields.append({ base + record.size(), 8 });
            PackageEntries::append(record, value, 8);
        }
        records += record;
        at += 46 + nameLength;
    }
    QByteArray end = plain.right(22);
    qToLittleEndian<quint32>(quint32(records.size()), end.data() + 12);
    fields.append({ archive.size() + records.size() + 12, 4 });
    fields.append({ archive.size() + records.size() + 16, 4 });
    return archive + records + end;
}

void changeField(QByteArray &archive, const PackageEntries::Field &field, int how, quint32 value)
{
    if (field.offset < 0 || field.offset + field.size > archive.size())
        return;
    char *bytes = archive.data() + field.offset;
    quint64 current = 0;
    for (int i = 0; i < field.size; ++i)
        current |= quint64(uchar(bytes[i])) << (8 * i);
    switch (how % 6) {
    case 0: current = value; break;
    case 1: current += quint64(qint64(qint32(value))); break;
    case 2: current = ~quint64(0); break;
    case 3: current = 0; break;
    case 4: current = quint64(archive.size() + qint8(value)); break;
    default: current ^= quint64(1) << (value % quint32(8 * field.size)); break;
    }
    for (int i = 0; i < field.size; ++i)
        bytes[i] = char((current >> (8 * i)) & 0xFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QList<QPair<QString, QByteArray>> entries = baseEntries();
    if (size < 1)
        return 0;
    QList<PackageEntries::Field> fields;
    QByteArray archive;
    switch (data[0] % 3) {
    case 0: archive = PackageEntries::storedPackageOf(entries, &fields); break;
    case 1: archive = PackageEntries::storedPackageOf(entries, &fields); archive = withZip64End(archive, fields); break;
    default: archive = withZip64Sizes(entries, fields); break;
    }
    size_t at = 1;
    for (; at + 7 <= size; at += 7) {
        const int which = int(qFromLittleEndian<quint16>(data + at)) % fields.size();
        changeField(archive, fields.at(which), data[at + 2], qFromLittleEndian<quint32>(data + at + 3));
    }
    archive.append(reinterpret_cast<const char *>(data) + at, int(size - at));

    QBuffer buffer;
    buffer.setData(archive);
    buffer.open(QIODevice::ReadOnly);
    ZipReader zip(&buffer, limits());
    if (zip.open()) {
        for (const QString &name : zip.entryNames()) {
            QByteArray bytes;
            if (!zip.read(name, bytes))
                check(!zip.errorString().isEmpty());
        }
    } else {
        check(!zip.errorString().isEmpty());
    }

    Document document;
    document.setReadLimits(limits());
    buffer.seek(0);
    if (document.load(&buffer)) {
        checkSavesAndLoadsAgain(document);
    } else {
        check(!document.errorString().isEmpty());
    }
    SheetReader reader;
    reader.setReadLimits(limits());
    buffer.seek(0);
    if (reader.open(&buffer)) {
        while (reader.readRow()) {
        }
    }
    return 0;
}
