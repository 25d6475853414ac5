#include "styles.h"
#include "fontwriter_p.h"
#include "namespaces.h"
#include "utility.h"

#include <QXmlStreamReader>

#include <atomic>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

const char *const borderStyleNames[] = {
    "none", "thin", "medium", "dashed", "dotted", "thick", "double", "hair", "mediumDashed",
    "dashDot", "mediumDashDot", "dashDotDot", "mediumDashDotDot", "slantDashDot",
};

const char *const fillPatternNames[] = {
    "none", "solid", "mediumGray", "darkGray", "lightGray", "darkHorizontal", "darkVertical",
    "darkDown", "darkUp", "darkGrid", "darkTrellis", "lightHorizontal", "lightVertical",
    "lightDown", "lightUp", "lightTrellis", "gray125", "gray0625", "lightGrid",
};

const char *const horizontalAlignmentNames[] = {
    "", "left", "center", "right", "fill", "justify", "centerContinuous", "distributed",
};

const char *const verticalAlignmentNames[] = { "top", "center", "", "justify", "distributed" };

template <size_t N>
QString nameOf(const char *const (&names)[N], int value)
{
    return value >= 0 && size_t(value) < N ? QLatin1String(names[value]) : QString();
}

const char *const indexedPalette[] = {
    "#000000", "#FFFFFF", "#FF0000", "#00FF00", "#0000FF", "#FFFF00", "#FF00FF", "#00FFFF",
    "#000000", "#FFFFFF", "#FF0000", "#00FF00", "#0000FF", "#FFFF00", "#FF00FF", "#00FFFF",
    "#800000", "#008000", "#000080", "#808000", "#800080", "#008080", "#C0C0C0", "#808080",
    "#9999FF", "#993366", "#FFFFCC", "#CCFFFF", "#660066", "#FF8080", "#0066CC", "#CCCCFF",
    "#000080", "#FF00FF", "#FFFF00", "#00FFFF", "#800080", "#800000", "#008080", "#0000FF",
    "#00CCFF", "#CCFFFF", "#CCFFCC", "#FFFF99", "#99CCFF", "#FF99CC", "#CC99FF", "#FFCC99",
    "#3366FF", "#33CCCC", "#99CC00", "#FFCC00", "#FF9900", "#FF6600", "#666699", "#969696",
    "#003366", "#339966", "#003300", "#333300", "#993300", "#993366", "#333399", "#333333",
};

void writeCount(QXmlStreamWriter &writer, const QString &name, int count)
{
    writer.writeStartElement(name);
    writer.writeAttribute(QStringLiteral("count"), QString::number(count));
}

} // namespace

namespace {

quint64 nextStyleTableSerial()
{
    static std::atomic<quint64> serial{ 0 };
    return ++serial;
}

} // namespace

Styles::Styles(CreationMode mode)
    : AbstractOOXmlFile(mode)
    , m_serial(nextStyleTableSerial())
{
    registerColorMetaTypes();
    if (mode != NewFromScratch)
        return;
    Format defaults;
    addCellFormat(defaults);

    Format gray125;
    gray125.setFillPattern(Format::PatternGray125);
    gray125.setFillIndex(m_fills.size());
    m_fills.append(gray125);
    m_fillsByKey.insert(gray125.fillKey(), gray125);
}

Styles::~Styles() = default;

void Styles::fillBuiltInNumberFormats()
{
    if (!m_builtInNumberFormats.isEmpty())
        return;
    const std::pair<int, const char *> builtIn[] = {
        { 0, "General" }, { 1, "0" }, { 2, "0.00" }, { 3, "#,##0" }, { 4, "#,##0.00" }, { 9, "0%" },
        { 10, "0.00%" }, { 11, "0.00E+00" }, { 12, "# ?/?" }, { 13, "# ?\?/??" }, { 14, "m/d/yy" },
        { 15, "d-mmm-yy" }, { 16, "d-mmm" }, { 17, "mmm-yy" }, { 18, "h:mm AM/PM" }, { 19, "h:mm:ss AM/PM" },
        { 20, "h:mm" }, { 21, "h:mm:ss" }, { 22, "m/d/yy h:mm" }, { 37, "(#,##0_);(#,##0)" },
        { 38, "(#,##0_);[Red](#,##0)" }, { 39, "(#,##0.00_);(#,##0.00)" }, { 40, "(#,##0.00_);[Red](#,##0.00)" },
        { 45, "mm:ss" }, { 46, "[h]:mm:ss" }, { 47, "mm:ss.0" }, { 48, "##0.0E+0" }, { 49, "@" },
    };
    for (const auto &[id, code] : builtIn)
        m_builtInNumberFormats.insert(QLatin1String(code), id);
}

void Styles::resolveNumberFormat(Format &format)
{
    if (!format.hasNumFmtData())
        return;
    const QString code = format.numberFormatCode();
    if (isNumberFormatKnown(format) && !code.isEmpty())
        return;
    fillBuiltInNumberFormats();

    if (!code.isEmpty()) {
        if (m_builtInNumberFormats.contains(code)) {
            format.assignNumberFormat(m_builtInNumberFormats.value(code), code);
        } else if (m_customNumberFormatsByCode.contains(code)) {
            format.assignNumberFormat(m_customNumberFormatsByCode.value(code)->id, code);
        } else {
            auto record = QSharedPointer<NumberFormatRecord>::create(NumberFormatRecord{ m_nextCustomNumberFormatId, code });
            format.assignNumberFormat(record->id, code);
            m_customNumberFormatsById.insert(record->id, record);
            m_customNumberFormatsByCode.insert(code, record);
            ++m_nextCustomNumberFormatId;
        }
        return;
    }

    const int id = format.numberFormatId();
    if (m_customNumberFormatsById.contains(id)) {
        format.assignNumberFormat(id, m_customNumberFormatsById.value(id)->code);
        return;
    }
    if (id >= firstCustomNumberFormatId) {
        format.assignNumberFormat(0, QStringLiteral("General"));
        return;
    }
    const QString builtInCode = m_builtInNumberFormats.key(id);
    format.assignNumberFormat(id, builtInCode.isEmpty() ? QStringLiteral("General") : builtInCode);
}

void Styles::registerPart(Format &format, const QByteArray &key, bool hasData, QList<Format> &list,
                          QHash<QByteArray, Format> &hash, int (Format::*index)() const,
                          bool (Format::*indexValid)() const, void (Format::*setIndex)(int))
{
    const auto known = hash.constFind(key);
    if (hasData && !(format.*indexValid)())
        (format.*setIndex)(known != hash.constEnd() ? (known.value().*index)() : list.size());
    if (known == hash.constEnd()) {
        list.append(format);
        hash.insert(key, format);
    }
}

// Whether the format's number format id means what its code says in this
// table: a built-in id, or a custom id of this table with the same code.
bool Styles::isNumberFormatKnown(const Format &format) const
{
    if (!format.hasProperty(Format::NumberFormatIdProperty))
        return false;
    const int id = format.numberFormatId();
    if (id < firstCustomNumberFormatId)
        return true;
    const QString code = format.numberFormatCode();
    const auto record = m_customNumberFormatsById.constFind(id);
    return record != m_customNumberFormatsById.constEnd() && (code.isEmpty() || record.value()->code == code);
}

void Styles::addCellFormat(Format &format, bool force)
{
    format.useStyleTable(m_serial);
    if (format.isEmpty()) {
        if (m_emptyFormatAdded && !force)
            return;
        m_emptyFormatAdded = true;
    }
    // A custom id must name a format this table writes: one introduced by a
    // code gets this table's id for it, one that names none falls back to
    // "General".
    if (format.hasNumFmtData() && !isNumberFormatKnown(format))
        resolveNumberFormat(format);

    registerPart(format, format.fontKey(), format.hasFontData(), m_fonts, m_fontsByKey, &Format::fontIndex,
                 &Format::fontIndexValid, &Format::setFontIndex);
    registerPart(format, format.fillKey(), format.hasFillData(), m_fills, m_fillsByKey, &Format::fillIndex,
                 &Format::fillIndexValid, &Format::setFillIndex);
    registerPart(format, format.borderKey(), format.hasBorderData(), m_borders, m_bordersByKey,
                 &Format::borderIndex, &Format::borderIndexValid, &Format::setBorderIndex);

    const QByteArray key = format.formatKey();
    const auto known = m_cellFormatsByKey.constFind(key);
    if (!format.isEmpty() && !format.xfIndexValid())
        format.setXfIndex(known != m_cellFormatsByKey.constEnd() ? known.value().xfIndex() : m_cellFormats.size());
    if (known == m_cellFormatsByKey.constEnd() || force) {
        m_cellFormats.append(format);
        m_cellFormatsByKey.insert(key, format);
    }
}

void Styles::addDifferentialFormat(Format &format, bool force)
{
    format.useStyleTable(m_serial);
    if (format.hasNumFmtData())
        resolveNumberFormat(format);
    const QByteArray key = format.formatKey();
    const auto known = m_differentialFormatsByKey.constFind(key);
    if (!format.isEmpty() && !format.dxfIndexValid()) {
        format.setDxfIndex(known != m_differentialFormatsByKey.constEnd() ? known.value().dxfIndex()
                                                                         : m_differentialFormats.size());
    }
    if (known == m_differentialFormatsByKey.constEnd() || force) {
        m_differentialFormats.append(format);
        m_differentialFormatsByKey.insert(key, format);
    }
}

Format Styles::cellFormatAt(int id) const
{
    return id >= 0 && id < m_cellFormats.size() ? m_cellFormats.at(id) : Format();
}

Format Styles::differentialFormatAt(int id) const
{
    return id >= 0 && id < m_differentialFormats.size() ? m_differentialFormats.at(id) : Format();
}

QColor Styles::colorByIndex(int index) const
{
    if (m_indexedColors.isEmpty()) {
        for (const char *rgb : indexedPalette)
            m_indexedColors.append(QColor(QLatin1String(rgb)));
    }
    return index >= 0 && index < m_indexedColors.size() ? m_indexedColors.at(index) : QColor();
}

bool Styles::readXml(QIODevice *device)
{
    QXmlStreamReader reader(device);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

// --- styles.xml

void Styles::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("styleSheet"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writeNumberFormats(writer);
    writeFonts(writer);
    writeFills(writer);
    writeBorders(writer);
    writeCellStyleFormats(writer);
    writeCellFormats(writer);
    writeCellStyles(writer);
    writeDifferentialFormats(writer);
    writeTableStyles(writer);
    writeColors(writer);
    writer.writeEndElement();
    writer.writeEndDocument();
}

void Styles::writeNumberFormats(QXmlStreamWriter &writer) const
{
    if (m_customNumberFormatsById.isEmpty())
        return;
    writeCount(writer, QStringLiteral("numFmts"), m_customNumberFormatsById.size());
    for (const QSharedPointer<NumberFormatRecord> &record : m_customNumberFormatsById) {
        writer.writeEmptyElement(QStringLiteral("numFmt"));
        writer.writeAttribute(QStringLiteral("numFmtId"), QString::number(record->id));
        writer.writeAttribute(QStringLiteral("formatCode"), validXmlText(record->code));
    }
    writer.writeEndElement();
}

void Styles::writeFonts(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("fonts"), m_fonts.size());
    for (const Format &font : m_fonts)
        writeFont(writer, font, false);
    writer.writeEndElement();
}

void Styles::writeFills(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("fills"), m_fills.size());
    for (const Format &fill : m_fills)
        writeFill(writer, fill);
    writer.writeEndElement();
}

void Styles::writeBorders(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("borders"), m_borders.size());
    for (const Format &border : m_borders)
        writeBorder(writer, border, false);
    writer.writeEndElement();
}

void Styles::writeCellStyleFormats(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("cellStyleXfs"), 1);
    writer.writeEmptyElement(QStringLiteral("xf"));
    for (const char *name : { "numFmtId", "fontId", "fillId", "borderId" })
        writer.writeAttribute(QLatin1String(name), QStringLiteral("0"));
    writer.writeEndElement();
}

void Styles::writeCellFormats(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("cellXfs"), m_cellFormats.size());
    for (const Format &format : m_cellFormats) {
        writer.writeStartElement(QStringLiteral("xf"));
        writer.writeAttribute(QStringLiteral("numFmtId"), QString::number(format.numberFormatId()));
        writer.writeAttribute(QStringLiteral("fontId"), QString::number(format.fontIndex()));
        writer.writeAttribute(QStringLiteral("fillId"), QString::number(format.fillIndex()));
        writer.writeAttribute(QStringLiteral("borderId"), QString::number(format.borderIndex()));
        writer.writeAttribute(QStringLiteral("xfId"), QStringLiteral("0"));
        const std::pair<const char *, bool> applied[] = {
            { "applyNumberFormat", format.hasNumFmtData() }, { "applyFont", format.hasFontData() },
            { "applyFill", format.hasFillData() }, { "applyBorder", format.hasBorderData() },
            { "applyAlignment", format.hasAlignmentData() },
        };
        for (const auto &[name, apply] : applied) {
            if (apply)
                writer.writeAttribute(QLatin1String(name), QStringLiteral("1"));
        }
        if (format.hasAlignmentData())
            writeAlignment(writer, format);
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

void Styles::writeAlignment(QXmlStreamWriter &writer, const Format &format) const
{
    writer.writeEmptyElement(QStringLiteral("alignment"));
    if (format.hasProperty(Format::HorizontalAlignmentProperty)) {
        const QString horizontal = nameOf(horizontalAlignmentNames, format.horizontalAlignment());
        if (!horizontal.isEmpty())
            writer.writeAttribute(QStringLiteral("horizontal"), horizontal);
    }
    if (format.hasProperty(Format::VerticalAlignmentProperty)) {
        const QString vertical = nameOf(verticalAlignmentNames, format.verticalAlignment());
        if (!vertical.isEmpty())
            writer.writeAttribute(QStringLiteral("vertical"), vertical);
    }
    if (format.hasProperty(Format::IndentProperty))
        writer.writeAttribute(QStringLiteral("indent"), QString::number(format.indent()));
    if (format.textWrap())
        writer.writeAttribute(QStringLiteral("wrapText"), QStringLiteral("1"));
    if (format.shrinkToFit())
        writer.writeAttribute(QStringLiteral("shrinkToFit"), QStringLiteral("1"));
    if (format.hasProperty(Format::TextRotationProperty))
        writer.writeAttribute(QStringLiteral("textRotation"), QString::number(format.rotation()));
}

void Styles::writeCellStyles(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("cellStyles"), 1);
    writer.writeEmptyElement(QStringLiteral("cellStyle"));
    writer.writeAttribute(QStringLiteral("name"), QStringLiteral("Normal"));
    writer.writeAttribute(QStringLiteral("xfId"), QStringLiteral("0"));
    writer.writeAttribute(QStringLiteral("builtinId"), QStringLiteral("0"));
    writer.writeEndElement();
}

void Styles::writeDifferentialFormats(QXmlStreamWriter &writer) const
{
    writeCount(writer, QStringLiteral("dxfs"), m_differentialFormats.size());
    for (const Format &format : m_differentialFormats) {
        writer.writeStartElement(QStringLiteral("dxf"));
        if (format.hasFontData())
            writeFont(writer, format, true);
        if (format.hasNumFmtData()) {
            writer.writeEmptyElement(QStringLiteral("numFmt"));
            writer.writeAttribute(QStringLiteral("numFmtId"), QString::number(format.numberFormatId()));
            writer.writeAttribute(QStringLiteral("formatCode"), validXmlText(format.numberFormatCode()));
        }
        if (format.hasFillData())
            writeFill(writer, format);
        if (format.hasBorderData())
            writeBorder(writer, format, true);
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

void Styles::writeTableStyles(QXmlStreamWriter &writer) const
{
    writer.writeEmptyElement(QStringLiteral("tableStyles"));
    writer.writeAttribute(QStringLiteral("count"), QStringLiteral("0"));
    writer.writeAttribute(QStringLiteral("defaultTableStyle"), QStringLiteral("TableStyleMedium9"));
    writer.writeAttribute(QStringLiteral("defaultPivotStyle"), QStringLiteral("PivotStyleLight16"));
}

void Styles::writeColors(QXmlStreamWriter &writer) const
{
    if (m_indexedColorsDefault)
        return;
    writer.writeStartElement(QStringLiteral("colors"));
    writer.writeStartElement(QStringLiteral("indexedColors"));
    for (const QColor &color : m_indexedColors) {
        writer.writeEmptyElement(QStringLiteral("rgbColor"));
        writer.writeAttribute(QStringLiteral("rgb"), XlsxColor::toArgbText(color));
    }
    writer.writeEndElement();
    writer.writeEndElement();
}

void Styles::writeFont(QXmlStreamWriter &writer, const Format &format, bool differential) const
{
    writer.writeStartElement(QStringLiteral("font"));
    FontWriter::writeProperties(writer, format, differential ? FontWriter::DifferentialFont : FontWriter::CellFont);
    writer.writeEndElement();
}

void Styles::writeFill(QXmlStreamWriter &writer, const Format &format) const
{
    writer.writeStartElement(QStringLiteral("fill"));
    writer.writeStartElement(QStringLiteral("patternFill"));
    writer.writeAttribute(QStringLiteral("patternType"), nameOf(fillPatternNames, format.fillPattern()));
    // A solid fill shows its background colour, which the file format names its foreground.
    const bool solid = format.fillPattern() == Format::PatternSolid;
    const int first = solid ? Format::PatternBackgroundColorProperty : Format::PatternForegroundColorProperty;
    const int second = solid ? Format::PatternForegroundColorProperty : Format::PatternBackgroundColorProperty;
    if (format.hasProperty(first))
        format.colorProperty(first).writeColorElement(writer, QStringLiteral("fgColor"));
    if (format.hasProperty(second))
        format.colorProperty(second).writeColorElement(writer, QStringLiteral("bgColor"));
    writer.writeEndElement();
    writer.writeEndElement();
}

void Styles::writeBorder(QXmlStreamWriter &writer, const Format &format, bool differential) const
{
    writer.writeStartElement(QStringLiteral("border"));
    if (format.hasProperty(Format::DiagonalBorderTypeProperty)) {
        const int type = format.diagonalBorderType();
        if (type == Format::DiagonalBorderUp || type == Format::DiagonalBorderBoth)
            writer.writeAttribute(QStringLiteral("diagonalUp"), QStringLiteral("1"));
        if (type == Format::DiagonalBorderDown || type == Format::DiagonalBorderBoth)
            writer.writeAttribute(QStringLiteral("diagonalDown"), QStringLiteral("1"));
    }
    struct Side
    {
        const char *name;
        int style;
        int color;
    };
    const Side sides[] = {
        { "left", Format::LeftBorderStyleProperty, Format::LeftBorderColorProperty },
        { "right", Format::RightBorderStyleProperty, Format::RightBorderColorProperty },
        { "top", Format::TopBorderStyleProperty, Format::TopBorderColorProperty },
        { "bottom", Format::BottomBorderStyleProperty, Format::BottomBorderColorProperty },
        { "diagonal", Format::DiagonalBorderStyleProperty, Format::DiagonalBorderColorProperty },
    };
    for (const Side &side : sides) {
        if (differential && side.style == Format::DiagonalBorderStyleProperty)
            continue;
        const int style = format.intProperty(side.style);
        if (style == Format::BorderNone) {
            writer.writeEmptyElement(QLatin1String(side.name));
            continue;
        }
        writer.writeStartElement(QLatin1String(side.name));
        writer.writeAttribute(QStringLiteral("style"), nameOf(borderStyleNames, style));
        format.colorProperty(side.color).writeColorElement(writer, QStringLiteral("color"));
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

} // namespace Spreadsheet
