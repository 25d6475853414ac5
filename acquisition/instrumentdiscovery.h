#ifndef INSTRUMENTDISCOVERY_H
#define INSTRUMENTDISCOVERY_H

#include "volume.h"

#include <QString>
#include <QVector>

// The export file on the first valid, ready volume whose label names a known
// instrument ("QVRDRIVE" with "results.xml", "KOLVEN" with "export.xml"; labels
// compared exactly); an empty path when no volume matches.
QString findInstrumentExport(const QVector<Volume> &volumes);

#endif // INSTRUMENTDISCOVERY_H
