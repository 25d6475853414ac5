#ifndef SPREADSHEET_DRAWINGANCHOR_H
#define SPREADSHEET_DRAWINGANCHOR_H

//! \file drawinganchor.h
//! Where a picture or chart sits on a sheet: DrawingAnchor.

#include "celladdress.h"

#include <QPoint>
#include <QSize>

namespace Spreadsheet {

//! Where a picture or chart sits on a sheet: with its top-left corner in a
//! cell (it moves with the cells, keeping its size), between two cells (it
//! moves and sizes with them) or at a fixed place. Offsets and sizes are
//! pixels at 96 dots per inch; the file keeps English Metric Units (EMU,
//! 9525 to a pixel), which the Emu accessors give unrounded.
//!
//! Offsets are from the top-left corner of their cell. Pixel values are
//! turned into EMU as they are set, clamped to what 32 bits hold, and
//! rounded to the nearest pixel as they are read.
//!
//! \code
//! const Spreadsheet::SheetImage picture = sheet->images().value(0);
//! const Spreadsheet::DrawingAnchor anchor = picture.anchor();
//! if (anchor.kind() == Spreadsheet::DrawingAnchor::TwoCell)
//!     qDebug() << anchor.from().toText() << anchor.to().toText();
//! \endcode
class DrawingAnchor
{
public:
    //! How the drawing is tied to the cells.
    enum Kind { OneCell, TwoCell, Absolute };
    //! \var OneCell
    //! The top-left corner in a cell: the drawing moves with the cells and
    //! keeps its size.
    //! \var TwoCell
    //! The corners in two cells: the drawing moves and sizes with the cells.
    //! \var Absolute
    //! A fixed place on the sheet, whatever the cells do.

    //! English Metric Units in one pixel at 96 dots per inch.
    static constexpr qint64 emuPerPixel = 9525;

    //! An invalid one-cell anchor, of no cell and no size.
    DrawingAnchor() = default;
    //! A one-cell anchor: the top-left corner at an offset in pixels from
    //! the cell's corner, and a size in pixels.
    static DrawingAnchor oneCell(const CellAddress &from, const QPoint &offset, const QSize &size);
    //! A two-cell anchor: the top-left corner at an offset from one cell, the
    //! bottom-right corner at an offset from another, in pixels; the size,
    //! when valid, is kept beside them.
    static DrawingAnchor twoCell(const CellAddress &from, const QPoint &fromOffset, const CellAddress &to,
                                 const QPoint &toOffset, const QSize &size = QSize());
    //! An absolute anchor: the top-left corner at a position in pixels from
    //! the sheet's top-left corner, and a size in pixels.
    static DrawingAnchor absolute(const QPoint &position, const QSize &size);

    //! How the drawing is tied to the cells.
    Kind kind() const { return m_kind; }
    //! Whether the anchor places a drawing: a one-cell anchor needs a valid
    //! cell and a size not below 0, a two-cell anchor two valid cells, an
    //! absolute anchor a size not below 0.
    bool isValid() const;
    //! The cell of the top-left corner (one-cell and two-cell anchors).
    CellAddress from() const { return m_from; }
    //! The cell of the bottom-right corner (two-cell anchors).
    CellAddress to() const { return m_to; }
    //! The top-left corner's offset from its cell, in pixels.
    QPoint fromOffset() const;
    //! The bottom-right corner's offset from its cell, in pixels.
    QPoint toOffset() const;
    //! The top-left corner of an absolute anchor, in pixels from the sheet's corner.
    QPoint position() const;
    //! The drawing's size in pixels.
    //! The extent; for a two-cell anchor the one the file gave, if any (an
    //! invalid size where it gave none).
    QSize size() const;

    //! The top-left corner's offset from its cell, in EMU.
    QPoint fromOffsetEmu() const { return m_fromOffset; }
    //! The bottom-right corner's offset from its cell, in EMU.
    QPoint toOffsetEmu() const { return m_toOffset; }
    //! The top-left corner of an absolute anchor, in EMU.
    QPoint positionEmu() const { return m_position; }
    //! The drawing's size in EMU.
    QSize sizeEmu() const { return m_size; }
    //! Sets how the drawing is tied to the cells, leaving the rest.
    void setKind(Kind kind) { m_kind = kind; }
    //! Sets the cell of the top-left corner and its offset in EMU.
    void setFrom(const CellAddress &cell, const QPoint &offsetEmu);
    //! Sets the cell of the bottom-right corner and its offset in EMU.
    void setTo(const CellAddress &cell, const QPoint &offsetEmu);
    //! Sets the top-left corner of an absolute anchor, in EMU.
    void setPositionEmu(const QPoint &position) { m_position = position; }
    //! Sets the drawing's size, in EMU.
    void setSizeEmu(const QSize &size) { m_size = size; }

    //! Whether the anchors have the same kind, cells, offsets, position and size.
    bool operator==(const DrawingAnchor &other) const;
    //! Whether the anchors differ in anything.
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
