#ifndef SPREADSHEET_XMLVALUEREWRITER_P_H
#define SPREADSHEET_XMLVALUEREWRITER_P_H

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <functional>

namespace Spreadsheet {

// One value of an XML text: an attribute's, or the text of an element that
// holds only text; with the element it stands in and that element's parent.
struct XmlValue
{
    int elementNamespace;        // XmlScanner's namespace number
    QLatin1String element;       // local name
    QLatin1String parent;        // local name; empty at the top
    QLatin1String attribute;     // local name; empty for an element's text
};

// What becomes of a value: it stays, it is replaced, or the element it
// stands in (or that element's parent) goes with it.
enum class XmlValueChange { Same, Replaced, RemoveElement, RemoveParent };

// Replaced when the value differs from what it was.
inline XmlValueChange replacedIf(bool changed)
{
    return changed ? XmlValueChange::Replaced : XmlValueChange::Same;
}

// Rewrites values of XML bytes in place: every byte but the changed values
// stays as it was written, so what a program wrote keeps its prefixes,
// order and layout. The bytes are an element read under the namespace
// declarations given (as the raw attributes of a start tag), or a whole
// part when they are empty (one in UTF-16 comes back in UTF-8 when it
// changes). The bytes come back unchanged when they do not read as XML.
QByteArray rewriteXmlValues(const QByteArray &bytes, const QByteArray &namespaces,
                            const std::function<XmlValueChange(const XmlValue &where, QString &value)> &change);

} // namespace Spreadsheet

#endif // SPREADSHEET_XMLVALUEREWRITER_P_H
