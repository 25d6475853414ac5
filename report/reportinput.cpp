#include "reportinput.h"

#include "acquisition/exportfile.h"

ReportInput reportInputFor(const ExportFile &file)
{
    ReportInput input;
    input.laboratory = file.instrument.laboratory;
    input.companyName = file.instrument.companyName;
    input.companyAddress = file.instrument.companyAddress;
    input.instrumentLineShown = !file.instrument.name.isEmpty();
    input.matrixShown = file.matrices.size() >= 2;
    for (int kind = 0; kind < FlagLegend::kindCount; ++kind) {
        if (file.flagKindUsed[kind])
            input.flagLegend.markUsed(FlagLegend::Kind(kind));
    }
    input.instrumentName = file.instrument.name;
    input.instrumentSerial = file.instrument.serialNumber;
    return input;
}
