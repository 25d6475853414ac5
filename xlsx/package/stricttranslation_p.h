#ifndef SPREADSHEET_STRICTTRANSLATION_P_H
#define SPREADSHEET_STRICTTRANSLATION_P_H

#include <QByteArray>
#include <QIODevice>

#include <memory>

namespace Spreadsheet {

// The Strict form of the file format differs from the transitional one, for
// what this library reads, only in its namespaces and relationship types,
// which correspond one to one. A Strict package is read by putting the
// transitional names in their place as its parts are read; the rest of the
// reading, and every later save, then sees a transitional package.
namespace StrictTranslation {

// Whether the package's relationships name a Strict workbook.
bool isStrictPackage(const QByteArray &packageRelationships);
// The part's XML with every Strict name replaced.
QByteArray toTransitional(const QByteArray &bytes);
// A device that reads the other one's XML with every Strict name replaced.
std::unique_ptr<QIODevice> transitionalDevice(std::unique_ptr<QIODevice> strict);

} // namespace StrictTranslation

} // namespace Spreadsheet

#endif // SPREADSHEET_STRICTTRANSLATION_P_H
