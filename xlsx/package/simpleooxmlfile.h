#ifndef SPREADSHEET_SIMPLEOOXMLFILE_H
#define SPREADSHEET_SIMPLEOOXMLFILE_H

//! \file simpleooxmlfile.h
//! Parts kept byte for byte: SimpleOOXmlFile.

#include "abstractooxmlfile.h"

namespace Spreadsheet {

//! A part kept byte for byte: parts of a loaded package that the writer does
//! not interpret but must write back unchanged. Reading takes every byte as
//! it comes and never fails; writing gives them back.
class SimpleOOXmlFile : public AbstractOOXmlFile
{
public:
    //! An empty part.
    explicit SimpleOOXmlFile(CreationMode mode);

    //! Writes the bytes read, unchanged.
    void writeXml(QIODevice *device) const override;
    //! Takes every byte the device holds; always true.
    bool readXml(QIODevice *device) override;
    //! The bytes read.
    QByteArray toXmlBytes() const override;
    //! Takes the bytes as they are; always true.
    bool fromXmlBytes(const QByteArray &bytes) override;

private:
    QByteArray m_bytes;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SIMPLEOOXMLFILE_H
