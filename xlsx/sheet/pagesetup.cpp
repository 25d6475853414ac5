#include "pagesetup.h"

namespace Spreadsheet {

QString HeaderFooter::toText() const
{
    QString text;
    if (!left.isEmpty())
        text += QLatin1String("&L") + left;
    if (!center.isEmpty())
        text += QLatin1String("&C") + center;
    if (!right.isEmpty())
        text += QLatin1String("&R") + right;
    return text;
}

HeaderFooter HeaderFooter::fromText(const QString &text)
{
    HeaderFooter sections;
    QString *section = &sections.center;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&') || i + 1 == text.size()) {
            section->append(c);
            continue;
        }
        const QChar code = text.at(i + 1);
        if (code == QLatin1Char('L') || code == QLatin1Char('C') || code == QLatin1Char('R')) {
            section = code == QLatin1Char('L') ? &sections.left : code == QLatin1Char('C') ? &sections.center : &sections.right;
            ++i;
        } else if (code == QLatin1Char('"')) {
            // A font's name and style, which may hold any letter.
            const int end = text.indexOf(QLatin1Char('"'), i + 2);
            const int last = end < 0 ? text.size() - 1 : end;
            section->append(text.midRef(i, last - i + 1));
            i = last;
        } else {
            section->append(c);
            section->append(code);
            ++i;
        }
    }
    return sections;
}

} // namespace Spreadsheet
