#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The recorder measures four channels; every report carries one reading of each.
constexpr int ChannelCount = 4;

// Output and input reports are 64 bytes (the transport adds the report ID in front).
constexpr int ReportSize = 64;
using Report = std::array<uint8_t, ReportSize>;

// The 10-bit reading of channel c (0..3) in an input report.
constexpr int readingOf(const uint8_t* report, int c)
{
    return report[2 + c] * 4 + (report[6 + c] >> 6);
}
