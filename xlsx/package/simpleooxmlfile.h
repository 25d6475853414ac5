#ifndef SPREADSHEET_SIMPLEOOXMLFILE_H
#define SPREADSHEET_SIMPLEOOXMLFILE_H

#include "abstractooxmlfile.h"

namespace Spreadsheet {

// A part kept byte for byte: parts of a loaded package that the writer does
// not interpret but must write back unchanged.
class SimpleOOXmlFile : public AbstractOOXmlFile
{
public:
    explicit SimpleOOXmlFile(CreationMode mode);

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;
    QByteArray toXmlBytes() const override;
    bool fromXmlBytes(const QByteArray &bytes) override;

private:
    QByteArray m_bytes;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SIMPLEOOXMLFILE_H
