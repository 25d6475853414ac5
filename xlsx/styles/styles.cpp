#include "styles.h"
#include "fontwriter_p.h"
#include "stylenames_p.h"
#include "formatreader_p.h"
#include "keptxml_p.h"
#include "xmlscanner_p.h"
#include "namespaces.h"
#include "utility.h"


#include <atomic>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

constexpr int largestNumberFormatId = 0xFFFFFF;

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

struct Styles::Kept
{
    KeptAttributes rootAttributes;
    QByteArray cellStyleFormats;
    QByteArray cellStyles;
    QByteArray tableStyles;
    QByteArray mruColors;
    QByteArray extensions;
};

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
    , m_kept(std::make_unique<Kept>())
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
    // A format this table registered, unchanged since: the cells of a
    // column written with one format find its id at once.
    if (format.xfIndexValid() && !force)
        return;
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

// --- reading styles.xml

bool Styles::readXml(QIODevice *device)
{
    clearReadError();
    XmlScanner scanner(device, m_maxXmlDepth);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return readFailed(scanner.hasError() ? scanner.errorString() : QStringLiteral("it holds no style sheet"));
    }
    if (!scanner.is(XmlScanner::Main, "styleSheet"))
        return readFailed(QStringLiteral("it holds no style sheet"));
    m_kept->rootAttributes = KeptXml::attributes(scanner, { "xmlns" });
    if (!readStyleSheet(scanner))
        return false;
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    return true;
}

bool Styles::readStyleSheet(XmlScanner &scanner)
{
    QList<Format> fonts;
    QList<Format> fills;
    QList<Format> borders;
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= 1) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const bool main = scanner.namespaceId() == XmlScanner::Main;
        const QLatin1String name = scanner.localName();
        bool read = true;
        if (main && name == QLatin1String("numFmts")) {
            read = readNumberFormats(scanner);
        } else if (main && name == QLatin1String("fonts")) {
            read = readParts(scanner, "font", fonts, FormatReader::readFont);
        } else if (main && name == QLatin1String("fills")) {
            read = readParts(scanner, "fill", fills, FormatReader::readFill);
        } else if (main && name == QLatin1String("borders")) {
            read = readParts(scanner, "border", borders, FormatReader::readBorder);
        } else if (main && name == QLatin1String("cellXfs")) {
            read = readCellFormats(scanner, fonts, fills, borders);
        } else if (main && name == QLatin1String("dxfs")) {
            read = readDifferentialFormats(scanner);
        } else if (main && name == QLatin1String("colors")) {
            read = readColors(scanner);
        } else if (main && name == QLatin1String("cellStyleXfs")) {
            m_kept->cellStyleFormats = scanner.captureElement();
        } else if (main && name == QLatin1String("cellStyles")) {
            m_kept->cellStyles = scanner.captureElement();
        } else if (main && name == QLatin1String("tableStyles")) {
            m_kept->tableStyles = scanner.captureElement();
        } else {
            m_kept->extensions += scanner.captureElement();   // extLst, and what later versions add
        }
        if (!read)
            return false;
    }
    // Fonts, fills and borders that no cell format uses keep their places too.
    for (int i = m_fonts.size(); i < fonts.size(); ++i)
        keepPart(fonts.at(i), i, m_fonts, m_fontsByKey, &Format::setFontIndex);
    for (int i = m_fills.size(); i < fills.size(); ++i)
        keepPart(fills.at(i), i, m_fills, m_fillsByKey, &Format::setFillIndex);
    for (int i = m_borders.size(); i < borders.size(); ++i)
        keepPart(borders.at(i), i, m_borders, m_bordersByKey, &Format::setBorderIndex);
    addMissingDefaults();
    return true;
}

// Spreadsheet programs hold at most 64,000 cell formats; a table of more is
// no workbook's, and each entry costs the model far more than its bytes.
bool Styles::tooMany(int count, const char *what)
{
    constexpr int largestTable = 64000;
    if (count < largestTable)
        return false;
    readFailed(QStringLiteral("it holds more than %1 %2").arg(largestTable).arg(QLatin1String(what)));
    return true;
}

// Style 0 always exists, with the font, fill and border it names: cells
// and rows without a style have it, also where the file lists none.
void Styles::addMissingDefaults()
{
    if (!m_cellFormats.isEmpty())
        return;
    const bool noFills = m_fills.isEmpty();
    Format defaults;
    addCellFormat(defaults);
    if (noFills) {
        Format gray125;
        gray125.setFillPattern(Format::PatternGray125);
        gray125.setFillIndex(m_fills.size());
        m_fills.append(gray125);
        m_fillsByKey.insert(gray125.fillKey(), gray125);
    }
}

bool Styles::readNumberFormats(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "numFmt"))
            continue;
        if (tooMany(m_customNumberFormatsById.size(), "number formats"))
            return false;
        bool ok = false;
        const int id = scanner.value("numFmtId").toInt(&ok);
        const QString code = QString::fromUtf8(scanner.value("formatCode"));
        // Ids are small numbers; one past any table's is left out, as are
        // the records without an id or code.
        if (!ok || id < 0 || id > largestNumberFormatId || code.isEmpty())
            continue;
        auto record = QSharedPointer<NumberFormatRecord>::create(NumberFormatRecord{ id, code });
        m_customNumberFormatsById.insert(id, record);
        if (!m_customNumberFormatsByCode.contains(code))
            m_customNumberFormatsByCode.insert(code, record);
        m_nextCustomNumberFormatId = qMax(m_nextCustomNumberFormatId, id + 1);
    }
    return true;
}

bool Styles::readParts(XmlScanner &scanner, const char *element, QList<Format> &list,
                       void (*read)(XmlScanner &, Format &))
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, element))
            continue;
        if (tooMany(list.size(), element == QByteArray("font") ? "fonts" : element == QByteArray("fill") ? "fills" : "borders"))
            return false;
        Format part;
        read(scanner, part);
        list.append(part);
    }
    return true;
}

// A part of the table keeps its index: duplicates too, for what refers to
// them by index; later formats share the first of equal ones.
void Styles::keepPart(const Format &part, int index, QList<Format> &list, QHash<QByteArray, Format> &hash,
                      void (Format::*setIndex)(int))
{
    Format kept = part;
    (kept.*setIndex)(index);
    list.append(kept);
    const QByteArray key = kept.formatKey();
    if (!hash.contains(key))
        hash.insert(key, kept);
}

void Styles::takeNumberFormat(Format &format, int id)
{
    if (id == 0)
        return;
    fillBuiltInNumberFormats();
    const auto custom = m_customNumberFormatsById.constFind(id);
    if (custom != m_customNumberFormatsById.constEnd())
        format.assignNumberFormat(id, custom.value()->code);
    else
        format.assignNumberFormat(id, m_builtInNumberFormats.key(id));
}

// A cell format is its number format, font, fill and border (by index into
// the lists just read), alignment and protection.
bool Styles::readCellFormats(XmlScanner &scanner, const QList<Format> &fonts, const QList<Format> &fills,
                             const QList<Format> &borders)
{
    // The parts go into the table's lists in their order first.
    for (int i = 0; i < fonts.size(); ++i)
        keepPart(fonts.at(i), i, m_fonts, m_fontsByKey, &Format::setFontIndex);
    for (int i = 0; i < fills.size(); ++i)
        keepPart(fills.at(i), i, m_fills, m_fillsByKey, &Format::setFillIndex);
    for (int i = 0; i < borders.size(); ++i)
        keepPart(borders.at(i), i, m_borders, m_bordersByKey, &Format::setBorderIndex);

    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "xf"))
            continue;
        if (tooMany(m_cellFormats.size(), "cell formats"))
            return false;
        const int index = m_cellFormats.size();
        auto part = [&](const char *attribute, const QList<Format> &list, const char *what, int &found) {
            found = scanner.value(attribute).toInt();
            if (found >= 0 && found < qMax(list.size(), 1))
                return true;
            readFailed(QStringLiteral("cell format %1 names %2 %3, which does not exist").arg(index)
                           .arg(QLatin1String(what)).arg(found));
            return false;
        };
        int font = 0;
        int fill = 0;
        int border = 0;
        if (!part("fontId", fonts, "font", font) || !part("fillId", fills, "fill", fill)
            || !part("borderId", borders, "border", border))
            return false;
        // State of its own first: merging into a format without state would
        // share the font's.
        Format format;
        format.setFontBold(false);
        format.mergeFormat(fonts.value(font));
        format.mergeFormat(fills.value(fill));
        format.mergeFormat(borders.value(border));
        takeNumberFormat(format, scanner.value("numFmtId").toInt());
        const QByteArray style = scanner.value("xfId");
        if (!style.isNull() && style != "0")
            format.setProperty(Format::CellStyleProperty, style.toInt());
        for (const auto &[attribute, property] : { std::pair<const char *, int>{ "quotePrefix", Format::QuotePrefixProperty },
                                                   std::pair<const char *, int>{ "pivotButton", Format::PivotButtonProperty } }) {
            const QByteArray value = scanner.value(attribute);
            if (value == "1" || value == "true")
                format.setProperty(property, true, false);
        }
        const int xfDepth = scanner.depth();
        while (!scanner.isEmptyElement() && scanner.next() != XmlScanner::Invalid && scanner.depth() >= xfDepth) {
            if (scanner.token() != XmlScanner::StartElement)
                continue;
            if (scanner.is(XmlScanner::Main, "alignment"))
                FormatReader::readAlignment(scanner, format);
            else if (scanner.is(XmlScanner::Main, "protection"))
                FormatReader::readProtection(scanner, format);
            if (scanner.depth() > xfDepth)
                scanner.skipElement();
        }
        if (scanner.isEmptyElement())
            scanner.next();
        // The parts' indexes are those read, equal ones or not.
        format.useStyleTable(m_serial);
        format.setFontIndex(font);
        format.setFillIndex(fill);
        format.setBorderIndex(border);
        format.setXfIndex(index);
        m_cellFormats.append(format);
        const QByteArray key = format.formatKey();
        if (!m_cellFormatsByKey.contains(key))
            m_cellFormatsByKey.insert(key, format);
        if (format.isEmpty())
            m_emptyFormatAdded = true;
    }
    return true;
}

bool Styles::readDifferentialFormats(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "dxf"))
            continue;
        if (tooMany(m_differentialFormats.size(), "differential formats"))
            return false;
        Format format;
        const int dxfDepth = scanner.depth();
        while (!scanner.isEmptyElement() && scanner.next() != XmlScanner::Invalid && scanner.depth() >= dxfDepth) {
            if (scanner.token() != XmlScanner::StartElement)
                continue;
            if (scanner.is(XmlScanner::Main, "font")) {
                FormatReader::readFont(scanner, format);
            } else if (scanner.is(XmlScanner::Main, "numFmt")) {
                format.assignNumberFormat(scanner.value("numFmtId").toInt(),
                                          QString::fromUtf8(scanner.value("formatCode")));
            } else if (scanner.is(XmlScanner::Main, "fill")) {
                FormatReader::readFill(scanner, format);
            } else if (scanner.is(XmlScanner::Main, "border")) {
                FormatReader::readBorder(scanner, format);
            } else if (scanner.is(XmlScanner::Main, "alignment")) {
                FormatReader::readAlignment(scanner, format);
            } else if (scanner.is(XmlScanner::Main, "protection")) {
                FormatReader::readProtection(scanner, format);
            }
            if (scanner.token() == XmlScanner::StartElement && scanner.depth() > dxfDepth)
                scanner.skipElement();
        }
        if (scanner.isEmptyElement())
            scanner.next();
        format.useStyleTable(m_serial);
        format.setDxfIndex(m_differentialFormats.size());
        m_differentialFormats.append(format);
        const QByteArray key = format.formatKey();
        if (!m_differentialFormatsByKey.contains(key))
            m_differentialFormatsByKey.insert(key, format);
    }
    return true;
}

bool Styles::readColors(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "indexedColors")) {
            m_indexedColors.clear();
            m_indexedColorsDefault = false;
        } else if (scanner.is(XmlScanner::Main, "rgbColor")) {
            if (tooMany(m_indexedColors.size(), "indexed colours"))
                return false;
            m_indexedColors.append(FormatReader::color(scanner).rgb());
        } else if (scanner.depth() == depth + 1) {
            m_kept->mruColors += scanner.captureElement();
        }
    }
    return true;
}

// --- styles.xml

void Styles::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("styleSheet"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    KeptXml::writeAttributes(writer, m_kept->rootAttributes);
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
    KeptXml::writeRaw(writer, m_kept->extensions);
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
    if (!m_kept->cellStyleFormats.isEmpty())
        return KeptXml::writeRaw(writer, m_kept->cellStyleFormats);
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
        writer.writeAttribute(QStringLiteral("xfId"), QString::number(format.intProperty(Format::CellStyleProperty)));
        if (format.boolProperty(Format::QuotePrefixProperty))
            writer.writeAttribute(QStringLiteral("quotePrefix"), QStringLiteral("1"));
        if (format.boolProperty(Format::PivotButtonProperty))
            writer.writeAttribute(QStringLiteral("pivotButton"), QStringLiteral("1"));
        const std::pair<const char *, bool> applied[] = {
            { "applyNumberFormat", format.hasNumFmtData() }, { "applyFont", format.hasFontData() },
            { "applyFill", format.hasFillData() }, { "applyBorder", format.hasBorderData() },
            { "applyAlignment", format.hasAlignmentData() }, { "applyProtection", format.hasProtectionData() },
        };
        for (const auto &[name, apply] : applied) {
            if (apply)
                writer.writeAttribute(QLatin1String(name), QStringLiteral("1"));
        }
        if (format.hasAlignmentData())
            writeAlignment(writer, format);
        if (format.hasProtectionData())
            writeProtection(writer, format);
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

void Styles::writeAlignment(QXmlStreamWriter &writer, const Format &format) const
{
    writer.writeEmptyElement(QStringLiteral("alignment"));
    if (format.hasProperty(Format::HorizontalAlignmentProperty)) {
        const QString horizontal = StyleNames::nameOf(StyleNames::horizontalAlignments, format.horizontalAlignment());
        if (format.horizontalAlignment() != Format::AlignHGeneral && !horizontal.isEmpty())
            writer.writeAttribute(QStringLiteral("horizontal"), horizontal);
    }
    if (format.hasProperty(Format::VerticalAlignmentProperty)) {
        const QString vertical = StyleNames::nameOf(StyleNames::verticalAlignments, format.verticalAlignment());
        if (format.verticalAlignment() != Format::AlignBottom && !vertical.isEmpty())
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
    if (format.hasProperty(Format::ReadingOrderProperty))
        writer.writeAttribute(QStringLiteral("readingOrder"), QString::number(format.intProperty(Format::ReadingOrderProperty)));
}

void Styles::writeProtection(QXmlStreamWriter &writer, const Format &format) const
{
    writer.writeEmptyElement(QStringLiteral("protection"));
    if (format.hasProperty(Format::LockedProperty))
        writer.writeAttribute(QStringLiteral("locked"), format.locked() ? QStringLiteral("1") : QStringLiteral("0"));
    if (format.hasProperty(Format::HiddenProperty))
        writer.writeAttribute(QStringLiteral("hidden"), format.hidden() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Styles::writeCellStyles(QXmlStreamWriter &writer) const
{
    if (!m_kept->cellStyles.isEmpty())
        return KeptXml::writeRaw(writer, m_kept->cellStyles);
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
    if (!m_kept->tableStyles.isEmpty())
        return KeptXml::writeRaw(writer, m_kept->tableStyles);
    writer.writeEmptyElement(QStringLiteral("tableStyles"));
    writer.writeAttribute(QStringLiteral("count"), QStringLiteral("0"));
    writer.writeAttribute(QStringLiteral("defaultTableStyle"), QStringLiteral("TableStyleMedium9"));
    writer.writeAttribute(QStringLiteral("defaultPivotStyle"), QStringLiteral("PivotStyleLight16"));
}

void Styles::writeColors(QXmlStreamWriter &writer) const
{
    if (m_indexedColorsDefault && m_kept->mruColors.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("colors"));
    if (!m_indexedColorsDefault) {
        writer.writeStartElement(QStringLiteral("indexedColors"));
        for (const QColor &color : m_indexedColors) {
            writer.writeEmptyElement(QStringLiteral("rgbColor"));
            writer.writeAttribute(QStringLiteral("rgb"), XlsxColor::toArgbText(color));
        }
        writer.writeEndElement();
    }
    KeptXml::writeRaw(writer, m_kept->mruColors);
    writer.writeEndElement();
}

void Styles::writeFont(QXmlStreamWriter &writer, const Format &format, bool differential) const
{
    writer.writeStartElement(QStringLiteral("font"));
    FontWriter::writeProperties(writer, format, differential ? FontWriter::DifferentialFont : FontWriter::CellFont);
    writer.writeEndElement();
}

void Styles::writeGradientFill(QXmlStreamWriter &writer, const Format &format) const
{
    const QVariantMap gradient = format.property(Format::GradientFillProperty).toMap();
    writer.writeStartElement(QStringLiteral("gradientFill"));
    if (gradient.value(QStringLiteral("type")).toString() == QLatin1String("path"))
        writer.writeAttribute(QStringLiteral("type"), QStringLiteral("path"));
    for (const char *side : { "degree", "left", "right", "top", "bottom" }) {
        if (gradient.contains(QLatin1String(side)))
            writer.writeAttribute(QLatin1String(side), QString::number(gradient.value(QLatin1String(side)).toDouble()));
    }
    for (const QVariant &stop : gradient.value(QStringLiteral("stops")).toList()) {
        const QVariantList pair = stop.toList();
        writer.writeStartElement(QStringLiteral("stop"));
        writer.writeAttribute(QStringLiteral("position"), QString::number(pair.value(0).toDouble()));
        pair.value(1).value<XlsxColor>().writeColorElement(writer, QStringLiteral("color"));
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

void Styles::writeFill(QXmlStreamWriter &writer, const Format &format) const
{
    writer.writeStartElement(QStringLiteral("fill"));
    if (format.hasProperty(Format::GradientFillProperty) && !format.hasProperty(Format::FillPatternProperty)) {
        writeGradientFill(writer, format);
        writer.writeEndElement();
        return;
    }
    writer.writeStartElement(QStringLiteral("patternFill"));
    writer.writeAttribute(QStringLiteral("patternType"), StyleNames::nameOf(StyleNames::fillPatterns, format.fillPattern()));
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
        writer.writeAttribute(QStringLiteral("style"), StyleNames::nameOf(StyleNames::borderStyles, style));
        format.colorProperty(side.color).writeColorElement(writer, QStringLiteral("color"));
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

} // namespace Spreadsheet
