// Averaging of device reports into one sample, with hand-worked tables.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "DeviceFakes.h"
#include "device/SampleAveraging.h"

namespace {

// A scripted read source: each entry is a report (sequence byte and four readings) or a failed
// read (nullopt). Past the end every read fails.
struct Script {
    RecorderState& st;
    std::deque<std::optional<std::array<uint8_t, 64>>> reads;
    int pumps = 0;
    int refreshes = 0;
    std::function<void()> onPump;

    void report(uint8_t sequence, std::array<int, 4> readings) { reads.push_back(inputReport(sequence, readings)); }
    void failures(int n)
    {
        for (int i = 0; i < n; ++i)
            reads.push_back(std::nullopt);
    }
    DeviceSampleHooks hooks()
    {
        DeviceSampleHooks h;
        h.read = [this] {
            if (reads.empty())
                return 0;
            const auto next = reads.front();
            reads.pop_front();
            if (!next)
                return 0;
            st.InReport = *next;
            return 65;
        };
        h.pump = [this] {
            ++pumps;
            if (onPump)
                onPump();
        };
        h.refresh = [this] { ++refreshes; };
        return h;
    }
};

struct Averaging : ::testing::Test {
    RecorderState st;
    Script script{st, {}, 0, 0, {}};
    void SetUp() override
    {
        st.StopFlag = false;
        st.SampleIndex = 7;
    }
    std::array<int, 4> stored() const
    {
        auto& s = const_cast<RecorderState&>(st);
        return {s.sample(0, 7), s.sample(1, 7), s.sample(2, 7), s.sample(3, 7)};
    }
};

}  // namespace

TEST_F(Averaging, AverageRoundsDownAndIsStoredAsSampleAndScreenValue)
{
    st.SampleIntervalMs = 4;
    script.report(1, {0, 512, 1023, 100});
    script.report(2, {0, 513, 1023, 101});
    script.report(3, {3, 513, 1023, 101});
    script.report(4, {4, 514, 1023, 102});
    EXPECT_EQ(takeDeviceSample(st, script.hooks()), SampleEnd::Complete);
    // sums 7, 2052, 4092, 404 over 4 reports
    EXPECT_EQ(stored(), (std::array<int, 4>{1, 513, 1023, 101}));
    EXPECT_EQ(st.trace(0, 7), 255);
    EXPECT_EQ(st.trace(1, 7), 127);
    EXPECT_EQ(st.trace(2, 7), 0);
    EXPECT_EQ(st.trace(3, 7), 230);
    EXPECT_EQ(st.SampleSum, (std::array<int32_t, 4>{1, 513, 1023, 101}));
    EXPECT_EQ(st.ReportCount, 4);
    EXPECT_EQ(st.LastSequence, 4);
    EXPECT_EQ(script.pumps, 4);  // one message pass per read
}

TEST_F(Averaging, CalibrationOffsetOnlyInsideTheRangeAndThenClamped)
{
    st.SampleIntervalMs = 1;
    // average: 0, 1023, 1, 1020 ; offset: +5, -5, -5, +10
    st.CalOffset = {5, -5, -5, 10};
    script.report(1, {0, 1023, 1, 1020});
    takeDeviceSample(st, script.hooks());
    EXPECT_EQ(stored(), (std::array<int, 4>{0, 1023, 0, 1023}));
    // and an ordinary value just moves
    st.CalOffset = {3, -3, 0, 0};
    script.report(2, {500, 500, 500, 500});
    takeDeviceSample(st, script.hooks());
    EXPECT_EQ(stored(), (std::array<int, 4>{503, 497, 500, 500}));
}

TEST(AveragedSample, AnyOffsetEndsClampedWithoutOverflow)
{
    EXPECT_EQ(averagedSample(1022, 1, std::numeric_limits<int32_t>::max()), 1023);
    EXPECT_EQ(averagedSample(1, 1, std::numeric_limits<int32_t>::min()), 0);
    EXPECT_EQ(averagedSample(10220, 10, std::numeric_limits<int32_t>::max()), 1023);
}

TEST_F(Averaging, RepeatedSequenceBytesAreSkippedButAreGoodReads)
{
    st.SampleIntervalMs = 3;
    st.LastSequence = 5;
    script.report(5, {1000, 0, 0, 0});  // same as the last counted one: skipped
    script.report(6, {10, 0, 0, 0});
    script.report(6, {1000, 0, 0, 0});  // repeated
    script.report(6, {1000, 0, 0, 0});
    script.report(5, {20, 0, 0, 0});  // back to an earlier value, but not the last one: new
    script.failures(100);             // 100 failures in a row are tolerated
    script.report(7, {30, 0, 0, 0});
    EXPECT_EQ(takeDeviceSample(st, script.hooks()), SampleEnd::Complete);
    EXPECT_EQ(st.sample(0, 7), 20);
    EXPECT_FALSE(st.StopFlag);
    EXPECT_EQ(script.pumps, 106);
}

TEST_F(Averaging, HundredAndOneFailedReadsEndTheRecordingWithWhatWasCollected)
{
    st.SampleIntervalMs = 10;
    script.report(1, {600, 600, 600, 600});
    script.report(2, {601, 601, 601, 601});
    script.failures(101);
    EXPECT_EQ(takeDeviceSample(st, script.hooks()), SampleEnd::DeviceLost);
    EXPECT_TRUE(st.StopFlag);
    EXPECT_EQ(st.ReportCount, 2);
    EXPECT_EQ(stored(), (std::array<int, 4>{600, 600, 600, 600}));
    EXPECT_EQ(script.pumps, 103);
}

TEST_F(Averaging, NoReportAtAllKeepsThePositionAndDividesNothing)
{
    st.SampleIntervalMs = 10;
    for (int c = 0; c < 4; ++c) {
        st.sample(c, 7) = 300 + c;
        st.trace(c, 7) = 180;
    }
    // A failed read does not count the buffer's old report, even when its sequence byte is new.
    st.InReport = inputReport(99, {1000, 1000, 1000, 1000});
    script.failures(101);
    EXPECT_EQ(takeDeviceSample(st, script.hooks()), SampleEnd::DeviceLost);
    EXPECT_EQ(st.ReportCount, 0);
    EXPECT_EQ(stored(), (std::array<int, 4>{300, 301, 302, 303}));
    EXPECT_EQ(st.trace(2, 7), 180);
    EXPECT_EQ(st.SampleSum, (std::array<int32_t, 4>{300, 301, 302, 303}));
}

TEST_F(Averaging, StopDuringTheWaitAveragesTheReportsSoFar)
{
    st.SampleIntervalMs = 100;
    for (uint8_t s = 1; s <= 3; ++s)
        script.report(s, {100 * s, 0, 0, 0});
    script.onPump = [this] {
        if (script.pumps == 3)
            st.StopFlag = true;  // Run released while the third report was being handled
    };
    EXPECT_EQ(takeDeviceSample(st, script.hooks()), SampleEnd::Stopped);
    EXPECT_EQ(st.sample(0, 7), 200);
    EXPECT_EQ(st.ReportCount, 3);
}

TEST_F(Averaging, ValueDisplaysRefreshAfterElevenPassesThenEvery1001)
{
    st.SampleIntervalMs = 1;
    st.DvmRefreshCount = 990;  // as the device loop sets it
    std::vector<int> refreshedAt;
    for (int call = 1; call <= 2100; ++call) {
        script.report(static_cast<uint8_t>(call), {512, 512, 512, 512});
        const int before = script.refreshes;
        takeDeviceSample(st, script.hooks());
        if (script.refreshes != before)
            refreshedAt.push_back(call);
    }
    EXPECT_EQ(refreshedAt, (std::vector<int>{11, 1012, 2013}));
}
