#include "device/SampleAveraging.h"

#include <algorithm>

int averagedSample(int32_t sum, int32_t count, int32_t calOffset)
{
    // In 64 bits: whatever offset is given, the correction cannot overflow before the clamp.
    int64_t value = sum / count;
    if (value > 0 && value < 1023)
        value += calOffset;
    return static_cast<int>(std::clamp<int64_t>(value, 0, 1023));
}

void SampleAverager::startRecording()
{
    clearSums();
    DvmRefreshCount = DvmRefreshPasses - 10;
}

void SampleAverager::clearSums()
{
    SampleSum.fill(0);
    ReportCount = 0;
}

bool SampleAverager::addReport(const uint8_t* report)
{
    if (report[0] == LastSequence)
        return false;
    for (int c = 0; c < ChannelCount; ++c)
        SampleSum[static_cast<size_t>(c)] += readingOf(report, c);
    ++ReportCount;
    LastSequence = report[0];
    return true;
}

bool SampleAverager::refreshDue()
{
    if (++DvmRefreshCount <= DvmRefreshPasses)
        return false;
    DvmRefreshCount = 0;
    return true;
}
