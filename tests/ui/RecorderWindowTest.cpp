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

#include "ui/ScreenWidgets.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderWindow.h"

namespace {

struct RecorderWindowTest : ::testing::Test {
    RecorderState st;
    RecorderWindow w{st};

    template <typename T>
    T* named(const char* name)
    {
        return w.findChild<T*>(QString::fromLatin1(name));
    }
};

TEST_F(RecorderWindowTest, StartsReadyWithItsDesignedState)
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
    EXPECT_FALSE(w.previousPageButton->isEnabled());
    EXPECT_FALSE(w.nextPageButton->isEnabled());
    EXPECT_EQ(w.runStatusLabel->text(), QStringLiteral("Ready"));
    EXPECT_EQ(w.elapsedTimeLabel->text(), QStringLiteral("0 hr  00 min  00 sec"));
    EXPECT_EQ(w.scrollBar->minimum(), 0);
    EXPECT_EQ(w.scrollBar->maximum(), 1700);
    EXPECT_FALSE(w.liveOverlay->isEnabled());
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

TEST_F(RecorderWindowTest, ControlsCarryTheirNamesAndPlaces)
{
    struct Expect {
        const char* name;
        QRect geometry;
    };
    const Expect expected[] = {
        {"screenFrame", {4, 0, 593, 343}},        {"screenBezel", {10, 10, 569, 301}},
        {"screenImage", {1, 1, 567, 299}},        {"liveOverlay", {1, 1, 567, 299}},
        {"previousPageButton", {4, 316, 37, 17}}, {"scrollBar", {48, 316, 489, 17}},
        {"nextPageButton", {544, 316, 37, 17}},   {"dvmPanel1", {0, 0, 295, 169}},
        {"dvmPanel4", {295, 169, 294, 170}},      {"rangeGroupBox", {4, 348, 589, 117}},
        {"channel4Switch", {297, 92, 44, 19}},    {"range20VCh1Button", {48, 20, 37, 25}},
        {"range04VCh4Button", {540, 68, 37, 25}}, {"range08VCh3Button", {500, 20, 37, 25}},
        {"timeBaseGroupBox", {604, 0, 125, 253}}, {"timeBase1000sButton", {8, 20, 49, 25}},
        {"timeBase01sButton", {8, 212, 49, 25}},  {"elapsedPanel", {604, 264, 125, 41}},
        {"statusPanel", {604, 316, 125, 25}},     {"runButton", {604, 356, 125, 29}},
        {"singleButton", {604, 396, 125, 29}},    {"dvmDisplay1", {16, 24, 257, 85}},
        {"dvmDigit1_1", {36, 14, 35, 55}},        {"dvmDigit2_4", {153, 14, 35, 55}},
        {"dvmMinusBar1", {8, 40, 21, 5}},         {"dvmPlusBar1", {16, 32, 5, 21}},
    };
    for (const Expect& e : expected) {
        QWidget* widget = named<QWidget>(e.name);
        ASSERT_NE(widget, nullptr) << e.name;
        EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
    }
    EXPECT_EQ(named<QToolButton>("range08VCh2Button")->text(), QStringLiteral("±0.8V"));
    EXPECT_EQ(named<QGroupBox>("rangeGroupBox")->title(), QStringLiteral("Voltage Range"));
    EXPECT_EQ(named<QGroupBox>("timeBaseGroupBox")->title(), QStringLiteral("Time/Div."));
    EXPECT_EQ(named<QLabel>("elapsedCaptionLabel")->text(), QStringLiteral("Time elapsed"));
    EXPECT_EQ(named<QCheckBox>("channel1Switch")->text(), QStringLiteral("ON"));
}

TEST_F(RecorderWindowTest, RangeRowsAreIndependentAndTimeButtonsOneGroup)
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

TEST_F(RecorderWindowTest, MenusWithCaptionsNamesAndStates)
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
        {"openImageAction", "Open Image..."},
        {"openDataAction", "Open Data..."},
        {"saveImageAction", "Save Image..."},
        {"saveDataAction", "Save Data..."},
        {"autoSaveAction", "AutoSave Data..."},
        {"printAction", "Print..."},
        {"printSetupAction", "Print Setup..."},
        {"exitAction", "Exit"},
        {"restoreDefaultsAction", "Restore Default Settings && Exit"},
        {"copyAction", "Copy"},
        {"pasteAction", "Paste"},
        {"coloursAction", "Colors..."},
        {"calibrateAction", "Calibrate"},
        {"skin1Action", "1: Dark gray "},
        {"skin7Action", "7: Neutral"},
        {"skin8Action", "No Skin"},
        {"markersTimeAction", "Markers  dV && t"},
        {"markersDeltaTimeAction", "Markers  dV && dt"},
        {"dvmDisplayAction", "DVM Display"},
        {"brightGridAction", "Bright Grid"},
        {"helpContentsAction", "Contents"},
        {"aboutAction", "About..."},
    };
    for (const Item& item : items) {
        QAction* action = named<QAction>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
        EXPECT_TRUE(action->isEnabled()) << item.name;
    }
    EXPECT_FALSE(w.markersTimeAction->isChecked());
    EXPECT_TRUE(w.skinsMenu->title() == QStringLiteral("Skins..."));
}

TEST_F(RecorderWindowTest, HandlersWithoutTheirSubsystemDoNotCrash)
{
    w.screenMouseDown(Qt::LeftButton, 100, 100);
    w.screenMouseMove(120, 100);
    w.screenMouseUp(Qt::LeftButton, 120, 100);
    w.scrollBar->setValue(100);
    EXPECT_EQ(st.ViewOffset, 100);
    w.scrollBar->setValue(0);
    w.brightGridAction->trigger();
    w.dvmDisplayAction->trigger();
    SUCCEED();
}

}  // namespace
