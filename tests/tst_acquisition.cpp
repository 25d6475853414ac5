#include "exportxml.h"
#include "pdftools.h"
#include "scriptedwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <private/qzipreader_p.h>

using namespace ExportXml;

namespace {

const QString noInstrument = QStringLiteral("Error|The instrument does not seem connected to the computer, manually "
                                            "search the exported results file");
const QString noResults = QStringLiteral("Error|The instrument seems to be connected to the computer, but no "
                                         "exported results are found. Please export results via the instrument "
                                         "menu and try again.");
const QString notValid = QStringLiteral("Error|The selected export file does not seem valid.");

// A window whose open dialog chooses a file holding the given XML.
struct Window : ScriptedWindow
{
    void acquireData(const QByteArray &xml, QTemporaryDir &dir)
    {
        const QString path = dir.filePath(QStringLiteral("chosen.xml"));
        QVERIFY(write(path, xml));
        acquire(path);
    }
};

QString sharedStrings(const QString &workbook)
{
    QFile file(workbook);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(QZipReader(&file).fileData(QStringLiteral("xl/sharedStrings.xml")));
}

QImage pictureOf(QLabel *label)
{
    return label->pixmap(Qt::ReturnByValue).toImage();
}

} // namespace

class TestAcquisition : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void noInstrumentWarnsBeforeTheDialog();
    void cancelledDialogEndsSilently();
    void instrumentVolumeNeedsNoDialog();
    void badFileMessageDependsOnHowItWasFound_data();
    void badFileMessageDependsOnHowItWasFound();

    void rowsHoldTheSamples();
    void matrixColumnShownForTwoMatrices();
    void threeResultRowIsThreeLinesHigh();
    void sampleNameEditLandsInSortedRow();
    void sampleNameTypedWithKeysReachesBothExports();
    void dateColumnSortsChronologically();
    void selectAllToggles();
    void selectAllOnEmptyTableStillFlips();
    void newAcquisitionReplacesRows();

    void panelShowsInstrumentAndPicture_data();
    void panelShowsInstrumentAndPicture();
    void panelHiddenWithoutInstrumentName();
    void panelShowsTextsAsPlainText();
};

void TestAcquisition::noInstrumentWarnsBeforeTheDialog()
{
    Window w;
    w.platform.volumes = { { QStringLiteral("USB"), QStringLiteral("/media/usb"), true, true } };
    w.acquire(samplePath("results.xml"));
    QCOMPARE(w.platform.calls, (QStringList{ "warn", "open" }));
    QCOMPARE(w.platform.warnings, QStringList{ noInstrument });
    QCOMPARE(w.platform.lastCaption, QStringLiteral("Open file"));
    QCOMPARE(w.platform.lastDir, QStringLiteral("/"));
    QCOMPARE(w.platform.lastFilter, QStringLiteral("XML Files (*.xml)"));
    QCOMPARE(w.table()->rowCount(), 7);
}

void TestAcquisition::cancelledDialogEndsSilently()
{
    Window w;
    w.acquire(samplePath("results.xml"));
    w.widget<QPlainTextEdit>("textLab")->setPlainText(QStringLiteral("typed"));
    w.platform.calls.clear();
    w.acquire(QString());
    QCOMPARE(w.platform.calls, (QStringList{ "warn", "open" }));
    QCOMPARE(w.table()->rowCount(), 7);
    QCOMPARE(w.widget<QLabel>("lblInstrument")->text(), QStringLiteral("QVR Brontal W-5"));
    QCOMPARE(w.widget<QPlainTextEdit>("textLab")->toPlainText(), QStringLiteral("typed"));
}

void TestAcquisition::instrumentVolumeNeedsNoDialog()
{
    QTemporaryDir qvr, kolven;
    QVERIFY(QFile::copy(samplePath("results.xml"), qvr.filePath(QStringLiteral("results.xml"))));
    QVERIFY(QFile::copy(samplePath("export.xml"), kolven.filePath(QStringLiteral("export.xml"))));
    Window w;
    w.platform.volumes = { { QStringLiteral("KOLVEN"), kolven.path(), true, false },
                           { QStringLiteral("QVRDRIVE"), qvr.path(), true, true },
                           { QStringLiteral("KOLVEN"), kolven.path(), true, true } };
    w.widget<QPushButton>("acquireButton")->click();
    QVERIFY(w.platform.calls.isEmpty());
    QCOMPARE(w.table()->rowCount(), 7);
    QCOMPARE(w.widget<QLabel>("lblSN")->text(), QStringLiteral("W5-22104"));
}

void TestAcquisition::badFileMessageDependsOnHowItWasFound_data()
{
    QTest::addColumn<bool>("onVolume");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("chosen text file") << false << QByteArray("not xml at all") << notValid;
    QTest::newRow("chosen missing file") << false << QByteArray() << notValid;
    QTest::newRow("volume text file") << true << QByteArray("not xml at all") << noResults;
    QTest::newRow("volume without export") << true << QByteArray() << noResults;
}

void TestAcquisition::badFileMessageDependsOnHowItWasFound()
{
    QFETCH(bool, onVolume);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir volume;
    Window w;
    w.acquire(samplePath("results.xml"));
    w.platform.calls.clear();
    w.platform.warnings.clear();

    const QString path = volume.filePath(QStringLiteral("results.xml"));
    if (!content.isEmpty())
        QVERIFY(write(path, content));
    if (onVolume) {
        w.platform.volumes = { { QStringLiteral("QVRDRIVE"), volume.path(), true, true } };
        w.widget<QPushButton>("acquireButton")->click();
        QCOMPARE(w.platform.calls, QStringList{ "warn" });
    } else {
        w.acquire(path);
        QCOMPARE(w.platform.calls, (QStringList{ "warn", "open", "warn" }));
    }
    QCOMPARE(w.platform.warnings.last(), message);
    QCOMPARE(w.platform.warningsOverBusyCursor, 0);
    QCOMPARE(w.table()->rowCount(), 7);
    QCOMPARE(w.widget<QLabel>("lblInstrument")->text(), QStringLiteral("QVR Brontal W-5"));
}

void TestAcquisition::rowsHoldTheSamples()
{
    Window w;
    w.acquire(samplePath("results.xml"));
    QTableWidget *table = w.table();
    QCOMPARE(table->rowCount(), 7);
    for (int row = 0; row < 7; ++row) {
        QCOMPARE(w.text(row, 11), QString::number(row));
        QVERIFY(!w.checkBox(row)->isChecked());
        QCOMPARE(w.editor(row)->text(), w.text(row, 4));
        QVERIFY(!w.editor(row)->hasFrame());
    }
    const QVariant date = table->item(0, 1)->data(Qt::DisplayRole);
    QCOMPARE(date.userType(), int(QMetaType::QDateTime));
    QCOMPARE(date.toDateTime(), QDateTime(QDate(2026, 11, 3), QTime(9, 5)));
    QCOMPARE(w.text(1, 2), QStringLiteral("Olive oil"));
    QCOMPARE(w.text(1, 3), QStringLiteral("Free acidity"));
    QCOMPARE(w.text(1, 4), QStringLiteral("EVO-0413"));
    QCOMPARE(w.text(1, 5), QStringLiteral("> 0.95"));
    QCOMPARE(w.text(1, 9), QStringLiteral("value out of range"));
    QCOMPARE(w.text(1, 10), QStringLiteral("*"));
    QCOMPARE(w.text(6, 5), QStringLiteral("3.10\r\n1.44"));
    QCOMPARE(table->item(0, 7)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(table->item(0, 8)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(table->item(0, 9)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
    QVERIFY(!table->isColumnHidden(2));
    QVERIFY(table->isColumnHidden(10) && table->isColumnHidden(11));
}

void TestAcquisition::matrixColumnShownForTwoMatrices()
{
    QTemporaryDir dir;
    const QByteArray one = sample(QStringLiteral("S"), result(QStringLiteral("1")));
    Window w;
    w.acquireData(document(record(QStringLiteral("Milk"), QStringLiteral("A"), one)
                           + record(QStringLiteral("Milk"), QStringLiteral("B"), one)), dir);
    QVERIFY(w.table()->isColumnHidden(2));
    w.acquireData(document(record(QStringLiteral("Milk"), QStringLiteral("A"), one)
                           + record(QStringLiteral("milk"), QStringLiteral("B"), one)), dir);
    QVERIFY(!w.table()->isColumnHidden(2));
}

void TestAcquisition::threeResultRowIsThreeLinesHigh()
{
    Window w;
    w.acquire(samplePath("results.xml"));
    const int lineHeight = w.table()->fontMetrics().lineSpacing();
    QVERIFY(w.table()->rowHeight(5) >= 3 * lineHeight);
    QVERIFY(w.table()->rowHeight(5) > w.table()->rowHeight(0));
}

void TestAcquisition::sampleNameEditLandsInSortedRow()
{
    Window w;
    w.acquire(samplePath("results.xml"));
    w.table()->sortItems(4, Qt::DescendingOrder);
    const int row = 1;
    const QString identity = w.text(row, 11);
    QCOMPARE(identity, QStringLiteral("5"));
    QLineEdit *editor = w.editor(row);
    editor->setText(QStringLiteral("RENAMED"));
    QCOMPARE(w.text(row, 4), QStringLiteral("VB-2026-07"));   // stored only when editing finishes
    emit editor->editingFinished();

    int renamed = -1;
    for (int r = 0; r < w.table()->rowCount(); ++r) {
        if (w.text(r, 4) == QLatin1String("RENAMED"))
            renamed = r;
    }
    QVERIFY(renamed >= 0);
    QCOMPARE(w.text(renamed, 11), identity);
    QCOMPARE(w.editor(renamed)->text(), QStringLiteral("RENAMED"));
    QCOMPARE(w.table()->rowCount(), 7);
}

void TestAcquisition::sampleNameTypedWithKeysReachesBothExports()
{
    QTemporaryDir dir;
    Window w;
    w.window.show();
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.acquire(samplePath("results.xml"));
    w.tick(0);
    w.tick(1);

    // Typing, then Return.
    QLineEdit *first = w.editor(0);
    first->selectAll();
    QTest::keyClicks(first, QStringLiteral("OIL-RETURN"));
    QCOMPARE(w.text(0, 4), QStringLiteral("EVO-0412"));      // not stored while typing
    QTest::keyClick(first, Qt::Key_Return);
    QCOMPARE(w.text(0, 4), QStringLiteral("OIL-RETURN"));

    // Typing, then moving the focus away.
    QLineEdit *second = w.editor(1);
    second->setFocus();
    QTRY_VERIFY(second->hasFocus());
    second->selectAll();
    QTest::keyClicks(second, QStringLiteral("OIL-FOCUS"));
    w.widget("textSignature")->setFocus();
    QTRY_COMPARE(w.text(1, 4), QStringLiteral("OIL-FOCUS"));

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const QString workbook = dir.filePath(QStringLiteral("results.xlsx"));
    w.exportPdf(pdf);
    w.exportExcel(workbook);
    QCOMPARE(w.platform.openedFiles, (QStringList{ pdf, workbook }));
    for (const QString &text : { PdfTools::text(pdf), sharedStrings(workbook) }) {
        QVERIFY2(text.contains(QStringLiteral("OIL-RETURN")) && text.contains(QStringLiteral("OIL-FOCUS")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("EVO-0412")) && !text.contains(QStringLiteral("EVO-0413")));
    }
}

void TestAcquisition::dateColumnSortsChronologically()
{
    QTemporaryDir dir;
    const QByteArray one = sample(QStringLiteral("S"), result(QStringLiteral("1")));
    Window w;
    // As text "10/..." sorts before "9/...".
    w.acquireData(document(record(QStringLiteral("M"), QStringLiteral("later"), one, timestamp("10", "1", "2026", "8", "0"))
                           + record(QStringLiteral("M"), QStringLiteral("earlier"), one, timestamp("9", "1", "2026", "8", "0"))),
                  dir);
    w.table()->sortItems(1, Qt::AscendingOrder);
    QCOMPARE(w.text(0, 3), QStringLiteral("earlier"));
    QCOMPARE(w.text(1, 3), QStringLiteral("later"));
}

void TestAcquisition::selectAllToggles()
{
    Window w;
    w.acquire(samplePath("results.xml"));
    auto *link = w.widget<QAbstractButton>("commandLinkButton");
    w.checkBox(3)->setChecked(true);
    link->click();
    for (int row = 0; row < 7; ++row)
        QVERIFY(w.checkBox(row)->isChecked());
    w.checkBox(3)->setChecked(false);
    link->click();
    for (int row = 0; row < 7; ++row)
        QVERIFY(!w.checkBox(row)->isChecked());
    link->click();
    QVERIFY(w.checkBox(6)->isChecked());
}

void TestAcquisition::selectAllOnEmptyTableStillFlips()
{
    Window w;
    auto *link = w.widget<QAbstractButton>("commandLinkButton");
    link->click();                 // nothing to tick, but the next press unticks
    w.acquire(samplePath("results.xml"));
    w.checkBox(0)->setChecked(true);
    link->click();
    QVERIFY(!w.checkBox(0)->isChecked());
    QVERIFY(!w.checkBox(1)->isChecked());
}

void TestAcquisition::newAcquisitionReplacesRows()
{
    Window w;
    w.acquire(samplePath("results.xml"));
    w.table()->sortItems(4, Qt::DescendingOrder);
    w.acquire(samplePath("export.xml"));
    QCOMPARE(w.table()->rowCount(), 4);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(w.text(row, 11), QString::number(row));
    QCOMPARE(w.text(0, 4), QStringLiteral("LT-A-001"));

    // The editors of the new rows feed the new mapper.
    w.editor(3)->setText(QStringLiteral("PM-118b"));
    emit w.editor(3)->editingFinished();
    QCOMPARE(w.text(3, 4), QStringLiteral("PM-118b"));
}

void TestAcquisition::panelShowsInstrumentAndPicture_data()
{
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("iid");
    QTest::addColumn<QString>("picture");
    QTest::newRow("222 yellow") << "222" << "005Z03" << ":/resources/W-Giallo.jpg";
    QTest::newRow("242 grey for the same code") << "242" << "005Z03" << ":/resources/K-Grigio.jpg";
    QTest::newRow("242 green") << "242" << "014Z01" << ":/resources/K-Verde.jpg";
    QTest::newRow("242 red") << "242" << "014Z02" << ":/resources/K-Rosso.jpg";
    QTest::newRow("222 green") << "222" << "004Z02" << ":/resources/W-Verde.jpg";
    QTest::newRow("unknown series") << "999" << "005Z03" << "";
}

void TestAcquisition::panelShowsInstrumentAndPicture()
{
    QFETCH(QString, series);
    QFETCH(QString, iid);
    QFETCH(QString, picture);
    QTemporaryDir dir;
    Window w;
    w.widget<QPlainTextEdit>("textLab")->setPlainText(QStringLiteral("typed by the user"));
    w.widget<QLineEdit>("textSignature")->setText(QStringLiteral("Dr. Rossi"));
    w.acquireData(document(instrument(series, iid)), dir);

    auto *label = w.widget<QLabel>("label_2");
    if (picture.isEmpty())
        QVERIFY(label->pixmap(Qt::ReturnByValue).isNull());
    else
        QCOMPARE(pictureOf(label), QPixmap(picture).toImage());
    QVERIFY(!w.widget("instr_data_widget")->isHidden());
    QCOMPARE(w.widget<QLabel>("lblInstrument")->text(), QStringLiteral("QVR Unit"));
    QCOMPARE(w.widget<QLabel>("lblFW")->text(), QStringLiteral("FW-1"));
    QCOMPARE(w.widget<QLabel>("lblSN")->text(), QStringLiteral("SN-1"));
    QCOMPARE(w.widget<QLabel>("lblRUFW")->text(), QStringLiteral("RUFW-1"));
    QCOMPARE(w.widget<QLabel>("lblRUSN")->text(), QStringLiteral("RUSN-1"));
    QCOMPARE(w.widget<QPlainTextEdit>("textLab")->toPlainText(), QStringLiteral("Lab"));
    QCOMPARE(w.widget<QPlainTextEdit>("textCompanyName")->toPlainText(), QStringLiteral("Company"));
    QCOMPARE(w.widget<QPlainTextEdit>("textCompanyAddr")->toPlainText(), QStringLiteral("Address"));
    QCOMPARE(w.widget<QLineEdit>("textSignature")->text(), QStringLiteral("Dr. Rossi"));
    QCOMPARE(w.table()->rowCount(), 0);
}

void TestAcquisition::panelHiddenWithoutInstrumentName()
{
    QTemporaryDir dir;
    Window w;
    w.acquireData(document(instrument(QStringLiteral("222"), QStringLiteral("005Z02"), QString())), dir);
    QVERIFY(w.widget("instr_data_widget")->isHidden());
    QCOMPARE(w.widget<QPlainTextEdit>("textLab")->toPlainText(), QStringLiteral("Lab"));

    w.widget<QPlainTextEdit>("textLab")->setPlainText(QStringLiteral("typed"));
    w.acquireData(document(QByteArray()), dir);
    QVERIFY(w.widget("instr_data_widget")->isHidden());
    QCOMPARE(w.widget<QPlainTextEdit>("textLab")->toPlainText(), QString());
    QVERIFY(w.widget<QLabel>("label_2")->pixmap(Qt::ReturnByValue).isNull());
}

void TestAcquisition::panelShowsTextsAsPlainText()
{
    QTemporaryDir dir;
    Window w;
    const QString markup = QStringLiteral("<b>Bold</b> &amp; <img src=':/resources/K-Rosso.jpg'>");
    w.acquireData("<export><instrument><iname>&lt;b&gt;Bold&lt;/b&gt; &amp;amp; &lt;img src=':/resources/K-Rosso.jpg'&gt;"
                  "</iname><FW>&lt;i&gt;2&lt;/i&gt;</FW><SN>&lt;u&gt;1&lt;/u&gt;</SN><ruFW>&lt;p&gt;x</ruFW>"
                  "<ruSN>a&lt;br&gt;b</ruSN></instrument></export>", dir);
    const std::pair<const char *, QString> expected[] = {
        { "lblInstrument", markup }, { "lblFW", QStringLiteral("<i>2</i>") }, { "lblSN", QStringLiteral("<u>1</u>") },
        { "lblRUFW", QStringLiteral("<p>x") }, { "lblRUSN", QStringLiteral("a<br>b") },
    };
    for (const auto &[name, text] : expected) {
        auto *label = w.widget<QLabel>(name);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
}

QTEST_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
