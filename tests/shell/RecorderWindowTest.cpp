// The recorder window as it stands after creation: controls, captions, names, groups and menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolButton>

#include "display/ScreenWidgets.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/Winrecx.h"

namespace {

struct RecorderWindow : ::testing::Test {
    RecorderState st;
    TForm1_rec w{st};

    template <typename T>
    T* named(const char* name)
    {
        return w.findChild<T*>(QString::fromLatin1(name));
    }
};

TEST_F(RecorderWindow, StartsReadyWithItsDesignedState)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" KORVIX Recorder / Logger"));
    for (int c = 0; c < 4; ++c) {
        EXPECT_TRUE(w.rangeButtons[c][0]->isChecked()) << c;
        for (int r = 1; r < 6; ++r)
            EXPECT_FALSE(w.rangeButtons[c][r]->isChecked()) << c << r;
        EXPECT_TRUE(w.channelSwitch[c]->isChecked()) << c;
        EXPECT_FALSE(w.dvm[c].panel->isVisibleTo(&w)) << c;
    }
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(w.timeButtons[i]->isChecked(), i == 9) << i;
    EXPECT_EQ(w.timeButtons[9]->text(), QStringLiteral("1s"));
    EXPECT_FALSE(w.SpeedButton1->isEnabled());
    EXPECT_FALSE(w.SpeedButton2->isEnabled());
    EXPECT_EQ(w.Label3->text(), QStringLiteral("Ready"));
    EXPECT_EQ(w.Label7->text(), QStringLiteral("0 hr  00 min  00 sec"));
    EXPECT_EQ(w.ScrollBar2->minimum(), 0);
    EXPECT_EQ(w.ScrollBar2->maximum(), 1700);
    EXPECT_FALSE(w.PaintBox1->isEnabled());
    EXPECT_TRUE(st.Idle);
    EXPECT_TRUE(st.StopFlag);
    EXPECT_EQ(st.ScreenSamples, 1700);
    EXPECT_EQ(st.TimeMarkerX, (std::array<int32_t, 2>{26, 538}));
    EXPECT_EQ(st.VoltMarkerY, (std::array<int32_t, 2>{36, 260}));
    for (int p : {0, 1700, 4095})
        EXPECT_EQ(st.trace(3, p), 255);
}

TEST(ApplicationTitle, HeadsMessageBoxesAndLeavesWindowCaptionsAlone)
{
    EXPECT_EQ(messageTitle(MessageRequest{}), QStringLiteral("Recorder/Logger"));
    MessageRequest own;
    own.title = QStringLiteral("DLL ERROR");
    EXPECT_EQ(messageTitle(own), QStringLiteral("DLL ERROR"));

    // Qt would append a display name to every window caption, so the start-up sets none: the
    // display name is the plain application name, which the platform leaves off the captions.
    nameApplication();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_NE(QGuiApplication::applicationDisplayName(), applicationTitle());
}

TEST_F(RecorderWindow, ControlsCarryTheirNamesAndPlaces)
{
    struct Expect {
        const char* name;
        QRect geometry;
    };
    const Expect expected[] = {
        {"Panel3", {4, 0, 593, 343}},
        {"Panel10", {10, 10, 569, 301}},
        {"Image1", {1, 1, 567, 299}},
        {"PaintBox1", {1, 1, 567, 299}},
        {"SpeedButton1", {4, 316, 37, 17}},
        {"ScrollBar2", {48, 316, 489, 17}},
        {"SpeedButton2", {544, 316, 37, 17}},
        {"Panel8", {0, 0, 295, 169}},
        {"Panel15", {295, 169, 294, 170}},
        {"GroupBox1", {4, 348, 589, 117}},
        {"CheckBox12", {297, 92, 44, 19}},
        {"SpeedButton20ch1", {48, 20, 37, 25}},
        {"SpeedButton04ch4", {540, 68, 37, 25}},
        {"SpeedButton08ch3", {500, 20, 37, 25}},
        {"GroupBox2", {604, 0, 125, 253}},
        {"SpeedButton1000s", {8, 20, 49, 25}},
        {"SpeedButton01s", {8, 212, 49, 25}},
        {"Panel1", {604, 264, 125, 41}},
        {"Panel2", {604, 316, 125, 25}},
        {"SpeedButtonRun", {604, 356, 125, 29}},
        {"SpeedButtonSingle", {604, 396, 125, 29}},
        {"Panel9", {16, 24, 257, 85}},
        {"M7SegDisp1", {36, 14, 35, 55}},
        {"M7SegDisp5", {153, 14, 35, 55}},
        {"Shape13", {8, 40, 21, 5}},
        {"Shape14", {16, 32, 5, 21}},
    };
    for (const Expect& e : expected) {
        QWidget* widget = named<QWidget>(e.name);
        ASSERT_NE(widget, nullptr) << e.name;
        EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
    }
    EXPECT_EQ(named<QToolButton>("SpeedButton08ch2")->text(), QStringLiteral("±0.8V"));
    EXPECT_EQ(named<QGroupBox>("GroupBox1")->title(), QStringLiteral("Voltage Range"));
    EXPECT_EQ(named<QGroupBox>("GroupBox2")->title(), QStringLiteral("Time/Div."));
    EXPECT_EQ(named<QLabel>("Label6")->text(), QStringLiteral("Time elapsed"));
    EXPECT_EQ(named<QCheckBox>("CheckBox9")->text(), QStringLiteral("ON"));
}

TEST_F(RecorderWindow, RangeRowsAreIndependentAndTimeButtonsOneGroup)
{
    w.rangeButtons[0][3]->click();
    w.rangeButtons[1][5]->click();
    EXPECT_TRUE(w.rangeButtons[0][3]->isChecked());
    EXPECT_FALSE(w.rangeButtons[0][0]->isChecked());
    EXPECT_TRUE(w.rangeButtons[1][5]->isChecked());
    EXPECT_TRUE(w.rangeButtons[2][0]->isChecked());
    EXPECT_EQ(st.ChannelRange, (std::array<uint8_t, 4>{20, 4, 200, 200}));
    EXPECT_EQ(st.RangeLabel[1], QStringLiteral("±0.4V"));

    w.timeButtons[0]->click();
    EXPECT_TRUE(w.timeButtons[0]->isChecked());
    EXPECT_FALSE(w.timeButtons[9]->isChecked());
    w.timeButtons[0]->click();  // a pressed time button stays pressed
    EXPECT_TRUE(w.timeButtons[0]->isChecked());
}

TEST_F(RecorderWindow, MenusWithCaptionsNamesAndStates)
{
    QMenuBar* bar = w.menuBar();
    QStringList titles;
    for (QAction* a : bar->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"File", "Edit", "Options", "View", "&Help"}));

    struct Item {
        const char* name;
        const char* caption;
    };
    const Item items[] = {
        {"Open", "Open Image..."},
        {"OpenData1", "Open Data..."},
        {"Save", "Save Image..."},
        {"N1", "Save Data..."},
        {"N2", "AutoSave Data..."},
        {"Print1", "Print..."},
        {"PrintSetup1", "Print Setup..."},
        {"Exit", "Exit"},
        {"RestoreDefaultSettingsExit1", "Restore Default Settings && Exit"},
        {"Copy1", "Copy"},
        {"Paste1", "Paste"},
        {"Colors1", "Colors..."},
        {"Calibrate1", "Calibrate"},
        {"Skin11", "1: Dark gray "},
        {"Skin71", "7: Neutral"},
        {"Skin81", "No Skin"},
        {"Markers1", "Markers  dV && t"},
        {"MarkersVdt1", "Markers  dV && dt"},
        {"DVMDisplay1", "DVM Display"},
        {"BrightGrid1", "Bright Grid"},
        {"Help2", "Contents"},
        {"About2", "About..."},
    };
    for (const Item& item : items) {
        QAction* action = named<QAction>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
        EXPECT_TRUE(action->isEnabled()) << item.name;
    }
    EXPECT_FALSE(w.Markers1->isChecked());
    EXPECT_TRUE(w.S1->title() == QStringLiteral("Skins..."));
}

TEST_F(RecorderWindow, HandlersWithoutTheirSubsystemDoNotCrash)
{
    w.Image1MouseDown(Qt::LeftButton, 100, 100);
    w.Image1MouseMove(120, 100);
    w.Image1MouseUp(Qt::LeftButton, 120, 100);
    w.ScrollBar2->setValue(100);
    EXPECT_EQ(st.ViewOffset, 100);
    w.ScrollBar2->setValue(0);
    w.BrightGrid1->trigger();
    w.DVMDisplay1->trigger();
    SUCCEED();
}

}  // namespace
