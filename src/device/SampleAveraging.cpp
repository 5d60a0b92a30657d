#include "device/SampleAveraging.h"

#include <algorithm>

#include "device/DeviceLink.h"

int averagedSample(int32_t sum, int32_t count, int32_t calOffset)
{
    // In 64 bits: whatever offset is given, the correction cannot overflow before the clamp.
    int64_t value = sum / count;
    if (value > 0 && value < 1023)
        value += calOffset;
    return static_cast<int>(std::clamp<int64_t>(value, 0, 1023));
}

SampleEnd takeDeviceSample(RecorderState& st, const DeviceSampleHooks& hooks)
{
    st.SampleSum.fill(0);
    st.ReportCount = 0;
    int failed = 0;
    for (;;) {
        const int count = hooks.read ? hooks.read() : 0;
        if (count < 1) {
            ++failed;
        } else {
            failed = 0;
            const uint8_t* report = st.InReport.data();
            if (report[0] != st.LastSequence) {
                for (int c = 0; c < ChannelCount; ++c)
                    st.SampleSum[static_cast<size_t>(c)] += readingOf(report, c);
                ++st.ReportCount;
                st.LastSequence = report[0];
            }
        }
        if (hooks.pump)
            hooks.pump();
        if (++st.DvmRefreshCount > DvmRefreshPasses) {
            st.DvmRefreshCount = 0;
            if (hooks.refresh)
                hooks.refresh();
        }
        if (st.ReportCount >= st.SampleIntervalMs || st.StopFlag || failed > MaxFailedReads)
            break;
    }

    SampleEnd end = st.ReportCount >= st.SampleIntervalMs ? SampleEnd::Complete : SampleEnd::Stopped;
    if (failed > MaxFailedReads) {
        st.StopFlag = true;
        end = SampleEnd::DeviceLost;
    }

    const int position = st.SampleIndex;
    for (int c = 0; c < ChannelCount; ++c) {
        const size_t i = static_cast<size_t>(c);
        if (st.ReportCount == 0) {
            st.SampleSum[i] = st.sample(c, position);
            continue;
        }
        const int value = averagedSample(st.SampleSum[i], st.ReportCount, st.CalOffset[i]);
        st.SampleSum[i] = value;
        st.trace(c, position) = screenValue(value);
        st.sample(c, position) = value;
    }
    return end;
}
