#include "reportdocument.h"
#include "reporttemplates.h"

#include <QCoreApplication>
#include <QDebug>
#include <QStringList>
#include <QTextBoundaryFinder>

namespace {

using ReportDocument::Wrapping;

const QString lineSeparator = QStringLiteral("\r\n");
const QString spacerRow = QStringLiteral("<tr><td colspan=\"5\">&nbsp;<br /></td></tr>");

// Sample names, values and units are kept on one line when their lines are at
// most this long, as real ones are; a longer line is treated as ordinary text.
constexpr int keptWholeLength = 16;

int longestLine(const QString &lines)
{
    int longest = 0;
    for (const QString &line : lines.split(lineSeparator))
        longest = qMax(longest, line.size());
    return longest;
}

// The longest line of a result cell: a value, a blank and its symbols.
int longestResultLine(const QString &resultLines, const QString &symbolLines)
{
    const QStringList values = resultLines.split(lineSeparator);
    const QStringList symbols = symbolLines.split(lineSeparator);
    int longest = 0;
    for (int i = 0; i < values.size(); ++i) {
        const QString symbol = symbols.value(i);
        longest = qMax(longest, values.at(i).size() + (symbol.isEmpty() ? 0 : 1 + symbol.size()));
    }
    return longest;
}

// Words longer than longestRun characters get an invisible break opportunity
// (a zero-width space) after every longestRun characters; the layout breaks
// there only where the word does not fit its line. A character is what the
// reader sees as one (a grapheme cluster: a surrogate pair, a letter with its
// combining marks, an emoji sequence), never split.
QString breakable(const QString &text, int longestRun)
{
    if (longestRun <= 0 || text.size() <= longestRun)
        return text;
    QString result;
    result.reserve(text.size() + text.size() / longestRun);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int run = 0;
    for (int start = 0, end = graphemes.toNextBoundary(); end > start; start = end, end = graphemes.toNextBoundary()) {
        const QStringRef character = text.midRef(start, end - start);
        const bool space = character.at(0).isSpace();
        if (space) {
            run = 0;
        } else if (run == longestRun) {
            result += QChar(0x200B);
            run = 0;
        }
        if (!space)
            ++run;
        result += character;
    }
    return result;
}

// The report content for one way of wrapping its texts.
class ContentBuilder
{
public:
    ContentBuilder(const ReportInput &input, const Wrapping &wrapping)
        : input(input), wrapping(wrapping)
    {
    }

    QString content() const
    {
        QString html = laboratoryTable() + resultsHeader() + resultRows()
            + QStringLiteral("</table></table><hr><table>") + notesTable() + signatureTable();
        html.replace(QLatin1Char('\n'), QStringLiteral("<br />"));
        return html;
    }

private:
    // Texts from the export file or typed by the user print as they are.
    QString escaped(const QString &text) const
    {
        return breakable(text, wrapping.longestRun).toHtmlEscaped();
    }

    // A cell's content as one block whose lines never wrap.
    static QString keptWhole(const QString &html)
    {
        return QStringLiteral("<div style=\"white-space: nowrap\">") + html + QStringLiteral("</div>");
    }

    // A sample, value or unit cell kept whole, when its lines are short
    // enough and the wrapping allows it; otherwise as it is.
    QString shortKeptWhole(const QString &html, int longestLine) const
    {
        return wrapping.keepShortTextsWhole && longestLine <= keptWholeLength ? keptWhole(html) : html;
    }

    QString laboratoryTable() const
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

    QString headerCell(const char *label, int width) const
    {
        return QStringLiteral("<td align=\"center\" width=\"%1%\">").arg(width)
            + keptWhole(QStringLiteral("<b><i>") + QObject::tr(label) + QStringLiteral("</i></b>")) + QStringLiteral("</td>");
    }

    QString resultsHeader() const
    {
        QString html = QStringLiteral("<table border=\"0\" align=\"center\" width=\"100%\" cellspacing=\"0\" "
                                      "cellpadding=\"6\"><tr style=\"background-color: #CCC;\">");
        if (input.matrixShown) {
            html += headerCell("Matrix", 15) + headerCell("Analysis", 20) + headerCell("Date", 15)
                + headerCell("Sample", 20) + headerCell("Result", 10);
        } else {
            html += headerCell("Analysis", 30) + headerCell("Date", 20) + headerCell("Sample", 20)
                + headerCell("Result", 10);
        }
        return html + QStringLiteral("<td align=\"center\" width=\"20%\"></td></tr>");
    }

    static QString cell(const QString &html)
    {
        return QStringLiteral("<td align=\"center\">") + html + QStringLiteral("</td>");
    }

    QString resultRows() const
    {
        QString html;
        int ticked = 0;
        for (int index = 0; index < input.rows.size(); ++index) {
            const SampleRow &row = input.rows.at(index).values;
            const QString result = ReportDocument::resultCell(breakable(row.resultLines, wrapping.longestRun),
                                                              row.symbolLines);
            qDebug() << "cycle done." << index;
            if (!input.rows.at(index).ticked)
                continue;
            html += ticked++ % 2 == 0 ? QStringLiteral("<tr style=\"background-color: #EEE;\">")
                                      : QStringLiteral("<tr style=\"background-color: #DDD;\">");
            if (input.matrixShown)
                html += cell(escaped(row.matrix));
            html += cell(escaped(row.analysis));
            html += cell(keptWhole(row.timestamp.toString(QStringLiteral("d/M/yyyy hh:mm"))));
            html += cell(shortKeptWhole(escaped(row.sampleName), longestLine(row.sampleName)));
            html += cell(shortKeptWhole(result, longestResultLine(row.resultLines, row.symbolLines)));
            html += cell(shortKeptWhole(escaped(row.umLines), longestLine(row.umLines)));
            html += QStringLiteral("</tr>");
        }
        return html;
    }

    QString notesTable() const
    {
        QString html;
        if (input.instrumentLineShown) {
            html += QStringLiteral("<tr><td>") + QObject::tr("Analyses performed with <b>")
                + escaped(input.instrumentName) + QStringLiteral("</b> ") + QObject::tr("S/N") + QLatin1Char(' ')
                + escaped(input.instrumentSerial) + QStringLiteral("</td></tr>");
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

    QString signatureTable() const
    {
        if (input.signature.isEmpty())
            return QString();
        return QStringLiteral("<table border=\"0\" align=\"center\" width=\"90%\"><tr><td class='tdSignature'>")
            + escaped(input.signature) + QStringLiteral("</td></tr></table>");
    }

    const ReportInput &input;
    const Wrapping wrapping;
};

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

QString content(const ReportInput &input, const Wrapping &wrapping)
{
    return ContentBuilder(input, wrapping).content();
}

QString bodyHtml(const ReportInput &input, const Wrapping &wrapping)
{
    QString html = ReportTemplates::body;
    html.replace(QStringLiteral("_HEAD_"), ReportTemplates::styleHead);
    html.replace(QStringLiteral("_INTRO_"), content(input, wrapping));
    return html;
}

// A value line without a symbol line prints alone; symbol lines without a
// value line have nothing to follow and are left out.
QString resultCell(const QString &resultLines, const QString &symbolLines)
{
    QString result = resultLines;
    result.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&#060;"))
        .replace(QLatin1Char('>'), QStringLiteral("&#062;"));
    QStringList values = result.split(lineSeparator);
    const QStringList symbols = symbolLines.split(lineSeparator);
    for (int i = 0; i < values.size() && i < symbols.size(); ++i) {
        if (symbols.at(i).isEmpty())
            continue;
        values[i] += QLatin1Char(' ') + symbols.at(i).toHtmlEscaped();
        qDebug() << "html_result: " << values.at(i);
    }
    return values.join(lineSeparator);
}

} // namespace ReportDocument
