#pragma once

#include <array>
#include <cstdint>

#include "device/Report.h"

// Output report, byte by byte (byte 0 is the command code):
//
//   byte | command 1 stop | 2 start | 3 set ranges          | 4 set zero offset
//   -----+----------------+---------+-----------------------+------------------------
//   0    | 1              | 2       | 3                     | 4
//   1    |                |         | gain code CH1 (0..3)  | offset bits 9..2
//   2    |                |         | gain code CH2         | offset bits 1..0
//   3, 4 |                |         | gain codes CH3, CH4   |
//   5..8 |                |         | divider bits CH1..CH4 |
//
// A command writes only the bytes it uses; the others go out as an earlier command left them.
namespace command {
constexpr uint8_t Stop = 1;
constexpr uint8_t Start = 2;
constexpr uint8_t SetRanges = 3;
constexpr uint8_t SetOffset = 4;
}  // namespace command

// The six input ranges of a channel, in the order of the range buttons.
struct RangeEntry {
    const char* label;  // caption of the button and range label on the screen (UTF-8)
    const char* token;  // in the button's object name: range<token>VCh<n>Button
    int channelRange;   // tenths of a volt
    uint8_t gainCode;
    uint8_t dividerBit;
    bool usesOffset4;  // the ranges with divider bit 0 get the extra offset correction
};

inline constexpr std::array<RangeEntry, 6> Ranges{{
    {"\u00B120V", "20", 200, 0, 1, false},
    {"\u00B18V", "8", 80, 1, 1, false},
    {"\u00B14V", "4", 40, 1, 0, true},
    {"\u00B12V", "2", 20, 2, 1, false},
    {"\u00B10.8V", "08", 8, 3, 1, false},
    {"\u00B10.4V", "04", 4, 3, 0, true},
}};

// Index in Ranges of a channel range, or -1.
int rangeIndexOf(int channelRange);

// Fills the output report with the range command for the ranges (tenths of a volt) of all four
// channels. A channel whose range is not in the table keeps its two bytes.
void buildRangeCommand(Report& out, const std::array<uint8_t, ChannelCount>& channelRanges);
// Fills bytes 0..2 of the output report with the offset command for `offset`. Only bits 9..0 of the
// offset go out.
void buildOffsetCommand(Report& out, int32_t offset);
