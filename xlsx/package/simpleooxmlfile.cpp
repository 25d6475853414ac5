#include "simpleooxmlfile.h"

#include <QIODevice>

namespace Spreadsheet {

SimpleOOXmlFile::SimpleOOXmlFile(CreationMode mode)
    : AbstractOOXmlFile(mode)
{
}

void SimpleOOXmlFile::writeXml(QIODevice *device) const
{
    device->write(m_bytes);
}

bool SimpleOOXmlFile::readXml(QIODevice *device)
{
    m_bytes = device->readAll();
    return true;
}

QByteArray SimpleOOXmlFile::toXmlBytes() const
{
    return m_bytes;
}

bool SimpleOOXmlFile::fromXmlBytes(const QByteArray &bytes)
{
    m_bytes = bytes;
    return true;
}

} // namespace Spreadsheet
