#include "packagereader_p.h"

#include "partnames_p.h"

#include <QBuffer>

namespace Spreadsheet {

namespace {

const QString contentTypesPart = QStringLiteral("[Content_Types].xml");

bool isXml(const QString &part, const QString &contentType)
{
    return contentType.endsWith(QLatin1String("xml")) || part.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)
        || part.endsWith(QLatin1String(".rels"), Qt::CaseInsensitive);
}

} // namespace

PackageReader::PackageReader(QIODevice *device, const ReadLimits &limits)
    : m_zip(device, limits)
    , m_limits(limits)
{
}

bool PackageReader::fail(const QString &part, const QString &reason)
{
    if (m_error.isEmpty())
        m_error = part.isEmpty() ? reason : part + QStringLiteral(": ") + reason;
    return false;
}

QString PackageReader::nameOf(const QString &part) const
{
    return m_zip.entryName(part);
}

bool PackageReader::open()
{
    if (!m_zip.open())
        return fail(QString(), m_zip.errorString());
    if (!m_zip.contains(contentTypesPart))
        return fail(QString(), QStringLiteral("%1 is missing").arg(contentTypesPart));
    QByteArray bytes;
    if (!read(contentTypesPart, bytes))
        return false;
    if (!m_contentTypes.fromXmlBytes(bytes))
        return fail(contentTypesPart, m_contentTypes.errorString());
    return true;
}

bool PackageReader::read(const QString &part, QByteArray &bytes)
{
    m_taken.insert(part.toCaseFolded());
    if (!m_zip.read(nameOf(part).isEmpty() ? part : nameOf(part), bytes))
        return fail(QString(), m_zip.errorString());
    if (declaresDocumentType(bytes))
        return fail(part, QStringLiteral("it declares a document type, which no package part may"));
    return true;
}

bool PackageReader::peek(const QString &part, QByteArray &bytes)
{
    if (!m_zip.read(nameOf(part).isEmpty() ? part : nameOf(part), bytes))
        return fail(QString(), m_zip.errorString());
    return true;
}

std::unique_ptr<QIODevice> PackageReader::openPart(const QString &part)
{
    m_taken.insert(part.toCaseFolded());
    std::unique_ptr<QIODevice> device = m_zip.openEntry(nameOf(part).isEmpty() ? part : nameOf(part));
    if (!device)
        fail(QString(), m_zip.errorString());
    return device;
}

void PackageReader::take(const QString &part)
{
    m_taken.insert(part.toCaseFolded());
}

bool PackageReader::relationshipsOf(const QString &part, QList<Relationship> &relationships, bool take)
{
    relationships.clear();
    const QString name = PartNames::relationshipsOf(part);
    if (!m_zip.contains(name))
        return true;
    QByteArray bytes;
    if (!(take ? read(name, bytes) : peek(name, bytes)))
        return false;
    if (!take && declaresDocumentType(bytes))
        return fail(name, QStringLiteral("it declares a document type, which no package part may"));
    Relationships read;
    if (!read.fromXmlBytes(bytes))
        return fail(name, read.errorString());
    for (Relationship relationship : read.all()) {
        if (relationship.id.isEmpty() || relationship.type.isEmpty())
            return fail(name, QStringLiteral("a relationship lacks its id or type"));
        if (!relationship.targetMode || relationship.targetMode != QLatin1String("External"))
            relationship.target = PartNames::resolve(part, relationship.target);
        relationships.append(relationship);
    }
    return true;
}

bool PackageReader::keepTheRest(QMap<QString, KeptPart> &kept, QStringList &order)
{
    for (const QString &name : m_zip.entryNames()) {
        if (m_taken.contains(name.toCaseFolded()))
            continue;
        KeptPart part;
        part.contentType = contentTypeOf(name);
        if (!m_zip.read(name, part.bytes))
            return fail(QString(), m_zip.errorString());
        if (isXml(name, part.contentType) && declaresDocumentType(part.bytes))
            return fail(name, QStringLiteral("it declares a document type, which no package part may"));
        kept.insert(name, part);
        order.append(name);
    }
    return true;
}

// A document type declaration stands before the root element, after the
// XML declaration, comments and processing instructions, in any encoding
// that keeps "<!" readable as bytes; UTF-16 has them every other byte.
bool PackageReader::declaresDocumentType(const QByteArray &bytes)
{
    QByteArray head = bytes.left(64 * 1024);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF") || (head.size() > 1 && (head.at(0) == 0 || head.at(1) == 0)))
        head.replace(QByteArray(1, '\0'), QByteArray());
    int i = 0;
    while (i < head.size()) {
        const int open = head.indexOf('<', i);
        if (open < 0)
            return false;
        if (head.mid(open, 4) == "<!--") {
            const int end = head.indexOf("-->", open + 4);
            if (end < 0)
                return false;
            i = end + 3;
        } else if (head.mid(open, 2) == "<?") {
            const int end = head.indexOf("?>", open + 2);
            if (end < 0)
                return false;
            i = end + 2;
        } else {
            return head.mid(open, 9).toUpper() == "<!DOCTYPE";
        }
    }
    return false;
}

} // namespace Spreadsheet
