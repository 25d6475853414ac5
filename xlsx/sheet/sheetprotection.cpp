#include "sheetprotection.h"
#include "sheetprotection_p.h"

#include "cellparsing_p.h"
#include "xmlscanner_p.h"

#include <QXmlStreamWriter>

namespace Spreadsheet {

using CellParsing::isTrue;

namespace {

// The element's attributes say what is protected, each action's with its
// default when absent: objects and scenarios, and selecting, are free
// unless said; the rest is protected unless said.
const struct
{
    const char *name;
    SheetProtection::Action action;
    bool protectedByDefault;
} actionAttributes[] = {
    { "objects", SheetProtection::EditObjects, false },
    { "scenarios", SheetProtection::EditScenarios, false },
    { "formatCells", SheetProtection::FormatCells, true },
    { "formatColumns", SheetProtection::FormatColumns, true },
    { "formatRows", SheetProtection::FormatRows, true },
    { "insertColumns", SheetProtection::InsertColumns, true },
    { "insertRows", SheetProtection::InsertRows, true },
    { "insertHyperlinks", SheetProtection::InsertHyperlinks, true },
    { "deleteColumns", SheetProtection::DeleteColumns, true },
    { "deleteRows", SheetProtection::DeleteRows, true },
    { "selectLockedCells", SheetProtection::SelectLockedCells, false },
    { "sort", SheetProtection::Sort, true },
    { "autoFilter", SheetProtection::AutoFilter, true },
    { "pivotTables", SheetProtection::PivotTables, true },
    { "selectUnlockedCells", SheetProtection::SelectUnlockedCells, false },
};

} // namespace

SheetProtection::SheetProtection() : d(new SheetProtectionData) {}
SheetProtection::SheetProtection(const SheetProtection &other) = default;
SheetProtection &SheetProtection::operator=(const SheetProtection &other) = default;
SheetProtection::~SheetProtection() = default;

SheetProtection::Actions SheetProtection::allowedActions() const
{
    return d->allowed;
}

void SheetProtection::setAllowedActions(Actions actions)
{
    d->allowed = actions;
}

bool SheetProtection::isAllowed(Action action) const
{
    return d->allowed.testFlag(action);
}

void SheetProtection::setAllowed(Action action, bool allowed)
{
    d->allowed.setFlag(action, allowed);
}

bool SheetProtection::hasPassword() const
{
    return !d->password.isEmpty();
}

bool SheetProtection::isPassword(const QString &password) const
{
    return d->password.matches(password);
}

SheetProtection SheetProtectionData::read(const XmlScanner &scanner)
{
    SheetProtection protection;
    SheetProtectionData &data = *protection.d;
    data.sheet = isTrue(scanner.value("sheet"));
    data.password = PasswordHash::read(scanner);
    data.allowed = {};
    for (const auto &attribute : actionAttributes) {
        const QByteArray value = scanner.value(attribute.name);
        const bool isProtected = value.isNull() ? attribute.protectedByDefault : isTrue(value);
        data.allowed.setFlag(attribute.action, !isProtected);
    }
    data.keptAttributes = KeptXml::attributes(
        scanner, { "sheet", "algorithmName", "hashValue", "saltValue", "spinCount", "password", "objects",
                   "scenarios", "formatCells", "formatColumns", "formatRows", "insertColumns", "insertRows",
                   "insertHyperlinks", "deleteColumns", "deleteRows", "selectLockedCells", "sort", "autoFilter",
                   "pivotTables", "selectUnlockedCells" });
    return protection;
}

void SheetProtectionData::write(QXmlStreamWriter &writer, const SheetProtection &protection)
{
    const SheetProtectionData &data = *protection.d;
    writer.writeEmptyElement(QStringLiteral("sheetProtection"));
    data.password.write(writer);
    if (data.sheet)
        writer.writeAttribute(QStringLiteral("sheet"), QStringLiteral("1"));
    for (const auto &attribute : actionAttributes) {
        const bool isProtected = !data.allowed.testFlag(attribute.action);
        if (isProtected != attribute.protectedByDefault)
            writer.writeAttribute(QLatin1String(attribute.name), isProtected ? QStringLiteral("1") : QStringLiteral("0"));
    }
    KeptXml::writeAttributes(writer, data.keptAttributes);
}

SheetProtection SheetProtectionData::withPassword(const SheetProtection &options, const PasswordHash &password)
{
    SheetProtection protection = options;
    protection.d->password = password;
    protection.d->sheet = true;
    return protection;
}

} // namespace Spreadsheet
