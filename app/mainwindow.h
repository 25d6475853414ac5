#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "report/reportinput.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class Platform;
class QSignalMapper;
class about;
struct ExportFile;
struct InstrumentInfo;

namespace Ui {
class MainWindow;
}

// The program's one window: the instrument panel, the laboratory fields, the
// result table and the three main operations (acquire, PDF, Excel).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    // The window reaches the desktop only through the given platform, which it
    // does not own (tests pass a scripted one).
    explicit MainWindow(Platform *platform, QWidget *parent = nullptr);
    ~MainWindow() override;

private slots:
    void on_printButton_clicked();
    void on_acquireButton_clicked();
    void on_pushButton_clicked();
    void on_actionAbout();
    void slot_table_clicked(int);
    void chSampleName(const QString &position);
    void on_commandLinkButton_released();

private:
    void adjustResultTable();
    void showAcquisition(const ExportFile &file);
    void showInstrument(const InstrumentInfo &instrument);
    // Warns and returns false when no row is ticked.
    bool checkSelection();
    // Asks for the target file, writes it and asks the desktop to open it;
    // a failed write is reported instead.
    void exportTicked(const QString &initialName, const QString &filter,
                      const std::function<bool(const QString &)> &write);
    ReportInput reportInput() const;

    Ui::MainWindow *ui;
    about *aboutDialog = nullptr;
    std::unique_ptr<Platform> ownedPlatform;
    Platform *platform;
    QSignalMapper *sampleNameMapper = nullptr;
    bool selectAllState = false;
    // What the last acquisition read for the PDF report (the flag legend, the
    // instrument's name and serial number); its rows live in the table.
    ReportInput acquired;
};

#endif // MAINWINDOW_H
