// Random sequences of the writer's public operations, applied both to a
// Document and to a model of what a reader must find; every saved workbook is
// then opened with openpyxl (tests/compare_workbooks.py) and compared with
// the model: values, formats, links, merges, column widths, row heights,
// hidden flags, outline levels, sheet order, visibility, the active tab and
// the document properties.
#include "spreadsheet/spreadsheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include "hosttools.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <ctime>

using namespace Spreadsheet;

namespace {

// ---------------------------------------------------------------- formats

// A format as a reader sees it; valid = the Format has state at all.
struct ModelFormat
{
    bool valid = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int size = 0;
    QString color;          // ARGB
    QString fill;           // ARGB of a solid fill
    QString numberFormat;   // empty: General
    QString horizontal;     // "center" or empty
    bool leftBorder = false;

    bool isEmpty() const
    {
        return !bold && !italic && !underline && size == 0 && color.isEmpty() && fill.isEmpty()
            && numberFormat.isEmpty() && horizontal.isEmpty() && !leftBorder;
    }
    bool isDateFormat() const
    {
        return numberFormat == QLatin1String("yyyy-mm-dd hh:mm") || numberFormat == QLatin1String("yyyy-mm-dd")
            || numberFormat == QLatin1String("hh:mm:ss");
    }
    Format toFormat() const
    {
        Format format;
        if (!valid)
            return format;
        format.setFontBold(bold);   // gives the format state even when nothing is set
        format.setFontItalic(italic);
        if (underline)
            format.setFontUnderline(Format::FontUnderlineSingle);
        if (size)
            format.setFontSize(size);
        if (!color.isEmpty())
            format.setFontColor(QColor(QLatin1Char('#') + color.mid(2)));
        if (!fill.isEmpty())
            format.setPatternBackgroundColor(QColor(QLatin1Char('#') + fill.mid(2)));
        if (!numberFormat.isEmpty())
            format.setNumberFormatCode(numberFormat);
        if (!horizontal.isEmpty())
            format.setHorizontalAlignment(Format::AlignHCenter);
        if (leftBorder)
            format.setLeftBorderStyle(Format::BorderThin);
        return format;
    }
    QJsonObject toJson() const
    {
        return { { "bold", bold }, { "italic", italic }, { "underline", underline },
                 { "size", size ? QJsonValue(size) : QJsonValue() },
                 { "color", color.isEmpty() ? QJsonValue() : color }, { "fill", fill.isEmpty() ? QJsonValue() : fill },
                 { "numFmt", numberFormat.isEmpty() ? QStringLiteral("General") : numberFormat },
                 { "horizontal", horizontal.isEmpty() ? QJsonValue() : horizontal },
                 { "left", leftBorder ? QJsonValue(QStringLiteral("thin")) : QJsonValue() } };
    }
};

QVector<ModelFormat> palette()
{
    QVector<ModelFormat> formats(9);
    formats[1].valid = true;                                                    // state, no property
    formats[2].valid = formats[2].bold = true;
    formats[3].valid = formats[3].italic = true;
    formats[3].size = 14;
    formats[3].color = QStringLiteral("FFFF0000");
    formats[4].valid = formats[4].leftBorder = true;
    formats[4].fill = QStringLiteral("FFFFFF00");
    formats[5].valid = true;
    formats[5].numberFormat = QStringLiteral("0.000");
    formats[6].valid = true;
    formats[6].numberFormat = QStringLiteral("yyyy-mm-dd hh:mm");
    formats[7].valid = true;
    formats[7].horizontal = QStringLiteral("center");
    formats[7].numberFormat = QStringLiteral("0.00%");
    formats[8] = formats[2];                                                    // equal, built apart
    return formats;
}

ModelFormat linkFormat()
{
    ModelFormat format;
    format.valid = format.underline = true;
    format.color = QStringLiteral("FF0000FF");
    return format;
}

// ---------------------------------------------------------------- values

// Texts people and programs write, with what a reader must find for each: a
// text, a formula, or a link with the text it shows and its target.
struct TextCase
{
    QString text;
    enum Kind { Text, Formula, Link } kind;
    QString shown;
    QString target;
};

const QVector<TextCase> &textCases()
{
    static const QVector<TextCase> cases = {
        { QStringLiteral("alpha"), TextCase::Text, QStringLiteral("alpha"), {} },
        { QStringLiteral(" leading and trailing "), TextCase::Text, QStringLiteral(" leading and trailing "), {} },
        { QStringLiteral("tab\there, line\nbreak"), TextCase::Text, QStringLiteral("tab\there, line\nbreak"), {} },
        { QStringLiteral("Qualit\u00e0 \u00b5g/kg \U0001F600"), TextCase::Text, QStringLiteral("Qualit\u00e0 \u00b5g/kg \U0001F600"), {} },
        { QStringLiteral("carriage\r\nreturn and \x01"), TextCase::Text, QStringLiteral("carriage\r\nreturn and \x01"), {} },
        { QStringLiteral("<b>&amp;</b>"), TextCase::Text, QStringLiteral("<b>&amp;</b>"), {} },
        { QStringLiteral("12"), TextCase::Text, QStringLiteral("12"), {} },
        { QStringLiteral(""), TextCase::Text, QStringLiteral(""), {} },
        { QString(300, QLatin1Char('w')), TextCase::Text, QString(300, QLatin1Char('w')), {} },
        { QStringLiteral("=SUM(A1:A3)"), TextCase::Formula, QStringLiteral("=SUM(A1:A3)"), {} },
        { QStringLiteral("Sent to mailto:lab@x.org on Monday"), TextCase::Text, QStringLiteral("Sent to mailto:lab@x.org on Monday"), {} },
        { QStringLiteral("see file://server/share"), TextCase::Text, QStringLiteral("see file://server/share"), {} },
        { QStringLiteral("http://[bad"), TextCase::Text, QStringLiteral("http://[bad"), {} },
        { QStringLiteral("https://example.org/\u00dcber uns"), TextCase::Text, QStringLiteral("https://example.org/\u00dcber uns"), {} },
        { QStringLiteral("mailto:lab@x.org"), TextCase::Link, QStringLiteral("lab@x.org"), QStringLiteral("mailto:lab@x.org") },
        { QStringLiteral("https://example.org/\u00dcbersicht"), TextCase::Link, QStringLiteral("https://example.org/\u00dcbersicht"),
          QStringLiteral("https://example.org/%C3%9Cbersicht") },
        { QStringLiteral("http://example.org/manual"), TextCase::Link, QStringLiteral("http://example.org/manual"),
          QStringLiteral("http://example.org/manual") },
    };
    return cases;
}

// ---------------------------------------------------------------- the model

struct ModelCell
{
    enum Kind { Blank, Text, Number, Bool, DateTime, Time, Formula } kind = Blank;
    QJsonValue value;
    ModelFormat format;
    QString link;
};

// The settings of a row or a column: its height or width (0: the default).
struct ModelLine
{
    double size = 0;
    bool hidden = false;
    int outline = 0;
    ModelFormat format;
};

struct ModelSheet
{
    QString name;
    bool hidden = false;
    QMap<QPair<int, int>, ModelCell> cells;
    QMap<int, ModelLine> columns;
    QMap<int, ModelLine> rows;
    QList<QRect> merges;   // x = column, y = row
};

bool isHighSurrogateCut(const QString &text, int length)
{
    return length > 0 && length < text.size() && text.at(length - 1).isHighSurrogate();
}

QString cutWhole(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    return text.left(isHighSurrogateCut(text, length) ? length - 1 : length);
}

// The sheet-name rules, as spreadsheet programs state them.
QString sanitized(QString name)
{
    if (name.isEmpty())
        return name;
    if (name.size() > 2 && name.startsWith(QLatin1Char('\'')) && name.endsWith(QLatin1Char('\'')))
        name = name.mid(1, name.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    for (QChar &c : name) {
        if (QStringLiteral("/\\?*[]:").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    name = cutWhole(name, 31);
    if (name.startsWith(QLatin1Char('\'')))
        name[0] = QLatin1Char(' ');
    if (name.endsWith(QLatin1Char('\'')))
        name[name.size() - 1] = QLatin1Char(' ');
    return name;
}

struct ModelBook
{
    QList<ModelSheet> sheets;
    int active = 0;
    int lastNumber = 0;
    QMap<QString, QString> properties;

    int indexOf(const QString &name) const
    {
        for (int i = 0; i < sheets.size(); ++i) {
            if (sheets.at(i).name == name)
                return i;
        }
        return -1;
    }
    bool taken(const QString &name, int except = -1) const
    {
        for (int i = 0; i < sheets.size(); ++i) {
            if (i != except && sheets.at(i).name.toCaseFolded() == name.toCaseFolded())
                return true;
        }
        return false;
    }
    int visibleCount() const
    {
        return int(std::count_if(sheets.begin(), sheets.end(), [](const ModelSheet &s) { return !s.hidden; }));
    }
    int nearestVisible(int index) const
    {
        for (int distance = 0; distance < sheets.size(); ++distance) {
            for (const int candidate : { index + distance, index - distance }) {
                if (candidate >= 0 && candidate < sheets.size() && !sheets.at(candidate).hidden)
                    return candidate;
            }
        }
        return index;
    }
    bool insert(int index, const QString &proposal)
    {
        QString name = sanitized(proposal);
        if (!name.isEmpty() && taken(name))
            return false;
        while (name.isEmpty() || taken(name))
            name = QStringLiteral("Sheet%1").arg(++lastNumber);
        index = qBound(0, index, sheets.size());
        ModelSheet sheet;
        sheet.name = name;
        sheets.insert(index, sheet);
        active = index;
        return true;
    }
    ModelSheet &activeSheet()
    {
        if (sheets.isEmpty())
            insert(0, QString());
        return sheets[active];
    }
};

// Whether a merged range hides the cell (every cell but its top-left one).
bool coveredByMerge(const ModelSheet &sheet, int r, int c)
{
    for (const QRect &area : sheet.merges) {
        if (area.contains(c, r) && !(r == area.top() && c == area.left()))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- random steps

class Runner
{
public:
    explicit Runner(quint32 seed) : random(seed), formats(palette()) {}

    void run(int steps)
    {
        for (int step = 0; step < steps; ++step)
            oneStep();
        if (model.sheets.isEmpty())
            model.insert(0, QString());
    }

    Document document;
    ModelBook model;
    QStringList log;

private:
    int pick(int count) { return int(random.bounded(count)); }
    bool chance(int percent) { return pick(100) < percent; }
    int row() { return chance(3) ? (chance(50) ? 0 : 1048576) : 1 + pick(25); }
    int column() { return chance(3) ? (chance(50) ? 16385 : 16384) : 1 + pick(10); }
    int paletteIndex() { return pick(formats.size()); }

    void record(const QString &what) { log << what; }

    void oneStep()
    {
        const int kind = pick(100);
        if (kind < 45)
            writeValue();
        else if (kind < 50)
            writeRichText();
        else if (kind < 64)
            lineSetting();
        else if (kind < 68)
            group();
        else if (kind < 74)
            merge();
        else if (kind < 90)
            sheetOperation();
        else if (kind < 94)
            setVisibility();
        else
            documentProperty();
    }

    // The format a write keeps: the given one if it has state, else the one
    // of the cell it replaces.
    static ModelFormat kept(const ModelFormat &given, const ModelCell *previous)
    {
        if (given.valid)
            return given;
        return previous ? previous->format : ModelFormat();
    }

    bool inside(int r, int c) const { return r >= 1 && r <= 1048576 && c >= 1 && c <= 16384; }

    void store(ModelSheet &sheet, int r, int c, ModelCell cell)
    {
        sheet.cells.insert({ r, c }, cell);
    }

    void writeValue()
    {
        const int r = row(), c = column();
        const int f = paletteIndex();
        ModelSheet &sheet = model.activeSheet();
        const ModelCell *previous = sheet.cells.contains({ r, c }) ? &sheet.cells[{ r, c }] : nullptr;
        ModelCell cell;
        QVariant value;
        bool accepted = inside(r, c);
        // openpyxl moves a link hidden by a merged range to the range's first
        // cell; such links are left out rather than compared.
        int what = pick(9);
        const bool hidden = coveredByMerge(sheet, r, c);
        if (hidden && (what == 0 || what == 7))
            what = 1;
        switch (what) {
        case 0: {
            const TextCase &text = textCases().at(pick(textCases().size()));
            value = text.text;
            if (text.kind == TextCase::Link) {
                cell.kind = ModelCell::Text;
                cell.value = text.shown;
                cell.link = text.target;
                cell.format = previous && previous->format.valid ? previous->format : linkFormat();
            } else {
                cell.kind = text.kind == TextCase::Formula ? ModelCell::Formula : ModelCell::Text;
                cell.value = text.shown;
                cell.format = kept(formats.at(f), previous);
            }
            break;
        }
        case 1: {
            const double numbers[] = { 0, 1, -3, 12.5, 1e10, 0.1 + 0.2, 123456.789012, -0.000125 };
            const double number = numbers[pick(int(std::size(numbers)))];
            value = number;
            cell.kind = ModelCell::Number;
            cell.value = number;
            cell.format = kept(formats.at(f), previous);
            break;
        }
        case 2:
            value = pick(1000);
            cell.kind = ModelCell::Number;
            cell.value = value.toInt();
            cell.format = kept(formats.at(f), previous);
            break;
        case 3:
            value = chance(50);
            cell.kind = ModelCell::Bool;
            cell.value = value.toBool();
            cell.format = kept(formats.at(f), previous);
            break;
        case 4: {
            const QDateTime dateTime(QDate(2024, 1 + pick(12), 1 + pick(28)), QTime(pick(24), pick(60)));
            value = dateTime;
            cell.kind = ModelCell::DateTime;
            cell.value = dateTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
            cell.format = kept(formats.at(f), previous);
            if (!cell.format.valid || !cell.format.isDateFormat()) {
                cell.format.valid = true;
                cell.format.numberFormat = QStringLiteral("yyyy-mm-dd");
            }
            break;
        }
        case 5: {
            const QTime time(pick(24), pick(60), pick(60));
            value = time;
            cell.kind = ModelCell::Time;
            cell.value = time.toString(QStringLiteral("HH:mm:ss"));
            cell.format = kept(formats.at(f), previous);
            if (!cell.format.valid || !cell.format.isDateFormat()) {
                cell.format.valid = true;
                cell.format.numberFormat = QStringLiteral("hh:mm:ss");
            }
            break;
        }
        case 6:
            value = QVariant();
            cell.kind = ModelCell::Blank;
            cell.format = kept(formats.at(f), previous);
            break;
        case 7:
            value = QUrl(QStringLiteral("http://example.org/a b"));
            cell.kind = ModelCell::Text;
            cell.value = QStringLiteral("http://example.org/a b");
            cell.link = QStringLiteral("http://example.org/a%20b");
            cell.format = formats.at(f).valid ? formats.at(f) : previous && previous->format.valid ? previous->format
                                                                                                  : linkFormat();
            break;
        default:
            value = QVariant::fromValue(QPoint(1, 2));   // not a cell value
            accepted = false;
            break;
        }
        record(QStringLiteral("writeValue(%1, %2, %3, format %4)").arg(r).arg(c).arg(value.toString()).arg(f));
        const bool written = document.writeValue(r, c, value, formats.at(f).toFormat());
        QCOMPARE(written, accepted);
        if (accepted)
            store(sheet, r, c, cell);
    }

    void writeRichText()
    {
        const int r = 1 + pick(25), c = 1 + pick(10);
        const int f = paletteIndex();
        ModelSheet &sheet = model.activeSheet();
        const ModelCell *previous = sheet.cells.contains({ r, c }) ? &sheet.cells[{ r, c }] : nullptr;
        Format bold;
        bold.setFontBold(true);
        RichString text;
        ModelCell cell;
        cell.kind = ModelCell::Text;
        cell.format = kept(formats.at(f), previous);
        switch (pick(3)) {
        case 0:   // one bold run: the cell becomes bold
            text.appendRun(QStringLiteral("Header"), bold);
            cell.value = QStringLiteral("Header");
            cell.format.valid = cell.format.bold = true;
            break;
        case 1:
            text.appendRun(QStringLiteral("Bold"), bold);
            text.appendRun(QStringLiteral(" plain"));
            cell.value = QStringLiteral("Bold plain");
            break;
        default:   // no run at all: the empty text
            cell.value = QString();
            break;
        }
        record(QStringLiteral("writeRichText(%1, %2, %3, format %4)").arg(r).arg(c).arg(cell.value.toString()).arg(f));
        QVERIFY(document.writeValue(r, c, QVariant::fromValue(text), formats.at(f).toFormat()));
        store(sheet, r, c, cell);
    }

    // A width, height, hidden flag or format for some columns or rows.
    void lineSetting()
    {
        const bool rows = chance(50);
        const int first = 1 + pick(rows ? 25 : 10);
        const int last = chance(10) ? first - 1 : first + pick(3);
        ModelSheet &sheet = model.activeSheet();
        const bool accepted = first <= last;
        const int what = pick(3);
        const double size = rows ? 10 + pick(40) / 4.0 : 5 + pick(30) / 2.0;
        const bool hidden = chance(60);
        const int f = paletteIndex();
        record(QStringLiteral("%1 %2..%3 setting %4").arg(rows ? "rows" : "columns").arg(first).arg(last).arg(what));
        bool done = false;
        if (what == 0)
            done = rows ? document.setRowHeight(first, last, size) : document.setColumnWidth(first, last, size);
        else if (what == 1)
            done = rows ? document.setRowHidden(first, last, hidden) : document.setColumnHidden(first, last, hidden);
        else
            done = rows ? document.setRowFormat(first, last, formats.at(f).toFormat())
                        : document.setColumnFormat(first, last, formats.at(f).toFormat());
        QCOMPARE(done, accepted);
        for (int i = first; accepted && i <= last; ++i) {
            ModelLine &settings = rows ? sheet.rows[i] : sheet.columns[i];
            if (what == 0)
                settings.size = size;
            else if (what == 1)
                settings.hidden = hidden;
            else
                settings.format = formats.at(f);
        }
    }

    void group()
    {
        const bool rows = chance(50);
        const int first = 1 + pick(rows ? 25 : 10);
        const int last = first + pick(3);
        const bool collapsed = chance(40);
        ModelSheet &sheet = model.activeSheet();
        record(QStringLiteral("group %1 %2..%3 collapsed %4").arg(rows ? "rows" : "columns").arg(first).arg(last).arg(collapsed));
        QVERIFY(rows ? document.groupRows(first, last, collapsed) : document.groupColumns(first, last, collapsed));
        QMap<int, ModelLine> &lines = rows ? sheet.rows : sheet.columns;
        for (int i = first; i <= last; ++i) {
            lines[i].outline = qMin(lines[i].outline + 1, 7);
            lines[i].hidden = lines[i].hidden || collapsed;
        }
        if (collapsed)
            lines[last + 1];   // the next line carries the button that opens the group
    }

    void merge()
    {
        ModelSheet &sheet = model.activeSheet();
        if (chance(20) && !sheet.merges.isEmpty()) {
            const QRect area = sheet.merges.at(pick(sheet.merges.size()));
            record(QStringLiteral("unmerge %1,%2 %3x%4").arg(area.y()).arg(area.x()).arg(area.height()).arg(area.width()));
            QVERIFY(document.unmergeCells(CellArea(area.y(), area.x(), area.bottom(), area.right())));
            sheet.merges.removeOne(area);
            return;
        }
        const QRect area(1 + pick(10), 1 + pick(25), 1 + pick(3), 1 + pick(3));
        const int f = chance(50) ? paletteIndex() : 0;
        for (auto it = sheet.cells.constBegin(); it != sheet.cells.constEnd(); ++it) {
            const bool covered = area.contains(it.key().second, it.key().first)
                && it.key() != qMakePair(area.top(), area.left());
            if (covered && !it->link.isEmpty() && !formats.at(f).valid)
                return;   // see writeValue
        }
        bool accepted = area.width() * area.height() > 1;
        for (const QRect &merged : qAsConst(sheet.merges))
            accepted = accepted && !merged.intersects(area);
        record(QStringLiteral("merge %1,%2 %3x%4 format %5").arg(area.y()).arg(area.x()).arg(area.height()).arg(area.width()).arg(f));
        QCOMPARE(document.mergeCells(CellArea(area.y(), area.x(), area.bottom(), area.right()), formats.at(f).toFormat()),
                 accepted);
        if (!accepted)
            return;
        sheet.merges.append(area);
        if (!formats.at(f).valid)
            return;
        for (int r = area.top(); r <= area.bottom(); ++r) {
            for (int c = area.left(); c <= area.right(); ++c) {
                const bool topLeft = r == area.top() && c == area.left();
                if (topLeft && sheet.cells.contains({ r, c })) {
                    sheet.cells[{ r, c }].format = formats.at(f);
                } else {
                    ModelCell blank;
                    blank.format = formats.at(f);
                    store(sheet, r, c, blank);
                }
            }
        }
    }

    QString proposedName()
    {
        static const QStringList names = {
            QString(), QStringLiteral("Data"), QStringLiteral("DATA"), QStringLiteral("Results 2024"),
            QStringLiteral("Q1/Q2"), QStringLiteral("'Quoted'"), QStringLiteral("Sheet1"), QStringLiteral("sheet2"),
            QStringLiteral("\u00dcbersicht"), QString(31, QLatin1Char('L')), QString(40, QLatin1Char('m')),
            QString(30, QLatin1Char('e')) + QStringLiteral("\U0001F600"),
        };
        return names.at(pick(names.size()));
    }

    QString existingName()
    {
        if (model.sheets.isEmpty() || chance(5))
            return QStringLiteral("No such sheet");
        return model.sheets.at(pick(model.sheets.size())).name;
    }

    void sheetOperation()
    {
        switch (pick(7)) {
        case 0: {
            const QString name = proposedName();
            record(QStringLiteral("addSheet(%1)").arg(name));
            QCOMPARE(document.addSheet(name), model.insert(model.sheets.size(), name));
            break;
        }
        case 1: {
            const int index = pick(model.sheets.size() + 2);
            const QString name = proposedName();
            record(QStringLiteral("insertSheet(%1, %2)").arg(index).arg(name));
            QCOMPARE(document.insertSheet(index, name), model.insert(index, name));
            break;
        }
        case 2: {
            const QString from = existingName();
            const QString to = proposedName();
            record(QStringLiteral("renameSheet(%1, %2)").arg(from, to));
            const int index = model.indexOf(from);
            const QString name = sanitized(to);
            const bool accepted = from != to && index >= 0 && !name.isEmpty() && !model.taken(name, index);
            QCOMPARE(document.renameSheet(from, to), accepted);
            if (accepted)
                model.sheets[index].name = name;
            break;
        }
        case 3: {
            const QString from = existingName();
            const QString to = chance(50) ? QString() : proposedName();
            record(QStringLiteral("copySheet(%1, %2)").arg(from, to));
            const int index = model.indexOf(from);
            QString name = sanitized(to);
            bool accepted = from != to && index >= 0;
            if (accepted && name.isEmpty()) {
                for (int n = 2; name.isEmpty() || model.taken(name); ++n) {
                    const QString suffix = QStringLiteral("(%1)").arg(n);
                    name = sanitized(cutWhole(sanitized(from), 31 - suffix.size()) + suffix);
                }
            } else if (accepted && model.taken(name)) {
                accepted = false;
            }
            QCOMPARE(document.copySheet(from, to), accepted);
            if (accepted) {
                ModelSheet copy = model.sheets.at(index);
                copy.name = name;
                copy.hidden = false;
                model.sheets.append(copy);
            }
            break;
        }
        case 4: {
            const QString name = existingName();
            const int to = pick(model.sheets.size() + 2) - 1;
            record(QStringLiteral("moveSheet(%1, %2)").arg(name).arg(to));
            const int from = model.indexOf(name);
            const int target = qBound(0, to, qMax(model.sheets.size() - 1, 0));
            const bool accepted = from >= 0 && from != to && from != target;
            QCOMPARE(document.moveSheet(name, to), accepted);
            if (accepted) {
                const QString active = model.sheets.at(model.active).name;
                model.sheets.move(from, target);
                model.active = model.indexOf(active);
            }
            break;
        }
        case 5: {
            const QString name = existingName();
            record(QStringLiteral("deleteSheet(%1)").arg(name));
            const int index = model.indexOf(name);
            const bool accepted = model.sheets.size() > 1 && index >= 0
                && !(!model.sheets.at(index).hidden && model.visibleCount() == 1);
            QCOMPARE(document.deleteSheet(name), accepted);
            if (accepted) {
                model.sheets.removeAt(index);
                if (index < model.active)
                    --model.active;
                else if (index == model.active)
                    model.active = model.nearestVisible(qMin(index, model.sheets.size() - 1));
            }
            break;
        }
        default: {
            const QString name = existingName();
            record(QStringLiteral("selectSheet(%1)").arg(name));
            const int index = model.indexOf(name);
            QCOMPARE(document.selectSheet(name), index >= 0);
            if (index >= 0)
                model.active = index;
            break;
        }
        }
    }

    void setVisibility()
    {
        if (model.sheets.isEmpty())
            return;
        const int index = pick(model.sheets.size());
        const bool hidden = chance(60);
        record(QStringLiteral("sheet %1 hidden %2").arg(index).arg(hidden));
        document.workbook()->sheet(index)->setHidden(hidden);
        ModelSheet &sheet = model.sheets[index];
        if (hidden && !sheet.hidden && model.visibleCount() <= 1)
            return;   // the last visible sheet stays
        sheet.hidden = hidden;
    }

    void documentProperty()
    {
        static const char *const keys[] = { "title", "subject", "creator", "keywords", "description", "category",
                                            "company", "manager", "created" };
        const QString key = QLatin1String(keys[pick(int(std::size(keys)))]);
        QString value;
        if (key == QLatin1String("created")) {
            const QStringList created = { QStringLiteral("2024-01-15T10:00:00"), QStringLiteral("2023-06-30T23:59:59Z"),
                                          QStringLiteral("last Monday"), QString() };
            value = created.at(pick(created.size()));
        } else {
            const QStringList values = { QStringLiteral("Milk analyses"), QStringLiteral("Qualit\u00e0 & <Co>"), QString() };
            value = values.at(pick(values.size()));
        }
        record(QStringLiteral("property %1 = %2").arg(key, value));
        document.setDocumentProperty(key, value);
        model.properties.insert(key, value);
    }

    QRandomGenerator random;
    const QVector<ModelFormat> formats;
};

// ---------------------------------------------------------------- expectations

// What the reader must find: the cell's own format, else its row's, else its
// column's (the first that is not empty).
ModelFormat shownFormat(const ModelSheet &sheet, int r, int c, const ModelCell &cell)
{
    if (!cell.format.isEmpty())
        return cell.format;
    if (sheet.rows.contains(r) && !sheet.rows[r].format.isEmpty())
        return sheet.rows[r].format;
    if (sheet.columns.contains(c) && !sheet.columns[c].format.isEmpty())
        return sheet.columns[c].format;
    return ModelFormat();
}

QJsonObject expectations(const Runner &runner, quint32 seed)
{
    const ModelBook &model = runner.model;
    QJsonArray sheets;
    for (const ModelSheet &sheet : model.sheets) {
        QJsonObject cells;
        for (auto it = sheet.cells.constBegin(); it != sheet.cells.constEnd(); ++it) {
            const int r = it.key().first, c = it.key().second;
            const ModelCell &cell = it.value();
            QJsonObject expected;
            const char *kinds[] = { "blank", "text", "number", "bool", "datetime", "time", "formula" };
            expected.insert("kind", QLatin1String(kinds[cell.kind]));
            expected.insert("value", cell.value);
            if (coveredByMerge(sheet, r, c)) {
                expected.insert("kind", QStringLiteral("merged"));
            } else {
                expected.insert("format", shownFormat(sheet, r, c, cell).toJson());
                if (!cell.link.isEmpty())
                    expected.insert("link", cell.link);
            }
            cells.insert(CellAddress(r, c).toText(), expected);
        }
        QJsonObject columns;
        for (auto it = sheet.columns.constBegin(); it != sheet.columns.constEnd(); ++it) {
            columns.insert(QString::number(it.key()),
                           QJsonObject{ { "width", it->size != 0 ? it->size : 8.43 }, { "hidden", it->hidden },
                                        { "outline", it->outline } });
        }
        QJsonObject rows;
        for (auto it = sheet.rows.constBegin(); it != sheet.rows.constEnd(); ++it) {
            rows.insert(QString::number(it.key()),
                        QJsonObject{ { "height", it->size != 0 ? QJsonValue(it->size) : QJsonValue() },
                                     { "hidden", it->hidden }, { "outline", it->outline } });
        }
        QJsonArray merges;
        for (const QRect &area : sheet.merges)
            merges.append(CellArea(area.y(), area.x(), area.bottom(), area.right()).toText());
        sheets.append(QJsonObject{ { "name", sheet.name }, { "hidden", sheet.hidden }, { "cells", cells },
                                   { "columns", columns }, { "rows", rows }, { "merges", merges } });
    }
    QJsonObject properties;
    for (auto it = model.properties.constBegin(); it != model.properties.constEnd(); ++it) {
        if (!it.value().isEmpty())
            properties.insert(it.key(), it.value());
    }
    return { { "seed", qint64(seed) }, { "sheets", sheets }, { "active", model.nearestVisible(model.active) },
             { "properties", properties }, { "steps", QJsonArray::fromStringList(runner.log) } };
}

} // namespace

class TestRandomWorkbooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readerFindsWhatTheModelExpects();
};

void TestRandomWorkbooks::initTestCase()
{
    // Serial dates are wall-clock times; a zone with daylight saving time
    // in winter is where an hour would go astray.
    qputenv("TZ", "Europe/Dublin");
    tzset();
}

void TestRandomWorkbooks::readerFindsWhatTheModelExpects()
{
    const int workbooks = qEnvironmentVariableIntValue("RANDOM_WORKBOOKS") > 0 ? qEnvironmentVariableIntValue("RANDOM_WORKBOOKS") : 40;
    // Where the reader cannot be run from here, the workbooks stay in the
    // folder given, for a test of the build to read them after this one.
    QTemporaryDir temporary;
    const QString kept = qEnvironmentVariable("DATARIUM_PACKAGE_DIR");
    const QDir dir(HostTools::available() || kept.isEmpty() ? temporary.path() : kept);
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    for (int n = 0; n < workbooks; ++n) {
        const quint32 seed = 20261207 + quint32(n);
        Runner runner(seed);
        runner.run(120);
        if (QTest::currentTestFailed()) {
            qWarning() << "seed" << seed << "steps:" << runner.log;
            return;
        }
        const QString base = dir.filePath(QStringLiteral("workbook-%1").arg(seed));
        QVERIFY(runner.document.saveToFile(base + QStringLiteral(".xlsx")));
        QFile expected(base + QStringLiteral(".json"));
        QVERIFY(expected.open(QIODevice::WriteOnly));
        expected.write(QJsonDocument(expectations(runner, seed)).toJson());
    }

    if (!HostTools::available())
        return;
    QProcess reader;
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(HostTools::program(QStringLiteral("python3")),
                 { HostTools::path(QFINDTESTDATA("compare_workbooks.py")), HostTools::path(dir.path()) });
    QVERIFY(reader.waitForFinished(300000));
    const QByteArray report = reader.readAll();
    const bool asExpected = reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0;
    if (!asExpected)
        std::fputs(report.constData(), stderr);   // every difference with the steps that led to it
    QVERIFY2(asExpected, "openpyxl found what the model does not expect");
}

QTEST_MAIN(TestRandomWorkbooks)
#include "tst_randomworkbooks.moc"
