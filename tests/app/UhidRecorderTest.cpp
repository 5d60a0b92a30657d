// The real hidapi path: a virtual recorder made with Linux /dev/uhid (the recorder's USB ids,
// 64-byte reports without report IDs) is found, records, and is unplugged and plugged in again.
// The recorder's firmware is the simulator's model; the kernel's hidraw node and hidapi carry
// every report. Skips where /dev/uhid is missing or cannot be opened for writing.
#include <gtest/gtest.h>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "RecordingReadBack.h"
#include "app/UnattendedRecording.h"
#include "device/DeviceLink.h"
#include "device/HidTransport.h"
#include "device/SimulatedRecorder.h"

namespace {

// Vendor-defined page, one collection with a 64-byte input and a 64-byte output report.
constexpr uint8_t ReportDescriptor[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                        0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                                        0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};

class VirtualRecorder {
public:
    explicit VirtualRecorder(const SimulatorConfig& config) : model_(config) {}
    ~VirtualRecorder() { unplug(); }

    // Empty on success, else why the virtual device cannot be made.
    std::string plugIn()
    {
        fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
        if (fd_ < 0)
            return std::string("/dev/uhid cannot be opened: ") + std::strerror(errno);
        uhid_event ev{};
        ev.type = UHID_CREATE2;
        std::strcpy(reinterpret_cast<char*>(ev.u.create2.name), "KORVIX virtual recorder");
        std::memcpy(ev.u.create2.rd_data, ReportDescriptor, sizeof ReportDescriptor);
        ev.u.create2.rd_size = sizeof ReportDescriptor;
        ev.u.create2.bus = 0x03;  // USB
        ev.u.create2.vendor = RecorderVendorId;
        ev.u.create2.product = RecorderProductId;
        if (::write(fd_, &ev, sizeof ev) != static_cast<ssize_t>(sizeof ev)) {
            const std::string why = std::strerror(errno);
            ::close(fd_);
            fd_ = -1;
            return "UHID_CREATE2 failed: " + why;
        }
        quit_ = false;
        thread_ = std::thread([this] { run(); });
        return {};
    }

    void unplug()
    {
        if (fd_ < 0)
            return;
        quit_ = true;
        thread_.join();
        uhid_event ev{};
        ev.type = UHID_DESTROY;
        (void)!::write(fd_, &ev, sizeof ev);
        ::close(fd_);
        fd_ = -1;
    }

private:
    void run()
    {
        auto next = std::chrono::steady_clock::now();
        while (!quit_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 1) > 0) {
                uhid_event ev{};
                if (::read(fd_, &ev, sizeof ev) > 0 && ev.type == UHID_OUTPUT && ev.u.output.size >= 1) {
                    uint8_t report[64] = {};
                    // hidapi sends report ID 0 as no ID at all: the data is the 64-byte report.
                    std::memcpy(report, ev.u.output.data, std::min<size_t>(ev.u.output.size, 64));
                    const bool wasStreaming = model_.streaming();
                    model_.command(report);
                    if (model_.streaming() && !wasStreaming)
                        next = std::chrono::steady_clock::now();
                }
            }
            // One report per millisecond of wall time while streaming.
            while (model_.streaming() && std::chrono::steady_clock::now() >= next) {
                uhid_event ev{};
                ev.type = UHID_INPUT2;
                ev.u.input2.size = 64;
                model_.fillReport(ms_++, sequence_++, ev.u.input2.data);
                if (::write(fd_, &ev, sizeof ev) < 0)
                    break;
                next += std::chrono::milliseconds(1);
            }
        }
    }

    SimulatorModel model_;
    int fd_ = -1;
    std::atomic<bool> quit_{false};
    std::thread thread_;
    int64_t ms_ = 0;
    uint8_t sequence_ = 0;
};

std::string uhidMissing()
{
    if (::access("/dev/uhid", F_OK) != 0)
        return "/dev/uhid is missing (no uhid module in this kernel or container)";
    if (::access("/dev/uhid", W_OK) != 0)
        return "/dev/uhid is not writable for this user";
    return {};
}

// Waits until hidapi lists the recorder (the hidraw node appears shortly after the create).
bool listed(HidTransport& transport, bool wanted)
{
    for (int i = 0; i < 100; ++i) {
        bool found = false;
        for (const HidInterfaceInfo& info : transport.enumerate())
            found = found || isRecorderInterface(info);
        if (found == wanted)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

SimulatorConfig fiveVoltsOnCh1()
{
    SimulatorConfig config;
    std::string error;
    parseSimulatorSetup("ch1=dc:5,ch2=dc:-2.5", config, error);
    return config;
}

}  // namespace

TEST(UhidRecorder, FoundRecordedUnpluggedAndPluggedInAgain)
{
    if (const std::string why = uhidMissing(); !why.empty())
        GTEST_SKIP() << why;
    VirtualRecorder recorder(fiveVoltsOnCh1());
    if (const std::string why = recorder.plugIn(); !why.empty())
        GTEST_SKIP() << why;
    std::unique_ptr<HidTransport> transport = makeHidapiTransport();
    ASSERT_TRUE(listed(*transport, true)) << "hidapi does not list the virtual recorder";

    QTemporaryDir dir;
    // A short recording through hidraw: every sample as the recorder measured it.
    {
        QStringList args{QStringLiteral("--time-div"), QStringLiteral("0.1s"),
                         QStringLiteral("--samples"),  QStringLiteral("300"),
                         QStringLiteral("--output"),   dir.filePath(QStringLiteral("a.txt"))};
        qunsetenv("KORVIX_SIMULATE");
        UnattendedRecording::clearStopRequest();
        UnattendedRecording recording(parseRecordOptions(args), *transport, dir.filePath(QStringLiteral("none.ini")));
        EXPECT_EQ(recording.run(), exitcode::Done);
        const ReadBack r = readBack(dir.filePath(QStringLiteral("a.txt")));
        ASSERT_EQ(r.samples.size(), 300u);
        for (const auto& s : r.samples) {
            ASSERT_EQ(s[0], 640);
            ASSERT_EQ(s[1], 448);
        }
        EXPECT_TRUE(r.stopLine);
    }

    // Unplugged during a recording with --reconnect, plugged in again: two complete files.
    QStringList args{QStringLiteral("--time-div"), QStringLiteral("0.1s"), QStringLiteral("--reconnect"),
                     QStringLiteral("--output"), dir.filePath(QStringLiteral("b.txt"))};
    UnattendedRecording::clearStopRequest();
    UnattendedRecording recording(parseRecordOptions(args), *transport, dir.filePath(QStringLiteral("none.ini")));
    recording.reconnectPollMs = 100;
    std::thread hands([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        recorder.unplug();
        EXPECT_TRUE(listed(*transport, false));
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        EXPECT_EQ(recorder.plugIn(), "");
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        UnattendedRecording::requestStop();
    });
    const int code = recording.run();
    hands.join();
    EXPECT_EQ(code, exitcode::Done);
    ASSERT_EQ(recording.files().size(), 2);
    const ReadBack first = readBack(recording.files()[0]);
    const ReadBack second = readBack(recording.files()[1]);
    EXPECT_GT(first.samples.size(), 100u);
    EXPECT_TRUE(first.stopLine);
    ASSERT_FALSE(first.note.isEmpty());
    EXPECT_TRUE(first.note.back().contains(QLatin1String("unplugged")));
    EXPECT_GT(second.samples.size(), 100u);
    for (const auto& s : second.samples)
        ASSERT_EQ(s[0], 640);
    EXPECT_TRUE(second.stopLine);
}
#else
TEST(UhidRecorder, FoundRecordedUnpluggedAndPluggedInAgain)
{
    GTEST_SKIP() << "/dev/uhid exists on Linux only";
}
#endif
