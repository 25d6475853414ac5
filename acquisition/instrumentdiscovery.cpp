#include "instrumentdiscovery.h"

#include <QDebug>

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
        return volume.rootPath + QLatin1Char('/') + file;
    }
    return QString();
}
