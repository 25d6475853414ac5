#ifndef REPORTDOCUMENT_H
#define REPORTDOCUMENT_H

#include "reportinput.h"

#include <QDate>
#include <QString>

// The HTML of the analysis report's three documents: page header, page footer
// and body. Texts from the export file or typed by the user are escaped, so
// that they print as they are.
namespace ReportDocument {

QString headerHtml(const QDate &date);
QString footerHtml();
// The body template with the report content in place.
QString bodyHtml(const ReportInput &input);
// The report content: the laboratory table, the results table of the ticked
// rows, the instrument line, the notes and the signature.
QString content(const ReportInput &input);
// One row's result cell: the value lines, each followed by its symbols.
QString resultCell(const QString &resultLines, const QString &symbolLines);

} // namespace ReportDocument

#endif // REPORTDOCUMENT_H
