#ifndef SPREADSHEET_RAWXML_P_H
#define SPREADSHEET_RAWXML_P_H

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cmath>

// Appending XML to a byte buffer directly, for the parts that hold one element
// per cell or text. The escaping is QXmlStreamWriter's: & < > " always,
// tab, line feed and carriage return in attribute values.
namespace Spreadsheet {
namespace RawXml {

// A literal, without measuring it again for every cell.
template <int size>
inline void appendLiteral(QByteArray &out, const char (&text)[size])
{
    out.append(text, size - 1);
}

inline void appendNumber(QByteArray &out, int number)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, int(end - digits));
}

// The shortest text that reads back as the same double: what a file holds
// is the number itself, not a rounding of it ("0.1" stays "0.1"; one third
// keeps its seventeen digits).
inline void appendNumber(QByteArray &out, double number)
{
    // Infinities and "not a number", which loaded cells may hold, in the
    // schema's own spelling (which spreadsheet programs read).
    if (!std::isfinite(number)) {
        out.append(std::isnan(number) ? "NaN" : number > 0 ? "INF" : "-INF");
        return;
    }
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, int(end - digits));
}

// Text already in UTF-8; runs without a character to escape are copied whole.
inline void appendEscapedUtf8(QByteArray &out, const char *data, int size, bool attribute = false)
{
    int start = 0;
    for (int i = 0; i < size; ++i) {
        const char c = data[i];
        const char *escape = nullptr;
        switch (c) {
        case '<': escape = "&lt;"; break;
        case '>': escape = "&gt;"; break;
        case '&': escape = "&amp;"; break;
        case '"': escape = "&quot;"; break;
        case '\t': escape = attribute ? "&#9;" : nullptr; break;
        case '\n': escape = attribute ? "&#10;" : nullptr; break;
        case '\r': escape = attribute ? "&#13;" : nullptr; break;
        default: break;
        }
        if (!escape)
            continue;
        out.append(data + start, i - start).append(escape);
        start = i + 1;
    }
    out.append(data + start, size - start);
}

inline void appendEscaped(QByteArray &out, const QString &text, bool attribute = false)
{
    const QByteArray utf8 = text.toUtf8();
    appendEscapedUtf8(out, utf8.constData(), utf8.size(), attribute);
}

} // namespace RawXml
} // namespace Spreadsheet

#endif // SPREADSHEET_RAWXML_P_H
