// Averaging of device reports into one sample, with hand-worked tables, and the refresh schedule of
// the value displays. What the recording session does with each sample is tested with the session.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "DeviceFakes.h"
#include "device/SampleAveraging.h"

namespace {

std::array<int, 4> values(const SampleAverager& a, std::array<int32_t, 4> calOffset = {})
{
    return {a.value(0, calOffset[0]), a.value(1, calOffset[1]), a.value(2, calOffset[2]), a.value(3, calOffset[3])};
}

}  // namespace

TEST(Averaging, AverageRoundsDown)
{
    SampleAverager a;
    for (const auto& [sequence, readings] : std::vector<std::pair<uint8_t, std::array<int, 4>>>{
             {1, {0, 512, 1023, 100}}, {2, {0, 513, 1023, 101}}, {3, {3, 513, 1023, 101}}, {4, {4, 514, 1023, 102}}})
        EXPECT_TRUE(a.addReport(inputReport(sequence, readings).data()));
    // sums 7, 2052, 4092, 404 over 4 reports
    EXPECT_EQ(a.SampleSum, (std::array<int32_t, 4>{7, 2052, 4092, 404}));
    EXPECT_EQ(a.ReportCount, 4);
    EXPECT_EQ(a.LastSequence, 4);
    EXPECT_EQ(values(a), (std::array<int, 4>{1, 513, 1023, 101}));

    a.clearSums();
    EXPECT_EQ(a.SampleSum, (std::array<int32_t, 4>{}));
    EXPECT_EQ(a.ReportCount, 0);
    EXPECT_EQ(a.LastSequence, 4);  // the next report must still differ from the last one counted
}

TEST(Averaging, CalibrationOffsetOnlyInsideTheRangeAndThenClamped)
{
    SampleAverager a;
    // average: 0, 1023, 1, 1020 ; offset: +5, -5, -5, +10
    a.addReport(inputReport(1, {0, 1023, 1, 1020}).data());
    EXPECT_EQ(values(a, {5, -5, -5, 10}), (std::array<int, 4>{0, 1023, 0, 1023}));
    // and an ordinary value just moves
    a.clearSums();
    a.addReport(inputReport(2, {500, 500, 500, 500}).data());
    EXPECT_EQ(values(a, {3, -3, 0, 0}), (std::array<int, 4>{503, 497, 500, 500}));
}

TEST(Averaging, AnyOffsetEndsClampedWithoutOverflow)
{
    EXPECT_EQ(averagedSample(1022, 1, std::numeric_limits<int32_t>::max()), 1023);
    EXPECT_EQ(averagedSample(1, 1, std::numeric_limits<int32_t>::min()), 0);
    EXPECT_EQ(averagedSample(10220, 10, std::numeric_limits<int32_t>::max()), 1023);
}

TEST(Averaging, RepeatedSequenceBytesAreSkipped)
{
    SampleAverager a;
    a.LastSequence = 5;
    EXPECT_FALSE(a.addReport(inputReport(5, {1000, 0, 0, 0}).data()));  // same as the last counted one
    EXPECT_TRUE(a.addReport(inputReport(6, {10, 0, 0, 0}).data()));
    EXPECT_FALSE(a.addReport(inputReport(6, {1000, 0, 0, 0}).data()));  // repeated
    EXPECT_FALSE(a.addReport(inputReport(6, {1000, 0, 0, 0}).data()));
    EXPECT_TRUE(a.addReport(inputReport(5, {20, 0, 0, 0}).data()));  // an earlier value, but not the last one
    EXPECT_TRUE(a.addReport(inputReport(7, {30, 0, 0, 0}).data()));
    EXPECT_EQ(a.ReportCount, 3);
    EXPECT_EQ(a.value(0, 0), 20);
}

TEST(Averaging, ValueDisplaysRefreshAfterElevenPassesThenEvery1001)
{
    SampleAverager a;
    a.SampleSum = {1, 2, 3, 4};
    a.ReportCount = 9;
    a.DvmRefreshCount = 123;
    a.startRecording();
    EXPECT_EQ(a.SampleSum, (std::array<int32_t, 4>{}));
    EXPECT_EQ(a.ReportCount, 0);
    std::vector<int> refreshedAt;
    for (int pass = 1; pass <= 2100; ++pass)
        if (a.refreshDue())
            refreshedAt.push_back(pass);
    EXPECT_EQ(refreshedAt, (std::vector<int>{11, 1012, 2013}));
}
