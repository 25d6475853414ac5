#ifndef FLAGLEGEND_H
#define FLAGLEGEND_H

#include <QString>
#include <QStringList>

// Which flag kinds the last acquisition met, with their symbols and legend
// texts, as the report's notes print them. Nine texts in three groups: the used
// markers ("0" or "1"), the symbols and the translated legend texts, one column
// per kind (value out of range, ABS out of bounds, blank KO).
class FlagLegend
{
public:
    enum Kind { ValueOutOfRange = 0, AbsOutOfBounds = 1, BlankKo = 2 };
    static constexpr int kindCount = 3;

    FlagLegend();

    // Every marker "0", the symbols and the legend texts in the current language.
    void reset();
    void markUsed(Kind kind);
    bool isUsed(int kind) const { return entries.at(kind) == QLatin1String("1"); }
    QString symbol(int kind) const { return entries.at(kindCount + kind); }
    QString text(int kind) const { return entries.at(2 * kindCount + kind); }

private:
    QStringList entries;
};

#endif // FLAGLEGEND_H
