// A package to load, built from the input: either the input itself taken as
// a ZIP archive, or (more often, because deflated bytes mutate badly) a list
// of entries "name\0content\0..." that this target packs. Whatever loads must
// save, and what was saved must load again with the same sheets; the row
// reader must walk every sheet of the same package without crashing. A failed
// load must say why and leave the document as it was.
#include "fuzzing.h"
#include "spreadsheet/spreadsheet.h"
#include "spreadsheet/zipwriter_p.h"

#include <QBuffer>

using namespace Spreadsheet;
using namespace Fuzzing;

namespace {

// Entries separated by NUL bytes, name then content; a missing content is empty.
QByteArray packed(const QByteArray &input)
{
    QByteArray package;
    QBuffer buffer(&package);
    buffer.open(QIODevice::WriteOnly);
    ZipWriter zip(&buffer);
    const QList<QByteArray> pieces = input.split('\0');
    for (int i = 0; i + 1 < pieces.size(); i += 2)
        zip.addFile(QString::fromUtf8(pieces.at(i)), pieces.at(i + 1));
    zip.close();
    return package;
}

void readEveryRow(const QByteArray &package)
{
    SheetReader first;
    first.setReadLimits(limits());
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    if (!first.open(&buffer)) {
        check(first.hasError() && !first.errorString().isEmpty());
        return;
    }
    for (const QString &sheet : first.sheetNames()) {
        SheetReader reader;
        reader.setReadLimits(limits());
        buffer.seek(0);
        if (!reader.open(&buffer, sheet))
            continue;   // a chart sheet, or a part that cannot be read
        while (reader.readRow())
            check(reader.rowNumber() >= 1 && reader.values().size() <= 16384);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    const QByteArray package = data[0] % 4 == 0 ? input : packed(input);

    Document document;
    document.writeValue(1, 1, QStringLiteral("before"));
    document.setReadLimits(limits());
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    if (!document.load(&buffer)) {
        check(!document.errorString().isEmpty());
        check(document.sheetNames() == QStringList{ QStringLiteral("Sheet1") });
        check(document.readValue(1, 1).toString() == QLatin1String("before"));
        readEveryRow(package);
        return 0;
    }
    checkSavesAndLoadsAgain(document);
    checkEditsSaveAndLoadAgain(document);
    readEveryRow(package);
    return 0;
}
