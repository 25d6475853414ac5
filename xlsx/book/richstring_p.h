#ifndef SPREADSHEET_RICHSTRING_P_H
#define SPREADSHEET_RICHSTRING_P_H

#include "format.h"

#include <QList>
#include <QSharedData>
#include <QStringList>

namespace Spreadsheet {

class RichStringPrivate : public QSharedData
{
public:
    QStringList texts;
    QList<Format> formats;
    QByteArray identityKey;
    bool identityKeyStale = true;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_RICHSTRING_P_H
