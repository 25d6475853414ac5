#include "about.h"
#include "ui_about.h"
#include "version.h"

about::about(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::about)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setFixedSize(510, 180);
    setWindowModality(Qt::ApplicationModal);
    ui->labelSwName->setText(ui->labelSwName->text() + QLatin1Char(' ') + Datarium::version());
    ui->build_date->setText(QStringLiteral("Build on ") + QLatin1String(__DATE__) + QLatin1Char(' ')
                            + QLatin1String(__TIME__));
}

about::~about()
{
    delete ui;
}
