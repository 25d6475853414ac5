// The PDF report of 100, 1,000 and 4,000 ticked rows: time to build the HTML,
// to lay it out, and to write the whole PDF; prints the page count too.
#include "benchutil.h"
#include "report/pdfreport.h"
#include "report/reportdocument.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextStream>

namespace {

ReportInput input(int rows)
{
    ReportInput input;
    input.laboratory = QStringLiteral("Bench laboratory\nQuality control");
    input.companyName = QStringLiteral("Bench company");
    input.signature = QStringLiteral("Dr. Bench");
    input.matrixShown = true;
    input.instrumentLineShown = true;
    input.instrumentName = QStringLiteral("QVR Bench");
    input.instrumentSerial = QStringLiteral("B-1");
    for (int i = 0; i < rows; ++i) {
        TableRow row;
        row.ticked = true;
        row.values.timestamp = QDateTime(QDate(2026, 1 + i % 12, 1 + i % 28), QTime(i % 24, i % 60));
        row.values.matrix = QStringLiteral("Matrix %1").arg(i % 5);
        row.values.analysis = QStringLiteral("Analysis %1").arg(i % 20);
        row.values.sampleName = QStringLiteral("Sample %1").arg(i);
        row.values.resultLines = QStringLiteral("%1\r\n%2\r\n%3").arg(i % 97 / 10.0).arg(i % 13 / 10.0).arg(i % 7);
        row.values.umLines = QStringLiteral("g/L\r\ng/L\r\ng/L");
        row.values.symbolLines = i % 11 == 0 ? QStringLiteral("*\r\n\r\n") : QStringLiteral("\r\n\r\n");
        input.rows.append(row);
    }
    return input;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTextStream out(stdout);
    QTemporaryDir dir;
    for (int rows : { 100, 1000, 4000 }) {
        const ReportInput report = input(rows);
        QElapsedTimer timer;
        timer.start();
        const QString html = ReportDocument::bodyHtml(report);
        const double build = Bench::lap(timer);
        QTextDocument body;
        body.setHtml(html);
        body.setPageSize(QSizeF(642, 800));
        const double pagesEstimate = PdfReport::totalPages(qRound(body.size().height()), 800);
        const double layout = Bench::lap(timer);
        const bool written = PdfReport::write(dir.filePath(QStringLiteral("report.pdf")), report);
        const double total = Bench::lap(timer);
        out << QStringLiteral("%1 rows: build HTML %2 ms, layout %3 ms, whole PDF (layout and paint) %4 ms, "
                              "about %5 pages%6, peak memory %7 MiB\n")
                   .arg(rows).arg(build, 0, 'f', 1).arg(layout, 0, 'f', 0).arg(total, 0, 'f', 0)
                   .arg(pagesEstimate).arg(written ? QString() : QStringLiteral(" (NOT WRITTEN)"))
                   .arg(Bench::peakMemoryMiB(), 0, 'f', 0);
        out.flush();
    }
    return 0;
}
