#ifndef SPREADSHEET_KEPTXML_P_H
#define SPREADSHEET_KEPTXML_P_H

#include <QByteArray>
#include <QString>
#include <QVector>

#include <initializer_list>

class QXmlStreamWriter;

namespace Spreadsheet {

class XmlScanner;

// What a loaded part holds that the model does not, kept to be written back:
// attributes by their qualified names (namespace declarations among them,
// so that what is kept still means what it meant), and whole elements as
// the bytes they were written in.
struct KeptAttribute
{
    QString name;    // qualified, as written
    QString value;   // decoded
};
using KeptAttributes = QVector<KeptAttribute>;

namespace KeptXml {

// The current element's attributes but those of the given qualified names.
KeptAttributes attributes(const XmlScanner &scanner, std::initializer_list<const char *> except = {});
// The same as the raw text of a start tag's attributes (" a=\"1\" b=\"2\""),
// for the many rows and cells that may carry them.
QByteArray rawAttributes(const XmlScanner &scanner, std::initializer_list<const char *> except = {});
void writeAttributes(QXmlStreamWriter &writer, const KeptAttributes &attributes);
// Bytes written as they are at the writer's place: inside the current
// element (whose start tag is closed first) or after it.
void writeRaw(QXmlStreamWriter &writer, const QByteArray &bytes);

} // namespace KeptXml

} // namespace Spreadsheet

#endif // SPREADSHEET_KEPTXML_P_H
