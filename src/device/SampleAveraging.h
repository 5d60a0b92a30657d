#pragma once

#include <array>
#include <cstdint>

#include "device/Report.h"

// One device sample is SampleIntervalMs new reports averaged per channel and corrected by the
// channel's calibration offset. The rules, with the examples the tests pin:
//
//   - A report is new when its sequence byte (byte 0) differs from that of the last report
//     counted; a repeated one is skipped but is still a good read. Only a read that succeeded can
//     bring a new report: a failed read leaves the report buffer as it was.
//   - Failed reads in a row: 100 followed by a good one go on; the 101st ends the recording (the
//     recorder is gone or silent).
//   - average = sum div count (the sums are never negative, so it rounds down).
//   - The calibration offset is added only when the average lies strictly between 0 and 1023: an
//     end of the range stays where it is. The result is clamped to 0..1023.
//        average 0, offset +5 -> 0        average 1023, offset -5 -> 1023
//        average 1, offset -5 -> 0        average 1020, offset +10 -> 1023
//   - Screen value = 255 - value div 4: 1023 -> 0, 512 -> 127, 0 -> 255.
//   - The value displays refresh on a schedule of report passes: after the first 11 reports of a
//     recording, then every 1001.

// Failed reads in a row that are still tolerated.
constexpr int MaxFailedReads = 100;
// Report passes between two refreshes of the value displays (about one second).
constexpr int DvmRefreshPasses = 1000;

// The stored value of an average with its calibration offset (count must be above 0).
int averagedSample(int32_t sum, int32_t count, int32_t calOffset);

// The reports summed for the sample being formed, and the refresh schedule of the value displays.
struct SampleAverager {
    std::array<int32_t, ChannelCount> SampleSum{};
    int32_t ReportCount = 0;
    int32_t LastSequence = 0;
    int32_t DvmRefreshCount = 0;

    // A new recording: no report summed, the first refresh after 11 reports.
    void startRecording();
    // Starts the next sample.
    void clearSums();
    // Counts a report that was read successfully, unless it repeats the sequence byte of the last
    // one counted. Returns whether it was counted.
    bool addReport(const uint8_t* report);
    // One report pass of the refresh schedule; true when the value displays are due.
    bool refreshDue();
    // The stored value of channel c for the reports summed (ReportCount must be above 0).
    int value(int c, int32_t calOffset) const
    {
        return averagedSample(SampleSum[static_cast<size_t>(c)], ReportCount, calOffset);
    }
};
