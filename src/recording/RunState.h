#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "device/Report.h"
#include "recording/BoundedText.h"

// The set-up of recording that its clients make: the source and time base in use, the run mode,
// the armed auto-save file and its stamps, and the value texts of the bottom row. What only the
// recording changes as it runs (its stop flag, sums and elapsed time) the recording session keeps
// itself (RunProgress).
struct RunState {
    // ---- Source and time base
    bool DemoMode = false;
    int32_t SampleIntervalMs = 10;
    BoundedText<20> TimeDivLabel = "1s";  // chosen now
    BoundedText<20> RecTimeDivLabel;      // of the recording in the buffer
    int32_t TimeDivCode = 500;
    int32_t BufferTimeDivCode = 500;

    // ---- Run mode: a Single recording stops when its screen is full; Idle is false from the start
    // sequence of a recording to the end of its stop sequence (the window's, around the session's).
    bool SingleShot = false;
    bool Idle = true;

    // ---- Auto-save
    bool AutoSaveOn = false;
    int64_t AutoSaveLineNo = 0;
    QString DataFileName;  // full path; never cut, so a long path is never written under a wrong name
    BoundedText<127> StartStamp, StopStamp;

    // ---- The value texts of the bottom row
    std::array<BoundedText<20>, ChannelCount> ValueText{"0V", "0V", "0V", "0V"};
};
