// The recorder window against the simulated recorder: recordings store the recorder's levels,
// a recorder that vanishes ends the recording, closing the window in the middle of the device
// loop, the calibration with its messages, the first start with a recorder, and the options
// that choose the simulator.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>

#include "device/SimulatedRecorder.h"
#include "device/findpath.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/Skpohjx.h"
#include "shell/Winrecx.h"

namespace {

struct DeviceWindow : ::testing::Test {
    RecorderState st;
    SimulatedRecorder* sim = nullptr;
    std::unique_ptr<HidTransport> transport;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<TForm1> shell;
    std::unique_ptr<TForm1_rec> w;
    std::vector<MessageRequest> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void(const MessageRequest&)> onMessage;

    // A program run over a simulated recorder made from `setup`; `probe` runs the device search
    // that the hand-over would otherwise run.
    void start(const std::string& setup, bool withShell = false, bool probe = true)
    {
        SimulatorConfig config;
        std::string error;
        ASSERT_TRUE(parseSimulatorSetup(setup, config, error)) << error;
        transport = makeSimulatedTransport(config, &sim);
        link = std::make_unique<DeviceLink>(st, *transport);
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            if (onMessage)
                onMessage(r);
            return answer;
        });
        Windows& win = windows();
        win.device = link.get();
        if (withShell) {
            shell = std::make_unique<TForm1>(st);
            shell->Timer3->stop();  // the test runs the hand-over itself
            win.Form1 = shell.get();
        } else {
            deriveColours(st);
            st.ActiveColors = st.SettingsColors;
        }
        w = std::make_unique<TForm1_rec>(st);
        win.Form1_rec = w.get();
        if (probe) {
            ASSERT_TRUE(link->FindDevice());
            st.DemoMode = false;
        }
    }
    ~DeviceWindow() override
    {
        setMessageHook({});
        windows() = Windows{};
    }
    std::vector<int> samples(int channel, int from, int to)
    {
        std::vector<int> v;
        for (int p = from; p <= to; ++p)
            v.push_back(st.sample(channel, p));
        return v;
    }
    static QString settingsText()
    {
        QFile f(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/Lumivale/KORVIX/KORVIX.ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
};

const QString CalibrateText =
    QStringLiteral("The recorder will now be calibrated.\rPlease make sure all the inputs are disconnected.");

}  // namespace

TEST_F(DeviceWindow, SingleScreenStoresTheRecordersLevelsExactly)
{
    start("ch1=dc:5,ch2=dc:-2.5,ch3=dc:1.5");
    w->SpeedButton01sClick();  // one report per sample
    w->SpeedButton4ch2Click();
    w->SpeedButton2ch3Click();
    w->SpeedButtonSingle->click();
    ASSERT_TRUE(w->Timer3->isActive());
    w->Timer3Timer();  // the whole recording runs inside this event

    EXPECT_EQ(w->Label3->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(st.ScreenSamples, 1701);
    EXPECT_EQ(samples(0, 0, 1700), std::vector<int>(1701, 640));  // 5 V on ±20 V
    EXPECT_EQ(samples(1, 0, 1700), std::vector<int>(1701, 192));  // -2.5 V on ±4 V
    EXPECT_EQ(samples(2, 0, 1700), std::vector<int>(1701, 896));  // 1.5 V on ±2 V
    EXPECT_EQ(samples(3, 0, 1700), std::vector<int>(1701, 512));  // open input
    EXPECT_EQ(st.trace(0, 1700), 95);
    EXPECT_EQ(st.trace(1, 1701), 255);  // cleared by the stop
    EXPECT_EQ(sim->channelRange(1), 40);
    EXPECT_FALSE(sim->streaming());  // the stop command went out
}

TEST_F(DeviceWindow, UnpluggedRecorderEndsTheRecordingInTheStoppedState)
{
    start("ch1=dc:5,unplug=300");
    w->SpeedButtonRun->click();  // "1s": ten reports per sample
    w->Timer3Timer();

    EXPECT_EQ(w->Label1->text(), QStringLiteral("KORVIX not connected"));
    EXPECT_EQ(w->Label3->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(w->SpeedButtonRun->isChecked());
    EXPECT_TRUE(w->SpeedButtonRun->isEnabled());
    EXPECT_TRUE(w->SpeedButtonSingle->isEnabled());
    EXPECT_TRUE(st.Idle);
    EXPECT_TRUE(sim->unplugged());
    // About 300 reports make about 30 samples (how many the recorder sent before it was pulled out
    // depends on how the threads were scheduled). Every full sample is exact; the pass that found
    // the recorder gone either stored nothing new (a sample boundary) or the average of the reports
    // it had gathered, which is the same level.
    const int last = st.SampleIndex - 1;
    ASSERT_GE(last, 10);
    ASSERT_LE(last, 31);
    EXPECT_EQ(samples(0, 0, last - 1), std::vector<int>(static_cast<size_t>(last), 640));
    EXPECT_TRUE(st.trace(0, last) == 255 || st.trace(0, last) == 95) << st.trace(0, last);
}

TEST_F(DeviceWindow, ClosingTheWindowDuringTheDeviceLoopStopsAndCloses)
{
    start("ch1=dc:5", true);
    w->show();
    w->SpeedButtonRun->click();
    // The close request arrives while the loop pumps messages after a report.
    QMetaObject::invokeMethod(
        w.get(), [this] { w->close(); }, Qt::QueuedConnection);
    w->Timer3Timer();

    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(shell->closed());
    EXPECT_EQ(w->Label3->text(), QStringLiteral("Stopped"));  // the loop ran the stop sequence
    EXPECT_TRUE(st.Idle);
    EXPECT_EQ(st.SampleIndex, 1);  // the pass in hand was finished
    EXPECT_FALSE(sim->streaming());
    EXPECT_TRUE(settingsText().contains(QStringLiteral("Running=0")));
}

TEST_F(DeviceWindow, TimerEventDuringTheLoopDoesNotStartASecondLoop)
{
    start("ch1=dc:5");
    w->SpeedButtonRun->click();
    bool nestedReturned = false;
    bool stillRecording = false;
    QMetaObject::invokeMethod(
        w.get(),
        [&] {
            w->Timer3Timer();  // as if Timer3 fired again (Run pressed once more meanwhile)
            nestedReturned = true;
            stillRecording = !st.Idle;
            w->SpeedButtonRun->click();
        },
        Qt::QueuedConnection);
    w->Timer3Timer();
    EXPECT_TRUE(nestedReturned);
    EXPECT_TRUE(stillRecording);
    EXPECT_EQ(w->Label3->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(w->deviceLoopRunning);
}

TEST_F(DeviceWindow, CalibrationFindsTheOffsetsAndSaysSo)
{
    start("zero=7,zero4=-3");
    w->move(40, 30);
    w->SpeedButton04ch1Click();
    int offsetWhenToldSuccess = -1;
    onMessage = [&](const MessageRequest& r) {
        if (r.text.startsWith(QStringLiteral("Calibration completed")))
            offsetWhenToldSuccess = st.HwOffset;
    };
    w->Calibrate1Click();

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, CalibrateText);
    EXPECT_EQ(messages[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(messages[0].at, w->pos() + QPoint(138, 200));
    EXPECT_EQ(messages[1].text, QStringLiteral("Calibration completed successfully."));
    EXPECT_EQ(messages[1].at, w->pos() + QPoint(173, 200));
    EXPECT_EQ(offsetWhenToldSuccess, 512);  // the new values are taken after the message
    EXPECT_EQ(st.HwOffset, 519);
    EXPECT_EQ(st.HwOffset4, 3);
    EXPECT_EQ(sim->offset(), 519);
    // CH1 ends on ±20 V, whatever it was on before.
    EXPECT_TRUE(w->rangeButtons[0][0]->isChecked());
    EXPECT_EQ(st.ChannelRange[0], 200);
    EXPECT_EQ(st.RangeLabel[0], QStringLiteral("\u00B120V"));
    EXPECT_EQ(st.CalOffset[0], 0);
    EXPECT_FALSE(sim->streaming());
}

TEST_F(DeviceWindow, CancelledOrFailedCalibrationChangesNothing)
{
    start("zero=7");
    st.HwOffset = 600;
    st.HwOffset4 = -2;
    answer = QMessageBox::Cancel;
    w->Calibrate1Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(sim->streamedMs(), 0);  // nothing was sent
    EXPECT_EQ(sim->offset(), 512);
    EXPECT_EQ(st.HwOffset, 600);
}

TEST_F(DeviceWindow, UnpluggedRecorderGivesCalibrationProblem)
{
    start("unplug=0");
    st.HwOffset = 600;
    st.HwOffset4 = -2;
    w->Calibrate1Click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, QStringLiteral("Calibration problem."));
    EXPECT_EQ(messages[1].at, w->pos() + QPoint(210, 200));
    EXPECT_EQ(st.HwOffset, 600);
    EXPECT_EQ(st.HwOffset4, -2);
}

TEST_F(DeviceWindow, FirstStartWithTheSimulatorCalibratesAndKeepsTheOffset)
{
    start("ch1=dc:5,zero=7", true, false);
    shell->Timer3Timer();  // the hand-over: probe, recorder window, first-run calibration, offset
    EXPECT_EQ(w->Label1->text(), QStringLiteral("KORVIX connected"));
    EXPECT_FALSE(st.DemoMode);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, CalibrateText);
    EXPECT_EQ(messages[1].text, QStringLiteral("Calibration completed successfully."));
    EXPECT_FALSE(st.HWdialog);
    EXPECT_EQ(sim->offset(), 519);

    // A recording at the calibrated offset reads the input exactly.
    w->SpeedButton01sClick();
    w->SpeedButtonRun->click();
    QTimer::singleShot(0, w.get(), [this] { w->SpeedButtonRun->click(); });
    w->Timer3Timer();
    EXPECT_GE(st.ScreenSamples, 1);
    EXPECT_EQ(st.sample(0, 0), 640);

    w->close();
    const QString ini = settingsText();
    EXPECT_TRUE(ini.contains(QStringLiteral("Offset=519\r\n"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("HWdialog=0\r\n")));
    EXPECT_TRUE(ini.contains(QStringLiteral("DemoMode=0\r\n")));
}

TEST(StartOptions, SimulateOptionAndEnvironment)
{
    auto parse = [](std::vector<std::string> args) {
        args.insert(args.begin(), "korvix");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        return parseStartOptions(static_cast<int>(argv.size()), argv.data());
    };
    qunsetenv("KORVIX_SIMULATE");
    EXPECT_FALSE(parse({}).simulate);

    StartOptions o = parse({"--simulate=ch1=dc:5,zero=7"});
    EXPECT_TRUE(o.simulate);
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_DOUBLE_EQ(o.simulator.channels[0].amplitude, 5.0);
    EXPECT_EQ(o.simulator.zero, 7);
    EXPECT_TRUE(parse({"--simulate"}).simulate);

    o = parse({"--simulate=ch1=dc:5,zero=x"});
    EXPECT_TRUE(o.error.contains(QStringLiteral("\"zero=x\""))) << o.error.toStdString();

    qputenv("KORVIX_SIMULATE", "noise=2");
    o = parse({});
    EXPECT_TRUE(o.simulate);
    EXPECT_EQ(o.simulator.noise, 2);
    EXPECT_EQ(parse({"--simulate=zero=1"}).simulator.noise, 0);  // the option wins
    qputenv("KORVIX_SIMULATE", "");
    EXPECT_FALSE(parse({}).simulate);
    qputenv("KORVIX_SIMULATE", "repeat=0");
    EXPECT_TRUE(parse({}).error.contains(QStringLiteral("repeat=0")));
    qunsetenv("KORVIX_SIMULATE");
}
