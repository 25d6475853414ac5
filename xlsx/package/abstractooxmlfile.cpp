#include "abstractooxmlfile.h"
#include "abstractooxmlfile_p.h"

#include <QBuffer>

namespace Spreadsheet {

AbstractOOXmlFile::AbstractOOXmlFile(CreationMode mode)
    : d_ptr(new AbstractOOXmlFilePrivate(this, mode))
{
}

AbstractOOXmlFile::AbstractOOXmlFile(AbstractOOXmlFilePrivate *d)
    : d_ptr(d)
{
}

AbstractOOXmlFile::~AbstractOOXmlFile()
{
    delete d_ptr;
}

QByteArray AbstractOOXmlFile::toXmlBytes() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeXml(&buffer);
    return bytes;
}

bool AbstractOOXmlFile::fromXmlBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readXml(&buffer);
}

void AbstractOOXmlFile::setPartPath(const QString &path)
{
    d_ptr->partPath = path;
}

QString AbstractOOXmlFile::partPath() const
{
    return d_ptr->partPath;
}

Relationships *AbstractOOXmlFile::relationships() const
{
    return d_ptr->relationships.get();
}

QString AbstractOOXmlFile::errorString() const
{
    return d_ptr->readError;
}

bool AbstractOOXmlFile::readFailed(const QString &reason)
{
    if (d_ptr->readError.isEmpty())
        d_ptr->readError = reason;
    return false;
}

void AbstractOOXmlFile::clearReadError()
{
    d_ptr->readError.clear();
}

AbstractOOXmlFile::CreationMode AbstractOOXmlFile::creationMode() const
{
    return d_ptr->creationMode;
}

} // namespace Spreadsheet
