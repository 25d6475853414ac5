#include "datavalidation.h"

namespace Spreadsheet {

bool DataValidation::setListValues(const QStringList &values)
{
    const QString joined = values.join(QLatin1Char(','));
    for (const QString &value : values) {
        if (value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')))
            return false;
    }
    if (values.isEmpty() || joined.size() > 255)
        return false;
    type = List;
    formula1 = QLatin1Char('"') + joined + QLatin1Char('"');
    return true;
}

QStringList DataValidation::listValues() const
{
    if (type != List || formula1.size() < 2 || !formula1.startsWith(QLatin1Char('"')) || !formula1.endsWith(QLatin1Char('"')))
        return QStringList();
    return formula1.mid(1, formula1.size() - 2).split(QLatin1Char(','));
}

} // namespace Spreadsheet
