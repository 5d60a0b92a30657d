// The demo tables against hand-worked values, the time-base table and texts, and the pacing of
// the millisecond timer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "recording/DemoSource.h"
#include "recording/MillisecondTimer.h"
#include "recording/TimeBase.h"

namespace {

int source(const DemoSource& st, int table, int i)
{
    return st.DemoTable[static_cast<size_t>(demo::SourceBase + 300 * table + i)];
}
int screenEntry(const DemoSource& st, int channel, int i)
{
    return st.DemoTable[static_cast<size_t>(300 * channel + i)];
}

struct Demo : ::testing::Test {
    DemoSource st;
    ChannelSetup channels;
    ScreenBuffer buffer;
    std::mt19937 rng{12345};
    Demo()
    {
        demo::buildSources(st, rng);
        channels.ChannelRange = {80, 20, 20, 20};  // the demo ranges
        demo::buildScreenTables(st, channels);
    }
    std::pair<int, int> screenRange(int channel) const
    {
        int lo = 255, hi = 0;
        for (int i = 0; i < 300; ++i) {
            lo = std::min(lo, screenEntry(st, channel, i));
            hi = std::max(hi, screenEntry(st, channel, i));
        }
        return {lo, hi};
    }
};

TEST_F(Demo, SourceTablesMatchHandWorkedValues)
{
    EXPECT_EQ(source(st, 0, 0), -120);
    EXPECT_EQ(source(st, 0, 149), -3100);
    EXPECT_EQ(source(st, 0, 150), -3080);
    EXPECT_EQ(source(st, 0, 299), -100);
    EXPECT_EQ(source(st, 3, 0), -5000);
    EXPECT_EQ(source(st, 3, 149), -5000);
    EXPECT_EQ(source(st, 3, 150), -4000);
    // Harmonic wave at i = 0: -2800 + 250 - 0 = -2550; at i = 75 (a quarter): 500 - 2800 - 250 + 166.67 = -2383.
    EXPECT_EQ(source(st, 2, 0), -2550);
    EXPECT_EQ(source(st, 2, 75), -2383);
    // Stepped sine: a small sine on a random level in 0..799 that changes every 50 entries.
    for (int i = 0; i < 300; ++i) {
        const double theta = 2 * M_PI * i / 300;
        const int level = source(st, 1, i) - static_cast<int>(std::nearbyint(std::sin(2 * theta) * 100 / 3 - 2100));
        const int blockLevel =
            source(st, 1, i - i % 50) -
            static_cast<int>(std::nearbyint(std::sin(2 * 2 * M_PI * (i - i % 50) / 300) * 100 / 3 - 2100));
        EXPECT_GE(level, 0) << i;
        EXPECT_LE(level, 799) << i;
        EXPECT_EQ(level, blockLevel) << i;
    }
}

TEST_F(Demo, ScreenValuesAtTheDemoRanges)
{
    EXPECT_EQ(screenEntry(st, 0, 0), 254);  // -120 / 80 = -1 (toward zero)
    EXPECT_EQ(screenRange(0), (std::pair{217, 254}));
    const auto [lo2, hi2] = screenRange(1);
    EXPECT_GE(lo2, 149);
    EXPECT_LE(hi2, 192);
    EXPECT_EQ(screenRange(2), (std::pair{70, 136}));
    EXPECT_EQ(screenEntry(st, 3, 0), 5);
    EXPECT_EQ(screenEntry(st, 3, 299), 55);
}

TEST_F(Demo, RangeEndsClampTheScreenValues)
{
    channels.ChannelRange = {4, 4, 200, 200};
    demo::buildScreenTables(st, channels);
    EXPECT_EQ(screenRange(0), (std::pair{0, 230}));  // -100/4 = -25 -> 230; -3100/4 clamps to 0
    EXPECT_EQ(screenEntry(st, 3, 0), 230);
    EXPECT_EQ(screenEntry(st, 3, 150), 235);
}

TEST_F(Demo, SamplesRepeatEvery300AndStandStillWithoutStep)
{
    st.DemoStep = 1;
    for (int n = 0; n < 700; ++n) {
        buffer.SampleIndex = static_cast<uint16_t>(n % 1700);
        demo::takeSample(st, buffer);
        for (int c = 0; c < 4; ++c)
            ASSERT_EQ(buffer.trace(c, n % 1700), screenEntry(st, c, n % 300)) << n;
    }
    st.DemoStep = 0;
    st.DemoPhase = 0;
    for (int n = 0; n < 5; ++n) {
        buffer.SampleIndex = static_cast<uint16_t>(n);
        demo::takeSample(st, buffer);
        EXPECT_EQ(buffer.trace(0, n), screenEntry(st, 0, 0));
    }
}

TEST(DemoClocks, RefreshSchedule)
{
    DemoSource st;
    // At 1000 ms per tick the DVM refreshes every second tick (the sum must exceed 1000).
    EXPECT_FALSE(demo::advanceDisplayClocks(st, 1000).dvm);
    EXPECT_TRUE(demo::advanceDisplayClocks(st, 1000).dvm);
    EXPECT_TRUE(demo::advanceDisplayClocks(st, 1000).values);
    DemoSource fast;
    int dvm = 0, values = 0;
    for (int i = 0; i < 10000; ++i) {
        const demo::Refresh r = demo::advanceDisplayClocks(fast, 1);
        dvm += r.dvm;
        values += r.values;
    }
    EXPECT_EQ(dvm, 10000 / 1001);
    EXPECT_EQ(values, 10000 / 501);
}

TEST(TimeBaseTable, CodesStepsAndTexts)
{
    for (const TimeBaseEntry& e : TimeBases) {
        EXPECT_EQ(e.timeDivCode, 50 * e.sampleIntervalMs) << e.label;
        EXPECT_DOUBLE_EQ(timeStepOf(QString::fromLatin1(e.label)), e.sampleIntervalMs / 1000.0) << e.label;
    }
    EXPECT_EQ(QString::fromLatin1(TimeBases[TimeBase1s].label), QStringLiteral("1s"));
    EXPECT_EQ(elapsedText(0, 0, 0), QStringLiteral("0 hr  00 min  00 sec"));
    EXPECT_EQ(elapsedText(600, 5, 17), QStringLiteral("600 hr  05 min  17 sec"));
}

TEST(TickPacer, DeliversLateTicksAndCapsTheBurst)
{
    TickPacer pacer;
    pacer.start(0, 1);
    EXPECT_EQ(pacer.due(0), 0);
    EXPECT_EQ(pacer.due(1), 1);
    EXPECT_EQ(pacer.due(3), 2);  // a late timer event makes up the missed tick
    EXPECT_EQ(pacer.due(3), 0);
    // After a stall the owed ticks come in bursts of at most MaxBurst until the count is right.
    int64_t total = pacer.delivered();
    while (int64_t n = pacer.due(1000)) {
        EXPECT_LE(n, TickPacer::MaxBurst);
        total += n;
    }
    EXPECT_EQ(total, 1000);

    TickPacer slow;
    slow.start(0, 1000);
    EXPECT_EQ(slow.due(996), 1);  // an event a few ms early still counts
    EXPECT_EQ(slow.due(1990), 0);
    EXPECT_EQ(slow.due(1996), 1);
}

TEST(FastTimer, PropertiesStartAndRestartLikeTheTimerService)
{
    MillisecondTimer timer;
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_EQ(timer.Resolution(), 10u);

    timer.setEnabled(true);  // no handler: no timer is started, no error
    EXPECT_EQ(timer.startCount(), 0);
    timer.setEnabled(false);

    timer.OnTimer = [] {};
    timer.setInterval(5);  // stopped: just stored
    EXPECT_EQ(timer.startCount(), 0);
    timer.setEnabled(true);
    timer.setEnabled(true);
    EXPECT_EQ(timer.startCount(), 1);
    timer.setInterval(7);  // running: restarts with the new period
    EXPECT_EQ(timer.startCount(), 2);
    timer.setResolution(0);
    EXPECT_EQ(timer.Resolution(), MillisecondTimer::MinResolution);
    timer.setResolution(1u << 20);
    EXPECT_EQ(timer.Resolution(), MillisecondTimer::MaxResolution);
    timer.setEnabled(false);

    timer.setInterval(0);
    timer.setEnabled(true);
    EXPECT_EQ(timer.startCount(), 4);  // only the two resolution changes above restarted it
}

}  // namespace
