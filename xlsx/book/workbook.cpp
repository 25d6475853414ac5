#include "workbook.h"
#include "workbook_p.h"

#include "namespaces.h"
#include "relationships.h"
#include "utility.h"
#include "worksheet.h"
#include "worksheet_p.h"
#include "calcengine_p.h"
#include "chartsheet.h"
#include "cellparsing_p.h"
#include "keptsheet_p.h"
#include "partnames_p.h"
#include "referencechange_p.h"
#include "xmlscanner_p.h"

#include <QDebug>

#include <algorithm>
#include <QXmlStreamWriter>

namespace Spreadsheet {

Workbook::Workbook(CreationMode mode)
    : AbstractOOXmlFile(new WorkbookPrivate(this, mode))
{
    Q_D(Workbook);
    d->sharedStrings = QSharedPointer<SharedStrings>::create(mode);
    d->styles = QSharedPointer<Styles>::create(mode);
    d->theme = QSharedPointer<Theme>::create(mode);
}

Workbook::~Workbook() = default;

int Workbook::sheetCount() const
{
    Q_D(const Workbook);
    return d->sheets.size();
}

AbstractSheet *Workbook::sheet(int index) const
{
    Q_D(const Workbook);
    return index >= 0 && index < d->sheets.size() ? d->sheets.at(index).data() : nullptr;
}

QStringList Workbook::sheetNames() const
{
    Q_D(const Workbook);
    return d->sheetNames;
}

AbstractSheet *Workbook::addSheet(const QString &name, AbstractSheet::SheetType type)
{
    return insertSheet(sheetCount(), name, type);
}

// Spreadsheet programs take two names that differ only in letter case for
// the same sheet.
int WorkbookPrivate::indexOfName(const QString &name, int except) const
{
    const QString folded = name.toCaseFolded();
    for (int i = 0; i < sheetNames.size(); ++i) {
        if (i != except && sheetNames.at(i).toCaseFolded() == folded)
            return i;
    }
    return -1;
}

// "name(n)" for the first n from 2 on whose name is free, the name cut so
// that the number always fits in 31 characters.
QString WorkbookPrivate::copyName(const QString &name) const
{
    for (int copyNumber = 2;; ++copyNumber) {
        const QString suffix = QStringLiteral("(%1)").arg(copyNumber);
        const QString candidate = sanitizeSheetName(leftWholeCharacters(sanitizeSheetName(name), 31 - suffix.size()) + suffix);
        if (indexOfName(candidate) < 0)
            return candidate;
    }
}

void WorkbookPrivate::setActive(int index)
{
    activeSheetIndex = qBound(0, index, qMax(sheets.size() - 1, 0));
}

AbstractSheet *Workbook::insertSheet(int index, const QString &name, AbstractSheet::SheetType type)
{
    Q_D(Workbook);
    if (type != AbstractSheet::WorkSheet && type != AbstractSheet::ChartSheet) {
        qWarning("unsupported sheet type.");
        return nullptr;
    }
    const bool chartsheet = type == AbstractSheet::ChartSheet;
    QString sheetName = sanitizeSheetName(name);
    if (!sheetName.isEmpty()) {
        if (d->indexOfName(sheetName) >= 0)
            return nullptr;
    } else {
        int &lastNumber = chartsheet ? d->lastChartsheetNumber : d->lastWorksheetNumber;
        do {
            sheetName = (chartsheet ? QStringLiteral("Chart%1") : QStringLiteral("Sheet%1")).arg(++lastNumber);
        } while (d->indexOfName(sheetName) >= 0);
    }

    index = qBound(0, index, d->sheets.size());
    QSharedPointer<AbstractSheet> sheet;
    if (chartsheet)
        sheet.reset(new Chartsheet(sheetName, ++d->lastSheetId, this, NewFromScratch));
    else
        sheet.reset(new Worksheet(sheetName, ++d->lastSheetId, this, NewFromScratch));
    d->sheets.insert(index, sheet);
    d->sheetNames.insert(index, sheetName);
    d->activeSheetIndex = index;
    return sheet.data();
}

AbstractSheet *Workbook::appendLoadedSheet(const QString &name, int sheetId, AbstractSheet::SheetState state,
                                           AbstractSheet::SheetType type, const QString &relationshipId)
{
    Q_D(Workbook);
    QSharedPointer<AbstractSheet> sheet;
    if (type == AbstractSheet::WorkSheet) {
        sheet.reset(new Worksheet(name, sheetId, this, LoadExisting));
    } else if (type == AbstractSheet::ChartSheet) {
        sheet.reset(new Chartsheet(name, sheetId, this, LoadExisting));
        sheet->d_func()->keptRelationshipId = relationshipId;
    } else {
        sheet.reset(new KeptSheet(name, sheetId, this, type, relationshipId));
    }
    sheet->d_func()->state = state;
    d->sheets.append(sheet);
    d->sheetNames.append(name);
    d->lastSheetId = qMax(d->lastSheetId, sheetId);
    return sheet.data();
}

bool Workbook::calculate()
{
    clearReadError();
    CalcEngine engine(this);
    if (engine.run())
        return true;
    return readFailed(engine.errorString());
}

bool Workbook::renameSheet(int index, const QString &name)
{
    Q_D(Workbook);
    const QString sheetName = sanitizeSheetName(name);
    if (index < 0 || index >= d->sheets.size() || sheetName.isEmpty() || d->indexOfName(sheetName, index) >= 0
        || d->holdsStreamedFormulas())
        return false;
    // Every reference that names the sheet names it anew.
    d->followChange(ReferenceChange::rename(d->sheetNames.at(index), sheetName));
    d->sheets.at(index)->setSheetName(sheetName);
    d->sheetNames[index] = sheetName;
    return true;
}

// The active sheet stays the same sheet; when it is the one deleted, its
// neighbour (preferably a visible one) becomes active.
bool Workbook::deleteSheet(int index)
{
    Q_D(Workbook);
    if (d->sheets.size() <= 1 || index < 0 || index >= d->sheets.size())
        return false;
    if (d->sheets.at(index)->isVisible() && d->visibleSheetCount() == 1)
        return false;   // the workbook would show no sheet
    if (d->holdsStreamedFormulas(d->sheets.at(index).data()))
        return false;   // formulas written out could not become #REF!
    const int active = d->activeSheetIndex;
    AbstractSheet *deleted = d->sheets.at(index).data();
    if (deleted->sheetType() == AbstractSheet::WorkSheet)
        static_cast<Worksheet *>(deleted)->d_func()->releaseTexts();
    if (!deleted->d_func()->keptRelationshipId.isEmpty()) {
        // A kept sheet's part goes with the relationship that names it.
        const QString id = deleted->d_func()->keptRelationshipId;
        QList<Relationship> kept = relationships()->keptRelationships();
        kept.erase(std::remove_if(kept.begin(), kept.end(), [&](const Relationship &r) { return r.id == id; }), kept.end());
        relationships()->setKeptRelationships(kept);
    }
    // Names of the sheet's own go with it.
    const int sheetId = deleted->sheetId();
    d->definedNames.erase(std::remove_if(d->definedNames.begin(), d->definedNames.end(),
                                         [sheetId](const DefinedNameRecord &name) { return name.scopeSheetId == sheetId; }),
                          d->definedNames.end());
    // References to it become #REF!.
    d->followChange(ReferenceChange::removal(deleted->sheetName(), d->sheetNames));
    d->sheets.removeAt(index);
    d->sheetNames.removeAt(index);
    if (index < active)
        d->setActive(active - 1);
    else if (index == active)
        d->setActive(d->nearestVisibleSheet(qMin(index, d->sheets.size() - 1)));
    return true;
}

bool Workbook::moveSheet(int fromIndex, int toIndex)
{
    Q_D(Workbook);
    if (fromIndex < 0 || fromIndex == toIndex || fromIndex >= d->sheets.size())
        return false;
    toIndex = qBound(0, toIndex, d->sheets.size() - 1);
    if (fromIndex == toIndex)
        return false;
    const AbstractSheet *active = d->sheets.value(d->activeSheetIndex).data();
    d->sheets.move(fromIndex, toIndex);
    d->sheetNames.move(fromIndex, toIndex);
    for (int i = 0; i < d->sheets.size(); ++i) {
        if (d->sheets.at(i).data() == active)
            d->setActive(i);
    }
    return true;
}

bool Workbook::copySheet(int index, const QString &newName)
{
    Q_D(Workbook);
    if (index < 0 || index >= d->sheets.size())
        return false;
    QString name = sanitizeSheetName(newName);
    if (name.isEmpty())
        name = d->copyName(d->sheetNames.at(index));
    else if (d->indexOfName(name) >= 0)
        return false;
    QSharedPointer<AbstractSheet> copy(d->sheets.at(index)->copy(name, d->lastSheetId + 1));
    if (!copy)
        return false;   // a sheet kept as loaded is not copied
    ++d->lastSheetId;
    d->sheets.append(copy);
    d->sheetNames.append(name);
    return true;
}

AbstractSheet *Workbook::activeSheet()
{
    Q_D(Workbook);
    if (d->sheets.isEmpty())
        addSheet();
    return d->sheets.value(d->activeSheetIndex).data();
}

bool Workbook::setActiveSheet(int index)
{
    Q_D(Workbook);
    if (index < 0 || index >= d->sheets.size())
        return false;
    d->activeSheetIndex = index;
    return true;
}

int WorkbookPrivate::visibleSheetCount() const
{
    return int(std::count_if(sheets.begin(), sheets.end(),
                             [](const QSharedPointer<AbstractSheet> &sheet) { return sheet->isVisible(); }));
}

// The visible sheet closest to index, looking right first; index itself when
// no sheet is visible.
int WorkbookPrivate::nearestVisibleSheet(int index) const
{
    for (int distance = 0; distance < sheets.size(); ++distance) {
        for (const int candidate : { index + distance, index - distance }) {
            if (candidate >= 0 && candidate < sheets.size() && sheets.at(candidate)->isVisible())
                return candidate;
        }
    }
    return index;
}

int Workbook::activeSheetIndex() const
{
    Q_D(const Workbook);
    return d->activeSheetIndex;
}

bool Workbook::defineName(const QString &name, const QString &formula, const QString &comment, int scopeSheetId)
{
    return defineName(DefinedName{ name, formula, comment, scopeSheetId, false });
}

bool Workbook::defineName(const DefinedName &name)
{
    Q_D(Workbook);
    if (name.name.isEmpty() || name.formula.isEmpty() || d->isNameTaken(name.name, false))
        return false;
    const QString text = name.formula.startsWith(QLatin1Char('=')) ? name.formula.mid(1) : name.formula;
    // Two names of one scope that differ only in letter case are one name.
    removeName(name.name, name.scopeSheetId);
    KeptAttributes attributes;
    if (name.hidden)
        attributes.append({ QStringLiteral("hidden"), QStringLiteral("1") });
    d->definedNames.append({ name.name, text, name.comment, name.scopeSheetId, attributes });
    return true;
}

QList<DefinedName> Workbook::definedNames() const
{
    Q_D(const Workbook);
    QList<DefinedName> names;
    for (const DefinedNameRecord &record : d->definedNames) {
        bool hidden = false;
        for (const KeptAttribute &attribute : record.attributes)
            hidden |= attribute.name == QLatin1String("hidden") && readXmlBool(attribute.value, false);
        names.append({ record.name, record.formula, record.comment, record.scopeSheetId, hidden });
    }
    return names;
}

bool Workbook::removeName(const QString &name, int scopeSheetId)
{
    Q_D(Workbook);
    const QString folded = name.toCaseFolded();
    const int before = d->definedNames.size();
    d->definedNames.erase(std::remove_if(d->definedNames.begin(), d->definedNames.end(),
                                         [&](const DefinedNameRecord &record) {
                                             return record.scopeSheetId == scopeSheetId && record.name.toCaseFolded() == folded;
                                         }),
                          d->definedNames.end());
    return d->definedNames.size() != before;
}

bool Workbook::protectStructure(const QString &password)
{
    Q_D(Workbook);
    if (password.size() > PasswordHash::maxPasswordLength)
        return false;
    WorkbookPrivate::Protection made = d->protection.value_or(WorkbookPrivate::Protection());
    made.lockStructure = true;
    made.password = PasswordHash::of(password);
    d->protection = made;
    return true;
}

void Workbook::unprotectStructure()
{
    Q_D(Workbook);
    if (!d->protection)
        return;
    d->protection->lockStructure = false;
    d->protection->password = PasswordHash();
    // Windows locked by a loaded protection stay locked.
    if (d->protection->keptAttributes.isEmpty())
        d->protection.reset();
}

bool Workbook::isStructureProtected() const
{
    Q_D(const Workbook);
    return d->protection && d->protection->lockStructure;
}

bool Workbook::isStructurePassword(const QString &password) const
{
    Q_D(const Workbook);
    return isStructureProtected() && d->protection->password.matches(password);
}

#define WORKBOOK_SWITCH(getter, setter, member, Type)                                                        \
    Type Workbook::getter() const { Q_D(const Workbook); return d->member; }                                 \
    void Workbook::setter(Type value) { Q_D(Workbook); d->member = value; }

WORKBOOK_SWITCH(isDate1904, setDate1904, date1904, bool)
WORKBOOK_SWITCH(isStringsToNumbersEnabled, setStringsToNumbersEnabled, stringsToNumbers, bool)
WORKBOOK_SWITCH(isStringsToHyperlinksEnabled, setStringsToHyperlinksEnabled, stringsToHyperlinks, bool)
WORKBOOK_SWITCH(isHtmlToRichStringEnabled, setHtmlToRichStringEnabled, htmlToRichString, bool)

#undef WORKBOOK_SWITCH

QString Workbook::defaultDateFormat() const
{
    Q_D(const Workbook);
    return d->defaultDateFormat;
}

void Workbook::setDefaultDateFormat(const QString &format)
{
    Q_D(Workbook);
    d->defaultDateFormat = format;
}

SharedStrings *Workbook::sharedStrings() const
{
    Q_D(const Workbook);
    return d->sharedStrings.data();
}

Styles *Workbook::styles() const
{
    Q_D(const Workbook);
    return d->styles.data();
}

Theme *Workbook::theme() const
{
    Q_D(const Workbook);
    return d->theme.data();
}

// --- workbook.xml

namespace {

// The order of the workbook's elements in the file format.
enum WorkbookOrder {
    FileVersionOrder, FileSharingOrder, WorkbookPrOrder, WorkbookProtectionOrder, BookViewsOrder, SheetsOrder,
    FunctionGroupsOrder, ExternalReferencesOrder, DefinedNamesOrder, CalcPrOrder, OleSizeOrder,
    CustomWorkbookViewsOrder, PivotCachesOrder, SmartTagPrOrder, SmartTagTypesOrder, WebPublishingOrder,
    FileRecoveryPrOrder, WebPublishObjectsOrder, ExtLstOrder
};

const char *const workbookElements[] = {
    "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets", "functionGroups",
    "externalReferences", "definedNames", "calcPr", "oleSize", "customWorkbookViews", "pivotCaches",
    "smartTagPr", "smartTagTypes", "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst",
};

int workbookOrderOf(const XmlScanner &scanner)
{
    if (scanner.namespaceId() != XmlScanner::Main)
        return -1;
    for (int order = 0; order <= ExtLstOrder; ++order) {
        if (scanner.localName() == QLatin1String(workbookElements[order]))
            return order;
    }
    return -1;
}

} // namespace

void Workbook::writeXml(QIODevice *device) const
{
    Q_D(const Workbook);
    relationships()->clear();
    relationships()->setSourcePart(QStringLiteral("xl/workbook.xml"));
    if (d->sheets.isEmpty())
        const_cast<Workbook *>(this)->addSheet();

    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("workbook"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeAttribute(QStringLiteral("xmlns:r"), Namespace::documentRelationships);
    KeptXml::writeAttributes(writer, d->rootAttributes);

    KeptElements::Writer kept(d->kept, writer);
    kept.before(FileVersionOrder);
    d->writeFileVersion(writer);
    kept.before(WorkbookPrOrder);
    d->writeWorkbookProperties(writer);
    kept.before(WorkbookProtectionOrder);
    d->writeProtection(writer);
    kept.before(BookViewsOrder);
    d->writeBookViews(writer);
    kept.before(SheetsOrder);
    d->writeSheets(writer);
    kept.before(DefinedNamesOrder);
    d->writeDefinedNames(writer);
    kept.before(CalcPrOrder);
    d->writeCalculation(writer);
    kept.rest();
    writer.writeEndElement();
    writer.writeEndDocument();

    relationships()->addDocumentRelationship(QStringLiteral("/theme"), QStringLiteral("theme/theme1.xml"));
    relationships()->addDocumentRelationship(QStringLiteral("/styles"), QStringLiteral("styles.xml"));
    if (!d->sharedStrings->isEmpty())
        relationships()->addDocumentRelationship(QStringLiteral("/sharedStrings"), QStringLiteral("sharedStrings.xml"));
}

void WorkbookPrivate::writeFileVersion(QXmlStreamWriter &writer) const
{
    if (loaded) {
        KeptXml::writeRaw(writer, keptFileVersion);
        return;
    }
    writer.writeEmptyElement(QStringLiteral("fileVersion"));
    writer.writeAttribute(QStringLiteral("appName"), QStringLiteral("xl"));
    writer.writeAttribute(QStringLiteral("lastEdited"), QStringLiteral("4"));
    writer.writeAttribute(QStringLiteral("lowestEdited"), QStringLiteral("4"));
    writer.writeAttribute(QStringLiteral("rupBuild"), QStringLiteral("4505"));
}

void WorkbookPrivate::writeWorkbookProperties(QXmlStreamWriter &writer) const
{
    writer.writeEmptyElement(QStringLiteral("workbookPr"));
    if (date1904)
        writer.writeAttribute(QStringLiteral("date1904"), QStringLiteral("1"));
    if (loaded)
        KeptXml::writeAttributes(writer, keptWorkbookProperties);
    else
        writer.writeAttribute(QStringLiteral("defaultThemeVersion"), QStringLiteral("124226"));
}

void WorkbookPrivate::writeProtection(QXmlStreamWriter &writer) const
{
    if (!protection)
        return;
    writer.writeEmptyElement(QStringLiteral("workbookProtection"));
    protection->password.write(writer, QStringLiteral("workbook"));
    if (protection->lockStructure)
        writer.writeAttribute(QStringLiteral("lockStructure"), QStringLiteral("1"));
    KeptXml::writeAttributes(writer, protection->keptAttributes);
}

void WorkbookPrivate::writeBookViews(QXmlStreamWriter &writer) const
{
    writer.writeStartElement(QStringLiteral("bookViews"));
    writer.writeEmptyElement(QStringLiteral("workbookView"));
    writer.writeAttribute(QStringLiteral("xWindow"), QString::number(windowX));
    writer.writeAttribute(QStringLiteral("yWindow"), QString::number(windowY));
    writer.writeAttribute(QStringLiteral("windowWidth"), QString::number(windowWidth));
    writer.writeAttribute(QStringLiteral("windowHeight"), QString::number(windowHeight));
    if (firstSheet > 0)
        writer.writeAttribute(QStringLiteral("firstSheet"), QString::number(firstSheet + 1));
    // Spreadsheet programs cannot open a workbook on a hidden tab.
    const int activeTab = nearestVisibleSheet(activeSheetIndex);
    if (activeTab > 0)
        writer.writeAttribute(QStringLiteral("activeTab"), QString::number(activeTab));
    KeptXml::writeAttributes(writer, keptViewAttributes);
    KeptXml::writeRaw(writer, keptViews);
    writer.writeEndElement();
}

void WorkbookPrivate::writeSheets(QXmlStreamWriter &writer) const
{
    Relationships *links = q_func()->relationships();
    writer.writeStartElement(QStringLiteral("sheets"));
    int worksheets = 0;
    for (const QSharedPointer<AbstractSheet> &sheet : sheets) {
        writer.writeEmptyElement(QStringLiteral("sheet"));
        writer.writeAttribute(QStringLiteral("name"), validXmlText(sheet->sheetName()));
        writer.writeAttribute(QStringLiteral("sheetId"), QString::number(sheet->sheetId()));
        if (sheet->sheetState() == AbstractSheet::Hidden)
            writer.writeAttribute(QStringLiteral("state"), QStringLiteral("hidden"));
        else if (sheet->sheetState() == AbstractSheet::VeryHidden)
            writer.writeAttribute(QStringLiteral("state"), QStringLiteral("veryHidden"));
        QString id;
        if (sheet->sheetType() == AbstractSheet::WorkSheet) {
            // The document names each worksheet's part before the workbook is written.
            ++worksheets;
            const QString part = sheet->partPath();
            id = links->addDocumentRelationship(QStringLiteral("/worksheet"),
                                                part.isEmpty() ? QStringLiteral("worksheets/sheet%1.xml").arg(worksheets)
                                                               : PartNames::relative(QStringLiteral("xl/workbook.xml"), part));
        } else if (!sheet->d_func()->keptRelationshipId.isEmpty()) {
            // A sheet kept as it was loaded keeps its relationship too.
            id = sheet->d_func()->keptRelationshipId;
        } else {
            // The document has given a new chart sheet its part.
            id = links->addDocumentRelationship(QStringLiteral("/chartsheet"),
                                                PartNames::relative(QStringLiteral("xl/workbook.xml"), sheet->partPath()));
        }
        writer.writeAttribute(QStringLiteral("r:id"), id);
    }
    writer.writeEndElement();
}

void WorkbookPrivate::writeDefinedNames(QXmlStreamWriter &writer) const
{
    if (definedNames.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("definedNames"));
    for (const DefinedNameRecord &definedName : definedNames) {
        writer.writeStartElement(QStringLiteral("definedName"));
        writer.writeAttribute(QStringLiteral("name"), validXmlText(definedName.name));
        if (!definedName.comment.isEmpty())
            writer.writeAttribute(QStringLiteral("comment"), validXmlText(definedName.comment));
        for (int i = 0; i < sheets.size(); ++i) {
            if (sheets.at(i)->sheetId() == definedName.scopeSheetId) {
                writer.writeAttribute(QStringLiteral("localSheetId"), QString::number(i));
                break;
            }
        }
        KeptXml::writeAttributes(writer, definedName.attributes);
        writer.writeCharacters(validXmlText(definedName.formula));
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

void WorkbookPrivate::writeCalculation(QXmlStreamWriter &writer) const
{
    if (loaded) {
        KeptXml::writeRaw(writer, keptCalculation);
        return;
    }
    writer.writeEmptyElement(QStringLiteral("calcPr"));
    writer.writeAttribute(QStringLiteral("calcId"), QStringLiteral("124519"));
}

// --- reading workbook.xml

// The sheets are only listed here (listedSheets); the document reads them
// from their own parts afterwards.
bool Workbook::readXml(QIODevice *device)
{
    Q_D(Workbook);
    clearReadError();
    XmlScanner scanner(device, d->maxXmlDepth);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return readFailed(scanner.hasError() ? scanner.errorString() : QStringLiteral("it holds no workbook"));
    }
    if (!scanner.is(XmlScanner::Main, "workbook"))
        return readFailed(QStringLiteral("it holds no workbook"));
    d->loaded = true;
    // A save writes the transitional form, whatever the file said it was.
    d->rootAttributes = KeptXml::attributes(scanner, { "xmlns", "xmlns:r", "conformance" });
    if (!d->readWorkbook(scanner))
        return false;
    return scanner.hasError() ? readFailed(scanner.errorString()) : true;
}

bool WorkbookPrivate::readWorkbook(XmlScanner &scanner)
{
    Q_Q(Workbook);
    int lastOrder = -1;
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= 1) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const int order = workbookOrderOf(scanner);
        if (order >= 0)
            lastOrder = order;
        switch (order) {
        case FileVersionOrder:
            keptFileVersion = scanner.captureElement();
            break;
        case WorkbookPrOrder: {
            const QByteArray value = scanner.value("date1904");
            date1904 = value == "1" || value == "true";
            keptWorkbookProperties = KeptXml::attributes(scanner, { "date1904" });
            scanner.skipElement();
            break;
        }
        case WorkbookProtectionOrder:
            readProtection(scanner);
            break;
        case BookViewsOrder:
            readBookViews(scanner);
            break;
        case SheetsOrder:
            if (!readSheets(scanner))
                return false;
            break;
        case DefinedNamesOrder:
            if (!readDefinedNames(scanner))
                return false;
            break;
        case CalcPrOrder:
            keptCalculation = scanner.captureElement();
            break;
        default: {
            bool usesRelationships = false;
            const QByteArray bytes = scanner.captureElement(&usesRelationships);
            kept.add(order >= 0 ? KeptElements::slotOf(order) : KeptElements::slotAfter(lastOrder), bytes,
                     usesRelationships);
            break;
        }
        }
    }
    if (scanner.hasError())
        return q->readFailed(scanner.errorString());
    return true;
}

void WorkbookPrivate::readProtection(XmlScanner &scanner)
{
    Protection loaded;
    loaded.lockStructure = CellParsing::isTrue(scanner.value("lockStructure"));
    loaded.password = PasswordHash::read(scanner, "workbook");
    loaded.keptAttributes = KeptXml::attributes(
        scanner, { "lockStructure", "workbookAlgorithmName", "workbookHashValue", "workbookSaltValue",
                   "workbookSpinCount", "workbookPassword" });
    protection = loaded;
    scanner.skipElement();
}

void WorkbookPrivate::readBookViews(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    bool first = true;
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (!first || !scanner.is(XmlScanner::Main, "workbookView")) {
            keptViews += scanner.captureElement();
            continue;
        }
        first = false;
        auto number = [&](const char *name, int fallback) {
            bool ok = false;
            const int value = scanner.value(name).toInt(&ok);
            return ok ? value : fallback;
        };
        windowX = number("xWindow", windowX);
        windowY = number("yWindow", windowY);
        windowWidth = number("windowWidth", windowWidth);
        windowHeight = number("windowHeight", windowHeight);
        firstSheet = qMax(number("firstSheet", 0) - 1, 0);
        activeSheetIndex = qMax(number("activeTab", 0), 0);
        keptViewAttributes = KeptXml::attributes(
            scanner, { "xWindow", "yWindow", "windowWidth", "windowHeight", "firstSheet", "activeTab" });
        scanner.skipElement();
    }
}

bool WorkbookPrivate::readSheets(XmlScanner &scanner)
{
    Q_Q(Workbook);
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "sheet"))
            continue;
        ListedSheet sheet;
        sheet.name = QString::fromUtf8(scanner.value("name"));
        bool ok = false;
        sheet.sheetId = scanner.value("sheetId").toInt(&ok);
        const QByteArray state = scanner.value("state");
        sheet.state = state == "hidden"       ? AbstractSheet::Hidden
                      : state == "veryHidden" ? AbstractSheet::VeryHidden
                                              : AbstractSheet::Visible;
        sheet.relationshipId = QString::fromUtf8(scanner.value("id", XmlScanner::DocumentRelationships));
        if (sheet.name.isEmpty() || !ok || sheet.sheetId <= 0 || sheet.relationshipId.isEmpty())
            return q->readFailed(QStringLiteral("the sheet \"%1\" lacks its name, id or relationship").arg(sheet.name.left(40)));
        listedSheets.append(sheet);
    }
    return true;
}

bool WorkbookPrivate::readDefinedNames(XmlScanner &scanner)
{
    Q_Q(Workbook);
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "definedName"))
            continue;
        DefinedNameRecord name;
        name.name = QString::fromUtf8(scanner.value("name"));
        name.comment = QString::fromUtf8(scanner.value("comment"));
        const QByteArray local = scanner.value("localSheetId");
        if (!local.isNull()) {
            const int position = local.toInt();
            if (position < 0 || position >= listedSheets.size()) {
                return q->readFailed(QStringLiteral("the name %1 belongs to sheet %2, which does not exist")
                                         .arg(name.name.left(40)).arg(position));
            }
            name.scopeSheetId = listedSheets.at(position).sheetId;
        }
        name.attributes = KeptXml::attributes(scanner, { "name", "comment", "localSheetId" });
        name.formula = QString::fromUtf8(scanner.readElementText());
        definedNames.append(name);
    }
    return true;
}

} // namespace Spreadsheet
