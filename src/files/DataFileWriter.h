#pragma once

#include <QFile>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

struct AnnotationState;
struct ChannelSetup;
struct RunState;
struct ScreenBuffer;

namespace datafile {

// The whole "Save Data" file of the screen buffer: the header, 1700 rows and the annotation block.
// Every recorded position (below SampleIndex) gives a data line N = r, Time = r x time step; the
// positions without a sample give filler lines numbered r + 1, and so does position 0 after the
// recording wrapped its screen (it then holds the recording's first sample, from an earlier
// screen). With DemoMode the raw values are first derived from the screen values and stored back
// into SampleBuf, as the recording does.
std::string formatSaveData(ScreenBuffer& buffer, const RunState& run, const ChannelSetup& channels,
                           const AnnotationState& annotation, char decimalSeparator);

// The armed auto-save file: created when the user arms it, then the header at the start of the
// recording, one line per sample and the trailer at the stop, which closes it.
//
// Lines are collected in memory and handed to the system at least once a second (and forced to
// the medium then), so a crash or a power cut loses at most about a second of samples and leaves
// a file that reads back as a data file without its trailer. The first failed write (a full disk,
// a medium gone) ends the writing: the file keeps what was written before, cut back to its last
// whole line, errorString() gives the system's reason, and writeTrailer() then adds the STOP line
// (and the annotation block) only where it fits whole.
class AutoSaveWriter {
public:
    // Monotonic milliseconds; the default is the system's steady clock.
    using Clock = std::function<int64_t()>;
    static constexpr int64_t FlushIntervalMs = 1000;

    explicit AutoSaveWriter(Clock clock = {});
    ~AutoSaveWriter();
    AutoSaveWriter(const AutoSaveWriter&) = delete;
    AutoSaveWriter& operator=(const AutoSaveWriter&) = delete;

    // Creates the file (an existing one is truncated). False with errorString() when it cannot.
    bool create(const QString& path);
    // True while the file takes lines: created, and neither failed nor closed.
    bool isOpen() const { return file_.isOpen() && !failed_; }
    QString path() const { return file_.fileName(); }
    // The reason of the last failure, for the user.
    const QString& errorString() const { return error_; }

    char decimalSeparator = '.';

    // Each returns false after a failure; the file is then closed.
    bool writeHeader(const RunState& run, const ChannelSetup& channels);
    bool writeSampleLine(int64_t n, const std::array<int32_t, 4>& raw, uint64_t timeMs,
                         const std::array<uint8_t, 4>& rangeTenths);
    // The empty line, the STOP line (with the run's StopStamp) and the annotation block (whole lines);
    // closes the file. After a failure each of the two parts is written only if it fits whole, and
    // the result stays false.
    bool writeTrailer(const RunState& run, const AnnotationState& annotation);
    // Hands the collected lines to the system and forces them to the medium.
    bool flush();
    // Flushes and closes (an armed file that was never written stays empty).
    bool close();

    // Bytes collected but not yet handed to the system.
    size_t pending() const { return buffer_.size(); }

private:
    // Hands the collected lines to the system. When the medium takes only part of them, the file is
    // cut back to the last whole line it took.
    bool writeOut();
    // After a failure: appends `piece` (whole lines) if the medium takes all of it, else nothing.
    void appendWhole(const std::string& piece);
    bool fail(const QString& reason);

    QFile file_;
    std::string buffer_;
    qint64 wholeBytes_ = 0;  // bytes of the file, all whole lines
    bool failed_ = false;
    Clock clock_;
    int64_t lastFlushMs_ = 0;
    QString error_;
};

}  // namespace datafile
