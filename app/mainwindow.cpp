#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "about.h"
#include "desktopplatform.h"
#include "version.h"

#include "acquisition/exportfile.h"
#include "acquisition/instrumentdiscovery.h"
#include "acquisition/instrumentpicture.h"
#include "acquisition/resulttable.h"
#include "export/excelexport.h"
#include "report/pdfreport.h"

#include <QDebug>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSignalMapper>

namespace {

// Shows the busy cursor while it lives.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

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

    // The panel shows texts from the export file as they are, never as markup.
    for (QLabel *label : { ui->lblInstrument, ui->lblFW, ui->lblSN, ui->lblRUFW, ui->lblRUSN })
        label->setTextFormat(Qt::PlainText);

    ui->textLab->setTabChangesFocus(true);
    ui->textCompanyName->setTabChangesFocus(true);
    ui->textCompanyAddr->setTabChangesFocus(true);

    selectAllState = false;
}

MainWindow::~MainWindow()
{
    // The table's cell widgets go faster with their rows than one by one
    // with the window (minutes for 100,000 rows).
    ResultTable(ui->resultTable).clear();
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

bool MainWindow::checkSelection()
{
    if (ResultTable(ui->resultTable).anyTicked())
        return true;
    platform->warn(QObject::tr("Error"), QObject::tr("To proceed, you should select at least one result."));
    return false;
}

// The acquisition's report input with what the user may have changed since:
// the laboratory texts, the signature, the rows with their ticks, names and order.
ReportInput MainWindow::reportInput() const
{
    ReportInput input = acquired;
    input.laboratory = ui->textLab->toPlainText();
    input.companyName = ui->textCompanyName->toPlainText();
    input.companyAddress = ui->textCompanyAddr->toPlainText();
    input.signature = ui->textSignature->text();
    // The panel's own flag, so that the answer does not depend on the window being on screen.
    input.instrumentLineShown = !ui->instr_data_widget->isHidden();
    input.matrixShown = !ui->resultTable->isColumnHidden(ResultTable::MatrixColumn);
    input.rows = ResultTable(ui->resultTable).rows();
    return input;
}

void MainWindow::exportTicked(const QString &initialName, const QString &filter,
                              const std::function<bool(const QString &)> &write)
{
    if (!checkSelection())
        return;
    const QString fileName = platform->saveFileName(this, tr("Save File"), initialName, filter);
    if (fileName.isEmpty())
        return;

    bool written = false;
    {
        BusyCursor busy;
        written = write(fileName);
    }
    if (!written) {
        platform->warn(QObject::tr("Error"), QObject::tr("The file %1 could not be written.").arg(fileName));
        return;
    }
    qDebug() << "done.";
    platform->openWithDesktop(fileName);
}

void MainWindow::on_printButton_clicked()
{
    exportTicked(QStringLiteral("results.pdf"), tr("File PDF (*.pdf)"), [this](const QString &fileName) {
        return PdfReport::write(fileName, reportInput());
    });
}

void MainWindow::on_acquireButton_clicked()
{
    // Earlier mappers stay children of the window; their editors went with their rows.
    sampleNameMapper = new QSignalMapper(this);

    QString exportPath = findInstrumentExport(platform->mountedVolumes());
    const bool instrumentFound = !exportPath.isEmpty();
    if (!instrumentFound) {
        platform->warn(QObject::tr("Error"),
                       QObject::tr("The instrument does not seem connected to the computer, manually search "
                                   "the exported results file"));
        exportPath = platform->openFileName(this, tr("Open file"), QStringLiteral("/"), tr("XML Files (*.xml)"));
        if (exportPath.isEmpty())
            return;
    }

    std::optional<ExportFile> file;
    {
        BusyCursor busy;
        file = readExportFile(exportPath);
    }
    if (!file) {
        qDebug() << exportPath << " found:" << false;
        platform->warn(QObject::tr("Error"),
                       instrumentFound
                           ? QObject::tr("The instrument seems to be connected to the computer, but no exported "
                                         "results are found. Please export results via the instrument menu and "
                                         "try again.")
                           : QObject::tr("The selected export file does not seem valid."));
        return;
    }

    BusyCursor busy;
    showAcquisition(*file);
}

// The legend changes only with the rows it describes: a cancelled or failed
// acquisition keeps both.
void MainWindow::showAcquisition(const ExportFile &file)
{
    acquired = reportInputFor(file);

    showInstrument(file.instrument);

    ResultTable table(ui->resultTable);
    table.clear();
    for (const SampleRow &row : file.rows)
        table.addRow(row, sampleNameMapper);
    connect(sampleNameMapper, &QSignalMapper::mappedString, this, &MainWindow::chSampleName);
    ui->resultTable->setColumnHidden(ResultTable::MatrixColumn, !acquired.matrixShown);
    ui->resultTable->resizeRowsToContents();
}

void MainWindow::showInstrument(const InstrumentInfo &instrument)
{
    QPixmap picture;
    const QString picturePath = instrumentPicturePath(instrument.series, instrument.id);
    if (!picturePath.isEmpty())
        picture.load(picturePath);
    ui->label_2->setPixmap(picture);

    ui->instr_data_widget->setVisible(acquired.instrumentLineShown);

    ui->lblInstrument->setText(instrument.name);
    ui->lblFW->setText(instrument.firmware);
    ui->lblSN->setText(instrument.serialNumber);
    ui->lblRUFW->setText(instrument.readingUnitFirmware);
    ui->lblRUSN->setText(instrument.readingUnitSerialNumber);

    const std::pair<QPlainTextEdit *, QString> editors[] = {
        { ui->textLab, instrument.laboratory },
        { ui->textCompanyName, instrument.companyName },
        { ui->textCompanyAddr, instrument.companyAddress },
    };
    for (const auto &[editor, text] : editors) {
        editor->clear();
        editor->appendPlainText(text);
    }
}

void MainWindow::on_pushButton_clicked()
{
    exportTicked(QStringLiteral("results.xlsx"), tr("File Excel (*.xlsx)"), [this](const QString &fileName) {
        return ExcelExport::write(fileName, ResultTable(ui->resultTable).rows());
    });
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
    ResultTable(ui->resultTable).storeSampleName(position);
}

void MainWindow::on_commandLinkButton_released()
{
    ResultTable(ui->resultTable).setAllTicked(!selectAllState);
    selectAllState = !selectAllState;
}
