#ifndef FULLFOLDER_H
#define FULLFOLDER_H

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

// A small file system of the test's own, filled up to a few kilobytes, so
// that writing anything larger fails as on a full disk. Mounting needs root
// on Linux; elsewhere the folder is not valid and the test is skipped.
class FullFolder
{
public:
    FullFolder()
    {
#if defined(Q_OS_UNIX)
        if (geteuid() != 0 || !mountPoint.isValid())
            return;
        mounted = QProcess::execute(QStringLiteral("mount"),
                                    { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=64k"), QStringLiteral("datarium-full"), mountPoint.path() })
            == 0;
        QFile filler(mountPoint.filePath(fillerName()));
        if (mounted && filler.open(QIODevice::WriteOnly))
            filler.write(QByteArray(56 * 1024, 'x'));
#endif
    }
    ~FullFolder()
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), { mountPoint.path() });
    }
    FullFolder(const FullFolder &) = delete;
    FullFolder &operator=(const FullFolder &) = delete;

    bool isValid() const { return mounted; }
    QString path() const { return mountPoint.path(); }
    // Everything in the folder but the filler: what a failed write left behind.
    QStringList leftovers() const
    {
        QStringList names = QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(fillerName());
        return names;
    }

private:
    static QString fillerName() { return QStringLiteral("filler"); }

    QTemporaryDir mountPoint;
    bool mounted = false;
};

#endif // FULLFOLDER_H
