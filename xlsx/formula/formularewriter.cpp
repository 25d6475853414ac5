#include "formularewriter_p.h"

#include "formulatokenizer_p.h"

#include <QHash>

namespace Spreadsheet {

namespace {

enum class Outcome { Same, Changed, Removed };

// Runs the change over every reference token; the text is rebuilt only when
// one changed.
template <typename Change>
QString rewrite(const QString &formula, Change change, bool external = false)
{
    const QVector<FormulaToken> tokens = FormulaTokenizer::tokenize(formula);
    QString result;
    bool changed = false;
    for (const FormulaToken &token : tokens) {
        const bool rewritten = token.type == FormulaToken::Reference
            || (external && token.type == FormulaToken::ExternalReference);
        if (!rewritten) {
            if (changed)
                result += formula.midRef(token.start, token.length);
            continue;
        }
        FormulaReference reference = token.reference;
        QString text;
        switch (change(reference, text)) {
        case Outcome::Same:
            if (changed)
                result += formula.midRef(token.start, token.length);
            continue;
        case Outcome::Changed:
            text = reference.prefixText + reference.areaText();
            break;
        case Outcome::Removed:
            break;
        }
        if (!changed) {
            result.reserve(formula.size() + 16);
            result += formula.leftRef(token.start);
            changed = true;
        }
        result += text;
    }
    return changed ? result : formula;
}

bool sameSheet(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool moveEdges(FormulaReference &reference, const GridEdit &edit)
{
    const bool rows = edit.axis() == GridEdit::Rows;
    int FormulaReference::Edge::*index = rows ? &FormulaReference::Edge::row : &FormulaReference::Edge::column;
    switch (reference.kind) {
    case FormulaReference::Cell:
        return edit.move(reference.first.*index);
    case FormulaReference::Columns:
        return rows || edit.moveSpan(reference.first.column, reference.last.column);
    case FormulaReference::Rows:
        return !rows || edit.moveSpan(reference.first.row, reference.last.row);
    case FormulaReference::Area:
        return edit.moveSpan(reference.first.*index, reference.last.*index);
    case FormulaReference::SheetName:
    case FormulaReference::Error:
        break;
    }
    return true;
}

// False when a part the edge has leaves the sheet (a column or row of 0
// would read as the edge having none).
bool shiftEdge(FormulaReference::Edge &edge, int rows, int columns)
{
    if (edge.column > 0 && !edge.columnAbsolute) {
        edge.column += columns;
        if (edge.column < 1 || edge.column > maximumColumns)
            return false;
    }
    if (edge.row > 0 && !edge.rowAbsolute) {
        edge.row += rows;
        if (edge.row < 1 || edge.row > maximumRows)
            return false;
    }
    return true;
}

} // namespace

namespace FormulaRewriter {

QString moveReferences(const QString &formula, const QString &formulaSheet, const QString &editedSheet,
                       const GridEdit &edit)
{
    return rewrite(formula, [&](FormulaReference &reference, QString &text) {
        if (reference.isThreeDimensional() || reference.kind == FormulaReference::Error
            || reference.kind == FormulaReference::SheetName)
            return Outcome::Same;
        const QString &sheet = reference.hasSheet() ? reference.firstSheet : formulaSheet;
        if (sheet.isEmpty() || !sameSheet(sheet, editedSheet))
            return Outcome::Same;
        const FormulaReference before = reference;
        if (!moveEdges(reference, edit)) {
            // Without its sheet: "Sheet1!#REF!" is what not every program reads back.
            text = QStringLiteral("#REF!");
            return Outcome::Removed;
        }
        const bool moved = before.first.row != reference.first.row || before.first.column != reference.first.column
            || before.last.row != reference.last.row || before.last.column != reference.last.column;
        return moved ? Outcome::Changed : Outcome::Same;
    });
}

QString renameSheet(const QString &formula, const QString &oldName, const QString &newName)
{
    return rewrite(formula, [&](FormulaReference &reference, QString &) {
        const bool first = sameSheet(reference.firstSheet, oldName);
        const bool last = reference.isThreeDimensional() && sameSheet(reference.lastSheet, oldName);
        if (!reference.hasSheet() || (!first && !last))
            return Outcome::Same;
        if (first)
            reference.firstSheet = newName;
        if (last)
            reference.lastSheet = newName;
        reference.prefixText = FormulaReference::prefixFor(reference.firstSheet, reference.lastSheet);
        return Outcome::Changed;
    });
}

QString removeSheet(const QString &formula, const QString &name, const QStringList &sheets)
{
    QHash<QString, int> indexes;   // built at the first reference across sheets
    auto indexOf = [&](const QString &sheet) {
        if (indexes.isEmpty()) {
            for (int i = sheets.size() - 1; i >= 0; --i)
                indexes.insert(sheets.at(i).toCaseFolded(), i);
        }
        return indexes.value(sheet.toCaseFolded(), -1);
    };
    return rewrite(formula, [&](FormulaReference &reference, QString &text) {
        if (!reference.hasSheet())
            return Outcome::Same;
        if (!reference.isThreeDimensional()) {
            if (!sameSheet(reference.firstSheet, name))
                return Outcome::Same;
            text = QStringLiteral("#REF!");
            return Outcome::Removed;
        }
        const int first = indexOf(reference.firstSheet);
        const int last = indexOf(reference.lastSheet);
        const int removed = indexOf(name);
        if (first < 0 || last < 0 || removed < 0 || (removed != first && removed != last))
            return Outcome::Same;
        if (first == last) {
            text = QStringLiteral("#REF!");
            return Outcome::Removed;
        }
        // The span loses its end: the next sheet inward takes its place.
        const int step = first < last ? 1 : -1;
        if (removed == first)
            reference.firstSheet = sheets.at(first + step);
        else
            reference.lastSheet = sheets.at(last - step);
        if (sameSheet(reference.firstSheet, reference.lastSheet))
            reference.lastSheet.clear();
        reference.prefixText = FormulaReference::prefixFor(reference.firstSheet, reference.lastSheet);
        return Outcome::Changed;
    });
}

QString shift(const QString &formula, int rows, int columns)
{
    if (rows == 0 && columns == 0)
        return formula;
    return rewrite(formula, [&](FormulaReference &reference, QString &text) {
        if (reference.kind == FormulaReference::Error || reference.kind == FormulaReference::SheetName)
            return Outcome::Same;
        const bool twoEdges = reference.kind != FormulaReference::Cell;
        if (!shiftEdge(reference.first, rows, columns) || (twoEdges && !shiftEdge(reference.last, rows, columns))) {
            text = QStringLiteral("#REF!");
            return Outcome::Removed;
        }
        return Outcome::Changed;
    }, true);
}

} // namespace FormulaRewriter

} // namespace Spreadsheet
