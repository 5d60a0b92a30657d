#include "ui/RecorderWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "ui/DvmPanel.h"
#include "ui/ScreenWidgets.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/StartupShell.h"

RecorderWindow::RecorderWindow(RecorderState& state, QWidget* parent) : QMainWindow(parent), st(state)
{
    setObjectName(QStringLiteral("RecorderWindow"));
    buildControls();
    screen.refreshImage = [this] { screenImage->update(); };
    screen.refreshOverlay = [this] { liveOverlay->update(); };
    screen.setOverlayEnabled = [this](bool on) { liveOverlay->setOverlayEnabled(on); };

    session = new RecordingSession(st, st, st, &st, this);
    autoSaveSink = makeAutoSaveSink();
    session->setAutoSave(autoSaveSink.get());
    connect(session, &RecordingSession::samplesAppended, this, &RecorderWindow::drawLiveSamples);
    connect(session, &RecordingSession::wrapped, this, &RecorderWindow::liveScreenWrapped);
    connect(session, &RecordingSession::valuesRefreshDue, this, &RecorderWindow::refreshValuesDue);
    connect(session, &RecordingSession::recorderLost, this,
            [this] { deviceStatusLabel->setText(QStringLiteral("KORVIX not connected")); });
    connect(session, &RecordingSession::stopped, this, &RecorderWindow::recordingEnded);
    demoTimer = session->demoTimer();
    demoTimer->reportError = [this](const QString& text) {
        showMessage(this, {QMessageBox::Critical, {}, text, QMessageBox::Ok});
    };
    initialise();
}

RecorderWindow::~RecorderWindow() = default;

void RecorderWindow::initialise()
{
    random.seed(static_cast<std::mt19937::result_type>(QDateTime::currentMSecsSinceEpoch()));
    st.DemoDvmMs = 0;
    st.DemoValueMs = 0;
    for (DvmPanel* panel : dvmPanels_)
        panel->forgetHolds();

    st.ElapsedMs = 0;
    st.ElapsedHours = 0;
    st.ElapsedMinutes = 0;
    st.ElapsedSeconds = 0;

    session->stop(StopReason::User);
    st.SampleIntervalMs = 10;
    st.StopFlag = true;

    previousPageButton->setEnabled(false);
    nextPageButton->setEnabled(false);

    st.PageEnd = 1700;
    st.FileViewMode = false;
    st.FileOnScreen = false;
    st.PageTurnMode = false;
    view.markers.shown = false;
    st.SingleShot = false;
    st.AutoSaveOn = false;
    st.SampleIndex = 0;
    st.ScreenSamples = ScreenPositions;

    runStatusLabel->setText(QStringLiteral("Ready"));

    screen.computeGeometry();

    view.markers.voltReadout = "0.0V";
    view.markers.timeX = {st.GridLeft + 16, st.GridLeft + 528};
    view.markers.voltY = {st.GridTop + 16, st.GridTop + 240};

    st.TimeDivCode = 500;
    st.BufferTimeDivCode = 500;
    st.BaseTraceStep = 6.25;
    st.TraceStep = 6.25;
    st.PointSpacing = 2;

    view.traceDrawn.fill(false);
    st.ChannelOn.fill(true);
    st.Idle = true;

    // The colours are not loaded yet; the hand-over sets the label colours again.
    for (int n = 0; n < ChannelCount; ++n) {
        QPalette pal = channelLabels[n]->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Surface::toRgb(st.ActiveColors[Ch1 + n])));
        channelLabels[n]->setPalette(pal);
    }

    st.ViewOffset = 0;
    st.TimeDivLabel = "1s";
    for (int n = 0; n < ChannelCount; ++n) {
        st.ChannelRange[n] = 200;
        st.RangeLabel[n] = QStringLiteral("±20V");
        st.ValueText[n] = "0V";
        st.CalOffset[n] = 0;
    }

    liveOverlay->setOverlayEnabled(false);

    screen.drawStartupScreen();

    st.TraceBuf.fill(255);

    st.ElapsedMinText = "00";
    st.ElapsedSecText = "00";
    elapsedTimeLabel->setText(QStringLiteral("0 hr  00 min  00 sec"));
}

bool RecorderWindow::canClose()
{
    // A recording stops now, with its whole stop sequence (the reports already queued, the
    // trailer of the auto-save file, the stop command): once the program ends no event would run
    // it, and the file would keep only its header while the recorder streams on.
    if (session->running())
        session->stop(StopReason::Closed);
    else if (st.DemoMode)
        stopRecording();
    st.StopFlag = true;
    return true;
}

void RecorderWindow::finishClose()
{
    demoTimer->setEnabled(false);
    hide();
    const bool abnormal = isMaximized() || isMinimized() || isFullScreen();
    QRect r = abnormal ? normalGeometry() : geometry();
    r.moveTopLeft(abnormal ? normalGeometry().topLeft() : pos());
    if (StartupShell* shell = windows().shell)
        shell->closeFromRecorder(r);
}

void RecorderWindow::closeEvent(QCloseEvent* event)
{
    if (!canClose()) {
        event->ignore();
        return;
    }
    event->accept();
    finishClose();
}

void RecorderWindow::exitClick()
{
    close();
}

void RecorderWindow::restoreDefaultsClick()
{
    settings().resetOnExit = true;
    close();
}
