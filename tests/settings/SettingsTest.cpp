// What the program keeps in its settings file: the start-up reading, the running mark, the
// writing at close, and the repair of window geometry that no longer fits the screens.
#include <gtest/gtest.h>

#include <climits>

#include <QFile>
#include <QTemporaryDir>

#include "settings/Settings.h"
#include "ui/RecorderState.h"

// Found by GoogleTest through the argument type, so it lives in the namespace of WindowBounds.
std::ostream& operator<<(std::ostream& os, const WindowBounds& b)
{
    return os << "(" << b.left << ", " << b.top << ", " << b.width << " x " << b.height << ")";
}

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("KORVIX.ini");
};

TEST_F(SettingsTest, FirstRunWritesTheCompleteFile)
{
    RecorderState state;
    AppSettings settings;
    WindowBounds shell;
    SettingsFile file(path);
    readStartupSettings(file, state, state, state, shell);
    readAppSettings(file, settings);
    EXPECT_EQ(shell, WindowBounds{});
    EXPECT_EQ(settings.window, WindowBounds{});
    EXPECT_EQ(state.SettingsColors, DefaultColours);
    EXPECT_TRUE(settings.calibrationDue);
    EXPECT_EQ(settings.skin, 4);

    QString error;
    ASSERT_TRUE(readAndMarkRunning(file, settings, &error)) << error.toStdString();
    EXPECT_FALSE(settings.wasRunning);
    EXPECT_EQ(readBytes(path), "[Status]\r\nRunning=1\r\n");  // on disk at once

    int editWidth = 301, editHeight = 265;
    readEditFormSize(file, editWidth, editHeight);
    settings.calibrationDue = false;  // the first-run calibration has run
    state.DemoMode = false;
    writeShutdownSettings(file, state, state, state, settings, true, editWidth, editHeight);
    ASSERT_TRUE(file.flush(&error)) << error.toStdString();
    EXPECT_EQ(readBytes(path),
              "[Status]\r\nRunning=0\r\n\r\n"
              "[MainForm]\r\nTop=35\r\nLeft=19\r\nWidth=747\r\nHeight=528\r\nStatus=1\r\n\r\n"
              "[EditForm]\r\nWidth=301\r\nHeight=265\r\n\r\n"
              "[Hardware]\r\nDemoMode=0\r\nOffset=512\r\nOffset4=0\r\nHWdialog=0\r\n\r\n"
              "[Menu]\r\nSkin=4\r\n\r\n"
              "[Colors]\r\nBackground=0\r\nCh1=16711680\r\nCh2=65280\r\nCh3=65535\r\nCh4=255\r\n"
              "Dark_Grid=8388608\r\nBright_Grid=16711680\r\nTime_Marker=16776960\r\n");
}

TEST_F(SettingsTest, ClosedSettingsAreReadAtTheNextStart)
{
    RecorderState before;
    AppSettings beforeSettings;
    before.DemoMode = true;
    beforeSettings.calibrationDue = false;
    before.HwOffset = 1023;
    before.HwOffset4 = -3;
    beforeSettings.skin = 9;  // outside the skins, kept as it is
    before.SettingsColors = {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0x404040, 0xC0C0C0, 0x000000};
    const WindowBounds moved{-20, 400, 1000, 600};
    beforeSettings.window = moved;
    {
        SettingsFile file(path);
        writeShutdownSettings(file, before, before, before, beforeSettings, true, 350, 200);
        ASSERT_TRUE(file.flush());
    }
    SettingsFile file(path);
    RecorderState after;
    AppSettings afterSettings;
    WindowBounds shell;
    readStartupSettings(file, after, after, after, shell);
    readAppSettings(file, afterSettings);
    EXPECT_EQ(shell, moved);
    EXPECT_EQ(afterSettings.window, moved);
    EXPECT_TRUE(after.DemoMode);
    EXPECT_FALSE(afterSettings.calibrationDue);
    EXPECT_EQ(after.HwOffset, 1023);
    EXPECT_EQ(after.HwOffset4, -3);
    EXPECT_EQ(afterSettings.skin, 9);
    EXPECT_EQ(after.SettingsColors, before.SettingsColors);
    // Derived from the colours just read: white background inverts nothing away.
    EXPECT_EQ(after.XorColors[0], 0x0000FF);
    EXPECT_EQ(after.XorColors[XorTimeMarker], 0x000000);
    EXPECT_EQ(after.GridColor, 0x404040);
    EXPECT_EQ(after.DarkGridColor, 0x404040);
    EXPECT_EQ(after.BrightGridColor, 0xC0C0C0);
    int w = 301, h = 265;
    readEditFormSize(file, w, h);
    EXPECT_EQ(w, 350);
    EXPECT_EQ(h, 200);
}

TEST_F(SettingsTest, MinimizedOrMaximizedWindowKeepsTheStoredGeometry)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[MainForm]\r\nTop=100\r\nLeft=200\r\n[EditForm]\r\nWidth=400\r\n[Status]\r\nRunning=1\r\n");
    f.close();

    SettingsFile file(path);
    RecorderState state;
    AppSettings settings;
    settings.window = WindowBounds{0, 0, 3000, 2000};
    writeShutdownSettings(file, state, state, state, settings, false, 1, 1);
    ASSERT_TRUE(file.flush());
    SettingsFile again(path);
    WindowBounds shell;
    readStartupSettings(again, state, state, state, shell);
    EXPECT_EQ(shell, (WindowBounds{200, 100, 747, 528}));
    int w = 301, h = 265;
    readEditFormSize(again, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 265);
    EXPECT_EQ(again.readInteger("Status", "Running", -1), 0);
    EXPECT_EQ(again.readInteger("MainForm", "Status", -1), 1);
}

TEST_F(SettingsTest, RunningMarkAndBadValues)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[status]\nrunning=1\n[Menu]\nSkin=abc\n[Colors]\nCh2=0x0000FF\n[Hardware]\nOffset=\n");
    f.close();

    SettingsFile file(path);
    RecorderState state;
    AppSettings settings;
    WindowBounds shell;
    readStartupSettings(file, state, state, state, shell);
    readAppSettings(file, settings);
    EXPECT_EQ(settings.skin, 4);
    EXPECT_EQ(state.HwOffset, 512);
    EXPECT_EQ(state.SettingsColors[Ch2], 0x0000FF);
    ASSERT_TRUE(readAndMarkRunning(file, settings));
    EXPECT_TRUE(settings.wasRunning);
    EXPECT_EQ(readBytes(path).left(22), "[status]\r\nrunning=1\r\n[");
}

TEST(UsableBounds, KeepsUsableGeometryAndRepairsTheRest)
{
    const QList<QRect> oneScreen{QRect(0, 0, 1920, 1080)};
    const QList<QRect> twoScreens{QRect(0, 0, 1920, 1080), QRect(1920, -200, 1280, 1024)};
    // A primary screen that does not hold the default place (19, 35).
    const QList<QRect> offsetScreen{QRect(2000, 500, 1280, 1024)};
    const struct {
        WindowBounds wanted;
        QList<QRect> screens;
        WindowBounds expected;
    } cases[] = {
        {{19, 35, 747, 528}, oneScreen, {19, 35, 747, 528}},
        {{300, 200, 1200, 700}, oneScreen, {300, 200, 1200, 700}},
        // Smaller than designed: the designed (default) size.
        {{19, 35, 0, 528}, oneScreen, {19, 35, 747, 528}},
        {{19, 35, -5, 528}, oneScreen, {19, 35, 747, 528}},
        {{19, 35, 1, 528}, oneScreen, {19, 35, 747, 528}},
        {{19, 35, 746, 527}, oneScreen, {19, 35, 747, 528}},
        {{19, 35, 100000, -5}, oneScreen, {19, 35, 7680, 528}},
        // The top row of the window (100 x 50 pixels of it) shows on a screen: kept.
        {{-600, 35, 747, 528}, oneScreen, {-600, 35, 747, 528}},  // 147 px still show
        {{100, 1000, 747, 528}, oneScreen, {100, 1000, 747, 528}},
        {{2500, -100, 747, 528}, twoScreens, {2500, -100, 747, 528}},  // on the second screen
        // Off every screen: the default place.
        {{-700, 35, 747, 528}, oneScreen, {19, 35, 747, 528}},  // 47 px do not
        {{100, 1050, 747, 528}, oneScreen, {19, 35, 747, 528}},
        {{19, 50000, 747, 528}, oneScreen, {19, 35, 747, 528}},
        {{100, -400, 747, 528}, oneScreen, {19, 35, 747, 528}},  // its top row above the screen
        {{5000, 5000, 747, 528}, oneScreen, {19, 35, 747, 528}},
        {{3300, 100, 747, 528}, twoScreens, {19, 35, 747, 528}},
        {{INT_MAX, INT_MIN, INT_MAX, INT_MAX}, oneScreen, {19, 35, 7680, 4320}},
        {{INT_MIN, INT_MAX, INT_MIN, INT_MIN}, oneScreen, {19, 35, 747, 528}},
        // Where the default place is on no screen, the same place on the primary screen.
        {{0, 0, 747, 528}, offsetScreen, {2019, 535, 747, 528}},
        {{2500, 600, 747, 528}, offsetScreen, {2500, 600, 747, 528}},
        // No screens known: only the size is repaired.
        {{5000, 5000, 747, 528}, {}, {5000, 5000, 747, 528}},
        {{5000, 5000, 1, 1}, {}, {5000, 5000, 747, 528}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(usableBounds(c.wanted, c.screens), c.expected) << "wanted " << c.wanted;

    EXPECT_EQ(usableEditSize(QSize(301, 265)), QSize(301, 265));
    EXPECT_EQ(usableEditSize(QSize(0, -1)), QSize(120, 120));
    EXPECT_EQ(usableEditSize(QSize(100000, 4000)), QSize(4000, 4000));
}

}  // namespace
