#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "recording/ChannelSetup.h"
#include "recording/ScreenBuffer.h"

// The demo signals: four periodic source waveforms of 300 entries, converted into four tables of
// screen values for the current channel ranges. Layout of the demo table, 300 entries each:
//    0..299  CH1 screen table      1200..1499 triangle source
//  300..599  CH2 screen table      1500..1799 stepped-sine source
//  600..899  CH3 screen table      1800..2099 harmonic-wave source
//  900..1199 CH4 screen table      2100..2399 square-wave source

// The demo source: its table, the phase of the next sample and the step from one sample to the
// next, and the clocks of the value displays.
struct DemoSource {
    // 2400 of its 16-bit entries are used (layout above).
    std::vector<int16_t> DemoTable = std::vector<int16_t>(32768, 0);
    uint16_t DemoPhase = 0;
    int16_t DemoStep = 0;
    int32_t DemoDvmMs = 0, DemoValueMs = 0;
};

namespace demo {

constexpr int Period = 300;
constexpr int SourceBase = 1200;

// Builds the four source tables. The stepped sine takes its random levels from `rng`.
void buildSources(DemoSource& source, std::mt19937& rng);

// Rebuilds the four screen tables from the sources and the current channel ranges: a source value
// s shows at 255 + s / range (integer division toward zero), kept within 0..255.
void buildScreenTables(DemoSource& source, const ChannelSetup& channels);

// Stores the next demo sample at SampleIndex in TraceBuf and advances the phase.
void takeSample(DemoSource& source, ScreenBuffer& buffer);

// What the value displays need after a demo sample taken `intervalMs` after the previous one.
struct Refresh {
    bool dvm = false;     // the DVM panels (every time the sum passes 1000 ms)
    bool values = false;  // the value texts (every time the sum passes 500 ms)
};
Refresh advanceDisplayClocks(DemoSource& source, int intervalMs);

}  // namespace demo
