#include "ui/RecordingControl.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "ui/RecorderState.h"
#include "recording/TimeBase.h"
#include "screen/LocaleTexts.h"
#include "screen/Screen.h"
#include "screen/Surface.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/DataFileActions.h"
#include "ui/Dialogs.h"
#include "ui/DvmPanel.h"
#include "ui/InputControls.h"
#include "ui/MeasuringTools.h"
#include "ui/RecorderMenu.h"
#include "ui/RunControls.h"
#include "ui/ScreenWidgets.h"
#include "ui/ValueDisplays.h"
#include "ui/WidgetBuilders.h"

namespace {

// The date in the user's short date format, a TAB and the time in the long time format.
QString stampNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return shortDateText(now.date()) + QLatin1Char('\t') + longTimeText(now.time());
}

void setTextBold(QLabel* label, bool bold)
{
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

// Reports of the recorder that never arrived leave no gap in the recording: a sample is a count of
// reports, so every later sample is placed one millisecond early per report lost before it. The
// stop of a device recording tells of them: a line on standard error at once, and a message once
// the stop is over, unless the program is ending by then (the close of the window stops the
// recording), when nobody would be left to read it.
void reportLostReports(QWidget& w, const RecorderState& st)
{
    const DeviceLink* link = windows().device;
    if (st.DemoMode || link == nullptr)
        return;
    const uint64_t lost = link->lostSinceStart();
    if (lost == 0)
        return;
    std::fprintf(stderr, "korvix: %llu report%s from the recorder lost during the recording\n",
                 static_cast<unsigned long long>(lost), lost == 1 ? "" : "s");
    const QString text =
        (lost == 1 ? QStringLiteral("1 report from the recorder was lost during this recording.")
                   : QStringLiteral("%1 reports from the recorder were lost during this recording.").arg(lost)) +
        QStringLiteral(
            "\rThe recording closes up where reports are missing: each sample after a loss is "
            "placed earlier than it was measured, by one millisecond per report lost before it.");
    QMetaObject::invokeMethod(
        &w,
        [&w, text] {
            if (windows().programEnding)
                return;
            showMessage(&w, {QMessageBox::Warning, {}, text, QMessageBox::Ok});
        },
        Qt::QueuedConnection);
}

// The armed auto-save file as the session sees it.
class AutoSaveSteps final : public AutoSaveSink {
public:
    AutoSaveSteps(DataFileActions& files, RecorderState& state) : files_(files), st(state) {}
    void writeHeader() override { files_.writeAutoSaveHeader(); }
    void writeSampleLine(int position, double timeStep) override { files_.writeSampleLine(position, timeStep); }
    void recordingStopped() override
    {
        st.StopStamp = stampNow();
        if (st.AutoSaveOn)
            files_.writeAutoSaveTrailer();
    }

private:
    DataFileActions& files_;
    RecorderState& st;
};

}  // namespace

RecordingControl::RecordingControl(const Controls& controls, const Parts& parts, RecorderState& state, Screen& screen,
                                   Surface& overlay, RecordingSession& session)
    : QObject(controls.window),
      st(state),
      screen_(screen),
      overlay_(overlay),
      session_(session),
      menu_(parts.menu),
      inputs_(parts.inputs),
      measuring_(parts.measuring),
      values_(parts.values),
      files_(parts.files),
      window_(controls.window),
      screenFrame_(controls.screenFrame),
      liveOverlay_(controls.liveOverlay),
      scrollBar_(controls.scrollBar),
      previousPageButton_(controls.previousPageButton),
      nextPageButton_(controls.nextPageButton),
      firstDvmPanel_(controls.firstDvmPanel),
      statusPanel_(controls.run->statusPanel()),
      runStatusLabel_(controls.run->runStatusLabel()),
      elapsedTimeLabel_(controls.run->elapsedTimeLabel()),
      runButton_(controls.run->runButton()),
      singleButton_(controls.run->singleButton())
{
    autoSave_ = std::make_unique<AutoSaveSteps>(files_, st);
    session_.setAutoSave(autoSave_.get());
    connect(&session_, &RecordingSession::samplesAppended, this, &RecordingControl::drawLiveSamples);
    connect(&session_, &RecordingSession::wrapped, this, &RecordingControl::liveScreenWrapped);
    connect(&session_, &RecordingSession::stopped, this, &RecordingControl::recordingEnded);
}

RecordingControl::~RecordingControl() = default;

void RecordingControl::runClick()
{
    recordButtonClick(runButton_, false);
}

void RecordingControl::singleClick()
{
    recordButtonClick(singleButton_, true);
}

void RecordingControl::recordButtonClick(QToolButton* button, bool singleShot)
{
    // A click that was queued while a data file page is being put on screen is dropped: the
    // page load runs the start and stop sequences itself.
    if (st.FileViewMode) {
        button->setChecked(false);
        return;
    }
    if (menu_.dvmDisplayShown())
        firstDvmPanel_->display()->setFocus();
    if (button->isChecked()) {
        if (singleShot)
            st.SingleShot = true;
        startRecording();
    } else {
        if (session_.running() || st.DemoMode)
            stopRecording();
    }
}

void RecordingControl::startRecording()
{
    const Colour background = st.ActiveColors[Background];
    const QString blanks(17, QLatin1Char(' '));
    for (int n = 0; n < ChannelCount; ++n)
        screen_.drawText(blanks, screen_.valueTextX(n), st.BottomTextY, background);

    inputs_.setChannelRange(QString(), 0);
    st.DemoPhase = 0;
    st.RecTimeDivLabel = st.TimeDivLabel.str();
    for (int n = 0; n < ChannelCount; ++n)
        st.RecRangeLabel[n] = st.RangeLabel[n].str();
    st.StartStamp = stampNow();
    st.AutoSaveLineNo = 0;
    overlay_.penMode = Surface::PenMode::Copy;

    inputs_.setRecordingLocked(true);
    window_->setCursor(Qt::WaitCursor);
    statusPanel_->setCursor(Qt::WaitCursor);
    screenFrame_->setCursor(Qt::WaitCursor);
    liveOverlay_->setCursor(Qt::WaitCursor);
    (st.SingleShot ? singleButton_ : runButton_)->setCursor(Qt::ArrowCursor);
    menu_.setRecordingLocked(true);
    if (QWidget* addText = windows().addText)
        addText->hide();
    widgets::setBackground(statusPanel_, QColor(255, 0, 0));
    scrollBar_->setEnabled(false);
    (st.SingleShot ? runButton_ : singleButton_)->setEnabled(false);
    setTextBold(runStatusLabel_, true);
    runStatusLabel_->setText(QStringLiteral("Recording"));

    st.Idle = false;
    st.SampleIndex = 0;
    st.ScreenWrapped = false;
    st.LiveStep = 0;
    inputs_.setChannelRange(QString(), 0);
    screen_.removeTraces();
    if (st.AnnotationOn)
        screen_.drawAnnotation();
    screen_.showLiveOverlay();

    if (st.FileViewMode) {
        window_->setWindowTitle(QStringLiteral("KORVIX Recorder / Logger - ") + QFileInfo(st.DataFileName).fileName());
    } else {
        window_->setWindowTitle(QStringLiteral("KORVIX Recorder / Logger"));
        previousPageButton_->setEnabled(false);
        nextPageButton_->setEnabled(false);
        st.PageEnd = 1700;
        measuring_.updateTimeReadout();
        if (st.DemoMode)
            elapsedTimeLabel_->setText(elapsedText(0, 0, 0));
        // The session starts its timer, writes the auto-save header and sends the start command;
        // a device recording takes its first reports about a second from now.
        st.FileOnScreen = false;
        session_.setDevice(windows().device);
        session_.start();
        return;
    }
    // A data file page passes through the sequence without sampling.
    st.FileOnScreen = true;
}

void RecordingControl::stopRecording()
{
    // A running recording stops through the session, which then reports the stop.
    if (session_.running())
        session_.stop(StopReason::User);
    else
        finishStop(false);
}

void RecordingControl::recordingEnded(StopReason)
{
    finishStop(true);
}

void RecordingControl::finishStop(bool fromSession)
{
    if (!fromSession) {
        st.StopStamp = stampNow();
        if (st.AutoSaveOn)
            files_.writeAutoSaveTrailer();
    }

    if (st.SampleIndex > 0) {
        st.ScreenSamples = st.SampleIndex;
        for (int c = 0; c < ChannelCount; ++c)
            for (int p = st.SampleIndex; p <= 1702; ++p) {
                st.trace(c, p) = 255;
                st.sample(c, p) = 0;
            }
    }
    screen_.hideLiveOverlay();
    if (!st.PageTurnMode) {
        st.TraceStep = st.BaseTraceStep;
        st.BufferTimeDivCode = st.TimeDivCode;
    }
    screen_.drawTraces();

    runButton_->setChecked(false);
    singleButton_->setChecked(false);
    runButton_->setEnabled(true);
    singleButton_->setEnabled(true);
    menu_.setRecordingLocked(false);
    st.SingleShot = false;
    st.Idle = true;
    widgets::setBackground(statusPanel_, window_->palette().color(QPalette::Button));
    setTextBold(runStatusLabel_, false);
    runStatusLabel_->setText(QStringLiteral("Stopped"));
    inputs_.setRecordingLocked(false);
    window_->unsetCursor();
    statusPanel_->unsetCursor();
    screenFrame_->unsetCursor();
    liveOverlay_->unsetCursor();
    runButton_->unsetCursor();
    singleButton_->unsetCursor();
    scrollBar_->setEnabled(true);
    scrollBar_->setValue(0);  // runs the scroll handler when the position was not 0
    st.ViewOffset = 0;
    values_.drawValueTextsOnImage();
    if (!st.FileViewMode) {
        DeviceLink* link = windows().device;
        if (!fromSession && link != nullptr)
            link->sendCommand(command::Stop);
        reportLostReports(*window_, st);
    }
}

void RecordingControl::drawLiveSamples(int first, int last)
{
    const RunProgress& progress = session_.progress();
    elapsedTimeLabel_->setText(elapsedText(progress.ElapsedHours, progress.ElapsedMinutes, progress.ElapsedSeconds));

    // A device recording puts full negative scale on the bottom grid line; the demo draws every
    // value at GridTop + v.
    const bool deviceMode = !st.DemoMode;
    auto rowOf = [&](int v) { return deviceMode ? traceRow(st.GridTop, v) : st.GridTop + v; };
    Surface& overlay = overlay_;
    int left = INT_MAX, right = INT_MIN;
    for (int p = first; p <= last; ++p) {
        // Position 0 begins no segment, and the wrap position is never drawn: the screen is erased
        // right after it.
        if (p == 0 || p == LastRecordedPosition)
            continue;
        if (p == 1) {
            st.LiveX = static_cast<uint16_t>(st.GridLeft + 1);
            for (int c = 0; c < ChannelCount; ++c)
                st.LiveY[c] = static_cast<uint16_t>(rowOf(st.trace(c, 1) & 0xFFFF));
            continue;
        }
        const int step = static_cast<int>(std::lround(p / 6.25));
        if (step <= st.LiveStep)
            continue;
        const int x = st.GridLeft + 2 * step - 1;
        for (int c = 0; c < ChannelCount; ++c) {
            if (!st.ChannelOn[c])
                continue;
            const int y = rowOf(st.trace(c, p) & 0xFFFF);
            overlay.penColour = st.ActiveColors[Ch1 + c];
            overlay.line(st.LiveX, st.LiveY[c], x, y);
            st.LiveY[c] = static_cast<uint16_t>(y);
        }
        if (deviceMode) {
            overlay.penColour = st.SettingsColors[Dark_Grid];
            overlay.line(st.GridLeft, st.GridTop, st.GridLeft + 544, st.GridTop);
            overlay.line(st.GridLeft, st.GridTop + 256, st.GridLeft + 544, st.GridTop + 256);
        }
        left = std::min({left, static_cast<int>(st.LiveX), x});
        right = std::max({right, static_cast<int>(st.LiveX), x});
        st.LiveX = static_cast<uint16_t>(x);
        st.LiveStep = static_cast<uint16_t>(step);
    }
    // Only the strip of the new segments is repainted, once per batch.
    if (left <= right)
        liveOverlay_->update(QRect(left - 1, st.GridTop - 1, right - left + 3, 259));
}

void RecordingControl::liveScreenWrapped()
{
    // The finished screen's live traces are erased with one repaint of the overlay.
    screen_.showLiveOverlay();
    st.LiveStep = 0;
}
