#ifndef EXPORTXML_H
#define EXPORTXML_H

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Small builders for hand-written instrument export files.
namespace ExportXml {

inline QByteArray result(const QString &value, const QStringList &setFlags = {}, const QString &um = QStringLiteral("g/L"),
                         const QString &k = QStringLiteral("1.0"), const QString &q = QStringLiteral("0.0"))
{
    QString flags;
    for (const char *name : { "flag_INFMIN", "flag_SUPMAX", "flag_BLK_KO", "flag_ABS_KO", "flag_MAXDELTA" }) {
        const QString flag = QLatin1String(name);
        flags += QStringLiteral("<%1>%2</%1>").arg(flag, setFlags.contains(flag) ? QStringLiteral("*") : QString());
    }
    return QStringLiteral("<result><resultID>1</resultID><value>%1</value><UM>%2</UM><K>%3</K><Q>%4</Q>%5</result>")
        .arg(value, um, k, q, flags).toUtf8();
}

inline QByteArray sample(const QString &code, const QByteArray &results)
{
    return "<sample><sampleID>1</sampleID><code>" + code.toUtf8() + "</code>" + results + "</sample>";
}

inline QByteArray timestamp(const QString &day, const QString &month, const QString &year, const QString &hours,
                            const QString &minutes)
{
    return QStringLiteral("<timestamp><year>%1</year><month>%2</month><date>%3</date><hours>%4</hours>"
                          "<minutes>%5</minutes><seconds>30</seconds></timestamp>")
        .arg(year, month, day, hours, minutes).toUtf8();
}

inline QByteArray record(const QString &matrix, const QString &analysis, const QByteArray &samples,
                         const QByteArray &stamp = timestamp(QStringLiteral("3"), QStringLiteral("11"),
                                                            QStringLiteral("2018"), QStringLiteral("9"),
                                                            QStringLiteral("5")))
{
    return "<record><recordID>1</recordID>" + stamp + "<analysis>" + analysis.toUtf8() + "</analysis><matrix>"
        + matrix.toUtf8() + "</matrix>" + samples + "</record>";
}

inline QByteArray instrument(const QString &series, const QString &iid, const QString &name = QStringLiteral("QVR Unit"))
{
    return QStringLiteral("<instrument><series>%1</series><iname>%2</iname><iid>%3</iid><SN>SN-1</SN><FW>FW-1</FW>"
                          "<ruSN>RUSN-1</ruSN><ruFW>RUFW-1</ruFW><labName>Lab</labName>"
                          "<companyName>Company</companyName><companyAddr>Address</companyAddr></instrument>")
        .arg(series, name, iid).toUtf8();
}

inline QByteArray document(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><export>" + body + "</export>";
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QString samplePath(const char *name)
{
    return qEnvironmentVariable("DATARIUM_SOURCE_DIR") + QStringLiteral("/samples/") + QLatin1String(name);
}

} // namespace ExportXml

#endif // EXPORTXML_H
