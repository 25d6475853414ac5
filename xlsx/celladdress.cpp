#include "celladdress.h"

#include <QRegularExpression>

namespace Spreadsheet {

QString columnLetters(int column)
{
    QString letters;
    while (column > 0) {
        const int remainder = column % 26;
        letters.prepend(remainder == 0 ? QLatin1Char('Z') : QChar(QLatin1Char('A').unicode() + remainder - 1));
        column = (column - 1) / 26;
    }
    return letters;
}

int columnNumber(const QString &letters)
{
    int column = 0;
    for (const QChar letter : letters) {
        if (letter < QLatin1Char('A') || letter > QLatin1Char('Z') || column > 0xFFFFFF)
            return 0;
        column = column * 26 + (letter.unicode() - 'A' + 1);
    }
    return column;
}

CellAddress::CellAddress(const QString &text)
{
    // The whole text: "$" would also match before a final line feed, and \d
    // any Unicode digit.
    static const QRegularExpression pattern(QStringLiteral("\\A\\$?([A-Z]{1,3})\\$?([0-9]+)\\z"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return;
    m_row = match.captured(2).toInt();
    m_column = columnNumber(match.captured(1));
}

QString CellAddress::toText(bool rowAbsolute, bool columnAbsolute) const
{
    if (!isValid())
        return QString();
    QString text;
    if (columnAbsolute)
        text += QLatin1Char('$');
    text += columnLetters(m_column);
    if (rowAbsolute)
        text += QLatin1Char('$');
    return text + QString::number(m_row);
}

} // namespace Spreadsheet
