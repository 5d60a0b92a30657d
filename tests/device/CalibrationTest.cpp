// The zero-offset calibration over a recorder that answers at once (hand-worked cases) and over the
// simulated recorder behind the application's transport, and the offsets kept in the settings file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <tuple>

#include "DeviceFakes.h"
#include "device/Calibration.h"
#include "device/Commands.h"
#include "settings/Settings.h"

namespace {

struct Calibration : ::testing::Test {
    std::array<uint8_t, ChannelCount> channelRanges{200, 200, 200, 200};
    std::vector<int> rangesPressed;

    // What a CH1 range button does to the device: the range command.
    std::function<void(int)> pressCh1(DeviceLink& link)
    {
        return [this, &link](int rangeIndex) {
            rangesPressed.push_back(rangeIndex);
            channelRanges[0] = static_cast<uint8_t>(Ranges[static_cast<size_t>(rangeIndex)].channelRange);
            link.sendRanges(channelRanges);
        };
    }
    CalibrationResult run(HidTransport& transport)
    {
        DeviceLink link(transport);
        EXPECT_TRUE(link.FindDevice());
        return runCalibration(link, pressCh1(link));
    }
    static std::vector<Frame> offsetCommands(const InstantRecorder& rec)
    {
        std::vector<Frame> out;
        for (const Frame& f : rec.written)
            if (f[1] == 4)
                out.push_back(f);
        return out;
    }
};

}  // namespace

TEST_F(Calibration, RecorderOnItsZeroFinishesAfterElevenPasses)
{
    SimulatorConfig c;
    c.zero4 = 3;  // the ±4 V range reads 515
    InstantRecorder rec(c);
    const CalibrationResult r = run(rec);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.passes, 11);
    EXPECT_EQ(r.offset, 512);
    EXPECT_EQ(r.offset4, -3);
    EXPECT_EQ(rangesPressed, (std::vector<int>{0, 2, 0}));
    EXPECT_EQ(rec.written.front()[1], 3);  // range command first, then start
    EXPECT_EQ(rec.written[1][1], 2);
    EXPECT_EQ(rec.written.back()[1], 1);  // stop last
    EXPECT_EQ(rec.model.channelRange(0), 200);
}

TEST_F(Calibration, OneHighPassMovesTheOffsetUpOnce)
{
    SimulatorConfig c;
    c.zero = 1;  // 513 at offset 512, 512 from offset 513 on
    InstantRecorder rec(c);
    const CalibrationResult r = run(rec);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.passes, 12);
    EXPECT_EQ(r.offset, 513);
    const Frame first = offsetCommands(rec).front();
    EXPECT_EQ(std::vector<int>(first.begin() + 1, first.begin() + 4), (std::vector<int>{4, 128, 1}));
}

TEST_F(Calibration, FirstOffsetCommandAfterAnAverageOf520)
{
    InstantRecorder rec;
    rec.pattern = [](int64_t) { return 520; };
    run(rec);
    const Frame first = offsetCommands(rec).front();
    EXPECT_EQ(std::vector<int>(first.begin() + 1, first.begin() + 4), (std::vector<int>{4, 128, 1}));
}

TEST_F(Calibration, EleventhHitInPass999SucceedsIn1000Fails)
{
    for (const int lastPass : {999, 1000}) {
        channelRanges = {200, 200, 200, 200};
        rangesPressed.clear();
        InstantRecorder rec;
        // Averages of 600 until the 11 passes before `lastPass`, then exactly 512.
        rec.pattern = [lastPass](int64_t read) { return read / 10 + 1 > lastPass - 11 ? 512 : 600; };
        const CalibrationResult r = run(rec);
        EXPECT_EQ(r.passes, lastPass);
        EXPECT_EQ(r.success, lastPass == 999);
    }
}

TEST_F(Calibration, TrialOffsetStopsAtTheEndsInsteadOfWrapping)
{
    InstantRecorder rec;
    rec.pattern = [](int64_t) { return 0; };  // reads far too low for ever
    const CalibrationResult r = run(rec);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.passes, 1001);
    EXPECT_EQ(r.offset, 0);
    int previous = 512;
    for (const Frame& f : offsetCommands(rec)) {
        const int offset = f[2] * 4 + f[3];
        EXPECT_LE(offset, previous);
        previous = offset;
    }
    EXPECT_EQ(previous, 0);
}

TEST_F(Calibration, SimulatorWithZeroSevenGivesOffset519AndZero4Offset4)
{
    SimulatorConfig c;
    c.zero = 7;
    c.zero4 = -3;
    SimulatedRecorder* sim = nullptr;
    auto transport = makeSimulatedTransport(c, &sim);
    const CalibrationResult r = run(*transport);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.offset, 519);
    EXPECT_EQ(r.offset4, 3);
    EXPECT_EQ(sim->offset(), 519);
    EXPECT_EQ(sim->channelRange(0), 200);
    EXPECT_FALSE(sim->streaming());
}

TEST_F(Calibration, UnpluggedRecorderFailsQuickly)
{
    SimulatorConfig c;
    c.unplugMs = 0;
    auto transport = makeSimulatedTransport(c, nullptr);
    const CalibrationResult r = run(*transport);
    EXPECT_FALSE(r.success);
    EXPECT_TRUE(r.deviceLost);
    EXPECT_EQ(rangesPressed, (std::vector<int>{0, 0}));  // back to ±20 V, no ±4 V measurement
}

TEST(StoredCalibration, OffsetsThatNoCalibrationGivesCountAsNotANumber)
{
    // Offset goes to the recorder in 10 bits (0..1023); Offset4 is 512 minus an average of 0..1023.
    // Anything else keeps the default (512 and 0), as a value that is not a number does.
    const std::vector<std::tuple<const char*, const char*, int, int>> cases{
        {"0", "-511", 0, -511},
        {"1023", "512", 1023, 512},
        {"519", "-3", 519, -3},
        {"-1", "513", 512, 0},
        {"1024", "-512", 512, 0},
        {"-2147483648", "2147483647", 512, 0},
        {"2147483647", "-2147483648", 512, 0},
        {"x", "", 512, 0},
    };
    for (const auto& [offset, offset4, expected, expected4] : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("KORVIX.ini"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("[Hardware]\r\nOffset=") + offset + "\r\nOffset4=" + offset4 + "\r\n");
        f.close();
        RunState run;
        ChannelSetup channels;
        ColourScheme colours;
        WindowBounds bounds;
        readStartupSettings(SettingsFile(path), run, channels, colours, bounds);
        EXPECT_EQ(channels.HwOffset, expected) << offset;
        EXPECT_EQ(channels.HwOffset4, expected4) << offset4;
    }
}
