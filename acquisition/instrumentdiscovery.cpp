#include "instrumentdiscovery.h"

#include <QDebug>
#include <QDir>

QString findInstrumentExport(const QVector<Volume> &volumes)
{
    for (const Volume &volume : volumes) {
        if (!volume.valid || !volume.ready)
            continue;
        QString file;
        if (volume.name == QLatin1String("QVRDRIVE"))
            file = QStringLiteral("results.xml");
        else if (volume.name == QLatin1String("KOLVEN"))
            file = QStringLiteral("export.xml");
        else
            continue;
        qDebug() << "QVRDRIVE checked " << true;
        // A drive's root ends in a separator already ("E:/"), a mount point not.
        return QDir(volume.rootPath).filePath(file);
    }
    return QString();
}
