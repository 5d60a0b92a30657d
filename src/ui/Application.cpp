#include "ui/Application.h"

#include <QCoreApplication>

Windows& windows()
{
    static Windows w;
    return w;
}

void nameApplication()
{
    // The title "Recorder/Logger" heads the message boxes (applicationTitle()). It is not made
    // Qt's display name: the platform would append that to every window caption, and the
    // windows' captions read exactly as each window sets them.
    QCoreApplication::setApplicationName(QStringLiteral("korvix"));
}
