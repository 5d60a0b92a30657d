#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "recording/MillisecondTimer.h"
#include "recording/RecordingSession.h"

#include "screen/Screen.h"
#include "screen/Surface.h"
#include "ui/RecorderState.h"
#include "settings/Settings.h"

class QFrame;
class QGroupBox;
class QScrollBar;
class QToolButton;
class ChannelRangeRow;
class DataFileActions;
class DvmPanel;
class ImageActions;
class InputControls;
class MeasuringTools;
class RecorderMenu;
class RecordingControl;
class RunControls;
class TimeBaseGroup;
class ScreenView;
class OverlayView;
class ValueDisplays;

// The recorder main window: the screen, the DVM panels, range and channel controls, the time
// base, Run and Single, the status texts and the main menu. Every control carries its own name
// as objectName. The window builds the layout and wires the controls to the parts that act on
// them: the menu, the input controls, measuring, the value displays, the recording control, the
// data files and the picture actions.
class RecorderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit RecorderWindow(RecorderState& state, QWidget* parent = nullptr);
    ~RecorderWindow() override;

    RecorderState& st;

    // The program's settings (folders, skin, ...): the start-up shell hands its own over; a window
    // made on its own (window tests) keeps a set of defaults.
    AppSettings& settings() { return *settings_; }
    const AppSettings& settings() const { return *settings_; }
    void useSettings(AppSettings& settings) { settings_ = &settings; }

private:
    AppSettings ownSettings_;
    AppSettings* settings_ = &ownSettings_;

public:
    // ---- The screen: the persistent bitmap the screen view shows, and the bitmap of the live
    // overlay above it.
    Surface screenBitmap{Screen::ImageWidth, Screen::ImageHeight};
    Surface overlayBitmap{Screen::ImageWidth, Screen::ImageHeight, true};
    ViewState view;  // what the user has set up on the screen: markers and their drag
    Screen screen{st, st, st, st, st, st, st, view, screenBitmap, overlayBitmap};

    // The recording engine: sampling, elapsed time, auto-save hand-off. The window starts and stops
    // it and draws what it reports.
    RecordingSession* session = nullptr;

    // ---- The parts the window is composed of
    RecorderMenu& menu() const { return *menu_; }
    InputControls& inputs() { return *inputs_; }
    MeasuringTools& measuring() { return *measuring_; }
    ValueDisplays& values() { return *values_; }
    ImageActions& images() { return *images_; }
    RecordingControl& recording() { return *recording_; }
    DataFileActions& files() { return *files_; }
    // The DVM panel of channel 0..3.
    DvmPanel* dvmPanel(int channel) const { return dvmPanels_[static_cast<size_t>(channel)]; }

    // ---- What the other windows and the start-up do with the window
    // The start and stop sequences of a recording (also used to put a data file page on screen).
    void startRecording();
    void stopRecording();
    // The time base and the channel ranges, as their buttons set them.
    void selectTimeBase(int index);
    void selectRange(int channel, int rangeIndex);
    // The page buttons "<<" and ">>" of a data file on screen.
    void enablePreviousPage(bool enabled);
    void enableNextPage(bool enabled);
    void previousPageClick();
    void nextPageClick();
    // The skin of the Options > "Skins..." menu item `index` (1..8), as if it was chosen.
    void chooseSkin(int index);
    // Applies the colour dialog's result to the channel labels and the screen.
    void applyColours();
    // The channel labels in the colours of their channels.
    void colourChannelLabels();
    // "KORVIX connected" or "KORVIX not connected", and Calibrate only with a recorder.
    void showRecorderConnected(bool connected);
    // The demo set-up of the hand-over: the demo ranges, time base and signals.
    void demoSetup();
    // New demo signals on the ranges and time base chosen (a recorder pulled out).
    void rebuildDemoSignals();
    // The start-up search for the recorder: true when it was found and opened. A recorder that is
    // present but cannot be opened is reported to the user and counts as not found.
    bool probeRecorder();
    // Options > "Calibrate": the zero-offset calibration, after the user's OK.
    void calibrateClick();

signals:
    // "<<" or ">>" was clicked (after the page turn).
    void pageButtonClicked();
    // The window has closed (hidden, its recording stopped); `normalGeometry` is its place and size
    // in the normal state, which the start-up shell keeps for the next run before the program ends.
    void closed(const QRect& normalGeometry);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Creates every control at its place with its caption, name and initial state.
    void buildControls();
    // Connects each control's and menu item's event to the part that handles it.
    void wireControls();
    void initialise();
    bool canClose();
    void finishClose();
    void coloursClick();
    void scrollBarChange();

    MillisecondTimer* demoTimer_ = nullptr;  // the session's timer of the demo samples

    // ---- Controls
    QFrame* screenFrame_ = nullptr;
    QFrame* screenBezel_ = nullptr;
    ScreenView* screenImage_ = nullptr;
    OverlayView* liveOverlay_ = nullptr;
    QToolButton* previousPageButton_ = nullptr;  // "<<"
    QScrollBar* scrollBar_ = nullptr;
    QToolButton* nextPageButton_ = nullptr;      // ">>"
    QGroupBox* rangeGroupBox_ = nullptr;         // "Voltage Range", with one ChannelRangeRow per channel
    TimeBaseGroup* timeBaseGroupBox_ = nullptr;  // "Time/Div."
    RunControls* runControls_ = nullptr;
    std::array<DvmPanel*, 4> dvmPanels_{};
    std::array<ChannelRangeRow*, 4> rangeRows_{};

    // ---- Parts
    RecorderMenu* menu_ = nullptr;
    MeasuringTools* measuring_ = nullptr;
    InputControls* inputs_ = nullptr;
    ValueDisplays* values_ = nullptr;
    ImageActions* images_ = nullptr;
    DataFileActions* files_ = nullptr;
    RecordingControl* recording_ = nullptr;
};
