#ifndef XMLINPUT_H
#define XMLINPUT_H

#include <QByteArray>
#include <QString>

// Turns the bytes of an XML file written by any program into text that the
// DOM parser can take safely.
namespace XmlInput {

// The file's text, decoded as its byte-order mark, the pattern of its first
// bytes (UTF-16 or UTF-32 without a mark) or its encoding declaration says.
// A file that declares no known encoding is read as UTF-8 when it is valid
// UTF-8 and otherwise as Windows-1252, the code page of the instrument and of
// Windows programs.
QString decode(const QByteArray &bytes);

// How deep elements nest in the text (the document element is depth 1),
// counting no further than limit + 1. Comments, CDATA sections, processing
// instructions, the document type declaration and quoted attribute values
// hold no elements.
int elementDepth(const QString &text, int limit);

} // namespace XmlInput

#endif // XMLINPUT_H
