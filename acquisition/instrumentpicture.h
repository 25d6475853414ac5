#ifndef INSTRUMENTPICTURE_H
#define INSTRUMENTPICTURE_H

#include <QString>

// The resource path of the picture of an instrument, chosen by its series and
// its model code ("iid"); empty for a series without pictures.
QString instrumentPicturePath(const QString &series, const QString &instrumentId);

#endif // INSTRUMENTPICTURE_H
