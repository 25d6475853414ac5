// Formulas of arbitrary text computed: each line of the input becomes the
// formula of a cell (the first also an array formula over a range and a
// defined name the others may read) in a workbook of numbers, texts,
// booleans, blanks and errors on two sheets. Every calculation ends; each
// formula cell then holds a value or is listed as not computed; the
// workbook saves and loads again.
#include "fuzzing.h"
#include "spreadsheet/spreadsheet.h"

using namespace Spreadsheet;
using namespace Fuzzing;

namespace {

void fillData(Worksheet *sheet)
{
    const QVariant values[] = { 5.0, QStringLiteral("5"), true, QVariant(), QStringLiteral("abc"), -2.5, 45000.0,
                                QStringLiteral("a*c"), 0.0, 1e300 };
    for (int row = 1; row <= 10; ++row) {
        const QVariant &value = values[row - 1];
        if (value.type() == QVariant::String)
            sheet->writeText(row, 1, value.toString());
        else if (value.isValid())
            sheet->writeValue(row, 1, value);
        sheet->writeNumber(row, 2, row * 1.5);
    }
    sheet->writeFormula(11, 1, CellFormula(QStringLiteral("1/0")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QStringList formulas = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size))
                                     .split(QLatin1Char('\n'))
                                     .mid(0, 6);
    Document document;
    Worksheet *first = document.activeWorksheet();
    document.addSheet(QStringLiteral("Other sheet"));
    auto *second = static_cast<Worksheet *>(document.workbook()->sheet(1));
    fillData(first);
    fillData(second);
    document.workbook()->defineName(QStringLiteral("Named"), formulas.first());
    first->writeFormula(1, 4, CellFormula(formulas.first(), CellFormula::ArrayFormula, CellArea(1, 4, 3, 5)));
    for (int i = 0; i < formulas.size(); ++i) {
        first->writeFormula(i + 1, 3, CellFormula(formulas[i]));
        second->writeFormula(i + 1, 3, CellFormula(formulas[i]));
    }
    first->writeFormula(10, 3, CellFormula(QStringLiteral("SUM(C1:C6)+Named")));

    const bool calculated = document.calculate();
    check(calculated == document.errorString().isEmpty());
    for (Worksheet *sheet : { first, second }) {
        const QList<CellAddress> kept = sheet->uncalculatedCells();
        for (int row = 1; row <= 10; ++row) {
            const QSharedPointer<SheetCell> cell = sheet->cellAt(row, 3);
            if (!cell || kept.contains(CellAddress(row, 3)))
                continue;
            const CellKind kind = cell->kind();
            check(kind == CellKind::Number || kind == CellKind::Boolean || kind == CellKind::Error
                  || kind == CellKind::FormulaString);
            if (kind == CellKind::Error)
                check(cell->value().toString().startsWith(QLatin1Char('#')));
            if (kind == CellKind::FormulaString)
                check(cell->value().toString().size() <= 32767);
        }
    }
    checkSavesAndLoadsAgain(document);
    return 0;
}
