#ifndef REPORTINPUT_H
#define REPORTINPUT_H

#include "acquisition/flaglegend.h"
#include "acquisition/tablerow.h"

struct ExportFile;

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

// The report input of an export file as the window shows it right after
// reading it: the file's laboratory texts and instrument, the legend of the
// flags it uses, the instrument line when the instrument has a name and the
// matrix column for two or more distinct matrices. The window and the
// converter both start from it; the rows are left to them, since the window
// takes its rows from the table and the converter ticks the file's rows.
ReportInput reportInputFor(const ExportFile &file);

#endif // REPORTINPUT_H
