#ifndef SPREADSHEET_CHARTSHEET_H
#define SPREADSHEET_CHARTSHEET_H

#include "abstractsheet.h"

namespace Spreadsheet {

class Chart;
class ChartsheetPrivate;

// A sheet that is one chart, filling it; "xl/chartsheets/sheetN.xml". A
// chart sheet of a loaded workbook keeps its part as it came; its chart, when
// the model reads it, is listed and can be changed.
class Chartsheet : public AbstractSheet
{
    Q_DECLARE_PRIVATE(Chartsheet)

public:
    ~Chartsheet() override;

    // Null for a loaded chart sheet whose chart the model does not read.
    Chart *chart() const;

    void writeXml(QIODevice *device) const override;
    // A loaded chart sheet is kept as it came: nothing to read.
    bool readXml(QIODevice *device) override;

protected:
    AbstractSheet *copy(const QString &name, int sheetId) const override;

private:
    friend class DocumentLoader;
    friend class Workbook;
    Chartsheet(const QString &name, int sheetId, Workbook *workbook, CreationMode mode);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CHARTSHEET_H
