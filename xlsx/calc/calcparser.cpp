#include "calcparser_p.h"

#include "calcvalue_p.h"
#include "sheettable.h"
#include "structuredreference_p.h"

#include <algorithm>

namespace Spreadsheet {

namespace {

// Deeper than any formula spreadsheet programs accept (64 levels of
// functions), shallow enough for the stack: nested calls while parsing,
// and the depth of the tree that computing and freeing it walk (a chain
// "A1+A2+...+A400" is 400 deep).
constexpr int maximumDepth = 200;
constexpr int maximumTreeDepth = 600;

// Thrown where the engine cannot compute a formula; the reason says why,
// for whoever follows it in a debugger.
struct Unsupported
{
    QString reason;
};

class Parser
{
public:
    Parser(const QString &text, const QVector<FormulaToken> &tokens, int row, int column,
           const CalcParser::SheetIndex &sheetIndex, const CalcParser::TableLookup &tables)
        : m_text(text), m_row(row), m_column(column), m_sheetIndex(sheetIndex), m_tables(tables)
    {
        keepSignificant(tokens);
    }

    std::unique_ptr<CalcNode> formula()
    {
        auto node = comparison();
        if (m_position != int(m_tokens.size()))
            throw Unsupported{ QStringLiteral("text after the formula: %1").arg(textOf(peek())) };
        return node;
    }

private:
    // Drops the blanks that only lay the formula out; the others are the
    // intersection operator between two references.
    void keepSignificant(const QVector<FormulaToken> &tokens)
    {
        for (int i = 0; i < tokens.size(); ++i) {
            if (tokens[i].type != FormulaToken::Space) {
                m_tokens.push_back(tokens[i]);
                continue;
            }
            if (m_tokens.empty() || i + 1 >= tokens.size())
                continue;
            const auto before = m_tokens.back().type;
            const auto after = tokens[i + 1].type;
            const bool endsOperand = before == FormulaToken::Reference || before == FormulaToken::Name
                || before == FormulaToken::StructuredReference || before == FormulaToken::CloseParenthesis;
            const bool startsOperand = after == FormulaToken::Reference || after == FormulaToken::Name
                || after == FormulaToken::StructuredReference || after == FormulaToken::OpenParenthesis
                || after == FormulaToken::Function;
            if (endsOperand && startsOperand)
                m_tokens.push_back(tokens[i]);
        }
    }

    const FormulaToken *peek() const
    {
        return m_position < int(m_tokens.size()) ? &m_tokens[size_t(m_position)] : nullptr;
    }

    QString textOf(const FormulaToken *token) const
    {
        return token ? m_text.mid(token->start, token->length) : QString();
    }

    bool isOperator(const char *op) const
    {
        const FormulaToken *token = peek();
        return token && token->type == FormulaToken::Operator
            && m_text.midRef(token->start, token->length) == QLatin1String(op);
    }

    bool isType(FormulaToken::Type type) const
    {
        const FormulaToken *token = peek();
        return token && token->type == type;
    }

    void expect(FormulaToken::Type type, const char *what)
    {
        if (!isType(type))
            throw Unsupported{ QStringLiteral("%1 expected").arg(QLatin1String(what)) };
        ++m_position;
    }

    struct Depth
    {
        explicit Depth(int &depth) : m_depth(depth)
        {
            if (++m_depth > maximumDepth)
                throw Unsupported{ QStringLiteral("the formula nests too deeply") };
        }
        ~Depth() { --m_depth; }
        int &m_depth;
    };

    // A node whose children are all in place: its depth, refused past the bound.
    static std::unique_ptr<CalcNode> finished(std::unique_ptr<CalcNode> node)
    {
        for (const auto &child : node->children)
            node->depth = qMax(node->depth, child->depth + 1);
        if (node->depth > maximumTreeDepth)
            throw Unsupported{ QStringLiteral("the formula is too long a chain of operations") };
        return node;
    }

    static std::unique_ptr<CalcNode> binary(CalcNode::Operator op, std::unique_ptr<CalcNode> left,
                                            std::unique_ptr<CalcNode> right)
    {
        auto node = std::make_unique<CalcNode>();
        node->kind = CalcNode::Binary;
        node->op = op;
        node->children.push_back(std::move(left));
        node->children.push_back(std::move(right));
        return finished(std::move(node));
    }

    std::unique_ptr<CalcNode> comparison()
    {
        Depth depth(m_depth);
        auto node = concatenation();
        static const std::pair<const char *, CalcNode::Operator> operators[] = {
            { "=", CalcNode::Equal }, { "<>", CalcNode::NotEqual }, { "<=", CalcNode::LessOrEqual },
            { ">=", CalcNode::GreaterOrEqual }, { "<", CalcNode::Less }, { ">", CalcNode::Greater }
        };
        for (;;) {
            bool found = false;
            for (const auto &op : operators) {
                if (isOperator(op.first)) {
                    ++m_position;
                    node = binary(op.second, std::move(node), concatenation());
                    found = true;
                    break;
                }
            }
            if (!found)
                return node;
        }
    }

    std::unique_ptr<CalcNode> concatenation()
    {
        auto node = additive();
        while (isOperator("&")) {
            ++m_position;
            node = binary(CalcNode::Concatenate, std::move(node), additive());
        }
        return node;
    }

    std::unique_ptr<CalcNode> additive()
    {
        auto node = multiplicative();
        for (;;) {
            if (isOperator("+")) {
                ++m_position;
                node = binary(CalcNode::Add, std::move(node), multiplicative());
            } else if (isOperator("-")) {
                ++m_position;
                node = binary(CalcNode::Subtract, std::move(node), multiplicative());
            } else {
                return node;
            }
        }
    }

    std::unique_ptr<CalcNode> multiplicative()
    {
        auto node = power();
        for (;;) {
            if (isOperator("*")) {
                ++m_position;
                node = binary(CalcNode::Multiply, std::move(node), power());
            } else if (isOperator("/")) {
                ++m_position;
                node = binary(CalcNode::Divide, std::move(node), power());
            } else {
                return node;
            }
        }
    }

    // Left to right, as spreadsheet programs take 2^3^2 (64).
    std::unique_ptr<CalcNode> power()
    {
        auto node = percent();
        while (isOperator("^")) {
            ++m_position;
            node = binary(CalcNode::Power, std::move(node), percent());
        }
        return node;
    }

    std::unique_ptr<CalcNode> percent()
    {
        auto node = unary();
        while (isOperator("%")) {
            ++m_position;
            auto outer = std::make_unique<CalcNode>();
            outer->kind = CalcNode::Percent;
            outer->children.push_back(std::move(node));
            node = finished(std::move(outer));
        }
        return node;
    }

    // A sign binds tighter than "^": -2^2 is 4.
    std::unique_ptr<CalcNode> unary()
    {
        Depth depth(m_depth);
        if (isOperator("-")) {
            ++m_position;
            auto node = std::make_unique<CalcNode>();
            node->kind = CalcNode::Negate;
            node->children.push_back(unary());
            return finished(std::move(node));
        }
        if (isOperator("+")) {
            ++m_position;
            return unary();
        }
        return intersection();
    }

    std::unique_ptr<CalcNode> intersection()
    {
        auto node = range();
        while (isType(FormulaToken::Space)) {
            ++m_position;
            node = binary(CalcNode::Intersect, std::move(node), range());
        }
        return node;
    }

    std::unique_ptr<CalcNode> range()
    {
        auto node = primary();
        while (isOperator(":")) {
            ++m_position;
            node = binary(CalcNode::Range, std::move(node), primary());
        }
        return node;
    }

    std::unique_ptr<CalcNode> primary()
    {
        Depth depth(m_depth);
        const FormulaToken *token = peek();
        if (!token)
            throw Unsupported{ QStringLiteral("the formula ends too early") };
        auto node = std::make_unique<CalcNode>();
        switch (token->type) {
        case FormulaToken::Number: {
            bool ok = false;
            node->value = CalcValue(textOf(token).toDouble(&ok));
            if (!ok)
                throw Unsupported{ QStringLiteral("a number that does not read: %1").arg(textOf(token)) };
            ++m_position;
            return node;
        }
        case FormulaToken::Text:
            node->value = CalcValue(unquote(textOf(token)));
            ++m_position;
            return node;
        case FormulaToken::Boolean:
            node->value = CalcValue::boolean(textOf(token).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
            ++m_position;
            return node;
        case FormulaToken::ErrorLiteral: {
            CalcError error;
            if (!CalcValue::parseError(textOf(token), error))
                throw Unsupported{ QStringLiteral("the error %1").arg(textOf(token)) };
            node->value = CalcValue::error(error);
            ++m_position;
            return node;
        }
        case FormulaToken::Reference:
            ++m_position;
            return reference(token->reference);
        case FormulaToken::Name:
            ++m_position;
            // A table's name alone names its data.
            if (m_tables && m_tables(textOf(token)))
                return tableReference(textOf(token) + QLatin1String("[#Data]"));
            node->kind = CalcNode::Name;
            node->text = textOf(token).toUpper();
            return node;
        case FormulaToken::Function:
            ++m_position;
            return function(textOf(token));
        case FormulaToken::OpenParenthesis:
            ++m_position;
            return parenthesized();
        case FormulaToken::OpenBrace:
            ++m_position;
            return arrayConstant();
        case FormulaToken::StructuredReference:
            ++m_position;
            return tableReference(textOf(token));
        case FormulaToken::ExternalReference:
            throw Unsupported{ QStringLiteral("the reference to another workbook %1").arg(textOf(token)) };
        default:
            throw Unsupported{ QStringLiteral("unexpected %1").arg(textOf(token)) };
        }
    }

    static QString unquote(const QString &quoted)
    {
        QString text = quoted.mid(1, quoted.size() - 2);
        text.replace(QLatin1String("\"\""), QLatin1String("\""));
        return text;
    }

    int sheetIndexOf(const QString &name) const
    {
        const int index = m_sheetIndex(name);
        return index < 0 ? CalcNode::missingSheet : index;
    }

    CalcNode::Edge edge(const FormulaReference::Edge &edge) const
    {
        CalcNode::Edge result;
        result.rowAbsolute = edge.rowAbsolute || edge.row == 0;
        result.columnAbsolute = edge.columnAbsolute || edge.column == 0;
        result.row = result.rowAbsolute ? edge.row : edge.row - m_row;
        result.column = result.columnAbsolute ? edge.column : edge.column - m_column;
        return result;
    }

    std::unique_ptr<CalcNode> reference(const FormulaReference &reference) const
    {
        auto node = std::make_unique<CalcNode>();
        if (reference.kind == FormulaReference::Error) {
            node->value = CalcValue::error(CalcError::Reference);
            return node;
        }
        if (reference.hasSheet()) {
            node->firstSheet = sheetIndexOf(reference.firstSheet);
            node->lastSheet = reference.isThreeDimensional() ? sheetIndexOf(reference.lastSheet) : node->firstSheet;
        }
        if (reference.kind == FormulaReference::SheetName) {
            node->kind = CalcNode::Name;
            node->text = reference.name.toUpper();
            return node;
        }
        node->kind = CalcNode::Reference;
        node->referenceKind = reference.kind;
        node->first = edge(reference.first);
        node->last = reference.kind == FormulaReference::Cell ? node->first : edge(reference.last);
        return node;
    }

    // A table's cells by name: an area of its sheet; "#This Row" the
    // formula's own row of its columns.
    std::unique_ptr<CalcNode> tableReference(const QString &text) const
    {
        const std::optional<StructuredReference> parsed = StructuredReference::parse(text);
        if (!parsed || !m_tables)
            throw Unsupported{ QStringLiteral("the table reference %1").arg(text) };
        const TableColumnIndex *table = m_tables(parsed->table);
        if (table && !table->table)
            throw Unsupported{ QStringLiteral("the reference to a table kept unread %1").arg(text) };
        auto node = std::make_unique<CalcNode>();
        const CellArea area = table ? parsed->resolve(*table) : CellArea();
        if (area.lastColumn() < 1) {
            node->value = CalcValue::error(CalcError::Reference);
            return node;
        }
        node->kind = CalcNode::Reference;
        node->firstSheet = table->sheet;
        node->lastSheet = table->sheet;
        node->referenceKind = FormulaReference::Area;
        node->first.column = area.firstColumn();
        node->last.column = area.lastColumn();
        if (parsed->rows & StructuredReference::ThisRow) {
            node->first.rowAbsolute = node->last.rowAbsolute = false;
            node->first.row = node->last.row = 0;
        } else {
            node->first.row = area.firstRow();
            node->last.row = area.lastRow();
        }
        return node;
    }

    std::unique_ptr<CalcNode> function(const QString &name)
    {
        auto node = std::make_unique<CalcNode>();
        node->kind = CalcNode::Function;
        node->function = findCalcFunction(name);
        if (!node->function)
            throw Unsupported{ QStringLiteral("the function %1").arg(name) };
        expect(FormulaToken::OpenParenthesis, "(");
        if (isType(FormulaToken::CloseParenthesis)) {
            ++m_position;
        } else {
            for (;;) {
                node->children.push_back(argument());
                if (isType(FormulaToken::CloseParenthesis)) {
                    ++m_position;
                    break;
                }
                expect(FormulaToken::Separator, ", or )");
            }
        }
        const int count = int(node->children.size());
        if (count < node->function->minimumArguments || count > node->function->maximumArguments) {
            // Spreadsheet programs refuse such a formula; the cell keeps its value.
            throw Unsupported{ QStringLiteral("%1 with %2 arguments").arg(name).arg(count) };
        }
        return finished(std::move(node));
    }

    std::unique_ptr<CalcNode> argument()
    {
        if (isType(FormulaToken::Separator) || isType(FormulaToken::CloseParenthesis)) {
            auto node = std::make_unique<CalcNode>();
            node->kind = CalcNode::Missing;
            return node;
        }
        return comparison();
    }

    // "(A1,B2:C3)" is a union of references; "(1+2)" groups.
    std::unique_ptr<CalcNode> parenthesized()
    {
        auto node = comparison();
        if (isType(FormulaToken::Separator) && textOf(peek()) == QLatin1String(",")) {
            auto group = std::make_unique<CalcNode>();
            group->kind = CalcNode::Union;
            group->children.push_back(std::move(node));
            while (isType(FormulaToken::Separator) && textOf(peek()) == QLatin1String(",")) {
                ++m_position;
                group->children.push_back(comparison());
            }
            node = finished(std::move(group));
        }
        expect(FormulaToken::CloseParenthesis, ")");
        return node;
    }

    CalcValue arrayElement()
    {
        bool negative = false;
        while (isOperator("-") || isOperator("+")) {
            negative ^= isOperator("-");
            ++m_position;
        }
        const FormulaToken *token = peek();
        if (!token)
            throw Unsupported{ QStringLiteral("an unfinished array") };
        ++m_position;
        switch (token->type) {
        case FormulaToken::Number: {
            const double number = textOf(token).toDouble();
            return CalcValue(negative ? -number : number);
        }
        case FormulaToken::Text:
            if (!negative)
                return CalcValue(unquote(textOf(token)));
            break;
        case FormulaToken::Boolean:
            if (!negative)
                return CalcValue::boolean(textOf(token).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0);
            break;
        case FormulaToken::ErrorLiteral:
        case FormulaToken::Reference:
            if (!negative && textOf(token).startsWith(QLatin1Char('#'))) {
                CalcError error;
                if (CalcValue::parseError(textOf(token), error))
                    return CalcValue::error(error);
            }
            break;
        default:
            break;
        }
        throw Unsupported{ QStringLiteral("%1 in an array").arg(textOf(token)) };
    }

    std::unique_ptr<CalcNode> arrayConstant()
    {
        CalcMatrix matrix;
        int columnsInRow = 0;
        for (;;) {
            matrix.values.push_back(arrayElement());
            ++columnsInRow;
            if (isType(FormulaToken::CloseBrace)) {
                ++m_position;
                break;
            }
            const QString separator = textOf(peek());
            expect(FormulaToken::Separator, ", or ;");
            if (separator == QLatin1String(";")) {
                if (matrix.columns != 0 && matrix.columns != columnsInRow)
                    throw Unsupported{ QStringLiteral("an array whose rows differ in length") };
                matrix.columns = columnsInRow;
                columnsInRow = 0;
            }
        }
        if (matrix.columns != 0 && matrix.columns != columnsInRow)
            throw Unsupported{ QStringLiteral("an array whose rows differ in length") };
        matrix.columns = columnsInRow;
        matrix.rows = int(matrix.values.size()) / matrix.columns;
        auto node = std::make_unique<CalcNode>();
        node->kind = CalcNode::ArrayConstant;
        node->value = CalcValue::array(std::move(matrix));
        return node;
    }

    const QString &m_text;
    std::vector<FormulaToken> m_tokens;
    int m_position = 0;
    int m_depth = 0;
    const int m_row;
    const int m_column;
    const CalcParser::SheetIndex &m_sheetIndex;
    const CalcParser::TableLookup &m_tables;
};

// Called for every reference of every formula a calculation meets: digits
// written by hand, without a string of their own.
void appendEdge(QString &key, int value, bool absolute)
{
    QChar digits[16];
    int length = 0;
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        digits[length++] = QLatin1Char(char('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        digits[length++] = QLatin1Char('-');
    std::reverse(digits, digits + length);
    key += absolute ? QLatin1Char('R') : QLatin1Char('[');
    key.append(digits, length);
}

} // namespace

std::shared_ptr<const CalcFormula> CalcParser::parse(const QString &text, const QVector<FormulaToken> &tokens,
                                                     int row, int column) const
{
    auto formula = std::make_shared<CalcFormula>();
    try {
        Parser parser(text, tokens, row, column, m_sheetIndex, m_tables);
        formula->root = parser.formula();
    } catch (const Unsupported &) {
        formula->root.reset();
    }
    return formula;
}

QString CalcParser::shapeKey(const QString &text, const QVector<FormulaToken> &tokens, int row, int column)
{
    QString key;
    key.reserve(text.size() + 16);
    for (const FormulaToken &token : tokens) {
        if (token.type != FormulaToken::Reference) {
            key += text.midRef(token.start, token.length);
            continue;
        }
        const FormulaReference &reference = token.reference;
        key += reference.prefixText;
        key += QLatin1Char(char('0' + int(reference.kind)));
        const FormulaReference::Edge *edges[] = { &reference.first, &reference.last };
        for (const FormulaReference::Edge *edge : edges) {
            appendEdge(key, edge->row ? edge->row - (edge->rowAbsolute ? 0 : row) : 0, edge->rowAbsolute || !edge->row);
            appendEdge(key, edge->column ? edge->column - (edge->columnAbsolute ? 0 : column) : 0,
                       edge->columnAbsolute || !edge->column);
        }
        key += reference.name;
    }
    return key;
}

} // namespace Spreadsheet
