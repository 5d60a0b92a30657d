#include "device/HidTransport.h"

#include <hidapi.h>

#include <array>
#include <chrono>
#include <cstring>
#ifdef __linux__
#include <pthread.h>
#endif

namespace {

// hidapi backend. Handles are small integers mapped to hid_device pointers, so that the layers
// above never see a library type and the simulated recorder can use the same interface. A read
// handle is read by its reader thread while the GUI thread writes on the write handle, so the
// map is guarded; one hid_device is only ever used by one thread.
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
        std::lock_guard<std::mutex> lock(mutex_);
        const Handle handle = next_++;
        devices_[handle] = device;
        return handle;
    }

    void close(Handle handle) override
    {
        hid_device* device = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = devices_.find(handle);
            if (it == devices_.end())
                return;
            device = it->second;
            devices_.erase(it);
        }
        hid_close(device);
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
            return Gone;
        // hidapi returns the report without the report ID when the device uses none.
        uint8_t report[FrameSize - 1];
        const int n = hid_read_timeout(device, report, sizeof report, timeoutMs);
        if (n < 0)
            return Gone;
        if (n == 0)
            return 0;
        frame[0] = 0;
        std::memset(frame + 1, 0, FrameSize - 1);
        std::memcpy(frame + 1, report, static_cast<size_t>(n));
        return FrameSize;
    }

private:
    hid_device* find(Handle handle) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = devices_.find(handle);
        return it == devices_.end() ? nullptr : it->second;
    }

    bool initialised_ = false;
    mutable std::mutex mutex_;
    std::map<Handle, hid_device*> devices_;
    Handle next_ = 1;
};

}  // namespace

BufferedTransport::BufferedTransport(std::unique_ptr<HidTransport> raw, size_t capacity)
    : raw_(std::move(raw)), capacity_(capacity)
{
}

BufferedTransport::~BufferedTransport()
{
    std::vector<Handle> handles;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& entry : readers_)
            handles.push_back(entry.first);
    }
    for (Handle handle : handles)
        close(handle);
}

HidTransport::Handle BufferedTransport::open(const std::string& path, bool forWriting)
{
    const Handle handle = raw_->open(path, forWriting);
    if (forWriting || handle == InvalidHandle)
        return handle;
    auto reader = std::make_unique<Reader>(capacity_);
    Reader& r = *reader;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        readers_[handle] = std::move(reader);
    }
    r.thread = std::thread([this, handle, &r] { drain(handle, r); });
    return handle;
}

void BufferedTransport::close(Handle handle)
{
    std::unique_ptr<Reader> reader;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = readers_.find(handle);
        if (it != readers_.end()) {
            reader = std::move(it->second);
            readers_.erase(it);
        }
    }
    if (reader) {
        reader->stop = true;
        reader->thread.join();
        std::lock_guard<std::mutex> lock(mutex_);
        closedDropped_ += reader->queue.dropped();
        closedReceived_ += reader->queue.pushed();
        closedSkipped_ += reader->skipped;
    }
    raw_->close(handle);
}

void BufferedTransport::countGap(Reader& reader, const ReportQueue::Frame& frame, int& lastSequence)
{
    if (reader.newStream.exchange(false))
        lastSequence = -1;
    const int sequence = frame[1];
    if (lastSequence >= 0 && sequence != lastSequence)
        reader.skipped += static_cast<uint64_t>((sequence - lastSequence - 1) & 0xFF);
    lastSequence = sequence;
}

void BufferedTransport::drain(Handle handle, Reader& reader)
{
#ifdef __linux__
    pthread_setname_np(pthread_self(), "korvix-reader");
#endif
    // The reports of one wake-up, handed to the queue together: one lock and one wake-up of a
    // waiting reader per hand-over instead of one per report.
    std::array<ReportQueue::Frame, HandOverFrames> taken;
    size_t held = 0;
    const auto handOver = [&] {
        reader.queue.push(taken.data(), held);
        held = 0;
    };
    int lastSequence = -1;  // none yet in this stream
    while (!reader.stop) {
        // Idle: wait for a report. The first one goes on at once, so that an answer to a command
        // is not held back.
        int n = raw_->read(handle, taken[0].data(), ReaderPollMs);
        if (n == FrameSize) {
            countGap(reader, taken[0], lastSequence);
            held = 1;
            handOver();
            // A stream: while reports keep coming, sleep ReaderGatherMs, then take all that has
            // arrived without waiting. One wake-up per gather time, however many reports it brings.
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(ReaderGatherMs));
                size_t got = 0;
                while (!reader.stop && (n = raw_->read(handle, taken[held].data(), 0)) == FrameSize) {
                    countGap(reader, taken[held], lastSequence);
                    ++got;
                    if (++held == taken.size())
                        handOver();
                }
                handOver();
                if (n < 0 || got == 0 || reader.stop)
                    break;
            }
        }
        if (n < 0) {
            // The device is gone: what was read before stays readable, then every read fails at once.
            reader.queue.close(false);
            return;
        }
    }
}

BufferedTransport::Reader* BufferedTransport::readerOf(Handle handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = readers_.find(handle);
    return it == readers_.end() ? nullptr : it->second.get();
}

int BufferedTransport::read(Handle handle, uint8_t* frame, int timeoutMs)
{
    Reader* reader = readerOf(handle);
    if (reader == nullptr)
        return raw_->read(handle, frame, timeoutMs);
    ReportQueue::Frame f;
    switch (reader->queue.pop(f, timeoutMs)) {
        case ReportQueue::Pop::Frame:
            std::memcpy(frame, f.data(), FrameSize);
            return FrameSize;
        case ReportQueue::Pop::TimedOut:
            return 0;
        case ReportQueue::Pop::Closed:
            return Gone;
    }
    return 0;
}

void BufferedTransport::discardInput(Handle handle)
{
    if (Reader* reader = readerOf(handle)) {
        reader->newStream = true;
        reader->queue.clear();
    }
    raw_->discardInput(handle);
}

uint64_t BufferedTransport::dropped() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t n = closedDropped_;
    for (const auto& entry : readers_)
        n += entry.second->queue.dropped();
    return n;
}

uint64_t BufferedTransport::received() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t n = closedReceived_;
    for (const auto& entry : readers_)
        n += entry.second->queue.pushed();
    return n;
}

uint64_t BufferedTransport::skipped() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t n = closedSkipped_;
    for (const auto& entry : readers_)
        n += entry.second->skipped;
    return n;
}

uint64_t BufferedTransport::lostReports() const
{
    return dropped() + skipped();
}

std::unique_ptr<HidTransport> makeHidapiBackend()
{
    return std::make_unique<HidapiTransport>();
}

std::unique_ptr<HidTransport> makeHidapiTransport()
{
    return std::make_unique<BufferedTransport>(makeHidapiBackend());
}
