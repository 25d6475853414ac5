#ifndef SPREADSHEET_ABSTRACTOOXMLFILE_P_H
#define SPREADSHEET_ABSTRACTOOXMLFILE_P_H

#include "abstractooxmlfile.h"
#include "relationships.h"

#include <memory>

namespace Spreadsheet {

class AbstractOOXmlFilePrivate
{
    Q_DECLARE_PUBLIC(AbstractOOXmlFile)

public:
    AbstractOOXmlFilePrivate(AbstractOOXmlFile *q, AbstractOOXmlFile::CreationMode mode)
        : creationMode(mode), q_ptr(q) {}
    virtual ~AbstractOOXmlFilePrivate() = default;

    QString partPath;
    std::unique_ptr<Relationships> relationships = std::make_unique<Relationships>();
    AbstractOOXmlFile::CreationMode creationMode;
    QString readError;
    AbstractOOXmlFile *q_ptr;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTOOXMLFILE_P_H
