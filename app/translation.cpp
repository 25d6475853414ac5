#include "translation.h"

#include <QLocale>
#include <QString>
#include <QTranslator>

bool loadTranslation(QTranslator &translator, const QLocale &locale)
{
    return translator.load(locale, QStringLiteral("Datarium"), QStringLiteral("_"),
                           QStringLiteral(":/locale"));
}
