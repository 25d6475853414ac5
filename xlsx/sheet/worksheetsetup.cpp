// A worksheet's protection and how it prints.
#include "worksheet.h"
#include "worksheet_p.h"

#include "sheetprotection_p.h"

namespace Spreadsheet {

bool Worksheet::protect(const QString &password, const SheetProtection &options)
{
    Q_D(Worksheet);
    if (password.size() > PasswordHash::maxPasswordLength)
        return false;
    d->protection = SheetProtectionData::withPassword(options, PasswordHash::of(password));
    return true;
}

void Worksheet::unprotect()
{
    Q_D(Worksheet);
    d->protection.reset();
}

bool Worksheet::isProtected() const
{
    Q_D(const Worksheet);
    return d->protection && SheetProtectionData::protectsSheet(*d->protection);
}

SheetProtection Worksheet::protection() const
{
    Q_D(const Worksheet);
    return d->protection ? *d->protection : SheetProtection();
}

bool Worksheet::setPageSetup(const PageSetup &setup)
{
    Q_D(Worksheet);
    PageSetup sound = setup;
    if (!PageSetupXml::normalize(sound, d->page.setup, WorksheetPrivate::maxRows, WorksheetPrivate::maxColumns))
        return false;
    d->page.setup = sound;
    d->page.changed = true;
    return true;
}

PageSetup Worksheet::pageSetup() const
{
    Q_D(const Worksheet);
    return d->page.setup;
}

} // namespace Spreadsheet
