#include "recording/RecordingSession.h"

#include <QTimer>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "device/SampleAveraging.h"
#include "recording/DemoSource.h"
#include "recording/MillisecondTimer.h"
#include "recording/TimeBase.h"

RecordingSession::RecordingSession(ScreenBuffer& buffer, const ChannelSetup& channels, RunState& run,
                                   DemoSource* demoSource, QObject* parent)
    : QObject(parent), buffer_(buffer), channels_(channels), run_(run), demo_(demoSource)
{
    batchTimer_ = new QTimer(this);
    batchTimer_->setObjectName(QStringLiteral("deviceBatchTimer"));
    connect(batchTimer_, &QTimer::timeout, this, &RecordingSession::takeDeviceBatch);

    demoTimer_ = new MillisecondTimer(this);
    demoTimer_->setObjectName(QStringLiteral("demoTimer"));
    demoTimer_->setResolution(1);
    demoTimer_->setBatchPeriod(BatchIntervalMs);
    demoTimer_->OnTimer = [this] { takeDemoSamples(1); };
    demoTimer_->OnTicks = [this](int64_t due) { takeDemoSamples(static_cast<int>(due)); };
}

RecordingSession::~RecordingSession() = default;

void RecordingSession::start()
{
    progress_.StopFlag = false;
    buffer_.SampleIndex = 0;
    buffer_.ScreenWrapped = false;
    setElapsedMs(0);
    // The value displays refresh after the first 11 reports of a device recording, then every 1001.
    progress_.startRecording();
    running_ = true;
    firstBatchDone_ = false;
    failedReads_ = 0;
    appendedFrom_ = appendedTo_ = -1;
    reason_ = StopReason::User;

    if (run_.DemoMode) {
        demoTimer_->setInterval(static_cast<uint32_t>(run_.SampleIntervalMs));
        demoTimer_->setResolution(10);
        demoTimer_->setEnabled(true);
    } else {
        batchTimer_->setSingleShot(true);
        batchTimer_->start(DeviceStartDelayMs);
    }
    if (run_.AutoSaveOn && sink_ != nullptr)
        sink_->writeHeader();
    if (!run_.DemoMode && link_ != nullptr)
        link_->sendCommand(command::Start);
    emit started();
}

void RecordingSession::setElapsedMs(int64_t ms)
{
    progress_.ElapsedMs = ms;
    progress_.ElapsedHours = ms / 3600000;
    progress_.ElapsedMinutes = static_cast<int32_t>(ms % 3600000 / 60000);
    progress_.ElapsedSeconds = static_cast<int32_t>(ms % 3600000 % 60000 / 1000);
}

void RecordingSession::setSumsForTest(const std::array<int32_t, ChannelCount>& sums, int32_t reportCount)
{
    progress_.SampleSum = sums;
    progress_.ReportCount = reportCount;
}

void RecordingSession::requestStop(StopReason reason)
{
    if (!running_)
        return;
    if (!progress_.StopFlag)
        reason_ = reason;
    progress_.StopFlag = true;
    demoTimer_->setEnabled(false);
}

void RecordingSession::stop(StopReason reason)
{
    if (!running_)
        return;
    if (inBatch_) {
        // Called from an observer during a batch: the batch ends after the sample in hand.
        requestStop(reason);
        return;
    }
    requestStop(reason);
    batchTimer_->stop();
    if (!run_.DemoMode && firstBatchDone_) {
        // Reports measured before the stop that have not been taken yet belong to the recording.
        progress_.StopFlag = false;
        takeDeviceBatch();
        if (!running_)
            return;
        progress_.StopFlag = true;
    }
    finish();
}

void RecordingSession::takeDeviceBatch()
{
    if (!running_ || run_.DemoMode || inBatch_)
        return;
    if (!firstBatchDone_) {
        firstBatchDone_ = true;
        sinceReport_.start();
        batchTimer_->setSingleShot(false);
        batchTimer_->start(batchIntervalMs_);
    }
    inBatch_ = true;
    const double timeStep = timeStepOf(run_.RecTimeDivLabel);
    bool lost = false;
    while (!progress_.StopFlag) {
        const int n = link_ != nullptr ? link_->readArrived() : HidTransport::Gone;
        if (n == 0) {
            // Nothing more has arrived: the rest comes with the next batch, unless the recorder
            // has stayed silent for too long.
            lost = sinceReport_.elapsed() >= StallTimeoutMs;
            break;
        }
        if (n < 0) {
            if (++failedReads_ > MaxFailedReads) {
                lost = true;
                break;
            }
            continue;
        }
        failedReads_ = 0;
        sinceReport_.start();
        progress_.addReport(link_->inReport().data());
        if (progress_.refreshDue())
            emit valuesRefreshDue(true, true);
        if (progress_.ReportCount >= run_.SampleIntervalMs) {
            storeDeviceSample();
            perSampleSteps(timeStep, true);
            progress_.clearSums();
        }
    }
    if (lost) {
        progress_.StopFlag = true;
        reason_ = StopReason::RecorderLost;
        emit recorderLost();
    }
    flushAppended();
    inBatch_ = false;
    // A batch that ends on a stop (Single done, recorder lost, a stop asked for meanwhile) ends
    // the recording; a sample of the reports gathered so far is its last one.
    if (progress_.StopFlag && running_) {
        if (progress_.ReportCount > 0) {
            storeDeviceSample();
            perSampleSteps(timeStep, true);
            progress_.clearSums();
            flushAppended();
        }
        finish();
    }
}

void RecordingSession::storeDeviceSample()
{
    const int position = buffer_.SampleIndex;
    for (int c = 0; c < ChannelCount; ++c) {
        const size_t i = static_cast<size_t>(c);
        const int value = progress_.value(c, channels_.CalOffset[i]);
        buffer_.trace(c, position) = screenValue(value);
        buffer_.sample(c, position) = value;
    }
}

void RecordingSession::takeDemoSamples(int count)
{
    // A timer event that was already queued when the recording stopped takes no sample.
    if (!running_ || !run_.DemoMode || demo_ == nullptr || inBatch_ || !demoTimer_->Enabled())
        return;
    inBatch_ = true;
    const double timeStep = timeStepOf(run_.RecTimeDivLabel);
    for (int i = 0; i < count && !progress_.StopFlag; ++i) {
        demo::takeSample(*demo_, buffer_);
        const demo::Refresh refresh = demo::advanceDisplayClocks(*demo_, static_cast<int>(demoTimer_->Interval()));
        if (refresh.dvm || refresh.values)
            emit valuesRefreshDue(refresh.dvm, refresh.values);
        perSampleSteps(timeStep, false);
    }
    flushAppended();
    inBatch_ = false;
    if (progress_.StopFlag && running_)
        finish();
}

void RecordingSession::perSampleSteps(double timeStep, bool deviceMode)
{
    // Elapsed time. A device recording does not count its first sample.
    setElapsedMs(progress_.ElapsedMs + (!deviceMode || buffer_.SampleIndex != 0 ? run_.SampleIntervalMs : 0));

    const int position = buffer_.SampleIndex;
    if (run_.AutoSaveOn) {
        if (!deviceMode)
            for (int c = 0; c < ChannelCount; ++c)
                buffer_.sample(c, position) = sampleOfScreenValue(buffer_.trace(c, position));
        if (sink_ != nullptr)
            sink_->writeSampleLine(position, timeStep);
        else
            ++run_.AutoSaveLineNo;
    }
    if (appendedFrom_ < 0)
        appendedFrom_ = position;
    appendedTo_ = position;

    if (position == LastRecordedPosition) {
        // The samples of the full screen are reported with the elapsed time of the last one;
        // the time then starts again with the next screen, unless a file records it all.
        flushAppended();
        if (!run_.AutoSaveOn)
            setElapsedMs(0);
        buffer_.SampleIndex = 0;
        buffer_.ScreenWrapped = true;
        emit wrapped();
    }

    ++buffer_.SampleIndex;
    if (run_.SingleShot && buffer_.SampleIndex == LastRecordedPosition)
        requestStop(StopReason::SingleScreenDone);
}

void RecordingSession::flushAppended()
{
    if (appendedFrom_ < 0)
        return;
    const int first = appendedFrom_, last = appendedTo_;
    appendedFrom_ = appendedTo_ = -1;
    emit samplesAppended(first, last);
}

void RecordingSession::finish()
{
    batchTimer_->stop();
    demoTimer_->setEnabled(false);
    running_ = false;
    progress_.StopFlag = true;
    if (sink_ != nullptr)
        sink_->recordingStopped();
    if (!run_.DemoMode && link_ != nullptr)
        link_->sendCommand(command::Stop);
    emit stopped(reason_);
}
