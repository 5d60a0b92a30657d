#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

#include "device/Report.h"
#include "device/SampleAveraging.h"
#include "recording/BoundedText.h"

// Colours are 24-bit RGB integers with red in the low byte (red + 256*green + 65536*blue),
// the way the settings file stores them.
using Colour = int32_t;

// Index of a colour in a colour set of eight (SettingsColors, ActiveColors).
enum ColourIndex : int {
    Background = 0,
    Ch1 = 1,
    Ch2 = 2,
    Ch3 = 3,
    Ch4 = 4,
    Dark_Grid = 5,
    Bright_Grid = 6,
    Time_Marker = 7,
};
using ColourSet = std::array<Colour, 8>;

// XorColors holds the pen colours of the inverting pen: entries 0..3 for CH1..CH4, 4 for the time marker.
constexpr int XorTimeMarker = 4;

constexpr int BufferLength = 4096;          // positions per channel in SampleBuf and TraceBuf
constexpr int ScreenPositions = 1700;       // positions shown on one screen
constexpr int LastRecordedPosition = 1701;  // the wrap comes after this position

// The default colour scheme (black background).
constexpr ColourSet DefaultColours = {0x000000, 0xFF0000, 0x00FF00, 0x00FFFF, 0x0000FF, 0x800000, 0xFF0000, 0xFFFF00};

// The one process-wide record of the recorder's run-time state. Every subsystem reads and
// writes its fields directly, always on the GUI thread. Field names are the recorder's own;
// channel arrays are indexed 0..3 for CH1..CH4.
struct RecorderState : SampleAverager {
    // ---- Screen buffers and positions
    std::array<int32_t, ChannelCount * BufferLength> SampleBuf{};  // raw 10-bit samples
    std::array<int32_t, ChannelCount * BufferLength> TraceBuf{};   // screen values 0..255
    uint16_t SampleIndex = 0;
    // Set when a recording wraps its screen, cleared when the next one starts: after a wrap every
    // screen fills the positions from 1 on, and position 0 still holds the first sample of the
    // recording, which belongs to no screen shown since.
    bool ScreenWrapped = false;
    int32_t ScreenSamples = ScreenPositions;
    int32_t GridLeft = 10;
    int32_t GridTop = 20;
    uint16_t BottomTextY = 279;
    int32_t MarkerRightX = 555;
    int32_t MarkerBottomY = 277;
    uint16_t LiveX = 0, LiveStep = 0;
    std::array<uint16_t, ChannelCount> LiveY{};  // per channel, y of the last live point

    // ---- Channels
    std::array<bool, ChannelCount> ChannelOn{true, true, true, true};
    std::array<uint8_t, ChannelCount> ChannelRange{200, 200, 200, 200};
    std::array<BoundedText<20>, ChannelCount> RangeLabel;
    std::array<BoundedText<20>, ChannelCount> RecRangeLabel;
    std::array<int32_t, ChannelCount> CalOffset{};
    std::array<BoundedText<20>, ChannelCount> ValueText;

    // ---- Time base
    int32_t SampleIntervalMs = 10;
    BoundedText<20> TimeDivLabel = "1s";
    BoundedText<20> RecTimeDivLabel;
    int32_t TimeDivCode = 500;
    int32_t BufferTimeDivCode = 500;
    double BaseTraceStep = 6.25;
    double TraceStep = 6.25;
    int16_t PointSpacing = 2;
    int64_t ViewOffset = 0;

    // ---- Recording
    bool StopFlag = true;
    bool SingleShot = false;
    bool Idle = true;
    bool AutoSaveOn = false;
    int64_t AutoSaveLineNo = 0;
    QString DataFileName;  // full path; never cut, so a long path is never written under a wrong name
    BoundedText<127> StartStamp, StopStamp;
    // Elapsed time counts in 64 bits so that a recording of more than 596 hours keeps its label right.
    int64_t ElapsedMs = 0;
    int64_t ElapsedHours = 0;
    int32_t ElapsedMinutes = 0, ElapsedSeconds = 0;
    BoundedText<10> ElapsedMinText = "00", ElapsedSecText = "00";
    bool FileViewMode = false, PageTurnMode = false;
    bool FileOnScreen = false;
    int64_t PageEnd = 1700;

    // ---- Display flags and positions
    bool ClearPending = false;
    bool AnnotationOn = false;
    uint16_t AnnotationX = 0, AnnotationY = 0;
    bool AnnotationTransparent = false;
    QString AnnotationText;  // the text of the "Add Text" window

    // ---- Colours
    ColourSet SettingsColors = DefaultColours;
    ColourSet ActiveColors{};
    std::array<Colour, 5> XorColors{};
    Colour GridColor = 0x800000, BrightGridColor = 0xFF0000, DarkGridColor = 0x800000;

    // ---- Device link
    bool DemoMode = false;
    int32_t HwOffset = 512;
    int32_t HwOffset4 = 0;

    // ---- Demo source
    // The demo table: 2400 of its 16-bit entries are used (layout in acquisition/DemoSource.h).
    std::vector<int16_t> DemoTable = std::vector<int16_t>(32768, 0);
    uint16_t DemoPhase = 0;
    int16_t DemoStep = 0;
    int32_t DemoDvmMs = 0, DemoValueMs = 0;

    RecorderState();

    int32_t& trace(int channel, int position)
    {
        return TraceBuf[static_cast<size_t>(channel * BufferLength + position)];
    }
    int32_t& sample(int channel, int position)
    {
        return SampleBuf[static_cast<size_t>(channel * BufferLength + position)];
    }
};

// ---- Conversions shared by every subsystem that turns samples into pixels, volts or file values.

// Screen value of a 10-bit sample: 0 at the top grid line, 255 at the bottom one.
constexpr int screenValue(int sample)
{
    return 255 - sample / 4;
}
// Raw sample of a screen value where only screen values exist (demo mode).
constexpr int sampleOfScreenValue(int v)
{
    return (255 - v) * 4;
}
// Volts of a sample on a channel whose range is given in tenths of a volt.
inline double sampleVolts(int sample, int rangeTenths)
{
    return rangeTenths / 10.0 * (sample - 512) / 512.0;
}
// Pixel row of a screen value where full negative scale (255) sits on the bottom grid line.
constexpr int traceRow(int gridTop, int v)
{
    return gridTop + v + (v == 255 ? 1 : 0);
}
// x of buffer position p during a recording: one step per 6.25 positions, rounded to nearest.
int liveX(int gridLeft, int position);

// Pen colour of the inverting pen that shows `colour` on `background`.
constexpr Colour xorColour(Colour colour, Colour background)
{
    return (colour ^ ~background) & 0xFFFFFF;
}

// Derives XorColors and the grid colours from SettingsColors.
void deriveColours(RecorderState& s);
