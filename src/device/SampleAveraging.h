#pragma once

#include <cstdint>
#include <functional>

#include "recording/RecorderState.h"

// One device sample: SampleIntervalMs new reports averaged per channel, corrected by CalOffset and
// stored at SampleIndex. The rules, with the examples the tests pin:
//
//   - A report is new when its sequence byte (byte 0) differs from that of the last report
//     counted; a repeated one is skipped but is still a good read. Only a read that succeeded can
//     bring a new report: a failed read leaves the report buffer as it was.
//   - Failed reads in a row: 100 followed by a good one go on; the 101st ends the sample and the
//     recording (the recorder is gone or silent).
//   - average = sum div count (the sums are never negative, so it rounds down).
//   - CalOffset is added only when the average lies strictly between 0 and 1023: an end of the
//     range stays where it is. The result is clamped to 0..1023.
//        average 0, CalOffset +5 -> 0        average 1023, CalOffset -5 -> 1023
//        average 1, CalOffset -5 -> 0        average 1020, CalOffset +10 -> 1023
//   - Screen value = 255 - value div 4: 1023 -> 0, 512 -> 127, 0 -> 255.
//   - No report at all (a stop or the time-out came first): nothing is divided; the position keeps
//     what it held and SampleSum is set to that value, so every reader of it sees a real sample.

// Failed reads in a row that are still tolerated.
constexpr int MaxFailedReads = 100;
// Report-loop passes between two refreshes of the value displays (about one second).
constexpr int DvmRefreshPasses = 1000;

enum class SampleEnd {
    Complete,    // SampleIntervalMs new reports
    Stopped,     // StopFlag was set meanwhile; the reports so far were averaged
    DeviceLost,  // 101 failed reads in a row; StopFlag is now set
};

struct DeviceSampleHooks {
    std::function<int()> read;      // reads one report into InReport; a count below 1 is a failed read
    std::function<void()> pump;     // lets the GUI process its pending messages
    std::function<void()> refresh;  // redraws the value displays from the partial sums
};

// Forms one sample from the device and stores it (see the rules above).
SampleEnd takeDeviceSample(RecorderState& st, const DeviceSampleHooks& hooks);

// The stored value of an average with its calibration offset (count must be above 0).
int averagedSample(int32_t sum, int32_t count, int32_t calOffset);
