#ifndef BENCHUTIL_H
#define BENCHUTIL_H

#include <QElapsedTimer>
#include <QFile>
#include <QString>

// Helpers shared by the benchmark programs.
namespace Bench {

// Peak resident memory of this process so far, in MiB (Linux).
inline double peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// Milliseconds since the timer was last restarted; restarts it.
inline double lap(QElapsedTimer &timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

// An export file of the given number of samples, three results each, over
// five matrices and twenty analyses, ten samples per record.
inline QByteArray generatedExport(int samples)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><export><instrument><series>222</series>"
                     "<iname>QVR Bench</iname><iid>005Z02</iid><SN>B-1</SN><FW>1.0</FW><ruSN>R-1</ruSN>"
                     "<ruFW>1.0</ruFW><labName>Bench lab</labName><companyName>Bench</companyName>"
                     "<companyAddr>Nowhere 1</companyAddr></instrument>";
    const int perRecord = 10;
    for (int first = 0; first < samples; first += perRecord) {
        const int recordNumber = first / perRecord;
        xml += "<record><recordID>" + QByteArray::number(recordNumber) + "</recordID><timestamp><year>2026</year>"
               "<month>" + QByteArray::number(1 + recordNumber % 12) + "</month><date>"
               + QByteArray::number(1 + recordNumber % 28) + "</date><hours>" + QByteArray::number(recordNumber % 24)
               + "</hours><minutes>" + QByteArray::number(recordNumber % 60) + "</minutes><seconds>0</seconds>"
               "</timestamp><analysis>Analysis " + QByteArray::number(recordNumber % 20) + "</analysis><matrix>Matrix "
               + QByteArray::number(recordNumber % 5) + "</matrix><samples>";
        for (int s = first; s < qMin(samples, first + perRecord); ++s) {
            xml += "<sample><sampleID>" + QByteArray::number(s) + "</sampleID><code>Sample " + QByteArray::number(s)
                   + "</code>";
            for (int r = 0; r < 3; ++r) {
                xml += "<result><resultID>" + QByteArray::number(r) + "</resultID><value>"
                       + QByteArray::number((s * 37 + r * 11) % 1000 / 10.0, 'f', 2) + "</value><UM>g/L</UM>"
                       "<K>1.0021</K><K0>0</K0><K1>0</K1><K2>0</K2><K3>0</K3><Q>0.0003</Q><flag_INFMIN></flag_INFMIN>"
                       "<flag_SUPMAX>" + QByteArray(s % 17 == 0 ? "*" : "") + "</flag_SUPMAX><flag_BLK_KO></flag_BLK_KO>"
                       "<flag_ABS_KO>" + QByteArray(s % 23 == 0 ? "*" : "") + "</flag_ABS_KO>"
                       "<flag_MAXDELTA></flag_MAXDELTA></result>";
            }
            xml += "</sample>";
        }
        xml += "</samples></record>";
    }
    return xml + "</export>";
}

} // namespace Bench

#endif // BENCHUTIL_H
