// Demo recordings on the real window, driving the tick handler directly: Run, Single, stop,
// the wrap, the elapsed time, the time base and scrolling of the stopped screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>

#include "recording/TimeBase.h"
#include "ui/ScreenWidgets.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

struct DemoRecording : ::testing::Test {
    RecorderState st;
    std::unique_ptr<RecorderWindow> w;

    DemoRecording()
    {
        st.DemoMode = true;
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<RecorderWindow>(st);
        st.ClearPending = true;
        w->screen.redrawIfClearPending();
        w->demoSetup();
    }
    // Ticks until the recording stops by itself or `limit` ticks were given; returns the count.
    int tick(int limit)
    {
        int n = 0;
        while (n < limit && !st.Idle) {
            w->session->takeDemoSamples(1);
            ++n;
        }
        return n;
    }
    QImage snapshot() const { return w->screenBitmap.image().copy(); }
};

TEST_F(DemoRecording, DemoSetupChoosesItsRangesAndTimeBase)
{
    EXPECT_EQ(st.ChannelRange, (std::array<uint8_t, 4>{80, 20, 20, 20}));
    EXPECT_TRUE(rangeButton(*w, 0, 1)->isChecked());
    EXPECT_TRUE(rangeButton(*w, 3, 3)->isChecked());
    EXPECT_EQ(st.TimeDivLabel, QStringLiteral("1s"));
    EXPECT_EQ(st.DemoStep, 1);
}

TEST_F(DemoRecording, RunThenStop)
{
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_FALSE(st.Idle);
    EXPECT_FALSE(w->session->progress().StopFlag);
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Recording"));
    EXPECT_TRUE(child<QLabel>(*w, "runStatusLabel")->font().bold());
    EXPECT_FALSE(child<QToolButton>(*w, "singleButton")->isEnabled());
    EXPECT_FALSE(child<QGroupBox>(*w, "timeBaseGroupBox")->isEnabled());
    EXPECT_FALSE(child<QMenu>(*w, "viewMenu")->menuAction()->isEnabled());
    EXPECT_FALSE(child<QAction>(*w, "saveDataAction")->isEnabled());
    EXPECT_TRUE(child<QAction>(*w, "exitAction")->isEnabled());
    EXPECT_FALSE(child<QScrollBar>(*w, "scrollBar")->isEnabled());
    EXPECT_TRUE(child<QWidget>(*w, "liveOverlay")->isEnabled());
    EXPECT_TRUE(w->session->demoTimer()->Enabled());
    EXPECT_EQ(w->session->demoTimer()->Interval(), 10u);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("KORVIX Recorder / Logger"));
    EXPECT_EQ(st.RecTimeDivLabel, QStringLiteral("1s"));

    tick(100);
    EXPECT_EQ(st.SampleIndex, 100);
    EXPECT_EQ(child<QLabel>(*w, "elapsedTimeLabel")->text(), QStringLiteral("0 hr  00 min  01 sec"));

    child<QToolButton>(*w, "runButton")->click();
    EXPECT_TRUE(st.Idle);
    EXPECT_TRUE(w->session->progress().StopFlag);
    EXPECT_FALSE(w->session->demoTimer()->Enabled());
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(child<QLabel>(*w, "runStatusLabel")->font().bold());
    EXPECT_FALSE(child<QToolButton>(*w, "runButton")->isChecked());
    EXPECT_TRUE(child<QToolButton>(*w, "singleButton")->isEnabled());
    EXPECT_TRUE(child<QGroupBox>(*w, "timeBaseGroupBox")->isEnabled());
    EXPECT_TRUE(child<QMenu>(*w, "viewMenu")->menuAction()->isEnabled());
    EXPECT_TRUE(child<QScrollBar>(*w, "scrollBar")->isEnabled());
    EXPECT_FALSE(child<QWidget>(*w, "liveOverlay")->isEnabled());
    EXPECT_EQ(st.ScreenSamples, 100);
    for (int c = 0; c < 4; ++c) {
        EXPECT_NE(st.trace(c, 99), 255) << c;
        for (int p = 100; p <= 1702; ++p) {
            ASSERT_EQ(st.trace(c, p), 255) << c << " " << p;
            ASSERT_EQ(st.sample(c, p), 0) << c << " " << p;
        }
    }
    EXPECT_EQ(w->view.traceDrawn, (std::array<bool, 4>{true, true, true, true}));

    // A tick that was queued before the stop takes no sample.
    w->session->takeDemoSamples(1);
    EXPECT_EQ(st.SampleIndex, 100);
}

TEST_F(DemoRecording, SingleAtTheShortestIntervalStopsAfterOneScreen)
{
    timeButton(*w, 12)->click();
    EXPECT_EQ(st.SampleIntervalMs, 1);
    child<QToolButton>(*w, "singleButton")->click();
    EXPECT_TRUE(st.SingleShot);
    EXPECT_FALSE(child<QToolButton>(*w, "runButton")->isEnabled());
    EXPECT_EQ(tick(5000), 1701);
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(st.SingleShot);
    EXPECT_EQ(st.SampleIndex, 1701);
    EXPECT_EQ(st.ScreenSamples, 1701);
    EXPECT_FALSE(child<QToolButton>(*w, "singleButton")->isChecked());
    EXPECT_TRUE(child<QToolButton>(*w, "runButton")->isEnabled());
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    // Sample n shows demo entry n mod 300.
    EXPECT_EQ(st.trace(3, 1700), st.DemoTable[900 + 1700 % 300]);
}

TEST_F(DemoRecording, WrapStartsTheNextScreenAtPositionOneAndResetsTheTime)
{
    child<QToolButton>(*w, "runButton")->click();
    tick(1701);  // positions 0..1700
    EXPECT_EQ(child<QLabel>(*w, "elapsedTimeLabel")->text(), QStringLiteral("0 hr  00 min  17 sec"));
    const int first = st.trace(0, 0);
    tick(1);  // position 1701, then the wrap
    EXPECT_EQ(st.SampleIndex, 1);
    EXPECT_EQ(w->session->progress().ElapsedMs, 0);
    EXPECT_EQ(child<QLabel>(*w, "elapsedTimeLabel")->text(),
              QStringLiteral("0 hr  00 min  17 sec"));  // until the next sample
    tick(1);
    EXPECT_EQ(st.SampleIndex, 2);
    EXPECT_EQ(child<QLabel>(*w, "elapsedTimeLabel")->text(), QStringLiteral("0 hr  00 min  00 sec"));
    EXPECT_EQ(st.trace(0, 0), first);  // position 0 keeps the first sample of the recording
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(st.ScreenSamples, 2);
}

TEST_F(DemoRecording, LiveDrawingFollowsTheSamplesOnTheOverlay)
{
    child<QToolButton>(*w, "runButton")->click();
    tick(8);
    const Surface& overlay = w->overlayBitmap;
    // The first line goes from position 1 to position 4, both at x = GridLeft + 1; the triangle of
    // CH1 moves there, so the line sets its start pixel.
    ASSERT_NE(st.trace(0, 1), st.trace(0, 4));
    EXPECT_EQ(overlay.pixel(st.GridLeft + 1, st.GridTop + st.trace(0, 1)), st.ActiveColors[Ch1]);
    // ... and the next to position 6 at x = GridLeft + 3, whose own pixel is not drawn yet.
    EXPECT_EQ(st.LiveStep, 1);
    EXPECT_FALSE(overlay.isOpaque(st.GridLeft + 3, st.GridTop + st.trace(3, 6)));
    tick(1);
    EXPECT_EQ(st.LiveStep, 1);
    EXPECT_EQ(overlay.pixel(st.GridLeft + 100, st.GridTop + 256), st.SettingsColors[Dark_Grid]);
    child<QToolButton>(*w, "runButton")->click();
}

TEST_F(DemoRecording, TimeBaseZoomsTheStoppedScreen)
{
    child<QToolButton>(*w, "runButton")->click();
    tick(300);
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_EQ(st.BufferTimeDivCode, 500);

    timeButton(*w, 10)->click();
    EXPECT_DOUBLE_EQ(st.TraceStep, 3.125);
    timeButton(*w, 8)->click();
    EXPECT_DOUBLE_EQ(st.TraceStep, 12.5);
    EXPECT_EQ(st.SampleIntervalMs, 20);

    child<QToolButton>(*w, "runButton")->click();
    tick(10);
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_DOUBLE_EQ(st.TraceStep, 6.25);
    EXPECT_EQ(st.BufferTimeDivCode, 1000);
}

TEST_F(DemoRecording, TimeBaseTextReplacesTheOldOneCompletely)
{
    timeButton(*w, 0)->click();
    EXPECT_EQ(st.SampleIntervalMs, 10000);
    timeButton(*w, 12)->click();
    EXPECT_EQ(st.TimeDivLabel, QStringLiteral("0.1s"));

    // The slot holds exactly what a fresh drawing of the new text gives.
    Surface reference(Screen::ImageWidth, Screen::ImageHeight);
    reference.fillRect(0, 0, reference.width(), reference.height(), st.ActiveColors[Background]);
    reference.brushColour = st.ActiveColors[Background];
    reference.textOut(st.GridLeft + 390, 3, QStringLiteral("0.1s/Div."), st.ActiveColors[Time_Marker]);
    const Surface& image = w->screenBitmap;
    for (int y = 3; y < 3 + image.textHeight(); ++y)
        for (int x = st.GridLeft + 390; x < st.GridLeft + 485; ++x)
            ASSERT_EQ(image.pixel(x, y), reference.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(sampleRateText(1), QStringLiteral("1000S/s    "));
}

TEST_F(DemoRecording, ScrollingAwayAndBackRestoresTheScreenExactly)
{
    child<QToolButton>(*w, "singleButton")->click();
    tick(5000);
    const QImage stopped = snapshot();
    child<QScrollBar>(*w, "scrollBar")->setValue(300);
    EXPECT_EQ(st.ViewOffset, 300);
    EXPECT_NE(snapshot(), stopped);
    child<QScrollBar>(*w, "scrollBar")->setValue(1700);
    child<QScrollBar>(*w, "scrollBar")->setValue(0);
    EXPECT_EQ(snapshot(), stopped);
}

TEST_F(DemoRecording, ClosingTheWindowStopsARecording)
{
    child<QToolButton>(*w, "runButton")->click();
    tick(20);
    w->close();
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(w->session->demoTimer()->Enabled());
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
}

TEST_F(DemoRecording, ElapsedTimeDoesNotOverflowOnLongRecordings)
{
    child<QToolButton>(*w, "runButton")->click();
    st.AutoSaveOn = true;  // with auto-save the time runs on across wraps
    w->session->setElapsedMs(int64_t{600} * 3600000 + 5 * 60000 + 7000);
    tick(1);
    EXPECT_EQ(child<QLabel>(*w, "elapsedTimeLabel")->text(), QStringLiteral("600 hr  05 min  07 sec"));
    st.AutoSaveOn = false;
    child<QToolButton>(*w, "runButton")->click();
}

}  // namespace
