// "A1" text and sheet-name rules on arbitrary text.
#include "spreadsheet/celladdress.h"
#include "spreadsheet/cellarea.h"
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
