#include "numberformatter_p.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

#include <cmath>

namespace Spreadsheet {

namespace {

enum class Tok {
    Literal, Digit, Point, Comma, Percent, Exponent, Slash, Text, General,
    // date and time parts, kept last (see isDateToken)
    Year, Month, Minute, Day, Hour, Second, SubSecond, AmPm,
    ElapsedHours, ElapsedMinutes, ElapsedSeconds
};

struct Token
{
    Tok kind;
    QString text; // what a literal shows, a digit's placeholder, the exponent's "E+"
    int count = 0; // letters of a date or time part
};

struct Section
{
    QVector<Token> tokens;
    QString condition; // "<", "<=", ">", ">=", "=", "<>" or empty
    double bound = 0;
    bool isDate = false;
    bool hasText = false;
};

bool isDateToken(Tok kind)
{
    return kind >= Tok::Year;
}

bool isDigitToken(const QVector<Token> &tokens, int i, const char *placeholders = "0#?")
{
    return i >= 0 && i < tokens.size() && tokens.at(i).kind == Tok::Digit
        && QLatin1String(placeholders).contains(tokens.at(i).text);
}

// Reading a code

// A colour, a colour number or a tag for other numerals or calendars.
bool isKnownTag(const QString &content)
{
    static const QRegularExpression tags(
        QStringLiteral("^(?:black|blue|cyan|green|magenta|red|white|yellow|colou?r\\s*\\d+|dbnum\\d+|natnum\\d+|~.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    return tags.match(content).hasMatch();
}

// The part in square brackets: a condition, a currency or locale tag (its
// symbol kept), an elapsed time unit, or a known tag (dropped); false for
// an empty or unknown one.
bool readBracket(const QString &content, Section *section)
{
    if (content.isEmpty())
        return false;
    const QChar first = content.at(0).toLower();
    if (QStringLiteral("<>=").contains(first)) {
        bool ok = false;
        section->condition = content.left(QStringLiteral("=>").contains(content.mid(1, 1)) ? 2 : 1);
        section->bound = content.mid(section->condition.size()).trimmed().toDouble(&ok);
        return ok;
    }
    if (first == QLatin1Char('$')) {
        const QString symbol = content.mid(1).section(QLatin1Char('-'), 0, 0);
        if (!symbol.isEmpty())
            section->tokens.append({Tok::Literal, symbol});
    } else if (QStringLiteral("hms").contains(first) && content.toLower() == QString(content.size(), first)) {
        const Tok kind = first == QLatin1Char('h') ? Tok::ElapsedHours
                       : first == QLatin1Char('m') ? Tok::ElapsedMinutes : Tok::ElapsedSeconds;
        section->tokens.append({kind, QString(), int(content.size())});
    } else {
        return isKnownTag(content);
    }
    return true;
}

// Reads a word of letters at pos (General, AM/PM, A/P, an exponent or a
// date part) into the section; returns its length, 0 when there is none.
int readWord(const QString &code, int pos, Section *section)
{
    auto startsWith = [&](const char *word) {
        return code.midRef(pos).startsWith(QLatin1String(word), Qt::CaseInsensitive);
    };
    const QChar c = code.at(pos);
    const QChar next = pos + 1 < code.size() ? code.at(pos + 1) : QChar();
    const QVector<Token> &tokens = section->tokens;
    const int last = int(tokens.size()) - 1;
    const bool afterDigit = isDigitToken(tokens, last)
        || (last >= 0 && tokens.at(last).kind == Tok::Point && isDigitToken(tokens, last - 1));
    if (c.toLower() == QLatin1Char('e') && afterDigit && !next.isNull() && QStringLiteral("+-0#?").contains(next)) {
        const bool withSign = next == QLatin1Char('+') || next == QLatin1Char('-');
        // without a sign, as "E-": a sign only for negative exponents
        section->tokens.append({Tok::Exponent, withSign ? code.mid(pos, 2) : QString(c) + QLatin1Char('-')});
        return withSign ? 2 : 1;
    }
    if (startsWith("General")) {
        section->tokens.append({Tok::General, QString()});
        return 7;
    }
    if (startsWith("AM/PM") || startsWith("A/P")) {
        const bool full = startsWith("AM/PM");
        section->tokens.append({Tok::AmPm, full ? QStringLiteral("AM/PM") : QString(c)});
        return full ? 5 : 3;
    }
    const int letter = QStringLiteral("ymdhs").indexOf(c.toLower());
    if (letter < 0)
        return 0;
    int end = pos;
    while (end < code.size() && code.at(end).toLower() == c.toLower())
        ++end;
    const Tok kinds[] = {Tok::Year, Tok::Month, Tok::Day, Tok::Hour, Tok::Second};
    section->tokens.append({kinds[letter], QString(), end - pos});
    return end - pos;
}

// An "m" after an hour or before seconds counts minutes; zeros after the
// seconds' decimal point are fractions of a second.
void resolveDateTokens(Section *section)
{
    QVector<Token> &tokens = section->tokens;
    Tok previous = Tok::Literal;
    for (int i = 0; i < tokens.size(); ++i) {
        if (!isDateToken(tokens.at(i).kind))
            continue;
        int next = i + 1;
        while (next < tokens.size() && !isDateToken(tokens.at(next).kind))
            ++next;
        const bool beforeSecond = next < tokens.size()
            && (tokens.at(next).kind == Tok::Second || tokens.at(next).kind == Tok::ElapsedSeconds);
        const bool afterHour = previous == Tok::Hour || previous == Tok::ElapsedHours;
        if (tokens.at(i).kind == Tok::Month && (afterHour || beforeSecond))
            tokens[i].kind = Tok::Minute;
        previous = tokens.at(i).kind;
    }
    for (int i = 1; i < tokens.size(); ++i) {
        const Tok before = tokens.at(i - 1).kind;
        if (tokens.at(i).kind != Tok::Point || (before != Tok::Second && before != Tok::ElapsedSeconds))
            continue;
        int zeros = 0;
        while (isDigitToken(tokens, i + 1 + zeros, "0"))
            ++zeros;
        if (zeros > 0) {
            tokens[i] = {Tok::SubSecond, QString(), qMin(zeros, 3)};
            tokens.remove(i + 1, zeros);
        }
    }
}

void finishSection(Section *section, QVector<Section> *sections)
{
    for (const Token &token : qAsConst(section->tokens)) {
        section->isDate = section->isDate || isDateToken(token.kind);
        section->hasText = section->hasText || token.kind == Tok::Text;
    }
    if (section->isDate)
        resolveDateTokens(section);
    sections->append(*section);
    *section = Section();
}

// Reads the code's sections; false for a code spreadsheet programs refuse
// (an open bracket, an unknown tag in brackets, a dangling escape).
bool parseCode(const QString &code, QVector<Section> *sections)
{
    static const QString symbols = QStringLiteral("0#?.,%/@");
    static const Tok symbolKinds[] = {Tok::Digit, Tok::Digit, Tok::Digit, Tok::Point,
                                      Tok::Comma, Tok::Percent, Tok::Slash, Tok::Text};
    Section section;
    for (int pos = 0; pos < code.size(); ++pos) {
        const QChar c = code.at(pos);
        const bool last = pos + 1 == code.size();
        if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const int end = code.indexOf(c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']'), pos + 1);
            const QString content = code.mid(pos + 1, end - pos - 1);
            if (end < 0 && c == QLatin1Char('"')) {
                // an open quote shows itself and the rest of the code
                section.tokens.append({Tok::Literal, code.mid(pos)});
                break;
            }
            if (end < 0 || (c == QLatin1Char('[') && !readBracket(content, &section)))
                return false;
            if (c == QLatin1Char('"'))
                section.tokens.append({Tok::Literal, content});
            pos = end;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            if (last)
                return false;
            ++pos;
            if (c != QLatin1Char('*'))
                section.tokens.append({Tok::Literal, c == QLatin1Char('_') ? QStringLiteral(" ")
                                                                           : QString(code.at(pos))});
        } else if (c == QLatin1Char(';')) {
            finishSection(&section, sections);
        } else if (symbols.contains(c)) {
            section.tokens.append({symbolKinds[symbols.indexOf(c)], QString(c)});
        } else if (const int length = readWord(code, pos, &section)) {
            pos += length - 1;
        } else {
            section.tokens.append({Tok::Literal, QString(c)});
        }
    }
    finishSection(&section, sections);
    // sections past the fourth are never chosen
    sections->resize(qMin(int(sections->size()), 4));
    return true;
}

// Decimal digits, rounded on the decimal text as spreadsheet programs do

// value = 0.digits * 10^point, at most 15 significant digits, no trailing zeros
struct Decimal
{
    QString digits;
    int point = 0;
};

Decimal trimmed(Decimal d)
{
    while (d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    if (d.digits.isEmpty())
        d.point = 0;
    return d;
}

Decimal toDecimal(double value)
{
    if (value == 0)
        return Decimal();
    const QString text = QString::number(std::fabs(value), 'e', 14);
    const int e = text.indexOf(QLatin1Char('e'));
    return trimmed({text.left(1) + text.mid(2, e - 2), text.mid(e + 1).toInt() + 1});
}

// Keeps the first `keep` digits, rounding half away from zero.
Decimal roundDigits(Decimal d, int keep)
{
    if (keep >= d.digits.size())
        return d;
    if (keep < 0)
        return Decimal();
    const bool up = d.digits.at(keep) >= QLatin1Char('5');
    d.digits.truncate(keep);
    int i = keep - 1;
    while (up && i >= 0 && d.digits.at(i) == QLatin1Char('9'))
        d.digits[i--] = QLatin1Char('0');
    if (up && i >= 0) {
        d.digits[i] = QChar(d.digits.at(i).unicode() + 1);
    } else if (up) {
        d.digits.prepend(QLatin1Char('1'));
        ++d.point;
    }
    return trimmed(d);
}

// The digits from `first` (0 is the first significant one), zeros past the end.
QString digitRange(const Decimal &d, int first, int count)
{
    QString result;
    for (int index = first; index < first + count; ++index)
        result += index >= 0 && index < d.digits.size() ? d.digits.at(index) : QLatin1Char('0');
    return result;
}

QString integerDigits(const Decimal &d)
{
    return digitRange(d, 0, qMax(0, d.point));
}

// The text of a number as a General cell shows it: up to 15 significant
// digits, in decimals from 1E-20 up to 1E+15, else in the shortest
// scientific form.
QString generalText(double value)
{
    const Decimal d = toDecimal(value);
    if (d.digits.isEmpty())
        return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const bool decimal = (d.point <= 15 || (d.point == 16 && d.digits == QLatin1String("1")))
                         && d.digits.size() - d.point <= 20;
    if (!decimal) {
        const int exponent = d.point - 1;
        return sign + d.digits.left(1) + (d.digits.size() > 1 ? QLatin1Char('.') + d.digits.mid(1) : QString())
             + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"))
             + QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
    }
    const QString whole = integerDigits(d);
    const int decimals = int(d.digits.size()) - d.point;
    return sign + (whole.isEmpty() ? QStringLiteral("0") : whole)
         + (decimals > 0 ? QLatin1Char('.') + digitRange(d, d.point, decimals) : QString());
}

// Numbers

QString padding(const QString &placeholder)
{
    return placeholder == QLatin1String("0") ? placeholder
         : placeholder == QLatin1String("?") ? QStringLiteral(" ") : QString();
}

// Spreads the digits over the placeholders from the right, the leftmost
// taking those that do not fit; with grouping a comma goes before each
// third digit from the right that follows another digit.
QStringList fillFromRight(const QStringList &placeholders, const QString &digits, bool grouping)
{
    QStringList result;
    const int count = placeholders.size();
    bool emitted = false;
    for (int i = 0; i < count; ++i) {
        const int own = count - 1 - i; // digit position, counted from the right
        QString text;
        for (int position = i == 0 ? qMax(own, int(digits.size()) - 1) : own; position >= own; --position) {
            const QString digit = position < digits.size() ? QString(digits.at(digits.size() - 1 - position))
                                                           : padding(placeholders.at(i));
            const bool real = !digit.trimmed().isEmpty();
            if (real && grouping && emitted && position % 3 == 2)
                text += QLatin1Char(',');
            text += digit;
            emitted = emitted || real;
        }
        result.append(text);
    }
    return result;
}

// Fills the decimals from the left; trailing zeros of '#' vanish and those
// of '?' become spaces.
QStringList fillFromLeft(const QStringList &placeholders, const QString &digits)
{
    QStringList result;
    bool trailing = true;
    for (int i = placeholders.size() - 1; i >= 0; --i) {
        trailing = trailing && digits.at(i) == QLatin1Char('0') && placeholders.at(i) != QLatin1String("0");
        result.prepend(trailing ? padding(placeholders.at(i)) : QString(digits.at(i)));
    }
    return result;
}

struct NumberLayout
{
    QVector<Token> tokens;
    QVector<int> integerPart, decimalPart, exponentPart, numerator, denominator;
    int point = -1, exponent = -1, slash = -1;
    int fixedDenominator = 0;
    bool grouping = false;
    bool mixed = false; // a fraction with a decimal point or an exponent
    int scaleCommas = 0, percents = 0;
};

// A slash after a placeholder and before placeholders or a fixed
// denominator ("?/8", "?/100") makes a fraction.
void findFraction(NumberLayout *layout)
{
    QVector<Token> &tokens = layout->tokens;
    auto isLiteralDigit = [&tokens](int i) {
        return i < tokens.size() && tokens.at(i).kind == Tok::Literal && tokens.at(i).text.size() == 1
            && tokens.at(i).text.at(0).isDigit();
    };
    for (int i = 1; i + 1 < tokens.size(); ++i) {
        if (tokens.at(i).kind != Tok::Slash || !isDigitToken(tokens, i - 1))
            continue;
        if (isLiteralDigit(i + 1)) {
            QString digits;
            while (isLiteralDigit(i + 1) || isDigitToken(tokens, i + 1, "0")) {
                digits += tokens.at(i + 1).text;
                tokens.remove(i + 1);
            }
            tokens.insert(i + 1, {Tok::Literal, digits});
            layout->fixedDenominator = digits.toInt();
        } else if (!isDigitToken(tokens, i + 1)) {
            continue;
        }
        layout->slash = i;
        return;
    }
}

// A comma between placeholders of the whole part groups thousands, commas
// right after a placeholder divide by 1000 each, others are text.
void classifyCommas(NumberLayout *layout)
{
    QVector<Token> &tokens = layout->tokens;
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens.at(i).kind != Tok::Comma)
            continue;
        int after = i;
        while (after < tokens.size() && tokens.at(after).kind == Tok::Comma)
            ++after;
        const bool inWhole = (layout->point < 0 || i < layout->point)
                             && (layout->exponent < 0 || i < layout->exponent);
        const bool afterDigit = isDigitToken(tokens, i - 1);
        const bool beforeDigit = isDigitToken(tokens, after);
        const bool groups = afterDigit && beforeDigit && inWhole;
        const bool scales = afterDigit && !beforeDigit;
        layout->grouping = layout->grouping || groups;
        layout->scaleCommas += scales ? after - i : 0;
        for (int j = i; j < after; ++j) {
            tokens[j].kind = Tok::Literal;
            if (groups || scales)
                tokens[j].text.clear();
        }
        i = after - 1;
    }
}

NumberLayout analyseNumber(const QVector<Token> &tokens)
{
    NumberLayout layout;
    layout.tokens = tokens;
    findFraction(&layout);
    for (int i = 0; i < layout.tokens.size(); ++i) {
        const Tok kind = layout.tokens.at(i).kind;
        layout.mixed = layout.mixed || (layout.slash >= 0 && (kind == Tok::Exponent || kind == Tok::Point));
        if (kind == Tok::Exponent && layout.exponent < 0)
            layout.exponent = i;
        else if (kind == Tok::Point && layout.point < 0 && layout.exponent < 0)
            layout.point = i;
        else if (kind == Tok::Percent)
            ++layout.percents;
    }
    classifyCommas(&layout);
    int numeratorStart = layout.slash;
    while (isDigitToken(layout.tokens, numeratorStart - 1))
        --numeratorStart;
    for (int i = 0; i < layout.tokens.size(); ++i) {
        if (layout.tokens.at(i).kind != Tok::Digit)
            continue;
        const bool afterSlash = layout.slash >= 0 && i > layout.slash;
        const bool inNumerator = layout.slash >= 0 && i >= numeratorStart && !afterSlash;
        if (layout.exponent >= 0 && i > layout.exponent)
            layout.exponentPart.append(i);
        else
            (afterSlash ? layout.denominator : inNumerator ? layout.numerator
             : layout.point >= 0 && i > layout.point ? layout.decimalPart : layout.integerPart).append(i);
    }
    return layout;
}

// Puts the texts for the placeholders at the given token indexes.
void place(const NumberLayout &layout, const QVector<int> &indexes, QVector<QString> *texts,
           const QString &digits, bool fromRight = true, bool grouping = false)
{
    QStringList placeholders;
    for (int i : indexes)
        placeholders.append(layout.tokens.at(i).text);
    const QStringList values = fromRight ? fillFromRight(placeholders, digits, grouping)
                                         : fillFromLeft(placeholders, digits);
    for (int i = 0; i < indexes.size(); ++i)
        (*texts)[indexes.at(i)] = values.at(i);
}

// Fills the whole and decimal placeholders; returns whether anything but
// zeros shows.
bool placeDecimal(const NumberLayout &layout, const Decimal &rounded, QVector<QString> *texts)
{
    const QString whole = integerDigits(rounded);
    place(layout, layout.integerPart, texts, whole, true, layout.grouping);
    place(layout, layout.decimalPart, texts, digitRange(rounded, rounded.point, layout.decimalPart.size()), false);
    if (layout.point >= 0) {
        // the point goes with the decimals: none shown, no point
        bool decimalsShown = false;
        for (int i : layout.decimalPart)
            decimalsShown = decimalsShown || !texts->at(i).isEmpty();
        const QString point = decimalsShown ? QStringLiteral(".") : QString();
        (*texts)[layout.point] = layout.integerPart.isEmpty() ? whole + point : point;
    }
    return !rounded.digits.isEmpty();
}

// The exponent is a multiple of the count of whole placeholders, so that
// "##0.0E+0" shows engineering notation.
bool placeScientific(const NumberLayout &layout, const Decimal &value, QVector<QString> *texts)
{
    const int step = qMax(1, int(layout.integerPart.size()));
    Decimal mantissa;
    int exponent = 0;
    for (int magnitude = value.point - 1, pass = 0; !value.digits.isEmpty() && pass < 2; ++pass) {
        exponent = int(std::floor(double(magnitude) / step)) * step;
        mantissa = roundDigits(value, magnitude - exponent + 1 + layout.decimalPart.size());
        if (mantissa.point - 1 == magnitude)
            break;
        magnitude = mantissa.point - 1; // rounding carried into a new digit
    }
    mantissa.point -= exponent;
    placeDecimal(layout, mantissa, texts);
    const QString &letter = layout.tokens.at(layout.exponent).text;
    const bool alwaysSign = letter.at(1) == QLatin1Char('+');
    const QString sign = exponent < 0 ? QStringLiteral("-") : alwaysSign ? QStringLiteral("+") : QString();
    (*texts)[layout.exponent] = letter.left(1) + sign;
    place(layout, layout.exponentPart, texts, exponent == 0 ? QString() : QString::number(std::abs(exponent)));
    return !mantissa.digits.isEmpty();
}

// The closest fraction with the fixed denominator, or with one of at most
// `digits` digits (the smallest of equally close ones).
void closestFraction(double fraction, int digits, int fixed, qint64 *numerator, qint64 *denominator)
{
    const int limit = fixed > 0 ? fixed : int(std::pow(10.0, qMin(digits, 4))) - 1;
    double bestError = 2;
    for (int den = fixed > 0 ? fixed : 1; den <= limit; ++den) {
        const qint64 num = qint64(std::floor(fraction * den + 0.5));
        const double error = std::fabs(fraction - double(num) / den);
        if (error < bestError) {
            bestError = error;
            *numerator = num;
            *denominator = den;
        }
    }
}

// A whole number with no fraction shows spaces where the fraction goes.
void blankFraction(const NumberLayout &layout, QVector<QString> *texts)
{
    const int last = layout.denominator.isEmpty() ? layout.slash + 1 : layout.denominator.last();
    for (int i = layout.numerator.first(); i <= last; ++i)
        (*texts)[i] = QString(layout.tokens.at(i).kind == Tok::Literal ? layout.tokens.at(i).text.size() : 1,
                              QLatin1Char(' '));
}

bool placeFraction(const NumberLayout &layout, double value, QVector<QString> *texts)
{
    const bool hasWhole = !layout.integerPart.isEmpty();
    double whole = hasWhole ? std::floor(value) : 0;
    qint64 num = 0, den = 1;
    closestFraction(value - whole, layout.denominator.size(), layout.fixedDenominator, &num, &den);
    if (hasWhole && num == den) {
        whole += 1;
        num = 0;
    }
    place(layout, layout.integerPart, texts, whole > 0 || num == 0 ? QString::number(whole, 'f', 0) : QString(),
          true, layout.grouping);
    if (hasWhole && num == 0) {
        blankFraction(layout, texts);
        return whole > 0;
    }
    place(layout, layout.numerator, texts, QString::number(num));
    const QString denominator = QString::number(den);
    for (int i = 0; i < layout.denominator.size(); ++i) {
        const int index = layout.denominator.at(i);
        (*texts)[index] = i < denominator.size() ? QString(denominator.at(i)) : padding(layout.tokens.at(index).text);
    }
    return whole > 0 || num > 0;
}

// The section's text for the absolute value; *shown is false when nothing
// but zeros shows, so that no minus sign goes before it.
bool renderNumber(const Section &section, double value, QString *result, bool *shown)
{
    const NumberLayout layout = analyseNumber(section.tokens);
    if (layout.mixed)
        return false;
    QVector<QString> texts;
    *shown = false;
    for (const Token &token : layout.tokens) {
        texts.append(token.kind == Tok::General ? generalText(value) : token.text);
        *shown = *shown || (token.kind == Tok::General && value != 0);
    }
    // however many percent signs, the value is scaled once
    const double scaled = value * (layout.percents > 0 ? 100.0 : 1.0) / std::pow(1000.0, layout.scaleCommas);
    if (!std::isfinite(scaled))
        return false;
    const Decimal exact = toDecimal(scaled);
    if (layout.slash >= 0)
        *shown = placeFraction(layout, scaled, &texts);
    else if (layout.exponent >= 0)
        *shown = placeScientific(layout, exact, &texts);
    else if (!layout.integerPart.isEmpty() || !layout.decimalPart.isEmpty())
        *shown = placeDecimal(layout, roundDigits(exact, exact.point + layout.decimalPart.size()), &texts);
    for (const QString &text : qAsConst(texts))
        *result += text;
    return true;
}

// Dates and times

struct DateTime
{
    int year = 1900, month = 1, day = 0, weekday = 0; // weekday 0 is Sunday
    qint64 seconds = 0; // elapsed since day 0
    qint64 milliseconds = 0; // within the second
};

// Serial days of the 1900 system, which counts a 29 February 1900 that
// never was; day 0 shows as 1900-01-00.
void setDate(qint64 serial, DateTime *dt)
{
    dt->weekday = int((serial + 6) % 7);
    if (serial == 0 || serial == 60) {
        dt->month = serial == 0 ? 1 : 2;
        dt->day = serial == 0 ? 0 : 29;
        return;
    }
    const QDate date = QDate(1899, 12, serial < 60 ? 31 : 30).addDays(serial);
    dt->year = date.year();
    dt->month = date.month();
    dt->day = date.day();
}

// How a code's date and time parts cut the value to what they show.
enum class Cut {
    Nearest,    // dates with times, elapsed times: to the nearest shown unit
    Clock,      // times of day alone: the clock's seconds, fractions cut off
    WholeDay    // dates alone: the day, whatever its time
};

// The time of day of a serial number in seconds as a clock shows it: the
// seconds rounded to the digits the number holds (nine decimals below a
// day, fewer the larger the number), a day's end read as 0.
double clockSeconds(double serial)
{
    const double raw = (serial - std::floor(serial)) * 86400.0;
    int decimals = 9;
    if (serial >= 1)
        decimals = qBound(2, 10 - int(std::ceil(std::log10(serial))), 9);
    const double scale = std::pow(10.0, decimals);
    const double seconds = std::round(raw * scale) / scale;
    return seconds >= 86400.0 ? 0 : seconds;
}

// Seconds in units of the shown fraction of a second: the fraction rounded,
// but cut off where rounding would reach the next second.
double clockUnits(double seconds, qint64 perSecond)
{
    const double whole = std::floor(seconds);
    const double fraction = std::round((seconds - whole) * double(perSecond));
    return whole * double(perSecond) + qMin(fraction, double(perSecond - 1));
}

// The serial in units of the shown fraction of a second.
double shownUnits(double value, qint64 perSecond, Cut cut)
{
    const double days = std::floor(value) * 86400.0 * double(perSecond);
    switch (cut) {
    case Cut::WholeDay:
        return days;
    case Cut::Clock:
        return days + clockUnits(clockSeconds(value), perSecond);
    default:
        return std::floor(value * 86400.0 * double(perSecond) + 0.5);
    }
}

// Cuts the serial to the shown fractions of a second; false for a value
// before the first day or after 9999-12-31.
bool toDateTime(double value, bool date1904, int decimals, Cut cut, DateTime *dt)
{
    const qint64 perSecond = qint64(std::pow(10.0, decimals));
    const double units = shownUnits(value, perSecond, cut);
    if (value < 0 || units > 3.0e6 * 86400.0 * perSecond)
        return false;
    const qint64 total = qint64(units);
    dt->seconds = total / perSecond;
    dt->milliseconds = (total % perSecond) * (1000 / perSecond);
    setDate(dt->seconds / 86400 + (date1904 ? 1462 : 0), dt);
    return dt->year <= 9999;
}

QString padded(qint64 number, int width)
{
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

QString dateTokenText(const Token &token, const DateTime &dt, bool twelveHours)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    const int hour = int(dt.seconds / 3600 % 24);
    const int width = qMin(token.count, 2);
    const QString month = english.monthName(dt.month);
    const QString day = english.dayName(dt.weekday == 0 ? 7 : dt.weekday);
    switch (token.kind) {
    case Tok::Year: return token.count <= 2 ? padded(dt.year % 100, 2) : padded(dt.year, 4);
    case Tok::Month:
        return width == token.count ? padded(dt.month, width)
                                    : month.left(token.count == 3 ? 3 : token.count == 5 ? 1 : -1);
    case Tok::Day: return width == token.count ? padded(dt.day, width) : day.left(token.count == 3 ? 3 : -1);
    case Tok::Hour: return padded(twelveHours ? (hour + 11) % 12 + 1 : hour, width);
    case Tok::Minute: return padded(dt.seconds / 60 % 60, width);
    case Tok::Second: return padded(dt.seconds % 60, width);
    case Tok::ElapsedHours: return padded(dt.seconds / 3600, token.count);
    case Tok::ElapsedMinutes: return padded(dt.seconds / 60, token.count);
    case Tok::ElapsedSeconds: return padded(dt.seconds, token.count);
    case Tok::SubSecond: return QLatin1Char('.') + padded(dt.milliseconds, 3).left(token.count);
    case Tok::AmPm:
        if (token.text.size() > 1)
            return hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        if (token.text.at(0).isLower())
            return QString(hour < 12 ? QLatin1Char('a') : QLatin1Char('p'));
        return QString(hour < 12 ? QLatin1Char('A') : QLatin1Char('P'));
    default: return token.text;
    }
}

Cut cutOf(const Section &section)
{
    bool day = false;
    bool time = false;
    for (const Token &token : section.tokens) {
        const Tok kind = token.kind;
        if (kind == Tok::ElapsedHours || kind == Tok::ElapsedMinutes || kind == Tok::ElapsedSeconds)
            return Cut::Nearest;
        day = day || kind == Tok::Year || kind == Tok::Month || kind == Tok::Day;
        time = time || kind == Tok::Hour || kind == Tok::Minute || kind == Tok::Second || kind == Tok::SubSecond
            || kind == Tok::AmPm;
    }
    return day && time ? Cut::Nearest : time ? Cut::Clock : Cut::WholeDay;
}

bool renderDate(const Section &section, double value, bool date1904, QString *result)
{
    int decimals = 0;
    bool twelveHours = false;
    for (const Token &token : section.tokens) {
        decimals = token.kind == Tok::SubSecond ? qMax(decimals, token.count) : decimals;
        twelveHours = twelveHours || token.kind == Tok::AmPm;
    }
    DateTime dt;
    if (!toDateTime(value, date1904, decimals, cutOf(section), &dt))
        return false;
    for (const Token &token : section.tokens)
        *result += dateTokenText(token, dt, twelveHours);
    return true;
}

// Choosing the section

bool conditionHolds(const Section &section, double value)
{
    const QString &op = section.condition;
    const double bound = section.bound;
    return op == QLatin1String("<") ? value < bound : op == QLatin1String("<=") ? value <= bound
         : op == QLatin1String(">") ? value > bound : op == QLatin1String(">=") ? value >= bound
         : op == QLatin1String("=") ? value == bound : value != bound;
}

// The second section, and one whose condition takes only negative numbers,
// show the absolute value.
bool showsAbsolute(const Section &section, int index)
{
    const bool forNegatives = (section.condition == QLatin1String("<") || section.condition == QLatin1String("<="))
                              && section.bound == 0;
    return index == 1 || forNegatives;
}

// The index of the section for the value, -1 to show it in General (a code
// for texts only, or one whose conditions all fail).
int chooseSection(const QVector<Section> &sections, double value)
{
    int count = qMin(int(sections.size()), 3);
    if (sections.size() > 1 && sections.size() < 4 && sections.last().hasText)
        --count;
    if (count == 1 && sections.first().hasText)
        return -1;
    const bool conditional = !sections.first().condition.isEmpty()
                             || (count > 1 && !sections.at(1).condition.isEmpty());
    if (!conditional)
        return count == 1 || value > 0 || (value == 0 && count == 2) ? 0 : value < 0 ? 1 : 2;
    if (sections.first().condition.isEmpty() || conditionHolds(sections.first(), value))
        return 0;
    if (count == 1)
        return -1;
    if (sections.at(1).condition.isEmpty() || conditionHolds(sections.at(1), value))
        return 1;
    return count > 2 ? 2 : -1;
}

QString renderText(const Section &section, const QString &text)
{
    QString result;
    for (const Token &token : section.tokens)
        result += token.kind == Tok::Text ? text : token.text;
    return result;
}

QString failed(bool *ok)
{
    if (ok)
        *ok = false;
    return QString();
}

} // namespace

QString NumberFormatter::formatNumber(double value, const QString &code, bool date1904, bool *ok)
{
    if (ok)
        *ok = true;
    if (!std::isfinite(value))
        return failed(ok);
    if (code.isEmpty() || code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return generalText(value);
    QVector<Section> sections;
    if (!parseCode(code, &sections))
        return failed(ok);
    const int index = chooseSection(sections, value);
    if (index < 0)
        return generalText(value);
    const Section &section = sections.at(index);
    QString result;
    bool shown = false;
    if (section.isDate)
        return renderDate(section, value, date1904, &result) ? result : failed(ok);
    if (!renderNumber(section, std::fabs(value), &result, &shown))
        return failed(ok);
    if (value < 0 && shown && !showsAbsolute(section, index))
        result.prepend(QLatin1Char('-'));
    return result;
}

QString NumberFormatter::formatText(const QString &text, const QString &code, bool *ok)
{
    if (ok)
        *ok = true;
    QVector<Section> sections;
    if (!parseCode(code, &sections))
        return failed(ok);
    if (sections.size() == 4)
        return renderText(sections.at(3), text);
    if (sections.size() == 1 && sections.first().hasText)
        return renderText(sections.first(), text);
    return text;
}

} // namespace Spreadsheet
