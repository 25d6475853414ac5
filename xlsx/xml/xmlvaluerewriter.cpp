#include "xmlvaluerewriter_p.h"

#include "rawxml_p.h"
#include "xmlscanner_p.h"

#include <QVector>

#include <vector>

namespace Spreadsheet {

namespace {

struct Splice
{
    qint64 offset;
    int size;
    QByteArray replacement;
};

QByteArray escaped(const QString &value, bool attribute)
{
    const QByteArray utf8 = value.toUtf8();
    QByteArray out;
    RawXml::appendEscapedUtf8(out, utf8.constData(), utf8.size(), attribute);
    if (attribute)
        out.replace('\'', "&apos;");
    return out;
}

} // namespace

QByteArray rewriteXmlValues(const QByteArray &bytes, const QByteArray &namespaces,
                            const std::function<bool(const XmlValue &where, QString &value)> &change)
{
    const bool wrapped = !namespaces.isEmpty();
    const QByteArray opening = wrapped ? "<wrapper" + namespaces + '>' : QByteArray();
    XmlScanner scanner(wrapped ? opening + bytes + "</wrapper>" : bytes);
    std::vector<Splice> splices;
    QVector<QByteArray> open;   // local names of the open elements
    QVector<int> openNamespaces;
    int textOwner = -1;         // depth of the element whose text comes next
    while (scanner.next() != XmlScanner::EndOfDocument) {
        if (scanner.hasError())
            return bytes;
        if (scanner.token() == XmlScanner::StartElement) {
            const QByteArray element(scanner.localName().data(), scanner.localName().size());
            const QLatin1String parent = open.isEmpty() ? QLatin1String() : QLatin1String(open.last());
            for (int i = 0; i < scanner.attributeCount(); ++i) {
                const XmlScanner::Attribute &attribute = scanner.attribute(i);
                if (attribute.qualifiedName.startsWith(QLatin1String("xmlns")))
                    continue;
                QString value = QString::fromUtf8(XmlScanner::decoded(attribute));
                const XmlValue where{ scanner.namespaceId(), scanner.localName(), parent, attribute.localName };
                if (change(where, value))
                    splices.push_back({ scanner.offsetOf(attribute.rawValue.data()), attribute.rawValue.size(),
                                        escaped(value, true) });
            }
            open.append(element);
            openNamespaces.append(scanner.namespaceId());
            textOwner = scanner.isEmptyElement() ? -1 : scanner.depth();
        } else if (scanner.token() == XmlScanner::EndElement) {
            if (!open.isEmpty()) {
                open.removeLast();
                openNamespaces.removeLast();
            }
            textOwner = -1;
        } else if (scanner.token() == XmlScanner::Text && textOwner == open.size() && !scanner.isCdataText()) {
            const QLatin1String element(open.last());
            const QLatin1String parent = open.size() > 1 ? QLatin1String(open.at(open.size() - 2)) : QLatin1String();
            QString value = QString::fromUtf8(scanner.text());
            if (change(XmlValue{ openNamespaces.last(), element, parent, QLatin1String() }, value))
                splices.push_back({ scanner.rawTextOffset(), scanner.rawTextSize(), escaped(value, false) });
        }
    }
    if (splices.empty())
        return bytes;
    QByteArray result;
    result.reserve(bytes.size() + 64);
    qint64 from = 0;
    for (const Splice &splice : splices) {
        const qint64 at = splice.offset - opening.size();
        result.append(bytes.constData() + from, int(at - from)).append(splice.replacement);
        from = at + splice.size;
    }
    result.append(bytes.constData() + from, int(bytes.size() - from));
    return result;
}

} // namespace Spreadsheet
