#ifndef SPREADSHEET_DRAWINGANCHOR_H
#define SPREADSHEET_DRAWINGANCHOR_H

#include "celladdress.h"

#include <QPoint>
#include <QSize>

namespace Spreadsheet {

// Where a picture or chart sits on a sheet: with its top-left corner in a
// cell (it moves with the cells, keeping its size), between two cells (it
// moves and sizes with them) or at a fixed place. Offsets and sizes are
// pixels at 96 dots per inch; the file keeps English Metric Units (EMU,
// 9525 to a pixel), which the Emu accessors give unrounded.
class DrawingAnchor
{
public:
    enum Kind { OneCell, TwoCell, Absolute };
    static constexpr qint64 emuPerPixel = 9525;

    DrawingAnchor() = default;
    static DrawingAnchor oneCell(const CellAddress &from, const QPoint &offset, const QSize &size);
    static DrawingAnchor twoCell(const CellAddress &from, const QPoint &fromOffset, const CellAddress &to,
                                 const QPoint &toOffset, const QSize &size = QSize());
    static DrawingAnchor absolute(const QPoint &position, const QSize &size);

    Kind kind() const { return m_kind; }
    bool isValid() const;
    CellAddress from() const { return m_from; }
    CellAddress to() const { return m_to; }
    QPoint fromOffset() const;
    QPoint toOffset() const;
    QPoint position() const;
    // The extent; for a two-cell anchor the one the file gave, if any.
    QSize size() const;

    QPoint fromOffsetEmu() const { return m_fromOffset; }
    QPoint toOffsetEmu() const { return m_toOffset; }
    QPoint positionEmu() const { return m_position; }
    QSize sizeEmu() const { return m_size; }
    void setKind(Kind kind) { m_kind = kind; }
    void setFrom(const CellAddress &cell, const QPoint &offsetEmu);
    void setTo(const CellAddress &cell, const QPoint &offsetEmu);
    void setPositionEmu(const QPoint &position) { m_position = position; }
    void setSizeEmu(const QSize &size) { m_size = size; }

    bool operator==(const DrawingAnchor &other) const;
    bool operator!=(const DrawingAnchor &other) const { return !(*this == other); }

private:
    Kind m_kind = OneCell;
    CellAddress m_from;
    CellAddress m_to;
    QPoint m_fromOffset;   // EMU, each coordinate within 32 bits as the file allows
    QPoint m_toOffset;
    QPoint m_position;
    QSize m_size;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DRAWINGANCHOR_H
