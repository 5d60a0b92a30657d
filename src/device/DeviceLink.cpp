#include "device/DeviceLink.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

std::string deviceMatchText(uint16_t vendorId, uint16_t productId)
{
    char text[32];
    std::snprintf(text, sizeof text, "vid_%04x&pid_%04x", vendorId, productId);
    return text;
}

bool isRecorderInterface(const HidInterfaceInfo& info)
{
    static const std::string match = deviceMatchText(RecorderVendorId, RecorderProductId);
    if (info.path.find(match) != std::string::npos)
        return true;
    // A path that names ids (in any case) is judged by its text alone: "VID_1209&PID_4B52" is not
    // the recorder's path, even though the listing reports the recorder's ids for it.
    std::string lower = info.path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (lower.find("vid_") != std::string::npos)
        return false;
    return info.vendorId == RecorderVendorId && info.productId == RecorderProductId;
}

DeviceLink::~DeviceLink()
{
    release();
}

bool DeviceLink::FindDevice()
{
    bool result = false;
    for (const HidInterfaceInfo& info : transport_.enumerate()) {
        if (!isRecorderInterface(info))
            continue;
        result = true;
        // A later match replaces an earlier one: the interface listed last is used, and the
        // handles of the earlier one are closed rather than leaked.
        transport_.close(writeHandle_);
        transport_.close(readHandle_);
        writeHandle_ = transport_.open(info.path, true);
        readHandle_ = transport_.open(info.path, false);
    }
    return result;
}

int DeviceLink::USBWrite(const uint8_t* data, int length)
{
    std::array<uint8_t, HidTransport::FrameSize> frame{};
    length = std::clamp(length, 0, HidTransport::FrameSize - 1);
    std::copy(data, data + length, frame.begin() + 1);
    if (length > 0 && data[0] == command::Start) {
        transport_.discardInput(readHandle_);
        lostAtStart_ = transport_.lostReports();
    }
    return transport_.write(writeHandle_, frame.data());
}

void DeviceLink::release()
{
    transport_.close(writeHandle_);
    transport_.close(readHandle_);
    writeHandle_ = HidTransport::InvalidHandle;
    readHandle_ = HidTransport::InvalidHandle;
}

int DeviceLink::USBRead(uint8_t* destination)
{
    std::array<uint8_t, HidTransport::FrameSize> frame{};
    const int n = transport_.read(readHandle_, frame.data(), ReadTimeoutMs);
    if (n != HidTransport::FrameSize) {
        ++failedReads_;
        return 0;
    }
    std::copy(frame.begin() + 1, frame.end(), destination);
    ++goodReads_;
    return n;
}

int DeviceLink::readArrived()
{
    if (readHandle_ == HidTransport::InvalidHandle)
        return HidTransport::Gone;
    std::array<uint8_t, HidTransport::FrameSize> frame{};
    const int n = transport_.read(readHandle_, frame.data(), 0);
    if (n == HidTransport::FrameSize) {
        std::copy(frame.begin() + 1, frame.end(), inReport_.begin());
        ++goodReads_;
        return n;
    }
    if (n == 0)
        return 0;
    ++failedReads_;
    return HidTransport::Gone;
}
