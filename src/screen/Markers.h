#pragma once

#include <QString>

#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "screen/ViewState.h"

// The readouts of the measuring markers, widget-free: what the voltage and time readouts say for
// the present marker positions. The drawing of the lines and readouts is in Screen (Markers.cpp).
namespace markers {

// Channel (0..3) whose range and colour the voltage markers follow: the lowest-numbered enabled
// channel, CH1 when none is enabled.
int voltChannel(const ChannelSetup& channels);

// A marker value with exactly two decimals, "." as separator, e.g. 35.00.
QString number(double value);

// The voltage readout, e.g. "dV: 35.00V". Markers above the top grid line count as lying on it.
QString voltReadout(const ChannelSetup& channels, const ScreenLayout& layout, const MarkerState& m);
// Whether the voltage readout is drawn: at least one voltage marker lies below the top grid line.
bool voltReadoutShown(const ScreenLayout& layout, const MarkerState& m);

// A time-per-division label split into its number and its unit: "0.5s" -> 0.5 and "s",
// "200ms" -> 200 and "ms". A number that cannot be read counts as 0.
struct TimeScale {
    double perDivision = 0;
    QString unit;
};
TimeScale splitTimeDivLabel(const QString& label);

// The time readout: "dt: 16.00s" for the distance of the two time markers, "t: 16.50s" when one
// of them is parked. With `absoluteTime` (the "dV && t" mode) the time of the screen's left edge
// from the start of the data is added when a marker stands at (or is parked left of) the left edge.
QString timeReadout(const RunState& run, const ScreenLayout& layout, const FileView& file, const MarkerState& m,
                    bool absoluteTime);

}  // namespace markers
