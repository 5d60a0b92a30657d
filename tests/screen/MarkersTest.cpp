// The measuring markers on the bitmap: readout texts, which marker a click grabs, the drag limits,
// exact removal of the dotted and solid lines, and the channel switch's screen step with the
// recolouring of the voltage markers.
#include <gtest/gtest.h>

#include <cmath>

#include "screen/Markers.h"
#include "screen/Screen.h"
#include "ui/RecorderState.h"

namespace {

constexpr Colour Blue = 0xFF0000, Green = 0x00FF00, Cyan = 0xFFFF00, Navy = 0x800000;

struct MarkerFixture : ::testing::Test {
    RecorderState st;
    Surface image{Screen::ImageWidth, Screen::ImageHeight};
    Surface overlay{Screen::ImageWidth, Screen::ImageHeight, true};
    ViewState view;
    Screen screen{st, st, st, st, st, st, st, view, image, overlay};
    int gl = 0, gt = 0;

    MarkerFixture()
    {
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        screen.computeGeometry();
        gl = st.GridLeft;
        gt = st.GridTop;
        view.markers.timeX = {gl + 16, gl + 528};
        view.markers.voltY = {gt + 16, gt + 240};
        // Four traces that cross the marker lines.
        for (int n = 0; n < ChannelCount; ++n)
            for (int p = 0; p < BufferLength; ++p)
                st.trace(n, p) = 30 + 50 * n + static_cast<int>(20 * std::sin(p / (40.0 + 9 * n)));
        st.ValueText = {QStringLiteral("-19.96V"), QStringLiteral("0.00V"), QStringLiteral("12.50V"),
                        QStringLiteral("-1.25V")};
        redraw(true);
    }

    // The full redraw of the screen, with or without markers.
    void redraw(bool markersOn)
    {
        view.markers.shown = markersOn;
        st.ClearPending = true;
        screen.redrawIfClearPending();
        screen.updateVoltReadout();
        screen.updateTimeReadout(false);
        screen.drawTraces();
    }

    QImage snapshot() const { return image.image().copy(); }

    // Grabs and releases at once (a click without movement); returns the marker that was held.
    int grabbed(int x, int y)
    {
        screen.grabMarker(x, y);
        const int target = view.drag.target;
        screen.releaseMarker(false);
        return target;
    }
};

TEST_F(MarkerFixture, ReadoutTextsAtTheDefaultPositions)
{
    EXPECT_EQ(view.markers.voltReadout, "dV: 35.00V");                              // 224 pixels = 7 divisions of 5 V
    EXPECT_EQ(view.markers.timeReadout, "dt: 16.00s");                              // 512 pixels = 16 divisions of 1 s
    EXPECT_EQ(markers::timeReadout(st, st, st, view.markers, true), "dt: 16.00s");  // no marker at the left edge

    // "dV && t": marker 1 parked, marker 2 read as the time from the start of the data.
    view.markers.timeX[0] = -600;
    EXPECT_EQ(markers::timeReadout(st, st, st, view.markers, true), "t: 16.50s");
    st.ViewOffset = 100;  // the left edge is one division (1 s) into the screen
    EXPECT_EQ(markers::timeReadout(st, st, st, view.markers, true), "t: 17.50s");
    st.PageEnd = 3400;  // a later page of a data file: one more screen before it
    EXPECT_EQ(markers::timeReadout(st, st, st, view.markers, true), "t: 34.50s");
    st.PageEnd = 1700;
    st.ViewOffset = 0;
    st.TimeDivLabel = "0.5s";
    EXPECT_EQ(markers::timeReadout(st, st, st, view.markers, true), "t: 8.25s");

    const markers::TimeScale ms = markers::splitTimeDivLabel(QStringLiteral("200ms"));
    EXPECT_EQ(ms.perDivision, 200);
    EXPECT_EQ(ms.unit, "ms");
    const markers::TimeScale ks = markers::splitTimeDivLabel(QStringLiteral("1000s"));
    EXPECT_EQ(ks.perDivision, 1000);
    EXPECT_EQ(ks.unit, "s");

    // The voltage readout follows the lowest-numbered enabled channel's range; CH1 when none is on.
    st.ChannelOn[0] = false;
    st.ChannelRange[1] = 20;  // ±2 V
    EXPECT_EQ(markers::voltReadout(st, st, view.markers), "dV: 3.50V");
    st.ChannelOn.fill(false);
    EXPECT_EQ(markers::voltReadout(st, st, view.markers), "dV: 35.00V");

    // Markers above the top grid line count as lying on it.
    view.markers.voltY = {gt - 30, gt};
    EXPECT_EQ(markers::voltReadout(st, st, view.markers), "dV: 0.00V");
    EXPECT_FALSE(markers::voltReadoutShown(st, view.markers));
}

TEST_F(MarkerFixture, DottedMarkersInvertOnlyTheirDotsAndASecondDrawingRemovesThem)
{
    redraw(false);
    const QImage plain = snapshot();
    view.markers.shown = true;
    screen.toggleMarkers();

    // A voltage marker row: every other pixel shows the CH1 colour on the background, the gaps are
    // unchanged. x = gl + 1 is the first dot.
    const int y = gt + 16;
    for (int x = gl + 1; x < gl + 40; ++x) {
        const bool dot = (x - gl - 1) % 2 == 0;
        const Colour before = Surface::fromRgb(plain.pixel(x, y));
        if (!dot) {
            EXPECT_EQ(image.pixel(x, y), before) << x;
        } else if (before == 0) {
            EXPECT_EQ(image.pixel(x, y), Blue) << x;
        }
    }
    // A time marker column shows the time-marker colour on the background.
    EXPECT_EQ(image.pixel(gl + 16, gt + 3), Cyan);
    EXPECT_EQ(Surface::fromRgb(plain.pixel(gl + 16, gt + 4)), image.pixel(gl + 16, gt + 4));

    screen.toggleMarkers();
    EXPECT_EQ(snapshot(), plain);
}

TEST_F(MarkerFixture, AClickGrabsTheNearestMarkerWithTiesToTimeAndToMarkerOne)
{
    const QImage before = snapshot();
    // Far from every marker: the nearest one still is grabbed (voltage marker 1, 112 pixels away,
    // against time marker 1, 254 pixels away).
    EXPECT_EQ(grabbed(gl + 270, gt + 128), 3);
    // A click without movement leaves the screen as it was.
    EXPECT_EQ(snapshot(), before);

    EXPECT_EQ(grabbed(gl + 20, gt + 128), 1);
    EXPECT_EQ(grabbed(gl + 525, gt + 128), 2);
    EXPECT_EQ(grabbed(gl + 300, gt + 230), 4);
    // Time against voltage at equal distance: the time marker.
    EXPECT_EQ(grabbed(gl + 26, gt + 26), 1);

    view.markers.timeX = {gl + 100, gl + 120};
    view.markers.voltY = {gt + 100, gt + 120};
    redraw(true);
    EXPECT_EQ(grabbed(gl + 110, gt + 20), 1);   // equal distance to both time markers
    EXPECT_EQ(grabbed(gl + 400, gt + 110), 3);  // equal distance to both voltage markers

    // A parked time marker is never grabbed.
    view.markers.timeX = {-600, gl + 200};
    redraw(true);
    EXPECT_EQ(grabbed(gl + 195, gt + 128), 2);
    EXPECT_EQ(view.markers.timeX[0], -600);
    EXPECT_FALSE(view.drag.active);
}

TEST_F(MarkerFixture, HeldMarkerIsSolidAndStopsAtTheGridEdges)
{
    screen.grabMarker(gl + 528, gt + 128);
    ASSERT_EQ(view.drag.target, 2);
    // Solid while held: consecutive pixels of the column are all inverted on the background.
    EXPECT_EQ(image.pixel(gl + 528, gt + 3), Cyan);
    EXPECT_EQ(image.pixel(gl + 528, gt + 4), Cyan);

    screen.moveMarker(gl + 1000, 0, false);
    EXPECT_EQ(view.markers.timeX[1], gl + 544);
    screen.moveMarker(-50, 0, false);
    EXPECT_EQ(view.markers.timeX[1], gl);
    EXPECT_EQ(view.markers.timeReadout, "dt: 0.50s");
    screen.releaseMarker(false);
    EXPECT_FALSE(view.drag.active);
    EXPECT_EQ(view.markers.timeX[1], gl);

    screen.grabMarker(gl + 272, gt + 240);
    ASSERT_EQ(view.drag.target, 4);
    screen.moveMarker(0, 1000, false);
    EXPECT_EQ(view.markers.voltY[1], gt + 256);
    EXPECT_EQ(view.markers.voltReadout, "dV: 37.50V");
    screen.moveMarker(0, -10, false);
    EXPECT_EQ(view.markers.voltY[1], gt);
    screen.releaseMarker(false);
    EXPECT_EQ(view.markers.voltY[1], gt);
    EXPECT_EQ(view.markers.voltReadout, "dV: 2.50V");
}

TEST_F(MarkerFixture, DraggedScreenEqualsAFreshDrawingWithTheNewPositions)
{
    // Drag time marker 2 and voltage marker 1 through several places; the old lines and the old
    // readouts must be gone without a trace.
    screen.grabMarker(gl + 528, gt + 128);
    for (const int x : {gl + 500, gl + 333, gl + 350, gl + 300})
        screen.moveMarker(x, gt + 128, false);
    screen.releaseMarker(false);
    screen.grabMarker(gl + 200, gt + 16);
    ASSERT_EQ(view.drag.target, 3);
    for (const int y : {gt + 60, gt + 90, gt + 77})
        screen.moveMarker(gl + 200, y, false);
    screen.releaseMarker(false);
    EXPECT_EQ(view.markers.timeReadout, "dt: 8.88s");   // 284 pixels
    EXPECT_EQ(view.markers.voltReadout, "dV: 25.47V");  // 163 pixels
    const QImage dragged = snapshot();

    redraw(true);
    EXPECT_EQ(dragged, snapshot());
}

TEST_F(MarkerFixture, ReadoutIsErasedWhenBothVoltageMarkersReachTheTopLine)
{
    const auto readoutPixels = [this] {
        int n = 0;
        for (int y = st.BottomTextY; y < image.height(); ++y)
            for (int x = screen.voltReadoutX(); x < screen.timeReadoutX(); ++x)
                n += image.pixel(x, y) != 0;
        return n;
    };
    ASSERT_GT(readoutPixels(), 0);
    for (const int y : {gt + 16, gt + 240}) {
        screen.grabMarker(gl + 272, y);
        screen.moveMarker(gl + 272, 0, false);
        screen.releaseMarker(false);
    }
    EXPECT_EQ(readoutPixels(), 0);
    EXPECT_EQ(view.markers.voltReadout, "dV: 0.00V");  // stored for the next full redraw
}

TEST_F(MarkerFixture, MarkersOnTheEdgeGridLinesSurviveTheTraceRedraw)
{
    const QImage fresh = snapshot();
    // A voltage marker parked on the bottom grid line, then the traces redrawn (which repaints that
    // line), then the marker dragged back: the grid line must be intact.
    screen.grabMarker(gl + 272, gt + 240);
    screen.moveMarker(gl + 272, gt + 300, false);
    screen.releaseMarker(false);
    screen.removeTraces();
    screen.drawTraces();
    screen.grabMarker(gl + 272, gt + 256);
    screen.moveMarker(gl + 272, gt + 240, false);
    screen.releaseMarker(false);
    for (int x = gl; x <= gl + 544; ++x)
        ASSERT_EQ(image.pixel(x, gt + 256), Surface::fromRgb(fresh.pixel(x, gt + 256))) << x;
    EXPECT_EQ(snapshot(), fresh);
}

TEST_F(MarkerFixture, ChannelSwitchRemovesAndRestoresExactlyAndRecoloursTheVoltageMarkers)
{
    const QImage allOn = snapshot();
    const int markerX = gl + 101;  // a dot of the voltage marker row, away from the traces
    const int markerY = gt + 240;
    ASSERT_EQ(image.pixel(markerX, markerY), Blue);

    screen.switchChannel(0, false);
    EXPECT_FALSE(st.ChannelOn[0]);
    EXPECT_FALSE(view.traceDrawn[0]);
    EXPECT_EQ(image.pixel(markerX, markerY), Green);  // CH2's colour now
    // Neither the range label nor the value text of CH1 is left.
    for (int y = 0; y < gt - 1; ++y)
        for (int x = screen.rangeLabelX(0); x < screen.rangeLabelX(1); ++x)
            ASSERT_EQ(image.pixel(x, y), 0) << x << "," << y;
    for (int y = st.BottomTextY; y < image.height(); ++y)
        for (int x = screen.valueTextX(0); x < screen.valueTextX(1); ++x)
            ASSERT_EQ(image.pixel(x, y), 0) << x << "," << y;
    // The off screen equals a fresh drawing without CH1.
    const QImage off = snapshot();
    redraw(true);
    EXPECT_EQ(snapshot(), off);

    // Twice changes nothing.
    screen.switchChannel(0, false);
    EXPECT_EQ(snapshot(), off);

    screen.switchChannel(0, true);
    EXPECT_EQ(snapshot(), allOn);
    screen.switchChannel(0, true);
    EXPECT_EQ(snapshot(), allOn);
    EXPECT_TRUE(view.traceDrawn[0]);
    EXPECT_EQ(image.pixel(markerX, markerY), Blue);
}

TEST_F(MarkerFixture, AllChannelsOffLeaveTheMarkersInChannelOneColourAndNoVoltageReadout)
{
    for (int n = 0; n < ChannelCount; ++n)
        screen.switchChannel(n, false);
    EXPECT_EQ(image.pixel(gl + 101, gt + 240), Blue);
    for (int y = st.BottomTextY; y < image.height(); ++y)
        for (int x = screen.voltReadoutX(); x < screen.timeReadoutX(); ++x)
            ASSERT_EQ(image.pixel(x, y), 0);
    EXPECT_EQ(view.markers.voltReadout, "dV: 35.00V");
    // Grid, markers and time readout only: the same as a fresh drawing with every channel off.
    const QImage off = snapshot();
    redraw(true);
    EXPECT_EQ(snapshot(), off);
    EXPECT_EQ(image.pixel(gl, gt + 32), Navy);
}

}  // namespace
