#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "device/Report.h"
#include "device/SampleAveraging.h"
#include "recording/BoundedText.h"

// The state of recording: the source and time base in use, the run flags, the armed auto-save
// file, the elapsed time and the value texts of the sample being formed. The recording session
// changes the flags, sums and elapsed time as it records; the windows set up the rest.
struct RunState : SampleAverager {
    // ---- Source and time base
    bool DemoMode = false;
    int32_t SampleIntervalMs = 10;
    BoundedText<20> TimeDivLabel = "1s";  // chosen now
    BoundedText<20> RecTimeDivLabel;      // of the recording in the buffer
    int32_t TimeDivCode = 500;
    int32_t BufferTimeDivCode = 500;

    // ---- Run flags
    bool StopFlag = true;
    bool SingleShot = false;
    bool Idle = true;

    // ---- Auto-save
    bool AutoSaveOn = false;
    int64_t AutoSaveLineNo = 0;
    QString DataFileName;  // full path; never cut, so a long path is never written under a wrong name
    BoundedText<127> StartStamp, StopStamp;

    // ---- Elapsed time; counts in 64 bits so that a recording of more than 596 hours keeps its label right.
    int64_t ElapsedMs = 0;
    int64_t ElapsedHours = 0;
    int32_t ElapsedMinutes = 0, ElapsedSeconds = 0;
    BoundedText<10> ElapsedMinText = "00", ElapsedSecText = "00";

    // ---- The value texts of the bottom row
    std::array<BoundedText<20>, ChannelCount> ValueText{"0V", "0V", "0V", "0V"};
};
