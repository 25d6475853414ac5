// "A1" text, sheet-name rules and the formula language on arbitrary text.
#include "spreadsheet/celladdress.h"
#include "spreadsheet/cellarea.h"
#include "spreadsheet/formularewriter_p.h"
#include "spreadsheet/formulatokenizer_p.h"
#include "spreadsheet/utility.h"

#include <QString>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool isXmlCharacter(QChar c)
{
    return c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// The tokens cover the text, one after the other; rewrites that concern
// no sheet of the formula leave it as it is, and every rewrite gives a text
// that reads as tokens again.
void checkFormula(const QString &formula)
{
    using namespace Spreadsheet;
    int end = 0;
    for (const FormulaToken &token : FormulaTokenizer::tokenize(formula)) {
        check(token.start == end && token.length > 0);
        end = token.start + token.length;
    }
    check(end == formula.size());
    const QString nowhere = QStringLiteral("\x01");
    check(FormulaRewriter::moveReferences(formula, nowhere + nowhere, nowhere, GridEdit(GridEdit::Rows, 1, 5, true)) == formula);
    check(FormulaRewriter::renameSheet(formula, nowhere, QStringLiteral("X")) == formula);
    for (const QString &rewritten :
         { FormulaRewriter::moveReferences(formula, QStringLiteral("S"), QStringLiteral("S"), GridEdit(GridEdit::Rows, 3, 2, false)),
           FormulaRewriter::moveReferences(formula, QStringLiteral("S"), QStringLiteral("s"), GridEdit(GridEdit::Columns, 2, 16383, true)),
           FormulaRewriter::renameSheet(formula, QStringLiteral("S"), QStringLiteral("New 'name'")),
           FormulaRewriter::removeSheet(formula, QStringLiteral("S"), { QStringLiteral("R"), QStringLiteral("S"), QStringLiteral("T") }),
           FormulaRewriter::shift(formula, -3, 7) }) {
        FormulaTokenizer::tokenize(rewritten);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));

    const Spreadsheet::CellAddress address(text);
    if (address.isValid()) {
        check(Spreadsheet::CellAddress(address.toText()) == address);
        check(Spreadsheet::CellAddress(address.toText(true, true)) == address);
    } else {
        check(address.toText().isEmpty());
    }
    const Spreadsheet::CellArea area(text);
    if (area.isValid() && area.topLeft().isValid() && area.bottomRight().isValid())
        check(Spreadsheet::CellArea(area.toText()) == area);

    checkFormula(text);

    const QString name = Spreadsheet::sanitizeSheetName(text);
    check(name.isEmpty() == text.isEmpty());
    check(name.size() <= 31);
    for (const QChar c : name) {
        check(!QStringLiteral("/\\?*[]:").contains(c));
        check(isXmlCharacter(c));
    }
    check(!name.startsWith(QLatin1Char('\'')) && !name.endsWith(QLatin1Char('\'')));
    check(Spreadsheet::unquoteSheetName(Spreadsheet::quoteSheetName(name)) == name
          || Spreadsheet::quoteSheetName(name) == name);
    return 0;
}
