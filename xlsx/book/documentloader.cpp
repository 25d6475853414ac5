// Loading a package into a document: the workbook, its shared strings,
// styles and theme, every worksheet, the document properties; the parts the
// model does not read are kept with their relationships and media types.
#include "document.h"
#include "document_p.h"

#include "abstractsheet_p.h"
#include "chart.h"
#include "chartsheet.h"
#include "chartsheet_p.h"
#include "docpropsapp.h"
#include "docpropscore.h"
#include "comments_p.h"
#include "drawing.h"
#include "namespaces.h"
#include "partnames_p.h"
#include "sharedstrings.h"
#include "styles.h"
#include "theme.h"
#include "workbook_p.h"
#include "worksheet.h"
#include "worksheet_p.h"

#include <QQueue>

#include <new>

namespace Spreadsheet {

namespace {

QString documentType(const char *type)
{
    return Namespace::documentRelationships + QLatin1Char('/') + QLatin1String(type);
}

QString packageType(const char *type)
{
    return Namespace::packageRelationships + QLatin1Char('/') + QLatin1String(type);
}

const Relationship *firstOfType(const QList<Relationship> &relationships, const QString &type)
{
    for (const Relationship &relationship : relationships) {
        if (relationship.type == type && !relationship.targetMode)
            return &relationship;
    }
    return nullptr;
}

bool isExternal(const Relationship &relationship)
{
    return relationship.targetMode.has_value();
}

// The first relationship of each id, for lookups by id while the elements
// that name them are read.
QHash<QString, const Relationship *> byId(const QList<Relationship> &relationships)
{
    QHash<QString, const Relationship *> ids;
    ids.reserve(relationships.size());
    for (const Relationship &relationship : relationships) {
        if (!ids.contains(relationship.id))
            ids.insert(relationship.id, &relationship);
    }
    return ids;
}


} // namespace

// What a loading document builds before it takes it over.
struct Loading
{
    QSharedPointer<Workbook> workbook;
    QMap<QString, QString> properties;
    QList<CustomProperty> customProperties;
    bool customPartLoaded = false;
    KeptPackage kept;
};

class DocumentLoader
{
public:
    DocumentLoader(PackageReader &package, Loading &loading) : m_package(package), m_loading(loading) {}

    bool run();

private:
    bool readPart(AbstractOOXmlFile &part, const QString &name, bool streamed = false);
    bool readToTheEnd(QIODevice &device);
    bool readWorkbook(const QString &part);
    bool readWorkbookParts(const QList<Relationship> &relationships);
    bool readSheets(const QList<Relationship> &relationships);
    bool readProperties(const QList<Relationship> &relationships);
    bool readWorksheetDrawing(Worksheet &worksheet);
    bool readWorksheetNotes(Worksheet &worksheet);
    bool readWorksheetTables(Worksheet &worksheet);
    bool readDrawingObjects(Drawing &drawing, const QList<Relationship> &relationships);
    QSharedPointer<Chart> readChart(const QString &part);
    bool readChartsheetChart(Chartsheet &sheet, const QString &part);
    void findOrphans();

    PackageReader &m_package;
    Loading &m_loading;
    QSet<QString> m_modeledParts;                         // drawings and charts the model took
    QHash<QString, QSharedPointer<MediaFile>> m_media;   // pictures by part
};

// What follows a part's root element is inflated too: only the end of the
// entry checks its size and CRC (within the read limits, as all of it).
bool DocumentLoader::readToTheEnd(QIODevice &device)
{
    char rest[65536];
    while (!device.atEnd()) {
        if (device.read(rest, sizeof rest) < 0)
            return m_package.fail(QString(), device.errorString());   // the reason names the part
    }
    return true;
}

bool DocumentLoader::readPart(AbstractOOXmlFile &part, const QString &name, bool streamed)
{
    if (!m_package.contains(name))
        return m_package.fail(QString(), QStringLiteral("%1 is missing").arg(name));
    bool read = false;
    if (streamed) {
        const std::unique_ptr<QIODevice> device = m_package.openPart(name);
        if (!device)
            return false;
        read = part.readXml(device.get());
        if (read && !readToTheEnd(*device))
            return false;
    } else {
        QByteArray bytes;
        if (!m_package.read(name, bytes))
            return false;
        read = part.fromXmlBytes(bytes);
    }
    if (!read)
        return m_package.fail(name, part.errorString().isEmpty() ? QStringLiteral("it cannot be read") : part.errorString());
    return true;
}

bool DocumentLoader::run()
{
    QList<Relationship> packageRelationships;
    if (!m_package.relationshipsOf(QString(), packageRelationships))
        return false;
    const Relationship *office = firstOfType(packageRelationships, documentType("officeDocument"));
    if (!office)
        return m_package.fail(QStringLiteral("_rels/.rels"), QStringLiteral("it names no workbook"));
    const QString workbookPart = office->target;
    m_loading.kept.workbookContentType = m_package.contentTypeOf(workbookPart);
    if (!readWorkbook(workbookPart) || !readProperties(packageRelationships))
        return false;
    for (const Relationship &relationship : packageRelationships) {
        if (relationship.type != documentType("officeDocument") && relationship.type != packageType("metadata/core-properties")
            && relationship.type != documentType("extended-properties") && relationship.type != documentType("custom-properties"))
            m_loading.kept.relationships.append(relationship);
    }
    m_loading.workbook->sharedStrings()->releaseLoaded();
    if (!m_package.keepTheRest(m_loading.kept.parts, m_loading.kept.order))
        return false;
    findOrphans();
    return true;
}

bool DocumentLoader::readWorkbook(const QString &part)
{
    QList<Relationship> relationships;
    if (!m_package.relationshipsOf(part, relationships))
        return false;
    m_loading.workbook = QSharedPointer<Workbook>::create(AbstractOOXmlFile::LoadExisting);
    Workbook &workbook = *m_loading.workbook;
    workbook.d_func()->maxXmlDepth = m_package.limits().maxXmlDepth;
    workbook.setPartPath(part);
    if (!readPart(workbook, part) || !readWorkbookParts(relationships) || !readSheets(relationships))
        return false;

    // The model makes the relationships to the worksheets, shared strings,
    // styles and theme anew; the calculation chain is left out, for the
    // spreadsheet program to build again.
    for (const Relationship &relationship : relationships) {
        const bool modeled = relationship.type == documentType("worksheet")
            || relationship.type == documentType("sharedStrings") || relationship.type == documentType("styles")
            || relationship.type == documentType("theme") || relationship.type == documentType("calcChain");
        if (relationship.type == documentType("calcChain"))
            m_package.take(relationship.target);
        if (!modeled)
            workbook.relationships()->keep(relationship);
    }
    WorkbookPrivate *d = workbook.d_func();
    d->activeSheetIndex = qBound(0, d->activeSheetIndex, qMax(d->sheets.size() - 1, 0));
    return true;
}

bool DocumentLoader::readWorkbookParts(const QList<Relationship> &relationships)
{
    Workbook &workbook = *m_loading.workbook;
    WorkbookPrivate *d = workbook.d_func();
    if (const Relationship *strings = firstOfType(relationships, documentType("sharedStrings"))) {
        d->sharedStrings->setReadLimits(m_package.limits().maxXmlDepth,
                                        qMin(m_package.limits().maxInflatedSize, largestTextTable));
        if (!readPart(*d->sharedStrings, strings->target, true))
            return false;
    }
    // A package without a style table or theme gets the defaults of a new one.
    if (const Relationship *styles = firstOfType(relationships, documentType("styles"))) {
        d->styles->setReadLimits(m_package.limits().maxXmlDepth);
        if (!readPart(*d->styles, styles->target))
            return false;
    } else {
        d->styles = QSharedPointer<Styles>::create(AbstractOOXmlFile::NewFromScratch);
    }
    if (const Relationship *theme = firstOfType(relationships, documentType("theme"))) {
        // A theme may point at pictures (a picture fill): its relationships
        // stay with it, seen from the part it is saved as.
        QList<Relationship> themeRelationships;
        if (!readPart(*d->theme, theme->target) || !m_package.relationshipsOf(theme->target, themeRelationships))
            return false;
        d->theme->setPartPath(Theme::partName());
        d->theme->relationships()->setSourcePart(Theme::partName());
        for (const Relationship &relationship : qAsConst(themeRelationships))
            d->theme->relationships()->keep(relationship);
    } else {
        d->theme = QSharedPointer<Theme>::create(AbstractOOXmlFile::NewFromScratch);
    }
    return true;
}

bool DocumentLoader::readSheets(const QList<Relationship> &relationships)
{
    Workbook &workbook = *m_loading.workbook;
    const QList<ListedSheet> listed = workbook.d_func()->listedSheets;
    if (listed.isEmpty())
        return m_package.fail(workbook.partPath(), QStringLiteral("the workbook holds no sheet"));
    const QHash<QString, const Relationship *> relationshipsById = byId(relationships);
    QSet<QString> names;   // folded: sheet names do not tell letter case apart
    QSet<QString> parts;
    for (const ListedSheet &sheet : listed) {
        const Relationship *relationship = relationshipsById.value(sheet.relationshipId);
        if (!relationship || isExternal(*relationship))
            return m_package.fail(workbook.partPath(), QStringLiteral("the sheet \"%1\" names the relationship %2, which does not exist")
                                                            .arg(sheet.name.left(40), sheet.relationshipId.left(20)));
        const QString folded = sheet.name.toCaseFolded();
        if (names.contains(folded))
            return m_package.fail(workbook.partPath(), QStringLiteral("two sheets are named \"%1\"").arg(sheet.name.left(40)));
        names.insert(folded);
        // A part is one sheet's: read once, it cannot be made to count many times.
        if (parts.contains(relationship->target.toCaseFolded()))
            return m_package.fail(workbook.partPath(), QStringLiteral("two sheets name the part %1").arg(relationship->target.left(100)));
        parts.insert(relationship->target.toCaseFolded());
        const QString &type = relationship->type;
        AbstractSheet::SheetType kind;
        if (type == documentType("worksheet"))
            kind = AbstractSheet::WorkSheet;
        else if (type == documentType("chartsheet"))
            kind = AbstractSheet::ChartSheet;
        else if (type == documentType("dialogsheet"))
            kind = AbstractSheet::DialogSheet;
        else if (type == Namespace::msPackageRelationships + QStringLiteral("/xlMacrosheet")
                 || type == Namespace::msPackageRelationships + QStringLiteral("/xlIntlMacrosheet"))
            kind = AbstractSheet::MacroSheet;
        else
            return m_package.fail(relationship->target, QStringLiteral("the sheet \"%1\" is of an unknown kind").arg(sheet.name.left(40)));
        AbstractSheet *added = workbook.appendLoadedSheet(sheet.name, sheet.sheetId, sheet.state, kind, sheet.relationshipId);
        m_loading.kept.sheetParts.insert(added, relationship->target);
        if (kind == AbstractSheet::ChartSheet && !readChartsheetChart(*static_cast<Chartsheet *>(added), relationship->target))
            return false;
        if (kind != AbstractSheet::WorkSheet)
            continue;   // kept with its part and what it points at

        Worksheet *worksheet = static_cast<Worksheet *>(added);
        worksheet->setPartPath(relationship->target);
        worksheet->d_func()->maxXmlDepth = m_package.limits().maxXmlDepth;
        QList<Relationship> sheetRelationships;
        if (!m_package.relationshipsOf(relationship->target, sheetRelationships))
            return false;
        for (const Relationship &kept : sheetRelationships)
            worksheet->relationships()->keep(kept);
        if (!readPart(*worksheet, relationship->target, true) || !readWorksheetDrawing(*worksheet)
            || !readWorksheetNotes(*worksheet) || !readWorksheetTables(*worksheet))
            return false;
    }
    return true;
}

// A worksheet's drawing becomes the model's when it is a drawing no other
// sheet has taken; otherwise the sheet keeps its drawing element as it came.
bool DocumentLoader::readWorksheetDrawing(Worksheet &worksheet)
{
    WorksheetPrivate *d = worksheet.d_func();
    if (d->loadedDrawing.isEmpty())
        return true;
    QList<Relationship> kept = worksheet.relationships()->keptRelationships();
    const auto relationship = std::find_if(kept.begin(), kept.end(), [&](const Relationship &candidate) {
        return candidate.id == d->loadedDrawingId && !isExternal(candidate) && candidate.type == documentType("drawing");
    });
    const bool readable = relationship != kept.end() && m_package.contains(relationship->target)
        && !m_modeledParts.contains(relationship->target);
    if (!readable) {
        d->keepLoadedDrawing();
    } else {
        const QString part = relationship->target;
        auto drawing = QSharedPointer<Drawing>::create(AbstractOOXmlFile::LoadExisting);
        drawing->setPartPath(part);
        drawing->setReadLimits(m_package.limits().maxXmlDepth);
        QList<Relationship> relationships;
        if (!m_package.relationshipsOf(part, relationships))
            return false;
        for (const Relationship &one : relationships)
            drawing->relationships()->keep(one);
        if (!readPart(*drawing, part) || !readDrawingObjects(*drawing, relationships))
            return false;
        m_package.take(PartNames::relationshipsOf(part));
        m_modeledParts.insert(part);
        kept.erase(relationship);   // made anew by the sheet
        worksheet.relationships()->setKeptRelationships(kept);
        d->drawing = drawing;
    }
    d->loadedDrawing.clear();
    d->loadedDrawingId.clear();
    return true;
}

// The tables a sheet names are read into the model, each from a part of its
// own without relationships, whose bytes it writes back; any other stays a
// kept part, named by its relationship.
bool DocumentLoader::readWorksheetTables(Worksheet &worksheet)
{
    WorksheetPrivate *d = worksheet.d_func();
    if (d->tablePartIds.isEmpty())
        return true;
    QList<Relationship> kept = worksheet.relationships()->keptRelationships();
    const QHash<QString, const Relationship *> relationships = byId(kept);
    QSet<QString> modelled;   // and dropped: the ids of relationships the sheet no longer keeps
    QStringList left;
    for (const QString &id : qAsConst(d->tablePartIds)) {
        const Relationship *relationship = relationships.value(id);
        QByteArray bytes;
        std::optional<TableRecord> record;
        // A table is one sheet's, once: a part that a table of the model
        // came from already is not named again.
        if (relationship && m_modeledParts.contains(relationship->target)) {
            modelled.insert(id);
            continue;
        }
        if (relationship && !isExternal(*relationship) && relationship->type == documentType("table")
            && m_package.contains(relationship->target)
            && !m_package.contains(PartNames::relationshipsOf(relationship->target))) {
            if (!m_package.peek(relationship->target, bytes))
                return false;
            if (!PackageReader::declaresDocumentType(bytes))
                record = TableXml::read(bytes, m_package.limits().maxXmlDepth);
        }
        if (!record) {
            left << id;
            continue;
        }
        if (!m_package.read(relationship->target, bytes))
            return false;
        m_modeledParts.insert(relationship->target);
        modelled.insert(id);
        d->tables.append(*record);
    }
    kept.erase(std::remove_if(kept.begin(), kept.end(), [&](const Relationship &one) { return modelled.contains(one.id); }),
               kept.end());
    worksheet.relationships()->setKeptRelationships(kept);
    d->tablePartIds = left;
    return true;
}

// A sheet's notes are read into the model; their parts stay kept, and are
// written back as they came until the notes change.
bool DocumentLoader::readWorksheetNotes(Worksheet &worksheet)
{
    const QList<Relationship> kept = worksheet.relationships()->keptRelationships();
    const Relationship *comments = firstOfType(kept, documentType("comments"));
    if (!comments || !m_package.contains(comments->target))
        return true;
    QByteArray bytes;
    if (!m_package.peek(comments->target, bytes))
        return false;
    if (PackageReader::declaresDocumentType(bytes))
        return m_package.fail(comments->target, QStringLiteral("it declares a document type, which no package part may"));
    Comments read(AbstractOOXmlFile::LoadExisting);
    read.setReadLimits(m_package.limits().maxXmlDepth);
    if (!read.fromXmlBytes(bytes))
        return m_package.fail(comments->target, read.errorString());
    WorksheetPrivate *d = worksheet.d_func();
    d->notes = read.notes;
    bool otherShapes = false;
    const Relationship *drawing = firstOfType(kept, documentType("vmlDrawing"));
    if (drawing && m_package.contains(drawing->target)) {
        QByteArray vml;
        if (!m_package.peek(drawing->target, vml))
            return false;
        VmlDrawing::readNotes(vml, d->notes, otherShapes);
    }
    d->keepLoadedNotes(comments->id, drawing ? drawing->id : QString(), otherShapes);
    return true;
}

// The pictures and charts of a loaded drawing, for the sheet to list; what
// cannot be resolved stays an anchor kept as it came.
bool DocumentLoader::readDrawingObjects(Drawing &drawing, const QList<Relationship> &relationships)
{
    const QHash<QString, const Relationship *> relationshipsById = byId(relationships);
    for (DrawingObject &object : drawing.objects()) {
        if (object.kind == DrawingObject::Kept)
            continue;
        const Relationship *target = relationshipsById.value(object.relationshipId);
        object.kind = DrawingObject::Kept;
        if (!target || isExternal(*target) || !m_package.contains(target->target))
            continue;
        if (target->type == documentType("image")) {
            QSharedPointer<MediaFile> &media = m_media[target->target];
            if (!media) {
                media = QSharedPointer<MediaFile>::create();
                if (!m_package.peek(target->target, media->bytes))
                    return false;
                media->type = SheetImage::typeOf(media->bytes);
                media->suffix = target->target.mid(target->target.lastIndexOf(QLatin1Char('.')) + 1).toLower();
                media->partName = target->target;
            }
            object.media = media;
            object.kind = DrawingObject::Picture;
        } else if (target->type == documentType("chart") && !m_modeledParts.contains(target->target)) {
            object.chart = readChart(target->target);
            if (object.chart)
                object.kind = DrawingObject::ChartFrame;
        }
    }
    return true;
}

// A chart the model reads; null, leaving the part kept, when it cannot.
QSharedPointer<Chart> DocumentLoader::readChart(const QString &part)
{
    QByteArray bytes;
    QList<Relationship> relationships;
    if (!m_package.peek(part, bytes) || PackageReader::declaresDocumentType(bytes)
        || !m_package.relationshipsOf(part, relationships, false))
        return {};
    auto chart = QSharedPointer<Chart>::create(AbstractOOXmlFile::LoadExisting);
    if (!chart->fromXmlBytes(bytes))
        return {};
    chart->setPartPath(part);
    for (const Relationship &relationship : relationships)
        chart->relationships()->keep(relationship);
    m_package.take(part);
    m_package.take(PartNames::relationshipsOf(part));
    m_modeledParts.insert(part);
    return chart;
}

// A loaded chart sheet stays as it came; the chart its drawing shows is read.
bool DocumentLoader::readChartsheetChart(Chartsheet &sheet, const QString &part)
{
    QList<Relationship> sheetRelationships;
    if (!m_package.contains(part))
        return true;
    if (!m_package.relationshipsOf(part, sheetRelationships, false))
        return false;
    const Relationship *drawing = firstOfType(sheetRelationships, documentType("drawing"));
    if (!drawing || !m_package.contains(drawing->target))
        return true;
    QList<Relationship> drawingRelationships;
    if (!m_package.relationshipsOf(drawing->target, drawingRelationships, false))
        return false;
    const Relationship *chart = firstOfType(drawingRelationships, documentType("chart"));
    if (chart && m_package.contains(chart->target) && !m_modeledParts.contains(chart->target))
        sheet.d_func()->chart = readChart(chart->target);
    return true;
}

bool DocumentLoader::readProperties(const QList<Relationship> &relationships)
{
    DocPropsCore core(AbstractOOXmlFile::LoadExisting);
    DocPropsApp app(AbstractOOXmlFile::LoadExisting);
    const Relationship *coreRelationship = firstOfType(relationships, packageType("metadata/core-properties"));
    const Relationship *appRelationship = firstOfType(relationships, documentType("extended-properties"));
    if (coreRelationship && m_package.contains(coreRelationship->target) && !readPart(core, coreRelationship->target))
        return false;
    if (appRelationship && m_package.contains(appRelationship->target) && !readPart(app, appRelationship->target))
        return false;
    for (const QString &name : core.propertyNames())
        m_loading.properties.insert(name, core.property(name));
    for (const QString &name : app.propertyNames())
        m_loading.properties.insert(name, app.property(name));
    m_loading.kept.coreElements = core.m_keptElements;
    m_loading.kept.appElements = app.m_keptElements;
    const Relationship *customRelationship = firstOfType(relationships, documentType("custom-properties"));
    if (customRelationship && m_package.contains(customRelationship->target)) {
        DocPropsCustom custom(AbstractOOXmlFile::LoadExisting);
        if (!readPart(custom, customRelationship->target))
            return false;
        m_loading.customProperties = custom.properties;
        m_loading.customPartLoaded = true;
    }
    return true;
}

// Parts that nothing pointed at in the loaded package stay whatever happens
// to the sheets; the others go with what pointed at them.
void DocumentLoader::findOrphans()
{
    DocumentPrivate probe(nullptr);
    probe.workbook = m_loading.workbook;
    probe.kept = m_loading.kept;
    const QSet<QString> reachable = probe.reachableKeptParts();
    for (const QString &part : m_loading.kept.order) {
        if (!reachable.contains(part) && !part.contains(QLatin1String("_rels/")))
            m_loading.kept.orphans.insert(part);
    }
}

// Every kept part that a relationship of the model's parts names, and what
// those kept parts name in turn through their own relationship parts.
QSet<QString> DocumentPrivate::reachableKeptParts() const
{
    QSet<QString> reached;
    QQueue<QString> queue;
    auto follow = [&](const QList<Relationship> &relationships) {
        for (const Relationship &relationship : relationships) {
            if (!relationship.targetMode && kept.parts.contains(relationship.target)
                && !reached.contains(relationship.target)) {
                reached.insert(relationship.target);
                queue.enqueue(relationship.target);
            }
        }
    };
    follow(kept.relationships);
    follow(workbook->relationships()->keptRelationships());
    for (int i = 0; i < workbook->sheetCount(); ++i)
        follow(workbook->sheet(i)->relationships()->keptRelationships());
    follow(workbook->theme()->relationships()->keptRelationships());
    // Drawings and charts the model took keep what they pointed at.
    for (int i = 0; i < workbook->sheetCount(); ++i) {
        AbstractSheet *sheet = workbook->sheet(i);
        if (const Drawing *drawing = sheet->d_func()->drawing.data()) {
            follow(drawing->relationships()->keptRelationships());
            for (const DrawingObject &object : drawing->objects()) {
                if (object.chart)
                    follow(object.chart->relationships()->keptRelationships());
            }
        } else if (sheet->sheetType() == AbstractSheet::ChartSheet) {
            if (const Chart *chart = static_cast<Chartsheet *>(sheet)->chart())
                follow(chart->relationships()->keptRelationships());
        }
    }
    while (!queue.isEmpty()) {
        const QString part = queue.dequeue();
        const QString relationshipsPart = PartNames::relationshipsOf(part);
        const auto found = kept.parts.constFind(relationshipsPart);
        if (found == kept.parts.constEnd())
            continue;
        reached.insert(relationshipsPart);
        Relationships read;
        if (!read.fromXmlBytes(found->bytes))
            continue;
        QList<Relationship> resolved;
        for (Relationship relationship : read.all()) {
            if (!relationship.targetMode)
                relationship.target = PartNames::resolve(part, relationship.target);
            resolved.append(relationship);
        }
        follow(resolved);
    }
    return reached;
}

bool DocumentPrivate::load(QIODevice *device)
{
    error.clear();
    if (!device || !device->isReadable()) {
        error = QStringLiteral("the package cannot be read");
        return false;
    }
    PackageReader package(device, limits);
    Loading loading;
    // The read limits keep every array a load fills within what it can hold;
    // should memory still run out, the load fails as any other does.
    try {
        if (!package.open() || !DocumentLoader(package, loading).run()) {
            error = package.errorString();
            return false;
        }
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("there is not enough memory to read the package");
        return false;
    }
    contentTypes = QSharedPointer<ContentTypes>::create(AbstractOOXmlFile::LoadExisting);
    const QMap<QString, QString> defaults = package.contentTypes().defaults();
    for (auto it = defaults.constBegin(); it != defaults.constEnd(); ++it)
        contentTypes->addDefault(it.key(), it.value());
    workbook = loading.workbook;
    documentProperties = loading.properties;
    customProperties = loading.customProperties;
    customPartLoaded = loading.customPartLoaded;
    kept = loading.kept;
    workbook->d_func()->keptParts = &kept.parts;
    return true;
}

} // namespace Spreadsheet
