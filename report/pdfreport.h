#ifndef PDFREPORT_H
#define PDFREPORT_H

#include "reportinput.h"

#include <QDate>
#include <QString>

// The analysis report as a paged A4 PDF: on every page the header, a band of
// the body, the footer and "Page %1 of %2".
namespace PdfReport {

// Pages needed for a body of the given height on body pages of the given
// height: the quotient rounded to single precision, then up to a whole page.
double totalPages(int contentHeight, qreal bodyPageHeight);

// Writes the report of the input's ticked rows to fileName. The file is written
// in full and only then put in place, so an existing file is never left
// half-written; false when it could not be written.
bool write(const QString &fileName, const ReportInput &input, const QDate &date = QDate::currentDate());

} // namespace PdfReport

#endif // PDFREPORT_H
