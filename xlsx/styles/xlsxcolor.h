#ifndef SPREADSHEET_XLSXCOLOR_H
#define SPREADSHEET_XLSXCOLOR_H

//! \file xlsxcolor.h
//! The colours of style properties: XlsxColor, registerColorMetaTypes().

#include <QColor>
#include <QMetaType>
#include <QStringList>
#include <QVariant>

class QDataStream;
class QDebug;
class QXmlStreamReader;
class QXmlStreamWriter;

namespace Spreadsheet {

//! The colour of a style property: an RGB colour, a number in the indexed
//! palette, a theme colour with an optional tint, or no colour (invalid).
//!
//! Format's colour setters take QColor values; Format::colorProperty() gives
//! the XlsxColor, which tells a loaded theme or palette colour from an RGB one.
//! \code
//! const Spreadsheet::XlsxColor color = format.colorProperty(Spreadsheet::Format::FontColorProperty);
//! if (color.isTheme())
//!     qDebug() << "theme colour" << color.themeAndTint();
//! else if (color.isIndexed())
//!     qDebug() << document.workbook()->styles()->colorByIndex(color.index());
//! \endcode
class XlsxColor
{
public:
    //! An RGB colour; an invalid QColor (the default) gives no colour.
    explicit XlsxColor(const QColor &color = QColor());
    //! A theme colour: its index in the theme's colour scheme ("4") and a tint
    //! from -1 (darker) to 1 (lighter) ("0.39997558519241921"), as the file
    //! gives them.
    explicit XlsxColor(const QString &theme, const QString &tint = QString());
    //! A colour of the indexed palette, by its index.
    explicit XlsxColor(int index);

    //! An RGB colour, as XlsxColor(const QColor &) makes it.
    static XlsxColor fromRgb(const QColor &color) { return XlsxColor(color); }
    //! A colour of the indexed palette, as XlsxColor(int) makes it.
    static XlsxColor fromIndex(int index) { return XlsxColor(index); }
    //! A theme colour, as XlsxColor(const QString &, const QString &) makes it.
    static XlsxColor fromTheme(const QString &theme, const QString &tint = QString()) { return XlsxColor(theme, tint); }

    //! Whether the colour is a valid RGB colour.
    bool isRgb() const;
    //! Whether the colour is an index of the palette.
    bool isIndexed() const;
    //! Whether the colour is a theme colour.
    bool isTheme() const;
    //! Whether there is no colour.
    bool isInvalid() const;

    //! The RGB colour; an invalid QColor for the other kinds.
    QColor rgb() const;
    //! The palette index; -1 for the other kinds.
    int index() const;
    //! The theme colour's index and tint, as two texts; an empty list for the other kinds.
    QStringList themeAndTint() const;

    //! Eight upper-case hexadecimal digits, alpha first ("FFFF0000" is opaque red).
    static QString toArgbText(const QColor &color);
    //! The colour of eight hexadecimal digits, alpha first; text of another
    //! form gives a colour of whatever digits it holds.
    static QColor fromArgbText(const QString &text);

    //! One empty element (named "color" when no name is given) with "rgb",
    //! "theme" (and "tint"), "indexed" or, for no colour, "auto".
    //! Always true.
    bool writeColorElement(QXmlStreamWriter &writer, const QString &elementName = QString()) const;
    //! Takes the colour of the reader's current element from its "rgb",
    //! "indexed" or "theme" and "tint" attributes; one without them leaves
    //! the colour as it was. Always true.
    bool readColorElement(QXmlStreamReader &reader);

    //! The colour in a QVariant, as Format's properties hold it.
    operator QVariant() const;
    //! What the colour holds: a QColor, an int index, a QStringList of theme
    //! and tint, or an invalid QVariant.
    const QVariant &value() const { return m_value; }

    //! Whether the colours are of the same kind and value.
    friend bool operator==(const XlsxColor &a, const XlsxColor &b) { return a.m_value == b.m_value; }
    //! Whether the colours differ in kind or value.
    friend bool operator!=(const XlsxColor &a, const XlsxColor &b) { return !(a == b); }

    //! Writes the colour with its kind to a data stream.
    friend QDataStream &operator<<(QDataStream &stream, const XlsxColor &color);
    //! Reads a colour written by operator<<(QDataStream &, const XlsxColor &).
    friend QDataStream &operator>>(QDataStream &stream, XlsxColor &color);

private:
    QVariant m_value;
};

//! Writes the colour and its kind to a debug stream.
QDebug operator<<(QDebug debug, const XlsxColor &color);

//! Registers the colour under the name "XlsxColor" with its stream operators,
//! comparison and debug output, unless that name is already known.
//! The style table calls it; calling it again does nothing.
void registerColorMetaTypes();

} // namespace Spreadsheet

Q_DECLARE_METATYPE(Spreadsheet::XlsxColor)

#endif // SPREADSHEET_XLSXCOLOR_H
