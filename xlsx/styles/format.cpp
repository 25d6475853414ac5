#include "format.h"
#include "format_p.h"

#include <QDataStream>
#include <QDebug>

namespace Spreadsheet {

namespace {

const QString defaultFontName = QStringLiteral("Calibri");

bool inRange(int id, int first, int end)
{
    return id >= first && id < end;
}

bool isFillProperty(int id)
{
    return inRange(id, Format::FillPatternProperty, Format::FillPropertiesEnd) || id == Format::GradientFillProperty;
}

// Number format ids 14-22, 27-36, 45-47 and 50-58 are dates and times.
bool isDateTimeFormatId(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

// Looks at the first section of a number format code for date or time letters
// outside quoted text, escaped characters and bracketed colours or conditions.
bool isDateTimeFormatCode(const QString &code)
{
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('"')) {
            const int closing = code.indexOf(QLatin1Char('"'), i + 1);
            if (closing < 0)
                return false;
            i = closing;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char(';')) {
            return false;
        } else if (c == QLatin1Char('[')) {
            if (i + 2 < code.size() && code.at(i + 2) == QLatin1Char(']')) {
                const QChar elapsed = code.at(i + 1).toLower();
                if (elapsed == QLatin1Char('h') || elapsed == QLatin1Char('m') || elapsed == QLatin1Char('s'))
                    return true;
                i += 2;
            } else {
                const int closing = code.indexOf(QLatin1Char(']'), i + 1);
                if (closing < 0)
                    return false;
                i = closing;
            }
        } else if (QStringLiteral("dDyYhHsSmM").contains(c)) {
            return true;
        }
    }
    return false;
}

bool isIndentable(int alignment)
{
    return alignment == Format::AlignHGeneral || alignment == Format::AlignLeft || alignment == Format::AlignRight
        || alignment == Format::AlignHDistributed;
}

bool breaksShrinkToFit(int alignment)
{
    return alignment == Format::AlignHFill || alignment == Format::AlignHJustify
        || alignment == Format::AlignHDistributed;
}

} // namespace

Format::Format() = default;
Format::Format(const Format &other) = default;
Format &Format::operator=(const Format &other) = default;
Format::~Format() = default;

void Format::ensureState()
{
    if (!d)
        d = new FormatData;
}

// --- generic property access

void Format::setProperty(int id, const QVariant &value, const QVariant &clearValue, bool detach)
{
    ensureState();
    if (value == clearValue) {
        if (!d->properties.contains(id))
            return;
        if (detach)
            d.detach();
        d->properties.remove(id);
    } else {
        if (d->properties.contains(id) && d->properties.value(id) == value)
            return;
        if (detach)
            d.detach();
        d->properties.insert(id, value);
    }

    d->formatKeyStale = true;
    d->xfIndexValid = false;
    d->dxfIndexValid = false;
    if (inRange(id, FontSizeProperty, FontPropertiesEnd)) {
        d->fontKeyStale = true;
        d->fontIndexValid = false;
    } else if (inRange(id, LeftBorderStyleProperty, BorderPropertiesEnd)) {
        d->borderKeyStale = true;
        d->borderIndexValid = false;
    } else if (isFillProperty(id)) {
        d->fillKeyStale = true;
        d->fillIndexValid = false;
    }
}

void Format::clearProperty(int id)
{
    setProperty(id, QVariant(), QVariant());
}

bool Format::hasProperty(int id) const
{
    return d && d->properties.contains(id);
}

QVariant Format::property(int id, const QVariant &defaultValue) const
{
    return d ? d->properties.value(id, defaultValue) : defaultValue;
}

int Format::intProperty(int id, int defaultValue) const
{
    return hasProperty(id) ? d->properties.value(id).toInt() : defaultValue;
}

bool Format::boolProperty(int id, bool defaultValue) const
{
    return hasProperty(id) ? d->properties.value(id).toBool() : defaultValue;
}

QString Format::stringProperty(int id, const QString &defaultValue) const
{
    return hasProperty(id) ? d->properties.value(id).toString() : defaultValue;
}

XlsxColor Format::colorProperty(int id) const
{
    return hasProperty(id) ? d->properties.value(id).value<XlsxColor>() : XlsxColor();
}

QMap<int, QVariant> Format::properties() const
{
    return d ? d->properties : QMap<int, QVariant>();
}

bool Format::hasPropertyIn(int firstId, int endId) const
{
    if (!d)
        return false;
    const auto it = d->properties.lowerBound(firstId);
    return it != d->properties.constEnd() && it.key() < endId;
}

bool Format::hasNumFmtData() const
{
    return hasPropertyIn(NumberFormatIdProperty, FontSizeProperty);
}

bool Format::hasFontData() const
{
    return hasPropertyIn(FontSizeProperty, FontPropertiesEnd);
}

bool Format::hasFillData() const
{
    return hasPropertyIn(FillPatternProperty, FillPropertiesEnd) || hasProperty(GradientFillProperty);
}

bool Format::hasBorderData() const
{
    return hasPropertyIn(LeftBorderStyleProperty, BorderPropertiesEnd);
}

bool Format::hasAlignmentData() const
{
    return hasPropertyIn(HorizontalAlignmentProperty, AlignmentPropertiesEnd) || hasProperty(ReadingOrderProperty);
}

bool Format::hasProtectionData() const
{
    return hasPropertyIn(LockedProperty, HiddenProperty + 1);
}

bool Format::isEmpty() const
{
    return !d || d->properties.isEmpty();
}

bool Format::isValid() const
{
    return bool(d);
}

// --- keys

QByteArray Format::key(int firstId, int endId, bool &stale, QByteArray &cache) const
{
    if (isEmpty())
        return QByteArray();
    if (stale) {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        for (auto it = d->properties.lowerBound(firstId); it != d->properties.constEnd() && it.key() < endId; ++it)
            stream << qint32(it.key()) << it.value();
        cache = bytes;
        stale = false;
    }
    return cache;
}

QByteArray Format::fontKey() const
{
    return d ? key(FontSizeProperty, FontPropertiesEnd, d->fontKeyStale, d->fontKey) : QByteArray();
}

QByteArray Format::fillKey() const
{
    if (!d)
        return QByteArray();
    QByteArray key = this->key(FillPatternProperty, FillPropertiesEnd, d->fillKeyStale, d->fillKey);
    if (hasProperty(GradientFillProperty)) {
        QDataStream stream(&key, QIODevice::Append);
        stream << qint32(GradientFillProperty) << property(GradientFillProperty);
    }
    return key;
}

QByteArray Format::borderKey() const
{
    return d ? key(LeftBorderStyleProperty, BorderPropertiesEnd, d->borderKeyStale, d->borderKey) : QByteArray();
}

QByteArray Format::formatKey() const
{
    return d ? key(0, std::numeric_limits<int>::max(), d->formatKeyStale, d->formatKey) : QByteArray();
}

// --- ids

void Format::useStyleTable(quint64 table)
{
    if (!d || d->styleTable == table)
        return;
    if (d->styleTable != 0) {
        // The ids were handed out by another table: this copy gets state of
        // its own, without them, so that the other table's formats keep theirs.
        d.detach();
        d->fontIndexValid = d->fillIndexValid = d->borderIndexValid = false;
        d->xfIndexValid = d->dxfIndexValid = false;
        d->xfIndex = d->dxfIndex = -1;
    }
    d->styleTable = table;
}

int Format::fontIndex() const
{
    return fontIndexValid() ? d->fontIndex : 0;
}

void Format::setFontIndex(int index)
{
    ensureState();
    d->fontIndex = index;
    d->fontIndexValid = true;
}

bool Format::fontIndexValid() const
{
    return hasFontData() && d->fontIndexValid;
}

int Format::fillIndex() const
{
    return fillIndexValid() ? d->fillIndex : 0;
}

void Format::setFillIndex(int index)
{
    ensureState();
    d->fillIndex = index;
    d->fillIndexValid = true;
}

bool Format::fillIndexValid() const
{
    return hasFillData() && d->fillIndexValid;
}

int Format::borderIndex() const
{
    return borderIndexValid() ? d->borderIndex : 0;
}

void Format::setBorderIndex(int index)
{
    ensureState();
    d->borderIndex = index;
    d->borderIndexValid = true;
}

bool Format::borderIndexValid() const
{
    return hasBorderData() && d->borderIndexValid;
}

int Format::xfIndex() const
{
    return d ? d->xfIndex : -1;
}

void Format::setXfIndex(int index)
{
    ensureState();
    d->xfIndex = index;
    d->xfIndexValid = true;
}

bool Format::xfIndexValid() const
{
    return !isEmpty() && d->xfIndexValid;
}

int Format::dxfIndex() const
{
    return d ? d->dxfIndex : -1;
}

void Format::setDxfIndex(int index)
{
    ensureState();
    d->dxfIndex = index;
    d->dxfIndexValid = true;
}

bool Format::dxfIndexValid() const
{
    return !isEmpty() && d->dxfIndexValid;
}

void Format::mergeFormat(const Format &other)
{
    if (!other.isValid())
        return;
    if (!isValid()) {
        d = other.d;
        return;
    }
    const QMap<int, QVariant> otherProperties = other.d->properties;
    for (auto it = otherProperties.constBegin(); it != otherProperties.constEnd(); ++it)
        setProperty(it.key(), it.value());
}

// --- number format

int Format::numberFormatId() const
{
    return intProperty(NumberFormatIdProperty);
}

void Format::setNumberFormatId(int id)
{
    setProperty(NumberFormatIdProperty, id);
    clearProperty(NumberFormatCodeProperty);
}

QString Format::numberFormatCode() const
{
    return stringProperty(NumberFormatCodeProperty);
}

void Format::setNumberFormatCode(const QString &code)
{
    if (code.isEmpty())
        return;
    setProperty(NumberFormatCodeProperty, code);
    clearProperty(NumberFormatIdProperty);
}

void Format::assignNumberFormat(int id, const QString &code)
{
    setProperty(NumberFormatIdProperty, id, 0, false);
    setProperty(NumberFormatCodeProperty, code, QString(), false);
}

bool Format::isDateTimeFormat() const
{
    if (hasProperty(NumberFormatCodeProperty))
        return isDateTimeFormatCode(numberFormatCode());
    if (hasProperty(NumberFormatIdProperty))
        return isDateTimeFormatId(numberFormatId());
    return false;
}

// --- font

int Format::fontSize() const { return intProperty(FontSizeProperty); }
void Format::setFontSize(int points) { setProperty(FontSizeProperty, points, 0); }
bool Format::fontItalic() const { return boolProperty(FontItalicProperty); }
void Format::setFontItalic(bool italic) { setProperty(FontItalicProperty, italic, false); }
bool Format::fontStrikeOut() const { return boolProperty(FontStrikeOutProperty); }
void Format::setFontStrikeOut(bool strikeOut) { setProperty(FontStrikeOutProperty, strikeOut, false); }
QColor Format::fontColor() const { return colorProperty(FontColorProperty).rgb(); }
void Format::setFontColor(const QColor &color) { setProperty(FontColorProperty, XlsxColor(color), XlsxColor()); }
bool Format::fontBold() const { return boolProperty(FontBoldProperty); }
void Format::setFontBold(bool bold) { setProperty(FontBoldProperty, bold, false); }
Format::FontScript Format::fontScript() const { return FontScript(intProperty(FontScriptProperty)); }
void Format::setFontScript(FontScript script) { setProperty(FontScriptProperty, int(script), int(FontScriptNormal)); }
Format::FontUnderline Format::fontUnderline() const { return FontUnderline(intProperty(FontUnderlineProperty)); }
void Format::setFontUnderline(FontUnderline underline)
{
    setProperty(FontUnderlineProperty, int(underline), int(FontUnderlineNone));
}
bool Format::fontOutline() const { return boolProperty(FontOutlineProperty); }
void Format::setFontOutline(bool outline) { setProperty(FontOutlineProperty, outline, false); }
QString Format::fontName() const { return stringProperty(FontNameProperty, defaultFontName); }
void Format::setFontName(const QString &name) { setProperty(FontNameProperty, name, defaultFontName); }

QFont Format::font() const
{
    QFont font;
    font.setFamily(fontName());
    if (fontSize() > 0)
        font.setPointSize(fontSize());
    font.setWeight(fontBold() ? 75 : 50);
    font.setItalic(fontItalic());
    font.setUnderline(fontUnderline() != FontUnderlineNone);
    font.setStrikeOut(fontStrikeOut());
    return font;
}

void Format::setFont(const QFont &font)
{
    setFontName(font.family());
    if (font.pointSize() > 0)
        setFontSize(font.pointSize());
    setFontBold(font.weight() > 57);
    setFontItalic(font.style() != QFont::StyleNormal);
    setFontUnderline(font.underline() ? FontUnderlineSingle : FontUnderlineNone);
    setFontStrikeOut(font.strikeOut());
}

// --- alignment

Format::HorizontalAlignment Format::horizontalAlignment() const
{
    return HorizontalAlignment(intProperty(HorizontalAlignmentProperty, AlignHGeneral));
}

void Format::setHorizontalAlignment(HorizontalAlignment alignment)
{
    if (hasProperty(IndentProperty) && !isIndentable(alignment))
        clearProperty(IndentProperty);
    if (hasProperty(ShrinkToFitProperty) && breaksShrinkToFit(alignment))
        clearProperty(ShrinkToFitProperty);
    setProperty(HorizontalAlignmentProperty, int(alignment), int(AlignHGeneral));
}

Format::VerticalAlignment Format::verticalAlignment() const
{
    return VerticalAlignment(intProperty(VerticalAlignmentProperty, AlignBottom));
}

void Format::setVerticalAlignment(VerticalAlignment alignment)
{
    setProperty(VerticalAlignmentProperty, int(alignment), int(AlignBottom));
}

bool Format::textWrap() const { return boolProperty(TextWrapProperty); }

void Format::setTextWrap(bool wrap)
{
    if (wrap && hasProperty(ShrinkToFitProperty))
        clearProperty(ShrinkToFitProperty);
    setProperty(TextWrapProperty, wrap, false);
}

int Format::rotation() const { return intProperty(TextRotationProperty); }
void Format::setRotation(int degrees) { setProperty(TextRotationProperty, degrees, 0); }
int Format::indent() const { return intProperty(IndentProperty); }

void Format::setIndent(int indent)
{
    if (indent != 0 && hasProperty(HorizontalAlignmentProperty)) {
        const int alignment = horizontalAlignment();
        if (alignment != AlignHGeneral && alignment != AlignLeft && alignment != AlignRight
            && alignment != AlignHJustify)
            setHorizontalAlignment(AlignLeft);
    }
    setProperty(IndentProperty, indent, 0);
}

bool Format::shrinkToFit() const { return boolProperty(ShrinkToFitProperty); }

void Format::setShrinkToFit(bool shrink)
{
    if (shrink) {
        if (hasProperty(TextWrapProperty))
            clearProperty(TextWrapProperty);
        if (hasProperty(HorizontalAlignmentProperty) && breaksShrinkToFit(horizontalAlignment()))
            setHorizontalAlignment(AlignLeft);
    }
    setProperty(ShrinkToFitProperty, shrink, false);
}

// --- borders

void Format::setBorderStyle(BorderStyle style)
{
    setLeftBorderStyle(style);
    setRightBorderStyle(style);
    setBottomBorderStyle(style);
    setTopBorderStyle(style);
}

void Format::setBorderColor(const QColor &color)
{
    setLeftBorderColor(color);
    setRightBorderColor(color);
    setTopBorderColor(color);
    setBottomBorderColor(color);
}

Format::BorderStyle Format::leftBorderStyle() const
{
    return BorderStyle(intProperty(LeftBorderStyleProperty));
}

void Format::setLeftBorderStyle(BorderStyle style)
{
    setProperty(LeftBorderStyleProperty, int(style), int(BorderNone));
}

QColor Format::leftBorderColor() const
{
    return colorProperty(LeftBorderColorProperty).rgb();
}

void Format::setLeftBorderColor(const QColor &color)
{
    setProperty(LeftBorderColorProperty, XlsxColor(color), XlsxColor());
}

Format::BorderStyle Format::rightBorderStyle() const
{
    return BorderStyle(intProperty(RightBorderStyleProperty));
}

void Format::setRightBorderStyle(BorderStyle style)
{
    setProperty(RightBorderStyleProperty, int(style), int(BorderNone));
}

QColor Format::rightBorderColor() const
{
    return colorProperty(RightBorderColorProperty).rgb();
}

void Format::setRightBorderColor(const QColor &color)
{
    setProperty(RightBorderColorProperty, XlsxColor(color), XlsxColor());
}

Format::BorderStyle Format::topBorderStyle() const
{
    return BorderStyle(intProperty(TopBorderStyleProperty));
}

void Format::setTopBorderStyle(BorderStyle style)
{
    setProperty(TopBorderStyleProperty, int(style), int(BorderNone));
}

QColor Format::topBorderColor() const
{
    return colorProperty(TopBorderColorProperty).rgb();
}

void Format::setTopBorderColor(const QColor &color)
{
    setProperty(TopBorderColorProperty, XlsxColor(color), XlsxColor());
}

Format::BorderStyle Format::bottomBorderStyle() const
{
    return BorderStyle(intProperty(BottomBorderStyleProperty));
}

void Format::setBottomBorderStyle(BorderStyle style)
{
    setProperty(BottomBorderStyleProperty, int(style), int(BorderNone));
}

QColor Format::bottomBorderColor() const
{
    return colorProperty(BottomBorderColorProperty).rgb();
}

void Format::setBottomBorderColor(const QColor &color)
{
    setProperty(BottomBorderColorProperty, XlsxColor(color), XlsxColor());
}

Format::BorderStyle Format::diagonalBorderStyle() const
{
    return BorderStyle(intProperty(DiagonalBorderStyleProperty));
}

void Format::setDiagonalBorderStyle(BorderStyle style)
{
    setProperty(DiagonalBorderStyleProperty, int(style), int(BorderNone));
}

QColor Format::diagonalBorderColor() const
{
    return colorProperty(DiagonalBorderColorProperty).rgb();
}

void Format::setDiagonalBorderColor(const QColor &color)
{
    setProperty(DiagonalBorderColorProperty, XlsxColor(color), XlsxColor());
}

Format::DiagonalBorderType Format::diagonalBorderType() const
{
    return DiagonalBorderType(intProperty(DiagonalBorderTypeProperty));
}

void Format::setDiagonalBorderType(DiagonalBorderType type)
{
    setProperty(DiagonalBorderTypeProperty, int(type), int(DiagonalBorderNone));
}

// --- fill

Format::FillPattern Format::fillPattern() const
{
    return FillPattern(intProperty(FillPatternProperty));
}

void Format::setFillPattern(FillPattern pattern)
{
    setProperty(FillPatternProperty, int(pattern), int(PatternNone));
}

QColor Format::patternForegroundColor() const
{
    return colorProperty(PatternForegroundColorProperty).rgb();
}

void Format::setPatternForegroundColor(const QColor &color)
{
    if (color.isValid() && !hasProperty(FillPatternProperty))
        setFillPattern(PatternSolid);
    setProperty(PatternForegroundColorProperty, XlsxColor(color), XlsxColor());
}

QColor Format::patternBackgroundColor() const
{
    return colorProperty(PatternBackgroundColorProperty).rgb();
}

void Format::setPatternBackgroundColor(const QColor &color)
{
    if (color.isValid() && !hasProperty(FillPatternProperty))
        setFillPattern(PatternSolid);
    setProperty(PatternBackgroundColorProperty, XlsxColor(color), XlsxColor());
}

// --- protection

bool Format::locked() const { return boolProperty(LockedProperty); }
void Format::setLocked(bool locked) { setProperty(LockedProperty, locked); }
bool Format::hidden() const { return boolProperty(HiddenProperty); }
void Format::setHidden(bool hidden) { setProperty(HiddenProperty, hidden); }

QDebug operator<<(QDebug debug, const Format &format)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Spreadsheet::Format(" << format.properties() << ")";
    return debug;
}

} // namespace Spreadsheet
