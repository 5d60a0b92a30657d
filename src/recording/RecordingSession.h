#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <cstdint>

#include "device/SampleAveraging.h"
#include "recording/ChannelSetup.h"
#include "recording/DemoSource.h"
#include "recording/RunState.h"
#include "recording/ScreenBuffer.h"

class DeviceLink;
class MillisecondTimer;
class QTimer;

// Where a recording's samples go when a file is armed for auto-save: the session calls it at the
// start, once per sample taken and at the stop. The windows implement it with the data file writer.
class AutoSaveSink {
public:
    virtual ~AutoSaveSink() = default;
    virtual void writeHeader() = 0;
    // The sample at `position` of the sample buffer, taken `timeStep` seconds after the one before.
    virtual void writeSampleLine(int position, double timeStep) = 0;
    // Called at every stop: sets the stop stamp and, when a file is armed (AutoSaveOn), closes it
    // with its STOP line.
    virtual void recordingStopped() = 0;
};

// What only the recording changes as it runs: the reports summed for the sample being formed and
// the refresh schedule of the value displays (SampleAverager), the stop flag and the elapsed time.
// The session owns it; the windows and `korvix record` read it through progress().
struct RunProgress : SampleAverager {
    // Set when no recording runs or when the running one is to stop after the sample in hand.
    bool StopFlag = true;
    // Elapsed time; counts in 64 bits so that a recording of more than 596 hours keeps its label right.
    int64_t ElapsedMs = 0;
    int64_t ElapsedHours = 0;
    int32_t ElapsedMinutes = 0, ElapsedSeconds = 0;
};

// Why a recording ended.
enum class StopReason {
    User,              // Run or Single released
    SingleScreenDone,  // a Single recording filled its screen
    RecorderLost,      // the recorder is gone or sends nothing any more
    WriteError,        // the auto-save file could not be written
    Closed,            // the program ends
};

// One recording, without any window: takes samples from the recorder (through the buffered
// transport of its DeviceLink) or from the demo tables, stores them at SampleIndex of the sample
// buffer, counts the elapsed time, wraps the screen after position 1701, schedules the refresh of
// the value displays and hands each sample to the armed auto-save file.
//
// Nothing waits in a nested event loop. A device recording takes, on a timer of the thread that
// owns the session (every BatchIntervalMs, the first time a second after the start command), every
// report the reader thread has queued; a demo recording takes, per timer event, the samples that
// wall time makes due. Counts are those of the reports and samples, never of timer events: one
// sample per SampleIntervalMs reports, the value refresh after 11 reports and then every 1001.
//
// The session writes the samples into the screen buffer and keeps the stop flag, sums and elapsed
// time itself (progress()); it reads the run state's set-up (mode, time base, auto-save; the line
// count goes on through the sink) and the channel set-up (the calibration offsets). Observers
// learn of the progress through its signals, all emitted on the session's thread and
// synchronously, in sample order.
class RecordingSession : public QObject {
    Q_OBJECT
public:
    static constexpr int BatchIntervalMs = 16;
    // A device recording takes its first batch this long after the start command.
    static constexpr int DeviceStartDelayMs = 1000;
    // A recorder that sent nothing for this long is taken as gone: the time the reads of a
    // recording used to allow (101 failed reads of 50 ms each).
    static constexpr int StallTimeoutMs = 5050;

    // `demoSource` gives the samples of a demo recording (may be null where only the recorder is
    // recorded from).
    RecordingSession(ScreenBuffer& buffer, const ChannelSetup& channels, RunState& run, DemoSource* demoSource,
                     QObject* parent = nullptr);
    ~RecordingSession() override;

    // The recorder to record from in device mode (may be null: no report ever comes).
    void setDevice(DeviceLink* link) { link_ = link; }
    // The auto-save hand-off (may be null: lines are only counted).
    void setAutoSave(AutoSaveSink* sink) { sink_ = sink; }
    // How often a device recording takes the queued reports (BatchIntervalMs unless set): a client
    // that draws nothing may take them less often; the transport's queue holds ten seconds.
    void setBatchInterval(int ms) { batchIntervalMs_ = ms > 0 ? ms : BatchIntervalMs; }
    int batchInterval() const { return batchIntervalMs_; }

    // Starts a recording of the current mode (DemoMode) and time base (SampleIntervalMs,
    // RecTimeDivLabel): resets the position, elapsed time and sums, starts the timer, writes the
    // auto-save header when AutoSaveOn, and in device mode sends the start command.
    void start();
    // Ends the recording: a device recording first takes the reports already queued, and a sample
    // of fewer reports than its interval when some were gathered; then the trailer, the stop
    // command, and stopped(reason). Nothing happens when no recording runs.
    void stop(StopReason reason);
    // Asks for the stop from inside a handler of one of the session's own calls (the auto-save
    // sink): the sample in hand is completed and the session stops after it.
    void requestStop(StopReason reason);

    bool running() const { return running_; }
    // The stop flag, the sums of the sample being formed and the elapsed time.
    const RunProgress& progress() const { return progress_; }
    // Sets the elapsed time, from which a running recording counts on (0 for a new window; the
    // start of a recording sets it to 0 itself).
    void setElapsedMs(int64_t ms);
    // Test hook: the sums of a sample being formed, as if `reportCount` reports had summed to them.
    void setSumsForTest(const std::array<int32_t, ChannelCount>& sums, int32_t reportCount);
    // A device recording waits for its first batch (the first second after the start command).
    bool waitingForFirstBatch() const { return running_ && !run_.DemoMode && !firstBatchDone_; }

    // One device batch now: every report queued. Called by the session's timer.
    void takeDeviceBatch();
    // `count` demo samples now (fewer if the recording stops on the way).
    void takeDemoSamples(int count);

    // Paces the demo samples.
    MillisecondTimer* demoTimer() const { return demoTimer_; }

signals:
    void started();
    // Positions first..last of the sample buffer were filled, in this order (last may be the wrap
    // position 1701, after which wrapped() follows).
    void samplesAppended(int first, int last);
    // The screen is full: the next sample goes to position 1.
    void wrapped();
    // The value displays are due for a refresh: the DVM panels (`dvm`) and the value texts
    // (`texts`). A device recording asks for both at once; the window refreshes the one it shows.
    void valuesRefreshDue(bool dvm, bool texts);
    void recorderLost();
    void stopped(StopReason reason);

private:
    void perSampleSteps(double timeStep, bool deviceMode);
    void storeDeviceSample();
    void flushAppended();
    void finish();

    ScreenBuffer& buffer_;
    const ChannelSetup& channels_;
    RunState& run_;
    RunProgress progress_;
    DemoSource* demo_;
    DeviceLink* link_ = nullptr;
    AutoSaveSink* sink_ = nullptr;
    QTimer* batchTimer_ = nullptr;
    MillisecondTimer* demoTimer_ = nullptr;
    QElapsedTimer sinceReport_;
    bool running_ = false;
    bool firstBatchDone_ = false;
    bool inBatch_ = false;
    StopReason reason_ = StopReason::User;
    int appendedFrom_ = -1, appendedTo_ = -1;
    int failedReads_ = 0;
    int batchIntervalMs_ = BatchIntervalMs;
};
