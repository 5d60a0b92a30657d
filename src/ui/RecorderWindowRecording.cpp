// Starting and stopping a recording: the Run and Single buttons and the start and stop sequences
// of the recorder window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "recording/TimeBase.h"
#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "ui/ScreenWidgets.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "screen/LocaleTexts.h"
#include "ui/StartupShell.h"
#include "ui/DvmPanel.h"
#include "ui/RecorderWindow.h"

namespace {

// The date in the user's short date format, a TAB and the time in the long time format.
QString stampNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return shortDateText(now.date()) + QLatin1Char('\t') + longTimeText(now.time());
}

void setPanelColour(QWidget* panel, const QColor& colour)
{
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
}

void setBold(QLabel* label, bool bold)
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
void reportLostReports(RecorderWindow& w)
{
    const DeviceLink* link = windows().device;
    if (w.st.DemoMode || link == nullptr)
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
            const StartupShell* shell = windows().shell;
            if (shell != nullptr && shell->closed())
                return;
            showMessage(&w, {QMessageBox::Warning, {}, text, QMessageBox::Ok});
        },
        Qt::QueuedConnection);
}

// The armed auto-save file as the session sees it.
class WindowAutoSave final : public AutoSaveSink {
public:
    explicit WindowAutoSave(RecorderWindow& w) : w_(w) {}
    void writeHeader() override { w_.WriteAutoSaveHeader(); }
    void writeSampleLine(int position, double timeStep) override { w_.WriteSampleLine(position, timeStep); }
    void recordingStopped() override
    {
        w_.st.StopStamp = stampNow();
        if (w_.st.AutoSaveOn)
            w_.WriteAutoSaveTrailer();
    }

private:
    RecorderWindow& w_;
};

}  // namespace

std::unique_ptr<AutoSaveSink> RecorderWindow::makeAutoSaveSink()
{
    return std::make_unique<WindowAutoSave>(*this);
}

void RecorderWindow::runClick()
{
    recordButtonClick(runButton, false);
}

void RecorderWindow::singleClick()
{
    recordButtonClick(singleButton, true);
}

void RecorderWindow::recordButtonClick(QToolButton* button, bool singleShot)
{
    // A click that was queued while a data file page is being put on screen is dropped: the
    // page load runs the start and stop sequences itself.
    if (st.FileViewMode) {
        button->setChecked(false);
        return;
    }
    if (dvmDisplayAction->isChecked())
        dvmPanel(0)->display()->setFocus();
    if (button->isChecked()) {
        if (singleShot)
            st.SingleShot = true;
        st.StopFlag = false;
        startRecording();
    } else {
        if (session->running() || st.DemoMode)
            stopRecording();
        st.StopFlag = true;
    }
}

// The menus and menu items that are disabled while a recording runs; "File", "Exit" and
// "Restore Default Settings & Exit" stay enabled.
static std::vector<QAction*> recordingLockedItems(RecorderWindow& w)
{
    return {w.editMenu->menuAction(), w.optionsMenu->menuAction(),
            w.helpMenu->menuAction(), w.viewMenu->menuAction(),
            w.openImageAction,        w.openDataAction,
            w.saveImageAction,        w.saveDataAction,
            w.autoSaveAction,         w.printAction,
            w.printSetupAction};
}

void RecorderWindow::startRecording()
{
    const Colour background = st.ActiveColors[Background];
    const QString blanks(17, QLatin1Char(' '));
    for (int n = 0; n < ChannelCount; ++n)
        drawText(blanks, screen.valueTextX(n), st.BottomTextY, background);

    setChannelRange(QString(), 0);
    st.DemoPhase = 0;
    st.RecTimeDivLabel = st.TimeDivLabel.str();
    for (int n = 0; n < ChannelCount; ++n)
        st.RecRangeLabel[n] = st.RangeLabel[n].str();
    st.StartStamp = stampNow();
    st.AutoSaveLineNo = 0;
    paintBox1Surface.penMode = Surface::PenMode::Copy;

    timeBaseGroupBox->setEnabled(false);
    setCursor(Qt::WaitCursor);
    statusPanel->setCursor(Qt::WaitCursor);
    screenFrame->setCursor(Qt::WaitCursor);
    liveOverlay->setCursor(Qt::WaitCursor);
    (st.SingleShot ? singleButton : runButton)->setCursor(Qt::ArrowCursor);
    for (QAction* item : recordingLockedItems(*this))
        item->setEnabled(false);
    if (QWidget* addText = windows().addText)
        addText->hide();
    for (QCheckBox* box : channelSwitch)
        box->setEnabled(false);
    setPanelColour(statusPanel, QColor(255, 0, 0));
    scrollBar->setEnabled(false);
    (st.SingleShot ? runButton : singleButton)->setEnabled(false);
    setBold(runStatusLabel, true);
    runStatusLabel->setText(QStringLiteral("Recording"));

    st.Idle = false;
    st.SampleIndex = 0;
    st.ScreenWrapped = false;
    st.LiveStep = 0;
    setChannelRange(QString(), 0);
    screen.removeTraces();
    if (st.AnnotationOn)
        screen.drawAnnotation();
    screen.showLiveOverlay();

    if (st.FileViewMode) {
        setWindowTitle(QStringLiteral("KORVIX Recorder / Logger - ") + QFileInfo(st.DataFileName).fileName());
    } else {
        setWindowTitle(QStringLiteral("KORVIX Recorder / Logger"));
        previousPageButton->setEnabled(false);
        nextPageButton->setEnabled(false);
        st.PageEnd = 1700;
        updateTimeReadout();
        if (st.DemoMode)
            elapsedTimeLabel->setText(elapsedText(0, 0, 0));
        // The session starts its timer, writes the auto-save header and sends the start command;
        // a device recording takes its first reports about a second from now.
        st.FileOnScreen = false;
        session->setDevice(windows().device);
        session->start();
        return;
    }
    // A data file page passes through the sequence without sampling.
    st.FileOnScreen = true;
}

void RecorderWindow::stopRecording()
{
    // A running recording stops through the session, which then reports the stop.
    if (session->running())
        session->stop(StopReason::User);
    else
        finishStop(false);
}

void RecorderWindow::recordingEnded(StopReason)
{
    finishStop(true);
}

void RecorderWindow::finishStop(bool fromSession)
{
    if (!fromSession) {
        st.StopStamp = stampNow();
        if (st.AutoSaveOn)
            WriteAutoSaveTrailer();
    }

    if (st.SampleIndex > 0) {
        st.ScreenSamples = st.SampleIndex;
        for (int c = 0; c < ChannelCount; ++c)
            for (int p = st.SampleIndex; p <= 1702; ++p) {
                st.trace(c, p) = 255;
                st.sample(c, p) = 0;
            }
    }
    screen.hideLiveOverlay();
    if (!st.PageTurnMode) {
        st.TraceStep = st.BaseTraceStep;
        st.BufferTimeDivCode = st.TimeDivCode;
    }
    screen.drawTraces();

    runButton->setChecked(false);
    singleButton->setChecked(false);
    runButton->setEnabled(true);
    singleButton->setEnabled(true);
    for (QAction* item : recordingLockedItems(*this))
        item->setEnabled(true);
    for (QCheckBox* box : channelSwitch)
        box->setEnabled(true);
    st.SingleShot = false;
    st.Idle = true;
    setPanelColour(statusPanel, palette().color(QPalette::Button));
    setBold(runStatusLabel, false);
    runStatusLabel->setText(QStringLiteral("Stopped"));
    timeBaseGroupBox->setEnabled(true);
    rangeGroupBox->setEnabled(true);
    unsetCursor();
    statusPanel->unsetCursor();
    screenFrame->unsetCursor();
    liveOverlay->unsetCursor();
    runButton->unsetCursor();
    singleButton->unsetCursor();
    scrollBar->setEnabled(true);
    scrollBar->setValue(0);  // runs the scroll handler when the position was not 0
    st.ViewOffset = 0;
    drawValueTextsOnImage();
    if (!st.FileViewMode) {
        DeviceLink* link = windows().device;
        if (!fromSession && link != nullptr)
            link->sendCommand(command::Stop);
        reportLostReports(*this);
    }
}
