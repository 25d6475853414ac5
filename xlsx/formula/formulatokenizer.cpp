#include "formulatokenizer_p.h"

#include "celladdress.h"

namespace Spreadsheet {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Characters of names, function names, unquoted sheet names and references.
bool isWordCharacter(QChar c)
{
    return isAsciiLetter(c) || isDigit(c) || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('$')
        || c == QLatin1Char('\\') || c == QLatin1Char('?') || c.unicode() > 0x7F;
}

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t');
}

int columnOf(const QStringRef &letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int column = 0;
    for (QChar c : letters) {
        if (!isAsciiLetter(c))
            return 0;
        column = column * 26 + (c.toUpper().unicode() - 'A' + 1);
    }
    return column <= maximumColumns ? column : 0;
}

int rowOf(const QStringRef &digits)
{
    if (digits.isEmpty() || digits.size() > 7)
        return 0;
    int row = 0;
    for (QChar c : digits) {
        if (!isDigit(c))
            return 0;
        row = row * 10 + (c.unicode() - '0');
    }
    return row >= 1 && row <= maximumRows ? row : 0;
}

// Parses one edge, "$A$1", "A", "$12", as the whole of the text; the kind
// wanted tells which parts it must have.
enum EdgeShape { CellEdge, ColumnEdge, RowEdge };

bool parseEdge(const QStringRef &text, EdgeShape shape, FormulaReference::Edge &edge)
{
    int i = 0;
    edge = FormulaReference::Edge();
    if (shape != RowEdge) {
        if (i < text.size() && text.at(i) == QLatin1Char('$')) {
            edge.columnAbsolute = true;
            ++i;
        }
        const int letters = i;
        while (i < text.size() && isAsciiLetter(text.at(i)))
            ++i;
        edge.column = columnOf(text.mid(letters, i - letters));
        if (!edge.column)
            return false;
        if (shape == ColumnEdge)
            return i == text.size();
    }
    if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        edge.rowAbsolute = true;
        ++i;
    }
    edge.row = rowOf(text.mid(i));
    return edge.row > 0;
}

// Appends "$AB$12" and the like; a formula's every moved reference passes here.
void appendEdge(QString &text, const FormulaReference::Edge &edge)
{
    if (edge.column > 0) {
        if (edge.columnAbsolute)
            text += QLatin1Char('$');
        char letters[4];
        int size = 0;
        for (int column = edge.column; column > 0; column = (column - 1) / 26)
            letters[size++] = char('A' + (column - 1) % 26);
        while (size > 0)
            text += QLatin1Char(letters[--size]);
    }
    if (edge.row > 0) {
        if (edge.rowAbsolute)
            text += QLatin1Char('$');
        char digits[8];
        int size = 0;
        for (int row = edge.row; row > 0; row /= 10)
            digits[size++] = char('0' + row % 10);
        while (size > 0)
            text += QLatin1Char(digits[--size]);
    }
}

class Tokenizer
{
public:
    explicit Tokenizer(const QString &text) : m_text(text) {}

    QVector<FormulaToken> run()
    {
        m_tokens.reserve(m_text.size() / 3 + 2);
        while (m_position < m_text.size())
            next();
        return m_tokens;
    }

private:
    QChar at(int i) const { return i < m_text.size() ? m_text.at(i) : QChar(); }

    void add(FormulaToken::Type type, int end, const FormulaReference &reference = FormulaReference())
    {
        FormulaToken token;
        token.type = type;
        token.start = m_position;
        token.length = end - m_position;
        token.reference = reference;
        m_tokens.append(token);
        m_position = end;
    }

    void addReference(const FormulaReference &reference, int end)
    {
        add(FormulaToken::Reference, end, reference);
    }

    int quotedEnd(int i, QChar quote) const
    {
        for (++i; i < m_text.size(); ++i) {
            if (m_text.at(i) != quote)
                continue;
            if (at(i + 1) != quote)
                return i + 1;
            ++i;
        }
        return m_text.size();
    }

    // A group in square brackets, nested ones and "'"-escaped characters inside.
    int bracketEnd(int i) const
    {
        int depth = 0;
        for (; i < m_text.size(); ++i) {
            const QChar c = m_text.at(i);
            if (c == QLatin1Char('\''))
                ++i;
            else if (c == QLatin1Char('['))
                ++depth;
            else if (c == QLatin1Char(']') && --depth == 0)
                return i + 1;
        }
        return m_text.size();
    }

    int wordEnd(int i) const
    {
        while (i < m_text.size() && isWordCharacter(m_text.at(i)))
            ++i;
        return i;
    }

    void next()
    {
        const QChar c = m_text.at(m_position);
        if (isSpace(c)) {
            int end = m_position;
            while (end < m_text.size() && isSpace(m_text.at(end)))
                ++end;
            add(FormulaToken::Space, end);
        } else if (c == QLatin1Char('"')) {
            add(FormulaToken::Text, quotedEnd(m_position, c));
        } else if (c == QLatin1Char('\'')) {
            quotedPrefix();
        } else if (c == QLatin1Char('[')) {
            external();
        } else if (c == QLatin1Char('#')) {
            errorLiteral();
        } else if (isDigit(c) || (c == QLatin1Char('.') && isDigit(at(m_position + 1)))) {
            numberOrRows();
        } else if (isWordCharacter(c)) {
            word();
        } else {
            punctuation(c);
        }
    }

    void punctuation(QChar c)
    {
        const QChar following = at(m_position + 1);
        switch (c.unicode()) {
        case '(': add(FormulaToken::OpenParenthesis, m_position + 1); return;
        case ')': add(FormulaToken::CloseParenthesis, m_position + 1); return;
        case '{': add(FormulaToken::OpenBrace, m_position + 1); return;
        case '}': add(FormulaToken::CloseBrace, m_position + 1); return;
        case ',': case ';': add(FormulaToken::Separator, m_position + 1); return;
        case '<':
            add(FormulaToken::Operator, m_position + (following == QLatin1Char('=') || following == QLatin1Char('>') ? 2 : 1));
            return;
        case '>':
            add(FormulaToken::Operator, m_position + (following == QLatin1Char('=') ? 2 : 1));
            return;
        case '+': case '-': case '*': case '/': case '^': case '&': case '=': case '%': case ':':
            add(FormulaToken::Operator, m_position + 1);
            return;
        default:
            add(FormulaToken::Unknown, m_position + 1);
        }
    }

    void errorLiteral()
    {
        static const char *const errors[] = { "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A",
                                              "#GETTING_DATA", "#SPILL!", "#CALC!", "#FIELD!", "#BLOCKED!",
                                              "#CONNECT!", "#BUSY!", "#UNKNOWN!" };
        for (const char *error : errors) {
            const QLatin1String literal(error);
            if (m_text.midRef(m_position, literal.size()).compare(literal, Qt::CaseInsensitive) == 0) {
                if (literal == QLatin1String("#REF!")) {
                    FormulaReference reference;
                    reference.kind = FormulaReference::Error;
                    addReference(reference, m_position + literal.size());
                } else {
                    add(FormulaToken::ErrorLiteral, m_position + literal.size());
                }
                return;
            }
        }
        add(FormulaToken::Unknown, m_position + 1);
    }

    // "[1]Sheet1!A1", "[1]!Name", "'[1]Sheet 1'!A1" and the like: another
    // workbook's, kept as written.
    void external()
    {
        int end = bracketEnd(m_position);
        if (!m_tokens.isEmpty() && m_tokens.last().type == FormulaToken::Name
            && m_tokens.last().start + m_tokens.last().length == m_position) {
            // "Table1[Column]": the table's name and the bracket are one reference.
            m_position = m_tokens.last().start;
            m_tokens.removeLast();
            add(FormulaToken::StructuredReference, end);
            return;
        }
        if (end < m_text.size() && at(end - 1) == QLatin1Char(']')) {
            int sheetEnd = wordEnd(end);
            if (at(sheetEnd) == QLatin1Char('!')) {
                addExternal(sheetEnd + 1);
                return;
            }
        }
        add(FormulaToken::StructuredReference, end);
    }

    // Another workbook's reference, from here to the area after its "!":
    // kept as written, but its area read, for copies that move it.
    void addExternal(int areaStart)
    {
        FormulaReference reference;
        reference.prefixText = m_text.mid(m_position, areaStart - m_position);
        int end = area(areaStart, reference);
        if (end < 0) {
            end = referenceEnd(areaStart);
            reference.kind = FormulaReference::SheetName;
            reference.name = m_text.mid(areaStart, end - areaStart);
        }
        add(FormulaToken::ExternalReference, end, reference);
    }

    // Where the area or name after a prefix's "!" ends.
    int referenceEnd(int i) const
    {
        if (at(i) == QLatin1Char('#'))
            return qMin(i + 5, int(m_text.size()));
        int end = wordEnd(i);
        if (at(end) == QLatin1Char(':') && end > i)
            end = wordEnd(end + 1);
        return end;
    }

    void quotedPrefix()
    {
        const int end = quotedEnd(m_position, QLatin1Char('\''));
        if (at(end) != QLatin1Char('!')) {
            add(FormulaToken::Unknown, end);
            return;
        }
        QString inside = m_text.mid(m_position + 1, end - m_position - 2);
        inside.replace(QStringLiteral("''"), QStringLiteral("'"));
        // Another workbook's ("'[1]Sheet 1'!", "'C:\\data\\[Book.xlsx]Sheet'!"):
        // no sheet's name holds a bracket.
        if (inside.contains(QLatin1Char('['))) {
            addExternal(end + 1);
            return;
        }
        // A three-dimensional prefix quotes both names at once; no sheet's
        // name holds a colon.
        const int colon = inside.indexOf(QLatin1Char(':'));
        FormulaReference reference;
        reference.firstSheet = colon < 0 ? inside : inside.left(colon);
        reference.lastSheet = colon < 0 ? QString() : inside.mid(colon + 1);
        qualified(reference, end + 1);
    }

    // The reference after a sheet prefix ending at areaStart.
    void qualified(FormulaReference &reference, int areaStart)
    {
        reference.prefixText = m_text.mid(m_position, areaStart - m_position);
        if (at(areaStart) == QLatin1Char('#')) {
            if (m_text.midRef(areaStart, 5).compare(QLatin1String("#REF!"), Qt::CaseInsensitive) == 0) {
                reference.kind = FormulaReference::Error;
                addReference(reference, areaStart + 5);
            } else {
                add(FormulaToken::Unknown, areaStart);
            }
            return;
        }
        const int end = area(areaStart, reference);
        if (end < 0) {
            const int nameEnd = wordEnd(areaStart);
            reference.kind = FormulaReference::SheetName;
            reference.name = m_text.mid(areaStart, nameEnd - areaStart);
            addReference(reference, nameEnd);
            return;
        }
        addReference(reference, end);
    }

    // Parses a cell, an area, whole columns or whole rows from i; the end,
    // or -1 when there is none.
    int area(int i, FormulaReference &reference) const
    {
        const int end = wordEnd(i);
        if (end == i || at(end) == QLatin1Char('(') || at(end) == QLatin1Char('!') || at(end) == QLatin1Char('['))
            return -1;
        const QStringRef first = m_text.midRef(i, end - i);
        int otherEnd = -1;
        QStringRef other;
        if (at(end) == QLatin1Char(':')) {
            otherEnd = wordEnd(end + 1);
            const QChar after = at(otherEnd);
            if (otherEnd > end + 1 && after != QLatin1Char('(') && after != QLatin1Char('!') && after != QLatin1Char('['))
                other = m_text.midRef(end + 1, otherEnd - end - 1);
        }
        if (parseEdge(first, CellEdge, reference.first)) {
            if (!other.isNull() && parseEdge(other, CellEdge, reference.last)) {
                reference.kind = FormulaReference::Area;
                return otherEnd;
            }
            reference.kind = FormulaReference::Cell;
            return end;
        }
        if (other.isNull())
            return -1;
        if (parseEdge(first, ColumnEdge, reference.first) && parseEdge(other, ColumnEdge, reference.last)) {
            reference.kind = FormulaReference::Columns;
            return otherEnd;
        }
        if (parseEdge(first, RowEdge, reference.first) && parseEdge(other, RowEdge, reference.last)) {
            reference.kind = FormulaReference::Rows;
            return otherEnd;
        }
        return -1;
    }

    void numberOrRows()
    {
        FormulaReference reference;
        const int end = area(m_position, reference);
        if (end > 0 && reference.kind == FormulaReference::Rows) {
            addReference(reference, end);
            return;
        }
        int i = m_position;
        while (isDigit(at(i)) || at(i) == QLatin1Char('.'))
            ++i;
        if ((at(i) == QLatin1Char('E') || at(i) == QLatin1Char('e'))
            && (isDigit(at(i + 1)) || ((at(i + 1) == QLatin1Char('+') || at(i + 1) == QLatin1Char('-')) && isDigit(at(i + 2))))) {
            i += 2;
            while (isDigit(at(i)))
                ++i;
        }
        add(FormulaToken::Number, i);
    }

    void word()
    {
        const int end = wordEnd(m_position);
        const QChar after = at(end);
        if (after == QLatin1Char('(')) {
            add(FormulaToken::Function, end);
            return;
        }
        if (after == QLatin1Char('!')) {
            FormulaReference reference;
            reference.firstSheet = m_text.mid(m_position, end - m_position);
            qualified(reference, end + 1);
            return;
        }
        if (after == QLatin1Char(':')) {
            // "Jan:Mar!B2"
            const int lastEnd = wordEnd(end + 1);
            if (lastEnd > end + 1 && at(lastEnd) == QLatin1Char('!')) {
                FormulaReference reference;
                reference.firstSheet = m_text.mid(m_position, end - m_position);
                reference.lastSheet = m_text.mid(end + 1, lastEnd - end - 1);
                qualified(reference, lastEnd + 1);
                return;
            }
        }
        FormulaReference reference;
        const int referenceEnd = area(m_position, reference);
        if (referenceEnd > 0) {
            addReference(reference, referenceEnd);
            return;
        }
        const QStringRef word = m_text.midRef(m_position, end - m_position);
        if (word.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0
            || word.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
            add(FormulaToken::Boolean, end);
        else
            add(FormulaToken::Name, end);
    }

    const QString &m_text;
    int m_position = 0;
    QVector<FormulaToken> m_tokens;
};

bool readsAsRowColumnReference(const QString &upper)
{
    // R, C, R1, C1, R1C1, RC1, R1C, RC
    int i = 0;
    auto digits = [&]() { while (i < upper.size() && isDigit(upper.at(i))) ++i; };
    if (i < upper.size() && upper.at(i) == QLatin1Char('R')) {
        ++i;
        digits();
    }
    if (i < upper.size() && upper.at(i) == QLatin1Char('C')) {
        ++i;
        digits();
    }
    return i > 0 && i == upper.size();
}

} // namespace

QString FormulaReference::areaText() const
{
    QString text;
    switch (kind) {
    case Cell:
        text.reserve(12);
        appendEdge(text, first);
        return text;
    case Area:
    case Columns:
    case Rows:
        text.reserve(24);
        appendEdge(text, first);
        text += QLatin1Char(':');
        appendEdge(text, last);
        return text;
    case SheetName:
        return name;
    case Error:
        break;
    }
    return QStringLiteral("#REF!");
}

QString FormulaReference::prefixFor(const QString &firstSheet, const QString &lastSheet)
{
    if (firstSheet.isEmpty())
        return QString();
    const bool quoted = FormulaTokenizer::needsQuotes(firstSheet)
        || (!lastSheet.isEmpty() && FormulaTokenizer::needsQuotes(lastSheet));
    QString names = lastSheet.isEmpty() ? firstSheet : firstSheet + QLatin1Char(':') + lastSheet;
    if (!quoted)
        return names + QLatin1Char('!');
    names.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + names + QStringLiteral("'!");
}

QVector<FormulaToken> FormulaTokenizer::tokenize(const QString &formula)
{
    return Tokenizer(formula).run();
}

bool FormulaTokenizer::needsQuotes(const QString &sheetName)
{
    if (sheetName.isEmpty() || isDigit(sheetName.at(0)) || sheetName.at(0) == QLatin1Char('.'))
        return true;
    for (QChar c : sheetName) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.')))
            return true;
    }
    const QString upper = sheetName.toUpper();
    if (upper == QLatin1String("TRUE") || upper == QLatin1String("FALSE") || readsAsRowColumnReference(upper))
        return true;
    FormulaReference::Edge edge;
    return parseEdge(QStringRef(&sheetName), CellEdge, edge);
}

} // namespace Spreadsheet
