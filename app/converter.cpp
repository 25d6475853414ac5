#include "converter.h"
#include "version.h"

#include "acquisition/exportfile.h"
#include "export/excelexport.h"
#include "report/pdfreport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

namespace {

struct Options
{
    QStringList exportFiles;
    QString pdf;
    QString xlsx;
    QString outputFolder;    // --out-dir: every file's report and workbook go here
    QString signature;
    bool allRows = true;
    QSet<int> rows;
};

// The row numbers of --rows, when given; false, with the reason in error, for
// anything else.
bool parseRows(QCommandLineParser &parser, Options &options, QString &error)
{
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

// Parses the options; false, with the reason in error, for bad usage.
bool parse(QCommandLineParser &parser, const QStringList &arguments, Options &options, QString &error)
{
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    options.exportFiles = parser.positionalArguments();
    options.pdf = parser.value(QStringLiteral("pdf"));
    options.xlsx = parser.value(QStringLiteral("xlsx"));
    options.outputFolder = parser.value(QStringLiteral("out-dir"));
    options.signature = parser.value(QStringLiteral("signature"));
    if (options.exportFiles.isEmpty()) {
        error = QStringLiteral("No export file given.");
        return false;
    }
    if (!options.outputFolder.isEmpty()) {
        if (!options.pdf.isEmpty() || !options.xlsx.isEmpty()) {
            error = QStringLiteral("--out-dir writes both documents of every file; give it without --pdf and --xlsx.");
            return false;
        }
        return parseRows(parser, options, error);
    }
    if (options.exportFiles.size() != 1) {
        error = QStringLiteral("Give one export file, or --out-dir DIR for several.");
        return false;
    }
    if (options.pdf.isEmpty() && options.xlsx.isEmpty()) {
        error = QStringLiteral("Give --pdf FILE, --xlsx FILE or both, or --out-dir DIR.");
        return false;
    }
    return parseRows(parser, options, error);
}

// What the window would show after acquiring the file, with the rows ticked.
ReportInput reportInput(const ExportFile &file, const Options &options)
{
    ReportInput input = reportInputFor(file);
    input.signature = options.signature.left(50);
    input.rows.reserve(file.rows.size());
    for (const SampleRow &sample : file.rows)
        input.rows.append({ options.allRows || options.rows.contains(sample.rowId), sample });
    return input;
}

bool anyTicked(const QVector<TableRow> &rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const TableRow &row) { return row.ticked; });
}

// Reads an export file into the report input of its ticked rows; the code of
// the failure, with its message in error, when it is unreadable or nothing is ticked.
int prepare(const QString &exportFile, const Options &options, ReportInput &input, QString &error)
{
    const std::optional<ExportFile> file = readExportFile(exportFile);
    if (!file) {
        error = QObject::tr("The selected export file does not seem valid.");
        return Converter::InvalidExportFile;
    }
    input = reportInput(*file, options);
    if (!anyTicked(input.rows)) {
        error = QObject::tr("To proceed, you should select at least one result.");
        return Converter::NothingTicked;
    }
    return Converter::Success;
}

// The report and the workbook, both or neither: each is written beside its
// place, and they are put in place only when both are complete. Should the
// workbook then still fail to take its place, the report is taken back. In a
// folder that takes no new file, existing files are written in place.
int writeBoth(const ReportInput &input, const QString &pdfPath, const QString &xlsxPath, QString &error)
{
    QSaveFile pdf(pdfPath);
    QSaveFile xlsx(xlsxPath);
    pdf.setDirectWriteFallback(true);
    xlsx.setDirectWriteFallback(true);
    auto failed = [&](const QString &path) {
        pdf.cancelWriting();
        xlsx.cancelWriting();
        error = QObject::tr("The file %1 could not be written.").arg(path);
        return Converter::NotWritten;
    };
    // Flushed here, a full disk fails the write before anything is committed.
    if (!pdf.open(QIODevice::WriteOnly) || !PdfReport::write(&pdf, input) || !pdf.flush())
        return failed(pdfPath);
    if (!xlsx.open(QIODevice::WriteOnly) || !ExcelExport::write(&xlsx, input.rows) || !xlsx.flush())
        return failed(xlsxPath);
    if (!pdf.commit())
        return failed(pdfPath);
    if (!xlsx.commit()) {
        QFile::remove(pdfPath);
        error = QObject::tr("The file %1 could not be written.").arg(xlsxPath);
        return Converter::NotWritten;
    }
    return Converter::Success;
}

int convertOne(const QString &exportFile, const QString &pdfPath, const QString &xlsxPath, const Options &options,
               QString &error)
{
    ReportInput input;
    const int prepared = prepare(exportFile, options, input, error);
    if (prepared != Converter::Success)
        return prepared;
    return writeBoth(input, pdfPath, xlsxPath, error);
}

// Every export file becomes DIR/<name>.pdf and DIR/<name>.xlsx; a file that
// fails is named with its reason and the others go on. The result is the
// code of the first failure.
int convertToFolder(const Options &options, QTextStream &err)
{
    QDir().mkpath(options.outputFolder);
    const QDir folder(options.outputFolder);
    int result = Converter::Success;
    QHash<QString, QString> converted;   // output name -> the export file it came from
    for (const QString &exportFile : options.exportFiles) {
        const QString name = QFileInfo(exportFile).completeBaseName();
        QString error;
        int code = Converter::Success;
        if (converted.contains(name)) {
            error = QObject::tr("%1 was converted already under the same name.").arg(converted.value(name));
            code = Converter::NotWritten;
        } else {
            code = convertOne(exportFile, folder.filePath(name + QStringLiteral(".pdf")),
                              folder.filePath(name + QStringLiteral(".xlsx")), options, error);
        }
        if (code == Converter::Success) {
            converted.insert(name, exportFile);
            continue;
        }
        err << exportFile << ": " << error << '\n';
        if (result == Converter::Success)
            result = code;
    }
    return result;
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
    parser.addOption({ QStringLiteral("out-dir"),
                       QStringLiteral("Write <name>.pdf and <name>.xlsx of every export file into <dir>."),
                       QStringLiteral("dir") });
    parser.addOption({ QStringLiteral("rows"),
                       QStringLiteral("Report only the rows with these numbers (0, 1, 2, ... in file order), "
                                      "separated by commas; every row otherwise."),
                       QStringLiteral("list") });
    parser.addOption({ QStringLiteral("signature"), QStringLiteral("The report signature."), QStringLiteral("text") });
    parser.addPositionalArgument(QStringLiteral("export_file"),
                                 QStringLiteral("The instrument's export file (several with --out-dir)."),
                                 QStringLiteral("export_file..."));
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

    if (!options.outputFolder.isEmpty())
        return convertToFolder(options, err);

    ReportInput input;
    QString error;
    int result = prepare(options.exportFiles.first(), options, input, error);
    if (result == Success) {
        if (!options.pdf.isEmpty() && !options.xlsx.isEmpty())
            result = writeBoth(input, options.pdf, options.xlsx, error);
        else if (!options.pdf.isEmpty() && !PdfReport::write(options.pdf, input))
            result = NotWritten;
        else if (!options.xlsx.isEmpty() && !ExcelExport::write(options.xlsx, input.rows))
            result = NotWritten;
        if (result == NotWritten && error.isEmpty())
            error = QObject::tr("The file %1 could not be written.").arg(options.pdf.isEmpty() ? options.xlsx : options.pdf);
    }
    if (result != Success)
        err << error << '\n';
    return result;
}

} // namespace Converter
