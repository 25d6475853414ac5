// A chart on a worksheet, beside the cells it shows, and a chart sheet: a
// sheet of the workbook that is one chart.
//
//     chart [OUTPUT.xlsx]                (default: chart.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QTextStream>

using Spreadsheet::CellArea;
using Spreadsheet::Chart;
using Spreadsheet::ChartSeries;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("chart.xlsx"));
    Spreadsheet::Document document;
    const QString sheet = QStringLiteral("Samples");
    document.addSheet(sheet);   // the first sheet, instead of "Sheet1"

    // The data: a month per row, the number of samples of each matrix and
    // their mean acidity.
    Spreadsheet::Format bold;
    bold.setFontBold(true);
    const char *const headings[] = { "Month", "Oil", "Wine", "Mean acidity" };
    for (int column = 1; column <= 4; ++column)
        document.writeValue(1, column, QString::fromUtf8(headings[column - 1]), bold);
    struct Month {
        const char *name;
        int oil;
        int wine;
        double acidity;
    };
    const Month months[] = {
        { "Jan", 12, 8, 0.52 }, { "Feb", 15, 11, 0.61 }, { "Mar", 9, 13, 0.48 },
        { "Apr", 20, 7, 0.55 }, { "May", 18, 10, 0.66 }, { "Jun", 14, 16, 0.59 },
    };
    int row = 2;
    for (const Month &month : months) {
        document.writeValue(row, 1, QString::fromUtf8(month.name));
        document.writeValue(row, 2, month.oil);
        document.writeValue(row, 3, month.wine);
        document.writeValue(row, 4, month.acidity);
        ++row;
    }
    const int last = row - 1;

    // A chart of 480 x 300 pixels with its top-left corner in F2; it moves
    // and sizes with the cells under it. The document keeps the chart and
    // hands out a pointer to it.
    Chart *counts = document.insertChart(2, 6, QSize(480, 300));
    counts->setType(Chart::Column);
    counts->setTitle(QStringLiteral("Samples analysed by month"));
    counts->setAxisTitle(Chart::CategoryAxis, QStringLiteral("Month"));
    counts->setAxisTitle(Chart::ValueAxis, QStringLiteral("Samples"));
    counts->setLegendPosition(Chart::Bottom);

    // A series takes references to cells, which the chart reads each time
    // it is drawn: its values, the categories under them and its name (here
    // the header over the column). reference() writes them as
    // "Samples!$B$2:$B$7".
    for (int column = 2; column <= 3; ++column) {
        ChartSeries series;
        series.values = ChartSeries::reference(sheet, CellArea(2, column, last, column));
        series.categories = ChartSeries::reference(sheet, CellArea(2, 1, last, 1));
        series.nameReference = ChartSeries::reference(sheet, Spreadsheet::CellAddress(1, column));
        if (!counts->addSeries(series)) {
            QTextStream(stderr) << "A series was refused: " << series.values << '\n';
            return 1;
        }
    }

    // A chart sheet, "Acidity", with a line of the mean acidity in red and
    // a marker on each month. addChartsheet() makes it the active sheet.
    Spreadsheet::Chartsheet *chartsheet = document.addChartsheet(QStringLiteral("Acidity"));
    Chart *acidity = chartsheet->chart();
    acidity->setType(Chart::Line);
    acidity->setTitle(QStringLiteral("Mean acidity"));
    acidity->setAxisNumberFormat(Chart::ValueAxis, QStringLiteral("0.00"));
    acidity->setLegendPosition(Chart::NoLegend);
    ChartSeries mean;
    mean.values = ChartSeries::reference(sheet, CellArea(2, 4, last, 4));
    mean.categories = ChartSeries::reference(sheet, CellArea(2, 1, last, 1));
    mean.name = QStringLiteral("Mean acidity");   // a fixed text instead of a reference
    mean.color = Qt::red;
    mean.marker = ChartSeries::Circle;
    acidity->addSeries(mean);

    // The workbook opens on the data.
    document.selectSheet(sheet);

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": a column chart on " << sheet
                        << " and a line chart on the chart sheet " << chartsheet->sheetName() << '\n';
    return 0;
}
