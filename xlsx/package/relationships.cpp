#include "relationships.h"
#include "namespaces.h"
#include "utility.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Spreadsheet {

void Relationships::addRelationship(const QString &type, const QString &target,
                                    const std::optional<QString> &targetMode)
{
    m_relationships.append({ QStringLiteral("rId%1").arg(m_relationships.size() + 1), type, target, targetMode });
}

void Relationships::addDocumentRelationship(const QString &relativeType, const QString &target)
{
    addRelationship(Namespace::documentRelationships + relativeType, target);
}

void Relationships::addPackageRelationship(const QString &relativeType, const QString &target)
{
    addRelationship(Namespace::packageRelationships + relativeType, target);
}

void Relationships::addMsPackageRelationship(const QString &relativeType, const QString &target)
{
    addRelationship(Namespace::msPackageRelationships + relativeType, target);
}

void Relationships::addWorksheetRelationship(const QString &relativeType, const QString &target,
                                             const std::optional<QString> &targetMode)
{
    addRelationship(Namespace::documentRelationships + relativeType, target, targetMode);
}

QList<Relationship> Relationships::documentRelationships(const QString &relativeType) const
{
    return relationshipsOfType(Namespace::documentRelationships + relativeType);
}

QList<Relationship> Relationships::packageRelationships(const QString &relativeType) const
{
    return relationshipsOfType(Namespace::packageRelationships + relativeType);
}

QList<Relationship> Relationships::msPackageRelationships(const QString &relativeType) const
{
    return relationshipsOfType(Namespace::msPackageRelationships + relativeType);
}

QList<Relationship> Relationships::worksheetRelationships(const QString &relativeType) const
{
    return relationshipsOfType(Namespace::documentRelationships + relativeType);
}

QList<Relationship> Relationships::relationshipsOfType(const QString &type) const
{
    QList<Relationship> found;
    for (const Relationship &relationship : m_relationships) {
        if (relationship.type == type)
            found.append(relationship);
    }
    return found;
}

Relationship Relationships::relationshipById(const QString &id) const
{
    for (const Relationship &relationship : m_relationships) {
        if (relationship.id == id)
            return relationship;
    }
    return Relationship();
}

void Relationships::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("Relationships"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::packageRelationships);
    for (const Relationship &relationship : m_relationships) {
        writer.writeStartElement(QStringLiteral("Relationship"));
        writer.writeAttribute(QStringLiteral("Id"), relationship.id);
        writer.writeAttribute(QStringLiteral("Type"), relationship.type);
        writer.writeAttribute(QStringLiteral("Target"), validXmlText(relationship.target));
        if (relationship.targetMode)
            writer.writeAttribute(QStringLiteral("TargetMode"), validXmlText(*relationship.targetMode));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
}

QByteArray Relationships::toXmlBytes() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeXml(&buffer);
    return bytes;
}

bool Relationships::readXml(QIODevice *device)
{
    QXmlStreamReader reader(device);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        Relationship relationship{ attributes.value(QLatin1String("Id")).toString(),
                                   attributes.value(QLatin1String("Type")).toString(),
                                   attributes.value(QLatin1String("Target")).toString(), std::nullopt };
        if (attributes.hasAttribute(QLatin1String("TargetMode")))
            relationship.targetMode = attributes.value(QLatin1String("TargetMode")).toString();
        m_relationships.append(relationship);
    }
    return !reader.hasError();
}

bool Relationships::fromXmlBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readXml(&buffer);
}

} // namespace Spreadsheet
