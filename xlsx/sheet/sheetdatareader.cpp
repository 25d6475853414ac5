#include "sheetdatareader_p.h"

#include "cellparsing_p.h"
#include "formatreader_p.h"
#include "formularewriter_p.h"
#include "keptxml_p.h"
#include "richstring.h"
#include "sharedstrings.h"
#include "styles.h"
#include "utility.h"
#include "workbook.h"
#include "worksheet_p.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace Spreadsheet {

using namespace CellParsing;

// A sheet that already has cells (its part read a second time) puts every
// new one in place at the end, as any cell out of order.
SheetDataReader::SheetDataReader(WorksheetPrivate &sheet)
    : d(sheet)
    , m_lastRow(sheet.cells.isEmpty() ? 0 : std::numeric_limits<int>::max())
    , m_rowsInOrder(sheet.rowAttributes.empty())
{
}

SheetDataReader::~SheetDataReader() = default;

bool SheetDataReader::read(XmlScanner &scanner)
{
    const int depth = scanner.depth();
    int row = 0;
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (!scanner.is(XmlScanner::Main, "row")) {
            scanner.skipElement();
            continue;
        }
        if (!readRow(scanner, row))
            return false;
    }
    return !scanner.hasError();
}

void SheetDataReader::finish()
{
    placeWaitingCells();
    sortRowAttributes();
}

// --- rows

bool SheetDataReader::readRow(XmlScanner &scanner, int &row)
{
    const XmlScanner::Attribute *number = scanner.find("r");
    if (number) {
        if (!parseInt(number->rawValue, row) || row < 1 || row > d.maxRows)
            return d.fail(QStringLiteral("row %1 lies outside the sheet").arg(shown(number->rawValue)));
    } else if (++row > d.maxRows) {
        return d.fail(QStringLiteral("the sheet has more than %1 rows").arg(d.maxRows));
    }
    m_rowsInOrder &= row > m_previousRow;
    m_previousRow = row;

    // Settings: a format only where the row says it applies it. Style 0,
    // the default, always exists.
    QSharedPointer<RowSettings> settings;
    auto ownSettings = [&]() -> RowSettings & {
        if (!settings)
            settings = QSharedPointer<RowSettings>::create();
        return *settings;
    };
    const bool customFormat = isTrue(scanner.value("customFormat"));
    if (customFormat) {
        const int xf = scanner.value("s").toInt();
        if (xf < 0 || xf >= qMax(d.styles()->cellFormatCount(), 1))
            return d.fail(QStringLiteral("row %1 has style %2, which does not exist").arg(row).arg(xf));
        ownSettings().format = d.styles()->cellFormatAt(xf);
    }
    const QByteArray height = scanner.value("ht");
    if (!height.isNull()) {
        ownSettings().height = qBound(0.0, height.toDouble(), 409.5);
        settings->customHeight = isTrue(scanner.value("customHeight"));
    }
    if (isTrue(scanner.value("hidden")))
        ownSettings().hidden = true;
    const int outline = scanner.value("outlineLevel").toInt();
    if (outline > 0)
        ownSettings().outlineLevel = qMin(outline, int(d.maxOutlineLevel));
    if (isTrue(scanner.value("collapsed")))
        ownSettings().collapsed = true;
    const QByteArray others = customFormat ? KeptXml::rawAttributes(scanner, { "r", "spans", "s", "customFormat", "ht",
                                                                               "customHeight", "hidden", "outlineLevel",
                                                                               "collapsed" })
                                           : KeptXml::rawAttributes(scanner, { "r", "spans", "customFormat", "ht",
                                                                               "customHeight", "hidden", "outlineLevel",
                                                                               "collapsed" });
    if (!others.isEmpty())
        d.rowAttributes.emplace_back(row, keptTextIndex(others));
    if (settings) {
        d.rows.insert(row, settings);
        d.extendDimension(row, d.dimension.firstColumn() == -1 ? 1 : d.dimension.firstColumn());
    }

    if (scanner.isEmptyElement()) {
        scanner.next();
        return true;
    }
    int column = 0;
    return readCellsOfRow(
        scanner, [&](const XmlScanner::SimpleCell &cell) { return readSimpleCell(cell, row, column); },
        [&] { return readCell(scanner, row, column); });
}

// Row attribute texts are interned: a sheet of a million rows has a few.
int SheetDataReader::keptTextIndex(const QByteArray &text)
{
    const auto found = m_keptTextIndexes.constFind(text);
    if (found != m_keptTextIndexes.constEnd())
        return found.value();
    d.keptTexts.append(text);
    m_keptTextIndexes.insert(text, d.keptTexts.size() - 1);
    return d.keptTexts.size() - 1;
}

// The writer finds a row's attributes by binary search: rows that came out
// of order are sorted, the later of two for one row winning.
void SheetDataReader::sortRowAttributes()
{
    auto &attributes = d.rowAttributes;
    if (m_rowsInOrder || attributes.empty())
        return;
    std::stable_sort(attributes.begin(), attributes.end(),
                     [](const std::pair<int, int> &a, const std::pair<int, int> &b) { return a.first < b.first; });
    std::vector<std::pair<int, int>> unique;
    unique.reserve(attributes.size());
    for (const auto &row : attributes) {
        if (!unique.empty() && unique.back().first == row.first)
            unique.back() = row;
        else
            unique.push_back(row);
    }
    attributes.swap(unique);
}

// --- cells

bool SheetDataReader::readPosition(QLatin1String reference, int row, int &column)
{
    if (reference.data()) {
        int cellRow = 0;
        if (!parseCellReference(reference, cellRow, column))
            return d.fail(QStringLiteral("cell %1 lies outside the sheet").arg(shown(reference)));
        if (cellRow != row)
            return d.fail(QStringLiteral("cell %1 lies in row %2").arg(shown(reference)).arg(row));
    } else if (++column > d.maxColumns) {
        return d.fail(QStringLiteral("row %1 has more than %2 cells").arg(row).arg(d.maxColumns));
    }
    return true;
}

bool SheetDataReader::readStyle(QLatin1String style, int row, int column, StoredCell &cell)
{
    if (!style.data())
        return true;
    int xf = 0;
    if (!parseInt(style, xf) || xf < 0 || xf >= qMax(d.styles()->cellFormatCount(), 1))
        return d.fail(QStringLiteral("cell %1 has style %2, which does not exist").arg(CellAddress(row, column).toText(), shown(style)));
    cell.format = quint32(xf) + 2;
    return true;
}

bool SheetDataReader::readSimpleCell(const XmlScanner::SimpleCell &simple, int row, int &column)
{
    StoredCell cell;
    if (!readPosition(simple.reference, row, column) || !readStyle(simple.style, row, column, cell))
        return false;
    cell.column = quint16(column);
    cell.kind = quint8(CellKind::Number);
    CellData data;
    return readValue(row, cell, simple.type.data() ? simple.type : QLatin1String("n"), simple.value, simple.hasValue,
                     data, nullptr);
}

bool SheetDataReader::readCell(XmlScanner &scanner, int row, int &column)
{
    const XmlScanner::Attribute *reference = scanner.find("r");
    const XmlScanner::Attribute *style = scanner.find("s");
    StoredCell cell;
    if (!readPosition(reference ? reference->rawValue : QLatin1String(), row, column)
        || !readStyle(style ? style->rawValue : QLatin1String(), row, column, cell))
        return false;
    cell.column = quint16(column);
    cell.kind = quint8(CellKind::Number);
    const XmlScanner::Attribute *typeAttribute = scanner.find("t");
    const CellType cellType(typeAttribute);
    const QLatin1String type = cellType.text();
    CellData data;
    if (scanner.attributeCount() > (reference != nullptr) + (style != nullptr) + (typeAttribute != nullptr))
        data.attributes = KeptXml::rawAttributes(scanner, { "r", "s", "t" });

    m_value.clear();
    bool hasValue = false;
    std::optional<RichString> inlineText;
    if (!scanner.isEmptyElement()) {
        const int depth = scanner.depth();
        while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
            if (scanner.token() != XmlScanner::StartElement)
                continue;
            if (scanner.is(XmlScanner::Main, "v")) {
                const QLatin1String text = scanner.readElementTextView(m_scratch);
                m_value.append(text.data(), text.size());
                hasValue = true;
            } else if (scanner.is(XmlScanner::Main, "f")) {
                if (!readFormula(scanner, row, column, data))
                    return false;
            } else if (scanner.is(XmlScanner::Main, "is")) {
                inlineText.emplace(readInlineText(scanner));
            } else {
                scanner.skipElement();
            }
        }
    } else {
        scanner.next();
    }
    if (scanner.hasError())
        return false;
    return readValue(row, cell, type, QLatin1String(m_value.constData(), m_value.size()), hasValue, data,
                     inlineText ? &*inlineText : nullptr);
}

bool SheetDataReader::readFormula(XmlScanner &scanner, int row, int column, CellData &data)
{
    const QByteArray kind = scanner.value("t");
    const CellFormula::Kind formulaKind = kind == "array"       ? CellFormula::ArrayFormula
                                          : kind == "shared"    ? CellFormula::SharedFormula
                                          : kind == "dataTable" ? CellFormula::DataTableFormula
                                                                : CellFormula::NormalFormula;
    CellArea range;
    const QByteArray ref = scanner.value("ref");
    if (!ref.isNull()) {
        range = CellArea(QString::fromLatin1(ref));
        if (!range.isValid() || range.firstRow() < 1 || range.firstColumn() < 1 || range.lastRow() > d.maxRows
            || range.lastColumn() > d.maxColumns)
            return d.fail(QStringLiteral("the formula of cell %1 covers %2, which lies outside the sheet")
                              .arg(CellAddress(row, column).toText(), QString::fromLatin1(ref.left(40))));
    }
    const bool always = isTrue(scanner.value("ca"));
    const QByteArray shared = scanner.value("si");
    data.formulaAttributes = KeptXml::rawAttributes(scanner, { "t", "ref", "ca", "si" });
    data.formula = CellFormula(QString::fromUtf8(scanner.readElementText()), formulaKind, range);
    data.formula.setAlwaysCalculate(always);
    if (formulaKind == CellFormula::SharedFormula)
        data.formula.setSharedIndex(shared.toInt());
    data.hasFormula = true;
    return true;
}

RichString SheetDataReader::readInlineText(XmlScanner &scanner)
{
    RichString text;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Main, "t")) {
            text.appendRun(unescapeCellText(QString::fromUtf8(scanner.readElementText())));
        } else if (scanner.is(XmlScanner::Main, "r")) {
            Format format;
            QString run;
            const int runDepth = scanner.depth();
            while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= runDepth) {
                if (scanner.token() != XmlScanner::StartElement)
                    continue;
                if (scanner.is(XmlScanner::Main, "rPr"))
                    FormatReader::readFont(scanner, format);
                else if (scanner.is(XmlScanner::Main, "t"))
                    run += unescapeCellText(QString::fromUtf8(scanner.readElementText()));
                else
                    scanner.skipElement();
            }
            text.appendRun(run, format);
        } else {
            scanner.skipElement();
        }
    }
    return text;
}

// A number as the schema's double reads it (parseNumber); anything else
// fails the load with the cell named.
bool SheetDataReader::readNumber(int row, int column, QLatin1String text, double &number)
{
    if (parseNumber(text, number))
        return true;
    return d.fail(QStringLiteral("cell %1 holds %2, which is no number").arg(CellAddress(row, column).toText(), shown(text)));
}

int SheetDataReader::errorIndex(const QString &text)
{
    const auto found = m_errorIndexes.constFind(text);
    if (found != m_errorIndexes.constEnd())
        return found.value();
    d.errorTexts.append(text);
    m_errorIndexes.insert(text, d.errorTexts.size() - 1);
    return d.errorTexts.size() - 1;
}

// The cell's value by its type, and the cell stored.
bool SheetDataReader::readValue(int row, StoredCell &cell, QLatin1String type, QLatin1String valueText,
                                bool hasValue, CellData &data, const RichString *inlineText)
{
    const int column = cell.column;
    auto where = [row, column] { return CellAddress(row, column).toText(); };
    auto text = [&valueText] { return QByteArray(valueText.data(), valueText.size()); };
    SharedStrings *strings = d.sharedStrings();
    if (type == QLatin1String("s")) {
        int index = -1;
        const quint32 entry = parseInt(valueText, index) ? strings->loadedEntry(index) : SharedStrings::noEntry;
        if (!hasValue || entry == SharedStrings::noEntry)
            return d.fail(QStringLiteral("cell %1 names shared text %2, which the table does not hold").arg(where(), shown(valueText)));
        cell.kind = quint8(CellKind::SharedString);
        cell.flags |= StoredCell::HasValue;
        cell.value.string = strings->addReferenceTo(entry);
    } else if (type == QLatin1String("n")) {
        if (hasValue && !valueText.trimmed().isEmpty()) {
            if (!readNumber(row, column, valueText, cell.value.number))
                return false;
            cell.flags |= StoredCell::HasValue;
        }
    } else if (type == QLatin1String("inlineStr") || (inlineText && type != QLatin1String("str"))) {
        // Kept with the shared texts, as spreadsheet programs keep them.
        cell.kind = quint8(CellKind::SharedString);
        cell.flags |= StoredCell::HasValue;
        cell.value.string = strings->addEntry(inlineText ? *inlineText : RichString());
    } else if (type == QLatin1String("b")) {
        cell.kind = quint8(CellKind::Boolean);
        if (hasValue) {
            cell.flags |= StoredCell::HasValue;
            cell.value.boolean = isTrue(text().trimmed());
        }
    } else if (type == QLatin1String("e")) {
        cell.kind = quint8(CellKind::Error);
        cell.flags |= StoredCell::HasValue;
        cell.value.string = quint32(errorIndex(QString::fromUtf8(text().trimmed())));
    } else if (type == QLatin1String("str")) {
        cell.kind = quint8(CellKind::FormulaString);
        cell.flags |= StoredCell::HasValue;
        data.result = unescapeCellText(QString::fromUtf8(text()));
    } else if (type == QLatin1String("d")) {
        QDate date;
        QTime time;
        if (hasValue && !isoWallClock(text().trimmed(), date, time))
            return d.fail(QStringLiteral("cell %1 holds the date %2, which is no ISO 8601 date").arg(where(), shown(valueText)));
        if (hasValue) {
            cell.flags |= StoredCell::HasValue | StoredCell::IsoDate;
            cell.value.number = date.isNull() ? timeToSerial(time) : wallClockToSerial(date, time, d.workbook->isDate1904());
        }
    } else {
        return d.fail(QStringLiteral("cell %1 is of the unknown type \"%2\"").arg(where(), shown(type)));
    }
    store(row, cell, data);
    return true;
}

// --- storing

// A cell after the last one stored goes straight into the table; any other
// waits for the end of the part.
void SheetDataReader::store(int row, StoredCell cell, CellData &data)
{
    if (data.hasFormula)
        cell.flags |= StoredCell::HasFormula;
    if (!data.attributes.isEmpty())
        cell.flags |= StoredCell::HasKeptAttributes;
    const int column = cell.column;
    if (row > m_lastRow || (row == m_lastRow && column > m_lastColumn)) {
        m_lastRow = row;
        m_lastColumn = column;
        storeData(row, cell, data);
        d.cells.store(row, cell);
        d.extendDimension(row, column);
        return;
    }
    const bool hasData = data.hasFormula || !data.attributes.isEmpty() || !data.formulaAttributes.isEmpty()
        || !data.result.isEmpty();
    if (hasData)
        m_waitingData.push_back(std::move(data));
    m_waiting.push_back({ row, cell, hasData ? int(m_waitingData.size()) - 1 : -1 });
}

// What the cell carries goes beside the table, under its position.
void SheetDataReader::storeData(int row, StoredCell &cell, CellData &data)
{
    const quint64 key = WorksheetPrivate::formulaKey(row, cell.column);
    if (data.hasFormula) {
        if (data.formula.kind() == CellFormula::SharedFormula && !data.formula.text().isEmpty())
            d.sharedFormulaMasters.insert(data.formula.sharedIndex(), key);
        d.formulas.insert(key, data.formula);
        if (!data.formulaAttributes.isEmpty())
            d.formulaAttributes.insert(key, data.formulaAttributes);
    }
    if (!data.attributes.isEmpty())
        d.cellAttributes.insert(key, data.attributes);
    if (CellKind(cell.kind) == CellKind::FormulaString)
        d.formulaResults.insert(key, data.result);
}

// A stored cell that a later one at its position replaces: its text
// reference given back, what it carried dropped. A shared formula whose
// master goes keeps its text for the cells that share it.
void SheetDataReader::releaseReplaced(int row, const StoredCell &cell)
{
    const quint64 key = WorksheetPrivate::formulaKey(row, cell.column);
    if (CellKind(cell.kind) == CellKind::SharedString)
        d.sharedStrings()->releaseEntry(cell.value.string);
    if (cell.flags & StoredCell::HasFormula) {
        const CellFormula formula = d.formulas.take(key);
        if (formula.kind() == CellFormula::SharedFormula && d.sharedFormulaMasters.value(formula.sharedIndex()) == key) {
            d.sharedFormulaMasters.remove(formula.sharedIndex());
            m_replacedMasters.insert(formula.sharedIndex(), { key, formula.text() });
        }
        d.formulaAttributes.remove(key);
    }
    d.cellAttributes.remove(key);
    d.formulaResults.remove(key);
}

// A waiting cell that a later one at its position replaces, before it was
// stored: its text reference given back; a shared formula it was the
// master of keeps its text for the cells that share it.
void SheetDataReader::forget(const WaitingCell &waiting)
{
    if (CellKind(waiting.cell.kind) == CellKind::SharedString)
        d.sharedStrings()->releaseEntry(waiting.cell.value.string);
    if (waiting.data < 0)
        return;
    const CellFormula &formula = m_waitingData[size_t(waiting.data)].formula;
    if (formula.kind() == CellFormula::SharedFormula && !formula.text().isEmpty())
        m_replacedMasters.insert(formula.sharedIndex(), { WorksheetPrivate::formulaKey(waiting.row, waiting.cell.column), formula.text() });
}

// The waiting cells, sorted by position (file order among equals), merged
// with the table into a new one; at one position the last read wins.
void SheetDataReader::placeWaitingCells()
{
    if (m_waiting.empty())
        return;
    std::stable_sort(m_waiting.begin(), m_waiting.end(), [](const WaitingCell &a, const WaitingCell &b) {
        return a.row < b.row || (a.row == b.row && a.cell.column < b.cell.column);
    });
    CellTable merged;
    size_t next = 0;
    // The waiting cells of rows before limit, or of row limit before column
    // limitColumn (a stored cell there is replaced).
    auto placeWaiting = [&](int limitRow, int limitColumn, const StoredCell *stored) {
        while (next < m_waiting.size()
               && (m_waiting[next].row < limitRow
                   || (m_waiting[next].row == limitRow && m_waiting[next].cell.column <= limitColumn))) {
            WaitingCell &waiting = m_waiting[next++];
            const bool laterAtSamePlace = next < m_waiting.size() && m_waiting[next].row == waiting.row
                && m_waiting[next].cell.column == waiting.cell.column;
            if (laterAtSamePlace) {
                forget(waiting);
                continue;
            }
            if (stored && waiting.row == limitRow && waiting.cell.column == limitColumn) {
                releaseReplaced(waiting.row, *stored);
                stored = nullptr;
            }
            if (waiting.data >= 0)
                storeData(waiting.row, waiting.cell, m_waitingData[size_t(waiting.data)]);
            merged.store(waiting.row, waiting.cell);
            d.extendDimension(waiting.row, waiting.cell.column);
        }
        return stored;
    };
    d.cells.forEachRow(1, [&](int row, const CellTable::Row &cells) {
        for (const StoredCell &cell : cells) {
            if (placeWaiting(row, cell.column, &cell))
                merged.store(row, cell);
        }
    });
    placeWaiting(d.maxRows + 1, 0, nullptr);
    d.cells = std::move(merged);

    // Cells that shared a formula whose master was replaced take its text as their own.
    if (m_replacedMasters.isEmpty())
        return;
    for (auto it = d.formulas.begin(); it != d.formulas.end(); ++it) {
        const auto master = m_replacedMasters.constFind(it->sharedIndex());
        if (it->kind() != CellFormula::SharedFormula || !it->text().isEmpty() || master == m_replacedMasters.constEnd()
            || d.sharedFormulaMasters.contains(it->sharedIndex()))
            continue;
        const int rows = WorksheetPrivate::rowOfKey(it.key()) - WorksheetPrivate::rowOfKey(master->key);
        const int columns = WorksheetPrivate::columnOfKey(it.key()) - WorksheetPrivate::columnOfKey(master->key);
        CellFormula own(FormulaRewriter::shift(master->text, rows, columns));
        own.setAlwaysCalculate(it->alwaysCalculate());
        *it = own;
    }
}

} // namespace Spreadsheet
