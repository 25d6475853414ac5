// Draws the product's artwork: the instrument pictures, the logos, the
// certification mark and the application icon. The results are committed in
// resources/; run this again ("make artwork") when the artwork changes.
#include <QtEndian>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

const QColor brandBlue(0x1f, 0x4e, 0x8c);
const QColor brandGreen(0x3c, 0x9a, 0x4b);

QImage canvas(int width, int height, const QColor &background = Qt::white)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

bool saveJpeg(const QImage &image, const QString &path)
{
    return image.save(path, "JPG", 92);
}

// The mark of the brand: a rounded square with a stylised test tube and drop.
void drawMark(QPainter &p, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = box.width() * 0.18;
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, brandBlue.lighter(130));
    g.setColorAt(1, brandBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(box, r, r);

    const qreal w = box.width();
    QRectF tube(box.left() + w * 0.38, box.top() + w * 0.16, w * 0.24, w * 0.62);
    QPainterPath tubePath;
    tubePath.moveTo(tube.left(), tube.top());
    tubePath.lineTo(tube.left(), tube.bottom() - tube.width() / 2);
    tubePath.arcTo(QRectF(tube.left(), tube.bottom() - tube.width(), tube.width(), tube.width()), 180, 180);
    tubePath.lineTo(tube.right(), tube.top());
    p.setBrush(Qt::white);
    p.drawPath(tubePath);
    p.setBrush(brandGreen.lighter(120));
    p.drawRect(QRectF(tube.left() + w * 0.03, tube.top() + tube.height() * 0.5,
                      tube.width() - w * 0.06, tube.height() * 0.3));
    p.drawEllipse(QRectF(tube.left() + w * 0.03, tube.bottom() - tube.width() + w * 0.03,
                         tube.width() - w * 0.06, tube.width() - w * 0.06));
    p.restore();
}

void drawWordmark(QPainter &p, const QRectF &box, const QString &text, const QColor &colour, int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

QImage squareLogo()
{
    QImage image = canvas(200, 150);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawMark(p, QRectF(65, 12, 70, 70));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.setPen(brandBlue);
    p.drawText(QRectF(0, 86, 200, 34), Qt::AlignCenter, QStringLiteral("QVR"));
    font.setPixelSize(13);
    font.setBold(false);
    p.setFont(font);
    p.setPen(Qt::darkGray);
    p.drawText(QRectF(0, 118, 200, 20), Qt::AlignCenter, QStringLiteral("food analysis"));
    return image;
}

QImage wideLogo()
{
    QImage image = canvas(709, 177);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawMark(p, QRectF(20, 18, 141, 141));
    drawWordmark(p, QRectF(185, 20, 520, 90), QStringLiteral("QVR"), brandBlue, 84, true);
    drawWordmark(p, QRectF(190, 105, 520, 50), QStringLiteral("food analysis instruments"), Qt::darkGray, 34, false);
    return image;
}

QImage certificationMark()
{
    QImage image = canvas(354, 184);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor seal(0x2b, 0x6c, 0x3a);
    p.setPen(QPen(seal, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(14, 14, 156, 156));
    p.setPen(QPen(seal, 2));
    p.drawEllipse(QRectF(28, 28, 128, 128));
    // A tick in the seal.
    QPainterPath tick;
    tick.moveTo(58, 94);
    tick.lineTo(84, 120);
    tick.lineTo(130, 66);
    p.setPen(QPen(seal, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    drawWordmark(p, QRectF(186, 30, 168, 50), QStringLiteral("ISO 9001"), seal, 30, true);
    drawWordmark(p, QRectF(186, 80, 168, 30), QStringLiteral("quality system"), Qt::darkGray, 20, false);
    drawWordmark(p, QRectF(186, 108, 168, 30), QStringLiteral("certified"), Qt::darkGray, 20, false);
    return image;
}

// One instrument: series "W" is a bench analyser with a reading window,
// series "K" a taller one with a sample carousel on top.
QImage instrument(QChar series, const QColor &body, bool greyscale)
{
    QImage image = canvas(200, 150);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QRectF(20, 128, 160, 14));

    QLinearGradient shade(0, 0, 0, 150);
    shade.setColorAt(0, body.lighter(125));
    shade.setColorAt(1, body.darker(120));
    p.setPen(QPen(body.darker(160), 2));
    p.setBrush(shade);

    const QColor panel(0x2a, 0x2f, 0x36);
    if (series == QLatin1Char('W')) {
        p.drawRoundedRect(QRectF(22, 48, 156, 84), 10, 10);
        p.setBrush(QColor(0xe8, 0xea, 0xec));
        p.drawRoundedRect(QRectF(36, 30, 70, 26), 6, 6);          // lid
        p.setBrush(panel);
        p.drawRoundedRect(QRectF(112, 60, 54, 36), 4, 4);         // display
        p.setBrush(QColor(0x7f, 0xd3, 0xff));
        p.drawRect(QRectF(117, 65, 44, 26));
        p.setBrush(QColor(0xf4, 0xf4, 0xf4));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QRectF(38 + i * 17, 92, 12, 12));       // wells
    } else {
        p.drawRoundedRect(QRectF(40, 34, 120, 98), 10, 10);
        p.setBrush(QColor(0xe8, 0xea, 0xec));
        p.drawEllipse(QRectF(52, 14, 96, 32));                    // carousel
        p.setBrush(QColor(0xf4, 0xf4, 0xf4));
        for (int i = 0; i < 6; ++i)
            p.drawEllipse(QRectF(60 + i * 13, 24, 8, 8));
        p.setBrush(panel);
        p.drawRoundedRect(QRectF(58, 56, 84, 40), 4, 4);
        p.setBrush(QColor(0x7f, 0xd3, 0xff));
        p.drawRect(QRectF(63, 61, 74, 30));
    }
    p.end();
    return greyscale ? image.convertToFormat(QImage::Format_Grayscale8) : image;
}

QImage iconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const qreal m = size / 16.0;
    drawMark(p, QRectF(m, m, size - 2 * m, size - 2 * m));
    return image;
}

// A Windows icon file holding one uncompressed 32-bit image per size.
QByteArray icoFile(const QList<int> &sizes)
{
    QByteArray header;
    QByteArray data;
    auto put16 = [](QByteArray &b, quint16 v) { b.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](QByteArray &b, quint32 v) { put16(b, v & 0xffff); put16(b, v >> 16); };

    put16(header, 0);
    put16(header, 1);
    put16(header, quint16(sizes.size()));
    quint32 offset = 6 + 16 * quint32(sizes.size());
    for (int size : sizes) {
        const QImage image = iconImage(size);
        const int maskStride = ((size + 31) / 32) * 4;
        QByteArray entry;
        put32(entry, 40);
        put32(entry, quint32(size));
        put32(entry, quint32(size * 2));
        put16(entry, 1);
        put16(entry, 32);
        for (int i = 0; i < 6; ++i)
            put32(entry, 0);
        for (int y = size - 1; y >= 0; --y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < size; ++x) {
                entry.append(char(qBlue(line[x]))).append(char(qGreen(line[x])));
                entry.append(char(qRed(line[x]))).append(char(qAlpha(line[x])));
            }
        }
        entry.append(QByteArray(maskStride * size, '\0'));

        header.append(char(size >= 256 ? 0 : size)).append(char(size >= 256 ? 0 : size));
        header.append('\0').append('\0');
        put16(header, 1);
        put16(header, 32);
        put32(header, quint32(entry.size()));
        put32(header, offset);
        offset += quint32(entry.size());
        data.append(entry);
    }
    return header + data;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir(dir).mkpath(QStringLiteral("icons"));
    auto path = [&](const char *name) { return dir + QLatin1Char('/') + QLatin1String(name); };

    const struct { const char *name; QColor colour; bool grey; } bodies[] = {
        { "Giallo", QColor(0xf2, 0xc2, 0x1b), false },
        { "Rosso", QColor(0xc8, 0x2a, 0x2a), false },
        { "Verde", QColor(0x3c, 0x9a, 0x4b), false },
        { "Grigio", QColor(0x9a, 0x9e, 0xa3), true },
    };
    bool ok = true;
    for (const auto &body : bodies) {
        for (QChar series : { QLatin1Char('W'), QLatin1Char('K') }) {
            const QString name = QStringLiteral("%1/%2-%3.jpg").arg(dir, series, QLatin1String(body.name));
            ok &= saveJpeg(instrument(series, body.colour, body.grey), name);
        }
    }
    ok &= saveJpeg(squareLogo(), path("QVR-Brontal-quadrotto.jpg"));
    ok &= saveJpeg(wideLogo(), path("QVR-Brontal.jpg"));
    ok &= saveJpeg(certificationMark(), path("CSQ-IQNet.jpg"));
    ok &= writeFile(path("Logo-QVR.ico"), icoFile({ 16, 32, 48, 64, 128, 256 }));
    // The icon for the desktop's icon themes, in the icon file's sizes.
    for (const int size : { 16, 32, 48, 64, 128, 256 })
        ok &= iconImage(size).save(QStringLiteral("%1/icons/datarium-%2.png").arg(dir).arg(size), "PNG");
    QTextStream(stderr) << (ok ? "artwork written to " : "could not write the artwork to ") << dir << '\n';
    return ok ? 0 : 1;
}
