// Pictures, charts and chart sheets as readers see them: openpyxl reads every
// anchor and series, LibreOffice draws every kind of chart, and loading a
// package whose drawings were made to hurt keeps them without trusting them.
#include "hosttools.h"
#include "packageentries.h"
#include "spreadsheet/spreadsheet.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Spreadsheet;
using namespace PackageEntries;

namespace {

QByteArray runPython(const QStringList &arguments)
{
    QProcess process;
    process.start(HostTools::program(QStringLiteral("python3")),
                  QStringList{ QFINDTESTDATA("drawing/read_drawings.py") } + arguments);
    if (!process.waitForFinished(240000) || process.exitCode() != 0)
        return "failed: " + process.readAllStandardError();
    return process.readAllStandardOutput();
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage filled(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The pages LibreOffice prints of a workbook: per page, its pure red and
// pure blue pixels and how many other strong colours show.
QJsonArray renderedColours(const QString &path, const QString &folder)
{
    QProcess office;
    office.start(QStringLiteral("soffice"), { QStringLiteral("--headless"),
                                              QStringLiteral("-env:UserInstallation=file://") + folder + QStringLiteral("/profile"),
                                              QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                              QStringLiteral("--outdir"), folder, path });
    if (!office.waitForFinished(240000))
        return QJsonArray();
    const QString pdf = folder + QLatin1Char('/') + QFileInfo(path).completeBaseName() + QStringLiteral(".pdf");
    return QJsonDocument::fromJson(runPython({ QStringLiteral("colours"), pdf })).array();
}

int total(const QJsonArray &pages, const QString &colour)
{
    int sum = 0;
    for (const QJsonValue &page : pages)
        sum += page.toObject().value(colour).toInt();
    return sum;
}

// A GIF of one green pixel, written out by hand.
const QByteArray oneGreenPixelGif = QByteArray::fromHex(
    "474946383961010001008000000000ff00ffffff2c00000000010001000002024401003b");

// Two series of six months over A1:C7 of the sheet.
void writeData(Document &document)
{
    document.writeValue(1, 1, QStringLiteral("Month"));
    document.writeValue(1, 2, QStringLiteral("Alpha"));
    document.writeValue(1, 3, QStringLiteral("Beta"));
    for (int row = 2; row <= 7; ++row) {
        document.writeValue(row, 1, QStringLiteral("M%1").arg(row - 1));
        document.writeValue(row, 2, row * 3);
        document.writeValue(row, 3, 20 - row);
    }
}

void addRedAndBlueSeries(Chart *chart, const QString &sheet)
{
    ChartSeries alpha;
    alpha.values = ChartSeries::reference(sheet, CellArea(2, 2, 7, 2));
    alpha.categories = ChartSeries::reference(sheet, CellArea(2, 1, 7, 1));
    alpha.nameReference = ChartSeries::reference(sheet, CellAddress(1, 2));
    alpha.color = QColor(255, 0, 0);
    QVERIFY(chart->addSeries(alpha));
    ChartSeries beta = alpha;
    beta.values = ChartSeries::reference(sheet, CellArea(2, 3, 7, 3));
    beta.nameReference.clear();
    beta.name = QStringLiteral("Beta");
    beta.color = QColor(0, 0, 255);
    beta.marker = ChartSeries::Square;
    QVERIFY(chart->addSeries(beta));
}

const Chart::Type everyKind[] = { Chart::Column, Chart::Bar, Chart::Line, Chart::Area,
                                  Chart::Pie, Chart::Doughnut, Chart::Scatter, Chart::Radar };

} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void picturesOfEveryKindAndAnchor();
    void chartsOfEveryKind();
    void chartSheetsDrawEveryKind();
    void hostileDrawingsAreKeptNotTrusted();

private:
    QTemporaryDir m_dir;
};

void TestDrawing::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestDrawing::picturesOfEveryKindAndAnchor()
{
    Document document;
    const QImage red = filled(40, 30, Qt::red);
    const QByteArray jpeg = encoded(filled(50, 20, Qt::blue), "JPG");
    const QByteArray bmp = encoded(filled(10, 10, Qt::yellow), "BMP");
    QVERIFY(document.insertImage(2, 2, red));
    ImagePlacement scaled;
    scaled.offset = QPoint(3, 4);
    scaled.xScale = 2;
    scaled.yScale = 0.5;
    QVERIFY(document.insertImage(10, 2, red, scaled));   // the same PNG: stored once
    ImagePlacement twoCells;
    twoCells.anchor = DrawingAnchor::TwoCell;
    twoCells.offset = QPoint(30, 5);
    QVERIFY(document.insertImage(2, 4, jpeg, twoCells));
    ImagePlacement fixed;
    fixed.anchor = DrawingAnchor::Absolute;
    fixed.size = QSize(16, 16);
    QVERIFY(document.insertImage(5, 8, oneGreenPixelGif, fixed));
    ImagePlacement described;
    described.description = QStringLiteral("yellow square");
    QVERIFY(document.insertImage(12, 6, bmp, described));

    // What is not a picture of a known kind, or lies outside the sheet.
    QVERIFY(!document.insertImage(1, 1, QByteArray("GIF89a\x01")));
    QVERIFY(!document.insertImage(1, 1, QByteArray("%PDF-1.4 not a picture")));
    QVERIFY(!document.insertImage(1, 1, QImage()));
    QVERIFY(!document.insertImage(0, 1, bmp));
    QVERIFY(!document.insertImage(1, maximumColumns + 1, bmp));

    const QString path = m_dir.filePath(QStringLiteral("pictures.xlsx"));
    QVERIFY(document.saveToFile(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray package = file.readAll();
    QCOMPARE(entryOf(package, QStringLiteral("xl/media/image2.jpeg")), jpeg);
    QCOMPARE(entryOf(package, QStringLiteral("xl/media/image3.gif")), oneGreenPixelGif);

    // Read back: every picture with its bytes, kind, anchor and text.
    Document loaded;
    QVERIFY2(loaded.load(path), qPrintable(loaded.errorString()));
    const QList<SheetImage> images = loaded.activeWorksheet()->images();
    QCOMPARE(images.size(), 5);
    QCOMPARE(images.at(1).anchor().from(), CellAddress(10, 2));
    QCOMPARE(images.at(1).anchor().fromOffset(), QPoint(3, 4));
    QCOMPARE(images.at(1).anchor().size(), QSize(80, 15));
    QCOMPARE(images.at(2).type(), SheetImage::Jpeg);
    QCOMPARE(images.at(2).bytes(), jpeg);
    QCOMPARE(images.at(2).anchor().to(), CellAddress(3, 5));   // 30 + 50 pixels over 64-pixel columns
    QCOMPARE(images.at(3).anchor().kind(), DrawingAnchor::Absolute);
    QCOMPARE(images.at(4).description(), QStringLiteral("yellow square"));

    if (!HostTools::available())
        return;
    // Columns of 64 pixels, rows of 20; 9525 EMU to the pixel.
    const QByteArray expected =
        "media xl/media/image1.png\n"
        "media xl/media/image2.jpeg\n"
        "media xl/media/image3.gif\n"
        "media xl/media/image4.bmp\n"
        "picture Sheet1 AbsoluteAnchor at 4267200,762000 152400x152400 gif 1x1\n"
        "picture Sheet1 OneCellAnchor B10+28575+38100 762000x142875 png 40x30\n"
        "picture Sheet1 OneCellAnchor B2+0+0 381000x285750 png 40x30\n"
        "picture Sheet1 OneCellAnchor F12+0+0 95250x95250 bmp 10x10\n"
        "picture Sheet1 TwoCellAnchor D2+285750+47625 to E3+152400+47625 jpeg 50x20\n";
    QCOMPARE(runPython({ QStringLiteral("pictures"), HostTools::path(path) }), expected);
    // LibreOffice draws the red PNG twice (the second at half height) and the blue JPEG.
    const QJsonArray pages = renderedColours(path, m_dir.path());
    QVERIFY2(total(pages, QStringLiteral("red")) > 200 && total(pages, QStringLiteral("blue")) > 100,
             QJsonDocument(pages).toJson().constData());
}

void TestDrawing::chartsOfEveryKind()
{
    Document document;
    writeData(document);
    int row = 10;
    for (const Chart::Type type : everyKind) {
        Chart *chart = document.insertChart(row, 5, QSize(320, 200));
        QVERIFY(chart);
        row += 12;
        chart->setType(type);
        chart->setTitle(QStringLiteral("Kind %1").arg(int(type)));
        addRedAndBlueSeries(chart, QStringLiteral("Sheet1"));
    }
    QList<Chart *> charts = document.activeWorksheet()->charts();
    charts.at(0)->setGrouping(Chart::Stacked);
    charts.at(1)->setGrouping(Chart::PercentStacked);
    charts.at(3)->setGrouping(Chart::Stacked);
    charts.at(6)->setScatterStyle(Chart::SmoothLines);
    charts.at(2)->setAxisTitle(Chart::ValueAxis, QStringLiteral("mg/kg"));
    charts.at(2)->setAxisRange(Chart::ValueAxis, 0, 30);
    charts.at(2)->setAxisNumberFormat(Chart::ValueAxis, QStringLiteral("0.0"));
    charts.at(2)->setLegendPosition(Chart::Bottom);
    charts.at(2)->setDataLabels(true);
    charts.at(7)->setLegendPosition(Chart::NoLegend);
    ChartSeries wrong;
    wrong.values = QStringLiteral("B2:B7");   // a series names its sheet
    QVERIFY(!charts.at(0)->addSeries(wrong));
    wrong.values = QStringLiteral("Sheet1!$B$2:$B$9999999");
    QVERIFY(!charts.at(0)->addSeries(wrong));
    QVERIFY(!document.insertChart(0, 1, QSize(10, 10)));

    const QString path = m_dir.filePath(QStringLiteral("charts.xlsx"));
    QVERIFY(document.saveToFile(path));
    Document loaded;
    QVERIFY2(loaded.load(path), qPrintable(loaded.errorString()));
    const QList<Chart *> read = loaded.activeWorksheet()->charts();
    QCOMPARE(read.size(), 8);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(read.at(i)->type(), everyKind[i]);
        QCOMPARE(read.at(i)->series().size(), 2);
    }
    QCOMPARE(read.at(6)->scatterStyle(), Chart::SmoothLines);
    QCOMPARE(read.at(2)->legendPosition(), Chart::Bottom);
    QCOMPARE(read.at(7)->legendPosition(), Chart::NoLegend);
    QCOMPARE(read.at(4)->series().at(1).name, QStringLiteral("Beta"));
    QCOMPARE(read.at(4)->series().at(0).nameReference, QStringLiteral("Sheet1!$B$1"));

    if (!HostTools::available())
        return;
    const QString series = QStringLiteral(" Sheet1!$B$2:$B$7 by Sheet1!$A$2:$A$7; Sheet1!$C$2:$C$7 by Sheet1!$A$2:$A$7\n");
    const QString expected = QStringLiteral("chart Sheet1 AreaChart(stacked) \"Kind 3\"") + series
        + QStringLiteral("chart Sheet1 BarChart(percentStacked) \"Kind 1\"") + series
        + QStringLiteral("chart Sheet1 BarChart(stacked) \"Kind 0\"") + series
        + QStringLiteral("chart Sheet1 DoughnutChart \"Kind 5\"") + series
        + QStringLiteral("chart Sheet1 LineChart \"Kind 2\"") + series
        + QStringLiteral("chart Sheet1 PieChart \"Kind 4\"") + series
        + QStringLiteral("chart Sheet1 RadarChart \"Kind 7\"") + series
        + QStringLiteral("chart Sheet1 ScatterChart \"Kind 6\"") + series;
    QCOMPARE(QString::fromUtf8(runPython({ QStringLiteral("pictures"), HostTools::path(path) })), expected);
    const QJsonArray pages = renderedColours(path, m_dir.path());
    QVERIFY2(total(pages, QStringLiteral("red")) > 400 && total(pages, QStringLiteral("blue")) > 400,
             QJsonDocument(pages).toJson().constData());
}

// One chart sheet per kind, each printed by LibreOffice on a page of its own
// after the data's page: the series show in their colours (pie and doughnut
// in the program's own colours, one per slice).
void TestDrawing::chartSheetsDrawEveryKind()
{
    Document document;
    writeData(document);
    for (const Chart::Type type : everyKind) {
        Chartsheet *sheet = document.addChartsheet();
        QVERIFY(sheet);
        sheet->chart()->setType(type);
        addRedAndBlueSeries(sheet->chart(), QStringLiteral("Sheet1"));
    }
    QCOMPARE(document.sheetNames().mid(1, 2), QStringList({ QStringLiteral("Chart1"), QStringLiteral("Chart2") }));
    QVERIFY(!document.addChartsheet(QStringLiteral("chart1")));
    QVERIFY(document.copySheet(QStringLiteral("Chart8")));
    QVERIFY(document.deleteSheet(QStringLiteral("Chart8(2)")));
    const QString path = m_dir.filePath(QStringLiteral("chartsheets.xlsx"));
    QVERIFY(document.saveToFile(path));

    Document loaded;
    QVERIFY2(loaded.load(path), qPrintable(loaded.errorString()));
    QCOMPARE(loaded.sheetNames().size(), 9);
    auto *third = static_cast<Chartsheet *>(loaded.workbook()->sheet(3));
    QCOMPARE(third->sheetType(), AbstractSheet::ChartSheet);
    QVERIFY(third->chart());
    QCOMPARE(third->chart()->type(), Chart::Line);

    if (!HostTools::available())
        return;
    const QJsonArray colours = renderedColours(path, m_dir.path());
    const QByteArray pages = QJsonDocument(colours).toJson(QJsonDocument::Compact);
    QVERIFY2(colours.size() == 9, pages.constData());
    for (int i = 0; i < 8; ++i) {
        const QJsonObject page = colours.at(i + 1).toObject();
        const QByteArray shown = QByteArray::number(int(everyKind[i])) + ": " + QJsonDocument(page).toJson(QJsonDocument::Compact);
        if (everyKind[i] == Chart::Pie || everyKind[i] == Chart::Doughnut) {
            QVERIFY2(page.value(QStringLiteral("hues")).toInt() >= 4, shown.constData());
        } else {
            QVERIFY2(page.value(QStringLiteral("red")).toInt() > 40, shown.constData());
            QVERIFY2(page.value(QStringLiteral("blue")).toInt() > 40, shown.constData());
        }
    }
}

// A drawing names its pictures and charts through relationships and places
// them by numbers; none of it may be taken on trust.
void TestDrawing::hostileDrawingsAreKeptNotTrusted()
{
    Document document;
    document.writeValue(1, 1, 1);
    QVERIFY(document.insertImage(2, 2, filled(4, 4, Qt::red)));
    Chart *chart = document.insertChart(2, 4, QSize(100, 100));
    ChartSeries series;
    series.values = QStringLiteral("Sheet1!$A$1");
    chart->addSeries(series);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    QVERIFY(document.saveToDevice(&saved));

    const QString anchor = QStringLiteral(
        "<xdr:oneCellAnchor><xdr:from><xdr:col>%1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>%2</xdr:row>"
        "<xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:ext cx=\"%3\" cy=\"10\"/><xdr:pic><xdr:nvPicPr>"
        "<xdr:cNvPr id=\"9\" name=\"x\"/><xdr:cNvPicPr/></xdr:nvPicPr><xdr:blipFill><a:blip r:embed=\"%4\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/></xdr:blipFill>"
        "<xdr:spPr/></xdr:pic><xdr:clientData/></xdr:oneCellAnchor>");
    const QStringList anchors = {
        anchor.arg(QStringLiteral("99999"), QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("rId1")),
        anchor.arg(QStringLiteral("1"), QStringLiteral("-4"), QStringLiteral("10"), QStringLiteral("rId1")),
        anchor.arg(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("99999999999999"), QStringLiteral("rId1")),
        anchor.arg(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("rId77")),
        anchor.arg(QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("rId1")),
    };
    QByteArray package = editedPackage(saved.data(), [&](const QString &name, QByteArray &bytes) {
        if (name == QLatin1String("xl/drawings/drawing1.xml"))
            bytes.replace("</xdr:wsDr>", anchors.join(QString()).toUtf8() + "</xdr:wsDr>");
        if (name == QLatin1String("xl/drawings/_rels/drawing1.xml.rels"))   // the chart's part is gone
            bytes.replace("../charts/chart1.xml", "../charts/missing.xml");
        return name != QLatin1String("xl/charts/chart1.xml");
    });
    QVERIFY(!package.isEmpty());

    Document loaded;
    QBuffer device(&package);
    device.open(QIODevice::ReadOnly);
    QVERIFY2(loaded.load(&device), qPrintable(loaded.errorString()));
    // The sound picture is listed; the others and the chart without a part
    // are kept as they came, and saved again.
    QCOMPARE(loaded.activeWorksheet()->images().size(), 1);
    QCOMPARE(loaded.activeWorksheet()->charts().size(), 0);
    QVERIFY(loaded.insertImage(5, 5, filled(3, 3, Qt::blue)));
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    QVERIFY(loaded.saveToDevice(&again));
    const QByteArray drawing = entryOf(again.data(), QStringLiteral("xl/drawings/drawing1.xml"));
    for (const QString &kept : anchors)
        QVERIFY(drawing.contains(kept.toUtf8()));
    QVERIFY(drawing.contains("missing") == false);   // relationships live in the .rels part
    QVERIFY(entryOf(again.data(), QStringLiteral("xl/drawings/_rels/drawing1.xml.rels")).contains("../charts/missing.xml"));
    QCOMPARE(entryOf(again.data(), QStringLiteral("xl/media/image2.png")).left(4), QByteArray("\x89PNG"));

    // A sheet whose drawing is not there keeps its element, and takes no
    // second drawing: a sheet has one.
    QByteArray dangling = editedPackage(package, [](const QString &name, QByteArray &) {
        return name != QLatin1String("xl/drawings/drawing1.xml");
    });
    QVERIFY(!dangling.isEmpty());
    QBuffer rewritten(&dangling);
    rewritten.open(QIODevice::ReadOnly);
    Document withoutDrawing;
    QVERIFY2(withoutDrawing.load(&rewritten), qPrintable(withoutDrawing.errorString()));
    QVERIFY(withoutDrawing.activeWorksheet()->images().isEmpty());
    QVERIFY(!withoutDrawing.insertImage(1, 1, filled(2, 2, Qt::red)));
    QVERIFY(!withoutDrawing.insertChart(1, 1, QSize(10, 10)));
    QBuffer kept;
    kept.open(QIODevice::WriteOnly);
    QVERIFY(withoutDrawing.saveToDevice(&kept));
    QCOMPARE(entryOf(kept.data(), QStringLiteral("xl/worksheets/sheet1.xml")).count("<drawing "), 1);
}

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
