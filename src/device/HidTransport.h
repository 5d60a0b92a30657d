#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

    virtual ~HidTransport() = default;

    virtual std::vector<HidInterfaceInfo> enumerate() = 0;
    virtual Handle open(const std::string& path, bool forWriting) = 0;
    virtual void close(Handle handle) = 0;
    // Returns FrameSize on success, 0 on failure.
    virtual int write(Handle handle, const uint8_t* frame) = 0;
    // Blocks until a frame arrives or timeoutMs passes. Returns FrameSize on success, 0 on failure
    // or time-out; a failed read leaves `frame` unchanged.
    virtual int read(Handle handle, uint8_t* frame, int timeoutMs) = 0;
};

// The real recorder through hidapi (hidraw on Linux, SetupAPI and ReadFile/WriteFile on Windows).
std::unique_ptr<HidTransport> makeHidapiTransport();
