#ifndef PDFTOOLS_H
#define PDFTOOLS_H

#include "hosttools.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>

// Reads PDF files back with poppler's tools, as a reader of the report sees them.
namespace PdfTools {

using HostTools::available;

// Whether a file is a complete PDF document, as far as its first and last
// bytes tell (for where the tools are not available).
inline bool isPdf(const QString &pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
}

// What a program printed; "<program failed>" when it did not run to success.
inline QString run(const QString &program, QStringList arguments)
{
    if (!available())
        return QStringLiteral("<%1 not available>").arg(program);
    for (QString &argument : arguments) {
        if (QFileInfo::exists(argument))
            argument = HostTools::path(argument);
    }
    QProcess process;
    process.start(HostTools::program(program), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(run(QStringLiteral("pdfinfo"), { pdf }));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text in reading layout, of one page or (page 0) of every page.
inline QString text(const QString &pdf, int page = 0)
{
    QStringList arguments{ QStringLiteral("-layout") };
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-"));
}

// One word as it lies on its page, in points from the page's top left.
struct Word
{
    int page = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    QString text;
};

inline QVector<Word> words(const QString &pdf)
{
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const QStringList pages = run(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") })
                                  .split(QStringLiteral("<page "));
    QVector<Word> found;
    for (int page = 1; page < pages.size(); ++page) {
        for (auto it = word.globalMatch(pages.at(page)); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            QString text = match.captured(5);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            found.append({ page, match.captured(1).toDouble(), match.captured(2).toDouble(),
                           match.captured(3).toDouble(), match.captured(4).toDouble(), text });
        }
    }
    return found;
}

} // namespace PdfTools

#endif // PDFTOOLS_H
