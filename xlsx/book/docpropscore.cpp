#include "docpropscore.h"
#include "namespaces.h"
#include "utility.h"
#include "keptxml_p.h"
#include "xmlscanner_p.h"

#include <QDateTime>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

const QString defaultCreator = QStringLiteral("QVR Datarium");

} // namespace

DocPropsCore::DocPropsCore(CreationMode mode)
    : AbstractOOXmlFile(mode)
{
}

bool DocPropsCore::setProperty(const QString &name, const QString &value)
{
    static const QStringList accepted = { QStringLiteral("title"), QStringLiteral("subject"),
                                          QStringLiteral("keywords"), QStringLiteral("description"),
                                          QStringLiteral("category"), QStringLiteral("status"),
                                          QStringLiteral("created"), QStringLiteral("creator") };
    if (!accepted.contains(name))
        return false;
    if (value.isEmpty()) {
        m_properties.remove(name);
        return true;
    }
    if (name == QLatin1String("created")) {
        // Readers refuse a package whose creation time is no W3C date-time;
        // anything else is refused here, and the save time is written.
        const QDateTime created = QDateTime::fromString(value, Qt::ISODate);
        if (!created.isValid())
            return false;
        m_properties.insert(name, created.toString(Qt::ISODate));
        return true;
    }
    m_properties.insert(name, value);
    return true;
}

QString DocPropsCore::property(const QString &name) const
{
    return m_properties.value(name);
}

QStringList DocPropsCore::propertyNames() const
{
    return m_properties.keys();
}

void DocPropsCore::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("cp:coreProperties"));
    writer.writeNamespace(Namespace::coreProperties, QStringLiteral("cp"));
    writer.writeNamespace(Namespace::dublinCore, QStringLiteral("dc"));
    writer.writeNamespace(Namespace::dublinCoreTerms, QStringLiteral("dcterms"));
    writer.writeNamespace(Namespace::dcmiType, QStringLiteral("dcmitype"));
    writer.writeNamespace(Namespace::xmlSchemaInstance, QStringLiteral("xsi"));

    auto optional = [&](const char *property, const QString &namespaceUri, const char *element) {
        if (m_properties.contains(QLatin1String(property)))
            writer.writeTextElement(namespaceUri, QLatin1String(element),
                                    validXmlText(m_properties.value(QLatin1String(property))));
    };
    const QString creator = validXmlText(m_properties.value(QStringLiteral("creator"), defaultCreator));
    const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
    auto timestamp = [&](const char *element, const QString &value) {
        writer.writeStartElement(Namespace::dublinCoreTerms, QLatin1String(element));
        writer.writeAttribute(Namespace::xmlSchemaInstance, QStringLiteral("type"), QStringLiteral("dcterms:W3CDTF"));
        writer.writeCharacters(value);
        writer.writeEndElement();
    };

    optional("title", Namespace::dublinCore, "title");
    optional("subject", Namespace::dublinCore, "subject");
    writer.writeTextElement(Namespace::dublinCore, QStringLiteral("creator"), creator);
    optional("keywords", Namespace::coreProperties, "keywords");
    optional("description", Namespace::dublinCore, "description");
    writer.writeTextElement(Namespace::coreProperties, QStringLiteral("lastModifiedBy"), creator);
    timestamp("created", validXmlText(m_properties.value(QStringLiteral("created"), now)));
    timestamp("modified", now);
    optional("category", Namespace::coreProperties, "category");
    optional("status", Namespace::coreProperties, "contentStatus");
    KeptXml::writeRaw(writer, m_keptElements);
    writer.writeEndElement();
    writer.writeEndDocument();
}

// The properties by their elements; the times that a save writes anew
// (modified, last modified by) are read but not kept.
bool DocPropsCore::readXml(QIODevice *device)
{
    clearReadError();
    static const struct
    {
        int namespaceId;
        const char *element;
        const char *property;
    } known[] = {
        { XmlScanner::DublinCore, "title", "title" },
        { XmlScanner::DublinCore, "subject", "subject" },
        { XmlScanner::DublinCore, "creator", "creator" },
        { XmlScanner::CoreProperties, "keywords", "keywords" },
        { XmlScanner::DublinCore, "description", "description" },
        { XmlScanner::DublinCoreTerms, "created", "created" },
        { XmlScanner::CoreProperties, "category", "category" },
        { XmlScanner::CoreProperties, "contentStatus", "status" },
        { XmlScanner::CoreProperties, "lastModifiedBy", nullptr },
        { XmlScanner::DublinCoreTerms, "modified", nullptr },
    };
    XmlScanner scanner(device);
    while (scanner.next() != XmlScanner::EndOfDocument && !scanner.hasError()) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != 2)
            continue;
        bool modeled = false;
        for (const auto &element : known) {
            if (!scanner.is(element.namespaceId, element.element))
                continue;
            modeled = true;
            const QString text = QString::fromUtf8(scanner.readElementText());
            if (element.property)
                setProperty(QLatin1String(element.property), text);
            break;
        }
        if (!modeled)
            m_keptElements += scanner.captureElement();
    }
    if (scanner.hasError()) {
        qDebug("Error when read doc props core file.");
        return readFailed(scanner.errorString());
    }
    return true;
}

} // namespace Spreadsheet
