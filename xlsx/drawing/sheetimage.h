#ifndef SPREADSHEET_SHEETIMAGE_H
#define SPREADSHEET_SHEETIMAGE_H

//! \file sheetimage.h
//! Pictures of a sheet and how they go onto it: SheetImage, ImagePlacement.

#include "drawinganchor.h"

#include <QByteArray>
#include <QPointF>
#include <QSize>
#include <QString>

namespace Spreadsheet {

//! How a picture goes onto a sheet: its offset from the cell's top-left
//! corner, its size (the picture's own, scaled, or given), how it is anchored
//! and its alternative text for screen readers.
//!
//! \code
//! Spreadsheet::ImagePlacement placement;
//! placement.offset = QPoint(4, 4);                          // pixels from the cell's corner
//! placement.size = QSize(120, 80);                         // pixels, whatever the picture's own
//! placement.anchor = Spreadsheet::DrawingAnchor::TwoCell;
//! placement.description = QStringLiteral("Lab logo");
//! document.insertImage(1, 5, QImage(QStringLiteral("logo.png")), placement);
//! \endcode
//! \sa Worksheet::insertImage()
struct ImagePlacement
{
    QPoint offset;                               //!< Pixels from the cell's top-left corner.
    //! The factor the picture's own width is scaled by when no size is given; above 0.
    double xScale = 1;
    //! The factor the picture's own height is scaled by when no size is given; above 0.
    double yScale = 1;
    QSize size;                                  //!< Pixels; when valid, instead of the scaled own size.
    //! How the picture is tied to the cells.
    DrawingAnchor::Kind anchor = DrawingAnchor::OneCell;
    //! The alternative text that screen readers read out.
    QString description;
};

//! A picture of a sheet: the bytes of its file as stored in the package, their
//! kind, where it sits and its alternative text.
//!
//! Worksheet::images() lists a sheet's pictures as SheetImage values.
//! \code
//! for (const Spreadsheet::SheetImage &image : sheet->images()) {
//!     QFile file(image.name() + QLatin1Char('.') + image.suffix());
//!     if (file.open(QIODevice::WriteOnly))
//!         file.write(image.bytes());
//! }
//! \endcode
class SheetImage
{
public:
    //! The kind of a picture file.
    enum Type { Png, Jpeg, Gif, Bmp, Other };   // Other: a kind only loaded workbooks bring (EMF, TIFF, ...)
    //! \var Png
    //! A PNG file.
    //! \var Jpeg
    //! A JPEG file.
    //! \var Gif
    //! A GIF file.
    //! \var Bmp
    //! A BMP file.
    //! \var Other
    //! A kind only loaded workbooks bring (EMF, TIFF, ...).

    //! An empty picture of kind Other.
    SheetImage() = default;
    //! A picture of a file's bytes, its kind, its anchor, its name and
    //! alternative text, and the file-name suffix of a kind Other.
    SheetImage(const QByteArray &bytes, Type type, const DrawingAnchor &anchor, const QString &name,
               const QString &description, const QString &suffix = QString());

    //! The bytes of the picture's file.
    QByteArray bytes() const { return m_bytes; }
    //! The kind of the picture's file.
    Type type() const { return m_type; }
    //! Where the picture sits.
    DrawingAnchor anchor() const { return m_anchor; }
    //! The picture's name in its drawing ("Picture 1", "Picture 2", ... for those inserted).
    QString name() const { return m_name; }
    //! The alternative text for screen readers.
    QString description() const { return m_description; }
    //! The file-name suffix of its kind ("png", "jpeg", ...).
    //! For Other, the suffix the package gave the file.
    QString suffix() const;

    //! The kind of a picture file by its first bytes: Other when it is none of
    //! PNG, JPEG, GIF and BMP.
    static Type typeOf(const QByteArray &bytes);
    //! The size in pixels written in the file's header; invalid when the
    //! header is not whole.
    //! Invalid too for Other, and for a width or height of 0.
    static QSize pixelSize(const QByteArray &bytes, Type type);
    //! The file-name suffix of a kind: "png", "jpeg", "gif", "bmp"; empty for Other.
    static QString suffixOf(Type type);
    //! The media type of a kind ("image/png"); empty for Other.
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
