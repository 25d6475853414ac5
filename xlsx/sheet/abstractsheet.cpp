#include "abstractsheet.h"
#include "abstractsheet_p.h"
#include "workbook.h"

namespace Spreadsheet {

AbstractSheet::AbstractSheet(AbstractSheetPrivate *d)
    : AbstractOOXmlFile(d)
{
}

QString AbstractSheet::sheetName() const
{
    Q_D(const AbstractSheet);
    return d->name;
}

void AbstractSheet::setSheetName(const QString &name)
{
    Q_D(AbstractSheet);
    d->name = name;
}

int AbstractSheet::sheetId() const
{
    Q_D(const AbstractSheet);
    return d->sheetId;
}

AbstractSheet::SheetType AbstractSheet::sheetType() const
{
    Q_D(const AbstractSheet);
    return d->type;
}

AbstractSheet::SheetState AbstractSheet::sheetState() const
{
    Q_D(const AbstractSheet);
    return d->state;
}

// A workbook must show at least one sheet: the last visible one is not hidden.
void AbstractSheet::setSheetState(SheetState state)
{
    Q_D(AbstractSheet);
    if (state != Visible && d->state == Visible && d->workbook) {
        int visible = 0;
        for (int i = 0; i < d->workbook->sheetCount(); ++i)
            visible += d->workbook->sheet(i)->isVisible();
        if (visible <= 1)
            return;
    }
    d->state = state;
}

bool AbstractSheet::isHidden() const
{
    return sheetState() != Visible;
}

bool AbstractSheet::isVisible() const
{
    return !isHidden();
}

void AbstractSheet::setHidden(bool hidden)
{
    setSheetState(hidden ? Hidden : Visible);
}

void AbstractSheet::setVisible(bool visible)
{
    setHidden(!visible);
}

Workbook *AbstractSheet::workbook() const
{
    Q_D(const AbstractSheet);
    return d->workbook;
}

} // namespace Spreadsheet
