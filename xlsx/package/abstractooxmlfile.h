#ifndef SPREADSHEET_ABSTRACTOOXMLFILE_H
#define SPREADSHEET_ABSTRACTOOXMLFILE_H

#include <QByteArray>
#include <QString>

class QIODevice;

namespace Spreadsheet {

class AbstractOOXmlFilePrivate;
class Relationships;

// The base of every XML part of a spreadsheet package: its XML (both ways),
// its path in the package and the relationships whose source it is.
class AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(AbstractOOXmlFile)

public:
    enum CreationMode {
        NewFromScratch,   // a part of a new document: derived parts add their defaults
        LoadExisting      // a part to be filled from an existing package
    };

    virtual ~AbstractOOXmlFile();

    virtual void writeXml(QIODevice *device) const = 0;
    virtual bool readXml(QIODevice *device) = 0;
    virtual QByteArray toXmlBytes() const;
    virtual bool fromXmlBytes(const QByteArray &bytes);
    // Why the last read failed (for a workbook, also its last calculation);
    // empty after one that succeeded.
    QString errorString() const;

    void setPartPath(const QString &path);
    QString partPath() const;
    Relationships *relationships() const;
    CreationMode creationMode() const;

protected:
    explicit AbstractOOXmlFile(CreationMode mode);
    explicit AbstractOOXmlFile(AbstractOOXmlFilePrivate *d);
    // Records why a read failed; false, for the reader to return.
    bool readFailed(const QString &reason);
    void clearReadError();

    AbstractOOXmlFilePrivate *d_ptr;

private:
    Q_DISABLE_COPY(AbstractOOXmlFile)
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTOOXMLFILE_H
