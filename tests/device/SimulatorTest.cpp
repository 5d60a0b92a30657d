// The simulated recorder: its SETUP, the reading it produces for the commands it was sent, and its
// behaviour as a device (streaming, repeat, unplug, stall, the kernel-like queue).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "DeviceFakes.h"
#include "device/Commands.h"

namespace {

std::string errorOf(const std::string& setup)
{
    SimulatorConfig c;
    std::string error;
    EXPECT_FALSE(parseSimulatorSetup(setup, c, error)) << setup;
    return error;
}

std::array<uint8_t, 64> outReport(std::initializer_list<int> bytes)
{
    std::array<uint8_t, 64> r{};
    size_t i = 0;
    for (int b : bytes)
        r[i++] = static_cast<uint8_t>(b);
    return r;
}

Frame commandFrame(std::initializer_list<int> bytes)
{
    return frameOf(outReport(bytes));
}

}  // namespace

TEST(SimulatorSetup, ParsesEveryItem)
{
    SimulatorConfig c;
    std::string error;
    ASSERT_TRUE(parseSimulatorSetup(
        "ch1=dc:5,ch2=sine:2:50,ch3=square:1.5:0.5:-1,ch4=triangle:3:10:0.25,zero=7,zero4=-3,noise=2,"
        "unplug=3000,stall=4000,repeat=3,noaccess=1",
        c, error))
        << error;
    EXPECT_EQ(c.channels[0].shape, InputSignal::Shape::Dc);
    EXPECT_DOUBLE_EQ(c.channels[0].amplitude, 5.0);
    EXPECT_EQ(c.channels[1].shape, InputSignal::Shape::Sine);
    EXPECT_DOUBLE_EQ(c.channels[1].frequency, 50.0);
    EXPECT_EQ(c.channels[2].shape, InputSignal::Shape::Square);
    EXPECT_DOUBLE_EQ(c.channels[2].offset, -1.0);
    EXPECT_EQ(c.channels[3].shape, InputSignal::Shape::Triangle);
    EXPECT_EQ(c.zero, 7);
    EXPECT_EQ(c.zero4, -3);
    EXPECT_EQ(c.noise, 2);
    EXPECT_EQ(c.unplugMs, 3000);
    EXPECT_EQ(c.stallMs, 4000);
    EXPECT_EQ(c.repeat, 3);
    EXPECT_TRUE(c.noAccess);

    // Everything is optional.
    SimulatorConfig d;
    ASSERT_TRUE(parseSimulatorSetup("", d, error));
    EXPECT_EQ(d.channels[2].shape, InputSignal::Shape::Dc);
    EXPECT_DOUBLE_EQ(d.channels[2].amplitude, 0.0);
    EXPECT_EQ(d.unplugMs, -1);
    EXPECT_EQ(d.repeat, 1);
    EXPECT_FALSE(d.noAccess);
}

TEST(SimulatorSetup, ErrorNamesTheBadItem)
{
    for (const std::string item :
         {"ch5=dc:1", "ch1=dc", "ch1=dc:five", "ch2=sine:1", "ch3=saw:1:2", "ch1=sine:1:-5", "ch4=square:1:2:3:4",
          "zero=abc", "zero=1.5", "noise=-1", "repeat=0", "unplug=-5", "stall=", "volume=11", "zero", "noaccess=2"}) {
        const std::string error = errorOf("ch1=dc:1," + item + ",zero=2");
        EXPECT_NE(error.find("\"" + item + "\""), std::string::npos) << error;
    }
}

TEST(SimulatorSetup, WaveformsStartAtTheirOffsetAndRiseFirst)
{
    const InputSignal sine{InputSignal::Shape::Sine, 2.0, 10.0, 1.0};
    EXPECT_NEAR(sine.voltsAt(0.0), 1.0, 1e-9);
    EXPECT_NEAR(sine.voltsAt(0.025), 3.0, 1e-9);  // a quarter period
    EXPECT_NEAR(sine.voltsAt(0.075), -1.0, 1e-9);
    const InputSignal square{InputSignal::Shape::Square, 2.0, 10.0, 0.0};
    EXPECT_DOUBLE_EQ(square.voltsAt(0.01), 2.0);
    EXPECT_DOUBLE_EQ(square.voltsAt(0.06), -2.0);
    const InputSignal triangle{InputSignal::Shape::Triangle, 4.0, 1.0, 0.0};
    EXPECT_NEAR(triangle.voltsAt(0.0), 0.0, 1e-9);
    EXPECT_NEAR(triangle.voltsAt(0.125), 2.0, 1e-9);
    EXPECT_NEAR(triangle.voltsAt(0.25), 4.0, 1e-9);
    EXPECT_NEAR(triangle.voltsAt(0.75), -4.0, 1e-9);
    EXPECT_NEAR(triangle.voltsAt(1.0), 0.0, 1e-9);
}

TEST(SimulatorModel, ReadingFollowsRangeOffsetAndZeroCounts)
{
    SimulatorConfig c;
    c.zero = 7;
    c.zero4 = -3;
    SimulatorModel m(c);
    // ±20 V before any range command, offset 512 before any offset command.
    EXPECT_EQ(m.reading(0, 5.0), 640 + 7);
    EXPECT_EQ(m.reading(0, 0.0), 519);
    m.command(outReport({4, 129, 3}).data());  // offset 519
    EXPECT_EQ(m.offset(), 519);
    EXPECT_EQ(m.reading(0, 0.0), 512);
    EXPECT_EQ(m.reading(1, -2.5), 448);
    // CH1 ±4 V (gain 1, divider 0): zero4 applies; CH2 ±0.8 V; CH3 ±0.4 V; CH4 ±2 V.
    m.command(outReport({3, 1, 3, 3, 2, 0, 1, 0, 1}).data());
    EXPECT_EQ(m.channelRange(0), 40);
    EXPECT_EQ(m.channelRange(1), 8);
    EXPECT_EQ(m.channelRange(2), 4);
    EXPECT_EQ(m.channelRange(3), 20);
    EXPECT_EQ(m.reading(0, 0.0), 509);
    EXPECT_EQ(m.reading(0, 1.0), 509 + 128);
    EXPECT_EQ(m.reading(1, 0.5), 512 + 320);
    EXPECT_EQ(m.reading(2, 0.2), 512 + 256 - 3);
    // Clamped at the ends, rounded to the nearest count.
    EXPECT_EQ(m.reading(3, 5.0), 1023);
    EXPECT_EQ(m.reading(3, -5.0), 0);
    EXPECT_EQ(m.reading(3, 0.0021), 513);  // 0.5376 counts
    // A gain code outside 0..3 leaves that channel as it was.
    m.command(outReport({3, 9, 0, 0, 0, 1, 1, 1, 1}).data());
    EXPECT_EQ(m.channelRange(0), 40);
    EXPECT_EQ(m.channelRange(1), 200);
}

TEST(SimulatorModel, ReportCarriesSequenceAndReadingsInTheInputLayout)
{
    SimulatorConfig c;
    c.channels[0] = {InputSignal::Shape::Dc, 5.0, 0, 0};
    c.channels[1] = {InputSignal::Shape::Dc, -20.0, 0, 0};
    c.channels[2] = {InputSignal::Shape::Dc, 0.039, 0, 0};
    c.noise = 3;
    SimulatorModel m(c);
    std::array<uint8_t, 64> r{};
    for (int64_t ms = 0; ms < 200; ++ms) {
        m.fillReport(ms, static_cast<uint8_t>(ms), r.data());
        EXPECT_EQ(r[0], static_cast<uint8_t>(ms));
        EXPECT_NEAR(readingOf(r.data(), 0), 640, 3);
        EXPECT_LE(readingOf(r.data(), 1), 3);
        EXPECT_NEAR(readingOf(r.data(), 2), 513, 3);
        EXPECT_EQ(r[6] & 0x3F, 0);
    }
}

TEST(SimulatedRecorder, StreamsNumberedReportsBetweenStartAndStop)
{
    SimulatorConfig c;
    c.channels[0] = {InputSignal::Shape::Dc, 5.0, 0, 0};
    c.repeat = 2;
    SimulatedRecorder sim(c);
    const auto devices = sim.enumerate();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_TRUE(isRecorderInterface(devices[0]));
    const HidTransport::Handle w = sim.open(devices[0].path, true);
    const HidTransport::Handle r = sim.open(devices[0].path, false);
    uint8_t frame[HidTransport::FrameSize];
    EXPECT_EQ(sim.read(r, frame, 5), 0);  // nothing before the start command

    EXPECT_EQ(sim.write(w, commandFrame({2}).data()), 65);
    for (int n = 1; n <= 20; ++n) {
        for (int k = 0; k < 2; ++k) {  // repeat=2: each report twice with the same sequence byte
            ASSERT_EQ(sim.read(r, frame, 1000), 65);
            EXPECT_EQ(frame[0], 0);
            EXPECT_EQ(frame[1], n);
            EXPECT_EQ(readingOf(frame + 1, 0), 640);
        }
    }
    sim.write(w, commandFrame({1}).data());
    EXPECT_FALSE(sim.streaming());
    while (sim.read(r, frame, 5) == 65) {
    }
    EXPECT_GE(sim.streamedMs(), 20);
    EXPECT_EQ(sim.sent(), static_cast<uint64_t>(2 * sim.streamedMs()));
    EXPECT_EQ(sim.summary(), "simulated recorder: " + std::to_string(sim.sent()) + " reports sent, 0 dropped");
}

TEST(SimulatedRecorder, HoldsSixtyFourUnreadReportsAndDropsTheOldest)
{
    SimulatedRecorder sim(SimulatorConfig{});
    const HidTransport::Handle w = sim.open(SimulatedRecorder::DevicePath, true);
    const HidTransport::Handle r = sim.open(SimulatedRecorder::DevicePath, false);
    sim.write(w, commandFrame({2}).data());
    while (sim.dropped() < 10)
        std::this_thread::yield();
    sim.write(w, commandFrame({1}).data());
    uint8_t frame[HidTransport::FrameSize];
    std::vector<int> sequence;
    while (sim.read(r, frame, 5) == 65)
        sequence.push_back(frame[1]);
    ASSERT_EQ(sequence.size(), 64u);
    EXPECT_GT(sequence.front(), 10);  // the first ones went
    for (size_t i = 1; i < sequence.size(); ++i)
        EXPECT_EQ(sequence[i], (sequence[i - 1] + 1) & 0xFF);
    EXPECT_EQ(sim.sent(), sim.dropped() + 64);
}

TEST(SimulatedRecorder, UnplugMakesEveryTransferFailAtOnce)
{
    SimulatorConfig c;
    c.unplugMs = 5;
    SimulatedRecorder sim(c);
    const HidTransport::Handle w = sim.open(SimulatedRecorder::DevicePath, true);
    const HidTransport::Handle r = sim.open(SimulatedRecorder::DevicePath, false);
    sim.write(w, commandFrame({2}).data());
    uint8_t frame[HidTransport::FrameSize];
    int good = 0;
    while (sim.read(r, frame, 1000) == 65)
        ++good;
    EXPECT_LE(good, 5);
    EXPECT_TRUE(sim.unplugged());
    EXPECT_EQ(sim.streamedMs(), 5);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(sim.read(r, frame, 1000), HidTransport::Gone);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
    EXPECT_EQ(sim.write(w, commandFrame({1}).data()), 0);
    EXPECT_TRUE(sim.enumerate().empty());
}

TEST(SimulatedRecorder, StallKeepsItPresentButSilent)
{
    SimulatorConfig c;
    c.stallMs = 5;
    SimulatedRecorder sim(c);
    const HidTransport::Handle w = sim.open(SimulatedRecorder::DevicePath, true);
    const HidTransport::Handle r = sim.open(SimulatedRecorder::DevicePath, false);
    sim.write(w, commandFrame({2}).data());
    uint8_t frame[HidTransport::FrameSize];
    int good = 0;
    while (sim.read(r, frame, 200) == 65)
        ++good;
    EXPECT_EQ(good, 5);
    EXPECT_EQ(sim.read(r, frame, 20), 0);  // a time-out, not a removal
    EXPECT_EQ(sim.write(w, commandFrame({4, 128, 0}).data()), 65);
    EXPECT_EQ(sim.enumerate().size(), 1u);
}
