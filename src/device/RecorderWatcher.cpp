#include "device/RecorderWatcher.h"

#include <QTimer>

#include "device/DeviceLink.h"

RecorderWatcher::RecorderWatcher(DeviceLink& link, std::function<bool()> idle, QObject* parent)
    : QObject(parent), link_(link), idle_(std::move(idle)), timer_(new QTimer(this))
{
    timer_->setInterval(PollMs);
    connect(timer_, &QTimer::timeout, this, &RecorderWatcher::poll);
}

void RecorderWatcher::start()
{
    timer_->start();
}

void RecorderWatcher::stop()
{
    timer_->stop();
}

bool RecorderWatcher::present()
{
    for (const HidInterfaceInfo& info : link_.transport().enumerate())
        if (isRecorderInterface(info))
            return true;
    return false;
}

void RecorderWatcher::poll()
{
    if (idle_ && !idle_())
        return;
    const bool there = present();
    if (there && !link_.opened()) {
        link_.release();
        if (link_.FindDevice() && link_.opened()) {
            emit recorderConnected();
        } else {
            // Found but not opened (no access): tried again at the next look.
            link_.release();
        }
    } else if (!there && link_.found()) {
        link_.release();
        emit recorderDisconnected();
    }
}

void RecorderWatcher::recorderLost()
{
    const bool wasFound = link_.found();
    link_.release();
    if (wasFound)
        emit recorderDisconnected();
}

QString RecorderWatcher::lossMessage(const QDateTime& when)
{
    return QStringLiteral(
               "The recording stopped at %1: the KORVIX was unplugged or stopped sending.\r"
               "Plug it in again; it is used as soon as it is there.")
        .arg(when.time().toString(QStringLiteral("HH:mm:ss")));
}
