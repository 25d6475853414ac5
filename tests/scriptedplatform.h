#ifndef SCRIPTEDPLATFORM_H
#define SCRIPTEDPLATFORM_H

#include "app/platform.h"

#include <QGuiApplication>
#include <QStringList>

// A desktop that answers from a script and records what it was asked.
class ScriptedPlatform : public Platform
{
public:
    QVector<Volume> volumes;
    QString openAnswer;          // the file the open dialog "chooses"; empty = cancel
    QString saveAnswer;          // the file the save dialog "chooses"; empty = cancel
    QStringList calls;           // "warn", "open", "save", "desktop", in order
    QStringList warnings;        // title + "|" + text of every warning
    QStringList openedFiles;
    QString lastCaption, lastDir, lastFilter;
    int warningsOverBusyCursor = 0;   // a warning must never appear under the busy cursor

    QVector<Volume> mountedVolumes() const override { return volumes; }
    void warn(const QString &title, const QString &text) override
    {
        calls << QStringLiteral("warn");
        warnings << title + QLatin1Char('|') + text;
        if (QGuiApplication::overrideCursor())
            ++warningsOverBusyCursor;
    }
    QString openFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter) override
    {
        calls << QStringLiteral("open");
        lastCaption = caption;
        lastDir = dir;
        lastFilter = filter;
        return openAnswer;
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &name, const QString &filter) override
    {
        calls << QStringLiteral("save");
        lastCaption = caption;
        lastDir = name;
        lastFilter = filter;
        return saveAnswer;
    }
    void openWithDesktop(const QString &fileName) override
    {
        calls << QStringLiteral("desktop");
        openedFiles << fileName;
    }
};

#endif // SCRIPTEDPLATFORM_H
