// The screen drawn on the bitmap itself: grid, frame, centre line, text slots, and the traces of
// the screen buffer with their inverting pen.
#include <gtest/gtest.h>

#include "screen/Screen.h"
#include "ui/RecorderState.h"

namespace {

constexpr Colour Black = 0x000000, Navy = 0x800000, Blue = 0xFF0000, Green = 0x00FF00, Yellow = 0x00FFFF,
                 Red = 0x0000FF, Cyan = 0xFFFF00;

struct ScreenFixture : ::testing::Test {
    RecorderState st;
    Surface image{Screen::ImageWidth, Screen::ImageHeight};
    Surface overlay{Screen::ImageWidth, Screen::ImageHeight, true};
    ViewState view;
    Screen screen{st, st, st, st, st, st, st, view, image, overlay};

    ScreenFixture()
    {
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        screen.computeGeometry();
        st.ClearPending = true;
        screen.redrawIfClearPending();
    }

    // The pixels of `colour` inside the rectangle [x1, x2) x [y1, y2).
    int count(Colour colour, int x1, int y1, int x2, int y2) const
    {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    // Whether every pixel of `colour` in the top text row lies inside the rectangle.
    bool onlyInside(Colour colour, int x1, int y1, int x2, int y2) const
    {
        return count(colour, 0, 0, image.width(), st.GridTop - 1) == count(colour, x1, y1, x2, y2);
    }
    QImage snapshot() const { return image.image().copy(); }
};

TEST_F(ScreenFixture, GeometryOfTheDesignedSurface)
{
    EXPECT_EQ(st.GridLeft, 10);
    EXPECT_EQ(st.GridTop, 20);
    EXPECT_EQ(st.BottomTextY, 279);
    EXPECT_EQ(st.MarkerRightX, 555);
    EXPECT_EQ(st.MarkerBottomY, 277);
}

TEST_F(ScreenFixture, GridFrameAndCentreLine)
{
    const int gl = st.GridLeft, gt = st.GridTop;
    for (int i = 0; i <= 8; ++i) {
        if (i == 4)
            continue;  // the centre line lies over the middle grid line
        EXPECT_EQ(image.pixel(gl, gt + 32 * i), Navy) << i;
        EXPECT_EQ(image.pixel(gl + 544, gt + 32 * i), Navy) << i;
        if (i < 8) {
            EXPECT_EQ(image.pixel(gl + 17, gt + 32 * i + 1), Black) << i;
        }
    }
    for (int i = 0; i <= 17; ++i) {
        EXPECT_EQ(image.pixel(gl + 32 * i, gt + 1), Navy) << i;
        EXPECT_EQ(image.pixel(gl + 32 * i, gt + 256), Navy) << i;
        if (i < 17) {
            EXPECT_EQ(image.pixel(gl + 32 * i + 1, gt + 100), Black) << i;
        }
    }
    // The frame lies one pixel outside the outermost grid lines, all four corners included.
    for (auto [x, y] : {std::pair{gl - 1, gt - 1},
                        {gl + 545, gt - 1},
                        {gl - 1, gt + 257},
                        {gl + 545, gt + 257},
                        {gl + 200, gt - 1},
                        {gl + 200, gt + 257},
                        {gl - 1, gt + 50},
                        {gl + 545, gt + 200}})
        EXPECT_EQ(image.pixel(x, y), Blue) << x << "," << y;
    EXPECT_EQ(image.pixel(gl - 2, gt - 2), Black);
    EXPECT_EQ(image.pixel(gl + 546, gt + 258), Black);
    // The centre line runs from the left frame to the last grid column.
    EXPECT_EQ(image.pixel(gl - 1, gt + 128), Blue);
    EXPECT_EQ(image.pixel(gl + 100, gt + 128), Blue);
    EXPECT_EQ(image.pixel(gl + 544, gt + 128), Blue);
    // Zero volts (screen value 127) lies one pixel above the centre line.
    EXPECT_EQ(traceRow(gt, screenValue(512)), gt + 127);
}

TEST_F(ScreenFixture, ScaleTextsInTheirSlotsAndColours)
{
    const int h = image.textHeight();
    const QString range = QStringLiteral("±20V");
    const Colour colours[4] = {Blue, Green, Yellow, Red};
    for (int n = 0; n < 4; ++n) {
        const int x = 20 + 60 * n;
        EXPECT_GT(count(colours[n], x, 3, x + image.textWidth(range), 3 + h), 10) << n;
    }
    // Channel 1's blue is also the frame colour: its label pixels lie in its cell above the grid.
    EXPECT_TRUE(onlyInside(Green, 80, 3, 80 + image.textWidth(range), 3 + h));
    EXPECT_TRUE(onlyInside(Yellow, 140, 3, 140 + image.textWidth(range), 3 + h));
    // Value texts are drawn in the bottom row; the red value "0V" shares the red colour with CH4's label.
    EXPECT_GT(count(Red, 200, st.BottomTextY, 200 + image.textWidth("0V"), st.BottomTextY + h), 5);
    // "1s/Div." and the rate text in cyan, nothing cyan elsewhere.
    const int divEnd = 400 + image.textWidth(QStringLiteral("1s/Div."));
    EXPECT_GT(count(Cyan, 400, 3, divEnd, 3 + h), 10);
    EXPECT_GT(count(Cyan, 495, 3, 495 + image.textWidth(sampleRateText(10)), 3 + h), 10);
    EXPECT_TRUE(onlyInside(Cyan, 400, 3, 495 + image.textWidth(sampleRateText(10)), 3 + h));
    EXPECT_EQ(sampleRateText(10), QStringLiteral("100S/s    "));
}

TEST_F(ScreenFixture, DemoMarkOnlyInDemoMode)
{
    const QRect cell(250, 3, image.textWidth("DEMO"), image.textHeight());
    auto brightPixels = [&] { return count(Blue, cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1); };
    EXPECT_EQ(brightPixels(), 0);
    st.DemoMode = true;
    screen.drawScaleTexts();
    EXPECT_GT(brightPixels(), 10);
    st.DemoMode = false;
    screen.drawScaleTexts();
    EXPECT_EQ(brightPixels(), 0);
}

TEST_F(ScreenFixture, DisabledChannelShowsNoLabelAfterAFullRedraw)
{
    st.ChannelOn[1] = false;
    st.ClearPending = true;
    screen.redrawIfClearPending();
    EXPECT_EQ(count(Green, 0, 0, image.width(), image.height()), 0);  // neither label nor value
    EXPECT_FALSE(st.ClearPending);
}

TEST_F(ScreenFixture, PutsataankoOnlyActsOnAPendingClear)
{
    image.fillRect(100, 100, 110, 110, 0x123456);
    EXPECT_FALSE(screen.redrawIfClearPending());
    EXPECT_EQ(image.pixel(105, 105), 0x123456);
    view.traceDrawn = {true, true, true, true};
    st.ClearPending = true;
    EXPECT_TRUE(screen.redrawIfClearPending());
    EXPECT_EQ(image.pixel(105, 105), Black);
    EXPECT_EQ(view.traceDrawn, (std::array<bool, 4>{false, false, false, false}));
}

// ---- Traces

struct TraceFixture : ScreenFixture {
    TraceFixture()
    {
        // Each position shows its own number (mod 200) as screen value, so a point tells its position.
        for (int c = 0; c < 4; ++c)
            for (int p = 0; p < BufferLength; ++p)
                st.trace(c, p) = p % 200;
    }
    // Positions shown by the points of channel 1's last computed trace.
    std::vector<int> shownRows(int count) const
    {
        std::vector<int> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back(screen.points[static_cast<size_t>(i)].y() - st.GridTop);
        return rows;
    }
    int pointCount()
    {
        // Counts the points of the last trace through the polyline: draw on a scratch surface.
        int n = 0;
        while (n < 273 && screen.points[static_cast<size_t>(n)] != QPoint(-1, -1))
            ++n;
        return n;
    }
    int computeChannel1()
    {
        screen.points.fill(QPoint(-1, -1));
        screen.drawTraceRegion(0, st.ScreenSamples);
        return pointCount();
    }
};

TEST_F(TraceFixture, RedrawShowsEverySixthPositionAndEndsAt1693)
{
    ASSERT_EQ(computeChannel1(), 272);
    const std::vector<int> rows = shownRows(6);
    EXPECT_EQ(rows, (std::vector<int>{0, 6, 12, 18, 25, 31}));
    EXPECT_EQ(screen.points[271].x(), st.GridLeft + 542);
    EXPECT_EQ(screen.points[271].y() - st.GridTop, 1693 % 200);
}

TEST_F(TraceFixture, SingleScreenEndsAtTheRightGridLine)
{
    st.ScreenSamples = 1701;
    ASSERT_EQ(computeChannel1(), 273);
    EXPECT_EQ(screen.points[272].x(), st.GridLeft + 544);
    EXPECT_EQ(screen.points[272].y() - st.GridTop, 1700 % 200);
}

TEST_F(TraceFixture, ViewOffsetAndZoom)
{
    st.ViewOffset = 1700;
    EXPECT_EQ(computeChannel1(), 0);

    st.ViewOffset = 0;
    st.TraceStep = 3.125;  // recorded at "1s", viewed at "0.5s"
    ASSERT_EQ(computeChannel1(), 273);
    EXPECT_EQ(screen.points[272].y() - st.GridTop, 850 % 200);

    st.TraceStep = 12.5;  // viewed at "2s": the screen fills the left half
    ASSERT_EQ(computeChannel1(), 136);
    EXPECT_EQ(screen.points[135].x(), st.GridLeft + 270);

    st.TraceStep = 6.25;
    st.ScreenSamples = 500;  // stopped at position 500
    const int n = computeChannel1();
    EXPECT_EQ(n, 80);
    EXPECT_LE(screen.points[static_cast<size_t>(n - 1)].y() - st.GridTop, 499 % 200);
}

TEST_F(TraceFixture, FullScaleValuesSitOnTheGridLines)
{
    st.trace(0, 0) = 255;
    st.trace(0, 6) = 0;
    st.trace(0, 12) = 127;
    computeChannel1();
    EXPECT_EQ(screen.points[0].y(), st.GridTop + 256);
    EXPECT_EQ(screen.points[1].y(), st.GridTop);
    EXPECT_EQ(screen.points[2].y(), st.GridTop + 127);
}

TEST_F(TraceFixture, DrawingTwiceRestoresEverythingButTheEdgeLines)
{
    st.GridColor = st.BrightGridColor;  // "Bright Grid": the edge lines come back dark anyway
    st.ClearPending = true;
    screen.redrawIfClearPending();
    const QImage before = snapshot();
    screen.toggleTrace(0);
    EXPECT_NE(snapshot(), before);
    screen.toggleTrace(0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool edge = (y == st.GridTop || y == st.GridTop + 256) && x >= st.GridLeft && x < st.GridLeft + 544;
            if (edge)
                ASSERT_EQ(image.pixel(x, y), Navy) << x << "," << y;
            else
                ASSERT_EQ(image.image().pixel(x, y), before.pixel(x, y)) << x << "," << y;
        }
}

TEST_F(TraceFixture, TracesShowTheirColourAndCombineAtCrossings)
{
    for (int p = 0; p < BufferLength; ++p) {
        st.trace(0, p) = 60;  // CH1 flat at row 80
        st.trace(1, p) = 60;  // CH2 on the same row
    }
    screen.toggleTrace(0);
    EXPECT_EQ(image.pixel(st.GridLeft + 101, st.GridTop + 60), Blue);
    screen.toggleTrace(1);
    EXPECT_EQ(image.pixel(st.GridLeft + 101, st.GridTop + 60), Blue ^ Green ^ Black);
    screen.toggleTrace(0);  // removing CH1 leaves CH2's colour
    EXPECT_EQ(image.pixel(st.GridLeft + 101, st.GridTop + 60), Green);
}

TEST_F(TraceFixture, PiirrotAndPoistoKeepTheFlagsExact)
{
    const QImage empty = snapshot();
    st.ChannelOn[2] = false;
    screen.drawTraces();
    EXPECT_EQ(view.traceDrawn, (std::array<bool, 4>{true, true, false, true}));
    const QImage drawn = snapshot();
    screen.drawTraces();  // nothing new to draw
    EXPECT_EQ(snapshot(), drawn);
    screen.removeTraces();
    EXPECT_EQ(view.traceDrawn, (std::array<bool, 4>{false, false, false, false}));
    EXPECT_EQ(snapshot(), empty);
}

TEST_F(TraceFixture, PiirrotWithoutChannelsStillRepaintsEdgesAndAnnotation)
{
    st.ChannelOn = {false, false, false, false};
    int annotations = 0;
    screen.drawAnnotation = [&] { ++annotations; };
    st.AnnotationOn = true;
    image.fillRect(st.GridLeft, st.GridTop, st.GridLeft + 544, st.GridTop + 1, 0x00AA00);
    screen.drawTraces();
    EXPECT_EQ(image.pixel(st.GridLeft + 7, st.GridTop), Navy);
    EXPECT_EQ(annotations, 1);
    EXPECT_EQ(view.traceDrawn, (std::array<bool, 4>{false, false, false, false}));
}

TEST_F(TraceFixture, OverlayClearsAndShowsItsEdgeLines)
{
    screen.showLiveOverlay();
    EXPECT_TRUE(overlay.isOpaque(st.GridLeft, st.GridTop));
    EXPECT_EQ(overlay.pixel(st.GridLeft + 300, st.GridTop + 256), Navy);
    EXPECT_FALSE(overlay.isOpaque(st.GridLeft + 300, st.GridTop + 100));
    overlay.fillRect(100, 100, 101, 101, Red);
    screen.showLiveOverlay();
    EXPECT_FALSE(overlay.isOpaque(100, 100));
    screen.hideLiveOverlay();
    EXPECT_FALSE(overlay.isOpaque(st.GridLeft, st.GridTop));
}

}  // namespace
