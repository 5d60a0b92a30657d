// Report bytes of the range and offset commands, reading decode, discovery and the frame layout
// of single transfers.
#include <gtest/gtest.h>

#include <chrono>

#include "DeviceFakes.h"
#include "device/Commands.h"

namespace {

std::vector<int> bytes0to8(const Report& out)
{
    return std::vector<int>(out.begin(), out.begin() + 9);
}

using ChannelRanges = std::array<uint8_t, ChannelCount>;

}  // namespace

TEST(Commands, RangeCommandCarriesGainCodesAndDividerBitsOfAllChannels)
{
    Report out{};
    buildRangeCommand(out, ChannelRanges{200, 200, 8, 200});  // ±0.8 V on CH3, the others at ±20 V
    EXPECT_EQ(bytes0to8(out), (std::vector<int>{3, 0, 0, 3, 0, 1, 1, 1, 1}));

    Report o2{};
    ChannelRanges ranges{200, 40, 200, 200};  // ±4 V on CH2
    buildRangeCommand(o2, ranges);
    ranges[3] = 4;  // then ±0.4 V on CH4
    buildRangeCommand(o2, ranges);
    EXPECT_EQ(bytes0to8(o2), (std::vector<int>{3, 0, 1, 0, 3, 1, 0, 1, 0}));

    // A range that is not in the table leaves that channel's two bytes alone.
    ranges[1] = 123;
    buildRangeCommand(o2, ranges);
    EXPECT_EQ(o2[2], 1);
    EXPECT_EQ(o2[6], 0);
}

TEST(Commands, OffsetCommandSplitsTheTenBits)
{
    Report out{};
    out[5] = 77;  // left by an earlier command; goes out unchanged
    const std::vector<std::pair<int, std::vector<int>>> cases{
        {512, {4, 128, 0}}, {700, {4, 175, 0}}, {513, {4, 128, 1}}, {1023, {4, 255, 3}}, {0, {4, 0, 0}}};
    for (const auto& [offset, expected] : cases) {
        buildOffsetCommand(out, offset);
        EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + 3), expected) << offset;
    }
    EXPECT_EQ(out[5], 77);
}

TEST(Commands, ReadingDecode)
{
    std::array<uint8_t, 64> r{};
    r[2] = 0x80;
    r[6] = 0x40;
    EXPECT_EQ(readingOf(r.data(), 0), 513);
    r[3] = 0xFF;
    r[7] = 0xC0;
    EXPECT_EQ(readingOf(r.data(), 1), 1023);
    // The low six bits of the second byte never count.
    r[6] = 0x40 | 0x3F;
    EXPECT_EQ(readingOf(r.data(), 0), 513);
    r[5] = 0;
    r[9] = 0x3F;
    EXPECT_EQ(readingOf(r.data(), 3), 0);
}

TEST(Discovery, NoRecorderMeansNoHandlesAndTransfersFailAtOnce)
{
    ScriptedTransport raw;
    raw.interfaces.push_back({"/dev/hidraw0", 0x046d, 0xc52b});  // someone's mouse
    BufferedTransport transport(std::make_unique<ScriptedTransport>(raw));
    DeviceLink link(transport);
    EXPECT_FALSE(link.FindDevice());
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(link.writeOutReport(), 0);
    EXPECT_EQ(link.readInReport(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(DeviceLink::ReadTimeoutMs));
    EXPECT_EQ(link.inReport(), Report{});
}

TEST(Discovery, MatchesWindowsPathsCaseSensitivelyAndLinuxIds)
{
    EXPECT_EQ(deviceMatchText(0x1209, 0x4B52), "vid_1209&pid_4b52");
    EXPECT_TRUE(isRecorderInterface({"\\\\?\\hid#vid_1209&pid_4b52#6&1a2b&0&0000#{4d1e55b2}", 0, 0}));
    EXPECT_FALSE(isRecorderInterface({"\\\\?\\hid#VID_1209&PID_4B52#6&1a2b&0&0000#{4d1e55b2}", 0, 0}));
    // The listing may report the recorder's ids for such a path; the path still decides.
    EXPECT_FALSE(isRecorderInterface(
        {"\\\\?\\hid#VID_1209&PID_4B52#6&1a2b&0&0000#{4d1e55b2}", RecorderVendorId, RecorderProductId}));
    EXPECT_TRUE(isRecorderInterface({"/dev/hidraw5", RecorderVendorId, RecorderProductId}));
    EXPECT_FALSE(isRecorderInterface({"/dev/hidraw5", RecorderVendorId, 0x0001}));
}

TEST(Discovery, TheLastOfSeveralRecordersIsUsedAndTheEarlierHandlesAreClosed)
{
    ScriptedTransport transport;
    transport.interfaces = {{"/dev/hidraw1", RecorderVendorId, RecorderProductId},
                            {"/dev/hidraw2", 0x046d, 0xc52b},
                            {"/dev/hidraw3", RecorderVendorId, RecorderProductId}};
    {
        DeviceLink link(transport);
        EXPECT_TRUE(link.FindDevice());
        EXPECT_EQ(transport.opened,
                  (std::vector<std::string>{"/dev/hidraw1", "/dev/hidraw1", "/dev/hidraw3", "/dev/hidraw3"}));
        EXPECT_EQ(transport.closed, (std::vector<HidTransport::Handle>{1, 2}));
        transport.input.push_back(frameOf(inputReport(9, {1, 2, 3, 4})));
        EXPECT_EQ(link.readInReport(), 65);
        EXPECT_EQ(link.inReport()[0], 9);
        EXPECT_EQ(link.readInReport(), 0);
        EXPECT_EQ(link.inReport()[0], 9);  // a failed read leaves the report as it was
    }
    EXPECT_EQ(transport.closed, (std::vector<HidTransport::Handle>{1, 2, 3, 4}));
}

TEST(Discovery, ARecorderOpenedOnlyHalfIsNotOpenedAndIsLetGo)
{
    // Listed, but the read handle cannot be opened (as without access to the device).
    struct HalfOpenable : ScriptedTransport {
        Handle open(const std::string& path, bool forWriting) override
        {
            ScriptedTransport::open(path, forWriting);
            return forWriting ? 1 : InvalidHandle;
        }
    };
    HalfOpenable transport;
    transport.interfaces = {{"/dev/hidraw1", RecorderVendorId, RecorderProductId}};
    DeviceLink link(transport);
    EXPECT_TRUE(link.FindDevice());  // found...
    EXPECT_TRUE(link.found());
    EXPECT_FALSE(link.opened());  // ...but not usable
    link.release();
    EXPECT_EQ(transport.closed, (std::vector<HidTransport::Handle>{1}));
    EXPECT_FALSE(link.found());
    EXPECT_EQ(link.writeOutReport(), 0);  // nothing goes to the recorder any more
    EXPECT_TRUE(transport.written.empty());
}

TEST(Transfers, EveryFrameIsReportIdZeroAndTheWholeOutReport)
{
    ScriptedTransport transport;
    transport.interfaces = {{"/dev/hidraw1", RecorderVendorId, RecorderProductId}};
    DeviceLink link(transport);
    ASSERT_TRUE(link.FindDevice());
    EXPECT_EQ(link.sendRanges({40, 200, 200, 200}), 65);
    EXPECT_EQ(link.sendCommand(command::Start), 65);
    ASSERT_EQ(transport.written.size(), 2u);
    const Frame& start = transport.written[1];
    EXPECT_EQ(start[0], 0);
    // The start command still carries the range command's gain codes and divider bits.
    EXPECT_EQ(std::vector<int>(start.begin() + 1, start.begin() + 10), (std::vector<int>{2, 1, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_TRUE(std::all_of(start.begin() + 10, start.end(), [](uint8_t b) { return b == 0; }));
}
