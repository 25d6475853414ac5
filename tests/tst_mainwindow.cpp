#include "app/mainwindow.h"
#include "app/translation.h"
#include "scriptedplatform.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void formHasEveryObjectWithItsClass_data();
    void formHasEveryObjectWithItsClass();
    void englishTextsWithoutTranslation_data();
    void englishTextsWithoutTranslation();
    void italianTranslationKeepsUntranslatedTexts_data();
    void italianTranslationKeepsUntranslatedTexts();
    void noTranslationForOtherLanguages();
    void fontsFollowTheForm();
    void fieldLimits();
    void resultTableIsAdjusted();
    void menusHoldExitAndAboutOnly();
    void statusBarShowsVersion();
    void exitEndsTheEventLoop();
    void headerClickRefitsRowHeights();
};

static QString textOf(QObject *object)
{
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(object))
        return label->text();
    if (auto *action = qobject_cast<QAction *>(object))
        return action->text();
    if (auto *menu = qobject_cast<QMenu *>(object))
        return menu->title();
    if (auto *window = qobject_cast<QMainWindow *>(object))
        return window->windowTitle();
    return QStringLiteral("<no text>");
}

void TestMainWindow::formHasEveryObjectWithItsClass_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    const char *objects[][2] = {
        { "actionAbout", "QAction" }, { "actionExit", "QAction" }, { "actionLingua", "QAction" },
        { "centralWidget", "QWidget" }, { "gridLayout", "QGridLayout" }, { "horizontalLayout", "QHBoxLayout" },
        { "acquireButton", "QPushButton" }, { "printButton", "QPushButton" }, { "pushButton", "QPushButton" },
        { "horizontalLayout_2", "QHBoxLayout" }, { "verticalLayout", "QVBoxLayout" },
        { "instr_data_widget", "QWidget" }, { "horizontalLayout_3", "QHBoxLayout" },
        { "verticalLayout_3", "QVBoxLayout" }, { "label_2", "QLabel" }, { "gridLayout_2", "QGridLayout" },
        { "label_13", "QLabel" }, { "label_14", "QLabel" }, { "label_15", "QLabel" }, { "label_16", "QLabel" },
        { "label_17", "QLabel" }, { "lblInstrument", "QLabel" }, { "lblFW", "QLabel" }, { "lblSN", "QLabel" },
        { "lblRUFW", "QLabel" }, { "lblRUSN", "QLabel" }, { "label", "QLabel" },
        { "textLab", "QPlainTextEdit" }, { "label_11", "QLabel" }, { "textCompanyName", "QPlainTextEdit" },
        { "label_12", "QLabel" }, { "textCompanyAddr", "QPlainTextEdit" }, { "label_3", "QLabel" },
        { "textSignature", "QLineEdit" }, { "verticalLayout_2", "QVBoxLayout" },
        { "resultTable", "QTableWidget" }, { "commandLinkButton", "QCommandLinkButton" },
        { "menuBar", "QMenuBar" }, { "menuFile", "QMenu" }, { "menuHelp", "QMenu" }, { "statusBar", "QStatusBar" },
    };
    for (const auto &object : objects)
        QTest::newRow(object[0]) << QString::fromLatin1(object[0]) << QString::fromLatin1(object[1]);
}

void TestMainWindow::formHasEveryObjectWithItsClass()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    ScriptedPlatform platform;
    MainWindow window(&platform);
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QObject *object = window.findChild<QObject *>(name);
    QVERIFY2(object, qPrintable(name));
    QCOMPARE(QString::fromLatin1(object->metaObject()->className()), className);
}

void TestMainWindow::englishTextsWithoutTranslation_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const char *texts[][2] = {
        { "MainWindow", "QVR Datarium" }, { "actionAbout", "About" }, { "actionExit", "Exit" },
        { "actionLingua", "Language" }, { "acquireButton", "Acquire data" }, { "printButton", "Export PDF" },
        { "pushButton", "Export Excel" }, { "label_2", "" }, { "label_13", "Instrument name:" },
        { "label_14", "Version:" }, { "label_15", "Serial number:" }, { "label_16", "RU FW version:" },
        { "label_17", "RU serial number:" }, { "lblInstrument", "---" }, { "lblFW", "---" }, { "lblSN", "---" },
        { "lblRUFW", "---" }, { "lblRUSN", "---" }, { "label", "Laboratory" }, { "label_11", "Company name" },
        { "label_12", "Company address" }, { "label_3", "Report signature" },
        { "commandLinkButton", "Select / deselect all items" }, { "menuFile", "File" }, { "menuHelp", "Help" },
    };
    for (const auto &text : texts)
        QTest::newRow(text[0]) << QString::fromLatin1(text[0]) << QString::fromLatin1(text[1]);
}

void TestMainWindow::englishTextsWithoutTranslation()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    ScriptedPlatform platform;
    MainWindow window(&platform);
    QObject *object = name == QLatin1String("MainWindow") ? &window : window.findChild<QObject *>(name);
    QVERIFY(object);
    QCOMPARE(textOf(object), text);

    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    const QStringList headers = { QString(), QStringLiteral("Date"), QStringLiteral("Matrix"),
                                  QStringLiteral("Analysis"), QStringLiteral("Sample"), QStringLiteral("Result"),
                                  QStringLiteral("UM"), QStringLiteral("K"), QStringLiteral("Q"),
                                  QStringLiteral("Note"), QStringLiteral("Symbols"), QStringLiteral("ID") };
    for (int column = 0; column < headers.size(); ++column) {
        QVERIFY(table->horizontalHeaderItem(column));
        QCOMPARE(table->horizontalHeaderItem(column)->text(), headers.at(column));
    }
}

void TestMainWindow::italianTranslationKeepsUntranslatedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const char *texts[][2] = {
        { "MainWindow", "QVR Datarium" }, { "actionAbout", "Info" }, { "actionExit", "Esci" },
        { "actionLingua", "Lingua" }, { "acquireButton", "Acquisisci dati" }, { "printButton", "Esporta in PDF" },
        { "pushButton", "Esporta in Excel" }, { "label_13", "Nome strumento:" }, { "label_14", "Versione:" },
        { "label_15", "Matricola:" }, { "label_16", "RU FW version:" }, { "label_17", "RU serial number:" },
        { "lblInstrument", "---" }, { "lblRUSN", "---" }, { "label", "Laboratorio" },
        { "label_11", "Nome azienda" }, { "label_12", "Indirizzo azienda" }, { "label_3", "Firma del report" },
        { "commandLinkButton", "Seleziona / deseleziona tutti i campioni" }, { "menuFile", "File" },
        { "menuHelp", "Aiuto" },
    };
    for (const auto &text : texts)
        QTest::newRow(text[0]) << QString::fromLatin1(text[0]) << QString::fromUtf8(text[1]);
}

void TestMainWindow::italianTranslationKeepsUntranslatedTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QTranslator translator;
    QVERIFY(loadTranslation(translator, QLocale(QLocale::Italian, QLocale::Italy)));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    ScriptedPlatform platform;
    MainWindow window(&platform);
    QCoreApplication::removeTranslator(&translator);

    QObject *object = name == QLatin1String("MainWindow") ? &window : window.findChild<QObject *>(name);
    QVERIFY(object);
    QCOMPARE(textOf(object), text);

    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    const QStringList headers = { QString(), QStringLiteral("Data"), QStringLiteral("Matrice"),
                                  QStringLiteral("Analisi"), QStringLiteral("Campione"), QStringLiteral("Risultato"),
                                  QStringLiteral("UM"), QStringLiteral("K"), QStringLiteral("Q"),
                                  QStringLiteral("Nota"), QStringLiteral("Simboli"), QStringLiteral("ID") };
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(table->horizontalHeaderItem(column)->text(), headers.at(column));
}

void TestMainWindow::noTranslationForOtherLanguages()
{
    QTranslator translator;
    QVERIFY(!loadTranslation(translator, QLocale(QLocale::English, QLocale::UnitedStates)));
    QVERIFY(!loadTranslation(translator, QLocale(QLocale::German, QLocale::Germany)));
    QVERIFY(loadTranslation(translator, QLocale(QLocale::Italian, QLocale::Switzerland)));
}

void TestMainWindow::fontsFollowTheForm()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    for (const char *name : { "acquireButton", "printButton", "pushButton" }) {
        auto *button = window.findChild<QPushButton *>(QLatin1String(name));
        QCOMPARE(button->font().pointSize(), 10);
        QVERIFY(!button->font().bold());
        QCOMPARE(button->minimumSize(), QSize(150, 45));
        QCOMPARE(button->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QVERIFY(!button->icon().isNull());
    }
    for (const char *name : { "label", "label_11", "label_12", "label_3" }) {
        auto *label = window.findChild<QLabel *>(QLatin1String(name));
        QCOMPARE(label->font().pointSize(), 10);
        QVERIFY(label->font().bold());
    }
    QCOMPARE(window.findChild<QPlainTextEdit *>(QStringLiteral("textLab"))->font().pointSize(), 12);
    const QFont link = window.findChild<QCommandLinkButton *>(QStringLiteral("commandLinkButton"))->font();
    QCOMPARE(link.family(), QStringLiteral("Segoe UI"));
    QCOMPARE(link.pointSize(), 8);
}

void TestMainWindow::fieldLimits()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("textSignature"))->maxLength(), 50);
    for (const char *name : { "textLab", "textCompanyName", "textCompanyAddr" }) {
        auto *editor = window.findChild<QPlainTextEdit *>(QLatin1String(name));
        QCOMPARE(editor->maximumHeight(), 70);
        QVERIFY2(editor->tabChangesFocus(), name);
        QVERIFY(editor->toPlainText().isEmpty());
    }
    auto *panel = window.findChild<QWidget *>(QStringLiteral("instr_data_widget"));
    QCOMPARE(panel->minimumSize(), QSize(420, 150));
    QCOMPARE(panel->maximumSize(), QSize(420, 150));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("label_2"))->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblFW"))->maximumWidth(), 150);
    QVERIFY(window.findChild<QLabel *>(QStringLiteral("lblFW"))->wordWrap());
}

void TestMainWindow::resultTableIsAdjusted()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    QCOMPARE(table->columnCount(), 12);
    QCOMPARE(table->rowCount(), 0);
    for (int column = 0; column < 12; ++column)
        QCOMPARE(table->isColumnHidden(column), column >= 10);
    const int widths[] = { 40, 100, 150, 170, 80, 100, 60, 60, 60 };
    for (int column = 0; column < 9; ++column)
        QCOMPARE(table->columnWidth(column), widths[column]);
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(table->isSortingEnabled());
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(table->horizontalHeader()->stretchLastSection());
    QVERIFY(table->horizontalHeader()->isSortIndicatorShown());
    QCOMPARE(table->styleSheet(), QStringLiteral("QTableView {selection-background-color: lightgrey;}"));
}

void TestMainWindow::menusHoldExitAndAboutOnly()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    const QList<QAction *> menus = window.menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus.at(0)->menu()->objectName(), QStringLiteral("menuFile"));
    QCOMPARE(menus.at(1)->menu()->objectName(), QStringLiteral("menuHelp"));
    QCOMPARE(menus.at(0)->menu()->actions(), { window.findChild<QAction *>(QStringLiteral("actionExit")) });
    QCOMPARE(menus.at(1)->menu()->actions(), { window.findChild<QAction *>(QStringLiteral("actionAbout")) });
    QVERIFY(window.findChild<QAction *>(QStringLiteral("actionLingua"))->associatedWidgets().isEmpty());
}

void TestMainWindow::statusBarShowsVersion()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    const QList<QLabel *> labels = window.statusBar()->findChildren<QLabel *>();
    QStringList texts;
    for (QLabel *label : labels)
        texts << label->text();
    const QStringList versions = texts.filter(QRegularExpression(QStringLiteral("^v 0\\.5   \\S")));
    QCOMPARE(versions.size(), 1);
    QVERIFY(!versions.first().contains(QLatin1Char('\n')));
}

void TestMainWindow::exitEndsTheEventLoop()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    QEventLoop loop;
    bool timedOut = false;
    QTimer::singleShot(0, window.findChild<QAction *>(QStringLiteral("actionExit")), &QAction::trigger);
    QTimer::singleShot(5000, &loop, [&] { timedOut = true; loop.quit(); });
    loop.exec();
    QVERIFY(!timedOut);
}

void TestMainWindow::headerClickRefitsRowHeights()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("resultTable"));
    table->insertRow(0);
    table->setItem(0, 5, new QTableWidgetItem(QStringLiteral("1\r\n2\r\n3\r\n4")));
    const int before = table->rowHeight(0);
    emit table->horizontalHeader()->sectionClicked(5);
    QVERIFY(table->rowHeight(0) > before);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
