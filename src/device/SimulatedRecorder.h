#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "device/HidTransport.h"
#include "device/ReportQueue.h"
#include "device/SimulatorSetup.h"

// The recorder's firmware as the application sees it, without threads or clocks: it takes the
// output reports and says what an input report of a given millisecond carries.
//
// A reading is clamp(round(512 + V * 5120 / R) + zero + (divider bit 0 ? zero4 : 0)
//                    - (offset - 512) + noise, 0, 1023)
// with R the channel's range in tenths of a volt from the last range command (±20 V before any)
// and offset the last offset command (512 before any).
class SimulatorModel {
public:
    explicit SimulatorModel(const SimulatorConfig& config, uint32_t noiseSeed = 1);

    // Applies one 64-byte output report: 1 stop, 2 start, 3 set ranges, 4 set offset. Other
    // codes are ignored, as is a gain code outside 0..3 (that channel keeps its range).
    void command(const uint8_t* report);

    // Open inputs read 0 V whatever signal the configuration gives them.
    void setInputsDisconnected(bool disconnected) { disconnected_ = disconnected; }

    bool streaming() const { return streaming_; }
    int channelRange(int channel) const { return range_[static_cast<size_t>(channel)]; }
    bool dividerBit(int channel) const { return divider_[static_cast<size_t>(channel)]; }
    int offset() const { return offset_; }
    const SimulatorConfig& config() const { return config_; }

    // The range in tenths of a volt that a gain code and divider bit select: 200, 80, 20, 8 for the
    // gain codes 0..3, half of it with divider bit 0.
    static int rangeOf(int gainCode, bool dividerBit);

    // The reading of a channel for an input of `volts`, with the given noise counts.
    int reading(int channel, double volts, int noise = 0) const;

    // Fills the 64-byte input report of the recorder's millisecond `ms` (counted over all
    // streaming), with the sequence byte `sequence`.
    void fillReport(int64_t ms, uint8_t sequence, uint8_t* report);

private:
    SimulatorConfig config_;
    std::mt19937 random_;
    bool streaming_ = false;
    bool disconnected_ = false;
    std::array<int, 4> range_{200, 200, 200, 200};
    std::array<bool, 4> divider_{true, true, true, true};
    int offset_ = 512;
};

// The simulated recorder behind the HID interface: found as one present recorder, it streams one
// input report per millisecond of wall time from its own thread between a start and a stop
// command, the sequence byte counting up modulo 256. Like the kernel it keeps at most 64 unread
// reports and drops the oldest beyond that. It can be told to vanish (unplug) or to fall silent
// (stall) after some milliseconds of streaming, and to repeat every report.
class SimulatedRecorder final : public HidTransport {
public:
    static constexpr size_t KernelQueueReports = 64;
    // How long a late burst waits once for the reader to make room (see run()).
    static constexpr int LateBurstWaitMs = 20;
    // A path in the form of a Windows HID path, so that discovery matches it like the real one.
    static constexpr const char* DevicePath = "simulated:vid_1209&pid_4b52";

    explicit SimulatedRecorder(const SimulatorConfig& config);
    ~SimulatedRecorder() override;

    std::vector<HidInterfaceInfo> enumerate() override;
    Handle open(const std::string& path, bool forWriting) override;
    void close(Handle handle) override;
    int write(Handle handle, const uint8_t* frame) override;
    int read(Handle handle, uint8_t* frame, int timeoutMs) override;
    void discardInput(Handle handle) override;
    // Follows the calibration's request: while disconnected every channel reads 0 V.
    void setInputsDisconnected(bool disconnected) override;

    // Reports put into the queue (each repetition counts), and reports dropped from it unread.
    uint64_t sent() const { return queue_.pushed(); }
    uint64_t dropped() const { return queue_.dropped(); }
    bool streaming() const;
    bool unplugged() const;
    // Milliseconds streamed so far.
    int64_t streamedMs() const;
    // The model's state (ranges, offset), read under the simulator's lock.
    int channelRange(int channel) const;
    int offset() const;

    // "simulated recorder: N reports sent, M dropped"
    std::string summary() const;
    // Print the summary line on standard error when the simulator ends (at program exit).
    void printSummaryAtExit(bool on) { printSummary_ = on; }

private:
    void run();
    bool openHandle(Handle handle) const { return handles_.count(handle) != 0; }

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    SimulatorModel model_;
    ReportQueue queue_{KernelQueueReports};
    std::set<Handle> handles_;
    Handle next_ = 1;
    bool quit_ = false;
    bool unplugged_ = false;
    bool stalled_ = false;
    int64_t streamedMs_ = 0;       // over all streaming
    int64_t producedThisRun_ = 0;  // since the last start command
    uint64_t runNumber_ = 0;       // counts the start commands
    std::chrono::steady_clock::time_point runStart_{};
    bool printSummary_ = false;
    std::thread thread_;
};

// The application's transport for `--simulate`: the simulated recorder behind a BufferedTransport,
// exactly as the real recorder sits behind one. `recorder` receives the simulator itself.
std::unique_ptr<HidTransport> makeSimulatedTransport(const SimulatorConfig& config, SimulatedRecorder** recorder);
