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

#include "acquisition/TimeBase.h"
#include "device/Commands.h"
#include "device/findpath.h"
#include "display/ScreenWidgets.h"
#include "display/Unit_9rec.h"
#include "shell/Application.h"
#include "shell/Dialogs.h"
#include "shell/LocaleTexts.h"
#include "shell/Skpohjx.h"
#include "shell/Winrecx.h"

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
void reportLostReports(TForm1_rec& w)
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
            const TForm1* shell = windows().Form1;
            if (shell != nullptr && shell->closed())
                return;
            showMessage(&w, {QMessageBox::Warning, {}, text, QMessageBox::Ok});
        },
        Qt::QueuedConnection);
}

}  // namespace

void TForm1_rec::SpeedButtonRunClick()
{
    recordButtonClick(SpeedButtonRun, false);
}

void TForm1_rec::SpeedButtonSingleClick()
{
    recordButtonClick(SpeedButtonSingle, true);
}

void TForm1_rec::recordButtonClick(QToolButton* button, bool singleShot)
{
    // A click that was queued while a data file page is being put on screen is dropped: the
    // page load runs the start and stop sequences itself.
    if (st.FileViewMode) {
        button->setChecked(false);
        return;
    }
    if (DVMDisplay1->isChecked())
        dvm[0].display->setFocus();
    if (button->isChecked()) {
        if (singleShot)
            st.SingleShot = true;
        st.StopFlag = false;
        aloitus();
    } else {
        if (st.DemoMode) {
            FastTimer1->setEnabled(false);
            lopetus();
        }
        // In device mode the running loop sees the flag at the end of its pass and stops itself.
        st.StopFlag = true;
    }
}

// The menus and menu items that are disabled while a recording runs; "File", "Exit" and
// "Restore Default Settings & Exit" stay enabled.
static std::vector<QAction*> recordingLockedItems(TForm1_rec& w)
{
    return {w.Edit2->menuAction(),
            w.Options1->menuAction(),
            w.Help1->menuAction(),
            w.View1->menuAction(),
            w.Open,
            w.OpenData1,
            w.Save,
            w.N1,
            w.N2,
            w.Print1,
            w.PrintSetup1};
}

void TForm1_rec::aloitus()
{
    const Colour background = st.ActiveColors[Background];
    const QString blanks(17, QLatin1Char(' '));
    for (int n = 0; n < ChannelCount; ++n)
        TulostaTeksti(blanks, screen.valueTextX(n), st.BottomTextY, background);

    asetus(QString(), 0);
    st.DemoPhase = 0;
    st.RecTimeDivLabel = st.TimeDivLabel.str();
    for (int n = 0; n < ChannelCount; ++n)
        st.RecRangeLabel[n] = st.RangeLabel[n].str();
    st.StartStamp = stampNow();
    st.AutoSaveLineNo = 0;
    paintBox1Surface.penMode = Surface::PenMode::Copy;

    GroupBox2->setEnabled(false);
    setCursor(Qt::WaitCursor);
    Panel2->setCursor(Qt::WaitCursor);
    Panel3->setCursor(Qt::WaitCursor);
    PaintBox1->setCursor(Qt::WaitCursor);
    (st.SingleShot ? SpeedButtonSingle : SpeedButtonRun)->setCursor(Qt::ArrowCursor);
    for (QAction* item : recordingLockedItems(*this))
        item->setEnabled(false);
    if (QWidget* addText = windows().Form_9rec)
        addText->hide();
    for (QCheckBox* box : channelSwitch)
        box->setEnabled(false);
    setPanelColour(Panel2, QColor(255, 0, 0));
    ScrollBar2->setEnabled(false);
    (st.SingleShot ? SpeedButtonRun : SpeedButtonSingle)->setEnabled(false);
    setBold(Label3, true);
    Label3->setText(QStringLiteral("Recording"));

    // Shows the recording state before sampling begins.
    QCoreApplication::processEvents();

    st.Idle = false;
    st.SampleIndex = 0;
    st.ScreenWrapped = false;
    st.LiveStep = 0;
    asetus(QString(), 0);
    screen.poisto();
    if (st.AnnotationOn)
        screen.drawAnnotation();
    screen.paintbox_1();

    if (st.FileViewMode) {
        setWindowTitle(QStringLiteral("KORVIX Recorder / Logger - ") + QFileInfo(st.DataFileName).fileName());
    } else {
        setWindowTitle(QStringLiteral("KORVIX Recorder / Logger"));
        SpeedButton1->setEnabled(false);
        SpeedButton2->setEnabled(false);
        st.PageEnd = 1700;
        kursoriaika();
        st.ElapsedMs = 0;
        st.ElapsedHours = 0;
        st.ElapsedMinutes = 0;
        st.ElapsedSeconds = 0;
        if (st.DemoMode) {
            Label7->setText(elapsedText(0, 0, 0));
            FastTimer1->setInterval(static_cast<uint32_t>(st.SampleIntervalMs));
            FastTimer1->setResolution(10);
            FastTimer1->setEnabled(true);
        } else {
            // Its first event, about a second from now, runs the device loop.
            Timer3->start();
        }
    }

    if (st.AutoSaveOn)
        WriteAutoSaveHeader();
    st.FileOnScreen = st.FileViewMode;
    if (!st.FileViewMode) {
        st.OutReport[0] = command::Start;
        DoWrite();
    }
}

void TForm1_rec::lopetus()
{
    Timer3->stop();
    FastTimer1->setEnabled(false);
    st.StopStamp = stampNow();
    if (st.AutoSaveOn)
        WriteAutoSaveTrailer();

    if (st.SampleIndex > 0) {
        st.ScreenSamples = st.SampleIndex;
        for (int c = 0; c < ChannelCount; ++c)
            for (int p = st.SampleIndex; p <= 1702; ++p) {
                st.trace(c, p) = 255;
                st.sample(c, p) = 0;
            }
    }
    screen.paintbox_0();
    if (!st.PageTurnMode) {
        st.TraceStep = st.BaseTraceStep;
        st.BufferTimeDivCode = st.TimeDivCode;
    }
    screen.piirrot();

    SpeedButtonRun->setChecked(false);
    SpeedButtonSingle->setChecked(false);
    SpeedButtonRun->setEnabled(true);
    SpeedButtonSingle->setEnabled(true);
    for (QAction* item : recordingLockedItems(*this))
        item->setEnabled(true);
    for (QCheckBox* box : channelSwitch)
        box->setEnabled(true);
    st.SingleShot = false;
    st.Idle = true;
    setPanelColour(Panel2, palette().color(QPalette::Button));
    setBold(Label3, false);
    Label3->setText(QStringLiteral("Stopped"));
    GroupBox2->setEnabled(true);
    GroupBox1->setEnabled(true);
    unsetCursor();
    Panel2->unsetCursor();
    Panel3->unsetCursor();
    PaintBox1->unsetCursor();
    SpeedButtonRun->unsetCursor();
    SpeedButtonSingle->unsetCursor();
    ScrollBar2->setEnabled(true);
    ScrollBar2->setValue(0);  // runs the scroll handler when the position was not 0
    st.ViewOffset = 0;
    v_display_image();
    if (!st.FileViewMode) {
        st.OutReport[0] = command::Stop;
        DoWrite();
        reportLostReports(*this);
    }
}
