#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/RecordOptions.h"

class HidTransport;
class DeviceLink;
struct RecorderState;
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

// A recording from the recorder into data files without any window: the same device link, sample
// averaging and auto-save writer as the window's recording, driven by a plain loop that reads the
// reader thread's buffered reports. It stops at the end of --duration/--samples, at a stop request
// (a signal), at a write error or when the recorder is gone (then, with --reconnect, it waits for
// the recorder and goes on in the next numbered file).
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

    // Asks a running recording to stop; safe to call from a signal handler.
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

private:
    enum class FileEnd { Limit, Split, Stop, DeviceLost, WriteError };
    bool connect();
    bool openFile();
    FileEnd recordFile();
    bool closeFile(const QString& reason);
    void sendRangesAndOffset();
    void printStatus(bool force);
    void say(const QString& text);
    bool waitForRecorder();

    RecordOptions o_;
    HidTransport& transport_;
    QString settingsPath_;
    std::unique_ptr<RecorderState> st_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<datafile::AutoSaveWriter> writer_;
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
};
