#include "reportdocument.h"
#include "reporttemplates.h"

#include <QCoreApplication>
#include <QDebug>
#include <QStringList>

namespace {

const QString lineSeparator = QStringLiteral("\r\n");
const QString spacerRow = QStringLiteral("<tr><td colspan=\"5\">&nbsp;<br /></td></tr>");

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString laboratoryTable(const ReportInput &input)
{
    QString html = QStringLiteral("<table width='100%'><tr><td colspan=\"5\"></td></tr>");
    if (!input.laboratory.isEmpty()) {
        html += QStringLiteral("<tr><td colspan=\"5\" rowspan=\"1\" style=\"width: 80%;\"><b>")
            + escaped(input.laboratory) + QStringLiteral("</b></td></tr>");
    }
    html += spacerRow;
    if (!input.companyName.isEmpty()) {
        html += QStringLiteral("<tr><td colspan=\"5\" rowspan=\"1\"><b>") + escaped(input.companyName)
            + QStringLiteral("</b></td></tr>");
    }
    if (!input.companyAddress.isEmpty()) {
        html += QStringLiteral("<tr><td colspan=\"5\" rowspan=\"1\">") + escaped(input.companyAddress)
            + QStringLiteral("</td></tr>");
    }
    return html + spacerRow + QStringLiteral("</table>");
}

QString headerCell(const char *label, int width)
{
    return QStringLiteral("<td align=\"center\" width=\"%1%\"><b><i>").arg(width) + QObject::tr(label)
        + QStringLiteral("</i></b></td>");
}

QString resultsHeader(bool matrixShown)
{
    QString html = QStringLiteral("<table border=\"0\" align=\"center\" width=\"100%\" cellspacing=\"0\" "
                                  "cellpadding=\"6\"><tr style=\"background-color: #CCC;\">");
    if (matrixShown) {
        html += headerCell("Matrix", 15) + headerCell("Analysis", 20) + headerCell("Date", 15)
            + headerCell("Sample", 20) + headerCell("Result", 10);
    } else {
        html += headerCell("Analysis", 30) + headerCell("Date", 20) + headerCell("Sample", 20)
            + headerCell("Result", 10);
    }
    return html + QStringLiteral("<td align=\"center\" width=\"20%\"></td></tr>");
}

QString cell(const QString &html)
{
    return QStringLiteral("<td align=\"center\">") + html + QStringLiteral("</td>");
}

QString resultRows(const ReportInput &input)
{
    QString html;
    int ticked = 0;
    for (int index = 0; index < input.rows.size(); ++index) {
        const TableRow &row = input.rows.at(index);
        const QString result = ReportDocument::resultCell(row.values.resultLines, row.values.symbolLines);
        qDebug() << "cycle done." << index;
        if (!row.ticked)
            continue;
        html += ticked++ % 2 == 0 ? QStringLiteral("<tr style=\"background-color: #EEE;\">")
                                  : QStringLiteral("<tr style=\"background-color: #DDD;\">");
        if (input.matrixShown)
            html += cell(escaped(row.values.matrix));
        html += cell(escaped(row.values.analysis));
        html += cell(row.values.timestamp.toString(QStringLiteral("d/M/yyyy hh:mm")));
        html += cell(escaped(row.values.sampleName));
        html += cell(result);
        html += cell(escaped(row.values.umLines));
        html += QStringLiteral("</tr>");
    }
    return html;
}

QString notesTable(const ReportInput &input)
{
    QString html;
    if (input.instrumentLineShown) {
        html += QStringLiteral("<tr><td>") + QObject::tr("Analyses performed with <b>") + escaped(input.instrumentName)
            + QStringLiteral("</b> ") + QObject::tr("S/N") + QLatin1Char(' ') + escaped(input.instrumentSerial)
            + QStringLiteral("</td></tr>");
    }
    html += QStringLiteral("<tr>");
    for (int kind = 0; kind < FlagLegend::kindCount; ++kind) {
        if (!input.flagLegend.isUsed(kind))
            continue;
        html += QStringLiteral("<tr><td class='tdNotes'>") + escaped(input.flagLegend.symbol(kind))
            + QStringLiteral(": ") + escaped(input.flagLegend.text(kind)) + QStringLiteral("</td></tr>");
    }
    return html + QStringLiteral("</table>");
}

QString signatureTable(const QString &signature)
{
    if (signature.isEmpty())
        return QString();
    return QStringLiteral("<table border=\"0\" align=\"center\" width=\"90%\"><tr><td class='tdSignature'>")
        + escaped(signature) + QStringLiteral("</td></tr></table>");
}

} // namespace

namespace ReportDocument {

QString headerHtml(const QDate &date)
{
    QString html = ReportTemplates::header;
    html.replace(QStringLiteral("_HEAD_"), ReportTemplates::styleHead);
    html.replace(QStringLiteral("_REPORT_ANALISI_"), QObject::tr("Analysis Report"));
    html.replace(QStringLiteral("_DATE_"), date.toString(QStringLiteral("dd/MM/yyyy")));
    return html;
}

QString footerHtml()
{
    QString html = ReportTemplates::footer;
    html.replace(QStringLiteral("_HEAD_"), ReportTemplates::styleHead);
    html.replace(QStringLiteral("_WEB_MAIL_"), QObject::tr("www.qvr.example<br/>info@qvr.example"));
    html.replace(QStringLiteral("_SIST_QUALITA_"), QObject::tr("Quality System certified<br/>ISO 9001 Ed.2015"));
    return html;
}

QString content(const ReportInput &input)
{
    QString html = laboratoryTable(input) + resultsHeader(input.matrixShown) + resultRows(input)
        + QStringLiteral("</table></table><hr><table>") + notesTable(input) + signatureTable(input.signature);
    html.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
    return html;
}

QString bodyHtml(const ReportInput &input)
{
    QString html = ReportTemplates::body;
    html.replace(QStringLiteral("_HEAD_"), ReportTemplates::styleHead);
    html.replace(QStringLiteral("_INTRO_"), content(input));
    return html;
}

// A value line without a symbol line prints alone; symbol lines without a
// value line have nothing to follow and are left out.
QString resultCell(const QString &resultLines, const QString &symbolLines)
{
    QString result = resultLines;
    result.replace(QLatin1Char('<'), QStringLiteral("&#060;")).replace(QLatin1Char('>'), QStringLiteral("&#062;"));
    QStringList values = result.split(lineSeparator);
    const QStringList symbols = symbolLines.split(lineSeparator);
    for (int i = 0; i < values.size() && i < symbols.size(); ++i) {
        if (symbols.at(i).isEmpty())
            continue;
        values[i] += QLatin1Char(' ') + escaped(symbols.at(i));
        qDebug() << "html_result: " << values.at(i);
    }
    return values.join(lineSeparator);
}

} // namespace ReportDocument
