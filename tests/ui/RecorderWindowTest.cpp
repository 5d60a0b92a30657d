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
#include "ui/DvmPanel.h"
#include "ui/RecorderWindow.h"
#include "ui/MeasuringTools.h"
#include "WindowControls.h"

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
        EXPECT_TRUE(rangeButton(w, c, 0)->isChecked()) << c;
        for (int r = 1; r < 6; ++r)
            EXPECT_FALSE(rangeButton(w, c, r)->isChecked()) << c << r;
        EXPECT_TRUE(channelSwitch(w, c)->isChecked()) << c;
        EXPECT_FALSE(w.dvmPanel(c)->isVisibleTo(&w)) << c;
    }
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(timeButton(w, i)->isChecked(), i == 9) << i;
    EXPECT_EQ(timeButton(w, 9)->text(), QStringLiteral("1s"));
    EXPECT_FALSE(child<QToolButton>(w, "previousPageButton")->isEnabled());
    EXPECT_FALSE(child<QToolButton>(w, "nextPageButton")->isEnabled());
    EXPECT_EQ(child<QLabel>(w, "runStatusLabel")->text(), QStringLiteral("Ready"));
    EXPECT_EQ(child<QLabel>(w, "elapsedTimeLabel")->text(), QStringLiteral("0 hr  00 min  00 sec"));
    EXPECT_EQ(child<QScrollBar>(w, "scrollBar")->minimum(), 0);
    EXPECT_EQ(child<QScrollBar>(w, "scrollBar")->maximum(), 1700);
    EXPECT_FALSE(child<QWidget>(w, "liveOverlay")->isEnabled());
    EXPECT_TRUE(st.Idle);
    EXPECT_TRUE(w.session->progress().StopFlag);
    EXPECT_EQ(st.ScreenSamples, 1700);
    EXPECT_EQ(w.view.markers.timeX, (std::array<int32_t, 2>{26, 538}));
    EXPECT_EQ(w.view.markers.voltY, (std::array<int32_t, 2>{36, 260}));
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
    // Places in the designed parent: the range rows and the run controls group their controls in
    // widgets of their own, which must not move any control in the box or the window.
    struct Expect {
        const char* name;
        QRect geometry;
        const char* in;  // the designed parent; nullptr: the widget's own parent
    };
    const Expect expected[] = {
        {"screenFrame", {4, 0, 593, 343}, nullptr},
        {"screenBezel", {10, 10, 569, 301}, nullptr},
        {"screenImage", {1, 1, 567, 299}, nullptr},
        {"liveOverlay", {1, 1, 567, 299}, nullptr},
        {"previousPageButton", {4, 316, 37, 17}, nullptr},
        {"scrollBar", {48, 316, 489, 17}, nullptr},
        {"nextPageButton", {544, 316, 37, 17}, nullptr},
        {"dvmPanel1", {0, 0, 295, 169}, nullptr},
        {"dvmPanel2", {0, 169, 295, 170}, nullptr},
        {"dvmPanel3", {295, 0, 294, 169}, nullptr},
        {"dvmPanel4", {295, 169, 294, 170}, nullptr},
        {"rangeGroupBox", {4, 348, 589, 117}, nullptr},
        {"channelLabelPanel1", {8, 20, 33, 25}, "rangeGroupBox"},
        {"channelLabelPanel4", {300, 68, 33, 25}, "rangeGroupBox"},
        {"channelLabel2", {0, 0, 33, 25}, nullptr},
        {"channel1Switch", {5, 44, 44, 19}, "rangeGroupBox"},
        {"channel4Switch", {297, 92, 44, 19}, "rangeGroupBox"},
        {"range20VCh1Button", {48, 20, 37, 25}, "rangeGroupBox"},
        {"range04VCh4Button", {540, 68, 37, 25}, "rangeGroupBox"},
        {"range08VCh3Button", {500, 20, 37, 25}, "rangeGroupBox"},
        {"range2VCh2Button", {168, 68, 37, 25}, "rangeGroupBox"},
        {"timeBaseGroupBox", {604, 0, 125, 253}, nullptr},
        {"timeBase1000sButton", {8, 20, 49, 25}, nullptr},
        {"timeBase01sButton", {8, 212, 49, 25}, nullptr},
        {"timeBase500sButton", {68, 20, 49, 25}, nullptr},
        {"elapsedPanel", {604, 264, 125, 41}, "clientArea"},
        {"statusPanel", {604, 316, 125, 25}, "clientArea"},
        {"runStatusLabel", {2, 2, 121, 21}, nullptr},
        {"runButton", {604, 356, 125, 29}, "clientArea"},
        {"singleButton", {604, 396, 125, 29}, "clientArea"},
        {"dvmDisplay1", {16, 24, 257, 85}, nullptr},
        {"dvmDigit1_1", {36, 14, 35, 55}, nullptr},
        {"dvmDigit2_4", {153, 14, 35, 55}, nullptr},
        {"dvmMinusBar1", {8, 40, 21, 5}, nullptr},
        {"dvmPlusBar1", {16, 32, 5, 21}, nullptr},
        {"dvmPoint3_1", {71, 62, 5, 5}, nullptr},
    };
    for (const Expect& e : expected) {
        QWidget* widget = named<QWidget>(e.name);
        ASSERT_NE(widget, nullptr) << e.name;
        if (e.in == nullptr) {
            EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
        } else {
            QWidget* parent = named<QWidget>(e.in);
            ASSERT_NE(parent, nullptr) << e.in;
            ASSERT_TRUE(parent->isAncestorOf(widget)) << e.name;
            EXPECT_EQ(QRect(widget->mapTo(parent, QPoint(0, 0)), widget->size()), e.geometry) << e.name;
        }
    }
    // "KORVIX not connected" has the room up to the window's right edge.
    QWidget* status = named<QWidget>("deviceStatusLabel");
    EXPECT_EQ(status->mapTo(named<QWidget>("clientArea"), QPoint(0, 0)), QPoint(604, 448));
    EXPECT_EQ(status->width(), 151);
    EXPECT_EQ(named<QToolButton>("range08VCh2Button")->text(), QStringLiteral("±0.8V"));
    EXPECT_EQ(named<QGroupBox>("rangeGroupBox")->title(), QStringLiteral("Voltage Range"));
    EXPECT_EQ(named<QGroupBox>("timeBaseGroupBox")->title(), QStringLiteral("Time/Div."));
    EXPECT_EQ(named<QLabel>("elapsedCaptionLabel")->text(), QStringLiteral("Time elapsed"));
    EXPECT_EQ(named<QCheckBox>("channel1Switch")->text(), QStringLiteral("ON"));
}

TEST_F(RecorderWindowTest, RangeRowsAreIndependentAndTimeButtonsOneGroup)
{
    rangeButton(w, 0, 3)->click();
    rangeButton(w, 1, 5)->click();
    EXPECT_TRUE(rangeButton(w, 0, 3)->isChecked());
    EXPECT_FALSE(rangeButton(w, 0, 0)->isChecked());
    EXPECT_TRUE(rangeButton(w, 1, 5)->isChecked());
    EXPECT_TRUE(rangeButton(w, 2, 0)->isChecked());
    EXPECT_EQ(st.ChannelRange, (std::array<uint8_t, 4>{20, 4, 200, 200}));
    EXPECT_EQ(st.RangeLabel[1], QStringLiteral("±0.4V"));

    timeButton(w, 0)->click();
    EXPECT_TRUE(timeButton(w, 0)->isChecked());
    EXPECT_FALSE(timeButton(w, 9)->isChecked());
    timeButton(w, 0)->click();  // a pressed time button stays pressed
    EXPECT_TRUE(timeButton(w, 0)->isChecked());
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
    EXPECT_FALSE(child<QAction>(w, "markersTimeAction")->isChecked());
    EXPECT_TRUE(child<QMenu>(w, "skinsMenu")->title() == QStringLiteral("Skins..."));
}

TEST_F(RecorderWindowTest, HandlersWithoutTheirSubsystemDoNotCrash)
{
    w.measuring().mouseDown(Qt::LeftButton, 100, 100);
    w.measuring().mouseMove(120, 100);
    w.measuring().mouseUp(Qt::LeftButton, 120, 100);
    child<QScrollBar>(w, "scrollBar")->setValue(100);
    EXPECT_EQ(st.ViewOffset, 100);
    child<QScrollBar>(w, "scrollBar")->setValue(0);
    child<QAction>(w, "brightGridAction")->trigger();
    child<QAction>(w, "dvmDisplayAction")->trigger();
    SUCCEED();
}

}  // namespace
