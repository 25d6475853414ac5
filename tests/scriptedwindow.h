#ifndef SCRIPTEDWINDOW_H
#define SCRIPTEDWINDOW_H

#include "app/mainwindow.h"
#include "scriptedplatform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

// The main window on a scripted desktop, with the steps a user takes.
struct ScriptedWindow
{
    ScriptedPlatform platform;
    MainWindow window{ &platform };

    template <typename T = QWidget>
    T *widget(const char *name) { return window.findChild<T *>(QLatin1String(name)); }
    QTableWidget *table() { return widget<QTableWidget>("resultTable"); }
    QString text(int row, int column) { return table()->item(row, column) ? table()->item(row, column)->text() : QString(); }
    QCheckBox *checkBox(int row) { return table()->cellWidget(row, 0)->findChild<QCheckBox *>(); }
    QLineEdit *editor(int row) { return qobject_cast<QLineEdit *>(table()->cellWidget(row, 4)); }
    void tick(int row) { checkBox(row)->setChecked(true); }

    // "Acquire data" without an instrument: the open dialog answers path.
    void acquire(const QString &path)
    {
        platform.openAnswer = path;
        widget<QPushButton>("acquireButton")->click();
    }
    // "Export PDF" and "Export Excel", the save dialog answering fileName.
    void exportPdf(const QString &fileName) { clickSaving("printButton", fileName); }
    void exportExcel(const QString &fileName) { clickSaving("pushButton", fileName); }

private:
    void clickSaving(const char *button, const QString &fileName)
    {
        platform.saveAnswer = fileName;
        widget<QPushButton>(button)->click();
    }
};

#endif // SCRIPTEDWINDOW_H
