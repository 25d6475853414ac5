#ifndef SPREADSHEET_ABSTRACTSHEET_P_H
#define SPREADSHEET_ABSTRACTSHEET_P_H

#include "abstractooxmlfile_p.h"
#include "abstractsheet.h"

namespace Spreadsheet {

class AbstractSheetPrivate : public AbstractOOXmlFilePrivate
{
    Q_DECLARE_PUBLIC(AbstractSheet)

public:
    AbstractSheetPrivate(AbstractSheet *q, AbstractOOXmlFile::CreationMode mode, Workbook *workbook,
                         const QString &name, int sheetId, AbstractSheet::SheetType type)
        : AbstractOOXmlFilePrivate(q, mode), workbook(workbook), name(name), sheetId(sheetId), type(type) {}

    Workbook *workbook;
    QString name;
    int sheetId;
    AbstractSheet::SheetState state = AbstractSheet::Visible;
    AbstractSheet::SheetType type;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTSHEET_P_H
