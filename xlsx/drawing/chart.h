#ifndef SPREADSHEET_CHART_H
#define SPREADSHEET_CHART_H

//! \file chart.h
//! Charts and their series: Chart, ChartSeries.

#include "abstractooxmlfile.h"
#include "cellarea.h"

#include <QColor>
#include <QList>
#include <QString>

namespace Spreadsheet {

class ChartPrivate;

//! One series of a chart: cell references for its values and categories (the
//! x values of a scatter chart), in the form "Sheet1!$B$2:$B$9", and a name
//! that is a text or a reference to one cell.
//!
//! \code
//! Spreadsheet::ChartSeries acidity;
//! acidity.values = Spreadsheet::ChartSeries::reference(QStringLiteral("Lab data"), Spreadsheet::CellArea(2, 3, 40, 3));
//! acidity.categories = Spreadsheet::ChartSeries::reference(QStringLiteral("Lab data"), Spreadsheet::CellArea(2, 1, 40, 1));
//! acidity.nameReference = Spreadsheet::ChartSeries::reference(QStringLiteral("Lab data"), Spreadsheet::CellAddress(1, 3));
//! acidity.color = QColor(0, 112, 192);
//! acidity.marker = Spreadsheet::ChartSeries::Diamond;
//! chart->addSeries(acidity);
//! \endcode
struct ChartSeries
{
    //! The mark at each point of a line, scatter or radar chart.
    enum Marker { AutomaticMarker, NoMarker, Circle, Square, Diamond, Triangle, Cross, Star, Dash, Dot, Plus };
    //! \var AutomaticMarker
    //! The chart's own choice.
    //! \var NoMarker
    //! No mark: the line alone.
    //! \var Circle
    //! A circle.
    //! \var Square
    //! A square.
    //! \var Diamond
    //! A diamond.
    //! \var Triangle
    //! A triangle.
    //! \var Cross
    //! A diagonal cross (x).
    //! \var Star
    //! A star.
    //! \var Dash
    //! A short horizontal dash.
    //! \var Dot
    //! A dot.
    //! \var Plus
    //! An upright cross (+).

    //! The cells of the series' values, "Sheet1!$B$2:$B$9"; required.
    QString values;
    //! The cells of the categories (a scatter chart's x values), in the same
    //! form; empty for 1, 2, 3, ....
    QString categories;
    QString name;            //!< A text, unless nameReference is given; the legend shows it.
    QString nameReference;   //!< The cell holding the name, "Sheet1!$B$1".
    QColor color;            //!< Invalid: the chart's own colours.
    //! The mark at each point, for line, scatter and radar charts.
    Marker marker = AutomaticMarker;
    //! Whether the series' points are labelled with their values (as every
    //! series is when Chart::hasDataLabels()).
    bool dataLabels = false;

    //! The reference to an area of a sheet as series take it.
    //! The sheet name is quoted where formulas need it ("'Lab data'!$C$2:$C$40");
    //! a single cell gives "Sheet1!$C$2".
    static QString reference(const QString &sheetName, const CellArea &area);
    //! The reference to one cell of a sheet as series take it ("Sheet1!$B$1").
    static QString reference(const QString &sheetName, const CellAddress &cell);
    //! Whether a text is one sheet's area in that form.
    //! A cell or an area of one named sheet, without "="; not a name, a
    //! union, or an area across sheets.
    static bool isReference(const QString &text);
};

//! A chart part: the chart's kind, its series, titles, axes and legend,
//! "xl/charts/chartN.xml". A chart of a loaded workbook answers its kind,
//! series and title, and is written back as it came until it is changed:
//! then the model writes it, and what it does not know of the chart is lost.
//!
//! Charts are made by Worksheet::insertChart() (Document::insertChart()) and
//! come with chart sheets (Chartsheet::chart()); the sheet owns them. A new
//! chart is a clustered column chart with the legend at the right and major
//! gridlines on the value axis. Pie and doughnut charts have no axes.
//!
//! \code
//! Spreadsheet::Chart *chart = document.insertChart(3, 5, QSize(480, 300));   // pixels
//! chart->setType(Spreadsheet::Chart::Line);
//! Spreadsheet::ChartSeries acidity;
//! acidity.values = Spreadsheet::ChartSeries::reference(QStringLiteral("Sheet1"), Spreadsheet::CellArea(2, 2, 40, 2));
//! acidity.name = QStringLiteral("Acidity");
//! chart->addSeries(acidity);
//! chart->setTitle(QStringLiteral("Acidity by sample"));
//! chart->setAxisTitle(Spreadsheet::Chart::ValueAxis, QStringLiteral("%"));
//! chart->setAxisRange(Spreadsheet::Chart::ValueAxis, 0, 1);
//! chart->setLegendPosition(Spreadsheet::Chart::Bottom);
//! \endcode
class Chart : public AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(Chart)

public:
    //! The kind of chart.
    enum Type { Column, Bar, Line, Area, Pie, Doughnut, Scatter, Radar, Unknown };
    //! \var Column
    //! Vertical bars.
    //! \var Bar
    //! Horizontal bars.
    //! \var Line
    //! Lines through the points, with markers.
    //! \var Area
    //! Filled areas under lines.
    //! \var Pie
    //! A pie of the first series' values; no axes.
    //! \var Doughnut
    //! A ring per series; no axes.
    //! \var Scatter
    //! Points at x (the categories) and y (the values).
    //! \var Radar
    //! Values on spokes around a centre.
    //! \var Unknown
    //! A loaded chart of another kind (bubble, stock, surface, 3-D ...),
    //! written back as it came; changing it makes it a column chart.

    //! How the series of a column, bar, line or area chart stand together.
    enum Grouping { Clustered, Stacked, PercentStacked };
    //! \var Clustered
    //! Side by side (columns and bars), or each on its own (lines and areas).
    //! \var Stacked
    //! Each series on top of the ones before.
    //! \var PercentStacked
    //! Stacked, every category filling 100 %.

    //! How the points of a scatter chart are drawn.
    enum ScatterStyle { MarkersOnly, Lines, SmoothLines };
    //! \var MarkersOnly
    //! Markers without lines.
    //! \var Lines
    //! Markers joined by straight lines.
    //! \var SmoothLines
    //! Markers joined by smooth curves.

    //! Where the legend stands.
    enum LegendPosition { NoLegend, Right, Left, Top, Bottom };
    //! \var NoLegend
    //! The chart has no legend.
    //! \var Right
    //! Right of the plot.
    //! \var Left
    //! Left of the plot.
    //! \var Top
    //! Above the plot.
    //! \var Bottom
    //! Below the plot.

    //! An axis of a chart with axes.
    enum Axis { CategoryAxis, ValueAxis };   // for scatter charts the x and the y axis
    //! \var CategoryAxis
    //! The axis of the categories; a scatter chart's x axis.
    //! \var ValueAxis
    //! The axis of the values; a scatter chart's y axis.

    //! A new column chart, or an empty one to be read. Programs get charts
    //! from Worksheet::insertChart() and Chartsheet::chart() instead.
    explicit Chart(CreationMode mode = NewFromScratch);
    //! Destroys the chart.
    ~Chart() override;

    //! The kind of chart; Unknown for a loaded chart of a kind the model does not write.
    Type type() const;
    //! Sets the kind of chart; Unknown changes nothing (a loaded Unknown
    //! chart then becomes a column chart).
    void setType(Type type);
    //! How the series stand together; Clustered for a new chart.
    Grouping grouping() const;
    //! Sets how the series stand together.
    //! For column, bar, line and area charts.
    void setGrouping(Grouping grouping);
    //! How a scatter chart draws its points; MarkersOnly for a new chart.
    ScatterStyle scatterStyle() const;
    //! Sets how a scatter chart draws its points.
    void setScatterStyle(ScatterStyle style);

    //! Appends a series.
    //! False, adding nothing, when the values are not a reference or another
    //! reference given is malformed (see ChartSeries::isReference()).
    bool addSeries(const ChartSeries &series);
    //! The series in order.
    QList<ChartSeries> series() const;
    //! Removes every series.
    void clearSeries();

    //! The chart's title; empty for none.
    QString title() const;
    //! Sets the chart's title, a line feed starting a new line; an empty title takes it away.
    void setTitle(const QString &title);
    //! The title of an axis; empty for none.
    QString axisTitle(Axis axis) const;
    //! Sets the title of an axis; an empty title takes it away.
    void setAxisTitle(Axis axis, const QString &title);
    //! The lowest value an axis shows.
    //! Not a number: the spreadsheet program chooses.
    double axisMinimum(Axis axis) const;
    //! The highest value an axis shows; not a number where the spreadsheet program chooses.
    double axisMaximum(Axis axis) const;
    //! Sets the values an axis runs between; a bound that is not finite (NaN,
    //! infinity) leaves it to the spreadsheet program.
    void setAxisRange(Axis axis, double minimum, double maximum);
    //! The number format code of an axis' labels; empty for the cells' own.
    QString axisNumberFormat(Axis axis) const;
    //! Sets the number format code of an axis' labels ("0.0%"); empty for the cells' own.
    void setAxisNumberFormat(Axis axis, const QString &format);
    //! Whether an axis shows major gridlines; a new chart shows them on the value axis only.
    bool hasMajorGridlines(Axis axis) const;
    //! Shows or hides an axis' major gridlines.
    void setMajorGridlines(Axis axis, bool shown);
    //! Where the legend stands; Right for a new chart.
    LegendPosition legendPosition() const;
    //! Sets where the legend stands, or NoLegend.
    void setLegendPosition(LegendPosition position);
    //! Labels with the values on every series.
    bool hasDataLabels() const;
    //! Shows or hides the value labels of every series.
    void setDataLabels(bool shown);

    //! Writes the chart part: the loaded bytes until the chart is changed,
    //! else the model's chart.
    void writeXml(QIODevice *device) const override;
    //! Reads a loaded chart's kind, series, title and legend.
    //! Its axes read as unset. False for malformed XML or a part that holds no chart.
    bool readXml(QIODevice *device) override;

private:
    friend class Chartsheet;
    friend class WorksheetPrivate;
    void changed();
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CHART_H
