#ifndef REPORTDOCUMENT_H
#define REPORTDOCUMENT_H

#include "reportinput.h"

#include <QDate>
#include <QString>

// The HTML of the analysis report's three documents: page header, page footer
// and body. Texts from the export file or typed by the user are escaped, so
// that they print as they are.
namespace ReportDocument {

// How the report's texts may break across lines. Words break only between
// them; column labels and dates with their times always stay on one line, and
// so do sample names, values with their symbols and units when they are
// short. Their columns grow to fit them. A report that comes out wider than
// the page is built again with long words made breakable, and at last with
// the short texts breakable too.
struct Wrapping
{
    bool keepShortTextsWhole = true;
    int longestRun = 0;   // words longer than this may break after every longestRun characters; 0: never
};

QString headerHtml(const QDate &date);
QString footerHtml();
// The body template with the report content in place.
QString bodyHtml(const ReportInput &input, const Wrapping &wrapping = Wrapping());
// The report content: the laboratory table, the results table of the ticked
// rows, the instrument line, the notes and the signature.
QString content(const ReportInput &input, const Wrapping &wrapping = Wrapping());
// One row's result cell: the value lines, each followed by its symbols.
QString resultCell(const QString &resultLines, const QString &symbolLines);

} // namespace ReportDocument

#endif // REPORTDOCUMENT_H
