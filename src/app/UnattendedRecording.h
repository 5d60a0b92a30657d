#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/RecordOptions.h"
#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "recording/ScreenBuffer.h"
#include "screen/ViewState.h"

class HidTransport;
class DeviceLink;
class QEventLoop;
class QTimer;
class RecordingSession;
namespace datafile {
class AutoSaveWriter;
}

// Exit codes of `korvix record` and `korvix calibrate`.
namespace exitcode {
constexpr int Done = 0;
constexpr int BadOption = 2;
constexpr int WriteError = 3;
constexpr int NoRecorder = 4;
}  // namespace exitcode

// A recording from the recorder into data files without any window: a client of the same
// RecordingSession as the window, with the data file writer as its auto-save sink, on an event loop
// of the calling thread. It stops at the end of --duration/--samples, at a stop request (a
// signal), at a write error or when the recorder is gone (then, with --reconnect, it waits for the
// recorder and goes on in the next numbered file).
class UnattendedRecording {
public:
    // `transport` is the buffered HID transport (or the simulated recorder behind one);
    // `settingsPath` the settings file whose calibration offsets are used (it is only read).
    UnattendedRecording(const RecordOptions& options, HidTransport& transport, QString settingsPath);
    ~UnattendedRecording();
    UnattendedRecording(const UnattendedRecording&) = delete;
    UnattendedRecording& operator=(const UnattendedRecording&) = delete;

    // Records and returns the exit code. Messages go to `messages` (standard error by default).
    int run();

    // Asks a running recording to stop; safe to call from a signal handler and from any thread.
    static void requestStop();
    // Forgets an earlier stop request (before a new run in the same process).
    static void clearStopRequest();
    // Installs handlers for SIGINT, SIGTERM and SIGHUP that call requestStop().
    static void installSignalHandlers();

    // The files written, in order.
    const QStringList& files() const { return files_; }
    int64_t samplesWritten() const { return totalSamples_; }

    // Where messages and the status line go, and whether the status line is shown.
    std::FILE* messages = stderr;
    bool statusLine = false;
    // How long one wait for a returning recorder sleeps (milliseconds).
    int reconnectPollMs = 1000;
    // How often the session takes the queued reports: ten times a second is enough for a file.
    static constexpr int BatchIntervalMs = 100;

private:
    class Sink;
    bool connect();
    bool openFile();
    bool closeFile(const QString& reason);
    void sendRangesAndOffset();
    void printStatus(bool force);
    void say(const QString& text);
    bool waitForRecorder();
    // The session's auto-save hand-off.
    void fileHeader();
    void sampleTaken(int position);
    void recordingStopped();
    // The session stopped; what follows depends on why.
    void afterStop();
    void stopRequestArrived();
    void retryRecorder();
    void finish(int code);

    RecordOptions o_;
    HidTransport& transport_;
    QString settingsPath_;
    // What the session records into: the samples, the channels as the options set them up, the run
    // state, and the note (--comment and the reason a file ended) for the file's trailer.
    ScreenBuffer buffer_;
    ChannelSetup channels_;
    RunState run_;
    AnnotationState note_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<datafile::AutoSaveWriter> writer_;
    std::unique_ptr<Sink> sink_;
    std::unique_ptr<RecordingSession> session_;
    QEventLoop* loop_ = nullptr;
    QTimer* reconnectTimer_ = nullptr;
    QStringList files_;
    int fileNumber_ = 0;
    int64_t totalSamples_ = 0;
    int64_t sampleLimit_ = 0;  // 0: none
    int64_t splitSamples_ = 0;
    int64_t fileSamples_ = 0;
    int64_t startMs_ = 0;
    int64_t lastStatusMs_ = 0;
    uint64_t lostBefore_ = 0;  // reports lost in earlier connections
    bool statusShown_ = false;
    std::array<int32_t, 4> lastRaw_{512, 512, 512, 512};  // the last sample, for the status line
    bool limitReached_ = false;
    bool writeFailed_ = false;
    bool recorderLost_ = false;
    int code_ = 0;
};
