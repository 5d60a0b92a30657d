#include "ui/RecorderWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include "ui/Application.h"
#include "ui/ChannelRangeRow.h"
#include "ui/ColourDialog.h"
#include "ui/DataFileActions.h"
#include "ui/DeviceActions.h"
#include "ui/Dialogs.h"
#include "ui/DvmPanel.h"
#include "ui/Help.h"
#include "ui/ImageActions.h"
#include "ui/InputControls.h"
#include "ui/MeasuringTools.h"
#include "ui/RecorderMenu.h"
#include "ui/RecordingControl.h"
#include "ui/RunControls.h"
#include "ui/ScreenWidgets.h"
#include "ui/Skins.h"
#include "ui/TimeBaseGroup.h"
#include "ui/ValueDisplays.h"

RecorderWindow::RecorderWindow(RecorderState& state, QWidget* parent) : QMainWindow(parent), st(state)
{
    setObjectName(QStringLiteral("RecorderWindow"));
    buildControls();
    screen.refreshImage = [this] { screenImage_->update(); };
    screen.refreshOverlay = [this] { liveOverlay_->update(); };
    screen.setOverlayEnabled = [this](bool on) { liveOverlay_->setOverlayEnabled(on); };

    session = new RecordingSession(st, st, st, &st, this);
    demoTimer_ = session->demoTimer();
    demoTimer_->reportError = [this](const QString& text) {
        showMessage(this, {QMessageBox::Critical, {}, text, QMessageBox::Ok});
    };

    measuring_ = new MeasuringTools(this, st, view, screen, *menu_);
    inputs_ =
        new InputControls(this, st, screen, rangeGroupBox_, rangeRows_, timeBaseGroupBox_, dvmPanels_, *measuring_);
    values_ = new ValueDisplays(this, st, session->progress(), screen, dvmPanels_, *menu_);
    auto currentSettings = [this]() -> const AppSettings& { return settings(); };
    images_ = new ImageActions(this, st, screen, screenBitmap, currentSettings);
    files_ = new DataFileActions(this, st, screen, *session, *measuring_, currentSettings);
    recording_ =
        new RecordingControl({this, screenFrame_, liveOverlay_, scrollBar_, previousPageButton_, nextPageButton_,
                              runControls_, dvmPanels_[0]},
                             {*menu_, *inputs_, *measuring_, *values_, *files_}, st, screen, overlayBitmap, *session);
    wireControls();
    initialise();
}

RecorderWindow::~RecorderWindow() = default;

void RecorderWindow::wireControls()
{
    connect(screenImage_, &ScreenView::mouseDown, measuring_, &MeasuringTools::mouseDown);
    connect(screenImage_, &ScreenView::mouseMove, measuring_, &MeasuringTools::mouseMove);
    connect(screenImage_, &ScreenView::mouseUp, measuring_, &MeasuringTools::mouseUp);
    connect(previousPageButton_, &QToolButton::clicked, files_, &DataFileActions::previousPageClick);
    connect(previousPageButton_, &QToolButton::clicked, this, &RecorderWindow::pageButtonClicked);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &RecorderWindow::scrollBarChange);
    connect(nextPageButton_, &QToolButton::clicked, files_, &DataFileActions::nextPageClick);
    connect(nextPageButton_, &QToolButton::clicked, this, &RecorderWindow::pageButtonClicked);
    for (int ch = 0; ch < ChannelCount; ++ch) {
        ChannelRangeRow* row = rangeRows_[static_cast<size_t>(ch)];
        connect(row, &ChannelRangeRow::switchClicked, inputs_, [this, ch] { inputs_->channelSwitchClick(ch); });
        connect(row, &ChannelRangeRow::rangeClicked, inputs_, [this, ch](int i) { inputs_->selectRange(ch, i); });
    }
    connect(timeBaseGroupBox_, &TimeBaseGroup::timeClicked, inputs_, &InputControls::selectTimeBase);
    connect(runControls_, &RunControls::runClicked, recording_, &RecordingControl::runClick);
    connect(runControls_, &RunControls::singleClicked, recording_, &RecordingControl::singleClick);

    connect(session, &RecordingSession::valuesRefreshDue, values_, &ValueDisplays::refreshDue);
    connect(session, &RecordingSession::recorderLost, this,
            [this] { runControls_->deviceStatusLabel()->setText(QStringLiteral("KORVIX not connected")); });

    auto onItem = [this](RecorderMenu::Item item, auto* receiver, auto handler) {
        connect(menu_->action(item), &QAction::triggered, receiver, handler);
    };
    onItem(RecorderMenu::OpenImage, images_, &ImageActions::openImage);
    onItem(RecorderMenu::OpenData, files_, &DataFileActions::openDataClick);
    onItem(RecorderMenu::SaveImage, images_, &ImageActions::saveImage);
    onItem(RecorderMenu::SaveData, files_, &DataFileActions::saveDataClick);
    onItem(RecorderMenu::AutoSave, files_, &DataFileActions::autoSaveClick);
    onItem(RecorderMenu::Print, images_, &ImageActions::print);
    onItem(RecorderMenu::PrintSetup, images_, &ImageActions::printSetup);
    onItem(RecorderMenu::Exit, this, &RecorderWindow::close);
    onItem(RecorderMenu::RestoreDefaults, this, [this] {
        settings().resetOnExit = true;
        close();
    });
    onItem(RecorderMenu::Copy, images_, &ImageActions::copy);
    onItem(RecorderMenu::Paste, images_, &ImageActions::paste);
    onItem(RecorderMenu::Colours, this, &RecorderWindow::coloursClick);
    onItem(RecorderMenu::Calibrate, this, &RecorderWindow::calibrateClick);
    connect(menu_, &RecorderMenu::skinChosen, this, &RecorderWindow::chooseSkin);
    onItem(RecorderMenu::MarkersTime, measuring_, &MeasuringTools::markersTimeClick);
    onItem(RecorderMenu::MarkersDeltaTime, measuring_, &MeasuringTools::markersDeltaTimeClick);
    // "DVM Display" is checkable: Qt has turned its tick over when the handler runs. The channel
    // switches recolour the panels for each channel's state and bring traces and labels in line.
    onItem(RecorderMenu::DvmDisplay, this, [this] {
        values_->showPanels(menu_->dvmDisplayShown());
        inputs_->applyChannelSwitches();
    });
    onItem(RecorderMenu::BrightGrid, measuring_, &MeasuringTools::brightGridClick);
    onItem(RecorderMenu::HelpContents, this, [this] { showUserGuide(this, settings().exeDir); });
    onItem(RecorderMenu::About, this, [this] { showAboutBox(this); });
}

void RecorderWindow::initialise()
{
    inputs_->seedDemo();
    st.DemoDvmMs = 0;
    st.DemoValueMs = 0;
    values_->forgetHolds();

    session->stop(StopReason::User);
    session->setElapsedMs(0);
    st.SampleIntervalMs = 10;

    previousPageButton_->setEnabled(false);
    nextPageButton_->setEnabled(false);

    st.PageEnd = 1700;
    st.FileViewMode = false;
    st.FileOnScreen = false;
    st.PageTurnMode = false;
    view.markers.shown = false;
    st.SingleShot = false;
    st.AutoSaveOn = false;
    st.SampleIndex = 0;
    st.ScreenSamples = ScreenPositions;

    runControls_->runStatusLabel()->setText(QStringLiteral("Ready"));

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
    colourChannelLabels();

    st.ViewOffset = 0;
    st.TimeDivLabel = "1s";
    for (int n = 0; n < ChannelCount; ++n) {
        st.ChannelRange[n] = 200;
        st.RangeLabel[n] = QStringLiteral("±20V");
        st.ValueText[n] = "0V";
        st.CalOffset[n] = 0;
    }

    liveOverlay_->setOverlayEnabled(false);

    screen.drawStartupScreen();

    st.TraceBuf.fill(255);

    runControls_->elapsedTimeLabel()->setText(QStringLiteral("0 hr  00 min  00 sec"));
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
    return true;
}

void RecorderWindow::finishClose()
{
    demoTimer_->setEnabled(false);
    hide();
    const bool abnormal = isMaximized() || isMinimized() || isFullScreen();
    QRect r = abnormal ? normalGeometry() : geometry();
    r.moveTopLeft(abnormal ? normalGeometry().topLeft() : pos());
    emit closed(r);
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

void RecorderWindow::selectTimeBase(int index)
{
    inputs_->selectTimeBase(index);
}

void RecorderWindow::selectRange(int channel, int rangeIndex)
{
    inputs_->selectRange(channel, rangeIndex);
}

void RecorderWindow::enablePreviousPage(bool enabled)
{
    previousPageButton_->setEnabled(enabled);
}

void RecorderWindow::enableNextPage(bool enabled)
{
    nextPageButton_->setEnabled(enabled);
}

void RecorderWindow::chooseSkin(int index)
{
    settings().skin = index;
    menu_->checkSkin(index);
    skins::applySkin(index);
    // The channel switches give each channel's traces, labels and DVM panel their look again.
    inputs_->applyChannelSwitches();
}

void RecorderWindow::coloursClick()
{
    runColourDialog(st, this, windows().colourDialog);
    st.ClearPending = true;
    screen.redrawIfClearPending();
    screen.drawTraces();
}

void RecorderWindow::applyColours()
{
    chooseGridColour(st, view.brightGrid);
    // The labels of switched-off channels keep the look the channel switch gave them.
    for (int n = 0; n < ChannelCount; ++n)
        if (st.ChannelOn[static_cast<size_t>(n)])
            rangeRows_[static_cast<size_t>(n)]->setLabelColour(st.ActiveColors[static_cast<size_t>(Ch1 + n)]);
    st.ClearPending = true;
    screen.redrawIfClearPending();
    screen.drawTraces();
}

void RecorderWindow::colourChannelLabels()
{
    for (int n = 0; n < ChannelCount; ++n)
        rangeRows_[static_cast<size_t>(n)]->setLabelColour(st.ActiveColors[static_cast<size_t>(Ch1 + n)]);
}

void RecorderWindow::showRecorderConnected(bool connected)
{
    runControls_->deviceStatusLabel()->setText(connected ? QStringLiteral("KORVIX connected")
                                                         : QStringLiteral("KORVIX not connected"));
    menu_->action(RecorderMenu::Calibrate)->setEnabled(connected);
}

void RecorderWindow::demoSetup()
{
    inputs_->demoSetup();
}

void RecorderWindow::rebuildDemoSignals()
{
    inputs_->rebuildDemoSources();
}

void RecorderWindow::startRecording()
{
    recording_->startRecording();
}

void RecorderWindow::stopRecording()
{
    recording_->stopRecording();
}

void RecorderWindow::previousPageClick()
{
    files_->previousPageClick();
}

void RecorderWindow::nextPageClick()
{
    files_->nextPageClick();
}

bool RecorderWindow::probeRecorder()
{
    return ::probeRecorder(this);
}

void RecorderWindow::calibrateClick()
{
    calibrateRecorder(this, st, [this](int rangeIndex) { inputs_->selectRange(0, rangeIndex); });
}

void RecorderWindow::scrollBarChange()
{
    screen.redrawIfClearPending();
    screen.removeTraces();
    st.ViewOffset = scrollBar_->value();
    screen.drawTraces();
    measuring_->updateTimeReadout();
}
