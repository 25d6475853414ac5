#ifndef SPREADSHEET_SHEETIMAGE_H
#define SPREADSHEET_SHEETIMAGE_H

#include "drawinganchor.h"

#include <QByteArray>
#include <QPointF>
#include <QSize>
#include <QString>

namespace Spreadsheet {

// How a picture goes onto a sheet: its offset from the cell's top-left
// corner, its size (the picture's own, scaled, or given), how it is anchored
// and its alternative text for screen readers.
struct ImagePlacement
{
    QPoint offset;                               // pixels
    double xScale = 1;
    double yScale = 1;
    QSize size;                                  // pixels; when valid, instead of the scaled own size
    DrawingAnchor::Kind anchor = DrawingAnchor::OneCell;
    QString description;
};

// A picture of a sheet: the bytes of its file as stored in the package, their
// kind, where it sits and its alternative text.
class SheetImage
{
public:
    enum Type { Png, Jpeg, Gif, Bmp, Other };   // Other: a kind only loaded workbooks bring (EMF, TIFF, ...)

    SheetImage() = default;
    SheetImage(const QByteArray &bytes, Type type, const DrawingAnchor &anchor, const QString &name,
               const QString &description, const QString &suffix = QString());

    QByteArray bytes() const { return m_bytes; }
    Type type() const { return m_type; }
    DrawingAnchor anchor() const { return m_anchor; }
    QString name() const { return m_name; }
    QString description() const { return m_description; }
    // The file-name suffix of its kind ("png", "jpeg", ...).
    QString suffix() const;

    // The kind of a picture file by its first bytes: Other when it is none of
    // PNG, JPEG, GIF and BMP.
    static Type typeOf(const QByteArray &bytes);
    // The size in pixels written in the file's header; invalid when the
    // header is not whole.
    static QSize pixelSize(const QByteArray &bytes, Type type);
    static QString suffixOf(Type type);
    static QString contentTypeOf(Type type);

private:
    QByteArray m_bytes;
    Type m_type = Other;
    DrawingAnchor m_anchor;
    QString m_name;
    QString m_description;
    QString m_suffix;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETIMAGE_H
