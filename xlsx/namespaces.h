#ifndef SPREADSHEET_NAMESPACES_H
#define SPREADSHEET_NAMESPACES_H

#include <QString>

// The XML namespaces, content-type prefixes and relationship-type prefixes of
// an Office Open XML spreadsheet package, each written once.
namespace Spreadsheet {
namespace Namespace {

inline const QString spreadsheetMain = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
inline const QString documentRelationships
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
inline const QString packageRelationships = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
inline const QString msPackageRelationships = QStringLiteral("http://schemas.microsoft.com/office/2006/relationships");
inline const QString contentTypes = QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types");
inline const QString coreProperties
    = QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
inline const QString extendedProperties
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
inline const QString customProperties
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/custom-properties");
inline const QString docPropsVTypes = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes");
inline const QString drawingMain = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
inline const QString spreadsheetDrawing
    = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing");
inline const QString chart = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/chart");
inline const QString dublinCore = QStringLiteral("http://purl.org/dc/elements/1.1/");
inline const QString dublinCoreTerms = QStringLiteral("http://purl.org/dc/terms/");
inline const QString dcmiType = QStringLiteral("http://purl.org/dc/dcmitype/");
inline const QString xmlSchemaInstance = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

} // namespace Namespace

namespace ContentType {

inline const QString packagePrefix = QStringLiteral("application/vnd.openxmlformats-package.");
inline const QString documentPrefix = QStringLiteral("application/vnd.openxmlformats-officedocument.");

} // namespace ContentType
} // namespace Spreadsheet

#endif // SPREADSHEET_NAMESPACES_H
