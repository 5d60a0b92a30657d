#include "device/Calibration.h"

#include <algorithm>

#include "device/Commands.h"
#include "device/SampleAveraging.h"
#include "device/DeviceLink.h"

namespace {

constexpr int RangeIndex20V = 0;
constexpr int RangeIndex4V = 2;
constexpr int PassReports = 10;
constexpr int Offset4Reports = 100;
constexpr int HitsNeeded = 11;
constexpr int MaxPasses = 1000;

// Sum of `n` CH1 readings, or -1 when the recorder stops answering.
int32_t sumOfReadings(DeviceLink& link, int n)
{
    int32_t sum = 0;
    int failed = 0;
    for (int got = 0; got < n;) {
        if (link.readInReport() < 1) {
            if (++failed > MaxFailedReads)
                return -1;
            continue;
        }
        failed = 0;
        sum += readingOf(link.inReport().data(), 0);
        ++got;
    }
    return sum;
}

}  // namespace

CalibrationResult runCalibration(DeviceLink& link, const std::function<void(int)>& selectCh1Range)
{
    CalibrationResult result;
    selectCh1Range(RangeIndex20V);
    link.sendCommand(command::Start);

    int32_t trial = 512;
    int hits = 0;
    for (;;) {
        const int32_t sum = sumOfReadings(link, PassReports);
        if (sum < 0) {
            result.deviceLost = true;
            break;
        }
        const int32_t average = sum / PassReports;
        if (average > 512)
            trial = std::min(trial + 1, 1023);
        else if (average < 512)
            trial = std::max(trial - 1, 0);
        else
            ++hits;
        link.sendOffset(trial);
        ++result.passes;
        if (hits >= HitsNeeded || result.passes > MaxPasses)
            break;
    }
    result.offset = trial;
    result.success = !result.deviceLost && result.passes < MaxPasses;

    if (result.success) {
        selectCh1Range(RangeIndex4V);
        const int32_t sum = sumOfReadings(link, Offset4Reports);
        if (sum < 0) {
            result.deviceLost = true;
            result.success = false;
        } else {
            result.offset4 = 512 - sum / Offset4Reports;
        }
    }

    selectCh1Range(RangeIndex20V);
    link.sendCommand(command::Stop);
    return result;
}
