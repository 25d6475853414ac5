#include "calcfunction_p.h"
#include "numberformatter_p.h"

#include <QStringList>

#include <cmath>
#include <iterator>

namespace Spreadsheet {

namespace {

using CalcCoercion::maximumTextLength;
constexpr int maximumFixedDecimals = 127;

CalcValue valueError()
{
    return CalcValue::error(CalcError::Value);
}

CalcValue textResult(const QString &text)
{
    if (text.size() > maximumTextLength)
        return valueError();
    return CalcValue(text);
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// A value met in a range or array as the text functions join it.
QString textOf(const CalcValue &value)
{
    switch (value.type()) {
    case CalcValue::Number:
        return CalcCoercion::numberToText(value.number());
    case CalcValue::Text:
        return value.text();
    case CalcValue::Boolean:
        return booleanText(value.booleanValue());
    default:
        return QString();
    }
}

// A number argument; the default only when the call stops before it (an
// argument left empty, "LEFT(A1,)", is 0).
bool optionalNumber(CalcCall &call, int index, double omitted, double &value)
{
    if (index >= call.count()) {
        value = omitted;
        return true;
    }
    return call.number(index, value);
}

// A count or position argument, truncated toward zero and clamped to what
// a text can hold; below minimum (before truncation) it is #VALUE!.
bool countArgument(CalcCall &call, int index, double omitted, double minimum, int &count)
{
    double value = 0;
    if (!optionalNumber(call, index, omitted, value))
        return false;
    if (value < minimum) {
        call.setError(CalcError::Value);
        return false;
    }
    count = int(qMin(std::trunc(value), double(maximumTextLength) + 1));
    return true;
}

CalcValue len(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    return double(text.size());
}

CalcValue left(CalcCall &call)
{
    QString text;
    int count = 0;
    if (!call.text(0, text) || !countArgument(call, 1, 1, 0, count))
        return call.error();
    return text.left(count);
}

CalcValue right(CalcCall &call)
{
    QString text;
    int count = 0;
    if (!call.text(0, text) || !countArgument(call, 1, 1, 0, count))
        return call.error();
    return text.right(count);
}

CalcValue mid(CalcCall &call)
{
    QString text;
    int start = 0;
    int count = 0;
    if (!call.text(0, text) || !countArgument(call, 1, 1, 1, start) || !countArgument(call, 2, 0, 0, count))
        return call.error();
    if (start > text.size())
        return QString();
    return text.mid(start - 1, count);
}

constexpr char16_t sharpS = 0x00DF;
constexpr char16_t capitalSharpS = 0x1E9E;
constexpr char16_t capitalIWithDot = 0x0130;

// Capitals as the full Unicode mapping gives them (the ligature "fi" as
// "FI"), except that the sharp s keeps to one letter, its capital.
QString upperCase(QString text)
{
    text.replace(QChar(sharpS), QChar(capitalSharpS));
    return text.toUpper();
}

// Small letters as the full Unicode mapping gives them, except that the
// capital I with dot stays as it is.
QString lowerCase(const QString &text)
{
    QStringList parts = text.split(QChar(capitalIWithDot));
    for (QString &part : parts)
        part = part.toLower();
    return parts.join(QChar(capitalIWithDot));
}

QChar capitalOf(QChar c)
{
    return c == QChar(sharpS) ? QChar(capitalSharpS) : c.toUpper();
}

CalcValue upper(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    return upperCase(text);
}

CalcValue lower(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    return lowerCase(text);
}

// Capitals for the first letter of each run of letters, small letters for
// the rest.
CalcValue proper(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    bool afterLetter = false;
    for (QChar &c : text) {
        if (c.isLetter()) {
            c = afterLetter ? c.toLower() : capitalOf(c);
            afterLetter = true;
        } else {
            afterLetter = false;
        }
    }
    return text;
}

// Spaces (only the plain space) removed at both ends, runs between words
// reduced to one.
CalcValue trim(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    QString result;
    result.reserve(text.size());
    bool spaceBefore = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ')) {
            spaceBefore = !result.isEmpty();
            continue;
        }
        if (spaceBefore)
            result += QLatin1Char(' ');
        spaceBefore = false;
        result += c;
    }
    return result;
}

// The control characters 0 to 31 removed.
CalcValue clean(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 32)
            result += c;
    }
    return result;
}

CalcValue concatenate(CalcCall &call)
{
    QString result;
    for (int i = 0; i < call.count(); ++i) {
        QString text;
        if (!call.text(i, text))
            return call.error();
        result += text;
        if (result.size() > maximumTextLength)
            return valueError();
    }
    return result;
}

// Joins texts with delimiters taken in turn, as TEXTJOIN and CONCAT do.
class TextJoiner
{
public:
    TextJoiner(const QStringList &delimiters, bool ignoreEmpty) : m_delimiters(delimiters), m_ignoreEmpty(ignoreEmpty) {}

    bool add(const CalcValue &value)
    {
        if (value.isError()) {
            m_failure = value;
            return false;
        }
        const QString text = textOf(value);
        if (m_ignoreEmpty && text.isEmpty())
            return true;
        if (m_hasTexts && !m_delimiters.isEmpty())
            m_result += m_delimiters.at(m_nextDelimiter++ % m_delimiters.size());
        m_hasTexts = true;
        m_result += text;
        if (m_result.size() > maximumTextLength) {
            m_failure = valueError();
            return false;
        }
        return true;
    }

    const QString &result() const { return m_result; }
    const CalcValue &failure() const { return m_failure; }

private:
    QStringList m_delimiters;
    bool m_ignoreEmpty;
    QString m_result;
    bool m_hasTexts = false;
    int m_nextDelimiter = 0;
    CalcValue m_failure;
};

// Adds the values of an argument, blank cells skipped.
bool joinStoredValues(CalcCall &call, int index, TextJoiner &joiner)
{
    return call.forEach(index, [&joiner](const CalcValue &value, bool) { return joiner.add(value); });
}

// Adds the values of an argument, blank cells as empty texts.
bool joinAllValues(CalcCall &call, int index, TextJoiner &joiner)
{
    const CalcMatrix matrix = call.matrix(index);
    for (const CalcValue &value : matrix.values) {
        if (!joiner.add(value))
            return false;
    }
    return true;
}

CalcValue concat(CalcCall &call)
{
    TextJoiner joiner(QStringList(), false);
    for (int i = 0; i < call.count(); ++i) {
        if (!joinStoredValues(call, i, joiner))
            return joiner.failure();
    }
    return joiner.result();
}

qint64 cellCount(const CalcValue &value)
{
    if (value.isReference()) {
        qint64 count = 0;
        for (int i = 0; i < value.areaCount(); ++i)
            count += value.areaAt(i).size();
        return count;
    }
    if (value.isArray())
        return qint64(value.matrix().rows) * value.matrix().columns;
    return 1;
}

bool delimitersOf(CalcCall &call, QStringList &delimiters)
{
    const CalcMatrix matrix = call.matrix(0);
    for (const CalcValue &value : matrix.values) {
        if (value.isError()) {
            call.setError(value.errorValue());
            return false;
        }
        delimiters += textOf(value);
    }
    return true;
}

CalcValue textJoin(CalcCall &call)
{
    QStringList delimiters;
    bool ignoreEmpty = false;
    if (!delimitersOf(call, delimiters) || !call.boolean(1, ignoreEmpty, false))
        return call.error();
    int shortestDelimiter = maximumTextLength;
    for (const QString &delimiter : qAsConst(delimiters))
        shortestDelimiter = qMin(shortestDelimiter, int(delimiter.size()));
    if (delimiters.isEmpty())
        shortestDelimiter = 0;

    // Blank cells take part only when they would add a delimiter.
    const bool keepBlanks = !ignoreEmpty && shortestDelimiter > 0;
    TextJoiner joiner(delimiters, ignoreEmpty);
    for (int i = 2; i < call.count(); ++i) {
        if (keepBlanks && cellCount(call.at(i)) > maximumTextLength + 1)
            return valueError();
        const bool joined = keepBlanks ? joinAllValues(call, i, joiner) : joinStoredValues(call, i, joiner);
        if (!joined)
            return joiner.failure();
    }
    return joiner.result();
}

// Occurrences of a non-empty text that do not overlap, counted from the
// left as SUBSTITUTE replaces them.
int separateOccurrences(const QString &text, const QString &part)
{
    int count = 0;
    for (int at = text.indexOf(part); at >= 0; at = text.indexOf(part, at + part.size()))
        ++count;
    return count;
}

CalcValue substitute(CalcCall &call)
{
    QString text;
    QString oldText;
    QString newText;
    if (!call.text(0, text) || !call.text(1, oldText) || !call.text(2, newText))
        return call.error();
    int instance = 0;
    if (call.count() > 3 && !countArgument(call, 3, 1, 1, instance))
        return call.error();
    if (oldText.isEmpty())
        return text;

    if (instance > 0) {
        int position = -oldText.size();
        for (int found = 0; found < instance; ++found) {
            position = text.indexOf(oldText, position + oldText.size());
            if (position < 0)
                return text;
        }
        return textResult(text.replace(position, oldText.size(), newText));
    }
    const qint64 occurrences = separateOccurrences(text, oldText);
    if (text.size() + occurrences * (newText.size() - oldText.size()) > maximumTextLength)
        return valueError();
    return text.replace(oldText, newText);
}

CalcValue replace(CalcCall &call)
{
    QString text;
    int start = 0;
    int count = 0;
    QString newText;
    if (!call.text(0, text) || !countArgument(call, 1, 1, 1, start) || !countArgument(call, 2, 0, 0, count)
        || !call.text(3, newText))
        return call.error();
    const int position = qMin(start - 1, int(text.size()));
    return textResult(text.left(position) + newText + text.mid(position + count));
}

// A text case-folded character by character, as many characters as the
// folding makes (the sharp s as "ss"), with the position in the text each
// comes from.
struct FoldedText
{
    QString text;
    std::vector<int> origins;
};

QString foldedCharacter(QChar c)
{
    if (c == QChar(sharpS) || c == QChar(capitalSharpS))
        return QStringLiteral("ss");
    return QString(c).toCaseFolded();
}

FoldedText caseFolded(const QString &text)
{
    FoldedText folded;
    for (int i = 0; i < text.size(); ++i) {
        const QString part = foldedCharacter(text.at(i));
        folded.text += part;
        folded.origins.insert(folded.origins.end(), size_t(part.size()), i);
    }
    folded.origins.push_back(int(text.size()));
    return folded;
}

// A text to search for with "?" for any one character, "*" for any run of
// them and "~" making the character after it a plain one; letter case
// does not count.
class WildcardPattern
{
public:
    explicit WildcardPattern(const QString &pattern)
    {
        for (int i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern.at(i);
            if (c == QLatin1Char('~') && i + 1 < pattern.size())
                addLiteral(pattern.at(++i));
            else if (c == QLatin1Char('?'))
                m_tokens.push_back({ AnyCharacter, c });
            else if (c == QLatin1Char('*'))
                m_tokens.push_back({ AnyRun, c });
            else
                addLiteral(c);
        }
    }

    // Whether the pattern matches the folded text from position on, up to
    // any end.
    bool matchesAt(const QString &foldedText, int position) const
    {
        const int tokenCount = int(m_tokens.size());
        int token = 0;
        int at = position;
        int runToken = -1;
        int runEnd = 0;
        while (token < tokenCount) {
            const Token &current = m_tokens[size_t(token)];
            if (current.kind == AnyRun) {
                runToken = token++;
                runEnd = at;
            } else if (at < foldedText.size()
                       && (current.kind == AnyCharacter || current.character == foldedText.at(at))) {
                ++token;
                ++at;
            } else if (runToken >= 0 && runEnd < foldedText.size()) {
                token = runToken + 1;
                at = ++runEnd;
            } else {
                return false;
            }
        }
        return true;
    }

private:
    enum Kind { Literal, AnyCharacter, AnyRun };
    struct Token
    {
        Kind kind;
        QChar character;
    };

    void addLiteral(QChar c)
    {
        for (const QChar folded : foldedCharacter(c))
            m_tokens.push_back({ Literal, folded });
    }

    std::vector<Token> m_tokens;
};

// The arguments FIND and SEARCH share; the start is 1 to the length of the
// text searched.
bool searchArguments(CalcCall &call, QString &needle, QString &haystack, int &start)
{
    if (!call.text(0, needle) || !call.text(1, haystack) || !countArgument(call, 2, 1, 1, start))
        return false;
    if (start > haystack.size()) {
        call.setError(CalcError::Value);
        return false;
    }
    return true;
}

CalcValue find(CalcCall &call)
{
    QString needle;
    QString haystack;
    int start = 0;
    if (!searchArguments(call, needle, haystack, start))
        return call.error();
    const int position = haystack.indexOf(needle, start - 1, Qt::CaseSensitive);
    if (position < 0)
        return valueError();
    return double(position + 1);
}

// The first place at or after start where the pattern matches, counted on
// the characters of the text (a match begins with a whole one).
CalcValue search(CalcCall &call)
{
    QString needle;
    QString haystack;
    int start = 0;
    if (!searchArguments(call, needle, haystack, start))
        return call.error();
    const WildcardPattern pattern(needle);
    const FoldedText folded = caseFolded(haystack);
    for (int position = 0; position < folded.text.size(); ++position) {
        const int origin = folded.origins[size_t(position)];
        const bool startsCharacter = position == 0 || folded.origins[size_t(position - 1)] != origin;
        if (origin >= start - 1 && startsCharacter && pattern.matchesAt(folded.text, position))
            return double(origin + 1);
    }
    return valueError();
}

CalcValue formatAsText(CalcCall &call)
{
    const CalcValue &value = call.at(0);
    if (value.isError())
        return value;
    QString code;
    if (!call.text(1, code))
        return call.error();
    if (code.isEmpty())
        return QString();
    bool ok = false;
    QString result;
    double number = 0;
    if (value.isBoolean())
        result = NumberFormatter::formatText(booleanText(value.booleanValue()), code, &ok);
    else if (value.isText() && !call.number(0, number))
        result = NumberFormatter::formatText(value.text(), code, &ok);
    else if (call.number(0, number))
        result = NumberFormatter::formatNumber(number, code, call.isDate1904(), &ok);
    else
        return call.error();
    if (!ok)
        return valueError();
    return textResult(result);
}

CalcValue valueOfText(CalcCall &call)
{
    const CalcValue &value = call.at(0);
    switch (value.type()) {
    case CalcValue::Error:
    case CalcValue::Number:
        return value;
    case CalcValue::Blank:
        return 0.0;
    case CalcValue::Text: {
        double number = 0;
        if (CalcCoercion::textToNumber(value.text(), call.isDate1904(), number))
            return number;
        return valueError();
    }
    default:
        return valueError();
    }
}

// A number cut to the 15 significant digits a cell shows, so that 2.675
// scaled by 100 rounds as 267.5 does.
double shownDigits(double number)
{
    return QString::number(number, 'g', 15).toDouble();
}

// Rounded half away from zero to decimals places (left of the point when
// negative), so that the sign of a result that rounds to zero goes.
double roundedToDecimals(double number, int decimals)
{
    if (decimals > 15)
        return number;
    const double scale = std::pow(10.0, std::abs(decimals));
    double rounded = 0;
    if (decimals >= 0)
        rounded = std::round(shownDigits(number * scale)) / scale;
    else if (std::isfinite(scale))
        rounded = std::round(shownDigits(number / scale)) * scale;
    return rounded == 0 ? 0.0 : rounded;
}

CalcValue fixed(CalcCall &call)
{
    double number = 0;
    double decimals = 0;
    bool noCommas = false;
    if (!call.number(0, number) || !call.number(1, decimals, 2) || !call.boolean(2, noCommas, false))
        return call.error();
    decimals = std::floor(decimals);
    if (decimals > maximumFixedDecimals)
        return valueError();
    const int places = int(qMax(decimals, -400.0));
    number = roundedToDecimals(number, places);

    QString code = noCommas ? QStringLiteral("0") : QStringLiteral("#,##0");
    if (places > 0)
        code += QLatin1Char('.') + QString(places, QLatin1Char('0'));
    bool ok = false;
    const QString result = NumberFormatter::formatNumber(number, code, call.isDate1904(), &ok);
    if (!ok)
        return valueError();
    return textResult(result);
}

CalcValue rept(CalcCall &call)
{
    QString text;
    double times = 0;
    if (!call.text(0, text) || !call.number(1, times))
        return call.error();
    if (times < 0)
        return valueError();
    times = std::trunc(times);
    if (!text.isEmpty() && times * text.size() > maximumTextLength)
        return valueError();
    if (text.isEmpty())
        return QString();
    return text.repeated(int(times));
}

CalcValue exact(CalcCall &call)
{
    QString first;
    QString second;
    if (!call.text(0, first) || !call.text(1, second))
        return call.error();
    return CalcValue::boolean(first == second);
}

// Character codes 128 to 159 of the Western (Windows) character set; the
// five it leaves undefined keep their own code.
const char16_t windowsWesternHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t characterOfCode(int code)
{
    if (code >= 128 && code < 160)
        return windowsWesternHigh[code - 128];
    return char16_t(code);
}

// The code of a character in the Western character set; "?" for one it
// lacks.
int codeOfCharacter(char16_t c)
{
    if (c < 128 || (c >= 160 && c < 256))
        return c;
    for (int i = 0; i < int(std::size(windowsWesternHigh)); ++i) {
        if (windowsWesternHigh[i] == c)
            return 128 + i;
    }
    return '?';
}

CalcValue character(CalcCall &call)
{
    double code = 0;
    if (!call.number(0, code))
        return call.error();
    code = std::trunc(code);
    if (code < 1 || code > 255)
        return valueError();
    return QString(QChar(characterOfCode(int(code))));
}

CalcValue characterCode(CalcCall &call)
{
    QString text;
    if (!call.text(0, text))
        return call.error();
    if (text.isEmpty())
        return valueError();
    return double(codeOfCharacter(text.at(0).unicode()));
}

const CalcFunction textFunctions[] = {
    { "LEN", 1, 1, "S", len },
    { "LEFT", 1, 2, "S", left },
    { "RIGHT", 1, 2, "S", right },
    { "MID", 3, 3, "S", mid },
    { "UPPER", 1, 1, "S", upper },
    { "LOWER", 1, 1, "S", lower },
    { "PROPER", 1, 1, "S", proper },
    { "TRIM", 1, 1, "S", trim },
    { "CLEAN", 1, 1, "S", clean },
    { "CONCATENATE", 1, 255, "S", concatenate },
    { "CONCAT", 1, 255, "R", concat },
    { "TEXTJOIN", 3, 255, "RSR", textJoin },
    { "SUBSTITUTE", 3, 4, "S", substitute },
    { "REPLACE", 4, 4, "S", replace },
    { "FIND", 2, 3, "S", find },
    { "SEARCH", 2, 3, "S", search },
    { "TEXT", 2, 2, "S", formatAsText },
    { "VALUE", 1, 1, "S", valueOfText },
    { "FIXED", 1, 3, "S", fixed },
    { "REPT", 2, 2, "S", rept },
    { "EXACT", 2, 2, "S", exact },
    { "CHAR", 1, 1, "S", character },
    { "CODE", 1, 1, "S", characterCode },
};

} // namespace

CalcFunctionTable calcTextFunctions()
{
    return { textFunctions, int(std::size(textFunctions)) };
}

} // namespace Spreadsheet
