#ifndef PDFREPORT_H
#define PDFREPORT_H

#include "reportinput.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class QIODevice;

// The analysis report as a paged A4 PDF: on every page the header, a band of
// the body, the footer and "Page %1 of %2".
namespace PdfReport {

// Pages needed for a body of the given height on body pages of the given
// height: the quotient rounded to single precision, then up to a whole page.
double totalPages(int contentHeight, qreal bodyPageHeight);

// Whether pdf is a whole PDF file: its trailer is there and its
// cross-reference table points at every object it lists.
bool isCompletePdf(const QByteArray &pdf);

// Writes the report of the input's ticked rows to device; false when it could
// not be rendered in full or the device refused any of it.
bool write(QIODevice *device, const ReportInput &input, const QDate &date = QDate::currentDate());

// Writes the report to fileName. The file is written in full and only then
// put in place (in a folder that takes no new file, an existing writable
// file is written over); false, with no new file left behind, when it could
// not be written.
bool write(const QString &fileName, const ReportInput &input, const QDate &date = QDate::currentDate());

} // namespace PdfReport

#endif // PDFREPORT_H
