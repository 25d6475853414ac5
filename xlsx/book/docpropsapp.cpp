#include "docpropsapp.h"
#include "namespaces.h"
#include "utility.h"
#include "keptxml_p.h"
#include "xmlscanner_p.h"

#include <QDebug>
#include <QXmlStreamWriter>

namespace Spreadsheet {

DocPropsApp::DocPropsApp(CreationMode mode)
    : AbstractOOXmlFile(mode)
{
}

void DocPropsApp::addPartTitle(const QString &title)
{
    m_partTitles.append(title);
}

void DocPropsApp::addHeadingPair(const QString &name, int count)
{
    m_headingPairs.append({ name, count });
}

bool DocPropsApp::setProperty(const QString &name, const QString &value)
{
    if (name != QLatin1String("manager") && name != QLatin1String("company"))
        return false;
    if (value.isEmpty())
        m_properties.remove(name);
    else
        m_properties.insert(name, value);
    return true;
}

QString DocPropsApp::property(const QString &name) const
{
    return m_properties.value(name);
}

QStringList DocPropsApp::propertyNames() const
{
    return m_properties.keys();
}

void DocPropsApp::writeXml(QIODevice *device) const
{
    const QString vt = Namespace::docPropsVTypes;
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("Properties"));
    writer.writeDefaultNamespace(Namespace::extendedProperties);
    writer.writeNamespace(vt, QStringLiteral("vt"));
    writer.writeTextElement(QStringLiteral("Application"), QStringLiteral("Microsoft Excel"));
    writer.writeTextElement(QStringLiteral("DocSecurity"), QStringLiteral("0"));
    writer.writeTextElement(QStringLiteral("ScaleCrop"), QStringLiteral("false"));

    writer.writeStartElement(QStringLiteral("HeadingPairs"));
    writer.writeStartElement(vt, QStringLiteral("vector"));
    writer.writeAttribute(QStringLiteral("size"), QString::number(m_headingPairs.size() * 2));
    writer.writeAttribute(QStringLiteral("baseType"), QStringLiteral("variant"));
    for (const auto &pair : m_headingPairs) {
        writer.writeStartElement(vt, QStringLiteral("variant"));
        writer.writeTextElement(vt, QStringLiteral("lpstr"), validXmlText(pair.first));
        writer.writeEndElement();
        writer.writeStartElement(vt, QStringLiteral("variant"));
        writer.writeTextElement(vt, QStringLiteral("i4"), QString::number(pair.second));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("TitlesOfParts"));
    writer.writeStartElement(vt, QStringLiteral("vector"));
    writer.writeAttribute(QStringLiteral("size"), QString::number(m_partTitles.size()));
    writer.writeAttribute(QStringLiteral("baseType"), QStringLiteral("lpstr"));
    for (const QString &title : m_partTitles)
        writer.writeTextElement(vt, QStringLiteral("lpstr"), validXmlText(title));
    writer.writeEndElement();
    writer.writeEndElement();

    if (m_properties.contains(QStringLiteral("manager")))
        writer.writeTextElement(QStringLiteral("Manager"), validXmlText(m_properties.value(QStringLiteral("manager"))));
    if (m_properties.contains(QStringLiteral("company")))
        writer.writeTextElement(QStringLiteral("Company"), validXmlText(m_properties.value(QStringLiteral("company"))));

    writer.writeTextElement(QStringLiteral("LinksUpToDate"), QStringLiteral("false"));
    writer.writeTextElement(QStringLiteral("SharedDoc"), QStringLiteral("false"));
    writer.writeTextElement(QStringLiteral("HyperlinksChanged"), QStringLiteral("false"));
    writer.writeTextElement(QStringLiteral("AppVersion"), QStringLiteral("12.0000"));
    KeptXml::writeRaw(writer, m_keptElements);
    writer.writeEndElement();
    writer.writeEndDocument();
}

// Manager and company are read; what a save writes anew (the application,
// the sheets, the flags) is not kept, anything else is.
bool DocPropsApp::readXml(QIODevice *device)
{
    clearReadError();
    static const char *const madeAnew[] = { "Application", "DocSecurity", "ScaleCrop", "HeadingPairs", "TitlesOfParts",
                                            "LinksUpToDate", "SharedDoc", "HyperlinksChanged", "AppVersion" };
    XmlScanner scanner(device);
    while (scanner.next() != XmlScanner::EndOfDocument && !scanner.hasError()) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != 2)
            continue;
        if (scanner.is(XmlScanner::ExtendedProperties, "Manager")) {
            setProperty(QStringLiteral("manager"), QString::fromUtf8(scanner.readElementText()));
            continue;
        }
        if (scanner.is(XmlScanner::ExtendedProperties, "Company")) {
            setProperty(QStringLiteral("company"), QString::fromUtf8(scanner.readElementText()));
            continue;
        }
        bool made = false;
        for (const char *name : madeAnew)
            made |= scanner.is(XmlScanner::ExtendedProperties, name);
        if (made)
            scanner.skipElement();
        else
            m_keptElements += scanner.captureElement();
    }
    if (scanner.hasError()) {
        qDebug("Error when read doc props app file.");
        return readFailed(scanner.errorString());
    }
    return true;
}

} // namespace Spreadsheet
