#ifndef SPREADSHEET_SHEETDATAWRITER_P_H
#define SPREADSHEET_SHEETDATAWRITER_P_H

#include "celltable_p.h"

#include <QByteArray>

class QIODevice;
class QString;

namespace Spreadsheet {

class WorksheetPrivate;
struct RowSettings;

// Writes the rows of a sheet's "sheetData" element as UTF-8 straight into a
// buffer: a sheet holds up to millions of cells, and a general XML writer
// spends most of a save on them. The bytes are those QXmlStreamWriter writes
// for the same elements (the same escaping, empty elements self-closed).
class SheetDataWriter
{
public:
    SheetDataWriter(const WorksheetPrivate &sheet, QIODevice *device);
    ~SheetDataWriter();

    // The row's element with its settings and cells (null: settings only).
    void writeRow(int row, const CellTable::Row *cells);

private:
    void writeCell(int row, const StoredCell &cell, const RowSettings *settings);
    void writeNumber(int number);
    void writeFormula(int row, const StoredCell &cell);
    void writeInlineText(quint32 entry);
    void writeAttribute(const char *name, const QByteArray &value);
    void writeAttribute(const char *name, int value);
    void writeEscaped(const QString &text, bool attribute);
    void flushIfFull();

    const WorksheetPrivate &sheet;
    QIODevice *device;
    QByteArray buffer;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETDATAWRITER_P_H
