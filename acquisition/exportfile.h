#ifndef EXPORTFILE_H
#define EXPORTFILE_H

#include "flaglegend.h"
#include "instrumentinfo.h"
#include "samplerow.h"

#include <QByteArray>
#include <QDomDocument>
#include <QStringList>
#include <QVector>

#include <optional>

// Everything an instrument export file yields.
struct ExportFile
{
    InstrumentInfo instrument;
    QVector<SampleRow> rows;             // one per sample, in document order
    QStringList matrices;                // distinct, in order of first appearance
    bool flagKindUsed[FlagLegend::kindCount] = {};
};

// Reads an instrument export; std::nullopt when the file cannot be opened or
// is not well-formed XML. Every value read is traced to the debug output.
std::optional<ExportFile> readExportFile(const QString &path);
std::optional<ExportFile> readExportData(const QByteArray &data);

// The export's DOM, decoded and checked as readExportData reads it;
// std::nullopt when it is not well-formed XML or nests too deep.
std::optional<QDomDocument> parseExportDocument(const QByteArray &data);

#endif // EXPORTFILE_H
