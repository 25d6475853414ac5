#include "sheetcell.h"
#include "utility.h"
#include "workbook.h"
#include "worksheet.h"

namespace Spreadsheet {

SheetCell::SheetCell(const QVariant &value, CellKind kind, const Format &format, Worksheet *worksheet)
    : m_value(value), m_kind(kind), m_format(format), m_worksheet(nullptr)
{
    setWorksheet(worksheet);
}

void SheetCell::setWorksheet(Worksheet *worksheet)
{
    m_worksheet = worksheet;
    m_date1904 = worksheet && worksheet->workbook() && worksheet->workbook()->isDate1904();
}

bool SheetCell::isRichString() const
{
    return (m_kind == CellKind::SharedString || m_kind == CellKind::InlineString
            || m_kind == CellKind::FormulaString)
        && m_richString.isRichString();
}

bool SheetCell::isDateTime() const
{
    if (m_value.userType() == QMetaType::QDateTime)
        return true;   // a date the package wrote as a date
    return m_kind == CellKind::Number && m_value.isValid() && isDateSerial(m_value.toDouble(), m_date1904)
        && m_format.isValid() && m_format.isDateTimeFormat();
}

QDateTime SheetCell::dateTime() const
{
    if (!isDateTime())
        return QDateTime();
    if (m_value.userType() == QMetaType::QDateTime)
        return m_value.toDateTime();
    return serialToDateTime(m_value.toDouble(), m_date1904);
}

} // namespace Spreadsheet
