#include "converter.h"
#include "translation.h"
#include "version.h"

#include <QApplication>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

namespace {

// The converter's own messages go to standard error; Qt's diagnostics and the
// acquisition trace are not for its users.
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char *argv[])
{
    // No display is needed: the reports are drawn off screen. On Windows the
    // offscreen platform knows no fonts of the system; the minimal one,
    // which opens no window either, is given them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
#if defined(Q_OS_WIN)
        qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
#else
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    }
    qInstallMessageHandler(quiet);

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("datarium-convert"));
    QCoreApplication::setApplicationVersion(Datarium::version());

    QTranslator translator;
    if (loadTranslation(translator, QLocale()))
        app.installTranslator(&translator);

    QTextStream out(stdout);
    QTextStream err(stderr);
    return Converter::run(QCoreApplication::arguments(), out, err);
}
