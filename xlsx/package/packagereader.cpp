#include "packagereader_p.h"

#include "partnames_p.h"
#include "stricttranslation_p.h"

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
    const QString packageRelationships = PartNames::relationshipsOf(QString());
    if (m_zip.contains(packageRelationships)) {
        if (!peek(packageRelationships, bytes))
            return false;
        m_strict = StrictTranslation::isStrictPackage(bytes);
    }
    return true;
}

bool PackageReader::read(const QString &part, QByteArray &bytes)
{
    m_taken.insert(part.toCaseFolded());
    if (!m_zip.read(nameOf(part).isEmpty() ? part : nameOf(part), bytes))
        return fail(QString(), m_zip.errorString());
    if (declaresDocumentType(bytes))
        return fail(part, QStringLiteral("it declares a document type, which no package part may"));
    if (m_strict)
        bytes = StrictTranslation::toTransitional(bytes);
    return true;
}

bool PackageReader::peek(const QString &part, QByteArray &bytes)
{
    if (!m_zip.read(nameOf(part).isEmpty() ? part : nameOf(part), bytes))
        return fail(QString(), m_zip.errorString());
    if (m_strict && isXml(part, contentTypeOf(part)))
        bytes = StrictTranslation::toTransitional(bytes);
    return true;
}

std::unique_ptr<QIODevice> PackageReader::openPart(const QString &part)
{
    m_taken.insert(part.toCaseFolded());
    std::unique_ptr<QIODevice> device = m_zip.openEntry(nameOf(part).isEmpty() ? part : nameOf(part));
    if (!device)
        fail(QString(), m_zip.errorString());
    else if (m_strict)
        device = StrictTranslation::transitionalDevice(std::move(device));
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
        if (m_strict && isXml(name, part.contentType))
            part.bytes = StrictTranslation::toTransitional(part.bytes);
        kept.insert(name, part);
        order.append(name);
    }
    return true;
}

// A document type declaration stands before the root element, after the
// XML declaration, comments and processing instructions, which may be as
// long as they like: the whole prolog is read, in any encoding that keeps
// "<!" readable as bytes. UTF-16 has them every other byte.
bool PackageReader::declaresDocumentType(const QByteArray &bytes)
{
    int first = 0;
    int step = 1;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        first = bytes.startsWith("\xFF\xFE") ? 2 : 3;
        step = 2;
    } else if (bytes.size() > 1 && (bytes.at(0) == 0 || bytes.at(1) == 0)) {
        first = bytes.at(0) == 0 ? 1 : 0;
        step = 2;
    }
    // The character at a position, as far as markup needs: a UTF-16 unit
    // outside ASCII reads as no character of markup.
    const int size = bytes.size();
    auto at = [&](int i) -> char {
        if (i >= size)
            return 0;
        if (step == 2) {
            const int other = first % 2 == 0 ? i + 1 : i - 1;
            if (other < size && bytes.at(other) != 0)
                return 1;
        }
        return bytes.at(i);
    };
    auto startsAt = [&](int i, const char *text) {
        for (int k = 0; text[k]; ++k) {
            if (at(i + k * step) != text[k])
                return false;
        }
        return true;
    };
    // The first position at or after i where the text begins; -1 for none.
    auto find = [&](int i, const char *text) {
        for (; i < size; i += step) {
            if (startsAt(i, text))
                return i;
        }
        return -1;
    };
    int i = first;
    while (i < size) {
        const int open = find(i, "<");
        if (open < 0)
            return false;
        if (startsAt(open, "<!--")) {
            const int end = find(open + 4 * step, "-->");
            if (end < 0)
                return false;
            i = end + 3 * step;
        } else if (startsAt(open, "<?")) {
            const int end = find(open + 2 * step, "?>");
            if (end < 0)
                return false;
            i = end + 2 * step;
        } else {
            QByteArray head;
            for (int k = 0; k < 9; ++k)
                head.append(at(open + k * step));
            return head.toUpper() == "<!DOCTYPE";
        }
    }
    return false;
}

} // namespace Spreadsheet
