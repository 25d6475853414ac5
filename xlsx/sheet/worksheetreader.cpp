// Reading a worksheet part of a loaded package into the model: the
// counterpart of the sheet writer in worksheet.cpp and sheetdatawriter.cpp,
// element by element. What the model does not know is kept in its place.
#include "worksheet.h"
#include "worksheet_p.h"

#include "cellparsing_p.h"
#include "formatreader_p.h"
#include "formularewriter_p.h"
#include "namespaces.h"
#include "relationships.h"
#include "sheetdatareader_p.h"
#include "sheetorder_p.h"
#include "sheetprotection_p.h"
#include "richstring.h"
#include "sharedstrings.h"
#include "styles.h"
#include "utility.h"
#include "workbook.h"
#include "xmlscanner_p.h"

#include <optional>


namespace Spreadsheet {

using namespace CellParsing;

namespace {

const char *const sheetElements[] = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr", "sheetProtection",
    "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate", "customSheetViews", "mergeCells",
    "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions", "pageMargins",
    "pageSetup", "headerFooter", "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors",
    "smartTags", "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst",
};

int sheetOrderOf(const XmlScanner &scanner)
{
    if (scanner.namespaceId() != XmlScanner::Main)
        return -1;
    for (int order = 0; order <= ExtLstOrder; ++order) {
        if (scanner.localName() == QLatin1String(sheetElements[order]))
            return order;
    }
    return -1;
}

} // namespace

bool WorksheetPrivate::fail(const QString &reason)
{
    if (readError.isEmpty())
        readError = reason;
    return false;
}

bool Worksheet::readXml(QIODevice *device)
{
    Q_D(Worksheet);
    if (d->streamed)
        return false;   // its rows written out cannot take cells again
    clearReadError();
    d->readError.clear();
    XmlScanner scanner(device, d->maxXmlDepth);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return readFailed(scanner.hasError() ? scanner.errorString() : QStringLiteral("it holds no worksheet"));
    }
    if (!scanner.is(XmlScanner::Main, "worksheet"))
        return readFailed(QStringLiteral("it holds no worksheet"));
    d->rootAttributes = KeptXml::attributes(scanner, { "xmlns", "xmlns:r" });
    d->rootNamespaces = KeptXml::rawAttributes(scanner);
    const bool read = d->readWorksheet(scanner);
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    if (!read)
        return readFailed(d->readError);

    // The links are made anew from the model; every other relationship of
    // the sheet stays as it was.
    const QString hyperlink = Namespace::documentRelationships + QStringLiteral("/hyperlink");
    QList<Relationship> kept;
    for (const Relationship &relationship : relationships()->keptRelationships()) {
        if (relationship.type != hyperlink)
            kept.append(relationship);
    }
    relationships()->setKeptRelationships(kept);
    return true;
}

void WorksheetPrivate::keepLoadedNotes(const QString &commentsId, const QString &drawingId, bool otherShapes)
{
    notesLoaded = true;
    notesLocked = otherShapes;
    loadedCommentsId = commentsId;
    loadedNotesDrawingId = drawingId;
}

bool WorksheetPrivate::changeNotes()
{
    if (notesLocked)
        return false;
    if (notesLoaded && !notesChanged) {
        kept.removeSlot(KeptElements::slotOf(LegacyDrawingOrder));
        QList<Relationship> relationships = q_func()->relationships()->keptRelationships();
        relationships.erase(std::remove_if(relationships.begin(), relationships.end(), [this](const Relationship &one) {
                                return one.id == loadedCommentsId || one.id == loadedNotesDrawingId;
                            }),
                            relationships.end());
        q_func()->relationships()->setKeptRelationships(relationships);
    }
    notesChanged = true;
    return true;
}

void WorksheetPrivate::keepLoadedDrawing()
{
    kept.add(KeptElements::slotOf(DrawingOrder), loadedDrawing, true);
    keptDrawingElement = true;
}

// A prefix that the model's own elements declare (rows and cells that came
// under it keep attributes in it) is declared on the sheet's root instead,
// where the saved sheet declares what its kept parts use.
void WorksheetPrivate::hoistNamespaces(const XmlScanner &scanner, QSet<QString> &rootNames)
{
    for (int i = 0; i < scanner.attributeCount(); ++i) {
        const XmlScanner::Attribute &attribute = scanner.attribute(i);
        const QString name(attribute.qualifiedName);
        if (!name.startsWith(QLatin1String("xmlns:")) || rootNames.contains(name))
            continue;
        rootNames.insert(name);
        rootAttributes.append({ name, QString::fromUtf8(XmlScanner::decoded(attribute)) });
    }
}

bool WorksheetPrivate::readWorksheet(XmlScanner &scanner)
{
    QSet<QString> rootNames{ QStringLiteral("xmlns:r") };
    for (const KeptAttribute &attribute : qAsConst(rootAttributes))
        rootNames.insert(attribute.name);
    SheetDataReader cellReader(*this);
    int lastOrder = -1;
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= 1) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const int order = sheetOrderOf(scanner);
        if (order >= 0)
            lastOrder = order;
        bool read = true;
        switch (order) {
        case SheetPrOrder:
            hoistNamespaces(scanner, rootNames);
            readSheetProperties(scanner);
            break;
        case DimensionOrder:
            scanner.skipElement();   // made anew from the cells
            break;
        case SheetViewsOrder:
            hoistNamespaces(scanner, rootNames);
            read = readSheetViews(scanner);
            break;
        case SheetFormatPrOrder:
            readSheetFormat(scanner);
            break;
        case ColsOrder:
            hoistNamespaces(scanner, rootNames);
            read = readColumns(scanner);
            break;
        case SheetDataOrder:
            hoistNamespaces(scanner, rootNames);
            read = cellReader.read(scanner);
            break;
        case SheetProtectionOrder:
            protection = SheetProtectionData::read(scanner);
            scanner.skipElement();
            break;
        case TablePartsOrder:
            readTableParts(scanner);
            break;
        case PrintOptionsOrder:
            page.readPrintOptions(scanner);
            break;
        case PageMarginsOrder:
            page.readMargins(scanner);
            break;
        case PageSetupOrder:
            page.readPageSetup(scanner);
            break;
        case HeaderFooterOrder:
            page.readHeaderFooter(scanner);
            break;
        case RowBreaksOrder:
            page.readBreaks(scanner, page.setup.rowBreaks, maxRows);
            break;
        case ColBreaksOrder:
            page.readBreaks(scanner, page.setup.columnBreaks, maxColumns);
            break;
        case MergeCellsOrder:
            hoistNamespaces(scanner, rootNames);
            read = readMergedCells(scanner);
            break;
        case HyperlinksOrder:
            hoistNamespaces(scanner, rootNames);
            read = readHyperlinks(scanner);
            break;
        case AutoFilterOrder: {
            const CellArea range(QString::fromLatin1(scanner.value("ref")));
            if (SheetRules::areSound({ range }))
                autoFilterRange = range;
            keptAutoFilter = scanner.captureElement();
            break;
        }
        case ConditionalFormattingOrder:
            conditionalFormats.append(SheetRules::readConditionalFormatting(scanner.captureElement(), rootNamespaces, *styles()));
            break;
        case DataValidationsOrder:
            validations += SheetRules::readDataValidations(scanner.captureElement(), rootNamespaces, validationAttributes);
            break;
        case DrawingOrder:
            if (loadedDrawing.isEmpty()) {
                // The loader reads the drawing it names, or keeps the element.
                loadedDrawingId = QString::fromUtf8(scanner.value("id", XmlScanner::DocumentRelationships));
                loadedDrawing = scanner.captureElement();
                break;
            }
            Q_FALLTHROUGH();
        default: {
            bool usesRelationships = false;
            const QByteArray bytes = scanner.captureElement(&usesRelationships);
            kept.add(order >= 0 ? KeptElements::slotOf(order) : KeptElements::slotAfter(lastOrder), bytes,
                     usesRelationships);
            break;
        }
        }
        if (!read)
            return false;
    }
    if (scanner.hasError())
        return false;
    cellReader.finish();
    return true;
}

// --- the view and the defaults

void WorksheetPrivate::readSheetProperties(XmlScanner &scanner)
{
    sheetPrLoaded = true;
    sheetPrAttributes = KeptXml::attributes(scanner);
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        const bool plainColour = scanner.is(XmlScanner::Main, "tabColor") && !scanner.value("rgb").isEmpty()
            && scanner.value("theme").isEmpty() && scanner.value("indexed").isEmpty() && scanner.value("tint").isEmpty();
        if (plainColour) {
            tabColor = XlsxColor::fromArgbText(QString::fromLatin1(scanner.value("rgb")));
            scanner.skipElement();
        } else if (scanner.is(XmlScanner::Main, "tabColor")) {
            keptTabColor = scanner.captureElement();
        } else if (scanner.is(XmlScanner::Main, "pageSetUpPr")) {
            page.readPageSetUpPr(scanner);
        } else {
            keptSheetPrChildren += scanner.captureElement();
        }
    }
}

bool WorksheetPrivate::readSheetViews(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    bool first = true;
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (!first || !scanner.is(XmlScanner::Main, "sheetView")) {
            keptViews += scanner.captureElement();
            continue;
        }
        first = false;
        const struct
        {
            const char *name;
            bool *flag;
        } flags[] = {
            { "windowProtection", &windowProtection }, { "showFormulas", &showFormulas },
            { "showGridLines", &showGridLines }, { "showRowColHeaders", &showRowColHeaders },
            { "showZeros", &showZeros }, { "rightToLeft", &rightToLeft }, { "tabSelected", &tabSelected },
            { "showRuler", &showRuler }, { "showOutlineSymbols", &showOutlineSymbols },
            { "showWhiteSpace", &showWhiteSpace },
        };
        for (const auto &flag : flags) {
            const QByteArray value = scanner.value(flag.name);
            if (!value.isNull())
                *flag.flag = isTrue(value);
        }
        keptViewAttributes = KeptXml::attributes(
            scanner, { "windowProtection", "showFormulas", "showGridLines", "showRowColHeaders", "showZeros",
                       "rightToLeft", "tabSelected", "showRuler", "showOutlineSymbols", "showWhiteSpace",
                       "workbookViewId" });
        const int viewDepth = scanner.depth();
        while (!scanner.isEmptyElement() && scanner.next() != XmlScanner::Invalid && scanner.depth() >= viewDepth) {
            if (scanner.token() != XmlScanner::StartElement)
                continue;
            if (scanner.is(XmlScanner::Main, "pane") && keptPane.isEmpty()) {
                readPane(scanner);
                keptPane = scanner.captureElement();
            } else {
                keptViewChildren += scanner.captureElement();
            }
        }
        if (scanner.isEmptyElement())
            scanner.next();
    }
    return !scanner.hasError();
}

void WorksheetPrivate::readPane(const XmlScanner &scanner)
{
    const QByteArray state = scanner.value("state");
    pane.state = state == "frozen" || state == "frozenSplit" ? SheetPane::Frozen : SheetPane::Split;
    pane.xSplit = qBound(0.0, scanner.value("xSplit").toDouble(), 1e9);
    pane.ySplit = qBound(0.0, scanner.value("ySplit").toDouble(), 1e9);
    const CellAddress topLeft(QString::fromLatin1(scanner.value("topLeftCell")));
    if (topLeft.isValid() && topLeft.row() <= maxRows && topLeft.column() <= maxColumns)
        pane.topLeftCell = topLeft;
    if (pane.state == SheetPane::Frozen) {
        pane.columns = int(qMin<double>(pane.xSplit, maxColumns));
        pane.rows = int(qMin<double>(pane.ySplit, maxRows));
    }
}

void WorksheetPrivate::readSheetFormat(XmlScanner &scanner)
{
    bool ok = false;
    const double height = scanner.value("defaultRowHeight").toDouble(&ok);
    if (ok && height >= 0 && height <= 409.5)
        defaultRowHeight = height;
    const QByteArray custom = scanner.value("customHeight");
    loadedCustomHeight = custom.isNull() ? 0 : int(isTrue(custom));
    zeroHeight = isTrue(scanner.value("zeroHeight"));
    outlineRowLevel = qBound(0, scanner.value("outlineLevelRow").toInt(), maxOutlineLevel);
    outlineColumnLevel = qBound(0, scanner.value("outlineLevelCol").toInt(), maxOutlineLevel);
    keptFormatAttributes = KeptXml::attributes(
        scanner, { "defaultRowHeight", "customHeight", "zeroHeight", "outlineLevelRow", "outlineLevelCol" });
    scanner.skipElement();
}

bool WorksheetPrivate::readColumns(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "col"))
            continue;
        int first = 0;
        int last = 0;
        const QByteArray min = scanner.value("min");
        const QByteArray max = scanner.value("max");
        if (!parseInt(QLatin1String(min), first) || !parseInt(QLatin1String(max), last) || first < 1 || first > last
            || last > maxColumns)
            return fail(QStringLiteral("the columns %1 to %2 lie outside the sheet").arg(QString::fromLatin1(min.left(20)),
                                                                                    QString::fromLatin1(max.left(20))));
        // The range that starts last before this one ends must end before it starts.
        auto before = columns.upperBound(last);
        if (before != columns.begin() && (--before).value()->lastColumn >= first)
            return fail(QStringLiteral("the columns %1 to %2 are set twice").arg(first).arg(last));
        auto range = QSharedPointer<ColumnSettings>::create();
        range->firstColumn = first;
        range->lastColumn = last;
        range->width = qMax(0.0, scanner.value("width").toDouble());
        range->customWidth = isTrue(scanner.value("customWidth"));
        range->hidden = isTrue(scanner.value("hidden"));
        range->outlineLevel = qBound(0, scanner.value("outlineLevel").toInt(), maxOutlineLevel);
        range->collapsed = isTrue(scanner.value("collapsed"));
        const QByteArray style = scanner.value("style");
        if (!style.isNull()) {
            const int xf = style.toInt();
            if (xf < 0 || xf >= styles()->cellFormatCount())
                return fail(QStringLiteral("the columns %1 to %2 have style %3, which does not exist").arg(first).arg(last).arg(xf));
            range->format = styles()->cellFormatAt(xf);
        }
        range->keptAttributes = KeptXml::attributes(
            scanner, { "min", "max", "width", "style", "hidden", "customWidth", "outlineLevel", "collapsed" });
        columns.insert(first, range);
        for (int column = first; column <= last; ++column)
            columnsByColumn.insert(column, range);
    }
    return !scanner.hasError();
}

// --- merged ranges and links

bool WorksheetPrivate::readMergedCells(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "mergeCell"))
            continue;
        const QByteArray ref = scanner.value("ref");
        const CellArea area(QString::fromLatin1(ref));
        if (!area.isValid() || area.firstRow() < 1 || area.firstColumn() < 1 || area.lastRow() > maxRows
            || area.lastColumn() > maxColumns)
            return fail(QStringLiteral("the merged range %1 lies outside the sheet").arg(QString::fromLatin1(ref.left(40))));
        mergedRanges.append(area);
        extendDimension(area.firstRow(), area.firstColumn());
        extendDimension(area.lastRow(), area.lastColumn());
    }
    return !scanner.hasError();
}

bool WorksheetPrivate::readHyperlinks(XmlScanner &scanner)
{
    Q_Q(Worksheet);
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "hyperlink"))
            continue;
        const QByteArray ref = scanner.value("ref");
        const CellArea area(QString::fromLatin1(ref));
        if (!area.isValid() || area.firstRow() < 1 || area.firstColumn() < 1 || area.lastRow() > maxRows
            || area.lastColumn() > maxColumns)
            return fail(QStringLiteral("the link at %1 lies outside the sheet").arg(QString::fromLatin1(ref.left(40))));
        auto link = QSharedPointer<Hyperlink>::create();
        const QString id = QString::fromUtf8(scanner.value("id", XmlScanner::DocumentRelationships));
        if (!id.isEmpty()) {
            const Relationship relationship = q->relationships()->relationshipById(id);
            if (relationship.id.isEmpty())
                return fail(QStringLiteral("the link at %1 names the relationship %2, which does not exist")
                                .arg(QString::fromLatin1(ref.left(40)), id.left(20)));
            link->kind = Hyperlink::External;
            link->target = relationship.target;
        } else {
            link->kind = Hyperlink::Internal;
        }
        link->location = QString::fromUtf8(scanner.value("location"));
        link->display = QString::fromUtf8(scanner.value("display"));
        link->tooltip = QString::fromUtf8(scanner.value("tooltip"));
        if (area.rowCount() > 1 || area.columnCount() > 1)
            link->range = area;
        hyperlinks[area.firstRow()].insert(area.firstColumn(), link);
    }
    return !scanner.hasError();
}

// The loader reads the tables these name into the model; those it cannot
// read stay parts kept with their relationships, and so their ids here.
void WorksheetPrivate::readTableParts(XmlScanner &scanner)
{
    QSet<QString> seen;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || !scanner.is(XmlScanner::Main, "tablePart"))
            continue;
        const QString id = QString::fromUtf8(scanner.value("id", XmlScanner::DocumentRelationships));
        if (!id.isEmpty() && !seen.contains(id)) {
            seen.insert(id);
            tablePartIds.append(id);
        }
    }
}

// --- what loaded cells keep

QByteArray WorksheetPrivate::keptRowAttributes(int row) const
{
    const auto it = std::lower_bound(rowAttributes.begin(), rowAttributes.end(), std::make_pair(row, 0));
    return it != rowAttributes.end() && it->first == row ? keptTexts.at(it->second) : QByteArray();
}

QString WorksheetPrivate::sharedFormulaText(int row, int column, const CellFormula &formula) const
{
    const quint64 master = sharedFormulaMasters.value(formula.sharedIndex(), 0);
    const auto found = formulas.constFind(master);
    if (!master || found == formulas.constEnd())
        return QString();
    const int masterRow = rowOfKey(master);
    const int masterColumn = columnOfKey(master);
    return FormulaRewriter::shift(found->text(), row - masterRow, column - masterColumn);
}

void WorksheetPrivate::dissolveSharedFormula(int sharedIndex)
{
    for (auto it = formulas.begin(); it != formulas.end(); ++it) {
        if (it->kind() != CellFormula::SharedFormula || it->sharedIndex() != sharedIndex || !it->text().isEmpty())
            continue;
        const QString text = sharedFormulaText(rowOfKey(it.key()), columnOfKey(it.key()), *it);
        CellFormula own(text);
        own.setAlwaysCalculate(it->alwaysCalculate());
        *it = own;
    }
    sharedFormulaMasters.remove(sharedIndex);
}

} // namespace Spreadsheet
