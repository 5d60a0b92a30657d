#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

// A bounded first-in first-out queue of 65-byte frames between a producing thread and a reading
// one. When it is full the oldest frame goes, as the kernel does with unread HID reports, and the
// loss is counted. Once closed (the device is gone) a reader gets what is left, if it was kept,
// and then nothing more, at once.
class ReportQueue {
public:
    static constexpr int FrameSize = 65;
    using Frame = std::array<uint8_t, FrameSize>;

    enum class Pop { Frame, TimedOut, Closed };

    explicit ReportQueue(size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}

    // Appends a frame; drops the oldest one when the queue is full.
    void push(const Frame& frame);
    // Appends `count` frames in order under one lock and wakes a waiting reader once, as push()
    // would one by one (the oldest go when the queue is full).
    void push(const Frame* frames, size_t count);
    // Waits up to timeoutMs for the next frame. A closed queue that is empty answers Closed at once.
    Pop pop(Frame& frame, int timeoutMs);
    // No more frames will come; waiting readers are woken. `discardQueued` forgets the frames not
    // read yet (a removed device's kernel buffer goes with it); otherwise they can still be read.
    void close(bool discardQueued);
    bool closed() const;
    // Forgets the frames not read yet (they are not counted as dropped).
    void clear();
    // Waits up to timeoutMs until `frames` more frames fit without a drop (or the queue is closed).
    // Returns whether they fit.
    bool waitForRoom(size_t frames, int timeoutMs);

    size_t size() const;
    size_t capacity() const { return capacity_; }
    uint64_t pushed() const;
    uint64_t dropped() const;

private:
    const size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    std::deque<Frame> frames_;
    bool closed_ = false;
    uint64_t pushed_ = 0;
    uint64_t dropped_ = 0;
};
