// The ZIP container as a real reader finds it: Python's zipfile opens what
// the writer wrote, checks every entry's CRC and gives back its bytes.
#include "hosttools.h"
#include "spreadsheet/deflater_p.h"
#include "spreadsheet/zipentrydevice_p.h"
#include "spreadsheet/zipreader_p.h"
#include "spreadsheet/zipwriter_p.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

#include <zlib.h>
#if defined(__GLIBC__)
#include <dlfcn.h>
#endif

using namespace Spreadsheet;

namespace {

// zlib's deflate, failing on request: the call after failDeflateAfter more
// ones answers as zlib does when it runs out of memory.
std::atomic<int> failDeflateAfter{ -1 };

} // namespace

#if defined(__GLIBC__)
extern "C" int deflate(z_streamp stream, int flush)
{
    using Deflate = int (*)(z_streamp, int);
    static const auto real = reinterpret_cast<Deflate>(dlsym(RTLD_NEXT, "deflate"));
    if (failDeflateAfter.load() >= 0 && failDeflateAfter.fetch_sub(1) == 0)
        return Z_MEM_ERROR;
    return real(stream, flush);
}
#endif

namespace {

constexpr int piece = ZipEntryDevice::pieceSize;

// Bytes that compress somewhat, as XML does, but not to nothing.
QByteArray content(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes += "<c r=\"A" + QByteArray::number(random.bounded(100000)) + "\"><v>"
            + QByteArray::number(random.generateDouble(), 'g', 12) + "</v></c>";
    bytes.truncate(size);
    return bytes;
}

QString sha(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// "name size sha256" per entry, in the directory's order, as Python's zipfile
// reads the archive after checking every CRC; the error when it cannot.
QStringList readByZipfile(const QByteArray &archive, QString *error = nullptr)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("archive.zip")));
    if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size())
        return {};
    file.close();
    QProcess python;
    python.start(HostTools::program(QStringLiteral("python3")), { QStringLiteral("-c"), QStringLiteral(
        "import hashlib, sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1]) as z:\n"
        "    bad = z.testzip()\n"
        "    if bad: sys.exit('bad CRC: ' + bad)\n"
        "    for info in z.infolist():\n"
        "        data = z.read(info)\n"
        "        print(info.filename, len(data), hashlib.sha256(data).hexdigest())\n"), HostTools::path(file.fileName()) });
    python.waitForFinished(120000);
    if (error)
        *error = QString::fromUtf8(python.readAllStandardError());
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        return {};
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString line(const QString &name, const QByteArray &bytes)
{
    return QStringLiteral("%1 %2 %3").arg(name).arg(bytes.size()).arg(sha(bytes));
}

// A device that takes a number of bytes and then refuses every write.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        if (size > m_room)
            return -1;
        m_room -= size;
        return size;
    }

private:
    qint64 m_room;
};

} // namespace

class TestZipWriter : public QObject
{
    Q_OBJECT

private slots:
    void entriesOfEverySizeReadBack();
    void libraryReadsWhatItWrites();
    void failingDeviceFailsTheSave();
    void compressionFailureFailsTheSave();
    void moreEntriesThanTheClassicFormatHolds();
};

// Whole entries, streamed entries of one, two and many pieces, and single
// writes larger than a piece, each read back with its CRC checked.
void TestZipWriter::entriesOfEverySizeReadBack()
{
    if (!HostTools::available())
        QSKIP("Python's zipfile reads the archives");
    const struct
    {
        const char *name;
        int size;
        int writeSize;   // the part writes in steps of this size
    } entries[] = {
        { "empty.xml", 0, 1 },
        { "small.xml", 100, 7 },
        { "stored.bin", 40, 40 },                       // incompressible and small: stored
        { "almost-a-piece.xml", piece - 1, 4096 },      // whole
        { "one-piece.xml", piece, 4096 },               // one piece and an empty last one
        { "one-piece-and-a-byte.xml", piece + 1, 4096 },
        { "two-pieces.xml", 2 * piece, 65536 },
        { "many-pieces.xml", 7 * piece + 12345, 100000 },
        { "one-large-write.xml", 3 * piece + piece / 2, 3 * piece + piece / 2 },
    };
    QByteArray archive;
    QBuffer buffer(&archive);
    buffer.open(QIODevice::WriteOnly);
    ZipWriter zip(&buffer);
    QStringList expected;
    quint32 seed = 1;
    for (const auto &entry : entries) {
        QByteArray bytes = content(entry.size, seed++);
        if (QByteArray(entry.name) == "stored.bin")
            bytes = QByteArray::fromHex("8f1e0c55a9d3b6217e40f2c8935ab1d06c7f2e4193d8a0b5c62e7f1d9048a3b7c5e2f6a1d0b9c8e7");
        const int writeSize = entry.writeSize;
        zip.addFile(QLatin1String(entry.name), [&bytes, writeSize](QIODevice *device) {
            for (int at = 0; at < bytes.size(); at += writeSize)
                device->write(bytes.mid(at, writeSize));
        });
        expected << line(QLatin1String(entry.name), bytes);
    }
    const QByteArray whole = content(5000, 99);
    zip.addFile(QStringLiteral("whole.xml"), whole);
    expected << line(QStringLiteral("whole.xml"), whole);
    QVERIFY(zip.close());

    QString error;
    QCOMPARE(readByZipfile(archive, &error), expected);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

// Entries of many sizes read back through the library's own reader, whole
// and a few bytes at a time: the inflater may hold output after taking the
// last input. And the CRC of an entry past 4 GiB, which is combined from its
// pieces' (with a length that zlib on Windows takes in 32 bits): the CRC of
// "abc" and five billion zero bytes, as Python's zlib sums them.
void TestZipWriter::libraryReadsWhatItWrites()
{
    QByteArray archive;
    QBuffer buffer(&archive);
    buffer.open(QIODevice::WriteOnly);
    ZipWriter zip(&buffer);
    QVector<QByteArray> contents;
    for (int i = 0; i < 48; ++i) {
        // XML, and XML padded with spaces.
        contents << (i % 2 ? content(1000 + i * 4099 + (i % 7) * piece / 3, quint32(100 + i))
                           : content(2000 + i, quint32(i)) + QByteArray(1000 + i * 13001, ' '));
        const QByteArray &bytes = contents.last();
        zip.addFile(QStringLiteral("e%1.xml").arg(i), [&bytes](QIODevice *device) { device->write(bytes); });
    }
    QVERIFY(zip.close());

    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    ZipReader reader(&buffer, ReadLimits());
    QVERIFY(reader.open());
    for (int i = 0; i < contents.size(); ++i) {
        const QString name = QStringLiteral("e%1.xml").arg(i);
        QByteArray whole;
        QVERIFY2(reader.read(name, whole), qPrintable(name + QStringLiteral(": ") + reader.errorString()));
        QVERIFY2(whole == contents.at(i), qPrintable(name));
        if (i % 10 == 0) {
            const std::unique_ptr<QIODevice> entry = reader.openEntry(name);
            QByteArray streamed;
            while (!entry->atEnd()) {
                const QByteArray part = entry->read(4093);
                QVERIFY2(!part.isEmpty(), qPrintable(name + QStringLiteral(": ") + entry->errorString()));
                streamed += part;
            }
            QVERIFY2(streamed == contents.at(i), qPrintable(name));
        }
    }

    QCOMPARE(Deflater::combineCrc(0x352441c2, 0x5c316f50, 5000000000ull), 0xcc5a88f9u);
}

// The device fills up in a header, inside a streamed entry and in the
// directory: the save fails each time.
void TestZipWriter::failingDeviceFailsTheSave()
{
    const QByteArray large = content(3 * piece, 7);
    auto save = [&large](QIODevice *device) {
        ZipWriter zip(device);
        zip.addFile(QStringLiteral("a.xml"), content(1000, 3));
        zip.addFile(QStringLiteral("large.xml"), [&large](QIODevice *entry) {
            for (int at = 0; at < large.size(); at += 10000)
                entry->write(large.mid(at, 10000));
        });
        return zip.close();
    };
    QByteArray archive;
    QBuffer buffer(&archive);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(save(&buffer));
    for (const int room : { 10, archive.size() / 2, archive.size() - 60, archive.size() - 1 }) {
        FailingDevice device(room);
        QVERIFY2(!save(&device), qPrintable(QString::number(room)));
    }
    FailingDevice roomy(archive.size());
    QVERIFY(save(&roomy));
}

// zlib out of memory, in a whole entry or in one piece of a streamed one:
// the save reports failure instead of an entry with a hole.
void TestZipWriter::compressionFailureFailsTheSave()
{
#if defined(__GLIBC__)
    const QByteArray large = content(3 * piece, 11);
    for (const int failingCall : { 0, 1, 2, 3 }) {
        QByteArray archive;
        QBuffer buffer(&archive);
        buffer.open(QIODevice::WriteOnly);
        ZipWriter zip(&buffer);
        failDeflateAfter = failingCall;
        zip.addFile(QStringLiteral("whole.xml"), content(20000, 5));
        zip.addFile(QStringLiteral("large.xml"), [&large](QIODevice *entry) {
            for (int at = 0; at < large.size(); at += 100000)
                entry->write(large.mid(at, 100000));
        });
        const bool closed = zip.close();
        failDeflateAfter = -1;
        QVERIFY2(!closed, qPrintable(QString::number(failingCall)));
    }
#else
    QSKIP("zlib is replaced through the GNU dynamic linker");
#endif
}

// Past 65,534 entries the archive carries the ZIP64 end records.
void TestZipWriter::moreEntriesThanTheClassicFormatHolds()
{
    if (!HostTools::available())
        QSKIP("Python's zipfile reads the archives");
    QByteArray archive;
    QBuffer buffer(&archive);
    buffer.open(QIODevice::WriteOnly);
    ZipWriter zip(&buffer);
    const int count = 70000;
    for (int i = 0; i < count; ++i)
        zip.addFile(QStringLiteral("e/%1").arg(i), QByteArray::number(i));
    QVERIFY(zip.close());
    QVERIFY(archive.contains(QByteArray("PK\x06\x06", 4)));   // the ZIP64 end record
    const QStringList read = readByZipfile(archive);
    QCOMPARE(read.size(), count);
    QCOMPARE(read.last(), line(QStringLiteral("e/69999"), "69999"));
    QCOMPARE(read.at(65535), line(QStringLiteral("e/65535"), "65535"));
}

QTEST_MAIN(TestZipWriter)
#include "tst_zipwriter.moc"
