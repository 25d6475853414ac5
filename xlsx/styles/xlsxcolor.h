#ifndef SPREADSHEET_XLSXCOLOR_H
#define SPREADSHEET_XLSXCOLOR_H

#include <QColor>
#include <QMetaType>
#include <QStringList>
#include <QVariant>

class QDataStream;
class QDebug;
class QXmlStreamReader;
class QXmlStreamWriter;

namespace Spreadsheet {

// The colour of a style property: an RGB colour, a number in the indexed
// palette, a theme colour with an optional tint, or no colour (invalid).
class XlsxColor
{
public:
    explicit XlsxColor(const QColor &color = QColor());
    explicit XlsxColor(const QString &theme, const QString &tint = QString());
    explicit XlsxColor(int index);

    static XlsxColor fromRgb(const QColor &color) { return XlsxColor(color); }
    static XlsxColor fromIndex(int index) { return XlsxColor(index); }
    static XlsxColor fromTheme(const QString &theme, const QString &tint = QString()) { return XlsxColor(theme, tint); }

    bool isRgb() const;
    bool isIndexed() const;
    bool isTheme() const;
    bool isInvalid() const;

    QColor rgb() const;
    int index() const;
    QStringList themeAndTint() const;

    // Eight upper-case hexadecimal digits, alpha first ("FFFF0000" is opaque red).
    static QString toArgbText(const QColor &color);
    static QColor fromArgbText(const QString &text);

    // One empty element (named "color" when no name is given) with "rgb",
    // "theme" (and "tint"), "indexed" or, for no colour, "auto".
    bool writeColorElement(QXmlStreamWriter &writer, const QString &elementName = QString()) const;
    bool readColorElement(QXmlStreamReader &reader);

    operator QVariant() const;
    const QVariant &value() const { return m_value; }

    friend bool operator==(const XlsxColor &a, const XlsxColor &b) { return a.m_value == b.m_value; }
    friend bool operator!=(const XlsxColor &a, const XlsxColor &b) { return !(a == b); }

    friend QDataStream &operator<<(QDataStream &stream, const XlsxColor &color);
    friend QDataStream &operator>>(QDataStream &stream, XlsxColor &color);

private:
    QVariant m_value;
};

QDebug operator<<(QDebug debug, const XlsxColor &color);

// Registers the colour under the name "XlsxColor" with its stream operators,
// comparison and debug output, unless that name is already known.
void registerColorMetaTypes();

} // namespace Spreadsheet

Q_DECLARE_METATYPE(Spreadsheet::XlsxColor)

#endif // SPREADSHEET_XLSXCOLOR_H
