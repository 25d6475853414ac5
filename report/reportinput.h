#ifndef REPORTINPUT_H
#define REPORTINPUT_H

#include "acquisition/flaglegend.h"
#include "acquisition/tablerow.h"

#include <QString>
#include <QVector>

// Everything the analysis report reads, gathered from the window (or from an
// export file) so that the report can be built without widgets.
struct ReportInput
{
    QString laboratory;
    QString companyName;
    QString companyAddress;
    QString signature;
    bool instrumentLineShown = false;    // the instrument panel is shown
    bool matrixShown = false;            // the matrix column is shown
    FlagLegend flagLegend;
    QString instrumentName;
    QString instrumentSerial;
    QVector<TableRow> rows;              // every table row, in the table's order
};

#endif // REPORTINPUT_H
