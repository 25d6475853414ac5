#ifndef SPREADSHEET_CHARTSHEET_P_H
#define SPREADSHEET_CHARTSHEET_P_H

#include "abstractsheet_p.h"
#include "chart.h"
#include "chartsheet.h"

namespace Spreadsheet {

class ChartsheetPrivate : public AbstractSheetPrivate
{
public:
    ChartsheetPrivate(Chartsheet *q, AbstractOOXmlFile::CreationMode mode, Workbook *workbook, const QString &name,
                      int sheetId)
        : AbstractSheetPrivate(q, mode, workbook, name, sheetId, AbstractSheet::ChartSheet) {}

    QSharedPointer<Chart> chart;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CHARTSHEET_P_H
