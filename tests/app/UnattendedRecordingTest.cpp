#include <gtest/gtest.h>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "RecordingReadBack.h"
#include "app/UnattendedRecording.h"
#include "device/SimulatedRecorder.h"
#include "files/FileSizeLimit.h"

namespace {

RecordOptions optionsOf(std::initializer_list<const char*> args)
{
    QStringList list;
    for (const char* a : args)
        list << QString::fromUtf8(a);
    qunsetenv("KORVIX_SIMULATE");
    RecordOptions o = parseRecordOptions(list);
    EXPECT_TRUE(o.error.isEmpty()) << qPrintable(o.error);
    return o;
}

// Runs a recording against the simulated recorder; the messages are kept.
struct Outcome {
    int code = -1;
    QString messages;
    QStringList files;
};

Outcome record(const RecordOptions& o, const QString& settings, HidTransport* transport = nullptr,
               const std::function<void(UnattendedRecording&)>& adjust = {})
{
    SimulatedRecorder* simulator = nullptr;
    std::unique_ptr<HidTransport> own;
    if (transport == nullptr) {
        own = makeSimulatedTransport(o.simulator, &simulator);
        transport = own.get();
    }
    UnattendedRecording::clearStopRequest();
    UnattendedRecording recording(o, *transport, settings);
    std::FILE* log = std::tmpfile();
    recording.messages = log;
    if (adjust)
        adjust(recording);
    Outcome r;
    r.code = recording.run();
    r.files = recording.files();
    std::rewind(log);
    char buffer[4096];
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, log);
    r.messages = QString::fromUtf8(buffer, static_cast<int>(n));
    std::fclose(log);
    return r;
}

void writeSettings(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A recorder that can be pulled out and put back: every call goes to the current simulated
// recorder, which the test replaces by a new one.
class SwappableRecorder final : public HidTransport {
public:
    explicit SwappableRecorder(std::unique_ptr<HidTransport> first) : inner_(std::move(first)) {}
    void replace(std::unique_ptr<HidTransport> next)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        old_.push_back(std::move(inner_));
        inner_ = std::move(next);
    }
    std::vector<HidInterfaceInfo> enumerate() override { return current().enumerate(); }
    Handle open(const std::string& path, bool forWriting) override { return current().open(path, forWriting); }
    void close(Handle handle) override { current().close(handle); }
    int write(Handle handle, const uint8_t* frame) override { return current().write(handle, frame); }
    int read(Handle handle, uint8_t* frame, int timeoutMs) override { return current().read(handle, frame, timeoutMs); }
    void discardInput(Handle handle) override { current().discardInput(handle); }
    uint64_t lostReports() const override { return 0; }

private:
    HidTransport& current()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return *inner_;
    }
    std::mutex mutex_;
    std::unique_ptr<HidTransport> inner_;
    std::vector<std::unique_ptr<HidTransport>> old_;
};

class UnattendedRecordingTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

}  // namespace

// The file holds every sample the recorder measured, with the stored calibration applied, and the
// header and note the window shows when it opens the file; the settings file stays untouched.
TEST_F(UnattendedRecordingTest, RecordsEverySampleWithTheStoredCalibration)
{
    const QString settings = path("KORVIX.ini");
    const QByteArray stored = "[Hardware]\r\nOffset=519\r\nOffset4=3\r\n; kept\r\n";
    writeSettings(settings, stored);
    const QString out = path("run.txt");
    const RecordOptions o = optionsOf({"--simulate=ch1=dc:5,ch2=dc:-2.5,ch3=dc:1,ch4=dc:0.1,zero=7,zero4=-3",
                                       "--time-div", "0.1s", "--range", "3=8V", "--range", "4=0.4V", "--samples", "300",
                                       "--comment", "Bench 3", "--comment", "heater on", "--output", qPrintable(out)});
    const Outcome run = record(o, settings);
    EXPECT_EQ(run.code, exitcode::Done) << qPrintable(run.messages);
    EXPECT_EQ(run.files, QStringList{out});
    EXPECT_FALSE(run.messages.contains(QLatin1String("no calibration")));

    const ReadBack r = readBack(out);
    ASSERT_TRUE(r.opened);
    ASSERT_EQ(r.samples.size(), 300u);
    EXPECT_EQ(r.damaged, 0);
    // 512 + V * 5120 / R + zero (+ zero4 on ±0.4 V) - (Offset - 512) (+ Offset4 on ±0.4 V).
    const std::array<int64_t, 4> expected{640, 448, 576, 640};
    for (size_t i = 0; i < r.samples.size(); ++i) {
        ASSERT_EQ(r.samples[i], expected) << "sample " << i;
        ASSERT_EQ(r.numbers[i], static_cast<int64_t>(i));
    }
    ASSERT_EQ(r.header.size(), 12u);
    EXPECT_EQ(r.header[4], "100 = 0.1s");
    EXPECT_EQ(r.header[7],
              "CH1: \xB1"
              "20V\tCH3: \xB1"
              "8V");
    EXPECT_EQ(r.header[8],
              "CH2: \xB1"
              "20V\tCH4: \xB1"
              "0.4V");
    EXPECT_TRUE(r.stopLine);
    EXPECT_EQ(r.note, (QStringList{QStringLiteral("Bench 3"), QStringLiteral("heater on")}));
    EXPECT_EQ(contentOf(settings), stored);
}

#if defined(__linux__)
// Nothing is drawn, so the recording's thread takes the queued reports about ten times a second
// and sleeps in between: far fewer wake-ups than a window's sixty-odd batches a second, and no
// sample fewer.
TEST_F(UnattendedRecordingTest, TheRecordingThreadWakesUpRarely)
{
    const auto voluntarySwitches = [] {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return usage.ru_nvcsw;
    };
    const QString out = path("quiet.txt");
    const RecordOptions o = optionsOf(
        {"--simulate=ch1=dc:5", "--time-div", "0.1s", "--samples", "3000", "--quiet", "--output", qPrintable(out)});
    long before = 0;
    const Outcome run =
        record(o, path("none.ini"), nullptr, [&](UnattendedRecording&) { before = voluntarySwitches(); });
    const long switches = voluntarySwitches() - before;
    EXPECT_EQ(run.code, exitcode::Done) << qPrintable(run.messages);
    const ReadBack r = readBack(out);
    ASSERT_EQ(r.samples.size(), 3000u);
    EXPECT_TRUE(r.stopLine);
    // The first batch a second after the start, then 2 s of batches every 100 ms: about 20
    // wake-ups, a few more for the start, the stop and the file's hand-over to the system each
    // second (about 40 in all here). At one batch per 16 ms it would be near 150.
    EXPECT_LT(switches, 100);
}
#endif

TEST_F(UnattendedRecordingTest, SaysSoWhenNoCalibrationIsStored)
{
    const RecordOptions o =
        optionsOf({"--simulate=ch1=dc:5,zero=7", "--time-div", "0.1s", "--samples", "50", "--output", "x.txt"});
    RecordOptions placed = o;
    placed.output = path("x.txt");
    const Outcome run = record(placed, path("missing.ini"));
    EXPECT_EQ(run.code, exitcode::Done);
    EXPECT_TRUE(run.messages.contains(QLatin1String("no calibration offsets"))) << qPrintable(run.messages);
    EXPECT_FALSE(QFile::exists(path("missing.ini")));
    const ReadBack r = readBack(placed.output);
    ASSERT_EQ(r.samples.size(), 50u);
    EXPECT_EQ(r.samples[0][0], 647);
}

// --duration counts samples of the time base, not wall time; --split makes complete numbered files.
TEST_F(UnattendedRecordingTest, SplitFilesAreCompleteAndNumbered)
{
    const QString out = path("log.txt");
    const RecordOptions o = optionsOf({"--simulate=ch1=dc:1", "--time-div", "0.1s", "--duration", "2s", "--split", "1s",
                                       "--comment", "note", "--output", qPrintable(out)});
    RecordOptions longer = o;
    longer.samples = 2500;  // 2.5 s of samples at 1 ms
    longer.durationMs = 0;
    const Outcome run = record(longer, path("none.ini"));
    EXPECT_EQ(run.code, exitcode::Done) << qPrintable(run.messages);
    ASSERT_EQ(run.files, (QStringList{path("log-0001.txt"), path("log-0002.txt"), path("log-0003.txt")}));
    EXPECT_FALSE(QFile::exists(out));
    const std::array<size_t, 3> sizes{1000, 1000, 500};
    for (int i = 0; i < 3; ++i) {
        const ReadBack r = readBack(run.files[i]);
        ASSERT_EQ(r.samples.size(), sizes[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(r.numbers.front(), 0);
        EXPECT_EQ(r.numbers.back(), static_cast<int64_t>(sizes[static_cast<size_t>(i)] - 1));
        EXPECT_TRUE(r.stopLine);
        EXPECT_EQ(r.note, QStringList{QStringLiteral("note")});
        EXPECT_EQ(r.header[1].rfind("START: \t", 0), 0u);
    }

    const Outcome timed = record(o, path("none.ini"));
    EXPECT_EQ(timed.code, exitcode::Done);
    ASSERT_EQ(timed.files.size(), 2);
    EXPECT_EQ(readBack(timed.files[0]).samples.size() + readBack(timed.files[1]).samples.size(), 2000u);
}

// Without --reconnect a vanished recorder ends the recording with a complete file and exit 4; the
// reason is the last line of the note.
TEST_F(UnattendedRecordingTest, UnplugEndsWithACompleteFile)
{
    const QString out = path("gone.txt");
    const RecordOptions o =
        optionsOf({"--simulate=ch1=dc:5,unplug=400", "--time-div", "0.1s", "--output", qPrintable(out)});
    const Outcome run = record(o, path("none.ini"));
    EXPECT_EQ(run.code, exitcode::NoRecorder);
    EXPECT_TRUE(run.messages.contains(QLatin1String("unplugged"))) << qPrintable(run.messages);
    const ReadBack r = readBack(out);
    EXPECT_GT(r.samples.size(), 100u);
    EXPECT_LE(r.samples.size(), 400u);
    for (const auto& s : r.samples)
        ASSERT_EQ(s[0], 640);
    EXPECT_TRUE(r.stopLine);
    ASSERT_EQ(r.note.size(), 1);
    EXPECT_TRUE(r.note[0].contains(QLatin1String("unplugged"))) << qPrintable(r.note[0]);
}

TEST_F(UnattendedRecordingTest, WithReconnectItWaitsAndGoesOnInTheNextFile)
{
    const QString out = path("bench.txt");
    const RecordOptions o = optionsOf({"--simulate=ch1=dc:5,unplug=300", "--time-div", "0.1s", "--reconnect",
                                       "--comment", "Bench 3", "--output", qPrintable(out)});
    SimulatorConfig back = o.simulator;
    back.unplugMs = -1;
    SimulatedRecorder* unused = nullptr;
    SwappableRecorder recorder(makeSimulatedTransport(o.simulator, &unused));
    std::thread plug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        recorder.replace(makeSimulatedTransport(back, &unused));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        UnattendedRecording::requestStop();
    });
    const Outcome run = record(o, path("none.ini"), &recorder, [](UnattendedRecording& r) { r.reconnectPollMs = 100; });
    plug.join();
    EXPECT_EQ(run.code, exitcode::Done) << qPrintable(run.messages);
    ASSERT_EQ(run.files, (QStringList{path("bench-0001.txt"), path("bench-0002.txt")}));
    EXPECT_TRUE(run.messages.contains(QLatin1String("waiting"))) << qPrintable(run.messages);

    const ReadBack first = readBack(run.files[0]);
    EXPECT_GT(first.samples.size(), 50u);
    EXPECT_TRUE(first.stopLine);
    ASSERT_EQ(first.note.size(), 2);
    EXPECT_EQ(first.note[0], QStringLiteral("Bench 3"));
    EXPECT_TRUE(first.note[1].contains(QLatin1String("unplugged")));

    const ReadBack second = readBack(run.files[1]);
    EXPECT_GT(second.samples.size(), 300u);
    for (const auto& s : second.samples)
        ASSERT_EQ(s[0], 640);
    EXPECT_TRUE(second.stopLine);
    EXPECT_EQ(second.note, QStringList{QStringLiteral("Bench 3")});
}

TEST_F(UnattendedRecordingTest, WithReconnectAnAbsentRecorderIsAwaited)
{
    SimulatorConfig config;
    config.noAccess = true;
    SimulatedRecorder* unused = nullptr;
    auto transport = makeSimulatedTransport(config, &unused);
    const RecordOptions o = optionsOf({"--reconnect", "--output", qPrintable(path("w.txt"))});
    std::thread stop([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        UnattendedRecording::requestStop();
    });
    const Outcome run =
        record(o, path("none.ini"), transport.get(), [](UnattendedRecording& r) { r.reconnectPollMs = 100; });
    stop.join();
    EXPECT_EQ(run.code, exitcode::Done);
    EXPECT_TRUE(run.files.isEmpty());

    const RecordOptions once = optionsOf({"--output", qPrintable(path("w.txt"))});
    const Outcome refused = record(once, path("none.ini"), transport.get());
    EXPECT_EQ(refused.code, exitcode::NoRecorder);
    EXPECT_TRUE(refused.messages.contains(QLatin1String("udev"))) << qPrintable(refused.messages);
}

#if defined(__linux__)
// A full medium: one message, exit 3, and the lines written before stay readable.
TEST_F(UnattendedRecordingTest, AFullMediumEndsWithExit3AndAReadableFile)
{
    const QString out = path("full.txt");
    const RecordOptions o =
        optionsOf({"--simulate=ch1=dc:5", "--time-div", "0.1s", "--duration", "1m", "--output", qPrintable(out)});
    Outcome run;
    {
        FileSizeLimit limit(20000);
        ASSERT_TRUE(limit.ok());
        run = record(o, path("none.ini"));
    }
    EXPECT_EQ(run.code, exitcode::WriteError);
    EXPECT_EQ(run.messages.count(QLatin1String("cannot write")), 1) << qPrintable(run.messages);
    const QByteArray bytes = contentOf(out);
    EXPECT_LE(bytes.size(), 20000);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const ReadBack r = readBack(out);
    EXPECT_GT(r.samples.size(), 100u);
    EXPECT_EQ(r.damaged, 0);
    for (const auto& s : r.samples)
        ASSERT_EQ(s[0], 640);
}
#endif
