// The measuring markers on the screen bitmap: two horizontal voltage markers and two vertical time
// markers, dotted at rest and solid while one is held with the mouse, and their readouts in the
// bottom text row. Every marker line is drawn with the inverting pen, so drawing it again removes
// it exactly; the dotted pen paints its gaps with a white brush, which the inverting pen leaves
// unchanged, so only the dots show.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "screen/Markers.h"
#include "screen/Screen.h"

namespace {

constexpr Colour White = 0xFFFFFF;

}  // namespace

namespace markers {

int voltChannel(const ChannelSetup& channels)
{
    for (int n = 0; n < ChannelCount; ++n)
        if (channels.ChannelOn[static_cast<size_t>(n)])
            return n;
    return 0;
}

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

namespace {

// Rows of the two voltage markers, a marker above the top grid line counted as lying on it.
std::pair<int, int> voltRows(const ScreenLayout& layout, const MarkerState& m)
{
    return {std::max(m.voltY[0], layout.GridTop), std::max(m.voltY[1], layout.GridTop)};
}

}  // namespace

QString voltReadout(const ChannelSetup& channels, const ScreenLayout& layout, const MarkerState& m)
{
    const double voltsPerDivision = channels.ChannelRange[static_cast<size_t>(voltChannel(channels))] * 0.25 / 10;
    const auto [ya, yb] = voltRows(layout, m);
    const double dV = std::abs(ya - yb) * voltsPerDivision / 32;
    return QStringLiteral("dV: ") + number(dV) + QLatin1Char('V');
}

bool voltReadoutShown(const ScreenLayout& layout, const MarkerState& m)
{
    const auto [ya, yb] = voltRows(layout, m);
    return ya > layout.GridTop || yb > layout.GridTop;
}

TimeScale splitTimeDivLabel(const QString& label)
{
    const int unitLength = label.size() >= 2 && label[label.size() - 2] == QLatin1Char('m') ? 2 : 1;
    TimeScale scale;
    scale.unit = label.right(unitLength);
    bool ok = false;
    const double perDivision = label.left(std::max<qsizetype>(label.size() - unitLength, 0)).toDouble(&ok);
    scale.perDivision = ok ? perDivision : 0;
    return scale;
}

QString timeReadout(const RunState& run, const ScreenLayout& layout, const FileView& file, const MarkerState& m,
                    bool absoluteTime)
{
    const TimeScale scale = splitTimeDivLabel(run.TimeDivLabel);
    const double T = scale.perDivision;
    const int xa = std::max(m.timeX[0], layout.GridLeft);
    const int xb = std::max(m.timeX[1], layout.GridLeft);
    double dt = std::abs(xa - xb) * T / 32;
    if (absoluteTime && (xa == layout.GridLeft || xb == layout.GridLeft)) {
        // Add the time of the screen's left edge: 100 buffer positions per division, scaled by the
        // zoom between the time base the buffer was recorded with and the one it is viewed at.
        const double S = static_cast<double>(layout.ViewOffset);
        const double N = static_cast<double>(file.PageEnd);
        const double R = run.TimeDivCode != 0 ? static_cast<double>(run.BufferTimeDivCode) / run.TimeDivCode : 1.0;
        if (N <= 1700)
            dt += (R * S + N - 1700) * T / 100;
        else
            dt += R * T * (S + N - 1700) / 100;
    }
    const bool parked = m.timeX[0] < layout.GridLeft || m.timeX[1] < layout.GridLeft;
    return (parked ? QStringLiteral("t: ") : QStringLiteral("dt: ")) + number(dt) + scale.unit;
}

}  // namespace markers

// The trace drawing repaints the top and bottom grid lines in copy mode over whatever lies on them
// (Traces.cpp). A marker pixel there would be wiped out, and removing the marker afterwards would
// invert the grid line instead. So markers leave those two rows alone: a voltage marker moved onto
// the top or bottom grid line coincides with it and is not drawn, and a time marker ends one pixel
// above the bottom grid line. Positions and readouts are not affected.
void Screen::voltMarkerLine(int y)
{
    if (y == layout.GridTop || y == layout.GridTop + 256)
        return;
    image.line(layout.GridLeft + 1, y, layout.MarkerRightX, y);
}

void Screen::timeMarkerLine(int x)
{
    image.line(x, layout.GridTop + 1, x, std::min(layout.MarkerBottomY, layout.GridTop + 256));
}

void Screen::toggleMarkers()
{
    if (!view.markers.shown)
        return;
    image.penMode = Surface::PenMode::NotXor;
    image.penStyle = Surface::PenStyle::Dot;
    image.brushColour = White;

    image.penColour = colours.XorColors[static_cast<size_t>(markers::voltChannel(channels))];
    voltMarkerLine(view.markers.voltY[0]);
    voltMarkerLine(view.markers.voltY[1]);

    image.penColour = colours.XorColors[XorTimeMarker];
    for (const int x : view.markers.timeX)
        if (x >= layout.GridLeft)  // a parked marker is not shown
            timeMarkerLine(x);

    refreshImage();
    image.penStyle = Surface::PenStyle::Solid;
    image.brushColour = active(Background);
}

void Screen::heldMarkerLine(bool dotted)
{
    image.penMode = Surface::PenMode::NotXor;
    image.penStyle = dotted ? Surface::PenStyle::Dot : Surface::PenStyle::Solid;
    image.brushColour = White;
    if (view.drag.target <= 2) {
        image.penColour = colours.XorColors[XorTimeMarker];
        timeMarkerLine(view.drag.x);
    } else {
        image.penColour = colours.XorColors[static_cast<size_t>(markers::voltChannel(channels))];
        voltMarkerLine(view.drag.y);
    }
    image.penStyle = Surface::PenStyle::Solid;
    image.brushColour = active(Background);
}

void Screen::updateVoltReadout()
{
    if (!view.markers.shown)
        return;
    const QString text = markers::voltReadout(channels, layout, view.markers);
    drawText(view.markers.voltReadout, voltReadoutX(), layout.BottomTextY, active(Background));
    const bool anyChannel =
        std::find(channels.ChannelOn.begin(), channels.ChannelOn.end(), true) != channels.ChannelOn.end();
    if (markers::voltReadoutShown(layout, view.markers) && anyChannel)
        drawText(text, voltReadoutX(), layout.BottomTextY,
                 active(static_cast<ColourIndex>(Ch1 + markers::voltChannel(channels))));
    // Stored even when not drawn, so that the next full redraw shows it.
    view.markers.voltReadout = text;
    refreshImage();
}

void Screen::updateTimeReadout(bool absoluteTime)
{
    if (!view.markers.shown)
        return;
    const QString text = markers::timeReadout(run, layout, file, view.markers, absoluteTime);
    drawText(view.markers.timeReadout, timeReadoutX(), layout.BottomTextY, active(Background));
    drawSampleRate();
    drawText(text, timeReadoutX(), layout.BottomTextY, active(Time_Marker));
    view.markers.timeReadout = text;
    refreshImage();
}

void Screen::grabMarker(int x, int y)
{
    // A second press while a marker is held would treat the held solid line as a dotted one.
    if (view.drag.active)
        return;
    redrawIfClearPending();
    view.drag.active = true;

    // Nearest time marker; ties go to marker 1. A parked marker is never a candidate.
    const auto distance = [this](int markerX, int at) {
        return markerX >= layout.GridLeft ? std::abs(at - markerX) : INT_MAX;
    };
    const int d1 = distance(view.markers.timeX[0], x), d2 = distance(view.markers.timeX[1], x);
    const int timeTarget = d2 < d1 ? 2 : 1;
    const int dT = std::min(d1, d2);
    // Nearest voltage marker; ties go to marker 1.
    const int e1 = std::abs(y - view.markers.voltY[0]), e2 = std::abs(y - view.markers.voltY[1]);
    const int voltTarget = e2 < e1 ? 2 : 1;
    const int dV = std::min(e1, e2);

    // No distance limit: a click anywhere grabs the nearest marker; a tie goes to the time marker.
    if (dV < dT) {
        view.drag.target = voltTarget + 2;
        view.drag.y = view.markers.voltY[static_cast<size_t>(voltTarget - 1)];
    } else {
        view.drag.target = timeTarget;
        view.drag.x = view.markers.timeX[static_cast<size_t>(timeTarget - 1)];
    }

    heldMarkerLine(true);   // removes the dotted line
    heldMarkerLine(false);  // and shows the held marker solid
    refreshImage();
}

void Screen::moveMarker(int x, int y, bool absoluteTime)
{
    if (!view.drag.active)
        return;
    if (view.drag.target <= 2) {
        if (x == view.drag.x)
            return;
        heldMarkerLine(false);
        view.drag.x = std::clamp(x, layout.GridLeft, layout.GridLeft + 544);
        heldMarkerLine(false);
        refreshImage();
        view.markers.timeX[static_cast<size_t>(view.drag.target - 1)] = view.drag.x;
        updateTimeReadout(absoluteTime);
    } else {
        if (y == view.drag.y)
            return;
        heldMarkerLine(false);
        view.drag.y = std::clamp(y, layout.GridTop, layout.GridTop + 256);
        heldMarkerLine(false);
        refreshImage();
        view.markers.voltY[static_cast<size_t>(view.drag.target - 3)] = view.drag.y;
        updateVoltReadout();
    }
}

void Screen::releaseMarker(bool absoluteTime)
{
    if (!view.drag.active)
        return;
    view.drag.active = false;
    // Markers switched off meanwhile were removed with the rebuilt screen; nothing to put back.
    if (!view.markers.shown)
        return;
    heldMarkerLine(false);  // removes the solid line
    heldMarkerLine(true);   // and puts the dotted one in its place
    if (view.drag.target <= 2)
        view.markers.timeX[static_cast<size_t>(view.drag.target - 1)] = view.drag.x;
    else
        view.markers.voltY[static_cast<size_t>(view.drag.target - 3)] = view.drag.y;
    refreshImage();
    updateVoltReadout();
    updateTimeReadout(absoluteTime);
}

void Screen::switchChannel(int n, bool on)
{
    const size_t c = static_cast<size_t>(n);
    redrawIfClearPending();
    // The trace is drawn only when the flag says it is missing and removed only when it says it is
    // there, so a second switch to the same state changes nothing.
    if (view.traceDrawn[c] != on)
        toggleTrace(n);
    view.traceDrawn[c] = on;
    refreshImage();

    // The voltage markers follow the lowest-numbered enabled channel: removed in the colour of the
    // old set of channels, drawn in that of the new one.
    toggleMarkers();
    channels.ChannelOn[c] = on;
    toggleMarkers();

    const Colour colour = on ? active(static_cast<ColourIndex>(Ch1 + n)) : active(Background);
    drawText(channels.RangeLabel[c], rangeLabelX(n), TopTextY, colour);
    // The value text goes with the channel; drawing it again in the background colour erases it.
    if (!file.FileOnScreen)
        drawText(run.ValueText[c] + QStringLiteral("   "), valueTextX(n), layout.BottomTextY, colour);
    refreshImage();
    updateVoltReadout();
}
