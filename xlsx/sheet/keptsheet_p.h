#ifndef SPREADSHEET_KEPTSHEET_P_H
#define SPREADSHEET_KEPTSHEET_P_H

#include "abstractsheet.h"
#include "abstractsheet_p.h"

namespace Spreadsheet {

// A sheet of a loaded workbook that the model keeps as it came: its part and
// everything it points at stay in the package unchanged, and the workbook
// lists it under its name and relationship as before. It can be renamed,
// hidden, moved and deleted, not copied.
class KeptSheet : public AbstractSheet
{
public:
    KeptSheet(const QString &name, int sheetId, Workbook *workbook, SheetType type, const QString &relationshipId)
        : AbstractSheet(keptPrivate(this, name, sheetId, workbook, type, relationshipId))
    {
    }

    void writeXml(QIODevice *) const override {}
    bool readXml(QIODevice *) override { return true; }

    static AbstractSheetPrivate *keptPrivate(AbstractSheet *q, const QString &name, int sheetId, Workbook *workbook,
                                             SheetType type, const QString &relationshipId)
    {
        auto *d = new AbstractSheetPrivate(q, LoadExisting, workbook, name, sheetId, type);
        d->keptRelationshipId = relationshipId;
        return d;
    }

protected:
    AbstractSheet *copy(const QString &, int) const override { return nullptr; }
};

} // namespace Spreadsheet

#endif // SPREADSHEET_KEPTSHEET_P_H
