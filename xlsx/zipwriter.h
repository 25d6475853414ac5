#ifndef SPREADSHEET_ZIPWRITER_H
#define SPREADSHEET_ZIPWRITER_H

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;
class QZipWriter;

namespace Spreadsheet {

// The ZIP container of a package, over Qt's own ZIP writer; entries are
// compressed where that pays.
class ZipWriter
{
public:
    explicit ZipWriter(QIODevice *device);
    ~ZipWriter();

    bool error() const;
    void addFile(const QString &name, const QByteArray &data);
    void addFile(const QString &name, QIODevice *device);
    void close();

private:
    std::unique_ptr<QZipWriter> m_writer;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ZIPWRITER_H
