#include "exportfile.h"
#include "xmlinput.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QLoggingCategory>

namespace {

// Qt's DOM parser descends recursively, so a file nested deeper than this is
// refused before it can exhaust the stack. Real exports nest six levels.
constexpr int maximumElementDepth = 1000;

const QString sampleSeparator = QStringLiteral("-------------------------------------");
const QString lineSeparator = QStringLiteral("\r\n");

QString childText(const QDomElement &parent, const QString &name)
{
    return parent.firstChildElement(name).text();
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

QString tracedChild(const QDomElement &parent, const QString &name, const char *label)
{
    return traced(label, childText(parent, name));
}

// A flag is set only by a single asterisk.
// One result's texts stay on one line, so that line k of every multi-line
// field still belongs to result k.
QString singleLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const QChar lineBreak : { QChar(u'\r'), QChar(u'\n'), QChar(u'\v'), QChar(u'\f'), QChar(0x85),
                                   QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator) })
        text.replace(lineBreak, QLatin1Char(' '));
    return text;
}

bool isFlagSet(const QDomElement &result, const QString &name)
{
    return childText(result, name) == QLatin1String("*");
}

InstrumentInfo readInstrument(const QDomDocument &document)
{
    const QDomElement block = document.elementsByTagName(QStringLiteral("instrument")).item(0).toElement();
    InstrumentInfo info;
    qDebug().noquote() << sampleSeparator;
    info.name = tracedChild(block, QStringLiteral("iname"), "iname: ");
    info.id = tracedChild(block, QStringLiteral("iid"), "iid: ");
    info.series = tracedChild(block, QStringLiteral("series"), "series: ");
    info.serialNumber = tracedChild(block, QStringLiteral("SN"), "-SN: ");
    info.firmware = tracedChild(block, QStringLiteral("FW"), "-FW: ");
    info.readingUnitSerialNumber = tracedChild(block, QStringLiteral("ruSN"), "-ruSN: ");
    info.readingUnitFirmware = tracedChild(block, QStringLiteral("ruFW"), "-ruFW: ");
    info.laboratory = tracedChild(block, QStringLiteral("labName"), "-labName: ");
    info.companyName = tracedChild(block, QStringLiteral("companyName"), "-companyName: ");
    info.companyAddress = tracedChild(block, QStringLiteral("companyAddr"), "-companyAddr: ");
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
    texts.year = tracedChild(timestamp, QStringLiteral("year"), "-year: ");
    texts.month = tracedChild(timestamp, QStringLiteral("month"), "-month: ");
    texts.day = tracedChild(timestamp, QStringLiteral("date"), "-date: ");
    texts.hours = tracedChild(timestamp, QStringLiteral("hours"), "-hours: ");
    texts.minutes = tracedChild(timestamp, QStringLiteral("minutes"), "-minutes: ");
    tracedChild(timestamp, QStringLiteral("seconds"), "-seconds: ");
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
    tracedChild(result, QStringLiteral("resultID"), "---resultID: ");
    QString value = singleLine(tracedChild(result, QStringLiteral("value"), "---value: "));
    const QString um = singleLine(tracedChild(result, QStringLiteral("UM"), "---UM: "));
    const QString k = singleLine(tracedChild(result, QStringLiteral("K"), "---K: "));
    traced("---K0: ", childText(result, QStringLiteral("K0")));
    traced("---K1: ", childText(result, QStringLiteral("K1")));
    traced("---K2: ", childText(result, QStringLiteral("K2")));
    traced("---K3: ", childText(result, QStringLiteral("K3")));
    const QString q = singleLine(tracedChild(result, QStringLiteral("Q"), "---Q: "));
    tracedChild(result, QStringLiteral("flag_INFMIN"), "---flag_INFMIN: ");
    tracedChild(result, QStringLiteral("flag_BLK_KO"), "---flag_BLK_KO: ");

    QStringList notes;
    QStringList symbols;
    if (isFlagSet(result, QStringLiteral("flag_SUPMAX")) || isFlagSet(result, QStringLiteral("flag_MAXDELTA"))) {
        notes << QCoreApplication::translate("MainWindow", "value out of range");
        symbols << QStringLiteral("*");
        file.flagKindUsed[FlagLegend::ValueOutOfRange] = true;
    }
    if (isFlagSet(result, QStringLiteral("flag_ABS_KO"))) {
        notes << QCoreApplication::translate("MainWindow", "ABS out of bounds");
        symbols << QStringLiteral("#");
        file.flagKindUsed[FlagLegend::AbsOutOfBounds] = true;
    }
    if (isFlagSet(result, QStringLiteral("flag_BLK_KO"))) {
        notes << QCoreApplication::translate("MainWindow", "blank KO ");
        symbols << QStringLiteral("@");
        file.flagKindUsed[FlagLegend::BlankKo] = true;
    }
    if (isFlagSet(result, QStringLiteral("flag_INFMIN")))
        value.prepend(QStringLiteral("< "));
    if (isFlagSet(result, QStringLiteral("flag_SUPMAX")))
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
    tracedChild(record, QStringLiteral("recordID"), "recordID: ");
    const TimestampTexts timestamp = readTimestampTexts(values.timestamp);
    traced("-matrix: ", values.matrix);
    traced("-analysis: ", values.analysis);

    SampleRow row;
    tracedChild(sample, QStringLiteral("sampleID"), "--sampleID: ");
    row.sampleName = tracedChild(sample, QStringLiteral("code"), "--code: ");
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
    values.analysis = childText(record, QStringLiteral("analysis"));
    values.matrix = childText(record, QStringLiteral("matrix"));
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

// Qt's DOM parser, without namespace processing, takes what the instrument and
// other programs write (undeclared prefixes, control characters, undeclared
// entities, XML 1.1). It reads no external entity (it is given no resolver)
// and refuses an entity that expands beyond 4096 characters; the nesting is
// bounded here.
std::optional<QDomDocument> parseExportDocument(const QByteArray &data)
{
    const QString text = XmlInput::decode(data);
    if (XmlInput::elementDepth(text, maximumElementDepth) > maximumElementDepth)
        return std::nullopt;
    QDomDocument document;
    if (!document.setContent(text, false))
        return std::nullopt;
    return document;
}

std::optional<ExportFile> readExportData(const QByteArray &data)
{
    const std::optional<QDomDocument> document = parseExportDocument(data);
    if (!document)
        return std::nullopt;
    return readDocument(*document);
}

std::optional<ExportFile> readExportFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readExportData(file.readAll());
}
