#ifndef SAMPLEROW_H
#define SAMPLEROW_H

#include <QDateTime>
#include <QString>

// The values derived from one analysed sample of an export file. The
// multi-line fields hold one line per result, separated by "\r\n"; line k of
// each of them belongs to the same result.
struct SampleRow
{
    QDateTime timestamp;     // invalid when the file's timestamp does not parse
    QString matrix;
    QString analysis;
    QString sampleName;
    QString resultLines;
    QString umLines;
    QString kLines;
    QString qLines;
    QString noteLines;
    QString symbolLines;
    int rowId = 0;           // running number of the row in its acquisition, from 0
};

#endif // SAMPLEROW_H
