#ifndef INSTRUMENTINFO_H
#define INSTRUMENTINFO_H

#include <QString>

// The instrument block of an export file; missing elements read as empty.
struct InstrumentInfo
{
    QString series;          // "222" or "242" pick a picture set
    QString name;            // "iname"
    QString id;              // "iid", picks the picture inside the set
    QString serialNumber;    // "SN"
    QString firmware;        // "FW"
    QString readingUnitSerialNumber;   // "ruSN"
    QString readingUnitFirmware;       // "ruFW"
    QString laboratory;      // "labName"
    QString companyName;
    QString companyAddress;  // "companyAddr"
};

#endif // INSTRUMENTINFO_H
