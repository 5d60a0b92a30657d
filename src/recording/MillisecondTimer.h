#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>

class QTimer;

// Counts the ticks a periodic timer owes. A platform timer of 1 ms fires less often than asked
// (about 900 times a second here); the pacer tells how many ticks are due by the clock, so that
// late ticks are delivered instead of lost and the average rate stays exact.
class TickPacer {
public:
    // Maximum ticks delivered in one timer event, so that a long stall of the GUI thread is made
    // up over several events instead of in one burst that would freeze the window.
    static constexpr int64_t MaxBurst = 50;

    void start(int64_t nowMs, uint32_t intervalMs)
    {
        startMs_ = nowMs;
        interval_ = intervalMs == 0 ? 1 : intervalMs;
        delivered_ = 0;
    }
    // Ticks to deliver now, given the clock; counts them as delivered.
    int64_t due(int64_t nowMs)
    {
        // A platform timer event that comes a few ms early still counts for its tick.
        const int64_t slack = interval_ / 4 < 5 ? interval_ / 4 : 5;
        const int64_t owed = (nowMs - startMs_ + slack) / interval_ - delivered_;
        const int64_t n = owed <= 0 ? 0 : (owed > MaxBurst ? MaxBurst : owed);
        delivered_ += n;
        return n;
    }
    int64_t delivered() const { return delivered_; }

private:
    int64_t startMs_ = 0;
    int64_t interval_ = 1;
    int64_t delivered_ = 0;
};

// The error raised when no timer can be started.
class MillisecondTimerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A periodic millisecond timer whose ticks arrive on the GUI thread. Enabled, Interval and
// Resolution behave as properties: setting Interval or Resolution on a running timer restarts it.
// A tick handler is never run re-entrantly, and ticks owed while the GUI thread was busy are
// delivered late rather than dropped.
class MillisecondTimer : public QObject {
    Q_OBJECT
public:
    // Resolution range of the timer facility (ms).
    static constexpr uint32_t MinResolution = 1;
    static constexpr uint32_t MaxResolution = 1000;

    explicit MillisecondTimer(QObject* owner = nullptr);
    ~MillisecondTimer() override;

    std::function<void()> OnTimer;
    // When set, replaces OnTimer: called once per timer event with the number of ticks due.
    std::function<void(int64_t)> OnTicks;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool value);
    uint32_t Interval() const { return interval_; }
    void setInterval(uint32_t value);
    uint32_t Resolution() const { return resolution_; }
    void setResolution(uint32_t value);

    // The shortest period of the platform timer (ms): below it, one timer event delivers every
    // tick that came due since the last one, so a 1 ms interval does not wake the thread 1000
    // times a second. 0 (the default): the platform timer fires at the interval.
    uint32_t BatchPeriod() const { return batchPeriod_; }
    void setBatchPeriod(uint32_t value) { batchPeriod_ = value; }

    // Number of platform timers started so far (for tests).
    int startCount() const { return startCount_; }

    // Reports an error raised by the tick handler; the timer keeps running. Replaceable by tests.
    std::function<void(const QString&)> reportError;

private:
    void startService();
    void stopService();
    void onPlatformTimer();

    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    TickPacer pacer_;
    bool enabled_ = false;
    uint32_t interval_ = 1000;
    uint32_t resolution_ = 10;
    uint32_t batchPeriod_ = 0;
    bool inHandler_ = false;
    int startCount_ = 0;
};
