#include "pagesetupxml_p.h"

#include "cellparsing_p.h"
#include "xmlscanner_p.h"

#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace Spreadsheet {

using CellParsing::isTrue;

namespace {

// Spreadsheet programs take no more breaks per sheet, no longer header or
// footer, and no margin of 49 inches or more.
constexpr int maxBreaks = 1026;
constexpr int maxHeaderFooterLength = 255;
constexpr double maxMargin = 49;

void writeFlag(QXmlStreamWriter &writer, const char *name, bool value)
{
    if (value)
        writer.writeAttribute(QLatin1String(name), QStringLiteral("1"));
}

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

// An attribute read into the model when it holds a value the model takes;
// otherwise it stays among the kept ones, as it came.
bool readInt(const XmlScanner &scanner, const char *name, int low, int high, int &target)
{
    const QByteArray text = scanner.value(name);
    if (text.isNull())
        return true;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return false;
    target = value;
    return true;
}

bool readMargin(const XmlScanner &scanner, const char *name, double &target)
{
    bool ok = false;
    const double value = scanner.value(name).toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value >= maxMargin)
        return false;
    target = value;
    return true;
}

void skip(XmlScanner &scanner)
{
    scanner.skipElement();
}

} // namespace

void PageSetupXml::readPrintOptions(XmlScanner &scanner)
{
    changed = true;
    setup.centerHorizontally = isTrue(scanner.value("horizontalCentered"));
    setup.centerVertically = isTrue(scanner.value("verticalCentered"));
    setup.printHeadings = isTrue(scanner.value("headings"));
    // Gridlines print only when both say so.
    const QByteArray set = scanner.value("gridLinesSet");
    setup.printGridLines = isTrue(scanner.value("gridLines")) && (set.isNull() || isTrue(set));
    printOptionsAttributes = KeptXml::attributes(
        scanner, { "horizontalCentered", "verticalCentered", "headings", "gridLines", "gridLinesSet" });
    skip(scanner);
}

void PageSetupXml::readMargins(XmlScanner &scanner)
{
    changed = true;
    const struct
    {
        const char *name;
        double *margin;
    } margins[] = {
        { "left", &setup.leftMargin }, { "right", &setup.rightMargin }, { "top", &setup.topMargin },
        { "bottom", &setup.bottomMargin }, { "header", &setup.headerMargin }, { "footer", &setup.footerMargin },
    };
    for (const auto &margin : margins)
        readMargin(scanner, margin.name, *margin.margin);
    marginsAttributes = KeptXml::attributes(scanner, { "left", "right", "top", "bottom", "header", "footer" });
    skip(scanner);
}

void PageSetupXml::readPageSetup(XmlScanner &scanner)
{
    changed = true;
    QList<const char *> read;
    const QByteArray orientation = scanner.value("orientation");
    if (orientation == "portrait" || orientation == "landscape") {
        setup.orientation = orientation == "portrait" ? PageSetup::Portrait : PageSetup::Landscape;
        read << "orientation";
    }
    const QByteArray order = scanner.value("pageOrder");
    if (order == "downThenOver" || order == "overThenDown") {
        setup.pageOrder = order == "downThenOver" ? PageSetup::DownThenOver : PageSetup::OverThenDown;
        read << "pageOrder";
    }
    if (readInt(scanner, "paperSize", 1, 32767, setup.paperSize))
        read << "paperSize";
    if (readInt(scanner, "scale", 10, 400, setup.scale))
        read << "scale";
    if (readInt(scanner, "fitToWidth", 0, 32767, setup.fitToPagesWide))
        read << "fitToWidth";
    if (readInt(scanner, "fitToHeight", 0, 32767, setup.fitToPagesTall))
        read << "fitToHeight";
    int first = 0;
    if (isTrue(scanner.value("useFirstPageNumber")) && readInt(scanner, "firstPageNumber", 1, 32767, first)
        && first > 0) {
        setup.firstPageNumber = first;
        read << "firstPageNumber" << "useFirstPageNumber";
    }
    setup.blackAndWhite = isTrue(scanner.value("blackAndWhite"));
    setup.draft = isTrue(scanner.value("draft"));
    read << "blackAndWhite" << "draft";
    pageSetupAttributes = KeptXml::attributes(scanner);
    pageSetupAttributes.erase(std::remove_if(pageSetupAttributes.begin(), pageSetupAttributes.end(),
                                             [&](const KeptAttribute &attribute) {
                                                 return std::any_of(read.cbegin(), read.cend(), [&](const char *name) {
                                                     return attribute.name == QLatin1String(name);
                                                 });
                                             }),
                              pageSetupAttributes.end());
    skip(scanner);
}

void PageSetupXml::readHeaderFooter(XmlScanner &scanner)
{
    changed = true;
    setup.differentOddEven = isTrue(scanner.value("differentOddEven"));
    setup.differentFirst = isTrue(scanner.value("differentFirst"));
    const QByteArray scale = scanner.value("scaleWithDoc");
    setup.scaleHeaderFooterWithDocument = scale.isNull() || isTrue(scale);
    const QByteArray align = scanner.value("alignWithMargins");
    setup.alignHeaderFooterWithMargins = align.isNull() || isTrue(align);
    headerFooterAttributes = KeptXml::attributes(
        scanner, { "differentOddEven", "differentFirst", "scaleWithDoc", "alignWithMargins" });
    const struct
    {
        const char *name;
        HeaderFooter *sections;
    } parts[] = {
        { "oddHeader", &setup.header }, { "oddFooter", &setup.footer }, { "evenHeader", &setup.evenHeader },
        { "evenFooter", &setup.evenFooter }, { "firstHeader", &setup.firstHeader }, { "firstFooter", &setup.firstFooter },
    };
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        bool known = false;
        for (const auto &part : parts) {
            if (scanner.is(XmlScanner::Main, part.name)) {
                *part.sections = HeaderFooter::fromText(QString::fromUtf8(scanner.readElementText()));
                known = true;
                break;
            }
        }
        if (!known)
            skip(scanner);
    }
}

void PageSetupXml::readBreaks(XmlScanner &scanner, QList<int> &breaks, int limit)
{
    changed = true;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "brk"))
            continue;
        // Breaks a program placed by itself are placed again by whichever prints.
        int last = 0;
        if (isTrue(scanner.value("man")) && readInt(scanner, "id", 1, limit - 1, last) && last > 0
            && breaks.size() < maxBreaks)
            breaks.append(last + 1);
    }
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
}

void PageSetupXml::readPageSetUpPr(XmlScanner &scanner)
{
    pageSetUpPrLoaded = true;
    setup.fitToPages = isTrue(scanner.value("fitToPage"));
    pageSetUpPrAttributes = KeptXml::attributes(scanner, { "fitToPage" });
    skip(scanner);
}

void PageSetupXml::writePrintOptions(QXmlStreamWriter &writer) const
{
    const bool any = setup.centerHorizontally || setup.centerVertically || setup.printHeadings || setup.printGridLines;
    if (!any && printOptionsAttributes.isEmpty())
        return;
    writer.writeEmptyElement(QStringLiteral("printOptions"));
    writeFlag(writer, "horizontalCentered", setup.centerHorizontally);
    writeFlag(writer, "verticalCentered", setup.centerVertically);
    writeFlag(writer, "headings", setup.printHeadings);
    writeFlag(writer, "gridLines", setup.printGridLines);
    KeptXml::writeAttributes(writer, printOptionsAttributes);
}

void PageSetupXml::writeMargins(QXmlStreamWriter &writer) const
{
    if (!changed)
        return;
    writer.writeEmptyElement(QStringLiteral("pageMargins"));
    writer.writeAttribute(QStringLiteral("left"), number(setup.leftMargin));
    writer.writeAttribute(QStringLiteral("right"), number(setup.rightMargin));
    writer.writeAttribute(QStringLiteral("top"), number(setup.topMargin));
    writer.writeAttribute(QStringLiteral("bottom"), number(setup.bottomMargin));
    writer.writeAttribute(QStringLiteral("header"), number(setup.headerMargin));
    writer.writeAttribute(QStringLiteral("footer"), number(setup.footerMargin));
    KeptXml::writeAttributes(writer, marginsAttributes);
}

void PageSetupXml::writePageSetup(QXmlStreamWriter &writer) const
{
    const PageSetup defaults;
    QVector<std::pair<QString, QString>> attributes;
    if (setup.paperSize > 0)
        attributes.append({ QStringLiteral("paperSize"), QString::number(setup.paperSize) });
    if (setup.scale != defaults.scale)
        attributes.append({ QStringLiteral("scale"), QString::number(setup.scale) });
    if (setup.firstPageNumber > 0)
        attributes.append({ QStringLiteral("firstPageNumber"), QString::number(setup.firstPageNumber) });
    if (setup.fitToPages || setup.fitToPagesWide != 1)
        attributes.append({ QStringLiteral("fitToWidth"), QString::number(setup.fitToPagesWide) });
    if (setup.fitToPages || setup.fitToPagesTall != 1)
        attributes.append({ QStringLiteral("fitToHeight"), QString::number(setup.fitToPagesTall) });
    if (setup.pageOrder == PageSetup::OverThenDown)
        attributes.append({ QStringLiteral("pageOrder"), QStringLiteral("overThenDown") });
    if (setup.orientation != PageSetup::DefaultOrientation)
        attributes.append({ QStringLiteral("orientation"), setup.orientation == PageSetup::Landscape
                                                               ? QStringLiteral("landscape") : QStringLiteral("portrait") });
    if (setup.blackAndWhite)
        attributes.append({ QStringLiteral("blackAndWhite"), QStringLiteral("1") });
    if (setup.draft)
        attributes.append({ QStringLiteral("draft"), QStringLiteral("1") });
    if (setup.firstPageNumber > 0)
        attributes.append({ QStringLiteral("useFirstPageNumber"), QStringLiteral("1") });
    // A loaded value the model did not take stays, unless the model now
    // writes that attribute itself.
    KeptAttributes kept;
    for (const KeptAttribute &attribute : pageSetupAttributes) {
        const bool written = std::any_of(attributes.cbegin(), attributes.cend(),
                                         [&](const std::pair<QString, QString> &one) { return one.first == attribute.name; });
        if (!written)
            kept.append(attribute);
    }
    if (attributes.isEmpty() && kept.isEmpty())
        return;
    writer.writeEmptyElement(QStringLiteral("pageSetup"));
    for (const auto &attribute : qAsConst(attributes))
        writer.writeAttribute(attribute.first, attribute.second);
    KeptXml::writeAttributes(writer, kept);
}

void PageSetupXml::writeHeaderFooter(QXmlStreamWriter &writer) const
{
    const bool any = !setup.header.isEmpty() || !setup.footer.isEmpty() || setup.differentOddEven
        || setup.differentFirst || !setup.scaleHeaderFooterWithDocument || !setup.alignHeaderFooterWithMargins;
    if (!any && headerFooterAttributes.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("headerFooter"));
    writeFlag(writer, "differentOddEven", setup.differentOddEven);
    writeFlag(writer, "differentFirst", setup.differentFirst);
    if (!setup.scaleHeaderFooterWithDocument)
        writer.writeAttribute(QStringLiteral("scaleWithDoc"), QStringLiteral("0"));
    if (!setup.alignHeaderFooterWithMargins)
        writer.writeAttribute(QStringLiteral("alignWithMargins"), QStringLiteral("0"));
    KeptXml::writeAttributes(writer, headerFooterAttributes);
    const auto section = [&](const char *name, const HeaderFooter &sections, bool used) {
        if (used && !sections.isEmpty())
            writer.writeTextElement(QLatin1String(name), sections.toText());
    };
    section("oddHeader", setup.header, true);
    section("oddFooter", setup.footer, true);
    section("evenHeader", setup.evenHeader, setup.differentOddEven);
    section("evenFooter", setup.evenFooter, setup.differentOddEven);
    section("firstHeader", setup.firstHeader, setup.differentFirst);
    section("firstFooter", setup.firstFooter, setup.differentFirst);
    writer.writeEndElement();
}

// A break's "id" is the last row or column of the page before it; "max"
// the other axis's last one, over which it runs.
void PageSetupXml::writeBreaks(QXmlStreamWriter &writer, const char *name, const QList<int> &breaks, int span)
{
    if (breaks.isEmpty())
        return;
    writer.writeStartElement(QLatin1String(name));
    writer.writeAttribute(QStringLiteral("count"), QString::number(breaks.size()));
    writer.writeAttribute(QStringLiteral("manualBreakCount"), QString::number(breaks.size()));
    for (const int first : breaks) {
        writer.writeEmptyElement(QStringLiteral("brk"));
        writer.writeAttribute(QStringLiteral("id"), QString::number(first - 1));
        writer.writeAttribute(QStringLiteral("max"), QString::number(span - 1));
        writer.writeAttribute(QStringLiteral("man"), QStringLiteral("1"));
    }
    writer.writeEndElement();
}

void PageSetupXml::writePageSetUpPr(QXmlStreamWriter &writer) const
{
    writer.writeEmptyElement(QStringLiteral("pageSetUpPr"));
    KeptXml::writeAttributes(writer, pageSetUpPrAttributes);
    writeFlag(writer, "fitToPage", setup.fitToPages);
}

PageSetupXml PageSetupXml::withoutRelationships() const
{
    PageSetupXml copy = *this;
    copy.pageSetupAttributes.erase(std::remove_if(copy.pageSetupAttributes.begin(), copy.pageSetupAttributes.end(),
                                                  [](const KeptAttribute &attribute) {
                                                      return attribute.name.endsWith(QLatin1String(":id"));
                                                  }),
                                   copy.pageSetupAttributes.end());
    return copy;
}

bool PageSetupXml::normalize(PageSetup &setup, const PageSetup &current, int maxRow, int maxColumn)
{
    const double margins[] = { setup.leftMargin, setup.rightMargin, setup.topMargin,
                               setup.bottomMargin, setup.headerMargin, setup.footerMargin };
    for (const double margin : margins) {
        if (!std::isfinite(margin) || margin < 0 || margin >= maxMargin)
            return false;
    }
    if (setup.paperSize < 0 || setup.paperSize > 32767 || setup.scale < 10 || setup.scale > 400
        || setup.fitToPagesWide < 0 || setup.fitToPagesWide > 32767 || setup.fitToPagesTall < 0
        || setup.fitToPagesTall > 32767 || setup.firstPageNumber < 0 || setup.firstPageNumber > 32767)
        return false;
    // Headers and footers as they were (a loaded one may be longer) pass.
    const HeaderFooter *sections[] = { &setup.header, &setup.footer, &setup.evenHeader,
                                       &setup.evenFooter, &setup.firstHeader, &setup.firstFooter };
    const HeaderFooter *before[] = { &current.header, &current.footer, &current.evenHeader,
                                     &current.evenFooter, &current.firstHeader, &current.firstFooter };
    for (int i = 0; i < 6; ++i) {
        if (*sections[i] != *before[i] && sections[i]->toText().size() > maxHeaderFooterLength)
            return false;
    }
    const auto sound = [](QList<int> &breaks, int limit) {
        std::sort(breaks.begin(), breaks.end());
        breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
        return breaks.size() <= maxBreaks && (breaks.isEmpty() || (breaks.first() > 1 && breaks.last() <= limit));
    };
    return sound(setup.rowBreaks, maxRow) && sound(setup.columnBreaks, maxColumn);
}

} // namespace Spreadsheet
