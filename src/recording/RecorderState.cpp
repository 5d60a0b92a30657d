#include "recording/RecorderState.h"

#include <cmath>

RecorderState::RecorderState()
{
    TraceBuf.fill(255);
    for (int n = 0; n < ChannelCount; ++n) {
        RangeLabel[n] = QStringLiteral("±20V");
        ValueText[n] = "0V";
    }
}

int liveX(int gridLeft, int position)
{
    // Round half away from zero, as the recorder has always placed its live points.
    const int step = static_cast<int>(std::lround(position / 6.25));
    return gridLeft + 2 * step - 1;
}

void deriveColours(RecorderState& s)
{
    const Colour bg = s.SettingsColors[Background];
    for (int n = 0; n < ChannelCount; ++n)
        s.XorColors[n] = xorColour(s.SettingsColors[Ch1 + n], bg);
    s.XorColors[XorTimeMarker] = xorColour(s.SettingsColors[Time_Marker], bg);
    s.GridColor = s.SettingsColors[Dark_Grid];
    s.DarkGridColor = s.SettingsColors[Dark_Grid];
    s.BrightGridColor = s.SettingsColors[Bright_Grid];
}
