#include "document.h"
#include "document_p.h"
#include "workbook_p.h"

#include "abstractsheet_p.h"
#include "chart.h"
#include "chartsheet.h"
#include "docpropsapp.h"
#include "docpropscore.h"
#include "drawing.h"
#include "namespaces.h"
#include "partnames_p.h"
#include "relationships.h"
#include "sharedstrings.h"
#include "styles.h"
#include "theme.h"
#include "worksheet.h"
#include "worksheet_p.h"
#include "zipwriter_p.h"

#include <QFile>
#include <QSaveFile>

namespace Spreadsheet {

DocumentPrivate::DocumentPrivate(Document *q)
    : q_ptr(q)
{
    contentTypes = QSharedPointer<ContentTypes>::create(AbstractOOXmlFile::NewFromScratch);
    workbook = QSharedPointer<Workbook>::create(AbstractOOXmlFile::NewFromScratch);
    workbook->d_func()->keptParts = &kept.parts;
}

int DocumentPrivate::sheetIndex(const QString &name) const
{
    return workbook->sheetNames().indexOf(name);
}

// Worksheets are numbered among worksheets ("sheet1.xml", "sheet2.xml", ...);
// a number whose name a kept part holds, in any letter case, is passed over.
void DocumentPrivate::writeWorksheets(ZipWriter &zip, DocPropsApp &app, QSet<QString> &taken,
                                      QHash<QString, QString> &renamed) const
{
    QList<Worksheet *> worksheets;
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        if (workbook->sheet(i)->sheetType() == AbstractSheet::WorkSheet)
            worksheets.append(static_cast<Worksheet *>(workbook->sheet(i)));
    }
    if (worksheets.isEmpty())
        return;
    app.addHeadingPair(QStringLiteral("Worksheets"), worksheets.size());
    int number = 0;
    for (Worksheet *sheet : qAsConst(worksheets)) {
        QString part;
        do
            part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(++number);
        while (taken.contains(part.toCaseFolded()));
        taken.insert(part.toCaseFolded());
        const QString loadedPart = kept.sheetParts.value(sheet);
        if (!loadedPart.isEmpty() && loadedPart != part)
            renamed.insert(loadedPart, part);
        app.addPartTitle(sheet->sheetName());
        sheet->setPartPath(part);
        zip.addFile(part, [sheet](QIODevice *entry) { sheet->writeXml(entry); });
        if (!sheet->relationships()->isEmpty())
            zip.addFile(PartNames::relationshipsOf(part), sheet->relationships()->toXmlBytes());
        contentTypes->addWorksheetName(QStringLiteral("sheet%1").arg(number));
    }
}

namespace {

// The first name of the pattern ("...%1...") that no part holds.
QString freeName(const QString &pattern, QSet<QString> &taken)
{
    for (int number = 1;; ++number) {
        const QString name = pattern.arg(number);
        if (!taken.contains(name.toCaseFolded())) {
            taken.insert(name.toCaseFolded());
            return name;
        }
    }
}

// Whether a loaded part keeps the name it was loaded with: not when another
// part has it, in any letter case, or its relationships would have it.
bool keepName(const AbstractOOXmlFile &part, QSet<QString> &taken)
{
    if (part.creationMode() != AbstractOOXmlFile::LoadExisting)
        return false;
    const QString name = part.partPath().toCaseFolded();
    const QString relationships = PartNames::relationshipsOf(part.partPath()).toCaseFolded();
    if (name.isEmpty() || taken.contains(name) || taken.contains(relationships))
        return false;
    taken.insert(name);
    taken.insert(relationships);
    return true;
}

// A part's name in its usual folder ("drawing3" for "xl/drawings/drawing3.xml"),
// as the content types take it; empty for a part elsewhere.
QString nameIn(const QString &folder, const QString &part)
{
    if (!part.startsWith(folder) || !part.endsWith(QLatin1String(".xml")))
        return QString();
    const QString name = part.mid(folder.size()).chopped(4);
    return name.contains(QLatin1Char('/')) ? QString() : name;
}

} // namespace

DrawingParts DocumentPrivate::nameDrawingParts(QSet<QString> &taken) const
{
    DrawingParts parts;
    QList<Drawing *> fresh;
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        AbstractSheet *sheet = workbook->sheet(i);
        Drawing *drawing = sheet->d_func()->drawing.data();
        if (drawing && !drawing->objects().isEmpty()) {
            parts.drawings.append(drawing);
            if (!keepName(*drawing, taken))
                fresh.append(drawing);
            for (const DrawingObject &object : drawing->objects()) {
                if (object.kind == DrawingObject::ChartFrame && object.chart)
                    parts.charts.append(object.chart.data());
            }
        } else if (sheet->sheetType() == AbstractSheet::ChartSheet) {
            if (Chart *chart = static_cast<Chartsheet *>(sheet)->chart())
                parts.charts.append(chart);   // of a loaded chart sheet, whose drawing is kept
        }
    }
    QList<Chart *> freshCharts;
    for (Chart *chart : qAsConst(parts.charts)) {
        if (!keepName(*chart, taken))
            freshCharts.append(chart);
    }
    for (Drawing *drawing : qAsConst(fresh))
        drawing->setPartPath(freeName(QStringLiteral("xl/drawings/drawing%1.xml"), taken));
    for (Chart *chart : qAsConst(freshCharts))
        chart->setPartPath(freeName(QStringLiteral("xl/charts/chart%1.xml"), taken));
    // The same file inserted anywhere is stored once; pictures are numbered
    // whatever their kind ("image1.png", "image2.jpeg").
    QSet<QString> stems;
    for (const QString &name : qAsConst(taken))
        stems.insert(name.left(name.lastIndexOf(QLatin1Char('.'))));
    QHash<QByteArray, QString> stored;
    for (Drawing *drawing : qAsConst(parts.drawings)) {
        for (const DrawingObject &object : drawing->objects()) {
            if (object.kind != DrawingObject::Picture || !object.media || !object.keptXml.isEmpty())
                continue;
            const auto found = stored.constFind(object.media->bytes);
            if (found != stored.constEnd()) {
                object.media->partName = *found;
                continue;
            }
            const QString stem = freeName(QStringLiteral("xl/media/image%1"), stems);
            object.media->partName = stem + QLatin1Char('.') + object.media->suffix;
            stored.insert(object.media->bytes, object.media->partName);
            parts.media.append(object.media);
        }
    }
    return parts;
}

void DocumentPrivate::writeChartsheets(ZipWriter &zip, DocPropsApp &app, QSet<QString> &taken) const
{
    QList<AbstractSheet *> chartsheets;
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        if (workbook->sheet(i)->sheetType() == AbstractSheet::ChartSheet)
            chartsheets.append(workbook->sheet(i));
    }
    if (chartsheets.isEmpty())
        return;
    app.addHeadingPair(QStringLiteral("Chartsheets"), chartsheets.size());
    for (AbstractSheet *sheet : qAsConst(chartsheets)) {
        app.addPartTitle(sheet->sheetName());
        if (!sheet->d_func()->keptRelationshipId.isEmpty())
            continue;   // a loaded one is kept as it came
        const QString part = freeName(QStringLiteral("xl/chartsheets/sheet%1.xml"), taken);
        sheet->setPartPath(part);
        zip.addFile(part, sheet->toXmlBytes());
        zip.addFile(PartNames::relationshipsOf(part), sheet->relationships()->toXmlBytes());
        contentTypes->addChartsheetName(nameIn(QStringLiteral("xl/chartsheets/"), part));
    }
}

// A drawing or chart with its relationships; registered through its kind's
// own call in its usual folder, by its media type elsewhere.
void DocumentPrivate::writeDrawingPart(ZipWriter &zip, const AbstractOOXmlFile &file, const QString &folder,
                                       void (ContentTypes::*addName)(const QString &), const QString &mediaType) const
{
    const QString part = file.partPath();
    zip.addFile(part, file.toXmlBytes());
    const QString name = nameIn(folder, part);
    if (!name.isEmpty())
        (contentTypes.data()->*addName)(name);
    else
        contentTypes->addOverride(QLatin1Char('/') + part, ContentType::documentPrefix + mediaType);
    if (!file.relationships()->isEmpty())
        zip.addFile(PartNames::relationshipsOf(part), file.relationships()->toXmlBytes());
}

void DocumentPrivate::writeDrawings(ZipWriter &zip, const DrawingParts &parts) const
{
    for (const Drawing *drawing : parts.drawings)
        writeDrawingPart(zip, *drawing, QStringLiteral("xl/drawings/"), &ContentTypes::addDrawingName,
                         QStringLiteral("drawing+xml"));
}

QMap<int, const WorksheetPrivate *> DocumentPrivate::sheetsWritingNotes() const
{
    QMap<int, const WorksheetPrivate *> sheets;
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        if (workbook->sheet(i)->sheetType() != AbstractSheet::WorkSheet)
            continue;
        const WorksheetPrivate *sheet = static_cast<Worksheet *>(workbook->sheet(i))->d_func();
        if (sheet->writesNotes())
            sheets.insert(i, sheet);
    }
    return sheets;
}

void DocumentPrivate::nameNoteParts(QSet<QString> &taken) const
{
    for (const WorksheetPrivate *sheet : sheetsWritingNotes()) {
        sheet->commentsPart = freeName(QStringLiteral("xl/comments%1.xml"), taken);
        sheet->notesDrawingPart = freeName(QStringLiteral("xl/drawings/vmlDrawing%1.vml"), taken);
    }
}

void DocumentPrivate::writeNotes(ZipWriter &zip) const
{
    const QMap<int, const WorksheetPrivate *> sheets = sheetsWritingNotes();
    for (auto it = sheets.constBegin(); it != sheets.constEnd(); ++it) {
        const WorksheetPrivate *sheet = it.value();
        Comments comments(AbstractOOXmlFile::NewFromScratch);
        comments.notes = sheet->notes;
        zip.addFile(sheet->commentsPart, comments.toXmlBytes());
        contentTypes->addCommentName(sheet->commentsPart.mid(3).chopped(4));
        // Each sheet's note shapes are numbered in a block of their own.
        zip.addFile(sheet->notesDrawingPart, VmlDrawing::notesDrawing(sheet->notes, it.key() + 1));
        contentTypes->addVmlName();
    }
}

void DocumentPrivate::nameTableParts(QSet<QString> &taken) const
{
    // Loaded tables keep their ids; new ones take ids no table has, those
    // kept unread among them.
    QSet<int> ids;
    for (const TableIdentity &kept : workbook->d_func()->keptTables())
        ids.insert(kept.id);
    QList<TableRecord *> fresh;
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        if (workbook->sheet(i)->sheetType() != AbstractSheet::WorkSheet)
            continue;
        WorksheetPrivate *sheet = static_cast<Worksheet *>(workbook->sheet(i))->d_func();
        sheet->followTableHeaders();
        for (TableRecord &record : sheet->tables) {
            record.partName = freeName(QStringLiteral("xl/tables/table%1.xml"), taken);
            if (record.keptBytes.isEmpty() || ids.contains(record.id))
                fresh.append(&record);
            else
                ids.insert(record.id);
        }
    }
    int next = 1;
    for (TableRecord *record : qAsConst(fresh)) {
        while (ids.contains(next))
            ++next;
        record->id = next++;
    }
}

void DocumentPrivate::writeTables(ZipWriter &zip) const
{
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        if (workbook->sheet(i)->sheetType() != AbstractSheet::WorkSheet)
            continue;
        for (const TableRecord &record : static_cast<Worksheet *>(workbook->sheet(i))->d_func()->tables) {
            zip.addFile(record.partName, record.keptBytes.isEmpty() ? TableXml::write(record) : record.keptBytes);
            contentTypes->addTableName(nameIn(QStringLiteral("xl/tables/"), record.partName));
        }
    }
}

void DocumentPrivate::writeChartsAndMedia(ZipWriter &zip, const DrawingParts &parts) const
{
    for (const Chart *chart : parts.charts)
        writeDrawingPart(zip, *chart, QStringLiteral("xl/charts/"), &ContentTypes::addChartName,
                         QStringLiteral("drawingml.chart+xml"));
    for (const QSharedPointer<MediaFile> &media : parts.media) {
        zip.addFile(media->partName, media->bytes);
        contentTypes->addDefault(media->suffix, SheetImage::contentTypeOf(media->type));
    }
}

void DocumentPrivate::writePackageRelationships(ZipWriter &zip) const
{
    Relationships relationships;
    for (const Relationship &relationship : kept.relationships)
        relationships.keep(relationship);
    relationships.addDocumentRelationship(QStringLiteral("/officeDocument"), QStringLiteral("xl/workbook.xml"));
    relationships.addPackageRelationship(QStringLiteral("/metadata/core-properties"), QStringLiteral("docProps/core.xml"));
    relationships.addDocumentRelationship(QStringLiteral("/extended-properties"), QStringLiteral("docProps/app.xml"));
    if (writesCustomPart())
        relationships.addDocumentRelationship(QStringLiteral("/custom-properties"), QStringLiteral("docProps/custom.xml"));
    zip.addFile(QStringLiteral("_rels/.rels"), relationships.toXmlBytes());
}

// The kept parts that something still points at, those nothing pointed at
// in the first place, and the relationship parts of those written. A
// relationship part that points at a sheet the save renamed is written anew.
void DocumentPrivate::writeKeptParts(ZipWriter &zip, const QHash<QString, QString> &renamed) const
{
    if (kept.parts.isEmpty())
        return;
    const QSet<QString> reachable = reachableKeptParts();
    for (const QString &name : kept.order) {
        if ((!reachable.contains(name) && !kept.orphans.contains(name)) || zip.contains(name))
            continue;
        const KeptPart &part = kept.parts.value(name);
        QByteArray bytes = part.bytes;
        if (!renamed.isEmpty() && name.contains(QLatin1String("_rels/"))) {
            Relationships relationships;
            bool changed = false;
            const QString source = QString(name).remove(QStringLiteral("_rels/")).chopped(5);
            if (relationships.fromXmlBytes(bytes)) {
                Relationships rewritten;
                for (Relationship relationship : relationships.all()) {
                    const QString target = PartNames::resolve(source, relationship.target);
                    if (!relationship.targetMode && renamed.contains(target)) {
                        relationship.target = PartNames::relative(source, renamed.value(target));
                        changed = true;
                    }
                    rewritten.addWithId(relationship);
                }
                if (changed)
                    bytes = rewritten.toXmlBytes();
            }
        }
        zip.addFile(name, bytes);
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        const QString extension = dot > name.lastIndexOf(QLatin1Char('/')) ? name.mid(dot + 1).toLower() : QString();
        if (!part.contentType.isEmpty() && contentTypes->defaults().value(extension) != part.contentType)
            contentTypes->addOverride(QLatin1Char('/') + name, part.contentType);
    }
}

// Every part goes straight into the ZIP container on the device; large parts
// are compressed while they are written, so no part is held whole.
bool DocumentPrivate::writePackage(QIODevice *device) const
{
    if (!device->isWritable())
        return false;
    ZipWriter zip(device);
    // A package names its worksheets before the workbook writes itself, so
    // the default sheet must exist first.
    if (workbook->sheetCount() == 0)
        workbook->addSheet();
    contentTypes->clearOverrides();

    DocPropsApp app(AbstractOOXmlFile::NewFromScratch);
    DocPropsCore core(AbstractOOXmlFile::NewFromScratch);
    app.m_keptElements = kept.appElements;
    core.m_keptElements = kept.coreElements;
    // New parts pass over the names of the kept parts this save writes.
    QSet<QString> taken;
    for (const QString &fixed : { QStringLiteral("[Content_Types].xml"), QStringLiteral("_rels/.rels"),
                                  QStringLiteral("xl/workbook.xml"), QStringLiteral("xl/_rels/workbook.xml.rels"),
                                  QStringLiteral("xl/styles.xml"), QStringLiteral("xl/sharedStrings.xml"),
                                  Theme::partName(), PartNames::relationshipsOf(Theme::partName()),
                                  QStringLiteral("docProps/app.xml"), QStringLiteral("docProps/core.xml"),
                                  QStringLiteral("docProps/custom.xml") })
        taken.insert(fixed.toCaseFolded());
    const QSet<QString> reachable = reachableKeptParts();
    for (const QString &name : kept.parts.keys()) {
        if (reachable.contains(name) || kept.orphans.contains(name))
            taken.insert(name.toCaseFolded());
    }
    const DrawingParts drawingParts = nameDrawingParts(taken);
    nameNoteParts(taken);
    nameTableParts(taken);
    QHash<QString, QString> renamed;
    writeWorksheets(zip, app, taken, renamed);
    writeChartsheets(zip, app, taken);

    if (kept.workbookContentType.isEmpty())
        contentTypes->addWorkbook();
    else
        contentTypes->addOverride(QStringLiteral("/xl/workbook.xml"), kept.workbookContentType);
    zip.addFile(QStringLiteral("xl/workbook.xml"), workbook->toXmlBytes());
    zip.addFile(QStringLiteral("xl/_rels/workbook.xml.rels"), workbook->relationships()->toXmlBytes());
    writeDrawings(zip, drawingParts);
    writeNotes(zip);
    writeTables(zip);

    for (auto it = documentProperties.constBegin(); it != documentProperties.constEnd(); ++it) {
        app.setProperty(it.key(), it.value());
        core.setProperty(it.key(), it.value());
    }
    contentTypes->addDocPropApp();
    contentTypes->addDocPropCore();
    zip.addFile(QStringLiteral("docProps/app.xml"), app.toXmlBytes());
    zip.addFile(QStringLiteral("docProps/core.xml"), core.toXmlBytes());
    if (writesCustomPart()) {
        DocPropsCustom custom(AbstractOOXmlFile::NewFromScratch);
        custom.properties = customProperties;
        contentTypes->addDocPropCustom();
        zip.addFile(QStringLiteral("docProps/custom.xml"), custom.toXmlBytes());
    }

    SharedStrings *sharedStrings = workbook->sharedStrings();
    if (!sharedStrings->isEmpty()) {
        contentTypes->addSharedString();
        zip.addFile(QStringLiteral("xl/sharedStrings.xml"),
                    [sharedStrings](QIODevice *entry) { sharedStrings->writeXml(entry); });
    }
    contentTypes->addStyles();
    zip.addFile(QStringLiteral("xl/styles.xml"), workbook->styles()->toXmlBytes());
    contentTypes->addTheme();
    const Theme *theme = workbook->theme();
    zip.addFile(Theme::partName(), theme->toXmlBytes());
    if (!theme->relationships()->isEmpty())
        zip.addFile(PartNames::relationshipsOf(Theme::partName()), theme->relationships()->toXmlBytes());
    writeChartsAndMedia(zip, drawingParts);
    writeKeptParts(zip, renamed);

    writePackageRelationships(zip);
    zip.addFile(QStringLiteral("[Content_Types].xml"), contentTypes->toXmlBytes());
    return zip.close();
}

Document::Document(QObject *parent)
    : QObject(parent)
    , d_ptr(new DocumentPrivate(this))
{
}

Document::Document(const QString &fileName, QObject *parent)
    : Document(parent)
{
    Q_D(Document);
    d->packageName = fileName;
    if (QFile::exists(fileName))
        load(fileName);
}

Document::Document(QIODevice *device, QObject *parent)
    : Document(parent)
{
    load(device);
}

Document::~Document() = default;

bool Document::load(const QString &fileName)
{
    Q_D(Document);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        d->error = QStringLiteral("%1 cannot be opened: %2").arg(fileName, file.errorString());
        return false;
    }
    return d->load(&file);
}

bool Document::load(QIODevice *device)
{
    Q_D(Document);
    return d->load(device);
}

QString Document::errorString() const
{
    Q_D(const Document);
    return d->error;
}

void Document::setReadLimits(const ReadLimits &limits)
{
    Q_D(Document);
    d->limits = limits;
}

ReadLimits Document::readLimits() const
{
    Q_D(const Document);
    return d->limits;
}

bool Document::calculate()
{
    Q_D(Document);
    const bool calculated = d->workbook->calculate();
    d->error = d->workbook->errorString();
    return calculated;
}

Workbook *Document::workbook() const
{
    Q_D(const Document);
    return d->workbook.data();
}

AbstractSheet *Document::activeSheet() const
{
    Q_D(const Document);
    return d->workbook->activeSheet();
}

Worksheet *Document::activeWorksheet() const
{
    AbstractSheet *sheet = activeSheet();
    return sheet && sheet->sheetType() == AbstractSheet::WorkSheet ? static_cast<Worksheet *>(sheet) : nullptr;
}

bool Document::writeValue(int row, int column, const QVariant &value, const Format &format)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->writeValue(row, column, value, format);
}

bool Document::writeValue(const CellAddress &address, const QVariant &value, const Format &format)
{
    return writeValue(address.row(), address.column(), value, format);
}

QVariant Document::readValue(int row, int column) const
{
    Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->readValue(row, column) : QVariant();
}

QSharedPointer<SheetCell> Document::cellAt(int row, int column) const
{
    Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->cellAt(row, column) : QSharedPointer<SheetCell>();
}

void Document::forEachCell(const std::function<void(int row, int column, const SheetCell &cell)> &visit) const
{
    if (Worksheet *sheet = activeWorksheet())
        sheet->forEachCell(visit);
}

bool Document::setColumnWidth(int first, int last, double width)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setColumnWidth(first, last, width);
}

bool Document::setColumnFormat(int first, int last, const Format &format)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setColumnFormat(first, last, format);
}

bool Document::setColumnHidden(int first, int last, bool hidden)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setColumnHidden(first, last, hidden);
}

double Document::columnWidth(int column) const
{
    const Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->columnWidth(column) : 0;
}

Format Document::columnFormat(int column) const
{
    const Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->columnFormat(column) : Format();
}

bool Document::isColumnHidden(int column) const
{
    const Worksheet *sheet = activeWorksheet();
    return sheet && sheet->isColumnHidden(column);
}

bool Document::groupColumns(int first, int last, bool collapsed)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->groupColumns(first, last, collapsed);
}

bool Document::setRowHeight(int first, int last, double height)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setRowHeight(first, last, height);
}

bool Document::setRowFormat(int first, int last, const Format &format)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setRowFormat(first, last, format);
}

bool Document::setRowHidden(int first, int last, bool hidden)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setRowHidden(first, last, hidden);
}

double Document::rowHeight(int row) const
{
    const Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->rowHeight(row) : 0;
}

Format Document::rowFormat(int row) const
{
    const Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->rowFormat(row) : Format();
}

bool Document::isRowHidden(int row) const
{
    const Worksheet *sheet = activeWorksheet();
    return sheet && sheet->isRowHidden(row);
}

bool Document::groupRows(int first, int last, bool collapsed)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->groupRows(first, last, collapsed);
}

bool Document::mergeCells(const CellArea &area, const Format &format)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->mergeCells(area, format);
}

bool Document::unmergeCells(const CellArea &area)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->unmergeCells(area);
}

bool Document::insertImage(int row, int column, const QImage &image, const ImagePlacement &placement)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->insertImage(row, column, image, placement);
}

bool Document::insertImage(int row, int column, const QByteArray &fileBytes, const ImagePlacement &placement)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->insertImage(row, column, fileBytes, placement);
}

Chart *Document::insertChart(int row, int column, const QSize &size)
{
    Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->insertChart(row, column, size) : nullptr;
}

bool Document::addConditionalFormatting(const ConditionalFormatting &formatting)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->addConditionalFormatting(formatting);
}

bool Document::addDataValidation(const DataValidation &validation)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->addDataValidation(validation);
}

bool Document::writeNote(int row, int column, const RichString &text, const QString &author, bool visible)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->writeNote(row, column, text, author, visible);
}

CellNote Document::note(int row, int column) const
{
    Worksheet *sheet = activeWorksheet();
    return sheet ? sheet->note(row, column) : CellNote();
}

bool Document::setFrozenPanes(int rows, int columns)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setFrozenPanes(rows, columns);
}

bool Document::setSplitPanes(int rows, int columns)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setSplitPanes(rows, columns);
}

bool Document::setAutoFilter(const CellArea &range)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setAutoFilter(range);
}

bool Document::insertRows(int row, int count)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->insertRows(row, count);
}

bool Document::removeRows(int row, int count)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->removeRows(row, count);
}

bool Document::insertColumns(int column, int count)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->insertColumns(column, count);
}

bool Document::removeColumns(int column, int count)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->removeColumns(column, count);
}

bool Document::setPrintArea(const CellArea &area)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setPrintArea(area);
}

bool Document::setPrintTitles(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    Worksheet *sheet = activeWorksheet();
    return sheet && sheet->setPrintTitles(firstRow, lastRow, firstColumn, lastColumn);
}

bool Document::defineName(const QString &name, const QString &formula, bool activeSheetOnly)
{
    Q_D(Document);
    return d->workbook->defineName(name, formula, QString(), activeSheetOnly ? activeSheet()->sheetId() : -1);
}

Chartsheet *Document::addChartsheet(const QString &name)
{
    Q_D(Document);
    return static_cast<Chartsheet *>(d->workbook->addSheet(name, AbstractSheet::ChartSheet));
}

bool Document::addSheet(const QString &name)
{
    Q_D(Document);
    return d->workbook->addSheet(name) != nullptr;
}

bool Document::insertSheet(int index, const QString &name)
{
    Q_D(Document);
    return d->workbook->insertSheet(index, name) != nullptr;
}

bool Document::selectSheet(const QString &name)
{
    Q_D(Document);
    return d->workbook->setActiveSheet(d->sheetIndex(name));
}

bool Document::renameSheet(const QString &oldName, const QString &newName)
{
    Q_D(Document);
    if (oldName == newName)
        return false;
    return d->workbook->renameSheet(d->sheetIndex(oldName), newName);
}

bool Document::copySheet(const QString &name, const QString &newName)
{
    Q_D(Document);
    if (name == newName)
        return false;
    return d->workbook->copySheet(d->sheetIndex(name), newName);
}

bool Document::moveSheet(const QString &name, int index)
{
    Q_D(Document);
    return d->workbook->moveSheet(d->sheetIndex(name), index);
}

bool Document::deleteSheet(const QString &name)
{
    Q_D(Document);
    return d->workbook->deleteSheet(d->sheetIndex(name));
}

QStringList Document::sheetNames() const
{
    Q_D(const Document);
    return d->workbook->sheetNames();
}

void Document::setDocumentProperty(const QString &key, const QString &value)
{
    Q_D(Document);
    d->documentProperties.insert(key, value);
}

QString Document::documentProperty(const QString &key) const
{
    Q_D(const Document);
    return d->documentProperties.value(key);
}

QStringList Document::documentPropertyNames() const
{
    Q_D(const Document);
    return d->documentProperties.keys();
}

bool Document::setCustomProperty(const QString &name, const QVariant &value)
{
    Q_D(Document);
    if (name.isEmpty() || (!value.isNull() && !DocPropsCustom::isWritable(value)))
        return false;
    auto &properties = d->customProperties;
    const auto found = std::find_if(properties.begin(), properties.end(), [&name](const CustomProperty &property) {
        return property.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (value.isNull()) {
        if (found != properties.end())
            properties.erase(found);
        return true;
    }
    if (found != properties.end()) {
        found->name = name;
        found->value = value;
        found->keptValue.clear();
    } else {
        properties.append({ name, value, QByteArray() });
    }
    return true;
}

QVariant Document::customProperty(const QString &name) const
{
    Q_D(const Document);
    for (const CustomProperty &property : d->customProperties) {
        if (property.name.compare(name, Qt::CaseInsensitive) == 0)
            return property.value;
    }
    return QVariant();
}

QStringList Document::customPropertyNames() const
{
    Q_D(const Document);
    QStringList names;
    for (const CustomProperty &property : d->customProperties)
        names << property.name;
    return names;
}

bool Document::save() const
{
    Q_D(const Document);
    return saveToFile(d->packageName.isEmpty() ? d->defaultPackageName : d->packageName);
}

bool Document::saveToFile(const QString &fileName) const
{
    // The package is written beside the file and put in its place when
    // complete; in a folder that takes no new file, an existing writable file
    // is written over instead.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!saveToDevice(&file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool Document::saveToDevice(QIODevice *device) const
{
    Q_D(const Document);
    return d->writePackage(device);
}

} // namespace Spreadsheet
