#include "device/ReportQueue.h"

#include <chrono>

void ReportQueue::push(const Frame& frame)
{
    push(&frame, 1);
}

void ReportQueue::push(const Frame* frames, size_t count)
{
    if (count == 0)
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return;
        for (size_t i = 0; i < count; ++i) {
            if (frames_.size() >= capacity_) {
                frames_.pop_front();
                ++dropped_;
            }
            frames_.push_back(frames[i]);
        }
        pushed_ += count;
    }
    ready_.notify_one();
}

ReportQueue::Pop ReportQueue::pop(Frame& frame, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const auto ready = [this] { return closed_ || !frames_.empty(); };
    // A look without waiting never enters the condition variable: a wait with a time-out already
    // passed still costs a system call and a context switch.
    if (timeoutMs <= 0 ? !ready() : !ready_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
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
    if (timeoutMs <= 0)
        return fits() && !closed_;
    return room_.wait_for(lock, std::chrono::milliseconds(timeoutMs), fits) && !closed_;
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
