#ifndef SPREADSHEET_CHARTSHEET_H
#define SPREADSHEET_CHARTSHEET_H

//! \file chartsheet.h
//! Sheets that are one chart: Chartsheet.

#include "abstractsheet.h"

namespace Spreadsheet {

class Chart;
class ChartsheetPrivate;

//! A sheet that is one chart, filling it; "xl/chartsheets/sheetN.xml". A
//! chart sheet of a loaded workbook keeps its part as it came; its chart, when
//! the model reads it, is listed and can be changed.
//!
//! Document::addChartsheet() and Workbook::addSheet() with
//! AbstractSheet::ChartSheet make chart sheets; the workbook owns them.
//!
//! \code
//! Spreadsheet::Chartsheet *sheet = document.addChartsheet(QStringLiteral("Trend"));
//! Spreadsheet::Chart *chart = sheet->chart();
//! chart->setType(Spreadsheet::Chart::Line);
//! Spreadsheet::ChartSeries acidity;
//! acidity.values = QStringLiteral("Sheet1!$B$2:$B$40");
//! chart->addSeries(acidity);
//! \endcode
class Chartsheet : public AbstractSheet
{
    Q_DECLARE_PRIVATE(Chartsheet)

public:
    //! Destroys the sheet and its chart; its workbook does that.
    ~Chartsheet() override;

    //! The sheet's chart, owned by the sheet.
    //! Null for a loaded chart sheet whose chart the model does not read.
    Chart *chart() const;

    //! Writes the part of a new chart sheet: its view and the reference to
    //! the drawing that holds the chart.
    void writeXml(QIODevice *device) const override;
    //! A loaded chart sheet is kept as it came: nothing to read. Always true.
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
