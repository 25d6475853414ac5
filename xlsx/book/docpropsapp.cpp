#include "docpropsapp.h"
#include "namespaces.h"
#include "utility.h"

#include <QDebug>
#include <QXmlStreamReader>
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
    writer.writeEndElement();
    writer.writeEndDocument();
}

bool DocPropsApp::readXml(QIODevice *device)
{
    QXmlStreamReader reader(device);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("Manager"))
            setProperty(QStringLiteral("manager"), reader.readElementText());
        else if (reader.name() == QLatin1String("Company"))
            setProperty(QStringLiteral("company"), reader.readElementText());
    }
    if (reader.hasError()) {
        qDebug("Error when read doc props app file.");
        return false;
    }
    return true;
}

} // namespace Spreadsheet
