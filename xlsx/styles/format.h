#ifndef SPREADSHEET_FORMAT_H
#define SPREADSHEET_FORMAT_H

//! \file format.h
//! Cell formats: Format.

#include "xlsxcolor.h"

#include <QByteArray>
#include <QExplicitlySharedDataPointer>
#include <QFont>
#include <QMap>
#include <QVariant>

class QDebug;

namespace Spreadsheet {

class FormatData;

//! A cell format: number format, font, fill, border, alignment and protection.
//! A value that shares its state with its copies until one of them changes
//! (copy on write). It stores only the properties that differ from their
//! defaults, and derives from them the keys on which the style table shares
//! fonts, fills, borders and whole formats; the ids the style table hands out
//! are written into the shared state, so every copy sees them.
//!
//! A default-constructed Format has no state (isValid() is false): passed to
//! a write, it keeps the cell's format. Any setter gives it state; a format
//! with state but no property (isEmpty()) is the workbook's default format.
//! Colours read back invalid when they were not set or are theme or palette
//! colours (colorProperty() gives those).
//!
//! \code
//! Spreadsheet::Format header;
//! header.setFontBold(true);
//! header.setFontColor(Qt::white);
//! header.setPatternBackgroundColor(QColor(0, 112, 192));   // a solid fill
//! header.setHorizontalAlignment(Spreadsheet::Format::AlignHCenter);
//! header.setBottomBorderStyle(Spreadsheet::Format::BorderMedium);
//! sheet->writeValue(1, 1, QStringLiteral("Sample"), header);
//!
//! Spreadsheet::Format percent;
//! percent.setNumberFormatCode(QStringLiteral("0.0%"));
//! sheet->writeValue(2, 3, 0.425, percent);                  // shows 42.5%
//! \endcode
class Format
{
public:
    //! Property ids; the keys serialise them, and the groups are id ranges.
    //! Each names the type it holds; setProperty() and property() reach any
    //! of them, the named setters the common ones.
    enum FormatProperty {
        NumberFormatIdProperty = 1,   //!< int: the number format id (built-in ones below 164).
        NumberFormatCodeProperty = 2, //!< QString: the number format code ("0.00", "yyyy-mm-dd").

        FontSizeProperty = 3,         //!< int: the font size in points.
        FontItalicProperty = 4,       //!< bool: italic.
        FontStrikeOutProperty = 5,    //!< bool: struck out.
        FontColorProperty = 6,        //!< XlsxColor: the font colour.
        FontBoldProperty = 7,         //!< bool: bold.
        FontScriptProperty = 8,       //!< int, a FontScript: superscript or subscript.
        FontUnderlineProperty = 9,    //!< int, a FontUnderline.
        FontOutlineProperty = 10,     //!< bool: outlined letters.
        FontShadowProperty = 11,      //!< bool: shadowed letters.
        FontNameProperty = 12,        //!< QString: the font family ("Calibri" when not set).
        FontFamilyProperty = 13,      //!< int: the font family class of the file format (1 roman, 2 swiss, ...).
        FontCharsetProperty = 14,     //!< int: the font character set of the file format.
        FontSchemeProperty = 15,      //!< QString: the theme font the font stands for ("minor", "major").
        FontCondenseProperty = 16,    //!< bool: condensed letters.
        FontExtendProperty = 17,      //!< bool: extended letters.
        FontPropertiesEnd = 18,       //!< The end of the font ids.

        LeftBorderStyleProperty = 19, //!< int, a BorderStyle: the left border.
        RightBorderStyleProperty = 20, //!< int, a BorderStyle: the right border.
        TopBorderStyleProperty = 21,  //!< int, a BorderStyle: the top border.
        BottomBorderStyleProperty = 22, //!< int, a BorderStyle: the bottom border.
        DiagonalBorderStyleProperty = 23, //!< int, a BorderStyle: the diagonal borders.
        LeftBorderColorProperty = 24, //!< XlsxColor: the left border's colour.
        RightBorderColorProperty = 25, //!< XlsxColor: the right border's colour.
        TopBorderColorProperty = 26,  //!< XlsxColor: the top border's colour.
        BottomBorderColorProperty = 27, //!< XlsxColor: the bottom border's colour.
        DiagonalBorderColorProperty = 28, //!< XlsxColor: the diagonal borders' colour.
        DiagonalBorderTypeProperty = 29, //!< int, a DiagonalBorderType: which diagonals show.
        BorderPropertiesEnd = 30,     //!< The end of the border ids.

        FillPatternProperty = 31,     //!< int, a FillPattern.
        PatternBackgroundColorProperty = 32, //!< XlsxColor: the colour behind the pattern; the colour of a solid fill.
        PatternForegroundColorProperty = 33, //!< XlsxColor: the colour of the pattern's lines and dots.
        FillPropertiesEnd = 34,       //!< The end of the fill ids.

        HorizontalAlignmentProperty = 35, //!< int, a HorizontalAlignment.
        VerticalAlignmentProperty = 36, //!< int, a VerticalAlignment.
        TextWrapProperty = 37,        //!< bool: the text wraps in the cell.
        TextRotationProperty = 38,    //!< int: the text rotation (see rotation()).
        IndentProperty = 39,          //!< int: the indent level.
        ShrinkToFitProperty = 40,     //!< bool: the text shrinks to fit the cell.
        AlignmentPropertiesEnd = 41,  //!< The end of the alignment ids.

        LockedProperty = 42,          //!< bool: the cell is locked while the sheet is protected.
        HiddenProperty = 43,          //!< bool: the cell's formula is hidden while the sheet is protected.

        // Later additions, each counted with its group (fill, alignment) or
        // with the cell format alone.
        GradientFillProperty = 44,    //!< A QVariantMap: "type" ("linear" or "path"), "degree",
                                      //!< "left", "right", "top", "bottom" (numbers) and "stops",
                                      //!< a list of [position, XlsxColor] pairs.
        ReadingOrderProperty = 45,    //!< int: 0 by context, 1 left to right, 2 right to left.
        QuotePrefixProperty = 46,     //!< bool: the cell's text stays text even where it reads as a number.
        PivotButtonProperty = 47,     //!< bool: the cell shows a pivot table's button.
        CellStyleProperty = 48        //!< int: the named cell style (cellStyleXfs entry) it builds on.
    };

    //! The vertical position of the letters.
    enum FontScript { FontScriptNormal, FontScriptSuper, FontScriptSub };
    //! \var FontScriptNormal
    //! On the line.
    //! \var FontScriptSuper
    //! Superscript.
    //! \var FontScriptSub
    //! Subscript.

    //! How the text is underlined.
    enum FontUnderline {
        FontUnderlineNone, FontUnderlineSingle, FontUnderlineDouble,
        FontUnderlineSingleAccounting, FontUnderlineDoubleAccounting
    };
    //! \var FontUnderlineNone
    //! Not underlined.
    //! \var FontUnderlineSingle
    //! One line under the text.
    //! \var FontUnderlineDouble
    //! Two lines under the text.
    //! \var FontUnderlineSingleAccounting
    //! One line across the cell's width, lower than a single underline.
    //! \var FontUnderlineDoubleAccounting
    //! Two lines across the cell's width, lower than a double underline.

    //! Where the text stands across the cell.
    enum HorizontalAlignment {
        AlignHGeneral, AlignLeft, AlignHCenter, AlignRight, AlignHFill, AlignHJustify, AlignHMerge,
        AlignHDistributed
    };
    //! \var AlignHGeneral
    //! By the value: texts left, numbers and dates right, booleans and errors centred.
    //! \var AlignLeft
    //! At the left edge (after the indent).
    //! \var AlignHCenter
    //! Centred in the cell.
    //! \var AlignRight
    //! At the right edge (before the indent).
    //! \var AlignHFill
    //! Repeated to fill the cell's width.
    //! \var AlignHJustify
    //! Wrapped, every line but the last stretched to both edges.
    //! \var AlignHMerge
    //! Centred across this cell and the empty cells right of it of the same
    //! alignment ("center across selection").
    //! \var AlignHDistributed
    //! Every line stretched to both edges, the words spread evenly.

    //! Where the text stands down the cell.
    enum VerticalAlignment { AlignTop, AlignVCenter, AlignBottom, AlignVJustify, AlignVDistributed };
    //! \var AlignTop
    //! At the top edge.
    //! \var AlignVCenter
    //! Centred in the cell's height.
    //! \var AlignBottom
    //! At the bottom edge, the default.
    //! \var AlignVJustify
    //! The lines spread from the top to the bottom edge.
    //! \var AlignVDistributed
    //! The lines spread evenly down the cell.

    //! The line of a border.
    enum BorderStyle {
        BorderNone, BorderThin, BorderMedium, BorderDashed, BorderDotted, BorderThick, BorderDouble,
        BorderHair, BorderMediumDashed, BorderDashDot, BorderMediumDashDot, BorderDashDotDot,
        BorderMediumDashDotDot, BorderSlantDashDot
    };
    //! \var BorderNone
    //! No border.
    //! \var BorderThin
    //! A thin line.
    //! \var BorderMedium
    //! A medium line.
    //! \var BorderDashed
    //! A thin dashed line.
    //! \var BorderDotted
    //! A thin dotted line.
    //! \var BorderThick
    //! A thick line.
    //! \var BorderDouble
    //! Two thin lines.
    //! \var BorderHair
    //! The thinnest line, finely dotted.
    //! \var BorderMediumDashed
    //! A medium dashed line.
    //! \var BorderDashDot
    //! A thin line of dashes and dots.
    //! \var BorderMediumDashDot
    //! A medium line of dashes and dots.
    //! \var BorderDashDotDot
    //! A thin line of dashes and pairs of dots.
    //! \var BorderMediumDashDotDot
    //! A medium line of dashes and pairs of dots.
    //! \var BorderSlantDashDot
    //! A medium line of slanted dashes and dots.

    //! Which diagonal lines cross the cell.
    enum DiagonalBorderType { DiagonalBorderNone, DiagonalBorderDown, DiagonalBorderUp, DiagonalBorderBoth };
    //! \var DiagonalBorderNone
    //! None.
    //! \var DiagonalBorderDown
    //! From the top-left to the bottom-right corner.
    //! \var DiagonalBorderUp
    //! From the bottom-left to the top-right corner.
    //! \var DiagonalBorderBoth
    //! Both diagonals.

    //! The pattern of a fill: its foreground colour drawn over its background
    //! colour; a solid fill shows the background colour.
    enum FillPattern {
        PatternNone, PatternSolid, PatternMediumGray, PatternDarkGray, PatternLightGray,
        PatternDarkHorizontal, PatternDarkVertical, PatternDarkDown, PatternDarkUp, PatternDarkGrid,
        PatternDarkTrellis, PatternLightHorizontal, PatternLightVertical, PatternLightDown,
        PatternLightUp, PatternLightTrellis, PatternGray125, PatternGray0625, PatternLightGrid
    };
    //! \var PatternNone
    //! No fill.
    //! \var PatternSolid
    //! One colour, the background colour.
    //! \var PatternMediumGray
    //! 50 % dots.
    //! \var PatternDarkGray
    //! 75 % dots.
    //! \var PatternLightGray
    //! 25 % dots.
    //! \var PatternDarkHorizontal
    //! Thick horizontal stripes.
    //! \var PatternDarkVertical
    //! Thick vertical stripes.
    //! \var PatternDarkDown
    //! Thick stripes down from left to right.
    //! \var PatternDarkUp
    //! Thick stripes up from left to right.
    //! \var PatternDarkGrid
    //! A thick grid.
    //! \var PatternDarkTrellis
    //! A thick trellis.
    //! \var PatternLightHorizontal
    //! Thin horizontal stripes.
    //! \var PatternLightVertical
    //! Thin vertical stripes.
    //! \var PatternLightDown
    //! Thin stripes down from left to right.
    //! \var PatternLightUp
    //! Thin stripes up from left to right.
    //! \var PatternLightTrellis
    //! A thin trellis.
    //! \var PatternGray125
    //! 12.5 % dots.
    //! \var PatternGray0625
    //! 6.25 % dots.
    //! \var PatternLightGrid
    //! A thin grid.

    //! A format without state: it keeps a cell's format when passed to a write.
    Format();
    //! A copy sharing other's state until one of them changes.
    Format(const Format &other);
    //! Makes this format share other's state.
    Format &operator=(const Format &other);
    //! Destroys the format.
    ~Format();

    //! The number format id; 0 ("General") when not set. An id set by the
    //! style table for a code is the table's own.
    int numberFormatId() const;
    //! Sets a number format by id (a built-in one: 0 "General", 2 "0.00", 9
    //! "0%", 14 a date, ...), clearing the code.
    void setNumberFormatId(int id);
    //! The number format code ("0.00"); empty when not set.
    QString numberFormatCode() const;
    //! Sets a number format by its code ("#,##0.00", "yyyy-mm-dd hh:mm",
    //! "0.0%"), clearing the id; the style table gives it an id. An empty code
    //! changes nothing.
    void setNumberFormatCode(const QString &code);
    //! Used by the style table: sets both without detaching (id 0 and an empty
    //! code count as unset).
    void assignNumberFormat(int id, const QString &code);
    //! Whether the number format shows dates or times: a code with date or
    //! time letters outside quotes and brackets (its first section), or a
    //! built-in date or time id.
    bool isDateTimeFormat() const;

    //! The font size in points; 0 when not set (the default, 11).
    int fontSize() const;
    //! Sets the font size in points; 0 takes it away.
    void setFontSize(int points);
    //! Whether the font is italic.
    bool fontItalic() const;
    //! Sets whether the font is italic.
    void setFontItalic(bool italic);
    //! Whether the text is struck out.
    bool fontStrikeOut() const;
    //! Sets whether the text is struck out.
    void setFontStrikeOut(bool strikeOut);
    //! The font colour; invalid when not set or not an RGB colour.
    QColor fontColor() const;
    //! Sets the font colour; an invalid colour takes it away.
    void setFontColor(const QColor &color);
    //! Whether the font is bold.
    bool fontBold() const;
    //! Sets whether the font is bold.
    void setFontBold(bool bold);
    //! Superscript, subscript or neither.
    FontScript fontScript() const;
    //! Sets superscript, subscript or neither.
    void setFontScript(FontScript script);
    //! How the text is underlined.
    FontUnderline fontUnderline() const;
    //! Sets how the text is underlined.
    void setFontUnderline(FontUnderline underline);
    //! Whether the letters are outlined.
    bool fontOutline() const;
    //! Sets whether the letters are outlined.
    void setFontOutline(bool outline);
    //! The font family; "Calibri" when not set.
    QString fontName() const;
    //! Sets the font family ("Arial"); "Calibri" takes it away.
    void setFontName(const QString &name);
    //! The font as a QFont: family, point size (when set), bold, italic,
    //! underline and strike-out.
    QFont font() const;
    //! Sets the family, the point size (when the font has one), bold (a weight
    //! above medium), italic, a single underline and strike-out from a QFont.
    void setFont(const QFont &font);

    //! Where the text stands across the cell; AlignHGeneral when not set.
    HorizontalAlignment horizontalAlignment() const;
    //! Sets where the text stands across the cell. An indent goes unless
    //! the alignment is General, Left, Right or Distributed; shrinking to fit
    //! goes with Fill, Justify and Distributed.
    void setHorizontalAlignment(HorizontalAlignment alignment);
    //! Where the text stands down the cell; AlignBottom when not set.
    VerticalAlignment verticalAlignment() const;
    //! Sets where the text stands down the cell.
    void setVerticalAlignment(VerticalAlignment alignment);
    //! Whether the text wraps onto more lines in the cell.
    bool textWrap() const;
    //! Sets whether the text wraps; wrapping takes shrinking to fit away.
    void setTextWrap(bool wrap);
    //! The text rotation as the file format gives it: 0 to 90 degrees
    //! counter-clockwise, 91 to 180 for 1 to 90 degrees clockwise, 255 for
    //! letters stacked downwards; 0 when not set.
    int rotation() const;
    //! Sets the text rotation in the file format's terms (see rotation());
    //! the value is not checked. 0 takes it away.
    void setRotation(int degrees);
    //! The indent level; 0 when not set.
    int indent() const;
    //! Sets the indent level; an alignment other than General, Left, Right
    //! or Justify becomes Left. 0 takes it away.
    void setIndent(int indent);
    //! Whether the text shrinks to fit the cell's width.
    bool shrinkToFit() const;
    //! Sets whether the text shrinks to fit; shrinking takes wrapping away,
    //! and a Fill, Justify or Distributed alignment becomes Left.
    void setShrinkToFit(bool shrink);

    //! Sets the left, right, top and bottom borders' line (not the diagonal).
    void setBorderStyle(BorderStyle style);
    //! Sets the left, right, top and bottom borders' colour (not the diagonal).
    void setBorderColor(const QColor &color);
    //! The left border's line; BorderNone when not set.
    BorderStyle leftBorderStyle() const;
    //! Sets the left border's line.
    void setLeftBorderStyle(BorderStyle style);
    //! The left border's colour; invalid when not set or not an RGB colour.
    QColor leftBorderColor() const;
    //! Sets the left border's colour; an invalid colour takes it away.
    void setLeftBorderColor(const QColor &color);
    //! The right border's line; BorderNone when not set.
    BorderStyle rightBorderStyle() const;
    //! Sets the right border's line.
    void setRightBorderStyle(BorderStyle style);
    //! The right border's colour; invalid when not set or not an RGB colour.
    QColor rightBorderColor() const;
    //! Sets the right border's colour; an invalid colour takes it away.
    void setRightBorderColor(const QColor &color);
    //! The top border's line; BorderNone when not set.
    BorderStyle topBorderStyle() const;
    //! Sets the top border's line.
    void setTopBorderStyle(BorderStyle style);
    //! The top border's colour; invalid when not set or not an RGB colour.
    QColor topBorderColor() const;
    //! Sets the top border's colour; an invalid colour takes it away.
    void setTopBorderColor(const QColor &color);
    //! The bottom border's line; BorderNone when not set.
    BorderStyle bottomBorderStyle() const;
    //! Sets the bottom border's line.
    void setBottomBorderStyle(BorderStyle style);
    //! The bottom border's colour; invalid when not set or not an RGB colour.
    QColor bottomBorderColor() const;
    //! Sets the bottom border's colour; an invalid colour takes it away.
    void setBottomBorderColor(const QColor &color);
    //! The diagonal borders' line; BorderNone when not set.
    BorderStyle diagonalBorderStyle() const;
    //! Sets the diagonal borders' line; setDiagonalBorderType() says which show.
    void setDiagonalBorderStyle(BorderStyle style);
    //! The diagonal borders' colour; invalid when not set or not an RGB colour.
    QColor diagonalBorderColor() const;
    //! Sets the diagonal borders' colour; an invalid colour takes it away.
    void setDiagonalBorderColor(const QColor &color);
    //! Which diagonals cross the cell; DiagonalBorderNone when not set.
    DiagonalBorderType diagonalBorderType() const;
    //! Sets which diagonals cross the cell.
    void setDiagonalBorderType(DiagonalBorderType type);

    //! The fill's pattern; PatternNone when not set.
    FillPattern fillPattern() const;
    //! Sets the fill's pattern.
    void setFillPattern(FillPattern pattern);
    //! The colour of the pattern's lines and dots; invalid when not set or not an RGB colour.
    //! A valid colour on a format without fill pattern makes the pattern solid.
    //! A solid fill shows the background colour, not this one.
    QColor patternForegroundColor() const;
    //! Sets the colour of the pattern's lines and dots; an invalid colour takes it away.
    void setPatternForegroundColor(const QColor &color);
    //! The colour behind the pattern, the colour of a solid fill; invalid
    //! when not set or not an RGB colour.
    QColor patternBackgroundColor() const;
    //! Sets the colour behind the pattern, the cell's colour for a solid fill
    //! (which a format without pattern gets); an invalid colour takes it away.
    void setPatternBackgroundColor(const QColor &color);

    //! Whether the format says its cells are locked while the sheet is
    //! protected; false when not set, although spreadsheet programs lock
    //! cells without the property (hasProperty(LockedProperty) tells).
    bool locked() const;
    //! Sets whether the cells are locked while the sheet is protected.
    void setLocked(bool locked);
    //! Whether the cells' formulas are hidden while the sheet is protected;
    //! false when not set.
    bool hidden() const;
    //! Sets whether the cells' formulas are hidden while the sheet is protected.
    void setHidden(bool hidden);

    //! Sets a property by its FormatProperty id.
    //!
    //! Generic access. A value equal to clearValue removes the property.
    //! detach false changes the state shared with every copy (the style
    //! table's use).
    void setProperty(int id, const QVariant &value, const QVariant &clearValue = QVariant(), bool detach = true);
    //! Removes a property.
    void clearProperty(int id);
    //! Whether the property is set.
    bool hasProperty(int id) const;
    //! A property's value; defaultValue when not set.
    QVariant property(int id, const QVariant &defaultValue = QVariant()) const;
    //! A property as an int; defaultValue when not set.
    int intProperty(int id, int defaultValue = 0) const;
    //! A property as a bool; defaultValue when not set.
    bool boolProperty(int id, bool defaultValue = false) const;
    //! A property as a text; defaultValue when not set.
    QString stringProperty(int id, const QString &defaultValue = QString()) const;
    //! A colour property with its kind (RGB, palette index or theme colour);
    //! an invalid XlsxColor when not set.
    XlsxColor colorProperty(int id) const;
    //! Every property set, by id.
    QMap<int, QVariant> properties() const;

    //! Whether a number format id or code is set.
    bool hasNumFmtData() const;
    //! Whether a font property is set.
    bool hasFontData() const;
    //! Whether a fill property (pattern, colours, gradient) is set.
    bool hasFillData() const;
    //! Whether a border property is set.
    bool hasBorderData() const;
    //! Whether an alignment property (reading order included) is set.
    bool hasAlignmentData() const;
    //! Whether locked or hidden is set.
    bool hasProtectionData() const;
    //! Whether the format has no property.
    //! No state or no property.
    bool isEmpty() const;
    //! Whether the format has state.
    //! Has state, even if every property was cleared again.
    bool isValid() const;

    //! What identifies the format's font in the style table; empty for a format without properties.
    QByteArray fontKey() const;
    //! What identifies the format's fill in the style table.
    QByteArray fillKey() const;
    //! What identifies the format's border in the style table.
    QByteArray borderKey() const;
    //! What identifies the whole format: every property. Equal formats have equal keys.
    QByteArray formatKey() const;

    //! Ties the format's ids to the style table of that serial number.
    //!
    //! Ids handed out by the style table; shared with every copy, and valid
    //! only for the table that handed them out. A table calls useStyleTable
    //! with its serial number before it gives ids: a format that carries the
    //! ids of another table then gets state of its own without them.
    void useStyleTable(quint64 table);
    //! The font's index in the style table; 0 while fontIndexValid() is false.
    int fontIndex() const;
    //! Sets the font's index in the style table.
    void setFontIndex(int index);
    //! Whether the format has a font and the style table gave it an index.
    bool fontIndexValid() const;
    //! The fill's index in the style table; 0 while fillIndexValid() is false.
    int fillIndex() const;
    //! Sets the fill's index in the style table.
    void setFillIndex(int index);
    //! Whether the format has a fill and the style table gave it an index.
    bool fillIndexValid() const;
    //! The border's index in the style table; 0 while borderIndexValid() is false.
    int borderIndex() const;
    //! Sets the border's index in the style table.
    void setBorderIndex(int index);
    //! Whether the format has a border and the style table gave it an index.
    bool borderIndexValid() const;
    //! The cell format id the style table gave ("s" of the cells); -1 before
    //! a style table gave one.
    int xfIndex() const;
    //! Sets the cell format id.
    void setXfIndex(int index);
    //! Whether the format has properties and a cell format id for them.
    bool xfIndexValid() const;
    //! The differential format id the style table gave (conditional formats);
    //! -1 before a style table gave one.
    int dxfIndex() const;
    //! Sets the differential format id.
    void setDxfIndex(int index);
    //! Whether the format has properties and a differential format id for them.
    bool dxfIndexValid() const;

    //! Sets every property of other on this format.
    //! A format without state takes other's state.
    void mergeFormat(const Format &other);

    //! Whether the formats have the same properties (formatKey()).
    friend bool operator==(const Format &a, const Format &b) { return a.formatKey() == b.formatKey(); }
    //! Whether the formats differ in a property.
    friend bool operator!=(const Format &a, const Format &b) { return !(a == b); }

private:
    QByteArray key(int firstId, int endId, bool &stale, QByteArray &cache) const;
    bool hasPropertyIn(int firstId, int endId) const;
    void ensureState();

    QExplicitlySharedDataPointer<FormatData> d;
};

//! Writes the format's properties to a debug stream.
QDebug operator<<(QDebug debug, const Format &format);

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMAT_H
