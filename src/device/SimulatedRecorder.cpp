#include "device/SimulatedRecorder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#ifdef __linux__
#include <pthread.h>
#endif

#include "device/Commands.h"
#include "device/DeviceLink.h"

SimulatorModel::SimulatorModel(const SimulatorConfig& config, uint32_t noiseSeed) : config_(config), random_(noiseSeed)
{
}

int SimulatorModel::rangeOf(int gainCode, bool dividerBit)
{
    static constexpr std::array<int, 4> full{200, 80, 20, 8};
    const int r = full[static_cast<size_t>(std::clamp(gainCode, 0, 3))];
    return dividerBit ? r : r / 2;
}

void SimulatorModel::command(const uint8_t* report)
{
    switch (report[0]) {
        case command::Stop:
            streaming_ = false;
            break;
        case command::Start:
            streaming_ = true;
            break;
        case command::SetRanges:
            for (size_t c = 0; c < 4; ++c) {
                if (report[1 + c] > 3)
                    continue;
                divider_[c] = report[5 + c] != 0;
                range_[c] = rangeOf(report[1 + c], divider_[c]);
            }
            break;
        case command::SetOffset:
            offset_ = report[1] * 4 + (report[2] & 3);
            break;
        default:
            break;
    }
}

int SimulatorModel::reading(int channel, double volts, int noise) const
{
    const size_t c = static_cast<size_t>(channel);
    const long ideal = std::lround(512.0 + volts * 5120.0 / range_[c]);
    const long r = ideal + config_.zero + (divider_[c] ? 0 : config_.zero4) - (offset_ - 512) + noise;
    return static_cast<int>(std::clamp(r, 0L, 1023L));
}

void SimulatorModel::fillReport(int64_t ms, uint8_t sequence, uint8_t* report)
{
    std::memset(report, 0, 64);
    report[0] = sequence;
    const double t = static_cast<double>(ms) / 1000.0;
    std::uniform_int_distribution<int> noise(-config_.noise, config_.noise);
    for (int c = 0; c < 4; ++c) {
        const double volts = disconnected_ ? 0.0 : config_.channels[static_cast<size_t>(c)].voltsAt(t);
        const int r = reading(c, volts, config_.noise > 0 ? noise(random_) : 0);
        report[2 + c] = static_cast<uint8_t>(r >> 2);
        report[6 + c] = static_cast<uint8_t>((r & 3) << 6);
    }
}

SimulatedRecorder::SimulatedRecorder(const SimulatorConfig& config) : model_(config)
{
    thread_ = std::thread([this] { run(); });
}

SimulatedRecorder::~SimulatedRecorder()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (printSummary_)
        std::fprintf(stderr, "%s\n", summary().c_str());
}

std::vector<HidInterfaceInfo> SimulatedRecorder::enumerate()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (unplugged_)
        return {};
    return {HidInterfaceInfo{DevicePath, RecorderVendorId, RecorderProductId}};
}

HidTransport::Handle SimulatedRecorder::open(const std::string& path, bool)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (unplugged_ || path != DevicePath || model_.config().noAccess)
        return InvalidHandle;
    const Handle handle = next_++;
    handles_.insert(handle);
    return handle;
}

void SimulatedRecorder::close(Handle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    handles_.erase(handle);
}

int SimulatedRecorder::write(Handle handle, const uint8_t* frame)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (unplugged_ || !openHandle(handle))
            return 0;
        const bool wasStreaming = model_.streaming();
        model_.command(frame + 1);
        if (model_.streaming() && !wasStreaming) {
            runStart_ = std::chrono::steady_clock::now();
            producedThisRun_ = 0;
            ++runNumber_;
        }
    }
    wake_.notify_all();
    return FrameSize;
}

int SimulatedRecorder::read(Handle handle, uint8_t* frame, int timeoutMs)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (unplugged_ || !openHandle(handle))
            return Gone;
    }
    ReportQueue::Frame f;
    switch (queue_.pop(f, timeoutMs)) {
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

void SimulatedRecorder::discardInput(Handle)
{
    queue_.clear();
}

void SimulatedRecorder::setInputsDisconnected(bool disconnected)
{
    std::lock_guard<std::mutex> lock(mutex_);
    model_.setInputsDisconnected(disconnected);
}

void SimulatedRecorder::run()
{
    using namespace std::chrono;
#ifdef __linux__
    pthread_setname_np(pthread_self(), "korvix-sim");
#endif
    const SimulatorConfig& config = model_.config();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (!model_.streaming() || unplugged_ || stalled_) {
            wake_.wait(lock);
            continue;
        }
        // One report per millisecond of wall time since the start command; a late wake-up
        // catches up, so the count follows the clock and not the scheduler.
        const int64_t due = duration_cast<milliseconds>(steady_clock::now() - runStart_).count();
        const uint64_t run = runNumber_;
        bool readerAway = false;
        while (producedThisRun_ < due) {
            // Reports of a late burst should have gone out one by one, and a reader that keeps up
            // would have taken them: wait for it to make room rather than drop for the simulator's
            // own lateness. A reader that does not come within LateBurstWaitMs loses the oldest.
            if (!readerAway && due - producedThisRun_ > 1 &&
                queue_.size() + static_cast<size_t>(config.repeat) > KernelQueueReports) {
                lock.unlock();
                readerAway = !queue_.waitForRoom(static_cast<size_t>(config.repeat), LateBurstWaitMs);
                lock.lock();
                // A stop command that came while the lock was free ends the burst: the recorder
                // sends nothing after a stop.
                if (quit_ || unplugged_ || run != runNumber_ || !model_.streaming())
                    break;
            }
            if (config.unplugMs >= 0 && streamedMs_ >= config.unplugMs) {
                unplugged_ = true;
                queue_.close(true);
                break;
            }
            if (config.stallMs >= 0 && streamedMs_ >= config.stallMs) {
                stalled_ = true;
                break;
            }
            ReportQueue::Frame frame{};
            model_.fillReport(streamedMs_, static_cast<uint8_t>((streamedMs_ + 1) & 0xFF), frame.data() + 1);
            for (int k = 0; k < config.repeat; ++k)
                queue_.push(frame);
            ++streamedMs_;
            ++producedThisRun_;
        }
        wake_.wait_until(lock, runStart_ + milliseconds(producedThisRun_ + 1));
    }
}

bool SimulatedRecorder::streaming() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.streaming() && !unplugged_ && !stalled_;
}

bool SimulatedRecorder::unplugged() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return unplugged_;
}

int64_t SimulatedRecorder::streamedMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return streamedMs_;
}

int SimulatedRecorder::channelRange(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.channelRange(channel);
}

int SimulatedRecorder::offset() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.offset();
}

std::string SimulatedRecorder::summary() const
{
    return "simulated recorder: " + std::to_string(sent()) + " reports sent, " + std::to_string(dropped()) + " dropped";
}

std::unique_ptr<HidTransport> makeSimulatedTransport(const SimulatorConfig& config, SimulatedRecorder** recorder)
{
    auto simulator = std::make_unique<SimulatedRecorder>(config);
    if (recorder != nullptr)
        *recorder = simulator.get();
    return std::make_unique<BufferedTransport>(std::move(simulator));
}
