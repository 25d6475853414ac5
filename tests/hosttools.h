#ifndef HOSTTOOLS_H
#define HOSTTOOLS_H

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QtTest>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

// The programs that check what the tests write (poppler's tools, Python with
// openpyxl) are those of the Linux machine the tests run on, also for the
// Windows build, whose tests run under Wine: Wine starts a Linux program by its
// Unix path, and the paths handed to it must be the Unix names of the files.
namespace HostTools {

// Whether they can be run at all. Not from the Windows build's tests: Wine
// starts a Linux program but cannot wait for it to end. The scripts in
// tests/windows read what those tests leave behind instead.
inline bool available()
{
#if defined(Q_OS_WIN)
    return false;
#else
    return true;
#endif
}

inline QString program(const QString &name)
{
    return QStringLiteral("/usr/bin/") + name;
}

inline QString path(const QString &fileName)
{
#if defined(Q_OS_WIN)
    // Wine's own export; on Windows itself there is no Linux side to hand to.
    using UnixName = char *(CDECL *)(const wchar_t *);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return fileName;
    const QString native = QString(fileName).replace(QLatin1Char('/'), QLatin1Char('\\'));
    char *name = unixName(reinterpret_cast<const wchar_t *>(native.utf16()));
    if (!name)
        return fileName;
    const QString result = QString::fromUtf8(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
#else
    return fileName;
#endif
}

// A script of the tests folder run with the arguments: what it printed,
// errors and all; exitCode (when given) is -1 when it did not end.
inline QByteArray runPython(const QString &script, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program(QStringLiteral("python3")), QStringList{ QFINDTESTDATA(script) } + arguments);
    const bool finished = process.waitForFinished(600000);
    if (exitCode)
        *exitCode = finished ? process.exitCode() : -1;
    return process.readAll();
}

// What a few lines of Python print about a file (given as sys.argv[1]);
// ok (when given) tells whether they ran through.
inline QByteArray runPythonCode(const char *code, const QString &file, bool *ok = nullptr)
{
    QProcess process;
    process.start(program(QStringLiteral("python3")), { QStringLiteral("-c"), QLatin1String(code), path(file) });
    const bool ran = process.waitForFinished(60000) && process.exitCode() == 0;
    if (ok)
        *ok = ran;
    return process.readAllStandardOutput().trimmed();
}

// LibreOffice, once for all the jobs given (tests/edit_in_libreoffice.py
// says what a job is); empty when it did them all, else what went wrong.
inline QString runLibreOffice(const QJsonArray &jobs, const QString &folder)
{
    QFile file(folder + QStringLiteral("/jobs.json"));
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the jobs");
    file.write(QJsonDocument(jobs).toJson());
    file.close();
    int status = 0;
    const QByteArray output = runPython(QStringLiteral("edit_in_libreoffice.py"), { file.fileName() }, &status);
    if (status == 0)
        return QString();
    return output.isEmpty() ? QStringLiteral("LibreOffice did not do the jobs") : QString::fromUtf8(output);
}

} // namespace HostTools

#endif // HOSTTOOLS_H
