#ifndef SPREADSHEET_RELATIONSHIPS_H
#define SPREADSHEET_RELATIONSHIPS_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

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
// Ids are "rId1", "rId2", ... in the order of addition, passing over the ids
// reserved for relationships a loaded part keeps (which its XML refers to).
class Relationships
{
public:
    // Each returns the id the relationship got.
    QString addRelationship(const QString &type, const QString &target,
                            const std::optional<QString> &targetMode = std::nullopt);
    QString addDocumentRelationship(const QString &relativeType, const QString &target);
    QString addPackageRelationship(const QString &relativeType, const QString &target);
    QString addMsPackageRelationship(const QString &relativeType, const QString &target);
    QString addWorksheetRelationship(const QString &relativeType, const QString &target,
                                     const std::optional<QString> &targetMode);
    // A relationship with an id of its own, taken as it is.
    void addWithId(const Relationship &relationship);
    // Ids that later additions pass over.
    void reserveIds(const QStringList &ids);

    // A relationship of a loaded part that its model does not make itself
    // but that its XML may point at: it outlives clear(), keeps its id, and
    // names its target by part name (from the package's root), which is
    // written relative to the source part (setSourcePart).
    void keep(const Relationship &relationship);
    QList<Relationship> keptRelationships() const { return m_kept; }
    void setKeptRelationships(const QList<Relationship> &kept);
    void setSourcePart(const QString &partName) { m_source = partName; }

    QList<Relationship> documentRelationships(const QString &relativeType) const;
    QList<Relationship> packageRelationships(const QString &relativeType) const;
    QList<Relationship> msPackageRelationships(const QString &relativeType) const;
    QList<Relationship> worksheetRelationships(const QString &relativeType) const;
    QList<Relationship> relationshipsOfType(const QString &type) const;
    // The first relationship with that id, or one with every field empty.
    Relationship relationshipById(const QString &id) const;

    // Those made and those kept.
    QList<Relationship> all() const;
    int count() const { return m_relationships.size() + m_kept.size(); }
    bool isEmpty() const { return m_relationships.isEmpty() && m_kept.isEmpty(); }
    // Forgets the relationships made; the kept ones stay.
    void clear();

    void writeXml(QIODevice *device) const;
    QByteArray toXmlBytes() const;
    bool readXml(QIODevice *device);
    bool fromXmlBytes(const QByteArray &bytes);

    // The error of the last read that failed.
    QString errorString() const { return m_error; }

private:
    static void index(QHash<QString, int> &ids, const QList<Relationship> &relationships, int from);

    QList<Relationship> m_relationships;
    QList<Relationship> m_kept;
    // The position of the first relationship of each id, in either list.
    QHash<QString, int> m_madeIds;
    QHash<QString, int> m_keptIds;
    QString m_source;
    QSet<QString> m_reserved;
    QString m_error;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_RELATIONSHIPS_H
