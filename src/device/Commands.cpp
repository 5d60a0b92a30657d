#include "device/Commands.h"

int rangeIndexOf(int channelRange)
{
    for (size_t i = 0; i < Ranges.size(); ++i)
        if (Ranges[i].channelRange == channelRange)
            return static_cast<int>(i);
    return -1;
}

void buildRangeCommand(Report& out, const std::array<uint8_t, ChannelCount>& channelRanges)
{
    for (int c = 0; c < ChannelCount; ++c) {
        const int i = rangeIndexOf(channelRanges[static_cast<size_t>(c)]);
        if (i < 0)
            continue;
        out[static_cast<size_t>(1 + c)] = Ranges[static_cast<size_t>(i)].gainCode;
        out[static_cast<size_t>(5 + c)] = Ranges[static_cast<size_t>(i)].dividerBit;
    }
    out[0] = command::SetRanges;
}

void buildOffsetCommand(Report& out, int32_t offset)
{
    out[0] = command::SetOffset;
    out[1] = static_cast<uint8_t>((offset >> 2) & 0xFF);
    out[2] = static_cast<uint8_t>(offset & 3);
}
