#ifndef SPREADSHEET_DOCPROPSAPP_H
#define SPREADSHEET_DOCPROPSAPP_H

#include "abstractooxmlfile.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QStringList>

namespace Spreadsheet {

// "docProps/app.xml": the application, the sheets as heading pairs and part
// titles, manager and company.
class DocPropsApp : public AbstractOOXmlFile
{
public:
    explicit DocPropsApp(CreationMode mode);

    void addPartTitle(const QString &title);
    void addHeadingPair(const QString &name, int count);
    // False for a name this part does not hold; an empty value removes it.
    bool setProperty(const QString &name, const QString &value);
    QString property(const QString &name) const;
    QStringList propertyNames() const;

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    QByteArray m_keptElements;   // of a loaded part: what it holds beyond the properties above
    QStringList m_partTitles;
    QList<QPair<QString, int>> m_headingPairs;
    QMap<QString, QString> m_properties;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCPROPSAPP_H
