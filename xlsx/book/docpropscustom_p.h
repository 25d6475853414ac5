#ifndef SPREADSHEET_DOCPROPSCUSTOM_P_H
#define SPREADSHEET_DOCPROPSCUSTOM_P_H

#include "abstractooxmlfile.h"

#include <QList>
#include <QVariant>

namespace Spreadsheet {

// A property of the document's own naming: a text, a number, a boolean or
// a date-time; one of another kind in a loaded part keeps its XML.
struct CustomProperty
{
    QString name;
    QVariant value;
    QByteArray keptValue;   // the value element of a kind the model does not know
};

// "docProps/custom.xml": the properties a document's author names.
class DocPropsCustom : public AbstractOOXmlFile
{
public:
    explicit DocPropsCustom(CreationMode mode) : AbstractOOXmlFile(mode) {}

    // Whether a value is of a kind the part writes.
    static bool isWritable(const QVariant &value);

    QList<CustomProperty> properties;

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCPROPSCUSTOM_P_H
