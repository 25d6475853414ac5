#include "contenttypes.h"
#include "namespaces.h"
#include "xmlscanner_p.h"

#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

QString documentType(const char *type)
{
    return ContentType::documentPrefix + QLatin1String(type);
}

} // namespace

ContentTypes::ContentTypes(CreationMode mode)
    : AbstractOOXmlFile(mode)
{
    m_defaults.insert(QStringLiteral("rels"), ContentType::packagePrefix + QStringLiteral("relationships+xml"));
    m_defaults.insert(QStringLiteral("xml"), QStringLiteral("application/xml"));
}

void ContentTypes::addDefault(const QString &extension, const QString &contentType)
{
    m_defaults.insert(extension, contentType);
}

void ContentTypes::addOverride(const QString &partName, const QString &contentType)
{
    m_overrides.insert(partName, contentType);
    m_overridesByFoldedName.insert(partName.toCaseFolded(), contentType);
}

void ContentTypes::clearOverrides()
{
    m_overrides.clear();
    m_overridesByFoldedName.clear();
}

void ContentTypes::addDocPropCore()
{
    addOverride(QStringLiteral("/docProps/core.xml"), ContentType::packagePrefix + QStringLiteral("core-properties+xml"));
}

void ContentTypes::addDocPropApp()
{
    addOverride(QStringLiteral("/docProps/app.xml"), documentType("extended-properties+xml"));
}

void ContentTypes::addDocPropCustom()
{
    addOverride(QStringLiteral("/docProps/custom.xml"), documentType("custom-properties+xml"));
}

void ContentTypes::addStyles()
{
    addOverride(QStringLiteral("/xl/styles.xml"), documentType("spreadsheetml.styles+xml"));
}

void ContentTypes::addTheme()
{
    addOverride(QStringLiteral("/xl/theme/theme1.xml"), documentType("theme+xml"));
}

void ContentTypes::addWorkbook()
{
    addOverride(QStringLiteral("/xl/workbook.xml"), documentType("spreadsheetml.sheet.main+xml"));
}

void ContentTypes::addSharedString()
{
    addOverride(QStringLiteral("/xl/sharedStrings.xml"), documentType("spreadsheetml.sharedStrings+xml"));
}

void ContentTypes::addCalcChain()
{
    addOverride(QStringLiteral("/xl/calcChain.xml"), documentType("spreadsheetml.calcChain+xml"));
}

void ContentTypes::addWorksheetName(const QString &name)
{
    addOverride(QStringLiteral("/xl/worksheets/%1.xml").arg(name), documentType("spreadsheetml.worksheet+xml"));
}

void ContentTypes::addChartsheetName(const QString &name)
{
    addOverride(QStringLiteral("/xl/chartsheets/%1.xml").arg(name), documentType("spreadsheetml.chartsheet+xml"));
}

void ContentTypes::addDrawingName(const QString &name)
{
    addOverride(QStringLiteral("/xl/drawings/%1.xml").arg(name), documentType("drawing+xml"));
}

void ContentTypes::addChartName(const QString &name)
{
    addOverride(QStringLiteral("/xl/charts/%1.xml").arg(name), documentType("drawingml.chart+xml"));
}

void ContentTypes::addCommentName(const QString &name)
{
    addOverride(QStringLiteral("/xl/%1.xml").arg(name), documentType("spreadsheetml.comments+xml"));
}

void ContentTypes::addTableName(const QString &name)
{
    addOverride(QStringLiteral("/xl/tables/%1.xml").arg(name), documentType("spreadsheetml.table+xml"));
}

void ContentTypes::addExternalLinkName(const QString &name)
{
    addOverride(QStringLiteral("/xl/externalLinks/%1.xml").arg(name), documentType("spreadsheetml.externalLink+xml"));
}

void ContentTypes::addVmlName()
{
    addDefault(QStringLiteral("vml"), documentType("vmlDrawing"));
}

void ContentTypes::addVbaProject()
{
    addDefault(QStringLiteral("bin"), QStringLiteral("application/vnd.ms-office.vbaProject"));
}

void ContentTypes::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("Types"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::contentTypes);
    for (auto it = m_defaults.constBegin(); it != m_defaults.constEnd(); ++it) {
        writer.writeEmptyElement(QStringLiteral("Default"));
        writer.writeAttribute(QStringLiteral("Extension"), it.key());
        writer.writeAttribute(QStringLiteral("ContentType"), it.value());
    }
    for (auto it = m_overrides.constBegin(); it != m_overrides.constEnd(); ++it) {
        writer.writeEmptyElement(QStringLiteral("Override"));
        writer.writeAttribute(QStringLiteral("PartName"), it.key());
        writer.writeAttribute(QStringLiteral("ContentType"), it.value());
    }
    writer.writeEndElement();
    writer.writeEndDocument();
}

bool ContentTypes::readXml(QIODevice *device)
{
    clearReadError();
    XmlScanner scanner(device);
    m_defaults.clear();
    clearOverrides();
    while (scanner.next() != XmlScanner::EndOfDocument && !scanner.hasError()) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const QString contentType = QString::fromUtf8(scanner.value("ContentType"));
        if (scanner.is(XmlScanner::ContentTypes, "Default"))
            addDefault(QString::fromUtf8(scanner.value("Extension")).toLower(), contentType);
        else if (scanner.is(XmlScanner::ContentTypes, "Override"))
            addOverride(QString::fromUtf8(scanner.value("PartName")), contentType);
    }
    return scanner.hasError() ? readFailed(scanner.errorString()) : true;
}

QString ContentTypes::contentTypeOf(const QString &partName) const
{
    const QString name = partName.startsWith(QLatin1Char('/')) ? partName : QLatin1Char('/') + partName;
    const auto found = m_overridesByFoldedName.constFind(name.toCaseFolded());
    if (found != m_overridesByFoldedName.constEnd())
        return found.value();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? m_defaults.value(name.mid(dot + 1).toLower()) : QString();
}

} // namespace Spreadsheet
