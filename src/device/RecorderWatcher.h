#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

class DeviceLink;
class QTimer;

// Notices a recorder that is plugged in or pulled out while no recording runs, by looking at the
// HID list about once a second (a list costs no transfer, so it disturbs nothing). A recorder that
// appears is opened through the link, which is then used as if it had been there at the start; one
// that disappears lets the link's handles go, so that the next one opens afresh.
class RecorderWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int PollMs = 1000;

    // `idle` says whether the link may be touched now (no recording, calibration or transfer).
    RecorderWatcher(DeviceLink& link, std::function<bool()> idle, QObject* parent = nullptr);

    void start();
    void stop();
    // One look at the HID list now (the timer calls this).
    void poll();
    // A recording ended because the recorder vanished or went silent: its handles are let go, so
    // that the next look opens the recorder afresh when it is (again) there.
    void recorderLost();

    // The message of a recording that ended because the recorder vanished or went silent at `when`.
    static QString lossMessage(const QDateTime& when);

signals:
    void recorderConnected();
    void recorderDisconnected();

private:
    bool present();

    DeviceLink& link_;
    std::function<bool()> idle_;
    QTimer* timer_ = nullptr;
};
