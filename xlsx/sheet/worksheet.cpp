#include "worksheet.h"
#include "worksheet_p.h"

#include "chart.h"
#include "chart_p.h"
#include "namespaces.h"
#include "partnames_p.h"
#include "relationships.h"
#include "sheetdatawriter_p.h"
#include "sheetorder_p.h"
#include "sheetprotection_p.h"
#include "streamedrows_p.h"
#include "sharedstrings.h"
#include "styles.h"
#include "utility.h"
#include "workbook.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QXmlStreamWriter>

#include <cmath>

namespace Spreadsheet {

namespace {

// The width of a column of the default font (Calibri 11), in characters.
constexpr double defaultColumnWidth = 8.43;

QString decimal(double value, int significantDigits)
{
    return QString::number(value, 'g', significantDigits);
}

// The runs of an HTML text, with the character formats Format can hold.
RichString richStringFromHtml(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    RichString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text.appendRun(QStringLiteral("\n"));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat charFormat = fragment.charFormat();
            Format format;
            format.setFont(charFormat.font());
            if (charFormat.foreground().style() != Qt::NoBrush)
                format.setFontColor(charFormat.foreground().color());
            text.appendRun(fragment.text(), format);
        }
    }
    return text;
}

// A date or time keeps a date or time format of its own; otherwise it gets
// the given default code.
Format dateFormat(const Format &existing, const Format &given, const QString &defaultCode)
{
    Format format = given.isValid() ? given : existing;
    if (!format.isValid() || !format.isDateTimeFormat())
        format.setNumberFormatCode(defaultCode);
    return format;
}

void writeBoolAttribute(QXmlStreamWriter &writer, const char *name, bool value, bool defaultValue)
{
    if (value != defaultValue)
        writer.writeAttribute(QLatin1String(name), value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

// --- private record

WorksheetPrivate::WorksheetPrivate(Worksheet *q, AbstractOOXmlFile::CreationMode mode, Workbook *workbook,
                                   const QString &name, int sheetId)
    : AbstractSheetPrivate(q, mode, workbook, name, sheetId, AbstractSheet::WorkSheet)
{
}

WorksheetPrivate::~WorksheetPrivate()
{
    if (streamed)
        streamed->sheet = nullptr;   // a SheetWriter still writing learns the sheet is gone
}

bool WorksheetPrivate::isInside(int row, int column)
{
    return row >= 1 && row <= maxRows && column >= 1 && column <= maxColumns;
}

bool WorksheetPrivate::isWritable(int row, int column) const
{
    return isInside(row, column) && !isStreamedRow(row);
}

void WorksheetPrivate::extendDimension(int row, int column)
{
    if (dimension.firstRow() == -1 || row < dimension.firstRow())
        dimension.setFirstRow(row);
    if (row > dimension.lastRow())
        dimension.setLastRow(row);
    if (dimension.firstColumn() == -1 || column < dimension.firstColumn())
        dimension.setFirstColumn(column);
    if (column > dimension.lastColumn())
        dimension.setLastColumn(column);
}

bool WorksheetPrivate::isLinkText(const QString &text)
{
    // A link is the whole text: a known scheme, no blank, and a URL that
    // parses strictly. "Sent to mailto:x on Monday" stays a text.
    static const QRegularExpression link(QStringLiteral("\\A(?:[fh]tt?ps?://|mailto:|file://)\\S+\\z"));
    return text.contains(QLatin1Char(':')) && link.match(text).hasMatch()
        && QUrl(text, QUrl::StrictMode).isValid();
}

quint32 WorksheetPrivate::formatCode(const Format &format)
{
    if (!format.isValid())
        return 0;
    return format.isEmpty() ? 1 : quint32(format.xfIndex()) + 2;
}

Format WorksheetPrivate::formatOf(quint32 code) const
{
    if (code == 0)
        return Format();
    if (code == 1) {
        Format stateWithoutProperties;
        stateWithoutProperties.setFontBold(false);
        return stateWithoutProperties;
    }
    return styles()->cellFormatAt(int(code - 2));
}

Format WorksheetPrivate::existingFormat(int row, int column) const
{
    const StoredCell *cell = cells.find(row, column);
    return cell ? formatOf(cell->format) : Format();
}

Format WorksheetPrivate::registeredFormat(int row, int column, const Format &given)
{
    Format format = given.isValid() ? given : existingFormat(row, column);
    styles()->addCellFormat(format);
    return format;
}

StoredCell WorksheetPrivate::newCell(int column, CellKind kind, const Format &format)
{
    StoredCell cell;
    cell.column = quint16(column);
    cell.kind = quint8(kind);
    cell.format = formatCode(format);
    return cell;
}

void WorksheetPrivate::put(int row, const StoredCell &cell, const CellFormula *formula)
{
    if (isStreamedRow(row))
        return;   // written out; the public writes refuse it before

    const int column = cell.column;
    const quint64 key = formulaKey(row, column);
    StoredCell replaced;
    if (cells.store(row, cell, &replaced)) {
        if (replaced.flags & StoredCell::HasFormula) {
            // The cells that shared this one's formula keep it as their own.
            const auto master = sharedFormulaMasters.constFind(formulas.value(key).sharedIndex());
            if (master != sharedFormulaMasters.constEnd() && master.value() == key)
                dissolveSharedFormula(master.key());
            if (!formula)
                formulas.remove(key);
            formulaAttributes.remove(key);
        }
        if (CellKind(replaced.kind) == CellKind::SharedString)
            sharedStrings()->releaseEntry(replaced.value.string);
        if (replaced.flags & StoredCell::HasKeptAttributes) {
            cellAttributes.remove(key);
            formulaAttributes.remove(key);
        }
        if (CellKind(replaced.kind) == CellKind::FormulaString)
            formulaResults.remove(key);
    }
    if (formula)
        formulas.insert(formulaKey(row, column), *formula);
    const auto links = hyperlinks.find(row);
    if (links != hyperlinks.end()) {
        links->remove(column);
        if (links->isEmpty())
            hyperlinks.erase(links);
    }
    extendDimension(row, column);
}

void WorksheetPrivate::store(int row, int column, CellKind kind, const Format &format, const QVariant &value,
                             const CellFormula *formula)
{
    StoredCell cell = newCell(column, kind, format);
    if (value.isValid()) {
        cell.flags |= StoredCell::HasValue;
        if (kind == CellKind::Boolean)
            cell.value.boolean = value.toBool();
        else
            cell.value.number = value.toDouble();
    }
    if (formula)
        cell.flags |= StoredCell::HasFormula;
    put(row, cell, formula);
}

void WorksheetPrivate::storeText(int row, int column, quint32 entry, const Format &format)
{
    StoredCell cell = newCell(column, CellKind::SharedString, format);
    cell.flags |= StoredCell::HasValue;
    cell.value.string = entry;
    put(row, cell, nullptr);
}

QSharedPointer<SheetCell> WorksheetPrivate::sheetCell(int row, const StoredCell &cell) const
{
    return QSharedPointer<SheetCell>::create(cellValue(row, cell));
}

SheetCell WorksheetPrivate::cellValue(int row, const StoredCell &cell) const
{
    Worksheet *sheet = const_cast<Worksheet *>(q_func());
    QVariant value;
    RichString richText;
    const auto kind = CellKind(cell.kind);
    const quint64 key = formulaKey(row, cell.column);
    if (kind == CellKind::SharedString) {
        value = sharedStrings()->plainTextOfEntry(cell.value.string);
        if (sharedStrings()->isRichEntry(cell.value.string))
            richText = sharedStrings()->entryAt(cell.value.string);
    } else if (kind == CellKind::Error) {
        value = errorTexts.value(int(cell.value.string));
    } else if (kind == CellKind::FormulaString) {
        value = formulaResults.value(key);
    } else if (cell.flags & StoredCell::IsoDate) {
        value = serialToDateTime(cell.value.number, workbook->isDate1904());
    } else if (cell.flags & StoredCell::HasValue) {
        value = kind == CellKind::Boolean ? QVariant(cell.value.boolean) : QVariant(cell.value.number);
    }
    SheetCell sheetCell(value, kind, formatOf(cell.format), sheet);
    if (cell.flags & StoredCell::HasFormula) {
        CellFormula formula = formulas.value(key);
        // A cell that shares a formula answers with its own text.
        if (formula.kind() == CellFormula::SharedFormula && formula.text().isEmpty()) {
            CellFormula own(sharedFormulaText(row, cell.column, formula), CellFormula::SharedFormula);
            own.setSharedIndex(formula.sharedIndex());
            formula = own;
        }
        sheetCell.setFormula(formula);
    }
    if (richText.isRichString())
        sheetCell.setRichString(richText);
    return sheetCell;
}

SharedStrings *WorksheetPrivate::sharedStrings() const
{
    if (inlineTexts)
        return inlineTexts.get();
    return workbook->sharedStrings();
}

Styles *WorksheetPrivate::styles() const
{
    return workbook->styles();
}

// --- writing values

Worksheet::Worksheet(const QString &name, int sheetId, Workbook *workbook, CreationMode mode)
    : AbstractSheet(new WorksheetPrivate(this, mode, workbook, name, sheetId))
{
}

Worksheet::~Worksheet() = default;

void WorksheetPrivate::copySettingsFrom(const WorksheetPrivate &other)
{
    mergedRanges = other.mergedRanges;
    for (auto it = other.rows.constBegin(); it != other.rows.constEnd(); ++it)
        rows.insert(it.key(), QSharedPointer<RowSettings>::create(**it));
    for (const QSharedPointer<ColumnSettings> &range : other.columns) {
        auto copy = QSharedPointer<ColumnSettings>::create(*range);
        columns.insert(copy->firstColumn, copy);
        for (int column = copy->firstColumn; column <= copy->lastColumn; ++column)
            columnsByColumn.insert(column, copy);
    }
    for (auto row = other.hyperlinks.constBegin(); row != other.hyperlinks.constEnd(); ++row) {
        for (auto link = row->constBegin(); link != row->constEnd(); ++link)
            hyperlinks[row.key()].insert(link.key(), QSharedPointer<Hyperlink>::create(**link));
    }
    dimension = other.dimension;
    outlineRowLevel = other.outlineRowLevel;
    outlineColumnLevel = other.outlineColumnLevel;
    defaultRowHeight = other.defaultRowHeight;
    loadedCustomHeight = other.loadedCustomHeight;
    zeroHeight = other.zeroHeight;
    tabColor = other.tabColor;
    keptTabColor = other.keptTabColor;
    sheetPrAttributes = other.sheetPrAttributes;
    keptSheetPrChildren = other.keptSheetPrChildren;
    sheetPrLoaded = other.sheetPrLoaded;
    protection = other.protection;
    page = other.page.withoutRelationships();
    windowProtection = other.windowProtection;
    showFormulas = other.showFormulas;
    showGridLines = other.showGridLines;
    showRowColHeaders = other.showRowColHeaders;
    showZeros = other.showZeros;
    rightToLeft = other.rightToLeft;
    tabSelected = other.tabSelected;
    showRuler = other.showRuler;
    showOutlineSymbols = other.showOutlineSymbols;
    showWhiteSpace = other.showWhiteSpace;
    // What a loaded sheet kept; not what points at its relationships
    // (drawings, tables, notes), which belong to the sheet they came with.
    rootAttributes = other.rootAttributes;
    kept = other.kept.withoutRelationships();
    keptViewAttributes = other.keptViewAttributes;
    keptViewChildren = other.keptViewChildren;
    keptViews = other.keptViews;
    keptFormatAttributes = other.keptFormatAttributes;
    rowAttributes = other.rowAttributes;
    keptTexts = other.keptTexts;
    copyDrawingFrom(other);
    conditionalFormats = other.conditionalFormats;
    validations = other.validations;
    notes = other.notes;
    notesChanged = !notes.isEmpty();
    pane = other.pane;
    paneChanged = other.paneChanged;
    keptPane = other.keptPane;
    autoFilterRange = other.autoFilterRange;
    autoFilterChanged = other.autoFilterChanged;
    keptAutoFilter = other.keptAutoFilter;
    validationAttributes = other.validationAttributes;
}

// The copy gets the pictures and charts the model knows (charts still show
// the cells they showed); the other things of a loaded drawing stay with it.
void WorksheetPrivate::copyDrawingFrom(const WorksheetPrivate &other)
{
    if (!other.drawing)
        return;
    for (const DrawingObject &object : other.drawing->objects()) {
        if (object.kind == DrawingObject::Kept)
            continue;
        DrawingObject copied;
        copied.kind = object.kind;
        copied.anchor = object.anchor;
        copied.description = object.description;
        copied.media = object.media;
        if (object.chart) {
            copied.chart = QSharedPointer<Chart>::create();
            copied.chart->d_func()->copyFrom(*object.chart->d_func());
        }
        if (Drawing *mine = ensureDrawing())
            mine->addObject(copied);
    }
}

void WorksheetPrivate::releaseTexts()
{
    cells.forEachRow(1, [this](int, const CellTable::Row &row) {
        for (const StoredCell &cell : row) {
            if (CellKind(cell.kind) == CellKind::SharedString)
                sharedStrings()->releaseEntry(cell.value.string);
        }
    });
}

// The copy owns its cells, row and column settings and links: changing one
// sheet never changes the other. Its text cells add references to the same
// shared strings.
AbstractSheet *Worksheet::copy(const QString &name, int sheetId) const
{
    Q_D(const Worksheet);
    if (d->streamed)
        return nullptr;   // its rows written out are not held
    auto *sheet = new Worksheet(name, sheetId, d->workbook, NewFromScratch);
    WorksheetPrivate *copy = sheet->d_func();
    d->cells.forEachRow(1, [d](int, const CellTable::Row &cells) {
        for (const StoredCell &cell : cells) {
            if (CellKind(cell.kind) == CellKind::SharedString)
                d->sharedStrings()->addReferenceTo(cell.value.string);
        }
    });
    copy->cells = d->cells;
    copy->formulas = d->formulas;
    copy->cellAttributes = d->cellAttributes;
    copy->formulaAttributes = d->formulaAttributes;
    copy->formulaResults = d->formulaResults;
    copy->errorTexts = d->errorTexts;
    copy->sharedFormulaMasters = d->sharedFormulaMasters;
    copy->copySettingsFrom(*d);
    return sheet;
}

bool Worksheet::writeValue(const CellAddress &address, const QVariant &value, const Format &format)
{
    return writeValue(address.row(), address.column(), value, format);
}

bool Worksheet::writeValue(int row, int column, const QVariant &value, const Format &format)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column))
        return false;
    if (value.isNull())
        return writeBlank(row, column, format);

    switch (value.userType()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.startsWith(QLatin1Char('=')))
            return writeFormula(row, column, CellFormula(d->storedFormula(row, column, text.mid(1))), format, 0);
        // The cell shows the text as written; the link's target is the URL it parses to.
        if (d->workbook->isStringsToHyperlinksEnabled() && d->isLinkText(text))
            return writeLink(row, column, QUrl(text, QUrl::StrictMode), Format(), text);
        return writeText(row, column, text, format);
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return writeNumber(row, column, value.toDouble(), format);
    case QMetaType::Bool:
        return writeBool(row, column, value.toBool(), format);
    case QMetaType::QDateTime:
        return writeDateTime(row, column, value.toDateTime(), format);
    case QMetaType::QDate: {
        // A date is midnight of its day wherever it is read: no time zone.
        const QDate date = value.toDate();
        return date.isValid() && d->writeSerialDate(row, column, wallClockToSerial(date, QTime(0, 0), d->workbook->isDate1904()), format);
    }
    case QMetaType::QTime:
        return writeTime(row, column, value.toTime(), format);
    case QMetaType::QUrl:
        return writeLink(row, column, value.toUrl(), format);
    default:
        break;
    }
    if (value.userType() == qMetaTypeId<RichString>())
        return writeRichText(row, column, value.value<RichString>(), format);
    return false;
}

bool Worksheet::writeText(int row, int column, const QString &text, const Format &format)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column))
        return false;
    if (d->workbook->isHtmlToRichStringEnabled() && Qt::mightBeRichText(text))
        return writeRichText(row, column, richStringFromHtml(text), format);

    // A plain text is a one run with an empty format: nothing to merge.
    const quint32 entry = d->sharedStrings()->addEntry(text);
    d->storeText(row, column, entry, d->registeredFormat(row, column, format));
    return true;
}

bool Worksheet::writeRichText(int row, int column, const RichString &text, const Format &format)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column))
        return false;
    // A text of one run has its format in the cell's, and is a plain text.
    const bool oneRun = text.runCount() == 1;
    const quint32 entry = oneRun ? d->sharedStrings()->addEntry(text.runText(0)) : d->sharedStrings()->addEntry(text);
    Format cellFormat = format.isValid() ? format : d->existingFormat(row, column);
    if (oneRun && text.runFormat(0).isValid())
        cellFormat.mergeFormat(text.runFormat(0));
    d->styles()->addCellFormat(cellFormat);
    d->storeText(row, column, entry, cellFormat);
    return true;
}

bool Worksheet::writeNumber(int row, int column, double number, const Format &format)
{
    Q_D(Worksheet);
    if (!std::isfinite(number) || !d->isWritable(row, column))
        return false;
    d->store(row, column, CellKind::Number, d->registeredFormat(row, column, format), number);
    return true;
}

bool Worksheet::writeBool(int row, int column, bool value, const Format &format)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column))
        return false;
    d->store(row, column, CellKind::Boolean, d->registeredFormat(row, column, format), value);
    return true;
}

bool Worksheet::writeBlank(int row, int column, const Format &format)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column))
        return false;
    d->store(row, column, CellKind::Number, d->registeredFormat(row, column, format), QVariant());
    return true;
}

bool Worksheet::writeDateTime(int row, int column, const QDateTime &dateTime, const Format &format)
{
    Q_D(Worksheet);
    if (!dateTime.isValid())
        return false;
    // A local date-time is the wall clock already; others are converted to it.
    const bool date1904 = d->workbook->isDate1904();
    const double serial = dateTime.timeSpec() == Qt::LocalTime
        ? wallClockToSerial(dateTime.date(), dateTime.time(), date1904)
        : dateTimeToSerial(dateTime, date1904);
    return d->writeSerialDate(row, column, serial, format);
}

bool WorksheetPrivate::writeSerialDate(int row, int column, double serial, const Format &format)
{
    if (!isWritable(row, column))
        return false;
    const Format existing = existingFormat(row, column);
    Format cellFormat;
    if (format.isValid() || existing.isValid()) {
        cellFormat = dateFormat(existing, format, workbook->defaultDateFormat());
        styles()->addCellFormat(cellFormat);
    } else {
        // The default date format, made and registered once.
        const QString code = workbook->defaultDateFormat();
        if (!defaultDateFormat.isValid() || defaultDateFormat.numberFormatCode() != code) {
            defaultDateFormat = dateFormat(Format(), Format(), code);
            styles()->addCellFormat(defaultDateFormat);
        }
        cellFormat = defaultDateFormat;
    }
    store(row, column, CellKind::Number, cellFormat, serial);
    return true;
}

bool Worksheet::writeTime(int row, int column, const QTime &time, const Format &format)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column) || !time.isValid())
        return false;
    Format cellFormat = dateFormat(d->existingFormat(row, column), format, QStringLiteral("hh:mm:ss"));
    d->styles()->addCellFormat(cellFormat);
    d->store(row, column, CellKind::Number, cellFormat, timeToSerial(time));
    return true;
}

bool Worksheet::writeFormula(int row, int column, const CellFormula &formula, const Format &format, double result)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column) || !std::isfinite(result))
        return false;
    d->store(row, column, CellKind::Number, d->registeredFormat(row, column, format), result, &formula);
    return true;
}

bool Worksheet::writeLink(int row, int column, const QUrl &url, const Format &format, const QString &display,
                          const QString &tooltip)
{
    Q_D(Worksheet);
    if (!d->isWritable(row, column) || !url.isValid())
        return false;
    // The target is written as a URI (percent-encoded); the cell shows the
    // display text, or the URL as people read it.
    QString target = url.toString(QUrl::FullyEncoded);
    QString displayText = display.isEmpty() ? url.toString() : display;
    if (displayText.startsWith(QLatin1String("mailto:")))
        displayText.remove(QStringLiteral("mailto:"));
    if (displayText.size() > 32767)
        displayText.truncate(32767);
    QString location;
    if (url.hasFragment()) {
        location = url.fragment(QUrl::FullyEncoded);
        // Qt's operator for RemoveFragment | FullyEncoded builds a value
        // outside its enumeration: the fragment goes first, then the encoding.
        target = url.adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
    }

    Format cellFormat = format.isValid() ? format : d->existingFormat(row, column);
    if (!cellFormat.isValid()) {
        cellFormat.setFontColor(QColor(0, 0, 255));
        cellFormat.setFontUnderline(Format::FontUnderlineSingle);
    }
    d->styles()->addCellFormat(cellFormat);
    d->storeText(row, column, d->sharedStrings()->addEntry(displayText), cellFormat);

    auto link = QSharedPointer<Hyperlink>::create();
    link->target = target;
    link->location = location;
    if (target.isEmpty() && url.hasFragment()) {
        // "#Sheet2!A1": a place in this workbook, as formulas name it.
        link->kind = Hyperlink::Internal;
        link->location = url.fragment(QUrl::FullyDecoded);
    }
    link->tooltip = tooltip;
    d->hyperlinks[row].insert(column, link);
    return true;
}

QUrl Worksheet::hyperlink(int row, int column) const
{
    Q_D(const Worksheet);
    const QSharedPointer<Hyperlink> link = d->hyperlinks.value(row).value(column);
    if (!link || link->kind != Hyperlink::External)
        return QUrl();
    QUrl url(link->target);
    if (!link->location.isEmpty())
        url.setFragment(link->location, QUrl::TolerantMode);
    return url;
}

QString Worksheet::hyperlinkLocation(int row, int column) const
{
    Q_D(const Worksheet);
    const QSharedPointer<Hyperlink> link = d->hyperlinks.value(row).value(column);
    return link && link->kind == Hyperlink::Internal ? link->location : QString();
}

// --- reading cells back

// Built from what the sheet keeps: changing the returned cell does not change the sheet.
QSharedPointer<SheetCell> Worksheet::cellAt(int row, int column) const
{
    Q_D(const Worksheet);
    const StoredCell *cell = d->cells.find(row, column);
    return cell ? d->sheetCell(row, *cell) : QSharedPointer<SheetCell>();
}

QSharedPointer<SheetCell> Worksheet::cellAt(const CellAddress &address) const
{
    return cellAt(address.row(), address.column());
}

// Row by row, each row's cells as they were when the walk reached it: a
// visit may write cells, and one written further on is visited too.
void Worksheet::forEachCell(const std::function<void(int row, int column, const SheetCell &cell)> &visit) const
{
    Q_D(const Worksheet);
    CellTable::Row cells;
    for (int row = d->cells.nextRow(0); row > 0; row = d->cells.nextRow(row)) {
        cells = *d->cells.row(row);
        for (const StoredCell &cell : cells)
            visit(row, cell.column, d->cellValue(row, cell));
    }
}

void Worksheet::setTabColor(const QColor &color)
{
    Q_D(Worksheet);
    d->tabColor = color;
    d->keptTabColor.clear();
}

QColor Worksheet::tabColor() const
{
    Q_D(const Worksheet);
    return d->tabColor;
}

QList<CellAddress> Worksheet::uncalculatedCells() const
{
    Q_D(const Worksheet);
    return d->uncalculatedCells;
}

QVariant Worksheet::readValue(int row, int column) const
{
    const QSharedPointer<SheetCell> cell = cellAt(row, column);
    if (!cell)
        return QVariant();
    if (cell->isDateTime())
        return cell->dateTime();
    return cell->value();
}

CellArea Worksheet::dimension() const
{
    Q_D(const Worksheet);
    return d->dimension;
}

// --- columns

void WorksheetPrivate::splitColumnRanges(int first, int last)
{
    auto splitAt = [this](const QSharedPointer<ColumnSettings> &range, int start) {
        auto piece = QSharedPointer<ColumnSettings>::create(*range);
        piece->firstColumn = start;
        range->lastColumn = start - 1;
        columns.insert(start, piece);
        for (int column = start; column <= piece->lastColumn; ++column)
            columnsByColumn.insert(column, piece);
    };
    for (const QSharedPointer<ColumnSettings> &range : qAsConst(columns)) {
        if (range->firstColumn < first && range->lastColumn >= first) {
            splitAt(range, first);
            break;
        }
    }
    for (const QSharedPointer<ColumnSettings> &range : qAsConst(columns)) {
        if (range->firstColumn <= last && range->lastColumn > last) {
            splitAt(range, last + 1);
            break;
        }
    }
}

// The stored ranges that make up first..last, created where there are none.
QList<QSharedPointer<ColumnSettings>> WorksheetPrivate::columnRanges(int first, int last)
{
    if (first < 1 || first > last || last > maxColumns)
        return {};
    if (dimension.firstColumn() == -1 || first < dimension.firstColumn())
        dimension.setFirstColumn(first);
    if (last > dimension.lastColumn())
        dimension.setLastColumn(last);
    splitColumnRanges(first, last);

    QList<int> starts{ first };
    for (auto it = columns.lowerBound(first); it != columns.end() && it.key() <= last; ++it) {
        if (starts.last() != it.key())
            starts.append(it.key());
        const int next = it.value()->lastColumn + 1;
        if (next <= last)
            starts.append(next);
    }

    QList<QSharedPointer<ColumnSettings>> ranges;
    for (int i = 0; i < starts.size(); ++i) {
        const int start = starts.at(i);
        QSharedPointer<ColumnSettings> range = columns.value(start);
        if (!range) {
            range = QSharedPointer<ColumnSettings>::create();
            range->firstColumn = start;
            range->lastColumn = i + 1 < starts.size() ? starts.at(i + 1) - 1 : last;
            columns.insert(start, range);
            for (int column = start; column <= range->lastColumn; ++column)
                columnsByColumn.insert(column, range);
        }
        ranges.append(range);
    }
    return ranges;
}

bool Worksheet::setColumnWidth(int first, int last, double width)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<ColumnSettings>> ranges = d->columnRanges(first, last);
    for (const QSharedPointer<ColumnSettings> &range : ranges)
        range->width = width;
    return !ranges.isEmpty();
}

bool Worksheet::setColumnFormat(int first, int last, const Format &format)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<ColumnSettings>> ranges = d->columnRanges(first, last);
    for (const QSharedPointer<ColumnSettings> &range : ranges) {
        range->format = format;
        d->styles()->addCellFormat(range->format);
    }
    return !ranges.isEmpty();
}

bool Worksheet::setColumnHidden(int first, int last, bool hidden)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<ColumnSettings>> ranges = d->columnRanges(first, last);
    for (const QSharedPointer<ColumnSettings> &range : ranges)
        range->hidden = hidden;
    return !ranges.isEmpty();
}

bool Worksheet::setColumnWidth(const CellArea &area, double width)
{
    return setColumnWidth(area.firstColumn(), area.lastColumn(), width);
}

bool Worksheet::setColumnFormat(const CellArea &area, const Format &format)
{
    return setColumnFormat(area.firstColumn(), area.lastColumn(), format);
}

bool Worksheet::setColumnHidden(const CellArea &area, bool hidden)
{
    return setColumnHidden(area.firstColumn(), area.lastColumn(), hidden);
}

QSharedPointer<ColumnSettings> WorksheetPrivate::columnSettingsAt(int column) const
{
    return columnsByColumn.value(column);
}

double Worksheet::columnWidth(int column) const
{
    Q_D(const Worksheet);
    const QSharedPointer<ColumnSettings> settings = d->columnSettingsAt(column);
    return settings ? settings->width : 0;
}

Format Worksheet::columnFormat(int column) const
{
    Q_D(const Worksheet);
    const QSharedPointer<ColumnSettings> settings = d->columnSettingsAt(column);
    return settings ? settings->format : Format();
}

bool Worksheet::isColumnHidden(int column) const
{
    Q_D(const Worksheet);
    const QSharedPointer<ColumnSettings> settings = d->columnSettingsAt(column);
    return settings && settings->hidden;
}

bool Worksheet::groupColumns(int first, int last, bool collapsed)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<ColumnSettings>> ranges = d->columnRanges(first, last);
    for (const QSharedPointer<ColumnSettings> &range : ranges) {
        range->outlineLevel = qMin(range->outlineLevel + 1, WorksheetPrivate::maxOutlineLevel);
        d->outlineColumnLevel = qMax(d->outlineColumnLevel, range->outlineLevel);
        if (collapsed)
            range->hidden = true;
    }
    // The column after the group carries the button that opens it again.
    if (!ranges.isEmpty() && collapsed && last < WorksheetPrivate::maxColumns) {
        for (const QSharedPointer<ColumnSettings> &range : d->columnRanges(last + 1, last + 1))
            range->collapsed = true;
    }
    return !ranges.isEmpty();
}

// --- rows

QList<QSharedPointer<RowSettings>> WorksheetPrivate::rowSettings(int first, int last)
{
    QList<QSharedPointer<RowSettings>> settings;
    if (isStreamedRow(first))
        return settings;   // written out already
    for (int row = qMax(first, 1); row <= qMin(last, maxRows); ++row) {
        // Only the dimension's rows widen, to cover the row.
        extendDimension(row, dimension.firstColumn() == -1 ? 1 : dimension.firstColumn());
        QSharedPointer<RowSettings> &record = rows[row];
        if (!record)
            record = QSharedPointer<RowSettings>::create();
        settings.append(record);
    }
    return settings;
}

bool Worksheet::setRowHeight(int first, int last, double height)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<RowSettings>> rows = d->rowSettings(first, last);
    for (const QSharedPointer<RowSettings> &row : rows) {
        row->height = height;
        row->customHeight = true;
    }
    return !rows.isEmpty();
}

bool Worksheet::setRowFormat(int first, int last, const Format &format)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<RowSettings>> rows = d->rowSettings(first, last);
    for (const QSharedPointer<RowSettings> &row : rows) {
        row->format = format;
        d->styles()->addCellFormat(row->format);
    }
    return !rows.isEmpty();
}

bool Worksheet::setRowHidden(int first, int last, bool hidden)
{
    Q_D(Worksheet);
    const QList<QSharedPointer<RowSettings>> rows = d->rowSettings(first, last);
    for (const QSharedPointer<RowSettings> &row : rows)
        row->hidden = hidden;
    return !rows.isEmpty();
}

double Worksheet::rowHeight(int row) const
{
    Q_D(const Worksheet);
    const QSharedPointer<RowSettings> settings = d->rows.value(row);
    return settings && settings->customHeight ? settings->height : d->defaultRowHeight;
}

Format Worksheet::rowFormat(int row) const
{
    Q_D(const Worksheet);
    const QSharedPointer<RowSettings> settings = d->rows.value(row);
    return settings ? settings->format : Format();
}

bool Worksheet::isRowHidden(int row) const
{
    Q_D(const Worksheet);
    const QSharedPointer<RowSettings> settings = d->rows.value(row);
    return settings && settings->hidden;
}

bool Worksheet::groupRows(int first, int last, bool collapsed)
{
    Q_D(Worksheet);
    if (first < 1 || first > last || last > WorksheetPrivate::maxRows || d->isStreamedRow(first))
        return false;
    for (const QSharedPointer<RowSettings> &row : d->rowSettings(first, last)) {
        row->outlineLevel = qMin(row->outlineLevel + 1, WorksheetPrivate::maxOutlineLevel);
        d->outlineRowLevel = qMax(d->outlineRowLevel, row->outlineLevel);
        if (collapsed)
            row->hidden = true;
    }
    // The row below the group carries the button that opens it again.
    if (collapsed && last < WorksheetPrivate::maxRows) {
        for (const QSharedPointer<RowSettings> &row : d->rowSettings(last + 1, last + 1))
            row->collapsed = true;
    }
    return true;
}

// --- merged ranges

bool Worksheet::mergeCells(const CellArea &area, const Format &format)
{
    Q_D(Worksheet);
    if (!area.isValid() || (area.rowCount() == 1 && area.columnCount() == 1))
        return false;
    if (!d->isInside(area.firstRow(), area.firstColumn()) || !d->isInside(area.lastRow(), area.lastColumn()))
        return false;
    if (d->overlapsTable(area) || (format.isValid() && d->isStreamedRow(area.firstRow())))
        return false;   // a format would change cells written out
    for (const CellArea &merged : qAsConst(d->mergedRanges)) {
        const bool apart = area.lastRow() < merged.firstRow() || area.firstRow() > merged.lastRow()
            || area.lastColumn() < merged.firstColumn() || area.firstColumn() > merged.lastColumn();
        if (!apart)
            return false;
    }
    d->extendDimension(area.firstRow(), area.firstColumn());
    d->extendDimension(area.lastRow(), area.lastColumn());
    if (format.isValid()) {
        // The top-left cell, which the merged range shows, keeps its value
        // and takes the format; the others become blanks of that format.
        for (int row = area.firstRow(); row <= area.lastRow(); ++row) {
            for (int column = area.firstColumn(); column <= area.lastColumn(); ++column) {
                StoredCell *existing = d->cells.find(row, column);
                if (row == area.firstRow() && column == area.firstColumn() && existing) {
                    Format cellFormat = format;
                    d->styles()->addCellFormat(cellFormat);
                    existing->format = WorksheetPrivate::formatCode(cellFormat);
                } else {
                    writeBlank(row, column, format);
                }
            }
        }
    }
    d->mergedRanges.append(area);
    return true;
}

bool Worksheet::unmergeCells(const CellArea &area)
{
    Q_D(Worksheet);
    return d->mergedRanges.removeOne(area);
}

QList<CellArea> Worksheet::mergedCells() const
{
    Q_D(const Worksheet);
    return d->mergedRanges;
}

// --- sheet view

#define SHEET_VIEW_FLAG(getter, setter, member)                                                              \
    bool Worksheet::getter() const { Q_D(const Worksheet); return d->member; }                                 \
    void Worksheet::setter(bool on) { Q_D(Worksheet); d->member = on; }

SHEET_VIEW_FLAG(isWindowProtected, setWindowProtected, windowProtection)
SHEET_VIEW_FLAG(isFormulasVisible, setFormulasVisible, showFormulas)
SHEET_VIEW_FLAG(isGridLinesVisible, setGridLinesVisible, showGridLines)
SHEET_VIEW_FLAG(isRowColumnHeadersVisible, setRowColumnHeadersVisible, showRowColHeaders)
SHEET_VIEW_FLAG(isZerosVisible, setZerosVisible, showZeros)
SHEET_VIEW_FLAG(isRightToLeft, setRightToLeft, rightToLeft)
SHEET_VIEW_FLAG(isSelected, setSelected, tabSelected)
SHEET_VIEW_FLAG(isRulerVisible, setRulerVisible, showRuler)
SHEET_VIEW_FLAG(isOutlineSymbolsVisible, setOutlineSymbolsVisible, showOutlineSymbols)
SHEET_VIEW_FLAG(isWhiteSpaceVisible, setWhiteSpaceVisible, showWhiteSpace)

#undef SHEET_VIEW_FLAG

// --- the sheet XML

void WorksheetPrivate::computeRowSpans() const
{
    rowSpans.clear();
    int block = -1;
    int first = 0;
    int last = 0;
    auto finish = [&] {
        if (block >= 0)
            rowSpans.insert(block, QByteArray::number(first) + ':' + QByteArray::number(last));
    };
    cells.forEachRow(1, [&](int row, const CellTable::Row &rowCells) {
        const int rowBlock = (row - 1) / 16;
        if (rowBlock != block) {
            finish();
            block = rowBlock;
            first = rowCells.front().column;
            last = rowCells.back().column;
            return;
        }
        first = qMin<int>(first, rowCells.front().column);
        last = qMax<int>(last, rowCells.back().column);
    });
    finish();
}

void Worksheet::writeXml(QIODevice *device) const
{
    Q_D(const Worksheet);
    relationships()->clear();
    relationships()->setSourcePart(partPath());
    d->computeRowSpans();

    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("worksheet"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeAttribute(QStringLiteral("xmlns:r"), Namespace::documentRelationships);
    KeptXml::writeAttributes(writer, d->rootAttributes);

    KeptElements::Writer kept(d->kept, writer);
    d->writeSheetProperties(writer);
    kept.before(DimensionOrder);
    writer.writeEmptyElement(QStringLiteral("dimension"));
    writer.writeAttribute(QStringLiteral("ref"), d->dimension.isValid() ? d->dimension.toText() : QStringLiteral("A1"));
    kept.before(SheetViewsOrder);
    d->writeSheetView(writer);
    kept.before(SheetFormatPrOrder);
    d->writeSheetFormat(writer);
    kept.before(ColsOrder);
    d->writeColumns(writer);
    kept.before(SheetDataOrder);
    d->writeSheetData(writer, device);
    kept.before(SheetProtectionOrder);
    if (d->protection)
        SheetProtectionData::write(writer, *d->protection);
    kept.before(AutoFilterOrder);
    d->writeAutoFilter(writer);
    kept.before(MergeCellsOrder);
    d->writeMergedCells(writer);
    kept.before(ConditionalFormattingOrder);
    d->writeConditionalFormats(writer);
    kept.before(DataValidationsOrder);
    SheetRules::writeDataValidations(writer, d->validations, d->validationAttributes);
    kept.before(HyperlinksOrder);
    d->writeHyperlinks(writer);
    kept.before(PrintOptionsOrder);
    d->page.writePrintOptions(writer);
    kept.before(PageMarginsOrder);
    d->page.writeMargins(writer);
    kept.before(PageSetupOrder);
    d->page.writePageSetup(writer);
    kept.before(HeaderFooterOrder);
    d->page.writeHeaderFooter(writer);
    kept.before(RowBreaksOrder);
    PageSetupXml::writeBreaks(writer, "rowBreaks", d->page.setup.rowBreaks, WorksheetPrivate::maxColumns);
    kept.before(ColBreaksOrder);
    PageSetupXml::writeBreaks(writer, "colBreaks", d->page.setup.columnBreaks, WorksheetPrivate::maxRows);
    kept.before(DrawingOrder);
    d->writeDrawing(writer);
    kept.before(LegacyDrawingOrder);
    d->writeLegacyDrawing(writer);
    kept.before(TablePartsOrder);
    d->writeTableParts(writer);
    kept.rest();

    writer.writeEndElement();
    writer.writeEndDocument();
}

void WorksheetPrivate::writeSheetProperties(QXmlStreamWriter &writer) const
{
    if (!sheetPrLoaded && !tabColor.isValid() && !page.writesPageSetUpPr())
        return;
    writer.writeStartElement(QStringLiteral("sheetPr"));
    KeptXml::writeAttributes(writer, sheetPrAttributes);
    if (tabColor.isValid()) {
        writer.writeEmptyElement(QStringLiteral("tabColor"));
        writer.writeAttribute(QStringLiteral("rgb"), XlsxColor::toArgbText(tabColor));
    } else {
        KeptXml::writeRaw(writer, keptTabColor);
    }
    KeptXml::writeRaw(writer, keptSheetPrChildren);   // outline settings
    if (page.writesPageSetUpPr())
        page.writePageSetUpPr(writer);
    writer.writeEndElement();
}

void WorksheetPrivate::writeSheetView(QXmlStreamWriter &writer) const
{
    writer.writeStartElement(QStringLiteral("sheetViews"));
    writer.writeStartElement(QStringLiteral("sheetView"));
    writeBoolAttribute(writer, "windowProtection", windowProtection, false);
    writeBoolAttribute(writer, "showFormulas", showFormulas, false);
    writeBoolAttribute(writer, "showGridLines", showGridLines, true);
    writeBoolAttribute(writer, "showRowColHeaders", showRowColHeaders, true);
    writeBoolAttribute(writer, "showZeros", showZeros, true);
    writeBoolAttribute(writer, "rightToLeft", rightToLeft, false);
    writeBoolAttribute(writer, "tabSelected", tabSelected, false);
    writeBoolAttribute(writer, "showRuler", showRuler, true);
    writeBoolAttribute(writer, "showOutlineSymbols", showOutlineSymbols, true);
    writeBoolAttribute(writer, "showWhiteSpace", showWhiteSpace, true);
    KeptXml::writeAttributes(writer, keptViewAttributes);
    writer.writeAttribute(QStringLiteral("workbookViewId"), QStringLiteral("0"));
    writePane(writer);
    if (!paneChanged)   // the selections of the panes the sheet came with
        KeptXml::writeRaw(writer, keptViewChildren);
    writer.writeEndElement();
    KeptXml::writeRaw(writer, keptViews);
    writer.writeEndElement();
}

void WorksheetPrivate::writeSheetFormat(QXmlStreamWriter &writer) const
{
    writer.writeEmptyElement(QStringLiteral("sheetFormatPr"));
    writer.writeAttribute(QStringLiteral("defaultRowHeight"), QString::number(defaultRowHeight));
    if (loadedCustomHeight >= 0 ? loadedCustomHeight == 1 : defaultRowHeight != 15)
        writer.writeAttribute(QStringLiteral("customHeight"), QStringLiteral("1"));
    if (zeroHeight)
        writer.writeAttribute(QStringLiteral("zeroHeight"), QStringLiteral("1"));
    if (outlineRowLevel)
        writer.writeAttribute(QStringLiteral("outlineLevelRow"), QString::number(outlineRowLevel));
    if (outlineColumnLevel)
        writer.writeAttribute(QStringLiteral("outlineLevelCol"), QString::number(outlineColumnLevel));
    KeptXml::writeAttributes(writer, keptFormatAttributes);
}

void WorksheetPrivate::writeColumns(QXmlStreamWriter &writer) const
{
    if (columns.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("cols"));
    for (const QSharedPointer<ColumnSettings> &range : columns) {
        writer.writeEmptyElement(QStringLiteral("col"));
        writer.writeAttribute(QStringLiteral("min"), QString::number(range->firstColumn));
        writer.writeAttribute(QStringLiteral("max"), QString::number(range->lastColumn));
        // A column without a width of its own gets the default one: readers
        // take a column element without width as zero wide.
        writer.writeAttribute(QStringLiteral("width"), decimal(range->width != 0 ? range->width : defaultColumnWidth, 15));
        if (!range->format.isEmpty())
            writer.writeAttribute(QStringLiteral("style"), QString::number(range->format.xfIndex()));
        if (range->hidden)
            writer.writeAttribute(QStringLiteral("hidden"), QStringLiteral("1"));
        if (range->width != 0)
            writer.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
        if (range->outlineLevel)
            writer.writeAttribute(QStringLiteral("outlineLevel"), QString::number(range->outlineLevel));
        if (range->collapsed)
            writer.writeAttribute(QStringLiteral("collapsed"), QStringLiteral("1"));
        KeptXml::writeAttributes(writer, range->keptAttributes);
    }
    writer.writeEndElement();
}

void WorksheetPrivate::writeSheetData(QXmlStreamWriter &writer, QIODevice *device) const
{
    writer.writeStartElement(QStringLiteral("sheetData"));
    if (dimension.isValid() && (!cells.isEmpty() || !rows.isEmpty() || streamed)) {
        // The rows go straight to the device; an empty text first closes the
        // start tag that the stream writer still holds open.
        writer.writeCharacters(QString());
        if (streamed)
            streamed->writeTo(device);
        SheetDataWriter rowWriter(*this, device);
        writeRows(rowWriter, dimension.firstRow(), dimension.lastRow());
    }
    writer.writeEndElement();
}

void WorksheetPrivate::writeRows(SheetDataWriter &writer, int first, int last) const
{
    // The rows with settings are written between the rows with cells.
    auto setting = rows.lowerBound(first);
    auto settingsBefore = [&](int row) {
        for (; setting != rows.constEnd() && setting.key() < row && setting.key() <= last; ++setting)
            writer.writeRow(setting.key(), nullptr);
    };
    cells.forEachRow(first, [&](int row, const CellTable::Row &rowCells) {
        if (row > last)
            return;
        settingsBefore(row);
        if (setting != rows.constEnd() && setting.key() == row)
            ++setting;
        writer.writeRow(row, &rowCells);
    });
    settingsBefore(last + 1);
}

void WorksheetPrivate::writeMergedCells(QXmlStreamWriter &writer) const
{
    if (mergedRanges.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("mergeCells"));
    writer.writeAttribute(QStringLiteral("count"), QString::number(mergedRanges.size()));
    for (const CellArea &range : mergedRanges) {
        writer.writeEmptyElement(QStringLiteral("mergeCell"));
        writer.writeAttribute(QStringLiteral("ref"), range.toText());
    }
    writer.writeEndElement();
}

void WorksheetPrivate::writeHyperlinks(QXmlStreamWriter &writer) const
{
    if (hyperlinks.isEmpty())
        return;
    Relationships *links = q_func()->relationships();
    writer.writeStartElement(QStringLiteral("hyperlinks"));
    for (auto row = hyperlinks.constBegin(); row != hyperlinks.constEnd(); ++row) {
        for (auto it = row->constBegin(); it != row->constEnd(); ++it) {
            const Hyperlink &link = **it;
            writer.writeEmptyElement(QStringLiteral("hyperlink"));
            writer.writeAttribute(QStringLiteral("ref"), link.range.isValid() ? link.range.toText()
                                                                              : CellAddress(row.key(), it.key()).toText());
            if (link.kind == Hyperlink::External) {
                writer.writeAttribute(QStringLiteral("r:id"), links->addWorksheetRelationship(
                                                                  QStringLiteral("/hyperlink"), link.target,
                                                                  QStringLiteral("External")));
            }
            if (!link.location.isEmpty())
                writer.writeAttribute(QStringLiteral("location"), validXmlText(link.location));
            if (!link.display.isEmpty())
                writer.writeAttribute(QStringLiteral("display"), validXmlText(link.display));
            if (!link.tooltip.isEmpty())
                writer.writeAttribute(QStringLiteral("tooltip"), validXmlText(link.tooltip));
        }
    }
    writer.writeEndElement();
}

} // namespace Spreadsheet

namespace Spreadsheet {

void WorksheetPrivate::writeDrawing(QXmlStreamWriter &writer) const
{
    if (!drawing || drawing->objects().isEmpty())
        return;
    writer.writeEmptyElement(QStringLiteral("drawing"));
    writer.writeAttribute(QStringLiteral("r:id"), q_func()->relationships()->addDocumentRelationship(
                                                      QStringLiteral("/drawing"),
                                                      PartNames::relative(q_func()->partPath(), drawing->partPath())));
}

// A loaded sheet whose drawing element the model could not read keeps it;
// a sheet holds one drawing, so nothing can be added.
Drawing *WorksheetPrivate::ensureDrawing()
{
    if (keptDrawingElement)
        return nullptr;
    if (!drawing)
        drawing = QSharedPointer<Drawing>::create(AbstractOOXmlFile::NewFromScratch);
    return drawing.data();
}

// A column of width w characters of the default font's digits (7 pixels
// wide) shows w * 7 + 5 pixels; a row of h points, h * 4 / 3 pixels.
int WorksheetPrivate::columnPixels(int column) const
{
    const QSharedPointer<ColumnSettings> settings = columnSettingsAt(column);
    if (settings && settings->hidden)
        return 0;
    const double width = settings && settings->width > 0 ? settings->width : 8.43;
    return width < 1 ? int(width * 12 + 0.5) : int(width * 7 + 5 + 0.5);
}

int WorksheetPrivate::rowPixels(int row) const
{
    const QSharedPointer<RowSettings> settings = rows.value(row);
    if (settings && settings->hidden)
        return 0;
    const double height = settings && settings->customHeight ? settings->height : defaultRowHeight;
    return int(height * 4 / 3 + 0.5);
}

void WorksheetPrivate::endOf(int row, int column, const QPoint &offset, const QSize &size, CellAddress &end,
                             QPoint &endOffset) const
{
    qint64 x = qint64(offset.x()) + size.width();
    qint64 y = qint64(offset.y()) + size.height();
    while (column < maxColumns && x >= columnPixels(column)) {
        x -= columnPixels(column);
        ++column;
    }
    while (row < maxRows && y >= rowPixels(row)) {
        y -= rowPixels(row);
        ++row;
    }
    end = CellAddress(row, column);
    endOffset = QPoint(int(qMin<qint64>(x, INT_MAX / DrawingAnchor::emuPerPixel)),
                       int(qMin<qint64>(y, INT_MAX / DrawingAnchor::emuPerPixel)));
}

DrawingAnchor WorksheetPrivate::anchorFor(int row, int column, const QPoint &offset, const QSize &size,
                                          DrawingAnchor::Kind kind) const
{
    switch (kind) {
    case DrawingAnchor::TwoCell: {
        CellAddress end;
        QPoint endOffset;
        endOf(row, column, offset, size, end, endOffset);
        return DrawingAnchor::twoCell(CellAddress(row, column), offset, end, endOffset, size);
    }
    case DrawingAnchor::Absolute: {
        qint64 x = offset.x(), y = offset.y();
        for (int c = 1; c < column; ++c)
            x += columnPixels(c);
        for (int r = 1; r < row; ++r)
            y += rowPixels(r);
        const qint64 limit = INT_MAX / DrawingAnchor::emuPerPixel;
        return DrawingAnchor::absolute(QPoint(int(qMin(x, limit)), int(qMin(y, limit))), size);
    }
    case DrawingAnchor::OneCell:
        break;
    }
    return DrawingAnchor::oneCell(CellAddress(row, column), offset, size);
}

bool Worksheet::insertImage(int row, int column, const QImage &image, const ImagePlacement &placement)
{
    if (image.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    return insertImage(row, column, bytes, placement);
}

bool Worksheet::insertImage(int row, int column, const QByteArray &fileBytes, const ImagePlacement &placement)
{
    Q_D(Worksheet);
    const SheetImage::Type type = SheetImage::typeOf(fileBytes);
    const QSize own = SheetImage::pixelSize(fileBytes, type);
    if (!d->isInside(row, column) || type == SheetImage::Other || !own.isValid())
        return false;
    const qint64 limit = INT_MAX / DrawingAnchor::emuPerPixel;
    QSize size = placement.size;
    if (!size.isValid()) {
        if (!(placement.xScale > 0) || !(placement.yScale > 0) || own.width() * placement.xScale > limit
            || own.height() * placement.yScale > limit)
            return false;
        size = QSize(qMax(1, qRound(own.width() * placement.xScale)), qMax(1, qRound(own.height() * placement.yScale)));
    }
    if (size.width() > limit || size.height() > limit || qAbs(placement.offset.x()) > limit
        || qAbs(placement.offset.y()) > limit)
        return false;

    DrawingObject picture;
    picture.kind = DrawingObject::Picture;
    picture.anchor = d->anchorFor(row, column, placement.offset, size, placement.anchor);
    picture.description = placement.description;
    picture.media = QSharedPointer<MediaFile>::create();
    picture.media->bytes = fileBytes;
    picture.media->type = type;
    picture.media->suffix = SheetImage::suffixOf(type);
    Drawing *drawing = d->ensureDrawing();
    if (!drawing)
        return false;
    drawing->addObject(picture);
    return true;
}

QList<SheetImage> Worksheet::images() const
{
    Q_D(const Worksheet);
    QList<SheetImage> images;
    if (!d->drawing)
        return images;
    for (const DrawingObject &object : d->drawing->objects()) {
        if (object.kind == DrawingObject::Picture && object.media)
            images.append(SheetImage(object.media->bytes, object.media->type, object.anchor, object.name,
                                     object.description, object.media->suffix));
    }
    return images;
}

Chart *Worksheet::insertChart(int row, int column, const QSize &size)
{
    Q_D(Worksheet);
    const qint64 limit = INT_MAX / DrawingAnchor::emuPerPixel;
    Drawing *drawing = d->isInside(row, column) ? d->ensureDrawing() : nullptr;
    if (!drawing || size.width() <= 0 || size.height() <= 0 || size.width() > limit || size.height() > limit)
        return nullptr;
    DrawingObject frame;
    frame.kind = DrawingObject::ChartFrame;
    frame.anchor = d->anchorFor(row, column, QPoint(), size, DrawingAnchor::TwoCell);
    frame.chart = QSharedPointer<Chart>::create();
    drawing->addObject(frame);
    return frame.chart.data();
}

QList<Chart *> Worksheet::charts() const
{
    Q_D(const Worksheet);
    QList<Chart *> charts;
    if (!d->drawing)
        return charts;
    for (const DrawingObject &object : d->drawing->objects()) {
        if (object.kind == DrawingObject::ChartFrame && object.chart)
            charts.append(object.chart.data());
    }
    return charts;
}

} // namespace Spreadsheet

namespace Spreadsheet {

void WorksheetPrivate::writeConditionalFormats(QXmlStreamWriter &writer) const
{
    for (const FormattingRule &formatting : conditionalFormats)
        SheetRules::writeConditionalFormatting(writer, formatting);
}

namespace {

// The index in the whole list of the listed rule at that index.
template <typename Rule>
int wholeIndex(const QList<Rule> &rules, int listedIndex)
{
    for (int i = 0; i < rules.size(); ++i) {
        if (rules.at(i).listed && listedIndex-- == 0)
            return i;
    }
    return -1;
}

template <typename Rule, typename Value = decltype(Rule::value)>
QList<Value> listed(const QList<Rule> &rules)
{
    QList<Value> values;
    for (const Rule &rule : rules) {
        if (rule.listed)
            values.append(rule.value);
    }
    return values;
}

bool areSoundFormulas(const QStringList &formulas)
{
    return std::none_of(formulas.cbegin(), formulas.cend(), [](const QString &formula) { return formula.isEmpty(); });
}

} // namespace

// Highlight formats go to the style table's differential formats, rules
// without a priority after every rule the sheet has.
bool Worksheet::addConditionalFormatting(const ConditionalFormatting &formatting)
{
    Q_D(Worksheet);
    if (!SheetRules::areSound(formatting.ranges) || formatting.rules.isEmpty())
        return false;
    int last = 0;
    for (const FormattingRule &existing : qAsConst(d->conditionalFormats)) {
        for (const ConditionalFormatRule &rule : existing.value.rules)
            last = qMax(last, rule.priority);
    }
    FormattingRule added;
    added.value = formatting;
    for (ConditionalFormatRule &rule : added.value.rules) {
        using Rule = ConditionalFormatRule;
        const bool twoBounds = rule.op == Rule::Between || rule.op == Rule::NotBetween;
        if ((rule.type == Rule::CellValue && (rule.formulas.size() != (twoBounds ? 2 : 1) || !areSoundFormulas(rule.formulas)))
            || (rule.type == Rule::Expression && (rule.formulas.size() != 1 || !areSoundFormulas(rule.formulas)))
            || (rule.type == Rule::IconSet && !rule.thresholds.isEmpty() && rule.thresholds.size() != Rule::iconCount(rule.icons))
            || ((rule.type == Rule::Top || rule.type == Rule::Bottom) && (rule.rank < 1 || rule.rank > 1000))
            || rule.priority < 0)
            return false;
    }
    for (ConditionalFormatRule &rule : added.value.rules) {
        if (rule.priority == 0)
            rule.priority = ++last;
        if (!rule.format.isEmpty())
            d->styles()->addDifferentialFormat(rule.format);
    }
    d->conditionalFormats.append(added);
    return true;
}

QList<ConditionalFormatting> Worksheet::conditionalFormattings() const
{
    Q_D(const Worksheet);
    return listed(d->conditionalFormats);
}

bool Worksheet::removeConditionalFormatting(int index)
{
    Q_D(Worksheet);
    const int at = wholeIndex(d->conditionalFormats, index);
    if (at < 0)
        return false;
    d->conditionalFormats.removeAt(at);
    return true;
}

bool Worksheet::addDataValidation(const DataValidation &validation)
{
    Q_D(Worksheet);
    if (!SheetRules::areSound(validation.ranges))
        return false;
    if (validation.type != DataValidation::Any && validation.formula1.isEmpty())
        return false;
    d->validations.append({ validation, QByteArray(), true });
    return true;
}

QList<DataValidation> Worksheet::dataValidations() const
{
    Q_D(const Worksheet);
    return listed(d->validations);
}

bool Worksheet::removeDataValidation(int index)
{
    Q_D(Worksheet);
    const int at = wholeIndex(d->validations, index);
    if (at < 0)
        return false;
    d->validations.removeAt(at);
    return true;
}

} // namespace Spreadsheet

namespace Spreadsheet {

// The notes' drawing, and beside it the relationship to the notes' texts.
void WorksheetPrivate::writeLegacyDrawing(QXmlStreamWriter &writer) const
{
    if (!writesNotes())
        return;
    Relationships *relationships = q_func()->relationships();
    const QString part = q_func()->partPath();
    relationships->addDocumentRelationship(QStringLiteral("/comments"), PartNames::relative(part, commentsPart));
    writer.writeEmptyElement(QStringLiteral("legacyDrawing"));
    writer.writeAttribute(QStringLiteral("r:id"), relationships->addDocumentRelationship(
                                                      QStringLiteral("/vmlDrawing"), PartNames::relative(part, notesDrawingPart)));
}

bool Worksheet::writeNote(int row, int column, const RichString &text, const QString &author, bool visible)
{
    Q_D(Worksheet);
    if (!d->isInside(row, column) || text.isEmpty() || !d->changeNotes())
        return false;
    d->notes.insert({ row, column }, CellNote{ text, author, visible });
    return true;
}

CellNote Worksheet::note(int row, int column) const
{
    Q_D(const Worksheet);
    return d->notes.value({ row, column });
}

QList<CellAddress> Worksheet::notedCells() const
{
    Q_D(const Worksheet);
    QList<CellAddress> cells;
    for (auto it = d->notes.constBegin(); it != d->notes.constEnd(); ++it)
        cells.append(CellAddress(it.key().first, it.key().second));
    return cells;
}

bool Worksheet::removeNote(int row, int column)
{
    Q_D(Worksheet);
    if (!d->notes.contains({ row, column }) || !d->changeNotes())
        return false;
    d->notes.remove({ row, column });
    return true;
}

} // namespace Spreadsheet

namespace Spreadsheet {

void WorksheetPrivate::writePane(QXmlStreamWriter &writer) const
{
    if (!paneChanged) {
        KeptXml::writeRaw(writer, keptPane);
        return;
    }
    if (pane.state == SheetPane::NoPane)
        return;
    writer.writeEmptyElement(QStringLiteral("pane"));
    if (pane.xSplit > 0)
        writer.writeAttribute(QStringLiteral("xSplit"), QString::number(pane.xSplit, 'g', 15));
    if (pane.ySplit > 0)
        writer.writeAttribute(QStringLiteral("ySplit"), QString::number(pane.ySplit, 'g', 15));
    writer.writeAttribute(QStringLiteral("topLeftCell"), pane.topLeftCell.toText());
    const QString active = pane.rows > 0 && pane.columns > 0 ? QStringLiteral("bottomRight")
        : pane.rows > 0                                      ? QStringLiteral("bottomLeft")
                                                             : QStringLiteral("topRight");
    writer.writeAttribute(QStringLiteral("activePane"), active);
    if (pane.state == SheetPane::Frozen)
        writer.writeAttribute(QStringLiteral("state"), QStringLiteral("frozen"));
}

void WorksheetPrivate::writeAutoFilter(QXmlStreamWriter &writer) const
{
    if (!autoFilterChanged) {
        KeptXml::writeRaw(writer, keptAutoFilter);
        return;
    }
    if (!autoFilterRange.isValid())
        return;
    writer.writeEmptyElement(QStringLiteral("autoFilter"));
    writer.writeAttribute(QStringLiteral("ref"), autoFilterRange.toText());
}

// Cells of this sheet as a defined name's formula gives them ("'Lab data'!$A$1:$F$12").
QString WorksheetPrivate::sheetReference(const QString &cells) const
{
    return quoteSheetName(name) + QLatin1Char('!') + cells;
}

bool Worksheet::setPrintArea(const CellArea &area)
{
    Q_D(Worksheet);
    const QString name = QStringLiteral("_xlnm.Print_Area");
    if (!area.isValid()) {
        d->workbook->removeName(name, sheetId());
        return true;
    }
    if (!SheetRules::areSound({ area }))
        return false;
    return d->workbook->defineName(name, d->sheetReference(area.toText(true, true)), QString(), sheetId());
}

CellArea Worksheet::printArea() const
{
    Q_D(const Worksheet);
    for (const DefinedName &name : d->workbook->definedNames()) {
        if (name.scopeSheetId == sheetId() && name.name.compare(QLatin1String("_xlnm.Print_Area"), Qt::CaseInsensitive) == 0) {
            const QString cells = name.formula.section(QLatin1Char(','), 0, 0).section(QLatin1Char('!'), -1);
            return CellArea(QString(cells).remove(QLatin1Char('$')));
        }
    }
    return CellArea();
}

bool Worksheet::setPrintTitles(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    Q_D(Worksheet);
    const QString name = QStringLiteral("_xlnm.Print_Titles");
    const bool rows = firstRow > 0 || lastRow > 0;
    const bool columns = firstColumn > 0 || lastColumn > 0;
    if ((rows && (firstRow < 1 || lastRow < firstRow || lastRow > d->maxRows))
        || (columns && (firstColumn < 1 || lastColumn < firstColumn || lastColumn > d->maxColumns)))
        return false;
    QStringList parts;
    if (columns)
        parts.append(d->sheetReference(QStringLiteral("$%1:$%2").arg(columnLetters(firstColumn), columnLetters(lastColumn))));
    if (rows)
        parts.append(d->sheetReference(QStringLiteral("$%1:$%2").arg(firstRow).arg(lastRow)));
    if (parts.isEmpty()) {
        d->workbook->removeName(name, sheetId());
        return true;
    }
    return d->workbook->defineName(name, parts.join(QLatin1Char(',')), QString(), sheetId());
}

bool Worksheet::setFrozenPanes(int rows, int columns)
{
    Q_D(Worksheet);
    if (rows < 0 || columns < 0 || rows >= d->maxRows || columns >= d->maxColumns)
        return false;
    d->paneChanged = true;
    d->pane = SheetPane();
    if (rows == 0 && columns == 0)
        return true;
    d->pane.state = SheetPane::Frozen;
    d->pane.rows = rows;
    d->pane.columns = columns;
    d->pane.xSplit = columns;
    d->pane.ySplit = rows;
    d->pane.topLeftCell = CellAddress(rows + 1, columns + 1);
    return true;
}

// A split's place is given in twentieths of a point: the rows' and columns'
// sizes at 100 %, one pixel being 15 of them.
bool Worksheet::setSplitPanes(int rows, int columns)
{
    Q_D(Worksheet);
    if (rows < 0 || columns < 0 || rows >= d->maxRows || columns >= d->maxColumns || (rows == 0 && columns == 0))
        return false;
    double x = 0, y = 0;
    for (int column = 1; column <= columns; ++column)
        x += d->columnPixels(column) * 15;
    for (int row = 1; row <= rows; ++row)
        y += d->rowPixels(row) * 15;
    d->paneChanged = true;
    d->pane = SheetPane();
    d->pane.state = SheetPane::Split;
    d->pane.rows = rows;
    d->pane.columns = columns;
    d->pane.xSplit = x;
    d->pane.ySplit = y;
    d->pane.topLeftCell = CellAddress(rows + 1, columns + 1);
    return true;
}

SheetPane Worksheet::pane() const
{
    Q_D(const Worksheet);
    return d->pane;
}

bool Worksheet::setAutoFilter(const CellArea &range)
{
    Q_D(Worksheet);
    if (range.isValid() && (!SheetRules::areSound({ range }) || d->overlapsTable(range)))
        return false;
    d->autoFilterRange = range;
    d->autoFilterChanged = true;
    // Spreadsheet programs find the filtered range by this hidden name too.
    const QString name = QStringLiteral("_xlnm._FilterDatabase");
    if (!range.isValid())
        d->workbook->removeName(name, sheetId());
    else
        d->workbook->defineName(DefinedName{ name, d->sheetReference(range.toText(true, true)), QString(), sheetId(), true });
    return true;
}

CellArea Worksheet::autoFilter() const
{
    Q_D(const Worksheet);
    return d->autoFilterRange;
}

} // namespace Spreadsheet
