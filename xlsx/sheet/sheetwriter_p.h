#ifndef SPREADSHEET_SHEETWRITER_P_H
#define SPREADSHEET_SHEETWRITER_P_H

#include "sheetwriter.h"

#include <memory>

namespace Spreadsheet {

class StreamedRows;

class SheetWriterPrivate
{
public:
    bool fail(const QString &reason);
    Worksheet *sheet() const;

    std::shared_ptr<StreamedRows> rows;
    int lastRow = 0;
    int heldCells = 0;   // stored since the last rows went out
    QString error;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETWRITER_P_H
