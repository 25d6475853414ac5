#ifndef SPREADSHEET_FORMAT_P_H
#define SPREADSHEET_FORMAT_P_H

#include <QByteArray>
#include <QMap>
#include <QSharedData>
#include <QVariant>

namespace Spreadsheet {

// The shared state of a Format: its properties, the keys derived from them
// (rebuilt when stale) and the ids the style table handed out.
class FormatData : public QSharedData
{
public:
    bool formatKeyStale = true;
    QByteArray formatKey;

    bool fontKeyStale = true;
    bool fontIndexValid = false;
    QByteArray fontKey;
    int fontIndex = 0;

    bool fillKeyStale = true;
    bool fillIndexValid = false;
    QByteArray fillKey;
    int fillIndex = 0;

    bool borderKeyStale = true;
    bool borderIndexValid = false;
    QByteArray borderKey;
    int borderIndex = 0;

    int xfIndex = -1;
    bool xfIndexValid = false;

    bool isDifferential = false;
    int dxfIndex = -1;
    bool dxfIndexValid = false;

    int theme = 0;

    // The style table whose ids these are (its serial number); 0 before any.
    quint64 styleTable = 0;

    QMap<int, QVariant> properties;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMAT_P_H
