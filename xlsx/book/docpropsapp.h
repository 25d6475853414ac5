#ifndef SPREADSHEET_DOCPROPSAPP_H
#define SPREADSHEET_DOCPROPSAPP_H

//! \file docpropsapp.h
//! The application properties part, "docProps/app.xml": DocPropsApp.

#include "abstractooxmlfile.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QStringList>

namespace Spreadsheet {

//! "docProps/app.xml": the application, the sheets as heading pairs and part
//! titles, manager and company.
//!
//! The Document makes this part anew at every save from its document
//! properties (Document::setDocumentProperty()); programs set "manager" and
//! "company" there rather than here.
class DocPropsApp : public AbstractOOXmlFile
{
public:
    //! A part without titles, heading pairs or properties.
    explicit DocPropsApp(CreationMode mode);

    //! Appends a title to "TitlesOfParts" (the saver adds each sheet's name).
    void addPartTitle(const QString &title);
    //! Appends a heading pair to "HeadingPairs": a kind of part
    //! ("Worksheets") and how many of the part titles are of it.
    void addHeadingPair(const QString &name, int count);
    //! Sets "manager" or "company". False for a name this part does not hold; an empty value removes it.
    bool setProperty(const QString &name, const QString &value);
    //! The value of "manager" or "company"; empty when not set.
    QString property(const QString &name) const;
    //! The names of the properties set, in alphabetical order.
    QStringList propertyNames() const;

    //! Writes the part, with "Microsoft Excel" as its application.
    void writeXml(QIODevice *device) const override;
    //! Reads a loaded part's manager and company; what a save writes anew
    //! (the application, the sheets, the flags) is not kept, anything else
    //! is. False for malformed XML.
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
