#include "calcfunction_p.h"

#include <QHash>

namespace Spreadsheet {

namespace {

QHash<QString, const CalcFunction *> functionsByName()
{
    QHash<QString, const CalcFunction *> functions;
    for (const CalcFunctionTable &table : { calcMathFunctions(), calcStatisticsFunctions(), calcLookupFunctions(),
                                            calcTextFunctions(), calcDateFunctions(), calcLogicalFunctions() }) {
        for (int i = 0; i < table.count; ++i)
            functions.insert(QLatin1String(table.functions[i].name), &table.functions[i]);
    }
    return functions;
}

} // namespace

const CalcFunction *findCalcFunction(const QString &name)
{
    static const QHash<QString, const CalcFunction *> functions = functionsByName();
    QString upper = name.toUpper();
    // Files write newer functions with the prefixes of the version that
    // brought them.
    for (const QLatin1String prefix : { QLatin1String("_XLFN."), QLatin1String("_XLWS.") }) {
        if (upper.startsWith(prefix))
            upper.remove(0, prefix.size());
    }
    return functions.value(upper, nullptr);
}

} // namespace Spreadsheet
