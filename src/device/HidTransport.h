#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/ReportQueue.h"

// One present HID interface as the platform lists it.
struct HidInterfaceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// The platform's HID access, reduced to what the recorder needs: list the present interfaces,
// open a path (twice: once for writing, once for reading), write one 65-byte frame, read one
// 65-byte frame with a time-out. Frames carry the report ID 0 in byte 0 and the 64-byte report
// in bytes 1..64.
class HidTransport {
public:
    using Handle = int;
    static constexpr Handle InvalidHandle = -1;
    static constexpr int FrameSize = 65;
    // read() result of a device that is gone (unplugged) or a handle that is not open.
    static constexpr int Gone = -1;

    virtual ~HidTransport() = default;

    virtual std::vector<HidInterfaceInfo> enumerate() = 0;
    virtual Handle open(const std::string& path, bool forWriting) = 0;
    virtual void close(Handle handle) = 0;
    // Returns FrameSize on success, 0 on failure.
    virtual int write(Handle handle, const uint8_t* frame) = 0;
    // Blocks until a frame arrives or timeoutMs passes. Returns FrameSize on success, 0 on a
    // time-out, Gone (or 0) when the device is gone; a failed read leaves `frame` unchanged.
    virtual int read(Handle handle, uint8_t* frame, int timeoutMs) = 0;
    // Forgets the frames that arrived on a read handle and were not read yet: a new stream begins.
    virtual void discardInput(Handle) {}
    // Reports the recorder sent that no read will ever deliver, over all read handles: dropped from
    // a full queue, or never received, as gaps in their sequence bytes show.
    virtual uint64_t lostReports() const { return 0; }
    // The user has been asked to disconnect every input (for the calibration), or may connect them
    // again. A real recorder cannot tell and ignores it; the simulated one opens its inputs.
    virtual void setInputsDisconnected(bool) {}
};

// The transport the application uses: a raw backend (hidapi or the simulated recorder) with a
// reader thread per read handle that drains the device into a large queue, a few milliseconds'
// worth of reports per wake-up. The GUI thread may then be busy for seconds without a report being lost: the kernel
// (or the simulator) keeps only 64 unread reports. Writes go straight to the backend.
//
// Reports that are lost all the same are counted. The recorder numbers its reports in byte 0 of
// the report (frame byte 1), one up per report modulo 256, and repeats the number only for a
// report sent twice: a step of k + 1 from one frame to the next means k reports never reached the
// reader thread (the kernel dropped them while the thread was kept from running). The first frame
// after discardInput() starts the count afresh, since a new stream need not go on from the old
// one's number. A run of 256 or more lost at once cannot be told from the numbers alone.
class BufferedTransport final : public HidTransport {
public:
    // Ten seconds of reports at one per millisecond, with room to spare.
    static constexpr size_t DefaultCapacity = 16384;
    // How long one read of the reader thread waits, so that it notices a close in good time.
    static constexpr int ReaderPollMs = 100;
    // While reports keep coming the reader thread sleeps this long, then takes, without waiting,
    // all that has arrived meanwhile: at one report per millisecond it wakes up about 120 times a
    // second instead of a thousand, and the kernel's 64 unread reports (64 ms of them) stay far
    // from full even when the thread wakes up late on a busy machine. (16 ms halved the wake-ups
    // once more, but a six-minute recording on a loaded machine then lost two reports.)
    static constexpr int ReaderGatherMs = 8;
    // Reports handed to the queue at a time.
    static constexpr size_t HandOverFrames = 64;

    explicit BufferedTransport(std::unique_ptr<HidTransport> raw, size_t capacity = DefaultCapacity);
    ~BufferedTransport() override;

    std::vector<HidInterfaceInfo> enumerate() override { return raw_->enumerate(); }
    Handle open(const std::string& path, bool forWriting) override;
    void close(Handle handle) override;
    int write(Handle handle, const uint8_t* frame) override { return raw_->write(handle, frame); }
    int read(Handle handle, uint8_t* frame, int timeoutMs) override;
    void discardInput(Handle handle) override;
    void setInputsDisconnected(bool disconnected) override { raw_->setInputsDisconnected(disconnected); }
    uint64_t lostReports() const override;

    HidTransport& raw() { return *raw_; }
    // Reports lost because the queue of a read handle overflowed (all handles together).
    uint64_t dropped() const;
    // Reports taken from the device by the reader threads.
    uint64_t received() const;
    // Reports the sequence bytes of the frames taken from the device show as never received.
    uint64_t skipped() const;

private:
    struct Reader {
        explicit Reader(size_t capacity) : queue(capacity) {}
        ReportQueue queue;
        std::atomic<bool> stop{false};
        // Set by discardInput(): the next frame is the first of a new stream.
        std::atomic<bool> newStream{true};
        std::atomic<uint64_t> skipped{0};
        std::thread thread;
    };
    void drain(Handle handle, Reader& reader);
    // Counts the reports the sequence byte of `frame` shows as never received before it.
    static void countGap(Reader& reader, const ReportQueue::Frame& frame, int& lastSequence);
    Reader* readerOf(Handle handle) const;

    std::unique_ptr<HidTransport> raw_;
    const size_t capacity_;
    mutable std::mutex mutex_;
    std::map<Handle, std::unique_ptr<Reader>> readers_;
    uint64_t closedDropped_ = 0, closedReceived_ = 0, closedSkipped_ = 0;
};

// The raw hidapi backend (hidraw on Linux, SetupAPI and ReadFile/WriteFile on Windows).
std::unique_ptr<HidTransport> makeHidapiBackend();
// The real recorder: the hidapi backend behind a BufferedTransport.
std::unique_ptr<HidTransport> makeHidapiTransport();
