#include "ui/RecorderHotplug.h"

#include <QAction>
#include <QLabel>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "device/RecorderWatcher.h"
#include "recording/DemoSource.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderWindow.h"

RecorderHotplug::RecorderHotplug(RecorderWindow& window, DeviceLink& link, QObject* parent)
    : QObject(parent), w_(window), link_(link)
{
    watcher_ = new RecorderWatcher(
        link_, [this] { return idle(); }, this);
    connect(watcher_, &RecorderWatcher::recorderConnected, this, &RecorderHotplug::connected);
    connect(watcher_, &RecorderWatcher::recorderDisconnected, this, &RecorderHotplug::disconnected);
    // The moment the session gives the recorder up is the time the message tells.
    connect(w_.session, &RecordingSession::recorderLost, this, [this] { lostAt_ = QDateTime::currentDateTime(); });
    connect(w_.session, &RecordingSession::stopped, this, &RecorderHotplug::recordingStopped);
}

RecorderHotplug::~RecorderHotplug() = default;

void RecorderHotplug::start()
{
    watcher_->start();
}

bool RecorderHotplug::idle() const
{
    // The link belongs to a recording from its start sequence to its stop sequence.
    return w_.st.Idle && !w_.session->running();
}

void RecorderHotplug::connected()
{
    RecorderState& st = w_.st;
    w_.showRecorderConnected(true);
    if (st.DemoMode) {
        st.DemoMode = false;
        // The demo mark goes from the screen.
        w_.screen.drawText(QStringLiteral("DEMO"), w_.screen.demoMarkX(), Screen::TopTextY,
                           st.ActiveColors[Background]);
        w_.screen.refreshImage();
    }
    // The recorder starts with its own offset: the stored one is sent, as at the start.
    link_.sendOffset(st.HwOffset);
}

void RecorderHotplug::disconnected()
{
    RecorderState& st = w_.st;
    w_.showRecorderConnected(false);
    if (!st.DemoMode) {
        // Without a recorder Run records the demo signals, on the ranges and time base chosen.
        st.DemoMode = true;
        st.DemoStep = 1;
        w_.rebuildDemoSignals();
        w_.screen.refreshImage();
    }
}

void RecorderHotplug::recordingStopped(StopReason reason)
{
    if (reason != StopReason::RecorderLost)
        return;
    const QDateTime when = lostAt_.isValid() ? lostAt_ : QDateTime::currentDateTime();
    lostAt_ = QDateTime();
    // The handles go; the window shows "KORVIX not connected" and the next look at the list opens a
    // replugged recorder afresh.
    watcher_->recorderLost();
    const QString text = RecorderWatcher::lossMessage(when);
    // Told once the stop sequence is over, unless the program is ending by then.
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            if (windows().programEnding)
                return;
            showMessage(&w_, {QMessageBox::Warning, {}, text, QMessageBox::Ok});
        },
        Qt::QueuedConnection);
}
