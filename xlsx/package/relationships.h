#ifndef SPREADSHEET_RELATIONSHIPS_H
#define SPREADSHEET_RELATIONSHIPS_H

//! \file relationships.h
//! The relationships of a part: Relationships, Relationship.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace Spreadsheet {

//! One relationship from a part (or the package) to a target.
struct Relationship
{
    QString id;                          //!< "rId" and a number ("rId3"), as the source part names the relationship.
    QString type;                        //!< The full relationship type (Namespace::documentRelationships + "/worksheet").
    QString target;                      //!< Relative to the source's folder, or a URL.
    std::optional<QString> targetMode;   //!< "External" for targets outside the package; none for parts.
};

//! The relationships whose source is one part, written as its ".rels" document.
//! Ids are "rId1", "rId2", ... in the order of addition, passing over the ids
//! reserved for relationships a loaded part keeps (which its XML refers to).
//!
//! Every part's relationships are reached through AbstractOOXmlFile::relationships().
//! The relative types of the add... and ...Relationships() calls follow their
//! namespace: "/worksheet" for Namespace::documentRelationships + "/worksheet".
class Relationships
{
public:
    //! Adds a relationship of a full type and returns the id it got; an
    //! external target ("https://...") needs the mode "External".
    QString addRelationship(const QString &type, const QString &target,
                            const std::optional<QString> &targetMode = std::nullopt);
    //! Adds a relationship of a type under Namespace::documentRelationships; returns its id.
    QString addDocumentRelationship(const QString &relativeType, const QString &target);
    //! Adds a relationship of a type under Namespace::packageRelationships; returns its id.
    QString addPackageRelationship(const QString &relativeType, const QString &target);
    //! Adds a relationship of a type under Namespace::msPackageRelationships; returns its id.
    QString addMsPackageRelationship(const QString &relativeType, const QString &target);
    //! Adds a relationship of a type under Namespace::documentRelationships,
    //! with a target mode (a sheet's links to web addresses); returns its id.
    QString addWorksheetRelationship(const QString &relativeType, const QString &target,
                                     const std::optional<QString> &targetMode);
    //! A relationship with an id of its own, taken as it is.
    void addWithId(const Relationship &relationship);
    //! Ids that later additions pass over, until clear().
    void reserveIds(const QStringList &ids);

    //! Keeps a relationship of a loaded part.
    //!
    //! A relationship of a loaded part that its model does not make itself
    //! but that its XML may point at: it outlives clear(), keeps its id, and
    //! names its target by part name (from the package's root), which is
    //! written relative to the source part (setSourcePart).
    void keep(const Relationship &relationship);
    //! The kept relationships, their targets named from the package's root.
    QList<Relationship> keptRelationships() const { return m_kept; }
    //! Replaces the kept relationships.
    void setKeptRelationships(const QList<Relationship> &kept);
    //! The part these relationships come from ("xl/worksheets/sheet1.xml"),
    //! which the kept relationships' targets are written relative to.
    void setSourcePart(const QString &partName) { m_source = partName; }

    //! The relationships of a type under Namespace::documentRelationships.
    QList<Relationship> documentRelationships(const QString &relativeType) const;
    //! The relationships of a type under Namespace::packageRelationships.
    QList<Relationship> packageRelationships(const QString &relativeType) const;
    //! The relationships of a type under Namespace::msPackageRelationships.
    QList<Relationship> msPackageRelationships(const QString &relativeType) const;
    //! The relationships of a type under Namespace::documentRelationships, as
    //! documentRelationships() gives them.
    QList<Relationship> worksheetRelationships(const QString &relativeType) const;
    //! The relationships of a full type, as all() gives them.
    QList<Relationship> relationshipsOfType(const QString &type) const;
    //! The first relationship with that id, or one with every field empty. A
    //! kept relationship's target is its part name, from the package's root.
    Relationship relationshipById(const QString &id) const;

    //! Those made and those kept, the kept ones' targets relative to the source part.
    QList<Relationship> all() const;
    //! The number of relationships made and kept.
    int count() const { return m_relationships.size() + m_kept.size(); }
    //! Whether there are none, made or kept.
    bool isEmpty() const { return m_relationships.isEmpty() && m_kept.isEmpty(); }
    //! Forgets the relationships made and the reserved ids; the kept ones stay.
    void clear();

    //! Writes the ".rels" document of all() to the device.
    void writeXml(QIODevice *device) const;
    //! The ".rels" document as writeXml() writes it.
    QByteArray toXmlBytes() const;
    //! Adds every relationship of a ".rels" document with the id it has;
    //! false, with errorString() saying why, for malformed XML.
    bool readXml(QIODevice *device);
    //! Reads a ".rels" document from its bytes as readXml() does.
    bool fromXmlBytes(const QByteArray &bytes);

    //! The error of the last read that failed; empty after one that succeeded.
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
