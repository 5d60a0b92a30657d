// Main of the window tests: a QApplication on the offscreen platform, settings and documents
// folders redirected into a temporary folder so that no test touches the user's files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home.path() + "/docs").toUtf8());
    qputenv("HOME", home.path().toUtf8());
    QStandardPaths::setTestModeEnabled(false);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
