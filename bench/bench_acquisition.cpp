// Reads generated exports of 1,000 and 10,000 samples and fills the result
// table as "Acquire data" does; prints the time of each step and peak memory.
#include "acquisition/exportfile.h"
#include "acquisition/resulttable.h"
#include "app/mainwindow.h"
#include "benchutil.h"

#include <QApplication>
#include <QDomDocument>
#include <QLoggingCategory>
#include <QSignalMapper>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

namespace {

void run(int samples, QTextStream &out)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.xml"));
    const QByteArray xml = Bench::generatedExport(samples);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
        return;
    file.close();

    QElapsedTimer timer;
    timer.start();
    {
        QXmlStreamReader reader(xml);
        QDomDocument document;
        document.setContent(&reader, false);
    }
    const double parse = Bench::lap(timer);
    const std::optional<ExportFile> exported = readExportFile(path);
    const double read = Bench::lap(timer) - parse;   // the reader parses again; count only its reading

    MainWindow window;
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    auto *mapper = new QSignalMapper(&window);
    Bench::lap(timer);
    ResultTable results(table);
    results.clear();
    for (const SampleRow &row : exported->rows)
        results.addRow(row, mapper);
    const double fill = Bench::lap(timer);
    table->resizeRowsToContents();
    const double heights = Bench::lap(timer);

    out << QStringLiteral("%1 samples (%2 KiB): parse %3 ms, read %4 ms, fill %5 ms, row heights %6 ms, "
                          "total %7 ms, peak memory %8 MiB\n")
               .arg(samples).arg(xml.size() / 1024).arg(parse, 0, 'f', 0).arg(read, 0, 'f', 0)
               .arg(fill, 0, 'f', 0).arg(heights, 0, 'f', 0).arg(parse + read + fill + heights, 0, 'f', 0)
               .arg(Bench::peakMemoryMiB(), 0, 'f', 0);
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTextStream out(stdout);
    for (int samples : { 1000, 10000 })
        run(samples, out);
    return 0;
}
