#include "reporttemplates.h"

// The four templates are single-line texts; the runs of spaces between their
// elements carry no meaning for the rendering. The style head has no border
// rule for tables and cells: drawn as thick black frames it squeezed the
// columns and hid the laboratory rows.
namespace ReportTemplates {

// The head element with the report style sheet, put in place of every "_HEAD_".
const QString styleHead = QStringLiteral(
    "    <head>        <style>"
    "            .anlName { font-family: sans-serif; font-weight: normal; font-size: 12pt; }"
    "            .grpName { font-family: sans-serif; font-weight: normal; font-size: 16pt; }"
    "            .par_titolo { font-family: Calibri; font-weight: bold; font-size: 12pt; }"
    "            .par_testo { font-family: Calibri; font-weight: normal; font-size: 10pt; }"
    "            .par_testoStrong { font-family: Calibri; font-weight: bold; font-size: 11pt; }"
    "            .p,p { font-family: Calibri; font-weight: normal; font-size: 10pt; }"
    "            th { font-family: sans-serif; font-weight: bold; font-size: 12pt; }"
    "            th { vertical-align: middle; background-color: #aaa; }"
    "                        .tdAnalisi { vertical-align: middle; font-family: sans-serif; font-weight: normal; font-size: 10pt; }"
    "            .tdAnalisiCurrent { vertical-align: middle; font-family: sans-serif; font-weight: bold; font-size: 10pt; background-color: #ccc; }"
    "            .tdFooter { vertical-align: middle; }"
    "            .tdNotes { vertical-align: middle; font-family: sans-serif; font-size: 5pt; }"
    "            .tdSignature { text-align: right; font-family: sans-serif; font-style: italic; font-size: 12pt; }"
    "        </style>    </head>");

// Page header: "_DATE_" and "_REPORT_ANALISI_".
const QString header = QStringLiteral(
    "<html>    _HEAD_    <body>        <table width='100%'>           <tr>"
    "               <td></td>               <td valign='bottom' align='right'>"
    "<span style='font-size:8pt; font-weight:bold;'>_DATE_</span></td>"
    "           </tr>        </table>        <h1>_REPORT_ANALISI_</h1>"
    "        <hr>    </body></html>");

// Page footer: the two pictures, "_WEB_MAIL_" and "_SIST_QUALITA_".
const QString footer = QStringLiteral(
    "<html>    _HEAD_    <body>        <table width='100%'>            <tr>"
    "                <td width='32%' class='tdFooter'><IMG height='45' src=':/resources/QVR-Brontal.jpg'/>"
    "</td>                <td width='32%' class='tdFooter'>_WEB_MAIL_</td>"
    "                <td width='14%' class='tdFooter'><IMG height='45' src=':/resources/CSQ-IQNet.jpg'/>"
    "</td>                <td width='22%' class='tdFooter'>_SIST_QUALITA_</td>"
    "            </tr>        </table>    </body></html>");

// Report body: "_INTRO_" is the report content.
const QString body = QStringLiteral(
    "<html>    _HEAD_    <body>        <table width='100%'>           _INTRO_        </table>"
    "    </body></html>");

} // namespace ReportTemplates
