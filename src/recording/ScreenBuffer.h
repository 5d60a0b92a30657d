#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/Report.h"

constexpr int BufferLength = 4096;          // positions per channel in SampleBuf and TraceBuf
constexpr int ScreenPositions = 1700;       // positions shown on one screen
constexpr int LastRecordedPosition = 1701;  // the wrap comes after this position

// The samples of the screen: what a recording stores and the screen draws, position by position.
// Channel arrays are indexed 0..3 for CH1..CH4.
struct ScreenBuffer {
    std::array<int32_t, ChannelCount * BufferLength> SampleBuf{};  // raw 10-bit samples
    std::array<int32_t, ChannelCount * BufferLength> TraceBuf{};   // screen values 0..255
    uint16_t SampleIndex = 0;
    // Set when a recording wraps its screen, cleared when the next one starts: after a wrap every
    // screen fills the positions from 1 on, and position 0 still holds the first sample of the
    // recording, which belongs to no screen shown since.
    bool ScreenWrapped = false;
    int32_t ScreenSamples = ScreenPositions;  // positions the traces are drawn from
    // The live point of a recording: x and step of the last point drawn, y per channel.
    uint16_t LiveX = 0, LiveStep = 0;
    std::array<uint16_t, ChannelCount> LiveY{};

    ScreenBuffer() { TraceBuf.fill(255); }

    int32_t& trace(int channel, int position) { return TraceBuf[index(channel, position)]; }
    int32_t trace(int channel, int position) const { return TraceBuf[index(channel, position)]; }
    int32_t& sample(int channel, int position) { return SampleBuf[index(channel, position)]; }
    int32_t sample(int channel, int position) const { return SampleBuf[index(channel, position)]; }

private:
    static size_t index(int channel, int position) { return static_cast<size_t>(channel * BufferLength + position); }
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
