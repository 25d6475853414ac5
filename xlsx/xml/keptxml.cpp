#include "keptxml_p.h"

#include "utility.h"
#include "xmlscanner_p.h"

#include <QIODevice>
#include <QXmlStreamWriter>

namespace Spreadsheet {
namespace KeptXml {

namespace {

bool excluded(QLatin1String name, std::initializer_list<const char *> except)
{
    for (const char *other : except) {
        if (name == QLatin1String(other))
            return true;
    }
    return false;
}

} // namespace

KeptAttributes attributes(const XmlScanner &scanner, std::initializer_list<const char *> except)
{
    KeptAttributes kept;
    for (int i = 0; i < scanner.attributeCount(); ++i) {
        const XmlScanner::Attribute &attribute = scanner.attribute(i);
        if (!excluded(attribute.qualifiedName, except))
            kept.append({ QString(attribute.qualifiedName), QString::fromUtf8(XmlScanner::decoded(attribute)) });
    }
    return kept;
}

QByteArray rawAttributes(const XmlScanner &scanner, std::initializer_list<const char *> except)
{
    QByteArray raw;
    for (int i = 0; i < scanner.attributeCount(); ++i) {
        const XmlScanner::Attribute &attribute = scanner.attribute(i);
        if (excluded(attribute.qualifiedName, except))
            continue;
        // Re-quoted with double quotes: a value that holds one keeps it escaped.
        QByteArray value(attribute.rawValue.data(), attribute.rawValue.size());
        value.replace('"', "&quot;");
        raw += ' ' + QByteArray(attribute.qualifiedName.data(), attribute.qualifiedName.size()) + "=\"" + value + '"';
    }
    return raw;
}

void writeAttributes(QXmlStreamWriter &writer, const KeptAttributes &attributes)
{
    for (const KeptAttribute &attribute : attributes)
        writer.writeAttribute(attribute.name, validXmlText(attribute.value));
}

void writeRaw(QXmlStreamWriter &writer, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    writer.writeCharacters(QString());
    writer.device()->write(bytes);
}

} // namespace KeptXml
} // namespace Spreadsheet
