#ifndef SPREADSHEET_DOCPROPSCORE_H
#define SPREADSHEET_DOCPROPSCORE_H

#include "abstractooxmlfile.h"

#include <QMap>
#include <QStringList>

namespace Spreadsheet {

// "docProps/core.xml": title, subject, creator, keywords, description,
// category, status and the created and modified times.
class DocPropsCore : public AbstractOOXmlFile
{
public:
    explicit DocPropsCore(CreationMode mode);

    // False for a name this part does not hold; an empty value removes it.
    bool setProperty(const QString &name, const QString &value);
    QString property(const QString &name) const;
    QStringList propertyNames() const;

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    QMap<QString, QString> m_properties;
    QByteArray m_keptElements;   // of a loaded part: what it holds beyond the properties above
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCPROPSCORE_H
