#ifndef SPREADSHEET_NAMESPACES_H
#define SPREADSHEET_NAMESPACES_H

#include <QString>

//! \file namespaces.h
//! The XML namespaces, content-type prefixes and relationship-type prefixes of
//! an Office Open XML spreadsheet package, each written once.

namespace Spreadsheet {
//! The XML namespaces of an Office Open XML spreadsheet package, each written
//! once. The relationship types of a package are these namespaces followed by
//! a relative type: documentRelationships + "/worksheet".
namespace Namespace {

//! The main namespace of the workbook, sheet, style and shared-string parts.
inline const QString spreadsheetMain = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
//! Relationships between the parts of a document, and the prefix of their types ("/worksheet", "/styles", ...).
inline const QString documentRelationships
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
//! The namespace of ".rels" parts, and the prefix of the core-properties relationship type.
inline const QString packageRelationships = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
//! Microsoft's own package relationships, the prefix of their types.
inline const QString msPackageRelationships = QStringLiteral("http://schemas.microsoft.com/office/2006/relationships");
//! The namespace of "[Content_Types].xml".
inline const QString contentTypes = QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types");
//! The core properties ("docProps/core.xml").
inline const QString coreProperties
    = QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
//! The extended, application properties ("docProps/app.xml").
inline const QString extendedProperties
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
//! The custom properties ("docProps/custom.xml").
inline const QString customProperties
    = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/custom-properties");
//! The typed values of the application and custom properties.
inline const QString docPropsVTypes = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes");
//! DrawingML, the shapes and text of drawings and charts.
inline const QString drawingMain = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
//! The drawing part of a sheet and its anchors.
inline const QString spreadsheetDrawing
    = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing");
//! The chart parts.
inline const QString chart = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/chart");
//! Dublin Core elements of the core properties (title, creator, ...).
inline const QString dublinCore = QStringLiteral("http://purl.org/dc/elements/1.1/");
//! Dublin Core terms of the core properties (created, modified).
inline const QString dublinCoreTerms = QStringLiteral("http://purl.org/dc/terms/");
//! Dublin Core types, declared by the core properties.
inline const QString dcmiType = QStringLiteral("http://purl.org/dc/dcmitype/");
//! XML Schema instance attributes (the "xsi:type" of the core properties' times).
inline const QString xmlSchemaInstance = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

} // namespace Namespace

//! The prefixes of the media types of a package's parts, as
//! "[Content_Types].xml" names them.
namespace ContentType {

//! The prefix of the package's own media types ("...package.relationships+xml").
inline const QString packagePrefix = QStringLiteral("application/vnd.openxmlformats-package.");
//! The prefix of the document parts' media types ("...officedocument.spreadsheetml.worksheet+xml").
inline const QString documentPrefix = QStringLiteral("application/vnd.openxmlformats-officedocument.");

} // namespace ContentType
} // namespace Spreadsheet

#endif // SPREADSHEET_NAMESPACES_H
