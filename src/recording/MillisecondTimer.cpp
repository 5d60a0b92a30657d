#include "recording/MillisecondTimer.h"

#include <QTimer>
#include <algorithm>

MillisecondTimer::MillisecondTimer(QObject* owner) : QObject(owner)
{
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &MillisecondTimer::onPlatformTimer);
}

MillisecondTimer::~MillisecondTimer()
{
    setEnabled(false);
}

void MillisecondTimer::setEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    if (value && interval_ > 0 && resolution_ > 0 && (OnTimer || OnTicks))
        startService();
    else
        stopService();
}

void MillisecondTimer::setInterval(uint32_t value)
{
    if (value == interval_)
        return;
    if (enabled_) {
        setEnabled(false);
        interval_ = value;
        setEnabled(true);
    } else {
        interval_ = value;
    }
}

void MillisecondTimer::setResolution(uint32_t value)
{
    value = std::clamp(value, MinResolution, MaxResolution);
    if (value == resolution_)
        return;
    if (enabled_) {
        setEnabled(false);
        resolution_ = value;
        setEnabled(true);
    } else {
        resolution_ = value;
    }
}

void MillisecondTimer::startService()
{
    clock_.start();
    pacer_.start(0, interval_);
    // The platform timer fires at the interval; for long intervals it is the pacer that decides,
    // so a timer event a little early is simply followed by the next one.
    timer_->start(static_cast<int>(std::min<uint32_t>(std::max(interval_, batchPeriod_), 1000)));
    ++startCount_;
}

void MillisecondTimer::stopService()
{
    timer_->stop();
}

void MillisecondTimer::onPlatformTimer()
{
    if (inHandler_)
        return;  // a handler that pumps events must not be entered again; the pacer keeps the count
    inHandler_ = true;
    int64_t n = pacer_.due(clock_.elapsed());
    if (OnTicks) {
        if (n > 0 && enabled_) {
            try {
                OnTicks(n);
            } catch (const std::exception& e) {
                if (reportError)
                    reportError(QString::fromLocal8Bit(e.what()));
            }
        }
        inHandler_ = false;
        return;
    }
    while (n-- > 0 && enabled_ && OnTimer) {
        try {
            OnTimer();
        } catch (const std::exception& e) {
            if (reportError)
                reportError(QString::fromLocal8Bit(e.what()));
        }
    }
    inHandler_ = false;
}
