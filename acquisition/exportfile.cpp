#include "exportfile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDomDocument>
#include <QFile>
#include <QLoggingCategory>
#include <QXmlStreamReader>

namespace {

const QString sampleSeparator = QStringLiteral("-------------------------------------");
const QString lineSeparator = QStringLiteral("\r\n");

QString childText(const QDomElement &parent, const char *name)
{
    return parent.firstChildElement(QLatin1String(name)).text();
}

// The trace is long (some thirty lines per sample), so it is not even
// formatted while debug output is switched off.
bool tracing()
{
    return QLoggingCategory::defaultCategory()->isDebugEnabled();
}

QString traced(const char *label, const QString &value)
{
    if (tracing())
        qDebug().noquote().nospace() << label << value;
    return value;
}

QString tracedChild(const QDomElement &parent, const char *name, const char *label)
{
    return traced(label, childText(parent, name));
}

// A flag is set only by a single asterisk.
bool isFlagSet(const QDomElement &result, const char *name)
{
    return childText(result, name) == QLatin1String("*");
}

InstrumentInfo readInstrument(const QDomDocument &document)
{
    const QDomElement block = document.elementsByTagName(QStringLiteral("instrument")).item(0).toElement();
    InstrumentInfo info;
    qDebug().noquote() << sampleSeparator;
    info.name = tracedChild(block, "iname", "iname: ");
    info.id = tracedChild(block, "iid", "iid: ");
    info.series = tracedChild(block, "series", "series: ");
    info.serialNumber = tracedChild(block, "SN", "-SN: ");
    info.firmware = tracedChild(block, "FW", "-FW: ");
    info.readingUnitSerialNumber = tracedChild(block, "ruSN", "-ruSN: ");
    info.readingUnitFirmware = tracedChild(block, "ruFW", "-ruFW: ");
    info.laboratory = tracedChild(block, "labName", "-labName: ");
    info.companyName = tracedChild(block, "companyName", "-companyName: ");
    info.companyAddress = tracedChild(block, "companyAddr", "-companyAddr: ");
    return info;
}

struct RecordValues
{
    QDomElement timestamp;
    QString matrix;
    QString analysis;
};

struct TimestampTexts
{
    QString year, month, day, hours, minutes;
};

TimestampTexts readTimestampTexts(const QDomElement &timestamp)
{
    TimestampTexts texts;
    texts.year = tracedChild(timestamp, "year", "-year: ");
    texts.month = tracedChild(timestamp, "month", "-month: ");
    texts.day = tracedChild(timestamp, "date", "-date: ");
    texts.hours = tracedChild(timestamp, "hours", "-hours: ");
    texts.minutes = tracedChild(timestamp, "minutes", "-minutes: ");
    tracedChild(timestamp, "seconds", "-seconds: ");
    return texts;
}

// day-month-year hours:minutes, the minutes as a number written with at
// least two digits (a text that is no number counts as 0).
QDateTime toDateTime(const TimestampTexts &texts)
{
    const int minutes = texts.minutes.toInt(nullptr, 10);
    const QString text = texts.day + QLatin1Char('-') + texts.month + QLatin1Char('-') + texts.year
        + QLatin1Char(' ') + texts.hours + QLatin1Char(':')
        + QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'));
    return QDateTime::fromString(text, QStringLiteral("d-M-yyyy h:m"));
}

void appendLine(QString &field, const QString &line, bool first)
{
    if (!first)
        field += lineSeparator;
    field += line;
}

void readResult(const QDomElement &result, bool first, SampleRow &row, ExportFile &file)
{
    tracedChild(result, "resultID", "---resultID: ");
    QString value = tracedChild(result, "value", "---value: ");
    const QString um = tracedChild(result, "UM", "---UM: ");
    const QString k = tracedChild(result, "K", "---K: ");
    for (const char *name : { "K0", "K1", "K2", "K3" })
        traced((QByteArray("---") + name + ": ").constData(), childText(result, name));
    const QString q = tracedChild(result, "Q", "---Q: ");
    tracedChild(result, "flag_INFMIN", "---flag_INFMIN: ");
    tracedChild(result, "flag_BLK_KO", "---flag_BLK_KO: ");

    QStringList notes;
    QStringList symbols;
    if (isFlagSet(result, "flag_SUPMAX") || isFlagSet(result, "flag_MAXDELTA")) {
        notes << QCoreApplication::translate("MainWindow", "value out of range");
        symbols << QStringLiteral("*");
        file.flagKindUsed[FlagLegend::ValueOutOfRange] = true;
    }
    if (isFlagSet(result, "flag_ABS_KO")) {
        notes << QCoreApplication::translate("MainWindow", "ABS out of bounds");
        symbols << QStringLiteral("#");
        file.flagKindUsed[FlagLegend::AbsOutOfBounds] = true;
    }
    if (isFlagSet(result, "flag_BLK_KO")) {
        notes << QCoreApplication::translate("MainWindow", "blank KO ");
        symbols << QStringLiteral("@");
        file.flagKindUsed[FlagLegend::BlankKo] = true;
    }
    if (isFlagSet(result, "flag_INFMIN"))
        value.prepend(QStringLiteral("< "));
    if (isFlagSet(result, "flag_SUPMAX"))
        value.prepend(QStringLiteral("> "));

    appendLine(row.resultLines, value, first);
    appendLine(row.umLines, um, first);
    appendLine(row.kLines, k, first);
    appendLine(row.qLines, q, first);
    appendLine(row.noteLines, notes.join(QStringLiteral(", ")), first);
    appendLine(row.symbolLines, symbols.join(QLatin1Char(' ')), first);
}

void readSample(const QDomElement &sample, const QDomElement &record, const RecordValues &values,
                ExportFile &file)
{
    if (tracing())
        qDebug().noquote() << sampleSeparator;
    tracedChild(record, "recordID", "recordID: ");
    const TimestampTexts timestamp = readTimestampTexts(values.timestamp);
    traced("-matrix: ", values.matrix);
    traced("-analysis: ", values.analysis);

    SampleRow row;
    tracedChild(sample, "sampleID", "--sampleID: ");
    row.sampleName = tracedChild(sample, "code", "--code: ");
    row.timestamp = toDateTime(timestamp);
    row.matrix = values.matrix;
    row.analysis = values.analysis;

    const QDomNodeList results = sample.elementsByTagName(QStringLiteral("result"));
    for (int k = 0; k < results.size(); ++k)
        readResult(results.item(k).toElement(), k == 0, row, file);

    row.rowId = file.rows.size();
    if (tracing())
        qDebug().noquote().nospace() << "--------------------------------------------------------> row_counter: " << row.rowId;
    file.rows.append(row);
}

void readRecord(const QDomElement &record, ExportFile &file)
{
    RecordValues values;
    values.timestamp = record.elementsByTagName(QStringLiteral("timestamp")).item(0).toElement();
    values.analysis = childText(record, "analysis");
    values.matrix = childText(record, "matrix");
    if (!file.matrices.contains(values.matrix))
        file.matrices.append(values.matrix);

    const QDomNodeList samples = record.elementsByTagName(QStringLiteral("sample"));
    for (int i = 0; i < samples.size(); ++i)
        readSample(samples.item(i).toElement(), record, values, file);
}

ExportFile readDocument(const QDomDocument &document)
{
    ExportFile file;
    file.instrument = readInstrument(document);
    const QDomNodeList records = document.elementsByTagName(QStringLiteral("record"));
    for (int i = 0; i < records.size(); ++i)
        readRecord(records.item(i).toElement(), file);
    return file;
}

} // namespace

// The stream reader expands no external entity and bounds internal entity
// expansion, so a hostile file can neither reach local files nor exhaust memory.
std::optional<ExportFile> readExportData(const QByteArray &data)
{
    QXmlStreamReader reader(data);
    QDomDocument document;
    if (!document.setContent(&reader, false))
        return std::nullopt;
    return readDocument(document);
}

std::optional<ExportFile> readExportFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readExportData(file.readAll());
}
