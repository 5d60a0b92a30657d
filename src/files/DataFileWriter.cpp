#include "files/DataFileWriter.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "files/DataFileFormat.h"
#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "recording/ScreenBuffer.h"
#include "screen/ViewState.h"

namespace datafile {

namespace {

// Lines are handed to the system when this much is collected, whatever the time.
constexpr size_t WriteChunk = size_t{1} << 20;

int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::array<int32_t, 4> rawAt(const ScreenBuffer& buffer, int position)
{
    return {buffer.sample(0, position), buffer.sample(1, position), buffer.sample(2, position),
            buffer.sample(3, position)};
}

}  // namespace

std::string formatSaveData(ScreenBuffer& buffer, const RunState& run, const ChannelSetup& channels,
                           const AnnotationState& annotation, char decimalSeparator)
{
    std::string out;
    out.reserve(SaveDataRows * 64 + 1024);
    appendHeader(out, run, channels, false);
    const auto stepMs = static_cast<uint64_t>(timeStepMs(run.RecTimeDivLabel));
    for (int r = 0; r < SaveDataRows; ++r) {
        if (run.DemoMode)
            for (int c = 0; c < ChannelCount; ++c)
                buffer.sample(c, r) = sampleOfScreenValue(buffer.trace(c, r));
        // After a wrap, position 0 holds the first sample of the recording, not one of this screen
        // (which fills the positions from 1 on): it is a position without a sample of its own.
        const bool staleFirst = r == 0 && buffer.ScreenWrapped;
        if (r < buffer.SampleIndex && !staleFirst)
            appendDataLine(out, r, rawAt(buffer, r), static_cast<uint64_t>(r) * stepMs, channels.ChannelRange,
                           decimalSeparator);
        else
            appendFillerLine(out, r + 1);
    }
    appendAnnotationBlock(out, annotation, SaveDataAnnotationWidth);
    return out;
}

AutoSaveWriter::AutoSaveWriter(Clock clock) : clock_(clock ? std::move(clock) : Clock(steadyMs)) {}

AutoSaveWriter::~AutoSaveWriter()
{
    close();
}

bool AutoSaveWriter::create(const QString& path)
{
    close();
    buffer_.clear();
    error_.clear();
    wholeBytes_ = 0;
    failed_ = false;
    file_.setFileName(path);
    // Unbuffered: the lines are collected here and handed over in large pieces.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        error_ = file_.errorString();
        return false;
    }
    lastFlushMs_ = clock_();
    return true;
}

bool AutoSaveWriter::writeHeader(const RunState& run, const ChannelSetup& channels)
{
    if (!isOpen())
        return false;
    appendHeader(buffer_, run, channels, true);
    return flush();
}

bool AutoSaveWriter::writeSampleLine(int64_t n, const std::array<int32_t, 4>& raw, uint64_t timeMs,
                                     const std::array<uint8_t, 4>& rangeTenths)
{
    if (!isOpen())
        return false;
    appendDataLine(buffer_, n, raw, timeMs, rangeTenths, decimalSeparator);
    if (clock_() - lastFlushMs_ >= FlushIntervalMs)
        return flush();
    if (buffer_.size() >= WriteChunk)
        return writeOut();
    return true;
}

bool AutoSaveWriter::writeTrailer(const RunState& run, const AnnotationState& annotationPart)
{
    if (!file_.isOpen())
        return false;
    std::string stop = Eol;
    stop.append(AutoSaveStopKey);
    stop.append(toWindows1252(run.StopStamp).constData());
    stop.append(Eol);
    std::string annotation;
    appendAnnotationBlock(annotation, annotationPart, 0);
    if (failed_) {
        appendWhole(stop);
        appendWhole(annotation);
        file_.close();
        return false;
    }
    buffer_.append(stop);
    buffer_.append(annotation);
    return close();
}

bool AutoSaveWriter::writeOut()
{
    const auto size = static_cast<qint64>(buffer_.size());
    qint64 done = 0;
    while (done < size) {
        // A write that the medium takes only in part returns the part; the next one says why.
        const qint64 n = file_.write(buffer_.data() + done, size - done);
        if (n <= 0) {
            const QString reason = file_.errorString();
            // The lines taken whole stay; a line cut by the error goes, so that every reader opens
            // the file cleanly.
            const size_t lineEnd = done > 0 ? buffer_.rfind('\n', static_cast<size_t>(done - 1)) : std::string::npos;
            wholeBytes_ += lineEnd == std::string::npos ? 0 : static_cast<qint64>(lineEnd + 1);
            if (wholeBytes_ != file_.size())
                file_.resize(wholeBytes_);
            return fail(reason);
        }
        done += n;
    }
    wholeBytes_ += size;
    buffer_.clear();
    return true;
}

void AutoSaveWriter::appendWhole(const std::string& piece)
{
    if (piece.empty())
        return;
    const qint64 before = wholeBytes_;
    const auto size = static_cast<qint64>(piece.size());
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file_.write(piece.data() + done, size - done);
        if (n <= 0) {
            if (file_.size() != before)
                file_.resize(before);
            return;
        }
        done += n;
    }
    wholeBytes_ += size;
}

bool AutoSaveWriter::flush()
{
    if (!isOpen())
        return false;
    if (!writeOut())
        return false;
    lastFlushMs_ = clock_();
#if defined(Q_OS_WIN)
    if (_commit(file_.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#else
    // fdatasync skips the time stamps but keeps the size, which is all a reader needs. Devices and
    // pipes cannot be synchronised; that is no loss of data.
#if defined(Q_OS_LINUX)
    const int synced = ::fdatasync(file_.handle());
#else
    const int synced = ::fsync(file_.handle());
#endif
    if (synced != 0 && errno != EINVAL && errno != ENOTSUP && errno != EROFS)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    return true;
}

bool AutoSaveWriter::close()
{
    if (!file_.isOpen())
        return error_.isEmpty();
    const bool ok = !failed_ && flush();
    file_.close();
    return ok;
}

bool AutoSaveWriter::fail(const QString& reason)
{
    // The file stays open for the trailer; it takes no more lines.
    error_ = reason.isEmpty() ? QStringLiteral("Unknown error") : reason;
    buffer_.clear();
    failed_ = true;
    return false;
}

}  // namespace datafile
