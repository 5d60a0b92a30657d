#include "device/HidTransport.h"

#include <hidapi.h>

#include <cstring>
#include <map>

namespace {

// hidapi backend. Handles are small integers mapped to hid_device pointers, so that the layers
// above never see a library type and the simulated recorder can use the same interface.
class HidapiTransport final : public HidTransport {
public:
    HidapiTransport() { initialised_ = hid_init() == 0; }
    ~HidapiTransport() override
    {
        for (auto& [handle, device] : devices_)
            hid_close(device);
        if (initialised_)
            hid_exit();
    }

    std::vector<HidInterfaceInfo> enumerate() override
    {
        std::vector<HidInterfaceInfo> result;
        if (!initialised_)
            return result;
        hid_device_info* list = hid_enumerate(0, 0);
        for (hid_device_info* d = list; d != nullptr; d = d->next) {
            HidInterfaceInfo info;
            info.path = d->path != nullptr ? d->path : "";
            info.vendorId = d->vendor_id;
            info.productId = d->product_id;
            result.push_back(std::move(info));
        }
        hid_free_enumeration(list);
        return result;
    }

    Handle open(const std::string& path, bool) override
    {
        if (!initialised_)
            return InvalidHandle;
        hid_device* device = hid_open_path(path.c_str());
        if (device == nullptr)
            return InvalidHandle;
        const Handle handle = next_++;
        devices_[handle] = device;
        return handle;
    }

    void close(Handle handle) override
    {
        auto it = devices_.find(handle);
        if (it == devices_.end())
            return;
        hid_close(it->second);
        devices_.erase(it);
    }

    int write(Handle handle, const uint8_t* frame) override
    {
        hid_device* device = find(handle);
        if (device == nullptr)
            return 0;
        return hid_write(device, frame, FrameSize) == FrameSize ? FrameSize : 0;
    }

    int read(Handle handle, uint8_t* frame, int timeoutMs) override
    {
        hid_device* device = find(handle);
        if (device == nullptr)
            return 0;
        // hidapi returns the report without the report ID when the device uses none.
        uint8_t report[FrameSize - 1];
        const int n = hid_read_timeout(device, report, sizeof report, timeoutMs);
        if (n <= 0)
            return 0;
        frame[0] = 0;
        std::memset(frame + 1, 0, FrameSize - 1);
        std::memcpy(frame + 1, report, static_cast<size_t>(n));
        return FrameSize;
    }

private:
    hid_device* find(Handle handle) const
    {
        auto it = devices_.find(handle);
        return it == devices_.end() ? nullptr : it->second;
    }

    bool initialised_ = false;
    std::map<Handle, hid_device*> devices_;
    Handle next_ = 1;
};

}  // namespace

std::unique_ptr<HidTransport> makeHidapiTransport()
{
    return std::make_unique<HidapiTransport>();
}
