#include "formatreader_p.h"

#include "stylenames_p.h"
#include "xmlscanner_p.h"

#include <QVariantList>
#include <QVariantMap>

#include <cmath>

namespace Spreadsheet {

namespace {

constexpr int main = XmlScanner::Main;

// A flag element ("b", "i", ...): set unless its "val" says otherwise.
bool flagValue(const XmlScanner &scanner)
{
    const QByteArray value = scanner.value("val");
    return value.isNull() || value == "1" || value == "true";
}

QString stringValue(const XmlScanner &scanner)
{
    return QString::fromUtf8(scanner.value("val"));
}

// Reads the children of the current element, handing each start element
// to read; unknown children are skipped.
template <typename F>
void forEachChild(XmlScanner &scanner, F read)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid) {
        if (scanner.token() == XmlScanner::EndElement && scanner.depth() == depth - 1)
            return;
        if (scanner.token() == XmlScanner::StartElement) {
            const int childDepth = scanner.depth();
            read();
            // Whatever the reader left of the child is passed over.
            if (scanner.token() == XmlScanner::StartElement && scanner.depth() == childDepth)
                scanner.skipElement();
        }
    }
}

Format::FontUnderline underlineOf(const QByteArray &value)
{
    if (value.isNull() || value == "single")
        return Format::FontUnderlineSingle;
    if (value == "double")
        return Format::FontUnderlineDouble;
    if (value == "singleAccounting")
        return Format::FontUnderlineSingleAccounting;
    if (value == "doubleAccounting")
        return Format::FontUnderlineDoubleAccounting;
    return Format::FontUnderlineNone;
}

double number(const QByteArray &text, double fallback = 0)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : fallback;
}

} // namespace

namespace FormatReader {

XlsxColor color(const XmlScanner &scanner)
{
    const QByteArray rgb = scanner.value("rgb");
    if (!rgb.isNull()) {
        // Eight digits (alpha first), or six without alpha.
        const QString text = QString::fromLatin1(rgb.size() == 6 ? "FF" + rgb : rgb);
        return XlsxColor(XlsxColor::fromArgbText(text));
    }
    const QByteArray indexed = scanner.value("indexed");
    if (!indexed.isNull())
        return XlsxColor(indexed.toInt());
    const QByteArray theme = scanner.value("theme");
    if (!theme.isNull())
        return XlsxColor(QString::fromLatin1(theme), QString::fromLatin1(scanner.value("tint")));
    return XlsxColor();
}

void readFont(XmlScanner &scanner, Format &format)
{
    forEachChild(scanner, [&] {
        if (scanner.namespaceId() != main)
            return;
        const QLatin1String name = scanner.localName();
        if (name == QLatin1String("b"))
            format.setFontBold(flagValue(scanner));
        else if (name == QLatin1String("i"))
            format.setFontItalic(flagValue(scanner));
        else if (name == QLatin1String("strike"))
            format.setFontStrikeOut(flagValue(scanner));
        else if (name == QLatin1String("outline"))
            format.setFontOutline(flagValue(scanner));
        else if (name == QLatin1String("shadow"))
            format.setProperty(Format::FontShadowProperty, flagValue(scanner), false);
        else if (name == QLatin1String("condense"))
            format.setProperty(Format::FontCondenseProperty, flagValue(scanner));
        else if (name == QLatin1String("extend"))
            format.setProperty(Format::FontExtendProperty, flagValue(scanner));
        else if (name == QLatin1String("u"))
            format.setFontUnderline(underlineOf(scanner.value("val")));
        else if (name == QLatin1String("vertAlign")) {
            const QByteArray value = scanner.value("val");
            format.setFontScript(value == "superscript" ? Format::FontScriptSuper
                                 : value == "subscript" ? Format::FontScriptSub
                                                        : Format::FontScriptNormal);
        } else if (name == QLatin1String("sz")) {
            // Sizes such as 10.5 points stay as they are.
            const double size = number(scanner.value("val"));
            if (size > 0 && std::isfinite(size)) {
                const bool whole = size < 1e9 && size == std::floor(size);
                format.setProperty(Format::FontSizeProperty, whole ? QVariant(int(size)) : QVariant(size), 0);
            }
        } else if (name == QLatin1String("color")) {
            const XlsxColor color = FormatReader::color(scanner);
            if (!color.isInvalid())
                format.setProperty(Format::FontColorProperty, color, XlsxColor());
        } else if (name == QLatin1String("name") || name == QLatin1String("rFont")) {
            format.setProperty(Format::FontNameProperty, stringValue(scanner));
        } else if (name == QLatin1String("family")) {
            format.setProperty(Format::FontFamilyProperty, stringValue(scanner));
        } else if (name == QLatin1String("charset")) {
            format.setProperty(Format::FontCharsetProperty, stringValue(scanner));
        } else if (name == QLatin1String("scheme")) {
            format.setProperty(Format::FontSchemeProperty, stringValue(scanner));
        }
    });
}

namespace {

// A solid fill shows the colour that the file format names its foreground,
// which Format keeps as the background (the style table swaps them back).
void readPatternFill(XmlScanner &scanner, Format &format)
{
    const int pattern = StyleNames::valueOf(StyleNames::fillPatterns, scanner.value("patternType"));
    const bool solid = pattern == Format::PatternSolid;
    if (pattern > 0)
        format.setFillPattern(Format::FillPattern(pattern));
    forEachChild(scanner, [&] {
        const bool foreground = scanner.is(main, "fgColor");
        if (!foreground && !scanner.is(main, "bgColor"))
            return;
        const XlsxColor color = FormatReader::color(scanner);
        if (color.isInvalid())
            return;
        const bool background = foreground == solid;
        format.setProperty(background ? Format::PatternBackgroundColorProperty : Format::PatternForegroundColorProperty,
                           color, XlsxColor());
    });
}

void readGradientFill(XmlScanner &scanner, Format &format)
{
    QVariantMap gradient;
    gradient.insert(QStringLiteral("type"), scanner.value("type") == "path" ? QStringLiteral("path") : QStringLiteral("linear"));
    for (const char *side : { "degree", "left", "right", "top", "bottom" }) {
        const QByteArray value = scanner.value(side);
        if (!value.isNull())
            gradient.insert(QLatin1String(side), number(value));
    }
    QVariantList stops;
    forEachChild(scanner, [&] {
        if (!scanner.is(main, "stop"))
            return;
        const double position = number(scanner.value("position"));
        XlsxColor color;
        forEachChild(scanner, [&] {
            if (scanner.is(main, "color"))
                color = FormatReader::color(scanner);
        });
        stops.append(QVariant(QVariantList{ position, QVariant(color) }));
    });
    gradient.insert(QStringLiteral("stops"), stops);
    format.setProperty(Format::GradientFillProperty, gradient);
}

} // namespace

void readFill(XmlScanner &scanner, Format &format)
{
    forEachChild(scanner, [&] {
        if (scanner.is(main, "patternFill"))
            readPatternFill(scanner, format);
        else if (scanner.is(main, "gradientFill"))
            readGradientFill(scanner, format);
    });
}

void readBorder(XmlScanner &scanner, Format &format)
{
    const bool up = scanner.value("diagonalUp") == "1" || scanner.value("diagonalUp") == "true";
    const bool down = scanner.value("diagonalDown") == "1" || scanner.value("diagonalDown") == "true";
    if (up || down) {
        format.setDiagonalBorderType(up && down ? Format::DiagonalBorderBoth
                                     : up       ? Format::DiagonalBorderUp
                                                : Format::DiagonalBorderDown);
    }
    struct Side
    {
        const char *name;
        const char *alias;   // the name in ECMA-376's later editions
        int style;
        int color;
    };
    const Side sides[] = {
        { "left", "start", Format::LeftBorderStyleProperty, Format::LeftBorderColorProperty },
        { "right", "end", Format::RightBorderStyleProperty, Format::RightBorderColorProperty },
        { "top", "top", Format::TopBorderStyleProperty, Format::TopBorderColorProperty },
        { "bottom", "bottom", Format::BottomBorderStyleProperty, Format::BottomBorderColorProperty },
        { "diagonal", "diagonal", Format::DiagonalBorderStyleProperty, Format::DiagonalBorderColorProperty },
    };
    forEachChild(scanner, [&] {
        for (const Side &side : sides) {
            if (!scanner.is(main, side.name) && !scanner.is(main, side.alias))
                continue;
            const int style = StyleNames::valueOf(StyleNames::borderStyles, scanner.value("style"));
            if (style > 0)
                format.setProperty(side.style, style, int(Format::BorderNone));
            forEachChild(scanner, [&] {
                if (!scanner.is(main, "color"))
                    return;
                const XlsxColor color = FormatReader::color(scanner);
                if (!color.isInvalid())
                    format.setProperty(side.color, color, XlsxColor());
            });
            return;
        }
    });
}

void readAlignment(const XmlScanner &scanner, Format &format)
{
    const int horizontal = StyleNames::valueOf(StyleNames::horizontalAlignments, scanner.value("horizontal"));
    if (horizontal > 0)
        format.setHorizontalAlignment(Format::HorizontalAlignment(horizontal));
    const int vertical = StyleNames::valueOf(StyleNames::verticalAlignments, scanner.value("vertical"));
    if (vertical >= 0)
        format.setVerticalAlignment(Format::VerticalAlignment(vertical));
    auto flag = [&](const char *name) {
        const QByteArray value = scanner.value(name);
        return value == "1" || value == "true";
    };
    if (flag("wrapText"))
        format.setTextWrap(true);
    if (flag("shrinkToFit"))
        format.setShrinkToFit(true);
    const int rotation = scanner.value("textRotation").toInt();
    if (rotation != 0)
        format.setRotation(rotation);
    const int indent = scanner.value("indent").toInt();
    if (indent > 0)
        format.setProperty(Format::IndentProperty, indent, 0);
    const int readingOrder = scanner.value("readingOrder").toInt();
    if (readingOrder > 0)
        format.setProperty(Format::ReadingOrderProperty, readingOrder, 0);
}

void readProtection(const XmlScanner &scanner, Format &format)
{
    const QByteArray locked = scanner.value("locked");
    if (!locked.isNull())
        format.setLocked(locked == "1" || locked == "true");
    const QByteArray hidden = scanner.value("hidden");
    if (!hidden.isNull())
        format.setHidden(hidden == "1" || hidden == "true");
}

} // namespace FormatReader

} // namespace Spreadsheet
