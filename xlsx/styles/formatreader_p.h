#ifndef SPREADSHEET_FORMATREADER_P_H
#define SPREADSHEET_FORMATREADER_P_H

#include "format.h"
#include "xlsxcolor.h"

namespace Spreadsheet {

class XmlScanner;

// The parts of a format as a package holds them, read back into a Format:
// the counterpart of FontWriter and of the style table's fill, border and
// alignment writers. Each function reads the element the scanner stands on
// (and its children), leaving the scanner on that element's end.
namespace FormatReader {

// The colour of a "color", "fgColor" or "bgColor" element (rgb, indexed,
// theme with tint); no colour for "auto" or none at all.
XlsxColor color(const XmlScanner &scanner);
// "font" of the style table, "rPr" of a rich text run, or a differential font.
void readFont(XmlScanner &scanner, Format &format);
void readFill(XmlScanner &scanner, Format &format);
void readBorder(XmlScanner &scanner, Format &format);
void readAlignment(const XmlScanner &scanner, Format &format);
void readProtection(const XmlScanner &scanner, Format &format);

} // namespace FormatReader

} // namespace Spreadsheet

#endif // SPREADSHEET_FORMATREADER_P_H
