// Saves a picture of the main window after it acquired an export file, with
// the first rows ticked, and optionally exports their PDF report:
// "windowshot EXPORT_FILE PICTURE.png [REPORT.pdf]". Run it under Xvfb
// (tools/make-pictures) so that it draws as on a desktop.
#include "app/mainwindow.h"
#include "app/platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QTableWidget>
#include <QTextStream>

namespace {

// A desktop without instrument whose open dialog chooses the given file.
class ChosenFilePlatform : public Platform
{
public:
    ChosenFilePlatform(const QString &file, const QString &report) : file(file), report(report) {}
    QVector<Volume> mountedVolumes() const override { return {}; }
    void warn(const QString &, const QString &) override {}
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return file; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return report; }
    void openWithDesktop(const QString &) override {}

private:
    QString file;
    QString report;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        QTextStream(stderr) << "usage: windowshot EXPORT_FILE PICTURE.png [REPORT.pdf]\n";
        return 2;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const QString report = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();
    ChosenFilePlatform platform(QString::fromLocal8Bit(argv[1]), report);
    MainWindow window(&platform);
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("acquireButton"))->click();
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    for (int row = 0; row < qMin(3, table->rowCount()); ++row)
        table->cellWidget(row, 0)->findChild<QCheckBox *>()->setChecked(true);
    window.findChild<QLineEdit *>(QStringLiteral("textSignature"))->setText(QStringLiteral("Dr. Maria Rossi"));
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[2])))
        return 1;
    if (!report.isEmpty())
        window.findChild<QAbstractButton *>(QStringLiteral("printButton"))->click();
    return 0;
}
