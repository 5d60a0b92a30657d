#include "shell/Winrecx.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "display/ScreenWidgets.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/Skpohjx.h"

TForm1_rec::TForm1_rec(RecorderState& state, QWidget* parent) : QMainWindow(parent), st(state)
{
    setObjectName(QStringLiteral("Form1_rec"));
    buildControls();
    screen.refreshImage = [this] { Image1->update(); };
    screen.refreshOverlay = [this] { PaintBox1->update(); };
    screen.setOverlayEnabled = [this](bool on) { PaintBox1->setOverlayEnabled(on); };

    FastTimer1 = new TFastTimer(this);
    FastTimer1->setObjectName(QStringLiteral("FastTimer1"));
    FastTimer1->setResolution(1);
    FastTimer1->OnTimer = [this] { FastTimer1Timer(); };
    FastTimer1->reportError = [this](const QString& text) {
        showMessage(this, {QMessageBox::Critical, {}, text, QMessageBox::Ok});
    };
    FormCreate();
}

TForm1_rec::~TForm1_rec() = default;

void TForm1_rec::FormCreate()
{
    random.seed(static_cast<std::mt19937::result_type>(QDateTime::currentMSecsSinceEpoch()));
    st.DemoDvmMs = 0;
    st.DemoValueMs = 0;
    st.DvmMax.fill(-1000.0);
    st.DvmMin.fill(1000.0);

    st.ElapsedMs = 0;
    st.ElapsedHours = 0;
    st.ElapsedMinutes = 0;
    st.ElapsedSeconds = 0;

    Timer3->stop();
    st.SampleIntervalMs = 10;
    st.StopFlag = true;

    SpeedButton1->setEnabled(false);
    SpeedButton2->setEnabled(false);

    st.PageEnd = 1700;
    st.FileViewMode = false;
    st.FileOnScreen = false;
    st.PageTurnMode = false;
    st.MarkersOn = false;
    st.SingleShot = false;
    st.AutoSaveOn = false;
    st.SampleIndex = 0;
    st.ScreenSamples = ScreenPositions;

    Label3->setText(QStringLiteral("Ready"));

    screen.computeGeometry();

    st.VoltReadout = "0.0V";
    st.TimeMarkerX = {st.GridLeft + 16, st.GridLeft + 528};
    st.VoltMarkerY = {st.GridTop + 16, st.GridTop + 240};

    st.TimeDivCode = 500;
    st.BufferTimeDivCode = 500;
    st.BaseTraceStep = 6.25;
    st.TraceStep = 6.25;
    st.PointSpacing = 2;

    st.TraceDrawn.fill(false);
    st.ChannelOn.fill(true);
    st.Idle = true;

    // The colours are not loaded yet; the hand-over sets the label colours again.
    for (int n = 0; n < ChannelCount; ++n) {
        QPalette pal = LabelCh[n]->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(Surface::toRgb(st.ActiveColors[Ch1 + n])));
        LabelCh[n]->setPalette(pal);
    }

    st.ViewOffset = 0;
    st.TimeDivLabel = "1s";
    for (int n = 0; n < ChannelCount; ++n) {
        st.ChannelRange[n] = 200;
        st.RangeLabel[n] = QStringLiteral("±20V");
        st.ValueText[n] = "0V";
        st.CalOffset[n] = 0;
    }

    PaintBox1->setOverlayEnabled(false);

    screen.drawStartupScreen();

    st.TraceBuf.fill(255);

    st.ElapsedMinText = "00";
    st.ElapsedSecText = "00";
    Label7->setText(QStringLiteral("0 hr  00 min  00 sec"));
}

bool TForm1_rec::FormCloseQuery()
{
    st.StopFlag = true;
    // In demo mode the recording stops at once; in device mode the running loop stops itself at
    // the end of its pass, before the program can end (the loop is still on the call stack). A
    // device recording whose loop has not begun yet (its first Timer3 event comes a second after
    // the start) runs its one pass and its stop sequence now: once the program ends no event
    // would run them, and the file would keep only its header while the recorder streams on.
    if (st.DemoMode) {
        FastTimer1->setEnabled(false);
        lopetus();
    } else if (!st.Idle && !st.FileViewMode && !deviceLoopRunning && Timer3->isActive()) {
        Timer3Timer();
    }
    return true;
}

void TForm1_rec::FormClose()
{
    FastTimer1->setEnabled(false);
    hide();
    const bool abnormal = isMaximized() || isMinimized() || isFullScreen();
    QRect r = abnormal ? normalGeometry() : geometry();
    r.moveTopLeft(abnormal ? normalGeometry().topLeft() : pos());
    if (TForm1* shell = windows().Form1)
        shell->closeFromRecorder(r);
}

void TForm1_rec::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

void TForm1_rec::ExitClick()
{
    close();
}

void TForm1_rec::RestoreDefaultSettingsExit1Click()
{
    st.ResetOnExit = true;
    close();
}
