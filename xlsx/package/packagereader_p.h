#ifndef SPREADSHEET_PACKAGEREADER_P_H
#define SPREADSHEET_PACKAGEREADER_P_H

#include "contenttypes.h"
#include "readlimits.h"
#include "relationships.h"
#include "zipreader_p.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>

namespace Spreadsheet {

// A part of a loaded package that the model does not read: written back
// byte for byte, under its name and media type.
struct KeptPart
{
    QByteArray bytes;
    QString contentType;
};

// An Office Open XML package read from a device: its ZIP container, its
// content types and relationships. The parts the model reads are taken by
// name; the rest are kept as they are. Every failure names the part and the
// reason.
class PackageReader
{
public:
    PackageReader(QIODevice *device, const ReadLimits &limits);

    // The container, "[Content_Types].xml" and the package's relationships.
    bool open();
    QString errorString() const { return m_error; }
    // Records a failure of a part; false.
    bool fail(const QString &part, const QString &reason);

    const ContentTypes &contentTypes() const { return m_contentTypes; }
    QString contentTypeOf(const QString &part) const { return m_contentTypes.contentTypeOf(part); }
    const ReadLimits &limits() const { return m_limits; }
    bool contains(const QString &part) const { return m_zip.contains(part); }

    // The relationships of a part ("" for the package), their internal
    // targets as part names; none when the part has no relationship part.
    // The relationship part is taken unless it is to stay kept.
    bool relationshipsOf(const QString &part, QList<Relationship> &relationships, bool take = true);
    // A part the model reads: whole, or inflated while it is read.
    bool read(const QString &part, QByteArray &bytes);
    std::unique_ptr<QIODevice> openPart(const QString &part);
    // A part's bytes for the model to look at, the part staying kept.
    bool peek(const QString &part, QByteArray &bytes);
    // A part the model reads or leaves out on purpose: not kept.
    void take(const QString &part);
    // Every part not taken, in the package's order.
    bool keepTheRest(QMap<QString, KeptPart> &kept, QStringList &order);

    // Whether XML bytes declare a document type, which no part may.
    static bool declaresDocumentType(const QByteArray &bytes);

private:
    QString nameOf(const QString &part) const;

    ZipReader m_zip;
    ReadLimits m_limits;
    ContentTypes m_contentTypes{ ContentTypes::LoadExisting };
    QSet<QString> m_taken;   // folded names
    bool m_strict = false;   // the Strict form, read as the transitional one
    QString m_error;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_PACKAGEREADER_P_H
