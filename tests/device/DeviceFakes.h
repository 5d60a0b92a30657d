#pragma once

// Test doubles of the HID layer: a backend that hands out scripted frames, a recorder that
// answers every read at once from the simulator's model, so that the calibration and the
// averaging run deterministically without a clock, and a recorder that streams a scripted list
// of reports from each start command on.
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "device/HidTransport.h"
#include "device/SimulatedRecorder.h"
#include "device/DeviceLink.h"

using Frame = std::array<uint8_t, HidTransport::FrameSize>;

// Lists the given interfaces; records opens, closes and written frames; reads come from `input`
// (an empty script times out, or reports Gone once `gone` is set).
class ScriptedTransport : public HidTransport {
public:
    std::vector<HidInterfaceInfo> interfaces;
    std::vector<std::string> opened;
    std::vector<Handle> closed;
    std::vector<Frame> written;
    std::deque<Frame> input;
    bool gone = false;

    std::vector<HidInterfaceInfo> enumerate() override { return interfaces; }
    Handle open(const std::string& path, bool) override
    {
        opened.push_back(path);
        return static_cast<Handle>(opened.size());
    }
    void close(Handle handle) override
    {
        if (handle != InvalidHandle)
            closed.push_back(handle);
    }
    int write(Handle handle, const uint8_t* frame) override
    {
        if (handle == InvalidHandle || gone)
            return 0;
        Frame f{};
        std::copy(frame, frame + FrameSize, f.begin());
        written.push_back(f);
        return FrameSize;
    }
    int read(Handle handle, uint8_t* frame, int) override
    {
        if (handle == InvalidHandle || gone)
            return Gone;
        if (input.empty())
            return 0;
        std::copy(input.front().begin(), input.front().end(), frame);
        input.pop_front();
        return FrameSize;
    }
};

// A recorder without a thread: each read is the next millisecond of the simulator's model, given
// the commands written so far. `pattern`, when set, replaces the model's CH1 reading of read n.
class InstantRecorder : public HidTransport {
public:
    explicit InstantRecorder(const SimulatorConfig& config = {}) : model(config) {}

    SimulatorModel model;
    std::vector<Frame> written;
    int64_t reads = 0;
    std::function<int(int64_t)> pattern;

    std::vector<HidInterfaceInfo> enumerate() override
    {
        return {{SimulatedRecorder::DevicePath, RecorderVendorId, RecorderProductId}};
    }
    Handle open(const std::string&, bool forWriting) override { return forWriting ? 1 : 2; }
    void close(Handle) override {}
    int write(Handle, const uint8_t* frame) override
    {
        Frame f{};
        std::copy(frame, frame + FrameSize, f.begin());
        written.push_back(f);
        model.command(frame + 1);
        return FrameSize;
    }
    int read(Handle, uint8_t* frame, int) override
    {
        std::fill(frame, frame + FrameSize, 0);
        model.fillReport(reads, static_cast<uint8_t>(reads + 1), frame + 1);
        if (pattern) {
            const int r = pattern(reads);
            frame[1 + 2] = static_cast<uint8_t>(r >> 2);
            frame[1 + 6] = static_cast<uint8_t>((r & 3) << 6);
        }
        ++reads;
        return FrameSize;
    }
};

// A 64-byte input report with the sequence byte and four readings.
inline std::array<uint8_t, 64> inputReport(uint8_t sequence, std::array<int, 4> readings)
{
    std::array<uint8_t, 64> r{};
    r[0] = sequence;
    for (size_t c = 0; c < 4; ++c) {
        r[2 + c] = static_cast<uint8_t>(readings[c] >> 2);
        r[6 + c] = static_cast<uint8_t>((readings[c] & 3) << 6);
    }
    return r;
}

inline Frame frameOf(const std::array<uint8_t, 64>& report)
{
    Frame f{};
    std::copy(report.begin(), report.end(), f.begin() + 1);
    return f;
}

// The reports of channel readings `readings` with the given sequence bytes, in that order.
inline std::vector<Frame> reportStream(const std::vector<int>& sequences, std::array<int, 4> readings)
{
    std::vector<Frame> frames;
    for (int sequence : sequences)
        frames.push_back(frameOf(inputReport(static_cast<uint8_t>(sequence), readings)));
    return frames;
}

// A recorder that, from each start command on, hands out the frames of `stream` as fast as they
// are read (by the reader thread of a BufferedTransport in front of it); after the last one it is
// gone (`vanishAtEnd`: every read fails at once) or stays silent. Safe to read from one thread
// while another writes.
class ScriptedStream : public HidTransport {
public:
    static constexpr const char* Path = "/dev/hidraw7";

    ScriptedStream(std::vector<Frame> frames, bool vanish) : stream_(std::move(frames)), vanishAtEnd_(vanish) {}

    // The frames of the next start command on.
    void setStream(std::vector<Frame> frames)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stream_ = std::move(frames);
    }

    std::vector<HidInterfaceInfo> enumerate() override { return {{Path, RecorderVendorId, RecorderProductId}}; }
    Handle open(const std::string&, bool forWriting) override { return forWriting ? 1 : 2; }
    void close(Handle) override {}
    int write(Handle, const uint8_t* frame) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (frame[1] == 2) {  // start
            pending_.assign(stream_.begin(), stream_.end());
            started_ = true;
        }
        return FrameSize;
    }
    int read(Handle, uint8_t* frame, int) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!pending_.empty()) {
                std::copy(pending_.front().begin(), pending_.front().end(), frame);
                pending_.pop_front();
                return FrameSize;
            }
            if (started_ && vanishAtEnd_)
                return Gone;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    }

private:
    std::mutex mutex_;
    std::vector<Frame> stream_;
    std::deque<Frame> pending_;
    const bool vanishAtEnd_;
    bool started_ = false;
};

// Runs the thread's event loop until `done` holds or `timeoutMs` have passed; returns `done()`.
inline bool runEventsUntil(const std::function<bool()>& done, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}
