#include "mainwindow.h"
#include "translation.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QTranslator translator;
    if (loadTranslation(translator, QLocale()))
        app.installTranslator(&translator);

    MainWindow window;
    window.show();
    return app.exec();
}
