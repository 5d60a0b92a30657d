#include "app/UnattendedRecording.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "files/DataFileFormat.h"
#include "files/DataFileWriter.h"
#include "recording/RecordingSession.h"
#include "recording/TimeBase.h"
#include "screen/LocaleTexts.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
// The self-pipe: a stop request writes a byte, which wakes the event loop of the recording.
int stopPipe[2] = {-1, -1};

void makeStopPipe()
{
    if (stopPipe[0] >= 0)
        return;
    if (::pipe(stopPipe) != 0) {
        stopPipe[0] = stopPipe[1] = -1;
        return;
    }
    for (int fd : stopPipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

void drainStopPipe()
{
    char buffer[64];
    if (stopPipe[0] >= 0)
        while (::read(stopPipe[0], buffer, sizeof buffer) > 0) {
        }
}

extern "C" void onStopSignal(int)
{
    UnattendedRecording::requestStop();
}

int64_t steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The date in the user's short date format, a TAB and the time in the long time format, as the
// window stamps its recordings.
QString stampNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return shortDateText(now.date()) + QLatin1Char('\t') + longTimeText(now.time());
}

QString clockNow()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

// Where the note of --comment stands on the screen when the file is opened: the grid's top left.
constexpr uint16_t NoteX = 20, NoteY = 30;

}  // namespace

UnattendedRecording::UnattendedRecording(const RecordOptions& options, HidTransport& transport, QString settingsPath)
    : o_(options), transport_(transport), settingsPath_(std::move(settingsPath))
{
    makeStopPipe();
}

UnattendedRecording::~UnattendedRecording() = default;

// Hands the session's auto-save calls to the recording.
class UnattendedRecording::Sink final : public AutoSaveSink {
public:
    explicit Sink(UnattendedRecording& recording) : r_(recording) {}
    void writeHeader() override { r_.fileHeader(); }
    void writeSampleLine(int position, double) override { r_.sampleTaken(position); }
    void recordingStopped() override { r_.recordingStopped(); }

private:
    UnattendedRecording& r_;
};

void UnattendedRecording::requestStop()
{
    stopRequested = 1;
    if (stopPipe[1] >= 0) {
        const char byte = 1;
        (void)!::write(stopPipe[1], &byte, 1);
    }
}

void UnattendedRecording::clearStopRequest()
{
    makeStopPipe();
    drainStopPipe();
    stopRequested = 0;
}

void UnattendedRecording::installSignalHandlers()
{
    makeStopPipe();
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking call returns early, and the loop sees the request at once.
    action.sa_flags = 0;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void UnattendedRecording::say(const QString& text)
{
    if (statusShown_) {
        std::fputs("\n", messages);
        statusShown_ = false;
    }
    std::fprintf(messages, "korvix record: %s\n", qPrintable(text));
    std::fflush(messages);
}

void UnattendedRecording::sendRangesAndOffset()
{
    link_->sendOffset(channels_.HwOffset);
    link_->sendRanges(channels_.ChannelRange);
}

bool UnattendedRecording::connect()
{
    link_ = std::make_unique<DeviceLink>(transport_);
    if (!link_->FindDevice() || !link_->opened()) {
        const bool noAccess = link_->found();
        link_.reset();
        if (noAccess)
            say(QStringLiteral("the KORVIX recorder was found but cannot be opened (no access)"));
        return false;
    }
    sendRangesAndOffset();
    return true;
}

bool UnattendedRecording::waitForRecorder()
{
    for (;;) {
        for (int waited = 0; waited < reconnectPollMs; waited += 50) {
            if (stopRequested)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (stopRequested)
            return false;
        if (connect())
            return true;
    }
}

bool UnattendedRecording::openFile()
{
    QString name = o_.output;
    if (o_.toStdout())
        name = QStringLiteral("/dev/stdout");
    else if (o_.numberedFiles())
        name = numberedFileName(o_.output, ++fileNumber_);
    writer_ = std::make_unique<datafile::AutoSaveWriter>();
    writer_->decimalSeparator = datafile::decimalSeparatorOf(QLocale().decimalPoint());
    if (!writer_->create(name)) {
        say(QStringLiteral("cannot create %1: %2").arg(name, writer_->errorString()));
        return false;
    }
    files_ << name;
    run_.StartStamp = stampNow();
    run_.AutoSaveLineNo = 0;
    fileSamples_ = 0;
    if (!writer_->writeHeader(run_, channels_)) {
        say(QStringLiteral("cannot write %1: %2").arg(name, writer_->errorString()));
        return false;
    }
    return true;
}

bool UnattendedRecording::closeFile(const QString& reason)
{
    run_.StopStamp = stampNow();
    const QString note = note_.AnnotationText;
    const bool noteOn = note_.AnnotationOn;
    if (!reason.isEmpty()) {
        // The reason becomes the last line of the note, so it shows when the file is opened.
        note_.AnnotationText = note.isEmpty() ? reason : note + QLatin1Char('\n') + reason;
        note_.AnnotationOn = true;
    }
    const bool ok = writer_->writeTrailer(run_, note_);
    note_.AnnotationText = note;
    note_.AnnotationOn = noteOn;
    return ok;
}

void UnattendedRecording::fileHeader()
{
    if (!openFile()) {
        writeFailed_ = true;
        session_->requestStop(StopReason::WriteError);
    }
}

void UnattendedRecording::sampleTaken(int position)
{
    if (writeFailed_ || limitReached_ || !writer_)
        return;
    const std::array<int32_t, 4> raw{buffer_.sample(0, position), buffer_.sample(1, position),
                                     buffer_.sample(2, position), buffer_.sample(3, position)};
    const int64_t n = run_.AutoSaveLineNo++;
    const auto stepMs = static_cast<uint64_t>(run_.SampleIntervalMs);
    if (!writer_->writeSampleLine(n, raw, static_cast<uint64_t>(n) * stepMs, channels_.ChannelRange)) {
        writeFailed_ = true;
        session_->requestStop(StopReason::WriteError);
        return;
    }
    lastRaw_ = raw;
    ++fileSamples_;
    ++totalSamples_;
    if (sampleLimit_ > 0 && totalSamples_ >= sampleLimit_) {
        limitReached_ = true;
        session_->requestStop(StopReason::User);
    } else if (splitSamples_ > 0 && fileSamples_ >= splitSamples_) {
        // The recording goes on; only the file changes.
        if (!closeFile(QString()) || !openFile()) {
            writeFailed_ = true;
            session_->requestStop(StopReason::WriteError);
        }
    }
}

void UnattendedRecording::recordingStopped()
{
    if (!writer_ || !writer_->isOpen()) {
        if (writer_ && writeFailed_)
            closeFile(QString());
        return;
    }
    const QString reason =
        recorderLost_
            ? QStringLiteral("Recording ended at %1: the recorder was unplugged or stopped sending").arg(clockNow())
            : QString();
    if (!closeFile(reason))
        writeFailed_ = true;
}

void UnattendedRecording::finish(int code)
{
    code_ = code;
    if (reconnectTimer_ != nullptr)
        reconnectTimer_->stop();
    if (loop_ != nullptr)
        loop_->quit();
}

void UnattendedRecording::afterStop()
{
    if (writeFailed_) {
        say(QStringLiteral("cannot write %1: %2; the lines written before are kept")
                .arg(writer_ ? writer_->path() : o_.output, writer_ ? writer_->errorString() : QString()));
        finish(exitcode::WriteError);
        return;
    }
    if (!recorderLost_ || stopRequested) {
        finish(exitcode::Done);
        return;
    }
    // The recorder is gone: the file is complete, with the reason in its note.
    lostBefore_ += link_->lostSinceStart();
    session_->setDevice(nullptr);
    link_.reset();
    if (!o_.reconnect) {
        say(QStringLiteral("the recorder was unplugged or stopped sending; the recording ended at %1 with a "
                           "complete file")
                .arg(clockNow()));
        finish(exitcode::NoRecorder);
        return;
    }
    say(QStringLiteral("recorder gone at %1; waiting for it to return").arg(clockNow()));
    reconnectTimer_->start(reconnectPollMs);
}

void UnattendedRecording::retryRecorder()
{
    if (!connect())
        return;
    reconnectTimer_->stop();
    say(QStringLiteral("recorder back at %1; going on in the next file").arg(clockNow()));
    recorderLost_ = false;
    session_->setDevice(link_.get());
    session_->start();
}

void UnattendedRecording::stopRequestArrived()
{
    drainStopPipe();
    if (session_->running())
        session_->stop(StopReason::User);
    else
        finish(exitcode::Done);
}

void UnattendedRecording::printStatus(bool force)
{
    if (!statusLine)
        return;
    const int64_t now = steadyMs();
    if (!force && now - lastStatusMs_ < 1000)
        return;
    lastStatusMs_ = now;
    const int64_t s = (now - startMs_) / 1000;
    QString line = QStringLiteral("%1:%2:%3  %4 samples ")
                       .arg(s / 3600, 2, 10, QLatin1Char('0'))
                       .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(s % 60, 2, 10, QLatin1Char('0'))
                       .arg(totalSamples_);
    for (int c = 0; c < ChannelCount; ++c)
        line += QStringLiteral(" CH%1 %2V")
                    .arg(c + 1)
                    .arg(sampleVolts(lastRaw_[static_cast<size_t>(c)], channels_.ChannelRange[c]), 0, 'f', 3);
    if (writer_ && !o_.toStdout()) {
        const qint64 size = QFileInfo(writer_->path()).size() + static_cast<qint64>(writer_->pending());
        line += QStringLiteral("  %1 kB").arg(size / 1024);
    }
    const uint64_t lost = lostBefore_ + (link_ ? link_->lostSinceStart() : 0);
    line += QStringLiteral("  %1 lost").arg(lost);
    std::fprintf(messages, "\r%s\033[K", qPrintable(line));
    std::fflush(messages);
    statusShown_ = true;
}

int UnattendedRecording::run()
{
    // The calibration offsets as the window starts with them; the file is only read.
    const SettingsFile settings(settingsPath_);
    WindowBounds unused;
    ColourScheme colours;  // the colours of the same file are the window's
    readStartupSettings(settings, run_, channels_, colours, unused);
    run_.DemoMode = false;
    if (settings.readInteger(QLatin1String(Key::Section_Hardware), QLatin1String(Key::Hardware_Offset), INT_MIN) ==
        INT_MIN)
        say(QStringLiteral("no calibration offsets stored in %1: recording uncalibrated (korvix calibrate "
                           "stores them)")
                .arg(settingsPath_));

    const TimeBaseEntry& timeBase = TimeBases[static_cast<size_t>(o_.timeBase < 0 ? TimeBase1s : o_.timeBase)];
    run_.SampleIntervalMs = timeBase.sampleIntervalMs;
    run_.TimeDivLabel = QString::fromLatin1(timeBase.label);
    run_.RecTimeDivLabel = run_.TimeDivLabel.str();
    run_.TimeDivCode = timeBase.timeDivCode;
    run_.BufferTimeDivCode = timeBase.timeDivCode;
    for (int c = 0; c < ChannelCount; ++c) {
        const int index = std::max(o_.range[static_cast<size_t>(c)], 0);
        const RangeEntry& range = Ranges[static_cast<size_t>(index)];
        channels_.ChannelRange[static_cast<size_t>(c)] = static_cast<uint8_t>(range.channelRange);
        channels_.RangeLabel[c] = QString::fromUtf8(range.label);
        channels_.RecRangeLabel[c] = channels_.RangeLabel[c].str();
        channels_.CalOffset[static_cast<size_t>(c)] = range.usesOffset4 ? channels_.HwOffset4 : 0;
    }
    if (!o_.comment.isEmpty()) {
        note_.AnnotationText = o_.comment.join(QLatin1Char('\n'));
        note_.AnnotationOn = true;
        note_.AnnotationX = NoteX;
        note_.AnnotationY = NoteY;
    }
    sampleLimit_ = o_.samples > 0 ? o_.samples : (o_.durationMs + run_.SampleIntervalMs - 1) / run_.SampleIntervalMs;
    splitSamples_ = o_.splitMs > 0 ? std::max<int64_t>(1, o_.splitMs / run_.SampleIntervalMs) : 0;

    if (!connect()) {
        if (!o_.reconnect) {
            say(QStringLiteral(
                "no KORVIX recorder found (USB 1209:4B52). Plug it in; without the package, give a user access "
                "with the udev rule: sudo cp udev/70-korvix.rules /etc/udev/rules.d/ && sudo udevadm control "
                "--reload, then replug it."));
            return exitcode::NoRecorder;
        }
        say(QStringLiteral("no KORVIX recorder found; waiting for it"));
        if (!waitForRecorder())
            return exitcode::Done;
        say(QStringLiteral("recorder found at %1").arg(clockNow()));
    }

    if (stopRequested)
        return exitcode::Done;

    // The recording runs on an event loop of this thread: the session's batch timer, the status
    // line, the search for a returning recorder and the stop requests.
    QEventLoop loop;
    loop_ = &loop;
    sink_ = std::make_unique<Sink>(*this);
    session_ = std::make_unique<RecordingSession>(buffer_, channels_, run_, nullptr);
    session_->setDevice(link_.get());
    session_->setAutoSave(sink_.get());
    // Nothing is drawn: the reports can wait longer in the transport's queue between two batches.
    session_->setBatchInterval(BatchIntervalMs);
    QObject::connect(session_.get(), &RecordingSession::recorderLost, [this] { recorderLost_ = true; });
    QObject::connect(
        session_.get(), &RecordingSession::stopped, &loop, [this] { afterStop(); }, Qt::QueuedConnection);
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [this] { printStatus(true); });
    if (statusLine)
        status.start(1000);
    QTimer reconnect;
    reconnectTimer_ = &reconnect;
    QObject::connect(&reconnect, &QTimer::timeout, [this] { retryRecorder(); });
    QSocketNotifier stopNotifier(stopPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [this] { stopRequestArrived(); });

    startMs_ = steadyMs();
    run_.AutoSaveOn = true;
    session_->start();
    // A stop asked for before the loop ran is seen at once.
    if (stopRequested)
        session_->stop(StopReason::User);
    loop.exec();
    const int code = code_;
    loop_ = nullptr;
    reconnectTimer_ = nullptr;
    session_.reset();

    printStatus(true);
    const uint64_t lost = lostBefore_ + (link_ ? link_->lostSinceStart() : 0);
    if (lost > 0)
        say(QStringLiteral("%1 report%2 from the recorder lost during the recording")
                .arg(lost)
                .arg(lost == 1 ? "" : "s"));
    if (statusShown_) {
        std::fputs("\n", messages);
        statusShown_ = false;
    }
    return code;
}
