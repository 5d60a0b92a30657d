#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "device/Report.h"
#include "recording/BoundedText.h"

// How the four channels are set up: switched on, their ranges and range labels, and the
// calibration offsets the recorder and the samples get. Arrays are indexed 0..3 for CH1..CH4.
struct ChannelSetup {
    std::array<bool, ChannelCount> ChannelOn{true, true, true, true};
    std::array<uint8_t, ChannelCount> ChannelRange{200, 200, 200, 200};  // tenths of a volt
    std::array<BoundedText<20>, ChannelCount> RangeLabel;                // on the screen now
    std::array<BoundedText<20>, ChannelCount> RecRangeLabel;             // of the recording in the buffer
    std::array<int32_t, ChannelCount> CalOffset{};                       // added to each averaged sample
    // The zero offset the recorder is told, and the extra correction of the ±4 V and ±0.4 V ranges.
    int32_t HwOffset = 512;
    int32_t HwOffset4 = 0;

    ChannelSetup() { RangeLabel.fill(QStringLiteral("±20V")); }
};
