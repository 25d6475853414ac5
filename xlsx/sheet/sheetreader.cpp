#include "sheetreader.h"

#include "cellparsing_p.h"
#include "namespaces.h"
#include "packagereader_p.h"
#include "sharedstrings.h"
#include "styles.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QFile>

#include <cstring>
#include <new>

namespace Spreadsheet {

using namespace CellParsing;

class SheetReaderPrivate
{
public:
    bool fail(const QString &message);
    bool open(QIODevice *device, const QString &sheetName);
    bool readRow();
    // Runs a step of reading; memory running out fails it as any error does.
    template <typename Step>
    bool guarded(Step step);
    bool readWorkbook(const QString &part, QString &sheetPart, const QString &sheetName);
    bool readCell(QVector<QVariant> &row);
    bool readSimpleCell(const XmlScanner::SimpleCell &cell, QVector<QVariant> &row);
    bool readPosition(QLatin1String reference);
    bool readStyle(QLatin1String style, int &xf);
    bool keep(QVector<QVariant> &row, const QVariant &value);
    bool forget(QVector<QVariant> &row);
    QVariant value(QLatin1String type, QLatin1String text, int xf, const QString &inlineText, bool &ok);
    QString where() const;
    QString sharedText(int index);
    QDateTime dateTimeOf(double serial);

    ReadLimits limits;
    QFile file;
    std::unique_ptr<PackageReader> package;
    SharedStrings strings{ SharedStrings::LoadExisting };
    QVector<QString> texts;      // the shared strings as texts, made once each
    QVector<bool> dateFormats;   // by cell format
    bool date1904 = false;
    // The date-times of serial numbers met, by their bits: a local date-time
    // asks the system's time zone, and a column of dates repeats its days.
    QHash<quint64, QDateTime> dateTimes;
    QStringList sheetNames;
    std::unique_ptr<QIODevice> sheet;
    std::unique_ptr<XmlScanner> scanner;
    int rowNumber = 0;
    int column = 0;
    QVector<QVariant> values;
    QString error;
    QString sheetPart;
    QByteArray scratch;
    QByteArray valueBytes;
};

bool SheetReaderPrivate::fail(const QString &message)
{
    if (error.isEmpty())
        error = message;
    return false;
}

template <typename Step>
bool SheetReaderPrivate::guarded(Step step)
{
    try {
        return step();
    } catch (const std::bad_alloc &) {
        scanner.reset();
        return fail(QStringLiteral("there is not enough memory to read the package"));
    }
}

SheetReader::SheetReader()
    : d(new SheetReaderPrivate)
{
}

SheetReader::~SheetReader() = default;

void SheetReader::setReadLimits(const ReadLimits &limits)
{
    d->limits = limits;
}

bool SheetReader::open(const QString &fileName, const QString &sheetName)
{
    d->file.close();
    d->file.setFileName(fileName);
    if (!d->file.open(QIODevice::ReadOnly)) {
        d->error = QStringLiteral("%1 cannot be opened: %2").arg(fileName, d->file.errorString());
        return false;
    }
    return d->guarded([this, &sheetName] { return d->open(&d->file, sheetName); });
}

bool SheetReader::open(QIODevice *device, const QString &sheetName)
{
    return d->guarded([this, device, &sheetName] { return d->open(device, sheetName); });
}

bool SheetReaderPrivate::open(QIODevice *device, const QString &sheetName)
{
    error.clear();
    scanner.reset();
    sheet.reset();
    rowNumber = 0;
    values.clear();
    sheetNames.clear();
    if (!device || !device->isReadable())
        return fail(QStringLiteral("the package cannot be read"));
    package = std::make_unique<PackageReader>(device, limits);
    if (!package->open())
        return fail(package->errorString());
    QList<Relationship> relationships;
    if (!package->relationshipsOf(QString(), relationships))
        return fail(package->errorString());
    QString workbookPart;
    for (const Relationship &relationship : relationships) {
        if (relationship.type == Namespace::documentRelationships + QStringLiteral("/officeDocument"))
            workbookPart = relationship.target;
    }
    if (workbookPart.isEmpty())
        return fail(QStringLiteral("_rels/.rels: it names no workbook"));
    if (!readWorkbook(workbookPart, sheetPart, sheetName))
        return false;
    sheet = package->openPart(sheetPart);
    if (!sheet)
        return fail(package->errorString());
    scanner = std::make_unique<XmlScanner>(sheet.get(), limits.maxXmlDepth);
    return true;
}

// The sheets' names and parts, the date system, the shared strings and
// which cell formats show dates.
bool SheetReaderPrivate::readWorkbook(const QString &part, QString &sheetPart, const QString &sheetName)
{
    QList<Relationship> relationships;
    QByteArray bytes;
    if (!package->relationshipsOf(part, relationships) || !package->read(part, bytes))
        return fail(package->errorString());
    auto target = [&](const QString &idOrType, bool byId) {
        for (const Relationship &relationship : relationships) {
            if ((byId ? relationship.id : relationship.type) == idOrType && !relationship.targetMode)
                return relationship.target;
        }
        return QString();
    };
    XmlScanner workbook(bytes, limits.maxXmlDepth);
    while (workbook.next() != XmlScanner::EndOfDocument && !workbook.hasError()) {
        if (workbook.token() != XmlScanner::StartElement)
            continue;
        if (workbook.is(XmlScanner::Main, "workbookPr")) {
            date1904 = isTrue(workbook.value("date1904"));
        } else if (workbook.is(XmlScanner::Main, "sheet")) {
            const QString name = QString::fromUtf8(workbook.value("name"));
            const QString candidate = target(QString::fromUtf8(workbook.value("id", XmlScanner::DocumentRelationships)), true);
            sheetNames.append(name);
            const bool isWorksheet = !candidate.isEmpty()
                && package->contentTypeOf(candidate).endsWith(QLatin1String("spreadsheetml.worksheet+xml"));
            const bool wanted = sheetName.isEmpty() ? sheetPart.isEmpty() : name == sheetName;
            if (wanted && isWorksheet && sheetPart.isEmpty())
                sheetPart = candidate;
        }
    }
    if (workbook.hasError())
        return fail(part + QStringLiteral(": ") + workbook.errorString());
    if (sheetPart.isEmpty()) {
        return fail(sheetName.isEmpty() ? QStringLiteral("the workbook has no worksheet")
                                        : QStringLiteral("the workbook has no worksheet named \"%1\"").arg(sheetName));
    }

    const QString stringsPart = target(Namespace::documentRelationships + QStringLiteral("/sharedStrings"), false);
    if (!stringsPart.isEmpty()) {
        const std::unique_ptr<QIODevice> device = package->openPart(stringsPart);
        strings.setReadLimits(limits.maxXmlDepth, qMin(limits.maxInflatedSize, largestTextTable));
        if (!device)
            return fail(package->errorString());
        if (!strings.readXml(device.get()))
            return fail(stringsPart + QStringLiteral(": ") + strings.errorString());
    }
    const QString stylesPart = target(Namespace::documentRelationships + QStringLiteral("/styles"), false);
    if (!stylesPart.isEmpty()) {
        Styles styles(Styles::LoadExisting);
        styles.setReadLimits(limits.maxXmlDepth);
        if (!package->read(stylesPart, bytes))
            return fail(package->errorString());
        if (!styles.fromXmlBytes(bytes))
            return fail(stylesPart + QStringLiteral(": ") + styles.errorString());
        for (int i = 0; i < styles.cellFormatCount(); ++i)
            dateFormats.append(styles.cellFormatAt(i).isDateTimeFormat());
    }
    return true;
}

QStringList SheetReader::sheetNames() const
{
    return d->sheetNames;
}

bool SheetReader::readRow()
{
    return d->guarded([this] { return d->readRow(); });
}

bool SheetReaderPrivate::readRow()
{
    if (!scanner || !error.isEmpty())
        return false;
    XmlScanner &cells = *scanner;
    for (;;) {
        if (cells.next() == XmlScanner::EndOfDocument)
            return false;
        if (cells.hasError())
            return fail(sheetPart + QStringLiteral(": ") + cells.errorString());
        if (cells.token() != XmlScanner::StartElement || cells.depth() != 3 || !cells.is(XmlScanner::Main, "row"))
            continue;
        const XmlScanner::Attribute *number = cells.find("r");
        if (number) {
            if (!parseInt(number->rawValue, rowNumber) || rowNumber < 1 || rowNumber > maximumRows)
                return fail(sheetPart + QStringLiteral(": row %1 lies outside the sheet").arg(shown(number->rawValue)));
        } else if (++rowNumber > maximumRows) {
            return fail(sheetPart + QStringLiteral(": the sheet has more than %1 rows").arg(maximumRows));
        }
        values.clear();
        column = 0;
        if (cells.isEmptyElement()) {
            cells.next();
            continue;
        }
        const bool read = readCellsOfRow(
            cells, [this](const XmlScanner::SimpleCell &cell) { return readSimpleCell(cell, values); },
            [this] { return readCell(values); });
        if (!read && !cells.hasError())
            return false;   // a cell failed, and said why
        if (cells.hasError())
            return fail(sheetPart + QStringLiteral(": ") + cells.errorString());
        if (!values.isEmpty())
            return true;
    }
}

bool SheetReaderPrivate::readPosition(QLatin1String reference)
{
    if (reference.data()) {
        int cellRow = 0;
        if (!parseCellReference(reference, cellRow, column))
            return fail(sheetPart + QStringLiteral(": cell %1 lies outside the sheet").arg(shown(reference)));
        if (cellRow != rowNumber)
            return fail(sheetPart + QStringLiteral(": cell %1 lies in row %2").arg(shown(reference)).arg(rowNumber));
    } else if (++column > maximumColumns) {
        return fail(sheetPart + QStringLiteral(": row %1 has more than %2 cells").arg(rowNumber).arg(maximumColumns));
    }
    return true;
}

// A cell without a value: no value for its column, where a cell given
// before it at the same place had one (the later of two cells wins).
bool SheetReaderPrivate::forget(QVector<QVariant> &row)
{
    if (column <= row.size())
        row[column - 1] = QVariant();
    return true;
}

bool SheetReaderPrivate::keep(QVector<QVariant> &row, const QVariant &value)
{
    if (row.size() < column)
        row.resize(column);
    row[column - 1] = value;
    return true;
}

// A style must be one of the style sheet's cell formats; without a style
// sheet there is only the default one.
bool SheetReaderPrivate::readStyle(QLatin1String style, int &xf)
{
    if (!style.data())
        return true;
    if (!parseInt(style, xf) || xf < 0 || xf >= qMax(1, dateFormats.size()))
        return fail(where() + QStringLiteral(" has style %1, which does not exist").arg(shown(style)));
    return true;
}

bool SheetReaderPrivate::readSimpleCell(const XmlScanner::SimpleCell &cell, QVector<QVariant> &row)
{
    if (!readPosition(cell.reference))
        return false;
    if (!cell.hasValue)
        return forget(row);
    int xf = -1;
    if (!readStyle(cell.style, xf))
        return false;
    bool ok = true;
    const QVariant value = this->value(cell.type.data() ? cell.type : QLatin1String("n"), cell.value, xf, QString(), ok);
    return ok && keep(row, value);
}

bool SheetReaderPrivate::readCell(QVector<QVariant> &row)
{
    XmlScanner &cells = *scanner;
    const XmlScanner::Attribute *reference = cells.find("r");
    if (!readPosition(reference ? reference->rawValue : QLatin1String()))
        return false;
    int xf = -1;
    const XmlScanner::Attribute *style = cells.find("s");
    if (!readStyle(style ? style->rawValue : QLatin1String(), xf))
        return false;
    const XmlScanner::Attribute *typeAttribute = cells.find("t");
    const CellType cellType(typeAttribute);
    const QLatin1String type = cellType.text();

    QLatin1String text;
    bool hasValue = false;
    QString inlineText;
    if (!cells.isEmptyElement()) {
        const int depth = cells.depth();
        while (cells.next() != XmlScanner::Invalid && cells.depth() >= depth) {
            if (cells.token() != XmlScanner::StartElement)
                continue;
            if (cells.is(XmlScanner::Main, "v")) {
                // The value is copied before the scanner moves on.
                const QLatin1String view = cells.readElementTextView(scratch);
                valueBytes.resize(view.size());
                std::memcpy(valueBytes.data(), view.data(), size_t(view.size()));
                text = QLatin1String(valueBytes.constData(), valueBytes.size());
                hasValue = true;
            } else if (cells.is(XmlScanner::Main, "is")) {
                // Every run's text, phonetic runs left out.
                const int inlineDepth = cells.depth();
                while (cells.next() != XmlScanner::Invalid && cells.depth() >= inlineDepth) {
                    if (cells.token() == XmlScanner::StartElement && cells.is(XmlScanner::Main, "rPh"))
                        cells.skipElement();
                    else if (cells.token() == XmlScanner::StartElement && cells.is(XmlScanner::Main, "t"))
                        inlineText += unescapeCellText(QString::fromUtf8(cells.readElementText()));
                }
                hasValue = true;
            } else {
                cells.skipElement();
            }
        }
    } else {
        cells.next();
    }
    if (cells.hasError())
        return fail(sheetPart + QStringLiteral(": ") + cells.errorString());
    if (!hasValue)
        return forget(row);
    bool ok = true;
    const QVariant cellValue = value(type, text, xf, inlineText, ok);
    return ok && keep(row, cellValue);
}

QString SheetReaderPrivate::where() const
{
    return sheetPart + QStringLiteral(": cell ") + CellAddress(rowNumber, column).toText();
}

QString SheetReaderPrivate::sharedText(int index)
{
    if (index < texts.size() && !texts.at(index).isNull())
        return texts.at(index);
    const quint32 entry = strings.loadedEntry(index);
    if (entry == SharedStrings::noEntry)
        return QString();
    if (texts.size() <= index)
        texts.resize(index + 1);
    // Never null, so that the empty text is made once too.
    QString text = strings.plainTextOfEntry(entry);
    if (text.isNull())
        text = QLatin1String("");
    return texts[index] = text;
}

QVariant SheetReaderPrivate::value(QLatin1String type, QLatin1String text, int xf, const QString &inlineText, bool &ok)
{
    if (type == QLatin1String("s")) {
        int index = -1;
        const QString shared = parseInt(text, index) && index >= 0 ? sharedText(index) : QString();
        if (shared.isNull()) {
            ok = fail(where() + QStringLiteral(" names shared text %1, which the table does not hold").arg(shown(text)));
            return QVariant();
        }
        return shared;
    }
    if (type.size() == 1 && type.at(0) == QLatin1Char('n')) {
        double number = 0;
        if (text.trimmed().isEmpty())
            return QVariant();
        if (!parseNumber(text, number)) {
            ok = fail(where() + QStringLiteral(" holds %1, which is no number").arg(shown(text)));
            return QVariant();
        }
        if (xf >= 0 && xf < dateFormats.size() && dateFormats.at(xf) && isDateSerial(number, date1904))
            return dateTimeOf(number);
        return number;
    }
    const QByteArray bytes(text.data(), text.size());
    if (type == QLatin1String("inlineStr"))
        return inlineText;
    if (type == QLatin1String("str"))
        return unescapeCellText(QString::fromUtf8(bytes));
    if (type == QLatin1String("e"))
        return QString::fromUtf8(bytes.trimmed());
    if (type == QLatin1String("b"))
        return bytes.trimmed() == "1" || bytes.trimmed() == "true";
    if (type == QLatin1String("d")) {
        QDate date;
        QTime time;
        if (!isoWallClock(bytes.trimmed(), date, time)) {
            ok = fail(where() + QStringLiteral(" holds the date %1, which is no ISO 8601 date").arg(shown(text)));
            return QVariant();
        }
        // A time alone is a time of the epoch's day, as the workbook counts it.
        return date.isNull() ? serialToDateTime(timeToSerial(time), date1904) : wallClockDateTime(date, time);
    }
    ok = fail(where() + QStringLiteral(" is of the unknown type \"%1\"").arg(shown(type)));
    return QVariant();
}

QDateTime SheetReaderPrivate::dateTimeOf(double serial)
{
    quint64 bits = 0;
    std::memcpy(&bits, &serial, sizeof bits);
    const auto known = dateTimes.constFind(bits);
    if (known != dateTimes.constEnd())
        return known.value();
    if (dateTimes.size() >= 65536)
        dateTimes.clear();
    const QDateTime dateTime = serialToDateTime(serial, date1904);
    dateTimes.insert(bits, dateTime);
    return dateTime;
}

int SheetReader::rowNumber() const
{
    return d->rowNumber;
}

QVector<QVariant> SheetReader::values() const
{
    return d->values;
}

bool SheetReader::hasError() const
{
    return !d->error.isEmpty();
}

QString SheetReader::errorString() const
{
    return d->error;
}

} // namespace Spreadsheet
