#ifndef SPREADSHEET_DOCUMENT_P_H
#define SPREADSHEET_DOCUMENT_P_H

#include "contenttypes.h"
#include "docpropscustom_p.h"
#include "document.h"
#include "packagereader_p.h"
#include "readlimits.h"
#include "workbook.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSharedPointer>

namespace Spreadsheet {

class Chart;
class DocPropsApp;
class DocPropsCore;
class Drawing;
struct MediaFile;
class WorksheetPrivate;
class ZipWriter;

// The parts a save writes for pictures and charts, named before the sheets
// that point at them are written.
struct DrawingParts
{
    QList<Drawing *> drawings;
    QList<Chart *> charts;
    QList<QSharedPointer<MediaFile>> media;   // each distinct file once
};

// What a loaded package holds beyond the model: its other parts, the
// package's other relationships, and the extra elements of its property
// parts. Empty for a new document.
struct KeptPackage
{
    QMap<QString, KeptPart> parts;
    QStringList order;                  // the parts in the package's order
    QSet<QString> orphans;              // parts nothing pointed at when loaded, kept anyway
    QList<Relationship> relationships;  // of the package, beyond the workbook and properties
    QByteArray coreElements;
    QByteArray appElements;
    QString workbookContentType;        // a macro-enabled workbook or a template keeps its type
    QHash<const AbstractSheet *, QString> sheetParts;   // where the loaded sheets came from
};

class DocumentPrivate
{
    Q_DECLARE_PUBLIC(Document)

public:
    explicit DocumentPrivate(Document *q);

    bool writePackage(QIODevice *device) const;
    void writeWorksheets(ZipWriter &zip, DocPropsApp &app, QSet<QString> &taken, QHash<QString, QString> &renamed) const;
    // Names the new drawings, charts and pictures, passing over the names
    // that kept and loaded parts hold.
    DrawingParts nameDrawingParts(QSet<QString> &taken) const;
    void writeChartsheets(ZipWriter &zip, DocPropsApp &app, QSet<QString> &taken) const;
    void writeDrawingPart(ZipWriter &zip, const AbstractOOXmlFile &file, const QString &folder,
                          void (ContentTypes::*addName)(const QString &), const QString &mediaType) const;
    void writeDrawings(ZipWriter &zip, const DrawingParts &parts) const;
    // The notes of the sheets that write theirs: texts and drawings.
    QMap<int, const WorksheetPrivate *> sheetsWritingNotes() const;   // by sheet index
    void nameNoteParts(QSet<QString> &taken) const;
    void writeNotes(ZipWriter &zip) const;
    // The tables of every worksheet: a part each, named and numbered anew by each save.
    void nameTableParts(QSet<QString> &taken) const;
    void writeTables(ZipWriter &zip) const;
    void writeChartsAndMedia(ZipWriter &zip, const DrawingParts &parts) const;
    void writePackageRelationships(ZipWriter &zip) const;
    void writeKeptParts(ZipWriter &zip, const QHash<QString, QString> &renamed) const;
    // The kept parts that the model's parts point at, directly or through
    // other kept parts.
    QSet<QString> reachableKeptParts() const;
    int sheetIndex(const QString &name) const;

    // Loading (documentloader.cpp): builds the whole document aside and
    // takes it over only when everything was read.
    bool load(QIODevice *device);

    Document *q_ptr;
    const QString defaultPackageName = QStringLiteral("Book1.xlsx");
    QString packageName;
    QMap<QString, QString> documentProperties;
    QList<CustomProperty> customProperties;   // in the order they were given
    bool customPartLoaded = false;            // written back, if empty, as it came
    bool writesCustomPart() const { return customPartLoaded || !customProperties.isEmpty(); }
    QSharedPointer<Workbook> workbook;
    QSharedPointer<ContentTypes> contentTypes;
    KeptPackage kept;
    ReadLimits limits;
    QString error;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_DOCUMENT_P_H
