// Drives the real main window with a scripted desktop: acquires an export
// file, ticks rows, signs, and optionally saves a picture of the window and
// exports the PDF report and the workbook. Used for the README's pictures
// (under Xvfb, tools/make-pictures) and by the converter's comparison test.
//
//   drivewindow [--picture PNG] [--pdf FILE] [--xlsx FILE] [--rows LIST]
//               [--signature TEXT] EXPORT_FILE
#include "app/mainwindow.h"
#include "scriptedplatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QTableWidget>
#include <QTextStream>


int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QCommandLineParser parser;
    for (const char *name : { "picture", "pdf", "xlsx", "rows", "signature" })
        parser.addOption({ QLatin1String(name), QLatin1String(name), QStringLiteral("value") });
    parser.addPositionalArgument(QStringLiteral("export_file"), QStringLiteral("The export file to acquire."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    // A desktop without instrument whose dialogs answer from the command line.
    ScriptedPlatform desktop;
    desktop.openAnswer = parser.positionalArguments().first();
    MainWindow window(&desktop);
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("acquireButton"))->click();

    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    if (desktop.warnings.size() != 1) {   // only the one about the missing instrument
        QTextStream(stderr) << desktop.warnings.join(QLatin1Char('\n')) << '\n';
        return 1;
    }
    desktop.warnings.clear();
    const QStringList rows = parser.value(QStringLiteral("rows")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString identity = table->item(row, 11)->text();
        if (rows.isEmpty() || rows.contains(identity))
            table->cellWidget(row, 0)->findChild<QCheckBox *>()->setChecked(true);
    }
    window.findChild<QLineEdit *>(QStringLiteral("textSignature"))->setText(parser.value(QStringLiteral("signature")));
    QApplication::processEvents();

    if (parser.isSet(QStringLiteral("picture")) && !window.grab().save(parser.value(QStringLiteral("picture"))))
        return 1;
    const std::pair<const char *, const char *> exports[] = { { "pdf", "printButton" }, { "xlsx", "pushButton" } };
    for (const auto &[option, button] : exports) {
        if (!parser.isSet(QLatin1String(option)))
            continue;
        desktop.saveAnswer = parser.value(QLatin1String(option));
        window.findChild<QAbstractButton *>(QLatin1String(button))->click();
    }
    for (const QString &warning : qAsConst(desktop.warnings))
        QTextStream(stderr) << warning << '\n';
    return desktop.warnings.isEmpty() ? 0 : 1;
}
