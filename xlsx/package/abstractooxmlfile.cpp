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

AbstractOOXmlFile::CreationMode AbstractOOXmlFile::creationMode() const
{
    return d_ptr->creationMode;
}

} // namespace Spreadsheet
