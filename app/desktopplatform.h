#ifndef DESKTOPPLATFORM_H
#define DESKTOPPLATFORM_H

#include "platform.h"

// The real desktop: mounted volumes, message boxes, file dialogs and the
// desktop's file associations.
class DesktopPlatform : public Platform
{
public:
    QVector<Volume> mountedVolumes() const override;
    void warn(const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &name,
                         const QString &filter) override;
    void openWithDesktop(const QString &fileName) override;
};

#endif // DESKTOPPLATFORM_H
