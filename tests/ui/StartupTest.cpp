// Start-up and shutdown through the shell: settings read, device probe, hand-over, settings
// written at close, "Restore Default Settings & Exit" and the "Run anyway?" question.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "device/DeviceLink.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "app/StartupShell.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"
#include "device/DeviceFakes.h"

namespace {

// One program run: the shell, the recorder window and the "Add Text" window over a fake
// transport, with every message box answered by `answer` and recorded.
struct ProgramRun {
    RecorderState st;
    AppSettings settings;
    ScriptedTransport transport;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<StartupShell> shell;
    std::unique_ptr<RecorderWindow> recorder;
    std::unique_ptr<AddTextWindow> addText;
    QStringList messages;

    explicit ProgramRun(bool devicePresent, QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        if (devicePresent)
            transport.interfaces.push_back({"/dev/hidraw3", RecorderVendorId, RecorderProductId});
        setMessageHook([this, answer](const MessageRequest& r) {
            messages << r.text;
            return answer;
        });
        link = std::make_unique<DeviceLink>(transport);
        Windows& w = windows();
        w.device = link.get();
        shell = std::make_unique<StartupShell>(st, settings);
        recorder = std::make_unique<RecorderWindow>(st);
        w.recorder = recorder.get();
        shell->attach(*recorder);
        addText = std::make_unique<AddTextWindow>();
        w.addText = addText.get();
    }
    ~ProgramRun()
    {
        setMessageHook({});
        windows() = Windows{};
    }
    void handOver() { shell->handOver(); }
};

struct Startup : ::testing::Test {
    QTemporaryDir home;
    QString settingsPath;

    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
        qputenv("HOME", home.path().toUtf8());
        settingsPath = home.path() + "/data/Lumivale/KORVIX/KORVIX.ini";
    }
    QString settings() const
    {
        QFile f(settingsPath);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    void writeSettings(const QByteArray& text) const
    {
        QFile f(settingsPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

TEST_F(Startup, FirstStartWithoutRecorderRunsTheDemoAndWritesTheSettingsAtClose)
{
    {
        ProgramRun run(false);
        EXPECT_TRUE(QDir(home.path() + "/data/Lumivale/KORVIX").exists());
        // The running mark is on disk from the start.
        EXPECT_TRUE(settings().contains("Running=1\r\n"));
        run.handOver();
        EXPECT_EQ(child<QLabel>(*run.recorder, "deviceStatusLabel")->text(), QStringLiteral("KORVIX not connected"));
        EXPECT_TRUE(run.st.DemoMode);
        EXPECT_FALSE(child<QAction>(*run.recorder, "calibrateAction")->isEnabled());
        ASSERT_EQ(run.messages.size(), 1);
        EXPECT_EQ(run.messages[0], QStringLiteral("Software runs in demo mode.\rClick 'Run' to start the demo."));
        EXPECT_TRUE(run.recorder->isVisible());
        EXPECT_FALSE(run.shell->isVisible());
        EXPECT_TRUE(QDir(run.settings.dataDir).exists());
        EXPECT_TRUE(run.settings.dataDir.endsWith("/My KORVIX"));
        EXPECT_FALSE(windows().programEnding);
        run.recorder->close();
        EXPECT_TRUE(run.shell->closed());
        EXPECT_TRUE(windows().programEnding) << "queued messages are dropped from here on";
    }
    const QString expected = QStringLiteral(
        "[Status]\r\nRunning=0\r\n\r\n"
        "[MainForm]\r\nTop=35\r\nLeft=19\r\nWidth=747\r\nHeight=528\r\nStatus=1\r\n\r\n"
        "[EditForm]\r\nWidth=301\r\nHeight=265\r\n\r\n"
        "[Hardware]\r\nDemoMode=1\r\nOffset=512\r\nOffset4=0\r\nHWdialog=1\r\n\r\n"
        "[Menu]\r\nSkin=4\r\n\r\n"
        "[Colors]\r\nBackground=0\r\nCh1=16711680\r\nCh2=65280\r\nCh3=65535\r\nCh4=255\r\n"
        "Dark_Grid=8388608\r\nBright_Grid=16711680\r\nTime_Marker=16776960\r\n");
    EXPECT_EQ(settings(), expected);
}

TEST_F(Startup, RecorderFoundSendsTheStoredOffsetAndClearsTheFirstRunFlag)
{
    QDir().mkpath(home.path() + "/data/Lumivale/KORVIX");
    writeSettings("[Hardware]\r\nOffset=1023\r\nHWdialog=0\r\n");
    ProgramRun run(true);
    run.handOver();
    EXPECT_EQ(child<QLabel>(*run.recorder, "deviceStatusLabel")->text(), QStringLiteral("KORVIX connected"));
    EXPECT_FALSE(run.st.DemoMode);
    EXPECT_TRUE(child<QAction>(*run.recorder, "calibrateAction")->isEnabled());
    EXPECT_TRUE(run.messages.isEmpty());
    ASSERT_FALSE(run.transport.written.empty());
    const auto& frame = run.transport.written.back();
    EXPECT_EQ(frame[0], 0);  // report ID
    EXPECT_EQ(frame[1], 4);
    EXPECT_EQ(frame[2], 255);
    EXPECT_EQ(frame[3], 3);
}

TEST_F(Startup, RunningMarkAsksWithARecorderAndNoEndsTheProgram)
{
    QDir().mkpath(home.path() + "/data/Lumivale/KORVIX");
    writeSettings("[Status]\r\nRunning=1\r\n");
    {
        ProgramRun run(true, QMessageBox::No);
        run.handOver();
        ASSERT_EQ(run.messages.size(), 1);
        EXPECT_TRUE(run.messages[0].endsWith("Run anyway?"));
        EXPECT_TRUE(run.shell->closed());
        EXPECT_FALSE(run.recorder->isVisible());
    }
    EXPECT_TRUE(settings().contains("Running=0\r\n"));

    writeSettings("[Status]\r\nRunning=1\r\n");
    ProgramRun demo(false);
    demo.handOver();
    ASSERT_EQ(demo.messages.size(), 1);  // only the demo message: without a recorder it does not ask
    EXPECT_TRUE(demo.messages[0].startsWith("Software runs in demo mode."));
}

TEST_F(Startup, GeometryComesBackAndRestoreDefaultsDeletesTheFile)
{
    {
        ProgramRun run(false);
        run.handOver();
        run.recorder->move(60, 70);
        run.recorder->resize(800, 560);
        run.addText->resize(350, 300);
        run.recorder->close();
    }
    EXPECT_TRUE(settings().contains("Left=60\r\n"));
    {
        ProgramRun run(false);
        run.handOver();
        EXPECT_EQ(run.recorder->pos(), QPoint(60, 70));
        EXPECT_EQ(run.recorder->size(), QSize(800, 560));
        EXPECT_EQ(run.addText->size(), QSize(350, 300));
        EXPECT_EQ(run.addText->pos(), QPoint(60 + 800 - 350, 70));
        fire(child<QAction>(*run.recorder, "restoreDefaultsAction"));
    }
    EXPECT_FALSE(QFile::exists(settingsPath));
    EXPECT_TRUE(QDir(home.path() + "/data/Lumivale/KORVIX").exists());
}

TEST_F(Startup, DamagedSettingsStillStartUsable)
{
    QDir().mkpath(home.path() + "/data/Lumivale/KORVIX");
    writeSettings(
        QByteArray("\x00\xff garbage\r\n[MainForm]\r\nWidth=0\r\nHeight=100000\r\nLeft=-90000\r\n[Colors]\r\n"
                   "Ch1=blue\r\nno equals sign\r\n",
                   95));
    ProgramRun run(false);
    run.handOver();
    EXPECT_GE(run.recorder->width(), 200);
    EXPECT_LE(run.recorder->height(), 20000);
    EXPECT_EQ(run.st.SettingsColors[Ch1], 0xFF0000);
}

TEST_F(Startup, UnwritableSettingsAreReportedAndTheProgramStillEnds)
{
    QDir().mkpath(home.path() + "/data/Lumivale/KORVIX");
    ProgramRun run(false);
    run.handOver();
    // A folder in the place of the file makes the write fail.
    QFile::remove(settingsPath);
    QDir().mkpath(settingsPath);
    run.messages.clear();
    run.recorder->close();
    EXPECT_TRUE(run.shell->closed());
    ASSERT_EQ(run.messages.size(), 1);
    EXPECT_TRUE(run.messages[0].contains("KORVIX.ini"));
}

}  // namespace
