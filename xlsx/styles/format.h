#ifndef SPREADSHEET_FORMAT_H
#define SPREADSHEET_FORMAT_H

#include "xlsxcolor.h"

#include <QByteArray>
#include <QExplicitlySharedDataPointer>
#include <QFont>
#include <QMap>
#include <QVariant>

class QDebug;

namespace Spreadsheet {

class FormatData;

// A cell format: number format, font, fill, border, alignment and protection.
// A value that shares its state with its copies until one of them changes
// (copy on write). It stores only the properties that differ from their
// defaults, and derives from them the keys on which the style table shares
// fonts, fills, borders and whole formats; the ids the style table hands out
// are written into the shared state, so every copy sees them.
class Format
{
public:
    // Property ids; the keys serialise them, and the groups are id ranges.
    enum FormatProperty {
        NumberFormatIdProperty = 1,
        NumberFormatCodeProperty = 2,

        FontSizeProperty = 3,
        FontItalicProperty = 4,
        FontStrikeOutProperty = 5,
        FontColorProperty = 6,
        FontBoldProperty = 7,
        FontScriptProperty = 8,
        FontUnderlineProperty = 9,
        FontOutlineProperty = 10,
        FontShadowProperty = 11,
        FontNameProperty = 12,
        FontFamilyProperty = 13,
        FontCharsetProperty = 14,
        FontSchemeProperty = 15,
        FontCondenseProperty = 16,
        FontExtendProperty = 17,
        FontPropertiesEnd = 18,

        LeftBorderStyleProperty = 19,
        RightBorderStyleProperty = 20,
        TopBorderStyleProperty = 21,
        BottomBorderStyleProperty = 22,
        DiagonalBorderStyleProperty = 23,
        LeftBorderColorProperty = 24,
        RightBorderColorProperty = 25,
        TopBorderColorProperty = 26,
        BottomBorderColorProperty = 27,
        DiagonalBorderColorProperty = 28,
        DiagonalBorderTypeProperty = 29,
        BorderPropertiesEnd = 30,

        FillPatternProperty = 31,
        PatternBackgroundColorProperty = 32,
        PatternForegroundColorProperty = 33,
        FillPropertiesEnd = 34,

        HorizontalAlignmentProperty = 35,
        VerticalAlignmentProperty = 36,
        TextWrapProperty = 37,
        TextRotationProperty = 38,
        IndentProperty = 39,
        ShrinkToFitProperty = 40,
        AlignmentPropertiesEnd = 41,

        LockedProperty = 42,
        HiddenProperty = 43,

        // Later additions, each counted with its group (fill, alignment) or
        // with the cell format alone.
        GradientFillProperty = 44,    // a QVariantMap: "type" ("linear" or "path"), "degree",
                                      // "left", "right", "top", "bottom" (numbers) and "stops",
                                      // a list of [position, XlsxColor] pairs
        ReadingOrderProperty = 45,    // 0 by context, 1 left to right, 2 right to left
        QuotePrefixProperty = 46,     // the cell's text stays text even where it reads as a number
        PivotButtonProperty = 47,
        CellStyleProperty = 48        // the named cell style (cellStyleXfs entry) it builds on
    };

    enum FontScript { FontScriptNormal, FontScriptSuper, FontScriptSub };
    enum FontUnderline {
        FontUnderlineNone, FontUnderlineSingle, FontUnderlineDouble,
        FontUnderlineSingleAccounting, FontUnderlineDoubleAccounting
    };
    enum HorizontalAlignment {
        AlignHGeneral, AlignLeft, AlignHCenter, AlignRight, AlignHFill, AlignHJustify, AlignHMerge,
        AlignHDistributed
    };
    enum VerticalAlignment { AlignTop, AlignVCenter, AlignBottom, AlignVJustify, AlignVDistributed };
    enum BorderStyle {
        BorderNone, BorderThin, BorderMedium, BorderDashed, BorderDotted, BorderThick, BorderDouble,
        BorderHair, BorderMediumDashed, BorderDashDot, BorderMediumDashDot, BorderDashDotDot,
        BorderMediumDashDotDot, BorderSlantDashDot
    };
    enum DiagonalBorderType { DiagonalBorderNone, DiagonalBorderDown, DiagonalBorderUp, DiagonalBorderBoth };
    enum FillPattern {
        PatternNone, PatternSolid, PatternMediumGray, PatternDarkGray, PatternLightGray,
        PatternDarkHorizontal, PatternDarkVertical, PatternDarkDown, PatternDarkUp, PatternDarkGrid,
        PatternDarkTrellis, PatternLightHorizontal, PatternLightVertical, PatternLightDown,
        PatternLightUp, PatternLightTrellis, PatternGray125, PatternGray0625, PatternLightGrid
    };

    Format();
    Format(const Format &other);
    Format &operator=(const Format &other);
    ~Format();

    int numberFormatId() const;
    void setNumberFormatId(int id);
    QString numberFormatCode() const;
    void setNumberFormatCode(const QString &code);
    // Used by the style table: sets both without detaching (id 0 and an empty
    // code count as unset).
    void assignNumberFormat(int id, const QString &code);
    bool isDateTimeFormat() const;

    int fontSize() const;
    void setFontSize(int points);
    bool fontItalic() const;
    void setFontItalic(bool italic);
    bool fontStrikeOut() const;
    void setFontStrikeOut(bool strikeOut);
    QColor fontColor() const;
    void setFontColor(const QColor &color);
    bool fontBold() const;
    void setFontBold(bool bold);
    FontScript fontScript() const;
    void setFontScript(FontScript script);
    FontUnderline fontUnderline() const;
    void setFontUnderline(FontUnderline underline);
    bool fontOutline() const;
    void setFontOutline(bool outline);
    QString fontName() const;
    void setFontName(const QString &name);
    QFont font() const;
    void setFont(const QFont &font);

    HorizontalAlignment horizontalAlignment() const;
    void setHorizontalAlignment(HorizontalAlignment alignment);
    VerticalAlignment verticalAlignment() const;
    void setVerticalAlignment(VerticalAlignment alignment);
    bool textWrap() const;
    void setTextWrap(bool wrap);
    int rotation() const;
    void setRotation(int degrees);
    int indent() const;
    void setIndent(int indent);
    bool shrinkToFit() const;
    void setShrinkToFit(bool shrink);

    void setBorderStyle(BorderStyle style);
    void setBorderColor(const QColor &color);
    BorderStyle leftBorderStyle() const;
    void setLeftBorderStyle(BorderStyle style);
    QColor leftBorderColor() const;
    void setLeftBorderColor(const QColor &color);
    BorderStyle rightBorderStyle() const;
    void setRightBorderStyle(BorderStyle style);
    QColor rightBorderColor() const;
    void setRightBorderColor(const QColor &color);
    BorderStyle topBorderStyle() const;
    void setTopBorderStyle(BorderStyle style);
    QColor topBorderColor() const;
    void setTopBorderColor(const QColor &color);
    BorderStyle bottomBorderStyle() const;
    void setBottomBorderStyle(BorderStyle style);
    QColor bottomBorderColor() const;
    void setBottomBorderColor(const QColor &color);
    BorderStyle diagonalBorderStyle() const;
    void setDiagonalBorderStyle(BorderStyle style);
    QColor diagonalBorderColor() const;
    void setDiagonalBorderColor(const QColor &color);
    DiagonalBorderType diagonalBorderType() const;
    void setDiagonalBorderType(DiagonalBorderType type);

    FillPattern fillPattern() const;
    void setFillPattern(FillPattern pattern);
    // A valid colour on a format without fill pattern makes the pattern solid.
    QColor patternForegroundColor() const;
    void setPatternForegroundColor(const QColor &color);
    QColor patternBackgroundColor() const;
    void setPatternBackgroundColor(const QColor &color);

    bool locked() const;
    void setLocked(bool locked);
    bool hidden() const;
    void setHidden(bool hidden);

    // Generic access. A value equal to clearValue removes the property.
    void setProperty(int id, const QVariant &value, const QVariant &clearValue = QVariant(), bool detach = true);
    void clearProperty(int id);
    bool hasProperty(int id) const;
    QVariant property(int id, const QVariant &defaultValue = QVariant()) const;
    int intProperty(int id, int defaultValue = 0) const;
    bool boolProperty(int id, bool defaultValue = false) const;
    QString stringProperty(int id, const QString &defaultValue = QString()) const;
    XlsxColor colorProperty(int id) const;
    QMap<int, QVariant> properties() const;

    bool hasNumFmtData() const;
    bool hasFontData() const;
    bool hasFillData() const;
    bool hasBorderData() const;
    bool hasAlignmentData() const;
    bool hasProtectionData() const;
    // No state or no property.
    bool isEmpty() const;
    // Has state, even if every property was cleared again.
    bool isValid() const;

    QByteArray fontKey() const;
    QByteArray fillKey() const;
    QByteArray borderKey() const;
    QByteArray formatKey() const;

    // Ids handed out by the style table; shared with every copy, and valid
    // only for the table that handed them out. A table calls useStyleTable
    // with its serial number before it gives ids: a format that carries the
    // ids of another table then gets state of its own without them.
    void useStyleTable(quint64 table);
    int fontIndex() const;
    void setFontIndex(int index);
    bool fontIndexValid() const;
    int fillIndex() const;
    void setFillIndex(int index);
    bool fillIndexValid() const;
    int borderIndex() const;
    void setBorderIndex(int index);
    bool borderIndexValid() const;
    int xfIndex() const;
    void setXfIndex(int index);
    bool xfIndexValid() const;
    int dxfIndex() const;
    void setDxfIndex(int index);
    bool dxfIndexValid() const;

    // Sets every property of other on this format.
    void mergeFormat(const Format &other);

    friend bool operator==(const Format &a, const Format &b) { return a.formatKey() == b.formatKey(); }
    friend bool operator!=(const Format &a, const Format &b) { return !(a == b); }

private:
    QByteArray key(int firstId, int endId, bool &stale, QByteArray &cache) const;
    bool hasPropertyIn(int firstId, int endId) const;
    void ensureState();

    QExplicitlySharedDataPointer<FormatData> d;
};

QDebug operator<<(QDebug debug, const Format &format);

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMAT_H
