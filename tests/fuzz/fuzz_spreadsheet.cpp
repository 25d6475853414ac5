// A byte stream decoded into writes (values of every kind, formats, column and
// row settings, merges), sheet operations (add, copy, delete) and shared-string
// calls, then a save: every part of the package must be well-formed XML, the
// shared-string table must hold as many entries as it says, and every sheet's
// shared-string and style indexes must point at existing entries. Cells taken
// out along the way must stay readable after their sheets are gone.
#include "spreadsheet/partnames_p.h"
#include "spreadsheet/sharedstrings.h"
#include "spreadsheet/spreadsheet.h"

#include <QBuffer>
#include <QSet>
#include <cstdio>
#include <QXmlStreamReader>

#include <fuzzer/FuzzedDataProvider.h>
#include <private/qzipreader_p.h>

using namespace Spreadsheet;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

QString text(FuzzedDataProvider &input)
{
    const std::string bytes = input.ConsumeRandomLengthString(64);
    if (input.ConsumeBool())
        return QString::fromUtf8(bytes.data(), int(bytes.size()));
    // Raw UTF-16, lone surrogates included.
    QString raw;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        raw.append(QChar(ushort(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8)));
    return raw;
}

QColor color(FuzzedDataProvider &input)
{
    return input.ConsumeBool() ? QColor() : QColor::fromRgba(input.ConsumeIntegral<uint32_t>());
}

Format format(FuzzedDataProvider &input)
{
    Format format;
    const int changes = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < changes; ++i) {
        switch (input.ConsumeIntegralInRange(0, 17)) {
        case 0: format.setFontBold(input.ConsumeBool()); break;
        case 1: format.setFontItalic(input.ConsumeBool()); break;
        case 2: format.setFontSize(input.ConsumeIntegralInRange(-5, 400)); break;
        case 3: format.setFontColor(color(input)); break;
        case 4: format.setFontName(text(input)); break;
        case 5: format.setFontUnderline(Format::FontUnderline(input.ConsumeIntegralInRange(0, 4))); break;
        case 6: format.setFontScript(Format::FontScript(input.ConsumeIntegralInRange(0, 2))); break;
        case 7: format.setNumberFormatCode(text(input)); break;
        case 8: format.setNumberFormatId(input.ConsumeIntegralInRange(-2, 300)); break;
        case 9: format.setHorizontalAlignment(Format::HorizontalAlignment(input.ConsumeIntegralInRange(0, 7))); break;
        case 10: format.setVerticalAlignment(Format::VerticalAlignment(input.ConsumeIntegralInRange(0, 4))); break;
        case 11: format.setIndent(input.ConsumeIntegralInRange(0, 20)); break;
        case 12: format.setTextWrap(input.ConsumeBool()); break;
        case 13: format.setShrinkToFit(input.ConsumeBool()); break;
        case 14: format.setBorderStyle(Format::BorderStyle(input.ConsumeIntegralInRange(0, 13))); break;
        case 15: format.setBorderColor(color(input)); break;
        case 16: format.setFillPattern(Format::FillPattern(input.ConsumeIntegralInRange(0, 18))); break;
        case 17: format.setPatternBackgroundColor(color(input)); break;
        }
    }
    return format;
}

QVariant value(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0: return text(input);
    case 1: return input.ConsumeFloatingPoint<double>();
    case 2: return input.ConsumeIntegral<int>();
    case 3: return input.ConsumeBool();
    case 4: return QDateTime::fromMSecsSinceEpoch(input.ConsumeIntegralInRange<qint64>(-1e13, 1e14));
    case 5: return QStringLiteral("=") + text(input);
    case 6: return QStringLiteral("mailto:") + text(input);
    case 7: return QStringLiteral("http://") + text(input);
    case 8: return QTime(input.ConsumeIntegralInRange(0, 23), input.ConsumeIntegralInRange(0, 59));
    default: {
        RichString rich;
        const int runs = input.ConsumeIntegralInRange(1, 3);
        for (int run = 0; run < runs; ++run)
            rich.appendRun(text(input), format(input));
        return QVariant::fromValue(rich);
    }
    }
}

int position(FuzzedDataProvider &input, int limit)
{
    // Mostly small positions, sometimes the edges of the sheet and beyond.
    return input.ConsumeBool() ? input.ConsumeIntegralInRange(-1, 40) : input.ConsumeIntegralInRange(-1, limit + 1);
}

int intAttribute(const QXmlStreamReader &reader, const char *name)
{
    return reader.attributes().value(QLatin1String(name)).toInt();
}

// Every entry parses, the table's entries are as many as it says, and the
// sheets' indexes point at existing entries.
void checkPackage(const QByteArray &package)
{
    QBuffer buffer;
    buffer.setData(package);
    buffer.open(QIODevice::ReadOnly);
    QZipReader zip(&buffer);
    check(zip.status() == QZipReader::NoError);
    int uniqueStrings = 0;
    int stringEntries = 0;
    int cellFormats = -1;
    QStringList sheets;
    QSet<QString> entries;
    for (const QZipReader::FileInfo &info : zip.fileInfoList())
        entries.insert(info.filePath);
    for (const QZipReader::FileInfo &info : zip.fileInfoList()) {
        if (info.filePath.startsWith(QLatin1String("xl/worksheets/sheet")))
            sheets << info.filePath;
        if (info.filePath.startsWith(QLatin1String("xl/media/")))
            continue;
        const bool relationships = info.filePath.endsWith(QLatin1String(".rels"));
        const QString source = QString(info.filePath).remove(QStringLiteral("_rels/")).chopped(5);
        QXmlStreamReader reader(zip.fileData(info.filePath));
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.tokenType() != QXmlStreamReader::StartElement)
                continue;
            if (reader.name() == QLatin1String("sst"))
                uniqueStrings = intAttribute(reader, "uniqueCount");
            if (reader.name() == QLatin1String("si"))
                ++stringEntries;
            if (reader.name() == QLatin1String("cellXfs"))
                cellFormats = intAttribute(reader, "count");
            // Every relationship inside the package points at a part it holds.
            if (relationships && reader.name() == QLatin1String("Relationship")
                && reader.attributes().value(QLatin1String("TargetMode")).isEmpty()) {
                const QString target = reader.attributes().value(QLatin1String("Target")).toString();
                const QString part = PartNames::resolve(info.filePath == QLatin1String("_rels/.rels") ? QString() : source, target);
                if (!entries.contains(part)) {
                    fprintf(stderr, "%s points at %s, which is missing\n", qPrintable(info.filePath), qPrintable(part));
                    __builtin_trap();
                }
            }
        }
        if (reader.hasError()) {
            fprintf(stderr, "%s: %s\n", qPrintable(info.filePath), qPrintable(reader.errorString()));
            fprintf(stderr, "%s\n", zip.fileData(info.filePath).left(3000).constData());
            __builtin_trap();
        }
    }
    check(stringEntries == uniqueStrings);
    for (const QString &name : sheets) {
        QXmlStreamReader sheet(zip.fileData(name));
        while (!sheet.atEnd()) {
            if (sheet.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = sheet.attributes();
            if (attributes.hasAttribute(QLatin1String("s"))) {
                const int style = attributes.value(QLatin1String("s")).toInt();
                check(style >= 0 && style < cellFormats);
            }
            if (sheet.name() == QLatin1String("c") && attributes.value(QLatin1String("t")) == QLatin1String("s")) {
                sheet.readNextStartElement();
                const int index = sheet.readElementText().toInt();
                check(index >= 0 && index < uniqueStrings);
            }
        }
    }
}

// Sheet operations and the shared-string table's own calls.
void sheetOperation(FuzzedDataProvider &input, Document &document, QList<QSharedPointer<SheetCell>> &taken)
{
    const QStringList names = document.sheetNames();
    const QString some = names.value(input.ConsumeIntegralInRange(0, names.size()));
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0: document.addSheet(input.ConsumeBool() ? QString() : text(input)); break;
    case 1: document.selectSheet(some); break;
    case 2: document.copySheet(some); break;
    case 3: document.deleteSheet(some); break;
    case 4: document.workbook()->sharedStrings()->addString(text(input)); break;
    case 5: document.workbook()->sharedStrings()->removeString(text(input)); break;
    case 6: document.addChartsheet(input.ConsumeBool() ? QString() : text(input)); break;
    default:
        if (QSharedPointer<SheetCell> cell = document.cellAt(position(input, 40), position(input, 40)))
            taken.append(cell);
        break;
    }
}

// A picture whose first bytes say PNG, JPEG, GIF or BMP and whose header is
// the input's, placed anyhow.
void insertPicture(FuzzedDataProvider &input, Worksheet *sheet, int row, int column)
{
    static const char *const signatures[] = { "\x89PNG\r\n\x1a\n", "\xff\xd8\xff", "GIF89a", "BM" };
    QByteArray bytes(signatures[input.ConsumeIntegralInRange(0, 3)]);
    bytes += QByteArray::fromStdString(input.ConsumeRandomLengthString(64));
    ImagePlacement placement;
    placement.anchor = DrawingAnchor::Kind(input.ConsumeIntegralInRange(0, 2));
    placement.offset = QPoint(input.ConsumeIntegral<int>(), input.ConsumeIntegralInRange(-100, 100));
    placement.xScale = input.ConsumeFloatingPoint<double>();
    if (input.ConsumeBool())
        placement.size = QSize(input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>());
    placement.description = text(input);
    sheet->insertImage(row, column, bytes, placement);
}

void insertChart(FuzzedDataProvider &input, Document &document, Worksheet *sheet, int row, int column)
{
    Chart *chart = input.ConsumeBool()
        ? sheet->insertChart(row, column, QSize(input.ConsumeIntegral<int>(), input.ConsumeIntegralInRange(-5, 5000)))
        : (document.addChartsheet() ? static_cast<Chartsheet *>(document.activeSheet())->chart() : nullptr);
    if (!chart)
        return;
    chart->setType(Chart::Type(input.ConsumeIntegralInRange(0, 8)));
    chart->setGrouping(Chart::Grouping(input.ConsumeIntegralInRange(0, 2)));
    chart->setTitle(text(input));
    chart->setAxisRange(Chart::Axis(input.ConsumeIntegralInRange(0, 1)), input.ConsumeFloatingPoint<double>(),
                        input.ConsumeFloatingPoint<double>());
    chart->setAxisNumberFormat(Chart::ValueAxis, text(input));
    chart->setLegendPosition(Chart::LegendPosition(input.ConsumeIntegralInRange(0, 4)));
    ChartSeries series;
    series.values = input.ConsumeBool() ? text(input)
                                        : ChartSeries::reference(text(input), CellArea(row, column, row + 3, column));
    series.name = text(input);
    series.marker = ChartSeries::Marker(input.ConsumeIntegralInRange(0, 10));
    series.color = color(input);
    chart->addSeries(series);
}

CellArea area(FuzzedDataProvider &input, int row, int column)
{
    return CellArea(row, column, row + input.ConsumeIntegralInRange(-1, 30), column + input.ConsumeIntegralInRange(-1, 5));
}

// Conditional formats, validation, notes and the sheet's view, anyhow.
void addRules(FuzzedDataProvider &input, Worksheet *sheet, int row, int column)
{
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        ConditionalFormatRule rule;
        rule.type = ConditionalFormatRule::Type(input.ConsumeIntegralInRange(0, 19));
        rule.op = ConditionalFormatRule::Operator(input.ConsumeIntegralInRange(0, 7));
        for (int i = input.ConsumeIntegralInRange(0, 2); i > 0; --i)
            rule.formulas << text(input);
        rule.text = text(input);
        rule.rank = input.ConsumeIntegralInRange(-1, 1001);
        rule.period = ConditionalFormatRule::Period(input.ConsumeIntegralInRange(0, 9));
        rule.icons = ConditionalFormatRule::Icons(input.ConsumeIntegralInRange(0, 16));
        for (int i = input.ConsumeIntegralInRange(0, 5); i > 0; --i)
            rule.thresholds.append({ ConditionalThreshold::Kind(input.ConsumeIntegralInRange(0, 5)), text(input), color(input) });
        rule.priority = input.ConsumeIntegralInRange(-1, 3);
        rule.format = format(input);
        sheet->addConditionalFormatting({ { area(input, row, column) }, { rule } });
        break;
    }
    case 1: {
        DataValidation validation;
        validation.type = DataValidation::Type(input.ConsumeIntegralInRange(0, 7));
        validation.op = DataValidation::Operator(input.ConsumeIntegralInRange(0, 7));
        validation.formula1 = text(input);
        validation.formula2 = text(input);
        validation.inputMessage = text(input);
        validation.ranges << area(input, row, column);
        sheet->addDataValidation(validation);
        break;
    }
    case 2:
        if (input.ConsumeBool())
            sheet->writeNote(row, column, text(input), text(input), input.ConsumeBool());
        else
            sheet->removeNote(row, column);
        break;
    default:
        sheet->setFrozenPanes(input.ConsumeIntegralInRange(-1, 5), input.ConsumeIntegralInRange(-1, 5));
        sheet->setAutoFilter(area(input, row, column));
        sheet->setPrintArea(area(input, row, column));
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QList<QSharedPointer<SheetCell>> taken;
    {
        Document document;
        document.workbook()->setStringsToHyperlinksEnabled(input.ConsumeProbability<float>() < 0.8f);
        document.workbook()->setDate1904(input.ConsumeProbability<float>() < 0.2f);
        while (input.remaining_bytes() > 0) {
            Worksheet *sheet = document.activeWorksheet();
            if (!sheet) {   // a chart sheet is active: the first worksheet, or a new one
                Workbook *book = document.workbook();
                for (int i = 0; i < book->sheetCount() && !document.activeWorksheet(); ++i)
                    book->setActiveSheet(i);
                if (!document.activeWorksheet())
                    document.addSheet();
                continue;
            }
            const int row = position(input, 1048576);
            const int column = position(input, 16384);
            switch (input.ConsumeIntegralInRange(0, 13)) {
            case 0:
            case 1:
            case 2:
                sheet->writeValue(row, column, value(input), format(input));
                break;
            case 3: sheet->setColumnWidth(column, position(input, 16384), input.ConsumeFloatingPointInRange(0.0, 300.0)); break;
            case 4: sheet->setColumnFormat(column, position(input, 16384), format(input)); break;
            case 5: sheet->setColumnHidden(column, position(input, 16384), input.ConsumeBool()); break;
            case 6: sheet->setRowHeight(row, row + input.ConsumeIntegralInRange(0, 5), input.ConsumeFloatingPointInRange(0.0, 400.0)); break;
            case 7: sheet->setRowFormat(row, row + input.ConsumeIntegralInRange(0, 5), format(input)); break;
            case 8: sheet->setRowHidden(row, row, input.ConsumeBool()); break;
            case 9:
                sheet->mergeCells(CellArea(row, column, row + input.ConsumeIntegralInRange(0, 3),
                                           column + input.ConsumeIntegralInRange(0, 3)), format(input));
                break;
            case 10: sheetOperation(input, document, taken); break;
            case 11: insertPicture(input, sheet, row, column); break;
            case 12: insertChart(input, document, sheet, row, column); break;
            case 13: addRules(input, sheet, row, column); break;
            }
        }
        QBuffer package;
        package.open(QIODevice::WriteOnly);
        check(document.saveToDevice(&package));
        checkPackage(package.data());
    }
    for (const QSharedPointer<SheetCell> &cell : qAsConst(taken))
        cell->dateTime();
    return 0;
}
