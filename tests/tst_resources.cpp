#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QTranslator>
#include <QtTest>

// The embedded bundle: every file the window, the About dialog, the panel and
// the report reach through a ":/" path is there and loads.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureLoadsWithItsSize_data();
    void everyPictureLoadsWithItsSize();
    void iconHoldsSixSizes();
    void translationLoads();
    void bundleHoldsNothingElse();
};

void TestResources::everyPictureLoadsWithItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("grey");
    QTest::newRow("panel start picture") << ":/resources/QVR-Brontal-quadrotto.jpg" << QSize(200, 150) << false;
    QTest::newRow("footer logo") << ":/resources/QVR-Brontal.jpg" << QSize(709, 177) << false;
    QTest::newRow("footer certification") << ":/resources/CSQ-IQNet.jpg" << QSize(354, 184) << false;
    for (const char *series : { "K", "W" }) {
        for (const char *colour : { "Giallo", "Grigio", "Rosso", "Verde" }) {
            const QString path = QStringLiteral(":/resources/%1-%2.jpg").arg(QLatin1String(series), QLatin1String(colour));
            QTest::newRow(qPrintable(path)) << path << QSize(200, 150) << (qstrcmp(colour, "Grigio") == 0);
        }
    }
}

void TestResources::everyPictureLoadsWithItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, grey);
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.allGray(), grey);
    // Only the icon is worth compressing; the pictures are stored as they are.
    QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
}

void TestResources::iconHoldsSixSizes()
{
    const QString path = QStringLiteral(":/resources/Logo-QVR.ico");
    QCOMPARE(QResource(path).uncompressedSize(), qint64(370070));
    QVERIFY(QResource(path).compressionAlgorithm() != QResource::NoCompression);

    QImageReader reader(path);
    QCOMPARE(reader.imageCount(), 6);
    QList<int> sides;
    do {
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QVERIFY(image.hasAlphaChannel());
        sides << image.width();
    } while (reader.jumpToNextImage());
    std::sort(sides.begin(), sides.end());
    QCOMPARE(sides, (QList<int>{ 16, 32, 48, 64, 128, 256 }));
    QCOMPARE(QIcon(path).availableSizes().size(), 6);
}

void TestResources::translationLoads()
{
    const QString path = QStringLiteral(":/locale/Datarium_it.qm");
    QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
    QTranslator translator;
    QVERIFY(translator.load(path));
    QCOMPARE(translator.translate("MainWindow", "Acquire data"), QStringLiteral("Acquisisci dati"));
    QCOMPARE(translator.translate("QObject", "Analysis Report"), QStringLiteral("Report di analisi"));
}

void TestResources::bundleHoldsNothingElse()
{
    // Qt registers resources of its own under other folders.
    QStringList files;
    for (const QString &folder : { QStringLiteral(":/locale"), QStringLiteral(":/resources") }) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    files.sort();
    const QStringList expected = {
        ":/locale/Datarium_it.qm", ":/resources/CSQ-IQNet.jpg", ":/resources/K-Giallo.jpg", ":/resources/K-Grigio.jpg",
        ":/resources/K-Rosso.jpg", ":/resources/K-Verde.jpg", ":/resources/Logo-QVR.ico",
        ":/resources/QVR-Brontal-quadrotto.jpg", ":/resources/QVR-Brontal.jpg", ":/resources/W-Giallo.jpg",
        ":/resources/W-Grigio.jpg", ":/resources/W-Rosso.jpg", ":/resources/W-Verde.jpg",
    };
    QCOMPARE(files, expected);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
