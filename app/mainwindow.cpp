#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "about.h"
#include "desktopplatform.h"
#include "version.h"

#include <QHeaderView>
#include <QLabel>

MainWindow::MainWindow(QWidget *parent)
    : MainWindow(nullptr, parent)
{
}

MainWindow::MainWindow(Platform *platform, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , ownedPlatform(platform ? nullptr : new DesktopPlatform)
    , platform(platform ? platform : ownedPlatform.get())
{
    ui->setupUi(this);
    adjustResultTable();

    connect(ui->actionExit, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::on_actionAbout);
    connect(ui->resultTable->horizontalHeader(), &QHeaderView::sectionClicked,
            this, &MainWindow::slot_table_clicked);

    auto *versionLabel = new QLabel(QStringLiteral("v ") + Datarium::version() + QStringLiteral("   ")
                                    + Datarium::makerNotice());
    ui->statusBar->addWidget(versionLabel, 0);

    ui->textLab->setTabChangesFocus(true);
    ui->textCompanyName->setTabChangesFocus(true);
    ui->textCompanyAddr->setTabChangesFocus(true);

    selectAllState = false;
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::adjustResultTable()
{
    QTableWidget *table = ui->resultTable;
    table->setColumnHidden(10, true);
    table->setColumnHidden(11, true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setStyleSheet(QStringLiteral("QTableView {selection-background-color: lightgrey;}"));
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->hide();
    const int widths[] = { 40, 100, 150, 170, 80, 100, 60, 60, 60 };
    for (int column = 0; column < int(std::size(widths)); ++column)
        table->setColumnWidth(column, widths[column]);
    table->horizontalHeader()->setStretchLastSection(true);
}

void MainWindow::on_printButton_clicked()
{
}

void MainWindow::on_acquireButton_clicked()
{
}

void MainWindow::on_pushButton_clicked()
{
}

void MainWindow::on_actionAbout()
{
    aboutDialog = new about();
    aboutDialog->show();
}

void MainWindow::slot_table_clicked(int)
{
    ui->resultTable->resizeRowsToContents();
}

void MainWindow::chSampleName(const QString &position)
{
    Q_UNUSED(position)
}

void MainWindow::on_commandLinkButton_released()
{
}
