#ifndef SPREADSHEET_ABSTRACTSHEET_P_H
#define SPREADSHEET_ABSTRACTSHEET_P_H

#include "abstractooxmlfile_p.h"
#include "abstractsheet.h"
#include "drawing.h"

#include <QSharedPointer>

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
    QSharedPointer<Drawing> drawing;   // pictures and charts; null until the sheet has one
    // A loaded sheet whose part is kept as it came: the workbook's
    // relationship that names it, kept with its id.
    QString keptRelationshipId;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTSHEET_P_H
