#ifndef SPREADSHEET_CONTENTTYPES_H
#define SPREADSHEET_CONTENTTYPES_H

//! \file contenttypes.h
//! The media types of a package's parts, "[Content_Types].xml": ContentTypes.

#include "abstractooxmlfile.h"

#include <QHash>
#include <QMap>

namespace Spreadsheet {

//! "[Content_Types].xml": the media type of every part, by file extension
//! (defaults) and by part name (overrides), both written in key order.
//!
//! A new table knows the extensions "rels" and "xml". The add... calls that
//! take a name register a part of the usual folder by its file name without
//! ".xml": addWorksheetName("sheet2") registers "/xl/worksheets/sheet2.xml".
class ContentTypes : public AbstractOOXmlFile
{
public:
    //! A table with the defaults for "rels" and "xml".
    explicit ContentTypes(CreationMode mode);

    //! The media type of the parts with a file extension ("png"), replacing
    //! the one it had.
    void addDefault(const QString &extension, const QString &contentType);
    //! The media type of one part, by its name from the package's root with a
    //! leading "/" ("/xl/workbook.xml"), replacing the one it had.
    void addOverride(const QString &partName, const QString &contentType);
    //! Forgets every override; the defaults stay.
    void clearOverrides();

    //! Registers "/docProps/core.xml".
    void addDocPropCore();
    //! Registers "/docProps/app.xml".
    void addDocPropApp();
    //! Registers "/docProps/custom.xml".
    void addDocPropCustom();
    //! Registers "/xl/styles.xml".
    void addStyles();
    //! Registers "/xl/theme/theme1.xml".
    void addTheme();
    //! Registers "/xl/workbook.xml" as an ordinary workbook.
    void addWorkbook();
    //! Registers "/xl/sharedStrings.xml".
    void addSharedString();
    //! Registers "/xl/calcChain.xml".
    void addCalcChain();
    //! Registers "/xl/worksheets/NAME.xml" as a worksheet.
    void addWorksheetName(const QString &name);
    //! Registers "/xl/chartsheets/NAME.xml" as a chart sheet.
    void addChartsheetName(const QString &name);
    //! Registers "/xl/drawings/NAME.xml" as a drawing.
    void addDrawingName(const QString &name);
    //! Registers "/xl/charts/NAME.xml" as a chart.
    void addChartName(const QString &name);
    //! Registers "/xl/NAME.xml" as a sheet's notes ("comments1").
    void addCommentName(const QString &name);
    //! Registers "/xl/tables/NAME.xml" as a table.
    void addTableName(const QString &name);
    //! Registers "/xl/externalLinks/NAME.xml" as a link to another workbook.
    void addExternalLinkName(const QString &name);
    //! Registers the extension "vml", of the notes' drawings.
    void addVmlName();
    //! Registers the extension "bin" as a macro project.
    void addVbaProject();

    //! The media type of a part, by its name or else its extension; empty
    //! for a part the table does not know. The name may lack the leading "/",
    //! and letter case does not count.
    QString contentTypeOf(const QString &partName) const;
    //! The defaults, by extension.
    QMap<QString, QString> defaults() const { return m_defaults; }
    //! The overrides, by part name with a leading "/".
    QMap<QString, QString> overrides() const { return m_overrides; }

    //! Writes the defaults, then the overrides, each in key order.
    void writeXml(QIODevice *device) const override;
    //! Reads a package's table, replacing every default and override (the
    //! extensions in lower case); false for malformed XML.
    bool readXml(QIODevice *device) override;

private:
    QMap<QString, QString> m_defaults;
    QMap<QString, QString> m_overrides;
    QHash<QString, QString> m_overridesByFoldedName;   // part names do not tell letter case apart
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CONTENTTYPES_H
