#ifndef SPREADSHEET_RAWXML_P_H
#define SPREADSHEET_RAWXML_P_H

#include <QByteArray>
#include <QString>

#include <charconv>

// Appending XML to a byte buffer directly, for the parts that hold one element
// per cell or text. The escaping is QXmlStreamWriter's: & < > " always,
// tab, line feed and carriage return in attribute values.
namespace Spreadsheet {
namespace RawXml {

inline void appendNumber(QByteArray &out, int number)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, int(end - digits));
}

inline void appendEscaped(QByteArray &out, const QString &text, bool attribute = false)
{
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '<': out.append("&lt;"); break;
        case '>': out.append("&gt;"); break;
        case '&': out.append("&amp;"); break;
        case '"': out.append("&quot;"); break;
        case '\t': attribute ? out.append("&#9;") : out.append(c); break;
        case '\n': attribute ? out.append("&#10;") : out.append(c); break;
        case '\r': attribute ? out.append("&#13;") : out.append(c); break;
        default: out.append(c); break;
        }
    }
}

} // namespace RawXml
} // namespace Spreadsheet

#endif // SPREADSHEET_RAWXML_P_H
