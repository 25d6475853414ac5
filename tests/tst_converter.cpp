#include "exportxml.h"
#include "fullfolder.h"
#include "pdftools.h"

#include <QLoggingCategory>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <private/qzipreader_p.h>

using namespace ExportXml;

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

Result convert(const QStringList &arguments, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString &variable : environment)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("DATARIUM_CONVERT"), arguments);
    if (!process.waitForFinished(60000))
        return {};
    // A Windows console ends its lines with CR LF.
    auto text = [](const QByteArray &bytes) { return QString::fromUtf8(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
             text(process.readAllStandardOutput()), text(process.readAllStandardError()) };
}

QStringList entryNames(const QString &package)
{
    QFile file(package);
    file.open(QIODevice::ReadOnly);
    QStringList names;
    for (const QZipReader::FileInfo &info : QZipReader(&file).fileInfoList())
        names << info.filePath;
    return names;
}

QByteArray entry(const QString &package, const QString &name)
{
    QFile file(package);
    file.open(QIODevice::ReadOnly);
    return QZipReader(&file).fileData(name);
}

QString pdfText(const QString &pdf)
{
    return PdfTools::text(pdf);
}

using PdfTools::pageCount;

} // namespace

class TestConverter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void successPrintsNothing();
    void helpAndVersion();
    void badUsage_data();
    void badUsage();
    void invalidExportFile();
    void nothingTicked();
    void bothDocumentsOrNeither();
    void rowsSelection();
    void italianMessages();
    void fullTemporaryFolderWritesNothing();
    void existingFileInAReadOnlyFolderIsReplaced();
    void aFolderOfExports();
    void sameDocumentsAsTheWindow_data();
    void sameDocumentsAsTheWindow();

private:
    QTemporaryDir dir;
};

void TestConverter::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QVERIFY(QFile::exists(qEnvironmentVariable("DATARIUM_CONVERT")));
}

void TestConverter::successPrintsNothing()
{
    const QString pdf = dir.filePath(QStringLiteral("ok.pdf"));
    const QString xlsx = dir.filePath(QStringLiteral("ok.xlsx"));
    const Result result = convert({ QStringLiteral("--pdf"), pdf, QStringLiteral("--xlsx"), xlsx,
                                    QStringLiteral("--signature"), QStringLiteral("Dr. Rossi"), samplePath("results.xml") });
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, QString());
    QVERIFY(PdfTools::isPdf(pdf));
    if (PdfTools::available()) {
        QVERIFY(pageCount(pdf) >= 1);
        QVERIFY(pdfText(pdf).contains(QStringLiteral("Dr. Rossi")));
    }
    QVERIFY(entryNames(xlsx).contains(QStringLiteral("xl/worksheets/sheet1.xml")));
}

void TestConverter::helpAndVersion()
{
    const Result help = convert({ QStringLiteral("--help") });
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(QStringLiteral("--pdf <file>")));
    QVERIFY(help.out.contains(QStringLiteral("--rows <list>")));
    const Result version = convert({ QStringLiteral("--version") });
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("datarium-convert 0.5\n"));
}

void TestConverter::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("no output") << QStringList{ samplePath("results.xml") };
    QTest::newRow("no export file") << QStringList{ "--pdf", "/tmp/x.pdf" };
    QTest::newRow("two export files") << QStringList{ "--pdf", "/tmp/x.pdf", "a.xml", "b.xml" };
    QTest::newRow("unknown option") << QStringList{ "--csv", "x.csv", samplePath("results.xml") };
    QTest::newRow("rows not numbers") << QStringList{ "--pdf", "/tmp/x.pdf", "--rows", "1,two", samplePath("results.xml") };
    QTest::newRow("negative row") << QStringList{ "--pdf", "/tmp/x.pdf", "--rows", "-1", samplePath("results.xml") };
    QTest::newRow("folder and file") << QStringList{ "--out-dir", "/tmp", "--pdf", "/tmp/x.pdf", samplePath("results.xml") };
    QTest::newRow("folder without files") << QStringList{ "--out-dir", "/tmp" };
}

void TestConverter::badUsage()
{
    QFETCH(QStringList, arguments);
    const Result result = convert(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(QStringLiteral("export_file")), qPrintable(result.err));
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/x.pdf")));
}

void TestConverter::invalidExportFile()
{
    const QString xlsx = dir.filePath(QStringLiteral("invalid.xlsx"));
    for (const QString &input : { ExportXml::samplePath("no-such-file.xml"),
                                  qEnvironmentVariable("DATARIUM_SOURCE_DIR") + QStringLiteral("/README.md") }) {
        const Result result = convert({ QStringLiteral("--xlsx"), xlsx, input });
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, QStringLiteral("The selected export file does not seem valid.\n"));
    }
    QVERIFY(!QFile::exists(xlsx));
}

void TestConverter::nothingTicked()
{
    const QString xlsx = dir.filePath(QStringLiteral("none.xlsx"));
    for (const QStringList &arguments : { QStringList{ "--rows", "7,8" }, QStringList() }) {
        const Result result = convert(arguments + QStringList{ QStringLiteral("--xlsx"), xlsx,
                                                               arguments.isEmpty() ? samplePath("no-records.xml")
                                                                                   : samplePath("results.xml") });
        QCOMPARE(result.exitCode, 3);
        QCOMPARE(result.err, QStringLiteral("To proceed, you should select at least one result.\n"));
    }
    QVERIFY(!QFile::exists(xlsx));
}

// A report and a workbook asked for together are written both or neither.
void TestConverter::bothDocumentsOrNeither()
{
    const QString pdf = dir.filePath(QStringLiteral("both.pdf"));
    const Result noFolder = convert({ QStringLiteral("--pdf"), pdf, QStringLiteral("--xlsx"),
                                      QStringLiteral("/nonexistent-folder/out.xlsx"), samplePath("results.xml") });
    QCOMPARE(noFolder.exitCode, 4);
    QCOMPARE(noFolder.err, QStringLiteral("The file /nonexistent-folder/out.xlsx could not be written.\n"));
    QVERIFY(!QFile::exists(pdf));

    // The workbook's disk fills up while it is written.
    FullFolder full;
    if (!full.isValid())
        QSKIP("mounting a small file system needs root");
    QByteArray samples;
    for (int i = 0; i < 200; ++i)
        samples += sample(QStringLiteral("S%1").arg(i), result(QString::number(i)));
    const QString large = dir.filePath(QStringLiteral("large.xml"));
    QVERIFY(write(large, document(instrument(QStringLiteral("222"), QStringLiteral("005Z02"))
                                  + record(QStringLiteral("Milk"), QStringLiteral("Fat"), samples))));
    const QString xlsx = full.path() + QStringLiteral("/out.xlsx");
    const Result fullDisk = convert({ QStringLiteral("--pdf"), pdf, QStringLiteral("--xlsx"), xlsx, large });
    QCOMPARE(fullDisk.exitCode, 4);
    QCOMPARE(fullDisk.err, QStringLiteral("The file %1 could not be written.\n").arg(xlsx));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(full.leftovers(), QStringList());
}

void TestConverter::rowsSelection()
{
    const QString xlsx = dir.filePath(QStringLiteral("rows.xlsx"));
    const Result result = convert({ QStringLiteral("--rows"), QStringLiteral("6, 1"), QStringLiteral("--xlsx"), xlsx,
                                    samplePath("results.xml") });
    QCOMPARE(result.exitCode, 0);
    const QByteArray strings = entry(xlsx, QStringLiteral("xl/sharedStrings.xml"));
    QVERIFY(strings.contains("<t>EVO-0413</t>"));
    QVERIFY(strings.contains("<t>VB-2026-08</t>"));
    QVERIFY(!strings.contains("EVO-0412"));
    QVERIFY(!strings.contains("VB-2026-07"));
    // One row for sample 1, two for sample 6, below the header: EVO-0413 first (file order).
    const QByteArray sheet = entry(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(sheet.contains("<dimension ref=\"A1:J4\"/>"));
    QVERIFY(strings.indexOf("EVO-0413") < strings.indexOf("VB-2026-08"));
}

void TestConverter::italianMessages()
{
#if defined(Q_OS_WIN)
    QSKIP("Windows takes its language from the user's locale, not from the environment (tests/windows)");
#endif
    const QStringList italian = { QStringLiteral("LANGUAGE=it"), QStringLiteral("LC_ALL=it_IT.UTF-8") };
    const Result invalid = convert({ QStringLiteral("--pdf"), dir.filePath(QStringLiteral("it.pdf")),
                                     ExportXml::samplePath("no-such-file.xml") }, italian);
    QCOMPARE(invalid.exitCode, 1);
    QCOMPARE(invalid.err, QStringLiteral("Il file selezionato non sembra valido.\n"));
    const Result none = convert({ QStringLiteral("--rows"), QStringLiteral("99"), QStringLiteral("--pdf"),
                                  dir.filePath(QStringLiteral("it.pdf")), samplePath("results.xml") }, italian);
    QCOMPARE(none.err, QStringLiteral("Per procedere devi selezionare almeno un risultato.\n"));
    const Result unwritable = convert({ QStringLiteral("--xlsx"), QStringLiteral("/nonexistent-folder/x.xlsx"),
                                        samplePath("results.xml") }, italian);
    QCOMPARE(unwritable.err, QStringLiteral("Impossibile scrivere il file /nonexistent-folder/x.xlsx.\n"));

    const QString pdf = dir.filePath(QStringLiteral("italian.pdf"));
    QCOMPARE(convert({ QStringLiteral("--pdf"), pdf, samplePath("export.xml") }, italian).exitCode, 0);
    const QString text = pdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("Report di analisi")));
    QVERIFY(text.contains(QStringLiteral("Pagina 1 di 1")));
}

void TestConverter::fullTemporaryFolderWritesNothing()
{
    FullFolder full;
    if (!full.isValid())
        QSKIP("mounting a small file system needs root");
    const QString pdf = dir.filePath(QStringLiteral("full.pdf"));
    const Result result = convert({ QStringLiteral("--pdf"), pdf, samplePath("results.xml") },
                                  { QStringLiteral("TMPDIR=") + full.path() });
    QCOMPARE(result.exitCode, 4);
    QCOMPARE(result.err, QStringLiteral("The file %1 could not be written.\n").arg(pdf));
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(full.leftovers(), QStringList());
}

// A user may replace a file of theirs in a folder where they cannot create
// files. As root the converter runs as "nobody" in a folder of root's.
void TestConverter::existingFileInAReadOnlyFolderIsReplaced()
{
#if !defined(Q_OS_UNIX)
    QSKIP("folder permissions are Unix modes here");
#else
    const bool root = geteuid() == 0;
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (root && setpriv.isEmpty())
        QSKIP("setpriv is needed to run as an unprivileged user");
    QTemporaryDir folder;
    QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                     | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    const QString xlsx = folder.filePath(QStringLiteral("results.xlsx"));
    for (const QString &path : { pdf, xlsx }) {
        QVERIFY(root || QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                 | QFileDevice::ExeOwner));
        QVERIFY(write(path, "old content"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                                | QFileDevice::WriteOther));
        QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                         | QFileDevice::ReadOther | QFileDevice::ExeOther));
    }
    QStringList arguments = { QStringLiteral("--pdf"), pdf, QStringLiteral("--xlsx"), xlsx, samplePath("results.xml") };
    QString program = qEnvironmentVariable("DATARIUM_CONVERT");
    if (root) {
        arguments = QStringList{ QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                 QStringLiteral("--clear-groups"), program } + arguments;
        program = setpriv;
    }
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(pageCount(pdf), 1);
    QVERIFY(entryNames(xlsx).contains(QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{ "report.pdf", "results.xlsx" }));
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

static QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Every good export gives its report and workbook; every bad one is named
// with its reason and leaves nothing behind; the exit code is the first
// failure's.
void TestConverter::aFolderOfExports()
{
    QTemporaryDir inputs;
    const QString good = inputs.filePath(QStringLiteral("olive-oil.xml"));
    const QString alsoGood = inputs.filePath(QStringLiteral("dairy.v2.xml"));
    const QString notXml = inputs.filePath(QStringLiteral("notes.xml"));
    const QString noRows = inputs.filePath(QStringLiteral("empty.xml"));
    QVERIFY(QDir(inputs.path()).mkdir(QStringLiteral("again")));
    const QString sameName = inputs.filePath(QStringLiteral("again/olive-oil.xml"));
    QVERIFY(QFile::copy(samplePath("results.xml"), good));
    QVERIFY(QFile::copy(samplePath("export.xml"), alsoGood));
    QVERIFY(QFile::copy(samplePath("no-records.xml"), noRows));
    QVERIFY(QFile::copy(samplePath("export.xml"), sameName));
    QVERIFY(write(notXml, "not an export"));

    const QString out = dir.filePath(QStringLiteral("converted"));
    const Result result = convert({ QStringLiteral("--out-dir"), out, QStringLiteral("--signature"),
                                    QStringLiteral("Dr. Rossi"), good, notXml, alsoGood, noRows, sameName });
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err, notXml + QStringLiteral(": The selected export file does not seem valid.\n")
                             + noRows + QStringLiteral(": To proceed, you should select at least one result.\n")
                             + sameName + QStringLiteral(": ") + good + QStringLiteral(" was converted already under the same name.\n"));
    QCOMPARE(filesIn(out), (QStringList{ "dairy.v2.pdf", "dairy.v2.xlsx", "olive-oil.pdf", "olive-oil.xlsx" }));
    QVERIFY(PdfTools::isPdf(out + QStringLiteral("/olive-oil.pdf")));
    if (PdfTools::available())
        QVERIFY(PdfTools::text(out + QStringLiteral("/olive-oil.pdf")).contains(QStringLiteral("Dr. Rossi")));
    QVERIFY(entry(out + QStringLiteral("/dairy.v2.xlsx"), QStringLiteral("xl/sharedStrings.xml")).contains("LT-A-001"));

    // All good: nothing printed, 0; again into the same folder replaces the documents.
    const Result again = convert({ QStringLiteral("--out-dir"), out, good, alsoGood });
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(again.err, QString());
    QCOMPARE(filesIn(out).size(), 4);

    // A folder that cannot be written fails every file with code 4.
    const Result unwritable = convert({ QStringLiteral("--out-dir"), QStringLiteral("/proc/no-folder"), good, alsoGood });
    QCOMPARE(unwritable.exitCode, 4);
    QCOMPARE(unwritable.err.count(QStringLiteral("could not be written")), 2);
}

void TestConverter::sameDocumentsAsTheWindow_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QString>("signature");
    QTest::newRow("every row, signed") << "results.xml" << QList<int>() << "Dr. Maria Rossi";
    QTest::newRow("some rows") << "results.xml" << QList<int>{ 1, 5 } << "";
    QTest::newRow("one matrix") << "export.xml" << QList<int>{ 0, 1, 3 } << "Lab";
}

void TestConverter::sameDocumentsAsTheWindow()
{
    QFETCH(QString, sample);
    QFETCH(QList<int>, ticked);
    QFETCH(QString, signature);
    const QString path = samplePath(sample.toLatin1().constData());
    const QString windowPdf = dir.filePath(QStringLiteral("window.pdf"));
    const QString windowXlsx = dir.filePath(QStringLiteral("window.xlsx"));
    QStringList rows;
    for (int row : ticked)
        rows << QString::number(row);

    // The window in a program of its own, as a user runs it.
    QProcess window;
    window.start(qEnvironmentVariable("DATARIUM_DRIVEWINDOW"),
                 { QStringLiteral("--pdf"), windowPdf, QStringLiteral("--xlsx"), windowXlsx, QStringLiteral("--rows"),
                   rows.join(QLatin1Char(',')), QStringLiteral("--signature"), signature, path });
    QVERIFY(window.waitForFinished(60000));
    QCOMPARE(window.exitCode(), 0);

    const QString pdf = dir.filePath(QStringLiteral("converter.pdf"));
    const QString xlsx = dir.filePath(QStringLiteral("converter.xlsx"));
    QStringList arguments = { QStringLiteral("--pdf"), pdf, QStringLiteral("--xlsx"), xlsx };
    if (!ticked.isEmpty())
        arguments << QStringLiteral("--rows") << rows.join(QLatin1Char(','));
    if (!signature.isEmpty())
        arguments << QStringLiteral("--signature") << signature;
    QCOMPARE(convert(arguments << path).exitCode, 0);

    QVERIFY(PdfTools::isPdf(pdf) && PdfTools::isPdf(windowPdf));
    QCOMPARE(pageCount(pdf), pageCount(windowPdf));
    QCOMPARE(pdfText(pdf), pdfText(windowPdf));
    const QStringList names = entryNames(windowXlsx);
    QCOMPARE(entryNames(xlsx), names);
    for (const QString &name : names) {
        if (name != QLatin1String("docProps/core.xml"))
            QCOMPARE(entry(xlsx, name), entry(windowXlsx, name));
    }
}

QTEST_MAIN(TestConverter)
#include "tst_converter.moc"
