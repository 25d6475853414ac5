#ifndef SPREADSHEET_RICHTEXTXML_P_H
#define SPREADSHEET_RICHTEXTXML_P_H

#include "richstring.h"

#include <QByteArray>

class QXmlStreamWriter;

namespace Spreadsheet {

class XmlScanner;

// The runs of a rich text ("r" with "rPr" and "t"), as the shared strings and
// the notes hold them.
void writeRichTextRuns(QXmlStreamWriter &writer, const RichString &text);
// The text inside the current element ("si", a note's "text"): one "t", or
// runs; the plain text's bytes and the runs, and whether there were runs.
void readTextRuns(XmlScanner &scanner, QByteArray &plain, RichString &runs, bool &rich);
RichString readRichText(XmlScanner &scanner);

} // namespace Spreadsheet

#endif // SPREADSHEET_RICHTEXTXML_P_H
