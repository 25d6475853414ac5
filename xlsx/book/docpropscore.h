#ifndef SPREADSHEET_DOCPROPSCORE_H
#define SPREADSHEET_DOCPROPSCORE_H

//! \file docpropscore.h
//! The core properties part, "docProps/core.xml": DocPropsCore.

#include "abstractooxmlfile.h"

#include <QMap>
#include <QStringList>

namespace Spreadsheet {

//! "docProps/core.xml": title, subject, creator, keywords, description,
//! category, status and the created and modified times.
//!
//! The Document makes this part anew at every save from its document
//! properties (Document::setDocumentProperty()); programs set them there
//! rather than here.
class DocPropsCore : public AbstractOOXmlFile
{
public:
    //! A part without properties.
    explicit DocPropsCore(CreationMode mode);

    //! Sets one of "title", "subject", "keywords", "description", "category",
    //! "status", "creator" and "created" (an ISO 8601 date-time, "2024-05-02T09:30:00Z").
    //! False for a name this part does not hold, and for a "created" that is
    //! no ISO 8601 date-time; an empty value removes it.
    bool setProperty(const QString &name, const QString &value);
    //! The value of a property; empty when not set.
    QString property(const QString &name) const;
    //! The names of the properties set, in alphabetical order.
    QStringList propertyNames() const;

    //! Writes the part. The creator (also written as the last one to modify
    //! the workbook) is "QVR Datarium" unless set; the creation time is the
    //! time of writing unless set; the modification time is always the time
    //! of writing.
    void writeXml(QIODevice *device) const override;
    //! Reads a loaded part's properties; the times that a save writes anew
    //! (modified, last modified by) are read but not kept, any element it
    //! does not know is kept. False for malformed XML.
    bool readXml(QIODevice *device) override;

private:
    friend class DocumentLoader;
    friend class DocumentPrivate;
    QMap<QString, QString> m_properties;
    QByteArray m_keptElements;   // of a loaded part: what it holds beyond the properties above
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCPROPSCORE_H
