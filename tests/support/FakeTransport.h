#pragma once

#include <array>
#include <vector>

#include "device/HidTransport.h"

// A transport with a fixed list of interfaces that records every frame written to it and
// fails every read: enough to drive discovery and the commands without hardware.
class FakeTransport : public HidTransport {
public:
    std::vector<HidInterfaceInfo> interfaces;
    std::vector<std::array<uint8_t, FrameSize>> written;
    std::vector<std::string> opened;
    std::vector<Handle> closed;

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
        if (handle == InvalidHandle)
            return 0;
        std::array<uint8_t, FrameSize> f{};
        std::copy(frame, frame + FrameSize, f.begin());
        written.push_back(f);
        return FrameSize;
    }
    int read(Handle, uint8_t*, int) override { return 0; }
};
