#ifndef SPREADSHEET_RELATIONSHIPS_H
#define SPREADSHEET_RELATIONSHIPS_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

namespace Spreadsheet {

// One relationship from a part (or the package) to a target.
struct Relationship
{
    QString id;                          // "rId" and a number
    QString type;                        // the full relationship type
    QString target;                      // relative to the source's folder, or a URL
    std::optional<QString> targetMode;   // "External" for targets outside the package
};

// The relationships whose source is one part, written as its ".rels" document.
// Ids are "rId1", "rId2", ... in the order of addition.
class Relationships
{
public:
    void addRelationship(const QString &type, const QString &target,
                         const std::optional<QString> &targetMode = std::nullopt);
    void addDocumentRelationship(const QString &relativeType, const QString &target);
    void addPackageRelationship(const QString &relativeType, const QString &target);
    void addMsPackageRelationship(const QString &relativeType, const QString &target);
    void addWorksheetRelationship(const QString &relativeType, const QString &target,
                                  const std::optional<QString> &targetMode);

    QList<Relationship> documentRelationships(const QString &relativeType) const;
    QList<Relationship> packageRelationships(const QString &relativeType) const;
    QList<Relationship> msPackageRelationships(const QString &relativeType) const;
    QList<Relationship> worksheetRelationships(const QString &relativeType) const;
    QList<Relationship> relationshipsOfType(const QString &type) const;
    // The first relationship with that id, or one with every field empty.
    Relationship relationshipById(const QString &id) const;

    int count() const { return m_relationships.size(); }
    bool isEmpty() const { return m_relationships.isEmpty(); }
    void clear() { m_relationships.clear(); }

    void writeXml(QIODevice *device) const;
    QByteArray toXmlBytes() const;
    bool readXml(QIODevice *device);
    bool fromXmlBytes(const QByteArray &bytes);

private:
    QList<Relationship> m_relationships;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_RELATIONSHIPS_H
