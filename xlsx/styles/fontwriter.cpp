#include "fontwriter_p.h"

#include "format.h"
#include "utility.h"

#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

void writeValueElement(QXmlStreamWriter &writer, const QString &name, const QString &value)
{
    writer.writeEmptyElement(name);
    writer.writeAttribute(QStringLiteral("val"), value);
}

// Condense and extend are written only when switched off.
void writeWidthSwitches(QXmlStreamWriter &writer, const Format &format)
{
    for (const auto &[id, name] : { std::pair<int, const char *>{ Format::FontCondenseProperty, "condense" },
                                    std::pair<int, const char *>{ Format::FontExtendProperty, "extend" } }) {
        if (format.hasProperty(id) && !format.boolProperty(id))
            writeValueElement(writer, QLatin1String(name), QStringLiteral("0"));
    }
}

void writeStyleFlags(QXmlStreamWriter &writer, const Format &format)
{
    const std::pair<bool, const char *> flags[] = {
        { format.fontBold(), "b" }, { format.fontItalic(), "i" }, { format.fontStrikeOut(), "strike" },
        { format.fontOutline(), "outline" }, { format.boolProperty(Format::FontShadowProperty), "shadow" },
    };
    for (const auto &[set, name] : flags) {
        if (set)
            writer.writeEmptyElement(QLatin1String(name));
    }
}

void writeUnderline(QXmlStreamWriter &writer, const Format &format)
{
    if (!format.hasProperty(Format::FontUnderlineProperty) || format.fontUnderline() == Format::FontUnderlineNone)
        return;
    writer.writeEmptyElement(QStringLiteral("u"));
    switch (format.fontUnderline()) {
    case Format::FontUnderlineDouble:
        writer.writeAttribute(QStringLiteral("val"), QStringLiteral("double"));
        break;
    case Format::FontUnderlineSingleAccounting:
        writer.writeAttribute(QStringLiteral("val"), QStringLiteral("singleAccounting"));
        break;
    case Format::FontUnderlineDoubleAccounting:
        writer.writeAttribute(QStringLiteral("val"), QStringLiteral("doubleAccounting"));
        break;
    default:
        break;
    }
}

void writeScript(QXmlStreamWriter &writer, const Format &format)
{
    if (format.hasProperty(Format::FontScriptProperty) && format.fontScript() != Format::FontScriptNormal) {
        writeValueElement(writer, QStringLiteral("vertAlign"),
                          format.fontScript() == Format::FontScriptSuper ? QStringLiteral("superscript")
                                                                         : QStringLiteral("subscript"));
    }
}

void writeStringProperty(QXmlStreamWriter &writer, const Format &format, int id, const char *name)
{
    if (format.hasProperty(id))
        writeValueElement(writer, QLatin1String(name), validXmlText(format.stringProperty(id)));
}

} // namespace

void FontWriter::writeProperties(QXmlStreamWriter &writer, const Format &format, Kind kind)
{
    if (kind != RunProperties)
        writeWidthSwitches(writer, format);
    writeStyleFlags(writer, format);
    writeUnderline(writer, format);
    writeScript(writer, format);
    if (kind != DifferentialFont && format.hasProperty(Format::FontSizeProperty))
        writeValueElement(writer, QStringLiteral("sz"), format.property(Format::FontSizeProperty).toString());
    if (format.hasProperty(Format::FontColorProperty))
        format.colorProperty(Format::FontColorProperty).writeColorElement(writer, QStringLiteral("color"));
    if (kind == DifferentialFont)
        return;
    if (kind == CellFont) {
        writeValueElement(writer, QStringLiteral("name"), validXmlText(format.fontName()));
        writeStringProperty(writer, format, Format::FontCharsetProperty, "charset");
    } else if (!format.stringProperty(Format::FontNameProperty).isEmpty()) {
        writeValueElement(writer, QStringLiteral("rFont"), validXmlText(format.stringProperty(Format::FontNameProperty)));
    }
    writeStringProperty(writer, format, Format::FontFamilyProperty, "family");
    writeStringProperty(writer, format, Format::FontSchemeProperty, "scheme");
}

} // namespace Spreadsheet
