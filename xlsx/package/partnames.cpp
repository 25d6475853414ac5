#include "partnames_p.h"

#include <QStringList>
#include <QUrl>

namespace Spreadsheet {
namespace PartNames {

namespace {

QString folderOf(const QString &part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash);
}

} // namespace

QString resolve(const QString &source, const QString &target)
{
    // A target is a URI reference: its path may be percent-encoded.
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    const int query = path.indexOf(QLatin1Char('#'));
    if (query >= 0)
        path.truncate(query);
    QStringList segments;
    if (!path.startsWith(QLatin1Char('/'))) {
        const QString folder = folderOf(source);
        if (!folder.isEmpty())
            segments = folder.split(QLatin1Char('/'));
    }
    for (const QString &segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (segments.isEmpty())
                return QString();
            segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return segments.join(QLatin1Char('/'));
}

QString relative(const QString &source, const QString &part)
{
    const QStringList from = folderOf(source).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList to = part.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    int common = 0;
    while (common < from.size() && common + 1 < to.size() && from.at(common) == to.at(common))
        ++common;
    QStringList result;
    for (int i = common; i < from.size(); ++i)
        result.append(QStringLiteral(".."));
    for (int i = common; i < to.size(); ++i)
        result.append(to.at(i));
    // A target is a URI reference: blanks and other letters are encoded.
    return QString::fromLatin1(QUrl::toPercentEncoding(result.join(QLatin1Char('/')), "/!$&'()*+,;=:@"));
}

QString relationshipsOf(const QString &part)
{
    if (part.isEmpty())
        return QStringLiteral("_rels/.rels");
    const QString folder = folderOf(part);
    const QString name = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("_rels/") + name
        + QStringLiteral(".rels");
}

} // namespace PartNames
} // namespace Spreadsheet
