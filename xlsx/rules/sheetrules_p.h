#ifndef SPREADSHEET_SHEETRULES_P_H
#define SPREADSHEET_SHEETRULES_P_H

#include "conditionalformatting.h"
#include "datavalidation.h"
#include "keptxml_p.h"

#include <QByteArray>
#include <QList>

class QXmlStreamWriter;

namespace Spreadsheet {

class Styles;

// A validation or conditional format of a sheet: the model's own, or one a
// loaded sheet held, written back as it came (kept) unless it is replaced.
// A loaded one the model cannot tell is kept without being listed.
template <typename T>
struct SheetRule
{
    T value;
    QByteArray kept;
    bool listed = true;
};
using ValidationRule = SheetRule<DataValidation>;
using FormattingRule = SheetRule<ConditionalFormatting>;

// The sheet's "dataValidations" and "conditionalFormatting" elements.
namespace SheetRules {

void writeDataValidations(QXmlStreamWriter &writer, const QList<ValidationRule> &rules, const KeptAttributes &attributes);
void writeConditionalFormatting(QXmlStreamWriter &writer, const FormattingRule &rule);

// The rules of a loaded element, given as its bytes and the namespace
// declarations they are read under.
QList<ValidationRule> readDataValidations(const QByteArray &element, const QByteArray &namespaces,
                                          KeptAttributes &attributes);
FormattingRule readConditionalFormatting(const QByteArray &element, const QByteArray &namespaces,
                                         const Styles &styles);

// Whether the areas are all inside the sheet and there is one at least.
bool areSound(const QList<CellArea> &areas);

} // namespace SheetRules

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETRULES_P_H
