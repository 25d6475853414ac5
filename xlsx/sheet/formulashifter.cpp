#include "formulashifter_p.h"

#include "celladdress.h"

namespace Spreadsheet {

namespace {

bool isLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isNameCharacter(QChar c)
{
    return isLetter(c) || isDigit(c) || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('$')
        || c == QLatin1Char('\\') || c.unicode() > 0x7F;
}

// One part of a reference: a column ("$AB"), a row ("$12") or a cell.
struct Part
{
    bool columnAbsolute = false;
    int column = 0;   // 0: none
    bool rowAbsolute = false;
    int row = 0;      // 0: none
    bool valid = false;
};

// Parses "$A$1", "A", "$12" as a whole token.
Part parsePart(const QString &token)
{
    Part part;
    int i = 0;
    if (i < token.size() && token.at(i) == QLatin1Char('$')) {
        part.columnAbsolute = true;
        ++i;
    }
    const int letters = i;
    while (i < token.size() && isLetter(token.at(i)))
        ++i;
    if (i - letters > 3)
        return part;
    if (i > letters) {
        part.column = columnNumber(token.mid(letters, i - letters).toUpper());
        if (part.column < 1 || part.column > maximumColumns)
            return part;
    } else if (part.columnAbsolute) {
        // "$12": the sign belongs to the row.
        part.columnAbsolute = false;
        part.rowAbsolute = true;
    }
    if (i < token.size() && token.at(i) == QLatin1Char('$')) {
        if (part.rowAbsolute || part.column == 0)
            return part;
        part.rowAbsolute = true;
        ++i;
    }
    const int digits = i;
    while (i < token.size() && isDigit(token.at(i)))
        ++i;
    if (i != token.size() || (i == digits && part.rowAbsolute))
        return part;
    if (i > digits) {
        bool ok = false;
        part.row = token.mid(digits, i - digits).toInt(&ok);
        if (!ok || part.row < 1 || part.row > maximumRows)
            return part;
    }
    part.valid = part.column > 0 || part.row > 0;
    return part;
}

QString partText(const Part &part)
{
    QString text;
    if (part.column > 0)
        text += (part.columnAbsolute ? QStringLiteral("$") : QString()) + columnLetters(part.column);
    if (part.row > 0)
        text += (part.rowAbsolute ? QStringLiteral("$") : QString()) + QString::number(part.row);
    return text;
}

// Moves the relative parts; false when one leaves the sheet.
bool move(Part &part, int rows, int columns)
{
    if (part.column > 0 && !part.columnAbsolute)
        part.column += columns;
    if (part.row > 0 && !part.rowAbsolute)
        part.row += rows;
    return (part.column == 0 || (part.column >= 1 && part.column <= maximumColumns))
        && (part.row == 0 || (part.row >= 1 && part.row <= maximumRows));
}

int skipQuoted(const QString &text, int i, QChar quote)
{
    for (++i; i < text.size(); ++i) {
        if (text.at(i) == quote) {
            if (i + 1 < text.size() && text.at(i + 1) == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return text.size();
}

int skipBrackets(const QString &text, int i)
{
    int depth = 0;
    for (; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\'')) {
            ++i;   // an escaped character inside a structured reference
        } else if (text.at(i) == QLatin1Char('[')) {
            ++depth;
        } else if (text.at(i) == QLatin1Char(']') && --depth == 0) {
            return i + 1;
        }
    }
    return text.size();
}

} // namespace

QString shiftFormula(const QString &formula, int rows, int columns)
{
    QString result;
    result.reserve(formula.size() + 8);
    int i = 0;
    while (i < formula.size()) {
        const QChar c = formula.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = skipQuoted(formula, i, c);
            result += formula.midRef(i, end - i);
            i = end;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const int end = skipBrackets(formula, i);
            result += formula.midRef(i, end - i);
            i = end;
            continue;
        }
        if (c == QLatin1Char('#')) {
            int end = i + 1;
            while (end < formula.size() && (isLetter(formula.at(end)) || isDigit(formula.at(end))
                                            || QStringLiteral("/!?_").contains(formula.at(end))))
                ++end;
            result += formula.midRef(i, end - i);
            i = end;
            continue;
        }
        if (!isNameCharacter(c)) {
            result += c;
            ++i;
            continue;
        }
        int end = i;
        while (end < formula.size() && isNameCharacter(formula.at(end)))
            ++end;
        const QString token = formula.mid(i, end - i);
        const QChar after = end < formula.size() ? formula.at(end) : QChar();
        // A function's name, a sheet's name, a number or a name of the workbook.
        Part part = after == QLatin1Char('(') || after == QLatin1Char('!') ? Part() : parsePart(token);
        if (!part.valid) {
            result += token;
            i = end;
            continue;
        }
        // A range of whole columns or rows is two parts around a colon; a
        // lone column or row part is a name.
        const bool whole = part.column == 0 || part.row == 0;
        if (whole) {
            int otherEnd = end + 1;
            while (otherEnd < formula.size() && isNameCharacter(formula.at(otherEnd)))
                ++otherEnd;
            Part other = after == QLatin1Char(':') ? parsePart(formula.mid(end + 1, otherEnd - end - 1)) : Part();
            const bool sameKind = other.valid && (other.column == 0) == (part.column == 0)
                && (other.row == 0) == (part.row == 0);
            if (!sameKind) {
                result += token;
                i = end;
                continue;
            }
            const bool firstInside = move(part, rows, columns);
            const bool otherInside = move(other, rows, columns);
            const bool inside = firstInside && otherInside;
            result += inside ? partText(part) + QLatin1Char(':') + partText(other) : QStringLiteral("#REF!");
            i = otherEnd;
            continue;
        }
        result += move(part, rows, columns) ? partText(part) : QStringLiteral("#REF!");
        i = end;
    }
    return result;
}

} // namespace Spreadsheet
