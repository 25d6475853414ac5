#include "relationships.h"
#include "namespaces.h"
#include "partnames_p.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QBuffer>
#include <QXmlStreamWriter>

namespace Spreadsheet {

QString Relationships::addRelationship(const QString &type, const QString &target,
                                       const std::optional<QString> &targetMode)
{
    int number = m_relationships.size() + 1;
    QString id = QStringLiteral("rId%1").arg(number);
    while (m_reserved.contains(id) || m_madeIds.contains(id) || m_keptIds.contains(id))
        id = QStringLiteral("rId%1").arg(++number);
    m_relationships.append({ id, type, target, targetMode });
    index(m_madeIds, m_relationships, m_relationships.size() - 1);
    return id;
}

void Relationships::index(QHash<QString, int> &ids, const QList<Relationship> &relationships, int from)
{
    for (int i = from; i < relationships.size(); ++i) {
        if (!ids.contains(relationships.at(i).id))
            ids.insert(relationships.at(i).id, i);
    }
}

QString Relationships::addDocumentRelationship(const QString &relativeType, const QString &target)
{
    return addRelationship(Namespace::documentRelationships + relativeType, target);
}

QString Relationships::addPackageRelationship(const QString &relativeType, const QString &target)
{
    return addRelationship(Namespace::packageRelationships + relativeType, target);
}

QString Relationships::addMsPackageRelationship(const QString &relativeType, const QString &target)
{
    return addRelationship(Namespace::msPackageRelationships + relativeType, target);
}

QString Relationships::addWorksheetRelationship(const QString &relativeType, const QString &target,
                                                const std::optional<QString> &targetMode)
{
    return addRelationship(Namespace::documentRelationships + relativeType, target, targetMode);
}

void Relationships::addWithId(const Relationship &relationship)
{
    m_relationships.append(relationship);
    index(m_madeIds, m_relationships, m_relationships.size() - 1);
}

void Relationships::reserveIds(const QStringList &ids)
{
    for (const QString &id : ids)
        m_reserved.insert(id);
}

void Relationships::clear()
{
    m_relationships.clear();
    m_madeIds.clear();
    m_reserved.clear();
}

void Relationships::keep(const Relationship &relationship)
{
    m_kept.append(relationship);
    index(m_keptIds, m_kept, m_kept.size() - 1);
}

void Relationships::setKeptRelationships(const QList<Relationship> &kept)
{
    m_kept = kept;
    m_keptIds.clear();
    index(m_keptIds, m_kept, 0);
}

// The kept ones with their targets as the source part sees them.
QList<Relationship> Relationships::all() const
{
    QList<Relationship> all = m_relationships;
    for (Relationship relationship : m_kept) {
        if (!relationship.targetMode)
            relationship.target = PartNames::relative(m_source, relationship.target);
        all.append(relationship);
    }
    return all;
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
    for (const Relationship &relationship : all()) {
        if (relationship.type == type)
            found.append(relationship);
    }
    return found;
}

Relationship Relationships::relationshipById(const QString &id) const
{
    const auto made = m_madeIds.constFind(id);
    if (made != m_madeIds.constEnd())
        return m_relationships.at(made.value());
    const auto kept = m_keptIds.constFind(id);
    return kept != m_keptIds.constEnd() ? m_kept.at(kept.value()) : Relationship();
}

void Relationships::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("Relationships"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::packageRelationships);
    for (const Relationship &relationship : all()) {
        writer.writeStartElement(QStringLiteral("Relationship"));
        // A loaded part's ids and types may hold what XML cannot.
        writer.writeAttribute(QStringLiteral("Id"), validXmlText(relationship.id));
        writer.writeAttribute(QStringLiteral("Type"), validXmlText(relationship.type));
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
    m_error.clear();
    XmlScanner scanner(device);
    while (scanner.next() != XmlScanner::EndOfDocument && !scanner.hasError()) {
        if (scanner.token() != XmlScanner::StartElement
            || !scanner.is(XmlScanner::PackageRelationships, "Relationship"))
            continue;
        Relationship relationship{ QString::fromUtf8(scanner.value("Id")), QString::fromUtf8(scanner.value("Type")),
                                   QString::fromUtf8(scanner.value("Target")), std::nullopt };
        if (scanner.hasAttribute("TargetMode"))
            relationship.targetMode = QString::fromUtf8(scanner.value("TargetMode"));
        addWithId(relationship);
    }
    if (scanner.hasError())
        m_error = scanner.errorString();
    return !scanner.hasError();
}

bool Relationships::fromXmlBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readXml(&buffer);
}

} // namespace Spreadsheet
