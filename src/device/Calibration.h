#pragma once

#include <cstdint>
#include <functional>

class DeviceLink;

// The zero-offset calibration of the recorder, with CH1's input open:
//
//   1. CH1 to ±20 V, start command.
//   2. Passes: average 10 readings of CH1; above 512 the trial offset (from 512) goes up one,
//      below 512 down one, exactly 512 is a hit; the trial offset is sent; the loop ends after the
//      11th hit or after pass 1001. Success when it ended within the first 999 passes.
//   3. On success: CH1 to ±4 V and the average of 100 readings gives Offset4 = 512 - average.
//   4. CH1 back to ±20 V, stop command.
//
// The trial offset stays within 0..1023, so the recorder never receives a wrapped value. A failed
// read is not counted as a reading: it is read again, and 101 failed reads in a row end the
// calibration as failed at once, so a recorder that is gone or silent does not hold the window.
struct CalibrationResult {
    bool success = false;
    int32_t offset = 512;  // the trial offset reached (becomes HwOffset on success)
    int32_t offset4 = 0;   // 512 - the ±4 V average (becomes HwOffset4 on success)
    int passes = 0;
    bool deviceLost = false;
};

// Runs steps 1..4 through `link`. `selectCh1Range` presses the CH1 range button of the given index
// in Ranges (0: ±20 V, 2: ±4 V), which sends the range command. The offsets in use are the caller's
// to change from the result.
CalibrationResult runCalibration(DeviceLink& link, const std::function<void(int)>& selectCh1Range);
