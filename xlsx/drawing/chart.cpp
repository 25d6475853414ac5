#include "chart.h"
#include "chart_p.h"
#include "formulatokenizer_p.h"

#include "namespaces.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QXmlStreamWriter>

namespace Spreadsheet {

QString ChartSeries::reference(const QString &sheetName, const CellArea &area)
{
    const QString first = area.topLeft().toText(true, true);
    const QString last = area.bottomRight().toText(true, true);
    return quoteSheetName(sheetName) + QLatin1Char('!') + (first == last ? first : first + QLatin1Char(':') + last);
}

QString ChartSeries::reference(const QString &sheetName, const CellAddress &cell)
{
    return quoteSheetName(sheetName) + QLatin1Char('!') + cell.toText(true, true);
}

bool ChartSeries::isReference(const QString &text)
{
    const QVector<FormulaToken> tokens = FormulaTokenizer::tokenize(text);
    if (tokens.size() != 1 || tokens.first().type != FormulaToken::Reference)
        return false;
    const FormulaReference &reference = tokens.first().reference;
    return reference.hasSheet() && !reference.isThreeDimensional()
        && (reference.kind == FormulaReference::Cell || reference.kind == FormulaReference::Area);
}

Chart::Chart(CreationMode mode)
    : AbstractOOXmlFile(new ChartPrivate(this, mode))
{
    Q_D(Chart);
    d->axes[ValueAxis].majorGridlines = true;
}

Chart::~Chart() = default;

void Chart::changed()
{
    Q_D(Chart);
    d->loadedBytes.clear();
    if (d->type == Unknown)
        d->type = Column;   // a kind the model cannot write
}

void ChartPrivate::copyFrom(const ChartPrivate &other)
{
    type = other.type;
    grouping = other.grouping;
    scatterStyle = other.scatterStyle;
    series = other.series;
    title = other.title;
    axes[0] = other.axes[0];
    axes[1] = other.axes[1];
    legend = other.legend;
    dataLabels = other.dataLabels;
}

Chart::Type Chart::type() const
{
    Q_D(const Chart);
    return d->type;
}

void Chart::setType(Type type)
{
    Q_D(Chart);
    changed();
    if (type != Unknown)
        d->type = type;
}

Chart::Grouping Chart::grouping() const
{
    Q_D(const Chart);
    return d->grouping;
}

void Chart::setGrouping(Grouping grouping)
{
    Q_D(Chart);
    changed();
    d->grouping = grouping;
}

Chart::ScatterStyle Chart::scatterStyle() const
{
    Q_D(const Chart);
    return d->scatterStyle;
}

void Chart::setScatterStyle(ScatterStyle style)
{
    Q_D(Chart);
    changed();
    d->scatterStyle = style;
}

bool Chart::addSeries(const ChartSeries &series)
{
    Q_D(Chart);
    if (!ChartSeries::isReference(series.values)
        || (!series.categories.isEmpty() && !ChartSeries::isReference(series.categories))
        || (!series.nameReference.isEmpty() && !ChartSeries::isReference(series.nameReference)))
        return false;
    changed();
    d->series.append(series);
    return true;
}

QList<ChartSeries> Chart::series() const
{
    Q_D(const Chart);
    return d->series;
}

void Chart::clearSeries()
{
    Q_D(Chart);
    changed();
    d->series.clear();
}

QString Chart::title() const
{
    Q_D(const Chart);
    return d->title;
}

void Chart::setTitle(const QString &title)
{
    Q_D(Chart);
    changed();
    d->title = title;
}

QString Chart::axisTitle(Axis axis) const
{
    Q_D(const Chart);
    return d->axes[axis].title;
}

void Chart::setAxisTitle(Axis axis, const QString &title)
{
    Q_D(Chart);
    changed();
    d->axes[axis].title = title;
}

double Chart::axisMinimum(Axis axis) const
{
    Q_D(const Chart);
    return d->axes[axis].minimum;
}

double Chart::axisMaximum(Axis axis) const
{
    Q_D(const Chart);
    return d->axes[axis].maximum;
}

void Chart::setAxisRange(Axis axis, double minimum, double maximum)
{
    Q_D(Chart);
    changed();
    d->axes[axis].minimum = std::isfinite(minimum) ? minimum : std::nan("");
    d->axes[axis].maximum = std::isfinite(maximum) ? maximum : std::nan("");
}

QString Chart::axisNumberFormat(Axis axis) const
{
    Q_D(const Chart);
    return d->axes[axis].numberFormat;
}

void Chart::setAxisNumberFormat(Axis axis, const QString &format)
{
    Q_D(Chart);
    changed();
    d->axes[axis].numberFormat = format;
}

bool Chart::hasMajorGridlines(Axis axis) const
{
    Q_D(const Chart);
    return d->axes[axis].majorGridlines;
}

void Chart::setMajorGridlines(Axis axis, bool shown)
{
    Q_D(Chart);
    changed();
    d->axes[axis].majorGridlines = shown;
}

Chart::LegendPosition Chart::legendPosition() const
{
    Q_D(const Chart);
    return d->legend;
}

void Chart::setLegendPosition(LegendPosition position)
{
    Q_D(Chart);
    changed();
    d->legend = position;
}

bool Chart::hasDataLabels() const
{
    Q_D(const Chart);
    return d->dataLabels;
}

void Chart::setDataLabels(bool shown)
{
    Q_D(Chart);
    changed();
    d->dataLabels = shown;
}

namespace {

const int categoryAxisId = 50010000;
const int valueAxisId = 50020000;

void writeValue(QXmlStreamWriter &writer, const QString &name, const QString &value)
{
    writer.writeEmptyElement(name);
    writer.writeAttribute(QStringLiteral("val"), value);
}

void writeRichText(QXmlStreamWriter &writer, const QString &text)
{
    writer.writeStartElement(QStringLiteral("c:tx"));
    writer.writeStartElement(QStringLiteral("c:rich"));
    writer.writeEmptyElement(QStringLiteral("a:bodyPr"));
    writer.writeEmptyElement(QStringLiteral("a:lstStyle"));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        writer.writeStartElement(QStringLiteral("a:p"));
        writer.writeStartElement(QStringLiteral("a:r"));
        writer.writeTextElement(QStringLiteral("a:t"), validXmlText(line));
        writer.writeEndElement();
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
}

void writeTitle(QXmlStreamWriter &writer, const QString &text)
{
    writer.writeStartElement(QStringLiteral("c:title"));
    writeRichText(writer, text);
    writeValue(writer, QStringLiteral("c:overlay"), QStringLiteral("0"));
    writer.writeEndElement();
}

void writeReference(QXmlStreamWriter &writer, const QString &name, const QString &kind, const QString &reference)
{
    writer.writeStartElement(name);
    writer.writeStartElement(kind);
    writer.writeTextElement(QStringLiteral("c:f"), validXmlText(reference));
    writer.writeEndElement();
    writer.writeEndElement();
}

void writeFill(QXmlStreamWriter &writer, const QColor &color)
{
    writer.writeStartElement(QStringLiteral("a:solidFill"));
    writeValue(writer, QStringLiteral("a:srgbClr"), color.name().mid(1).toUpper());
    writer.writeEndElement();
}

const char *markerSymbol(ChartSeries::Marker marker)
{
    static const char *const symbols[] = { "auto", "none", "circle", "square", "diamond", "triangle",
                                           "x", "star", "dash", "dot", "plus" };
    return symbols[marker];
}

void writeDataLabels(QXmlStreamWriter &writer)
{
    writer.writeStartElement(QStringLiteral("c:dLbls"));
    writeValue(writer, QStringLiteral("c:showLegendKey"), QStringLiteral("0"));
    writeValue(writer, QStringLiteral("c:showVal"), QStringLiteral("1"));
    writeValue(writer, QStringLiteral("c:showCatName"), QStringLiteral("0"));
    writeValue(writer, QStringLiteral("c:showSerName"), QStringLiteral("0"));
    writeValue(writer, QStringLiteral("c:showPercent"), QStringLiteral("0"));
    writeValue(writer, QStringLiteral("c:showBubbleSize"), QStringLiteral("0"));
    writer.writeEndElement();
}

QString groupingName(Chart::Type type, Chart::Grouping grouping)
{
    switch (grouping) {
    case Chart::Stacked:
        return QStringLiteral("stacked");
    case Chart::PercentStacked:
        return QStringLiteral("percentStacked");
    case Chart::Clustered:
        break;
    }
    return type == Chart::Column || type == Chart::Bar ? QStringLiteral("clustered") : QStringLiteral("standard");
}

} // namespace

void Chart::writeXml(QIODevice *device) const
{
    Q_D(const Chart);
    relationships()->clear();
    relationships()->setSourcePart(partPath());
    if (!d->loadedBytes.isEmpty()) {
        device->write(d->loadedBytes);
        return;
    }
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("c:chartSpace"));
    writer.writeAttribute(QStringLiteral("xmlns:c"), Namespace::chart);
    writer.writeAttribute(QStringLiteral("xmlns:a"), Namespace::drawingMain);
    writer.writeAttribute(QStringLiteral("xmlns:r"), Namespace::documentRelationships);
    writeValue(writer, QStringLiteral("c:roundedCorners"), QStringLiteral("0"));
    d->writeChart(writer);
    writer.writeEndElement();
    writer.writeEndDocument();
}

void ChartPrivate::writeChart(QXmlStreamWriter &writer) const
{
    writer.writeStartElement(QStringLiteral("c:chart"));
    if (!title.isEmpty())
        writeTitle(writer, title);
    // Without it a spreadsheet program titles a chart of one series by its name.
    writeValue(writer, QStringLiteral("c:autoTitleDeleted"), title.isEmpty() ? QStringLiteral("1") : QStringLiteral("0"));
    writer.writeStartElement(QStringLiteral("c:plotArea"));
    writer.writeEmptyElement(QStringLiteral("c:layout"));
    writePlot(writer);
    if (hasAxes())
        writeAxes(writer);
    writer.writeEndElement();
    writeLegend(writer);
    writeValue(writer, QStringLiteral("c:plotVisOnly"), QStringLiteral("1"));
    writeValue(writer, QStringLiteral("c:dispBlanksAs"), QStringLiteral("gap"));
    writer.writeEndElement();
}

void ChartPrivate::writePlot(QXmlStreamWriter &writer) const
{
    static const char *const elements[] = { "c:barChart", "c:barChart", "c:lineChart", "c:areaChart",
                                            "c:pieChart", "c:doughnutChart", "c:scatterChart", "c:radarChart" };
    writer.writeStartElement(QLatin1String(elements[type]));
    switch (type) {
    case Chart::Column:
    case Chart::Bar:
        writeValue(writer, QStringLiteral("c:barDir"), type == Chart::Bar ? QStringLiteral("bar") : QStringLiteral("col"));
        writeValue(writer, QStringLiteral("c:grouping"), groupingName(type, grouping));
        break;
    case Chart::Line:
    case Chart::Area:
        writeValue(writer, QStringLiteral("c:grouping"), groupingName(type, grouping));
        break;
    case Chart::Scatter:
        writeValue(writer, QStringLiteral("c:scatterStyle"),
                   scatterStyle == Chart::SmoothLines ? QStringLiteral("smoothMarker") : QStringLiteral("lineMarker"));
        break;
    case Chart::Radar:
        writeValue(writer, QStringLiteral("c:radarStyle"), QStringLiteral("marker"));
        break;
    default:
        break;
    }
    writeValue(writer, QStringLiteral("c:varyColors"), hasAxes() ? QStringLiteral("0") : QStringLiteral("1"));
    for (int i = 0; i < series.size(); ++i)
        writeSeries(writer, i);
    switch (type) {
    case Chart::Column:
    case Chart::Bar:
        writeValue(writer, QStringLiteral("c:gapWidth"), QStringLiteral("150"));
        if (grouping != Chart::Clustered)
            writeValue(writer, QStringLiteral("c:overlap"), QStringLiteral("100"));
        break;
    case Chart::Line:
        writeValue(writer, QStringLiteral("c:marker"), QStringLiteral("1"));
        break;
    case Chart::Pie:
        writeValue(writer, QStringLiteral("c:firstSliceAng"), QStringLiteral("0"));
        break;
    case Chart::Doughnut:
        writeValue(writer, QStringLiteral("c:firstSliceAng"), QStringLiteral("0"));
        writeValue(writer, QStringLiteral("c:holeSize"), QStringLiteral("50"));
        break;
    default:
        break;
    }
    if (hasAxes()) {
        writeValue(writer, QStringLiteral("c:axId"), QString::number(categoryAxisId));
        writeValue(writer, QStringLiteral("c:axId"), QString::number(valueAxisId));
    }
    writer.writeEndElement();
}

void ChartPrivate::writeSeries(QXmlStreamWriter &writer, int index) const
{
    const ChartSeries &one = series.at(index);
    const bool lined = type == Chart::Line || type == Chart::Scatter || type == Chart::Radar;
    writer.writeStartElement(QStringLiteral("c:ser"));
    writeValue(writer, QStringLiteral("c:idx"), QString::number(index));
    writeValue(writer, QStringLiteral("c:order"), QString::number(index));
    if (!one.nameReference.isEmpty()) {
        writeReference(writer, QStringLiteral("c:tx"), QStringLiteral("c:strRef"), one.nameReference);
    } else if (!one.name.isEmpty()) {
        writer.writeStartElement(QStringLiteral("c:tx"));
        writer.writeTextElement(QStringLiteral("c:v"), validXmlText(one.name));
        writer.writeEndElement();
    }
    const bool markersOnly = type == Chart::Scatter && scatterStyle == Chart::MarkersOnly;
    if (one.color.isValid() || markersOnly) {
        writer.writeStartElement(QStringLiteral("c:spPr"));
        if (!lined && one.color.isValid())
            writeFill(writer, one.color);
        if (lined) {
            writer.writeStartElement(QStringLiteral("a:ln"));
            writer.writeAttribute(QStringLiteral("w"), QStringLiteral("28575"));
            if (markersOnly)
                writer.writeEmptyElement(QStringLiteral("a:noFill"));
            else
                writeFill(writer, one.color);
            writer.writeEndElement();
        }
        writer.writeEndElement();
    }
    if (type == Chart::Column || type == Chart::Bar)
        writeValue(writer, QStringLiteral("c:invertIfNegative"), QStringLiteral("0"));
    if (lined && (one.marker != ChartSeries::AutomaticMarker || one.color.isValid())) {
        writer.writeStartElement(QStringLiteral("c:marker"));
        writeValue(writer, QStringLiteral("c:symbol"), QLatin1String(markerSymbol(one.marker)));
        if (one.marker != ChartSeries::NoMarker) {
            writeValue(writer, QStringLiteral("c:size"), QStringLiteral("7"));
            if (one.color.isValid()) {
                writer.writeStartElement(QStringLiteral("c:spPr"));
                writeFill(writer, one.color);
                writer.writeStartElement(QStringLiteral("a:ln"));
                writeFill(writer, one.color);
                writer.writeEndElement();
                writer.writeEndElement();
            }
        }
        writer.writeEndElement();
    }
    if (one.dataLabels || dataLabels)
        writeDataLabels(writer);
    if (type == Chart::Scatter) {
        if (!one.categories.isEmpty())
            writeReference(writer, QStringLiteral("c:xVal"), QStringLiteral("c:numRef"), one.categories);
        writeReference(writer, QStringLiteral("c:yVal"), QStringLiteral("c:numRef"), one.values);
    } else {
        if (!one.categories.isEmpty())
            writeReference(writer, QStringLiteral("c:cat"), QStringLiteral("c:strRef"), one.categories);
        writeReference(writer, QStringLiteral("c:val"), QStringLiteral("c:numRef"), one.values);
    }
    if (type == Chart::Line || type == Chart::Scatter)
        writeValue(writer, QStringLiteral("c:smooth"),
                   type == Chart::Scatter && scatterStyle == Chart::SmoothLines ? QStringLiteral("1") : QStringLiteral("0"));
    writer.writeEndElement();
}

void ChartPrivate::writeAxes(QXmlStreamWriter &writer) const
{
    const bool horizontal = type == Chart::Bar;
    writeAxis(writer, Chart::CategoryAxis, type == Chart::Scatter, horizontal ? QStringLiteral("l") : QStringLiteral("b"));
    writeAxis(writer, Chart::ValueAxis, true, horizontal ? QStringLiteral("b") : QStringLiteral("l"));
}

void ChartPrivate::writeAxis(QXmlStreamWriter &writer, Chart::Axis axis, bool valueAxis, const QString &position) const
{
    const ChartAxis &settings = axes[axis];
    const bool category = axis == Chart::CategoryAxis;
    writer.writeStartElement(valueAxis ? QStringLiteral("c:valAx") : QStringLiteral("c:catAx"));
    writeValue(writer, QStringLiteral("c:axId"), QString::number(category ? categoryAxisId : valueAxisId));
    writer.writeStartElement(QStringLiteral("c:scaling"));
    writeValue(writer, QStringLiteral("c:orientation"), QStringLiteral("minMax"));
    if (!std::isnan(settings.maximum))
        writeValue(writer, QStringLiteral("c:max"), QString::number(settings.maximum, 'g', 17));
    if (!std::isnan(settings.minimum))
        writeValue(writer, QStringLiteral("c:min"), QString::number(settings.minimum, 'g', 17));
    writer.writeEndElement();
    writeValue(writer, QStringLiteral("c:delete"), QStringLiteral("0"));
    writeValue(writer, QStringLiteral("c:axPos"), position);
    if (settings.majorGridlines)
        writer.writeEmptyElement(QStringLiteral("c:majorGridlines"));
    if (!settings.title.isEmpty())
        writeTitle(writer, settings.title);
    if (!settings.numberFormat.isEmpty()) {
        writer.writeEmptyElement(QStringLiteral("c:numFmt"));
        writer.writeAttribute(QStringLiteral("formatCode"), validXmlText(settings.numberFormat));
        writer.writeAttribute(QStringLiteral("sourceLinked"), QStringLiteral("0"));
    }
    writeValue(writer, QStringLiteral("c:majorTickMark"), QStringLiteral("out"));
    writeValue(writer, QStringLiteral("c:minorTickMark"), QStringLiteral("none"));
    writeValue(writer, QStringLiteral("c:tickLblPos"), QStringLiteral("nextTo"));
    writeValue(writer, QStringLiteral("c:crossAx"), QString::number(category ? valueAxisId : categoryAxisId));
    writeValue(writer, QStringLiteral("c:crosses"), QStringLiteral("autoZero"));
    if (valueAxis) {
        const bool midCategory = type == Chart::Scatter || type == Chart::Area;
        writeValue(writer, QStringLiteral("c:crossBetween"), midCategory ? QStringLiteral("midCat") : QStringLiteral("between"));
    } else {
        writeValue(writer, QStringLiteral("c:auto"), QStringLiteral("1"));
        writeValue(writer, QStringLiteral("c:lblAlgn"), QStringLiteral("ctr"));
        writeValue(writer, QStringLiteral("c:lblOffset"), QStringLiteral("100"));
        writeValue(writer, QStringLiteral("c:noMultiLvlLbl"), QStringLiteral("0"));
    }
    writer.writeEndElement();
}

void ChartPrivate::writeLegend(QXmlStreamWriter &writer) const
{
    if (legend == Chart::NoLegend)
        return;
    static const char *const positions[] = { "", "r", "l", "t", "b" };
    writer.writeStartElement(QStringLiteral("c:legend"));
    writeValue(writer, QStringLiteral("c:legendPos"), QLatin1String(positions[legend]));
    writeValue(writer, QStringLiteral("c:overlay"), QStringLiteral("0"));
    writer.writeEndElement();
}

namespace {

Chart::Type typeOfPlot(QLatin1String name)
{
    static const struct { const char *name; Chart::Type type; } plots[] = {
        { "barChart", Chart::Column }, { "bar3DChart", Chart::Column }, { "lineChart", Chart::Line },
        { "line3DChart", Chart::Line }, { "areaChart", Chart::Area }, { "area3DChart", Chart::Area },
        { "pieChart", Chart::Pie }, { "pie3DChart", Chart::Pie }, { "ofPieChart", Chart::Pie },
        { "doughnutChart", Chart::Doughnut }, { "scatterChart", Chart::Scatter }, { "radarChart", Chart::Radar },
    };
    for (const auto &plot : plots) {
        if (name == QLatin1String(plot.name))
            return plot.type;
    }
    return Chart::Unknown;
}

// The text of a title's runs, a line per paragraph.
QString readTitle(XmlScanner &scanner)
{
    QStringList lines;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Drawing, "p"))
            lines.append(QString());
        else if (scanner.is(XmlScanner::Drawing, "t") && !lines.isEmpty())
            lines.last() += QString::fromUtf8(scanner.readElementText());
        else if (scanner.is(XmlScanner::Chart, "f") && lines.isEmpty())
            lines.append(QString::fromUtf8(scanner.readElementText()));
    }
    return lines.join(QLatin1Char('\n'));
}

// The formula of a reference (strRef, numRef, multiLvlStrRef) inside the
// current element, or its literal value.
void readSeriesData(XmlScanner &scanner, QString &reference, QString *literal = nullptr)
{
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Chart, "f"))
            reference = QString::fromUtf8(scanner.readElementText());
        else if (literal && scanner.is(XmlScanner::Chart, "v") && scanner.depth() == depth + 1)
            *literal = QString::fromUtf8(scanner.readElementText());
    }
}

ChartSeries readOneSeries(XmlScanner &scanner)
{
    ChartSeries series;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != depth + 1)
            continue;
        if (scanner.is(XmlScanner::Chart, "tx"))
            readSeriesData(scanner, series.nameReference, &series.name);
        else if (scanner.is(XmlScanner::Chart, "cat") || scanner.is(XmlScanner::Chart, "xVal"))
            readSeriesData(scanner, series.categories);
        else if (scanner.is(XmlScanner::Chart, "val") || scanner.is(XmlScanner::Chart, "yVal"))
            readSeriesData(scanner, series.values);
        else
            scanner.skipElement();
    }
    return series;
}

} // namespace

bool Chart::readXml(QIODevice *device)
{
    Q_D(Chart);
    clearReadError();
    const QByteArray bytes = device->readAll();
    XmlScanner scanner(bytes);
    while (scanner.next() != XmlScanner::StartElement) {
        if (scanner.atEnd())
            return readFailed(scanner.hasError() ? scanner.errorString() : QStringLiteral("it holds no chart"));
    }
    if (!scanner.is(XmlScanner::Chart, "chartSpace"))
        return readFailed(QStringLiteral("it holds no chart"));
    d->type = Unknown;
    d->legend = NoLegend;
    d->axes[ValueAxis].majorGridlines = false;
    int plotDepth = -1;
    bool plotSeen = false;
    while (scanner.next() != XmlScanner::Invalid && !scanner.atEnd()) {
        if (scanner.token() == XmlScanner::EndElement && scanner.depth() < plotDepth)
            plotDepth = -1;
        if (scanner.token() != XmlScanner::StartElement)
            continue;
        if (scanner.is(XmlScanner::Chart, "title") && scanner.depth() == 3) {
            d->title = readTitle(scanner);
        } else if (scanner.is(XmlScanner::Chart, "legendPos")) {
            const QByteArray position = scanner.value("val");
            d->legend = position == "l" ? Left : position == "t" ? Top : position == "b" ? Bottom : Right;
        } else if (scanner.is(XmlScanner::Chart, "legend") && d->legend == NoLegend) {
            d->legend = Right;
        } else if (scanner.namespaceId() == XmlScanner::Chart && scanner.depth() == 4 && !plotSeen
                   && scanner.localName().size() > 5 && QString(scanner.localName()).endsWith(QLatin1String("Chart"))) {
            d->type = typeOfPlot(scanner.localName());
            plotSeen = true;
            plotDepth = scanner.depth();
        } else if (plotDepth > 0 && scanner.depth() == plotDepth + 1) {
            if (scanner.is(XmlScanner::Chart, "barDir") && scanner.value("val") == "bar")
                d->type = Bar;
            else if (scanner.is(XmlScanner::Chart, "grouping"))
                d->grouping = scanner.value("val") == "stacked" ? Stacked
                    : scanner.value("val") == "percentStacked" ? PercentStacked : Clustered;
            else if (scanner.is(XmlScanner::Chart, "scatterStyle"))
                d->scatterStyle = scanner.value("val").startsWith("smooth") ? SmoothLines : Lines;
            else if (scanner.is(XmlScanner::Chart, "ser"))
                d->series.append(readOneSeries(scanner));
        }
    }
    if (scanner.hasError())
        return readFailed(scanner.errorString());
    d->loadedBytes = bytes;
    return true;
}

} // namespace Spreadsheet
