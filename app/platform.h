#ifndef PLATFORM_H
#define PLATFORM_H

#include "acquisition/volume.h"

#include <QString>
#include <QVector>

class QWidget;

// Everything the program asks of the desktop goes through this interface, so
// that tests can replace the desktop with a scripted one.
class Platform
{
public:
    virtual ~Platform() = default;

    virtual QVector<Volume> mountedVolumes() const = 0;
    // A modal warning box with a single OK button; returns when it is closed.
    virtual void warn(const QString &title, const QString &text) = 0;
    // The chosen file, or an empty string when the user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &name,
                                 const QString &filter) = 0;
    // Opens the file with the application the desktop associates with it.
    virtual void openWithDesktop(const QString &fileName) = 0;
};

#endif // PLATFORM_H
