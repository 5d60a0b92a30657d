// Recordings through the recording engine alone, without any window (this binary links no Qt
// Widgets): the simulated recorder and the demo source, the samples stored, the auto-save file
// (header, one line per sample, STOP line), the wrap, the value refresh schedule, the loss of the
// recorder, and batches instead of one wake-up per sample.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <deque>
#include <optional>
#include <random>
#include <vector>

#include "device/DeviceFakes.h"
#include "device/DeviceLink.h"
#include "device/SimulatedRecorder.h"
#include "device/SimulatorSetup.h"
#include "files/DataFileWriter.h"
#include "recording/DemoSource.h"
#include "recording/MillisecondTimer.h"
#include "recording/RecordingSession.h"
#include "screen/ViewState.h"

namespace {

// The parts a recording engine client keeps: what the session records into and reads, and the
// annotation the auto-save trailer writes.
struct EngineParts : ScreenBuffer, ChannelSetup, RunState, DemoSource, AnnotationState {};

// The auto-save hand-off as the program makes it: the data file writer, one line per sample.
class FileSink final : public AutoSaveSink {
public:
    FileSink(EngineParts& st, const QString& path) : st_(st) { created = writer_.create(path); }
    void writeHeader() override { EXPECT_TRUE(writer_.writeHeader(st_, st_)); }
    void writeSampleLine(int position, double timeStep) override
    {
        const std::array<int32_t, 4> raw{st_.sample(0, position), st_.sample(1, position), st_.sample(2, position),
                                         st_.sample(3, position)};
        const auto n = st_.AutoSaveLineNo++;
        const auto stepMs = static_cast<uint64_t>(std::llround(timeStep * 1000.0));
        EXPECT_TRUE(writer_.writeSampleLine(n, raw, static_cast<uint64_t>(n) * stepMs, st_.ChannelRange));
    }
    void recordingStopped() override
    {
        ++stops;
        st_.StopStamp = "09.12.2026\t14:00:00";
        if (st_.AutoSaveOn) {
            EXPECT_TRUE(writer_.writeTrailer(st_, st_));
            writer_.close();
            st_.AutoSaveOn = false;
        }
    }
    bool created = false;
    int stops = 0;

private:
    EngineParts& st_;
    datafile::AutoSaveWriter writer_;
};

QList<QByteArray> fileLines(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray all = f.readAll();
    all.replace("\r\n", "\n");
    all.chop(1);
    return all.split('\n');
}

struct Session : ::testing::Test {
    EngineParts st;
    QTemporaryDir dir;
    RecordingSession session{st, st, st, &st};
    std::vector<std::pair<int, int>> appended;
    std::vector<int> events;  // 'a' appended, 'w' wrapped, 'r' refresh, 'l' lost
    std::vector<StopReason> stops;

    Session()
    {
        st.RecTimeDivLabel = "0.1s";
        st.SampleIntervalMs = 1;
        QObject::connect(&session, &RecordingSession::samplesAppended, [this](int first, int last) {
            appended.emplace_back(first, last);
            events.push_back('a');
        });
        QObject::connect(&session, &RecordingSession::wrapped, [this] { events.push_back('w'); });
        QObject::connect(&session, &RecordingSession::valuesRefreshDue, [this] { events.push_back('r'); });
        QObject::connect(&session, &RecordingSession::recorderLost, [this] { events.push_back('l'); });
        QObject::connect(&session, &RecordingSession::stopped, [this](StopReason r) { stops.push_back(r); });
    }
    int count(int event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }
    // The appended ranges follow each other without a gap or overlap from `from` on.
    void expectContiguous(int from, int to) const
    {
        int next = from;
        for (const auto& [first, last] : appended) {
            ASSERT_EQ(first, next);
            ASSERT_GE(last, first);
            next = last + 1;
        }
        EXPECT_EQ(next, to + 1);
    }
};

struct DeviceSession : Session {
    SimulatedRecorder* sim = nullptr;
    std::unique_ptr<HidTransport> transport;
    std::unique_ptr<DeviceLink> link;

    void connectRecorder(const std::string& setup)
    {
        SimulatorConfig config;
        std::string error;
        ASSERT_TRUE(parseSimulatorSetup(setup, config, error)) << error;
        transport = makeSimulatedTransport(config, &sim);
        link = std::make_unique<DeviceLink>(*transport);
        ASSERT_TRUE(link->FindDevice());
        st.DemoMode = false;
        session.setDevice(link.get());
    }
};

TEST_F(DeviceSession, SingleScreenWithAutoSaveRecordsEveryReportInBatches)
{
    connectRecorder("ch1=dc:5,ch2=dc:-2.5");
    const QString path = dir.filePath(QStringLiteral("engine.txt"));
    FileSink sink(st, path);
    ASSERT_TRUE(sink.created);
    session.setAutoSave(&sink);
    st.AutoSaveOn = true;
    st.SingleShot = true;

    session.start();
    EXPECT_TRUE(session.running());
    EXPECT_TRUE(session.waitingForFirstBatch());
    EXPECT_TRUE(sim->streaming());
    ASSERT_TRUE(runEventsUntil([this] { return !session.running(); }));

    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], StopReason::SingleScreenDone);
    EXPECT_FALSE(sim->streaming());  // the stop command went out
    EXPECT_EQ(sink.stops, 1);
    EXPECT_EQ(st.SampleIndex, LastRecordedPosition);
    for (int p = 0; p < LastRecordedPosition; ++p) {
        ASSERT_EQ(st.sample(0, p), 640) << p;  // 5 V on ±20 V
        ASSERT_EQ(st.sample(1, p), 448) << p;  // -2.5 V
        ASSERT_EQ(st.sample(2, p), 512) << p;
        ASSERT_EQ(st.trace(0, p), 95) << p;
    }
    EXPECT_EQ(session.progress().ElapsedMs, 1700);  // the first sample of a device recording is not counted
    expectContiguous(0, 1700);
    // The first batch takes the second of reports queued since the start command; the rest come
    // in batches of a few, never one wake-up per report.
    EXPECT_LT(appended.size(), 200u);
    EXPECT_GE(appended.front().second - appended.front().first, 500);
    // The value displays: after the 11th report, then after 1001 more.
    EXPECT_EQ(count('r'), 2);

    const QList<QByteArray> l = fileLines(path);
    ASSERT_EQ(l.size(), 12 + 1701 + 2);
    EXPECT_EQ(l[4], QByteArray("100 = 0.1s"));
    for (int n = 0; n < 1701; ++n)
        ASSERT_EQ(l[12 + n], QByteArray::number(n) + "\t640\t448\t512\t512\t" + QByteArray::number(n / 1000) + "." +
                                 QByteArray::number(n % 1000).rightJustified(3, '0') + "\t5.000\t-2.500\t0.000\t0.000")
            << n;
    EXPECT_EQ(l[12 + 1701], QByteArray());
    EXPECT_EQ(l.back(), QByteArray("STOP:  \t09.12.2026\t14:00:00"));
}

TEST_F(DeviceSession, UserStopTakesTheQueuedReportsAndEndsOnWholeSamples)
{
    connectRecorder("ch1=dc:5");
    st.SampleIntervalMs = 10;  // "1s": ten reports per sample
    st.RecTimeDivLabel = "1s";
    session.start();
    ASSERT_TRUE(runEventsUntil([this] { return st.SampleIndex >= 150; }));
    session.stop(StopReason::User);
    EXPECT_FALSE(session.running());
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], StopReason::User);
    EXPECT_TRUE(session.progress().StopFlag);
    EXPECT_FALSE(sim->streaming());
    const int last = st.SampleIndex - 1;
    for (int p = 0; p <= last; ++p)
        ASSERT_EQ(st.sample(0, p), 640) << p;
    expectContiguous(0, last);
    // Stopping again, or a batch after the stop, changes nothing.
    session.stop(StopReason::User);
    session.takeDeviceBatch();
    EXPECT_EQ(stops.size(), 1u);
    EXPECT_EQ(st.SampleIndex, last + 1);
}

TEST_F(DeviceSession, UnpluggedRecorderEndsTheRecordingAsLost)
{
    connectRecorder("ch1=dc:5,unplug=1400");
    st.SampleIntervalMs = 10;
    st.RecTimeDivLabel = "1s";
    session.start();
    ASSERT_TRUE(runEventsUntil([this] { return !session.running(); }));
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], StopReason::RecorderLost);
    EXPECT_EQ(count('l'), 1);
    // About 1400 reports, ten to a sample; the last sample may hold fewer, at the same level.
    EXPECT_GE(st.SampleIndex, 100);
    EXPECT_LE(st.SampleIndex, 141);
    for (int p = 0; p < st.SampleIndex; ++p)
        ASSERT_EQ(st.sample(0, p), 640) << p;
}

TEST_F(DeviceSession, StopInTheFirstSecondTakesNoSample)
{
    connectRecorder("ch1=dc:5");
    session.start();
    ASSERT_TRUE(session.waitingForFirstBatch());
    session.stop(StopReason::Closed);
    EXPECT_FALSE(session.running());
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], StopReason::Closed);
    EXPECT_EQ(st.SampleIndex, 0);
    EXPECT_TRUE(appended.empty());
    EXPECT_FALSE(sim->streaming());
}

// A recorder whose reads follow a script: reports and failed reads (the recorder gone), then
// "nothing has arrived yet" once the script ends.
struct ScriptedRecorder : ScriptedTransport {
    std::deque<std::optional<Frame>> script;
    int read(Handle handle, uint8_t* frame, int timeoutMs) override
    {
        if (script.empty())
            return ScriptedTransport::read(handle, frame, timeoutMs);
        const std::optional<Frame> next = script.front();
        script.pop_front();
        if (!next)
            return Gone;
        std::copy(next->begin(), next->end(), frame);
        return FrameSize;
    }
    void report(uint8_t sequence, std::array<int, 4> readings)
    {
        script.push_back(frameOf(inputReport(sequence, readings)));
    }
    void failures(int n) { script.insert(script.end(), static_cast<size_t>(n), std::nullopt); }
};

// The session's own batches over a scripted recorder, taken one at a time without the event loop.
struct ScriptedSession : Session {
    ScriptedRecorder recorder;
    DeviceLink link{recorder};
    ScriptedSession()
    {
        recorder.interfaces = {{"/dev/hidraw1", RecorderVendorId, RecorderProductId}};
        EXPECT_TRUE(link.FindDevice());
        st.DemoMode = false;
        session.setDevice(&link);
    }
    std::array<int, 4> stored(int position)
    {
        return {st.sample(0, position), st.sample(1, position), st.sample(2, position), st.sample(3, position)};
    }
};

TEST_F(ScriptedSession, ReportsAreAveragedWithTheirCalibrationOffsetAndStoredAsSampleAndScreenValue)
{
    st.SampleIntervalMs = 4;
    st.CalOffset = {-5, 3, -5, 0};
    recorder.report(1, {0, 512, 1023, 100});
    recorder.report(2, {0, 513, 1023, 101});
    recorder.report(3, {3, 513, 1023, 101});
    recorder.report(4, {4, 514, 1023, 102});
    // The next sample: repeated sequence bytes are skipped, an earlier byte that is not the last
    // one counts again.
    recorder.report(4, {1000, 1000, 1000, 1000});
    recorder.report(5, {500, 500, 500, 500});
    recorder.report(5, {1000, 1000, 1000, 1000});
    recorder.report(6, {500, 500, 500, 500});
    recorder.report(5, {500, 500, 500, 500});
    recorder.report(7, {504, 504, 504, 504});
    session.start();
    session.takeDeviceBatch();
    EXPECT_TRUE(session.running());
    ASSERT_EQ(st.SampleIndex, 2);
    // Sums 7, 2052, 4092, 404 over 4 reports: averages 1, 513, 1023, 101. The offset moves a value
    // inside the range (1 - 5 is kept at 0) and leaves the end 1023 alone.
    EXPECT_EQ(stored(0), (std::array<int, 4>{0, 516, 1023, 101}));
    EXPECT_EQ(st.trace(0, 0), 255);
    EXPECT_EQ(st.trace(1, 0), 126);
    EXPECT_EQ(st.trace(2, 0), 0);
    EXPECT_EQ(st.trace(3, 0), 230);
    EXPECT_EQ(stored(1), (std::array<int, 4>{496, 504, 496, 501}));
    EXPECT_EQ(session.progress().ReportCount, 0);
    session.stop(StopReason::User);
    EXPECT_EQ(st.SampleIndex, 2);  // nothing gathered for a third sample
}

TEST_F(ScriptedSession, HundredFailedReadsAreToleratedThe101stEndsWithTheReportsSoFar)
{
    st.SampleIntervalMs = 10;
    recorder.report(1, {600, 600, 600, 600});
    recorder.report(2, {601, 601, 601, 601});
    recorder.failures(100);
    recorder.report(3, {602, 602, 602, 602});
    recorder.failures(101);
    session.start();
    session.takeDeviceBatch();
    EXPECT_FALSE(session.running());
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], StopReason::RecorderLost);
    EXPECT_EQ(count('l'), 1);
    EXPECT_EQ(st.SampleIndex, 1);
    EXPECT_EQ(stored(0), (std::array<int, 4>{601, 601, 601, 601}));
}

TEST_F(ScriptedSession, NoReportAtAllKeepsThePositionAndDividesNothing)
{
    st.SampleIntervalMs = 10;
    for (int c = 0; c < 4; ++c) {
        st.sample(c, 0) = 300 + c;
        st.trace(c, 0) = 180;
    }
    recorder.failures(101);
    session.start();
    session.takeDeviceBatch();
    EXPECT_FALSE(session.running());
    EXPECT_EQ(stops, (std::vector<StopReason>{StopReason::RecorderLost}));
    EXPECT_EQ(st.SampleIndex, 0);
    EXPECT_EQ(stored(0), (std::array<int, 4>{300, 301, 302, 303}));
    EXPECT_EQ(st.trace(2, 0), 180);
    EXPECT_TRUE(appended.empty());
}

struct DemoSession : Session {
    DemoSession()
    {
        st.DemoMode = true;
        st.ChannelRange = {80, 20, 20, 20};
        std::mt19937 rng(7);
        demo::buildSources(st, rng);
        demo::buildScreenTables(st, st);
        st.DemoStep = 1;
    }
};

TEST_F(DemoSession, SingleScreenWithAutoSaveIsPacedByWallTimeInBatches)
{
    const QString path = dir.filePath(QStringLiteral("demo.txt"));
    FileSink sink(st, path);
    session.setAutoSave(&sink);
    st.AutoSaveOn = true;
    st.SingleShot = true;
    QElapsedTimer wall;
    wall.start();
    session.start();
    EXPECT_TRUE(session.demoTimer()->Enabled());
    ASSERT_TRUE(runEventsUntil([this] { return !session.running(); }));
    const qint64 ms = wall.elapsed();

    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], StopReason::SingleScreenDone);
    EXPECT_FALSE(session.demoTimer()->Enabled());
    // 1701 samples at one a millisecond take about 1.7 s of wall time, in timer events of
    // about 16 ms each.
    EXPECT_GE(ms, 1650);
    EXPECT_LT(appended.size(), 160u);
    expectContiguous(0, 1700);
    EXPECT_EQ(session.progress().ElapsedMs, 1701);
    for (int p = 0; p < 1701; ++p)
        ASSERT_EQ(st.trace(0, p), st.DemoTable[static_cast<size_t>(p % 300)]) << p;

    const QList<QByteArray> l = fileLines(path);
    ASSERT_EQ(l.size(), 12 + 1701 + 2);
    for (int n = 0; n < 1701; ++n) {
        const QList<QByteArray> fields = l[12 + n].split('\t');
        ASSERT_EQ(fields.size(), 10);
        ASSERT_EQ(fields[0], QByteArray::number(n));
        ASSERT_EQ(fields[1].toInt(), sampleOfScreenValue(st.trace(0, n))) << n;
    }
    EXPECT_TRUE(l.back().startsWith("STOP:"));
}

TEST_F(DemoSession, TheScreenWrapsAfterPosition1701)
{
    st.SampleIntervalMs = 10;
    st.RecTimeDivLabel = "1s";
    session.start();
    session.takeDemoSamples(1702 + 98);
    // Positions 0..1701, the wrap, then positions 1..98.
    ASSERT_EQ(appended.size(), 2u);
    EXPECT_EQ(appended[0], std::make_pair(0, 1701));
    EXPECT_EQ(appended[1], std::make_pair(1, 98));
    std::vector<int> order;
    for (int e : events)
        if (e != 'r')
            order.push_back(e);
    EXPECT_EQ(order, (std::vector<int>{'a', 'w', 'a'}));
    EXPECT_TRUE(st.ScreenWrapped);
    EXPECT_EQ(st.SampleIndex, 99);
    EXPECT_EQ(session.progress().ElapsedMs, 980);  // without auto-save the time starts again with the screen
    // The DVM panels once a second and the value texts twice a second of sample time.
    EXPECT_GE(count('r'), 30);
    session.stop(StopReason::User);
    ASSERT_EQ(stops.size(), 1u);
    session.takeDemoSamples(5);  // an event queued before the stop takes no sample
    EXPECT_EQ(st.SampleIndex, 99);
}

TEST_F(DemoSession, ElapsedTimeIsTheSessionsAndCountsOnFromWhereItWasSet)
{
    st.SampleIntervalMs = 10;
    st.RecTimeDivLabel = "1s";
    st.AutoSaveOn = true;  // lines are only counted: no sink
    session.start();
    EXPECT_FALSE(session.progress().StopFlag);
    const int64_t longRun = int64_t{600} * 3600000 + 5 * 60000 + 6990;
    session.setElapsedMs(longRun);
    session.takeDemoSamples(1);
    const RunProgress& p = session.progress();
    EXPECT_EQ(p.ElapsedMs, longRun + 10);
    EXPECT_EQ(p.ElapsedHours, 600);  // beyond what 32 bits of milliseconds hold
    EXPECT_EQ(p.ElapsedMinutes, 5);
    EXPECT_EQ(p.ElapsedSeconds, 7);
    session.stop(StopReason::User);
    EXPECT_TRUE(p.StopFlag);
    EXPECT_EQ(p.ElapsedMs, longRun + 10);  // the stop keeps the time for the window's label

    session.start();  // a new recording starts at zero
    EXPECT_EQ(p.ElapsedMs, 0);
    EXPECT_EQ(p.ElapsedHours, 0);
    session.stop(StopReason::User);
    session.setElapsedMs(0);
    EXPECT_EQ(p.ElapsedSeconds, 0);
}

}  // namespace
