#include "drawinganchor.h"

#include <QtMath>

#include <climits>

namespace Spreadsheet {

namespace {

int toEmu(int pixels)
{
    return int(qBound<qint64>(INT_MIN, qint64(pixels) * DrawingAnchor::emuPerPixel, INT_MAX));
}

int toPixels(int emu)
{
    return int(qRound64(double(emu) / DrawingAnchor::emuPerPixel));
}

} // namespace

DrawingAnchor DrawingAnchor::oneCell(const CellAddress &from, const QPoint &offset, const QSize &size)
{
    DrawingAnchor anchor;
    anchor.m_kind = OneCell;
    anchor.m_from = from;
    anchor.m_fromOffset = QPoint(toEmu(offset.x()), toEmu(offset.y()));
    anchor.m_size = QSize(toEmu(size.width()), toEmu(size.height()));
    return anchor;
}

DrawingAnchor DrawingAnchor::twoCell(const CellAddress &from, const QPoint &fromOffset, const CellAddress &to,
                                     const QPoint &toOffset, const QSize &size)
{
    DrawingAnchor anchor;
    anchor.m_kind = TwoCell;
    anchor.m_from = from;
    anchor.m_fromOffset = QPoint(toEmu(fromOffset.x()), toEmu(fromOffset.y()));
    anchor.m_to = to;
    anchor.m_toOffset = QPoint(toEmu(toOffset.x()), toEmu(toOffset.y()));
    if (size.isValid())
        anchor.m_size = QSize(toEmu(size.width()), toEmu(size.height()));
    return anchor;
}

DrawingAnchor DrawingAnchor::absolute(const QPoint &position, const QSize &size)
{
    DrawingAnchor anchor;
    anchor.m_kind = Absolute;
    anchor.m_position = QPoint(toEmu(position.x()), toEmu(position.y()));
    anchor.m_size = QSize(toEmu(size.width()), toEmu(size.height()));
    return anchor;
}

bool DrawingAnchor::isValid() const
{
    switch (m_kind) {
    case OneCell:
        return m_from.isValid() && m_size.width() >= 0 && m_size.height() >= 0;
    case TwoCell:
        return m_from.isValid() && m_to.isValid();
    case Absolute:
        return m_size.width() >= 0 && m_size.height() >= 0;
    }
    return false;
}

QPoint DrawingAnchor::fromOffset() const
{
    return QPoint(toPixels(m_fromOffset.x()), toPixels(m_fromOffset.y()));
}

QPoint DrawingAnchor::toOffset() const
{
    return QPoint(toPixels(m_toOffset.x()), toPixels(m_toOffset.y()));
}

QPoint DrawingAnchor::position() const
{
    return QPoint(toPixels(m_position.x()), toPixels(m_position.y()));
}

QSize DrawingAnchor::size() const
{
    if (!m_size.isValid())
        return QSize();
    return QSize(toPixels(m_size.width()), toPixels(m_size.height()));
}

void DrawingAnchor::setFrom(const CellAddress &cell, const QPoint &offsetEmu)
{
    m_from = cell;
    m_fromOffset = offsetEmu;
}

void DrawingAnchor::setTo(const CellAddress &cell, const QPoint &offsetEmu)
{
    m_to = cell;
    m_toOffset = offsetEmu;
}

bool DrawingAnchor::operator==(const DrawingAnchor &other) const
{
    return m_kind == other.m_kind && m_from == other.m_from && m_to == other.m_to
        && m_fromOffset == other.m_fromOffset && m_toOffset == other.m_toOffset && m_position == other.m_position
        && m_size == other.m_size;
}

} // namespace Spreadsheet
