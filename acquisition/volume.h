#ifndef VOLUME_H
#define VOLUME_H

#include <QString>

// A mounted volume as the desktop reports it.
struct Volume
{
    QString name;       // the volume label
    QString rootPath;
    bool valid = false;
    bool ready = false;
};

#endif // VOLUME_H
