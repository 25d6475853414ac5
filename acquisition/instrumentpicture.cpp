#include "instrumentpicture.h"

#include <QStringList>

namespace {

struct PictureRule
{
    const char *picture;
    QStringList codes;   // empty: every other code
};

const QVector<PictureRule> &series222()
{
    static const QVector<PictureRule> rules = {
        { ":/resources/W-Giallo.jpg", { QStringLiteral("005Z02"), QStringLiteral("005Z03") } },
        { ":/resources/W-Rosso.jpg", { QStringLiteral("003Z01"), QStringLiteral("004Z01"), QStringLiteral("005Z01") } },
        { ":/resources/W-Verde.jpg", { QStringLiteral("004Z02") } },
        { ":/resources/W-Grigio.jpg", {} },
    };
    return rules;
}

const QVector<PictureRule> &series242()
{
    static const QVector<PictureRule> rules = {
        { ":/resources/K-Giallo.jpg",
          QStringLiteral("001Z02 001Z05 001Z04 011Z02 011Z05 011Z04 008Z02 018Z02 006Z04 016Z04")
              .split(QLatin1Char(' ')) },
        { ":/resources/K-Rosso.jpg",
          QStringLiteral("001Z01 001Z03 003Z01 002Z01 011Z01 011Z03 013Z01 012Z01 006Z01 016Z01 008Z01 "
                         "018Z01 004Z02 014Z02 005Z01 015Z01 006Z02 016Z02 006Z03 016Z03 007Z01 017Z01")
              .split(QLatin1Char(' ')) },
        { ":/resources/K-Verde.jpg", QStringLiteral("002Z02 012Z02 004Z01 014Z01").split(QLatin1Char(' ')) },
        { ":/resources/K-Grigio.jpg", {} },
    };
    return rules;
}

QString pick(const QVector<PictureRule> &rules, const QString &instrumentId)
{
    for (const PictureRule &rule : rules) {
        if (rule.codes.isEmpty() || rule.codes.contains(instrumentId))
            return QLatin1String(rule.picture);
    }
    return QString();
}

} // namespace

QString instrumentPicturePath(const QString &series, const QString &instrumentId)
{
    if (series == QLatin1String("222"))
        return pick(series222(), instrumentId);
    if (series == QLatin1String("242"))
        return pick(series242(), instrumentId);
    return QString();
}
