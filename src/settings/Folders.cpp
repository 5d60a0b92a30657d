#include "settings/Folders.h"

#include <QStandardPaths>

#include "settings/SettingsKeys.h"

namespace folders {

namespace {

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

}  // namespace

QString userData()
{
    return withoutTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString documents()
{
    return withoutTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString settings()
{
    return userData() + QStringLiteral("/Lumivale/KORVIX");
}

QString settingsFile()
{
    return settings() + QLatin1Char('/') + QLatin1String(Key::FileName);
}

}  // namespace folders
