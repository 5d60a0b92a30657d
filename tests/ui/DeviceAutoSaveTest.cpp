// Auto-save in device mode, against the simulated recorder: the device loop writes one line per
// sample, and a write error ends the recording through the loop's own stop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QAction>

#include "files/DataFileWriter.h"
#include "ui/FileDialogs.h"
#include "device/SimulatedRecorder.h"
#include "device/SimulatorSetup.h"
#include "device/DeviceLink.h"
#include "device/DeviceFakes.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/DataFileActions.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

struct DeviceAutoSave : ::testing::Test {
    RecorderState st;
    SimulatedRecorder* sim = nullptr;
    std::unique_ptr<HidTransport> transport;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<RecorderWindow> w;
    QTemporaryDir dir;
    QString answer;
    std::vector<MessageRequest> messages;

    DeviceAutoSave()
    {
        SimulatorConfig config;
        std::string error;
        EXPECT_TRUE(parseSimulatorSetup("ch1=dc:5,ch2=dc:-2.5", config, error)) << error;
        transport = makeSimulatedTransport(config, &sim);
        link = std::make_unique<DeviceLink>(*transport);
        windows().device = link.get();
        deriveColours(st);
        st.ActiveColors = st.SettingsColors;
        w = std::make_unique<RecorderWindow>(st);
        windows().recorder = w.get();
        EXPECT_TRUE(link->FindDevice());
        st.DemoMode = false;
        setFileDialogHook([this](const FileDialogRequest&) { return answer; });
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            return QMessageBox::Ok;
        });
    }
    ~DeviceAutoSave() override
    {
        setFileDialogHook({});
        setMessageHook({});
        windows() = Windows{};
    }
    void arm(const QString& path)
    {
        answer = path;
        fire(child<QAction>(*w, "autoSaveAction"));
    }
    QList<QByteArray> lines(const QString& path) const
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray all = f.readAll();
        all.replace("\r\n", "\n");
        all.chop(1);
        return all.split('\n');
    }
};

TEST_F(DeviceAutoSave, TheDeviceRecordingWritesEverySample)
{
    const QString path = dir.filePath(QStringLiteral("device.txt"));
    timeButton(*w, 12)->click();
    arm(path);
    child<QToolButton>(*w, "singleButton")->click();
    ASSERT_TRUE(runEventsUntil([this] { return st.Idle; }));
    EXPECT_FALSE(st.AutoSaveOn);
    const QList<QByteArray> l = lines(path);
    ASSERT_EQ(l.size(), 12 + 1701 + 2);
    EXPECT_EQ(l[4], QByteArray("100 = 0.1s"));
    for (int n = 0; n < 1701; ++n)
        ASSERT_EQ(l[12 + n], QByteArray::number(n) + "\t640\t448\t512\t512\t" + QByteArray::number(n / 1000) + "." +
                                 QByteArray::number(n % 1000).rightJustified(3, '0') + "\t5.000\t-2.500\t0.000\t0.000")
            << n;
    EXPECT_TRUE(l.back().startsWith("STOP:  \t"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(DeviceAutoSave, AWriteErrorEndsTheRecordingThroughItsStop)
{
    const QString path = dir.filePath(QStringLiteral("device.txt"));
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "needs /dev/full to simulate a full disk";
    timeButton(*w, 12)->click();
    arm(path);
    child<QToolButton>(*w, "runButton")->click();
    // The medium fails after the header: every flush fails from the first sample on.
    int64_t t = 0;
    w->files().autoSaveFile = std::make_shared<datafile::AutoSaveWriter>([&t] { return t += 2000; });
    ASSERT_TRUE(w->files().autoSaveFile->create(QStringLiteral("/dev/full")));
    ASSERT_TRUE(runEventsUntil([this] { return st.Idle; }));
    EXPECT_EQ(st.SampleIndex, 1);  // the sample whose line failed was the last
    EXPECT_FALSE(child<QToolButton>(*w, "runButton")->isChecked());
    EXPECT_FALSE(sim->streaming());
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(lines(path).size(), 12);

    // The header cannot be written: the recording ends before its first batch.
    messages.clear();
    arm(QStringLiteral("/dev/full"));
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_TRUE(w->session->waitingForFirstBatch());
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->session->running());
    EXPECT_TRUE(st.Idle);
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(sim->streaming());
    EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
