#ifndef SPREADSHEET_CONTENTTYPES_H
#define SPREADSHEET_CONTENTTYPES_H

#include "abstractooxmlfile.h"

#include <QHash>
#include <QMap>

namespace Spreadsheet {

// "[Content_Types].xml": the media type of every part, by file extension
// (defaults) and by part name (overrides), both written in key order.
class ContentTypes : public AbstractOOXmlFile
{
public:
    explicit ContentTypes(CreationMode mode);

    void addDefault(const QString &extension, const QString &contentType);
    void addOverride(const QString &partName, const QString &contentType);
    void clearOverrides();

    void addDocPropCore();
    void addDocPropApp();
    void addDocPropCustom();
    void addStyles();
    void addTheme();
    void addWorkbook();
    void addSharedString();
    void addCalcChain();
    void addWorksheetName(const QString &name);
    void addChartsheetName(const QString &name);
    void addDrawingName(const QString &name);
    void addChartName(const QString &name);
    void addCommentName(const QString &name);
    void addTableName(const QString &name);
    void addExternalLinkName(const QString &name);
    void addVmlName();
    void addVbaProject();

    // The media type of a part, by its name or else its extension; empty
    // for a part the table does not know.
    QString contentTypeOf(const QString &partName) const;
    QMap<QString, QString> defaults() const { return m_defaults; }
    QMap<QString, QString> overrides() const { return m_overrides; }

    void writeXml(QIODevice *device) const override;
    bool readXml(QIODevice *device) override;

private:
    QMap<QString, QString> m_defaults;
    QMap<QString, QString> m_overrides;
    QHash<QString, QString> m_overridesByFoldedName;   // part names do not tell letter case apart
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CONTENTTYPES_H
