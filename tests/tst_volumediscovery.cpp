#include "app/desktopplatform.h"
#include "app/mainwindow.h"
#include "scriptedplatform.h"

#include <QDir>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// Scripted dialogs, but the volumes the system really has mounted.
class MountedVolumesPlatform : public ScriptedPlatform
{
public:
    QVector<Volume> mountedVolumes() const override { return DesktopPlatform().mountedVolumes(); }
};

class TestVolumeDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void instrumentVolumeIsFoundByItsLabel();
};

void TestVolumeDiscovery::instrumentVolumeIsFoundByItsLabel()
{
    const QString root = qEnvironmentVariable("DATARIUM_VOLUME_ROOT");
    if (root.isEmpty())
        QSKIP("run through volume_discovery.sh, which mounts the volume");
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    MountedVolumesPlatform platform;
    const QVector<Volume> volumes = platform.mountedVolumes();
    auto found = std::find_if(volumes.begin(), volumes.end(), [&](const Volume &volume) {
        return QDir(volume.rootPath) == QDir(root);
    });
    QStringList seen;
    for (const Volume &volume : volumes)
        seen << volume.name + QStringLiteral(" at ") + volume.rootPath;
    QVERIFY2(found != volumes.end(), qPrintable(QStringLiteral("the volume is not among the mounted ones: ")
                                                + seen.join(QStringLiteral(", "))));
    QCOMPARE(found->name, QStringLiteral("QVRDRIVE"));
    QVERIFY(found->valid && found->ready);

    MainWindow window(&platform);
    window.findChild<QPushButton *>(QStringLiteral("acquireButton"))->click();
    QVERIFY2(platform.calls.isEmpty(), qPrintable(platform.warnings.join(QLatin1Char('\n'))));
    QCOMPARE(window.findChild<QTableWidget *>(QStringLiteral("resultTable"))->rowCount(), 7);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblInstrument"))->text(), QStringLiteral("QVR Brontal W-5"));
}

QTEST_MAIN(TestVolumeDiscovery)
#include "tst_volumediscovery.moc"
