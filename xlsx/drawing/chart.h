#ifndef SPREADSHEET_CHART_H
#define SPREADSHEET_CHART_H

#include "abstractooxmlfile.h"
#include "cellarea.h"

#include <QColor>
#include <QList>
#include <QString>

namespace Spreadsheet {

class ChartPrivate;

// One series of a chart: cell references for its values and categories (the
// x values of a scatter chart), in the form "Sheet1!$B$2:$B$9", and a name
// that is a text or a reference to one cell.
struct ChartSeries
{
    enum Marker { AutomaticMarker, NoMarker, Circle, Square, Diamond, Triangle, Cross, Star, Dash, Dot, Plus };

    QString values;
    QString categories;
    QString name;            // a text, unless nameReference is given
    QString nameReference;   // "Sheet1!$B$1"
    QColor color;            // invalid: the chart's own colours
    Marker marker = AutomaticMarker;
    bool dataLabels = false;

    // The reference to an area of a sheet as series take it.
    static QString reference(const QString &sheetName, const CellArea &area);
    static QString reference(const QString &sheetName, const CellAddress &cell);
    // Whether a text is one sheet's area in that form.
    static bool isReference(const QString &text);
};

// A chart part: the chart's kind, its series, titles, axes and legend,
// "xl/charts/chartN.xml". A chart of a loaded workbook answers its kind,
// series and title, and is written back as it came until it is changed:
// then the model writes it, and what it does not know of the chart is lost.
class Chart : public AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(Chart)

public:
    enum Type { Column, Bar, Line, Area, Pie, Doughnut, Scatter, Radar, Unknown };
    enum Grouping { Clustered, Stacked, PercentStacked };
    enum ScatterStyle { MarkersOnly, Lines, SmoothLines };
    enum LegendPosition { NoLegend, Right, Left, Top, Bottom };
    enum Axis { CategoryAxis, ValueAxis };   // for scatter charts the x and the y axis

    explicit Chart(CreationMode mode = NewFromScratch);
    ~Chart() override;

    Type type() const;
    void setType(Type type);
    Grouping grouping() const;
    // For column, bar, line and area charts.
    void setGrouping(Grouping grouping);
    ScatterStyle scatterStyle() const;
    void setScatterStyle(ScatterStyle style);

    // False, adding nothing, when the values are not a reference or another
    // reference given is malformed.
    bool addSeries(const ChartSeries &series);
    QList<ChartSeries> series() const;
    void clearSeries();

    QString title() const;
    void setTitle(const QString &title);
    QString axisTitle(Axis axis) const;
    void setAxisTitle(Axis axis, const QString &title);
    // Not a number: the spreadsheet program chooses.
    double axisMinimum(Axis axis) const;
    double axisMaximum(Axis axis) const;
    void setAxisRange(Axis axis, double minimum, double maximum);
    QString axisNumberFormat(Axis axis) const;
    void setAxisNumberFormat(Axis axis, const QString &format);
    bool hasMajorGridlines(Axis axis) const;
    void setMajorGridlines(Axis axis, bool shown);
    LegendPosition legendPosition() const;
    void setLegendPosition(LegendPosition position);
    // Labels with the values on every series.
    bool hasDataLabels() const;
    void setDataLabels(bool shown);

    void writeXml(QIODevice *device) const override;
    // Reads a loaded chart's kind, series, title and legend.
    bool readXml(QIODevice *device) override;

private:
    friend class Chartsheet;
    friend class WorksheetPrivate;
    void changed();
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CHART_H
