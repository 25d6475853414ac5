#include "xlsxcolor.h"

#include <QDataStream>
#include <QDebug>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

enum StreamedKind : qint32 { StreamedInvalid = 0, StreamedRgb = 1, StreamedIndexed = 2, StreamedTheme = 3, StreamedOther = 4 };

} // namespace

XlsxColor::XlsxColor(const QColor &color)
{
    if (color.isValid())
        m_value = color;
}

XlsxColor::XlsxColor(const QString &theme, const QString &tint)
    : m_value(QStringList{ theme, tint })
{
}

XlsxColor::XlsxColor(int index)
    : m_value(index)
{
}

bool XlsxColor::isRgb() const
{
    return m_value.userType() == QMetaType::QColor && m_value.value<QColor>().isValid();
}

bool XlsxColor::isIndexed() const
{
    return m_value.userType() == QMetaType::Int;
}

bool XlsxColor::isTheme() const
{
    return m_value.userType() == QMetaType::QStringList;
}

bool XlsxColor::isInvalid() const
{
    return !m_value.isValid();
}

QColor XlsxColor::rgb() const
{
    return isRgb() ? m_value.value<QColor>() : QColor();
}

int XlsxColor::index() const
{
    return isIndexed() ? m_value.toInt() : -1;
}

QStringList XlsxColor::themeAndTint() const
{
    return isTheme() ? m_value.toStringList() : QStringList();
}

QString XlsxColor::toArgbText(const QColor &color)
{
    return QString::asprintf("%02X%02X%02X%02X", color.alpha(), color.red(), color.green(), color.blue());
}

QColor XlsxColor::fromArgbText(const QString &text)
{
    QColor color;
    auto component = [&](int position) { return text.midRef(position, 2).toInt(nullptr, 16); };
    color.setRgb(component(2), component(4), component(6), component(0));
    return color;
}

bool XlsxColor::writeColorElement(QXmlStreamWriter &writer, const QString &elementName) const
{
    writer.writeEmptyElement(elementName.isEmpty() ? QStringLiteral("color") : elementName);
    if (m_value.userType() == QMetaType::QColor) {
        writer.writeAttribute(QStringLiteral("rgb"), toArgbText(m_value.value<QColor>()));
    } else if (isTheme()) {
        const QStringList theme = m_value.toStringList();
        writer.writeAttribute(QStringLiteral("theme"), theme.value(0));
        if (!theme.value(1).isEmpty())
            writer.writeAttribute(QStringLiteral("tint"), theme.value(1));
    } else if (isIndexed()) {
        writer.writeAttribute(QStringLiteral("indexed"), QString::number(m_value.toInt()));
    } else {
        writer.writeAttribute(QStringLiteral("auto"), QStringLiteral("1"));
    }
    return true;
}

bool XlsxColor::readColorElement(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    if (attributes.hasAttribute(QLatin1String("rgb")))
        *this = XlsxColor(fromArgbText(attributes.value(QLatin1String("rgb")).toString()));
    else if (attributes.hasAttribute(QLatin1String("indexed")))
        *this = XlsxColor(attributes.value(QLatin1String("indexed")).toInt());
    else if (attributes.hasAttribute(QLatin1String("theme")))
        *this = XlsxColor(attributes.value(QLatin1String("theme")).toString(),
                          attributes.value(QLatin1String("tint")).toString());
    return true;
}

XlsxColor::operator QVariant() const
{
    // Formats compare and stream colours inside variants.
    static const bool registered = (registerColorMetaTypes(), true);
    Q_UNUSED(registered)
    return QVariant::fromValue(*this);
}

QDataStream &operator<<(QDataStream &stream, const XlsxColor &color)
{
    if (color.isInvalid())
        stream << qint32(StreamedInvalid);
    else if (color.m_value.userType() == QMetaType::QColor)
        stream << qint32(StreamedRgb) << color.m_value.value<QColor>();
    else if (color.isIndexed())
        stream << qint32(StreamedIndexed) << qint32(color.m_value.toInt());
    else if (color.isTheme())
        stream << qint32(StreamedTheme) << color.m_value.toStringList();
    else
        stream << qint32(StreamedOther);
    return stream;
}

QDataStream &operator>>(QDataStream &stream, XlsxColor &color)
{
    qint32 kind = 0;
    stream >> kind;
    if (kind == StreamedInvalid) {
        color = XlsxColor();
    } else if (kind == StreamedRgb) {
        QColor rgb;
        stream >> rgb;
        color = XlsxColor(rgb);
    } else if (kind == StreamedIndexed) {
        qint32 index = 0;
        stream >> index;
        color = XlsxColor(int(index));
    } else if (kind == StreamedTheme) {
        QStringList theme;
        stream >> theme;
        color = XlsxColor(theme.value(0), theme.value(1));
    }
    return stream;
}

QDebug operator<<(QDebug debug, const XlsxColor &color)
{
    if (color.isInvalid())
        debug << "XlsxColor(invalid)";
    else if (color.isRgb())
        debug << color.rgb();
    else if (color.isIndexed())
        debug << "XlsxColor(indexed," << color.index() << ")";
    else if (color.isTheme())
        debug << "XlsxColor(theme," << color.themeAndTint().join(QLatin1Char(':')) << ")";
    return debug;
}

void registerColorMetaTypes()
{
    if (QMetaType::type("XlsxColor") != QMetaType::UnknownType)
        return;
    qRegisterMetaType<XlsxColor>("XlsxColor");
    qRegisterMetaTypeStreamOperators<XlsxColor>("XlsxColor");
    QMetaType::registerEqualsComparator<XlsxColor>();
    QMetaType::registerDebugStreamOperator<XlsxColor>();
}

} // namespace Spreadsheet
