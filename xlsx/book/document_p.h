#ifndef SPREADSHEET_DOCUMENT_P_H
#define SPREADSHEET_DOCUMENT_P_H

#include "contenttypes.h"
#include "document.h"
#include "workbook.h"

#include <QMap>
#include <QSharedPointer>

namespace Spreadsheet {

class ZipWriter;

class DocumentPrivate
{
    Q_DECLARE_PUBLIC(Document)

public:
    explicit DocumentPrivate(Document *q);

    bool writePackage(QIODevice *device) const;
    void writeWorksheets(ZipWriter &zip, class DocPropsApp &app) const;
    void writePackageRelationships(ZipWriter &zip) const;
    int sheetIndex(const QString &name) const;

    Document *q_ptr;
    const QString defaultPackageName = QStringLiteral("Book1.xlsx");
    QString packageName;
    QMap<QString, QString> documentProperties;
    QSharedPointer<Workbook> workbook;
    QSharedPointer<ContentTypes> contentTypes;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCUMENT_P_H
