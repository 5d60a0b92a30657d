// The recorder window against the simulated recorder and scripted ones: recordings store the
// recorder's levels, a recorder that vanishes ends the recording on its last measured sample,
// closing the window at any time of a device recording stops it completely, lost reports are
// told at the stop, a recorder that cannot be opened is reported, the calibration with its
// messages, the first start with a recorder; the options that choose the simulator are tested with
// the command line (tests/app).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <numeric>

#include "device/DeviceFakes.h"
#include "ui/FileDialogs.h"
#include "device/SimulatedRecorder.h"
#include "device/DeviceLink.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "app/StartupShell.h"
#include "ui/RecorderWindow.h"
#include "WindowControls.h"

namespace {

struct DeviceWindow : ::testing::Test {
    RecorderState st;
    AppSettings settings;  // the shell's, handed to the recorder window at the hand-over
    SimulatedRecorder* sim = nullptr;
    std::unique_ptr<HidTransport> transport;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<StartupShell> shell;
    std::unique_ptr<RecorderWindow> w;
    std::vector<MessageRequest> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void(const MessageRequest&)> onMessage;
    QTemporaryDir dir;

    // A program run over a simulated recorder made from `setup`; `probe` runs the device search
    // that the hand-over would otherwise run.
    void start(const std::string& setup, bool withShell = false, bool probe = true)
    {
        SimulatorConfig config;
        std::string error;
        ASSERT_TRUE(parseSimulatorSetup(setup, config, error)) << error;
        startWith(makeSimulatedTransport(config, &sim), withShell, probe);
    }
    // The same over any transport.
    void startWith(std::unique_ptr<HidTransport> t, bool withShell = false, bool probe = true)
    {
        transport = std::move(t);
        link = std::make_unique<DeviceLink>(*transport);
        setMessageHook([this](const MessageRequest& r) {
            messages.push_back(r);
            if (onMessage)
                onMessage(r);
            return answer;
        });
        Windows& win = windows();
        win.device = link.get();
        if (withShell) {
            shell = std::make_unique<StartupShell>(st, settings);
            child<QTimer>(*shell, "handOverTimer")->stop();  // the test runs the hand-over itself
        } else {
            deriveColours(st);
            st.ActiveColors = st.SettingsColors;
        }
        w = std::make_unique<RecorderWindow>(st);
        win.recorder = w.get();
        if (shell)
            shell->attach(*w);
        if (probe) {
            ASSERT_TRUE(link->FindDevice());
            st.DemoMode = false;
        }
    }
    ~DeviceWindow() override
    {
        setMessageHook({});
        setFileDialogHook({});
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
    // "AutoSave Data..." with the file `name` in the test's folder; returns its path.
    QString armAutoSave(const QString& name)
    {
        const QString path = dir.filePath(name);
        setFileDialogHook([path](const FileDialogRequest&) { return path; });
        fire(child<QAction>(*w, "autoSaveAction"));
        EXPECT_TRUE(st.AutoSaveOn);
        return path;
    }
    static QList<QByteArray> lines(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray all = f.readAll();
        all.replace("\r\n", "\n");
        all.chop(1);
        return all.split('\n');
    }
    // The data lines of an auto-save file: those after the 12 header lines that begin with a digit.
    static QList<QByteArray> dataLines(const QString& path)
    {
        QList<QByteArray> data;
        const QList<QByteArray> all = lines(path);
        for (qsizetype i = 12; i < all.size(); ++i)
            if (!all[i].isEmpty() && all[i][0] >= '0' && all[i][0] <= '9')
                data.append(all[i]);
        return data;
    }
    static bool hasStopLine(const QString& path)
    {
        for (const QByteArray& line : lines(path))
            if (line.startsWith("STOP:"))
                return true;
        return false;
    }
    // Runs the event loop until the recording has stopped.
    void recordToTheEnd()
    {
        ASSERT_TRUE(runEventsUntil([this] { return !w->session->running(); }));
    }
    // Starts a device recording with auto-save armed and ends the program by `closeIt` before the
    // session's first batch, that is, in the first second after the start command.
    void closeInTheFirstSecond(const std::function<void()>& closeIt)
    {
        start("ch1=dc:5", true);
        w->show();
        const QString path = armAutoSave(QStringLiteral("first-second.txt"));
        child<QToolButton>(*w, "runButton")->click();
        ASSERT_TRUE(w->session->waitingForFirstBatch());  // the first batch would come a second from now
        closeIt();

        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(shell->closed());
        EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
        EXPECT_TRUE(st.Idle);
        EXPECT_FALSE(w->session->running());
        EXPECT_FALSE(sim->streaming());  // the stop command went out
        EXPECT_TRUE(hasStopLine(path));  // the trailer is on disk
        EXPECT_FALSE(st.AutoSaveOn);
        // No batch was taken: at most the sample of the reports that had come.
        const QList<QByteArray> data = dataLines(path);
        ASSERT_LE(data.size(), 1);
        if (!data.isEmpty()) {
            EXPECT_EQ(data[0], QByteArray("0\t640\t512\t512\t512\t0.000\t5.000\t0.000\t0.000\t0.000"));
        }
        EXPECT_TRUE(settingsText().contains(QStringLiteral("Running=0")));
    }
};

const QString CalibrateText =
    QStringLiteral("The recorder will now be calibrated.\rPlease make sure all the inputs are disconnected.");

}  // namespace

TEST_F(DeviceWindow, SingleScreenStoresTheRecordersLevelsExactly)
{
    start("ch1=dc:5,ch2=dc:-2.5,ch3=dc:1.5");
    timeButton(*w, 12)->click();  // one report per sample
    rangeButton(*w, 1, 2)->click();
    rangeButton(*w, 2, 3)->click();
    child<QToolButton>(*w, "singleButton")->click();
    ASSERT_TRUE(w->session->waitingForFirstBatch());
    recordToTheEnd();

    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
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
    child<QToolButton>(*w, "runButton")->click();  // "1s": ten reports per sample
    recordToTheEnd();

    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX not connected"));
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(child<QToolButton>(*w, "runButton")->isChecked());
    EXPECT_TRUE(child<QToolButton>(*w, "runButton")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*w, "singleButton")->isEnabled());
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

TEST_F(DeviceWindow, RecorderGoneAtASampleBoundaryEndsOnTheLastMeasuredSample)
{
    // Five reports at "0.1s" (one report per sample), then the recorder is pulled out: the sixth
    // pass gets no report at all and takes no sample.
    startWith(std::make_unique<BufferedTransport>(
        std::make_unique<ScriptedStream>(reportStream({1, 2, 3, 4, 5}, {640, 448, 512, 512}), true)));
    timeButton(*w, 12)->click();
    const QString path = armAutoSave(QStringLiteral("unplugged.txt"));
    child<QToolButton>(*w, "runButton")->click();
    recordToTheEnd();

    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX not connected"));
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(st.SampleIndex, 5);
    EXPECT_EQ(st.ScreenSamples, 5);
    EXPECT_EQ(samples(0, 0, 4), std::vector<int>(5, 640));
    EXPECT_EQ(st.trace(0, 5), 255);
    EXPECT_EQ(w->session->progress().ElapsedMs, 4);  // the device loop does not count its first sample
    const QList<QByteArray> data = dataLines(path);
    ASSERT_EQ(data.size(), 5);
    EXPECT_EQ(data.back(), QByteArray("4\t640\t448\t512\t512\t0.004\t5.000\t-2.500\t0.000\t0.000"));
    EXPECT_TRUE(hasStopLine(path));
}

TEST_F(DeviceWindow, ExitBeforeTheDeviceLoopBeginsRunsTheWholeStop)
{
    closeInTheFirstSecond([this] { fire(child<QAction>(*w, "exitAction")); });
}

TEST_F(DeviceWindow, LogoutBeforeTheDeviceLoopBeginsRunsTheWholeStop)
{
    // At the end of a session Qt closes every window of the application, as closeAllWindows() does.
    closeInTheFirstSecond([] { QApplication::closeAllWindows(); });
}

TEST_F(DeviceWindow, ClosingTheWindowDuringTheDeviceRecordingStopsAndCloses)
{
    start("ch1=dc:5", true);
    w->show();
    const QString path = armAutoSave(QStringLiteral("closed.txt"));
    child<QToolButton>(*w, "runButton")->click();
    // The close request comes after the first batch, while reports keep arriving.
    ASSERT_TRUE(runEventsUntil([this] { return st.SampleIndex > 0; }));
    w->close();

    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(shell->closed());
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));  // the stop sequence ran
    EXPECT_TRUE(st.Idle);
    EXPECT_FALSE(w->session->running());
    // The reports of about the first second, ten per sample; how many the simulator streamed by the
    // first batch depends on thread scheduling, so only the bulk of them is required.
    EXPECT_GE(st.SampleIndex, 50);
    EXPECT_FALSE(sim->streaming());
    // Every sample taken is in the file, followed by the STOP line.
    const QList<QByteArray> data = dataLines(path);
    EXPECT_EQ(data.size(), st.SampleIndex);
    EXPECT_TRUE(hasStopLine(path));
    EXPECT_TRUE(settingsText().contains(QStringLiteral("Running=0")));
}

TEST_F(DeviceWindow, ABatchAskedForDuringABatchTakesNothing)
{
    start("ch1=dc:5");
    child<QToolButton>(*w, "runButton")->click();
    int nestedTook = -1;
    bool stillRecording = false;
    bool once = false;
    QObject::connect(w->session, &RecordingSession::samplesAppended, w.get(), [&] {
        if (once)
            return;
        once = true;
        const int before = st.SampleIndex;
        w->session->takeDeviceBatch();  // as if the batch timer fired inside a batch
        nestedTook = st.SampleIndex - before;
        stillRecording = !st.Idle;
        child<QToolButton>(*w, "runButton")->click();  // Run released from inside the batch
    });
    recordToTheEnd();
    EXPECT_EQ(nestedTook, 0);
    EXPECT_TRUE(stillRecording);
    EXPECT_EQ(child<QLabel>(*w, "runStatusLabel")->text(), QStringLiteral("Stopped"));
    EXPECT_FALSE(w->session->running());
    EXPECT_FALSE(sim->streaming());
}

TEST_F(DeviceWindow, LostReportsAreToldOnceAtTheStop)
{
    // Single at "0.1s": 1701 reports make the one screen.
    std::vector<int> numbers(1701);
    std::iota(numbers.begin(), numbers.end(), 1);
    auto stream = std::make_unique<ScriptedStream>(reportStream(numbers, {640, 512, 512, 512}), false);
    ScriptedStream& raw = *stream;
    startWith(std::make_unique<BufferedTransport>(std::move(stream)));
    timeButton(*w, 12)->click();

    // Nothing lost: nothing is said.
    testing::internal::CaptureStderr();
    child<QToolButton>(*w, "singleButton")->click();
    recordToTheEnd();
    QCoreApplication::processEvents();
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("lost"), std::string::npos);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(st.ScreenSamples, 1701);

    // The next recording's numbers start afresh, and three reports after the 500th never come.
    for (size_t n = 500; n < numbers.size(); ++n)
        numbers[n] += 3;
    raw.setStream(reportStream(numbers, {640, 512, 512, 512}));
    testing::internal::CaptureStderr();
    size_t messagesAtTheStop = 99;
    QObject::connect(w->session, &RecordingSession::stopped, w.get(), [&] { messagesAtTheStop = messages.size(); });
    child<QToolButton>(*w, "singleButton")->click();
    recordToTheEnd();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("korvix: 3 reports from the recorder lost during the recording\n"), std::string::npos) << err;
    EXPECT_EQ(messagesAtTheStop, 0u);  // the message comes once the stop is over
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(
        messages[0].text.startsWith(QStringLiteral("3 reports from the recorder were lost during this recording.")))
        << messages[0].text.toStdString();
    EXPECT_EQ(st.ScreenSamples, 1701);
}

TEST_F(DeviceWindow, RecorderThatCannotBeOpenedIsToldAndTheProgramRunsInDemoMode)
{
    start("noaccess=1", true, false);
    shell->handOver();  // the hand-over
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("The KORVIX recorder was found, but it cannot be opened.")))
        << messages[0].text.toStdString();
#ifdef Q_OS_LINUX
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("udev/70-korvix.rules")));
#endif
    EXPECT_EQ(messages[1].text, QStringLiteral("Software runs in demo mode.\rClick 'Run' to start the demo."));
    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX not connected"));
    EXPECT_TRUE(st.DemoMode);
    EXPECT_FALSE(child<QAction>(*w, "calibrateAction")->isEnabled());
    EXPECT_FALSE(link->found());
    w->close();
    EXPECT_TRUE(settingsText().contains(QStringLiteral("HWdialog=1\r\n")));  // the first-run calibration stays due
}

TEST_F(DeviceWindow, CalibrationFindsTheOffsetsAndSaysSo)
{
    start("zero=7,zero4=-3");
    w->move(40, 30);
    rangeButton(*w, 0, 5)->click();
    int offsetWhenToldSuccess = -1;
    onMessage = [&](const MessageRequest& r) {
        if (r.text.startsWith(QStringLiteral("Calibration completed")))
            offsetWhenToldSuccess = st.HwOffset;
    };
    w->calibrateClick();

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
    EXPECT_TRUE(rangeButton(*w, 0, 0)->isChecked());
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
    w->calibrateClick();
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
    w->calibrateClick();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, QStringLiteral("Calibration problem."));
    EXPECT_EQ(messages[1].at, w->pos() + QPoint(210, 200));
    EXPECT_EQ(st.HwOffset, 600);
    EXPECT_EQ(st.HwOffset4, -2);
}

TEST_F(DeviceWindow, FirstStartWithTheSimulatorCalibratesAndKeepsTheOffset)
{
    start("ch1=dc:5,zero=7", true, false);
    shell->handOver();  // the hand-over: probe, recorder window, first-run calibration, offset
    EXPECT_EQ(child<QLabel>(*w, "deviceStatusLabel")->text(), QStringLiteral("KORVIX connected"));
    EXPECT_FALSE(st.DemoMode);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, CalibrateText);
    EXPECT_EQ(messages[1].text, QStringLiteral("Calibration completed successfully."));
    EXPECT_FALSE(settings.calibrationDue);
    EXPECT_EQ(sim->offset(), 519);

    // A recording at the calibrated offset reads the input exactly.
    timeButton(*w, 12)->click();
    child<QToolButton>(*w, "runButton")->click();
    ASSERT_TRUE(runEventsUntil([this] { return st.SampleIndex > 0; }));
    child<QToolButton>(*w, "runButton")->click();
    EXPECT_FALSE(w->session->running());
    EXPECT_GE(st.ScreenSamples, 1);
    EXPECT_EQ(st.sample(0, 0), 640);

    w->close();
    const QString ini = settingsText();
    EXPECT_TRUE(ini.contains(QStringLiteral("Offset=519\r\n"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("HWdialog=0\r\n")));
    EXPECT_TRUE(ini.contains(QStringLiteral("DemoMode=0\r\n")));
}
