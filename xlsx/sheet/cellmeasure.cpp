#include "cellmeasure_p.h"

#include "richstring.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <cmath>

namespace Spreadsheet {

namespace {

constexpr double defaultPointSize = 11;
constexpr int dotsPerMeterAt96Dpi = 3780;   // 96 / 0.0254
// A column shows 7 pixels per digit of Calibri 11 and 5 of padding. A
// fitted column leaves the text some room on either side, as much as
// spreadsheet programs leave: LibreOffice's optimal widths of headers,
// numbers and dates come out 12 to 20 pixels wider than the text.
constexpr double digitPixels = 7;
constexpr double columnPadding = 5;
constexpr double textMargin = 16;
constexpr double maxColumnWidth = 255;

} // namespace

CellMeasure::CellMeasure()
{
    m_haveFonts = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    if (!m_haveFonts)
        return;
    m_calibriMissing = !QFontDatabase().families().contains(QStringLiteral("Calibri"), Qt::CaseInsensitive);
    m_device = QImage(1, 1, QImage::Format_RGB32);
    m_device.setDotsPerMeterX(dotsPerMeterAt96Dpi);
    m_device.setDotsPerMeterY(dotsPerMeterAt96Dpi);
}

QFont CellMeasure::fontFor(const Format &format) const
{
    QString family = format.fontName();
    if (family.isEmpty() || (m_calibriMissing && family.compare(QLatin1String("Calibri"), Qt::CaseInsensitive) == 0))
        family = m_calibriMissing ? QStringLiteral("Carlito") : QStringLiteral("Calibri");
    QFont font(family);
    font.setPointSizeF(format.fontSize() > 0 ? format.fontSize() : defaultPointSize);
    font.setBold(format.fontBold());
    font.setItalic(format.fontItalic());
    return font;
}

double CellMeasure::lineWidth(const QString &line, const Format &format)
{
    const double points = format.fontSize() > 0 ? format.fontSize() : defaultPointSize;
    if (!m_haveFonts) {
        // Calibri's characters average a little over half its size.
        return line.size() * points * 96 / 72 * (format.fontBold() ? 0.55 : 0.5);
    }
    const QString key = format.fontName() + QLatin1Char('|') + QString::number(points) + QLatin1Char('|')
        + QLatin1Char(format.fontBold() ? 'b' : '-') + QLatin1Char(format.fontItalic() ? 'i' : '-') + line;
    const auto known = m_widths.constFind(key);
    if (known != m_widths.constEnd())
        return known.value();
    const double width = QFontMetricsF(fontFor(format), &m_device).horizontalAdvance(line);
    if (m_widths.size() < 65536)
        m_widths.insert(key, width);
    return width;
}

double CellMeasure::textWidth(const QString &text, const Format &format)
{
    double widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, lineWidth(line, format));
    return widest;
}

double CellMeasure::richTextWidth(const RichString &text, const Format &cellFormat)
{
    double widest = 0;
    double current = 0;
    for (int run = 0; run < text.runCount(); ++run) {
        Format format = cellFormat;
        const Format own = text.runFormat(run);
        if (!own.fontName().isEmpty())
            format.setFontName(own.fontName());
        if (own.fontSize() > 0)
            format.setFontSize(own.fontSize());
        if (own.hasProperty(Format::FontBoldProperty))
            format.setFontBold(own.fontBold());
        if (own.hasProperty(Format::FontItalicProperty))
            format.setFontItalic(own.fontItalic());
        const QStringList lines = text.runText(run).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                widest = qMax(widest, current);
                current = 0;
            }
            current += lineWidth(lines.at(i), format);
        }
    }
    return qMax(widest, current);
}

double CellMeasure::columnWidthFor(double pixels)
{
    const double width = (pixels + textMargin - columnPadding) / digitPixels;
    // Stored to 1/256 of a digit, as spreadsheet programs store widths.
    return qBound(0.0, std::ceil(width * 256) / 256, maxColumnWidth);
}

} // namespace Spreadsheet
