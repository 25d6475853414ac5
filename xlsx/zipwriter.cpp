#include "zipwriter.h"

#include <private/qzipwriter_p.h>

namespace Spreadsheet {

ZipWriter::ZipWriter(QIODevice *device)
    : m_writer(std::make_unique<QZipWriter>(device))
{
    m_writer->setCompressionPolicy(QZipWriter::AutoCompress);
}

ZipWriter::~ZipWriter() = default;

bool ZipWriter::error() const
{
    return m_writer->status() != QZipWriter::NoError;
}

void ZipWriter::addFile(const QString &name, const QByteArray &data)
{
    m_writer->addFile(name, data);
}

void ZipWriter::addFile(const QString &name, QIODevice *device)
{
    m_writer->addFile(name, device);
}

void ZipWriter::close()
{
    m_writer->close();
}

} // namespace Spreadsheet
