#include "converter.h"
#include "version.h"

#include "acquisition/exportfile.h"
#include "export/excelexport.h"
#include "report/pdfreport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSet>
#include <QTextStream>

namespace {

struct Options
{
    QString exportFile;
    QString pdf;
    QString xlsx;
    QString signature;
    bool allRows = true;
    QSet<int> rows;
};

// Parses the options; false, with the reason in error, for bad usage.
bool parse(QCommandLineParser &parser, const QStringList &arguments, Options &options, QString &error)
{
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        error = positional.isEmpty() ? QStringLiteral("No export file given.") : QStringLiteral("Give one export file.");
        return false;
    }
    options.exportFile = positional.first();
    options.pdf = parser.value(QStringLiteral("pdf"));
    options.xlsx = parser.value(QStringLiteral("xlsx"));
    options.signature = parser.value(QStringLiteral("signature"));
    if (options.pdf.isEmpty() && options.xlsx.isEmpty()) {
        error = QStringLiteral("Give --pdf FILE, --xlsx FILE or both.");
        return false;
    }
    if (parser.isSet(QStringLiteral("rows"))) {
        options.allRows = false;
        for (const QString &item : parser.value(QStringLiteral("rows")).split(QLatin1Char(','))) {
            bool ok = false;
            const int row = item.trimmed().toInt(&ok);
            if (!ok || row < 0) {
                error = QStringLiteral("--rows takes row numbers separated by commas: %1").arg(item);
                return false;
            }
            options.rows.insert(row);
        }
    }
    return true;
}

// What the window would show after acquiring the file, with the rows ticked.
ReportInput reportInput(const ExportFile &file, const Options &options)
{
    ReportInput input = reportInputFor(file);
    input.signature = options.signature.left(50);
    for (TableRow &row : input.rows)
        row.ticked = options.allRows || options.rows.contains(row.values.rowId);
    return input;
}

bool anyTicked(const QVector<TableRow> &rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const TableRow &row) { return row.ticked; });
}

} // namespace

namespace Converter {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Turns a QVR instrument export file into the PDF analysis report and the Excel workbook of its rows,\n"
        "as \"Export PDF\" and \"Export Excel\" of QVR Datarium do."));
    parser.addOption({ QStringLiteral("pdf"), QStringLiteral("Write the PDF report to <file>."), QStringLiteral("file") });
    parser.addOption({ QStringLiteral("xlsx"), QStringLiteral("Write the Excel workbook to <file>."), QStringLiteral("file") });
    parser.addOption({ QStringLiteral("rows"),
                       QStringLiteral("Report only the rows with these numbers (0, 1, 2, ... in file order), "
                                      "separated by commas; every row otherwise."),
                       QStringLiteral("list") });
    parser.addOption({ QStringLiteral("signature"), QStringLiteral("The report signature."), QStringLiteral("text") });
    parser.addPositionalArgument(QStringLiteral("export_file"), QStringLiteral("The instrument's export file."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    Options options;
    QString usageError;
    const bool parsed = parse(parser, arguments, options, usageError);
    if (parser.isSet(help)) {
        out << parser.helpText();
        return Success;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << Datarium::version() << '\n';
        return Success;
    }
    if (!parsed) {
        err << usageError << "\n\n" << parser.helpText();
        return BadUsage;
    }

    const std::optional<ExportFile> file = readExportFile(options.exportFile);
    if (!file) {
        err << QObject::tr("The selected export file does not seem valid.") << '\n';
        return InvalidExportFile;
    }
    const ReportInput input = reportInput(*file, options);
    if (!anyTicked(input.rows)) {
        err << QObject::tr("To proceed, you should select at least one result.") << '\n';
        return NothingTicked;
    }

    int result = Success;
    auto report = [&](const QString &fileName, bool written) {
        if (!written) {
            err << QObject::tr("The file %1 could not be written.").arg(fileName) << '\n';
            result = NotWritten;
        }
    };
    if (!options.pdf.isEmpty())
        report(options.pdf, PdfReport::write(options.pdf, input));
    if (!options.xlsx.isEmpty())
        report(options.xlsx, ExcelExport::write(options.xlsx, input.rows));
    return result;
}

} // namespace Converter
