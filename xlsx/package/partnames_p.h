#ifndef SPREADSHEET_PARTNAMES_P_H
#define SPREADSHEET_PARTNAMES_P_H

#include <QString>

namespace Spreadsheet {

// Part names as a package's relationships give them: relative to the folder
// of the part that points, or absolute from the package's root. A part name
// here has no leading "/", as the ZIP entries spell it.
namespace PartNames {

// The part a relationship's target names, seen from the part that points
// ("" for the package itself); empty when the target leaves the package.
QString resolve(const QString &source, const QString &target);
// The target that names a part, seen from another one.
QString relative(const QString &source, const QString &part);
// The relationship part of a part: "xl/_rels/workbook.xml.rels" for
// "xl/workbook.xml", "_rels/.rels" for the package ("").
QString relationshipsOf(const QString &part);

} // namespace PartNames

} // namespace Spreadsheet

#endif // SPREADSHEET_PARTNAMES_P_H
