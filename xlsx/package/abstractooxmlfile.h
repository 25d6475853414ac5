#ifndef SPREADSHEET_ABSTRACTOOXMLFILE_H
#define SPREADSHEET_ABSTRACTOOXMLFILE_H

//! \file abstractooxmlfile.h
//! The base of every XML part of a package: AbstractOOXmlFile.

#include <QByteArray>
#include <QString>

class QIODevice;

namespace Spreadsheet {

class AbstractOOXmlFilePrivate;
class Relationships;

//! The base of every XML part of a spreadsheet package: its XML (both ways),
//! its path in the package and the relationships whose source it is.
//!
//! Programs meet it as the base of Workbook, the sheets and Chart; the
//! Document writes and reads the parts, so that calling writeXml() or
//! readXml() directly is rarely needed.
class AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(AbstractOOXmlFile)

public:
    //! Whether a part starts empty, to be read, or as a new document's part.
    enum CreationMode {
        NewFromScratch,   //!< A part of a new document: derived parts add their defaults.
        LoadExisting      //!< A part to be filled from an existing package.
    };

    //! Destroys the part and its relationships.
    virtual ~AbstractOOXmlFile();

    //! Writes the part's XML document to the device, which must be open for writing.
    virtual void writeXml(QIODevice *device) const = 0;
    //! Reads the part's XML document from the device, which must be open for
    //! reading; false, with errorString() saying why, when it cannot be read.
    virtual bool readXml(QIODevice *device) = 0;
    //! The part's XML document as writeXml() writes it.
    virtual QByteArray toXmlBytes() const;
    //! Reads the part from its XML document as readXml() does; false when it
    //! cannot be read.
    virtual bool fromXmlBytes(const QByteArray &bytes);
    //! Why the last read failed (for a workbook, also its last calculation);
    //! empty after one that succeeded.
    QString errorString() const;

    //! Sets the part's path in the package ("xl/worksheets/sheet1.xml"),
    //! without a leading "/"; saving sets it for the parts it names.
    void setPartPath(const QString &path);
    //! The part's path in the package; empty for a part not yet saved or loaded.
    QString partPath() const;
    //! The relationships whose source this part is; never null, owned by the part.
    Relationships *relationships() const;
    //! Whether the part was made new or to be read from a package.
    CreationMode creationMode() const;

protected:
    //! A part of the given mode, with a private record of the base's own.
    explicit AbstractOOXmlFile(CreationMode mode);
    //! A part whose derived class brings its private record, which the part
    //! then owns.
    explicit AbstractOOXmlFile(AbstractOOXmlFilePrivate *d);
    //! Records why a read failed; false, for the reader to return. The first
    //! reason given since clearReadError() stays.
    bool readFailed(const QString &reason);
    //! Forgets the reason of an earlier failure, as a read begins.
    void clearReadError();

    //! The private record of the part and of its derived class.
    AbstractOOXmlFilePrivate *d_ptr;

private:
    Q_DISABLE_COPY(AbstractOOXmlFile)
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTOOXMLFILE_H
