#include "cellarea.h"

#include <QStringList>

namespace Spreadsheet {

CellArea::CellArea(const QString &text)
{
    const QStringList corners = text.split(QLatin1Char(':'));
    const CellAddress topLeft(corners.first());
    const CellAddress bottomRight = corners.size() == 2 ? CellAddress(corners.at(1)) : topLeft;
    // Text that is no cell names no area.
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    *this = CellArea(topLeft, bottomRight);
}

QString CellArea::toText(bool rowAbsolute, bool columnAbsolute) const
{
    if (!isValid())
        return QString();
    const QString first = topLeft().toText(rowAbsolute, columnAbsolute);
    if (m_top == m_bottom && m_left == m_right)
        return first;
    return first + QLatin1Char(':') + bottomRight().toText(rowAbsolute, columnAbsolute);
}

} // namespace Spreadsheet
