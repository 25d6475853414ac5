// An export of 100,000 samples (three results each) acquired through the
// window, every row ticked, and exported to PDF and to Excel: prints the time
// and the peak memory after each step. "bench_large [SAMPLES]"
#include "app/mainwindow.h"
#include "scriptedplatform.h"
#include "benchutil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLoggingCategory>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>


int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const int samples = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    auto report = [&](const char *step, double ms, const QString &path = QString()) {
        out << QStringLiteral("%1: %2 s, peak memory %3 MiB%4\n")
                   .arg(QLatin1String(step)).arg(ms / 1000, 0, 'f', 1).arg(Bench::peakMemoryMiB(), 0, 'f', 0)
                   .arg(path.isEmpty() ? QString() : QStringLiteral(", %1 MiB written").arg(QFileInfo(path).size() / 1048576.0, 0, 'f', 1));
        out.flush();
    };

    ScriptedPlatform desktop;
    desktop.openAnswer = dir.filePath(QStringLiteral("export.xml"));
    {
        QFile file(desktop.openAnswer);
        file.open(QIODevice::WriteOnly);
        file.write(Bench::generatedExport(samples));
    }
    out << QStringLiteral("%1 samples, %2 MiB export file\n").arg(samples)
               .arg(QFileInfo(desktop.openAnswer).size() / 1048576.0, 0, 'f', 1);

    MainWindow window(&desktop);
    QElapsedTimer timer;
    timer.start();
    window.findChild<QAbstractButton *>(QStringLiteral("acquireButton"))->click();
    const int rows = window.findChild<QTableWidget *>(QStringLiteral("resultTable"))->rowCount();
    report(qPrintable(QStringLiteral("acquire (%1 rows)").arg(rows)), Bench::lap(timer));
    window.findChild<QAbstractButton *>(QStringLiteral("commandLinkButton"))->click();
    Bench::lap(timer);

    desktop.saveAnswer = dir.filePath(QStringLiteral("results.xlsx"));
    window.findChild<QAbstractButton *>(QStringLiteral("pushButton"))->click();
    report("export Excel", Bench::lap(timer), desktop.saveAnswer);

    desktop.saveAnswer = dir.filePath(QStringLiteral("results.pdf"));
    window.findChild<QAbstractButton *>(QStringLiteral("printButton"))->click();
    report("export PDF", Bench::lap(timer), desktop.saveAnswer);

    window.findChild<QAbstractButton *>(QStringLiteral("acquireButton"))->click();
    report("acquire again (clearing the table first)", Bench::lap(timer));

    // Each acquisition first warns that there is no instrument; anything else failed.
    const QStringList failures = desktop.warnings.filter(QStringLiteral("could not"));
    for (const QString &warning : failures)
        out << "warning: " << warning << '\n';
    return failures.isEmpty() ? 0 : 1;
}
