#include "flaglegend.h"

#include <QCoreApplication>

FlagLegend::FlagLegend()
{
    reset();
}

void FlagLegend::reset()
{
    entries = QStringList{
        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
        QStringLiteral("*"), QStringLiteral("#"), QStringLiteral("@"),
        QCoreApplication::translate("MainWindow", "value out of range"),
        QCoreApplication::translate("MainWindow", "ABS out of bounds"),
        QCoreApplication::translate("MainWindow", "blank KO"),
    };
}

void FlagLegend::markUsed(Kind kind)
{
    entries[kind] = QStringLiteral("1");
}
