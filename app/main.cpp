#include "mainwindow.h"
#include "translation.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
#if defined(Q_OS_WIN)
    // The manifest declares the program aware of each monitor's scale: Qt
    // then scales the window, its pictures and column widths with it, by the
    // monitor's own factor (150 % stays 150 %).
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
    QApplication app(argc, argv);

    QTranslator translator;
    if (loadTranslation(translator, QLocale()))
        app.installTranslator(&translator);

    MainWindow window;
    window.show();
    return app.exec();
}
