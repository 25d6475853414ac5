#include "docpropscustom_p.h"

#include "keptxml_p.h"
#include "namespaces.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QDateTime>
#include <QXmlStreamWriter>

namespace Spreadsheet {

namespace {

// The format id every custom property carries.
const QString propertySet = QStringLiteral("{D5CDD505-2E9C-101B-9397-08002B2CF9AE}");

void writeValue(QXmlStreamWriter &writer, const QVariant &value)
{
    const QString vt = Namespace::docPropsVTypes;
    switch (value.type()) {
    case QVariant::Bool:
        writer.writeTextElement(vt, QStringLiteral("bool"), value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        break;
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong:
        if (value.toLongLong() >= INT_MIN && value.toLongLong() <= INT_MAX)
            writer.writeTextElement(vt, QStringLiteral("i4"), QString::number(value.toLongLong()));
        else
            writer.writeTextElement(vt, QStringLiteral("r8"), QString::number(value.toDouble(), 'g', 17));
        break;
    case QVariant::Double:
        writer.writeTextElement(vt, QStringLiteral("r8"), QString::number(value.toDouble(), 'g', 17));
        break;
    case QVariant::Date:
    case QVariant::DateTime:
        writer.writeTextElement(vt, QStringLiteral("filetime"),
                                value.toDateTime().toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
        break;
    default:
        writer.writeTextElement(vt, QStringLiteral("lpwstr"), validXmlText(value.toString()));
        break;
    }
}

bool isKnownKind(QLatin1String kind)
{
    static const char *const kinds[] = { "lpwstr", "lpstr", "bstr", "bool", "i1", "i2", "i4", "i8", "int", "ui1",
                                         "ui2", "ui4", "ui8", "uint", "r4", "r8", "decimal", "filetime", "date" };
    for (const char *known : kinds) {
        if (kind == QLatin1String(known))
            return true;
    }
    return false;
}

// A value element of a known kind as the model holds it; invalid when its
// text does not read as that kind.
QVariant valueOf(QLatin1String kind, const QString &text)
{
    bool ok = false;
    if (kind == "lpwstr" || kind == "lpstr" || kind == "bstr")
        return text;
    if (kind == "bool")
        return text == QLatin1String("true") || text == QLatin1String("1");
    if (kind == "i1" || kind == "i2" || kind == "i4" || kind == "i8" || kind == "int" || kind == "ui1"
        || kind == "ui2" || kind == "ui4" || kind == "ui8" || kind == "uint") {
        const qlonglong number = text.trimmed().toLongLong(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    if (kind == "r4" || kind == "r8" || kind == "decimal") {
        const double number = text.trimmed().toDouble(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    if (kind == "filetime" || kind == "date") {
        QDateTime dateTime = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        return dateTime.isValid() ? QVariant(dateTime) : QVariant();
    }
    return QVariant();
}

} // namespace

bool DocPropsCustom::isWritable(const QVariant &value)
{
    switch (value.type()) {
    case QVariant::Bool:
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong:
    case QVariant::Double:
    case QVariant::String:
        return true;
    case QVariant::Date:
    case QVariant::DateTime:
        return value.toDateTime().isValid();
    default:
        return false;
    }
}

void DocPropsCustom::writeXml(QIODevice *device) const
{
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("Properties"));
    writer.writeDefaultNamespace(Namespace::customProperties);
    writer.writeNamespace(Namespace::docPropsVTypes, QStringLiteral("vt"));
    int id = 2;   // the numbers below 2 are reserved
    for (const CustomProperty &property : properties) {
        writer.writeStartElement(QStringLiteral("property"));
        writer.writeAttribute(QStringLiteral("fmtid"), propertySet);
        writer.writeAttribute(QStringLiteral("pid"), QString::number(id++));
        writer.writeAttribute(QStringLiteral("name"), validXmlText(property.name));
        if (property.keptValue.isEmpty())
            writeValue(writer, property.value);
        else
            KeptXml::writeRaw(writer, property.keptValue);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
}

bool DocPropsCustom::readXml(QIODevice *device)
{
    clearReadError();
    properties.clear();
    XmlScanner scanner(device);
    while (scanner.next() != XmlScanner::EndOfDocument && !scanner.hasError()) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != 2
            || !scanner.is(XmlScanner::CustomProperties, "property"))
            continue;
        CustomProperty property;
        property.name = QString::fromUtf8(scanner.value("name"));
        // The property's one value element.
        const int depth = scanner.depth();
        while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
            if (scanner.token() != XmlScanner::StartElement)
                continue;
            const QLatin1String kind = scanner.localName();
            if (scanner.namespaceId() == XmlScanner::DocPropsVTypes && isKnownKind(kind))
                property.value = valueOf(kind, QString::fromUtf8(scanner.readElementText()));
            else
                property.keptValue = scanner.captureElement();
            break;
        }
        if (!property.name.isEmpty() && (property.value.isValid() || !property.keptValue.isEmpty()))
            properties.append(property);
    }
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    return true;
}

} // namespace Spreadsheet
