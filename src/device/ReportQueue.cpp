#include "device/ReportQueue.h"

#include <chrono>

void ReportQueue::push(const Frame& frame)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return;
        if (frames_.size() >= capacity_) {
            frames_.pop_front();
            ++dropped_;
        }
        frames_.push_back(frame);
        ++pushed_;
    }
    ready_.notify_one();
}

ReportQueue::Pop ReportQueue::pop(Frame& frame, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const auto ready = [this] { return closed_ || !frames_.empty(); };
    if (!ready_.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0), ready))
        return Pop::TimedOut;
    if (frames_.empty())
        return Pop::Closed;
    frame = frames_.front();
    frames_.pop_front();
    lock.unlock();
    room_.notify_one();
    return Pop::Frame;
}

bool ReportQueue::waitForRoom(size_t frames, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const auto fits = [&] { return closed_ || frames_.size() + frames <= capacity_; };
    return room_.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0), fits) && !closed_;
}

void ReportQueue::close(bool discardQueued)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        if (discardQueued)
            frames_.clear();
    }
    ready_.notify_all();
    room_.notify_all();
}

bool ReportQueue::closed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

void ReportQueue::clear()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frames_.clear();
    }
    room_.notify_all();
}

size_t ReportQueue::size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_.size();
}

uint64_t ReportQueue::pushed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return pushed_;
}

uint64_t ReportQueue::dropped() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}
