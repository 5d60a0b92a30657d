#pragma once

#include <cstdint>
#include <string>

#include "device/Commands.h"
#include "device/HidTransport.h"
#include "device/Report.h"

// The recorder's USB ids.
constexpr uint16_t RecorderVendorId = 0x1209;
constexpr uint16_t RecorderProductId = 0x4B52;

// "vid_xxxx&pid_xxxx" in lower case, as it appears in a Windows HID device path.
std::string deviceMatchText(uint16_t vendorId, uint16_t productId);

// Whether a listed interface is the recorder: its path contains the match text (case-sensitive,
// as on Windows), or, where paths carry no ids (Linux hidraw), its vendor and product ids match.
bool isRecorderInterface(const HidInterfaceInfo& info);

// Device discovery and single-report transfers over a transport. The two handles are opened once
// by FindDevice and kept until the link is destroyed. The link keeps the output report it sends
// (a command writes only its own bytes, the others go out as an earlier command left them) and the
// input report it read last.
class DeviceLink {
public:
    // Read time-out of one report: a stalled recorder turns into failed reads instead of a frozen window.
    static constexpr int ReadTimeoutMs = 50;

    explicit DeviceLink(HidTransport& transport) : transport_(transport) {}
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Searches the present HID interfaces once; opens the last matching one twice (write, read).
    bool FindDevice();

    // Sends one frame with report ID 0 and the first `length` bytes of `data` (1..64). Returns the
    // frame size written, 0 on failure. A start command first throws away reports still waiting
    // from an earlier stream, so that a new recording or calibration begins with fresh readings.
    int USBWrite(const uint8_t* data, int length);
    // Reads one frame and copies its 64 report bytes to `destination`. 65 on success, 0 on failure
    // (also on a time-out of ReadTimeoutMs, and at once when the recorder is gone).
    int USBRead(uint8_t* destination);
    // Takes one report that has already arrived into the input report, without waiting: 65 when one was
    // there, 0 when none has come yet, HidTransport::Gone when the recorder is gone.
    int readArrived();
    // Sends the output report as it stands; reads one report into the input report (as USBRead).
    int writeOutReport() { return USBWrite(outReport_.data(), ReportSize); }
    int readInReport() { return USBRead(inReport_.data()); }

    // The commands: each fills its bytes of the output report and sends it (see Commands.h).
    int sendCommand(uint8_t code)
    {
        outReport_[0] = code;
        return writeOutReport();
    }
    int sendRanges(const std::array<uint8_t, ChannelCount>& channelRanges)
    {
        buildRangeCommand(outReport_, channelRanges);
        return writeOutReport();
    }
    int sendOffset(int32_t offset)
    {
        buildOffsetCommand(outReport_, offset);
        return writeOutReport();
    }

    // The output report as the last command left it, for a command that is built elsewhere.
    Report& outReport() { return outReport_; }
    // The input report of the last read that succeeded (a failed read leaves it as it was).
    const Report& inReport() const { return inReport_; }

    bool found() const
    {
        return writeHandle_ != HidTransport::InvalidHandle || readHandle_ != HidTransport::InvalidHandle;
    }
    // Both handles are open: the recorder can be told what to do and read.
    bool opened() const
    {
        return writeHandle_ != HidTransport::InvalidHandle && readHandle_ != HidTransport::InvalidHandle;
    }
    // Closes whatever handle is open; every transfer then fails at once, as without a recorder.
    void release();
    HidTransport& transport() { return transport_; }

    // Reports of the recorder lost since the last start command (see HidTransport::lostReports).
    uint64_t lostSinceStart() const { return transport_.lostReports() - lostAtStart_; }

    // Reads that delivered a report, and reads that failed, since the link was made.
    uint64_t goodReads() const { return goodReads_; }
    uint64_t failedReads() const { return failedReads_; }

private:
    HidTransport& transport_;
    Report outReport_{};
    Report inReport_{};
    HidTransport::Handle writeHandle_ = HidTransport::InvalidHandle;
    HidTransport::Handle readHandle_ = HidTransport::InvalidHandle;
    uint64_t goodReads_ = 0, failedReads_ = 0;
    uint64_t lostAtStart_ = 0;
};
