// The report queue and the transport's reader thread: nothing the device delivered is lost while
// the application is busy, a full queue loses its oldest reports, a removed device fails at once,
// and reports lost on the way are counted.
#include <gtest/gtest.h>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include <array>
#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>

#include "DeviceFakes.h"
#include "device/Commands.h"
#include "device/ReportQueue.h"

namespace {

ReportQueue::Frame numbered(int n)
{
    ReportQueue::Frame f{};
    f[1] = static_cast<uint8_t>(n);
    return f;
}

// A raw device that delivers `count` numbered frames as fast as it is read, then times out, or
// reports Gone when `vanish` is set.
class BurstDevice : public ScriptedTransport {
public:
    BurstDevice(int count, bool vanish) : count_(count), vanish_(vanish) {}
    std::atomic<int> delivered{0};
    int read(Handle, uint8_t* frame, int timeoutMs) override
    {
        if (delivered < count_) {
            const ReportQueue::Frame f = numbered(delivered++);
            std::copy(f.begin(), f.end(), frame);
            return FrameSize;
        }
        if (vanish_)
            return Gone;
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return 0;
    }

private:
    const int count_;
    const bool vanish_;
};

// A raw device that makes one numbered frame per millisecond of wall time, `count` in all, like
// a streaming recorder, and counts the reads that had to wait for one and the reads without
// waiting that found none (one per wake-up of a reader that takes what has gathered).
class PacedDevice : public ScriptedTransport {
public:
    explicit PacedDevice(int count) : count_(count) {}
    std::atomic<int> delivered{0};
    std::atomic<int> waits{0};
    std::atomic<int> emptyLooks{0};
    int read(Handle, uint8_t* frame, int timeoutMs) override
    {
        using namespace std::chrono;
        if (delivered >= count_) {
            std::this_thread::sleep_for(milliseconds(timeoutMs));
            return 0;
        }
        auto due = start_ + milliseconds(delivered + 1);
        if (steady_clock::now() < due) {
            if (timeoutMs <= 0) {
                ++emptyLooks;
                return 0;
            }
            ++waits;
            std::this_thread::sleep_until(due);
        }
        const ReportQueue::Frame f = numbered(delivered++);
        std::copy(f.begin(), f.end(), frame);
        return FrameSize;
    }

private:
    const int count_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

TEST(ReportQueue, FullQueueDropsTheOldestAndCountsIt)
{
    ReportQueue q(3);
    for (int n = 1; n <= 5; ++n)
        q.push(numbered(n));
    EXPECT_EQ(q.dropped(), 2u);
    EXPECT_EQ(q.pushed(), 5u);
    ReportQueue::Frame f;
    for (int n = 3; n <= 5; ++n) {
        ASSERT_EQ(q.pop(f, 0), ReportQueue::Pop::Frame);
        EXPECT_EQ(f[1], n);
    }
    EXPECT_EQ(q.pop(f, 1), ReportQueue::Pop::TimedOut);
}

// Frames handed over together behave as if pushed one by one, and wake a reader that waits.
TEST(ReportQueue, FramesPushedTogetherKeepTheirOrderAndWakeAWaitingReader)
{
    ReportQueue q(3);
    std::array<ReportQueue::Frame, 5> five{numbered(1), numbered(2), numbered(3), numbered(4), numbered(5)};
    q.push(five.data(), five.size());
    EXPECT_EQ(q.dropped(), 2u);
    EXPECT_EQ(q.pushed(), 5u);
    ReportQueue::Frame f;
    for (int n = 3; n <= 5; ++n) {
        ASSERT_EQ(q.pop(f, 0), ReportQueue::Pop::Frame);
        EXPECT_EQ(f[1], n);
    }
    q.push(five.data(), 0);  // nothing to hand over
    EXPECT_EQ(q.pushed(), 5u);

    std::atomic<int> got{0};
    std::thread reader([&] {
        ReportQueue::Frame frame;
        if (q.pop(frame, 5000) == ReportQueue::Pop::Frame)
            got = frame[1];
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    q.push(five.data() + 1, 2);
    reader.join();
    EXPECT_EQ(got, 2);
    EXPECT_EQ(q.size(), 1u);
}

#if defined(__linux__)
// A look without waiting (a time-out of 0) neither sleeps nor gives up the processor: the session
// takes the queue that way until it is empty, many times a second.
TEST(ReportQueue, LookingWithoutWaitingCostsNoContextSwitch)
{
    const auto voluntarySwitches = [] {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return usage.ru_nvcsw;
    };
    ReportQueue empty(4), full(1);
    full.push(numbered(1));
    ReportQueue::Frame f;
    const long before = voluntarySwitches();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(empty.pop(f, 0), ReportQueue::Pop::TimedOut);
        ASSERT_FALSE(full.waitForRoom(1, 0));
    }
    EXPECT_LT(voluntarySwitches() - before, 50);
}
#endif

TEST(ReportQueue, ClosingKeepsOrDiscardsWhatIsLeft)
{
    ReportQueue keep(8), discard(8);
    keep.push(numbered(1));
    discard.push(numbered(1));
    keep.close(false);
    discard.close(true);
    ReportQueue::Frame f;
    EXPECT_EQ(keep.pop(f, 1000), ReportQueue::Pop::Frame);
    EXPECT_EQ(keep.pop(f, 1000), ReportQueue::Pop::Closed);  // at once, not after the time-out
    EXPECT_EQ(discard.pop(f, 1000), ReportQueue::Pop::Closed);
    keep.push(numbered(2));  // a closed queue takes nothing more
    EXPECT_EQ(keep.pop(f, 0), ReportQueue::Pop::Closed);
}

TEST(ReportQueue, WaitForRoomReturnsWhenAReaderTakesAFrame)
{
    ReportQueue q(2);
    q.push(numbered(1));
    EXPECT_TRUE(q.waitForRoom(1, 0));
    q.push(numbered(2));
    EXPECT_FALSE(q.waitForRoom(1, 1));  // full, nobody reads
    std::thread reader([&] {
        ReportQueue::Frame f;
        q.pop(f, 1000);
    });
    EXPECT_TRUE(q.waitForRoom(1, 5000));
    reader.join();
    EXPECT_EQ(q.dropped(), 0u);
}

TEST(BufferedTransport, ReaderThreadKeepsEveryReportInOrderWhileNobodyReads)
{
    constexpr int Reports = 5000;  // five seconds of recording arriving in one burst
    auto device = std::make_unique<BurstDevice>(Reports, false);
    BurstDevice& raw = *device;
    BufferedTransport transport(std::move(device));
    const HidTransport::Handle h = transport.open("/dev/hidraw1", false);
    uint8_t frame[HidTransport::FrameSize];
    for (int n = 0; n < Reports; ++n) {
        ASSERT_EQ(transport.read(h, frame, 1000), HidTransport::FrameSize) << n;
        ASSERT_EQ(frame[1], static_cast<uint8_t>(n));
    }
    EXPECT_EQ(raw.delivered, Reports);
    EXPECT_EQ(transport.dropped(), 0u);
    EXPECT_EQ(transport.received(), static_cast<uint64_t>(Reports));
    EXPECT_EQ(transport.read(h, frame, 1), 0);  // nothing more: a time-out
}

// The reader thread takes a stream of one report per millisecond several at a time: it lets a
// few gather (far fewer than the 64 the kernel keeps) and takes them without waiting, so it wakes
// up a few dozen times a second rather than a thousand. While the stream goes on it does not wait
// for a report at all: one wake-up per gather time, not one for the first report and one after the
// gathering. Nothing is lost.
TEST(BufferedTransport, ReaderThreadTakesAStreamSeveralReportsPerWakeUp)
{
    constexpr int Reports = 400;
    auto device = std::make_unique<PacedDevice>(Reports);
    PacedDevice& raw = *device;
    BufferedTransport transport(std::move(device));
    const HidTransport::Handle h = transport.open("/dev/hidraw1", false);
    uint8_t frame[HidTransport::FrameSize];
    for (int n = 0; n < Reports; ++n) {
        ASSERT_EQ(transport.read(h, frame, 1000), HidTransport::FrameSize) << n;
        ASSERT_EQ(frame[1], static_cast<uint8_t>(n));
    }
    EXPECT_EQ(transport.dropped(), 0u);
    EXPECT_EQ(transport.skipped(), 0u);
    EXPECT_LT(raw.waits, Reports / 3);
    // Only the stream's first report is waited for; each later wake-up ends with one look that
    // finds nothing more. 400 ms of stream at one wake-up per ReaderGatherMs (8 ms) is about 50.
    EXPECT_LE(raw.waits, 2);
    EXPECT_LE(raw.emptyLooks, Reports / 6);
    EXPECT_GE(raw.emptyLooks, 5);
}

TEST(BufferedTransport, RemovedDeviceDeliversWhatCameBeforeThenFailsAtOnce)
{
    BufferedTransport transport(std::make_unique<BurstDevice>(3, true));
    const HidTransport::Handle h = transport.open("/dev/hidraw1", false);
    uint8_t frame[HidTransport::FrameSize];
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(transport.read(h, frame, 1000), HidTransport::FrameSize);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(transport.read(h, frame, 5000), HidTransport::Gone);
    EXPECT_EQ(transport.read(h, frame, 5000), HidTransport::Gone);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

TEST(BufferedTransport, SmallQueueOverflowsOldestFirst)
{
    BufferedTransport transport(std::make_unique<BurstDevice>(100, true), 10);
    const HidTransport::Handle h = transport.open("/dev/hidraw1", false);
    uint8_t frame[HidTransport::FrameSize];
    // Once the device is gone the reader has pushed everything it ever will.
    while (transport.received() < 100)
        std::this_thread::yield();
    std::vector<int> got;
    while (transport.read(h, frame, 1000) == HidTransport::FrameSize)
        got.push_back(frame[1]);
    EXPECT_EQ(got, (std::vector<int>{90, 91, 92, 93, 94, 95, 96, 97, 98, 99}));
    EXPECT_EQ(transport.dropped(), 90u);
}

TEST(BufferedTransport, StartCommandThrowsAwayReportsOfAnEarlierStream)
{
    auto device = std::make_unique<BurstDevice>(20, false);
    device->interfaces = {{"/dev/hidraw1", RecorderVendorId, RecorderProductId}};
    BufferedTransport transport(std::move(device));
    DeviceLink link(transport);
    ASSERT_TRUE(link.FindDevice());
    while (transport.received() < 20)
        std::this_thread::yield();
    link.sendCommand(command::Stop);
    EXPECT_EQ(link.readInReport(), 65);  // a stop leaves them readable
    link.sendCommand(command::Start);
    EXPECT_EQ(link.readInReport(), 0);
    EXPECT_EQ(link.goodReads(), 1u);
    EXPECT_EQ(link.failedReads(), 1u);
}

TEST(BufferedTransport, LostReportsAreCountedFromSequenceGapsAndQueueOverflow)
{
    // 252 -> 254 skips one, 255 -> 3 skips three across the wrap; repeated numbers skip none.
    auto device = std::make_unique<ScriptedStream>(
        reportStream({250, 251, 251, 252, 254, 255, 3, 4}, {512, 512, 512, 512}), false);
    ScriptedStream& raw = *device;
    BufferedTransport transport(std::move(device));
    DeviceLink link(transport);
    ASSERT_TRUE(link.FindDevice());
    link.sendCommand(command::Start);
    for (int n = 0; n < 8; ++n)
        ASSERT_EQ(link.readInReport(), 65) << n;
    EXPECT_EQ(transport.lostReports(), 4u);
    EXPECT_EQ(link.lostSinceStart(), 4u);

    // A new stream need not go on from the old one's number: its first report is no gap, and the
    // count of the link starts again at the start command.
    raw.setStream(reportStream({100, 101, 103}, {512, 512, 512, 512}));
    link.writeOutReport();
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(link.readInReport(), 65) << n;
    EXPECT_EQ(link.lostSinceStart(), 1u);
    EXPECT_EQ(transport.lostReports(), 5u);

    // Reports that a full queue drops are lost as well.
    std::vector<int> ten(10);
    std::iota(ten.begin(), ten.end(), 1);
    BufferedTransport small(std::make_unique<ScriptedStream>(reportStream(ten, {0, 0, 0, 0}), false), 4);
    DeviceLink smallLink(small);
    ASSERT_TRUE(smallLink.FindDevice());
    smallLink.sendCommand(command::Start);
    while (small.received() < 10)
        std::this_thread::yield();
    EXPECT_EQ(small.dropped(), 6u);
    EXPECT_EQ(smallLink.lostSinceStart(), 6u);
}
