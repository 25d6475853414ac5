#include "app/about.h"
#include "app/mainwindow.h"
#include "app/translation.h"
#include "scriptedplatform.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTranslator>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void dialogIsFixedModalAndWithoutHelpButton();
    void textsNameVersionAndBuild();
    void textsStayEnglishInItalian();
    void everyLabelTextFitsItsFixedBox();
    void everyAboutOpensANewDialog();
};

static QString labelText(const QDialog &dialog, const char *name)
{
    return dialog.findChild<QLabel *>(QLatin1String(name))->text();
}

void TestAbout::dialogIsFixedModalAndWithoutHelpButton()
{
    about dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("about"));
    QCOMPARE(dialog.size(), QSize(510, 180));
    QCOMPARE(dialog.minimumSize(), QSize(510, 180));
    QCOMPARE(dialog.maximumSize(), QSize(510, 180));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    QVERIFY(dialog.isModal());
    QVERIFY(!dialog.windowIcon().isNull());
}

void TestAbout::textsNameVersionAndBuild()
{
    about dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About QVR Datarium"));
    QCOMPARE(labelText(dialog, "labelSwName"), QStringLiteral("QVR Datarium 0.5"));
    const QString build = labelText(dialog, "build_date");
    QVERIFY2(QRegularExpression(QStringLiteral("^Build on [A-Z][a-z]{2} [ 1-3]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d$"))
                 .match(build).hasMatch(), qPrintable(build));
    QVERIFY(!labelText(dialog, "label_4").isEmpty());
    QVERIFY(!labelText(dialog, "label_4").contains(QLatin1Char('\n')));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("label_5"))->textFormat(), Qt::RichText);
    QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("label_2"))->pixmap(Qt::ReturnByValue).isNull());
}

void TestAbout::textsStayEnglishInItalian()
{
    QTranslator translator;
    QVERIFY(loadTranslation(translator, QLocale(QLocale::Italian, QLocale::Italy)));
    QCoreApplication::installTranslator(&translator);
    about dialog;
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About QVR Datarium"));
    QCOMPARE(labelText(dialog, "labelSwName"), QStringLiteral("QVR Datarium 0.5"));
    QVERIFY(labelText(dialog, "build_date").startsWith(QStringLiteral("Build on ")));
}

// The dialog places its labels at fixed sizes without a layout, so a text
// longer than its box would be cut off.
void TestAbout::everyLabelTextFitsItsFixedBox()
{
    about dialog;
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 5);
    for (const QLabel *label : labels) {
        if (label->text().isEmpty())
            continue;
        const QRect box = label->contentsRect();
        const QString what = label->objectName() + QStringLiteral(": ") + label->text();
        if (label->wordWrap()) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(what));
        } else {
            const QFontMetrics metrics(label->font());
            QVERIFY2(metrics.horizontalAdvance(label->text()) <= box.width(), qPrintable(what));
            QVERIFY2(metrics.tightBoundingRect(label->text()).height() <= box.height(), qPrintable(what));
        }
    }
}

void TestAbout::everyAboutOpensANewDialog()
{
    ScriptedPlatform platform;
    MainWindow window(&platform);
    auto *action = window.findChild<QAction *>(QStringLiteral("actionAbout"));
    auto dialogs = [] {
        QList<about *> found;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<about *>(widget))
                found << dialog;
        return found;
    };
    action->trigger();
    QCOMPARE(dialogs().size(), 1);
    about *first = dialogs().first();
    QVERIFY(first->isVisible());
    QVERIFY(!first->parent());
    first->close();
    QVERIFY(!first->isVisible());

    action->trigger();
    QCOMPARE(dialogs().size(), 2);
    QVERIFY(dialogs().contains(first));
    qDeleteAll(dialogs());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
