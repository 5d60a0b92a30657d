#include "device/Commands.h"

int rangeIndexOf(int channelRange)
{
    for (size_t i = 0; i < Ranges.size(); ++i)
        if (Ranges[i].channelRange == channelRange)
            return static_cast<int>(i);
    return -1;
}

void buildRangeCommand(RecorderState& st)
{
    for (int c = 0; c < ChannelCount; ++c) {
        const int i = rangeIndexOf(st.ChannelRange[c]);
        if (i < 0)
            continue;
        st.OutReport[static_cast<size_t>(1 + c)] = Ranges[static_cast<size_t>(i)].gainCode;
        st.OutReport[static_cast<size_t>(5 + c)] = Ranges[static_cast<size_t>(i)].dividerBit;
    }
    st.OutReport[0] = command::SetRanges;
}

void buildOffsetCommand(RecorderState& st)
{
    buildOffsetCommand(st, st.HwOffset);
}

void buildOffsetCommand(RecorderState& st, int32_t offset)
{
    st.OutReport[0] = command::SetOffset;
    st.OutReport[1] = static_cast<uint8_t>((offset >> 2) & 0xFF);
    st.OutReport[2] = static_cast<uint8_t>(offset & 3);
}
