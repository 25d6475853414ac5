#include "sheetcell.h"
#include "utility.h"
#include "workbook.h"
#include "worksheet.h"

namespace Spreadsheet {

bool SheetCell::isRichString() const
{
    return (m_kind == CellKind::SharedString || m_kind == CellKind::InlineString
            || m_kind == CellKind::FormulaString)
        && m_richString.isRichString();
}

bool SheetCell::isDateTime() const
{
    return m_kind == CellKind::Number && m_value.isValid() && m_value.toDouble() >= 0 && m_format.isValid()
        && m_format.isDateTimeFormat();
}

QDateTime SheetCell::dateTime() const
{
    if (!isDateTime())
        return QDateTime();
    const bool is1904 = m_worksheet && m_worksheet->workbook() && m_worksheet->workbook()->isDate1904();
    return serialToDateTime(m_value.toDouble(), is1904);
}

} // namespace Spreadsheet
