#ifndef SPREADSHEET_SHEETPROTECTION_P_H
#define SPREADSHEET_SHEETPROTECTION_P_H

#include "keptxml_p.h"
#include "passwordhash_p.h"
#include "sheetprotection.h"

#include <QSharedData>

class QXmlStreamWriter;

namespace Spreadsheet {

class XmlScanner;

class SheetProtectionData : public QSharedData
{
public:
    SheetProtection::Actions allowed = SheetProtection::SelectLockedCells | SheetProtection::SelectUnlockedCells;
    PasswordHash password;
    bool sheet = true;               // a loaded element may protect objects alone
    KeptAttributes keptAttributes;   // of a loaded element, beyond what is modelled

    // The "sheetProtection" element.
    static SheetProtection read(const XmlScanner &scanner);
    static void write(QXmlStreamWriter &writer, const SheetProtection &protection);
    static bool protectsSheet(const SheetProtection &protection) { return protection.d->sheet; }
    static SheetProtection withPassword(const SheetProtection &options, const PasswordHash &password);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETPROTECTION_P_H
