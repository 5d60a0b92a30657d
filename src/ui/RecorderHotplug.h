#pragma once

#include <QDateTime>
#include <QObject>

#include "recording/RecordingSession.h"

class DeviceLink;
class RecorderWatcher;
class RecorderWindow;

// The recorder window's side of a recorder that may come and go. While no recording runs, a
// recorder plugged in is taken into use (the window leaves demo mode, Calibrate is enabled, the
// stored offset is sent) and one pulled out leaves the window in demo mode; a recording that ends
// because its recorder vanished or went silent is told in one message with the time of the loss,
// and the next look finds a replugged recorder afresh.
class RecorderHotplug : public QObject {
    Q_OBJECT
public:
    RecorderHotplug(RecorderWindow& window, DeviceLink& link, QObject* parent = nullptr);
    ~RecorderHotplug() override;

    // Starts looking at the HID list (once the hand-over has settled whether a recorder is there).
    void start();
    RecorderWatcher& watcher() { return *watcher_; }

private:
    bool idle() const;
    void connected();
    void disconnected();
    void recordingStopped(StopReason reason);

    RecorderWindow& w_;
    DeviceLink& link_;
    RecorderWatcher* watcher_ = nullptr;
    QDateTime lostAt_;
};
