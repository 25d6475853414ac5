// Writes and reads the workloads spreadsheet libraries are compared on: one
// million mixed cells (five number columns, four text columns whose texts
// repeat, one date column), the same ten times over, one million texts and
// one million numbers. Each step runs three times, each time in a process of
// its own so that its peak memory is its own; the run of least CPU time gives
// the CPU time, wall time, peak memory and package size printed, beside the
// goals where there is one. Writing goes through Document and through
// SheetWriter (with shared texts, and with texts inline, whose memory is
// meant to stay flat).
//   bench_workloads [--large]   (--large adds the ten-million-cell workload)
#include "benchutil.h"

#include "spreadsheet/spreadsheet.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

using namespace Spreadsheet;

namespace {

// The goals on the project's machine class (2 cores).
constexpr double goalWriteCpuSeconds = 0.8;        // one million mixed cells through Document
constexpr double goalReaderCellsPerSecond = 5e6;   // SheetReader, mixed cells, per second of CPU
constexpr double goalLoadCellsPerSecond = 3e6;     // Document::load
constexpr double goalStreamedPeakMiB = 32;         // ten million cells through SheetWriter, texts inline

struct Workload
{
    const char *name;
    int rows;
    enum Kind { Mixed, Texts, Numbers } kind;
};

const Workload workloads[] = {
    { "mixed", 100000, Workload::Mixed },
    { "texts", 100000, Workload::Texts },
    { "numbers", 100000, Workload::Numbers },
    { "mixed-10m", 1000000, Workload::Mixed },
};

const Workload *workloadNamed(const QString &name)
{
    for (const Workload &one : workloads) {
        if (name == QLatin1String(one.name))
            return &one;
    }
    return nullptr;
}

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Ten cells a row. Texts come from pools, as lab data repeats its matrices,
// analyses and operators; numbers vary.
class Cells
{
public:
    Cells()
    {
        for (int i = 0; i < 1000; ++i)
            pool << QStringLiteral("Sample text %1").arg(i);
        date.setNumberFormatCode(QStringLiteral("yyyy-mm-dd"));
    }

    QVariant value(Workload::Kind kind, int row, int column) const
    {
        const int seed = row * 31 + column * 7;
        if (kind == Workload::Texts || (kind == Workload::Mixed && column > 5 && column <= 9))
            return pool.at(seed % pool.size());
        if (kind == Workload::Mixed && column == 10)
            return start.addDays(row % 3000);
        return seed * 0.25 + row;
    }
    Format format(Workload::Kind kind, int column) const
    {
        return kind == Workload::Mixed && column == 10 ? date : Format();
    }

private:
    QStringList pool;
    Format date;
    const QDate start{ 2020, 1, 1 };
};

void writeWorkload(const Workload &workload, Document &document)
{
    Worksheet *sheet = document.activeWorksheet();
    const Cells cells;
    for (int row = 1; row <= workload.rows; ++row) {
        for (int column = 1; column <= 10; ++column)
            sheet->writeValue(row, column, cells.value(workload.kind, row, column), cells.format(workload.kind, column));
    }
}

bool streamWorkload(const Workload &workload, Document &document, SheetWriter::TextStorage texts)
{
    SheetWriter writer(document, QStringLiteral("Sheet1"), texts);
    const Cells cells;
    QVector<QVariant> values(10);
    QVector<Format> formats(10);
    for (int column = 1; column <= 10; ++column)
        formats[column - 1] = cells.format(workload.kind, column);
    for (int row = 1; row <= workload.rows; ++row) {
        for (int column = 1; column <= 10; ++column)
            values[column - 1] = cells.value(workload.kind, row, column);
        if (!writer.writeRow(values, formats))
            return false;
    }
    return true;
}

// One step in this process: "write", "writer", "writer-inline", "reader" or
// "load" of a workload,
// the package's path; prints "cpu wall cells bytes peak".
int runStep(const QString &step, const Workload &workload, const QString &path)
{
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = cpuSeconds();
    qint64 cells = 0;
    if (step == QLatin1String("write")) {
        Document document;
        writeWorkload(workload, document);
        if (!document.saveToFile(path))
            return 1;
        cells = qint64(workload.rows) * 10;
    } else if (step.startsWith(QLatin1String("writer"))) {
        Document document;
        const auto texts = step.endsWith(QLatin1String("inline")) ? SheetWriter::InlineTexts : SheetWriter::SharedTexts;
        if (!streamWorkload(workload, document, texts) || !document.saveToFile(path))
            return 1;
        cells = qint64(workload.rows) * 10;
    } else if (step == QLatin1String("reader")) {
        SheetReader reader;
        if (!reader.open(path))
            return 1;
        while (reader.readRow())
            cells += reader.values().size();
        if (reader.hasError())
            return 1;
    } else {
        Document document;
        if (!document.load(path))
            return 1;
        document.forEachCell([&](int, int, const SheetCell &) { ++cells; });
    }
    QTextStream(stdout) << (cpuSeconds() - cpuStart) << ' ' << wall.nsecsElapsed() / 1e9 << ' ' << cells << ' '
                        << QFileInfo(path).size() << ' ' << Bench::peakMemoryMiB() << '\n';
    return 0;
}

QString figures(double cpu, double wall, double peak)
{
    return QStringLiteral("CPU %1 s, wall %2 s, peak %3 MiB")
        .arg(cpu, 0, 'f', 2)
        .arg(wall, 0, 'f', 2)
        .arg(peak, 0, 'f', 1);
}

QString stepTitle(const QString &step)
{
    if (step == QLatin1String("write"))
        return QStringLiteral("Document");
    if (step == QLatin1String("writer"))
        return QStringLiteral("SheetWriter, shared texts");
    if (step == QLatin1String("writer-inline"))
        return QStringLiteral("SheetWriter, texts inline");
    return step == QLatin1String("reader") ? QStringLiteral("SheetReader") : QStringLiteral("Document::load");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 5 && arguments.at(1) == QLatin1String("--step")) {
        const Workload *workload = workloadNamed(arguments.at(3));
        return workload ? runStep(arguments.at(2), *workload, arguments.at(4)) : 2;
    }
    const bool large = arguments.contains(QStringLiteral("--large"));
    QTextStream out(stdout);
    QTemporaryDir folder;
    for (const Workload &workload : workloads) {
        if (workload.rows > 100000 && !large)
            continue;
        const QString path = folder.filePath(QLatin1String(workload.name) + QStringLiteral(".xlsx"));
        out << workload.name << ": " << qint64(workload.rows) * 10 << " cells\n";
        const QStringList steps = { QStringLiteral("write"), QStringLiteral("writer"), QStringLiteral("writer-inline"),
                                    QStringLiteral("reader"), QStringLiteral("load") };
        for (const QString &step : steps) {
            // The reading steps read what Document wrote.
            const QString file = step.startsWith(QLatin1String("writer")) ? folder.filePath(step + QStringLiteral(".xlsx")) : path;
            // The best of three runs: a shared machine's other work only adds time.
            QList<QByteArray> values;
            for (int run = 0; run < 3; ++run) {
                QProcess child;
                child.start(app.applicationFilePath(), { QStringLiteral("--step"), step, QLatin1String(workload.name), file });
                child.waitForFinished(-1);
                const QList<QByteArray> measured = child.readAllStandardOutput().trimmed().split(' ');
                if (child.exitCode() != 0 || measured.size() != 5) {
                    values.clear();
                    break;
                }
                if (values.isEmpty() || measured.at(0).toDouble() < values.at(0).toDouble())
                    values = measured;
            }
            if (values.isEmpty()) {
                out << "  " << step << ": failed\n";
                continue;
            }
            const double cpu = values.at(0).toDouble();
            const double wall = values.at(1).toDouble();
            const double cells = values.at(2).toDouble();
            const double peak = values.at(4).toDouble();
            out << "  " << step << " (" << stepTitle(step) << "): " << figures(cpu, wall, peak);
            if (step == QLatin1String("write") || step.startsWith(QLatin1String("writer"))) {
                out << ", " << QString::number(values.at(3).toDouble() / 1048576, 'f', 1) << " MiB written";
                if (step == QLatin1String("write") && workload.kind == Workload::Mixed && workload.rows == 100000)
                    out << "; goal " << goalWriteCpuSeconds << " s of CPU: ratio " << QString::number(cpu / goalWriteCpuSeconds, 'f', 2);
                if (step == QLatin1String("writer-inline") && workload.rows > 100000)
                    out << "; goal " << goalStreamedPeakMiB << " MiB: ratio " << QString::number(peak / goalStreamedPeakMiB, 'f', 2);
            } else {
                const double rate = cpu > 0 ? cells / cpu : 0;
                out << ", " << QString::number(rate / 1e6, 'f', 2) << " million cells per CPU second";
                if (workload.kind == Workload::Mixed) {
                    const double goal = step == QLatin1String("reader") ? goalReaderCellsPerSecond : goalLoadCellsPerSecond;
                    out << "; goal " << goal / 1e6 << " million: ratio " << QString::number(rate / goal, 'f', 2);
                }
            }
            out << '\n';
            out.flush();
        }
    }
    return 0;
}
