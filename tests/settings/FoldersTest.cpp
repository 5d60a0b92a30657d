// The folders of the settings file, data files and pictures.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include "settings/Folders.h"

TEST(Folders, SettingsFileLiesBelowTheUsersApplicationData)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_FALSE(data.isEmpty());
    // No folder ends in a separator, so that names joined to it never carry a double one.
    for (const QString& folder : {folders::userData(), folders::documents(), folders::settings()}) {
        EXPECT_FALSE(folder.endsWith(QLatin1Char('/'))) << qPrintable(folder);
        EXPECT_FALSE(folder.contains(QStringLiteral("//"))) << qPrintable(folder);
    }
    EXPECT_TRUE(data.startsWith(folders::userData()));
    EXPECT_TRUE(documents.startsWith(folders::documents()));
    EXPECT_EQ(folders::settings(), folders::userData() + QStringLiteral("/Lumivale/KORVIX"));
    EXPECT_EQ(folders::settingsFile(), folders::settings() + QStringLiteral("/KORVIX.ini"));
    QStandardPaths::setTestModeEnabled(false);
}
