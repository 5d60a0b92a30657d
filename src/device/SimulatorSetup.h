#pragma once

#include <array>
#include <cstdint>
#include <string>

// What the simulated recorder is told to do, from the text after `--simulate=` or in
// KORVIX_SIMULATE: a comma-separated list of items, every one optional.
//
//   item          meaning                                                     default
//   ch1..ch4=S    input of the channel in volts: dc:V, sine:A:F[:V0],         dc:0 (open input)
//                 square:A:F[:V0] or triangle:A:F[:V0] (amplitude A,
//                 frequency F in Hz, offset V0)
//   zero=C        counts by which 0 V reads high at offset 512                0
//   zero4=C       extra counts on the ranges with divider bit 0 (±4, ±0.4 V)  0
//   noise=C       uniform noise of up to ±C counts                            0
//   unplug=MS     after MS ms of streaming it is gone: reads, writes fail     never
//   stall=MS      after MS ms of streaming it stays but sends nothing         never
//   repeat=K      every report is delivered K times, same sequence byte       1
//   noaccess=1    it is listed but cannot be opened (as without the access    0
//                 that the udev rule gives on Linux)
//
// Milliseconds of streaming count from the first start command, over all recordings and
// calibrations of one program run.
struct InputSignal {
    enum class Shape { Dc, Sine, Square, Triangle };
    Shape shape = Shape::Dc;
    double amplitude = 0.0;  // volts; for Dc the level
    double frequency = 0.0;  // Hz
    double offset = 0.0;     // volts

    // Volts at t seconds. Every periodic shape starts at its offset and rises first.
    double voltsAt(double t) const;
};

struct SimulatorConfig {
    std::array<InputSignal, 4> channels{};
    int zero = 0;
    int zero4 = 0;
    int noise = 0;
    int64_t unplugMs = -1;  // -1: never
    int64_t stallMs = -1;   // -1: never
    int repeat = 1;
    bool noAccess = false;
};

// Parses a setup text. On success fills `config` and returns true; otherwise returns false and `error`
// names the bad item and says what is wrong with it. Empty items (",,") are ignored; an item
// given twice takes its last value.
bool parseSimulatorSetup(const std::string& setup, SimulatorConfig& config, std::string& error);
