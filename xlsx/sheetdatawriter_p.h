#ifndef SPREADSHEET_SHEETDATAWRITER_P_H
#define SPREADSHEET_SHEETDATAWRITER_P_H

#include <QByteArray>

class QIODevice;
class QString;

namespace Spreadsheet {

class SheetCell;
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

    void writeRow(int row);

private:
    void writeCell(int row, int column, const SheetCell &cell, const RowSettings *settings);
    void writeNumber(int number);
    void writeFormula(const SheetCell &cell);
    void writeTextElement(const QString &text);
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
