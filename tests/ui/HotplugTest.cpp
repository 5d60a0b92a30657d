// The recorder window with a recorder that is pulled out and plugged in again: while idle the window
// follows it within one look at the HID list (status text, Calibrate, demo mode, the stored offset
// sent again) and records from a replugged recorder without a restart; a recording that loses its
// recorder ends with one message that tells the time of the loss.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <mutex>

#include "device/Commands.h"
#include "device/DeviceFakes.h"
#include "device/DeviceLink.h"
#include "device/RecorderWatcher.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/RecorderHotplug.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

// A recorder on a cable: listed, opened and streaming while plugged in; pulled out, it is no longer
// listed and every transfer fails. From each start command on it has one report per millisecond of wall time waiting
// with the readings `Level`. Read by the link's reader thread while the test thread writes.
class CabledRecorder : public HidTransport {
public:
    static constexpr const char* Path = "/dev/hidraw5";
    static constexpr int Level = 700;

    std::atomic<bool> plugged{true};

    std::vector<HidInterfaceInfo> enumerate() override
    {
        if (!plugged)
            return {};
        return {{Path, RecorderVendorId, RecorderProductId}};
    }
    Handle open(const std::string&, bool forWriting) override
    {
        if (!plugged)
            return InvalidHandle;
        return forWriting ? 1 : 2;
    }
    void close(Handle) override {}
    int write(Handle, const uint8_t* frame) override
    {
        if (!plugged)
            return Gone;
        std::lock_guard<std::mutex> lock(mutex_);
        Frame f{};
        std::copy(frame, frame + FrameSize, f.begin());
        written_.push_back(f);
        if (frame[1] == 2) {
            streaming_ = true;
            startedAt_ = Clock::now();
            sent_ = 0;
        } else if (frame[1] == 1)
            streaming_ = false;
        return FrameSize;
    }
    int read(Handle, uint8_t* frame, int) override
    {
        if (!plugged)
            return Gone;
        std::lock_guard<std::mutex> lock(mutex_);
        // Like the kernel's queue: the reports that wall time has made due since the start command.
        const auto due = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - startedAt_).count();
        if (!streaming_ || sent_ >= due)
            return 0;
        ++sent_;
        const Frame f = frameOf(inputReport(++sequence_, {Level, Level, Level, Level}));
        std::copy(f.begin(), f.end(), frame);
        return FrameSize;
    }
    std::vector<Frame> written()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return written_;
    }
    void forgetWritten()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        written_.clear();
    }

private:
    using Clock = std::chrono::steady_clock;
    std::mutex mutex_;
    Clock::time_point startedAt_;
    int64_t sent_ = 0;
    std::vector<Frame> written_;
    bool streaming_ = false;
    uint8_t sequence_ = 0;
};

struct Hotplug : ::testing::Test {
    RecorderState st;
    CabledRecorder* recorder = nullptr;
    std::unique_ptr<HidTransport> transport;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<RecorderWindow> w;
    RecorderHotplug* hotplug = nullptr;
    std::vector<MessageRequest> messages;

    void SetUp() override
    {
        auto cabled = std::make_unique<CabledRecorder>();
        recorder = cabled.get();
        transport = std::move(cabled);
        link = std::make_unique<DeviceLink>(*transport);
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        Windows& win = windows();
        win.device = link.get();
        w = std::make_unique<RecorderWindow>(st);
        win.recorder = w.get();
        hotplug = new RecorderHotplug(*w, *link, w.get());
        win.hotplug = hotplug;
        // The hand-over found the recorder.
        ASSERT_TRUE(w->probeRecorder());
        st.DemoMode = false;
        child<QLabel>(*w, "deviceStatusLabel")->setText(QStringLiteral("KORVIX connected"));
    }
    void TearDown() override
    {
        setMessageHook({});
        w.reset();
        windows() = Windows{};
    }
    // A Run of about `samples` samples; returns whether it took samples at all.
    bool record(int samples)
    {
        child<QToolButton>(*w, "runButton")->click();
        const bool took = runEventsUntil([this, samples] { return st.SampleIndex >= samples; }, 8000);
        if (w->session->running())
            child<QToolButton>(*w, "runButton")->click();
        runEventsUntil([this] { return !w->session->running(); });
        return took;
    }
    bool sentOffset()
    {
        for (const Frame& f : recorder->written())
            if (f[1] == command::SetOffset)
                return true;
        return false;
    }
};

}  // namespace

// Pulled out and plugged in again while idle: each look at the list updates the window, and the
// replugged recorder records without a restart.
TEST_F(Hotplug, IdleUnplugAndReplugAreFollowed)
{
    recorder->plugged = false;
    hotplug->watcher().poll();
    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX not connected"));
    EXPECT_FALSE(child<QAction>(*w, "calibrateAction")->isEnabled());
    EXPECT_TRUE(st.DemoMode);
    EXPECT_FALSE(link->found());

    // Without the recorder Run records the demo signals.
    EXPECT_TRUE(record(3));
    EXPECT_NE(st.DemoPhase, 0) << "the demo signals stand still";
    EXPECT_TRUE(messages.empty());

    recorder->forgetWritten();
    recorder->plugged = true;
    hotplug->watcher().poll();
    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX connected"));
    EXPECT_TRUE(child<QAction>(*w, "calibrateAction")->isEnabled());
    EXPECT_FALSE(st.DemoMode);
    EXPECT_TRUE(sentOffset());

    ASSERT_TRUE(record(5));
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(st.sample(0, p), CabledRecorder::Level) << "position " << p;
    EXPECT_TRUE(messages.empty());
}

// A recorder pulled out during a recording: one message with the time of the loss, the window
// without recorder; plugged in again, it is used by the next Run.
TEST_F(Hotplug, ALossDuringARecordingIsToldOnceAndTheReturnIsUsed)
{
    child<QToolButton>(*w, "runButton")->click();
    ASSERT_TRUE(runEventsUntil([this] { return st.SampleIndex >= 3; }, 8000));
    const QDateTime pulled = QDateTime::currentDateTime();
    recorder->plugged = false;
    ASSERT_TRUE(runEventsUntil([this] { return !w->session->running(); }));
    runEventsUntil([this] { return !messages.empty(); }, 2000);
    QCoreApplication::processEvents();

    ASSERT_EQ(messages.size(), 1u);
    const QString expected = RecorderWatcher::lossMessage(pulled);
    const QString later = RecorderWatcher::lossMessage(pulled.addSecs(1));
    EXPECT_TRUE(messages[0].text == expected || messages[0].text == later) << messages[0].text.toStdString();
    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX not connected"));
    EXPECT_FALSE(child<QAction>(*w, "calibrateAction")->isEnabled());
    EXPECT_FALSE(child<QToolButton>(*w, "runButton")->isChecked());

    // Further looks while it stays away change nothing and tell nothing.
    hotplug->watcher().poll();
    EXPECT_EQ(messages.size(), 1u);

    recorder->plugged = true;
    hotplug->watcher().poll();
    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX connected"));
    EXPECT_TRUE(child<QAction>(*w, "calibrateAction")->isEnabled());
    ASSERT_TRUE(record(5));
    EXPECT_EQ(st.sample(0, 2), CabledRecorder::Level);
    EXPECT_EQ(messages.size(), 1u);
}

// While a recording runs the list is not looked at: the recording owns the link.
TEST_F(Hotplug, NoLookDuringARecording)
{
    child<QToolButton>(*w, "runButton")->click();
    ASSERT_TRUE(runEventsUntil([this] { return st.SampleIndex >= 2; }, 8000));
    recorder->forgetWritten();
    hotplug->watcher().poll();
    EXPECT_TRUE(recorder->written().empty());
    EXPECT_TRUE(link->opened());
    child<QToolButton>(*w, "runButton")->click();
    runEventsUntil([this] { return !w->session->running(); });
}
