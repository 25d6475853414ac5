#include "sheetimage.h"

#include <QtEndian>

#include <climits>

namespace Spreadsheet {

SheetImage::SheetImage(const QByteArray &bytes, Type type, const DrawingAnchor &anchor, const QString &name,
                       const QString &description, const QString &suffix)
    : m_bytes(bytes), m_type(type), m_anchor(anchor), m_name(name), m_description(description), m_suffix(suffix)
{
}

QString SheetImage::suffix() const
{
    return m_type == Other ? m_suffix : suffixOf(m_type);
}

SheetImage::Type SheetImage::typeOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return Png;
    if (bytes.startsWith("\xff\xd8\xff"))
        return Jpeg;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return Gif;
    if (bytes.startsWith("BM") && bytes.size() >= 26)
        return Bmp;
    return Other;
}

namespace {

QSize jpegSize(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const int size = bytes.size();
    int at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xff)
            return QSize();
        const uchar marker = data[at + 1];
        if (marker == 0xff) {   // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {   // markers without a length
            at += 2;
            continue;
        }
        const int length = qFromBigEndian<quint16>(data + at + 2);
        if (length < 2)
            return QSize();
        const bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (frame) {
            if (at + 9 > size)
                return QSize();
            return QSize(qFromBigEndian<quint16>(data + at + 7), qFromBigEndian<quint16>(data + at + 5));
        }
        at += 2 + length;
    }
    return QSize();
}

} // namespace

QSize SheetImage::pixelSize(const QByteArray &bytes, Type type)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    QSize size;
    switch (type) {
    case Png:
        if (bytes.size() >= 24 && bytes.mid(12, 4) == "IHDR")
            size = QSize(int(qMin<quint32>(qFromBigEndian<quint32>(data + 16), INT_MAX)),
                         int(qMin<quint32>(qFromBigEndian<quint32>(data + 20), INT_MAX)));
        break;
    case Jpeg:
        size = jpegSize(bytes);
        break;
    case Gif:
        if (bytes.size() >= 10)
            size = QSize(qFromLittleEndian<quint16>(data + 6), qFromLittleEndian<quint16>(data + 8));
        break;
    case Bmp:
        if (bytes.size() >= 26) {
            const qint32 width = qFromLittleEndian<qint32>(data + 18);
            const qint32 height = qFromLittleEndian<qint32>(data + 22);   // negative: stored top down
            if (width > 0 && height != INT_MIN)
                size = QSize(width, qAbs(height));
        }
        break;
    case Other:
        break;
    }
    return size.width() > 0 && size.height() > 0 ? size : QSize();
}

QString SheetImage::suffixOf(Type type)
{
    switch (type) {
    case Png:
        return QStringLiteral("png");
    case Jpeg:
        return QStringLiteral("jpeg");
    case Gif:
        return QStringLiteral("gif");
    case Bmp:
        return QStringLiteral("bmp");
    case Other:
        break;
    }
    return QString();
}

QString SheetImage::contentTypeOf(Type type)
{
    return type == Other ? QString() : QStringLiteral("image/") + suffixOf(type);
}

} // namespace Spreadsheet
