#include "desktopplatform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QStorageInfo>
#include <QUrl>

QVector<Volume> DesktopPlatform::mountedVolumes() const
{
    QVector<Volume> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &storage : mounted)
        volumes.append({ storage.name(), storage.rootPath(), storage.isValid(), storage.isReady() });
    return volumes;
}

void DesktopPlatform::warn(const QString &title, const QString &text)
{
    QMessageBox::warning(nullptr, title, text, QMessageBox::Ok);
}

QString DesktopPlatform::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString DesktopPlatform::saveFileName(QWidget *parent, const QString &caption, const QString &name,
                                      const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, name, filter);
}

void DesktopPlatform::openWithDesktop(const QString &fileName)
{
    // A local-file URL keeps names with "#" or "?" (and drive letters) intact.
    QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}
