#ifndef SPREADSHEET_CHART_P_H
#define SPREADSHEET_CHART_P_H

#include "abstractooxmlfile_p.h"
#include "chart.h"

#include <cmath>

class QXmlStreamWriter;

namespace Spreadsheet {

struct ChartAxis
{
    QString title;
    double minimum = std::nan("");
    double maximum = std::nan("");
    QString numberFormat;
    bool majorGridlines = false;
};

class ChartPrivate : public AbstractOOXmlFilePrivate
{
    Q_DECLARE_PUBLIC(Chart)

public:
    ChartPrivate(Chart *q, AbstractOOXmlFile::CreationMode mode) : AbstractOOXmlFilePrivate(q, mode) {}

    void writeChart(QXmlStreamWriter &writer) const;
    void writePlot(QXmlStreamWriter &writer) const;
    void writeSeries(QXmlStreamWriter &writer, int index) const;
    void writeAxes(QXmlStreamWriter &writer) const;
    void writeAxis(QXmlStreamWriter &writer, Chart::Axis axis, bool valueAxis, const QString &position) const;
    void writeLegend(QXmlStreamWriter &writer) const;
    bool hasAxes() const { return type != Chart::Pie && type != Chart::Doughnut; }

    Chart::Type type = Chart::Column;
    Chart::Grouping grouping = Chart::Clustered;
    Chart::ScatterStyle scatterStyle = Chart::MarkersOnly;
    QList<ChartSeries> series;
    QString title;
    ChartAxis axes[2];
    Chart::LegendPosition legend = Chart::Right;
    bool dataLabels = false;
    // A loaded chart as it came, written back until a change is made; the
    // model then writes it.
    QByteArray loadedBytes;

    void copyFrom(const ChartPrivate &other);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CHART_P_H
